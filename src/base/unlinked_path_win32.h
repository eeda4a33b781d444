#pragma once
// Items the utility writes or removes with its rights in the person's folders, reached
// without following a link that a program without those rights could have put there.
#include <optional>
#include <string>

// Why the item `tail` (names separated by "\") below `known_folder` must not be written:
// it or a folder between them is a junction or a symbolic link (IsLinkTag), or the path
// Windows reached it by is not the known folder's own final path followed by `tail`
// (the known folder itself may be a share, a mapped drive or a DFS target). Nothing when
// it may be, or when it, or a folder on the way, does not exist.
std::optional<std::wstring> LinkOnTheWay(const std::wstring& known_folder, const std::wstring& tail);

// Deletes the file `tail` below `known_folder` through a handle that did not follow a
// link, after the same checks. False when it was refused, missing or not deleted.
bool RemoveUnlinkedFile(const std::wstring& known_folder, const std::wstring& tail);
