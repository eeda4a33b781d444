#pragma once
// The run folder on Windows: the program data folder from the shell, random names from
// CNG, the access list from SDDL, the removal through kernel32.
#include <memory>

#include "setup/run_folder.h"

class SystemLibrary;

class RunFolderSystemWin32 : public RunFolderSystem {
 public:
  RunFolderSystemWin32();
  ~RunFolderSystemWin32() override;
  std::wstring ProgramDataFolder() override;
  std::vector<unsigned char> RandomBytes(std::size_t count) override;
  std::optional<std::wstring> MakeProtectedFolder(const std::wstring& path, bool& exists) override;
  std::vector<FolderEntry> List(const std::wstring& folder) override;
  FolderFacts Facts(const std::wstring& folder) override;
  bool RemoveFile(const std::wstring& path) override;
  bool RemoveEmptyFolder(const std::wstring& path) override;
  bool RemoveLink(const std::wstring& path) override;
  std::optional<std::wstring> CopyFileTo(const std::wstring& from, const std::wstring& to) override;

 private:
  std::unique_ptr<SystemLibrary> bcrypt_;  // loaded on the first name made
};

// Who may do what in a run folder, in SDDL: Administrators own it (O:BA), so that no
// standard user holds the owner's right to rewrite the list; the list is protected (P),
// so that nothing is inherited from the program data folder, where every user may create
// and change folders of their own; SYSTEM (SY) and Administrators (BA) have full control
// (FA), inherited by every file and folder below (OICI); nobody else has any access.
inline constexpr wchar_t kRunFolderAccess[] = L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
