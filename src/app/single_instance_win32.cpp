#include "app/single_instance_win32.h"

#include <aclapi.h>
#include <sddl.h>

#include <vector>

#include "base/control_ids.h"
#include "base/system_message_win32.h"

namespace {

// Memory that the security functions hand out is freed with LocalFree.
template <typename T>
struct LocalMemory {
  T value = nullptr;
  ~LocalMemory() {
    if (value) ::LocalFree(value);
  }
};

// The TOKEN_USER of `process`; empty when it cannot be read.
std::vector<unsigned char> TokenUserOf(HANDLE process) {
  HANDLE raw_token = nullptr;
  if (!::OpenProcessToken(process, TOKEN_QUERY, &raw_token)) return {};
  const UniqueKernelHandle token(raw_token);
  DWORD size = 0;
  ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  std::vector<unsigned char> user(size);
  if (size == 0 || !::GetTokenInformation(token.get(), TokenUser, user.data(), size, &size)) return {};
  return user;
}

PSID SidOf(std::vector<unsigned char>& token_user) {
  return reinterpret_cast<TOKEN_USER*>(token_user.data())->User.Sid;
}

std::wstring Failure(const wchar_t* what, DWORD code) { return std::wstring(what) + L": " + SystemMessage(code); }

// Only SYSTEM and the Administrators may make this name; an object owned by anyone else
// was put there to stop the installation.
bool OwnedByAnInstance(HANDLE mutex, std::wstring& detail) {
  PSID owner = nullptr;
  LocalMemory<PSECURITY_DESCRIPTOR> descriptor;
  const DWORD read = ::GetSecurityInfo(mutex, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                                       nullptr, nullptr, &descriptor.value);
  if (read != ERROR_SUCCESS || !owner) {
    detail = Failure(L"its owner cannot be read", read);
    return false;
  }
  if (::IsWellKnownSid(owner, WinLocalSystemSid) || ::IsWellKnownSid(owner, WinBuiltinAdministratorsSid)) {
    return true;
  }
  LocalMemory<LPWSTR> text;
  detail = ::ConvertSidToStringSidW(owner, &text.value) ? std::wstring(L"owner ") + text.value : L"owner unknown";
  return false;
}

struct Search {
  DWORD own_pid;
  DWORD own_session;
  PSID own_sid;
  HWND found;
};

bool IsRunOfThisAccount(DWORD pid, const Search& search) {
  DWORD session = 0;
  if (!::ProcessIdToSessionId(pid, &session) || session != search.own_session) return false;
  const UniqueProcess process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!process) return false;
  std::vector<unsigned char> user = TokenUserOf(process.get());
  return !user.empty() && ::EqualSid(SidOf(user), search.own_sid);
}

BOOL CALLBACK VisitTopLevel(HWND window, LPARAM parameter) {
  Search& search = *reinterpret_cast<Search*>(parameter);
  wchar_t class_name[32] = {};
  if (!::GetClassNameW(window, class_name, 32) || std::wstring(class_name) != kMainWindowClass) return TRUE;
  DWORD pid = 0;
  ::GetWindowThreadProcessId(window, &pid);
  if (pid == search.own_pid || !IsRunOfThisAccount(pid, search)) return TRUE;
  search.found = window;
  return FALSE;
}

}  // namespace

InstanceLock::InstanceLock() {
  std::vector<unsigned char> user = TokenUserOf(::GetCurrentProcess());
  LocalMemory<LPWSTR> sid_text;
  if (user.empty() || !::ConvertSidToStringSidW(SidOf(user), &sid_text.value)) {
    detail_ = Failure(L"the account's SID cannot be read", ::GetLastError());
    return;
  }
  const std::wstring name = std::wstring(L"Global\\Kalvera.BaseInstaller.") + sid_text.value;
  // Owned by the Administrators, open to them and SYSTEM alone: the person's own unelevated
  // programs can neither make the name first nor open it.
  LocalMemory<PSECURITY_DESCRIPTOR> descriptor;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"O:BAD:P(A;;GA;;;SY)(A;;GA;;;BA)", SDDL_REVISION_1,
                                                              &descriptor.value, nullptr)) {
    detail_ = Failure(L"the access list cannot be made", ::GetLastError());
    return;
  }
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor.value, FALSE};
  mutex_.reset(::CreateMutexW(&attributes, FALSE, name.c_str()));
  const DWORD error = ::GetLastError();
  if (!mutex_) {
    // Access denied: someone else's object with an access list that shuts us out;
    // an invalid handle: the name belongs to an object of another kind.
    const bool exists = error == ERROR_ACCESS_DENIED || error == ERROR_INVALID_HANDLE;
    state_ = exists ? InstanceName::Unopenable : InstanceName::Failed;
    detail_ = Failure(name.c_str(), error);
    return;
  }
  if (error != ERROR_ALREADY_EXISTS) {
    state_ = InstanceName::Made;
    return;
  }
  std::wstring owner;
  state_ = OwnedByAnInstance(mutex_.get(), owner) ? InstanceName::HeldByAnInstance : InstanceName::HeldByAnotherOwner;
  detail_ = name + L", " + owner;
  // Another owner's object is no lock of ours; holding it would only keep it alive.
  if (state_ == InstanceName::HeldByAnotherOwner) mutex_.reset();
}

bool BringFirstInstanceToFront() {
  std::vector<unsigned char> user = TokenUserOf(::GetCurrentProcess());
  if (user.empty()) return false;
  Search search{::GetCurrentProcessId(), 0, SidOf(user), nullptr};
  if (!::ProcessIdToSessionId(search.own_pid, &search.own_session)) return false;
  ::EnumWindows(VisitTopLevel, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return false;
  if (::IsIconic(search.found)) ::ShowWindow(search.found, SW_RESTORE);
  // A message the first run shows comes up with its window. The run just started by the
  // person may take the foreground (SetForegroundWindow's rules).
  ::SetForegroundWindow(::GetLastActivePopup(search.found));
  return true;
}
