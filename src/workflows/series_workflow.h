// Series programming: one unit after another gets its own configuration
// (the template with its row of the series table) or one change applied to
// what it holds. vexa-cli series and the series window both run a unit
// through RunSeriesUnit and only show what it did.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "file/series_log.h"
#include "file/series_table.h"
#include "link/unit_session.h"
#include "platform/services.h"
#include "workflows/unit_workflows.h"
#include "workspace/compare.h"
#include "workspace/workspace.h"

namespace vexa {

// What a unit gets: a whole configuration, or a change applied to the
// configuration the unit holds (its other values are kept).
struct SeriesTarget {
  int row = 0;
  std::string station;                 // as the table names it; the unit's own for a change
  std::optional<DeviceConfig> config;  // the whole configuration
  // The change: sets fields of the unit's configuration; false, with a
  // reason, when it cannot.
  std::function<bool(DeviceConfig&, std::string&)> change;
};

struct SeriesUnitOptions {
  std::string backupDir;  // empty: DefaultBackupDir()
  bool fullWrite = false;
  SeriesCheck check;      // what a changed configuration must pass
  std::string logPath;    // the log; empty: none
  // Called after a completed write with the workspace holding what was
  // written (to keep it as a file, a report); a reason when it failed.
  std::function<std::string(Workspace&)> keep;
  // The read and write messages are passed to the caller's message box too
  // (the console prints them); the window shows the outcome in its table.
  bool echoMessages = false;
  // How long the activation's polls wait for the unit's first answer; 0
  // polls until Storno (the window), the command line gives up (--wait).
  std::int64_t firstAnswerMs = 0;
};

// Refused: the change could not be made or breaks a rule; nothing was written.
enum class SeriesOutcome { Done, Failed, Cancelled, PortFailed, Refused };

struct SeriesUnitResult {
  SeriesOutcome outcome = SeriesOutcome::Failed;
  SeriesLogEntry entry;                   // as logged
  std::vector<FieldDifference> changes;   // what the unit held against what it got
  std::string logProblem;                 // why the log could not be written; empty when it was
};

// Activates the unit, identifies it, reads what it holds, makes its
// configuration, checks it, writes it (backup, only the blocks that differ,
// verification), releases the unit and appends its line to the log.
SeriesUnitResult RunSeriesUnit(link::UnitSession& link, Workspace& ws, Services& sv, const SeriesTarget& target,
                               const SeriesUnitOptions& options);

// The comparison's words for each change: "T1 Telefonní číslo: '1' → '2'".
std::vector<std::string> ChangeLines(const std::vector<FieldDifference>& changes);

// The rows of a table that the log does not show done, in order; `redo`
// (a row) is pending whatever the log says.
std::vector<int> PendingRows(const SeriesTable& table, const std::vector<SeriesLogEntry>& log,
                             std::optional<int> redo = std::nullopt);

}  // namespace vexa
