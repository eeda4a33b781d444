#pragma once
// The installed-program rule on Windows: the machine's program folders and the access
// lists of the file and the folders above it.
#include <string>

// Whether `path` lies inside FOLDERID_ProgramFiles or FOLDERID_ProgramFilesX86, or its
// access lists let no one but SYSTEM, Administrators and TrustedInstaller change it
// (OnlyAdministratorsCanChange). False when a list cannot be read.
bool IsInstalledOnThisMachine(const std::wstring& path);
