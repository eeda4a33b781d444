#pragma once
// How the 1C:Enterprise platform splits its own command line, which is the rule the
// utility's command lines are written for. Portable, so the unit tests check it too.
#include <string>
#include <vector>

struct PlatformCommandLine {
  std::wstring program;
  std::vector<std::wstring> arguments;  // after the program name
};

// The program name ends at the closing quote when it begins with one, else at the first
// space or tab. After it, arguments are separated by unquoted spaces and tabs; every
// double quote toggles quoting and is dropped, and backslashes are plain characters, so
// /N"Ivan Petrov" is one argument /NIvan Petrov and "C:\dir\" keeps its last backslash.
// A pair of quotes with nothing between them is an empty argument.
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
  for (; i < line.size(); ++i) {
    const wchar_t c = line[i];
    if (c == L'"') {
      quoted = !quoted;
      in_argument = true;
    } else if ((c == L' ' || c == L'\t') && !quoted) {
      if (in_argument) result.arguments.push_back(current);
      current.clear();
      in_argument = false;
    } else {
      current += c;
      in_argument = true;
    }
  }
  if (in_argument) result.arguments.push_back(current);
  return result;
}
