#pragma once
// Where an entry goes: the rules for turning its name into a target path below the
// destination folder. Each failure raises Error with the text the user sees.
#include <cstddef>
#include <string>

// Raises "Invalid characters in path" when `text` holds U+0000 to U+001F, a double quote,
// "<", ">" or "|".
void CheckPathCharacters(const std::wstring& text);

// Raises the refusal of an entry: Cannot extract "<shown_name>". <reason>
[[noreturn]] void RefuseEntry(const std::wstring& shown_name, const wchar_t* reason);

// Raises when the name (its "/" already turned into "\") would put the entry anywhere but
// below the destination folder: a leading "\" (a rooted or UNC path), a drive letter, a
// part made of dots (".." and what Windows reads as it), a device name such as "CON" or
// "COM1", or a colon in the last part, which Windows reads as the start of a stream name.
void CheckNameStaysInside(const std::wstring& name, const std::wstring& shown_name);

// The name below `dest_path`, with a "\" between them unless `dest_path` ends with "\",
// "/" or ":"; an empty name gives `dest_path` itself.
std::wstring JoinTargetPath(const std::wstring& dest_path, const std::wstring& name);

// Everything before the last "\"; empty when there is none.
std::wstring FolderOf(const std::wstring& path);

// CreateDirectoryW's own limit: MAX_PATH less room for an 8.3 file name.
inline constexpr std::size_t kMaxFolderPath = 248;

// Raises "The specified path is too long" for an absolute folder path of kMaxFolderPath
// characters or more, and "The path format is not supported" for one with a colon anywhere but right
// after a drive letter.
void CheckFolderPath(const std::wstring& absolute_folder);
