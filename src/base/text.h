#pragma once
// Small text rules the utility applies itself, the same on every platform.
#include <string>

// Lower case for the scripts a Windows file name is likely to use: Basic Latin,
// Latin-1 and Cyrillic. Other characters come back unchanged.
wchar_t ToLowerChar(wchar_t c);

// The application title: the executable's file name up to its first full stop, every
// character after the first in lower case ("KalveraBase.exe" gives "Kalverabase").
std::wstring ApplicationTitle(const std::wstring& exe_file_name);

// The part of a path after its last backslash or slash.
std::wstring FileNameOf(const std::wstring& path);
