#include "transfer/zip_paths.h"

#include <gtest/gtest.h>

#include "base/error.h"
#include "transfer/dos_date_time.h"

namespace {

std::wstring Raised(const std::function<void()>& check) {
  try {
    check();
  } catch (const Error& e) {
    return e.text();
  }
  return L"";
}

TEST(ZipPaths, JoinsWithOneBackslash) {
  EXPECT_EQ(JoinTargetPath(L"C:\\d\\", L"a.txt"), L"C:\\d\\a.txt");
  EXPECT_EQ(JoinTargetPath(L"C:\\d", L"a.txt"), L"C:\\d\\a.txt");
  EXPECT_EQ(JoinTargetPath(L"C:/d/", L"a.txt"), L"C:/d/a.txt");
  EXPECT_EQ(JoinTargetPath(L"C:", L"a.txt"), L"C:a.txt");
  EXPECT_EQ(JoinTargetPath(L"C:\\d\\", L""), L"C:\\d\\");
}

TEST(ZipPaths, NamesThatStayInsideAreLetThrough) {
  for (const wchar_t* name : {L"a.txt", L"a\\.\\b.txt", L"..a", L"a..b\\c", L"...x", L"COM10",
                              L"console.txt", L"nul_x", L"setup\\", L"", L"\u0421\u043f\\a"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Raised([&] { CheckNameStaysInside(name, name); }), L"");
  }
}

TEST(ZipPaths, DeviceNamesAreRefusedInAnyPart) {
  for (const wchar_t* name : {L"CON", L"a\\nul.txt", L"aux \\b", L"COM1", L"lpt9.log",
                              L"COM\u00b9", L"conout$"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Raised([&] { CheckNameStaysInside(name, L"n"); }),
              L"Cannot extract \"n\". Its name is reserved for a device");
  }
}

TEST(ZipPaths, FolderRulesOnTheAbsoluteFolder) {
  EXPECT_EQ(Raised([] { CheckFolderPath(L"C:\\" + std::wstring(244, L'f')); }), L"");
  EXPECT_EQ(Raised([] { CheckFolderPath(L"C:\\" + std::wstring(245, L'f')); }),
            L"The specified path is too long");
  EXPECT_EQ(Raised([] { CheckFolderPath(L"\\\\server\\share\\x"); }), L"");
  EXPECT_EQ(Raised([] { CheckFolderPath(L"C:\\a:b"); }), L"The path format is not supported");
  EXPECT_EQ(Raised([] { CheckFolderPath(L"1:\\a"); }), L"The path format is not supported");
}

TEST(ZipPaths, ForbiddenCharactersAreControlCodesQuotesAngleBracketsAndBar) {
  for (const wchar_t c : {L'\0', L'\x1f', L'"', L'<', L'>', L'|'}) {
    EXPECT_EQ(Raised([&] { CheckPathCharacters(std::wstring(L"a") + c); }),
              L"Invalid characters in path") << static_cast<int>(c);
  }
  // "?" and "*" pass here; Windows refuses them when the file is created.
  EXPECT_EQ(Raised([] { CheckPathCharacters(L" ?*\u00fc"); }), L"");
}

std::uint32_t Dos(int y, int mo, int d, int h, int mi, int s) {
  return static_cast<std::uint32_t>((y - 1980) << 25 | mo << 21 | d << 16 | h << 11 | mi << 5 | s / 2);
}

TEST(ZipDosDateTime, OnlyRealMomentsAreValid) {
  struct Case {
    std::uint32_t value;
    bool valid;
  };
  const Case cases[] = {
      {Dos(2024, 3, 1, 12, 0, 0), true},   {0, false},  // 1980-00-00
      {Dos(2024, 2, 29, 0, 0, 0), true},   {Dos(2023, 2, 29, 0, 0, 0), false},
      {Dos(2000, 2, 29, 0, 0, 0), true},   {Dos(2100, 2, 29, 0, 0, 0), false},
      {Dos(2024, 4, 30, 0, 0, 0), true},   {Dos(2024, 4, 31, 0, 0, 0), false},
      {Dos(2024, 13, 1, 0, 0, 0), false},  {Dos(2107, 12, 31, 23, 59, 58), true},
      {Dos(2024, 1, 1, 24, 0, 0), false},  {Dos(2024, 1, 1, 0, 60, 0), false},
      {Dos(2024, 1, 1, 0, 0, 60), false},  {Dos(2024, 1, 1, 0, 0, 62), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.value);
    EXPECT_EQ(DecodeDosDateTime(c.value).has_value(), c.valid);
  }
  const LocalDateTime t = *DecodeDosDateTime(Dos(2107, 12, 31, 23, 59, 58));
  EXPECT_EQ(std::vector<int>({t.year, t.month, t.day, t.hour, t.minute, t.second}),
            std::vector<int>({2107, 12, 31, 23, 59, 58}));
}

}  // namespace
