// How the main window is laid out: the seven tabs above, the panels below
// them (wrapping into a second line when the window is narrow), the port's
// device in the status line.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "texts/texts.h"
#include "ui/field_binding.h"
#include "ui/field_controller.h"
#include "ui/general_tab.h"
#include "ui/info_panel.h"
#include "ui/link_panel.h"
#include "ui/main_window.h"
#include "ui/port_selector.h"
#include "ui/row_tables.h"
#include "ui/settings_panel.h"
#include "ui/sms_tab.h"
#include "ui/wrap_layout.h"

namespace vexa::ui {
namespace {

// A page in a scroll area that lies on the tab's own background.
QScrollArea* Scrolled(QWidget* page) {
  auto* area = new QScrollArea;
  area->setWidgetResizable(true);
  area->setFrameShape(QFrame::NoFrame);
  area->setWidget(page);
  area->viewport()->setAutoFillBackground(false);
  page->setAutoFillBackground(false);
  return area;
}

}  // namespace

void MainWindow::BuildWindow() {
  auto* central = new QWidget(this);
  central->setObjectName(QStringLiteral("Plocha"));
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->setSpacing(8);

  tabList_ = new QTabWidget(central);
  tabList_->setObjectName(QStringLiteral("TabList"));
  general_ = new GeneralTab(*fields_, ws_);
  sms_ = new SmsTab(*fields_);
  auto* phones = new PhoneTab(*fields_);
  // The tall pages scroll rather than make the window taller than a small
  // screen.
  tabList_->addTab(Scrolled(general_), TabTitle(Tab::Vseobecne));
  tabList_->addTab(Scrolled(sms_), TabTitle(Tab::SmsZpravy));
  AddRowTab(new RowTable(*fields_, RowTable::Inputs()), TabTitle(Tab::DigVstupy));
  AddRowTab(new RowTable(*fields_, RowTable::Outputs()), TabTitle(Tab::DigVystupy));
  AddRowTab(new RowTable(*fields_, RowTable::Analogs(0, 3)), TabTitle(Tab::Analog14));
  AddRowTab(new RowTable(*fields_, RowTable::Analogs(4, kRows - 1)), TabTitle(Tab::Analog58));
  AddRowTab(phones, TabTitle(Tab::TelCisla));
  connect(phones->table(), &RowTable::phoneRowClicked, this, &MainWindow::RunPhoneRowRule);
  for (int i = 0; i < tabList_->count(); ++i) {
    tabList_->widget(i)->setObjectName(QStringLiteral("TabList_%1").arg(i));
  }
  connect(tabList_, &QTabWidget::currentChanged, this, [this](int index) {
    QWidget* page = tabList_->widget(index);
    if (auto* edit = qobject_cast<FieldEdit*>(QApplication::focusWidget()); edit != nullptr && page->isAncestorOf(edit)) {
      edit->SelectWholeTextOnFirstClick();
    }
  });

  // The panels wrap into a second line when the window is narrow.
  auto* panels = new QWidget;
  auto* pl = new WrapLayout(panels);
  link_ = new LinkPanel(*fields_, sv_->ports);
  // The status line says which device the selected port opens.
  auto* portNote = new QLabel(link_->tabPort()->deviceNote());
  portNote->setObjectName(QStringLiteral("lblPortDevice"));
  statusBar()->addWidget(portNote);
  connect(link_->tabPort(), &PortSelector::deviceNoteChanged, portNote, &QLabel::setText);
  settings_ = new SettingsPanel(*fields_);
  info_ = new InfoPanel;
  pl->addWidget(BuildProgramPanel());
  pl->addWidget(link_);
  pl->addWidget(settings_);
  pl->addStretchedWidget(info_);

  layout->addWidget(tabList_, 1);
  layout->addWidget(panels);
  setCentralWidget(central);
  // The default size, within the screen when the screen is smaller.
  QSize size(1280, 720);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    size = size.boundedTo(screen->availableGeometry().size() * 0.95);
  }
  resize(size.expandedTo(minimumSizeHint()));
}

void MainWindow::AddRowTab(QWidget* page, const QString& title) {
  tabList_->addTab(page, title);
  auto* table = qobject_cast<RowTable*>(page);
  if (table == nullptr) {
    if (auto* phones = qobject_cast<PhoneTab*>(page)) table = phones->table();
  }
  if (table != nullptr) {
    connect(table, &RowTable::rowOpened, this, [this, table](int row) { OpenRow(table->family(), row); });
  }
}

// "Program": the about box and leaving the program.
QWidget* MainWindow::BuildProgramPanel() {
  auto* program = new QGroupBox(QString::fromUtf8(texts::kPanelProgram));
  program->setObjectName(QStringLiteral("frProgram"));
  auto* pl = new QVBoxLayout(program);
  btInformace_ = new QPushButton(QString::fromUtf8(texts::kProgramInfo));
  btInformace_->setObjectName(QStringLiteral("btInformace"));
  btInformace_->setToolTip(QString::fromUtf8(texts::kProgramInfoTip));
  btKonec_ = new QPushButton(QString::fromUtf8(texts::kProgramQuit));
  btKonec_->setObjectName(QStringLiteral("btKonec"));
  btKonec_->setToolTip(QString::fromUtf8(texts::kProgramQuitTip));
  pl->addWidget(btInformace_);
  pl->addWidget(btKonec_);
  pl->addStretch(1);
  return program;
}

}  // namespace vexa::ui
