#pragma once
// The main window's controls, written down once: what each is, what it sits on, what it
// says, whether a scenario hides it, and its height where it is stacked. The window's
// geometry, its stacking and the words of a refusal of its fields all read this table,
// so renaming a label renames it everywhere.
#include <optional>
#include <span>

#include "base/control_ids.h"
#include "base/control_names.h"

enum class ControlKind { Banner, Picture, Button, CheckBox, Edit, PasswordEdit, Label, Panel, StatusBar, ProgressBar };

struct ControlSpec {
  int id;
  int parent_id;  // 0: the window itself
  ControlKind kind;
  const wchar_t* caption;
  bool shown;  // at the start
  std::optional<EntryChoice> entry_choice;  // hidden for good when a scenario starts
  int height;
  int labels = 0;  // for a label: the edit it names
};

// In the designed creation order: Tab takes the visible tab stops in this order, so the
// scenario buttons come first, then each check box followed by its panel's edits.
std::span<const ControlSpec> MainWindowControls();

// The row of control `id`; raises std::out_of_range for an id the window does not have.
const ControlSpec& ControlOf(int id);
// The control that an entry choice is.
int ControlIdOf(EntryChoice choice);
int ControlIdOf(EditName edit);
// The caption of the label that names `edit`, as the person sees it.
const wchar_t* FieldCaption(EditName edit);
