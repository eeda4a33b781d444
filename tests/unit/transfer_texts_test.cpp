#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "base/system_message.h"
#include "transfer/transfer_texts.h"

TEST(TrimmedSystemMessage, DropsTheTrailingBlanksLineBreaksAndFullStopsOnly) {
  struct Case {
    std::wstring message;
    std::wstring trimmed;
  } cases[] = {
      {L"Access is denied.\r\n", L"Access is denied"},
      {L"Access is denied.  \r\n\r\n", L"Access is denied"},
      {L"Wait...  ", L"Wait"},
      {L"Version 1.2 is required\r\n", L"Version 1.2 is required"},
      // Full stops and line breaks inside the text are the system's own.
      {L"First line.\r\nSecond line.\r\n", L"First line.\r\nSecond line"},
      {L". .\r\n", L""},
      {L"", L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.message));
    EXPECT_EQ(TrimmedSystemMessage(c.message), c.trimmed);
  }
}

TEST(ConnectionFailureReason, SaysHowLongTheServerSentNothingAndWordsBrokenConnections) {
  const std::wstring system = L"The attempt to connect to the server failed";
  struct Case {
    std::uint32_t code;
    std::uint32_t timeout_ms;
    std::uint64_t waited_ms;
    std::wstring reason;
  } cases[] = {
      // ERROR_INTERNET_TIMEOUT, and WSAETIMEDOUT, which WinINet passes on from a read and
      // for which the system has no text ("System error 10060").
      {12002, 30000, 30000, L"The server sent nothing for 30 seconds"},
      {10060, 30000, 30016, L"The server sent nothing for 30 seconds"},
      {10060, 1000, 1000, L"The server sent nothing for 1 second"},
      {10060, 1500, 1500, L"The server sent nothing for 2 seconds"},
      // Wine fails an unanswered request as "connection aborted" once the bound has
      // passed; the same code early on is a connection the server broke.
      {12030, 2000, 2005, L"The server sent nothing for 2 seconds"},
      {12030, 30000, 27000, L"The server sent nothing for 30 seconds"},
      {12030, 30000, 26999, L"The connection to the server was broken (error 12030)"},
      {10054, 30000, 0, L"The connection to the server was broken (error 10054)"},
      {10061, 30000, 0, L"The server refused the connection"},
      // A refused certificate says what is wrong with it, early or late.
      {12045, 30000, 0, L"The server's certificate is not trusted: no certificate authority that this "
                        L"computer trusts has issued it"},
      {12038, 30000, 0, L"The server's certificate was issued for another name than the server's"},
      {12037, 30000, 30000, L"The server's certificate has expired or is not valid yet"},
      {12057, 30000, 0, L"Whether the server's certificate has been revoked could not be checked"},
      {12056, 30000, 0, L"Whether the server's certificate has been revoked could not be checked"},
      {12170, 30000, 0, L"The server's certificate has been revoked"},
      {12169, 30000, 0, L"The server's certificate is not valid"},
      // Codes the system words well keep its words, however long the wait.
      {12029, 30000, 0, system},
      {12007, 30000, 30000, system},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.code) + " after " + std::to_string(c.waited_ms) + " ms");
    EXPECT_EQ(ConnectionFailureReason(c.code, system, c.timeout_ms, c.waited_ms), c.reason);
  }
}

// Another attempt helps a network that failed for now, never a name or a certificate.
TEST(IsTransientConnectionError, TriesAgainOnlyAfterATimeOutOrARefusedOrBrokenConnection) {
  struct Case {
    std::uint32_t code;
    bool transient;
  } cases[] = {
      {12002, true},  {12029, true},  {12030, true},  {12031, true},  {12152, true},  {12017, true},
      {10053, true},  {10054, true},  {10060, true},  {10061, true},  {12007, false}, {12045, false},
      {12038, false}, {12037, false}, {12057, false}, {12170, false}, {12006, false}, {5, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(IsTransientConnectionError(c.code), c.transient);
  }
}
