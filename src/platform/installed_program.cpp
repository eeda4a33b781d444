#include "platform/installed_program.h"

#include "base/text.h"

namespace {

// The access rights as Windows numbers them (winnt.h). A generic right in an entry is
// taken at its widest meaning.
constexpr std::uint32_t kWriteData = 0x0002;    // FILE_WRITE_DATA, FILE_ADD_FILE
constexpr std::uint32_t kAppendData = 0x0004;   // FILE_APPEND_DATA, FILE_ADD_SUBDIRECTORY
constexpr std::uint32_t kDeleteChild = 0x0040;  // FILE_DELETE_CHILD
constexpr std::uint32_t kDelete = 0x00010000;
constexpr std::uint32_t kWriteDac = 0x00040000;
constexpr std::uint32_t kWriteOwner = 0x00080000;
constexpr std::uint32_t kGenericAll = 0x10000000;
constexpr std::uint32_t kGenericWrite = 0x40000000;

// What lets someone replace or rewrite a file where it lies, or move it away.
constexpr std::uint32_t kChangesTheItem =
    kDelete | kDeleteChild | kWriteDac | kWriteOwner | kGenericAll | kGenericWrite;
// Writing into the file, or adding a file beside it in its own folder (a DLL the
// platform would load from there).
constexpr std::uint32_t kChangesTheContent = kChangesTheItem | kWriteData | kAppendData;

bool IsTrusted(const std::wstring& sid) {
  return sid == L"S-1-5-18"       // SYSTEM
         || sid == L"S-1-5-32-544"  // Administrators
         || sid == L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";  // TrustedInstaller
}

bool GrantsToSomeoneElse(const SecuredItem& item, std::uint32_t rights) {
  if (!item.access) return true;
  for (const AccessEntry& entry : *item.access) {
    if (!entry.allows || entry.inherit_only || IsTrusted(entry.sid)) continue;
    if (entry.mask & rights) return true;
  }
  return false;
}

}  // namespace

bool IsInsideFolder(const std::wstring& path, const std::wstring& folder) {
  std::wstring base = folder;
  while (!base.empty() && (base.back() == L'\\' || base.back() == L'/')) base.pop_back();
  if (base.empty() || path.size() <= base.size() + 1) return false;
  for (size_t i = 0; i < base.size(); ++i) {
    if (ToLowerChar(path[i]) != ToLowerChar(base[i])) return false;
  }
  return path[base.size()] == L'\\';
}

bool OnlyAdministratorsCanChange(const std::vector<SecuredItem>& chain) {
  if (chain.empty()) return false;
  for (size_t i = 0; i < chain.size(); ++i) {
    const SecuredItem& item = chain[i];
    // An owner may always rewrite the access list, whatever it says.
    if (!IsTrusted(item.owner_sid)) return false;
    if (GrantsToSomeoneElse(item, i < 2 ? kChangesTheContent : kChangesTheItem)) return false;
  }
  return true;
}

std::vector<std::wstring> PathAndFoldersAbove(const std::wstring& path) {
  // The root is the drive ("D:\") or, for a share, "\\server\share\": a folder above it
  // is not one a program can be in.
  size_t root_end = 0;
  if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') {
    root_end = 3;
  } else if (path.rfind(L"\\\\", 0) == 0) {
    const size_t server_end = path.find(L'\\', 2);
    const size_t share_end = server_end == std::wstring::npos ? server_end : path.find(L'\\', server_end + 1);
    if (share_end == std::wstring::npos) return {};
    root_end = share_end + 1;
  } else {
    return {};
  }
  std::vector<std::wstring> chain;
  std::wstring item = path;
  while (item.size() > root_end) {
    chain.push_back(item);
    const size_t slash = item.find_last_of(L'\\');
    if (slash + 1 <= root_end) {
      item = path.substr(0, root_end);
    } else {
      item.resize(slash);
    }
  }
  chain.push_back(path.substr(0, root_end));
  return chain;
}
