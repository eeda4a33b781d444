#include <gtest/gtest.h>

#include "base/text.h"
#include "base/user_name.h"
#include "base/user_paths.h"

TEST(UserPaths, NameGoesIntoEveryPathUnchanged) {
  const std::wstring long_name(254, L'ж');
  for (const std::wstring& name : {std::wstring(L"Иван Петров"), long_name, std::wstring(L"Unknown")}) {
    SCOPED_TRACE(name.size());
    EXPECT_EQ(user_paths::DownloadFolder(name), L"C:\\Users\\" + name + L"\\Downloads\\KalveraDownload");
    EXPECT_EQ(user_paths::PackageFile(name),
              L"C:\\Users\\" + name + L"\\Downloads\\KalveraDownload\\update_pack.zip");
    EXPECT_EQ(user_paths::ExtractionFolder(name), L"C:\\Users\\" + name + L"\\Downloads\\KalveraDownload\\");
    EXPECT_EQ(user_paths::SetupProgram(name),
              L"C:\\Users\\" + name + L"\\Downloads\\KalveraDownload\\KalveraSetup1c.exe");
    EXPECT_EQ(user_paths::ConfigurationFolder(name), L"C:\\Users\\" + name + L"\\Documents\\Kalvera1C");
    EXPECT_EQ(user_paths::ConfigurationFile(name),
              L"C:\\Users\\" + name + L"\\Documents\\Kalvera1C\\database.cf");
    EXPECT_EQ(user_paths::DefaultBaseFolder(name), L"C:/Users/" + name + L"/Documents/kalvera_base");
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
