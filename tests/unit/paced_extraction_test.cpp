#include "transfer/paced_extraction.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "download_fakes.h"
#include "transfer/transfer_abandoned.h"
#include "transfer/zip_extractor.h"
#include "zip_builder.h"
#include "zip_fakes.h"

namespace {

using namespace zip_test;

const std::wstring kDest = L"C:\\dest\\";

// Notes the clock at each turn.
class ClockedPump : public MessagePump {
 public:
  explicit ClockedPump(FakeTickClock& clock) : clock_(clock) {}
  std::vector<std::uint64_t> turns_at;
  bool HandlePending() override {
    turns_at.push_back(clock_.now_ms);
    return false;
  }

 private:
  FakeTickClock& clock_;
};

Entry Make(std::string name, std::string data, std::uint16_t method) {
  Entry e;
  e.name = std::move(name);
  e.data = std::move(data);
  e.method = method;
  return e;
}

}  // namespace

// An entry that inflates to many blocks from one read, a stored one read and written
// block by block, and small files: the window must get its turn through all of them.
TEST(PacedExtraction, TurnsThePumpEvery100MsOfBlocksReadOrWritten) {
  Archive a;
  a.entries = {Make("zeros.bin", std::string(3000000, '\0'), 8), Make("stored.bin", PatternBody(2000000), 0)};
  for (int i = 0; i < 200; ++i) a.entries.push_back(Make("small/" + std::to_string(i), PatternBody(900), 8));
  MemoryArchive archive(a.Build());
  MemoryTarget target;
  FakeTickClock clock;
  clock.per_look = 7;  // each block takes 7 ms
  ClockedPump pump(clock);
  PumpCadence cadence(pump, clock);
  PacedArchive paced_archive(archive, cadence);
  PacedTarget paced_target(target, cadence);

  ExtractionFacts facts;
  ExtractZip(paced_archive, kDest, paced_target, facts);

  EXPECT_EQ(target.files.size(), 202u);
  ASSERT_GE(pump.turns_at.size(), 20u);
  std::uint64_t last = 7;  // the cadence's start
  for (std::uint64_t at : pump.turns_at) {
    EXPECT_GE(at - last, 100u) << "at " << at;
    EXPECT_LT(at - last, 107u) << "at " << at;
    last = at;
  }
  EXPECT_LT(clock.now_ms - last, 107u);
}

TEST(PacedExtraction, AQuitTakenUpEndsItAndLeavesNoPartialFile) {
  Archive a;
  a.entries = {Make("a.txt", "alpha", 0), Make("big.bin", PatternBody(2000000), 0),
               Make("deflated.bin", PatternBody(2000000), 8), Make("c.txt", "gamma", 0)};
  struct Case {
    int quit_turn;
    std::wstring cut;  // the entry being written then
  } cases[] = {{1, L"big.bin"}, {30, L"deflated.bin"}};  // a turn every 4 blocks: 23 in big.bin, 39 in all
  for (const Case& c : cases) {
    SCOPED_TRACE(c.quit_turn);
    MemoryArchive archive(a.Build());
    MemoryTarget target;
    FakeTickClock clock;
    clock.per_look = 25;
    CountingPump pump;
    pump.quit_at_turn = c.quit_turn;
    PumpCadence cadence(pump, clock);
    PacedArchive paced_archive(archive, cadence);
    PacedTarget paced_target(target, cadence);

    ExtractionFacts facts;
    EXPECT_THROW(ExtractZip(paced_archive, kDest, paced_target, facts), TransferAbandoned);

    EXPECT_EQ(pump.turns, c.quit_turn) << "nothing more was read or written";
    EXPECT_EQ(target.files[L"C:\\dest\\a.txt"].data, "alpha") << "a finished entry stays";
    const std::vector<std::wstring> tail(target.log.end() - 3, target.log.end());
    EXPECT_EQ(tail, (std::vector<std::wstring>{L"create " + kDest + c.cut, L"close", L"remove " + kDest + c.cut}))
        << "the file being written is closed, then removed, and nothing follows";
    EXPECT_EQ(target.files.count(kDest + c.cut), 0u);
  }
}
