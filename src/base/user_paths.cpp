#include "base/user_paths.h"

namespace user_paths {

std::wstring DownloadFolder(const std::wstring& user) {
  return L"C:\\Users\\" + user + L"\\Downloads\\KalveraDownload";
}
std::wstring PackageFile(const std::wstring& user) {
  return DownloadFolder(user) + L"\\update_pack.zip";
}
std::wstring ExtractionFolder(const std::wstring& user) { return DownloadFolder(user) + L"\\"; }
std::wstring SetupProgram(const std::wstring& user) {
  return DownloadFolder(user) + L"\\KalveraSetup1c.exe";
}
std::wstring ConfigurationFolder(const std::wstring& user) {
  return L"C:\\Users\\" + user + L"\\Documents\\Kalvera1C";
}
std::wstring ConfigurationFile(const std::wstring& user) {
  return ConfigurationFolder(user) + L"\\database.cf";
}
std::wstring DefaultBaseFolder(const std::wstring& user) {
  return L"C:/Users/" + user + L"/Documents/kalvera_base";
}

}  // namespace user_paths
