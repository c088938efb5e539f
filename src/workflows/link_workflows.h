// Putting the unit into its programming mode, identifying it, and releasing it
// again; the link state and how the main window shows it; the question asked
// when the program is left while the unit is still in programming mode.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "link/unit_session.h"
#include "platform/services.h"
#include "texts/texts.h"
#include "workspace/usage.h"
#include "workspace/workspace.h"

namespace vexa {

// The oldest processor version this program can program.
inline constexpr const char* kMinProcessorVersion = "1.0";
inline constexpr const char* kSupportedProduct = "VEXA";

// The dialogue's messages are in texts/texts.h. NoAnswerHint is added
// under texts::kMsgConnecting once the unit has not answered the polls for
// kNoAnswerHintMs; the polling goes on.
inline constexpr int kNoAnswerHintMs = 5000;

// The identifier the program passes for a state: "Neaktivni", "Aktivni",
// "Aktivni-spatna verze".
const char* LinkStateId(LinkState s);
std::optional<LinkState> LinkStateFromId(std::string_view id);

// The main window's look of a link state.
struct LinkLook {
  const char* status;        // tabDeAktivNapis: "Neaktivní", "Aktivní", "Chybné zařízení"
  Rgb statusColour;          // red when inactive, blue otherwise
  bool portSelectorEnabled;  // tabPort
  const char* deaCaption;    // btDEA: "Aktivovat" or "Deaktivovat"
  // btEEPROMLoad and btEEPROMSave; nullopt leaves them as they are (they are
  // disabled then, since "Aktivni-spatna verze" is entered only from
  // "Neaktivni").
  std::optional<bool> eepromButtonsEnabled;
  bool identificationReset;  // all four identification labels read "?"
};
LinkLook LookOf(LinkState s);

// Sets the state; "Neaktivni" resets the four identification fields to "?",
// "Aktivni-spatna verze" also closes the progress window. The main window then
// shows the state and recomputes the usage display.
void ApplyLinkState(link::UnitSession& link, Services& sv, LinkState s);
// The same by identifier; any other text changes nothing (false).
bool ApplyLinkState(link::UnitSession& link, Services& sv, std::string_view id);

// Reads a number the way the compatibility decision does: decimal with "."
// as separator, up to the first character that does not belong to it
// ("1.5" -> 1.5, "1.10" -> 1.1); 0 when there is none.
double LeadingNumber(std::string_view text);

enum class ActivationResult {
  Active,       // "Aktivni"
  WrongDevice,  // "Aktivni-spatna verze"
  PortFailed,   // the port could not be opened
  Failed,       // no identification, or the port went away
  Cancelled,    // Storno while polling
};

// Runs from btDEA in state "Neaktivni": opens the port, instructs the user,
// polls until the unit answers, waits out the answers to earlier polls,
// identifies it and decides compatibility. The identification and the memory
// and modem query are retried like a block. When the unit answered its poll
// but either of them failed, the unit is in programming mode: it is released
// once before the failure is reported.
struct ActivationOptions {
  // How long the polls wait for the unit's first answer before the
  // activation fails with NoAnswerHint as its reason; 0 polls until Storno.
  std::int64_t firstAnswerMs = 0;
};
ActivationResult ActivateLink(link::UnitSession& link, Workspace& ws, Services& sv,
                              const ActivationOptions& options = {});

// What the polls heard while the unit did not answer them: nothing
// (texts::kMsgNoAnswer: the cable, the port, the unit switched off) or
// characters that are no answers (texts::kMsgNoAnswerButNoise: another
// device, another speed).
const char* NoAnswerHint(bool charactersHeard);

// Runs from btDEA in the other states and on leaving the program. True when
// the link is now "Neaktivni" (acknowledged, or the user accepted the
// failure); false when the user chose to stay active. `acknowledged`, when
// given, tells whether the unit took the release (link::ReleaseUnit).
bool DeactivateLink(link::UnitSession& link, Services& sv, bool* acknowledged = nullptr);

// The exit guard: true when the program may end. With allowCancel (btKonec)
// the question has Yes, No and Cancel; when the window is being closed, Yes
// and No only. Yes releases the unit first.
bool ConfirmExit(link::UnitSession& link, Services& sv, bool allowCancel);

}  // namespace vexa
