#pragma once
// Where every control of the main window lies for a given client size and for the
// controls that show: the window's two stacks, the panels' insides, the hidden buttons.
#include <set>
#include <vector>

#include "base/control_names.h"

struct ControlRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const ControlRect&) const = default;
};

// One control's place, in the client coordinates of its parent (the window, or a panel
// for the labels and edits).
struct Placement {
  int id = 0;  // control_id::...
  ControlRect rect;
};

// Which stacked controls show, and the order of the shown panels among themselves.
//
// The top group (Image1, CheckBox1, CheckBox2) is stacked down from the top edge, the
// bottom group (ProgressBar1, StatusBar1, Button9, Button7, Button6, Image2, then the
// shown panels) up from the bottom edge; both stretch to the full width and keep their
// heights, and a hidden control takes no room. A panel that is shown goes on top of the
// panels already showing, so the box ticked last puts its panel highest.
class Form1Stacking {
 public:
  // The start: what the window shows when it opens (everything but Panel1 and Panel2).
  Form1Stacking();

  // Showing a shown control, or hiding a hidden one, changes nothing; in particular a
  // shown panel keeps its place among the others.
  void SetShown(EntryChoice control, bool shown);
  bool Shown(EntryChoice control) const;

  // The place of every shown stacked control, of every label and edit inside the panels
  // (shown or not, so that a panel is ready when it shows), and of the hidden buttons,
  // which lie beyond the designed right edge at any width. A client area lower than the
  // two groups need lets the bottom group, which follows the bottom edge, overlap the top.
  std::vector<Placement> Place(int client_width, int client_height) const;

 private:
  std::set<EntryChoice> hidden_;
  std::vector<EntryChoice> panels_;  // the shown panels, from the one just above Image2 up
};

// The client size the window is designed for.
inline constexpr int kForm1ClientWidth = 454;
inline constexpr int kForm1ClientHeight = 672;
