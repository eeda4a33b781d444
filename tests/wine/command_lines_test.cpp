// The platform command lines through the real cmd.exe into the platform stand-in: every
// field must arrive as exactly one argument with its characters unchanged.
#include <gtest/gtest.h>

#include "harness.h"
#include "platform/command_lines.h"
#include "platform/shell_win32.h"

using namespace std::chrono_literals;
using Args = std::vector<std::wstring>;

namespace {

const std::wstring kUser = L"Иван Петров";
const std::wstring kPassword = L"p&ss ^|<>(x)@!y";
const std::wstring kServer = L"srv (1)&x";
const std::wstring kBaseName = L"base ^|y";

class CommandLinesThroughCmd : public ::testing::Test {
 protected:
  void SetUp() override {
    harness::SetStandInBatchTime(300ms);
    harness::InstallStandIn(platform_);
    ASSERT_TRUE(harness::WaitForNoProcessNamed(L"cmd.exe", 10s));
  }

  void TearDown() override {
    // A command that the shell misread could leave its hidden cmd.exe waiting.
    EXPECT_TRUE(harness::WaitForNoProcessNamed(L"cmd.exe", 15s));
  }

  CommandFields FileBase(bool credentials) const {
    CommandFields fields;
    fields.base_folder = folder_;
    fields.user = kUser;
    fields.password = kPassword;
    fields.with_credentials = credentials;
    return fields;
  }

  CommandFields ServerBase(bool credentials) const {
    CommandFields fields = FileBase(credentials);
    fields.base_folder = L"not passed";
    fields.server_name = kServer;
    fields.base_name = kBaseName;
    fields.server_base = true;
    return fields;
  }

  // Runs `parameters` through the hidden shell command and gives the stand-in's run; a
  // user-mode run is closed, a batch run waited for.
  StandInRun RunThroughShell(const std::wstring& parameters) {
    const size_t before = harness::ReadStandInRuns(platform_).size();
    shell_.Run(parameters);
    const std::vector<StandInRun> runs = harness::WaitForStandInRuns(platform_, before + 1, 20s);
    if (runs.size() <= before) {
      ADD_FAILURE() << "the platform did not start for: " << parameters;
      return StandInRun{};
    }
    const StandInRun run = runs[before];
    if (!run.args.empty() && run.args[0] == L"ENTERPRISE") {
      harness::PollFor([&] { return harness::StandInWindow(run.pid); }, 10s);
      EXPECT_TRUE(harness::CloseStandIn(run.pid));
    } else {
      EXPECT_TRUE(harness::WaitForProcessExit(run.pid, 20s));
    }
    return run;
  }

  const std::wstring platform_ = harness::kTypicalPlatformPath;
  const std::wstring folder_ = harness::TestTmp() + L"\\my base (test) & co";
  const std::wstring configuration_file_ =
      harness::TestTmp() + L"\\Users\\Иван Петров\\Documents\\Kalvera1C\\database.cf";
  ShellWin32 shell_{nullptr};
};

}  // namespace

TEST_F(CommandLinesThroughCmd, EveryFieldArrivesAsOneUnchangedArgument) {
  const std::wstring password = PasswordArgument(kPassword);
  const std::wstring server_base = kServer + L"\\" + kBaseName;
  const CommandFields file = FileBase(true);
  const CommandFields server = ServerBase(false);
  const struct Case {
    const char* name;
    std::wstring parameters;
    Args expected;
  } cases[] = {
      {"user mode, file base, credentials",
       EnterpriseParameters(platform_, ConnectionArgument(file), file, password),
       {L"ENTERPRISE", L"/F", folder_, L"/N" + kUser, L"/P" + kPassword}},
      {"user mode, server base", EnterpriseParameters(platform_, ConnectionArgument(server), server, L""),
       {L"ENTERPRISE", L"/S", server_base}},
      {"creation, file base", CreateInfobaseParameters(platform_, file),
       {L"createinfobase", L"File=" + folder_, L"/AddInList", L"Kalvera"}},
      {"creation, server base", CreateInfobaseParameters(platform_, server),
       {L"createinfobase", L"/S", server_base, L"/AddInList", L"Kalvera"}},
      {"configuration load, file base, credentials",
       LoadConfigParameters(platform_, ConnectionArgument(file), file, password, configuration_file_),
       {L"CONFIG", L"/F", folder_, L"/N" + kUser, L"/P" + kPassword, L"/LoadCfg", configuration_file_}},
      {"configuration load, server base",
       LoadConfigParameters(platform_, ConnectionArgument(server), server, L"", configuration_file_),
       {L"CONFIG", L"/S", server_base, L"/LoadCfg", configuration_file_}},
      {"database update, file base, credentials",
       UpdateDatabaseParameters(platform_, ConnectionArgument(file), file, password),
       {L"CONFIG", L"/F", folder_, L"/N" + kUser, L"/P" + kPassword, L"/UpdateDBCfg"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const StandInRun run = RunThroughShell(c.parameters);
    EXPECT_EQ(harness::ProgramOf(run), platform_) << run.raw;
    EXPECT_EQ(run.args, c.expected) << run.raw;
  }
}

TEST_F(CommandLinesThroughCmd, FieldsEndingInABackslashArriveWholeAndSwallowNothing) {
  // Split by the C runtime's rules, a lone backslash before the closing quote escaped it
  // and the field ran on into every argument after it.
  CommandFields root = FileBase(true);
  root.base_folder = L"C:\\";
  root.user = L"Иван\\";
  CommandFields trailing = FileBase(true);
  trailing.base_folder = folder_ + L"\\";
  CommandFields no_base_name = ServerBase(false);
  no_base_name.base_name.clear();
  const std::wstring password = PasswordArgument(L"pw\\\\");
  const struct Case {
    const char* name;
    std::wstring parameters;
    Args expected;
  } cases[] = {
      {"drive root, user name ending in a backslash",
       EnterpriseParameters(platform_, ConnectionArgument(root), root, password),
       {L"ENTERPRISE", L"/F", L"C:\\", L"/NИван\\", L"/Ppw\\\\"}},
      {"creation in a folder with a trailing backslash", CreateInfobaseParameters(platform_, trailing),
       {L"createinfobase", L"File=" + folder_ + L"\\", L"/AddInList", L"Kalvera"}},
      {"update of a folder with a trailing backslash",
       UpdateDatabaseParameters(platform_, ConnectionArgument(trailing), trailing, password),
       {L"CONFIG", L"/F", folder_ + L"\\", L"/N" + kUser, L"/Ppw\\\\", L"/UpdateDBCfg"}},
      {"server base with an empty base name",
       LoadConfigParameters(platform_, ConnectionArgument(no_base_name), no_base_name, L"", configuration_file_),
       {L"CONFIG", L"/S", kServer + L"\\", L"/LoadCfg", configuration_file_}},
      {"creation of a server base with an empty base name", CreateInfobaseParameters(platform_, no_base_name),
       {L"createinfobase", L"/S", kServer + L"\\", L"/AddInList", L"Kalvera"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const StandInRun run = RunThroughShell(c.parameters);
    EXPECT_EQ(harness::ProgramOf(run), platform_) << run.raw;
    EXPECT_EQ(run.args, c.expected) << run.raw;
  }
  EXPECT_TRUE(harness::FileExists(folder_ + L"\\1Cv8.1CD")) << "the stand-in found the folder";
}

TEST_F(CommandLinesThroughCmd, BaseIsCreatedLoadedAndUpdatedInAFolderWithSpecialCharacters) {
  const CommandFields file = FileBase(true);
  const std::wstring password = PasswordArgument(kPassword);
  const std::string configuration = "configuration bytes\r\n\x01\x02";
  harness::WriteFileBytes(configuration_file_, configuration);

  RunThroughShell(CreateInfobaseParameters(platform_, file));
  EXPECT_TRUE(harness::FileExists(folder_ + L"\\1Cv8.1CD"));
  RunThroughShell(LoadConfigParameters(platform_, ConnectionArgument(file), file, password, configuration_file_));
  ASSERT_TRUE(harness::FileExists(folder_ + L"\\loaded.cf"));
  EXPECT_EQ(harness::ReadFileBytes(folder_ + L"\\loaded.cf"), configuration);
  RunThroughShell(UpdateDatabaseParameters(platform_, ConnectionArgument(file), file, password));
  ASSERT_TRUE(harness::FileExists(folder_ + L"\\applied.cf"));
  EXPECT_EQ(harness::ReadFileBytes(folder_ + L"\\applied.cf"), configuration);
}

TEST_F(CommandLinesThroughCmd, RemovalTakesTheWholeTreeAndNothingBeside) {
  // Unquoted, this folder would split at its spaces and "&" would start a second command,
  // taking the sibling named after its first word with it.
  const std::wstring folder = harness::TestTmp() + L"\\Kalvera Download (x) & y";
  const std::wstring sibling = harness::TestTmp() + L"\\Kalvera";
  const std::wstring read_only = folder + L"\\Setup1C\\bin\\setup.exe";
  harness::WriteFileBytes(read_only, "MZ");
  harness::WriteFileBytes(folder + L"\\Setup1C.zip", "PK");
  harness::WriteFileBytes(sibling + L"\\keep.txt", "keep");
  ASSERT_TRUE(::SetFileAttributesW(read_only.c_str(), FILE_ATTRIBUTE_READONLY));

  shell_.Run(RemovalParameters(folder));

  EXPECT_TRUE(harness::WaitUntil([&] { return !harness::DirectoryExists(folder); }, 15s));
  EXPECT_TRUE(harness::FileExists(sibling + L"\\keep.txt"));
}
