#include "ui/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDropEvent>
#include <QDialog>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "file/file_workflows.h"
#include "qt/progress_window.h"
#include "qt/qt_event_loop.h"
#include "qt/qt_file_dialog.h"
#include "qt/qt_message_box.h"
#include "qt/qt_port_list.h"
#include "ui/about_box.h"
#include "ui/field_binding.h"
#include "ui/file_drop.h"
#include "ui/port_selector.h"
#include "ui/row_editors.h"
#include "ui/window_shortcuts.h"
#include "workspace/usage.h"
#include "workspace/workspace.h"

namespace vexa::ui {
namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Increments a counter for the lifetime of a scope.
class CounterScope {
 public:
  explicit CounterScope(int& c) : c_(c) { ++c_; }
  ~CounterScope() { --c_; }
  CounterScope(const CounterScope&) = delete;
  CounterScope& operator=(const CounterScope&) = delete;

 private:
  int& c_;
};

bool IsRowFamily(Family f) { return f != Family::General && f != Family::Program; }

std::size_t SlotOf(FieldRef f) {
  return static_cast<std::size_t>(f.field) * kRows + static_cast<std::size_t>(std::clamp(f.row, 0, kRows - 1));
}

void SetTextColour(QWidget* w, const QColor& colour) {
  QPalette p = w->palette();
  p.setColor(QPalette::WindowText, colour);
  p.setColor(QPalette::Text, colour);
  w->setPalette(p);
}

// A caption text as an accessible name: without mnemonics, trailing colon
// and line breaks.
QString AccessibleFromCaption(QString caption) {
  caption.remove(QLatin1Char('&'));
  caption.replace(QLatin1Char('\n'), QLatin1Char(' '));
  caption = caption.simplified();
  while (caption.endsWith(QLatin1Char(':'))) caption.chop(1);
  return caption.trimmed();
}

// An icon of the desktop theme, or one of the style's own with an arrow laid
// over it where the picture alone would not tell the direction.
QIcon ButtonIcon(QStyle* style, const char* themeName, QStyle::StandardPixmap base,
                 QStyle::StandardPixmap overlay = QStyle::SP_CustomBase) {
  QIcon themed = QIcon::fromTheme(QString::fromLatin1(themeName));
  if (!themed.isNull()) return themed;
  QIcon icon = style->standardIcon(base);
  if (overlay == QStyle::SP_CustomBase) return icon;
  QPixmap pixmap = icon.pixmap(32, 32);
  if (pixmap.size() != QSize(32, 32)) pixmap = pixmap.scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  QPainter painter(&pixmap);
  style->standardIcon(overlay).paint(&painter, QRect(14, 14, 18, 18));
  painter.end();
  return QIcon(pixmap);
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction and start-up

MainWindow::MainWindow(Workspace& ws, QWidget* parent) : MainWindow(ws, nullptr, parent) {}

MainWindow::MainWindow(Workspace& ws, Services& sv, QWidget* parent) : MainWindow(ws, &sv, parent) {}

MainWindow::MainWindow(Workspace& ws, Services* sv, QWidget* parent) : QMainWindow(parent), ws_(ws) {
  setObjectName(QStringLiteral("Hlavni"));
  setWindowTitle(QStringLiteral("Inicializační program pro zařízení VEXA"));
  if (sv == nullptr) {
    ownMessages_ = std::make_unique<qt::QtMessageBox>(this);
    ownProgress_ = std::make_unique<qt::QtProgressWindow>(ws_.CancelRequested, this);
    ownLoop_ = std::make_unique<qt::QtEventLoop>();
    ownFiles_ = std::make_unique<qt::QtFileDialog>(this);
    ownPorts_ = std::make_unique<qt::QtPortList>();
    ownServices_.reset(new Services{*ownMessages_, *ownProgress_, *ownLoop_, ownFiles_.get(), this, ownPorts_.get()});
    sv_ = ownServices_.get();
  } else {
    sv_ = sv;
    sv_->view = this;
  }
  editors_ = std::make_unique<RowEditors>(ws_, *sv_, this);
  BuildWindow();
  AttachShortcuts(*this);
  setAcceptDrops(true);  // a .eep file dropped on the window is loaded
  StartUp();
}

MainWindow::~MainWindow() {
  if (sv_ != nullptr && sv_->view == this) sv_->view = nullptr;
  // The child widgets outlive this destructor body; focus moving among them
  // while they are torn down must not reach the half-destroyed window.
  for (QWidget* w : controls_) {
    if (w != nullptr) w->disconnect(this);
  }
  // The editors' dialogs are children of this window: let them go first.
  editors_.reset();
}

void MainWindow::StartUp() {
  // The tables, the analog scales and the computed levels were set up with
  // the workspace; the controls already show the start values.
  btDEA_->setText(QStringLiteral("Aktivovat"));
  CheckEnabled();
  LinkStateChanged();  // "Neaktivní", every identification label "?", usage
  UpdateMemoryUsage();
  ApplySwitchReportRule();
  ApplyPowerReportRule();
  // The not-authorised text starts disabled; its rule runs only when the
  // flag changes value.
  for (QWidget* w : notAuthorizedControls_) w->setEnabled(false);
}

AboutBox& MainWindow::aboutBox() {
  if (about_ == nullptr) about_ = new AboutBox(this);
  return *about_;
}

// ---------------------------------------------------------------------------
// Building the controls

void MainWindow::Register(FieldRef f, QWidget* w) {
  controls_[SlotOf(f)] = w;
  fieldOf_.insert(w, f);
  if (IsRowFamily(InfoOf(f.field).family)) w->setProperty("row", f.row);
}

QLineEdit* MainWindow::MakeEdit(FieldRef f, const QString& objectName, const QString& accessibleName,
                                const QString& tooltip) {
  auto* edit = new FieldEdit;
  edit->setObjectName(objectName);
  edit->setAccessibleName(accessibleName);
  if (!tooltip.isEmpty()) edit->setToolTip(tooltip);
  const int limit = InfoOf(f.field).maxLength;
  if (limit > 0) edit->setMaxLength(limit);
  if (const std::string* s = TextOf(ws_.config, ws_.settings, f)) edit->setText(Q(*s));
  Register(f, edit);
  connect(edit, &QLineEdit::textChanged, this, [this, f](const QString& t) { OnTextChanged(f, t); });
  connect(edit, &FieldEdit::focusLeft, this, [this, f](Qt::FocusReason r) { OnFieldLeft(f, r); });
  return edit;
}

QCheckBox* MainWindow::MakeCheck(FieldRef f, const QString& objectName, const QString& caption,
                                 const QString& tooltip) {
  auto* box = new QCheckBox(caption);
  box->setObjectName(objectName);
  if (!tooltip.isEmpty()) box->setToolTip(tooltip);
  if (caption.isEmpty()) box->setAccessibleName(tooltip);
  if (const bool* b = FlagOf(ws_.config, ws_.settings, f)) box->setChecked(*b);
  Register(f, box);
  connect(box, &QCheckBox::toggled, this, [this, f](bool on) { OnFlagToggled(f, on); });
  return box;
}

QLabel* MainWindow::MakeCaption(const QString& text, const char* objectName, QWidget* buddy) {
  auto* label = new QLabel(text);
  if (objectName != nullptr) label->setObjectName(QString::fromLatin1(objectName));
  if (buddy != nullptr) label->setBuddy(buddy);
  return label;
}

void MainWindow::BuildWindow() {
  auto* central = new QWidget(this);
  central->setObjectName(QStringLiteral("Plocha"));
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->setSpacing(8);

  tabList_ = new QTabWidget(central);
  tabList_->setObjectName(QStringLiteral("TabList"));
  tabList_->addTab(BuildGeneralTab(), QStringLiteral("Všeobecné"));
  tabList_->addTab(BuildSmsTab(), QStringLiteral("SMS zprávy"));

  const std::vector<Column> inputColumns = {
      {Field::INPNazev, "Název", "Název digitálního vstupu", 0},
      {Field::INPZap, "Název stavu\n'ZAPNUTO'", "Název stavu 'ZAPNUTO' pro tento digitální vstup", 0},
      {Field::INPVyp, "Název stavu\n'VYPNUTO'", "Název stavu 'VYPNUTO' pro tento digitální vstup", 0},
      {Field::INPLH, "Název přechodu\nVypnuto->Zapnuto", "Název přechodu 'Vypnuto->Zapnuto' pro tento digitální vstup",
       0},
      {Field::INPHL, "Název přechodu\nZapnuto->Vypnuto", "Název přechodu 'Zapnuto->Vypnuto' pro tento digitální vstup",
       0},
      {Field::INPLHEvent, "Hlásit\nVyp->Zap",
       "Posílat hlášení při přechodu 'Vypnuto->Zapnuto' pro tento digitální vstup", -1},
      {Field::INPHLEvent, "Hlásit\nZap->Vyp",
       "Posílat hlášení při přechodu 'Zapnuto->Vypnuto' pro tento digitální vstup", -1},
      {Field::INPNeg, "Negace", "Negace stavů Zapnuto<->Vypnuto", -1},
      {Field::INPZpr, "Ve\nzprávě", "Uvádět ve zprávě informace o tonto digitálním vstupu", -1},
  };
  tabList_->addTab(BuildTable(Family::Input, inputColumns, 0, kRows - 1, kEnabledInputs, "tabINPjmeno", "tabINPbt",
                              QStringLiteral("Možnosti"),
                              QStringLiteral("Zobrazit formulář pro změnu hodnot tohoto digitálního vstupu")),
                   QStringLiteral("Dig. vstupy"));

  const std::vector<Column> outputColumns = {
      {Field::OUTNazev, "Název", "Název digitálního výstupu", 0},
      {Field::OUTZap, "Název stavu 'ZAPNUTO'\n(příkaz zapnout)", "Název stavu 'ZAPNUTO' pro tento digitální výstup", 0},
      {Field::OUTVyp, "Název stavu 'VYPNUTO'\n(příkaz vypnout)", "Název stavu 'VYPNUTO' pro tento digitální výstup", 0},
      {Field::OUTimpuls, "Příkaz pro\nvyslání impulsu", "Příkaz pro vyslání impulsu na tento digitální výstup", 0},
      {Field::OUTimpulsLEN, "Délka\nimpulsu [s]", "doba trvání impulsu (0-255) x 0,1 sekund (např. 125=12,5 sekund)",
       64},
      {Field::OUTNeg, "Negace", "Negace stavů Zapnuto<->Vypnuto", -1},
      {Field::OUTZpr, "Ve\nzprávě", "Uvádět ve zprávě informace o tomto digitálním výstupu", -1},
  };
  tabList_->addTab(BuildTable(Family::Output, outputColumns, 0, kRows - 1, kEnabledOutputs, "tabOUTjmeno", "tabOUTbt",
                              QStringLiteral("Možnosti"),
                              QStringLiteral("Zobrazit formulář pro změnu hodnot tohoto digitálního výstupu")),
                   QStringLiteral("Dig. výstupy"));

  const std::vector<Column> analogColumns = {
      {Field::AINNazev, "Název", "Název analogového vstupu", 0},
      {Field::AINStateL, "Stav\n'nízká'", "Název stavu 'nízká' pro tento analogový vstup", 0},
      {Field::AINStateM, "Stav\n'normální'", "Název stavu 'normální' pro tento analogový vstup", 0},
      {Field::AINStateH, "Stav\n'vysoká'", "Název stavu 'vysoká' pro tento analogový vstup", 0},
      {Field::AINCL1Level, "CL1", "Hodnota úrovně CL1", 46},
      {Field::AINHCL1Level, "HCL1", "Hodnota  hystereze CL1", 46},
      {Field::AINCL2Level, "CL2", "Hodnota úrovně CL2", 46},
      {Field::AINHCL2Level, "HCL2", "Hodnota  hystereze CL2", 46},
      {Field::AINCL1Up, "Text\nCL1 nahoru", "Text SMS zprávy při přechodu přes CL1 nahoru", 0},
      {Field::AINCL1Dn, "Text\nCL1 dolu", "Text SMS zprávy při přechodu přes CL1 dolu", 0},
      {Field::AINCL2Up, "Text\nCL2 nahoru", "Text SMS zprávy při přechodu přes CL2 nahoru", 0},
      {Field::AINCL2Dn, "Text\nCL2 dolu", "Text SMS zprávy při přechodu přes CL2 dolu", 0},
      {Field::AINCL1UpEvent, "SMS\nCL1↑", "Posílat SMS zprávu při přechodu přes CL1 nahoru", -1},
      {Field::AINCL1DnEvent, "SMS\nCL1↓", "Posílat SMS zprávu při přechodu přes CL1 dolu", -1},
      {Field::AINCL2UpEvent, "SMS\nCL2↑", "Posílat SMS zprávu při přechodu přes CL2 nahoru", -1},
      {Field::AINCL2DnEvent, "SMS\nCL2↓", "Posílat SMS zprávu při přechodu přes CL2 dolu", -1},
      {Field::AINNeg, "Negace", "Negace analogového vstupu", -1},
      {Field::AINPrc, "Uvádět\nhodnotu", "Po hodnotě uvádět hodnotu", -1},
      {Field::AINZpr, "Uvádět\nstav", "Po hodnotě uvádět jméno stavu", -1},
  };
  const QString analogTip = QStringLiteral("Zobrazit formulář pro změnu hodnot tohoto analogového vstupu");
  tabList_->addTab(BuildTable(Family::Analog, analogColumns, 0, 3, kEnabledAnalogs, "tabAINJmeno", "tabAINbt",
                              QStringLiteral("Možnosti"), analogTip),
                   QStringLiteral("Analog. vstupy 1-4"));
  tabList_->addTab(BuildTable(Family::Analog, analogColumns, 4, 7, kEnabledAnalogs, "tabAINJmeno", "tabAINbt",
                              QStringLiteral("Možnosti"), analogTip),
                   QStringLiteral("Analog. vstupy 5-8"));
  if (QWidget* bat = control({Field::AINCL1Dn, kBatteryRow})) {
    bat->setToolTip(QStringLiteral(
        "Text SMS zprávy při přechodu přes CL1 dolu - TATO HLÁŠKA JE SHODNÁ S HLÁŠKOU O POKLESU NAPĚTÍ BATERIÍ"));
  }
  tabList_->addTab(BuildPhoneTab(), QStringLiteral("Tel. čísla"));
  for (int i = 0; i < tabList_->count(); ++i) {
    tabList_->widget(i)->setObjectName(QStringLiteral("TabList_%1").arg(i));
  }

  connect(tabList_, &QTabWidget::currentChanged, this, [this](int index) {
    QWidget* page = tabList_->widget(index);
    if (auto* edit = qobject_cast<FieldEdit*>(QApplication::focusWidget()); edit != nullptr && page->isAncestorOf(edit)) {
      edit->SelectWholeTextOnFirstClick();
    }
  });
  layout->addWidget(tabList_, 1);
  layout->addWidget(BuildBottomPanels());
  setCentralWidget(central);
  // The default size, within the screen when the screen is smaller.
  QSize size(1280, 720);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    size = size.boundedTo(screen->availableGeometry().size() * 0.95);
  }
  resize(size.expandedTo(minimumSizeHint()));
}

QWidget* MainWindow::BuildGeneralTab() {
  auto* page = new QWidget;
  auto* outer = new QVBoxLayout(page);

  // "Zařízení"
  auto* device = new QGroupBox(QStringLiteral("Zařízení"));
  device->setObjectName(QStringLiteral("frZarizeni"));
  auto* dg = new QGridLayout(device);
  auto* name = MakeEdit({Field::JmenoStanice}, QStringLiteral("tabJmenoStanice"), QStringLiteral("Název stanice"),
                        QStringLiteral("Název stanice"));
  auto* pin = MakeEdit({Field::PIN}, QStringLiteral("tabPIN"), QStringLiteral("PIN"),
                       QStringLiteral("PIN SIM karty, která je uložena ve stanici"));
  pin->setMaximumWidth(120);
  auto* centre = new FieldCombo;
  centre->setObjectName(QStringLiteral("tabTCcentra"));
  centre->setEditable(true);
  centre->setInsertPolicy(QComboBox::NoInsert);
  centre->setCompleter(nullptr);  // a typed beginning must not be completed to a suggestion
  for (const std::string& n : ws_.tables.smsCentres) centre->addItem(Q(n));
  centre->setEditText(Q(ws_.config.general.TCcentra));
  centre->setAccessibleName(QStringLiteral("Telefonní číslo servisního centra"));
  centre->lineEdit()->setAccessibleName(centre->accessibleName());
  centre->setToolTip(QStringLiteral("Telefonní číslo servisního centra SMS zpráv"));
  centre->setMinimumWidth(200);
  centre->setMaximumWidth(260);
  Register({Field::TCcentra}, centre);
  fieldOf_.insert(centre->lineEdit(), FieldRef{Field::TCcentra});
  connect(centre, &QComboBox::editTextChanged, this, [this](const QString& t) { OnTextChanged({Field::TCcentra}, t); });
  connect(centre, &FieldCombo::focusLeft, this, [this](Qt::FocusReason r) { OnFieldLeft({Field::TCcentra}, r); });

  dg->addWidget(MakeCaption(QStringLiteral("Název stanice:"), nullptr, name), 0, 0);
  dg->addWidget(name, 0, 1, 1, 2);
  dg->addWidget(MakeCaption(QStringLiteral("PIN:"), nullptr, pin), 1, 0);
  dg->addWidget(pin, 1, 1);
  dg->addWidget(MakeCaption(QStringLiteral("Telefonní číslo servisního centra:"), nullptr, centre), 2, 0);
  dg->addWidget(centre, 2, 1);
  dg->setColumnStretch(2, 1);

  // "Šetřící režim"
  auto* ps = new QGroupBox(QStringLiteral("Šetřící režim"));
  ps->setObjectName(QStringLiteral("frSetriciRezim"));
  auto* pl = new QVBoxLayout(ps);
  opEnablePS0_ = new QRadioButton(QStringLiteral("Bez šetřícího režimu"));
  opEnablePS0_->setObjectName(QStringLiteral("opEnablePS0"));
  opEnablePS1_ = new QRadioButton(QStringLiteral("Povolit šetřící režim"));
  opEnablePS1_->setObjectName(QStringLiteral("opEnablePS1"));
  (ws_.config.general.EnablePS ? opEnablePS1_ : opEnablePS0_)->setChecked(true);
  // The user cannot change the power-save mode; only a decoded
  // configuration does.
  opEnablePS0_->setEnabled(false);
  opEnablePS1_->setEnabled(false);
  Register({Field::EnablePS}, opEnablePS1_);
  connect(opEnablePS1_, &QRadioButton::toggled, this, [this](bool on) {
    ws_.config.general.EnablePS = on;
    CheckEnabled();
  });
  pl->addWidget(opEnablePS0_);
  pl->addWidget(opEnablePS1_);

  auto periodLine = [&](const QString& caption, const char* captionName, Field hours, const char* hoursName,
                        const char* hName, Field minutes, const char* minutesName, const char* mName) {
    auto* row = new QWidget;
    auto* rl = new QHBoxLayout(row);
    rl->setContentsMargins(0, 0, 0, 0);
    auto* h = MakeEdit({hours}, QString::fromLatin1(hoursName), AccessibleFromCaption(caption) + QStringLiteral(" h"));
    auto* m =
        MakeEdit({minutes}, QString::fromLatin1(minutesName), AccessibleFromCaption(caption) + QStringLiteral(" m"));
    h->setMaximumWidth(56);
    m->setMaximumWidth(56);
    QLabel* cap = MakeCaption(caption, captionName, h);
    QLabel* hl = MakeCaption(QStringLiteral("h"), hName);
    QLabel* ml = MakeCaption(QStringLiteral("m"), mName);
    rl->addWidget(cap);
    rl->addWidget(h);
    rl->addWidget(hl);
    rl->addWidget(m);
    rl->addWidget(ml);
    rl->addStretch();
    powerSaveControls_.insert(powerSaveControls_.end(), {cap, h, hl, m, ml});
    row->setVisible(false);  // hidden in this edition
    return row;
  };
  pl->addWidget(periodLine(QStringLiteral("Doba zapnutého modemu ................................"), "lblPSOn",
                           Field::PSOnH, "tabPSOnH", "lblPSOnH", Field::PSOnM, "tabPSOnM", "lblPSOnM"));
  pl->addWidget(periodLine(QStringLiteral("Doba vypnutého modemu ................................"), "lblPSOff",
                           Field::PSOffH, "tabPSOffH", "lblPSOffH", Field::PSOffM, "tabPSOffM", "lblPSOffM"));
  auto* superPs = MakeCheck({Field::SuperPS}, QStringLiteral("tabSuperPS"), QStringLiteral("Super šetřící režim"));
  auto* outOff = MakeCheck({Field::PSOutOff}, QStringLiteral("tabPSOutOff"),
                           QStringLiteral("Při vypnutém modemu vypnout výstupy"));
  superPs->setVisible(false);
  outOff->setVisible(false);
  pl->addWidget(superPs);
  pl->addWidget(outOff);
  powerSaveControls_.push_back(superPs);
  powerSaveControls_.push_back(outOff);

  outer->addWidget(device);
  auto* psRow = new QHBoxLayout;
  psRow->addWidget(ps);
  psRow->addStretch(1);
  outer->addLayout(psRow);
  outer->addStretch(1);
  return page;
}

QWidget* MainWindow::BuildSmsTab() {
  auto* page = new QWidget;
  auto* columns = new QHBoxLayout(page);
  auto* left = new QVBoxLayout;
  auto* right = new QVBoxLayout;

  // Authorisation and status reports.
  auto* auth = new QGroupBox;
  auth->setObjectName(QStringLiteral("frAutorizace"));
  auto* al = new QVBoxLayout(auth);
  al->addWidget(MakeCheck({Field::PINAuth}, QStringLiteral("tabPINAuth"),
                          QStringLiteral("Autorizace pomocí zadání PINu v příkazové zprávě")));
  al->addWidget(MakeCheck({Field::OdpovidatT0}, QStringLiteral("tabOdpovidatT0"),
                          QStringLiteral("Hlášení o stavu posílat i na telefonní číslo T1")));
  auto* prepnout = MakeCheck({Field::PrepnoutNepovolPristup}, QStringLiteral("tabPrepnoutNepovolPristup"),
                             QStringLiteral("Hlášení o nepovoleném přístupu posílat i na tel. číslo T1"));
  auto* notAuth = MakeCheck({Field::NotAuthorized}, QStringLiteral("tabNotAuthorized"),
                            QStringLiteral("Posílat hlášení, že není povolen přístup"));
  auto* notAuthText = MakeEdit({Field::rtNotAuthorized}, QStringLiteral("rtNotAuthorized"),
                               QStringLiteral("Text hlášení o nepovolení přístupu"));
  auto* notAuthCaption =
      MakeCaption(QStringLiteral("Text hlášení o nepovolení přístupu:"), "lblNotAuthorized", notAuthText);
  for (QWidget* w : std::initializer_list<QWidget*>{prepnout, notAuth, notAuthCaption, notAuthText}) {
    w->setVisible(false);  // hidden in this edition
    al->addWidget(w);
  }
  notAuthorizedControls_ = {notAuthCaption, notAuthText};

  // SMS validity.
  auto* validity = new QGroupBox;
  validity->setObjectName(QStringLiteral("frPlatnost"));
  auto* vl = new QHBoxLayout(validity);
  auto* days =
      MakeEdit({Field::DobaPlatnostiSMS}, QStringLiteral("tabDobaPlatnostiSMS"),
               QStringLiteral("Doba platnosti SMS zprávy"), QStringLiteral("Doba, po kterou je SMS zpráva platná"));
  days->setMaximumWidth(40);
  days->setAlignment(Qt::AlignRight);
  vl->addWidget(MakeCaption(QStringLiteral("Doba platnosti SMS zprávy je"), nullptr, days));
  vl->addWidget(days);
  vl->addWidget(MakeCaption(QStringLiteral("dnů  (1-30).")));
  vl->addStretch();

  // Battery.
  auto* battery = new QGroupBox(QStringLiteral("Baterie"));
  battery->setObjectName(QStringLiteral("frBaterie"));
  auto* bl = new QVBoxLayout(battery);
  bl->addWidget(MakeCheck({Field::Batt}, QStringLiteral("tabBatt"),
                          QStringLiteral("při poklesu napětí pod CL1 vypnout zařízení")));
  auto* battText =
      MakeEdit({Field::rtBattLow}, QStringLiteral("rtBattLow"), QStringLiteral("Text hlášení při poklesu napětí"));
  bl->addWidget(
      MakeCaption(QStringLiteral("Text hlášení při poklesu napětí\n = text při přechodu CL1 dolu u analog.vstup BAT:"),
                  nullptr, battText));
  bl->addWidget(battText);

  // A report group: its flag, and two captioned texts that the flag enables.
  auto reportGroup = [&](const QString& title, const char* frameName, Field flag, const char* flagName, Field on,
                         const char* onName, const char* onCaption, Field off, const char* offName,
                         const char* offCaption, std::vector<QWidget*>& controls) {
    auto* box = new QGroupBox(title);
    box->setObjectName(QString::fromLatin1(frameName));
    auto* gl = new QVBoxLayout(box);
    gl->addWidget(
        MakeCheck({flag}, QString::fromLatin1(flagName), QStringLiteral("posílat hlášení o zapnutí/vypnutí")));
    auto* onEdit = MakeEdit({on}, QString::fromLatin1(onName), QStringLiteral("Text hlášení při zapnutí"));
    auto* offEdit = MakeEdit({off}, QString::fromLatin1(offName), QStringLiteral("Text hlášení při vypnutí"));
    onEdit->setAccessibleDescription(title);
    offEdit->setAccessibleDescription(title);
    QLabel* onLabel = MakeCaption(QStringLiteral("Text hlášení při zapnutí:"), onCaption, onEdit);
    QLabel* offLabel = MakeCaption(QStringLiteral("Text hlášení při vypnutí:"), offCaption, offEdit);
    gl->addWidget(onLabel);
    gl->addWidget(onEdit);
    gl->addWidget(offLabel);
    gl->addWidget(offEdit);
    controls = {onLabel, onEdit, offLabel, offEdit};
    return box;
  };
  QGroupBox* power = reportGroup(QStringLiteral("Zapnutí/Vypnutí síťového napájení"), "frSitoveNapajeni",
                                 Field::PowerReport, "tabPowerReport", Field::rtPowerUp, "rtPowerUp", "lblPowerUp",
                                 Field::rtPowerDown, "rtPowerDown", "lblPowerDown", powerReportControls_);
  QGroupBox* unit = reportGroup(QStringLiteral("Zapnutí/Vypnutí zařízení"), "frZapnutiZarizeni", Field::SwitchReport,
                                "tabSwitchReport", Field::rtSwitchOn, "rtSwitchOn", "lblSwitchOn", Field::rtSwitchOff,
                                "rtSwitchOff", "lblSwitchOff", switchReportControls_);

  left->addWidget(auth);
  left->addWidget(validity);
  left->addWidget(battery);
  left->addStretch(1);
  right->addWidget(power);
  right->addWidget(unit);
  right->addStretch(1);
  columns->addLayout(left, 1);
  columns->addLayout(right, 1);
  return page;
}

QWidget* MainWindow::BuildTable(Family family, const std::vector<Column>& columns, int firstRow, int lastRow,
                                int enabledRows, const char* labelName, const char* buttonName,
                                const QString& buttonCaption, const QString& buttonTip) {
  auto* scroll = new QScrollArea;
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  auto* table = new QWidget;
  auto* grid = new QGridLayout(table);
  grid->setHorizontalSpacing(4);
  grid->setVerticalSpacing(4);

  const int buttonColumn = static_cast<int>(columns.size()) + 1;
  for (std::size_t c = 0; c < columns.size(); ++c) {
    const Column& col = columns[c];
    auto* header = new QLabel(QString::fromUtf8(col.header));
    header->setObjectName(QStringLiteral("hdr") + QString::fromLatin1(InfoOf(col.field).name) +
                          (firstRow > 0 ? QStringLiteral("_%1").arg(firstRow) : QString()));
    header->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    header->setToolTip(QString::fromUtf8(col.tooltip));
    // The narrow check-box columns would run their headings together.
    if (InfoOf(col.field).kind != FieldKind::Text) header->setContentsMargins(2, 0, 2, 0);
    grid->addWidget(header, 0, static_cast<int>(c) + 1);
    if (InfoOf(col.field).kind == FieldKind::Text) {
      if (col.width > 0) {
        grid->setColumnMinimumWidth(static_cast<int>(c) + 1, col.width);
      } else {
        grid->setColumnStretch(static_cast<int>(c) + 1, 1);
        grid->setColumnMinimumWidth(static_cast<int>(c) + 1, 70);
      }
    }
  }

  // Disabled rows show their text cells on the button face.
  QPalette greyed = table->palette();
  greyed.setColor(QPalette::Disabled, QPalette::Base, greyed.color(QPalette::Active, QPalette::Button));

  for (int row = firstRow; row <= lastRow; ++row) {
    const int gridRow = row - firstRow + 1;
    const QString rowLabel = Q(RowLabel(family, row));
    const bool enabled = row < enabledRows;
    std::vector<QWidget*> rowControls;

    auto* label = new QLabel(rowLabel);
    label->setObjectName(QString::fromLatin1(labelName) + QString::number(row));
    label->setProperty("row", row);
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(30);
    grid->addWidget(label, gridRow, 0);
    rowControls.push_back(label);

    for (std::size_t c = 0; c < columns.size(); ++c) {
      const Column& col = columns[c];
      const FieldRef ref{col.field, row};
      const QString name = QStringLiteral("tab") + QString::fromLatin1(InfoOf(col.field).name) + QString::number(row);
      QString accessible = QString::fromUtf8(col.header);
      accessible.replace(QLatin1Char('\n'), QLatin1Char(' '));
      accessible += QLatin1Char(' ') + rowLabel;
      QWidget* cell = nullptr;
      if (InfoOf(col.field).kind == FieldKind::Text) {
        QLineEdit* edit = MakeEdit(ref, name, accessible, QString::fromUtf8(col.tooltip));
        if (col.width > 0) {
          edit->setMaximumWidth(col.width + 16);
          edit->setAlignment(Qt::AlignRight);
        }
        edit->setPalette(greyed);
        connect(static_cast<FieldEdit*>(edit), &FieldEdit::doubleClicked, this,
                [this, family, row] { OpenRow(family, row); });
        grid->addWidget(edit, gridRow, static_cast<int>(c) + 1);
        cell = edit;
      } else {
        QCheckBox* box = MakeCheck(ref, name, QString(), QString::fromUtf8(col.tooltip));
        box->setAccessibleName(accessible);
        if (family == Family::Phone) {
          connect(box, &QCheckBox::clicked, this, [this, row] { RunPhoneRowRule(row); });
        }
        grid->addWidget(box, gridRow, static_cast<int>(c) + 1, Qt::AlignCenter);
        cell = box;
      }
      rowControls.push_back(cell);
    }

    auto* button = new QPushButton(buttonCaption);
    button->setObjectName(QString::fromLatin1(buttonName) + QString::number(row));
    button->setProperty("row", row);
    button->setToolTip(buttonTip);
    button->setAccessibleName(buttonCaption + QLatin1Char(' ') + rowLabel);
    connect(button, &QPushButton::clicked, this, [this, family, row] { OpenRow(family, row); });
    grid->addWidget(button, gridRow, buttonColumn);
    rowControls.push_back(button);

    if (!enabled) {
      for (QWidget* w : rowControls) w->setEnabled(false);
    }
  }

  // Only output 1 shows a pulse length; the others are hidden (and, from
  // O3 on, disabled with their rows).
  if (family == Family::Output) {
    for (int row = std::max(firstRow, 1); row <= lastRow; ++row) {
      if (QWidget* w = control({Field::OUTimpulsLEN, row})) {
        w->setVisible(false);
        if (row >= 2) w->setEnabled(false);
        // Keep the column's place in the grid when the cell is hidden.
        QSizePolicy sp = w->sizePolicy();
        sp.setRetainSizeWhenHidden(true);
        w->setSizePolicy(sp);
      }
    }
  }

  grid->setRowStretch(lastRow - firstRow + 2, 1);
  scroll->setWidget(table);
  // The table lies on the tab page's own background.
  scroll->viewport()->setAutoFillBackground(false);
  table->setAutoFillBackground(false);
  return scroll;
}

QWidget* MainWindow::BuildPhoneTab() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  const std::vector<Column> phoneColumns = {
      {Field::TC, "Telefonní číslo", "Telefonní číslo", 0},
      {Field::TCPrijem, "Příjem", "Přijímat příkazy z tohoto tel. čísla", -1},
      {Field::TCUdalost, "Události", "Odesílat zprávy o událostech na toto tel. číslo", -1},
  };
  QWidget* table =
      BuildTable(Family::Phone, phoneColumns, 0, kRows - 1, kRows, "tabTCjmeno", "tabTCbt", QStringLiteral("Změnit"),
                 QStringLiteral("Zobrazit formulář pro změnu tohoto telefonního čísla"));
  table->setMaximumWidth(620);

  auto* utoRow = new QHBoxLayout;
  auto* utoEnable = MakeCheck({Field::UTOEnable, 0}, QStringLiteral("tabUTOEnable"),
                              QStringLiteral("Automaticky vkládat před tel. číslo UTO:"));
  auto* uto = MakeEdit({Field::UTO, 0}, QStringLiteral("tabUTO"), QStringLiteral("UTO"),
                       QStringLiteral("Předvolba vkládaná před telefonní čísla bez mezinárodního tvaru"));
  uto->setMaximumWidth(60);
  utoRow->addWidget(utoEnable);
  utoRow->addWidget(uto);
  utoRow->addStretch(1);

  layout->addWidget(table);
  layout->addLayout(utoRow);
  layout->addStretch(1);
  return page;
}

QWidget* MainWindow::BuildBottomPanels() {
  auto* panels = new QWidget;
  auto* layout = new QHBoxLayout(panels);
  layout->setContentsMargins(0, 0, 0, 0);

  // "Program"
  auto* program = new QGroupBox(QStringLiteral("Program"));
  program->setObjectName(QStringLiteral("frProgram"));
  auto* pl = new QVBoxLayout(program);
  btInformace_ = new QPushButton(QStringLiteral("&Informace"));
  btInformace_->setObjectName(QStringLiteral("btInformace"));
  btInformace_->setToolTip(QStringLiteral("Informace o programu"));
  btKonec_ = new QPushButton(QStringLiteral("U&končit"));
  btKonec_->setObjectName(QStringLiteral("btKonec"));
  btKonec_->setToolTip(QStringLiteral("Ukončit program"));
  pl->addWidget(btInformace_);
  pl->addWidget(btKonec_);
  pl->addStretch(1);
  connect(btInformace_, &QPushButton::clicked, this, &MainWindow::OnInformace);
  connect(btKonec_, &QPushButton::clicked, this, &MainWindow::OnKonec);

  // "Komunikace PC se zařízením"
  auto* link = new QGroupBox(QStringLiteral("Komunikace PC se zařízením"));
  link->setObjectName(QStringLiteral("frKomunikace"));
  auto* ll = new QGridLayout(link);
  btDEA_ = new QPushButton(QStringLiteral("Aktivovat"));
  btDEA_->setObjectName(QStringLiteral("btDEA"));
  btDEA_->setMinimumWidth(btDEA_->fontMetrics().horizontalAdvance(QStringLiteral("Deaktivovat")) + 28);
  btDEA_->setEnabled(false);  // the link wiring enables it
  auto* portSelector = new PortSelector(sv_->ports);
  tabPort_ = portSelector;
  tabPort_->setObjectName(QStringLiteral("tabPort"));
  tabPort_->setToolTip(QStringLiteral("Sériový port PC, ke kterému je připojeno zařízení"));
  tabPort_->setAccessibleName(QStringLiteral("Sériový port"));
  // "COM 1".."COM 4" (the port table) and the system's ports: the selector's own.
  {
    const int i = tabPort_->findText(Q(ws_.settings.Port));
    tabPort_->setCurrentIndex(i >= 0 ? i : 0);
  }
  Register({Field::Port, 0}, tabPort_);
  connect(tabPort_, &QComboBox::currentTextChanged, this,
          [this](const QString& t) { OnTextChanged({Field::Port}, t); });
  tabDeAktivNapis_ = new QLabel;
  tabDeAktivNapis_->setObjectName(QStringLiteral("tabDeAktivNapis"));
  QFont bold = tabDeAktivNapis_->font();
  bold.setBold(true);
  tabDeAktivNapis_->setFont(bold);
  tabDeAktivNapis_->setMinimumWidth(QFontMetrics(bold).horizontalAdvance(QStringLiteral("Chybné zařízení")) + 8);
  ll->addWidget(MakeCaption(QStringLiteral("Sériový port:"), nullptr, tabPort_), 0, 0);
  ll->addWidget(tabPort_, 0, 1);
  ll->addWidget(MakeCaption(QStringLiteral("Spojení"), nullptr, tabDeAktivNapis_), 1, 0);
  ll->addWidget(tabDeAktivNapis_, 1, 1);
  ll->addWidget(btDEA_, 2, 0, 1, 2);
  // The status line says which device the selected port opens.
  auto* portNote = new QLabel(portSelector->deviceNote());
  portNote->setObjectName(QStringLiteral("lblPortDevice"));
  statusBar()->addWidget(portNote);
  connect(portSelector, &PortSelector::deviceNoteChanged, portNote, &QLabel::setText);

  // "Nastavení"
  auto* settings = new QGroupBox(QStringLiteral("Nastavení"));
  settings->setObjectName(QStringLiteral("frNastaveni"));
  auto* sl = new QVBoxLayout(settings);
  auto* buttons = new QHBoxLayout;
  QStyle* st = style();
  auto tool = [&](const char* name, const QString& tip, const QIcon& icon) {
    auto* b = new QToolButton;
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(tip);
    b->setAccessibleName(tip);
    b->setIcon(icon);
    b->setIconSize(QSize(28, 28));
    b->setAutoRaise(false);
    // A click takes the focus, so the field being left is checked first.
    b->setFocusPolicy(Qt::StrongFocus);
    buttons->addWidget(b);
    return b;
  };
  btTisk_ = tool("btTisk", QStringLiteral("Tisk nastavení"),
                 ButtonIcon(st, "document-print", QStyle::SP_FileDialogDetailedView));
  btNahled_ = tool("btNahled", QStringLiteral("Náhled tisku"),
                   ButtonIcon(st, "document-print-preview", QStyle::SP_FileDialogContentsView));
  buttons->addSpacing(6);
  btEEPROMSave_ = tool("btEEPROMSave", QStringLiteral("Uložit nastavení do EEPROM"),
                       ButtonIcon(st, "vexa-eeprom-write", QStyle::SP_DriveHDIcon, QStyle::SP_ArrowDown));
  btEEPROMLoad_ = tool("btEEPROMLoad", QStringLiteral("Načíst  nastavení z EEPROM"),
                       ButtonIcon(st, "vexa-eeprom-read", QStyle::SP_DriveHDIcon, QStyle::SP_ArrowUp));
  buttons->addSpacing(6);
  btFileSave_ = tool("btFileSave", QStringLiteral("Uložit nastavení do souboru"),
                     ButtonIcon(st, "document-save", QStyle::SP_DialogSaveButton));
  btFileLoad_ = tool("btFileLoad", QStringLiteral("Načíst nastavení ze souboru"),
                     ButtonIcon(st, "document-open", QStyle::SP_DialogOpenButton));
  buttons->addStretch(1);
  // Printing and the unit's memory are wired by their own modules.
  for (QToolButton* b : {btTisk_, btNahled_, btEEPROMSave_, btEEPROMLoad_}) b->setEnabled(false);
  connect(btFileSave_, &QToolButton::clicked, this, &MainWindow::OnSaveFile);
  connect(btFileLoad_, &QToolButton::clicked, this, &MainWindow::OnLoadFile);
  sl->addLayout(buttons);
  sl->addWidget(MakeCheck({Field::CheckWrite, 0}, QStringLiteral("tabCheckWrite"),
                          QStringLiteral("Kontrolovat zápis do EEPROM")));

  // "Informace o připojeném zařízení"
  auto* info = new QGroupBox(QStringLiteral("Informace o připojeném zařízení"));
  info->setObjectName(QStringLiteral("frInformace"));
  auto* il = new QGridLayout(info);
  il->setHorizontalSpacing(8);
  // Wide enough for what the unit reports, so the panel does not shift.
  auto value = [&](const char* name, const char* widest) {
    auto* l = new QLabel(QStringLiteral("?"));
    l->setObjectName(QString::fromLatin1(name));
    l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QString::fromLatin1(widest)));
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
  };
  lblInfoProdukt_ = value("lblInfoProdukt", "GM25 Ericsson");
  lblInfoVerze_ = value("lblInfoVerze", "GM25 Ericsson");
  lblInfoModem_ = value("lblInfoModem", "GM25 Ericsson");
  lblInfoPamSize_ = value("lblInfoPamSize", "-65472 byte");
  lblInfoVelikost_ = value("lblInfoVelikost", "-65472 byte");
  lblInfoVolno_ = value("lblInfoVolno", "-65472 byte");
  il->addWidget(MakeCaption(QStringLiteral("Produkt:"), nullptr, lblInfoProdukt_), 0, 0);
  il->addWidget(lblInfoProdukt_, 0, 1);
  il->addWidget(MakeCaption(QStringLiteral("Verze:"), nullptr, lblInfoVerze_), 1, 0);
  il->addWidget(lblInfoVerze_, 1, 1);
  il->addWidget(MakeCaption(QStringLiteral("Typ modemu:"), nullptr, lblInfoModem_), 2, 0);
  il->addWidget(lblInfoModem_, 2, 1);
  il->addWidget(MakeCaption(QStringLiteral("Velikost paměti:"), nullptr, lblInfoPamSize_), 0, 2);
  il->addWidget(lblInfoPamSize_, 0, 3);
  il->addWidget(MakeCaption(QStringLiteral("Velikost nastavení:"), nullptr, lblInfoVelikost_), 1, 2);
  il->addWidget(lblInfoVelikost_, 1, 3);
  il->addWidget(MakeCaption(QStringLiteral("Volné místo:"), nullptr, lblInfoVolno_), 2, 2);
  il->addWidget(lblInfoVolno_, 2, 3);
  il->setColumnStretch(4, 1);

  layout->addWidget(program);
  layout->addWidget(link);
  layout->addWidget(settings);
  layout->addWidget(info, 1);
  return panels;
}

// ---------------------------------------------------------------------------
// Showing the configuration

QWidget* MainWindow::control(FieldRef f) const {
  if (!IsRowFamily(InfoOf(f.field).family)) f.row = 0;
  if (f.row < 0 || f.row >= kRows) return nullptr;
  return controls_[SlotOf(f)];
}

QLineEdit* MainWindow::textEdit(FieldRef f) const {
  QWidget* w = control(f);
  if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->lineEdit();
  return qobject_cast<QLineEdit*>(w);
}

QCheckBox* MainWindow::checkBox(FieldRef f) const { return qobject_cast<QCheckBox*>(control(f)); }

void MainWindow::ShowField(FieldRef f) {
  if (!IsRowFamily(InfoOf(f.field).family)) f.row = 0;
  QWidget* w = control(f);
  if (w == nullptr) return;
  CounterScope showing(showing_);
  if (f.field == Field::EnablePS) {
    (ws_.config.general.EnablePS ? opEnablePS1_ : opEnablePS0_)->setChecked(true);
    return;
  }
  if (auto* box = qobject_cast<QCheckBox*>(w)) {
    if (const bool* b = FlagOf(ws_.config, ws_.settings, f)) box->setChecked(*b);
    return;
  }
  const std::string* s = TextOf(ws_.config, ws_.settings, f);
  if (s == nullptr) return;
  const QString text = Q(*s);
  if (auto* combo = qobject_cast<QComboBox*>(w)) {
    if (combo->isEditable()) {
      if (combo->currentText() != text) combo->setEditText(text);
    } else {
      const int i = combo->findText(text);
      if (i >= 0) combo->setCurrentIndex(i);
    }
    return;
  }
  if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    // A decoded text may be longer than the field lets the user type; it is
    // shown whole, never cut.
    const int limit = InfoOf(f.field).maxLength;
    if (limit > 0) edit->setMaxLength(std::max(limit, static_cast<int>(text.size())));
    if (edit->text() != text) {
      edit->setText(text);
      // A text longer than its cell is read from its beginning, not its end.
      if (!edit->hasFocus()) edit->setCursorPosition(0);
    }
  }
}

void MainWindow::ShowRow(Family family, int row) {
  for (int i = 0; i < kFieldCount; ++i) {
    const Field f = static_cast<Field>(i);
    if (InfoOf(f).family == family) ShowField({f, row});
  }
}

void MainWindow::ShowAll() {
  const bool wasBulk = bulk_;
  bulk_ = true;
  for (int i = 0; i < kFieldCount; ++i) {
    const Field f = static_cast<Field>(i);
    if (IsRowFamily(InfoOf(f).family)) {
      for (int row = 0; row < kRows; ++row) ShowField({f, row});
    } else {
      ShowField({f, 0});
    }
  }
  bulk_ = wasBulk;
  UpdateMemoryUsage();
}

void MainWindow::ConfigReplaced() {
  // Checks waiting for the previous values are void now.
  pending_.clear();
  ShowAll();
  CheckEnabled();
  ApplySwitchReportRule();
  ApplyPowerReportRule();
  // The not-authorised rule ran above if the decoded flag changed value.
}

void MainWindow::UpdateMemoryUsage() {
  const MemoryUsage u = vexa::UpdateMemoryUsage(ws_.config, ws_.device.MemorySize);
  lblInfoVelikost_->setText(Q(u.usageText));
  lblInfoVolno_->setText(Q(u.freeText));
  SetTextColour(lblInfoVolno_, QColor(u.freeColour.r, u.freeColour.g, u.freeColour.b));
}

void MainWindow::LinkStateChanged() {
  switch (ws_.link) {
    case LinkState::Neaktivni:
      tabDeAktivNapis_->setText(QStringLiteral("Neaktivní"));
      SetTextColour(tabDeAktivNapis_, QColor(255, 0, 0));
      tabPort_->setEnabled(true);
      btDEA_->setText(QStringLiteral("Aktivovat"));
      btEEPROMLoad_->setEnabled(false);
      btEEPROMSave_->setEnabled(false);
      break;
    case LinkState::Aktivni:
      tabDeAktivNapis_->setText(QStringLiteral("Aktivní"));
      SetTextColour(tabDeAktivNapis_, QColor(0, 0, 255));
      tabPort_->setEnabled(false);
      btDEA_->setText(QStringLiteral("Deaktivovat"));
      btEEPROMLoad_->setEnabled(true);
      btEEPROMSave_->setEnabled(true);
      break;
    case LinkState::AktivniSpatnaVerze:
      tabDeAktivNapis_->setText(QStringLiteral("Chybné zařízení"));
      SetTextColour(tabDeAktivNapis_, QColor(0, 0, 255));
      tabPort_->setEnabled(false);
      btDEA_->setText(QStringLiteral("Deaktivovat"));
      break;
  }
  lblInfoProdukt_->setText(Q(ws_.device.Product));
  lblInfoVerze_->setText(Q(ws_.device.ProcessorVersion));
  lblInfoModem_->setText(Q(ws_.device.ModemType));
  lblInfoPamSize_->setText(Q(ws_.device.MemorySize));
  UpdateMemoryUsage();
}

void MainWindow::CheckEnabled() {
  const bool on = opEnablePS1_->isChecked();
  for (QWidget* w : powerSaveControls_) w->setEnabled(on);
}

void MainWindow::ApplySwitchReportRule() {
  for (QWidget* w : switchReportControls_) w->setEnabled(ws_.config.general.SwitchReport);
}

void MainWindow::ApplyPowerReportRule() {
  for (QWidget* w : powerReportControls_) w->setEnabled(ws_.config.general.PowerReport);
}

void MainWindow::ApplyNotAuthorizedRule() {
  for (QWidget* w : notAuthorizedControls_) w->setEnabled(ws_.config.general.NotAuthorized);
}

void MainWindow::ShowTab(int tab) {
  if (tab >= 0 && tab < tabList_->count() && tabList_->currentIndex() != tab) tabList_->setCurrentIndex(tab);
}

void MainWindow::FocusField(FieldRef field) {
  QWidget* w = control(field);
  if (w == nullptr) return;
  for (int i = 0; i < tabList_->count(); ++i) {
    if (tabList_->widget(i)->isAncestorOf(w)) {
      ShowTab(i);
      break;
    }
  }
  if (w->isHidden() || !w->isEnabled()) return;
  for (QWidget* p = w->parentWidget(); p != nullptr; p = p->parentWidget()) {
    if (auto* scroll = qobject_cast<QScrollArea*>(p)) {
      scroll->ensureWidgetVisible(w);
      break;
    }
  }
  // After a message box the window may still be waiting to be active again.
  if (!isActiveWindow() && isVisible() && QApplication::activeModalWidget() == nullptr) activateWindow();
  w->setFocus(Qt::OtherFocusReason);
  // Selected whole also when the focus event comes only later, with the
  // window's activation.
  if (QLineEdit* edit = textEdit(field)) SelectWholeText(edit);
}

// ---------------------------------------------------------------------------
// Field events

void MainWindow::OnTextChanged(FieldRef f, const QString& text) {
  if (showing_ == 0) {
    if (std::string* s = TextOf(ws_.config, ws_.settings, f)) {
      std::string typed = text.toStdString();
      if (*s != typed) *s = std::move(typed);
    }
  }
  // The battery text and the CL1-down text of "BAT" are one text shown twice.
  if (f.field == Field::rtBattLow) {
    ShowField({Field::AINCL1Dn, kBatteryRow});
  } else if (f.field == Field::AINCL1Dn && f.row == kBatteryRow) {
    ShowField({Field::rtBattLow, 0});
  }
  if (!bulk_ && InfoOf(f.field).counted) UpdateMemoryUsage();
}

void MainWindow::OnFlagToggled(FieldRef f, bool on) {
  if (bool* b = FlagOf(ws_.config, ws_.settings, f)) *b = on;
  switch (f.field) {
    case Field::SwitchReport: ApplySwitchReportRule(); break;
    case Field::PowerReport: ApplyPowerReportRule(); break;
    case Field::NotAuthorized: ApplyNotAuthorizedRule(); break;
    default: break;
  }
}

void MainWindow::OnFieldLeft(FieldRef f, Qt::FocusReason reason) {
  if (checking_ > 0 || !IsMoveWithinWindow(reason) || !isVisible()) return;
  // The focus went to a window of its own (a dialog that is not modal).
  if (QWidget* now = QApplication::focusWidget(); now != nullptr && now->window() != this) return;
  if (std::find(pending_.begin(), pending_.end(), f) == pending_.end()) pending_.push_back(f);
  if (!checkQueued_) {
    checkQueued_ = true;
    QMetaObject::invokeMethod(this, &MainWindow::RunQueuedChecks, Qt::QueuedConnection);
  }
}

void MainWindow::RunQueuedChecks() {
  checkQueued_ = false;
  flushFieldChecks();
}

bool MainWindow::flushFieldChecks() {
  // Rules already running finish the queue themselves.
  if (checking_ > 0) return true;
  while (!pending_.empty()) {
    const FieldRef f = pending_.front();
    pending_.pop_front();
    if (!RunFieldRules(f)) {
      pending_.clear();
      return false;
    }
  }
  return true;
}

bool MainWindow::RunFieldRules(FieldRef f) {
  CounterScope checking(checking_);
  rules::RuleContext ctx{ws_.config, ws_.settings, ws_.validationSuppressed, false, ws_.decimalSeparator};
  const rules::FieldCheck check = rules::CheckField(ctx, f, rules::Variant::MainWindow);
  // The field the user moved on to, which gives the focus back below.
  const QWidget* movedTo = QApplication::focusWidget();
  Present(check);
  if (check.failed) {
    if (check.tab >= 0) ShowTab(check.tab);
    FocusField(f);
    // Putting the focus back makes the other field lose it: its rules run
    // once, as for any field the user leaves. A cross rule that just
    // reported is silenced by the validation-suppressed flag (and clears it),
    // so the same conflict is not reported twice, and leaving the failing
    // field again reports it again.
    const auto other = fieldOf_.constFind(movedTo);
    if (other != fieldOf_.constEnd() && !(*other == f) && InfoOf(other->field).kind == FieldKind::Text &&
        QApplication::focusWidget() != movedTo) {
      Present(rules::CheckField(ctx, *other, rules::Variant::MainWindow));
    }
  }
  return !check.failed;
}

void MainWindow::Present(const rules::FieldCheck& check) {
  // Paired messages and changes (the phone-row warnings) come in turn: each
  // warning, then the check box it clears.
  const bool paired = check.messages.size() == check.changed.size();
  for (std::size_t i = 0; i < check.messages.size(); ++i) {
    sv_->messages.Show(check.messages[i].icon, check.messages[i].text);
    if (paired) ShowField(check.changed[i]);
  }
  for (const FieldRef& c : check.changed) ShowField(c);
}

void MainWindow::RunPhoneRowRule(int row) {
  rules::RuleContext ctx{ws_.config, ws_.settings, ws_.validationSuppressed, false, ws_.decimalSeparator};
  Present(rules::CheckPhoneRow(ctx, row));
}

// ---------------------------------------------------------------------------
// Row actions and buttons

void MainWindow::OpenRow(Family family, int row) {
  if (row < 0 || row >= kRows) return;
  if (!flushFieldChecks()) return;
  switch (family) {
    case Family::Input: editors_->OpenInputEditor(row); break;
    case Family::Output: editors_->OpenOutputEditor(row); break;
    case Family::Analog: editors_->EditAnalogInput(row); break;
    case Family::Phone: editors_->OpenPhoneEditor(row); break;
    default: return;
  }
  ShowRow(family, row);
  UpdateMemoryUsage();
}

void MainWindow::openInputRow(int row) { OpenRow(Family::Input, row); }
void MainWindow::openOutputRow(int row) { OpenRow(Family::Output, row); }
void MainWindow::openAnalogRow(int row) { OpenRow(Family::Analog, row); }
void MainWindow::openPhoneRow(int row) { OpenRow(Family::Phone, row); }

void MainWindow::OnSaveFile() {
  if (busy_ || !flushFieldChecks()) return;
  busy_ = true;
  SaveWorkflow(ws_, *sv_);
  busy_ = false;
}

void MainWindow::OnLoadFile() {
  if (busy_ || !flushFieldChecks()) return;
  busy_ = true;
  LoadWorkflow(ws_, *sv_);
  busy_ = false;
}

void MainWindow::openFile(const QString& path) {
  if (busy_ || !flushFieldChecks()) return;
  busy_ = true;
  LoadWorkflow(ws_, *sv_, path.toStdString());
  busy_ = false;
}

// A dropped file is taken like a click on btFileLoad: not while it is
// disabled (a link command or a printout runs) nor while a file command runs.
void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!busy_ && btFileLoad_->isEnabled() && !DroppedConfigFile(event->mimeData()).isEmpty()) {
    event->acceptProposedAction();
  }
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QString path = busy_ || !btFileLoad_->isEnabled() ? QString() : DroppedConfigFile(event->mimeData());
  if (path.isEmpty()) return;
  event->acceptProposedAction();
  // Loaded once the drop has ended: its messages must not hold up the
  // program the file came from.
  QTimer::singleShot(0, this, [this, path] { openFile(path); });
}

void MainWindow::OnInformace() {
  if (!flushFieldChecks()) return;
  aboutBox().exec();
}

void MainWindow::OnKonec() {
  // Leaving the program: the field being left is not checked any more.
  pending_.clear();
  if (exitGuard_ && !exitGuard_(true)) return;
  exiting_ = true;
  close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  pending_.clear();
  if (!exiting_ && exitGuard_ && !exitGuard_(false)) {
    event->ignore();  // the guard closes the window again when it can
    return;
  }
  exiting_ = true;
  sv_->progress.Close();
  // The secondary windows go with the main window.
  for (QDialog* d : findChildren<QDialog*>()) {
    if (d->isVisible()) d->hide();
  }
  event->accept();
}

}  // namespace vexa::ui
