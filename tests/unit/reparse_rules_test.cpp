#include "base/reparse_rules.h"

#include <gtest/gtest.h>

TEST(IsLinkTag, JunctionsAndSymbolicLinksAndUnreadableTagsAreLinks) {
  struct Case {
    const char* name;
    std::optional<std::uint32_t> tag;
    bool link;
  } cases[] = {
      {"junction", 0xA0000003u, true},
      {"symbolic link", 0xA000000Cu, true},
      {"tag that cannot be read", std::nullopt, true},
      // A file of a synced folder that is not on the disk yet must still be writable.
      {"cloud placeholder", 0x9000001Au, false},
      {"deduplicated file", 0x80000013u, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsLinkTag(c.tag), c.link);
  }
}

TEST(ReachedBelow, TheKnownFoldersFinalPathAndTheTailIgnoringCase) {
  EXPECT_EQ(OrdinaryFinalPath(L"\\\\?\\C:\\Users\\a\\Documents"), L"C:\\Users\\a\\Documents");
  EXPECT_EQ(OrdinaryFinalPath(L"\\\\?\\UNC\\srv\\home\\a"), L"\\\\srv\\home\\a");
  const std::wstring known = L"\\\\srv\\home\\Иван\\Documents";  // a redirected Documents
  EXPECT_TRUE(ReachedBelow(L"\\\\SRV\\home\\иван\\documents\\Kalvera1C\\database.cf", known, L"Kalvera1C\\database.cf"));
  EXPECT_FALSE(ReachedBelow(L"C:\\ProgramData\\Kalvera1C\\database.cf", known, L"Kalvera1C\\database.cf"));
  EXPECT_FALSE(ReachedBelow(L"\\\\srv\\home\\Иван\\Documents\\Kalvera1C\\database.cf.x", known,
                            L"Kalvera1C\\database.cf"));
  EXPECT_TRUE(ReachedBelow(L"D:\\Kalvera1C", L"D:\\", L"Kalvera1C"));
}
