#pragma once
// Whether an executable is a program installed on this machine, one that an unelevated
// program cannot have put there or changed: only such a platform is ever run with the
// utility's rights.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Whether `path` lies inside `folder` (or below it): whole folder names compared ignoring
// case, so "C:\Program Files Evil\x.exe" is not inside "C:\Program Files". An empty
// folder holds nothing.
bool IsInsideFolder(const std::wstring& path, const std::wstring& folder);

// One entry of an access list, its trustee in the string form of a SID ("S-1-5-18").
struct AccessEntry {
  std::wstring sid;
  std::uint32_t mask = 0;
  bool allows = true;         // a denial grants nothing, so the rule passes over it
  bool inherit_only = false;  // applies to children made later, not to the item itself
};

// A file or folder's owner and access list; no list at all lets everyone do everything.
struct SecuredItem {
  std::wstring owner_sid;
  std::optional<std::vector<AccessEntry>> access;
};

// `chain` starts with the executable, then its folder, then each folder above it up to
// the volume's root. True when no one but SYSTEM, Administrators and TrustedInstaller
// can change the executable: the file and its own folder grant write, append, delete,
// delete-child, change-permissions or take-ownership to no one else; each folder above
// grants delete, delete-child, change-permissions or take-ownership to no one else (a
// root lets everyone make folders in it, which is harmless there); every item is owned
// by one of the three. False for an empty chain.
bool OnlyAdministratorsCanChange(const std::vector<SecuredItem>& chain);

// `path` followed by each folder above it, up to and with its root ("D:\" or
// "\\server\share\"): the items whose access lists decide whether it can be changed.
std::vector<std::wstring> PathAndFoldersAbove(const std::wstring& path);
