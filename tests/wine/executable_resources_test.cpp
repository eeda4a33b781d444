// What Windows reads from the executable before any code runs: manifest, version, icon.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.h"

namespace {

struct Module {
  HMODULE handle;
  explicit Module(const std::wstring& path)
      : handle(::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
  ~Module() {
    if (handle) ::FreeLibrary(handle);
  }
};

std::string ResourceText(HMODULE module, LPCWSTR name, LPCWSTR type) {
  HRSRC found = ::FindResourceW(module, name, type);
  if (!found) return {};
  HGLOBAL loaded = ::LoadResource(module, found);
  auto* bytes = static_cast<const char*>(::LockResource(loaded));
  return std::string(bytes, ::SizeofResource(module, found));
}

std::wstring VersionString(const std::vector<char>& block, const std::wstring& key) {
  wchar_t* value = nullptr;
  UINT length = 0;
  const std::wstring path = L"\\StringFileInfo\\040904E4\\" + key;
  if (!::VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) return {};
  return std::wstring(value, length ? length - 1 : 0);
}

}  // namespace

TEST(ExecutableResources, ManifestAsksForAdministratorCommonControls6AndPerMonitorDpiAwareness) {
  Module exe(harness::AppPath());
  ASSERT_TRUE(exe.handle);
  const std::string manifest = ResourceText(exe.handle, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  EXPECT_NE(manifest.find("level=\"requireAdministrator\" uiAccess=\"false\""), std::string::npos);
  EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
  EXPECT_NE(manifest.find("publicKeyToken=\"6595b64144ccf1df\""), std::string::npos);
  // Per-monitor v2 where Windows 10 1703 and later read it, system awareness before.
  EXPECT_NE(manifest.find("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
                          "PerMonitorV2, System</dpiAwareness>"),
            std::string::npos);
  EXPECT_NE(manifest.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>"),
            std::string::npos);
}

TEST(ExecutableResources, VersionRecordSaysOneZeroZeroZeroInEnglishWindows1252) {
  const std::wstring path = harness::AppPath();
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> block(size);
  ASSERT_TRUE(::GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
  EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
  EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u);
  EXPECT_EQ(VersionString(block, L"FileVersion"), L"1.0.0.0");
  EXPECT_EQ(VersionString(block, L"ProductVersion"), L"1.0.0.0");
  for (const wchar_t* key : {L"FileDescription", L"ProgramID", L"ProductName"}) {
    EXPECT_FALSE(VersionString(block, key).empty()) << key;
  }
}

TEST(ExecutableResources, MainIconIsOne32By32ImageWithAlpha) {
  Module exe(harness::AppPath());
  ASSERT_TRUE(exe.handle);
  const std::string group = ResourceText(exe.handle, L"MAINICON", MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
  ASSERT_EQ(group.size(), 6u + 14u);  // one directory entry
  EXPECT_EQ(static_cast<unsigned char>(group[6]), 32);  // width
  EXPECT_EQ(static_cast<unsigned char>(group[7]), 32);  // height
  EXPECT_EQ(static_cast<unsigned char>(group[12]), 32);  // bits per pixel
  HICON icon = static_cast<HICON>(::LoadImageW(exe.handle, L"MAINICON", IMAGE_ICON, 32, 32, 0));
  EXPECT_TRUE(icon);
  if (icon) ::DestroyIcon(icon);
}
