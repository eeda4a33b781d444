#pragma once
// The system's own text for an error code, as Windows words it.
#include <windows.h>

#include <string>

// WinINet's codes (12000-12999) come from wininet.dll's message table, the rest from the
// system's; the closing full stop and line break Windows adds are dropped
// (TrimmedSystemMessage), so the text can end a sentence of the utility's. A code without
// a text is named by its number.
std::wstring SystemMessage(DWORD code);
