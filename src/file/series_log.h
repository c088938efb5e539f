// The log of a series: one CSV line per unit tried, appended and brought to
// the disk before the next unit starts, so that a pulled plug loses at most
// the unit in progress. Its columns (separated by ";", UTF-8):
//   time;row;station;product;version;memory;modem;outcome;reason;blocks;backup;seconds;changes
// outcome is "done", "failed" or "cancelled"; blocks is "written/of all"
// ("3/64"), empty when nothing was written; changes lists what the unit got
// in the comparison's words, separated by " | ".
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/failure.h"

namespace vexa {

struct SeriesLogEntry {
  std::string time;  // "2026-12-08 05:12:40", local time
  int row = 0;
  std::string station;
  std::string product, version, memory, modem;  // the unit's identification
  std::string outcome;                          // kSeriesDone, kSeriesFailed, kSeriesCancelled
  std::string reason;
  long blocks = -1;  // written; -1 when nothing was
  long blocksOf = 0;
  std::string backup;
  double seconds = 0;
  std::string changes;
};

inline constexpr const char* kSeriesDone = "done";
inline constexpr const char* kSeriesFailed = "failed";
inline constexpr const char* kSeriesCancelled = "cancelled";

// The header line and one entry's line, without the line end.
std::string SeriesLogHeader();
std::string SeriesLogLine(const SeriesLogEntry& entry);

// The entries of a log's text, in order; lines that are not entries (the
// header, a line cut short by a lost plug) are left out.
std::vector<SeriesLogEntry> ParseSeriesLog(std::string_view text);
// The rows whose last entry is "done".
std::set<int> DoneRows(const std::vector<SeriesLogEntry>& entries);

// Appends an entry to the log at `path` (created with its header when it does
// not exist) and brings it to the disk. False, with `why`, when it cannot.
bool AppendSeriesLog(const std::string& path, const SeriesLogEntry& entry, Failure& why);
// The entries of the log at `path`; none when it does not exist. False, with
// `why`, when it exists but cannot be read.
bool ReadSeriesLog(const std::string& path, std::vector<SeriesLogEntry>& entries, Failure& why);

// The local time as the log writes it.
std::string SeriesLogTime();

}  // namespace vexa
