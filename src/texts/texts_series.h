// The words of series programming: the problems of a series table, the
// questions and lines of `vexa-cli series`, and the series window. Part of the
// catalogue (texts/texts.h).
#pragma once

#include <cstddef>
#include <string>

namespace vexa::texts {

// The problems of a series table, each under its row and column.
inline std::string SeriesProblemLine(int row, const std::string& column, const std::string& reason) {
  std::string where = row < 0 ? std::string("šablona") : row == 0 ? std::string("záhlaví") : "řádek " + std::to_string(row);
  if (!column.empty()) where += ", sloupec " + column;
  return where + ": " + reason;
}
inline constexpr const char* kSeriesUnknownColumn = "neznámý sloupec (vexa-cli series --columns je vypíše)";
inline constexpr const char* kSeriesColumnTwice = "sloupec je v záhlaví dvakrát";
inline constexpr const char* kSeriesFlagExpected = "očekává se true/false, 1/0 nebo ano/ne";
inline constexpr const char* kSeriesByteExpected = "očekává se číslo od 0 do 255";
inline constexpr const char* kSeriesNoHeader = "tabulka nemá záhlaví";
inline constexpr const char* kSeriesNoRows = "tabulka nemá žádný řádek jednotky";
inline std::string SeriesSameStation(int row) {
  return "stejné jméno stanice jako řádek " + std::to_string(row);
}
inline std::string SeriesTooBig(int usage, long memory) {
  return "nastavení zabírá " + std::to_string(usage) + " byte, do paměti jednotky (" + std::to_string(memory) +
         " byte) se nevejde";
}
inline std::string SeriesTooManyCells(std::size_t cells, std::size_t columns) {
  return std::to_string(cells) + " buněk, záhlaví má jen " + std::to_string(columns) + " sloupců";
}
inline constexpr const char* kSeriesRefused = "Tabulka série byla odmítnuta, žádná jednotka nebyla zapsána:";

// What a unit of a series ended with, beside the messages of its read and write.
inline constexpr const char* kSeriesActivationCancelled = "Aktivace byla stornována.";
inline constexpr const char* kSeriesWrongDevice = "Připojené zařízení nelze touto verzí programu naprogramovat.";
inline constexpr const char* kSeriesNoIdentification = "Zařízení se neidentifikovalo.";
inline constexpr const char* kSeriesNothingToChange =
    "Zařízení neobsahuje platné nastavení, změnu není k čemu použít.";
inline constexpr const char* kSeriesChangeBreaksRules = "Změna porušuje pravidla položek:";
inline constexpr const char* kSeriesReleaseNotAcknowledged = "Zařízení nepotvrdilo ukončení programovacího režimu.";
inline constexpr const char* kSeriesLogFailed = "Záznam série nelze zapsat.";
// A change in the comparison's words: "T1 Telefonní číslo: '1' → '2'".
inline std::string SeriesChangeLine(const std::string& caption, const std::string& a, const std::string& b) {
  return caption + ": '" + a + "' → '" + b + "'";
}

// vexa-cli series and write --set.
inline std::string SeriesConnectPrompt(int row, long count, const std::string& station) {
  return "Připojte jednotku " + std::to_string(row) + " z " + std::to_string(count) + " (stanice „" + station +
         "“) a stiskněte Enter, nebo q pro konec.";
}
inline std::string SeriesUnitLine(int row, const std::string& station, bool done, const std::string& reason,
                                  long blocks, long blocksOf) {
  std::string line = "Řádek " + std::to_string(row) + " („" + station + "“): " + (done ? "zapsáno" : "chyba");
  if (blocks >= 0) line += ", zapsáno bloků " + std::to_string(blocks) + " z " + std::to_string(blocksOf);
  return reason.empty() ? line + "." : line + ". " + reason;
}
inline constexpr const char* kSeriesAllDone = "Záznam série ukazuje všechny řádky jako zapsané.";
inline std::string SeriesReportFailed(const std::string& path) { return "Sestavu nelze vytisknout do " + path + "."; }
inline std::string CliUnknownSetKey(const std::string& given) {
  return "--set '" + given + "': očekává se SLOUPEC=HODNOTA se sloupcem z vexa-cli series --columns";
}

// The series window.
inline constexpr const char* kSeriesButton = "Programování série...";
inline constexpr const char* kSeriesButtonTip = "Zapsat nastavení v programu s řádky tabulky do série jednotek";
inline constexpr const char* kSeriesTitle = "Programování série";
inline constexpr const char* kSeriesLoadTable = "Načíst tabulku...";
inline constexpr const char* kSeriesWriteNext = "Zapsat do další jednotky";
inline constexpr const char* kSeriesClose = "Zavřít";
inline constexpr const char* kSeriesTableFilter = "Tabulka série (*.csv *.txt)";
inline constexpr const char* kSeriesTemplateLine =
    "Šablona je nastavení v programu; prázdná buňka tabulky ponechá hodnotu šablony.";
inline constexpr const char* kSeriesNoTable = "Tabulka není načtena.";
inline constexpr const char* kSeriesHeadRow = "Řádek";
inline constexpr const char* kSeriesHeadState = "Stav";
inline constexpr const char* kSeriesStatePending = "čeká";
inline constexpr const char* kSeriesStateDone = "zapsáno";
inline constexpr const char* kSeriesStateFailed = "chyba";
inline std::string SeriesLogLabel(const std::string& path) { return "Záznam: " + path; }
inline std::string SeriesProgressLine(long done, long count) {
  return "Zapsáno " + std::to_string(done) + " z " + std::to_string(count) + " jednotek.";
}
inline std::string SeriesNextUnit(int row, long count, const std::string& station) {
  return "Další: jednotka " + std::to_string(row) + " z " + std::to_string(count) + " (stanice „" + station + "“).";
}
inline constexpr const char* kSeriesEverythingDone = "Všechny jednotky série jsou zapsané.";
inline constexpr const char* kSeriesDeactivateFirst = "Před zápisem série ukončete spojení se zařízením (Deaktivovat).";
inline std::string SeriesTableUnreadable(const std::string& path) { return "Tabulku " + path + " nelze načíst."; }

}  // namespace vexa::texts
