#include "setup/account_check.h"

#include <algorithm>

#include "base/text.h"

namespace {

bool SameIgnoringCase(const std::wstring& a, const std::wstring& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](wchar_t x, wchar_t y) { return ToLowerChar(x) == ToLowerChar(y); });
}

std::wstring Shown(const AccountName& account) {
  return account.domain.empty() ? account.user : account.domain + L"\\" + account.user;
}

}  // namespace

std::optional<std::wstring> OtherUserQuestion(const std::optional<AccountName>& running_as,
                                              const std::optional<AccountName>& signed_in) {
  if (!running_as || !signed_in) return std::nullopt;
  if (SameIgnoringCase(running_as->user, signed_in->user) &&
      SameIgnoringCase(running_as->domain, signed_in->domain)) {
    return std::nullopt;
  }
  return L"Программа запущена от имени пользователя " + Shown(*running_as) +
         L", а в этом сеансе работает пользователь " + Shown(*signed_in) + L".\n\nБаза 1\u0421 будет создана для пользователя " +
         Shown(*running_as) + L". Продолжить?";
}
