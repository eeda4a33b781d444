// The run folder's name, the rule that tells a crashed run's folder from one in use or
// someone else's, a removal that never goes through a link, and the folder's end on each
// way out of a full installation.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "fakes.h"
#include "setup/run_folder.h"
#include "setup/stage_chain.h"

namespace {

const std::wstring kData = L"C:\\ProgramData";
const std::wstring kRun = kData + L"\\Kalvera-a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5";
const std::wstring kNext = kData + L"\\Kalvera-a6a6a6a6a6a6a6a6a6a6a6a6a6a6a6a6";

}  // namespace

TEST(RunFolder, TheNameIsThePrefixAndTheRandomBytesInLowerCaseHex) {
  std::vector<unsigned char> bytes;
  for (unsigned char b = 0; b < 16; ++b) bytes.push_back(static_cast<unsigned char>(b * 17));
  EXPECT_EQ(RunFolderName(bytes), L"Kalvera-00112233445566778899aabbccddeeff");
  EXPECT_EQ(RunFolderName(std::vector<unsigned char>(16, 0x0f)), L"Kalvera-0f0f0f0f0f0f0f0f0f0f0f0f0f0f0f0f");
}

// Start-up removes what the pattern matches, as administrator: a loose match would remove
// another program's folder in the program data folder.
TEST(RunFolder, OnlyTheExactPatternIsARunFolderName) {
  const std::wstring digits = L"0123456789abcdef0123456789abcdef";
  const std::pair<std::wstring, bool> cases[] = {
      {L"Kalvera-" + digits, true},
      {L"Kalvera-" + digits.substr(1), false},           // 31 digits
      {L"Kalvera-" + digits + L"0", false},              // 33 digits
      {L"Kalvera-0123456789ABCDEF0123456789abcdef", false},  // upper case was never made
      {L"Kalvera-0123456789abcdeg0123456789abcdef", false},
      {L"kalvera-" + digits, false},
      {L"Kalvera_" + digits, false},
      {L"Kalvera-", false},
      {L"KalveraData", false},
  };
  for (const auto& [name, matches] : cases) {
    SCOPED_TRACE(::testing::PrintToString(name));
    EXPECT_EQ(IsRunFolderName(name), matches);
  }
}

TEST(RunFolder, ALeftoverIsADayOldFolderOfSystemOrAdministrators) {
  const FolderEntry folder{L"Kalvera-a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5", EntryKind::Folder};
  constexpr std::uint64_t kDay = kLeftoverAgeMs, kSecond = 1000;
  struct Case {
    const char* what;
    FolderEntry entry;
    FolderFacts facts;
    bool leftover;
  };
  const Case cases[] = {
      {"a second over a day", folder, {FolderOwner::Administrators, kDay + kSecond}, true},
      {"a second short of a day: another run may still use it", folder, {FolderOwner::Administrators, kDay - kSecond}, false},
      {"exactly a day", folder, {FolderOwner::Administrators, kDay}, false},
      {"made by SYSTEM", folder, {FolderOwner::System, kDay + kSecond}, true},
      {"made by someone else", folder, {FolderOwner::Other, kDay + kSecond}, false},
      {"its time unknown", folder, {FolderOwner::Administrators, std::nullopt}, false},
      {"a link of that name", {folder.name, EntryKind::Link}, {FolderOwner::Administrators, kDay + kSecond}, false},
      {"a file of that name", {folder.name, EntryKind::File}, {FolderOwner::Administrators, kDay + kSecond}, false},
      {"another name", {L"Kalvera-old", EntryKind::Folder}, {FolderOwner::Administrators, kDay + kSecond}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(IsLeftoverRunFolder(c.entry, c.facts), c.leftover);
  }
}

// A crashed run's folder goes whole; a link inside goes as a link, and what it points to
// (here the person's own files) stays untouched.
TEST(RunFolder, StartUpRemovesLeftoversWithoutFollowingALinkInside) {
  FakeForm f;
  const std::wstring old_run = kData + L"\\Kalvera-00000000000000000000000000000000";
  const std::wstring young_run = kData + L"\\Kalvera-11111111111111111111111111111111";
  const std::wstring foreign = kData + L"\\Kalvera-22222222222222222222222222222222";
  const std::wstring target = L"C:\\Users\\tester\\Documents\\precious";
  f.files.folders = {kData, old_run, old_run + L"\\sub", old_run + L"\\sub\\link", young_run, foreign, target};
  f.files.files = {old_run + L"\\update_pack.zip", old_run + L"\\sub\\a.txt", target + L"\\kept.txt",
                   young_run + L"\\update_pack.zip"};
  f.run_folders.links = {old_run + L"\\sub\\link"};  // points to `target`
  f.run_folders.facts[old_run] = {FolderOwner::Administrators, kLeftoverAgeMs + 1};
  f.run_folders.facts[young_run] = {FolderOwner::Administrators, kLeftoverAgeMs - 1};
  f.run_folders.facts[foreign] = {FolderOwner::Other, kLeftoverAgeMs + 1};
  f.form.globals.PCName = L"tester";

  FormCreate(f.form);

  EXPECT_EQ(f.files.folders, (std::set<std::wstring>{kData, young_run, foreign, target}));
  EXPECT_EQ(f.files.files, (std::set<std::wstring>{target + L"\\kept.txt", young_run + L"\\update_pack.zip"}));
  EXPECT_NE(std::find(f.events.begin(), f.events.end(), L"unlink " + old_run + L"\\sub\\link"), f.events.end());
  EXPECT_TRUE(f.run_folders.followed.empty()) << "went through a link";
  EXPECT_NE(std::find(f.log.lines.begin(), f.log.lines.end(), L"leftover run folder: removed \"" + old_run + L"\""),
            f.log.lines.end());
}

// A name that is there already may be a folder someone planted with an access list of
// their own: it is never used.
TEST(RunFolder, ANameThatExistsAlreadyIsNeverTakenOver) {
  FakeForm f;
  f.files.folders = {kData, kRun};
  f.files.files = {kRun + L"\\KalveraSetup1c.exe"};
  EnsureRunFolder(f.form);
  EXPECT_EQ(f.form.run_folder, kNext);
  EXPECT_EQ(f.events, std::vector<std::wstring>{L"mkdir protected " + kNext});

  FakeForm planted_everywhere;
  for (unsigned char b = 0xa5; b < 0xa5 + 8; ++b) {
    planted_everywhere.files.folders.insert(kData + L"\\" + RunFolderName(std::vector<unsigned char>(16, b)));
  }
  EXPECT_THROW(EnsureRunFolder(planted_everywhere.form), Error);
  EXPECT_TRUE(planted_everywhere.form.run_folder.empty());
}

// Every way out of a full installation, played on the chain as the window plays it: an
// error report and the window's close each end in LeaveRunFolder.
TEST(RunFolder, EachWayOutOfAFullInstallationEndsTheRunFolder) {
  enum Left { kGone, kEmptied, kKept };
  struct Case {
    const char* what;
    std::function<void(FakeForm&)> arrange;
    std::function<void(FakeForm&)> play;  // from the click on
    Left left;
  };
  const auto click_then_close = [](FakeForm& f) {
    try {
      Button6Click(f.form);
    } catch (const std::exception&) {  // an Error, or the close taken up
    }
    LeaveRunFolder(f.form);  // the report, or the window closed
  };
  const auto seen_then = [](bool ended) {
    return [ended](FakeForm& f) {
      Button6Click(f.form);
      f.processes.running = {{L"KalveraSetup1c.exe", 30}};
      expectation_start_setupTimer(f.form);
      if (ended) {
        f.processes.running.clear();
        expectationTimer(f.form);
      }
      LeaveRunFolder(f.form);
    };
  };
  const Case cases[] = {
      {"the package download fails", [](FakeForm& f) { f.downloader.failure = L"404"; }, click_then_close, kGone},
      {"the extraction fails", [](FakeForm& f) { f.unzipper.failure = L"damaged"; }, click_then_close, kGone},
      {"the package holds no setup program", [](FakeForm& f) { f.unzipper.entries = {L"readme.txt"}; },
       click_then_close, kGone},
      {"closed in the pause before the setup program starts",
       [](FakeForm& f) {
         f.clock.closed_in_pause = 1500;
         f.unzipper.entries = {L"KalveraSetup1c.exe", L"data\\x.cab"};
         f.files.folders.insert(kRun + L"\\data");  // what the extraction will have made
       },
       click_then_close, kGone},
      {"the setup program never shows up",
       [](FakeForm&) {},
       [](FakeForm& f) {
         Button6Click(f.form);
         try {
           for (int tick = 0; tick < 60; ++tick) expectation_start_setupTimer(f.form);
         } catch (const Error&) {
         }
         LeaveRunFolder(f.form);
       },
       kGone},
      {"closed while the setup program runs: its files stay", [](FakeForm&) {}, seen_then(false), kKept},
      {"the setup program has ended, then the window closed", [](FakeForm&) {}, seen_then(true), kGone},
      {"the setup program has ended", [](FakeForm&) {},
       [](FakeForm& f) {
         Button6Click(f.form);
         f.processes.running = {{L"KalveraSetup1c.exe", 30}};
         expectation_start_setupTimer(f.form);
         f.processes.running.clear();
         expectationTimer(f.form);
       },
       kEmptied},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeForm f;
    f.form.globals.PCName = L"tester";
    f.files.folders = {kData, L"C:\\Users\\tester\\Downloads"};
    c.arrange(f);
    c.play(f);
    EXPECT_TRUE(f.unzipper.held.empty() || c.left == kKept) << "a held file would block the removal";
    std::set<std::wstring> inside;
    for (const std::wstring& file : f.files.files) {
      if (file.compare(0, kRun.size(), kRun) == 0) inside.insert(file);
    }
    EXPECT_EQ(f.files.folders.count(kRun), c.left == kGone ? 0u : 1u);
    EXPECT_EQ(inside.empty(), c.left != kKept);
    if (c.left == kKept) {
      EXPECT_EQ(f.form.run_folder, kRun) << "left to a later start-up";
    }
  }
}

// The file stays held through the pause and the command processor's start, and is let go
// once the process list shows it running.
TEST(RunFolder, TheSetupProgramIsHeldFromItsExtractionUntilItIsSeenRunning) {
  FakeForm f;
  f.form.globals.PCName = L"tester";
  f.files.folders = {kData};
  Button6Click(f.form);
  EXPECT_EQ(f.unzipper.held, kRun + L"\\KalveraSetup1c.exe");
  expectation_start_setupTimer(f.form);
  EXPECT_FALSE(f.unzipper.held.empty()) << "not seen yet";
  f.processes.running = {{L"KalveraSetup1c.exe", 30}};
  expectation_start_setupTimer(f.form);
  EXPECT_TRUE(f.unzipper.held.empty());
}
