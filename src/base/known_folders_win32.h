#pragma once
// The account's own folders as Windows keeps them.
#include "base/user_paths.h"

class KnownFoldersWin32 : public user_paths::KnownFolders {
 public:
  // SHGetKnownFolderPath with the process's token: the folders of the account the utility
  // runs as, redirections (to a share, another drive) included.
  user_paths::FolderAnswer Path(user_paths::KnownFolder folder) override;
  // GetDriveTypeW of the drive's root: DRIVE_NO_ROOT_DIR for a letter mapped only in another
  // logon session (an elevated process has its own set of mapped drives).
  bool DriveSeen(wchar_t letter) override;
  // CompareStringOrdinal ignoring case: the comparison the file system makes of names.
  bool SameName(const std::wstring& a, const std::wstring& b) override;
};
