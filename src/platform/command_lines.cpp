#include "platform/command_lines.h"

#include <utility>

namespace {

// The payload after "/C " gets one extra pair of quotes: cmd.exe removes the outermost
// pair whenever the line holds more than two quotes, and the line always does.
std::wstring CmdLine(const std::wstring& payload) { return L"/C \"" + payload + L"\""; }

std::wstring Platform(const std::wstring& path_1c) { return Quoted(path_1c); }

std::wstring Credentials(const CommandFields& fields, const std::wstring& pas_1c) {
  if (!fields.with_credentials) return {};
  return L" /N" + Quoted(fields.user) + pas_1c;
}

std::wstring ServerBase(const CommandFields& fields) {
  return Quoted(fields.server_name + L"\\" + fields.base_name);
}

}  // namespace

std::wstring Quoted(const std::wstring& text) {
  // Programs that split their command line by the C runtime's rules (CommandLineToArgvW
  // too) read a backslash before a quote as escaping it: "D:\" would run on into the
  // next argument. Doubled, the run reads back as itself: "D:\\" is D:\. Backslashes
  // elsewhere stand for themselves and are left alone.
  const std::size_t kept = text.find_last_not_of(L'\\') + 1;  // npos + 1 is 0
  return L"\"" + text + text.substr(kept) + L"\"";
}

std::wstring ConnectionArgument(const CommandFields& fields) {
  if (fields.server_base) return L"/S " + ServerBase(fields);
  return L"/F " + Quoted(fields.base_folder);
}

std::wstring PasswordArgument(const std::wstring& password) { return L" /P" + Quoted(password); }

std::wstring MaskedPasswordArgument(const std::wstring& pas_1c) {
  return pas_1c.empty() ? std::wstring() : PasswordArgument(L"***");
}

std::wstring EnterpriseParameters(const std::wstring& path_1c, const std::wstring& server,
                                  const CommandFields& fields, const std::wstring& pas_1c) {
  return CmdLine(Platform(path_1c) + L" ENTERPRISE " + server + Credentials(fields, pas_1c));
}

std::wstring CreateInfobaseParameters(const std::wstring& path_1c, const CommandFields& fields) {
  const std::wstring connection = fields.server_base ? L" createinfobase /S " + ServerBase(fields)
                                                   : L" createinfobase File=" + Quoted(fields.base_folder);
  return CmdLine(Platform(path_1c) + connection + L" /AddInList Kalvera");
}

std::wstring LoadConfigParameters(const std::wstring& path_1c, const std::wstring& server,
                                  const CommandFields& fields, const std::wstring& pas_1c,
                                  const std::wstring& configuration_file) {
  return CmdLine(Platform(path_1c) + L" CONFIG " + server + Credentials(fields, pas_1c) +
                 L" /LoadCfg " + Quoted(configuration_file));
}

std::wstring UpdateDatabaseParameters(const std::wstring& path_1c, const std::wstring& server,
                                      const CommandFields& fields, const std::wstring& pas_1c) {
  return CmdLine(Platform(path_1c) + L" CONFIG " + server + Credentials(fields, pas_1c) +
                 L" /UpdateDBCfg");
}

std::wstring SetupProgramParameters(const std::wstring& setup_program) {
  // The path holds the user name, which may carry spaces, "&" or parentheses.
  return CmdLine(Quoted(setup_program));
}

std::wstring RemovalParameters(const std::wstring& download_folder) {
  // "/q": a hidden window can never answer RD's confirmation prompt.
  return L"/C RD /s /q " + Quoted(download_folder);
}

std::wstring CommandProcessorParameters(const std::wstring& parameters) {
  // "/V:OFF" after "/D": where delayed expansion is switched on in the registry, a "!" in
  // a password would otherwise start a variable's name.
  return L"/D /V:OFF " + parameters;
}

std::wstring SystemProgramPath(const std::wstring& system_folder, const std::wstring& file_name) {
  return system_folder + L"\\" + file_name;
}

namespace {

// Why a text cannot travel through cmd.exe unchanged, or nothing when it can.
std::optional<Uncarriable> UncarriableReason(const std::wstring& text) {
  for (wchar_t c : text) {
    // A quote would end the quoted field early and expose the rest to cmd.exe.
    if (c == L'"') return Uncarriable::Quote;
    // A line break ends the command; other control characters cannot be typed sensibly.
    if (c < 0x20) return Uncarriable::ControlCharacter;
  }
  // '%' expands inside quotes too: "%NAME%" becomes the variable's value when NAME is
  // defined. A single '%' is left alone, so only a pair is refused.
  const size_t first = text.find(L'%');
  if (first != std::wstring::npos && text.find(L'%', first + 1) != std::wstring::npos) {
    return Uncarriable::PercentPair;
  }
  return std::nullopt;
}

}  // namespace

std::optional<FieldRefusal> UncarriableFields(const CommandFields& fields) {
  struct Field {
    EditName role;
    const std::wstring& text;
    bool used;
  };
  const Field checked[] = {
      {field::kBaseFolder, fields.base_folder, !fields.server_base},
      {field::kServerName, fields.server_name, fields.server_base},
      {field::kBaseName, fields.base_name, fields.server_base},
      {field::kUser, fields.user, fields.with_credentials},
      {field::kPassword, fields.password, fields.with_credentials},
  };
  for (const Field& field : checked) {
    if (!field.used) continue;
    if (const std::optional<Uncarriable> reason = UncarriableReason(field.text)) {
      return FieldRefusal{*reason, {field.role}};
    }
  }
  const Field* first_percent = nullptr;
  for (const Field& field : checked) {
    if (!field.used || field.text.find(L'%') == std::wstring::npos) continue;
    // One "%" in each of two fields: on the one command line the text between them
    // reads as a variable's name ("a%" and "%b" give %" /P"%).
    if (first_percent) return FieldRefusal{Uncarriable::PercentAcross, {first_percent->role, field.role}};
    first_percent = &field;
  }
  return std::nullopt;
}

std::optional<std::wstring> UnrunnableCommandText(const std::wstring& processor_parameters,
                                                  const std::vector<std::wstring>& paths) {
  if (processor_parameters.size() > kCommandProcessorLimit) {
    return L"The command cannot be run: it is " + std::to_wstring(processor_parameters.size()) +
           L" characters long, longer than the command processor's limit of " +
           std::to_wstring(kCommandProcessorLimit) + L" characters";
  }
  const size_t first = processor_parameters.find(L'%');
  if (first == std::wstring::npos || processor_parameters.find(L'%', first + 1) == std::wstring::npos) {
    return std::nullopt;
  }
  for (const std::wstring& path : paths) {
    if (path.find(L'%') != std::wstring::npos && processor_parameters.find(path) != std::wstring::npos) {
      return L"The command with \"" + path +
             L"\" cannot be run: with the other texts of the command this path forms a pair of percent "
             L"signs (%...%), which the command processor would replace";
    }
  }
  return std::wstring(L"The command cannot be run: its texts form a pair of percent signs (%...%), which the "
                      L"command processor would replace");
}

HiddenCommand::HiddenCommand(std::wstring parameters) : parameters_(std::move(parameters)), masked_(parameters_) {}

HiddenCommand::HiddenCommand(std::wstring parameters, std::wstring masked)
    : parameters_(std::move(parameters)), masked_(std::move(masked)) {}

HiddenCommand HiddenCommand::WithPassword(const std::wstring& pas_1c,
                                          const std::function<std::wstring(const std::wstring& pas_1c)>& compose) {
  return HiddenCommand(compose(pas_1c), compose(MaskedPasswordArgument(pas_1c)));
}

std::optional<std::wstring> HiddenCommand::Unrunnable(const std::vector<std::wstring>& paths) const {
  return UnrunnableCommandText(CommandProcessorParameters(parameters_), paths);
}
