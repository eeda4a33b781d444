#include "setup/run_folder.h"

#include <exception>
#include <utility>

#include "base/error.h"
#include "setup/session.h"

namespace {

const std::wstring kPrefix = L"Kalvera-";
constexpr std::size_t kRandomBytes = 16;
// 128 random bits make a name that is there already all but impossible unless someone
// planted it; a few more tries cost nothing, endless ones would hang the click.
constexpr int kNameTries = 8;

bool IsLowerHex(wchar_t c) { return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f'); }

std::wstring Joined(const std::wstring& folder, const std::wstring& name) { return folder + L"\\" + name; }

// A folder that held an open file or one that came back keeps a remainder; the rest still goes.
bool RemoveBelow(RunFolderSystem& system, const std::wstring& folder) {
  bool all_gone = true;
  for (const FolderEntry& entry : system.List(folder)) {
    const std::wstring path = Joined(folder, entry.name);
    switch (entry.kind) {
      case EntryKind::Link: all_gone = system.RemoveLink(path) && all_gone; break;
      case EntryKind::File: all_gone = system.RemoveFile(path) && all_gone; break;
      case EntryKind::Folder:
        all_gone = RemoveBelow(system, path) && all_gone;
        all_gone = system.RemoveEmptyFolder(path) && all_gone;
        break;
    }
  }
  return all_gone;
}

}  // namespace

std::wstring RunFolderName(const std::vector<unsigned char>& random16) {
  static const wchar_t kDigits[] = L"0123456789abcdef";
  std::wstring name = kPrefix;
  for (unsigned char byte : random16) {
    name += kDigits[byte >> 4];
    name += kDigits[byte & 0x0F];
  }
  return name;
}

bool IsRunFolderName(const std::wstring& name) {
  if (name.size() != kPrefix.size() + 2 * kRandomBytes || name.compare(0, kPrefix.size(), kPrefix) != 0) return false;
  for (std::size_t i = kPrefix.size(); i < name.size(); ++i) {
    if (!IsLowerHex(name[i])) return false;
  }
  return true;
}

bool IsLeftoverRunFolder(const FolderEntry& entry, const FolderFacts& facts) {
  return entry.kind == EntryKind::Folder && IsRunFolderName(entry.name) && facts.age_ms &&
         *facts.age_ms > kLeftoverAgeMs && facts.owner != FolderOwner::Other;
}

bool RemoveTree(RunFolderSystem& system, const std::wstring& folder, bool keep_folder) {
  const bool below_gone = RemoveBelow(system, folder);
  if (keep_folder) return below_gone;
  return system.RemoveEmptyFolder(folder) && below_gone;
}

std::wstring RunFolderPackage(const std::wstring& folder) { return Joined(folder, L"update_pack.zip"); }
std::wstring RunFolderSetupProgram(const std::wstring& folder) { return Joined(folder, L"KalveraSetup1c.exe"); }
std::wstring RunFolderConfiguration(const std::wstring& folder) { return Joined(folder, L"database.cf"); }

void EnsureRunFolder(Form1& form) {
  if (!form.run_folder.empty()) return;
  RunFolderSystem& system = form.run_folders;
  const std::wstring parent = system.ProgramDataFolder();
  std::wstring path;
  for (int attempt = 0; attempt < kNameTries; ++attempt) {
    path = Joined(parent, RunFolderName(system.RandomBytes(kRandomBytes)));
    bool exists = false;
    const auto reason = system.MakeProtectedFolder(path, exists);
    if (!reason) {
      form.run_folder = path;
      form.log.Event(L"run folder: made \"" + path + L"\"");
      return;
    }
    // Never taken over: whoever made it may have chosen its access list and content.
    if (!exists) throw Error(L"Cannot make the folder \"" + path + L"\". " + *reason);
    form.log.Event(L"run folder: \"" + path + L"\" exists already, another name is tried");
  }
  throw Error(L"Cannot make a run folder in \"" + parent + L"\": every name tried exists already.");
}

void EmptyRunFolder(Form1& form) {
  if (form.run_folder.empty()) return;
  form.unzipper.ReleaseHeld();
  const bool gone = RemoveTree(form.run_folders, form.run_folder, true);
  form.log.Event(std::wstring(gone ? L"run folder: the package and its extraction removed"
                                   : L"run folder: the package and its extraction removed in part"));
}

void RemoveRunFolder(Form1& form) {
  if (form.run_folder.empty()) return;
  form.unzipper.ReleaseHeld();
  const std::wstring folder = std::exchange(form.run_folder, std::wstring());
  const bool gone = RemoveTree(form.run_folders, folder, false);
  form.log.Event(L"run folder: " + std::wstring(gone ? L"removed \"" : L"removed in part \"") + folder + L"\"");
}

void LeaveRunFolder(Form1& form) {
  if (form.run_folder.empty()) return;
  if (form.setup_program_runs) {
    form.log.Event(L"run folder: left while the setup program runs \"" + form.run_folder + L"\"");
    return;
  }
  RemoveRunFolder(form);
}

void RemoveLeftoverRunFolders(Form1& form) {
  RunFolderSystem& system = form.run_folders;
  try {
    const std::wstring parent = system.ProgramDataFolder();
    for (const FolderEntry& entry : system.List(parent)) {
      if (!IsRunFolderName(entry.name)) continue;
      const std::wstring path = Joined(parent, entry.name);
      if (!IsLeftoverRunFolder(entry, system.Facts(path))) continue;
      const bool gone = RemoveTree(system, path, false);
      form.log.Event(L"leftover run folder: " + std::wstring(gone ? L"removed \"" : L"removed in part \"") + path +
                     L"\"");
    }
  } catch (const std::exception&) {
    // Without the program data folder there is nothing to clean up; the run goes on.
  }
}
