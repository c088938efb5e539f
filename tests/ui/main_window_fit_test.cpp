// The main window on small screens and at large scalings: its minimum size
// fits the screen, the panels under the tabs wrap without losing anything,
// the long texts of the tables get the spare width and a cut text shows
// whole in its tooltip.
//
// With VEXA_SHOTS_DIR set, a picture of every tab at each size is saved there.
#include <QDir>
#include <QScrollArea>
#include <QScrollBar>

#include "ui/main_window_support.h"
#include "support/find_child.h"

namespace vexa::ui::testing {
namespace {

using FitTest = MainWindowTest;

TEST_F(FitTest, WindowFitsTheScreenAtItsScaling) {
  struct Case {
    const char* screen;
    QSize pixels;  // the screen's room for the window
    double scale;  // QT_SCALE_FACTOR: logical sizes stay, pixels grow
    bool tablesFitSideways;
    const char* cutCell;  // a cell whose longest text is cut at that size
  };
  const Case cases[] = {
      {"1366x768 at 125 %", {1366, 740}, 1.25, true, "tabAINNazev0"},
      {"1600x1000 at 200 %", {1600, 960}, 2.0, false, "tabINPNazev0"},
  };
  const QStringList panels = {"frProgram", "frKomunikace", "frNastaveni", "frInformace"};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.screen);
    const QSize room(static_cast<int>(c.pixels.width() / c.scale), static_cast<int>(c.pixels.height() / c.scale));
    const QSize minimum = window->minimumSizeHint();
    EXPECT_LE(minimum.width(), room.width());
    EXPECT_LE(minimum.height(), room.height());

    window->resize(room);
    QTabWidget* tabs = Child<QTabWidget>(*window, "TabList");
    tabs->setCurrentIndex(kTabAnalog14);
    Settle();
    // The panels are whole, side by side or wrapped, and none covers another.
    for (int i = 0; i < panels.size(); ++i) {
      QWidget* p = Find(panels[i]);
      const QRect r(p->mapTo(window.get(), QPoint(0, 0)), p->size());
      EXPECT_TRUE(window->rect().contains(r)) << panels[i].toStdString();
      EXPECT_GE(p->width(), p->minimumSizeHint().width()) << panels[i].toStdString();
      EXPECT_GE(p->height(), p->minimumSizeHint().height()) << panels[i].toStdString();
      for (int j = 0; j < i; ++j) {
        const QRect q(Find(panels[j])->mapTo(window.get(), QPoint(0, 0)), Find(panels[j])->size());
        EXPECT_FALSE(r.intersects(q)) << panels[i].toStdString() << " " << panels[j].toStdString();
      }
    }
    const QString shots = qEnvironmentVariable("VEXA_SHOTS_DIR");
    for (int t = 0; t < tabs->count() && !shots.isEmpty(); ++t) {
      tabs->setCurrentIndex(t);
      Settle();
      window->grab().save(QDir(shots).filePath(QStringLiteral("fit%1-tab%2.png").arg(room.width()).arg(t)));
    }
    tabs->setCurrentIndex(kTabAnalog14);
    Settle();
    auto* analogs = qobject_cast<QScrollArea*>(tabs->widget(kTabAnalog14));
    ASSERT_NE(analogs, nullptr);
    EXPECT_EQ(analogs->horizontalScrollBar()->isVisible(), !c.tablesFitSideways);
    // The long texts get lines of their own: room for some twenty-five
    // letters, where they used to have about ten.
    QLineEdit* text = Edit(Cell("tabAINCL1Up", 0));
    EXPECT_GE(text->width(), text->fontMetrics().horizontalAdvance(QString(25, QLatin1Char('a'))));

    // A text that does not fit shows whole in the tooltip, above the
    // column's meaning; one that fits leaves the meaning alone.
    const char* cells[] = {c.cutCell, "tabOUTZap0", "tabAINCL2Dn4", "tabTC0"};
    for (const char* name : cells) {
      QLineEdit* cell = Edit(name);
      for (int t = 0; t < tabs->count(); ++t) {
        if (tabs->widget(t)->isAncestorOf(cell)) tabs->setCurrentIndex(t);
      }
      Settle();
      const QString meaning = cell->toolTip();
      const QString longest = cell->objectName() == "tabTC0" ? QString(cell->maxLength(), QLatin1Char('8'))
                                                             : QString(cell->maxLength(), QLatin1Char('W'));
      cell->setText(longest);
      EXPECT_EQ(cell->toolTip(), longest + QStringLiteral("\n\n") + meaning) << name;
      cell->setText(QStringLiteral("1"));
      EXPECT_EQ(cell->toolTip(), meaning) << name;
    }
  }
}

}  // namespace
}  // namespace vexa::ui::testing
