#include "platform/installed_program_win32.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>

#include <optional>
#include <vector>

#include "platform/installed_program.h"

namespace {

std::wstring KnownFolder(const KNOWNFOLDERID& id) {
  wchar_t* path = nullptr;
  std::wstring folder;
  // Without KF_FLAG_DONT_VERIFY a folder that does not exist gives nothing, which is right:
  // nothing can be inside it.
  if (SUCCEEDED(::SHGetKnownFolderPath(id, 0, nullptr, &path))) folder = path;
  ::CoTaskMemFree(path);
  return folder;
}

std::wstring SidText(PSID sid) {
  wchar_t* text = nullptr;
  if (!sid || !::ConvertSidToStringSidW(sid, &text)) return std::wstring();
  std::wstring result(text);
  ::LocalFree(text);
  return result;
}

// Frees what GetNamedSecurityInfoW hands back.
struct LocalMemory {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ~LocalMemory() { ::LocalFree(descriptor); }
};

std::optional<SecuredItem> ReadSecurity(const std::wstring& path) {
  PSID owner = nullptr;
  PACL dacl = nullptr;
  LocalMemory memory;
  // A link on the way is followed to its target, as the loader followed it; who may
  // change the link itself is decided by the folder above it, which is checked too.
  if (::GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                              &owner, nullptr, &dacl, nullptr, &memory.descriptor) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  SecuredItem item;
  item.owner_sid = SidText(owner);
  if (!dacl) return item;  // a null list: everyone may do everything
  item.access.emplace();
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    if (!::GetAce(dacl, i, &ace)) return std::nullopt;
    const auto* header = static_cast<const ACE_HEADER*>(ace);
    AccessEntry entry;
    entry.inherit_only = (header->AceFlags & INHERIT_ONLY_ACE) != 0;
    if (header->AceType == ACCESS_ALLOWED_ACE_TYPE || header->AceType == ACCESS_DENIED_ACE_TYPE) {
      const auto* simple = static_cast<const ACCESS_ALLOWED_ACE*>(ace);  // both share this layout
      entry.sid = SidText(const_cast<DWORD*>(&simple->SidStart));
      entry.mask = simple->Mask;
      entry.allows = header->AceType == ACCESS_ALLOWED_ACE_TYPE;
    } else {
      // A kind of entry this rule does not read might grant anything to anyone.
      entry.mask = 0xFFFFFFFF;
    }
    item.access->push_back(entry);
  }
  return item;
}

}  // namespace

bool IsInstalledOnThisMachine(const std::wstring& path) {
  for (const KNOWNFOLDERID* id : {&FOLDERID_ProgramFiles, &FOLDERID_ProgramFilesX86}) {
    if (IsInsideFolder(path, KnownFolder(*id))) return true;
  }
  std::vector<SecuredItem> chain;
  for (const std::wstring& item : PathAndFoldersAbove(path)) {
    std::optional<SecuredItem> secured = ReadSecurity(item);
    if (!secured) return false;
    chain.push_back(std::move(*secured));
  }
  return OnlyAdministratorsCanChange(chain);
}
