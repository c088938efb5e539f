// The print button "Tisk nastavení" (btTisk) and the preview button
// "Náhled tisku" (btNahled) of the main window.
#pragma once

#include <QString>

namespace vexa::ui {

class MainWindow;

// Enables both buttons and connects them: btTisk prints the report through
// the print dialog, with the window's progress window; btNahled shows the
// print preview of one copy. The printer settings chosen in the dialog are
// kept for the rest of the run.
void AttachPrinting(MainWindow& window);

// The folder a printout to a PDF file was last written to; the print dialog
// proposes it for the next one. Empty before the first, or without printing
// attached.
QString PdfFolder(MainWindow& window);
void SetPdfFolder(MainWindow& window, const QString& folder);

}  // namespace vexa::ui
