// The program's own texts: message boxes, progress texts, status lines and
// the reasons and diagnostics beneath them, each defined once. This header
// holds the messages of the window and the transfers and includes the other
// areas: texts_rules.h (the field rules), texts_data.h (configuration JSON,
// conversion, files), texts_link.h (blocks and ports), texts_cli.h
// (vexa-cli) and texts_report.h (the printed report). The words of the
// windows that are no field's (panels, buttons, the editors, the about box)
// are in texts_window.h; a field's caption, label, tooltip and column head
// are in its row of the field table (model/fields.h), which the tabs,
// the editors and the report all read.
//
// Line endings: a message's second line (the reason, the backup line) is
// joined with "\n", as WithReason does. Only the activation instruction and
// the print progress text keep their CR LF, which the unit's users have always
// seen there; the message box shows both the same way.
#pragma once

#include <cstddef>
#include <string>

namespace vexa::texts {

// Reading the unit (btEEPROMLoad).
inline constexpr const char* kMsgDecoding = "Převádím data ...";
inline constexpr const char* kMsgReading = "Načítám data z EEPROM do PC.";
inline constexpr const char* kMsgReadFailed =
    "Data nebyla úspěšně načtena z EEPROM. Došlo k chybě při načítání bloku dat.";
inline constexpr const char* kMsgReadCancelled = "Načtítání dat z EEPROM do PC bylo stornováno.";
inline constexpr const char* kMsgReadDone = "Data byla úspěšně načtena z EEPROM.";
inline constexpr const char* kMsgNotProgrammed =
    "Data nebyla úspěšně načtena z EEPROM. EEPROM zřejmě není naprogramována.";
// A header that passes its test over a text area that cannot be read.
inline constexpr const char* kMsgReadDamaged = "Data nebyla úspěšně načtena z EEPROM. Data v EEPROM jsou poškozena.";
inline constexpr const char* kMsgReadSizeUnknown =
    "Velikost paměti připojeného zařízení není známa. Data nelze načíst z EEPROM.";

// Writing the unit (btEEPROMSave).
inline constexpr const char* kMsgWriting = "Ukládám data z PC do EEPROM.";
inline constexpr const char* kMsgWriteSizeUnknown =
    "Velikost paměti připojeného zařízení není známa. Data nelze uložit do EEPROM.";
inline constexpr const char* kMsgEncodeFailed =
    "Data nebyla úspěšně uložena do EEPROM. Nastala chyba při převodu dat z formuláře nastavení.";
inline constexpr const char* kMsgWriteFailed =
    "Data nebyla úspěšně uložena do EEPROM. Došlo k chybě při ukládání bloku do EEPROM.";
inline constexpr const char* kMsgWriteCancelled = "Ukládání dat z PC do EEPROM bylo stornováno.";
inline constexpr const char* kMsgWriteDone = "Data byla úspěšně uložena do EEPROM.";
// The success message's button that shows what the write changed.
inline constexpr const char* kCaptionShowChanges = "Zobrazit změny";
// The progress window's text while the unit's configuration is read for the
// backup.
inline constexpr const char* kMsgBackingUp = "Zálohuji nastavení zařízení ...";
// Lines beneath the write's messages: the unit already held what was to be
// written (nothing was sent), and a write that stopped after it had taken the
// header away.
inline constexpr const char* kMsgWriteUnchanged = "Zařízení již obsahovalo toto nastavení.";
// Under a completed write to a unit that held no valid configuration.
inline constexpr const char* kMsgNoBackupNeeded =
    "Zařízení neobsahovalo platné nastavení, záloha proto nebyla potřeba.";
inline constexpr const char* kMsgUnitLeftInvalid =
    "Zařízení nyní neobsahuje platné nastavení. Před použitím je nutné nastavení do zařízení znovu zapsat.";
// Asked (Yes/No) when the unit's configuration could not be read before a
// write, or read but not kept as a file; the reason goes beneath.
inline constexpr const char* kMsgBackupFailed =
    "Zálohu nastavení zařízení se nepodařilo načíst. Pokračovat v zápisu bez zálohy?";
inline constexpr const char* kMsgBackupSaveFailed =
    "Zálohu nastavení zařízení se nepodařilo uložit. Pokračovat v zápisu bez zálohy?";


// Entering and leaving the programming mode.
inline constexpr const char* kMsgInstruction =
    "Uveďte zařízení do vypnutého stavu (CPU LED svítí trvale).\r\n"
    "Pokud zařízení není vypnuto, vypnete jej stiskem tlačítka 'GSM OFF'.\r\n"
    "Poté připojte konfigurační kabel a potvrďte 'OK'.";
inline constexpr const char* kMsgConnecting = "Program se pokouší navázat komunikaci ...";
// Added under kMsgConnecting while the unit does not answer the polls.
inline constexpr const char* kMsgNoAnswer =
    "Zařízení neodpovídá. Zkontrolujte konfigurační kabel, zvolený sériový port a zda je zařízení vypnuto "
    "(CPU LED svítí trvale).";
// Instead of kMsgNoAnswer when characters came that are no answers.
inline constexpr const char* kMsgNoAnswerButNoise =
    "Zařízení neodpovídá, na sériovém portu jsou však přijímány znaky, které nejsou odpověďmi zařízení. Na portu "
    "je zřejmě jiné zařízení nebo zařízení komunikuje jinou rychlostí.";
inline constexpr const char* kMsgUnknownDevice =
    "Připojené zařízení není známo. Je sice povoleno ho naprogramovat, ale za způsobené chyby není ručeno.";
inline constexpr const char* kMsgActivationFailed = "Při pokusu aktivovat spojení nastala chyba.";
inline constexpr const char* kMsgDeactivationFailed =
    "Při deaktivaci spojení došlo k chybě. Zařízení je zřejmě stále v programovacím módu. Mám přesto přejít do "
    "'Neaktivního stavu'?";
inline constexpr const char* kMsgExitQuestion =
    "Zařízení nebylo deaktivováno a je zřejmě stále v programovacím módu. Má se zařízení před ukončením programu "
    "deaktivovat?";
inline std::string WrongProductMessage(const std::string& product) {
  return "Touto verzí programu lze naprogramovat pouze zařízení " + product + ".";
}
inline std::string OldProcessorMessage(const std::string& minVersion) {
  return "Touto verzí programu lze naprogramovat pouze zařízení s procesorem verze " + minVersion + " a vyšší.";
}
// "Nelze otevřít port COM 1." (the reason goes on the line beneath).
inline std::string PortOpenMessage(const std::string& portText) { return "Nelze otevřít port " + portText + "."; }
// The line the success message gains when a backup was kept.
inline std::string BackupLine(const std::string& path) {
  return "Předchozí nastavení zařízení je zálohováno v souboru " + path + ".";
}
// "Počet zapsaných bloků: 3 z celkových 142." (the whole configuration is
// `total` blocks).
inline std::string BlocksWrittenLine(long written, long total) {
  return "Počet zapsaných bloků: " + std::to_string(written) + " z celkových " + std::to_string(total) + ".";
}
// "Velikost dat v nastavení (<usage>) je větší než je možno vložit do EEPROM (<size>)."
inline std::string TooBigMessage(const std::string& usageText, const std::string& memorySizeText) {
  return "Velikost dat v nastavení (" + usageText + ") je větší než je možno vložit do EEPROM (" + memorySizeText +
         ").";
}

// A flag's or a bit's value in a comparison, in the window and in
// vexa-cli diff.
inline constexpr const char* kCompareOn = "ano";
inline constexpr const char* kCompareOff = "ne";

inline constexpr const char* kOverwriteQuestion = "Tento soubor již existuje. Mám ho přepsat?";
// Asked (Ano / Ne / Storno) before edits not kept in a file or the unit
// would be lost.
inline constexpr const char* kMsgUnsavedEdits = "Nastavení bylo změněno. Chcete změny uložit do souboru?";
// Asked (Ano / Ne, Ne by default) before a running write is stopped.
inline constexpr const char* kMsgStopWriteQuestion =
    "Přerušit zápis? Zařízení pak nebude obsahovat platné nastavení.";
// The same while the backup is being read: the unit is still untouched.
inline constexpr const char* kMsgStopBackupQuestion =
    "Přerušit zápis? Do zařízení zatím nebylo nic zapsáno, jeho nastavení zůstane beze změny.";
// The name proposed for a file of a configuration without a station name.
inline constexpr const char* kUnnamedConfig = "VEXA";
inline constexpr const char* kConvertErrorText = "Nastala chyba při převodu dat.";
inline std::string SavingFileText(const std::string& path) {
  return "Ukládám nastavení do souboru '" + path + "'.";
}
inline std::string LoadingFileText(const std::string& path) {
  return "Načítám nastavení ze souboru '" + path + "'.";
}
inline std::string ConfigFileSaveErrorText(const std::string& path) {
  return "Při ukládání nastavení programu do souboru '" + path + "' nastala chyba.";
}
inline std::string ConfigFileLoadErrorText(const std::string& path) {
  return "Při načítání nastavení programu ze souboru '" + path + "' nastala chyba.";
}
inline std::string ConfigFileFormatErrorText(const std::string& path) {
  return "Data v souboru '" + path + "' nejsou v pořádku - neodpovídají formátu EEPROM.";
}
inline std::string ConfigFileLoadedText(const std::string& path) {
  return "Data ze souboru '" + path + "' byla úspěšně načtena.";
}

// Printing.
inline constexpr const char* kMsgPreparingPrint = "Příprava tisku ...";
inline constexpr const char* kMsgPrintFailed = "Tisk se nezdařil.";
// Causes beneath it: "tiskárna HP: tisková fronta úlohu nepřijala".
inline constexpr const char* kPrintJobRefused = "tiskárna tiskovou úlohu nepřijala";
inline std::string PrinterFailureCause(const std::string& printerName, bool cancelled) {
  return (printerName.empty() ? std::string("tiskárna") : "tiskárna " + printerName) +
         (cancelled ? ": tisková úloha byla zrušena" : ": tisková fronta úlohu nepřijala");
}
// "Tisk 2. stránky" CR LF "1. kopie z 2".
inline std::string PrintProgressText(int page, int copyIndex, int copyCount) {
  return "Tisk " + std::to_string(page) + ". stránky\r\n" + std::to_string(copyIndex) + ". kopie z " +
         std::to_string(copyCount);
}

// Texts of Qt's own dialogs (the print dialog's options, the file list)
// that Qt's Czech translation leaves in English: {context, text, Czech}.
struct QtLeftover {
  const char* context;
  const char* source;
  const char* czech;
};
inline constexpr QtLeftover kQtLeftovers[] = {
    {"QPrintSettingsOutput", "Pages", "Stránky"},
    {"QPrintSettingsOutput",
     "Specify pages or ranges separated by commas. Ranges are specified by two numbers separated by a hyphen. E.g: "
     "3,5-7,9 prints pages 3, 5, 6, 7 and 9.",
     "Zadejte stránky nebo rozsahy stránek oddělené čárkami; rozsah tvoří dvě čísla spojená pomlčkou. Například 3,5-7,9 "
     "vytiskne stránky 3, 5, 6, 7 a 9."},
    {"QPrintSettingsOutput", "Double Sided Printing", "Oboustranný tisk"},
    {"QPrintSettingsOutput", "Long side binding", "Vazba na delší straně"},
    {"QPrintSettingsOutput", "Short side binding", "Vazba na kratší straně"},
    {"QPrintSettingsOutput", "Off", "Vypnuto"},
    {"QAbstractFileIconProvider", "Folder", "Složka"},
    {"QAbstractFileIconProvider", "Drive", "Jednotka"},
};

// The backup folder's entry in the file dialog's side bar.
inline constexpr const char* kBackupsSidebarName = "Zálohy zařízení";

// The window's messages and status lines.
inline constexpr const char* kMsgSameSettings = "Nastavení jsou shodná.";
inline constexpr const char* kMsgAnalogLevels = "Hodnoty CL1, HCL1, CL2, HCL2 jsou chybně zadány.";
inline std::string SavedToFileStatus(const std::string& fileName) {
  return "Nastavení bylo uloženo do souboru '" + fileName + "'.";
}
// After a print: where the PDF went, or which printer took the job.
inline std::string PrintedToPdfStatus(const std::string& path) {
  return "Nastavení bylo vytištěno do souboru '" + path + "'.";
}
inline std::string PrintJobSentStatus(const std::string& printerName) {
  return printerName.empty() ? std::string("Tisková úloha byla odeslána na tiskárnu.")
                             : "Tisková úloha byla odeslána na tiskárnu " + printerName + ".";
}
// "Vybraný port otevírá zařízení /dev/ttyS0."
inline std::string PortDeviceNote(const std::string& device) {
  return "Vybraný port otevírá zařízení " + device + ".";
}
// A remembered port that is not there when the program starts.
inline std::string MissingSerialAdapterNote(const std::string& serialNumber, const std::string& chosenPort) {
  return "Zapamatovaný převodník USB se sériovým číslem " + serialNumber + " není připojen, vybrán je port " +
         chosenPort + ".";
}
inline std::string MissingPortNote(const std::string& port, const std::string& chosenPort) {
  return "Zapamatovaný sériový port " + port + " není připojen, vybrán je port " + chosenPort + ".";
}
// The progress window's bar, as a screen reader names it.
inline constexpr const char* kProgressBarName = "Průběh přenosu";
// The progress window's estimate: "Zbývá asi 21 s.", "Zbývá asi 5 min 21 s."
inline std::string TimeLeftText(long long seconds) {
  if (seconds < 60) return "Zbývá asi " + std::to_string(seconds) + " s.";
  return "Zbývá asi " + std::to_string(seconds / 60) + " min " + std::to_string(seconds % 60) + " s.";
}
// The progress bar's text: "5 z 11 bloků"; "5 bloků" while the total is not known.
inline std::string BlocksOfText(long done, long total) {
  return std::to_string(done) + (total > 0 ? " z " + std::to_string(total) : std::string()) + " bloků";
}

}  // namespace vexa::texts

// The texts of the other areas, each in its own header.
#include "texts/texts_cli.h"
#include "texts/texts_data.h"
#include "texts/texts_link.h"
#include "texts/texts_report.h"
#include "texts/texts_rules.h"
#include "texts/texts_series.h"
