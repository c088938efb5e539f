#include <gtest/gtest.h>

#include "codec/encoder.h"
#include "codec/header.h"
#include "link/block_transfer.h"
#include "link/programming_mode.h"
#include "workflows/link_workflows.h"
#include "link/quick_read.h"
#include "support/link_rig.h"

namespace vexa::test {
namespace {

constexpr long kUsable = 960;  // memory code 3

// A configuration whose texts fill most of a 960-byte unit; `seed` varies them.
std::unique_ptr<EepromImage> LongConfiguration(char seed) {
  Workspace ws;
  auto& g = ws.config.general;
  for (std::string* t : {&g.JmenoStanice, &g.rtNotAuthorized, &g.rtPowerUp, &g.rtPowerDown, &g.rtSwitchOn}) {
    for (int i = 0; i < 100; ++i) {
      t->push_back(static_cast<char>('A' + (seed + i * 7 + static_cast<int>(t->size())) % 26));
    }
  }
  g.rtSwitchOff = std::string(20, seed);
  EXPECT_TRUE(EncodeImage(ws));
  EXPECT_GT(UsedLength(ws.image).value_or(0), 900);
  EXPECT_LE(UsedLength(ws.image).value_or(kUsable), kUsable);
  return std::make_unique<EepromImage>(ws.image);
}

TEST(SlowUnit, EveryTransferEndsWithTheUnitsDataOrItsFailure) {
  // A unit serves one request at a time: a request that comes while it is
  // busy waits its turn (queue) or is lost (forget). An attempt that timed out
  // is answered during a later exchange, and no exchange may take an answer
  // meant for another request.
  struct Slowness {
    const char* name;
    std::int64_t minMs, maxMs;
    long slowFrom = 0, slowTo = 65536;
  };
  const Slowness slowness[] = {
      {"prompt", 0, 0},
      {"150 ms", 150, 150},
      {"250 ms", 250, 250},
      {"700 ms", 700, 700},
      {"1100 ms", 1100, 1100},
      {"random 0..1100 ms", 0, 1100},
      {"700 ms at 272..399 only", 700, 700, 272, 400},
      {"1100 ms at 280..319 only", 1100, 1100, 280, 320},
      {"random 150..1100 ms at 0..63 only", 150, 1100, 0, 64},
  };
  enum Op { Read, QuickRead, Write, VerifiedWrite };
  const char* kOpNames[] = {"read", "quick read", "write", "verified write"};
  const auto unitConfig = LongConfiguration('a');
  const std::vector<std::uint8_t> unitMemory(unitConfig->data(), unitConfig->data() + kUsable);
  const auto newConfig = LongConfiguration('q');
  const long used = *UsedLength(*newConfig) + 1;
  const long blocksWritten =
      static_cast<long>(2 * link::FrontAreaBlocks().size() + link::BodyBlocks(used, kUsable).size());

  for (auto busy : {link::BusyModel::Queue, link::BusyModel::Forget}) {
    for (const auto& c : slowness) {
      for (Op op : {Read, QuickRead, Write, VerifiedWrite}) {
        SCOPED_TRACE(std::string(busy == link::BusyModel::Queue ? "queue, " : "forget, ") + c.name + ", " +
                     kOpNames[op]);
        // 19200 baud; the delays hold for the block commands only.
        ActiveUnit rig({.memoryCode = 3, .busy = busy, .charTimeUs = 521, .blockDelayMinUs = c.minMs * 1000,
                        .blockDelayMaxUs = c.maxMs * 1000, .slowFrom = c.slowFrom, .slowTo = c.slowTo, .seed = 11},
                       unitMemory);
        rig.ws.settings.CheckWrite = op == VerifiedWrite;
        const std::int64_t start = rig.clock.now;
        bool ok = false;
        long differing = 0;
        long blocks = 0;
        if (op == Read || op == QuickRead) {
          ok = op == Read ? link::ReadEeprom(rig.link, rig.ws.image, rig.transfer(), rig.sv)
                          : link::QuickReadEeprom(rig.link, rig.ws.image, rig.transfer(), rig.ws.scales,
                                                  rig.ws.decimalSeparator, rig.sv);
          const long end = op == Read ? kUsable : *UsedLength(*unitConfig);
          for (long i = 0; i < end; ++i) differing += rig.ws.image.data()[i] != rig.sim.memory()[i];
          blocks = end / 8;
        } else {
          rig.ws.image = *newConfig;
          ok = link::WriteEeprom(rig.link, rig.ws.image, rig.transfer(), rig.sv, used) == link::WriteOutcome::Completed;
          for (long i = 0; i < used; ++i) {
            differing += (i < 64 || i >= 128) && rig.sim.memory()[i] != newConfig->data()[i];
          }
          blocks = blocksWritten * (op == VerifiedWrite ? 2 : 1);
        }
        // Every answer comes within the longest time limit, so none may fail.
        EXPECT_TRUE(ok) << (rig.link.lastFailure ? rig.link.lastFailure->Reason() : "");
        EXPECT_EQ(differing, 0);
        // The unit is asked about once per block: a slow unit costs its
        // answer time, not a pile of retries.
        const std::int64_t perBlockMs = c.maxMs + 250;
        EXPECT_LT(rig.clock.now - start, blocks * perBlockMs + 10'000) << rig.link.ledger.counts().retries << " retries";
        // Nothing stale is left for the release.
        EXPECT_TRUE(link::ReleaseUnit(rig.link, rig.loop));
      }
    }
  }
}

TEST(LossyLine, ALostAnswerCostsARetryAndTheDataStayExact) {
  // A prompt unit at 19200 baud whose answers are lost on the line; the fake
  // clock counts what the losses cost against the same read without them.
  struct Case {
    const char* name;
    double dropRate;
    std::uint32_t seed;
    int lostBlockAnswers, lostMarkerAnswers;  // scripted losses
    std::int64_t maxCostPerLossMs;
  };
  const Case cases[] = {
      {"one lost answer", 0, 1, 1, 0, 120},
      {"a lost answer and the marker's answer", 0, 1, 1, 1, 300},
      {"5 % lost, seed 1", 0.05, 1, 0, 0, 130},
      {"5 % lost, seed 2", 0.05, 2, 0, 0, 130},
      {"5 % lost, seed 3", 0.05, 3, 0, 0, 130},
  };
  auto read = [](const Case& c, long* lost) {
    std::vector<std::uint8_t> memory(kUsable + 64);
    for (std::size_t i = 0; i < memory.size(); ++i) memory[i] = static_cast<std::uint8_t>(i * 7);
    ActiveUnit rig({.memoryCode = 3, .responseDelayUs = 2000, .charTimeUs = 521, .seed = c.seed}, memory);
    rig.sim.SetDropRate(c.dropRate);
    rig.sim.InjectFault(link::SimFault::DropReply, c.lostBlockAnswers, link::kCmdReadBlock);
    rig.sim.InjectFault(link::SimFault::DropReply, c.lostMarkerAnswers, link::kMarkers[0].command);
    const std::int64_t start = rig.clock.now;
    EXPECT_TRUE(link::ReadEeprom(rig.link, rig.ws.image, rig.transfer(), rig.sv));
    EXPECT_TRUE(std::equal(rig.sim.memory().begin(), rig.sim.memory().begin() + kUsable, rig.ws.image.data()));
    EXPECT_TRUE(link::ReleaseUnit(rig.link, rig.loop));
    const auto& log = rig.sim.requests();
    *lost = std::count_if(log.begin(), log.end(), [](const auto& r) { return !r.answered; });
    return rig.clock.now - start;
  };
  long none = 0;
  const std::int64_t lossless = read({"lossless", 0, 1, 0, 0, 0}, &none);
  ASSERT_EQ(none, 0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    long lost = 0;
    const std::int64_t lossy = read(c, &lost);
    ASSERT_GT(lost, 0);
    // A lost answer costs the first attempt's time limit and a marker, not
    // the longest time limit.
    EXPECT_LE(lossy - lossless, lost * c.maxCostPerLossMs) << lossless << " ms lossless, " << lossy << " ms lossy";
  }
}

}  // namespace
}  // namespace vexa::test
