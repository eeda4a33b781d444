#pragma once
// The run log's file on disk, and the clock its lines are stamped with.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/run_log.h"

// A clock of the milliseconds since this call; made at the start, it stamps the log's lines.
std::function<std::uint64_t()> MillisecondsSinceNow();
// The local date and time of the start, for the log's name.
LocalTime StartTime();

// A new file `file_name` in `folder` (made when missing, its parent is not), after which
// the run logs beyond the newest kRunLogsKept in the folder are removed. Nothing when the
// file cannot be created, or when the folder or the file is reached through a junction or
// a symbolic link below the folder's parent (LinkOnTheWay): the run goes on without a
// log. An old log reached through a link is left where it is.
std::unique_ptr<LogSink> OpenRunLogFile(const std::wstring& folder, const std::wstring& file_name);

// "Windows 10.0.19045" as the system itself reports it (not as a compatibility shim
// would), or "Windows (version unknown)".
std::wstring WindowsVersionText();
