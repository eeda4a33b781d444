#pragma once
// Turns the answer of the system's user-name query into the name every path is built from.
#include <string>

inline constexpr unsigned kUserNameBufferSize = 255;
inline constexpr wchar_t kUnknownUser[] = L"Unknown";

// `succeeded` and `size` as the query left them: on success `size` counts the characters
// written including the terminating zero. Any failure, a name too long for the buffer
// included, gives "Unknown".
std::wstring UserNameFromQuery(bool succeeded, const wchar_t* buffer, unsigned size);
