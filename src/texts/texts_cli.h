// The command lines' own lines: vexa-cli's diagnostics and what it prints of
// a session with the unit, and vexa-init's one. Usage lines and command help
// are documentation and stay with the commands. Part of the catalogue (texts/texts.h).
#pragma once

#include <string>

namespace vexa::texts {

// The arrow between a value and what it becomes, in check's and diff's lines
// and their help: "DobaPlatnostiSMS: '45' → '30'".
inline constexpr const char* kArrow = "→";

// Diagnostics, printed after "vexa-cli: " or "vexa-cli report: ".
inline constexpr const char* kCliRulesBroken = "konfigurace porušuje pravidla položek, zapsat ji lze s --force";
inline constexpr const char* kCliStdoutFailed = "na standardní výstup nelze zapisovat";
inline constexpr const char* kCliNoSerialPort =
    "--port vyžaduje podporu sériového portu (Qt Serial Port), tento vexa-cli je sestaven bez ní";
inline std::string CliUnknownCommand(const std::string& name) { return "neznámý příkaz '" + name + "'"; }
inline constexpr const char* kCliUnexpected = "neočekávaná chyba";
inline constexpr const char* kCliCopies = "--copies vyžaduje číslo od 1 do 32767";
inline constexpr const char* kCliWait = "--wait vyžaduje počet sekund od 0 do 86400";
inline constexpr const char* kCliNoTempFolder = "nelze vytvořit dočasnou složku";
inline constexpr const char* kCliPdfIncomplete = "vytištěné PDF je neúplné";
inline constexpr const char* kCliReportNeedsWindow =
    "sestavu tiskne okenní program VEXA Init (vexa-init), tento vexa-cli je sestaven bez tisku (Qt)";
// vexa-init's command line: its --help, and its one diagnostic after "vexa-init: ".
inline constexpr const char* kInitDescription = "VEXA Init: nastavení zařízení VEXA";
inline constexpr const char* kInitHelpOption = "Zobrazit tuto nápovědu.";
inline constexpr const char* kInitTraceOption = "zapsat do SOUBORU každý rámec odeslaný do zařízení a přijatý z něj";
inline constexpr const char* kInitTraceValue = "SOUBOR";
inline constexpr const char* kInitFileArgument = "soubor";
inline constexpr const char* kInitFileArgumentHelp = "soubor s nastavením (.eep), který se načte při spuštění";
inline constexpr const char* kInitFileArgumentSyntax = "[SOUBOR.eep]";
inline constexpr const char* kInitOneFileOnly = "nejvýše jeden soubor s nastavením";

// A session with the unit: the answer the console gave to a question, a
// Ctrl-C before the transfer, and the unit's identification.
inline constexpr const char* kCliAnsweredYes = "-> Ano";
inline constexpr const char* kCliAnsweredNo = "-> Ne";
inline constexpr const char* kCliInterruptedBeforeTransfer = "Přerušeno před přenosem dat, zařízení nebylo změněno.";
inline std::string IdentificationLines(const std::string& product, const std::string& version,
                                       const std::string& modem, const std::string& memorySize,
                                       const std::string& link) {
  return "Produkt: " + product + "\nVerze: " + version + "\nTyp modemu: " + modem + "\nVelikost paměti: " + memorySize +
         "\nSpojení: " + link + "\n";
}

}  // namespace vexa::texts
