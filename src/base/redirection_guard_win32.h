#pragma once
// RedirectionGuard: the process does not follow a junction made by a user without
// administrator rights.
#include <string>

// Turns the process's redirection trust policy on, with enforcement, where Windows has
// it (found at run time: Windows 10 and 11 updates of 2022 and later). Gives the line for
// the run log: "RedirectionGuard: on", or why it is not. Raises nothing.
std::wstring TurnOnRedirectionGuard();
