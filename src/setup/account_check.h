#pragma once
// Whom the base is for, when the utility runs as another user than the person at the
// desk: a standard user who asked an administrator to type a password at the elevation
// prompt gets everything in the administrator's profile.
#include <optional>
#include <string>

struct AccountName {
  std::wstring domain;
  std::wstring user;
};

// Both names compared as Windows compares account names, ignoring case. Nothing when
// they agree or either is unknown; otherwise the question that names both and says the
// base will be created for the user the utility runs as.
std::optional<std::wstring> OtherUserQuestion(const std::optional<AccountName>& running_as,
                                              const std::optional<AccountName>& signed_in);
