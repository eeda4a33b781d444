#include "transfer/zip_paths.h"

#include "base/error.h"

namespace {

bool IsAsciiLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

wchar_t AsciiUpper(wchar_t c) { return (c >= L'a' && c <= L'z') ? c - (L'a' - L'A') : c; }

// Windows drops trailing dots and spaces from every part of a path, so "...", ". ." and
// ".. " can all end up as "..". A lone "." stays where it is and is harmless.
bool IsDotsOnly(const std::wstring& part) {
  if (part.empty() || part == L".") return false;
  for (const wchar_t c : part) {
    if (c != L'.' && c != L' ') return false;
  }
  return true;
}

// CON, PRN, AUX, NUL, COM1-9 and LPT1-9 open a device in every folder, whatever the
// extension ("nul.txt") and with trailing spaces; superscript digits count too.
bool IsDeviceName(const std::wstring& part) {
  std::wstring stem = part.substr(0, part.find(L'.'));
  while (!stem.empty() && stem.back() == L' ') stem.pop_back();
  for (wchar_t& c : stem) c = AsciiUpper(c);
  if (stem == L"CON" || stem == L"PRN" || stem == L"AUX" || stem == L"NUL" ||
      stem == L"CONIN$" || stem == L"CONOUT$") {
    return true;
  }
  if (stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0)) {
    const wchar_t d = stem[3];
    return (d >= L'1' && d <= L'9') || d == 0xB9 || d == 0xB2 || d == 0xB3;
  }
  return false;
}

}  // namespace

void RefuseEntry(const std::wstring& shown_name, const wchar_t* reason) {
  throw Error(L"Cannot extract \"" + shown_name + L"\". " + reason);
}

void CheckPathCharacters(const std::wstring& text) {
  for (const wchar_t c : text) {
    if (c < 0x20 || c == L'"' || c == L'<' || c == L'>' || c == L'|') {
      throw Error(L"Invalid characters in path");
    }
  }
}

void CheckNameStaysInside(const std::wstring& name, const std::wstring& shown_name) {
  static const wchar_t kOutside[] = L"Its name leads outside the destination folder";
  if (!name.empty() && name[0] == L'\\') RefuseEntry(shown_name, kOutside);
  if (name.size() >= 2 && name[1] == L':') RefuseEntry(shown_name, kOutside);
  std::size_t start = 0;
  while (true) {
    const std::size_t end = name.find(L'\\', start);
    const std::wstring part = name.substr(start, end == std::wstring::npos ? end : end - start);
    if (IsDotsOnly(part)) RefuseEntry(shown_name, kOutside);
    if (IsDeviceName(part)) RefuseEntry(shown_name, L"Its name is reserved for a device");
    if (end == std::wstring::npos) {
      // A colon in a folder part is left to the folder rules, which refuse the path.
      if (part.find(L':') != std::wstring::npos) {
        RefuseEntry(shown_name,
                    L"A colon in its file name would write into a stream of another file");
      }
      break;
    }
    start = end + 1;
  }
}

std::wstring JoinTargetPath(const std::wstring& dest_path, const std::wstring& name) {
  if (name.empty()) return dest_path;
  if (dest_path.empty()) return name;
  const wchar_t last = dest_path.back();
  if (last == L'\\' || last == L'/' || last == L':') return dest_path + name;
  return dest_path + L"\\" + name;
}

std::wstring FolderOf(const std::wstring& path) {
  const std::size_t slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

void CheckFolderPath(const std::wstring& absolute_folder) {
  if (absolute_folder.size() >= kMaxFolderPath) throw Error(L"The specified path is too long");
  for (std::size_t i = 0; i < absolute_folder.size(); ++i) {
    if (absolute_folder[i] != L':') continue;
    if (i == 1 && IsAsciiLetter(absolute_folder[0])) continue;
    throw Error(L"The path format is not supported");
  }
}
