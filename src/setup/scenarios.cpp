
#include <exception>
#include <memory>
#include <utility>

#include "base/control_names.h"
#include "base/error.h"
#include "platform/command_lines.h"
#include "setup/addresses.h"
#include "setup/attempt_status.h"
#include "setup/download_folder.h"
#include "setup/run_folder.h"
#include "setup/stage_chain.h"
#include "setup/stage_texts.h"
#include "setup/vendor_signed.h"

namespace {

// Once a scenario has started there is no way back: the choices stay hidden for good.
void HideEntryChoices(Controls& controls) {
  for (EntryChoice choice : kEntryChoices) controls.SetShown(choice, false);
}

// The setup program's start is best effort: the user can still install the platform by
// hand, and the chain then goes on when the platform shows up.
// It starts in the run folder, so that a library it loads from its current folder can only
// be one that came with it.
void StartSetupProgram(Form1& form) {
  const std::wstring& folder = form.run_folder;
  try {
    form.files.RemoveFile(RunFolderPackage(folder));
    RunHiddenIn(form, SetupProgramParameters(RunFolderSetupProgram(folder)), folder);
    form.setup_program_runs = true;
    form.run_watches.expectation_start_setup.Restart();
    form.controls.TimerOf(TimerName::expectation_start_setup).SetEnabled(true);
    form.controls.SetStatusText(stage_text::kWaitingForSetup);
  } catch (const std::exception&) {
  }
}

// A wrong package on the server, or one an antivirus emptied, would otherwise leave the
// chain waiting for a setup program that cannot start.
void RequireSetupProgram(Form1& form) {
  const std::wstring program = RunFolderSetupProgram(form.run_folder);
  if (form.files.FileExists(program)) return;
  throw Error(L"The platform package \"" + PackageAddress() + L"\" holds no setup program: \"" + program +
              L"\" is not there after the extraction.");
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
  form.log.Event(L"Button6Click");
  if (!FieldsCanBePassed(form)) return;
  Controls& controls = form.controls;
  HideEntryChoices(controls);
  form.globals.first_install = true;
  controls.SetStatusText(stage_text::kDownloadingPlatform);
  controls.Progress().SetPosition(0);
  EnsureDownloadFolder(form);
  EnsureRunFolder(form);
  const std::wstring package = RunFolderPackage(form.run_folder);
  // Held from its extraction until the setup program shows in the process list.
  form.unzipper.HoldOnceWritten(RunFolderSetupProgram(form.run_folder));
  // The file stays open from its first byte written to its last byte unpacked, so the
  // extraction reads exactly what was checked against the vendor's signature.
  std::unique_ptr<ArchiveInput> archive = VendorSigned(L"The platform package", PackageAddress(), [&] {
    return DownloadOpenShowingAttempts(form, PackageAddress(), package, stage_text::kDownloadingPlatform);
  });
  if (archive) {
    controls.SetStatusText(stage_text::kUnpackingPlatform);
    form.unzipper.UnZipOpenFile(std::move(archive), package, form.run_folder + L"\\");
  }
  RequireSetupProgram(form);
  // The window answers through this pause as it did through the extraction; closing it
  // here ends the chain before the setup program starts.
  form.clock.PauseAnswering(1500);
  StartSetupProgram(form);
}

void Button7Click(Form1& form) {
  form.log.Event(L"Button7Click");
  AwaitPlatform(form, true);
}

void Button9Click(Form1& form) {
  form.log.Event(L"Button9Click");
  AwaitPlatform(form, false);
}
