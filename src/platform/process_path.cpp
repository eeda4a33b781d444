#include "platform/process_path.h"

namespace {

// What OpenProcess says of an id that names no process any more.
constexpr std::uint32_t kErrorInvalidParameter = 87;

}  // namespace

ExecutableImage JudgeExecutableImage(std::optional<std::uint32_t> open_error,
                                     const std::wstring& open_error_text, bool signalled,
                                     const PathQuery& image_name) {
  using State = ExecutableImage::State;
  if (open_error) {
    if (*open_error == kErrorInvalidParameter) return {State::kExited, {}, {}};
    return {State::kUnreadable, {}, open_error_text};
  }
  if (signalled) return {State::kExited, {}, {}};
  std::optional<std::wstring> path = image_name();
  if (!path || path->empty()) return {State::kUnreadable, {}, L"the image name cannot be read"};
  return {State::kRead, *path, {}};
}

std::wstring SystemErrorText(std::uint32_t code, const std::wstring& system_message) {
  // "%d": a code with the top bit set reads as a negative number.
  return L"System Error.  Code: " + std::to_wstring(static_cast<std::int32_t>(code)) + L".\r\n" +
         system_message;
}
