#include "workflows/file_workflows.h"

#include <filesystem>
#include <system_error>

#include "file/config_file.h"
#include "platform/progress.h"
#include "texts/texts.h"
#include "rules/config_check.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;


// An existing file (or a link to one) that a save would replace.
bool FileExists(const std::string& utf8) {
  const fs::path p(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
  std::error_code ec;
  const auto st = fs::symlink_status(p, ec);
  return !ec && fs::exists(st);
}

}  // namespace

FileOutcome SaveWorkflow(Workspace& ws, Services& sv) {
  if (sv.files == nullptr) return FileOutcome::Cancelled;
  const auto chosen = sv.files->AskSave();
  if (!chosen || chosen->empty()) return FileOutcome::Cancelled;
  const std::string& path = *chosen;

  // The question comes before the progress window, so that the two never
  // cover each other; declined, nothing is shown or touched.
  if (FileExists(path) && sv.messages.AskNoByDefault(Icon::Question, texts::kOverwriteQuestion) != Answer::Yes) {
    return FileOutcome::Declined;
  }

  ShowProgress(ws, sv, texts::SavingFileText(path), false);

  // The file holds the first U - 1 bytes of the image, U being the usage
  // figure the window shows.
  Failure failure;
  const SaveResult saved = SaveConfigFile(path, ws, &failure);
  CloseProgress(sv);
  switch (saved) {
    case SaveResult::Saved: return FileOutcome::Completed;
    case SaveResult::EncodeError:
      sv.messages.Show(Icon::Error, WithReason(texts::kConvertErrorText, failure));
      return FileOutcome::EncodeFailed;
    case SaveResult::WriteError: break;
  }
  sv.messages.Show(Icon::Error, WithReason(texts::ConfigFileSaveErrorText(path), failure));
  return FileOutcome::WriteFailed;
}

FileOutcome LoadWorkflow(Workspace& ws, Services& sv) {
  if (sv.files == nullptr) return FileOutcome::Cancelled;
  const auto chosen = sv.files->AskOpen();
  if (!chosen || chosen->empty()) return FileOutcome::Cancelled;
  return LoadWorkflow(ws, sv, *chosen);
}

FileOutcome LoadWorkflow(Workspace& ws, Services& sv, const std::string& path) {
  ShowProgress(ws, sv, texts::LoadingFileText(path), false);
  // Only a file that passed its tests brings the general tab to the front,
  // before the fields are filled.
  Failure failure;
  const LoadResult loaded = LoadConfigFile(path, ws, &failure, [&] {
    CloseProgress(sv);
    if (sv.view != nullptr) sv.view->ShowTab(WindowTab::Vseobecne);
    ShowProgress(ws, sv, texts::kMsgDecoding, false);
  });
  if (loaded == LoadResult::Loaded && sv.view != nullptr) sv.view->ConfigReplaced();
  CloseProgress(sv);

  FileOutcome outcome = FileOutcome::Completed;
  switch (loaded) {
    case LoadResult::Loaded:
      sv.messages.Show(Icon::Information, rules::WithBrokenFields(texts::ConfigFileLoadedText(path), ws.config,
                                                                  ws.settings, ws.decimalSeparator));
      break;
    case LoadResult::ReadError:
      sv.messages.Show(Icon::Error, WithReason(texts::ConfigFileLoadErrorText(path), failure));
      outcome = FileOutcome::ReadFailed;
      break;
    case LoadResult::NotValid:
      sv.messages.Show(Icon::Information, WithReason(texts::ConfigFileFormatErrorText(path), failure));
      outcome = FileOutcome::NotValid;
      break;
  }
  CloseProgress(sv);
  return outcome;
}

}  // namespace vexa
