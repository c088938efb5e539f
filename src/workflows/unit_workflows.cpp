#include "workflows/unit_workflows.h"

#include <algorithm>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>

#include "codec/decoder.h"
#include "codec/encoder.h"
#include "codec/header.h"
#include "file/backup.h"
#include "link/block_transfer.h"
#include "link/quick_read.h"
#include "link/write_plan.h"
#include "platform/progress.h"
#include "rules/config_check.h"
#include "workflows/transfer_window.h"
#include "workspace/usage.h"

namespace vexa {

namespace {

enum class BackupResult { Saved, NothingToKeep, Cancelled, Failed, SaveFailed };

// What the unit holds (read for the backup, or known from this activation):
// its bytes 0 up to readTo.
using link::KnownUnitImage;
using UnitRead = KnownUnitImage;

// What the transfer functions take from the workspace.
link::Transfer TransferOf(const link::UnitSession& link, Workspace& ws) {
  return {link.memorySize(), ws.CancelRequested, ws.settings.CheckWrite};
}

// What the unit holds: the bytes this activation already knows, or else
// what the quick read finds, into an image of its own. The working image,
// which holds the encoded configuration about to be written, is not
// touched. When the read fails, `why` says why.
BackupResult ReadUnit(link::UnitSession& link, Workspace& ws, Services& sv, UnitRead& unit, Failure& why) {
  if (link.unitImage()) {
    unit = *link.unitImage();
    return BackupResult::Saved;
  }
  auto bytes = std::make_shared<EepromImage>();
  TransferWindow window(sv);
  const bool read = link::QuickReadEepromShowing(link, *bytes, TransferOf(link, ws), ws.scales, ws.decimalSeparator, sv.loop,
                                                 window, texts::kMsgBackingUp, unit.readTo);
  if (!read) {
    why = link.lastFailure().value_or(Failure::Of(FailureKind::Device, texts::kCauseUnitNotRead));
    return BackupResult::Failed;
  }
  if (ws.CancelRequested) return BackupResult::Cancelled;
  unit.bytes = std::move(bytes);
  link.SetUnitImage(unit);
  return BackupResult::Saved;
}

// Keeps the unit's configuration as a backup file; `unitRead` receives the
// unit's bytes once the backup is saved. When it fails, `why` says why: the
// block that could not be read, the data that did not decode, or what kept
// the file from being saved.
BackupResult TakeBackup(link::UnitSession& link, Workspace& ws, Services& sv, const std::string& dir,
                        std::optional<WriteBackup>& taken, UnitRead& unitRead, Failure& why) {
  UnitRead read;
  if (const BackupResult r = ReadUnit(link, ws, sv, read, why); r != BackupResult::Saved) return r;
  const EepromImage* unit = read.bytes.get();
  if (!IsImageValid(*unit)) return BackupResult::NothingToKeep;
  WriteBackup backup;
  DecodeError undecoded;
  if (!DecodeImage(*unit, ws.scales, ws.decimalSeparator, backup.config, &undecoded)) {
    why = Failure::Of(FailureKind::Data, DescribeDecodeError(undecoded));
    return BackupResult::Failed;
  }
  // The file a save of that configuration would give, and never shorter
  // than the unit's own text area.
  const long used = UsedLength(*unit).value_or(0);
  const int usage = static_cast<int>(SavedFileUsage(backup.config, used));
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (const std::tm* t = std::localtime(&now)) local = *t;
  const auto path = SaveBackup(dir, BackupFileName(local, link.device().Product, backup.config.general.JmenoStanice),
                               *unit, usage, &why);
  if (!path) return BackupResult::SaveFailed;
  PruneBackups(dir);
  backup.path = *path;
  taken = std::move(backup);
  unitRead = std::move(read);
  return BackupResult::Saved;
}

// What the unit holds after a completed write: every block of the full
// write is the image's (a block a changed-blocks write left out held it
// already), the rest what was known before. Without anything known before,
// the unit's own bytes 64..127, which no write sends or compares, are taken
// from the image.
KnownUnitImage AfterWrite(const EepromImage& image, const std::optional<KnownUnitImage>& before,
                          const link::WritePlan& full) {
  auto bytes = std::make_shared<EepromImage>(before ? *before->bytes : image);
  long readTo = before ? before->readTo : 0;
  for (const link::BlockWrite& w : full) {
    std::copy_n(image.data() + w.address, link::kBlockSize, bytes->data() + w.address);
    readTo = std::max(readTo, w.address + link::kBlockSize);
  }
  return {std::move(bytes), readTo};
}

// While this lives, a quick read into `image` shows the window a total that
// stays as first told: the bar moves on with the blocks the read expects to
// take (counting the texts it has not yet reached as short as what it has
// read of them), and reaches its end when the configuration is all in.
class SteadyReadProgress {
 public:
  SteadyReadProgress(link::UnitSession& link, const EepromImage& image, long usable)
      : link_(link), shown_(link.onProgress()) {
    if (!shown_) return;
    link.SetOnProgress([this, &image, usable](long done, long planned) {
      long expected = planned;
      if (planned > 0 && done < planned) {
        const long guess = link::QuickReadExpectedBlocks(image, done * link::kBlockSize, usable);
        if (guess > 0) expected = std::clamp(guess, done + 1, planned);
      }
      const auto [bar, of] = steady_.Report(done, expected);
      shown_(bar, of);
    });
  }
  ~SteadyReadProgress() { link_.SetOnProgress(shown_); }
  SteadyReadProgress(const SteadyReadProgress&) = delete;
  SteadyReadProgress& operator=(const SteadyReadProgress&) = delete;

 private:
  link::UnitSession& link_;
  std::function<void(long done, long total)> shown_;
  SteadyTotal steady_;
};

}  // namespace

WorkflowResult ReadWorkflow(link::UnitSession& link, Workspace& ws, Services& sv, const ReadOptions& options) {
  // Without a known size the read has no end address.
  if (!link.memorySize()) {
    CloseProgress(sv);
    sv.messages.Show(Icon::Error, texts::kMsgReadSizeUnknown);
    return WorkflowResult::Refused;
  }
  const link::Transfer transfer = TransferOf(link, ws);
  // A read that does not complete leaves the unit unknown.
  link.SetUnitImage(std::nullopt);
  // The unit is read over a copy of the image, which the workspace takes
  // only together with the configuration it decodes to: a read that fails,
  // is stopped or finds no configuration leaves no byte of the unit behind
  // for a later save or write to carry.
  auto unit = std::make_shared<EepromImage>(ws.image);
  long readTo = *transfer.usable;
  TransferWindow window(sv);
  std::optional<SteadyReadProgress> steady;
  if (!options.fullRead) steady.emplace(link, *unit, *transfer.usable);
  const bool read = options.fullRead
                        ? link::ReadEeprom(link, *unit, transfer, sv.loop, window)
                        : link::QuickReadEepromShowing(link, *unit, transfer, ws.scales, ws.decimalSeparator, sv.loop,
                                                       window, texts::kMsgReading, readTo);
  if (!read) {
    CloseProgress(sv);
    // The reason (which block, how many attempts, what went wrong) on the
    // line beneath.
    sv.messages.Show(Icon::Error, link.lastFailure() ? WithReason(texts::kMsgReadFailed, *link.lastFailure())
                                                     : texts::kMsgReadFailed);
    return WorkflowResult::Failed;
  }
  if (ws.CancelRequested) {
    CloseProgress(sv);
    sv.messages.Show(Icon::Information, texts::kMsgReadCancelled);
    return WorkflowResult::Cancelled;
  }
  const KnownUnitImage known{unit, readTo};
  if (!IsImageValid(*unit)) {
    link.SetUnitImage(known);
    CloseProgress(sv);
    sv.messages.Show(Icon::Warning, texts::kMsgNotProgrammed);
    return WorkflowResult::NotProgrammed;
  }
  if (sv.view) sv.view->ShowTab(kGeneralTab);
  ShowProgress(ws, sv, texts::kMsgDecoding, false);
  DecodeError undecoded;
  const bool decoded = DecodeImage(ws, *unit, &undecoded);
  if (decoded && sv.view) sv.view->ConfigReplaced();
  CloseProgress(sv);
  if (!decoded) {
    // What could not be read and where, on the line beneath.
    sv.messages.Show(Icon::Error, WithReason(texts::kMsgReadDamaged, DescribeDecodeError(undecoded)));
    return WorkflowResult::Failed;
  }
  link.SetUnitImage(known);
  sv.messages.Show(Icon::Information,
                   rules::WithBrokenFields(texts::kMsgReadDone, ws.config, ws.settings, ws.decimalSeparator));
  return WorkflowResult::Completed;
}

namespace {

// Steps 1 to 3 of a write: the outputs' names and commands, the size, the
// encoding. nullopt when the configuration may be written: `used` and
// `usable` then hold its size and the unit's.
std::optional<WorkflowResult> CheckAndEncode(const link::UnitSession& link, Workspace& ws, Services& sv, long& used,
                                             long& usable) {
  if (const auto offence = rules::CheckOutputs(ws.config)) {
    if (sv.view) sv.view->ShowTab(kOutputsTab);
    sv.messages.Show(Icon::Error, offence->message);
    if (sv.view) sv.view->FocusField(offence->field);
    return WorkflowResult::Refused;
  }
  const auto memorySize = link.memorySize();
  if (!memorySize) {
    CloseProgress(sv);
    sv.messages.Show(Icon::Error, texts::kMsgWriteSizeUnknown);
    return WorkflowResult::Refused;
  }
  const MemoryUsage usage = UpdateMemoryUsage(ws.config, link.device().MemorySize);
  if (*memorySize < usage.usage) {
    CloseProgress(sv);
    sv.messages.Show(Icon::Error, texts::TooBigMessage(usage.usageText, link.device().MemorySize));
    return WorkflowResult::Refused;
  }
  EncodeError why;
  const bool encoded = EncodeImage(ws, nullptr, &why);
  if (!encoded || !IsImageValid(ws.image)) {
    CloseProgress(sv);
    sv.messages.Show(Icon::Error, WithReason(texts::kMsgEncodeFailed,
                                             encoded ? texts::kEncodedHeaderBroken : DescribeEncodeError(why)));
    return WorkflowResult::Refused;
  }
  used = usage.usage;
  usable = *memorySize;
  return std::nullopt;
}

// Step 4: what the unit holds now, kept before it is overwritten. nullopt
// when the write goes on; `result` tells what became of the backup.
std::optional<WorkflowResult> KeepBackup(link::UnitSession& link, Workspace& ws, Services& sv,
                                         const WriteOptions& options, std::optional<WriteBackup>& taken,
                                         UnitRead& unitRead, BackupResult& result) {
  const std::string dir = options.backupDir.empty() ? DefaultBackupDir() : options.backupDir;
  Failure why;
  result = TakeBackup(link, ws, sv, dir, taken, unitRead, why);
  switch (result) {
    case BackupResult::Saved:
    case BackupResult::NothingToKeep: return std::nullopt;
    case BackupResult::Cancelled:
      link.SetUnitImage(std::nullopt);
      sv.messages.Show(Icon::Information, texts::kMsgWriteCancelled);
      return WorkflowResult::Cancelled;
    case BackupResult::Failed:
    case BackupResult::SaveFailed: break;
  }
  if (result == BackupResult::Failed) link.SetUnitImage(std::nullopt);
  // The question, then why there is no backup. Enter keeps the unit as it
  // is: a write without a backup is chosen, never fallen into.
  const char* question = result == BackupResult::Failed ? texts::kMsgBackupFailed : texts::kMsgBackupSaveFailed;
  if (sv.messages.AskNoByDefault(Icon::Question, WithReason(question, why)) == Answer::Yes) return std::nullopt;
  // A unit that could not be read failed; a backup that could not be saved
  // is the folder's business.
  return result == BackupResult::Failed ? WorkflowResult::Failed : WorkflowResult::Refused;
}

// A write that did not complete: the unit holds no configuration until a
// write completes (its first block takes the header away, or may have: the
// unit can take a block whose answer is lost).
WorkflowResult ReportUnfinished(link::UnitSession& link, Services& sv, link::WriteOutcome outcome,
                                const std::optional<WriteBackup>& taken) {
  link.SetUnitImage(std::nullopt);
  const bool failed = outcome == link::WriteOutcome::Failed;
  std::string text = failed ? texts::kMsgWriteFailed : texts::kMsgWriteCancelled;
  if (failed && link.lastFailure()) text = WithReason(text, *link.lastFailure());
  text += std::string("\n") + texts::kMsgUnitLeftInvalid;
  if (taken) text += "\n" + texts::BackupLine(taken->path);
  sv.messages.Show(failed ? Icon::Error : Icon::Information, text);
  return failed ? WorkflowResult::Failed : WorkflowResult::Cancelled;
}

long BlocksUpTo(long end) { return (end + link::kBlockSize - 1) / link::kBlockSize; }

// A completed write: the blocks written, the backup kept (or why none was
// needed), and the changes offered.
void ReportWritten(Services& sv, std::size_t sent, std::size_t all, std::optional<WriteBackup>& taken,
                   bool nothingToKeep) {
  std::string done = texts::kMsgWriteDone;
  if (sent == 0) done += std::string("\n") + texts::kMsgWriteUnchanged;
  done += "\n" + texts::BlocksWrittenLine(static_cast<long>(sent), static_cast<long>(all));
  if (nothingToKeep) done += std::string("\n") + texts::kMsgNoBackupNeeded;
  if (!taken) {
    sv.messages.Show(Icon::Information, done);
  } else if (sent == 0) {
    sv.messages.Show(Icon::Information, done + "\n" + texts::BackupLine(taken->path));
  } else {
    done += "\n" + texts::BackupLine(taken->path);
    taken->changesWanted = sv.messages.ShowWithButton(Icon::Information, done, kCaptionShowChanges) == Answer::Extra;
  }
}

// The link's progress goes through `phases` while this lives: one bar for
// the whole command.
class PhasedBlocks {
 public:
  PhasedBlocks(link::UnitSession& link, PhasedProgress& phases) : link_(link), shown_(link.onProgress()) {
    if (!shown_) return;
    link.SetOnProgress([this, &phases](long done, long total) {
      const auto [all, of] = phases.Report(done, total);
      shown_(all, of);
    });
  }
  ~PhasedBlocks() { link_.SetOnProgress(shown_); }
  PhasedBlocks(const PhasedBlocks&) = delete;
  PhasedBlocks& operator=(const PhasedBlocks&) = delete;

 private:
  link::UnitSession& link_;
  std::function<void(long done, long total)> shown_;
};

}  // namespace

WorkflowResult WriteWorkflow(link::UnitSession& link, Workspace& ws, Services& sv, const WriteOptions& options,
                             std::optional<WriteBackup>* backup) {
  std::optional<WriteBackup> taken;
  if (backup) backup->reset();
  ws.writeSending = false;
  long used = 0, usable = 0;
  if (const auto refused = CheckAndEncode(link, ws, sv, used, usable)) return *refused;

  // One bar, in exchanges with the unit (each about as long on the line):
  // the backup read is expected to take about as many blocks as this
  // configuration, the write every block of it and its read-back.
  const link::WritePlan full = link::FullWritePlan(used, usable);
  const long writeExchanges = static_cast<long>(full.size()) * (ws.settings.CheckWrite ? 2 : 1);
  PhasedProgress phases({options.backup && !link.unitImage() ? BlocksUpTo(used) : 0, writeExchanges});
  const PhasedBlocks reporting(link, phases);

  UnitRead unitRead;
  BackupResult kept = BackupResult::NothingToKeep;
  if (options.backup) {
    if (const auto stopped = KeepBackup(link, ws, sv, options, taken, unitRead, kept)) return *stopped;
  } else if (link.unitImage()) {
    unitRead = *link.unitImage();
  }

  // 5. Transfer: the whole configuration, or only the blocks that differ
  // from what the unit holds (read for the backup, or known already).
  phases.Enter(1);
  const link::WritePlan plan = options.fullWrite || !unitRead.bytes
                                   ? full
                                   : link::ChangedBlocksPlan(ws.image, {*unitRead.bytes, unitRead.readTo}, used, usable);
  ws.writeSending = !plan.empty();
  TransferWindow window(sv);
  const link::WriteOutcome outcome = link::WriteBlocks(link, ws.image, TransferOf(link, ws), sv.loop, window, plan);
  if (outcome != link::WriteOutcome::Completed) return ReportUnfinished(link, sv, outcome, taken);
  link.SetUnitImage(AfterWrite(ws.image, link.unitImage(), full));
  ReportWritten(sv, plan.size(), full.size(), taken, options.backup && kept == BackupResult::NothingToKeep);
  if (backup) *backup = std::move(taken);
  return WorkflowResult::Completed;
}

}  // namespace vexa
