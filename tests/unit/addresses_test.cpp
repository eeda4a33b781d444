#include "setup/addresses.h"

#include <gtest/gtest.h>

#include <string>

TEST(ServerAddress, KeepsHttpsWhenTheBuildNamesItAndOtherwiseUsesHttp) {
  struct Case {
    std::wstring server;
    std::wstring address;
  } cases[] = {
      {L"kalvera.example", L"http://kalvera.example/resources/database.cf"},
      {L"127.0.0.1:47831", L"http://127.0.0.1:47831/resources/database.cf"},
      {L"https://kalvera.example", L"https://kalvera.example/resources/database.cf"},
      {L"https://127.0.0.1:47862", L"https://127.0.0.1:47862/resources/database.cf"},
      // A host that happens to be called "https" is still a host.
      {L"https:443", L"http://https:443/resources/database.cf"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.server));
    EXPECT_EQ(ServerAddress(c.server, L"/resources/database.cf"), c.address);
  }
}
