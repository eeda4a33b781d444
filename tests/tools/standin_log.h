#pragma once
// The stand-in platform's call log: one block per run, appended by the stand-in and read
// back by the Wine tests. Portable, so the unit tests check both directions.
//
//   BEGIN <pid>
//   RAW <the command line exactly as received>
//   ARG <argument>          one line per argument after the program name
//   END
#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

struct StandInRun {
  std::uint32_t pid = 0;
  std::wstring raw;
  std::vector<std::wstring> args;
};

inline std::wstring FormatStandInRun(const StandInRun& run) {
  std::wstring block = L"BEGIN " + std::to_wstring(run.pid) + L"\n";
  block += L"RAW " + run.raw + L"\n";
  for (const std::wstring& arg : run.args) block += L"ARG " + arg + L"\n";
  block += L"END\n";
  return block;
}

// Every complete block of `text`, in order. A block still being written (no END yet) and
// lines outside blocks are left out.
inline std::vector<StandInRun> ParseStandInLog(const std::wstring& text) {
  std::vector<StandInRun> runs;
  StandInRun current;
  bool open = false;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) break;  // an unfinished line
    std::wstring line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    if (line.rfind(L"BEGIN ", 0) == 0) {
      current = StandInRun{};
      current.pid = static_cast<std::uint32_t>(std::wcstoul(line.c_str() + 6, nullptr, 10));
      open = true;
    } else if (!open) {
      continue;
    } else if (line.rfind(L"RAW ", 0) == 0) {
      current.raw = line.substr(4);
    } else if (line.rfind(L"ARG ", 0) == 0) {
      current.args.push_back(line.substr(4));
    } else if (line == L"END") {
      runs.push_back(current);
      open = false;
    }
  }
  return runs;
}
