#include "workflows/series_workflow.h"

#include <algorithm>
#include <chrono>

#include "link/block_transfer.h"
#include "texts/texts.h"
#include "workflows/link_workflows.h"
#include "workspace/usage.h"

namespace vexa {
namespace {

// The message box of a unit's read and write: questions go to the caller's
// box; every other message is noted (the last one of a step that did not
// complete is the unit's reason) and passed on only when asked for.
class UnitMessages : public MessageBox {
 public:
  UnitMessages(MessageBox& inner, bool echo) : inner_(inner), echo_(echo) {}
  Answer Show(Icon icon, const std::string& text, Buttons buttons) override {
    if (buttons != Buttons::Ok) return inner_.Show(icon, text, buttons);
    problem = text;
    if (echo_) inner_.Show(icon, text, Buttons::Ok);
    return Answer::Ok;
  }
  Answer ShowWithButton(Icon icon, const std::string& text, const std::string&) override {
    return Show(icon, text, Buttons::Ok);
  }
  std::string problem;

 private:
  MessageBox& inner_;
  bool echo_;
};

// A message on one line, as a log cell holds it.
std::string OneLine(std::string text) {
  std::replace(text.begin(), text.end(), '\n', ' ');
  return text;
}

// The release's question (the unit did not acknowledge: leave it active?)
// has one answer in a series, which goes on to the next unit: the message
// is shown, and the link is given up.
class ReleaseMessages : public MessageBox {
 public:
  explicit ReleaseMessages(MessageBox& inner) : inner_(inner) {}
  Answer Show(Icon icon, const std::string& text, Buttons buttons) override {
    inner_.Show(icon, text, Buttons::Ok);
    return buttons == Buttons::Ok ? Answer::Ok : Answer::Yes;
  }

 private:
  MessageBox& inner_;
};

struct Step {
  SeriesOutcome outcome = SeriesOutcome::Done;
  std::string reason;
  bool Ok() const { return outcome == SeriesOutcome::Done; }
};

Step Activate(link::UnitSession& link, Workspace& ws, Services& sv, UnitMessages& box, std::int64_t firstAnswerMs) {
  // The activation's own messages and questions are the usual ones.
  box.problem.clear();
  const ActivationResult r = ActivateLink(link, ws, sv, {.firstAnswerMs = firstAnswerMs});
  switch (r) {
    case ActivationResult::Active: return {};
    case ActivationResult::Cancelled: return {SeriesOutcome::Cancelled, texts::kSeriesActivationCancelled};
    case ActivationResult::PortFailed: return {SeriesOutcome::PortFailed, OneLine(box.problem.empty() ? texts::PortOpenMessage(ws.settings.Port) : box.problem)};
    case ActivationResult::WrongDevice: return {SeriesOutcome::Failed, texts::kSeriesWrongDevice};
    case ActivationResult::Failed: break;
  }
  return {SeriesOutcome::Failed, box.problem.empty() ? texts::kSeriesNoIdentification : box.problem};
}

SeriesOutcome OutcomeOf(WorkflowResult r) {
  return r == WorkflowResult::Cancelled ? SeriesOutcome::Cancelled
         : r == WorkflowResult::Completed ? SeriesOutcome::Done
                                           : SeriesOutcome::Failed;
}

// Reads what the unit holds into ws.config (and the session's known image); `held` is
// empty for a unit that holds no configuration.
Step ReadHeld(link::UnitSession& link, Workspace& ws, Services& quiet, UnitMessages& box,
              std::optional<DeviceConfig>& held) {
  box.problem.clear();
  const WorkflowResult r = ReadWorkflow(link, ws, quiet);
  if (r == WorkflowResult::NotProgrammed) return {};
  if (r != WorkflowResult::Completed) return {OutcomeOf(r), OneLine(box.problem)};
  held = ws.config;
  return {};
}

// The unit's new configuration: the whole one, or the change over what it holds, checked.
Step MakeConfig(const SeriesTarget& target, const std::optional<DeviceConfig>& held, const SeriesCheck& check,
                DeviceConfig& result) {
  if (target.config) {
    result = *target.config;
    return {};
  }
  if (!held) return {SeriesOutcome::Failed, texts::kSeriesNothingToChange};
  result = *held;
  std::string why;
  if (target.change && !target.change(result, why)) return {SeriesOutcome::Refused, why};
  // Checked on a copy: what the rules would rewrite in a field the change
  // does not name (a phone number without the PC's prefix) stays as the
  // unit holds it.
  DeviceConfig checked = result;
  std::vector<SeriesProblem> problems;
  CheckSeriesConfig(checked, check, target.row, problems);
  if (problems.empty()) return {};
  return {SeriesOutcome::Refused, texts::kSeriesChangeBreaksRules + (" " + DescribeProblem(problems.front()))};
}

// Writes ws.config (backup from what the read found, only the blocks that
// differ, verification); counts the blocks sent.
Step Write(link::UnitSession& link, Workspace& ws, Services& quiet, UnitMessages& box, const SeriesUnitOptions& options,
           SeriesLogEntry& entry) {
  auto shown = link.onBlock();
  long total = 0, done = 0;
  link.SetOnBlock([&](long d, long t) {
    total = t;
    done = d;
    if (shown) shown(d, t);
  });
  std::optional<WriteBackup> backup;
  const WriteOptions write{.backup = true, .backupDir = options.backupDir, .fullWrite = options.fullWrite};
  box.problem.clear();
  const WorkflowResult r = WriteWorkflow(link, ws, quiet, write, &backup);
  link.SetOnBlock(shown);
  if (backup) entry.backup = backup->path;
  if (r == WorkflowResult::Completed) done = total;
  if (r == WorkflowResult::Completed || done > 0) {
    entry.blocks = done;
    const auto usable = link.memorySize();
    const int usage = UpdateMemoryUsage(ws.config, link.device().MemorySize).usage;
    entry.blocksOf = usable ? static_cast<long>(link::FullWritePlan(usage, *usable).size()) : 0;
  }
  if (r == WorkflowResult::Completed) return {};
  return {OutcomeOf(r), OneLine(box.problem)};
}

const char* OutcomeWord(SeriesOutcome o) {
  switch (o) {
    case SeriesOutcome::Done: return kSeriesDone;
    case SeriesOutcome::Cancelled: return kSeriesCancelled;
    case SeriesOutcome::Failed:
    case SeriesOutcome::Refused:
    case SeriesOutcome::PortFailed: break;
  }
  return kSeriesFailed;
}

// Between activation and release: read, make the configuration, write, keep.
Step WorkOnUnit(link::UnitSession& link, Workspace& ws, Services& sv, const SeriesTarget& target,
                const SeriesUnitOptions& options, SeriesUnitResult& result) {
  UnitMessages box(sv.messages, options.echoMessages);
  Services quiet{box, sv.progress, sv.loop};
  std::optional<DeviceConfig> held;
  Step step = ReadHeld(link, ws, quiet, box, held);
  DeviceConfig config;
  if (step.Ok()) step = MakeConfig(target, held, options.check, config);
  if (!step.Ok()) return step;
  if (held) result.changes = CompareStored(*held, config, ws.scales, ws.decimalSeparator);
  result.entry.changes.clear();
  for (const std::string& line : ChangeLines(result.changes)) {
    result.entry.changes += (result.entry.changes.empty() ? "" : " | ") + line;
  }
  if (!target.config) result.entry.station = config.general.JmenoStanice;
  ws.config = config;
  step = Write(link, ws, quiet, box, options, result.entry);
  if (step.Ok() && options.keep) {
    if (std::string why = options.keep(ws); !why.empty()) step.reason = why;
  }
  return step;
}

}  // namespace

SeriesUnitResult RunSeriesUnit(link::UnitSession& link, Workspace& ws, Services& sv, const SeriesTarget& target,
                               const SeriesUnitOptions& options) {
  const auto start = std::chrono::steady_clock::now();
  SeriesUnitResult result;
  result.entry.row = target.row;
  result.entry.station = target.station;
  ws.CancelRequested = false;
  UnitMessages activationBox(sv.messages, true);
  Services activation{activationBox, sv.progress, sv.loop, sv.files, sv.view, sv.ports};
  Step step = Activate(link, ws, activation, activationBox, options.firstAnswerMs);
  const DeviceInfo& d = link.device();
  result.entry.product = d.Product;
  result.entry.version = d.ProcessorVersion;
  result.entry.memory = d.MemorySize;
  result.entry.modem = d.ModemType;
  if (step.Ok()) step = WorkOnUnit(link, ws, sv, target, options, result);
  if (link.state() != LinkState::Neaktivni) {
    bool acknowledged = false;
    ReleaseMessages releaseBox(sv.messages);
    Services release{releaseBox, sv.progress, sv.loop, sv.files, sv.view, sv.ports};
    DeactivateLink(link, release, &acknowledged);
    if (!acknowledged && step.Ok()) step.reason = texts::kSeriesReleaseNotAcknowledged;
  }
  result.outcome = step.outcome;
  result.entry.outcome = OutcomeWord(step.outcome);
  result.entry.reason = OneLine(step.reason);
  result.entry.time = SeriesLogTime();
  result.entry.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  Failure why;
  if (!options.logPath.empty() && !AppendSeriesLog(options.logPath, result.entry, why)) {
    result.logProblem = WithReason(texts::kSeriesLogFailed, why);
  }
  return result;
}

std::vector<std::string> ChangeLines(const std::vector<FieldDifference>& changes) {
  std::vector<std::string> lines;
  for (const FieldDifference& c : changes) lines.push_back(texts::SeriesChangeLine(c.caption, c.a, c.b));
  return lines;
}

std::vector<int> PendingRows(const SeriesTable& table, const std::vector<SeriesLogEntry>& log, std::optional<int> redo) {
  const std::set<int> done = DoneRows(log);
  std::vector<int> pending;
  for (const SeriesUnit& u : table.units) {
    if (!done.contains(u.row) || redo == u.row) pending.push_back(u.row);
  }
  return pending;
}

}  // namespace vexa
