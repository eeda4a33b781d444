#pragma once
// Which reparse points the utility refuses to pass through when it writes with its rights
// in the person's folders, and how it compares the path it arrived at.
#include <cstdint>
#include <optional>
#include <string>

// A junction (mount point) or a symbolic link: a program without administrator rights
// can point either anywhere. Other reparse points pass (a cloud placeholder of a synced
// folder is one); a reparse point whose tag cannot be read (nothing) counts as a link.
bool IsLinkTag(std::optional<std::uint32_t> tag);

// GetFinalPathNameByHandleW's answer as an ordinary path: "\\?\C:\x" gives "C:\x",
// "\\?\UNC\srv\share\x" gives "\\srv\share\x".
std::wstring OrdinaryFinalPath(const std::wstring& final_path);

// Whether `reached` is `known_folder` followed by "\" and `tail`, ignoring case; a
// trailing backslash of the known folder (a drive root) counts once.
bool ReachedBelow(const std::wstring& reached, const std::wstring& known_folder, const std::wstring& tail);
