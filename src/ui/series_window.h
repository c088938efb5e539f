// The series window "Programování série": the template is the configuration
// in the main window, the table a CSV file of what differs per unit (shown
// with each cell that breaks a rule marked, its reason in the tooltip; a
// table with any problem is refused whole). "Zapsat do další jednotky" runs
// the next pending row through the series workflow, with the usual
// activation, questions and progress window; each row shows its state
// ("čeká", "zapsáno", "chyba" and why) and the log beside the table
// (TABLE.log.csv) gets its line after every unit, so reopening the same
// table continues where the series stopped.
#pragma once

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "file/series_log.h"
#include "file/series_table.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace vexa {
struct Workspace;
struct Services;
namespace link {
class UnitSession;
}
}  // namespace vexa

namespace vexa::ui {

class SeriesWindow : public QDialog {
  Q_OBJECT
 public:
  // `ws` is the main window's workspace (its configuration is the template,
  // its settings and port are the series'); the units are written through
  // `link` in a workspace of the series' own.
  SeriesWindow(Workspace& ws, Services& sv, link::UnitSession& link, QWidget* parent = nullptr);
  ~SeriesWindow() override;

  // Reads and checks the table, and the log beside it; false when the table
  // cannot be read or is refused (its problems marked and listed).
  bool LoadTable(const std::string& path);
  // Writes the next pending row into the unit on the port.
  void WriteNext();

  QTableWidget* table() const { return table_; }
  const std::string& logPath() const { return logPath_; }

 private:
  void AskForTable();
  void ShowTable();
  void MarkProblems();
  void ShowStates();
  void SetState(int row, const char* state, const std::string& reason);
  void ShowSummary();

  Workspace& ws_;
  Services& sv_;
  link::UnitSession& link_;
  SeriesTable series_;
  std::string logPath_;
  std::vector<SeriesLogEntry> log_;
  QTableWidget* table_ = nullptr;
  QLabel* lbLog_ = nullptr;
  QLabel* lbState_ = nullptr;
  QPushButton* btLoad_ = nullptr;
  QPushButton* btNext_ = nullptr;
};

}  // namespace vexa::ui
