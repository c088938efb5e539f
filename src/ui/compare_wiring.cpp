#include "ui/compare_wiring.h"

#include <QPushButton>
#include <memory>
#include <string>

#include "file/config_file.h"
#include "link/workflows.h"
#include "ui/compare_dialog.h"
#include "ui/main_window.h"
#include "workspace/compare.h"
#include "workspace/workspace.h"

namespace vexa::ui {
namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Shows the differences, or the message that there are none.
void Present(MainWindow& window, const QString& what, const QString& headA, const QString& headB,
             const std::vector<FieldDifference>& differences) {
  if (differences.empty()) {
    window.services().messages.Show(Icon::Information, kMsgSameSettings);
    return;
  }
  CompareDialog* dialog = CompareDialogOf(window);
  if (dialog == nullptr) dialog = new CompareDialog(&window);
  dialog->ShowDifferences(QStringLiteral("Porovnání nastavení"), what, headA, headB, differences);
}

}  // namespace

QPushButton* MakeCompareButton() {
  auto* button = new QPushButton(QStringLiteral("Porovnat se souborem"));
  button->setObjectName(QStringLiteral("btPorovnat"));
  button->setAccessibleName(QStringLiteral("Porovnat se souborem"));
  button->setToolTip(QStringLiteral("Porovnat nastavení v programu s nastavením uloženým v souboru"));
  // A click takes the focus, so the field being left is checked first.
  button->setFocusPolicy(Qt::StrongFocus);
  return button;
}

void CompareWithFile(MainWindow& window) {
  Services& sv = window.services();
  if (sv.files == nullptr) return;
  const auto chosen = sv.files->AskCompare();
  if (!chosen || chosen->empty()) return;
  const Workspace& ws = window.workspace();
  auto file = std::make_unique<Workspace>();
  file->scales = ws.scales;
  file->decimalSeparator = ws.decimalSeparator;
  switch (LoadConfigFile(*chosen, *file)) {
    case LoadResult::ReadError: sv.messages.Show(Icon::Error, ConfigFileLoadErrorText(*chosen)); return;
    case LoadResult::NotValid: sv.messages.Show(Icon::Information, ConfigFileFormatErrorText(*chosen)); return;
    case LoadResult::Loaded: break;
  }
  Present(window, QStringLiteral("Nastavení v programu a v souboru '%1':").arg(Q(*chosen)),
          QStringLiteral("V programu"), QStringLiteral("V souboru"),
          CompareStored(ws.config, file->config, ws.scales, ws.decimalSeparator));
}

void ShowWriteChanges(MainWindow& window, const link::WriteBackup& backup) {
  Present(window,
          QStringLiteral("Nastavení zařízení před zápisem (záloha '%1') a zapsané nastavení:").arg(Q(backup.path)),
          QStringLiteral("Před zápisem"), QStringLiteral("Zapsáno"),
          CompareStored(backup.config, window.workspace().config, window.workspace().scales,
                        window.workspace().decimalSeparator));
}

CompareDialog* CompareDialogOf(MainWindow& window) {
  return window.findChild<CompareDialog*>(QStringLiteral("Porovnani"), Qt::FindDirectChildrenOnly);
}

}  // namespace vexa::ui
