#include "base/reparse_rules.h"

#include "base/text.h"

namespace {

// winnt.h's IO_REPARSE_TAG_MOUNT_POINT and IO_REPARSE_TAG_SYMLINK.
constexpr std::uint32_t kMountPoint = 0xA0000003;
constexpr std::uint32_t kSymbolicLink = 0xA000000C;

}  // namespace

bool IsLinkTag(std::optional<std::uint32_t> tag) { return !tag || *tag == kMountPoint || *tag == kSymbolicLink; }

std::wstring OrdinaryFinalPath(const std::wstring& final_path) {
  if (final_path.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\\\" + final_path.substr(8);
  if (final_path.rfind(L"\\\\?\\", 0) == 0) return final_path.substr(4);
  return final_path;
}

bool ReachedBelow(const std::wstring& reached, const std::wstring& known_folder, const std::wstring& tail) {
  std::wstring expected = known_folder;
  if (expected.empty() || expected.back() != L'\\') expected += L'\\';
  expected += tail;
  if (reached.size() != expected.size()) return false;
  for (size_t i = 0; i < reached.size(); ++i) {
    if (ToLowerChar(reached[i]) != ToLowerChar(expected[i])) return false;
  }
  return true;
}
