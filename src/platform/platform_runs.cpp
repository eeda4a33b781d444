#include "platform/platform_runs.h"

#include "app/user_paths.h"

namespace {

// An empty password keeps the earlier password argument, which is then passed again:
// all commands of one scenario see the same password.
void AssignPassword(Form1& form, const CommandFields& fields) {
  if (fields.CheckBox1 && !fields.Edit3.empty()) form.globals.pas_1c = PasswordArgument(fields.Edit3);
}

}  // namespace

CommandFields FieldsOf(const Controls& controls) {
  CommandFields fields;
  fields.Edit1 = controls.Text(EditName::Edit1);
  fields.Edit2 = controls.Text(EditName::Edit2);
  fields.Edit3 = controls.Text(EditName::Edit3);
  fields.Edit4 = controls.Text(EditName::Edit4);
  fields.Edit5 = controls.Text(EditName::Edit5);
  fields.CheckBox1 = controls.Checked(CheckBoxName::CheckBox1);
  fields.CheckBox2 = controls.Checked(CheckBoxName::CheckBox2);
  return fields;
}

void Button1Click(Form1& form) {
  const CommandFields fields = FieldsOf(form.controls);
  Globals& g = form.globals;
  g.server = ConnectionArgument(fields);
  AssignPassword(form, fields);
  form.shell.Run(EnterpriseParameters(g.path_1c, g.server, fields, g.pas_1c));
}

void Button2Click(Form1& form) {
  form.shell.Run(CreateInfobaseParameters(form.globals.path_1c, FieldsOf(form.controls)));
}

void Button4Click(Form1& form) {
  const CommandFields fields = FieldsOf(form.controls);
  Globals& g = form.globals;
  g.server = ConnectionArgument(fields);
  form.controls.SetStatusText(L"Обновление конфигурации 1С...");
  AssignPassword(form, fields);
  form.shell.Run(LoadConfigParameters(g.path_1c, g.server, fields, g.pas_1c,
                                      user_paths::ConfigurationFile(g.PCName)));
  form.clock.Sleep(3000);
  form.run_watches.update_conf.Restart();
  form.controls.TimerOf(TimerName::update_conf).SetEnabled(true);
}

void Button5Click(Form1& form) {
  const CommandFields fields = FieldsOf(form.controls);
  Globals& g = form.globals;
  g.server = ConnectionArgument(fields);
  form.controls.SetStatusText(L"Ожидание принятия изменений...");
  form.run_watches.update_conf_2.Restart();
  form.controls.TimerOf(TimerName::update_conf_2).SetEnabled(true);
  AssignPassword(form, fields);
  form.shell.Run(UpdateDatabaseParameters(g.path_1c, g.server, fields, g.pas_1c));
}

bool FieldsCanBePassed(Form1& form) {
  const auto message = UncarriableFieldMessage(FieldsOf(form.controls));
  if (!message) return true;
  form.app.ShowMessage(*message);
  return false;
}
