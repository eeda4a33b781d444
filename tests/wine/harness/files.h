#pragma once
// File-system helpers for tests, on Windows paths; failures raise std::runtime_error
// naming the path.
#include <string>
#include <vector>

namespace harness {

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

bool FileExists(const std::wstring& path);
bool DirectoryExists(const std::wstring& path);
// Makes `folder` and every missing parent; either separator may be used.
void MakeDirectories(const std::wstring& folder);
// Creates or replaces `path` with `bytes`, making its folder first.
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
std::string ReadFileBytes(const std::wstring& path);
// The names of the files in `folder` that match `pattern` ("*.log"), sorted; none when
// the folder is missing.
std::vector<std::wstring> FileNamesIn(const std::wstring& folder, const std::wstring& pattern);
// The folder part of `path`, without the last separator ("C:\a\b.exe" gives "C:\a").
std::wstring FolderOf(const std::wstring& path);

// Where the test HTTP server keeps what it serves as `url_path` ("/resources/x.cf").
std::wstring ServedPath(const std::wstring& url_path);
// Puts `bytes` there.
void ServeFile(const std::wstring& url_path, const std::string& bytes);

}  // namespace harness
