#include "base/user_paths.h"

#include <algorithm>

namespace user_paths {

namespace {

const wchar_t* Name(KnownFolder folder) {
  switch (folder) {
    case KnownFolder::Documents: return L"Documents";
    case KnownFolder::Downloads: return L"Downloads";
    case KnownFolder::Profile: return L"profile";
  }
  return L"";
}

// The drive letter a path starts with; a share ("\\server\...") has none and is always
// reachable by name.
wchar_t DriveLetter(const std::wstring& path) {
  if (path.size() >= 2 && path[1] == L':' &&
      ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'))) {
    return path[0];
  }
  return 0;
}

std::wstring WithoutTrailingSeparator(std::wstring path) {
  while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
  return path;
}

// Why `answer` cannot be used, or empty text when it can.
std::wstring Unusable(const FolderAnswer& answer, KnownFolders& system) {
  if (answer.path.empty()) return answer.failure.empty() ? L"no answer" : answer.failure;
  const wchar_t letter = DriveLetter(answer.path);
  if (letter && !system.DriveSeen(letter)) {
    return answer.path + L" lies on drive " + std::wstring(1, letter) + L":, which this process cannot see";
  }
  return L"";
}

// One of the two folders: the system's, else the profile's with `tail`, else `composed`.
std::wstring Choose(KnownFolder which, const std::wstring& composed, const std::wstring& tail,
                    KnownFolders& system, Log& log) {
  const FolderAnswer own = system.Path(which);
  const std::wstring own_problem = Unusable(own, system);
  std::wstring chosen, source;
  if (own_problem.empty()) {
    chosen = WithoutTrailingSeparator(own.path);
    source = L"the system's";
  } else {
    const FolderAnswer profile = system.Path(KnownFolder::Profile);
    const std::wstring profile_problem = Unusable(profile, system);
    if (profile_problem.empty()) {
      chosen = WithoutTrailingSeparator(profile.path) + tail;
      source = L"in the profile, since the system's " + std::wstring(Name(which)) + L" " + own_problem;
    } else {
      chosen = composed;
      source = L"composed from the user name, since the system's " + std::wstring(Name(which)) + L" " +
               own_problem + L" and the profile " + profile_problem;
    }
  }
  if (system.SameName(chosen, composed)) chosen = composed;
  log.Event(std::wstring(L"folder ") + Name(which) + L": " + chosen + L" (" + source + L")");
  return chosen;
}

}  // namespace

UserFolders ComposedFolders(const std::wstring& user) {
  return {L"C:\\Users\\" + user + L"\\Documents", L"C:\\Users\\" + user + L"\\Downloads"};
}

UserFolders ChooseUserFolders(const std::wstring& user, KnownFolders& system, Log& log) {
  const UserFolders composed = ComposedFolders(user);
  return {Choose(KnownFolder::Documents, composed.documents, L"\\Documents", system, log),
          Choose(KnownFolder::Downloads, composed.downloads, L"\\Downloads", system, log)};
}

std::wstring DownloadFolder(const UserFolders& folders) { return folders.downloads + L"\\KalveraDownload"; }
std::wstring ConfigurationFolder(const UserFolders& folders) { return folders.documents + L"\\Kalvera1C"; }
std::wstring ConfigurationFile(const UserFolders& folders) { return ConfigurationFolder(folders) + L"\\database.cf"; }
std::wstring DefaultBaseFolder(const UserFolders& folders) {
  std::wstring base = folders.documents;
  std::replace(base.begin(), base.end(), L'\\', L'/');
  return base + L"/kalvera_base";
}

}  // namespace user_paths
