#pragma once
// Every file and folder the utility touches: "C:\Users\", the user name, a fixed tail.
// The profile's real location is never asked for, and the name is used as it is.
#include <string>

namespace user_paths {

std::wstring DownloadFolder(const std::wstring& user);     // ...\Downloads\KalveraDownload
std::wstring PackageFile(const std::wstring& user);        // ...\update_pack.zip
std::wstring ExtractionFolder(const std::wstring& user);   // download folder with a trailing "\"
std::wstring SetupProgram(const std::wstring& user);       // ...\KalveraSetup1c.exe
std::wstring ConfigurationFolder(const std::wstring& user);  // ...\Documents\Kalvera1C
std::wstring ConfigurationFile(const std::wstring& user);    // ...\Kalvera1C\database.cf
// "C:/Users/<user>/Documents/kalvera_base", with forward slashes.
std::wstring DefaultBaseFolder(const std::wstring& user);

}  // namespace user_paths
