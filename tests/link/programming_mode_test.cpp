#include <gtest/gtest.h>

#include <algorithm>

#include "link/programming_mode.h"
#include "model/reference_tables.h"
#include "workspace/usage.h"
#include "workflows/link_workflows.h"
#include "support/link_rig.h"

namespace vexa::test {
namespace {



// The identification of a VEXA 1.5: product bytes 130, 211, 33 travel as
// "283D12", version minor 5 major 1 as "5010".
const std::vector<std::uint8_t> kIdentification{130, '2', '8', '3', 'D', '1', '2', '5', '0', '1', '0'};

std::uint32_t Product(std::uint8_t high) { return (static_cast<std::uint32_t>(high) << 16) | 0xD382u; }

TEST(Activation, OutcomesFollowIdentification) {
  struct Case {
    const char* name;
    std::uint32_t product;
    std::uint8_t major, minor, memoryCode, modemCode;
    ActivationResult result;
    LinkState state;
    std::vector<std::string> messages;  // after the instruction
    DeviceInfo device;
  };
  const std::string unknown = texts::kMsgUnknownDevice;
  const Case cases[] = {
      {"VEXA 1.5",
       Product(33),
       1,
       5,
       6,
       4,
       ActivationResult::Active,
       LinkState::Aktivni,
       {},
       {"VEXA", "1.5", "  8128 byte", "TC35 Siemens"}},
      {"VEXA 1.0 is accepted",
       Product(33),
       1,
       0,
       9,
       33,
       ActivationResult::Active,
       LinkState::Aktivni,
       {},
       {"VEXA", "1.0", " 65472 byte", "GM25 Ericsson"}},
      {"VEXA 1.10 reads as 1.1",
       Product(33),
       1,
       10,
       0,
       0,
       ActivationResult::Active,
       LinkState::Aktivni,
       {},
       {"VEXA", "1.10", "    64 byte", "M1 Siemens"}},
      {"VEXA 0.9 is too old",
       Product(33),
       0,
       9,
       6,
       4,
       ActivationResult::WrongDevice,
       LinkState::AktivniSpatnaVerze,
       {texts::OldProcessorMessage(kMinProcessorVersion)},
       {"VEXA", "0.9", "  8128 byte", "TC35 Siemens"}},
      {"another product",
       Product(34),
       2,
       0,
       6,
       4,
       ActivationResult::WrongDevice,
       LinkState::AktivniSpatnaVerze,
       {texts::WrongProductMessage(kSupportedProduct)},
       {"KORIN2", "2.0", "  8128 byte", "TC35 Siemens"}},
      {"code 0 matches an empty slot",
       0,
       1,
       5,
       6,
       4,
       ActivationResult::WrongDevice,
       LinkState::AktivniSpatnaVerze,
       {texts::WrongProductMessage(kSupportedProduct)},
       {"", "1.5", "  8128 byte", "TC35 Siemens"}},
      {"unknown product may be programmed",
       0x123456,
       1,
       5,
       6,
       4,
       ActivationResult::Active,
       LinkState::Aktivni,
       {unknown},
       {"?", "1.5", "  8128 byte", "TC35 Siemens"}},
      {"unknown memory and modem codes",
       Product(33),
       1,
       5,
       10,
       5,
       ActivationResult::Active,
       LinkState::Aktivni,
       {},
       {"VEXA", "1.5", "?", "?"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LinkRig rig({.productCode = c.product, .versionMajor = c.major, .versionMinor = c.minor,
                 .memoryCode = c.memoryCode, .modemCode = c.modemCode, .memoryBytes = 1024});
    EXPECT_EQ(ActivateLink(rig.link, rig.ws, rig.sv), c.result);
    EXPECT_EQ(rig.link.state(), c.state);
    EXPECT_EQ(rig.link.device().Product, c.device.Product);
    EXPECT_EQ(rig.link.device().ProcessorVersion, c.device.ProcessorVersion);
    EXPECT_EQ(rig.link.device().MemorySize, c.device.MemorySize);
    // The session's number is the size the window shows.
    const auto shown = MemorySizeOf(c.device.MemorySize);
    EXPECT_EQ(rig.link.memorySize(), shown ? std::optional<long>(*shown) : std::nullopt);
    EXPECT_EQ(rig.link.device().ModemType, c.device.ModemType);
    std::vector<std::string> expected{texts::kMsgInstruction};
    expected.insert(expected.end(), c.messages.begin(), c.messages.end());
    EXPECT_EQ(rig.messages.texts(), expected);
    EXPECT_TRUE(rig.port.IsOpen());
    EXPECT_FALSE(rig.progress.visible);
    EXPECT_EQ(rig.progress.shownTexts, std::vector<std::string>{texts::kMsgConnecting});
    EXPECT_EQ(rig.view.linkChanged, 1);
    if (!c.messages.empty()) {
      EXPECT_EQ(rig.messages.shown[1].icon, c.messages[0] == unknown ? Icon::Information : Icon::Error);
    }
  }
}

TEST(Activation, ReadsIdentificationFromTheWire) {
  LinkRig rig;
  rig.Unplug({{10, {129}}, {20, kIdentification}, {30, {131, '6', '0', '4', '0'}}});
  EXPECT_EQ(ActivateLink(rig.link, rig.ws, rig.sv), ActivationResult::Active);
  EXPECT_EQ(rig.link.device().Product, "VEXA");
  EXPECT_EQ(rig.link.device().ProcessorVersion, "1.5");
  EXPECT_EQ(rig.link.device().MemorySize, "  8128 byte");
  EXPECT_EQ(rig.link.device().ModemType, "TC35 Siemens");
  EXPECT_EQ(rig.port.written, (std::vector<std::uint8_t>{1, 2, 13, 2, 3, 13, 3, 4, 13}));
}

TEST(Activation, PollsUntilTheUnitAnswers) {
  LinkRig rig({.pollsBeforeAnswer = 6});
  EXPECT_EQ(ActivateLink(rig.link, rig.ws, rig.sv), ActivationResult::Active);
  EXPECT_EQ(rig.sim.pollsSeen(), 7);
  EXPECT_GE(rig.clock.now, 6 * link::kPollTimeoutMs);
  EXPECT_LT(rig.clock.now, 7 * link::kPollTimeoutMs);
}

TEST(Activation, TheFirstAnswerIsWaitedForAsLongAsAskedAndTheHintSaysWhatCame) {
  // The polls of a command line wait 5 s for the unit's first answer; the
  // window's polls wait until Storno (here at 7 s). After 5 s both say what
  // the line carried: nothing, or characters that are no answers.
  struct Case {
    const char* name;
    std::int64_t waitMs;
    std::function<void(LinkRig&)> arrange;
    ActivationResult result;
    const char* hint;  // under the failure message (a wait that ended) and the polling text
  };
  auto noise = [](LinkRig& r) {
    r.OpenBare();
    for (std::int64_t t = 300; t < 20'000; t += 700) r.port.Schedule(t, {0x55, 0xF0, 0x81, 0x7E});
  };
  const Case cases[] = {
      {"silent line, 5 s", 5'000, [](LinkRig& r) { r.OpenBare(); }, ActivationResult::Failed, texts::kMsgNoAnswer},
      {"noise, 5 s", 5'000, noise, ActivationResult::Failed, texts::kMsgNoAnswerButNoise},
      {"answers after 3 s of polls", 5'000, [](LinkRig& r) { r.sim = link::UnitSimulator({.pollsBeforeAnswer = 6}); },
       ActivationResult::Active, nullptr},
      {"silent line, until Storno", 0, [](LinkRig& r) { r.OpenBare(); }, ActivationResult::Cancelled,
       texts::kMsgNoAnswer},
      {"noise, until Storno", 0, noise, ActivationResult::Cancelled, texts::kMsgNoAnswerButNoise},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LinkRig rig;
    c.arrange(rig);
    rig.loop.onYield = [&rig] {
      if (rig.clock.now >= 7'000) rig.progress.ClickStorno();
    };
    EXPECT_EQ(ActivateLink(rig.link, rig.ws, rig.sv, {.firstAnswerMs = c.waitMs}), c.result);
    if (c.result == ActivationResult::Active) {
      EXPECT_LT(rig.clock.now, 3'600);
      continue;
    }
    const std::string polling = std::string(texts::kMsgConnecting) + "\n" + c.hint;
    if (c.waitMs > 0) {
      EXPECT_GE(rig.clock.now, c.waitMs);
      EXPECT_LT(rig.clock.now, c.waitMs + link::kPollTimeoutMs + 100);
      ASSERT_EQ(rig.messages.shown.size(), 2u);
      EXPECT_EQ(rig.messages.shown[1].text,
                WithReason(texts::kMsgActivationFailed, Failure::Of(FailureKind::Device, c.hint)));
    } else {
      EXPECT_EQ(rig.progress.shownTexts.back(), polling);
    }
  }
}

TEST(Activation, FailuresEndInTheFailurePath) {
  struct Case {
    const char* name;
    std::function<void(LinkRig&)> arrange;
    ActivationResult result;
    bool released;  // the poll was answered: the unit is released once before the report
    std::string reason;  // beneath the message: the step and what its reply lacked
  };
  auto why = [](const char* step, link::ReplyFault f) {
    return std::string(step) + ": " + link::ReplyFaultCause(f) + ".";
  };
  using link::ReplyFault;
  const Case cases[] = {
      {"Storno while polling",
       [](LinkRig& r) {
         r.sim = link::UnitSimulator(link::UnitOptions{.pollsBeforeAnswer = 1000000});
         r.loop.onYield = [&r] {
           if (r.clock.now >= 1700) r.progress.ClickStorno();
         };
       },
       ActivationResult::Cancelled, false, ""},
      {"identification missing",
       [](LinkRig& r) { r.Unplug({{5, {129}}}); },
       ActivationResult::Failed, true, why(texts::kStepIdentify, ReplyFault::NoReply)},
      {"identification too short",
       [](LinkRig& r) { r.Unplug({{5, {129}}, {10, {130, '2', '8', '3', 'D', '1', '2', '5', '0'}}}); },
       ActivationResult::Failed, true, why(texts::kStepIdentify, ReplyFault::BadData)},
      {"identification not hexadecimal",
       [](LinkRig& r) { r.Unplug({{5, {129}}, {10, {130, '2', '8', '3', 'D', '1', '2', '5', 'x', '1', '0'}}}); },
       ActivationResult::Failed, true, why(texts::kStepIdentify, ReplyFault::BadData)},
      {"memory reply missing",
       [](LinkRig& r) { r.Unplug({{5, {129}}, {10, kIdentification}}); },
       ActivationResult::Failed, true, why(texts::kStepMemoryModem, ReplyFault::NoReply)},
      // 131 answers the memory query, which the link also sends as a marker:
      // taken for a late marker answer and dropped, it leaves no reply.
      {"wrong reply code to identification",
       [](LinkRig& r) { r.Unplug({{5, {129}}, {10, {131, '2', '8', '3', 'D', '1', '2', '5', '0', '1', '0'}}}); },
       ActivationResult::Failed, true, why(texts::kStepIdentify, ReplyFault::NoReply)},
      {"identification reply late: taken, the memory query then missing",
       [](LinkRig& r) { r.Unplug({{5, {129}}, {5 + 150, kIdentification}}); },
       ActivationResult::Failed, true, why(texts::kStepMemoryModem, ReplyFault::NoReply)},
      {"port lost while polling",
       [](LinkRig& r) {
         r.sim = link::UnitSimulator(link::UnitOptions{.pollsBeforeAnswer = 1000000});
         r.port.loseAtMs = 1200;
       },
       ActivationResult::Failed, false, why(texts::kStepPoll, ReplyFault::PortLost)},
      {"port closed under the poll",
       [](LinkRig& r) {
         r.sim = link::UnitSimulator(link::UnitOptions{.pollsBeforeAnswer = 1000000});
         r.loop.onYield = [&r] {
           if (r.clock.now >= 1200 && r.port.IsOpen()) r.port.Close();
           // A poll loop that spins on the closed port ends only by Storno.
           if (r.loop.yields > 100000) r.progress.ClickStorno();
         };
       },
       ActivationResult::Failed, false, why(texts::kStepPoll, ReplyFault::PortLost)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LinkRig rig;
    c.arrange(rig);
    EXPECT_EQ(ActivateLink(rig.link, rig.ws, rig.sv), c.result);
    EXPECT_EQ(rig.link.state(), LinkState::Neaktivni);
    EXPECT_FALSE(rig.port.IsOpen());
    EXPECT_FALSE(rig.progress.visible);
    EXPECT_EQ(rig.link.device().Product, "?");
    EXPECT_EQ(rig.link.device().ProcessorVersion, "?");
    EXPECT_EQ(rig.link.device().MemorySize, "?");
    EXPECT_EQ(rig.link.device().ModemType, "?");
    ASSERT_EQ(rig.messages.shown.size(), 2u);
    EXPECT_EQ(rig.messages.shown[1].icon, Icon::Error);
    EXPECT_EQ(rig.messages.shown[1].text, WithReason(texts::kMsgActivationFailed, c.reason));
    // A step the unit never answers (again) fails once it has been silent
    // for 30 s.
    if (c.released) {
      EXPECT_GE(rig.clock.now, link::kLongestSilenceMs);
    }
    EXPECT_LT(rig.clock.now, link::kLongestSilenceMs + 4'000);
    const std::vector<std::uint8_t> release{6, 170, 85, 6, 13};
    long releases = 0;
    for (auto it = rig.port.written.begin();
         (it = std::search(it, rig.port.written.end(), release.begin(), release.end())) != rig.port.written.end();
         ++it) {
      ++releases;
    }
    EXPECT_EQ(releases, c.released ? 1 : 0);
  }
}

TEST(Activation, PortThatCannotOpenStopsBeforeTheInstruction) {
  LinkRig rig;
  rig.port.openSucceeds = false;
  rig.ws.settings.Port = "COM 4";
  EXPECT_EQ(ActivateLink(rig.link, rig.ws, rig.sv), ActivationResult::PortFailed);
  EXPECT_EQ(rig.messages.texts(), std::vector<std::string>{"Nelze otevřít port COM 4."});
  EXPECT_EQ(rig.link.state(), LinkState::Neaktivni);
  EXPECT_TRUE(rig.port.written.empty());
}

TEST(Activation, FailurePathShowsItsMessageAfterTheWindowIsInactiveAndBeforeThePortCloses) {
  // What the window looked like while each message box was up.
  struct Seen {
    std::string text;
    LinkState state;
    std::string product;
    bool progressVisible;
    bool portOpen;
    std::size_t written;
  };
  struct WatchingMessages : FakeMessages {
    WatchingMessages(LinkRig& r) : rig(r) {}
    Answer Show(Icon icon, const std::string& text, Buttons buttons) override {
      seen.push_back(
          {text, rig.link.state(), rig.link.device().Product, rig.progress.visible, rig.port.IsOpen(), rig.port.written.size()});
      return FakeMessages::Show(icon, text, buttons);
    }
    LinkRig& rig;
    std::vector<Seen> seen;
  };
  // The identification answers (a product is known by then), the memory
  // request does not.
  LinkRig rig;
  rig.Unplug({{5, {129}}, {10, kIdentification}});
  WatchingMessages messages(rig);
  Services sv{messages, rig.progress, rig.loop, nullptr, &rig.view};
  rig.view.linkChanged = 0;

  EXPECT_EQ(ActivateLink(rig.link, rig.ws, sv), ActivationResult::Failed);

  ASSERT_EQ(messages.seen.size(), 2u);
  EXPECT_EQ(messages.seen[0].text, texts::kMsgInstruction);
  EXPECT_TRUE(messages.seen[0].portOpen);  // opened before the instruction
  EXPECT_FALSE(messages.seen[0].progressVisible);
  const Seen& failure = messages.seen[1];
  EXPECT_EQ(failure.text.substr(0, failure.text.find('\n')), texts::kMsgActivationFailed);
  EXPECT_EQ(failure.state, LinkState::Neaktivni);
  EXPECT_EQ(failure.product, "?");
  EXPECT_FALSE(failure.progressVisible);
  EXPECT_TRUE(failure.portOpen);
  // The unit, in programming mode since its poll, was released before the report.
  const std::vector<std::uint8_t> release{6, 170, 85, 6, 13};
  const auto before = rig.port.written.begin() + static_cast<long>(failure.written);
  EXPECT_NE(std::search(rig.port.written.begin(), before, release.begin(), release.end()), before);
  EXPECT_FALSE(rig.port.IsOpen());
  EXPECT_EQ(rig.view.linkChanged, 1);
}

TEST(Activation, ReopensAnOpenPortAndFlushesStaleInput) {
  LinkRig rig;
  ASSERT_TRUE(rig.port.Open("COM 1"));
  rig.port.Schedule(0, {'x', 'y', 13});  // stale characters from an earlier session
  EXPECT_EQ(ActivateLink(rig.link, rig.ws, rig.sv), ActivationResult::Active);
  EXPECT_EQ(rig.port.closes, 1);
  EXPECT_EQ(rig.port.opens, 2);
}

TEST(Deactivation, AcknowledgedOrAcceptedFailureEndsInactive) {
  // Without its acknowledgement the unit is asked to identify itself once: a
  // unit that no longer answers has left the programming mode; only one that
  // still identifies itself leads to the question.
  struct Case {
    const char* name;
    bool releaseAnswerLost;  // the unit leaves the programming mode, its answer is lost
    bool stillIdentifies;    // the unit never saw the release
    Answer answer;
    bool inactive;
    bool staleBlockAnswer = false;  // a late 0x84 arrives instead of the acknowledgement
  };
  const Case cases[] = {
      {"acknowledged", false, false, Answer::Yes, true},
      {"acknowledgement lost, the unit has left", true, false, Answer::Yes, true},
      {"not seen, user goes inactive", false, true, Answer::Yes, true},
      {"not seen, user stays", false, true, Answer::No, false},
      {"stale block answer is no acknowledgement", false, true, Answer::Yes, true, true},
  };
  const std::vector<std::uint8_t> release{6, 170, 85, 6, 13};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ActiveUnit rig;
    rig.port.written.clear();
    if (c.releaseAnswerLost) rig.sim.InjectFault(link::SimFault::DropReply);
    if (c.stillIdentifies) rig.Unplug({{rig.clock.now + 150, kIdentification}});
    if (c.staleBlockAnswer) rig.port.Schedule(rig.clock.now + 5, FakePort::Wire({132, '0', '0', '0', '0'}));
    rig.messages.answers = {c.answer};
    const bool willAcknowledge = !c.stillIdentifies;
    bool acknowledged = !willAcknowledge;
    EXPECT_EQ(DeactivateLink(rig.link, rig.sv, &acknowledged), c.inactive);
    EXPECT_EQ(acknowledged, willAcknowledge);
    // The release alone; the identification only when its answer is missing.
    auto expected = release;
    if (c.releaseAnswerLost || c.stillIdentifies) expected.insert(expected.end(), {2, 3, 13});
    EXPECT_EQ(rig.port.written, expected);
    if (willAcknowledge) {
      EXPECT_TRUE(rig.messages.shown.empty());
      EXPECT_FALSE(rig.sim.inProgrammingMode());
    } else {
      ASSERT_EQ(rig.messages.shown.size(), 1u);
      EXPECT_EQ(rig.messages.shown[0].text,
                WithReason(texts::kMsgDeactivationFailed, std::string(texts::kStepRelease) + ": " +
                                                              link::ReplyFaultCause(link::ReplyFault::NoReply) + "."));
      EXPECT_EQ(rig.messages.shown[0].icon, Icon::Error);
      EXPECT_EQ(rig.messages.shown[0].buttons, Buttons::YesNo);
    }
    EXPECT_EQ(rig.link.state(), c.inactive ? LinkState::Neaktivni : LinkState::Aktivni);
    EXPECT_EQ(rig.port.IsOpen(), !c.inactive);
    EXPECT_EQ(rig.link.device().Product, c.inactive ? "?" : "VEXA");
    EXPECT_EQ(LookOf(rig.link.state()).deaCaption, std::string(c.inactive ? "Aktivovat" : "Deaktivovat"));
  }
}

TEST(Deactivation, IdentificationOwedFromBeforeTheReleaseIsNoSignOfTheUnit) {
  // An identification asked before the release is still owed its answer when
  // the release goes unacknowledged: that answer comes first, ahead of the
  // check's own, and must not count as the unit still being there.
  struct Case {
    const char* name;
    bool owedAsMarker;     // else a late copy of a failed identification
    bool stillThere;       // the unit answers the check too
    std::uint8_t check;    // the question asked after the release
  };
  // Only the identification owed: the check asks what nothing owed asks.
  // With the memory query owed as well, it identifies, and asks again while
  // the answer taken is one owed from before.
  const Case cases[] = {
      {"late copy, the unit has left", false, false, link::kCmdMemoryModem},
      {"late copy, the unit never saw the release", false, true, link::kCmdMemoryModem},
      {"marker, the unit has left", true, false, link::kCmdIdentify},
      {"marker, the unit never saw the release", true, true, link::kCmdIdentify},
  };
  const std::vector<std::uint8_t> kMemoryModem{131, '6', '0', '1', '0'};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LinkRig rig;
    rig.OpenBare();
    if (c.owedAsMarker) {
      // The memory query's second attempt waits for its first behind an
      // identification marker; neither is answered in time.
      EXPECT_FALSE(rig.link
                       .Exchange(rig.loop, link::MakeFrame({link::kCmdMemoryModem}), link::kReplyMemoryModem,
                                 {2, 100, 0, false, false})
                       .ok());
    } else {
      EXPECT_FALSE(rig.link
                       .Exchange(rig.loop, link::MakeFrame({link::kCmdIdentify}), link::kReplyIdentify,
                                 {1, 100, 0, false, true})
                       .ok());
    }
    ASSERT_FALSE(rig.link.ledger().InStepFor(link::kReplyIdentify));
    const auto sentBefore = rig.port.written.size();
    // The release is sent now and waited for 100 ms; the check follows.
    const std::int64_t t = rig.clock.now;
    rig.port.Schedule(t + 110, FakePort::Wire(kIdentification));
    if (c.stillThere) {
      rig.port.Schedule(t + 120,
                        FakePort::Wire(c.check == link::kCmdIdentify ? kIdentification : kMemoryModem));
    }
    link::ReplyFault why = link::ReplyFault::None;
    EXPECT_EQ(link::ReleaseUnit(rig.link, rig.loop, &why), !c.stillThere);
    EXPECT_EQ(why, link::ReplyFault::NoReply);
    // The release, then the check's question alone (asked again while an
    // answer owed from before comes first), never a marker.
    const std::vector<std::uint8_t> sent(rig.port.written.begin() + sentBefore, rig.port.written.end());
    ASSERT_GE(sent.size(), 8u);
    EXPECT_EQ(std::vector<std::uint8_t>(sent.begin(), sent.begin() + 5), (std::vector<std::uint8_t>{6, 170, 85, 6, 13}));
    EXPECT_EQ((sent.size() - 5) % 3, 0u);
    for (std::size_t k = 5; k + 3 <= sent.size(); k += 3) EXPECT_EQ(sent[k], c.check) << k;
  }
}

TEST(Deactivation, ASlowQueueingUnitIsWaitedForAsLongAsItOwes) {
  // A unit that takes 700 ms over each request and answers them in turn
  // still owes an identification when the release goes unseen: the check's
  // answer comes 700 ms after that one, 1.2 s after the check is asked. The
  // check waits for every answer owed, not for one.
  struct Case {
    const char* name;
    bool stillThere;
    bool released;
  };
  const Case cases[] = {
      {"the unit never saw the release", true, false},
      {"the unit has left", false, true},
  };
  const std::vector<std::uint8_t> kMemoryModem{131, '6', '0', '1', '0'};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LinkRig rig;
    rig.OpenBare();
    const auto identify = link::MakeFrame({link::kCmdIdentify});
    for (int i = 0; i < 2; ++i) {
      rig.port.Schedule(rig.clock.now + 700, FakePort::Wire(kIdentification));
      ASSERT_TRUE(rig.link.Exchange(rig.loop, identify, link::kReplyIdentify, {1, 1000, 0, true, true}).ok());
    }
    ASSERT_GE(rig.link.ledger().AnswerTimeMs(), 700);
    ASSERT_LT(rig.link.ledger().AnswerTimeMs(), 750);
    // Asked and given up after 100 ms: its answer comes at 700 ms.
    const std::int64_t t = rig.clock.now;
    rig.port.Schedule(t + 700, FakePort::Wire(kIdentification));
    if (c.stillThere) rig.port.Schedule(t + 1400, FakePort::Wire(kMemoryModem));
    EXPECT_FALSE(rig.link.Exchange(rig.loop, identify, link::kReplyIdentify, {1, 100, 0, false, true}).ok());
    link::ReplyFault why = link::ReplyFault::None;
    EXPECT_EQ(link::ReleaseUnit(rig.link, rig.loop, &why), c.released);
    EXPECT_EQ(why, link::ReplyFault::NoReply);
  }
}

TEST(LeavingTheProgram, ExitQuestionDependsOnStateAndAnswer) {
  struct Case {
    const char* name;
    bool active;
    bool allowCancel;
    Answer answer;
    bool mayEnd;
    bool released;
  };
  const Case cases[] = {
      {"inactive: ends at once", false, true, Answer::Yes, true, false},
      {"Konec, Yes releases", true, true, Answer::Yes, true, true},
      {"Konec, No leaves the unit", true, true, Answer::No, true, false},
      {"Konec, Cancel stays", true, true, Answer::Cancel, false, false},
      {"closing, Yes releases", true, false, Answer::Yes, true, true},
      {"closing, No", true, false, Answer::No, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LinkRig rig;
    if (c.active) {
      ASSERT_EQ(ActivateLink(rig.link, rig.ws, rig.sv), ActivationResult::Active);
    }
    rig.messages.shown.clear();
    rig.messages.answers = {c.answer};
    EXPECT_EQ(ConfirmExit(rig.link, rig.sv, c.allowCancel), c.mayEnd);
    if (c.active) {
      ASSERT_FALSE(rig.messages.shown.empty());
      EXPECT_EQ(rig.messages.shown[0].text, texts::kMsgExitQuestion);
      EXPECT_EQ(rig.messages.shown[0].icon, Icon::Question);
      EXPECT_EQ(rig.messages.shown[0].buttons, c.allowCancel ? Buttons::YesNoCancel : Buttons::YesNo);
    } else {
      EXPECT_TRUE(rig.messages.shown.empty());
    }
    EXPECT_EQ(rig.sim.inProgrammingMode(), c.active && !c.released);
  }
}

TEST(LeavingTheProgram, FailedReleaseStillEndsTheProgram) {
  ActiveUnit rig;
  rig.Unplug({{rig.clock.now + 150, kIdentification}});  // the release never reaches the unit
  rig.messages.answers = {Answer::Yes, Answer::No};  // release, then stay active on the failure question
  EXPECT_TRUE(ConfirmExit(rig.link, rig.sv, true));
  EXPECT_EQ(rig.link.state(), LinkState::Aktivni);
  // Asked again on the next attempt to leave.
  rig.messages.shown.clear();
  rig.messages.answers = {Answer::Cancel};
  EXPECT_FALSE(ConfirmExit(rig.link, rig.sv, true));
  EXPECT_EQ(rig.messages.shown.size(), 1u);
}

TEST(LinkStateIds, UnknownIdentifierChangesNothing) {
  LinkRig rig;
  EXPECT_FALSE(ApplyLinkState(rig.link, rig.sv, std::string_view("Aktivní")));
  EXPECT_EQ(rig.view.linkChanged, 0);
  EXPECT_TRUE(ApplyLinkState(rig.link, rig.sv, std::string_view("Aktivni-spatna verze")));
  EXPECT_EQ(rig.link.state(), LinkState::AktivniSpatnaVerze);
  rig.link.SetDevice({.Product = "VEXA"});
  EXPECT_TRUE(ApplyLinkState(rig.link, rig.sv, std::string_view("Neaktivni")));
  EXPECT_EQ(rig.link.device().Product, "?");
  EXPECT_EQ(rig.view.linkChanged, 2);
}

TEST(LinkStateIds, LeadingNumberReadsUpToTheFirstForeignCharacter) {
  const std::pair<const char*, double> cases[] = {{"1.5", 1.5},    {"1.10", 1.1}, {"0.9", 0.9}, {"1.0", 1.0},
                                                  {"12.3x", 12.3}, {"", 0.0},     {"x1", 0.0},  {"2.", 2.0}};
  for (const auto& [text, value] : cases) EXPECT_DOUBLE_EQ(LeadingNumber(text), value) << text;
}

// Every memory code: the number the transfers use and the text the window
// shows tell the same size.
TEST(MemorySize, TheSessionsNumberIsTheTablesText) {
  const ReferenceTables tables = BuildReferenceTables();
  for (int code = 0; code < 256; ++code) {
    const CodeText* entry = LookUp(tables.memorySizes, static_cast<std::uint32_t>(code));
    const auto text = entry ? MemorySizeOf(entry->text) : std::nullopt;
    EXPECT_EQ(link::UsableBytesOf(static_cast<std::uint8_t>(code)), text ? std::optional<long>(*text) : std::nullopt)
        << code;
  }
}

}  // namespace
}  // namespace vexa::test
