#pragma once
// The stage that fetches the configuration file and hands it to the configuration load.
#include "app/session.h"

// Replaces the configuration file with a fresh download and clicks Button4. Raises Error
// when the download folder can be neither made nor found, or when the download fails;
// the configuration load is then not started.
void Button3Click(Form1& form);
