#include "platform/installed_program.h"

#include <gtest/gtest.h>

namespace {

const std::wstring kSystem = L"S-1-5-18";
const std::wstring kAdministrators = L"S-1-5-32-544";
const std::wstring kTrustedInstaller = L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
const std::wstring kUsers = L"S-1-5-32-545";
const std::wstring kAuthenticatedUsers = L"S-1-5-11";
const std::wstring kPerson = L"S-1-5-21-1-2-3-1001";

// The rights as a folder's properties dialog grants them.
constexpr std::uint32_t kFullControl = 0x1F01FF;
constexpr std::uint32_t kReadAndExecute = 0x1200A9;
constexpr std::uint32_t kModify = 0x1301BF;
constexpr std::uint32_t kCreateFolders = 0x4;  // append data
constexpr std::uint32_t kCreateFiles = 0x2;    // write data

AccessEntry Allow(const std::wstring& sid, std::uint32_t mask, bool inherit_only = false) {
  return {sid, mask, true, inherit_only};
}

// What an installation to D:\1cv8 under a proper access list looks like.
SecuredItem AdminOnly() {
  return {kAdministrators, std::vector<AccessEntry>{Allow(kSystem, kFullControl), Allow(kAdministrators, kFullControl),
                                                    Allow(kUsers, kReadAndExecute)}};
}
SecuredItem VolumeRoot() {
  return {kSystem, std::vector<AccessEntry>{Allow(kSystem, kFullControl), Allow(kAdministrators, kFullControl),
                                            Allow(kUsers, kReadAndExecute), Allow(kAuthenticatedUsers, kCreateFolders),
                                            Allow(kAuthenticatedUsers, kModify, true)}};
}

}  // namespace

TEST(IsInsideFolder, WholeFolderNamesIgnoringCase) {
  const std::wstring program_files = L"C:\\Program Files";
  struct Case {
    const wchar_t* path;
    bool inside;
  } cases[] = {
      {L"C:\\Program Files\\1cv8\\bin\\1cv8.exe", true},
      {L"c:\\PROGRAM FILES\\1cv8\\bin\\1cv8.exe", true},
      {L"C:\\Program Files Evil\\1cv8.exe", false},  // a prefix that is not a folder
      {L"C:\\Program Files", false},                 // the folder itself is no program in it
      {L"C:\\Program Files\\", false},
      {L"C:\\Users\\tester\\Downloads\\Program Files\\1cv8.exe", false},
      {L"D:\\Program Files\\1cv8.exe", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(std::wstring(c.path)));
    EXPECT_EQ(IsInsideFolder(c.path, program_files), c.inside);
    EXPECT_EQ(IsInsideFolder(c.path, program_files + L"\\"), c.inside);
  }
  // A known folder that could not be read holds nothing.
  EXPECT_FALSE(IsInsideFolder(L"\\1cv8.exe", L""));
  EXPECT_TRUE(IsInsideFolder(L"C:\\ПРОГРАММЫ\\1cv8.exe", L"C:\\Программы"));
}

TEST(PathAndFoldersAbove, EveryFolderUpToTheRoot) {
  EXPECT_EQ(PathAndFoldersAbove(L"D:\\1cv8\\bin\\1cv8.exe"),
            (std::vector<std::wstring>{L"D:\\1cv8\\bin\\1cv8.exe", L"D:\\1cv8\\bin", L"D:\\1cv8", L"D:\\"}));
  EXPECT_EQ(PathAndFoldersAbove(L"D:\\1cv8.exe"), (std::vector<std::wstring>{L"D:\\1cv8.exe", L"D:\\"}));
  EXPECT_EQ(PathAndFoldersAbove(L"\\\\srv\\apps\\1cv8\\1cv8.exe"),
            (std::vector<std::wstring>{L"\\\\srv\\apps\\1cv8\\1cv8.exe", L"\\\\srv\\apps\\1cv8", L"\\\\srv\\apps\\"}));
  // Nothing to judge is nothing accepted.
  EXPECT_TRUE(PathAndFoldersAbove(L"1cv8.exe").empty());
  EXPECT_TRUE(PathAndFoldersAbove(L"\\\\srv\\apps").empty());
}

TEST(OnlyAdministratorsCanChange, ARightOfAnyoneElseThatCouldChangeTheFileRefuses) {
  struct Case {
    const char* name;
    size_t item;  // 0 the file, 1 its folder, 2 a folder above, 3 the root
    std::optional<AccessEntry> added;
    std::wstring owner;  // empty: as it was
    bool accepted;
  };
  const Case cases[] = {
      {"a proper installation", 0, std::nullopt, L"", true},
      {"TrustedInstaller owns the file", 0, std::nullopt, kTrustedInstaller, true},
      {"the person may write the file", 0, Allow(kPerson, kCreateFiles), L"", false},
      {"Users may modify the file's folder", 1, Allow(kUsers, kModify), L"", false},
      // A DLL placed beside the platform would be loaded by it.
      {"the person may add files to the file's folder", 1, Allow(kPerson, kCreateFiles), L"", false},
      {"the person may change the folder's permissions", 1, Allow(kPerson, 0x40000), L"", false},
      {"the person may delete a folder above", 2, Allow(kPerson, 0x10000), L"", false},
      {"the person may delete what a folder above holds", 2, Allow(kPerson, 0x40), L"", false},
      {"GENERIC_ALL for the person on a folder above", 2, Allow(kPerson, 0x10000000), L"", false},
      {"the person may make folders in a folder above", 2, Allow(kPerson, kCreateFolders), L"", true},
      {"inherit-only write for the person", 1, Allow(kPerson, kModify, true), L"", true},
      {"a denial", 1, AccessEntry{kPerson, kFullControl, false, false}, L"", true},
      {"the person owns the folder above", 2, std::nullopt, kPerson, false},
      {"the person owns the root", 3, std::nullopt, kPerson, false},
      {"the person owns the file", 0, std::nullopt, kPerson, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<SecuredItem> chain = {AdminOnly(), AdminOnly(), AdminOnly(), VolumeRoot()};
    if (c.added) chain[c.item].access->push_back(*c.added);
    if (!c.owner.empty()) chain[c.item].owner_sid = c.owner;
    EXPECT_EQ(OnlyAdministratorsCanChange(chain), c.accepted);
  }
  std::vector<SecuredItem> no_list = {AdminOnly(), {kAdministrators, std::nullopt}, VolumeRoot()};
  EXPECT_FALSE(OnlyAdministratorsCanChange(no_list)) << "no access list lets everyone change it";
  EXPECT_FALSE(OnlyAdministratorsCanChange({}));
  // The root's own grant to make folders would let anyone add files beside a file there.
  EXPECT_FALSE(OnlyAdministratorsCanChange({AdminOnly(), VolumeRoot()}));
}
