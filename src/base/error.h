#pragma once
// The one kind of failure the utility reports: a message text, shown by the error report.
#include <exception>
#include <string>

class Error : public std::exception {
 public:
  explicit Error(std::wstring text);
  const std::wstring& text() const noexcept { return text_; }
  // ASCII-only rendering for std::exception consumers; the report uses text().
  const char* what() const noexcept override { return narrow_.c_str(); }
  // The code address that raised the error, for the last-resort report.
  const void* address() const noexcept { return address_; }

 private:
  std::wstring text_;
  std::string narrow_;
  const void* address_;
};

// The text a report shows: the message, with a full stop added when its last character
// sorts after "." (so "Stream write error" reads "Stream write error.").
std::wstring ReportText(const std::wstring& message);

// The message of any exception: an Error's own text, otherwise what() read as Latin-1.
std::wstring ErrorText(const std::exception& error);

// `text` read as Latin-1, one character per byte.
std::wstring WidenLatin1(const char* text);
