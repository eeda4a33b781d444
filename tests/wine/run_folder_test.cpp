// The run folder's Windows half: the access list as Windows reads it, the folder made with
// it, and a removal that meets a symbolic link. Wine enforces no access list and maps
// Administrators to its own user, so what the list grants is read from the descriptor in
// memory, and who owns a folder is left to the native rule and to real Windows.
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>
#include <aclapi.h>

#include <set>
#include <string>

#include "harness.h"
#include "setup/run_folder_win32.h"

using namespace harness;

namespace {

std::wstring SidText(PSID sid) {
  LPWSTR text = nullptr;
  if (!::ConvertSidToStringSidW(sid, &text)) return L"?";
  std::wstring result = text;
  ::LocalFree(text);
  return result;
}

}  // namespace

// Read back as Windows parses it: only SYSTEM and Administrators may write, both with full
// control that every file below inherits; nothing is inherited from above; Administrators own it.
TEST(RunFolderAccess, GrantsWriteToSystemAndAdministratorsOnly) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(kRunFolderAccess, SDDL_REVISION_1, &descriptor,
                                                                     nullptr));
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  ASSERT_TRUE(::GetSecurityDescriptorControl(descriptor, &control, &revision));
  EXPECT_TRUE(control & SE_DACL_PROTECTED);
  PSID owner = nullptr;
  BOOL defaulted = FALSE;
  ASSERT_TRUE(::GetSecurityDescriptorOwner(descriptor, &owner, &defaulted));
  EXPECT_EQ(SidText(owner), L"S-1-5-32-544");
  BOOL present = FALSE;
  PACL dacl = nullptr;
  ASSERT_TRUE(::GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted));
  ASSERT_TRUE(present && dacl);
  std::set<std::wstring> writers;
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    ASSERT_TRUE(::GetAce(dacl, i, &ace));
    const auto* header = static_cast<ACE_HEADER*>(ace);
    ASSERT_EQ(header->AceType, ACCESS_ALLOWED_ACE_TYPE) << "an entry of another kind, at " << i;
    const auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
    EXPECT_EQ(header->AceFlags & (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE), OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE);
    EXPECT_EQ(allowed->Mask & FILE_ALL_ACCESS, static_cast<DWORD>(FILE_ALL_ACCESS));
    if (allowed->Mask & (FILE_WRITE_DATA | FILE_APPEND_DATA | DELETE | WRITE_DAC | WRITE_OWNER)) {
      writers.insert(SidText(const_cast<DWORD*>(&allowed->SidStart)));
    }
  }
  EXPECT_EQ(writers, (std::set<std::wstring>{L"S-1-5-18", L"S-1-5-32-544"}));
  ::LocalFree(descriptor);
}

// The folder is made with that list and the list reads back; a second make of the same name
// says the name exists, which makes the chain take another.
TEST(RunFolderAccess, TheFolderIsMadeWithTheListAndANameIsNeverMadeTwice) {
  RunFolderSystemWin32 system;
  EXPECT_EQ(system.ProgramDataFolder(), L"C:\\ProgramData");
  const std::wstring folder = system.ProgramDataFolder() + L"\\" + RunFolderName(system.RandomBytes(16));
  bool exists = true;
  ASSERT_FALSE(system.MakeProtectedFolder(folder, exists).has_value());
  EXPECT_FALSE(exists);
  EXPECT_TRUE(system.MakeProtectedFolder(folder, exists).has_value());
  EXPECT_TRUE(exists);

  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_EQ(::GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                                    nullptr, &descriptor),
            static_cast<DWORD>(ERROR_SUCCESS));
  ASSERT_TRUE(dacl);
  EXPECT_EQ(dacl->AceCount, 2u);
  ::LocalFree(descriptor);
  const FolderFacts facts = system.Facts(folder);
  ASSERT_TRUE(facts.age_ms.has_value());
  EXPECT_LT(*facts.age_ms, kLeftoverAgeMs);
  EXPECT_TRUE(RemoveTree(system, folder, false));
  EXPECT_FALSE(DirectoryExists(folder));
}

// A link inside goes as a link; the folder it points to keeps its file.
TEST(RunFolderAccess, TheRemovalTakesALinkAndLeavesWhatItPointsTo) {
  RunFolderSystemWin32 system;
  const std::wstring folder = TestTmp() + L"\\run";
  const std::wstring outside = TestTmp() + L"\\outside";
  WriteFileBytes(outside + L"\\kept.txt", "kept");
  WriteFileBytes(folder + L"\\sub\\a.txt", "a");
  if (!::CreateSymbolicLinkW((folder + L"\\sub\\link").c_str(), outside.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY)) {
    GTEST_SKIP() << "no symbolic links here (error " << ::GetLastError() << ")";
  }
  EXPECT_TRUE(RemoveTree(system, folder, false));
  EXPECT_FALSE(DirectoryExists(folder));
  EXPECT_EQ(ReadFileBytes(outside + L"\\kept.txt"), "kept");
}
