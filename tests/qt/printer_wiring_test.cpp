// The main window's print and preview buttons once printing is attached; the
// preview shows the report exactly as it would be printed.
#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include "texts/texts.h"
#include "ui/main_window.h"
#include "ui/window_commands.h"
#include "workspace/workspace.h"

namespace vexa::ui {
namespace {

TEST(AttachPrinting, EnablesAndConnectsBothButtonsOnce) {
  Workspace ws;
  MainWindow window(ws);
  auto* print = window.findChild<QToolButton*>("btTisk");
  auto* preview = window.findChild<QToolButton*>("btNahled");
  ASSERT_NE(print, nullptr);
  ASSERT_NE(preview, nullptr);
  EXPECT_FALSE(print->isEnabled());
  AttachPrinting(window);
  AttachPrinting(window);
  EXPECT_TRUE(print->isEnabled());
  EXPECT_TRUE(preview->isEnabled());
  EXPECT_EQ(print->toolTip(), QString::fromUtf8("Tisk nastavení"));
  EXPECT_EQ(window.findChildren<QObject*>("PrintWiring").size(), 1);
}

TEST(AttachPrinting, PreviewShowsTheWholeReport) {
  Workspace ws;
  ws.config.general.JmenoStanice = "Náhled";
  MainWindow window(ws);
  AttachPrinting(window);
  window.show();
  int pages = -1;
  bool seen = false;
  // The preview is modal: look at it from inside its event loop, then close it.
  QTimer::singleShot(300, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* dialog = qobject_cast<QPrintPreviewDialog*>(w);
      if (!dialog || !dialog->isVisible()) continue;
      seen = true;
      if (auto* view = dialog->findChild<QPrintPreviewWidget*>()) pages = view->pageCount();
      const QString shots = QString::fromUtf8(VEXA_BINARY_DIR) + "/../shots";
      if (QDir(shots).exists()) dialog->grab().save(shots + "/print-preview.png");
      dialog->reject();
    }
  });
  window.findChild<QToolButton*>("btNahled")->click();
  EXPECT_TRUE(seen);
  EXPECT_EQ(pages, 2);  // the phone table runs onto a second A4 page
}

// After a print the status line says where the PDF went; the next PDF is
// proposed in that folder under the configuration's name (the first one too,
// where Qt's dialog names a PDF after the document, as it does on X11).
TEST(AttachPrinting, StatusNamesThePdfAndTheNextIsProposedUnderTheStationName) {
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  Workspace ws;
  MainWindow window(ws);
  AttachPrinting(window);
  window.show();
  const QString pdf = QDir(tmp.path()).filePath(QStringLiteral("tisk.pdf"));
  QString proposed;
  auto answer = [&](bool print) {
    QTimer::singleShot(300, [&, print] {
      auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
      ASSERT_NE(name, nullptr);
      proposed = name->text();
      name->setText(pdf);  // not into the home folder
      print ? dialog->accept() : dialog->reject();
    });
    window.findChild<QToolButton*>("btTisk")->click();
  };
  answer(true);
  EXPECT_GT(QFileInfo(pdf).size(), 0);
  EXPECT_EQ(window.statusBar()->currentMessage(),
            QString::fromStdString(texts::PrintedToPdfStatus(QDir::toNativeSeparators(pdf).toStdString())));
  ws.config.general.JmenoStanice = "Vrt 3";
  answer(false);
  EXPECT_EQ(proposed, QDir(tmp.path()).filePath(QStringLiteral("Vrt 3.pdf")));
}

}  // namespace
}  // namespace vexa::ui
