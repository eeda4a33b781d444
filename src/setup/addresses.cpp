#include "setup/addresses.h"

std::wstring ServerAddress(const std::wstring& server, const std::wstring& path) {
  // The build refuses any other form of a server (see CMakeLists.txt), so a name without
  // this exact prefix is a host, even one called "https".
  if (server.starts_with(L"https://")) return server + path;
  return L"http://" + server + path;
}

std::wstring ConfigurationAddress() {
  return ServerAddress(KALVERA_CONFIG_SERVER, L"/resources/database.cf");
}

std::wstring PackageAddress() {
  return ServerAddress(KALVERA_PACKAGE_SERVER, L"/install/download/Setup1C.zip");
}
