#include "app/form_create.h"

#include "app/user_paths.h"
#include "platform/command_lines.h"
#include "platform/startup_guard.h"

void FormCreate(Form1& form) {
  Button8Click(form);
  Globals& g = form.globals;
  g.PCName = form.app.UserName();
  form.shell.Run(RemovalParameters(user_paths::DownloadFolder(g.PCName)));
  Controls& c = form.controls;
  c.MoveTo(CenteredOrigin(form.app.WorkArea(), c.OuterWidth(), c.OuterHeight()));
  c.SetText(EditName::Edit1, user_paths::DefaultBaseFolder(g.PCName));
}
