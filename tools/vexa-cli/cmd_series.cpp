// vexa-cli series: many units from one template and a table of what differs,
// each unit logged; and write --set / --patch, one change for a unit that
// keeps its other values. Both run units through the series workflow
// (workflows/series_workflow.h), as the series window does.
//
//   vexa-cli series TEMPLATE TABLE.csv --port P --log LOG.csv [--row N | --redo N] [--stop-on-error]
//                   [--save-dir D] [--pdf-dir D] [--backup-dir DIR] [--memory BYTES] [--no-verify]
//   vexa-cli series --patch CHANGE.json TABLE.csv --port P --log LOG.csv [...]
//   vexa-cli series --columns
//   vexa-cli write --port P (--set KEY=VALUE ... | --patch CHANGE.json) [--log LOG.csv] [--backup-dir DIR]
//
// Built where a serial port is (port_backend.h).
#include <cstdio>
#include <algorithm>
#include <charconv>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "codec/text.h"
#include "command.h"
#include "file/backup.h"
#include "file/config_file.h"
#include "file/config_json.h"
#include "texts/texts.h"
#include "review.h"
#include "workflows/series_workflow.h"
#include "workspace/workspace.h"

namespace vexa::cli {
namespace {

constexpr const char* kSeriesUsage =
    "series TEMPLATE TABLE.csv --port P --log LOG.csv [--row N | --redo N] [--stop-on-error]\n"
    "       [--save-dir D] [--pdf-dir D] [--backup-dir DIR] [--memory BYTES] [--no-verify]\n"
    "       [--wait SECONDS]\n"
    "       vexa-cli series --patch CHANGE.json TABLE.csv --port P --log LOG.csv [...]\n"
    "       vexa-cli series --columns";
constexpr const char* kChangeUsage =
    "write --port P (--set KEY=VALUE ... | --patch CHANGE.json) [--log LOG.csv] [--backup-dir DIR] [--no-verify]\n"
    "       [--wait SECONDS]";

std::optional<int> PositiveNumber(const std::string& text) {
  int n = 0;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (ec != std::errc() || ptr != text.data() + text.size() || n < 1) return std::nullopt;
  return n;
}

// The change --set and --patch name: a partial configuration, then each
// KEY=VALUE, over whatever configuration it is applied to.
struct Change {
  std::string patchText;  // the JSON of --patch; empty when none
  std::vector<std::string> keys, values;

  bool Apply(DeviceConfig& config, std::string& why) const {
    if (!patchText.empty() && !ConfigFromJsonText(patchText, config, why)) return false;
    std::vector<SeriesProblem> problems;
    ApplyCells(config, keys, values, 0, problems);
    if (problems.empty()) return true;
    why = DescribeProblem(problems.front());
    return false;
  }
};

// The change of the command line; nullopt, with the reason on standard
// error, when a key, a value or the JSON cannot be a change.
std::optional<Change> ChangeOf(const Args& args) {
  Change change;
  if (args.Has("--patch")) {
    const auto text = ReadTextFile(args.Value("--patch"));
    if (!text) return std::nullopt;
    change.patchText = *text;
  }
  const auto columns = SeriesColumns();
  for (const auto& [option, value] : args.given) {
    if (option != "--set") continue;
    const auto equals = value.find('=');
    const std::string key = value.substr(0, equals);
    if (equals == std::string::npos || std::find(columns.begin(), columns.end(), key) == columns.end()) {
      SayLines(std::cerr, "vexa-cli: " + texts::CliUnknownSetKey(value));
      return std::nullopt;
    }
    change.keys.push_back(key);
    change.values.push_back(value.substr(equals + 1));
  }
  return change;
}

// A change is refused before the unit is touched when it breaks a rule of
// the fields it names on its own (over the start-up configuration).
bool ChangeBreaksRules(const Change& change) {
  Workspace ws;
  DeviceConfig changed = ws.config;
  std::string why;
  if (!change.Apply(changed, why)) {
    SayLines(std::cerr, "vexa-cli: " + why);
    return true;
  }
  const auto named = DifferingColumns(ws.config, changed);
  std::vector<SeriesProblem> problems;
  CheckSeriesConfig(changed, {.settings = CommandLineSettings()}, 0, problems);
  bool broken = false;
  for (const SeriesProblem& p : problems) {
    if (std::find(named.begin(), named.end(), p.column) == named.end() && !p.column.empty()) continue;
    SayLines(std::cerr, texts::kSeriesChangeBreaksRules + (" " + p.column + ": " + p.reason));
    broken = true;
  }
  return broken;
}

// The changes in the comparison's words; for a unit of a series, its outcome.
void SayResult(const SeriesUnitResult& r, bool ofSeries = true) {
  for (const std::string& line : ChangeLines(r.changes)) SayLines(std::cerr, line);
  if (!ofSeries) {
    if (r.outcome == SeriesOutcome::Refused) SayLines(std::cerr, r.entry.reason);
    return;
  }
  SayLines(std::cerr, texts::SeriesUnitLine(r.entry.row, r.entry.station, r.outcome == SeriesOutcome::Done,
                                            r.entry.reason, r.entry.blocks, r.entry.blocksOf));
  if (!r.logProblem.empty()) SayLines(std::cerr, r.logProblem);
}

int OutcomeExit(SeriesOutcome o) {
  switch (o) {
    case SeriesOutcome::Done: return kExitOk;
    case SeriesOutcome::Cancelled: return kExitCancelled;
    case SeriesOutcome::PortFailed: return kExitPort;
    case SeriesOutcome::Refused: return kExitRefused;
    case SeriesOutcome::Failed: break;
  }
  return kExitFailed;
}

}  // namespace

bool AsksForChange(const std::vector<std::string>& args) {
  return std::any_of(args.begin(), args.end(), [](const std::string& a) { return a == "--set" || a == "--patch"; });
}

int WriteChange(const std::vector<std::string>& argv) {
  const auto args = ParseArgs(argv,
                              {.withValue = {"--port", "--set", "--patch", "--log", "--backup-dir", "--wait"},
                               .switches = {"--no-verify", "--full-write"},
                               .required = {"--port"}},
                              kChangeUsage);
  if (!args) return kExitUsage;
  const auto change = ChangeOf(*args);
  if (!change) return kExitRefused;
  if (ChangeBreaksRules(*change)) return kExitRefused;
  SeriesUnitOptions options;
  options.backupDir = args->Value("--backup-dir");
  options.fullWrite = args->Has("--full-write");
  const auto wait = WaitMsOf(*args);
  if (!wait) return kExitUsage;
  options.firstAnswerMs = *wait;
  options.check.settings = CommandLineSettings();
  options.logPath = args->Value("--log");
  options.echoMessages = true;
  SeriesTarget target;
  target.row = 1;
  target.change = [&change](DeviceConfig& c, std::string& why) { return change->Apply(c, why); };
  return RunCliUnit(args->Value("--port"), !args->Has("--no-verify"), [&](CliUnit& u) {
    u.answerQuestions(Answer::No);
    const SeriesUnitResult r = RunSeriesUnit(u.link, u.ws, u.sv, target, options);
    u.answerQuestions(Answer::Yes);
    SayResult(r, false);
    if (!r.entry.backup.empty()) std::cout << r.entry.backup << std::endl;
    return OutcomeExit(r.outcome);
  });
}

}  // namespace vexa::cli

namespace vexa::cli {
namespace {

struct SeriesArgs {
  std::string templ, table, port, log, saveDir, pdfDir, backupDir;
  std::optional<int> row, redo;
  long memory = 8128;
  std::int64_t waitMs = 0;
  bool stopOnError = false, verify = true, fullWrite = false;
};

// The series' arguments; nullopt after saying the usage.
std::optional<SeriesArgs> SeriesArgsOf(const Args& a) {
  const auto plain = a.Plain();
  if (plain.size() != (a.Has("--patch") ? 1u : 2u)) return std::nullopt;
  SeriesArgs s;
  s.templ = a.Has("--patch") ? std::string() : plain[0];
  s.table = plain.back();
  s.port = a.Value("--port");
  s.log = a.Value("--log");
  s.saveDir = a.Value("--save-dir");
  s.pdfDir = a.Value("--pdf-dir");
  s.backupDir = a.Value("--backup-dir");
  s.stopOnError = a.Has("--stop-on-error");
  s.verify = !a.Has("--no-verify");
  s.fullWrite = a.Has("--full-write");
  if (a.Has("--row") && !(s.row = PositiveNumber(a.Value("--row")))) return std::nullopt;
  if (a.Has("--redo") && !(s.redo = PositiveNumber(a.Value("--redo")))) return std::nullopt;
  if (a.Has("--memory")) {
    const auto m = PositiveNumber(a.Value("--memory"));
    if (!m) return std::nullopt;
    s.memory = *m;
  }
  if (s.port.empty() || s.log.empty()) return std::nullopt;
  const auto wait = WaitMsOf(a);
  if (!wait) return std::nullopt;
  s.waitMs = *wait;
  return s;
}

// The template and the table, checked as a whole; the exit code.
int LoadSeries(const SeriesArgs& a, SeriesTable& table) {
  Workspace ws;
  if (!a.templ.empty()) {
    if (const int code = LoadConfigOrSay(a.templ, ws)) return code;
  }
  const auto bytes = ReadTextFile(a.table);
  if (!bytes) return kExitRefused;
  table = BuildSeriesTable(ws.config, *bytes, {.settings = CommandLineSettings(), .memoryBytes = a.memory});
  if (!table.Refused()) return kExitOk;
  SayLines(std::cerr, texts::kSeriesRefused);
  for (const SeriesProblem& p : table.problems) SayLines(std::cerr, DescribeProblem(p));
  return kExitRefused;
}

// Keeps the written configuration as D/<station>.eep and its report as
// D/<station>.pdf; the reason when either failed.
std::string KeepFiles(Workspace& ws, const SeriesArgs& a) {
  const std::string name = FileNameSafe(ws.config.general.JmenoStanice.empty() ? "vexa" : ws.config.general.JmenoStanice);
  std::string eep = a.saveDir.empty() ? a.pdfDir + "/." + name + ".eep" : a.saveDir + "/" + name + ".eep";
  Failure why;
  if (SaveConfigFile(eep, ws, &why) != SaveResult::Saved) return why.Reason();
  if (a.pdfDir.empty()) return {};
  const std::string pdf = a.pdfDir + "/" + name + ".pdf";
  int code = kExitUsage;
  for (const auto& c : Registry()) {
    if (c.name == "report") code = c.run({eep, "-o", pdf});
  }
  if (a.saveDir.empty()) std::remove(eep.c_str());
  return code == kExitOk ? std::string() : texts::SeriesReportFailed(pdf);
}

// Asks for the unit of `row` on standard error and waits for Enter; false
// for "q", the end of the input or Ctrl-C.
bool AskForUnit(int row, std::size_t count, const std::string& station) {
  SayLines(std::cerr, texts::SeriesConnectPrompt(row, static_cast<long>(count), station));
  std::string line;
  if (!std::getline(std::cin, line)) return false;
  return line != "q" && line != "Q";
}

int RunRows(CliUnit& u, const SeriesTable& table, const std::vector<int>& rows, const SeriesArgs& a,
            const std::optional<Change>& change) {
  SeriesUnitOptions options;
  options.backupDir = a.backupDir;
  options.fullWrite = a.fullWrite;
  options.firstAnswerMs = a.waitMs;
  options.check.settings = CommandLineSettings();
  options.check.memoryBytes = a.memory;
  options.logPath = a.log;
  options.echoMessages = true;
  if (!a.saveDir.empty() || !a.pdfDir.empty()) options.keep = [&a](Workspace& ws) { return KeepFiles(ws, a); };
  bool failed = false;
  for (const int row : rows) {
    const SeriesUnit& unit = table.units[static_cast<std::size_t>(row - 1)];
    if (!a.row && !AskForUnit(row, table.units.size(), unit.station)) return kExitCancelled;
    if (u.interrupted()) return kExitCancelled;
    SeriesTarget target;
    target.row = row;
    target.station = unit.station;
    if (change) {
      target.change = [&change](DeviceConfig& c, std::string& why) { return change->Apply(c, why); };
    } else {
      target.config = unit.config;
    }
    u.answerQuestions(Answer::No);
    const SeriesUnitResult r = RunSeriesUnit(u.link, u.ws, u.sv, target, options);
    u.answerQuestions(Answer::Yes);
    SayResult(r);
    if (r.outcome == SeriesOutcome::Cancelled || r.outcome == SeriesOutcome::PortFailed) return OutcomeExit(r.outcome);
    if (r.outcome != SeriesOutcome::Done) failed = true;
    if (failed && a.stopOnError) return kExitFailed;
  }
  return failed ? kExitFailed : kExitOk;
}

int Series(const std::vector<std::string>& argv) {
  const auto parsed = ParseArgs(argv,
                                {.withValue = {"--port", "--log", "--row", "--redo", "--save-dir", "--pdf-dir",
                                               "--backup-dir", "--memory", "--patch", "--wait"},
                                 .switches = {"--stop-on-error", "--no-verify", "--full-write", "--columns"},
                                 .maxPlain = 2},
                                kSeriesUsage);
  if (!parsed) return kExitUsage;
  if (parsed->Has("--columns")) {
    for (const std::string& c : SeriesColumns()) std::cout << c << "\n";
    return kExitOk;
  }
  const auto a = SeriesArgsOf(*parsed);
  if (!a) return BadUsage(kSeriesUsage);
  // The report needs the printer, which this build may lack.
  if (!a->pdfDir.empty() && !PrepareReports()) return kExitUsage;
  std::optional<Change> change;
  if (parsed->Has("--patch") && (!(change = ChangeOf(*parsed)) || ChangeBreaksRules(*change))) return kExitRefused;
  SeriesTable table;
  if (const int code = LoadSeries(*a, table)) return code;
  if (a->row && static_cast<std::size_t>(*a->row) > table.units.size()) return BadUsage(kSeriesUsage);
  std::vector<SeriesLogEntry> log;
  Failure why;
  if (!ReadSeriesLog(a->log, log, why)) {
    SayLines(std::cerr, WithReason(texts::kSeriesLogFailed, why));
    return kExitRefused;
  }
  const std::vector<int> rows = a->row ? std::vector<int>{*a->row} : PendingRows(table, log, a->redo);
  if (rows.empty()) SayLines(std::cerr, texts::kSeriesAllDone);
  return RunCliUnit(a->port, a->verify, [&](CliUnit& u) { return RunRows(u, table, rows, *a, change); });
}

const Register kSeries{{"series", kSeriesUsage, Series,
                        "Programs units in series: each row of TABLE.csv (its header names the columns of\n"
                        "`vexa-cli series --columns`, the keys of `vexa-cli dump` flattened: general.PIN,\n"
                        "phones[0].TC, inputs[3].INPNazev; \";\", \",\" or tab separated; UTF-8 or code page\n"
                        "1250) over TEMPLATE (.eep or .json) is one unit's configuration; an empty cell keeps\n"
                        "the template's value. Every row is checked first (each rule, a station name given\n"
                        "twice, a character the unit cannot store, --memory BYTES, 8128 by default): a table\n"
                        "with any problem is refused whole, each problem named by row and column (exit 4).\n"
                        "For each row the log does not show done, it asks to connect the unit (Enter goes on,\n"
                        "q stops), activates it, keeps its backup, writes only the blocks that differ,\n"
                        "verifies, releases it and appends a line to LOG.csv (time;row;station;product;\n"
                        "version;memory;modem;outcome;reason;blocks;backup;seconds;changes; outcome done,\n"
                        "failed or cancelled). A failed unit is logged and the next row follows\n"
                        "(--stop-on-error stops). --row N does one row without asking; --redo N repeats a done\n"
                        "row. --save-dir D keeps each unit's configuration as D/<station>.eep, --pdf-dir D its\n"
                        "report as D/<station>.pdf. With --patch CHANGE.json each unit keeps its own values\n"
                        "and gets only the change. Ctrl-C stops between blocks and releases the unit.\n"
                        "Exit codes: 0 every row done; 1 a unit failed; 2 wrong usage; 3 interrupted (Ctrl-C,\n"
                        "q, end of input); 4 the table or the template refused; 5 the port could not be opened.\n"}};

}  // namespace
}  // namespace vexa::cli
