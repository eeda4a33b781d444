#pragma once
// Where the chain fetches its two files, on servers fixed at build time.
#include <string>

// The address of `path` on `server`, which the build gives either as "host[:port]",
// fetched over plain HTTP, or as "https://host[:port]", fetched over HTTPS.
std::wstring ServerAddress(const std::wstring& server, const std::wstring& path);

std::wstring ConfigurationAddress();  // ".../resources/database.cf" on the configuration server
std::wstring PackageAddress();        // ".../install/download/Setup1C.zip" on the package server
