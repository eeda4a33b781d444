#pragma once
// What run_in_prefix.sh hands each test through its environment.
#include <string>

namespace harness {

// The variable's value, or empty text when it is not set.
std::wstring EnvironmentVariable(const std::wstring& name);
// The same, but a missing value fails the test (std::runtime_error naming the variable).
std::wstring RequiredVariable(const std::wstring& name);

std::wstring AppPath();       // KALVERA_APP: the built KalveraBase.exe
std::wstring StandInPath();   // KALVERA_STANDIN: the built platform stand-in 1cv8.exe
std::wstring TestTmp();       // KALVERA_TEST_TMP: a scratch folder of this test alone
std::wstring HttpRoot();      // KALVERA_HTTP_ROOT: the folder the test HTTP server serves
int HttpPort();               // KALVERA_HTTP_PORT: its port on 127.0.0.1
// "http://127.0.0.1:<port>" followed by `path` (which begins with "/").
std::wstring HttpUrl(const std::wstring& path);

// The prefix's user as the utility sees it: GetUserNameW ("tester"), and the profile
// folder ("C:\users\tester").
std::wstring UserName();
std::wstring UserProfile();

}  // namespace harness
