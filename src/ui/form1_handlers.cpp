#include "ui/form1_handlers.h"

void CheckBox1Click(Form1& form) {
  Controls& controls = form.controls;
  controls.SetShown(EntryChoice::Panel1, controls.Checked(CheckBoxName::CheckBox1));
}

void CheckBox2Click(Form1& form) {
  Controls& controls = form.controls;
  const bool server_base = controls.Checked(CheckBoxName::CheckBox2);
  controls.SetShown(EntryChoice::Panel2, server_base);
  controls.SetShown(EntryChoice::Panel3, !server_base);
}

void Edit1Click(Form1& form, FolderPicker& picker) {
  if (const auto folder = picker.PickFolder()) form.controls.SetText(EditName::Edit1, *folder);
}
