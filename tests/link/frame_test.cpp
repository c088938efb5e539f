#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "link/block_transfer.h"
#include "link/frame.h"
#include "link/programming_mode.h"
#include "workflows/link_workflows.h"
#include "link/trace.h"
#include "support/link_rig.h"

namespace vexa::test {
namespace {

using link::ReplyFault;
using Bytes = std::vector<std::uint8_t>;

TEST(FrameLayer, RequestsGoOnTheLineAsPayloadChecksumAndTerminator) {
  struct Case {
    Bytes payload;
    Bytes wire;
  };
  const Case cases[] = {
      {{}, {}},  // an empty frame is refused
      {{1}, {1, 2, 13}},
      {{6, 170, 85}, {6, 170, 85, 6, 13}},  // 261 + 1 = 262, mod 256 = 6
      {{12}, {12, 12, 13}},                 // 13 would be the terminator
      {{11}, {11, 12, 13}},
      {{255}, {255, 0, 13}},
      {{4, '8', '0', '1', '0'},
       {4, '8', '0', '1', '0', static_cast<std::uint8_t>((4 + 56 + 48 + 49 + 48 + 1) % 256), 13}},
  };
  for (const auto& c : cases) {
    LinkRig rig;
    rig.OpenBare();
    SerialFrame f;
    std::copy(c.payload.begin(), c.payload.end(), f.Data.begin());
    f.Length = static_cast<std::int16_t>(c.payload.size());
    // Only through the ledger: one attempt with a reply code nothing uses.
    rig.link.Exchange(rig.loop, f, 0xFF, link::Ladder{1, 10, 0, false, false});
    EXPECT_EQ(rig.port.written, c.wire);
  }
}

TEST(FrameLayer, ReplyPairsStopBeforeTheChecksum) {
  // checksum of 131 '6' '0' 'F' = 131+54+48+70 = 303, +1 = 304 mod 256 = 48,
  // itself a hex digit ('0') that a pair must not take in
  SerialFrame reply = link::MakeFrame({131, '6', '0', 'F', '0', 13});
  reply.Length = 4;
  EXPECT_EQ(link::FrameChecksum(reply), '0');
  EXPECT_EQ(link::ReplyPair(reply, 1), 6);
  EXPECT_EQ(link::ReplyPair(reply, 2), std::nullopt);  // 'F' and the checksum
  EXPECT_EQ(link::ReplyPair(reply, 0), std::nullopt);
}

TEST(FrameLayer, FlushInputReadsAtLeastOnceAndDrainsEverything) {
  LinkRig rig;
  rig.OpenBare();
  rig.link.FlushInput();
  EXPECT_EQ(rig.port.reads, 1);

  rig.port.Schedule(0, {1, 2, 3, 13, 7});
  rig.link.FlushInput();
  EXPECT_EQ(rig.port.BytesWaiting(), 0u);
  EXPECT_EQ(rig.port.reads, 1 + 5);
}

TEST(FrameLayer, OpeningSwitchesModemLinesAndToleratesTheirAbsence) {
  for (bool modemLines : {false, true}) {
    LinkRig rig;
    rig.port.modemLines = modemLines;
    rig.ws.settings.Port = "COM 3";
    EXPECT_FALSE(rig.link.Open(rig.ws.settings.Port).has_value());
    EXPECT_TRUE(rig.port.IsOpen());
    EXPECT_EQ(rig.port.openedName, "COM 3");
    EXPECT_FALSE(rig.port.dtr);
    EXPECT_TRUE(rig.port.rts);
    EXPECT_TRUE(rig.messages.shown.empty());
  }
}

TEST(FrameLayer, OpeningFailureNamesTheSelectedEntry) {
  LinkRig rig;
  rig.port.openSucceeds = false;
  rig.ws.settings.Port = "COM 2";
  const auto refused = rig.link.Open(rig.ws.settings.Port);
  ASSERT_TRUE(refused.has_value());
  EXPECT_EQ(refused->kind, FailureKind::Port);
  EXPECT_EQ(refused->cause, "Nelze otevřít port COM 2.");
  EXPECT_FALSE(rig.port.IsOpen());
  // The activation shows it.
  EXPECT_EQ(ActivateLink(rig.link, rig.ws, rig.sv), ActivationResult::PortFailed);
  ASSERT_EQ(rig.messages.shown.size(), 1u);
  EXPECT_EQ(rig.messages.shown[0].icon, Icon::Error);
  EXPECT_EQ(rig.messages.shown[0].text, "Nelze otevřít port COM 2.");
}

TEST(FrameLayer, NoisyLineIsDataNeverACrash) {
  std::mt19937 rng(12345);
  for (int round = 0; round < 300; ++round) {
    LinkRig rig;
    rig.OpenBare();
    const int bursts = static_cast<int>(rng() % 4);
    for (int b = 0; b < bursts; ++b) {
      Bytes noise(rng() % 160);
      for (auto& c : noise) c = static_cast<std::uint8_t>(rng() % 3 == 0 ? 13 : rng());
      rig.port.Schedule(static_cast<std::int64_t>(rng() % 120), noise);
    }
    // The noise, and an overlong burst, against an exchange: a failed
    // block, never a crash.
    LinkRig exchange;
    exchange.OpenBare();
    exchange.port.scheduled = rig.port.scheduled;
    exchange.port.Schedule(50, Bytes(150, 'A'));
    exchange.port.Schedule(60, {13});
    EXPECT_FALSE(link::ReadBlockWithRetries(exchange.link, exchange.ws.image, exchange.loop, 0));
    EXPECT_TRUE(exchange.link.lastFailure().has_value());
  }
  // The unit's side takes the same noise and answers only well-formed requests.
  link::UnitSimulator unit;
  for (int i = 0; i < 20000; ++i) unit.Receive(static_cast<std::uint8_t>(rng() % 4 == 0 ? 13 : rng() % 8), i);
  const auto out = unit.TakeOutput(1'000'000'000);
  for (const auto& r : unit.requests()) EXPECT_LE(r.code, 7);
  if (!out.empty()) {
    EXPECT_EQ(out.back(), link::kCR);
  }
}


TEST(Trace, RecordsEveryFrameWhatItMeansAndStopsAtItsLimit) {
  const std::string path = std::string(VEXA_BINARY_DIR) + "/link-trace.txt";
  auto lines = [&path] {
    std::ifstream in(path);
    std::vector<std::string> out;
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
  };
  for (long limit : {link::kTraceLimitBytes, 600L}) {
    SCOPED_TRACE(limit);
    LinkRig rig;
    link::Trace trace(rig.clock, limit);
    ASSERT_FALSE(trace.Open(path));
    rig.link.SetTrace(&trace);
    ASSERT_EQ(ActivateLink(rig.link, rig.ws, rig.sv), ActivationResult::Active);
    rig.sim.InjectFault(link::SimFault::DropReply, 1, link::kCmdReadBlock);
    ASSERT_TRUE(link::ReadBlockWithRetries(rig.link, rig.ws.image, rig.loop, 272));
    const auto got = lines();
    if (limit == 600) {
      // Whole lines up to the limit, then the line that says the rest is missing.
      long size = 0;
      for (const auto& l : got) size += static_cast<long>(l.size()) + 1;
      EXPECT_LE(size, 600);
      EXPECT_NE(got.back().find("size limit"), std::string::npos);
      continue;
    }
    // Milliseconds, direction, raw characters, meaning.
    const std::vector<std::string> tail(got.end() - 6, got.end());
    EXPECT_EQ(tail, (std::vector<std::string>{
                        "      0 -> \\x040110\\xC7\\x0D   read 0x0110, attempt 1, limit 100 ms",
                        "    100 <- (nothing)   time-out, 100 ms",
                        "    100 -> \\x03\\x04\\x0D   memory and modem, marker",
                        "    100 <- \\x836040N\\x0D   reply 0x83 06 04, marker answered",
                        "    100 -> \\x040110\\xC7\\x0D   read 0x0110, attempt 2, limit 200 ms",
                        "    100 <- \\x84FFFFFFFFFFFFFFFF\\xE5\\x0D   reply 0x84 FF FF FF FF FF FF FF FF",
                    }));
  }
}

}  // namespace
}  // namespace vexa::test
