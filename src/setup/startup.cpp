#include <algorithm>

#include "base/control_names.h"
#include "base/user_paths.h"
#include "platform/command_lines.h"
#include "platform/process_rules.h"
#include "setup/run_folder.h"
#include "setup/stage_chain.h"
#include "setup/stage_texts.h"

namespace {

// Cancel ends the program as the guard's message does: start-up still completes.
void ConfirmWhomTheBaseIsFor(Form1& form) {
  const auto question = OtherUserQuestion(form.app.RunningAccount(), form.app.SessionAccount());
  if (question && !form.app.Confirm(*question)) form.app.RequestTermination();
}

}  // namespace

void FormCreate(Form1& form) {
  Button8Click(form);
  if (!form.app.TerminationRequested()) ConfirmWhomTheBaseIsFor(form);
  Globals& g = form.globals;
  g.PCName = form.app.UserName();
  form.folders = user_paths::ChooseUserFolders(g.PCName, form.app.Folders(), form.log);
  form.download_folder_removal = RunHiddenTracked(form, RemovalParameters(user_paths::DownloadFolder(form.folders)));
  RemoveLeftoverRunFolders(form);
  Controls& c = form.controls;
  // At 150 % a work area is often lower than the window: the window then takes the work
  // area's height and its pictures give up theirs, so that nothing the person uses lies
  // beyond the screen's edge.
  const ScreenRect area = form.app.WorkArea();
  const int width = std::min(c.OuterWidth(), area.right - area.left);
  const int height = std::min(c.OuterHeight(), area.bottom - area.top);
  if (width != c.OuterWidth() || height != c.OuterHeight()) c.Resize(width, height);
  c.MoveTo(CenteredOrigin(area, c.OuterWidth(), c.OuterHeight()));
  c.SetText(field::kBaseFolder, user_paths::DefaultBaseFolder(form.folders));
}

void Button8Click(Form1& form) {
  form.log.Event(L"Button8Click");
  ScanOwnSession(form.processes, [&form](const std::wstring& exe_name, std::uint32_t) {
    if (IsPlatformName(exe_name)) {
      form.app.ShowMessage(stage_text::kCloseAllPlatforms);
      form.app.RequestTermination();
    }
    return true;
  });
}
