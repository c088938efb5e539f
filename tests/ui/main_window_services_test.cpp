// The Qt services behind the main window: message boxes, the file dialog and
// the event loop, driven as a user would.
#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <fstream>
#include <functional>

#include "qt/qt_event_loop.h"
#include "qt/qt_file_dialog.h"
#include "qt/qt_message_box.h"
#include "ui/main_window.h"
#include "workspace/workspace.h"

namespace vexa::qt {
namespace {

TEST(QtMessageBoxTest, BoxesShowKindTextAndCzechButtons) {
  struct Case {
    Icon icon;
    Buttons buttons;
    QMessageBox::Icon qtIcon;
    QStringList captions;
    bool noByDefault = false;
    QMessageBox::StandardButton enter = QMessageBox::Ok;  // the default button
  };
  const Case cases[] = {
      {Icon::Error, Buttons::Ok, QMessageBox::Critical, {"OK"}},
      {Icon::Warning, Buttons::Ok, QMessageBox::Warning, {"OK"}},
      {Icon::Information, Buttons::Ok, QMessageBox::Information, {"OK"}},
      {Icon::Question, Buttons::YesNo, QMessageBox::Question, {"&Ano", "&Ne"}, false, QMessageBox::Yes},
      // Overwriting a file, stopping a write: Enter answers No.
      {Icon::Question, Buttons::YesNo, QMessageBox::Question, {"&Ano", "&Ne"}, true, QMessageBox::No},
      {Icon::Question, Buttons::YesNoCancel, QMessageBox::Question, {"&Ano", "&Ne", "&Storno"}, false, QMessageBox::Yes},
  };
  for (const Case& c : cases) {
    QMessageBox box;
    // Character sets with "<" and ">" belong to some messages: plain text.
    QtMessageBox::Prepare(box, c.icon, "Text <b>x</b>\r\nřádek", c.buttons, c.noByDefault);
    EXPECT_EQ(box.defaultButton(), box.button(c.enter));
    EXPECT_EQ(box.windowTitle(), "VEXA Init");
    EXPECT_EQ(box.icon(), c.qtIcon);
    EXPECT_EQ(box.textFormat(), Qt::PlainText);
    EXPECT_EQ(box.text().toStdString(), "Text <b>x</b>\nřádek");
    QStringList captions;
    for (QAbstractButton* b : box.buttons()) captions << b->text();
    captions.sort();
    QStringList expected = c.captions;
    expected.sort();
    EXPECT_EQ(captions, expected);
  }
}

TEST(QtMessageBoxTest, ReturnsTheButtonChosen) {
  QWidget owner;
  owner.show();
  QtMessageBox boxes(&owner);
  struct Case {
    Buttons buttons;
    QMessageBox::StandardButton press;  // NoButton: Escape
    Answer answer;
  };
  const Case cases[] = {
      {Buttons::Ok, QMessageBox::Ok, Answer::Ok},
      {Buttons::YesNo, QMessageBox::Yes, Answer::Yes},
      {Buttons::YesNo, QMessageBox::No, Answer::No},
      {Buttons::YesNo, QMessageBox::NoButton, Answer::No},
      {Buttons::YesNoCancel, QMessageBox::No, Answer::No},
      {Buttons::YesNoCancel, QMessageBox::NoButton, Answer::Cancel},
  };
  for (const Case& c : cases) {
    QTimer::singleShot(0, [&c, &owner] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->parentWidget(), &owner);
      if (c.press == QMessageBox::NoButton) {
        QTest::keyClick(box, Qt::Key_Escape);
      } else {
        box->button(c.press)->click();
      }
    });
    EXPECT_EQ(boxes.Show(Icon::Question, "Otázka?", c.buttons), c.answer);
  }
}

TEST(QtFileDialogTest, FilterOptionsAndLastPath) {
  EXPECT_EQ(QtFilterOf(QString::fromUtf8(kEepFilter)), "EEPROM (*.eep)");
  QWidget owner;
  QtFileDialog files(&owner);

  QFileDialog& save = files.prepareSave();
  EXPECT_EQ(save.acceptMode(), QFileDialog::AcceptSave);
  EXPECT_TRUE(save.testOption(QFileDialog::DontConfirmOverwrite));
  EXPECT_EQ(save.nameFilters(), QStringList{"EEPROM (*.eep)"});
  EXPECT_EQ(save.defaultSuffix(), "eep");

  QFileDialog& open = files.prepareOpen();
  EXPECT_EQ(&open, &save);  // one dialog serves both
  EXPECT_EQ(open.acceptMode(), QFileDialog::AcceptOpen);
  EXPECT_EQ(open.fileMode(), QFileDialog::ExistingFile);
  EXPECT_EQ(open.nameFilters(), QStringList{"EEPROM (*.eep)"});
}

TEST(QtFileDialogTest, OpensShowingNameSizeAndDateUncut) {
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  QFile file(QDir(tmp.path()).filePath(QStringLiteral("Čerpací stanice Horní Lhota – vrt 2.eep")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  // This run's backup folder, and another run's left in Qt's side bar.
  const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
  qputenv("XDG_DATA_HOME", tmp.path().toUtf8());
  ASSERT_TRUE(QDir(tmp.path()).mkpath(QStringLiteral("vexa-init/backups")));
  QWidget owner;
  QtFileDialog files(&owner);
  files.prepareOpen().setSidebarUrls({QUrl::fromLocalFile(QStringLiteral("/elsewhere/vexa-init/backups"))});
  QFileDialog& d = files.prepareOpen();
  d.setOption(QFileDialog::DontUseNativeDialog);
  d.setDirectory(tmp.path() + QStringLiteral("/vexa-init/backups"));
  d.setDirectory(tmp.path());
  d.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
  auto* view = d.findChild<QTreeView*>(QStringLiteral("treeView"));
  ASSERT_NE(view, nullptr);
  QTest::qWait(200);  // the directory is read in the background
  const QHeaderView* head = view->header();
  // Name, size and date (column 3) in full within the view.
  for (int column : {0, 1, 3}) {
    SCOPED_TRACE(column);
    EXPECT_FALSE(head->isSectionHidden(column));
    EXPECT_LE(head->sectionViewportPosition(column) + head->sectionSize(column), view->viewport()->width());
  }
  EXPECT_GE(head->sectionSize(0), view->fontMetrics().horizontalAdvance(QFileInfo(file).fileName()));
  // The side bar names this run's backup folder in Czech, also once Qt has
  // read the folder, and only it.
  auto* side = d.findChild<QListView*>(QStringLiteral("sidebar"));
  ASSERT_NE(side, nullptr);
  QStringList names;
  for (int row = 0; row < side->model()->rowCount(); ++row) names << side->model()->index(row, 0).data().toString();
  EXPECT_EQ(names, QStringList{"Zálohy zařízení"});
  d.hide();
  qputenv("XDG_DATA_HOME", dataHome);
}

// Answers the file dialog that is up: `name` typed (none: as proposed),
// then accepted or cancelled; what it showed when it came up is kept.
void AnswerDialog(const QString& name, bool accept, QString* shown = nullptr) {
  QTimer::singleShot(0, [=] {
    auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(d, nullptr);
    auto* edit = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(edit, nullptr);
    if (shown != nullptr) *shown = QDir(d->directory()).filePath(edit->text());
    if (!name.isEmpty()) edit->setText(name);
    QMetaObject::invokeMethod(d, accept ? "accept" : "reject");
  });
}

// Each dialog starts from what it is told, never from the name it showed
// last: not after a comparison, a cancelled dialog or a typed name. A bare
// proposal goes into the folder last saved to.
TEST(QtFileDialogTest, EachDialogStartsFromItsProposal) {
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  const QDir dir(tmp.path());
  { std::ofstream(dir.filePath(QStringLiteral("other-unit.eep")).toStdString()) << "x"; }
  QWidget owner;
  owner.show();
  QtFileDialog files(&owner);

  // A name typed without extension gets ".eep"; its folder is the save folder.
  files.ProposeSave("VEXA.eep");
  AnswerDialog(dir.filePath(QStringLiteral("stanice")), true);
  const auto saved = files.AskSave();
  ASSERT_TRUE(saved.has_value());
  EXPECT_EQ(QString::fromStdString(*saved), QDir::toNativeSeparators(dir.filePath(QStringLiteral("stanice.eep"))));

  const std::string inWindow = dir.filePath(QStringLiteral("A.eep")).toStdString();
  struct Case {
    const char* what;
    std::function<void()> before;
    std::string proposal;
    QString startsFrom;
  } cases[] = {
      {"after a comparison",
       [&] {
         AnswerDialog(dir.filePath(QStringLiteral("other-unit.eep")), true);
         EXPECT_TRUE(files.AskCompare().has_value());
       },
       "Stanice.eep", dir.filePath(QStringLiteral("Stanice.eep"))},
      {"after a cancelled comparison with a typed name",
       [&] {
         AnswerDialog(QStringLiteral("typed.eep"), false);
         EXPECT_FALSE(files.AskCompare().has_value());
       },
       "Stanice.eep", dir.filePath(QStringLiteral("Stanice.eep"))},
      {"after a cancelled save", [&] {
         AnswerDialog(QStringLiteral("typed.eep"), false);
         EXPECT_FALSE(files.AskSave().has_value());
       },
       inWindow, QString::fromStdString(inWindow)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.before();
    files.ProposeSave(c.proposal);
    QString shown;
    AnswerDialog(QString(), false, &shown);
    EXPECT_FALSE(files.AskSave().has_value());
    EXPECT_EQ(shown, c.startsFrom);
  }

  // The open dialog selects the file in the window, and none after a read.
  for (const std::string& current : {*saved, std::string()}) {
    files.SetCurrentFile(current);
    QString shown;
    AnswerDialog(QString(), false, &shown);
    EXPECT_FALSE(files.AskOpen().has_value());
    EXPECT_EQ(QDir::toNativeSeparators(shown).toStdString(), current.empty() ? dir.path().toStdString() : current);
  }
}

TEST(QtEventLoopTest, YieldRunsWhatIsWaiting) {
  QtEventLoop loop;
  int ran = 0;
  QTimer::singleShot(0, [&ran] { ++ran; });
  loop.Yield();
  EXPECT_EQ(ran, 1);
  loop.Yield();  // nothing waiting: returns at once
  EXPECT_EQ(ran, 1);
}

}  // namespace
}  // namespace vexa::qt

// The window with its own services: a real message box takes the focus while
// it is up; the rule reports once and the focus ends in the failing field.

namespace vexa::ui {
namespace {

TEST(MainWindowRealServicesTest, FailingRuleShowsOneRealMessageBox) {
  Workspace ws;
  MainWindow window(ws);
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  auto* pin = window.findChild<QLineEdit*>(QStringLiteral("tabPIN"));
  auto* name = window.findChild<QLineEdit*>(QStringLiteral("tabJmenoStanice"));
  ASSERT_TRUE(pin && name);
  pin->setFocus(Qt::MouseFocusReason);
  QTest::keyClicks(pin, "12a");

  QStringList texts;
  std::function<void()> answer = [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      texts << box->text();
      box->button(QMessageBox::Ok)->click();
    }
    if (texts.size() < 3) QTimer::singleShot(20, &window, answer);
  };
  // Tied to the window: no answer is left waiting for a later test.
  QTimer::singleShot(20, &window, answer);
  name->setFocus(Qt::TabFocusReason);
  for (int i = 0; i < 20; ++i) QTest::qWait(10);
  ASSERT_EQ(texts.size(), 1);
  EXPECT_EQ(texts[0].section(QLatin1Char('\n'), 0, 0), QStringLiteral("PIN je špatně zadán."));
  window.activateWindow();
  (void)QTest::qWaitForWindowActive(&window);  // offscreen windows may never report active
  QTest::qWait(20);
  EXPECT_EQ(QApplication::focusWidget(), pin);
  EXPECT_EQ(texts.size(), 1);
}

}  // namespace
}  // namespace vexa::ui
