#pragma once
// How GetPathFromPID picks its answer and words its failure, apart from the API calls.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// One way of reading a process's executable path: the path, or nothing when it fails.
using PathQuery = std::function<std::optional<std::wstring>()>;

// The module file name when it answers; otherwise, on systems with a major version above
// 5 (where it exists), the full image name; otherwise empty text. A query that is not
// needed is not made.
std::wstring ChooseExecutablePath(const PathQuery& module_file_name, unsigned major_version,
                                  const PathQuery& full_image_name);

// The text of the error raised when a process cannot be opened: "System Error.  Code: 87."
// and, on the next line, the system's message for that code as SystemMessage gives it
// (its closing full stop is the error report's).
std::wstring SystemErrorText(std::uint32_t code, const std::wstring& system_message);
