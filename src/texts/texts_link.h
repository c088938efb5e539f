// Why a transfer with the unit or the serial port failed: the causes of a
// failed block and the reasons beneath "Nelze otevřít port ...". Part of the
// catalogue (texts/texts.h).
#pragma once

#include <string>
#include <vector>

namespace vexa::texts {

// The link states as the main window shows them (tabDeAktivNapis), and the
// caption of btDEA that activates or deactivates.
inline constexpr const char* kLinkInactive = "Neaktivní";
inline constexpr const char* kLinkActive = "Aktivní";
inline constexpr const char* kLinkWrongDevice = "Chybné zařízení";
inline constexpr const char* kCaptionActivate = "Aktivovat";
inline constexpr const char* kCaptionDeactivate = "Deaktivovat";

// The steps of entering and leaving the programming mode, before the cause
// of the one that failed: "Identifikace zařízení: zařízení neodpovědělo."
inline constexpr const char* kStepPoll = "Navázání komunikace";
inline constexpr const char* kStepIdentify = "Identifikace zařízení";
inline constexpr const char* kStepMemoryModem = "Zjištění velikosti paměti a typu modemu";
inline constexpr const char* kStepRelease = "Ukončení programovacího módu";

// Before a failed block's address: "Blok 0x0110: ".
inline constexpr const char* kBlock = "Blok";
// A block's cause, after "Blok 0x0110: ".
inline constexpr const char* kReplyNone = "zařízení neodpovědělo";
inline constexpr const char* kReplyLate = "odpověď přišla pozdě";
inline constexpr const char* kReplyTooSlow = "zařízení odpovídá příliš pozdě";
inline constexpr const char* kReplyIncomplete = "odpověď je neúplná";
inline constexpr const char* kReplyOverlong = "odpověď je příliš dlouhá";
inline constexpr const char* kReplyBadChecksum = "odpověď má chybný kontrolní součet";
inline constexpr const char* kReplyPortLost = "spojení se zařízením bylo přerušeno";
inline constexpr const char* kReplyWrongCode = "zařízení odpovědělo na jiný požadavek";
inline constexpr const char* kReplyBadData = "odpověď obsahuje neplatná data";
inline constexpr const char* kReplyMismatch = "přečtená data se neshodují se zapsanými";

// The trace file asked for with --trace.
inline constexpr const char* kCauseTraceWrite = "nelze zapsat záznam komunikace";

// Why a port cannot be opened, each a whole line after the device.
inline std::string PortNotFoundReason(const std::string& device, const std::vector<std::string>& existingPorts) {
  std::string text = device + ": zařízení neexistuje. ";
  if (existingPorts.empty()) return text + "V systému není žádný sériový port.";
  text += "Sériové porty v systému: ";
  for (std::size_t i = 0; i < existingPorts.size(); ++i) text += (i ? ", " : "") + existingPorts[i];
  return text + ".";
}
inline std::string PortBusyReason(const std::string& device) { return device + ": port už používá jiný program."; }
inline std::string PortDeniedReason(const std::string& device, const std::string& group, const std::string& user) {
  return device + ": přístup odepřen. Port smějí otevřít členové skupiny " + group + ": sudo usermod -aG " + group +
         " " + user + ", poté se odhlaste a znovu přihlaste.";
}
// The group a Linux user joins for the serial ports, and who "you" are when
// the system does not say.
inline constexpr const char* kPortUsualGroup = "dialout";
inline constexpr const char* kPortAnyUser = "$USER";
// Windows says only "access denied", for a port another program holds as
// well as for one the user may not open.
inline std::string PortAccessDeniedReason(const std::string& device) {
  return device + ": přístup odepřen. Port nejspíš používá jiný program (terminál, jiné okno VEXA Init); "
                  "zavřete ho a zkuste to znovu.";
}
inline std::string PortFailedReason(const std::string& device) { return device + ": port nelze otevřít."; }
// Between an adapter's device and its description in the port selector:
// "/dev/ttyUSB0 – FT232R USB UART"; the port's name is what comes before.
inline constexpr const char* kPortDescriptionSeparator = " – ";
// An adapter's serial number in the port selector: ", sériové číslo A1234".
inline std::string PortSerialNumber(const std::string& number) { return "sériové číslo " + number; }
// Added to the busy port's line: " Zámek /run/lock/LCK..ttyS0 patří procesu 812 (minicom)."
inline std::string PortLockNote(const std::string& lockFile, long holderPid, const std::string& holderName) {
  if (holderPid <= 0) return " Zámek: " + lockFile + ".";
  return " Zámek " + lockFile + " patří procesu " + std::to_string(holderPid) +
         (holderName.empty() ? "" : " (" + holderName + ")") + ".";
}

// The attempts made at a block, after their number: "1 pokus", "3 pokusy",
// "10 pokusů" (AttemptsText).
inline constexpr const char* kAttemptOne = "pokus";
inline constexpr const char* kAttemptsFew = "pokusy";
inline constexpr const char* kAttemptsMany = "pokusů";

}  // namespace vexa::texts
