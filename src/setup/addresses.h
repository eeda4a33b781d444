#pragma once
// Where the chain fetches its two files: plain HTTP to hosts fixed at build time.
#include <string>

std::wstring ConfigurationAddress();  // ".../resources/database.cf" on the configuration server
std::wstring PackageAddress();        // ".../install/download/Setup1C.zip" on the package server
