#include "setup/addresses.h"

std::wstring ConfigurationAddress() {
  return L"http://" KALVERA_CONFIG_SERVER L"/resources/database.cf";
}

std::wstring PackageAddress() {
  return L"http://" KALVERA_PACKAGE_SERVER L"/install/download/Setup1C.zip";
}
