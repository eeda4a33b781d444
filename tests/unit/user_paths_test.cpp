#include <gtest/gtest.h>

#include <optional>
#include <set>

#include "fakes.h"

#include "base/text.h"
#include "base/user_name.h"
#include "base/user_paths.h"

TEST(UserPaths, NameGoesIntoEveryComposedPathUnchanged) {
  const std::wstring long_name(254, L'ж');
  for (const std::wstring& name : {std::wstring(L"Иван Петров"), long_name, std::wstring(L"Unknown")}) {
    SCOPED_TRACE(name.size());
    const user_paths::UserFolders folders = user_paths::ComposedFolders(name);
    EXPECT_EQ(user_paths::DownloadFolder(folders), L"C:\\Users\\" + name + L"\\Downloads\\KalveraDownload");
    EXPECT_EQ(user_paths::ConfigurationFolder(folders), L"C:\\Users\\" + name + L"\\Documents\\Kalvera1C");
    EXPECT_EQ(user_paths::ConfigurationFile(folders),
              L"C:\\Users\\" + name + L"\\Documents\\Kalvera1C\\database.cf");
    EXPECT_EQ(user_paths::DefaultBaseFolder(folders), L"C:/Users/" + name + L"/Documents/kalvera_base");
  }
}

TEST(UserPaths, TakesTheSystemsFoldersThenTheProfileThenTheComposedOnesAndSaysWhy) {
  using user_paths::FolderAnswer;
  using user_paths::KnownFolder;
  const FolderAnswer failed{L"", L"failed: Element not found"};
  struct Case {
    const char* what;
    std::optional<FolderAnswer> documents, downloads;
    std::wstring profile;
    std::set<wchar_t> unseen;
    std::wstring documents_chosen, downloads_chosen, base_folder, documents_reason;
  };
  const Case cases[] = {
      {"the usual profile, spelt otherwise", {}, {}, L"c:\\USERS\\ivan", {},
       L"C:\\Users\\ivan\\Documents", L"C:\\Users\\ivan\\Downloads", L"C:/Users/ivan/Documents/kalvera_base",
       L"(the system's)"},
      {"the usual profile as composed", {}, {}, L"C:\\Users\\ivan", {},
       L"C:\\Users\\ivan\\Documents", L"C:\\Users\\ivan\\Downloads", L"C:/Users/ivan/Documents/kalvera_base",
       L"(the system's)"},
      {"a profile named otherwise", {}, {}, L"C:\\Users\\ivan.CORP", {},
       L"C:\\Users\\ivan.CORP\\Documents", L"C:\\Users\\ivan.CORP\\Downloads",
       L"C:/Users/ivan.CORP/Documents/kalvera_base", L"(the system's)"},
      {"Documents on a share", FolderAnswer{L"\\\\srv\\home$\\ivan\\Documents\\", L""}, {}, L"C:\\Users\\ivan", {},
       L"\\\\srv\\home$\\ivan\\Documents", L"C:\\Users\\ivan\\Downloads", L"//srv/home$/ivan/Documents/kalvera_base",
       L"(the system's)"},
      {"Documents on a drive of the person's session", FolderAnswer{L"H:\\Documents", L""}, {},
       L"C:\\Users\\ivan.000", {L'H'}, L"C:\\Users\\ivan.000\\Documents", L"C:\\Users\\ivan.000\\Downloads",
       L"C:/Users/ivan.000/Documents/kalvera_base",
       L"(in the profile, since the system's Documents H:\\Documents lies on drive H:, which this process cannot see)"},
      {"a seen drive is taken", FolderAnswer{L"D:\\Docs", L""}, {}, L"C:\\Users\\ivan", {L'H'},
       L"D:\\Docs", L"C:\\Users\\ivan\\Downloads", L"D:/Docs/kalvera_base", L"(the system's)"},
      {"a failed call", failed, {}, L"C:\\users\\IVAN", {}, L"C:\\Users\\ivan\\Documents",
       L"C:\\Users\\ivan\\Downloads", L"C:/Users/ivan/Documents/kalvera_base",
       L"(in the profile, since the system's Documents failed: Element not found)"},
      {"the profile unseen too", FolderAnswer{L"H:\\Documents", L""}, failed, L"H:\\ivan", {L'H'},
       L"C:\\Users\\ivan\\Documents", L"C:\\Users\\ivan\\Downloads", L"C:/Users/ivan/Documents/kalvera_base",
       L"(composed from the user name, since the system's Documents H:\\Documents lies on drive H:, which this "
       L"process cannot see and the profile H:\\ivan lies on drive H:, which this process cannot see)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeKnownFolders system;
    system.profile = c.profile;
    if (c.documents) system.answers[KnownFolder::Documents] = *c.documents;
    if (c.downloads) system.answers[KnownFolder::Downloads] = *c.downloads;
    system.unseen_drives = c.unseen;
    RecordingLog log;
    const user_paths::UserFolders folders = user_paths::ChooseUserFolders(L"ivan", system, log);
    EXPECT_EQ(folders.documents, c.documents_chosen);
    EXPECT_EQ(folders.downloads, c.downloads_chosen);
    EXPECT_EQ(user_paths::DefaultBaseFolder(folders), c.base_folder);
    EXPECT_EQ(user_paths::ConfigurationFile(folders), c.documents_chosen + L"\\Kalvera1C\\database.cf");
    ASSERT_EQ(log.lines.size(), 2u);
    EXPECT_EQ(log.lines[0], L"folder Documents: " + c.documents_chosen + L" " + c.documents_reason);
  }
}

TEST(UserName, TakesTheQueryAnswerOrUnknown) {
  const std::wstring name254(254, L'a');
  std::wstring buffer = name254 + L'\0';
  EXPECT_EQ(UserNameFromQuery(true, buffer.c_str(), 255), name254);
  EXPECT_EQ(UserNameFromQuery(true, L"Иван Петров", 12), L"Иван Петров");
  // A longer name does not fit the 255-character buffer: the query fails.
  EXPECT_EQ(UserNameFromQuery(false, buffer.c_str(), 256), L"Unknown");
  EXPECT_EQ(UserNameFromQuery(false, L"", 0), L"Unknown");
}

TEST(ApplicationTitle, KeepsTheFirstLetterAndLowersTheRestUpToTheFirstStop) {
  EXPECT_EQ(ApplicationTitle(L"KalveraBase.exe"), L"Kalverabase");
  EXPECT_EQ(ApplicationTitle(L"ABC.DEF.exe"), L"Abc");
  EXPECT_EQ(ApplicationTitle(L"УСТАНОВКА.exe"), L"Установка");
  EXPECT_EQ(ApplicationTitle(L"noext"), L"noext");
}
