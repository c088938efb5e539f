// The printed report's texts: the page header, the section titles, the
// sentences of the general, SMS and analog sections and the tables' column
// heads. Where the window shows the same thing the report takes the window's
// word: the first two section titles are the tabs' titles, and the station's,
// the PIN's and the rows' names are labelled with the field table's
// captions. Part of the catalogue (texts/texts.h).
#pragma once

#include <string>

namespace vexa::texts {

// The titles of the window's first two tabs, which the report's first two
// sections bear too.
inline constexpr const char* kTabGeneral = "Všeobecné";
inline constexpr const char* kTabSms = "SMS zprávy";

// The page header: "VEXA Init stanice: <station>" on the left, "2. stránka"
// on the right.
inline std::string ReportStationHeader(const std::string& app, const std::string& station) {
  return app + " stanice: " + station;
}
inline std::string ReportPageNumber(const std::string& page) { return page + ". stránka"; }

// The other sections' titles.
inline constexpr const char* kReportInputs = "Logické vstupy";
inline constexpr const char* kReportOutputs = "Logické výstupy";
inline constexpr const char* kReportAnalogs = "Analogové vstupy";
inline constexpr const char* kReportPhones = "Telefonní čísla";

// The general section.
inline constexpr const char* kReportSmsCentre = "Tel. servisního centra";
inline constexpr const char* kReportPowerSaveOff = "Šetřící režim nepovolen.";
inline std::string ReportPowerSaveLine(const std::string& offH, const std::string& offM, const std::string& onH,
                                       const std::string& onM) {
  return "Šetřící režim povolen. Modem je vypnut po dobu " + offH + ":" + offM + " a zapnut po dobu " + onH + ":" +
         onM + ".";
}
inline const char* ReportOutputsWithModemLine(bool switchedOff) {
  return switchedOff ? "Při vypnutém modemu vypínat i výstupy." : "Při vypnutém modemu nevypínat výstupy.";
}

// The SMS section, a sentence a line.
inline std::string ReportSmsValidityLine(const std::string& days) {
  return "Doba platnosti SMS zpráv je " + days + " dnů.";
}
inline std::string ReportBatteryLine(bool switchOff, const std::string& text) {
  return std::string("Při poklesu napětí baterií ") + (switchOff ? "vypínat" : "nevypínat") +
         " zařízení a odesílat text: '" + text + "'";
}
inline std::string ReportPinAuthLine(bool asked) {
  return std::string("V příkazové zprávě ") + (asked ? "požadovat" : "nepožadovat") + " autorizaci zadáním PINu.";
}
inline std::string ReportStatusToT1Line(bool sent) {
  return std::string("Hlášení o stavu ") + (sent ? "posílat" : "neposílat") + " i na telefonní číslo T1.";
}
inline std::string ReportRefusedAccessToT1Line(bool sent) {
  return std::string("Hlášení o nepovoleném přístupu ") + (sent ? "posílat" : "neposílat") +
         " i na telefonní číslo T1.";
}
// `what`: kReportSwitchedUnit or kReportMains.
inline constexpr const char* kReportSwitchedUnit = "zařízení";
inline constexpr const char* kReportMains = "síťového napájení";
inline std::string ReportOnOffLine(bool sent, const char* what, const std::string& on, const std::string& off) {
  return std::string(sent ? "Posílat" : "Neposílat") + " hlášení o zap./vyp. " + what + ". Text zap.: '" + on +
         "' Text vyp.: '" + off + "'";
}

// The tables' column heads ("Název" is the field table's caption).
inline constexpr const char* kReportHeadState0 = "Stav 0";
inline constexpr const char* kReportHeadState1 = "Stav 1";
inline constexpr const char* kReportHeadRise = "0->1";
inline constexpr const char* kReportHeadFall = "1->0";
inline constexpr const char* kReportHeadNegation = "Negace";
inline constexpr const char* kReportHeadInReport = "Uvádět ve zprávě";
// The pulse column is headed as the output editor's panel, kPulse (texts.h).
inline constexpr const char* kReportHeadPhone = "Telefonní číslo";
inline constexpr const char* kReportHeadCommands = "Příjem příkazů";
inline constexpr const char* kReportHeadMessages = "Odesílání zpráv";

// The analog section: "Název A1: 'Hladina'", what the status message
// holds, the state names and the four crossings.
inline std::string ReportAnalogName(const std::string& label, const std::string& name) {
  return "Název " + label + ": '" + name + "'";
}
inline std::string ReportAnalogStatusCell(bool value, bool stateName) {
  std::string w = value ? "hodnotu" : "";
  if (stateName) w = w.empty() ? "jméno stavu" : w + ", jméno stavu";
  return w.empty() ? "Ve zprávě o stavu tento vstup neuvádět." : "Ve zprávě o stavu uvádět: " + w;
}
// `state`: "HIGH", "MEDIUM" or "LOW".
inline std::string ReportStateNameLine(const char* state, const std::string& name) {
  return std::string("Název stavu ") + state + ": '" + name + "'";
}
// "Při přechodu nahoru přes CL1 posílat okamžitě  hlášení: 'text'" (the two
// blanks are the unit's users' own), or the line saying nothing is sent.
inline std::string ReportCrossingLine(bool up, int level, bool reported, bool atOnce, const std::string& message) {
  const std::string opening =
      std::string("Při přechodu ") + (up ? "nahoru" : "dolu") + " přes CL" + std::to_string(level);
  if (!reported) return opening + " neposílat žádné hlášení.";
  return opening + " posílat " + (atOnce ? "okamžitě " : "") + " hlášení: '" + message + "'";
}

// The analog graph's labels, in the analog editor and in the report: the
// bands, the scale's ends of a negated input, the two levels.
inline constexpr const char* kGraphLow = "low";
inline constexpr const char* kGraphMedium = "medium";
inline constexpr const char* kGraphHigh = "high";
// "100% (0% vstup)": the end of the scale with the input's own value.
inline std::string GraphNegatedEnd(const std::string& value, const std::string& input) {
  return value + " (" + input + " vstup)";
}
// "CL1 (20 ± 2)%".
inline std::string GraphLevelLabel(int level, const std::string& value, const std::string& hysteresis,
                                   const std::string& unit) {
  return "CL" + std::to_string(level) + " (" + value + " ± " + hysteresis + ")" + unit;
}

}  // namespace vexa::texts
