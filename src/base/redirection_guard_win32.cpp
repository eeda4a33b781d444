#include "base/redirection_guard_win32.h"

#include <windows.h>

#include "base/system_message_win32.h"

namespace {

// PROCESS_MITIGATION_POLICY's ProcessRedirectionTrustPolicy and the policy's record
// (winnt.h of the Windows 11 SDK; older headers lack both).
constexpr int kProcessRedirectionTrustPolicy = 16;
struct RedirectionTrustPolicy {
  DWORD flags;  // bit 0 EnforceRedirectionTrust, bit 1 AuditRedirectionTrust
};
constexpr DWORD kEnforceRedirectionTrust = 0x1;

using SetProcessMitigationPolicyFn = BOOL(WINAPI*)(int, PVOID, SIZE_T);

}  // namespace

std::wstring TurnOnRedirectionGuard() {
  // kernel32 is always loaded; the function exists from Windows 8 on.
  HMODULE kernel32 = ::GetModuleHandleW(L"kernel32");
  auto set_policy = kernel32 ? reinterpret_cast<SetProcessMitigationPolicyFn>(reinterpret_cast<void*>(
                                   ::GetProcAddress(kernel32, "SetProcessMitigationPolicy")))
                             : nullptr;
  if (!set_policy) return L"RedirectionGuard: not available, SetProcessMitigationPolicy is missing";
  RedirectionTrustPolicy policy{kEnforceRedirectionTrust};
  // A Windows build that does not know the policy refuses it (ERROR_INVALID_PARAMETER).
  // Wine's stub reports success whatever is asked, so under Wine "on" means nothing.
  if (!set_policy(kProcessRedirectionTrustPolicy, &policy, sizeof policy)) {
    const DWORD code = ::GetLastError();
    return L"RedirectionGuard: not available on this Windows: " + SystemMessage(code) + L" (" +
           std::to_wstring(code) + L")";
  }
  return L"RedirectionGuard: on";
}
