#pragma once
// The run's log, for support: one UTF-8 line per event, each with the time since start.
// Writing it never changes what the utility does: a log that cannot be written is
// skipped silently.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Where the logic reports what happened. The caller composes `text` itself, so a secret
// such as a password never reaches it (it is masked where the text is put together).
class Log {
 public:
  virtual ~Log() = default;
  virtual void Event(const std::wstring& text) = 0;
};

// A log that drops everything: for code run without a log.
class NoLog : public Log {
 public:
  void Event(const std::wstring&) override {}
};

// Where finished lines go once the log's file is known.
class LogSink {
 public:
  virtual ~LogSink() = default;
  // Appends UTF-8 bytes; false when they could not be written.
  virtual bool Append(const std::string& bytes) = 0;
};

// Keeps the lines in memory until the file is known (the user name, and with it the
// folder, is learned during start-up), then writes them and every later line to it.
class RunLog : public Log {
 public:
  // `elapsed_ms` gives the milliseconds since the run started.
  explicit RunLog(std::function<std::uint64_t()> elapsed_ms);
  void Event(const std::wstring& text) override;
  // Writes the kept lines to `sink`, then each later one. A missing sink, or one that
  // fails a write, ends the log: later events are dropped, and nothing is kept for them.
  void Attach(std::unique_ptr<LogSink> sink);
  // False while the lines are still kept in memory.
  bool Attached() const { return state_ != State::Keeping; }

 private:
  enum class State { Keeping, Writing, Skipped };
  void Write(const std::string& bytes);

  std::function<std::uint64_t()> elapsed_ms_;
  State state_ = State::Keeping;
  std::string kept_;
  std::unique_ptr<LogSink> sink_;
};

// Logs the end with `exit_code`. A log still kept in memory, since the run ended before its
// folder was known (the window not made, an error out of start-up), is attached to the
// file `open_late` gives first, so that a failed start-up keeps its log.
void EndRunLog(RunLog& log, int exit_code, const std::function<std::unique_ptr<LogSink>()>& open_late);

// `text` as UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf8(const std::wstring& text);
// One line: the seconds since start with milliseconds, a space, `text`, a line feed. A
// line break inside `text` becomes " | ", so that every event stays on one line.
std::string LogLine(std::uint64_t elapsed_ms, const std::wstring& text);

struct LocalTime {
  int year, month, day, hour, minute, second, millisecond;
};
// "2026-12-10_05-32-18-123.log": sorted by name, the logs are sorted by start.
std::wstring RunLogFileName(const LocalTime& start);
// Whether `file_name` has the shape RunLogFileName gives; other files are never removed.
bool IsRunLogFileName(const std::wstring& file_name);
// Of the file names in the log folder, the run logs beyond the newest `keep`, to remove.
std::vector<std::wstring> RunLogsToRemove(std::vector<std::wstring> file_names, std::size_t keep);
inline constexpr std::size_t kRunLogsKept = 10;
