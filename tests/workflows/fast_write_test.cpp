#include <gtest/gtest.h>

#include <filesystem>

#include "codec/header.h"
#include "link/block_transfer.h"
#include "support/link_rig.h"
#include "workflows/unit_workflows.h"
#include "workspace/usage.h"
#include "support/test_folder.h"

namespace vexa::test {
namespace {

namespace fs = std::filesystem;
using Memory = std::vector<std::uint8_t>;
// A block the unit received: its address and the 8 bytes stored there.
using Sent = std::pair<long, Memory>;

// An activated unit holding `memory`, and a record of the blocks written to
// it.
struct Unit : ActiveUnit {
  explicit Unit(const Memory& memory) : ActiveUnit({}, memory) {
    loop.onYield = [this] {
      const auto& log = sim.requests();
      for (; seen < log.size(); ++seen) {
        if (log[seen].code != link::kCmdWriteBlock) continue;
        const auto at = sim.memory().begin() + log[seen].address;
        written.emplace_back(log[seen].address, Memory(at, at + 8));
        if (static_cast<long>(written.size()) == pullAfter) port.lost = true;
      }
    };
  }
  WorkflowResult Write(const Workspace& from, WriteOptions options) {
    ws.config = from.config;
    ws.image = from.image;
    return WriteWorkflow(link, ws, sv, options);
  }
  std::size_t seen = 0;
  long pullAfter = -1;  // the cable is pulled once this many blocks were sent
  std::vector<Sent> written;
};

const Memory kFresh = link::UnitSimulator().memory();

// The unit after a full write of `ws` over `memory`.
Memory AfterFullWrite(const Memory& memory, const Workspace& ws) {
  Unit unit(memory);
  EXPECT_EQ(unit.Write(ws, {.backup = false, .backupDir = {}}), WorkflowResult::Completed);
  return unit.sim.memory();
}

TEST(FastWrite, SendsOnlyTheBlocksThatDifferAndEndsAsAFullWrite) {
  const Workspace pumping = FixtureWorkspace("pumping-station.eep");
  Workspace changed = pumping;
  changed.config.phones[0].TC = "+420602123457";  // one digit
  const Workspace startup = FixtureWorkspace("startup.eep");
  const Memory held = AfterFullWrite(kFresh, pumping);
  // The unit's reserved header byte 44 differs, its header still valid.
  Memory reserved = held;
  reserved[44] ^= 0x5A;
  EepromImage header;
  std::copy_n(reserved.begin(), 64, header.data());
  reserved[48] = HeaderChecksum(header);

  enum class Blocks { Nothing, Changed, Everything };
  struct Case {
    const char* name;
    const Memory& before;
    const Workspace& written;
    bool backup;
    bool fullWrite;
    Blocks sent;
    std::size_t atMost;  // blocks written
  };
  const Case cases[] = {
      {"one phone number changed", held, changed, true, false, Blocks::Changed, 6},
      {"nothing changed", held, pumping, true, false, Blocks::Nothing, 0},
      {"only header byte 44 differs", reserved, pumping, true, false, Blocks::Changed, 4},
      {"another configuration", held, startup, true, false, Blocks::Changed, 142},
      {"a unit never programmed", kFresh, changed, true, false, Blocks::Everything, 142},
      {"no backup read", held, changed, false, false, Blocks::Everything, 142},
      {"full write asked for", held, changed, true, true, Blocks::Everything, 142},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Memory expected = AfterFullWrite(c.before, c.written);
    const auto dir = test::FreshTestFolder("fast-write");
    Unit unit(c.before);
    ASSERT_EQ(unit.Write(c.written, {.backup = c.backup, .backupDir = dir.string(), .fullWrite = c.fullWrite}),
              WorkflowResult::Completed);
    EXPECT_TRUE(unit.sim.memory() == expected);

    const long used = ComputeUsage(c.written.config);
    const auto front = link::FrontAreaBlocks();
    const auto body = link::BodyBlocks(used, 8128);
    const std::size_t total = 2 * front.size() + body.size();
    // Everything: the front area as zeros, the body, the front area back.
    // Changed: 40 and 48 as zeros, then every block the write changes in the
    // unit, in address order. Either way 40 and 48 come back last.
    std::vector<long> zeroed = c.sent == Blocks::Everything ? front : std::vector<long>{40, 48};
    std::vector<long> middle = c.sent == Blocks::Everything ? body : std::vector<long>{};
    for (long a = 0; a < 8128; a += 8) {
      const bool differs = !std::equal(c.before.begin() + a, c.before.begin() + a + 8, expected.begin() + a);
      const bool inFront = std::find(front.begin(), front.end(), a) != front.end();
      if (a != 40 && a != 48 && (c.sent == Blocks::Everything ? inFront : differs)) middle.push_back(a);
    }
    std::vector<Sent> want;
    if (c.sent != Blocks::Nothing) {
      for (long a : zeroed) want.emplace_back(a, Memory(8, 0));
      middle.insert(middle.end(), {40, 48});
      for (long a : middle) want.emplace_back(a, Memory(expected.begin() + a, expected.begin() + a + 8));
    }
    EXPECT_EQ(unit.written, want);
    EXPECT_LE(unit.written.size(), c.atMost);

    std::string message = texts::kMsgWriteDone;
    if (c.sent == Blocks::Nothing) message += std::string("\n") + texts::kMsgWriteUnchanged;
    message += "\n" + texts::BlocksWrittenLine(static_cast<long>(want.size()), static_cast<long>(total));
    const bool kept = c.backup && &c.before != &kFresh;
    // A unit that held nothing needed no backup, and the message says so.
    if (c.backup && !kept) message += std::string("\n") + texts::kMsgNoBackupNeeded;
    if (kept) {
      ASSERT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
      message += "\n" + texts::BackupLine(fs::directory_iterator(dir)->path().string());
    }
    EXPECT_EQ(unit.messages.texts(), std::vector<std::string>{message});
    if (c.backup) {
      EXPECT_EQ(unit.progress.shownTexts.front(), texts::kMsgBackingUp);
    }
  }
}

TEST(FastWrite, CablePulledAfterAnyBlockLeavesNoHeaderOrOneWholeConfiguration) {
  const Workspace pumping = FixtureWorkspace("pumping-station.eep");
  Workspace changed = pumping;
  // One digit of a phone number and one letter of an input's name: two body
  // blocks far apart, the header's own bytes the same, so a header left
  // valid while the body goes in would show.
  changed.config.phones[0].TC = "+420602123457";
  ASSERT_EQ(changed.config.inputs[0].INPNazev, "Dvere");
  changed.config.inputs[0].INPNazev = "Dvira";
  const Memory old = AfterFullWrite(kFresh, pumping);
  const Memory updated = AfterFullWrite(old, changed);
  for (const bool full : {false, true}) {
    SCOPED_TRACE(full ? "full write" : "changed blocks only");
    // Pulled after the k-th block the unit took; the last block completes the
    // new configuration.
    for (long k = 1;; ++k) {
      SCOPED_TRACE(k);
      Unit unit(old);
      unit.pullAfter = k;
      const std::string dir = test::FreshTestFolder("fast-write").string();
      ASSERT_EQ(unit.Write(changed, {.backup = true, .backupDir = dir, .fullWrite = full}), WorkflowResult::Failed);
      const Memory& now = unit.sim.memory();
      EepromImage header;
      std::copy_n(now.begin(), 64, header.data());
      EXPECT_TRUE(!IsImageValid(header) || now == old || now == updated);
      // The failure's own line, why the block failed (when known), what the
      // unit is left with, and where its configuration was kept.
      ASSERT_EQ(unit.messages.shown.size(), 1u);
      const std::string& text = unit.messages.shown[0].text;
      const std::string tail = std::string("\n") + texts::kMsgUnitLeftInvalid + "\n" +
                               texts::BackupLine(fs::directory_iterator(dir)->path().string());
      EXPECT_EQ(text.rfind(texts::kMsgWriteFailed, 0), 0u);
      EXPECT_EQ(text.substr(text.size() - std::min(text.size(), tail.size())), tail);
      if (now == updated) break;
    }
  }
}

}  // namespace
}  // namespace vexa::test
