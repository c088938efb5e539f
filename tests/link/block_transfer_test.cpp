#include <gtest/gtest.h>

#include <numeric>

#include "codec/header.h"
#include "link/block_transfer.h"
#include "link/programming_mode.h"
#include "workflows/link_workflows.h"
#include "support/link_rig.h"

namespace vexa::test {
namespace {

using link::WriteOutcome;

// A counting pattern for the unit's memory.
std::vector<std::uint8_t> Pattern() {
  std::vector<std::uint8_t> m(65536);
  for (std::size_t i = 0; i < m.size(); ++i) m[i] = static_cast<std::uint8_t>(i * 7 + 3);
  return m;
}

// An activated unit whose memory holds the counting pattern.
struct ActiveRig : ActiveUnit {
  explicit ActiveRig(link::UnitOptions o = {}) : ActiveUnit(o, Pattern()) {}
  // Fills the image with a pattern different from the unit's.
  void FillImage(long upTo) {
    for (long i = 0; i < upTo; ++i) WriteImageByte(ws.image, static_cast<std::uint8_t>(i * 13 + 1), i);
  }
};

std::vector<long> Range(long from, long to) {  // blocks from..to inclusive
  std::vector<long> v;
  for (long a = from; a <= to; a += 8) v.push_back(a);
  return v;
}

TEST(BlockRequests, AddressTravelsLowByteFirstAsHexPairs) {
  const auto read = link::ReadBlockRequest(264);
  ASSERT_EQ(read.Length, 5);
  EXPECT_EQ(std::vector<std::uint8_t>(read.Data.begin(), read.Data.begin() + 5),
            (std::vector<std::uint8_t>{4, '8', '0', '1', '0'}));
  const auto write = link::WriteBlockRequest(0x1234, {0x00, 0xFF, 0xA0, 0x3C, 0x05, 1, 2, 3});
  ASSERT_EQ(write.Length, 21);
  const std::string text(write.Data.begin() + 1, write.Data.begin() + 21);
  EXPECT_EQ(write.Data[0], 5);
  EXPECT_EQ(text, "432100FF0AC350102030");
  const auto body = link::ReadBlockRequest(272);
  EXPECT_EQ(std::string(body.Data.begin() + 1, body.Data.begin() + 5), "0110");
}

TEST(ReadBlock, MalformedRepliesAreFailedAttempts) {
  const std::string good = "0123456789ABCDEF";
  struct Case {
    const char* name;
    std::vector<std::uint8_t> payload;
    bool accepted;
  };
  auto reply = [](std::uint8_t code, const std::string& text) {
    std::vector<std::uint8_t> p{code};
    p.insert(p.end(), text.begin(), text.end());
    return p;
  };
  const Case cases[] = {
      {"sixteen hexadecimal characters", reply(132, good), true},
      {"lower-case digits", reply(132, "0123456789abcdef"), true},
      {"one data character short", reply(132, good.substr(0, 15)), false},
      {"not hexadecimal", reply(132, "01234567G9ABCDEF"), false},
      {"reply code of a write", reply(133, good), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LinkRig rig;
    rig.OpenBare();
    for (long i = 80; i < 88; ++i) WriteImageByte(rig.ws.image, 0x5A, i);
    rig.port.Schedule(1, FakePort::Wire(c.payload));
    EXPECT_EQ(link::ReadBlockWithRetries(rig.link, rig.ws.image, rig.loop, 80), c.accepted);
    const std::uint8_t expected[8] = {0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(rig.ws.image.data()[80 + i], c.accepted ? expected[i] : 0x5A) << i;
  }
}

TEST(BlockOrder, FrontAreaSkipsTheUnitsOwnBytes) {
  auto expected = Range(0, 56);
  const auto tail = Range(128, 264);
  expected.insert(expected.end(), tail.begin(), tail.end());
  EXPECT_EQ(link::FrontAreaBlocks(), expected);
  EXPECT_EQ(expected.size(), 26u);
}

TEST(ReadEeprom, ReadsEveryBlockUpToTheUsableSize) {
  struct Case {
    std::uint8_t memoryCode;
    long usable;
  };
  for (const Case c : {Case{0, 64}, Case{2, 448}, Case{6, 8128}, Case{9, 65472}}) {
    SCOPED_TRACE(c.usable);
    ActiveRig rig({.memoryCode = c.memoryCode});
    long progressCalls = 0;
    // 0 of the total as the read starts (the silence from then on shows the
    // cable hint), then each block.
    rig.link.SetOnBlock([&](long done, long total) {
      EXPECT_EQ(total, c.usable / 8);
      EXPECT_EQ(done, progressCalls++);
    });
    ASSERT_TRUE(link::ReadEeprom(rig.link, rig.ws.image, rig.transfer(), rig.sv.loop, rig.window));
    EXPECT_EQ(rig.Addresses(link::kCmdReadBlock), Range(0, c.usable - 8));  // 64..127 included
    EXPECT_TRUE(std::equal(rig.sim.memory().begin(), rig.sim.memory().begin() + c.usable, rig.ws.image.data()));
    EXPECT_EQ(rig.progress.shownTexts.back(), texts::kMsgReading);
    EXPECT_TRUE(rig.progress.stornoVisible);
    EXPECT_FALSE(rig.progress.visible);
  }
}

TEST(ReadEeprom, RefusesWithoutAKnownSize) {
  ActiveRig rig;
  rig.link.SetMemorySize(std::nullopt);
  EXPECT_FALSE(link::ReadEeprom(rig.link, rig.ws.image, rig.transfer(), rig.sv.loop, rig.window));
  EXPECT_TRUE(rig.sim.requests().empty());
}

TEST(WriteEeprom, BlockOrderKeepsTheHeaderInvalidUntilTheEnd) {
  struct Case {
    long used;
    std::vector<long> body;
    std::uint8_t memoryCode = 6;
    bool checkWrite = false;
  };
  std::vector<Case> cases = {
      {430, Range(272, 432)}, {300, Range(272, 304)}, {273, {272, 280}},
      {272, {272}},           {100, {272}},           {8128, Range(272, 8120)},  // never past the memory
  };
  // From the usable size - 7 up to the usable size the image ends at U - 2,
  // in the memory's last block, and nothing is sent beyond it.
  for (long used = 953; used <= 960; ++used) cases.push_back({used, Range(272, 952), 3, true});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.used);
    ActiveRig rig({.memoryCode = c.memoryCode});
    rig.ws.settings.CheckWrite = c.checkWrite;
    rig.FillImage(8200);
    const auto before = std::make_unique<EepromImage>(rig.ws.image);
    ASSERT_EQ(link::WriteEeprom(rig.link, rig.ws.image, rig.transfer(), rig.sv.loop, rig.window, c.used), WriteOutcome::Completed);

    auto expected = link::FrontAreaBlocks();
    expected.insert(expected.end(), c.body.begin(), c.body.end());
    // The front area back, the magic word's block and then the checksum's last.
    for (long a : link::FrontAreaBlocks()) {
      if (a != 40 && a != 48) expected.push_back(a);
    }
    expected.insert(expected.end(), {40, 48});
    EXPECT_EQ(rig.Addresses(link::kCmdWriteBlock), expected);
    // Read back block by block with CheckWrite only.
    EXPECT_EQ(rig.Addresses(link::kCmdReadBlock), c.checkWrite ? expected : std::vector<long>{});
    EXPECT_TRUE(rig.ws.image == *before);
    // The unit holds the image in every written block, its own bytes in 64..127.
    for (long a : expected) {
      for (long i = a; i < a + 8; ++i) ASSERT_EQ(rig.sim.memory()[i], rig.ws.image.data()[i]) << i;
    }
    for (long i = 64; i < 128; ++i) ASSERT_EQ(rig.sim.memory()[i], static_cast<std::uint8_t>(i * 7 + 3)) << i;
  }
}

TEST(WriteEeprom, VerificationReadsEveryBlockBackOnce) {
  ActiveRig rig;
  rig.FillImage(512);
  ASSERT_EQ(link::WriteEeprom(rig.link, rig.ws.image, rig.transfer(), rig.sv.loop, rig.window, 300), WriteOutcome::Completed);
  const auto writes = rig.Addresses(link::kCmdWriteBlock);
  EXPECT_EQ(rig.Addresses(link::kCmdReadBlock), writes);
  // Each read-back follows its write.
  std::vector<std::uint8_t> codes;
  for (const auto& r : rig.sim.requests()) codes.push_back(r.code);
  for (std::size_t i = 0; i + 1 < codes.size(); i += 2) {
    ASSERT_EQ(codes[i], link::kCmdWriteBlock);
    ASSERT_EQ(codes[i + 1], link::kCmdReadBlock);
  }
}

TEST(Retries, RecoverWithinTheAttemptLimitAndFailBeyond) {
  struct Case {
    const char* name;
    link::SimFault fault;
    int count;
    bool read;  // ReadEeprom, else WriteEeprom without verification
    bool succeeds;
    // The time limits of the failed attempts, exactly: after a retry that
    // succeeded, the marker's prompt answer shows that nothing is owed.
    std::int64_t waitedMs;
  };
  const Case cases[] = {
      {"read: 11 dropped replies", link::SimFault::DropReply, 11, true, true,
       100 * (11 * 12 / 2)},
      {"read: 12 dropped replies", link::SimFault::DropReply, 12, true, false, 100 * (12 * 13 / 2)},
      {"read: 5 corrupted checksums", link::SimFault::CorruptChecksum, 5, true, true, 0},
      {"read: 12 corrupted checksums", link::SimFault::CorruptChecksum, 12, true, false, 0},
      {"write: 9 dropped replies", link::SimFault::DropReply, 9, false, true,
       100 * (2 + 3 + 4 + 5 + 6 + 7 + 8 + 9 + 10)},
      {"write: 10 dropped replies", link::SimFault::DropReply, 10, false, false,
       100 * (2 + 3 + 4 + 5 + 6 + 7 + 8 + 9 + 10 + 11)},
      {"write: 9 corrupted checksums", link::SimFault::CorruptChecksum, 9, false, true, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ActiveRig rig;
    rig.ws.settings.CheckWrite = false;
    rig.sim.InjectFault(c.fault, c.count, c.read ? link::kCmdReadBlock : link::kCmdWriteBlock);
    const auto start = rig.clock.now;
    bool ok = false;
    if (c.read) {
      ok = link::ReadEeprom(rig.link, rig.ws.image, rig.transfer(), rig.sv.loop, rig.window);
    } else {
      ok = link::WriteEeprom(rig.link, rig.ws.image, rig.transfer(), rig.sv.loop, rig.window, 300) == WriteOutcome::Completed;
    }
    EXPECT_EQ(ok, c.succeeds);
    const auto attempts = rig.Addresses(c.read ? link::kCmdReadBlock : link::kCmdWriteBlock);
    // Attempts at the first block: the leading run of address 0.
    const long firstBlockAttempts =
        std::find_if(attempts.begin(), attempts.end(), [](long a) { return a != 0; }) - attempts.begin();
    EXPECT_EQ(firstBlockAttempts, std::min(c.count + 1, c.read ? 12 : 10));
    if (!c.succeeds) {
      EXPECT_EQ(attempts.size(), static_cast<std::size_t>(c.count));  // nothing after the failed block
    }
    if (c.fault == link::SimFault::DropReply) {
      EXPECT_EQ(rig.clock.now - start, c.waitedMs);
    }
    // One retry per failed attempt up to the ladder's last, each after a marker.
    const long retries = std::min(c.count, (c.read ? 12 : 10) - 1);
    EXPECT_EQ(rig.link.ledger().counts().retries, retries);
    EXPECT_EQ(rig.link.ledger().counts().markers, retries);
  }
}

TEST(Retries, LateReplyIsTakenByTheNextAttemptWithoutAskingAgain) {
  // The reply to the first attempt comes after its 100 ms, while the marker
  // sent after it is waiting; the unit then loses the marker's answer. The
  // reply is the block's own (nothing else owes a block answer): it is taken.
  ActiveRig rig({.lateByUs = 150'000});
  rig.sim.InjectFault(link::SimFault::LateReply);
  rig.sim.InjectFault(link::SimFault::DropReply);
  ASSERT_TRUE(link::ReadEeprom(rig.link, rig.ws.image, rig.transfer(), rig.sv.loop, rig.window));
  // Taken at 150 ms, one marker, no request asked twice.
  EXPECT_EQ(rig.clock.now, 150);
  EXPECT_EQ(rig.link.ledger().counts().markers, 1);
  EXPECT_EQ(rig.Addresses(link::kCmdReadBlock).size(), 8128u / 8);
  EXPECT_TRUE(std::equal(rig.sim.memory().begin(), rig.sim.memory().begin() + 8128, rig.ws.image.data()));
}

TEST(Retries, AnAnswerLeftOverFromAFailedAttemptDoesNotShiftTheFollowingBlocks) {
  // Replies carry no address. When an attempt fails while the unit's answer
  // to it is still on its way (it comes late, or a stray CR ended the
  // attempt early), the retry takes that answer and the unit's answer to the
  // retry follows. It must not be taken for the reply to the next block.
  enum Op { Read, Write, WriteWithReadBack };
  struct Case {
    const char* name;
    Op op;
    int lateAfterReplies;  // -1: no late reply
    std::int64_t lateByUs;
    std::int64_t strayCrAtMs;  // -1: none; counted from the start of the transfer
    bool strayPair = false;    // a character in front of the stray CR: too short for an answer
  };
  const Case cases[] = {
      {"read: late answer in the first block", Read, 0, 152'000, -1},
      {"read: late answer in the body", Read, 40, 152'000, -1},
      {"read: stray CR before an answer", Read, -1, 0, 52},
      {"read: a checksum and CR alone before an answer", Read, -1, 0, 52, true},
      {"write: late answer in the front area", Write, 3, 252'000, -1},
      {"write: late answer in the body", Write, 30, 283'000, -1},
      {"write: stray CR before an answer", Write, -1, 0, 52},
      {"write with read-back: late write answer", WriteWithReadBack, 4, 252'000, -1},
      {"write with read-back: late read-back answer", WriteWithReadBack, 5, 252'000, -1},
      {"write with read-back: stray CR", WriteWithReadBack, -1, 0, 52},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    // 960 usable bytes, 19200 baud
    ActiveRig rig({.memoryCode = 3, .responseDelayUs = 5000, .charTimeUs = 521, .lateByUs = c.lateByUs});
    ASSERT_EQ(rig.link.device().MemorySize, "   960 byte");
    rig.ws.settings.CheckWrite = c.op == WriteWithReadBack;
    // The unit decides a reply's fate when the request arrives: once it has
    // answered `lateAfterReplies` requests of this transfer, the next answer
    // comes late.
    bool injected = c.lateAfterReplies < 0;
    rig.loop.onYield = [&] {
      const auto& log = rig.sim.requests();
      const auto answered = std::count_if(log.begin(), log.end(), [](const auto& r) { return r.answered; });
      if (!injected && answered == c.lateAfterReplies) {
        rig.sim.InjectFault(link::SimFault::LateReply);
        injected = true;
      }
    };
    if (c.strayCrAtMs >= 0) {
      rig.port.Schedule(rig.clock.now + c.strayCrAtMs,
                        c.strayPair ? std::vector<std::uint8_t>{0x41, link::kCR} : std::vector<std::uint8_t>{link::kCR});
    }

    long differing = 0;
    if (c.op == Read) {
      EXPECT_TRUE(link::ReadEeprom(rig.link, rig.ws.image, rig.transfer(), rig.sv.loop, rig.window));
      for (long i = 0; i < 960; ++i) differing += rig.ws.image.data()[i] != rig.sim.memory()[i];
    } else {
      rig.FillImage(1024);
      EXPECT_EQ(link::WriteEeprom(rig.link, rig.ws.image, rig.transfer(), rig.sv.loop, rig.window, 900), WriteOutcome::Completed);
      for (long i = 0; i < 912; ++i) {
        if (i >= 64 && i < 128) continue;  // never written
        differing += rig.sim.memory()[i] != rig.ws.image.data()[i];
      }
    }
    EXPECT_EQ(differing, 0);
    // A stray CR is no answer: it costs nothing.
    EXPECT_EQ(rig.link.ledger().counts().retries > 0, c.strayCrAtMs < 0);
  }
}

TEST(Verification, CatchesAFlippedByteAfterNineReadBacksUnlessSwitchedOff) {
  for (const bool check : {true, false}) {
    SCOPED_TRACE(check ? "verified" : "not verified");
    ActiveRig rig;
    rig.ws.settings.CheckWrite = check;
    rig.FillImage(512);
    const auto before = std::make_unique<EepromImage>(rig.ws.image);
    rig.sim.InjectFault(link::SimFault::FlipWrittenByte, check ? 1 : 1000);  // the first written block, or every one
    EXPECT_EQ(link::WriteEeprom(rig.link, rig.ws.image, rig.transfer(), rig.sv.loop, rig.window, 300),
              check ? WriteOutcome::Failed : WriteOutcome::Completed);
    EXPECT_EQ(rig.Addresses(link::kCmdReadBlock), check ? std::vector<long>(9, 0L) : std::vector<long>{});
    if (check) {
      EXPECT_EQ(rig.Addresses(link::kCmdWriteBlock), std::vector<long>{0});
    } else {
      EXPECT_FALSE(std::equal(rig.ws.image.data() + 272, rig.ws.image.data() + 280, rig.sim.memory().begin() + 272));
    }
    // The image is left as it was, so the unit's own bytes survive for a later write.
    EXPECT_TRUE(rig.ws.image == *before);
    EXPECT_FALSE(rig.progress.visible);
  }
}

TEST(Storno, ReadStopsAfterTheRunningBlock) {
  ActiveRig rig;
  rig.link.SetOnBlock([&](long done, long) {
    if (done == 10) rig.progress.ClickStorno();
  });
  EXPECT_TRUE(link::ReadEeprom(rig.link, rig.ws.image, rig.transfer(), rig.sv.loop, rig.window));
  EXPECT_TRUE(rig.ws.CancelRequested);
  EXPECT_EQ(rig.Addresses(link::kCmdReadBlock), Range(0, 72));
}

TEST(Storno, WriteStoppedInItsBodyLeavesTheUnitWithoutHeader) {
  ActiveRig rig;
  // A valid configuration in the unit first.
  rig.FillImage(600);
  ASSERT_TRUE(WriteImageWord(rig.ws.image, 0x2582, 46));
  ASSERT_TRUE(WriteImageByte(rig.ws.image, HeaderChecksum(rig.ws.image), 48));
  ASSERT_EQ(link::WriteEeprom(rig.link, rig.ws.image, rig.transfer(), rig.sv.loop, rig.window, 600), WriteOutcome::Completed);
  EepromImage unit;
  std::copy_n(rig.sim.memory().begin(), 600, unit.data());
  ASSERT_TRUE(IsImageValid(unit));

  rig.sim.ClearLog();
  rig.loop.onYield = [&] {
    const auto& log = rig.sim.requests();
    if (!log.empty() && log.back().code == link::kCmdWriteBlock && log.back().address == 296) {
      rig.progress.ClickStorno();
    }
  };
  const auto before = std::make_unique<EepromImage>(rig.ws.image);
  EXPECT_EQ(link::WriteEeprom(rig.link, rig.ws.image, rig.transfer(), rig.sv.loop, rig.window, 600), WriteOutcome::Cancelled);
  EXPECT_EQ(rig.Addresses(link::kCmdWriteBlock).back(), 296);
  for (long a : link::FrontAreaBlocks()) {
    for (long i = a; i < a + 8; ++i) ASSERT_EQ(rig.sim.memory()[i], 0) << i;
  }
  std::copy_n(rig.sim.memory().begin(), 600, unit.data());
  EXPECT_FALSE(IsImageValid(unit));
  EXPECT_TRUE(rig.ws.image == *before);
}

TEST(Storno, PressedDuringAWriteSkipsThatBlocksReadBack) {
  ActiveRig rig;
  rig.FillImage(512);
  rig.loop.onYield = [&] {
    const auto& log = rig.sim.requests();
    if (log.size() == 1 && log.back().code == link::kCmdWriteBlock) rig.progress.ClickStorno();
  };
  EXPECT_EQ(link::WriteEeprom(rig.link, rig.ws.image, rig.transfer(), rig.sv.loop, rig.window, 300), WriteOutcome::Cancelled);
  EXPECT_EQ(rig.sim.requests().size(), 1u);
}

TEST(Storno, AUnitThatDiesAsStornoIsPressedFailsWithItsCauseWithinTheLadder) {
  // Storno does not hide the failure of the running block, and it ends the
  // wait for a silent unit at the end of the block's ladder, not after 30 s.
  for (const bool read : {true, false}) {
    SCOPED_TRACE(read ? "read" : "write");
    ActiveRig rig;
    rig.ws.settings.CheckWrite = false;
    rig.FillImage(512);
    // Storno while the eleventh block is on the line, which the unit never
    // answers.
    rig.loop.onYield = [&rig, read] {
      if (rig.port.sim == nullptr || rig.Count(read ? link::kCmdReadBlock : link::kCmdWriteBlock) != 11) return;
      rig.progress.ClickStorno();
      rig.port.sim = nullptr;
    };
    const std::int64_t start = rig.clock.now;
    const bool ok = read ? link::ReadEeprom(rig.link, rig.ws.image, rig.transfer(), rig.sv.loop, rig.window)
                         : link::WriteEeprom(rig.link, rig.ws.image, rig.transfer(), rig.sv.loop, rig.window, 300) ==
                               WriteOutcome::Completed;
    EXPECT_FALSE(ok);
    ASSERT_TRUE(rig.link.lastFailure().has_value());
    EXPECT_EQ(rig.link.lastFailure()->cause, texts::kReplyNone);
    EXPECT_LT(rig.clock.now - start, 10'000);
  }
}

TEST(LostPort, TransferEndsInsteadOfHanging) {
  const link::UnitOptions o{.responseDelayUs = 5000};
  ActiveRig rig(o);
  rig.port.loseAtMs = rig.clock.now + 2000;
  EXPECT_FALSE(link::ReadEeprom(rig.link, rig.ws.image, rig.transfer(), rig.sv.loop, rig.window));
  EXPECT_LT(rig.clock.now, rig.port.loseAtMs + 10);

  ActiveRig writer(o);
  writer.port.loseAtMs = writer.clock.now + 1000;
  EXPECT_EQ(link::WriteEeprom(writer.link, writer.ws.image, writer.transfer(), writer.sv.loop, writer.window, 8128), WriteOutcome::Failed);
  EXPECT_LT(writer.clock.now, writer.port.loseAtMs + 10);
}

}  // namespace
}  // namespace vexa::test
