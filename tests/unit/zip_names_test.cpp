#include "transfer/zip_names.h"

#include <gtest/gtest.h>

#include "zip_builder.h"

namespace {

TEST(ZipNames, CodePage437FollowsThePublishedTable) {
  // Spot checks from CP437.TXT, one from each region of the table.
  EXPECT_EQ(DecodeCp437("\x01\x7f\x80\x81\x9e\xb3\xc9\xe1\xea\xfe\xff"), L"\x0001\x007f\x00c7\x00fc\x20a7\x2502\x2554\x00df\x03a9\x25a0\x00a0");
}

TEST(ZipNames, Utf8GivesOneReplacementForEachBadPart) {
  struct Case {
    const char* bytes;
    std::wstring text;
  };
  const Case cases[] = {
      {"setup.exe", L"setup.exe"},
      {"\xd0\xa1\xd0\xbf\xd1\x80\xd0\xb0\xd0\xb2\xd0\xba\xd0\xb0", L"\u0421\u043f\u0440\u0430\u0432\u043a\u0430"},
      {"\xe2\x82\xac", L"\u20ac"},
      {"\xf0\x9f\x98\x80", L"\U0001F600"},  // a surrogate pair where wchar_t is UTF-16
      {"\x80x", L"\ufffdx"},                 // stray continuation byte
      {"\xc0\xaf", L"\ufffd\ufffd"},         // overlong "/"
      {"\xed\xa0\x80", L"\ufffd\ufffd\ufffd"},  // encoded surrogate
      {"\xf4\x90\x80\x80", L"\ufffd\ufffd\ufffd\ufffd"},  // past U+10FFFF
      {"a\xe2\x82", L"a\ufffd"},             // cut short
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(DecodeUtf8(c.bytes), c.text);
  }
}

TEST(ZipNames, UnicodePathRecordIsUsedOnlyWhenWholeAndMatching) {
  using zip_test::UnicodePathRecord;
  // CRC-32 of "abc", as published for the IEEE polynomial.
  const std::uint32_t abc_crc = 0x352441C2;
  struct Case {
    const char* what;
    std::string extra;
    std::wstring name;
  };
  const Case cases[] = {
      {"matching record", UnicodePathRecord(abc_crc, "\xd1\x8f"), L"\u044f"},
      {"after an odd byte", "\x00" + UnicodePathRecord(abc_crc, "\xd1\x8f"), L"\u044f"},
      {"a stale record ends the search", UnicodePathRecord(abc_crc ^ 1, "x") +
                                             UnicodePathRecord(abc_crc, "\xd1\x8f"), L"central"},
      {"size past the field", UnicodePathRecord(abc_crc, "\xd1\x8f").substr(0, 10), L"central"},
      {"size below 5", std::string("\x75\x70\x04\x00\x01\xc2\x41\x24\x35", 9), L"central"},
      {"tag in the last byte only", "\x75", L"central"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(DecodeEntryName("central", 0, "abc", c.extra), c.name);
  }
}

}  // namespace
