// Comparing configurations in the main window: the button btPorovnat
// "Porovnat se souborem" sets the window's configuration against a ".eep"
// file's, and after a write with a backup the success message's "Zobrazit
// změny" sets the unit's former configuration against the one written. Both
// show the differences in the window "Porovnani", a child of the main window
// created on first use, or the message "Nastavení jsou shodná.".
#pragma once

#include <QPointer>
#include <vector>

#include "workspace/compare.h"

class QPushButton;
class QWidget;

namespace vexa {
struct Workspace;
struct Services;
struct WriteBackup;
}  // namespace vexa

namespace vexa::ui {

class CompareDialog;


// The button btPorovnat; the window binds CompareWithFile to it as a command.
QPushButton* MakeCompareButton();

class Comparing {
 public:
  // The compare dialog is a child of `window`.
  Comparing(Workspace& ws, Services& sv, QWidget& window) : ws_(ws), sv_(sv), window_(window) {}

  // Asks for a ".eep" file and compares. The file is read and decoded into a
  // configuration of its own: the window's configuration and image stay as
  // they are. A file that cannot be read or decoded gets the load command's
  // message.
  void CompareWithFile();

  // The differences between what the unit held before the write and the
  // window's configuration, which was written.
  void ShowWriteChanges(const WriteBackup& backup);

  // The compare dialog, created on first use; null before.
  CompareDialog* dialog() const;

 private:
  void Present(const QString& what, const QString& headA, const QString& headB,
               const std::vector<FieldDifference>& differences);

  Workspace& ws_;
  Services& sv_;
  QWidget& window_;
  QPointer<CompareDialog> dialog_;
};

}  // namespace vexa::ui
