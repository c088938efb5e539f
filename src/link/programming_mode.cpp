#include "link/programming_mode.h"

#include <charconv>

#include "platform/progress.h"

namespace vexa::link {

static_assert(kMarkers[1].command == kCmdIdentify && kMarkers[1].reply == kReplyIdentify &&
                  kMarkers[0].command == kCmdMemoryModem && kMarkers[0].reply == kReplyMemoryModem,
              "the markers are the identification and the memory and modem query");

const char* LinkStateId(LinkState s) {
  switch (s) {
    case LinkState::Neaktivni: return "Neaktivni";
    case LinkState::Aktivni: return "Aktivni";
    case LinkState::AktivniSpatnaVerze: return "Aktivni-spatna verze";
  }
  return "Neaktivni";
}

std::optional<LinkState> LinkStateFromId(std::string_view id) {
  for (auto s : {LinkState::Neaktivni, LinkState::Aktivni, LinkState::AktivniSpatnaVerze}) {
    if (id == LinkStateId(s)) return s;
  }
  return std::nullopt;
}

LinkLook LookOf(LinkState s) {
  switch (s) {
    case LinkState::Neaktivni: return {"Neaktivní", kRed, true, "Aktivovat", false, true};
    case LinkState::Aktivni: return {"Aktivní", kBlue, false, "Deaktivovat", true, false};
    case LinkState::AktivniSpatnaVerze: return {"Chybné zařízení", kBlue, false, "Deaktivovat", std::nullopt, false};
  }
  return LookOf(LinkState::Neaktivni);
}

void ApplyLinkState(Workspace& ws, Services& sv, LinkState s) {
  ws.link = s;
  ws.unitImage.reset();  // another activation: the unit must be read again
  if (s == LinkState::Neaktivni) ws.device = DeviceInfo{};
  if (s == LinkState::AktivniSpatnaVerze) CloseProgress(sv);
  if (sv.view) sv.view->LinkStateChanged();
}

bool ApplyLinkState(Workspace& ws, Services& sv, std::string_view id) {
  const auto s = LinkStateFromId(id);
  if (!s) return false;
  ApplyLinkState(ws, sv, *s);
  return true;
}

double LeadingNumber(std::string_view text) {
  // Digits, then at most one "." and more digits.
  std::size_t end = 0;
  while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
  if (end < text.size() && text[end] == '.') {
    std::size_t frac = end + 1;
    while (frac < text.size() && text[frac] >= '0' && text[frac] <= '9') ++frac;
    if (frac > end + 1 || end > 0) end = frac;
  }
  double v = 0;
  if (end == 0) return 0;
  const auto r = std::from_chars(text.data(), text.data() + end, v);
  return r.ec == std::errc() ? v : 0;
}

namespace {

// The failure path of an activation: the program considers the link inactive
// (the unit may still be in programming mode). `why`, when known, goes
// beneath the message.
ActivationResult FailActivation(Link& link, Workspace& ws, Services& sv, ActivationResult result,
                                const std::optional<Failure>& why = std::nullopt) {
  ApplyLinkState(ws, sv, LinkState::Neaktivni);
  CloseProgress(sv);
  sv.messages.Show(Icon::Error, why ? WithReason(texts::kMsgActivationFailed, *why) : texts::kMsgActivationFailed);
  ClosePort(link);
  return result;
}

// Why a step of the activation failed: the step and what the reply lacked.
Failure StepFailure(const char* step, ReplyFault fault) {
  return Failure::Of(fault == ReplyFault::PortLost ? FailureKind::Port : FailureKind::Device,
                     std::string(step) + ": " + ReplyFaultCause(fault));
}

// A failed identification step: the unit answered its poll, so it is in
// programming mode. Once its late answer (if any) has passed, it is released
// before the failure is reported. `fault` is what the step's reply lacked.
ActivationResult FailIdentification(Link& link, Workspace& ws, Services& sv, const char* step, ReplyFault fault) {
  const Failure why = StepFailure(step, fault);
  DropOwedAnswers(link, sv.loop);
  ReleaseUnit(link, sv.loop);
  return FailActivation(link, ws, sv, ActivationResult::Failed, why);
}

}  // namespace

ActivationResult ActivateLink(Link& link, Workspace& ws, Services& sv) {
  ClosePort(link);
  if (!OpenPort(link, ws.settings.Port, sv)) {
    CloseProgress(sv);
    return ActivationResult::PortFailed;
  }
  ws.device = DeviceInfo{};
  // A new unit (or the same one) is not known to be slow yet.
  link.answerTimeMs = 0;
  link.quickAnswers = 0;
  link.recentSlowestMs = 0;
  link.heldReply.reset();

  sv.messages.Show(Icon::Information, texts::kMsgInstruction);
  FlushInput(link);
  ShowProgress(ws, sv, texts::kMsgConnecting, true);

  // The unit answers once it is in programming mode, after any number of polls.
  SerialFrame reply;
  const std::int64_t pollingSince = link.clock.NowMs();
  bool hinted = false;
  for (;;) {
    const bool answered = Exchange(link, sv.loop, MakeFrame({kCmdPoll}), kPollTimeoutMs, kReplyPoll, reply);
    if (answered || ws.CancelRequested) break;
    if (!hinted && link.clock.NowMs() - pollingSince >= kNoAnswerHintMs) {
      hinted = true;
      sv.progress.SetText(std::string(texts::kMsgConnecting) + "\n" + texts::kMsgNoAnswer);
    }
    // A port that went away (or was closed under the poll) never answers:
    // stop instead of polling a dead line, which would not even wait.
    if (link.port.Lost() || !link.port.IsOpen()) {
      return FailActivation(link, ws, sv, ActivationResult::Failed,
                            StepFailure(texts::kStepPoll, ReplyFault::PortLost));
    }
  }
  if (ws.CancelRequested) return FailActivation(link, ws, sv, ActivationResult::Cancelled);
  // Unanswered polls are owed nothing: the unit was not listening yet.
  link.answersOwed = 0;

  // Identification: product code (3 bytes, least significant first), processor
  // version minor, major. A reply too short for its fields or with a
  // non-hexadecimal pair counts as no reply.
  if (!Exchange(link, sv.loop, MakeFrame({kCmdIdentify}), kIdentifyTimeoutMs, kReplyIdentify, reply)) {
    return FailIdentification(link, ws, sv, texts::kStepIdentify, link.lastFault);
  }
  std::uint8_t id[5];
  for (int k = 1; k <= 5; ++k) {
    const auto b = ReplyPair(reply, k);
    if (!b) return FailIdentification(link, ws, sv, texts::kStepIdentify, ReplyFault::BadData);
    id[k - 1] = *b;
  }
  const std::uint32_t product = id[0] + 256u * id[1] + 65536u * id[2];
  if (const CodeText* entry = LookUp(ws.tables.deviceTypes, product)) ws.device.Product = entry->text;
  ws.device.ProcessorVersion = std::to_string(id[4]) + "." + std::to_string(id[3]);

  bool versionOk = true;
  if (ws.device.Product == "?") {
    sv.messages.Show(Icon::Information, texts::kMsgUnknownDevice);
  } else if (ws.device.Product != kSupportedProduct) {
    versionOk = false;
    sv.messages.Show(Icon::Error, texts::WrongProductMessage(kSupportedProduct));
  } else if (LeadingNumber(kMinProcessorVersion) > LeadingNumber(ws.device.ProcessorVersion)) {
    versionOk = false;
    sv.messages.Show(Icon::Error, texts::OldProcessorMessage(kMinProcessorVersion));
  }

  if (!Exchange(link, sv.loop, MakeFrame({kCmdMemoryModem}), kIdentifyTimeoutMs, kReplyMemoryModem, reply)) {
    return FailIdentification(link, ws, sv, texts::kStepMemoryModem, link.lastFault);
  }
  const auto memoryCode = ReplyPair(reply, 1);
  const auto modemCode = ReplyPair(reply, 2);
  if (!memoryCode || !modemCode) {
    return FailIdentification(link, ws, sv, texts::kStepMemoryModem, ReplyFault::BadData);
  }
  if (const CodeText* entry = LookUp(ws.tables.memorySizes, *memoryCode)) ws.device.MemorySize = entry->text;
  if (const CodeText* entry = LookUp(ws.tables.modems, *modemCode)) ws.device.ModemType = entry->text;

  ApplyLinkState(ws, sv, versionOk ? LinkState::Aktivni : LinkState::AktivniSpatnaVerze);
  CloseProgress(sv);
  return versionOk ? ActivationResult::Active : ActivationResult::WrongDevice;
}

bool ReleaseUnit(Link& link, EventLoop& loop) {
  // After a failed transfer the unit may still owe answers to its last
  // attempts; one of them must not be taken for the acknowledgement.
  if (link.answersOwed > 0) DropOwedAnswers(link, loop);
  FlushInput(link);
  SerialFrame reply;
  const bool acknowledged = Exchange(link, loop, MakeFrame({kCmdLeave, 170, 85}), kLeaveTimeoutMs, kReplyLeave, reply);
  link.answersOwed = 0;  // nothing waits for a late acknowledgement
  return acknowledged;
}

bool DeactivateLink(Link& link, Workspace& ws, Services& sv, bool* acknowledgedOut) {
  const bool acknowledged = ReleaseUnit(link, sv.loop);
  if (acknowledgedOut) *acknowledgedOut = acknowledged;
  if (!acknowledged &&
      sv.messages.Show(Icon::Error, WithReason(texts::kMsgDeactivationFailed, StepFailure(texts::kStepRelease, link.lastFault)),
                       Buttons::YesNo) != Answer::Yes) {
    return false;
  }
  ApplyLinkState(ws, sv, LinkState::Neaktivni);
  ClosePort(link);
  return true;
}

bool ConfirmExit(Link& link, Workspace& ws, Services& sv, bool allowCancel) {
  if (ws.link == LinkState::Neaktivni) return true;
  const Answer a =
      sv.messages.Show(Icon::Question, texts::kMsgExitQuestion, allowCancel ? Buttons::YesNoCancel : Buttons::YesNo);
  if (a == Answer::Cancel && allowCancel) return false;
  if (a == Answer::Yes) DeactivateLink(link, ws, sv);
  return true;
}

}  // namespace vexa::link
