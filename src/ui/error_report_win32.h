#pragma once
// How failures reach the user: the default error report of a handler, and the last-resort
// report of an error that escapes the entry sequence.
#include <windows.h>

#include <exception>
#include <functional>
#include <string>

#include "base/run_log.h"

// A message box with a stop icon and the error's text, the application title as caption.
void ShowErrorReport(HWND owner, const std::wstring& title, const std::exception& error);

// The "Application Error" box: "Exception <class> in module <exe> at <address>." and the
// error's message, task-modal. The error's text goes to `log` too.
void ShowApplicationError(const std::exception& error, Log& log);

// Runs one event handler; an error that escapes it ends the handler and is shown by the
// default error report, and the program goes on. A TransferAbandoned ends the handler
// silently. Nothing is let through into Windows. The error's text goes to `log` too.
// False when an error was reported.
bool RunHandler(HWND owner, const std::wstring& title, const std::function<void()>& handler, Log& log);
