#include "app/form_create.h"

#include "app/user_paths.h"
#include "platform/command_lines.h"
#include "platform/startup_guard.h"

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
  form.shell.Run(RemovalParameters(user_paths::DownloadFolder(g.PCName)));
  Controls& c = form.controls;
  c.MoveTo(CenteredOrigin(form.app.WorkArea(), c.OuterWidth(), c.OuterHeight()));
  c.SetText(EditName::Edit1, user_paths::DefaultBaseFolder(g.PCName));
}
