// The extraction into the real file system: what only Windows shows, namely file times,
// attributes, long and Cyrillic paths, files that cannot be created, and the archive
// being closed whatever happened.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "../unit/zip_builder.h"
#include "base/error.h"
#include "harness.h"
#include "transfer/unzip_file_win32.h"

using namespace harness;

namespace {

// Each test unpacks into a folder of its own below the scratch folder.
std::wstring Scratch(const std::wstring& name) {
  const std::wstring folder = TestTmp() + L"\\" + name;
  MakeDirectories(folder);
  return folder;
}

std::wstring WriteArchive(const std::wstring& folder, const zip_test::Archive& archive) {
  const std::wstring path = folder + L"\\package.zip";
  WriteFileBytes(path, archive.Build());
  return path;
}

std::wstring UnZipError(const std::wstring& source, const std::wstring& dest) {
  ExtractionFacts facts;
  try {
    EXPECT_TRUE(UnZipFile(source, dest, facts));
  } catch (const Error& e) {
    return e.text();
  }
  return L"";
}

zip_test::Entry Entry(std::string name, std::string data, std::uint16_t made_by,
                      std::uint32_t external, std::uint32_t date_time) {
  zip_test::Entry e;
  e.name = std::move(name);
  e.data = std::move(data);
  e.made_by = made_by;
  e.external_attributes = external;
  e.date_time = date_time;
  return e;
}

struct FileTimes {
  FILETIME creation{}, last_write{};
};

FileTimes TimesOf(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  EXPECT_TRUE(::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data));
  return {data.ftCreationTime, data.ftLastWriteTime};
}

std::uint64_t Ticks(const FILETIME& t) {
  return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

TEST(UnZipFile, MsDosTimesAreLocalAndMsDosAttributesApply) {
  const std::wstring dest = Scratch(L"times") + L"\\out\\";
  zip_test::Archive a;
  a.entries = {Entry("ro.txt", "read only", 0x0014, 0x21, zip_test::kMarch2024Noon),
               Entry("unix.txt", "unix", 0x0314, 0x81A40021, zip_test::kMarch2024Noon),
               Entry("undated.txt", "no date", 0x0014, 0x20, 0)};
  FILETIME before{};
  ::GetSystemTimeAsFileTime(&before);
  ASSERT_EQ(UnZipError(WriteArchive(Scratch(L"times"), a), dest), L"");

  const DWORD ro = ::GetFileAttributesW((dest + L"ro.txt").c_str());
  EXPECT_TRUE(ro & FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(::GetFileAttributesW((dest + L"unix.txt").c_str()) & FILE_ATTRIBUTE_READONLY);

  // Read back the other way round: UTC to the zone's local time for that date.
  const FileTimes stamped = TimesOf(dest + L"ro.txt");
  SYSTEMTIME utc{}, local{};
  ASSERT_TRUE(::FileTimeToSystemTime(&stamped.last_write, &utc));
  ASSERT_TRUE(::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local));
  EXPECT_EQ(std::vector<int>({local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute,
                              local.wSecond}),
            std::vector<int>({2024, 3, 1, 12, 0, 0}));
  EXPECT_EQ(Ticks(stamped.creation), Ticks(stamped.last_write));

  // 1980-00-00 is no date: the file keeps the time the extraction made it.
  const FileTimes undated = TimesOf(dest + L"undated.txt");
  EXPECT_GE(Ticks(undated.last_write) + 20'000'000, Ticks(before));

  // Windows will not replace a read-only file. Wine maps the attribute to the Unix mode
  // bits, which do not bind root: there the system lets the file be opened for writing,
  // and the second extraction cannot fail.
  const bool refused = [&] {
    HANDLE h = ::CreateFileW((dest + L"ro.txt").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return true;
    ::CloseHandle(h);
    return false;
  }();
  const std::wstring again = UnZipError(TestTmp() + L"\\times\\package.zip", dest);
  if (refused) {
    EXPECT_EQ(again.rfind(L"Cannot create file \"" + dest + L"ro.txt\". ", 0), 0u) << again;
  } else {
    std::printf("note: read-only files are writable here (Wine as root); replacing one not checked\n");
  }
}

TEST(UnZipFile, FileHeldOpenByAnotherProgramCannotBeCreated) {
  const std::wstring folder = Scratch(L"held");
  zip_test::Archive a;
  a.entries = {Entry("held.txt", "new", 0x0014, 0x20, zip_test::kMarch2024Noon)};
  const std::wstring archive = WriteArchive(folder, a);
  const std::wstring held = folder + L"\\held.txt";
  WriteFileBytes(held, "old");
  HANDLE holder = ::CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  const std::wstring error = UnZipError(archive, folder + L"\\");
  ::CloseHandle(holder);
  EXPECT_EQ(error.rfind(L"Cannot create file \"" + held + L"\". ", 0), 0u) << error;
  EXPECT_GT(error.size(), (L"Cannot create file \"" + held + L"\". ").size()) << "the system's reason";
  EXPECT_EQ(ReadFileBytes(held), "old");
  // The archive is closed after the failure: it can be deleted at once.
  EXPECT_TRUE(::DeleteFileW(archive.c_str()));
}

TEST(UnZipFile, MissingArchiveNamesItsFullPath) {
  const std::wstring folder = Scratch(L"missing");
  ASSERT_TRUE(::SetCurrentDirectoryW(folder.c_str()));
  const std::wstring error = UnZipError(L"absent.zip", folder + L"\\out\\");
  EXPECT_EQ(error.rfind(L"Cannot open file \"" + folder + L"\\absent.zip\". ", 0), 0u) << error;
  EXPECT_NE(error.back(), L'\n');
}

TEST(UnZipFile, FolderPathsUpTo247CharactersAreMade) {
  const std::wstring dest = Scratch(L"long") + L"\\";
  for (const std::size_t folder_length : {247u, 248u}) {
    SCOPED_TRACE(folder_length);
    // Two levels, so that the parent is made on the way.
    const std::size_t tail = folder_length - dest.size() - 101;
    const std::string name = std::string(100, 'p') + "/" + std::string(tail, 'q') + "/f.txt";
    zip_test::Archive a;
    a.entries = {Entry(name, "deep", 0x0014, 0x20, zip_test::kMarch2024Noon)};
    const std::wstring error = UnZipError(WriteArchive(Scratch(L"long_zip"), a), dest);
    if (folder_length == 247) {
      EXPECT_EQ(error, L"");
      const std::wstring file =
          dest + std::wstring(100, L'p') + L"\\" + std::wstring(tail, L'q') + L"\\f.txt";
      EXPECT_EQ(ReadFileBytes(file), "deep");
    } else {
      EXPECT_EQ(error, L"The specified path is too long");
    }
  }
}

TEST(UnZipFile, CyrillicFoldersAndNames) {
  const std::wstring dest = Scratch(L"\u041a\u0430\u043b\u0432\u0435\u0440\u0430") + L"\\";
  zip_test::Archive a;
  zip_test::Entry folder_entry = Entry("\xd0\xa1\xd0\xbf\xd1\x80\xd0\xb0\xd0\xb2\xd0\xba\xd0\xb0/", "",
                                       0x0014, 0x10, zip_test::kMarch2024Noon);
  folder_entry.flag = 0x0800;
  zip_test::Entry file = Entry("\xd0\xa1\xd0\xbf\xd1\x80\xd0\xb0\xd0\xb2\xd0\xba\xd0\xb0/"
                               "\xd0\x9e\xd0\xb1\xd1\x89\xd0\xb8\xd0\xb5/\xd1\x84.txt",
                               "\xd1\x84", 0x0014, 0x20, zip_test::kMarch2024Noon);
  file.flag = 0x0800;
  a.entries = {folder_entry, file};
  ASSERT_EQ(UnZipError(WriteArchive(Scratch(L"cyr_zip"), a), dest), L"");
  const std::wstring folder =
      dest + L"\u0421\u043f\u0440\u0430\u0432\u043a\u0430\\\u041e\u0431\u0449\u0438\u0435";
  EXPECT_TRUE(DirectoryExists(folder));
  EXPECT_EQ(ReadFileBytes(folder + L"\\\u0444.txt"), "\xd1\x84");
}

}  // namespace
