#pragma once
// The three scenarios a person can start: each hides the entry choices and sets the
// chain going. None runs when a field could not reach the platform unchanged.
#include "app/session.h"

// Full installation: downloads and unpacks the platform package, starts its setup
// program and waits for it (expectation_start_setup). Raises Error when the download
// folder can be neither made nor found, or when the download or extraction fails.
void Button6Click(Form1& form);
// New base installation: asks the user to start the platform, then waits for it (start_1C).
void Button7Click(Form1& form);
// Base update: the same, without creating the base.
void Button9Click(Form1& form);
