#pragma once
// Every file and folder the utility touches: one of the account's own folders, as the
// system gives it, and a fixed tail.
#include <string>

#include "base/run_log.h"

namespace user_paths {

enum class KnownFolder { Documents, Downloads, Profile };

// A folder of the utility's own account as the system answers: the path, or an empty path
// and why it could not be had.
struct FolderAnswer {
  std::wstring path;
  std::wstring failure;
};

// What the system says about the account's folders.
class KnownFolders {
 public:
  virtual ~KnownFolders() = default;
  virtual FolderAnswer Path(KnownFolder folder) = 0;
  // False when drive `letter` has no root this process can see: a drive mapped only in the
  // person's own logon session is not there for the elevated utility.
  virtual bool DriveSeen(wchar_t letter) = 0;
  // Whether two folder names name the same folder; the file system ignores case.
  virtual bool SameName(const std::wstring& a, const std::wstring& b) = 0;
};

// The two folders every path below is built in, without a trailing "\".
struct UserFolders {
  std::wstring documents;
  std::wstring downloads;
};

// "C:\Users\<user>\Documents" and "C:\Users\<user>\Downloads": the name used as it is.
UserFolders ComposedFolders(const std::wstring& user);

// Each folder as the system gives it; where that equals the composed one but for case, the
// composed text. A failed answer, or a folder on a drive this process cannot see, falls back
// to the profile's "\Documents" or "\Downloads" under the same rules, and when that fails
// too, to the composed folder. Logs which was taken and why.
UserFolders ChooseUserFolders(const std::wstring& user, KnownFolders& system, Log& log);

std::wstring DownloadFolder(const UserFolders& folders);       // ...\KalveraDownload
std::wstring ConfigurationFolder(const UserFolders& folders);  // Documents\Kalvera1C
std::wstring ConfigurationFile(const UserFolders& folders);    // ...\Kalvera1C\database.cf
// Documents with forward slashes, then "/kalvera_base".
std::wstring DefaultBaseFolder(const UserFolders& folders);

}  // namespace user_paths
