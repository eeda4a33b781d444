#pragma once
// Plays the user's part in a scenario of the real utility and watches it to its end: it
// answers the request to start the platform by starting it, closes the user-mode run the
// chain waits on, and notes each status text with the progress bar at that moment.
#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "processes.h"

namespace harness {

inline constexpr wchar_t kStartPlatformRequest[] = L"Для продолжения установки запустите платформу 1С";
inline constexpr wchar_t kClosePlatformStatus[] = L"Закройте 1С для продолжения";

// A status text as first seen, with the bar's position and range's high end then.
struct StatusSighting {
  std::wstring text;
  int position = 0;
  int high = 0;
  bool request_open = false;  // a start-the-platform message was open then
};

struct ScenarioOutcome {
  std::vector<StatusSighting> statuses;  // each change, in order
  std::vector<std::wstring> requests;    // the start-the-platform messages seen
  std::optional<std::wstring> error_report;  // the text of a box with a stop icon
  std::optional<DWORD> exit_code;            // when the utility ended
};

struct UserPart {
  // Where the platform is installed (by the test, or by the setup program).
  std::wstring platform;
  // Close the start-the-platform message (as the new base installation and the update
  // need), or leave it open and start the platform beside it.
  bool answer_requests = true;
  // Called with each new status text, e.g. to take a screenshot.
  std::function<void(const StatusSighting&)> on_status;
};

// Plays `user` until the utility ends, an error report opens (left open for the caller),
// or `timeout` passes.
ScenarioOutcome PlayScenario(const ChildProcess& app, HWND main, const UserPart& user,
                             std::chrono::milliseconds timeout);

// Whether `wanted` occur in `statuses` in this order (others may come between them).
bool SeenInOrder(const std::vector<StatusSighting>& statuses, const std::vector<std::wstring>& wanted);
// The texts seen, one a line, for a failure message.
std::string Trail(const std::vector<StatusSighting>& statuses);
// The sighting of `text`, if it was seen.
std::optional<StatusSighting> Sighting(const std::vector<StatusSighting>& statuses, const std::wstring& text);

}  // namespace harness
