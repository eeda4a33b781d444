#pragma once
// Refuses to go on while a platform runs: the installer and a running platform would
// fight over the same base.
#include "app/session.h"

// For every platform process in the list: a modal message, then a termination request.
// Always returns to its caller, which goes on with start-up.
void Button8Click(Form1& form);
