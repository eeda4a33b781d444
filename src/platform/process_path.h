#pragma once
// How GetPathFromPID judges what it learned about a process, apart from the API calls.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// The executable image of a process, as far as it could be learned.
struct ExecutableImage {
  enum class State {
    kRead,        // `path` is the executable's full path
    kExited,      // the process ended after the snapshot listed it: nothing to judge
    kUnreadable,  // it runs, but its path cannot be read
  };
  State state = State::kUnreadable;
  std::wstring path;
  std::wstring reason;  // why it is unreadable, for the run log; may be empty
};

// Reads the image path from the system's own record of the process; nothing when it fails.
using PathQuery = std::function<std::optional<std::wstring>()>;

// `open_error` is the error of opening the process, nothing when it opened;
// `open_error_text` its text; `signalled` whether the handle is already signalled. A process that is gone (opening fails with
// ERROR_INVALID_PARAMETER, or its handle is signalled) has exited; any other failure to
// open, or a query that fails or answers empty text, leaves it unreadable. The query is
// made only for a live process.
ExecutableImage JudgeExecutableImage(std::optional<std::uint32_t> open_error,
                                     const std::wstring& open_error_text, bool signalled,
                                     const PathQuery& image_name);

// The text of a system error, as the run log gives the reason a process cannot be opened: "System Error.  Code: 87."
// and, on the next line, the system's message for that code as SystemMessage gives it
// (its closing full stop is the error report's).
std::wstring SystemErrorText(std::uint32_t code, const std::wstring& system_message);
