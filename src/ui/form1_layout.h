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
  // which lie beyond the designed right edge at any width, every length scaled to `dpi`.
  // Where the two groups would overlap, Image1 gives up height first, down to nothing,
  // then Image2; a client area lower even than MinimumClientHeight lets the bottom group,
  // which follows the bottom edge, overlap the top.
  std::vector<Placement> Place(int client_width, int client_height, int dpi = 96) const;

  // The lowest client area that holds every shown control, Image1 and Image2 gone.
  int MinimumClientHeight(int dpi = 96) const;

 private:
  // The shown stacked controls' heights at `dpi`, Image1 and Image2 at full height.
  int StackHeight(int dpi) const;

  std::set<EntryChoice> hidden_;
  std::vector<EntryChoice> panels_;  // the shown panels, from the one just above Image2 up
};

// The client size the window is designed for, at 96 DPI.
inline constexpr int kForm1ClientWidth = 454;
inline constexpr int kForm1ClientHeight = 672;

// A length of the 96-DPI design at `dpi`, rounded to the nearest pixel (halves up). Each
// length is scaled on its own: a stacked control's place is the sum of the scaled heights
// before it, and each edge inside a panel is its scaled distance from the panel's top.
int ScaledLength(int length, int dpi);
