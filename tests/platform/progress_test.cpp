// What the progress window shows of a transfer: a share that never falls,
// the time left, and the unit's silence.
#include "platform/progress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vexa {
namespace {

struct Step {
  long done, total;
};

// Totals as transfers report them, one block every 200 ms.
TEST(TransferPace, TheShareNeverFallsAndEndsWhole) {
  // A quick read: no total until the header is in, then the most it may
  // take, falling as the texts come in.
  std::vector<Step> quick;
  for (long d = 1; d <= 6; ++d) quick.push_back({d, 0});
  for (long d = 7; d <= 110; ++d) quick.push_back({d, 191});
  for (const Step s : {Step{111, 183}, {114, 178}, {116, 167}, {117, 156}, {119, 145}, {121, 124}, {124, 124}}) {
    quick.push_back(s);
  }
  // A read that finds no end goes on to the end of the memory.
  std::vector<Step> growing;
  for (long d = 1; d <= 120; ++d) growing.push_back({d, 145});
  for (long d = 121; d <= 1016; ++d) growing.push_back({d, d + 1 < 1016 ? d + 1 : 1016});
  // A write: the same total throughout.
  std::vector<Step> write;
  for (long d = 1; d <= 11; ++d) write.push_back({d, 11});

  for (const auto* steps : {&quick, &growing, &write}) {
    TransferPace pace;
    double last = 0;
    std::int64_t now = 0;
    for (const Step s : *steps) {
      pace.Report(s.done, s.total, now += 200);
      EXPECT_EQ(pace.Share().has_value(), s.total > 0) << s.done;
      const double share = pace.Share().value_or(0);
      EXPECT_GE(share, last) << s.done << " of " << s.total;
      EXPECT_LE(share, 1.0);
      if (steps == &write) {
        EXPECT_DOUBLE_EQ(share, static_cast<double>(s.done) / s.total);
      }
      last = share;
    }
    EXPECT_DOUBLE_EQ(last, 1.0);
  }
  // Fewer blocks than before: the next transfer starts from nothing.
  TransferPace pace;
  pace.Report(40, 40, 1000);
  pace.Report(1, 11, 1200);
  EXPECT_NEAR(pace.Share().value(), 1.0 / 11, 1e-9);
}

TEST(TransferPace, BlocksBeforeTheTotalCountAndAWriteStartingAfreshStartsANewPace) {
  TransferPace pace;
  for (long d = 0; d <= 6; ++d) pace.Report(d, 0, 100 * d);
  EXPECT_EQ(pace.Done(), 6);
  pace.Report(7, 70, 700);
  EXPECT_NEAR(pace.Share().value(), 0.1, 1e-9);
  // The next command's first report: nothing done of another total.
  pace.Report(0, 20, 5000);
  pace.Report(2, 20, 5200);
  EXPECT_NEAR(pace.Share().value(), 0.1, 1e-9);
  EXPECT_EQ(pace.Done(), 2);
}

TEST(TransferPace, ANewPhaseKeepsTheShareAndTimesItsBlocksAfresh) {
  // A read at 20 ms a block, then a write at 200 ms a block.
  TransferPace pace;
  long done = 0;
  std::int64_t now = 0;
  for (; done <= 50; ++done) pace.Report(done, 150, now += 20);
  const double share = pace.Share().value();
  pace.NewPhase();
  EXPECT_FALSE(pace.SecondsLeft(now).has_value());
  EXPECT_DOUBLE_EQ(pace.Share().value(), share);
  for (; done <= 60; ++done) pace.Report(done, 150, now += 200);
  // 90 blocks of 200 ms left, not of the read's 20 ms.
  EXPECT_EQ(pace.SecondsLeft(now), 18);
}

TEST(PhasedProgress, OneBarAcrossTheBackupReadAndTheWrite) {
  // The backup read is expected to take 40 exchanges, the write 100:
  // whatever the phases report, the total stays 140, the bar only moves
  // forward, the read stays within its part, and the write ends the bar.
  struct Report {
    std::size_t phase;
    long done, total;
    long expected;
  };
  const Report reports[] = {
      {0, 0, 0, 0},    {0, 5, 0, 5},     {0, 30, 90, 30},  // block for block, whatever the total
      {0, 39, 60, 39}, {0, 45, 60, 39},                     // never past its part by itself
      {1, 0, 12, 39},  {1, 3, 12, 64},   {1, 12, 12, 140},  // the write fills the rest: 12 blocks changed
  };
  PhasedProgress phases({40, 100});
  std::size_t phase = 0;
  for (const Report& r : reports) {
    SCOPED_TRACE(std::to_string(r.phase) + ": " + std::to_string(r.done) + " of " + std::to_string(r.total));
    if (r.phase != phase) phases.Enter(phase = r.phase);
    const auto [done, total] = phases.Report(r.done, r.total);
    EXPECT_EQ(total, 140);
    EXPECT_EQ(done, r.expected);
  }
}

TEST(SteadyTotal, TheBarKeepsItsFirstTotalAndEndsOnIt) {
  // Totals as reads report them; whatever they do after the first, the bar's
  // total stays, its blocks never fall, stay short of the total while the
  // read goes on and reach it when the read's blocks are all done.
  struct Row {
    std::string name;
    std::vector<Step> steps;
  };
  std::vector<Row> rows;
  {
    Row narrowing{"the total falls as the texts come in (157, 137, 81)", {}};
    for (long d = 1; d <= 6; ++d) narrowing.steps.push_back({d, 0});
    for (long d = 7; d <= 60; ++d) narrowing.steps.push_back({d, 157});
    for (long d = 61; d <= 70; ++d) narrowing.steps.push_back({d, 137});
    for (long d = 71; d <= 81; ++d) narrowing.steps.push_back({d, 81});
    rows.push_back(narrowing);
  }
  {
    Row growing{"the texts turn out longer than expected", {}};
    for (long d = 7; d <= 50; ++d) growing.steps.push_back({d, 60});
    for (long d = 51; d <= 90; ++d) growing.steps.push_back({d, d + 3 < 90 ? d + 3 : 90});
    rows.push_back(growing);
  }
  {
    Row exact{"the total is right from the start", {}};
    for (long d = 1; d <= 20; ++d) exact.steps.push_back({d, 20});
    rows.push_back(exact);
  }
  rows.push_back({"done with the first total", {{1, 0}, {34, 34}}});
  rows.push_back({"a step of several blocks", {{7, 100}, {8, 100}, {40, 41}, {41, 41}}});

  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SteadyTotal steady;
    long fixed = 0, last = 0;
    for (const Step s : row.steps) {
      SCOPED_TRACE(std::to_string(s.done) + " of " + std::to_string(s.total));
      const auto [done, total] = steady.Report(s.done, s.total);
      if (fixed == 0) {
        fixed = total;
        if (s.total == 0) {
          EXPECT_EQ(done, s.done);
        }
      } else {
        EXPECT_EQ(total, fixed);
      }
      EXPECT_GE(done, last);
      if (fixed > 0 && s.done < s.total) {
        EXPECT_LT(done, fixed);
      }
      last = done;
    }
    EXPECT_EQ(last, fixed);
  }
  // A total that stays gives the read's own blocks.
  SteadyTotal steady;
  for (long d = 0; d <= 20; ++d) EXPECT_EQ(steady.Report(d, 20), std::make_pair(d, 20L));
}

TEST(TransferPace, TimeLeftOnceItCanBeToldAndToTheEnd) {
  struct Case {
    const char* what;
    std::vector<std::int64_t> blockMs;  // when each block came (block 1, 2, ...)
    long total;
    std::int64_t askedMs;
    std::optional<long long> seconds;
  };
  const std::vector<Case> cases = {
      {"one block tells nothing yet", {1000}, 100, 5000, std::nullopt},
      {"nor less than a second", {100, 200, 300}, 100, 350, std::nullopt},
      {"1 s a block, 90 to go", {1000, 2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000, 10000}, 100, 10000, 90},
      {"counting down between blocks", {1000, 2000, 3000}, 10, 5500, 5},
      {"never below a second before the end", {1000, 2000, 3000}, 4, 9000, 1},
      {"shown at the last block", {1000, 2000, 3000}, 3, 3000, 1},
      // One slow block among quick ones moves the estimate only by its share.
      {"a stall is smoothed", {200, 400, 600, 800, 1000, 6000, 6200}, 50, 6200, 12},
      // Two reports at once (the total learnt right after a block) hold nothing down.
      {"a first quick block", {1000, 1001, 2001, 3001, 4001, 5001}, 100, 5001, 76},
  };
  for (const Case& c : cases) {
    TransferPace pace;
    for (std::size_t i = 0; i < c.blockMs.size(); ++i) pace.Report(static_cast<long>(i + 1), c.total, c.blockMs[i]);
    EXPECT_EQ(pace.SecondsLeft(c.askedMs), c.seconds) << c.what;
  }
}

TEST(TransferPace, SilentAfterFiveSecondsWithoutABlock) {
  TransferPace pace;
  EXPECT_FALSE(pace.Silent(60'000));  // no transfer yet
  pace.Report(1, 0, 1000);
  EXPECT_FALSE(pace.Silent(1000 + kSilenceHintMs - 1));
  EXPECT_TRUE(pace.Silent(1000 + kSilenceHintMs));
  pace.Report(2, 0, 8000);  // the unit answers again
  EXPECT_FALSE(pace.Silent(8000));
  pace.Reset();
  EXPECT_FALSE(pace.Silent(60'000));
  // A transfer reports its start: a unit silent from its first block on
  // (the cable pulled before it began) gets the hint too.
  pace.Report(0, 120, 1000);
  EXPECT_TRUE(pace.Silent(1000 + kSilenceHintMs));
}

}  // namespace
}  // namespace vexa
