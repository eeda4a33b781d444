#include "setup/stage_chain.h"

#include <cwctype>
#include <optional>
#include <vector>

#include "base/control_names.h"
#include "base/error.h"
#include "base/user_paths.h"
#include "setup/run_folder.h"
#include "setup/stage_texts.h"

namespace {

// An empty password keeps the earlier password argument, which is then passed again:
// all commands of one scenario see the same password.
void AssignPassword(Form1& form, const CommandFields& fields) {
  if (fields.with_credentials && !fields.password.empty()) form.globals.pas_1c = PasswordArgument(fields.password);
}

// Every hidden command passes here before it starts, whichever way it is started: the
// fields were checked at the entry click, the paths that join them in a command are known
// only now. Then it is logged as the command processor receives it, password masked.
const std::wstring& Checked(Form1& form, const HiddenCommand& command, const std::wstring& where = {}) {
  std::vector<std::wstring> paths{form.globals.path_1c, user_paths::ConfigurationFile(form.folders),
                                  user_paths::DownloadFolder(form.folders)};
  if (!form.run_folder.empty()) {
    paths.push_back(RunFolderConfiguration(form.run_folder));
    paths.push_back(RunFolderSetupProgram(form.run_folder));
  }
  if (const std::optional<std::wstring> reason = command.Unrunnable(paths)) throw Error(*reason);
  form.log.Event(L"command: cmd.exe " + command.Logged() + where);
  return command.Parameters();
}

// The profile that holds the person's Documents, or Documents itself where the system
// keeps it elsewhere (a share's home folder holds only the person's own).
std::wstring PersonsOwnFolder(const user_paths::UserFolders& folders) {
  const std::wstring& documents = folders.documents;
  const std::size_t last = documents.find_last_of(L'\\');
  if (last == std::wstring::npos) return documents;
  std::wstring name = documents.substr(last + 1);
  for (wchar_t& c : name) c = static_cast<wchar_t>(std::towlower(c));
  return name == L"documents" ? documents.substr(0, last) : documents;
}

// The user-mode run meant for the person, who then works in it for hours: with the
// desktop shell's token where that is the person's own and the base is theirs, so that
// neither the platform nor whatever the base starts runs elevated.
void RunForThePerson(Form1& form, const CommandFields& fields, const HiddenCommand& command) {
  const std::wstring& parameters = Checked(form, command);
  const std::wstring line = ProcessorCommandLine(SystemProgramPath(form.shell.SystemFolder(), L"cmd.exe"),
                                                 CommandProcessorParameters(parameters));
  std::optional<std::wstring> why = WhyNotUnelevated(
      form.shell.Desktop(), BaseIsThePersons(fields.server_base, fields.base_folder, PersonsOwnFolder(form.folders)),
      line.size());
  if (!why) why = form.shell.RunAsDesktop(parameters);
  if (!why) {
    form.log.Event(L"user-mode run: started with the desktop shell's token");
    return;
  }
  form.log.Event(L"user-mode run: started with the utility's own rights: " + *why);
  form.shell.Run(parameters);
}

}  // namespace

CommandFields FieldsOf(const Controls& controls) {
  CommandFields fields;
  fields.base_folder = controls.Text(field::kBaseFolder);
  fields.user = controls.Text(field::kUser);
  fields.password = controls.Text(field::kPassword);
  fields.server_name = controls.Text(field::kServerName);
  fields.base_name = controls.Text(field::kBaseName);
  fields.with_credentials = controls.Checked(field::kWithCredentials);
  fields.server_base = controls.Checked(field::kServerBase);
  return fields;
}

void RunHidden(Form1& form, const HiddenCommand& command) { form.shell.Run(Checked(form, command)); }

void RunHiddenIn(Form1& form, const HiddenCommand& command, const std::wstring& folder) {
  form.shell.RunIn(Checked(form, command, L" in \"" + folder + L"\""), folder);
}

std::unique_ptr<CommandRun> RunHiddenTracked(Form1& form, const HiddenCommand& command) {
  return form.shell.RunTracked(Checked(form, command));
}

void Button1Click(Form1& form) {
  form.log.Event(L"Button1Click");
  const CommandFields fields = FieldsOf(form.controls);
  Globals& g = form.globals;
  g.server = ConnectionArgument(fields);
  AssignPassword(form, fields);
  RunForThePerson(form, fields, HiddenCommand::WithPassword(g.pas_1c, [&](const std::wstring& pas_1c) {
                    return EnterpriseParameters(g.path_1c, g.server, fields, pas_1c);
                  }));
}

void Button2Click(Form1& form) {
  form.log.Event(L"Button2Click");
  RunHidden(form, CreateInfobaseParameters(form.globals.path_1c, FieldsOf(form.controls)));
}

void Button4Click(Form1& form) {
  form.log.Event(L"Button4Click");
  const CommandFields fields = FieldsOf(form.controls);
  Globals& g = form.globals;
  g.server = ConnectionArgument(fields);
  form.controls.SetStatusText(stage_text::kLoadingConfiguration);
  AssignPassword(form, fields);
  // The run folder's copy: the elevated platform reads a file nobody else can change. Only
  // a click of its own, outside the chain, finds no run folder.
  const std::wstring file =
      form.run_folder.empty() ? user_paths::ConfigurationFile(form.folders) : RunFolderConfiguration(form.run_folder);
  RunHidden(form, HiddenCommand::WithPassword(g.pas_1c, [&](const std::wstring& pas_1c) {
              return LoadConfigParameters(g.path_1c, g.server, fields, pas_1c, file);
            }));
  form.clock.Sleep(3000);
  form.run_watches.update_conf.Restart();
  form.controls.TimerOf(TimerName::update_conf).SetEnabled(true);
}

void Button5Click(Form1& form) {
  form.log.Event(L"Button5Click");
  const CommandFields fields = FieldsOf(form.controls);
  Globals& g = form.globals;
  g.server = ConnectionArgument(fields);
  form.controls.SetStatusText(stage_text::kAcceptingChanges);
  form.run_watches.update_conf_2.Restart();
  form.controls.TimerOf(TimerName::update_conf_2).SetEnabled(true);
  AssignPassword(form, fields);
  RunHidden(form, HiddenCommand::WithPassword(g.pas_1c, [&](const std::wstring& pas_1c) {
              return UpdateDatabaseParameters(g.path_1c, g.server, fields, pas_1c);
            }));
}

bool FieldsCanBePassed(Form1& form) {
  const std::optional<FieldRefusal> refusal = UncarriableFields(FieldsOf(form.controls));
  if (!refusal) return true;
  form.app.ShowMessage(form.controls.RefusalMessage(*refusal));
  return false;
}
