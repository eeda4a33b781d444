#pragma once
// What a planted file does when Windows runs it: it leaves "<its own path>.ran" beside
// itself, so that a test finds out afterwards which plant ran, whatever it was named.
#include <windows.h>

inline void LeaveMarker(HMODULE module) {
  wchar_t path[MAX_PATH + 8] = {};
  const DWORD length = ::GetModuleFileNameW(module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  ::lstrcatW(path, L".ran");
  HANDLE file = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
}
