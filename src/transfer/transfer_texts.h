#pragma once
// The texts of the errors a transfer raises.
#include <cstdint>
#include <string>

// A system message as the tail of a sentence: Windows ends its messages with a full stop
// and a line break, and the error report adds its own full stop.
std::wstring TrimmedSystemMessage(std::wstring message);

// Cannot create file "C:\...\database.cf". Access is denied
std::wstring CannotCreateFileText(const std::wstring& path, const std::wstring& system_message);

// Cannot download "http://host/path". <reason>
std::wstring CannotDownloadText(const std::wstring& url, const std::wstring& reason);

// The reasons the transfer itself finds.
std::wstring HttpStatusReason(unsigned status);
std::wstring CutShortReason(std::uint64_t received, std::uint32_t announced);
