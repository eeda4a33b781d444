#include "base/run_log.h"

#include <algorithm>
#include <cstdio>
#include <utility>

RunLog::RunLog(std::function<std::uint64_t()> elapsed_ms) : elapsed_ms_(std::move(elapsed_ms)) {}

void RunLog::Event(const std::wstring& text) {
  if (state_ == State::Skipped) return;
  const std::string line = LogLine(elapsed_ms_(), text);
  if (state_ == State::Keeping) {
    kept_ += line;
  } else {
    Write(line);
  }
}

void RunLog::Attach(std::unique_ptr<LogSink> sink) {
  if (state_ != State::Keeping) return;
  sink_ = std::move(sink);
  state_ = sink_ ? State::Writing : State::Skipped;
  std::string kept;
  kept.swap(kept_);
  if (sink_) Write(kept);
}

void EndRunLog(RunLog& log, int exit_code, const std::function<std::unique_ptr<LogSink>()>& open_late) {
  // Opened before the last line, so that whatever finding the file logs comes before it.
  std::unique_ptr<LogSink> late = log.Attached() ? nullptr : open_late();
  log.Event(L"end: exit code " + std::to_wstring(exit_code));
  if (!log.Attached()) log.Attach(std::move(late));
}

void RunLog::Write(const std::string& bytes) {
  if (sink_->Append(bytes)) return;
  // A full disk or a removed folder: the run goes on without its log.
  sink_.reset();
  state_ = State::Skipped;
}

namespace {

void AppendCodePoint(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

bool IsHigh(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

std::string Utf8(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = static_cast<char32_t>(text[i]);
    // On Windows wchar_t holds UTF-16: a pair of surrogates is one code point.
    if (IsHigh(c) && i + 1 < text.size() && IsLow(static_cast<char32_t>(text[i + 1]))) {
      c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(text[++i]) - 0xDC00);
    } else if (IsHigh(c) || IsLow(c) || c > 0x10FFFF) {
      c = 0xFFFD;
    }
    AppendCodePoint(out, c);
  }
  return out;
}

std::string LogLine(std::uint64_t elapsed_ms, const std::wstring& text) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%8llu.%03u ", static_cast<unsigned long long>(elapsed_ms / 1000),
                static_cast<unsigned>(elapsed_ms % 1000));
  std::wstring flat;
  flat.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') continue;
    if (text[i] == L'\r' || text[i] == L'\n') {
      flat += L" | ";
    } else {
      flat.push_back(text[i]);
    }
  }
  return stamp + Utf8(flat) + "\n";
}

std::wstring RunLogFileName(const LocalTime& t) {
  wchar_t name[40];
  std::swprintf(name, 40, L"%04d-%02d-%02d_%02d-%02d-%02d-%03d.log", t.year, t.month, t.day, t.hour, t.minute,
                t.second, t.millisecond);
  return name;
}

bool IsRunLogFileName(const std::wstring& file_name) {
  const std::wstring shape = L"dddd-dd-dd_dd-dd-dd-ddd.log";
  if (file_name.size() != shape.size()) return false;
  for (std::size_t i = 0; i < shape.size(); ++i) {
    const wchar_t c = file_name[i];
    if (shape[i] == L'd' ? !(c >= L'0' && c <= L'9') : c != shape[i]) return false;
  }
  return true;
}

std::vector<std::wstring> RunLogsToRemove(std::vector<std::wstring> file_names, std::size_t keep) {
  file_names.erase(std::remove_if(file_names.begin(), file_names.end(),
                                  [](const std::wstring& name) { return !IsRunLogFileName(name); }),
                   file_names.end());
  if (file_names.size() <= keep) return {};
  std::sort(file_names.begin(), file_names.end());
  file_names.resize(file_names.size() - keep);
  return file_names;
}
