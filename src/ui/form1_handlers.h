#pragma once
// The handlers that belong to the main window alone: the check boxes show and hide the
// input panels, and a click into the base folder field opens the folder picker.
#include "setup/session.h"
#include "ui/folder_picker.h"

// Panel1 (credentials) shows exactly while CheckBox1 is ticked.
void CheckBox1Click(Form1& form);
// Panel2 (server base) shows while CheckBox2 is ticked, Panel3 (file base) while it is
// not; Panel2 is settled first, so a newly shown Panel2 goes above Panel1.
void CheckBox2Click(Form1& form);
// A confirmed folder replaces Edit1's text; a cancel leaves it as it was. A picker that
// fails leaves the text too, and its Error reaches the error report.
void Edit1Click(Form1& form, FolderPicker& picker);
