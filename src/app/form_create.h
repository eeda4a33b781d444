#pragma once
// Start-up of the main window, run once its controls exist and before it is shown.
#include "app/session.h"

// The start-up guard, the question whom the base is for when the utility runs as
// another user than the one at the desk (not asked once the guard has asked to end),
// the user name, the removal of the download folder, the window centred on the work
// area, and the default base folder in Edit1. A pending termination request from the
// guard or the question does not cut this short.
void FormCreate(Form1& form);
