#include "ui/compare_wiring.h"

#include <QPushButton>
#include <memory>
#include <string>

#include "file/config_file.h"
#include "ui/compare_dialog.h"
#include "platform/services.h"
#include "workspace/compare.h"
#include "workspace/workspace.h"
#include "texts/texts.h"
#include "texts/texts_window.h"
#include "workflows/unit_workflows.h"

namespace vexa::ui {
namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
QString U(const char* text) { return QString::fromUtf8(text); }

}  // namespace

// Shows the differences, or the message that there are none.
void Comparing::Present(const QString& what, const QString& headA, const QString& headB,
                        const std::vector<FieldDifference>& differences) {
  if (differences.empty()) {
    sv_.messages.Show(Icon::Information, texts::kMsgSameSettings);
    return;
  }
  if (!dialog_) dialog_ = new CompareDialog(&window_);
  dialog_->ShowDifferences(U(texts::kCompareTitle), what, headA, headB, differences);
}

QPushButton* MakeCompareButton() {
  auto* button = new QPushButton(U(texts::kCompareWithFile));
  button->setObjectName(QStringLiteral("btPorovnat"));
  button->setAccessibleName(U(texts::kCompareWithFile));
  button->setToolTip(U(texts::kCompareWithFileTip));
  // A click takes the focus, so the field being left is checked first.
  button->setFocusPolicy(Qt::StrongFocus);
  return button;
}

void Comparing::CompareWithFile() {
  Services& sv = sv_;
  if (sv.files == nullptr) return;
  const auto chosen = sv.files->AskCompare();
  if (!chosen || chosen->empty()) return;
  const Workspace& ws = ws_;
  auto file = std::make_unique<Workspace>();
  file->scales = ws.scales;
  file->decimalSeparator = ws.decimalSeparator;
  Failure why;
  switch (LoadConfigFile(*chosen, *file, &why)) {
    case LoadResult::ReadError:
      sv.messages.Show(Icon::Error, WithReason(texts::ConfigFileLoadErrorText(*chosen), why));
      return;
    case LoadResult::NotValid:
      sv.messages.Show(Icon::Information, WithReason(texts::ConfigFileFormatErrorText(*chosen), why));
      return;
    case LoadResult::Loaded: break;
  }
  Present(U(texts::kCompareFileWhat).arg(Q(*chosen)),
          U(texts::kCompareInProgram), U(texts::kCompareInFile),
          CompareStored(ws.config, file->config, ws.scales, ws.decimalSeparator));
}

CompareDialog* Comparing::dialog() const { return dialog_; }

void Comparing::ShowWriteChanges(const WriteBackup& backup) {
  Present(U(texts::kCompareWriteWhat).arg(Q(backup.path)),
          U(texts::kCompareBeforeWrite), U(texts::kCompareWritten),
          CompareStored(backup.config, ws_.config, ws_.scales, ws_.decimalSeparator));
}

}  // namespace vexa::ui
