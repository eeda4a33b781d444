// GetUserFromWindows against the real GetUserNameW, for the names an account may have.
// Wine answers with the Unix USER of the wine process itself, which no Windows program
// can change for the programs it starts; so CMakeLists.txt runs this program once per
// case, with KALVERA_WINE_USER set to the case's name and --gtest_filter picking the case.
#include <gtest/gtest.h>

#include <string>

#include "app/accounts_win32.h"
#include "app/application_win32.h"

TEST(GetUserFromWindows, TakesA254CharacterNameWhole) {
  EXPECT_EQ(GetUserFromWindows(), std::wstring(254, L'a'));
}

TEST(GetUserFromWindows, GivesUnknownForA255CharacterName) {
  // 255 characters and the terminating zero overflow the 255-character buffer: the
  // query fails with ERROR_INSUFFICIENT_BUFFER rather than cutting the name short.
  EXPECT_EQ(GetUserFromWindows(), L"Unknown");
}

TEST(GetUserFromWindows, KeepsACyrillicNameWithASpace) {
  EXPECT_EQ(GetUserFromWindows(), L"Иван Петров");
}

// The question whom the base is for must not come up when nobody else is involved: the
// token's account and the session's both read, and agree, for a name beyond ASCII.
TEST(GetUserFromWindows, AgreesWithTheTokenAndTheSession) {
  const auto running = AccountOfThisProcess();
  const auto signed_in = AccountOfThisSession();
  ASSERT_TRUE(running && signed_in);
  EXPECT_EQ(running->user, GetUserFromWindows());
  EXPECT_EQ(OtherUserQuestion(running, signed_in), std::nullopt);
}
