#pragma once
// Who the utility runs as, and who is signed in to the session it runs in.
#include <optional>

#include "setup/account_check.h"

// The user and domain of the process's own token (LookupAccountSidW).
std::optional<AccountName> AccountOfThisProcess();
// The user and domain signed in to this process's session (WTSQuerySessionInformationW).
std::optional<AccountName> AccountOfThisSession();
