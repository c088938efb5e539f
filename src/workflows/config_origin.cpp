#include "workflows/config_origin.h"

#include <string_view>

#include "texts/texts.h"
#include "workspace/compare.h"

namespace vexa {
namespace {

DeviceConfig Stored(const Workspace& ws) { return StoredForm(ws.config, ws.scales, ws.decimalSeparator); }

// The name of a path without its folder and extension ("/" and "\" both
// end a folder: the dialog may return either).
std::string BaseNameOf(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  if (slash != std::string_view::npos) path.remove_prefix(slash + 1);
  const std::size_t dot = path.rfind('.');
  if (dot != std::string_view::npos && dot > 0) path = path.substr(0, dot);
  return std::string(path);
}

// A station name as a file name: what no file system of the PC takes in a
// name becomes "_"; spaces and dots at the ends go.
std::string FileNameFrom(std::string_view name) {
  std::string out;
  for (const char c : name) {
    const auto u = static_cast<unsigned char>(c);
    const bool refused = u < 0x20 || u == 0x7f || std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos;
    out += refused ? '_' : c;
  }
  const std::size_t first = out.find_first_not_of(" .");
  if (first == std::string::npos) return {};
  return out.substr(first, out.find_last_not_of(" .") - first + 1);
}

// The file dialog of one command: what it answered is kept, so that the
// file becomes the configuration's own once the command has succeeded.
class ChosenFile : public FileDialog {
 public:
  explicit ChosenFile(FileDialog& inner) : inner_(inner) {}
  std::optional<std::string> AskOpen() override { return Keep(inner_.AskOpen()); }
  std::optional<std::string> AskSave() override { return Keep(inner_.AskSave()); }
  std::optional<std::string> chosen;

 private:
  std::optional<std::string> Keep(std::optional<std::string> answer) {
    chosen = answer;
    return answer;
  }
  FileDialog& inner_;
};

}  // namespace

void NoteKept(ConfigOrigin& origin, const Workspace& ws) {
  origin.kept = Stored(ws);
  origin.keptLost = false;
}

void NoteFile(ConfigOrigin& origin, const Workspace& ws, const std::string& path) {
  origin.file = path;
  NoteKept(origin, ws);
}

void NoteReadFromUnit(ConfigOrigin& origin, const Workspace& ws) {
  NoteFile(origin, ws, std::string());
  origin.unit = origin.kept;
}

void NoteWrittenToUnit(ConfigOrigin& origin, const Workspace& ws) {
  origin.unit = Stored(ws);
  if (origin.file.empty()) NoteKept(origin, ws);
}

void NoteWriteFailed(ConfigOrigin& origin) {
  origin.unit.reset();
  if (origin.file.empty()) origin.keptLost = true;
}

bool HasUnsavedEdits(const ConfigOrigin& origin, const Workspace& ws) {
  return origin.keptLost || !CompareConfigs(origin.kept, Stored(ws)).empty();
}

bool HeldNowhere(const ConfigOrigin& origin, const Workspace& ws) {
  if (!HasUnsavedEdits(origin, ws)) return false;
  return !origin.unit || !CompareConfigs(*origin.unit, Stored(ws)).empty();
}

namespace {

// Whether `path` lies in the folder `dir` itself ("/" and "\" both end a
// folder; a "/" at the end of `dir` is no part of its name).
bool InFolder(std::string_view path, std::string_view dir) {
  while (dir.size() > 1 && (dir.back() == '/' || dir.back() == '\\')) dir.remove_suffix(1);
  const std::size_t slash = path.find_last_of("/\\");
  return !dir.empty() && slash != std::string_view::npos && path.substr(0, slash) == dir;
}

// The configuration's own file: none for a backup of the program's folder.
std::string OwnFile(const ConfigOrigin& origin, const std::string& backupDir) {
  return InFolder(origin.file, backupDir) ? std::string() : origin.file;
}

}  // namespace

std::string ProposedBaseName(const ConfigOrigin& origin, const DeviceConfig& config, const std::string& backupDir) {
  if (const std::string own = OwnFile(origin, backupDir); !own.empty()) {
    if (std::string base = BaseNameOf(own); !base.empty()) return base;
  }
  std::string name = FileNameFrom(config.general.JmenoStanice);
  return name.empty() ? std::string(texts::kUnnamedConfig) : name;
}

std::string SaveProposal(const ConfigOrigin& origin, const DeviceConfig& config, const std::string& backupDir) {
  const std::string own = OwnFile(origin, backupDir);
  return own.empty() ? ProposedBaseName(origin, config, backupDir) + ".eep" : own;
}

FileOutcome SaveConfigAs(Workspace& ws, Services& sv, ConfigOrigin& origin) {
  if (sv.files == nullptr) return FileOutcome::Cancelled;
  sv.files->ProposeSave(SaveProposal(origin, ws.config));
  ChosenFile files(*sv.files);
  Services local = sv;
  local.files = &files;
  const FileOutcome outcome = SaveWorkflow(ws, local);
  if (outcome == FileOutcome::Completed && files.chosen) {
    NoteFile(origin, ws, *files.chosen);
    sv.files->SetCurrentFile(*files.chosen);
  }
  return outcome;
}

FileOutcome OpenConfig(Workspace& ws, Services& sv, ConfigOrigin& origin, const std::string* path) {
  std::optional<std::string> chosen;
  FileOutcome outcome = FileOutcome::Cancelled;
  if (path != nullptr) {
    outcome = LoadWorkflow(ws, sv, *path);
    chosen = *path;
  } else if (sv.files != nullptr) {
    ChosenFile files(*sv.files);
    Services local = sv;
    local.files = &files;
    outcome = LoadWorkflow(ws, local);
    chosen = files.chosen;
  }
  if (outcome != FileOutcome::Completed || !chosen) return outcome;
  NoteFile(origin, ws, *chosen);
  if (sv.files != nullptr) sv.files->SetCurrentFile(*chosen);
  return outcome;
}

bool MayLeaveEdits(Workspace& ws, Services& sv, ConfigOrigin& origin) {
  if (!HeldNowhere(origin, ws)) return true;
  switch (sv.messages.Show(Icon::Question, texts::kMsgUnsavedEdits, Buttons::YesNoCancel)) {
    case Answer::Yes: return SaveConfigAs(ws, sv, origin) == FileOutcome::Completed;
    case Answer::No: return true;
    default: return false;
  }
}

bool ConfirmStopWrite(MessageBox& messages, bool sending) {
  return messages.AskNoByDefault(Icon::Question, sending ? texts::kMsgStopWriteQuestion
                                                         : texts::kMsgStopBackupQuestion) == Answer::Yes;
}

}  // namespace vexa
