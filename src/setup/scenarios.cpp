#include "setup/scenarios.h"

#include <exception>

#include "app/user_paths.h"
#include "platform/command_lines.h"
#include "platform/platform_runs.h"
#include "setup/addresses.h"
#include "setup/download_folder.h"
#include "setup/stage_texts.h"

namespace {

// Once a scenario has started there is no way back: the choices stay hidden for good.
void HideEntryChoices(Controls& controls) {
  for (EntryChoice choice : {EntryChoice::Panel1, EntryChoice::Panel2, EntryChoice::Panel3,
                             EntryChoice::CheckBox1, EntryChoice::CheckBox2, EntryChoice::Button6,
                             EntryChoice::Button7, EntryChoice::Button9}) {
    controls.SetShown(choice, false);
  }
}

// The setup program's start is best effort: the user can still install the platform by
// hand, and the chain then goes on when the platform shows up.
void StartSetupProgram(Form1& form) {
  const std::wstring& user = form.globals.PCName;
  try {
    form.files.RemoveFile(user_paths::PackageFile(user));
    form.shell.Run(SetupProgramParameters(user_paths::SetupProgram(user)));
    form.controls.TimerOf(TimerName::expectation_start_setup).SetEnabled(true);
    form.controls.SetStatusText(stage_text::kWaitingForSetup);
  } catch (const std::exception&) {
  }
}

void AwaitPlatform(Form1& form, bool first_install) {
  if (!FieldsCanBePassed(form)) return;
  HideEntryChoices(form.controls);
  form.globals.first_install = first_install;
  form.app.ShowMessage(stage_text::kStartPlatform);
  form.controls.TimerOf(TimerName::start_1C).SetEnabled(true);
}

}  // namespace

void Button6Click(Form1& form) {
  if (!FieldsCanBePassed(form)) return;
  Controls& controls = form.controls;
  HideEntryChoices(controls);
  form.globals.first_install = true;
  controls.SetStatusText(stage_text::kDownloadingPlatform);
  controls.Progress().SetPosition(0);
  EnsureDownloadFolder(form);
  controls.SetStatusText(stage_text::kDownloadingPlatform);
  const std::wstring& user = form.globals.PCName;
  if (form.downloader.GetInetFile(PackageAddress(), user_paths::PackageFile(user), controls.Progress())) {
    controls.SetStatusText(stage_text::kUnpackingPlatform);
    form.unzipper.UnZipFile(user_paths::PackageFile(user), user_paths::ExtractionFolder(user));
  }
  // The window answers through this pause as it did through the extraction; closing it
  // here ends the chain before the setup program starts.
  form.clock.PauseAnswering(1500);
  StartSetupProgram(form);
}

void Button7Click(Form1& form) { AwaitPlatform(form, true); }

void Button9Click(Form1& form) { AwaitPlatform(form, false); }
