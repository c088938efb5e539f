#include "workflows/link_workflows.h"

#include <charconv>
#include <string>

#include "link/programming_mode.h"
#include "platform/progress.h"
#include "workspace/usage.h"

namespace vexa {

using link::ReplyFault;

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
    case LinkState::Neaktivni: return {texts::kLinkInactive, kRed, true, texts::kCaptionActivate, false, true};
    case LinkState::Aktivni: return {texts::kLinkActive, kBlue, false, texts::kCaptionDeactivate, true, false};
    case LinkState::AktivniSpatnaVerze:
      return {texts::kLinkWrongDevice, kBlue, false, texts::kCaptionDeactivate, std::nullopt, false};
  }
  return LookOf(LinkState::Neaktivni);
}

void ApplyLinkState(link::UnitSession& link, Services& sv, LinkState s) {
  link.SetState(s);
  if (s == LinkState::Neaktivni) link.SetDevice(DeviceInfo{});
  if (s == LinkState::AktivniSpatnaVerze) CloseProgress(sv);
  if (sv.view) sv.view->LinkStateChanged(link.state(), link.device());
}

bool ApplyLinkState(link::UnitSession& link, Services& sv, std::string_view id) {
  const auto s = LinkStateFromId(id);
  if (!s) return false;
  ApplyLinkState(link, sv, *s);
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
ActivationResult FailActivation(link::UnitSession& link, Services& sv, ActivationResult result,
                                const std::optional<Failure>& why = std::nullopt) {
  ApplyLinkState(link, sv, LinkState::Neaktivni);
  CloseProgress(sv);
  sv.messages.Show(Icon::Error, why ? WithReason(texts::kMsgActivationFailed, *why) : texts::kMsgActivationFailed);
  link.Close();
  return result;
}

// Why a step of the activation failed: the step and what the reply lacked.
Failure StepFailure(const char* step, ReplyFault fault) {
  return Failure::Of(fault == ReplyFault::PortLost ? FailureKind::Port : FailureKind::Device,
                     std::string(step) + ": " + link::ReplyFaultCause(fault));
}

// A failed identification step: the unit answered its poll, so it is in
// programming mode. It is released before the failure is reported.
ActivationResult FailIdentification(link::UnitSession& link, Services& sv, const char* step,
                                    ReplyFault fault) {
  const Failure why = StepFailure(step, fault);
  link::ReleaseUnit(link, sv.loop);
  return FailActivation(link, sv, ActivationResult::Failed, why);
}

// The polls, until the unit answers. nullopt once it has; otherwise how the
// activation ends (Storno, a port that went away, no answer in time).
std::optional<ActivationResult> PollUntilAnswer(link::UnitSession& link, Workspace& ws, Services& sv,
                                                const ActivationOptions& options) {
  const std::int64_t pollingSince = link.clock().NowMs();
  const long charsBefore = link.ledger().CharsHeard();
  bool hinted = false;
  for (;;) {
    const auto poll = link::Poll(link, sv.loop);
    if (poll.ok()) return std::nullopt;
    if (ws.CancelRequested) return FailActivation(link, sv, ActivationResult::Cancelled);
    // A port that went away (or was closed under the poll) never answers:
    // stop instead of polling a dead line, which would not even wait.
    if (poll.fault == ReplyFault::PortLost) {
      return FailActivation(link, sv, ActivationResult::Failed,
                            StepFailure(texts::kStepPoll, ReplyFault::PortLost));
    }
    const std::int64_t waited = link.clock().NowMs() - pollingSince;
    const char* hint = NoAnswerHint(link.ledger().CharsHeard() > charsBefore);
    if (options.firstAnswerMs > 0 && waited >= options.firstAnswerMs) {
      return FailActivation(link, sv, ActivationResult::Failed, Failure::Of(FailureKind::Device, hint));
    }
    if (!hinted && waited >= kNoAnswerHintMs) {
      hinted = true;
      sv.progress.SetText(std::string(texts::kMsgConnecting) + "\n" + hint);
    }
  }
}

// The identification and the compatibility decision; nullopt when it went
// on, `compatible` then says whether the unit may be programmed.
std::optional<ActivationResult> IdentifyUnit(link::UnitSession& link, Workspace& ws, Services& sv, bool& compatible) {
  link::Identity id;
  if (const auto r = link::Identify(link, sv.loop, id); !r.ok()) {
    return FailIdentification(link, sv, texts::kStepIdentify, r.fault);
  }
  DeviceInfo device = link.device();
  if (const CodeText* entry = LookUp(ws.tables.deviceTypes, id.product)) device.Product = entry->text;
  device.ProcessorVersion = std::to_string(id.major) + "." + std::to_string(id.minor);
  link.SetDevice(device);
  compatible = true;
  if (device.Product == "?") {
    sv.messages.Show(Icon::Information, texts::kMsgUnknownDevice);
  } else if (device.Product != kSupportedProduct) {
    compatible = false;
    sv.messages.Show(Icon::Error, texts::WrongProductMessage(kSupportedProduct));
  } else if (LeadingNumber(kMinProcessorVersion) > LeadingNumber(device.ProcessorVersion)) {
    compatible = false;
    sv.messages.Show(Icon::Error, texts::OldProcessorMessage(kMinProcessorVersion));
  }
  return std::nullopt;
}

// The memory and modem query; nullopt when it was answered.
std::optional<ActivationResult> QueryMemory(link::UnitSession& link, Workspace& ws, Services& sv) {
  link::MemoryModem mm;
  if (const auto r = link::QueryMemoryModem(link, sv.loop, mm); !r.ok()) {
    return FailIdentification(link, sv, texts::kStepMemoryModem, r.fault);
  }
  DeviceInfo device = link.device();
  if (const CodeText* entry = LookUp(ws.tables.memorySizes, mm.memoryCode)) device.MemorySize = entry->text;
  if (const CodeText* entry = LookUp(ws.tables.modems, mm.modemCode)) device.ModemType = entry->text;
  link.SetDevice(device);
  return std::nullopt;
}

}  // namespace

const char* NoAnswerHint(bool charactersHeard) {
  return charactersHeard ? texts::kMsgNoAnswerButNoise : texts::kMsgNoAnswer;
}

ActivationResult ActivateLink(link::UnitSession& link, Workspace& ws, Services& sv, const ActivationOptions& options) {
  link.Close();
  if (const auto refused = link.Open(ws.settings.Port)) {
    sv.messages.Show(Icon::Error, refused->cause);
    CloseProgress(sv);
    return ActivationResult::PortFailed;
  }
  link.SetDevice(DeviceInfo{});
  // A new unit (or the same one) owes nothing and is not known to be slow.
  link.Forget();
  // Storno ends the wait for a unit that fell silent.
  const link::CancelWatch watch(link, ws.CancelRequested);

  sv.messages.Show(Icon::Information, texts::kMsgInstruction);
  link.FlushInput();
  ShowProgress(ws, sv, texts::kMsgConnecting, true);

  // The unit answers once it is in programming mode, after any number of polls.
  if (const auto ended = PollUntilAnswer(link, ws, sv, options)) return *ended;
  // Earlier polls the unit may still answer: a marker round waits them out.
  link.Settle(sv.loop, link::kPollSettleMs);

  bool compatible = true;
  if (const auto ended = IdentifyUnit(link, ws, sv, compatible)) return *ended;
  if (const auto ended = QueryMemory(link, ws, sv)) return *ended;
  ApplyLinkState(link, sv, compatible ? LinkState::Aktivni : LinkState::AktivniSpatnaVerze);
  CloseProgress(sv);
  return compatible ? ActivationResult::Active : ActivationResult::WrongDevice;
}

bool DeactivateLink(link::UnitSession& link, Services& sv, bool* acknowledgedOut) {
  ReplyFault why = ReplyFault::None;
  const bool acknowledged = link::ReleaseUnit(link, sv.loop, &why);
  if (acknowledgedOut) *acknowledgedOut = acknowledged;
  if (!acknowledged &&
      sv.messages.Show(Icon::Error, WithReason(texts::kMsgDeactivationFailed, StepFailure(texts::kStepRelease, why)),
                       Buttons::YesNo) != Answer::Yes) {
    return false;
  }
  ApplyLinkState(link, sv, LinkState::Neaktivni);
  link.Close();
  return true;
}

bool ConfirmExit(link::UnitSession& link, Services& sv, bool allowCancel) {
  if (link.state() == LinkState::Neaktivni) return true;
  const Answer a =
      sv.messages.Show(Icon::Question, texts::kMsgExitQuestion, allowCancel ? Buttons::YesNoCancel : Buttons::YesNo);
  if (a == Answer::Cancel && allowCancel) return false;
  if (a == Answer::Yes) DeactivateLink(link, sv);
  return true;
}

}  // namespace vexa
