
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/error.h"
#include "platform/process_rules.h"
#include "setup/run_folder.h"
#include "setup/stage_chain.h"
#include "setup/stage_texts.h"

namespace {

Timer& TimerOf(Form1& form, TimerName timer) { return form.controls.TimerOf(timer); }

// Whether a fresh snapshot lists a platform process.
ScanResult PlatformScan(Form1& form) {
  bool found = false;
  const bool taken = ScanOwnSession(form.processes, [&](const std::wstring& name, std::uint32_t) {
    found = IsPlatformName(name);
    return !found;
  });
  if (!taken) return ScanResult::Failed;
  return found ? ScanResult::Running : ScanResult::NoneRunning;
}

// The setup program has shown: `expectation` watches it from now on.
void ExpectSetupProgramEnd(Form1& form) {
  Timer& expectation = TimerOf(form, TimerName::expectation);
  if (!expectation.Enabled()) {
    form.log.Event(L"expectation_start_setupTimer: the setup program started");
    // Its image is mapped now; the file needs no holding any more.
    form.unzipper.ReleaseHeld();
  }
  expectation.SetEnabled(true);
}

// Whether a fresh snapshot lists a setup program; `setuprunned` keeps the answer.
// `on_listed`, when given, runs for each one as the scan meets it, before the scan's own
// log line.
bool NoteSetupProgramListed(Form1& form, void (*on_listed)(Form1&) = nullptr) {
  Globals& g = form.globals;
  g.setuprunned = false;
  ScanOwnSession(form.processes, [&](const std::wstring& name, std::uint32_t) {
    if (IsSetupProgramName(name)) {
      g.setuprunned = true;
      if (on_listed) on_listed(form);
    }
    return true;
  });
  return g.setuprunned;
}

// The chain waits for one platform run to end and then goes on with `next`; `handler`
// names the tick handler of `timer` in the log.
void AwaitRunEnd(Form1& form, const wchar_t* handler, TimerName timer, RunWatch& watch, void (*next)(Form1&)) {
  if (!watch.HasEnded(PlatformScan(form))) return;
  form.log.Event(std::wstring(handler) + L": the platform's run ended");
  TimerOf(form, timer).SetEnabled(false);
  form.clock.Sleep(3000);
  next(form);
}

void FinalUserModeRun(Form1& form) {
  Button1Click(form);
  form.app.RequestTermination();
  RemoveRunFolder(form);
}

}  // namespace

void expectation_start_setupTimer(Form1& form) {
  RunWatch& watch = form.run_watches.expectation_start_setup;
  const bool listed = NoteSetupProgramListed(form, ExpectSetupProgramEnd);
  if (!watch.GivenUpUnseen(listed ? ScanResult::Running : ScanResult::NoneRunning)) return;
  // Stopped before the report, so that one report is all the person sees.
  TimerOf(form, TimerName::expectation_start_setup).SetEnabled(false);
  form.setup_program_runs = false;
  throw Error(L"The setup program \"" + RunFolderSetupProgram(form.run_folder) +
              L"\" did not start: it has not shown in the process list for " +
              std::to_wstring(RunWatch::kSetupTicksUnseen) + L" seconds.");
}

void expectationTimer(Form1& form) {
  TimerOf(form, TimerName::expectation_start_setup).SetEnabled(false);
  if (NoteSetupProgramListed(form)) return;
  form.log.Event(L"expectationTimer: the setup program ended");
  TimerOf(form, TimerName::expectation).SetEnabled(false);
  form.setup_program_runs = false;
  EmptyRunFolder(form);
  // Enabled before the message opens: the chain goes on under it without waiting.
  TimerOf(form, TimerName::start_1C).SetEnabled(true);
  form.app.ShowMessage(stage_text::kStartPlatform);
}

void start_1CTimer(Form1& form) {
  Controls& controls = form.controls;
  controls.SetStatusText(stage_text::kWaitingForPlatform);
  std::vector<std::pair<std::wstring, std::uint32_t>> found;
  ScanOwnSession(form.processes, [&](const std::wstring& name, std::uint32_t pid) {
    if (IsPlatformName(name)) found.emplace_back(name, pid);
    return true;
  });
  bool matched = false;
  for (const auto& [name, pid] : found) {
    const ExecutableImage image = form.processes.ExecutablePath(pid);
    // Gone since the snapshot: the next tick looks again.
    if (image.state == ExecutableImage::State::kExited) continue;
    if (image.state == ExecutableImage::State::kRead && form.processes.IsInstalledProgram(image.path)) {
      controls.SetStatusText(stage_text::kPreparing);
      TimerOf(form, TimerName::start_1C).SetEnabled(false);
      form.globals.path_1c = image.path;
      RunHidden(form, KillCommand(form.shell.SystemFolder(), pid));
      matched = true;
      continue;
    }
    // Run with the utility's rights, a program the person could have put there would run
    // elevated: it is neither used nor ended.
    const std::wstring named = image.state == ExecutableImage::State::kRead
                                   ? image.path
                                   : name + L" (PID " + std::to_wstring(pid) + L")";
    // Told once a run; after a match this tick the chain has gone on without it.
    if (matched || !form.refused_platforms.insert(named).second) continue;
    form.log.Event(L"start_1CTimer: refused the platform " + named +
                   (image.reason.empty() ? L"" : L": " + image.reason));
    // Stopped while the message shows, so that no tick finds the same program again under
    // it; then an installed platform started next carries the scenario on.
    TimerOf(form, TimerName::start_1C).SetEnabled(false);
    form.app.ShowMessage(stage_text::kNotInstalledPlatformBefore + named + stage_text::kNotInstalledPlatformAfter);
    TimerOf(form, TimerName::start_1C).SetEnabled(true);
    // The snapshot is old by now.
    return;
  }
  if (!matched) return;
  form.log.Event(L"start_1CTimer: the platform started, at \"" + form.globals.path_1c + L"\"");
  form.run_watches.exit_1c.Restart();
  // Once per tick, however many platforms were found: two base creations on one base
  // at the same time would fight over it.
  if (form.globals.first_install) {
    controls.SetStatusText(stage_text::kCreatingBase);
    form.clock.Sleep(1000);
    Button2Click(form);
    Button1Click(form);
    form.clock.Sleep(3000);
  }
  TimerOf(form, TimerName::exit_1c).SetEnabled(true);
}

void exit_1cTimer(Form1& form) {
  const ScanResult scan = PlatformScan(form);
  if (scan == ScanResult::Running) form.controls.SetStatusText(stage_text::kClosePlatform);
  // The base creation and the user-mode run started a moment ago may not show yet; a
  // platform killed for the update has nothing left to show up.
  const bool ended = form.globals.first_install ? form.run_watches.exit_1c.HasEnded(scan)
                                                : scan != ScanResult::Running;
  if (!ended) return;
  form.log.Event(L"exit_1cTimer: no platform runs");
  TimerOf(form, TimerName::exit_1c).SetEnabled(false);
  form.clock.Sleep(3000);
  Button3Click(form);
}

void update_confTimer(Form1& form) {
  AwaitRunEnd(form, L"update_confTimer", TimerName::update_conf, form.run_watches.update_conf, Button5Click);
}

void update_conf_2Timer(Form1& form) {
  AwaitRunEnd(form, L"update_conf_2Timer", TimerName::update_conf_2, form.run_watches.update_conf_2, FinalUserModeRun);
}

TickHandler TickHandlerOf(TimerName timer) {
  switch (timer) {
    case TimerName::start_1C: return start_1CTimer;
    case TimerName::exit_1c: return exit_1cTimer;
    case TimerName::update_conf: return update_confTimer;
    case TimerName::update_conf_2: return update_conf_2Timer;
    case TimerName::expectation_start_setup: return expectation_start_setupTimer;
    case TimerName::expectation: return expectationTimer;
  }
  return nullptr;
}
