#include "file/series_log.h"

#include <string>
#include <cstdlib>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "file/disk_file.h"
#include "file/series_table.h"

namespace vexa {
namespace {

constexpr char kSeparator = ';';
constexpr std::size_t kColumns = 13;
// A log of thousands of units is well under this.
constexpr std::size_t kMaxLog = 16u << 20;

std::string Seconds(double s) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", s);
  return text;
}

bool ParseLong(const std::string& text, long& out) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  out = std::stol(text);
  return true;
}

bool Exists(const std::string& utf8) {
  const std::filesystem::path p(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
  std::error_code ec;
  return std::filesystem::exists(std::filesystem::symlink_status(p, ec));
}

// The entry of one line's cells; false for a line that is none.
bool EntryOf(const std::vector<std::string>& c, SeriesLogEntry& e) {
  long row = 0;
  if (c.size() != kColumns || !ParseLong(c[1], row)) return false;
  e = SeriesLogEntry{};
  e.time = c[0];
  e.row = static_cast<int>(row);
  e.station = c[2];
  e.product = c[3];
  e.version = c[4];
  e.memory = c[5];
  e.modem = c[6];
  e.outcome = c[7];
  e.reason = c[8];
  const auto slash = c[9].find('/');
  if (slash != std::string::npos) {
    ParseLong(c[9].substr(0, slash), e.blocks);
    ParseLong(c[9].substr(slash + 1), e.blocksOf);
  }
  e.backup = c[10];
  e.seconds = std::atof(c[11].c_str());
  e.changes = c[12];
  return true;
}

}  // namespace

std::string SeriesLogHeader() {
  return CsvLine({"time", "row", "station", "product", "version", "memory", "modem", "outcome", "reason", "blocks",
                  "backup", "seconds", "changes"},
                 kSeparator);
}

std::string SeriesLogLine(const SeriesLogEntry& e) {
  const std::string blocks = e.blocks < 0 ? std::string() : std::to_string(e.blocks) + "/" + std::to_string(e.blocksOf);
  return CsvLine({e.time, std::to_string(e.row), e.station, e.product, e.version, e.memory, e.modem, e.outcome,
                  e.reason, blocks, e.backup, Seconds(e.seconds), e.changes},
                 kSeparator);
}

std::vector<SeriesLogEntry> ParseSeriesLog(std::string_view text) {
  std::vector<SeriesLogEntry> entries;
  const CsvRows csv = ParseCsv(text);
  for (const auto& cells : csv.rows) {
    SeriesLogEntry e;
    if (EntryOf(cells, e)) entries.push_back(std::move(e));
  }
  return entries;
}

std::set<int> DoneRows(const std::vector<SeriesLogEntry>& entries) {
  std::set<int> done;
  for (const SeriesLogEntry& e : entries) {
    if (e.outcome == kSeriesDone) {
      done.insert(e.row);
    } else {
      done.erase(e.row);
    }
  }
  return done;
}

bool ReadSeriesLog(const std::string& path, std::vector<SeriesLogEntry>& entries, Failure& why) {
  entries.clear();
  if (!Exists(path)) return true;
  std::vector<std::uint8_t> bytes;
  if (!ReadRegularFile(path, kMaxLog, bytes, why)) return false;
  entries = ParseSeriesLog(CsvTextOf({reinterpret_cast<const char*>(bytes.data()), bytes.size()}));
  return true;
}

// The whole log is written again through a new file: a plug pulled while it
// is written leaves the log as it was before this unit.
bool AppendSeriesLog(const std::string& path, const SeriesLogEntry& entry, Failure& why) {
  std::vector<std::uint8_t> bytes;
  if (Exists(path) && !ReadRegularFile(path, kMaxLog, bytes, why)) return false;
  std::string text(bytes.begin(), bytes.end());
  if (text.empty()) text = SeriesLogHeader() + "\n";
  if (text.back() != '\n') text += "\n";
  text += SeriesLogLine(entry) + "\n";
  return WriteFileAtomically(path, reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), why);
}

std::string SeriesLogTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (const std::tm* t = std::localtime(&now)) local = *t;
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

}  // namespace vexa
