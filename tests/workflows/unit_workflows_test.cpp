#include <gtest/gtest.h>

#include <array>

#include "codec/encoder.h"
#include "link/block_transfer.h"
#include "link/programming_mode.h"
#include "workflows/link_workflows.h"
#include "support/link_rig.h"
#include "workflows/unit_workflows.h"
#include "workspace/usage.h"

namespace vexa::test {
namespace {

// The tests of the transfer itself; the backup read before a write has its own.
const WriteOptions kNoBackup{.backup = false, .backupDir = {}};

// Whether the unit was asked to read or write any block.
bool AnyTransfer(const LinkRig& u) { return u.Count(link::kCmdReadBlock) + u.Count(link::kCmdWriteBlock) > 0; }

// The block reads and writes the unit was asked for, the link's retries and
// its markers.
using TransferCounts = std::array<long, 4>;
TransferCounts Counts(const LinkRig& u) {
  return {u.Count(link::kCmdReadBlock), u.Count(link::kCmdWriteBlock), u.link.ledger().counts().retries,
          u.link.ledger().counts().markers};
}

TEST(Workflows, WrittenConfigurationReadsBackIntoAFreshProgram) {
  ActiveUnit writer;
  writer.ws.config = FixtureWorkspace("pumping-station.eep").config;
  ASSERT_EQ(WriteWorkflow(writer.link, writer.ws, writer.sv, kNoBackup), WorkflowResult::Completed);
  const long blocks = static_cast<long>(link::FullWritePlan(ComputeUsage(writer.ws.config), 8128).size());
  EXPECT_EQ(writer.messages.texts(), std::vector<std::string>{std::string(texts::kMsgWriteDone) + "\n" +
                                                              texts::BlocksWrittenLine(blocks, blocks)});
  EXPECT_EQ(writer.messages.shown[0].icon, Icon::Information);
  EXPECT_EQ(writer.progress.shownTexts, std::vector<std::string>{texts::kMsgWriting});

  ActiveUnit reader({}, writer.sim.memory());
  ASSERT_NE(reader.ws.config, writer.ws.config);
  ASSERT_EQ(ReadWorkflow(reader.link, reader.ws, reader.sv), WorkflowResult::Completed);
  EXPECT_EQ(reader.ws.config, writer.ws.config);
  EXPECT_EQ(reader.messages.texts(), std::vector<std::string>{texts::kMsgReadDone});
  EXPECT_EQ(reader.progress.shownTexts, (std::vector<std::string>{texts::kMsgReading, texts::kMsgDecoding}));
  EXPECT_EQ(reader.view.tabs, std::vector<int>{0});
  EXPECT_EQ(reader.view.replaced, 1);
  EXPECT_FALSE(reader.progress.visible);
}

TEST(Workflows, NoiseOnTheLineNeverPassesForTheUnitsConfiguration) {
  // A stray CR on the line is no answer: the attempt goes on waiting for the
  // unit's own, and the read shows exactly what the unit holds.
  ActiveUnit writer;
  writer.ws.config = FixtureWorkspace("pumping-station.eep").config;
  ASSERT_EQ(WriteWorkflow(writer.link, writer.ws, writer.sv), WorkflowResult::Completed);

  for (std::int64_t strayAtMs : {3, 52, 140, 777}) {
    SCOPED_TRACE(strayAtMs);
    ActiveUnit reader({.responseDelayUs = 5000, .charTimeUs = 521}, writer.sim.memory());
    reader.port.Schedule(reader.clock.now + strayAtMs, {link::kCR});
    EXPECT_EQ(ReadWorkflow(reader.link, reader.ws, reader.sv), WorkflowResult::Completed);
    EXPECT_EQ(reader.messages.texts(), std::vector<std::string>{texts::kMsgReadDone});
    EXPECT_TRUE(reader.ws.config == writer.ws.config);
    EXPECT_EQ(reader.link.ledger().counts().retries, 0);
  }
}

TEST(Workflows, ReadOutcomesAndTheirMessages) {
  struct Case {
    const char* name;
    std::function<void(ActiveUnit&)> arrange;
    WorkflowResult result;
    Icon icon;
    std::string message;
    bool transfers;
    TransferCounts counts = {};
  };
  const Case cases[] = {
      {"a block fails", [](ActiveUnit& u) { u.sim.InjectFault(link::SimFault::DropReply, 12, link::kCmdReadBlock); },
       WorkflowResult::Failed, Icon::Error,
       std::string(texts::kMsgReadFailed) + "\nBlok 0x0000: zařízení neodpovědělo (12 pokusů).", true,
       {12, 0, 11, 11}},
      {"a block keeps arriving damaged",
       [](ActiveUnit& u) {
         u.sim.InjectFault(link::SimFault::DropReply, 11, link::kCmdReadBlock);
         u.sim.InjectFault(link::SimFault::CorruptChecksum, 1, link::kCmdReadBlock);
       },
       WorkflowResult::Failed, Icon::Error,
       std::string(texts::kMsgReadFailed) + "\nBlok 0x0000: odpověď má chybný kontrolní součet (12 pokusů).", true,
       {12, 0, 11, 11}},
      {"Storno",
       [](ActiveUnit& u) {
         u.link.SetOnBlock([&u](long done, long) {
           if (done == 3) u.progress.ClickStorno();
         });
       },
       WorkflowResult::Cancelled, Icon::Information, texts::kMsgReadCancelled, true,
       {4, 0, 0, 0}},  // the running block ends it
      {"never programmed", [](ActiveUnit&) {}, WorkflowResult::NotProgrammed, Icon::Warning, texts::kMsgNotProgrammed,
       true, {34, 0, 0, 0}},  // the front area only
      {"memory size unknown", [](ActiveUnit& u) { u.link.SetMemorySize(std::nullopt); }, WorkflowResult::Refused, Icon::Error,
       texts::kMsgReadSizeUnknown, false},
      {"valid header over a damaged text area",
       [](ActiveUnit& u) {
         Workspace other;
         ASSERT_TRUE(EncodeImage(other));
         const long phones = *ReadImageWord(other.image, 40);
         WriteImageByte(other.image, 'Z', phones);  // a phone count that is not hexadecimal
         std::copy_n(other.image.data(), 1024, u.sim.memory().begin());
       },
       WorkflowResult::Failed, Icon::Error,
       // The start-up configuration's phone block lies at 0x019A.
       std::string(texts::kMsgReadDamaged) +
           "\nTC[0]: počet číslic v záznamu čísla není šestnáctkové číslo (adresa 0x019A).",
       true, {1016, 0, 0, 0}},  // no end to stop at
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ActiveUnit unit;
    unit.ws.config.general.JmenoStanice = "na obrazovce";
    const DeviceConfig shown = unit.ws.config;
    unit.ws.image.WriteByte(0x5A, 200);  // a byte no field owns, from before
    const auto imageBefore = std::make_unique<EepromImage>(unit.ws.image);
    c.arrange(unit);
    EXPECT_EQ(ReadWorkflow(unit.link, unit.ws, unit.sv), c.result);
    ASSERT_EQ(unit.messages.shown.size(), 1u);
    EXPECT_EQ(unit.messages.shown[0].icon, c.icon);
    EXPECT_EQ(unit.messages.shown[0].text, c.message);
    EXPECT_EQ(unit.ws.config, shown);
    // None of the unit's bytes stays behind for a later save or write.
    EXPECT_TRUE(unit.ws.image == *imageBefore);
    EXPECT_EQ(unit.view.replaced, 0);
    EXPECT_EQ(AnyTransfer(unit), c.transfers);
    EXPECT_EQ(Counts(unit), c.counts);
    EXPECT_FALSE(unit.progress.visible);
  }
}

TEST(Workflows, WriteOutcomesAndTheirMessages) {
  struct Case {
    const char* name;
    std::uint8_t memoryCode;
    std::function<void(ActiveUnit&)> arrange;
    WorkflowResult result;
    Icon icon;
    std::string message;
    bool transfers;
    std::string reason = {};  // the second line, where the test names it
    TransferCounts counts = {};
  };
  const Case cases[] = {
      {"output name is a prefix of another output's command", 6,
       [](ActiveUnit& u) {
         u.ws.config.outputs[1].OUTNazev = "Svetlo";
         u.ws.config.outputs[4].OUTZap = "svetlo zap";
       },
       WorkflowResult::Refused, Icon::Error,
       "Název výstupu 'O2' není správně zadán. Jména výstupů se nesmějí shodovat a ani být předponou jiného názvu "
       "výstupu. EEPROM nelze naprogramovat dokud toto nebude odstraněno.",
       false},
      {"too big for the unit", 0, [](ActiveUnit&) {}, WorkflowResult::Refused, Icon::Error,
       "Velikost dat v nastavení (430 byte) je větší než je možno vložit do EEPROM (    64 byte).", false},
      {"one byte more than the memory", 2,
       [](ActiveUnit& u) { u.ws.config.general.JmenoStanice = std::string(19, 'x'); }, WorkflowResult::Refused,
       Icon::Error, "Velikost dat v nastavení (449 byte) je větší než je možno vložit do EEPROM (   448 byte).", false},
      {"exactly the memory size", 2, [](ActiveUnit& u) { u.ws.config.general.JmenoStanice = std::string(18, 'x'); },
       WorkflowResult::Completed, Icon::Information, texts::kMsgWriteDone, true, {}, {74, 74, 0, 0}},
      {"memory size unknown", 6, [](ActiveUnit& u) { u.link.SetMemorySize(std::nullopt); }, WorkflowResult::Refused,
       Icon::Error, texts::kMsgWriteSizeUnknown, false},
      {"encoding fails", 6, [](ActiveUnit& u) { u.ws.config.general.DobaPlatnostiSMS = "abc"; },
       WorkflowResult::Refused, Icon::Error, texts::kMsgEncodeFailed, false,
       std::string("DobaPlatnostiSMS: ") + texts::kEncodeSmsDays + "."},
      {"a block fails", 6,
       [](ActiveUnit& u) { u.sim.InjectFault(link::SimFault::DropReply, 10, link::kCmdWriteBlock); },
       WorkflowResult::Failed, Icon::Error, texts::kMsgWriteFailed, true, {}, {0, 10, 9, 9}},
      {"Storno", 6,
       [](ActiveUnit& u) {
         u.link.SetOnBlock([&u](long done, long) {
           if (done == 30) u.progress.ClickStorno();
         });
       },
       WorkflowResult::Cancelled, Icon::Information, texts::kMsgWriteCancelled, true, {}, {30, 31, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ActiveUnit unit({.memoryCode = c.memoryCode});
    c.arrange(unit);
    EXPECT_EQ(WriteWorkflow(unit.link, unit.ws, unit.sv, kNoBackup), c.result);
    ASSERT_EQ(unit.messages.shown.size(), 1u);
    EXPECT_EQ(unit.messages.shown[0].icon, c.icon);
    // The outcome's own message first; a write that stopped after its first
    // block adds that the unit is left without a configuration.
    const std::string& text = unit.messages.shown[0].text;
    EXPECT_EQ(text.substr(0, text.find('\n')), c.message);
    if (!c.reason.empty()) {
      EXPECT_EQ(text, c.message + "\n" + c.reason);
    }
    const bool stopped = c.result == WorkflowResult::Failed || c.result == WorkflowResult::Cancelled;
    EXPECT_EQ(text.find(texts::kMsgUnitLeftInvalid) != std::string::npos, stopped);
    EXPECT_EQ(AnyTransfer(unit), c.transfers);
    EXPECT_EQ(Counts(unit), c.counts);
    EXPECT_FALSE(unit.progress.visible);
    EXPECT_EQ(unit.link.state(), LinkState::Aktivni);
  }
}

TEST(Workflows, OutputCheckShowsTheOutputsTabAndFocusesTheField) {
  ActiveUnit unit;
  unit.ws.config.outputs[0].OUTZap = "zap";
  unit.ws.config.outputs[0].OUTVyp = "ZAP";
  EXPECT_EQ(WriteWorkflow(unit.link, unit.ws, unit.sv), WorkflowResult::Refused);
  EXPECT_EQ(unit.view.tabs, std::vector<int>{3});
  EXPECT_EQ(unit.view.focused, (std::vector<FieldRef>{{Field::OUTZap, 0}}));
  ASSERT_EQ(unit.messages.shown.size(), 1u);
  EXPECT_EQ(unit.messages.shown[0].text.rfind("Název 'Zapnuto' výstupu 'O1' není správně zadán.", 0), 0u);
}

TEST(Workflows, WriteStoppedInTheBodyReadsBackAsNotProgrammed) {
  ActiveUnit unit;
  unit.ws.config = FixtureWorkspace("pumping-station.eep").config;
  ASSERT_EQ(WriteWorkflow(unit.link, unit.ws, unit.sv, kNoBackup), WorkflowResult::Completed);
  unit.link.SetOnBlock([&unit](long done, long) {
    if (done == 26 + 3) unit.progress.ClickStorno();  // in the body phase
  });
  // The same configuration again: only a full write sends its body.
  EXPECT_EQ(WriteWorkflow(unit.link, unit.ws, unit.sv, {.backup = false, .backupDir = {}, .fullWrite = true}),
            WorkflowResult::Cancelled);
  unit.link.SetOnBlock(nullptr);
  unit.messages.shown.clear();
  const DeviceConfig shown = unit.ws.config;
  EXPECT_EQ(ReadWorkflow(unit.link, unit.ws, unit.sv), WorkflowResult::NotProgrammed);
  EXPECT_EQ(unit.messages.texts(), std::vector<std::string>{texts::kMsgNotProgrammed});
  EXPECT_EQ(unit.ws.config, shown);
}

}  // namespace
}  // namespace vexa::test
