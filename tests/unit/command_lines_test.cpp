#include "platform/command_lines.h"

#include "platform/process_rules.h"
#include "platform/unelevated_run.h"
#include "ui/field_refusal.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace {

const std::wstring kPlatform = L"C:\\Program Files (x86)\\1cv8\\8.3.24.1467\\bin\\1cv8.exe";
const std::wstring kCfg = L"C:\\Users\\Иван Петров\\Documents\\Kalvera1C\\database.cf";

CommandFields FileBase() {
  CommandFields f;
  f.base_folder = L"C:/Users/tester/Documents/kalvera_base";
  return f;
}

CommandFields ServerBaseFields() {
  CommandFields f;
  f.server_base = true;
  f.base_folder = L"ignored";
  f.server_name = L"srv1";
  f.base_name = L"kalvera";
  return f;
}

}  // namespace

TEST(CommandLines, ConnectionArgumentQuotesTheFolderOrTheServerBase) {
  EXPECT_EQ(ConnectionArgument(FileBase()), L"/F \"C:/Users/tester/Documents/kalvera_base\"");
  EXPECT_EQ(ConnectionArgument(ServerBaseFields()), L"/S \"srv1\\kalvera\"");
  CommandFields empty_server;
  empty_server.server_base = true;
  // The lone separator is a trailing backslash too: doubled, it reads back as "\".
  EXPECT_EQ(ConnectionArgument(empty_server), L"/S \"\\\\\"");
}

TEST(CommandLines, QuotedDoublesOnlyTheBackslashesBeforeTheClosingQuote) {
  // Read by the C runtime's rules, "D:\" would escape its closing quote and swallow every
  // argument after it; "D:\\" reads back as D:\.
  struct Case {
    const char* name;
    std::wstring text;
    std::wstring quoted;
  } cases[] = {
      {"drive root", L"D:\\", L"\"D:\\\\\""},
      {"trailing backslash", L"C:\\bases\\kalvera\\", L"\"C:\\bases\\kalvera\\\\\""},
      {"run of two", L"C:\\b\\\\", L"\"C:\\b\\\\\\\\\""},
      {"only backslashes", L"\\\\", L"\"\\\\\\\\\""},
      {"inner backslashes alone", L"\\\\srv\\share\\\\base", L"\"\\\\srv\\share\\\\base\""},
      {"none", L"C:\\my base", L"\"C:\\my base\""},
      {"empty", L"", L"\"\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Quoted(c.text), c.quoted);
  }
}

TEST(CommandLines, EveryCommandDoublesATrailingBackslashOfItsFields) {
  CommandFields root = FileBase();
  root.base_folder = L"D:\\";
  root.with_credentials = true;
  root.user = L"user\\";
  CommandFields server = ServerBaseFields();
  server.base_name.clear();  // a server base with an empty base name ends in the separator
  const std::wstring pas = PasswordArgument(L"pw\\");
  EXPECT_EQ(pas, L" /P\"pw\\\\\"");
  EXPECT_EQ(ConnectionArgument(root), L"/F \"D:\\\\\"");
  EXPECT_EQ(ConnectionArgument(server), L"/S \"srv1\\\\\"");
  EXPECT_EQ(EnterpriseParameters(kPlatform, ConnectionArgument(root), root, pas),
            L"/C \"\"" + kPlatform + L"\" ENTERPRISE /F \"D:\\\\\" /N\"user\\\\\" /P\"pw\\\\\"\"");
  EXPECT_EQ(CreateInfobaseParameters(kPlatform, root),
            L"/C \"\"" + kPlatform + L"\" createinfobase File=\"D:\\\\\" /AddInList Kalvera\"");
  EXPECT_EQ(CreateInfobaseParameters(kPlatform, server),
            L"/C \"\"" + kPlatform + L"\" createinfobase /S \"srv1\\\\\" /AddInList Kalvera\"");
  EXPECT_EQ(RemovalParameters(L"C:\\Downloads\\KalveraDownload\\"),
            L"/C RD /s /q \"C:\\Downloads\\KalveraDownload\\\\\"");
}

TEST(CommandLines, EachCommandForFileAndServerBaseWithoutCredentials) {
  const std::wstring file_server = L"/F \"C:\\my base\"";
  CommandFields file = FileBase();
  file.base_folder = L"C:\\my base";
  file.user = L"not passed";
  struct Case {
    const char* name;
    std::wstring actual, expected;
  } cases[] = {
      {"enterprise, file", EnterpriseParameters(kPlatform, file_server, file, L" /P\"old\""),
       L"/C \"\"" + kPlatform + L"\" ENTERPRISE /F \"C:\\my base\"\""},
      {"create, file", CreateInfobaseParameters(kPlatform, file),
       L"/C \"\"" + kPlatform + L"\" createinfobase File=\"C:\\my base\" /AddInList Kalvera\""},
      {"create, server", CreateInfobaseParameters(kPlatform, ServerBaseFields()),
       L"/C \"\"" + kPlatform + L"\" createinfobase /S \"srv1\\kalvera\" /AddInList Kalvera\""},
      {"load, server", LoadConfigParameters(kPlatform, L"/S \"srv1\\kalvera\"", ServerBaseFields(), L"", kCfg),
       L"/C \"\"" + kPlatform + L"\" CONFIG /S \"srv1\\kalvera\" /LoadCfg \"" + kCfg + L"\"\""},
      {"update, file", UpdateDatabaseParameters(kPlatform, file_server, file, L""),
       L"/C \"\"" + kPlatform + L"\" CONFIG /F \"C:\\my base\" /UpdateDBCfg\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.actual, c.expected);
  }
}

TEST(CommandLines, CredentialsFollowTheConnectionWhenTicked) {
  CommandFields f = FileBase();
  f.with_credentials = true;
  f.user = L"Иван Петров";
  const std::wstring server = L"/F \"C:\\b\"";
  const std::wstring pas = PasswordArgument(L"p&ss ^|");
  EXPECT_EQ(pas, L" /P\"p&ss ^|\"");
  EXPECT_EQ(EnterpriseParameters(kPlatform, server, f, pas),
            L"/C \"\"" + kPlatform + L"\" ENTERPRISE /F \"C:\\b\" /N\"Иван Петров\" /P\"p&ss ^|\"\"");
  EXPECT_EQ(LoadConfigParameters(kPlatform, server, f, pas, kCfg),
            L"/C \"\"" + kPlatform + L"\" CONFIG /F \"C:\\b\" /N\"Иван Петров\" /P\"p&ss ^|\" /LoadCfg \"" +
                kCfg + L"\"\"");
  // No password piece yet: the user name runs straight into what follows.
  EXPECT_EQ(UpdateDatabaseParameters(kPlatform, server, f, L""),
            L"/C \"\"" + kPlatform + L"\" CONFIG /F \"C:\\b\" /N\"Иван Петров\" /UpdateDBCfg\"");
  // An empty user name still passes the switch, now with an empty quoted value.
  f.user.clear();
  EXPECT_EQ(EnterpriseParameters(kPlatform, server, f, pas),
            L"/C \"\"" + kPlatform + L"\" ENTERPRISE /F \"C:\\b\" /N\"\" /P\"p&ss ^|\"\"");
  // The base creation never passes credentials.
  EXPECT_EQ(CreateInfobaseParameters(kPlatform, f),
            L"/C \"\"" + kPlatform + L"\" createinfobase File=\"C:/Users/tester/Documents/kalvera_base\" /AddInList Kalvera\"");
}

TEST(CommandLines, EmptyPlatformPathStillGivesTheTwoQuotes) {
  EXPECT_EQ(EnterpriseParameters(L"", L"/F \"x\"", CommandFields{}, L""),
            L"/C \"\"\" ENTERPRISE /F \"x\"\"");
}

TEST(CommandLines, RemovalAsksNothingAndQuotesTheFolder) {
  EXPECT_EQ(RemovalParameters(L"C:\\Users\\Иван Петров\\Downloads\\KalveraDownload"),
            L"/C RD /s /q \"C:\\Users\\Иван Петров\\Downloads\\KalveraDownload\"");
}

TEST(CommandLines, SystemProgramsGoByFullPathAndNoAutoRunComesFirst) {
  // "/D" after "/C" would be read as the start of the command itself.
  EXPECT_EQ(CommandProcessorParameters(RemovalParameters(L"C:\\d")), L"/D /V:OFF /C RD /s /q \"C:\\d\"");
  EXPECT_EQ(SystemProgramPath(L"C:\\Windows\\system32", L"cmd.exe"), L"C:\\Windows\\system32\\cmd.exe");
  struct Case {
    const char* name;
    std::wstring system_folder;
    std::uint32_t pid;
    std::wstring expected;
  } cases[] = {
      {"typical", L"C:\\Windows\\system32", 1234, L"/C \"\"C:\\Windows\\system32\\taskkill.exe\" /F /PID 1234\""},
      // Without the extra pair cmd.exe would strip the path's opening quote and split
      // the path at its space.
      {"the system on another drive, a space in its path", L"D:\\Win 10\\System32", 4294967295u,
       L"/C \"\"D:\\Win 10\\System32\\taskkill.exe\" /F /PID 4294967295\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(KillCommand(c.system_folder, c.pid), c.expected);
  }
}

TEST(CommandLines, FieldsThatCmdCarriesUnchangedPass) {
  CommandFields f = FileBase();
  f.with_credentials = true;
  f.base_folder = L"C:\\base (x86) & co";
  f.user = L"a|b<c>d^e(f)@g!h";
  f.password = L"100% sure";
  EXPECT_FALSE(UncarriableFields(f).has_value());
}

TEST(CommandLines, UncarriableFieldIsNamedByItsCaption) {
  struct Case {
    const char* name;
    CommandFields fields;
    const wchar_t* caption;  // nullptr: passes
  };
  CommandFields quote_in_folder = FileBase();
  quote_in_folder.base_folder = L"C:\\a\"b";
  CommandFields percent_pair_in_password = FileBase();
  percent_pair_in_password.with_credentials = true;
  percent_pair_in_password.password = L"x%PATH%y";
  CommandFields unused_password = percent_pair_in_password;
  unused_password.with_credentials = false;
  CommandFields line_break_in_server = ServerBaseFields();
  line_break_in_server.server_name = L"srv\r\n";
  CommandFields quote_in_unused_folder = ServerBaseFields();
  quote_in_unused_folder.base_folder = L"\"";
  CommandFields quote_in_user = FileBase();
  quote_in_user.with_credentials = true;
  quote_in_user.user = L"\"";
  CommandFields percent_across_fields = FileBase();
  percent_across_fields.with_credentials = true;
  percent_across_fields.user = L"a%";
  percent_across_fields.password = L"%b";
  CommandFields percent_across_unused = percent_across_fields;
  percent_across_unused.with_credentials = false;
  percent_across_unused.base_folder = L"C:\\100%";
  const Case cases[] = {
      {"quote in folder", quote_in_folder, L"«Путь к базе Kalvera 1C»"},
      {"percent pair in password", percent_pair_in_password, L"«Пароль пользователя»"},
      {"password not passed", unused_password, nullptr},
      {"line break in server", line_break_in_server, L"«Сервер БД (Srvr)»"},
      {"folder not passed for a server base", quote_in_unused_folder, nullptr},
      {"quote in user", quote_in_user, L"«Имя пользователя»"},
      {"one percent in each of two fields", percent_across_fields,
       L"Поля «Имя пользователя» и «Пароль пользователя» вместе содержат пару знаков процента (%...%)"},
      // The password, which holds the other one, is not passed.
      {"one percent in a field and in one not passed", percent_across_unused, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto refusal = UncarriableFields(c.fields);
    if (!c.caption) {
      EXPECT_FALSE(refusal.has_value());
      continue;
    }
    ASSERT_TRUE(refusal.has_value());
    EXPECT_NE(FieldRefusalMessage(*refusal).find(c.caption), std::wstring::npos);
  }
}

TEST(CommandLines, ARefusalIsWordedAsThePersonHasAlwaysReadIt) {
  CommandFields quote_in_folder = FileBase();
  quote_in_folder.base_folder = L"C:\\a\"b";
  EXPECT_EQ(FieldRefusalMessage(*UncarriableFields(quote_in_folder)),
            L"Поле «Путь к базе Kalvera 1C» содержит символ, который нельзя передать платформе: "
            L"двойная кавычка (\"). Исправьте значение и начните снова");
  CommandFields percent_across_fields = FileBase();
  percent_across_fields.with_credentials = true;
  percent_across_fields.user = L"a%";
  percent_across_fields.password = L"%b";
  EXPECT_EQ(FieldRefusalMessage(*UncarriableFields(percent_across_fields)),
            L"Поля «Имя пользователя» и «Пароль пользователя» вместе содержат пару знаков процента (%...%), "
            L"которую нельзя передать платформе. Исправьте значения и начните снова");
}

TEST(CommandLines, AComposedCommandIsRefusedForAPercentPairOrItsLength) {
  const std::wstring user_folder = L"C:\\Users\\a%b\\Documents\\Kalvera1C\\database.cf";
  CommandFields f = FileBase();
  f.with_credentials = true;
  f.user = L"admin";
  const auto unrunnable = [&](const std::wstring& password) {
    return UnrunnableCommandText(
        CommandProcessorParameters(LoadConfigParameters(kPlatform, ConnectionArgument(f), f,
                                                        PasswordArgument(password), user_folder)),
        {kPlatform, user_folder});
  };
  EXPECT_FALSE(unrunnable(L"pass").has_value()) << "one percent sign alone stays itself";
  // The user name inside the path pairs with the password.
  const auto paired = unrunnable(L"x%y");
  ASSERT_TRUE(paired.has_value());
  EXPECT_NE(paired->find(L"\"" + user_folder + L"\""), std::wstring::npos) << "names the path";

  // The limit counts what the command processor receives.
  const std::wstring head = CommandProcessorParameters(L"/C ");
  EXPECT_FALSE(UnrunnableCommandText(head + std::wstring(kCommandProcessorLimit - head.size(), L'x'), {}));
  const auto long_one = UnrunnableCommandText(head + std::wstring(kCommandProcessorLimit - head.size() + 1, L'x'), {});
  ASSERT_TRUE(long_one.has_value());
  EXPECT_NE(long_one->find(L"8192 characters long"), std::wstring::npos);
}

namespace {

// A session with the utility's own elevated process and the person's unelevated shell,
// whose steps hand on what they opened as the system's do; `fails_at` names the step that
// fails instead.
class FakeTokenSteps : public ShellTokenSteps {
 public:
  static constexpr std::uint32_t kShell = 300;
  static constexpr std::uint32_t kUtility = 100;
  struct Start {
    std::optional<std::uint32_t> token_of;  // whose token the process got
    bool primary;
    bool elevated;
    std::wstring processor, command_line;
  };
  std::string fails_at;
  std::vector<Start> started;

  std::optional<std::wstring> FindShell(std::uint32_t& process_id) override {
    if (fails_at == "FindShell") return L"no desktop shell window";
    process_id = kShell;
    return std::nullopt;
  }
  std::optional<std::wstring> OpenShellProcess(std::uint32_t process_id) override {
    if (fails_at == "OpenShellProcess") return L"Access is denied.";
    process_ = process_id;
    return std::nullopt;
  }
  std::optional<std::wstring> OpenShellToken() override {
    if (fails_at == "OpenShellToken") return L"Access is denied.";
    token_ = process_;
    return std::nullopt;
  }
  std::optional<std::wstring> DuplicateShellToken() override {
    if (fails_at == "DuplicateShellToken") return L"Not enough quota is available.";
    primary_ = token_.has_value();
    return std::nullopt;
  }
  std::optional<std::wstring> StartWithShellToken(const std::wstring& processor,
                                                  const std::wstring& command_line) override {
    if (fails_at == "StartWithShellToken") return L"The parameter is incorrect.";
    // Without a token the process would get the utility's own, elevated.
    const std::uint32_t owner = token_.value_or(kUtility);
    started.push_back({token_, primary_, owner != kShell, processor, command_line});
    return std::nullopt;
  }

 private:
  std::optional<std::uint32_t> process_, token_;
  bool primary_ = false;
};

}  // namespace

TEST(UnelevatedRun, TheTokenRouteStartsOnceWithTheShellsTokenOrSaysWhichStepFailed) {
  const std::wstring processor = L"C:\\Windows\\system32\\cmd.exe";
  const std::wstring parameters = L"/D /V:OFF /C \"C:\\1cv8.exe\" ENTERPRISE";
  struct Case {
    const char* fails_at;
    const wchar_t* why;  // nullptr: started
  } cases[] = {
      {"", nullptr},
      {"FindShell", L"GetShellWindow failed: no desktop shell window"},
      {"OpenShellProcess", L"OpenProcess of the shell failed: Access is denied."},
      {"OpenShellToken", L"OpenProcessToken failed: Access is denied."},
      {"DuplicateShellToken", L"DuplicateTokenEx failed: Not enough quota is available."},
      {"StartWithShellToken", L"CreateProcessWithTokenW failed: The parameter is incorrect."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fails_at);
    FakeTokenSteps steps;
    steps.fails_at = c.fails_at;
    const auto why = RunWithShellToken(steps, processor, parameters);
    if (c.why) {
      EXPECT_EQ(why, std::optional<std::wstring>(c.why));
      EXPECT_TRUE(steps.started.empty()) << "started after a failed step";
      continue;
    }
    EXPECT_FALSE(why.has_value()) << ::testing::PrintToString(*why);
    ASSERT_EQ(steps.started.size(), 1u);
    const FakeTokenSteps::Start& run = steps.started[0];
    EXPECT_EQ(run.token_of, std::optional<std::uint32_t>(FakeTokenSteps::kShell));
    EXPECT_TRUE(run.primary) << "an impersonation token: CreateProcessWithTokenW refuses it";
    EXPECT_FALSE(run.elevated);
    EXPECT_EQ(run.processor, processor);
    EXPECT_EQ(run.command_line, L"\"" + processor + L"\" " + parameters);
  }
}

TEST(UnelevatedRun, OnlyThePersonsOwnUnelevatedShellAndTheirBaseTakeTheShellsToken) {
  const DesktopShell persons{true, true, false};
  struct Case {
    const char* name;
    DesktopShell shell;
    bool base_is_persons;
    std::size_t length;
    const wchar_t* why;  // nullptr: unelevated
  } cases[] = {
      {"the person's shell, their base", persons, true, kTokenCommandLineLimit, nullptr},
      {"no shell", {false, true, false}, true, 100, L"no desktop shell"},
      // An administrator typed their password for someone else.
      {"another account", {true, false, false}, true, 100, L"another account"},
      {"elevated shell", {true, true, true}, true, 100, L"runs elevated"},
      {"a base elsewhere", persons, false, 100, L"outside the person's profile"},
      {"one over the token route's limit", persons, true, kTokenCommandLineLimit + 1, L"1025 characters"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto why = WhyNotUnelevated(c.shell, c.base_is_persons, c.length);
    if (!c.why) {
      EXPECT_FALSE(why.has_value()) << ::testing::PrintToString(*why);
      continue;
    }
    ASSERT_TRUE(why.has_value());
    EXPECT_NE(why->find(c.why), std::wstring::npos) << ::testing::PrintToString(*why);
  }
  const std::wstring profile = L"C:\\Users\\tester";
  EXPECT_TRUE(BaseIsThePersons(false, L"C:/Users/tester/Documents/kalvera_base", profile));
  EXPECT_TRUE(BaseIsThePersons(true, L"D:\\bases", profile)) << "a server base";
  EXPECT_FALSE(BaseIsThePersons(false, L"D:\\bases\\kalvera", profile));
  EXPECT_FALSE(BaseIsThePersons(false, L"C:\\Users\\tester\\..\\admin\\base", profile));
  EXPECT_FALSE(BaseIsThePersons(false, L"C:\\Users\\tester2\\base", profile));
}
