#pragma once
// The platform's command lines, as parameter texts for the hidden "cmd.exe /C".
//
// Each field text reaches the platform as exactly one argument with its characters
// unchanged. Two readers see the line:
//  - cmd.exe strips the outermost pair of quotes of a line that holds more than two of
//    them or special characters, so the whole payload after "/C " gets one extra pair;
//  - inside double quotes cmd.exe takes & | < > ^ ( ) @ ! and spaces literally, so every
//    field text is enclosed in quotes;
//  - the platform takes a quoted value attached to its switch or after a space
//    (/N"user", /F "C:\my base", File="C:\my base"); split by the C runtime's rules, a
//    run of backslashes right before a quote escapes it, so a field that ends in
//    backslashes (a drive root "D:\", an empty base name) has that run doubled.
// What cmd.exe cannot carry unchanged even inside quotes (a double quote, a %NAME% it
// would expand, a line break) is refused beforehand by UncarriableFields.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/control_names.h"

// The input fields as the platform commands read them, taken whole (which control holds
// which: `field::` in base/control_names.h).
struct CommandFields {
  std::wstring base_folder;  // of a file base
  std::wstring user;         // the infobase user's name
  std::wstring password;     // that user's password
  std::wstring server_name;  // of a server base
  std::wstring base_name;    // of a server base
  bool with_credentials = false;
  bool server_base = false;  // rather than a file base
};

// `text` enclosed in double quotes, with the backslashes it ends with doubled, so that
// the C runtime's rules read back exactly `text`.
std::wstring Quoted(const std::wstring& text);

// The connection argument kept in `server`: /S "server\base" or /F "folder".
std::wstring ConnectionArgument(const CommandFields& fields);
// The password argument kept in `pas_1c`: /P"password", with its leading space.
std::wstring PasswordArgument(const std::wstring& password);

// The password argument as the log shows it: the same switch with "***" for the
// password, or nothing when `pas_1c` is empty. The logged command is composed with it in
// place of `pas_1c`, so the password never reaches the log's text.
std::wstring MaskedPasswordArgument(const std::wstring& pas_1c);

// The user-mode run. `pas_1c` is the password argument as it stands after this command
// assigned it (it carries over when the password field is empty).
std::wstring EnterpriseParameters(const std::wstring& path_1c, const std::wstring& server,
                                  const CommandFields& fields, const std::wstring& pas_1c);
// The base creation; it passes no credentials.
std::wstring CreateInfobaseParameters(const std::wstring& path_1c, const CommandFields& fields);
// The configuration load of the configuration file.
std::wstring LoadConfigParameters(const std::wstring& path_1c, const std::wstring& server,
                                  const CommandFields& fields, const std::wstring& pas_1c,
                                  const std::wstring& configuration_file);
// The database update.
std::wstring UpdateDatabaseParameters(const std::wstring& path_1c, const std::wstring& server,
                                      const CommandFields& fields, const std::wstring& pas_1c);

// The start of the setup program unpacked from the platform package.
std::wstring SetupProgramParameters(const std::wstring& setup_program);

// The command processor's parameters for a hidden shell command's `parameters` (which
// begin with "/C "): "/D" goes first, so that no AutoRun command from the registry runs
// before them with the utility's rights, then "/V:OFF", so that "!" stays itself.
std::wstring CommandProcessorParameters(const std::wstring& parameters);

// The full path of the system's program `file_name` in `system_folder`. The system's own
// programs are started by it: by a bare name they would be looked for in the current
// folder and beside the utility first.
std::wstring SystemProgramPath(const std::wstring& system_folder, const std::wstring& file_name);

// The removal of the download folder with everything under it, asking nothing.
std::wstring RemovalParameters(const std::wstring& download_folder);

// What the command processor would do to a field's text.
enum class Uncarriable {
  Quote,             // a double quote
  ControlCharacter,  // a line break or another control character
  PercentPair,       // two "%" in the one field
  PercentAcross,     // one "%" in each of two fields, which pair up on one command line
};

// A refusal of the input fields: what is wrong and the fields at fault, by the role the
// form gives them (`field::`). The words for the person are the window's.
struct FieldRefusal {
  Uncarriable what;
  std::vector<EditName> fields;  // one, or the two whose "%" pair up
};

// When a field that the commands will pass holds a character the command processor
// cannot carry unchanged, that field; when two of them each hold a "%", both; otherwise
// nothing.
std::optional<FieldRefusal> UncarriableFields(const CommandFields& fields);

// The longest command the command processor takes.
inline constexpr std::size_t kCommandProcessorLimit = 8191;

// Why the command processor cannot run `processor_parameters` (as
// CommandProcessorParameters gives them) unchanged, for the error report: longer than
// kCommandProcessorLimit, or holding a pair of "%" (naming the first of `paths`, those
// known only as the command is composed, that holds a "%"). Nothing when it can.
std::optional<std::wstring> UnrunnableCommandText(const std::wstring& processor_parameters,
                                                  const std::vector<std::wstring>& paths);

// A hidden command in the two forms it has: its parameters as the command processor runs
// them, and the same with the password argument as "***" for the log, so that the
// password never reaches the log's text. Both are composed by the same function, so they
// cannot differ elsewhere.
class HiddenCommand {
 public:
  // A command that carries no password: both forms are `parameters` (which begin with
  // "/C "). Implicit: every command line composed above is such a command.
  HiddenCommand(std::wstring parameters);
  // A command that carries the password argument `pas_1c`: `compose` is given it, and
  // MaskedPasswordArgument(pas_1c) for the log.
  static HiddenCommand WithPassword(const std::wstring& pas_1c,
                                    const std::function<std::wstring(const std::wstring& pas_1c)>& compose);

  // What the shell is given.
  const std::wstring& Parameters() const { return parameters_; }
  // The command processor's parameters as the log shows them.
  std::wstring Logged() const { return CommandProcessorParameters(masked_); }
  // UnrunnableCommandText of what the command processor receives.
  std::optional<std::wstring> Unrunnable(const std::vector<std::wstring>& paths) const;

 private:
  HiddenCommand(std::wstring parameters, std::wstring masked);
  std::wstring parameters_;
  std::wstring masked_;
};
