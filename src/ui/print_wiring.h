// The print button "Tisk nastavení" (btTisk) and the preview button
// "Náhled tisku" (btNahled) of the main window: what they do, with the
// printer settings chosen in the dialog kept for the rest of the run. A PDF
// is proposed under the configuration's name; after a print the status line
// says where the PDF went or which printer took the job.
#pragma once

#include <QObject>
#include <QPrinter>
#include <QString>
#include <functional>
#include <string>

namespace vexa {
struct Workspace;
struct Services;
}  // namespace vexa

namespace vexa::ui {

class Printing : public QObject {
 public:
  // A child of `window`, over whose dialogs the print dialog and the preview
  // show.
  Printing(Workspace& ws, Services& sv, QWidget& window);

  // Prints the report through the print dialog, with the progress window.
  void Print();
  // Shows the print preview of one copy.
  void Preview();

  // The folder a printout to a PDF file was last written to; the print
  // dialog proposes it for the next one. Empty before the first.
  QString pdfFolder;
  // The name a PDF of the configuration is proposed under (without ".pdf");
  // the program's title when unset.
  std::function<std::string()> proposedName;
  // Shows a note in the window's status line.
  std::function<void(const QString&)> showStatus;

 private:
  Workspace& ws_;
  Services& sv_;
  QWidget& window_;
  QPrinter printer_;
};

}  // namespace vexa::ui
