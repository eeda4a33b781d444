#include "scenario_player.h"

#include <thread>

#include "files.h"
#include "stand_in.h"
#include "base/control_ids.h"
#include "window_driver.h"

namespace harness {

namespace {

// The error report is the one box with an icon: the request to start the platform has none.
bool HasStopIcon(const MessageBoxView& box) {
  HWND icon = ::GetDlgItem(box.window, 1088);
  DWORD_PTR handle = 0;
  return icon && ::SendMessageTimeoutW(icon, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 5000, &handle) && handle;
}

// A user-mode run of the platform that the utility started and now waits on.
void CloseUserModeRuns() {
  for (DWORD pid : ProcessIdsNamed(L"1cv8.exe")) {
    if (StandInWindow(pid)) CloseStandIn(pid);
  }
}

}  // namespace

ScenarioOutcome PlayScenario(const ChildProcess& app, HWND main, const UserPart& user,
                             std::chrono::milliseconds timeout) {
  ScenarioOutcome outcome;
  HWND status_bar = FindControl(main, control_id::StatusBar1);
  HWND bar = FindControl(main, control_id::ProgressBar1);
  HWND answered_request = nullptr;
  HWND started_for = nullptr;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    if (auto code = app.WaitForExit(std::chrono::milliseconds(0))) {
      outcome.exit_code = code;
      return outcome;
    }
    const std::wstring text = StatusText(status_bar);
    if (!text.empty() && (outcome.statuses.empty() || outcome.statuses.back().text != text)) {
      // Asked without a message to the utility, which may be in a blocking pause.
      const bool request_open = started_for && ::IsWindow(started_for) && ::IsWindowVisible(started_for);
      StatusSighting sighting{text, ProgressPosition(bar), ProgressRange(bar).second, request_open};
      outcome.statuses.push_back(sighting);
      if (user.on_status) user.on_status(sighting);
    }
    // Its window may come up some time after the status asks for it to be closed.
    if (!outcome.statuses.empty() && outcome.statuses.back().text == kClosePlatformStatus) CloseUserModeRuns();
    if (auto box = FindMessageBox(app.pid())) {
      if (HasStopIcon(*box)) {
        outcome.error_report = box->text;
        return outcome;
      }
      if (box->text == kStartPlatformRequest && box->window != started_for) {
        outcome.requests.push_back(box->text);
        started_for = box->window;
        if (user.answer_requests && box->window != answered_request) {
          answered_request = box->window;
          ClickOk(*box);
        }
        // Not waiting for its window: the utility may end it before it is drawn.
        Launch(user.platform, L"ENTERPRISE");
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return outcome;
}

bool SeenInOrder(const std::vector<StatusSighting>& statuses, const std::vector<std::wstring>& wanted) {
  size_t next = 0;
  for (const StatusSighting& s : statuses) {
    if (next < wanted.size() && s.text == wanted[next]) ++next;
  }
  return next == wanted.size();
}

std::string Trail(const std::vector<StatusSighting>& statuses) {
  std::string trail;
  for (const StatusSighting& s : statuses) {
    trail += ToUtf8(s.text) + " (" + std::to_string(s.position) + "/" + std::to_string(s.high) + ")\n";
  }
  return trail;
}

std::optional<StatusSighting> Sighting(const std::vector<StatusSighting>& statuses, const std::wstring& text) {
  for (const StatusSighting& s : statuses) {
    if (s.text == text) return s;
  }
  return std::nullopt;
}

}  // namespace harness
