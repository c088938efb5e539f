// The main window's print and preview buttons once printing is attached; the
// preview shows the report exactly as it would be printed.
#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTimer>
#include <QToolButton>

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

}  // namespace
}  // namespace vexa::ui
