// The table of a series: one template configuration, and a CSV file whose
// header names configuration fields and whose rows hold what differs for each
// unit. The columns are the keys of the JSON interchange (config_json.h),
// flattened: "general.JmenoStanice", "phones[0].TC", "inputs[3].INPNazev",
// "analogs[0].sendAtOnceByte", "outputFunctionByte". Rows are counted from 1
// (the header is row 0). An empty cell keeps the template's value.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/device_config.h"

namespace vexa {

// Every column a series table may have, in the order of the JSON keys.
std::vector<std::string> SeriesColumns();

// A CSV file's bytes as UTF-8: a UTF-8 byte-order mark is dropped, and bytes
// that are no UTF-8 are taken as Windows Central European (code page 1250).
std::string CsvTextOf(std::string_view bytes);

struct CsvRows {
  char separator = ',';
  std::vector<std::vector<std::string>> rows;  // rows[0] is the header
};
// Splits CSV text as spreadsheets write it: the separator (";", "," or tab)
// is the one the header line uses most, cells may be quoted ("" is a quote
// inside), a quoted cell may span lines, line ends are LF or CR LF. Lines
// with no cell at all are left out.
CsvRows ParseCsv(std::string_view text);
// One line of cells (quoted where needed), without the line end.
std::string CsvLine(const std::vector<std::string>& cells, char separator);

// One problem of a table: its row (0 the header, -1 the template), its
// column and why.
struct SeriesProblem {
  int row = 0;
  std::string column;
  std::string reason;
  bool operator==(const SeriesProblem&) const = default;
};
// "řádek 4, sloupec general.PIN: reason"
std::string DescribeProblem(const SeriesProblem& problem);

// Sets the named fields of `config` from their texts (a column name and a
// cell each); an empty text keeps the value. Flags take true/false, 1/0 or
// ano/ne; the carried bytes a number 0..255. Each column that is unknown or
// whose text does not fit its field is added to `problems` under `row`; the
// fields that fit are set.
void ApplyCells(DeviceConfig& config, const std::vector<std::string>& columns, const std::vector<std::string>& cells,
                int row, std::vector<SeriesProblem>& problems);

// The columns whose values differ between two configurations.
std::vector<std::string> DifferingColumns(const DeviceConfig& a, const DeviceConfig& b);

// What the rows are checked against: the program settings the rules read and
// the memory a unit of the series offers (a unit of 8128 bytes by default).
struct SeriesCheck {
  ProgramSettings settings;
  long memoryBytes = 8128;
  char decimalSeparator = '.';
};

// Every field rule and cross-field rule, and the memory, over one whole
// configuration; each problem under `row`. The rules' rewrites (a number out
// of range brought into it) are applied to `config` as the window applies
// them when a field is left.
void CheckSeriesConfig(DeviceConfig& config, const SeriesCheck& check, int row, std::vector<SeriesProblem>& problems);

struct SeriesUnit {
  int row = 0;
  std::string station;
  DeviceConfig config;  // template + row, checked
};

struct SeriesTable {
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> cells;  // one per unit, as given
  std::vector<SeriesUnit> units;
  // Every problem of the table; the table is refused as a whole when any.
  std::vector<SeriesProblem> problems;
  bool Refused() const { return !problems.empty(); }
};

// Reads a series table from the bytes of its CSV file over `templ`: every
// row becomes a whole configuration and is checked; an unknown column, a
// duplicate station name, a broken rule, a character the unit cannot store
// and a row that does not fit the memory are each listed with their row and
// column. A template that breaks a rule is listed under row -1.
SeriesTable BuildSeriesTable(const DeviceConfig& templ, std::string_view csvBytes, const SeriesCheck& check);

}  // namespace vexa
