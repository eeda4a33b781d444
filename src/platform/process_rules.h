#pragma once
// Which executable names the process watch looks for, and how it ends the platform.
#include <cstdint>
#include <string>

// Compared as UTF-16 code units: no case folding, so "1CV8.exe" is not the platform.
bool IsPlatformName(const std::wstring& exe_name);   // contains "1cv8"
bool IsSetupProgramName(const std::wstring& exe_name);  // exactly "KalveraSetup1c.exe"

// Parameters that force-end exactly this process, by id, by the taskkill of
// `system_folder`: a kill by image name would end every session's platform, and could
// end a run the chain starts right after it.
std::wstring KillCommand(const std::wstring& system_folder, std::uint32_t pid);
