#pragma once
// The full path of the running executable.
#include <string>

std::wstring ModulePath();
