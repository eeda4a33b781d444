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
// would expand, a line break) is refused beforehand by UncarriableFieldMessage.
#include <optional>
#include <string>
#include <vector>

// The input fields as the platform commands read them, taken whole (which control holds
// which: `field::` in base/form1_controls.h).
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

// When a field that the commands will pass holds a character the command processor
// cannot carry unchanged, the message to show, naming the field; when two of them each
// hold a "%", which pair up on one command line, the message naming both; otherwise
// nothing.
std::optional<std::wstring> UncarriableFieldMessage(const CommandFields& fields);

// The longest command the command processor takes.
inline constexpr std::size_t kCommandProcessorLimit = 8191;

// Why the command processor cannot run `processor_parameters` (as
// CommandProcessorParameters gives them) unchanged, for the error report: longer than
// kCommandProcessorLimit, or holding a pair of "%" (naming the first of `paths`, those
// known only as the command is composed, that holds a "%"). Nothing when it can.
std::optional<std::wstring> UnrunnableCommandText(const std::wstring& processor_parameters,
                                                  const std::vector<std::wstring>& paths);
