#pragma once
// How the platform stand-in splits its command line: the C runtime's rules, which the
// utility's command lines are written for. Portable, so the unit tests check it too.
#include <string>
#include <vector>

struct PlatformCommandLine {
  std::wstring program;
  std::vector<std::wstring> arguments;  // after the program name
};

// The usual rules of Windows programs, those of the C runtime and of CommandLineToArgvW,
// which the utility's command lines are written for:
//  - the program name ends at the closing quote when it begins with one, else at the
//    first space or tab; backslashes in it are plain characters;
//  - after it, arguments are separated by unquoted spaces and tabs, and a double quote
//    toggles quoting and is dropped, so /N"Ivan Petrov" is one argument /NIvan Petrov;
//  - 2n backslashes before a quote give n backslashes and the quote toggles; 2n+1 give
//    n backslashes and a literal quote; backslashes before anything else stay as they are,
//    so "C:\dir\\" is C:\dir\ while "C:\dir\" runs on past its quote;
//  - inside quotes, "" gives a literal quote and quoting goes on (the C runtime since
//    2008; CommandLineToArgvW ends quoting there, a difference no field can reach, since
//    the utility refuses quotes in fields);
//  - a pair of quotes with nothing between them is an empty argument.
inline PlatformCommandLine ParsePlatformCommandLine(const std::wstring& line) {
  PlatformCommandLine result;
  size_t i = 0;
  if (!line.empty() && line[0] == L'"') {
    const size_t close = line.find(L'"', 1);
    result.program = line.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
    i = close == std::wstring::npos ? line.size() : close + 1;
  } else {
    i = line.find_first_of(L" \t");
    if (i == std::wstring::npos) i = line.size();
    result.program = line.substr(0, i);
  }
  std::wstring current;
  bool in_argument = false;
  bool quoted = false;
  while (i < line.size()) {
    const wchar_t c = line[i];
    if (c == L'\\') {
      size_t backslashes = 0;
      while (i < line.size() && line[i] == L'\\') ++backslashes, ++i;
      const bool before_quote = i < line.size() && line[i] == L'"';
      current.append(before_quote ? backslashes / 2 : backslashes, L'\\');
      if (before_quote && backslashes % 2 == 1) {
        current += L'"';
        ++i;
      }
      in_argument = true;
    } else if (c == L'"') {
      if (quoted && i + 1 < line.size() && line[i + 1] == L'"') {
        current += L'"';
        ++i;
      } else {
        quoted = !quoted;
      }
      in_argument = true;
      ++i;
    } else if ((c == L' ' || c == L'\t') && !quoted) {
      if (in_argument) result.arguments.push_back(current);
      current.clear();
      in_argument = false;
      ++i;
    } else {
      current += c;
      in_argument = true;
      ++i;
    }
  }
  if (in_argument) result.arguments.push_back(current);
  return result;
}
