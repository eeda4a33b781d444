#include "platform/process_path.h"

std::wstring ChooseExecutablePath(const PathQuery& module_file_name, unsigned major_version,
                                  const PathQuery& full_image_name) {
  if (std::optional<std::wstring> path = module_file_name()) return *path;
  // QueryFullProcessImageNameW first appeared in Windows Vista (6.0).
  if (major_version > 5) {
    if (std::optional<std::wstring> path = full_image_name()) return *path;
  }
  return std::wstring();
}

std::wstring SystemErrorText(std::uint32_t code, const std::wstring& system_message) {
  // "%d": a code with the top bit set reads as a negative number.
  return L"System Error.  Code: " + std::to_wstring(static_cast<std::int32_t>(code)) + L".\r\n" +
         system_message;
}
