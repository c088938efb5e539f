#include "file/series_table.h"

#include <vector>
#include <string>
#include <optional>
#include <algorithm>
#include <map>

#include <nlohmann/json.hpp>

#include "codec/cp1250.h"
#include "codec/text.h"
#include "file/config_json.h"
#include "texts/texts.h"
#include "rules/config_check.h"
#include "model/fields.h"
#include "workspace/usage.h"

namespace vexa {
namespace {

using nlohmann::json;
using nlohmann::ordered_json;

enum class CellKind { Text, Flag, Byte };

struct Column {
  json::json_pointer where;
  CellKind kind;
};

// "general.PIN" for an object's key, "phones[0]" for an array's element.
void Flatten(const ordered_json& value, const std::string& name, const std::string& pointer,
             std::vector<std::pair<std::string, Column>>& out) {
  if (value.is_object()) {
    for (auto it = value.begin(); it != value.end(); ++it) {
      Flatten(it.value(), name.empty() ? it.key() : name + "." + it.key(), pointer + "/" + it.key(), out);
    }
  } else if (value.is_array()) {
    for (std::size_t i = 0; i < value.size(); ++i) {
      Flatten(value[i], name + "[" + std::to_string(i) + "]", pointer + "/" + std::to_string(i), out);
    }
  } else {
    const CellKind kind = value.is_boolean() ? CellKind::Flag : value.is_string() ? CellKind::Text : CellKind::Byte;
    out.push_back({name, {json::json_pointer(pointer), kind}});
  }
}

const std::vector<std::pair<std::string, Column>>& AllColumns() {
  static const auto columns = [] {
    std::vector<std::pair<std::string, Column>> out;
    Flatten(ConfigToJson(DeviceConfig{}), "", "", out);
    return out;
  }();
  return columns;
}

const Column* ColumnByName(const std::string& name) {
  const auto& all = AllColumns();
  const auto it = std::find_if(all.begin(), all.end(), [&](const auto& c) { return c.first == name; });
  return it == all.end() ? nullptr : &it->second;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
  return text;
}

// The JSON value a cell stands for; nullopt, with `why`, when it fits no value of its kind.
std::optional<json> CellValue(const std::string& cell, CellKind kind, std::string& why) {
  if (kind == CellKind::Text) return json(cell);
  if (kind == CellKind::Flag) {
    // A spreadsheet's flag: the JSON words, 1/0, or the comparison's Czech words.
    const std::string word = Lower(cell);
    if (word == "true" || word == "1" || word == texts::kCompareOn) return json(true);
    if (word == "false" || word == "0" || word == texts::kCompareOff) return json(false);
    why = texts::kSeriesFlagExpected;
    return std::nullopt;
  }
  int number = -1;
  if (!cell.empty() && cell.size() <= 3 && std::all_of(cell.begin(), cell.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    number = std::stoi(cell);
  }
  if (number < 0 || number > 255) {
    why = texts::kSeriesByteExpected;
    return std::nullopt;
  }
  return json(number);
}

// The column of a field of a row, as SeriesColumns names it.
std::string ColumnOf(FieldRef ref) {
  const FieldInfo& info = InfoOf(ref.field);
  if (info.fixedRow >= 0) return "analogs[" + std::to_string(info.fixedRow) + "].AINCL1Dn";
  switch (info.family) {
    case Family::Phone: return "phones[" + std::to_string(ref.row) + "]." + info.name;
    case Family::Input: return "inputs[" + std::to_string(ref.row) + "]." + info.name;
    case Family::Output: return "outputs[" + std::to_string(ref.row) + "]." + info.name;
    case Family::Analog: return "analogs[" + std::to_string(ref.row) + "]." + info.name;
    case Family::General: return std::string("general.") + info.name;
    case Family::Program: break;
  }
  return info.name;
}

}  // namespace

std::vector<std::string> SeriesColumns() {
  std::vector<std::string> names;
  for (const auto& c : AllColumns()) names.push_back(c.first);
  return names;
}

std::vector<std::string> DifferingColumns(const DeviceConfig& a, const DeviceConfig& b) {
  const ordered_json ja = ConfigToJson(a);
  const ordered_json jb = ConfigToJson(b);
  std::vector<std::string> names;
  for (const auto& [name, column] : AllColumns()) {
    if (ja[column.where] != jb[column.where]) names.push_back(name);
  }
  return names;
}

std::string DescribeProblem(const SeriesProblem& problem) {
  return texts::SeriesProblemLine(problem.row, problem.column, problem.reason);
}

void ApplyCells(DeviceConfig& config, const std::vector<std::string>& columns, const std::vector<std::string>& cells,
                int row, std::vector<SeriesProblem>& problems) {
  ordered_json whole = ConfigToJson(config);
  for (std::size_t i = 0; i < columns.size() && i < cells.size(); ++i) {
    if (cells[i].empty()) continue;
    const Column* column = ColumnByName(columns[i]);
    if (column == nullptr) continue;  // the header's problem, named once
    std::string why;
    if (const auto value = CellValue(cells[i], column->kind, why)) {
      whole[column->where] = *value;
    } else {
      problems.push_back({row, columns[i], why});
    }
  }
  std::string error;
  if (!ConfigFromJson(whole, config, error)) problems.push_back({row, std::string(), error});
}

void CheckSeriesConfig(DeviceConfig& config, const SeriesCheck& check, int row,
                       std::vector<SeriesProblem>& problems) {
  const rules::Review review = rules::ReviewConfiguration(config, check.settings, check.decimalSeparator);
  for (const rules::Offence& o : review.offences) {
    SeriesProblem p{row, ColumnOf(o.field), o.message};
    if (std::find(problems.begin(), problems.end(), p) == problems.end()) problems.push_back(std::move(p));
  }
  const int usage = ComputeUsage(config);
  if (usage > check.memoryBytes) {
    problems.push_back({row, std::string(), texts::SeriesTooBig(usage, check.memoryBytes)});
  }
}

namespace {

// Problems of the header: a column no field has, a column given twice.
void CheckHeader(const std::vector<std::string>& header, std::vector<SeriesProblem>& problems) {
  for (std::size_t i = 0; i < header.size(); ++i) {
    if (ColumnByName(header[i]) == nullptr) {
      problems.push_back({0, header[i], texts::kSeriesUnknownColumn});
    } else if (std::find(header.begin(), header.begin() + static_cast<long>(i), header[i]) !=
               header.begin() + static_cast<long>(i)) {
      problems.push_back({0, header[i], texts::kSeriesColumnTwice});
    }
  }
}

// A station name that an earlier row's configuration has too.
void CheckStations(const std::vector<SeriesUnit>& units, std::vector<SeriesProblem>& problems) {
  std::map<std::string, int> first;
  for (const SeriesUnit& u : units) {
    const auto [it, fresh] = first.emplace(Lower(u.station), u.row);
    if (!fresh) problems.push_back({u.row, "general.JmenoStanice", texts::SeriesSameStation(it->second)});
  }
}

}  // namespace

SeriesTable BuildSeriesTable(const DeviceConfig& templ, std::string_view csvBytes, const SeriesCheck& check) {
  SeriesTable table;
  CsvRows csv = ParseCsv(CsvTextOf(csvBytes));
  if (csv.rows.empty()) {
    table.problems.push_back({0, std::string(), texts::kSeriesNoHeader});
    return table;
  }
  table.columns = csv.rows.front();
  for (std::string& name : table.columns) {
    name.erase(0, name.find_first_not_of(' '));
    name.erase(name.find_last_not_of(' ') + 1);
  }
  CheckHeader(table.columns, table.problems);
  DeviceConfig base = templ;
  std::vector<SeriesProblem> ofTemplate;
  CheckSeriesConfig(base, check, -1, ofTemplate);
  table.problems.insert(table.problems.end(), ofTemplate.begin(), ofTemplate.end());
  if (csv.rows.size() < 2) table.problems.push_back({1, std::string(), texts::kSeriesNoRows});
  for (std::size_t r = 1; r < csv.rows.size(); ++r) {
    const int row = static_cast<int>(r);
    std::vector<std::string>& cells = csv.rows[r];
    if (cells.size() > table.columns.size()) {
      table.problems.push_back({row, std::string(), texts::SeriesTooManyCells(cells.size(), table.columns.size())});
    }
    SeriesUnit unit{row, std::string(), base};
    std::vector<SeriesProblem> found;
    ApplyCells(unit.config, table.columns, cells, row, found);
    CheckSeriesConfig(unit.config, check, row, found);
    // What the template breaks is named once, as the template's.
    for (SeriesProblem& p : found) {
      const bool inherited = std::any_of(ofTemplate.begin(), ofTemplate.end(), [&](const SeriesProblem& t) {
        return t.column == p.column && t.reason == p.reason;
      });
      if (!inherited) table.problems.push_back(std::move(p));
    }
    unit.station = unit.config.general.JmenoStanice;
    table.units.push_back(std::move(unit));
    table.cells.push_back(std::move(cells));
  }
  CheckStations(table.units, table.problems);
  std::stable_sort(table.problems.begin(), table.problems.end(),
                   [](const SeriesProblem& a, const SeriesProblem& b) { return a.row < b.row; });
  return table;
}

}  // namespace vexa
