// The main window "Hlavni": the whole configuration on seven tabs, the
// program, link, settings and information panels, and the start-up sequence.
//
// The window is a view of the workspace's DeviceConfig: every control writes
// its field as it changes and is shown again from the configuration when a
// rule, an editor or a decode rewrote it.
//
// Object names of the controls (tests and the link and print wiring find the
// controls by them):
//   - general fields: "tab" + field name (tabJmenoStanice, tabPIN, tabTCcentra,
//     tabDobaPlatnostiSMS, tabPSOnH..tabPSOffM, check boxes tabPINAuth,
//     tabOdpovidatT0, tabPrepnoutNepovolPristup, tabNotAuthorized,
//     tabPowerReport, tabSwitchReport, tabBatt, tabSuperPS, tabPSOutOff); the
//     report texts keep their names (rtNotAuthorized, rtPowerUp, rtPowerDown,
//     rtSwitchOn, rtSwitchOff, rtBattLow); the power-save options are
//     opEnablePS0 ("Bez šetřícího režimu") and opEnablePS1 ("Povolit šetřící
//     režim");
//   - program settings: tabPort, tabCheckWrite, tabUTOEnable, tabUTO;
//   - table cells: "tab" + field name + row index 0..7 (tabINPNazev0,
//     tabOUTimpulsLEN0, tabAINCL1Dn7, tabTC3, tabTCPrijem3); every cell also
//     carries its row index as the dynamic property "row";
//   - row labels tabINPjmeno<r>, tabOUTjmeno<r>, tabAINJmeno<r>, tabTCjmeno<r>;
//     row buttons tabINPbt<r>, tabOUTbt<r>, tabAINbt<r> ("Možnosti") and
//     tabTCbt<r> ("Změnit");
//   - captions whose enabled state follows a rule: lblNotAuthorized,
//     lblPowerUp, lblPowerDown, lblSwitchOn, lblSwitchOff, and the power-save
//     lines lblPSOn, lblPSOnH, lblPSOnM, lblPSOff, lblPSOffH, lblPSOffM;
//   - the tab widget TabList; buttons btInformace, btKonec, btDEA, btTisk,
//     btNahled, btEEPROMSave, btEEPROMLoad, btFileSave, btFileLoad; the link
//     state tabDeAktivNapis; the information labels lblInfoProdukt,
//     lblInfoVerze, lblInfoModem, lblInfoPamSize, lblInfoVelikost (usage) and
//     lblInfoVolno (free space); in the status line lblPortDevice, the device
//     the selected port opens.
//
// Besides the mnemonics, Ctrl+O, Ctrl+S, Ctrl+P and Ctrl+Q act as
// btFileLoad, btFileSave, btTisk and btKonec; a .eep file dropped on the
// window is loaded as btFileLoad would load it.
//
// Field rules run when a field loses the focus to another control of this
// window, right after the focus event (not inside it), so that a message box
// never interrupts a click or a tab switch half-way. A focus taken by a
// message box, a dialog, a popup or another window runs nothing.
#pragma once

#include <QHash>
#include <QMainWindow>
#include <array>
#include <deque>
#include <functional>
#include <memory>

#include "platform/services.h"
#include "rules/rules.h"
#include "workspace/fields.h"

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;

namespace vexa {
struct Workspace;
namespace qt {
class QtMessageBox;
class QtPortList;
class QtProgressWindow;
class QtEventLoop;
class QtFileDialog;
}  // namespace qt
}  // namespace vexa

namespace vexa::ui {

class AboutBox;
class RowEditors;

// Tabs of TabList, by the numbers the field rules switch to.
enum TabIndex : int {
  kTabVseobecne = 0,
  kTabSmsZpravy = 1,
  kTabDigVstupy = 2,
  kTabDigVystupy = 3,
  kTabAnalog14 = 4,
  kTabAnalog58 = 5,
  kTabTelCisla = 6,
};

// Rows of the tables that can be edited; the others stay disabled.
inline constexpr int kEnabledInputs = 4;   // I1..I4
inline constexpr int kEnabledOutputs = 2;  // O1, O2
inline constexpr int kEnabledAnalogs = 1;  // A1

class MainWindow : public QMainWindow, public MainView {
  Q_OBJECT
 public:
  // With the program's own Qt services (message boxes, progress window, file
  // dialog, event loop).
  explicit MainWindow(Workspace& ws, QWidget* parent = nullptr);
  // With services from outside (tests script the message boxes and dialogs).
  // The window puts itself into `sv.view`.
  MainWindow(Workspace& ws, Services& sv, QWidget* parent = nullptr);
  ~MainWindow() override;

  Workspace& workspace() { return ws_; }
  Services& services() { return *sv_; }
  RowEditors& rowEditors() { return *editors_; }
  // The about box, created on first use.
  AboutBox& aboutBox();
  // The program's own progress window; null when the services came from
  // outside.
  qt::QtProgressWindow* progressWindow() { return ownProgress_.get(); }

  // MainView
  void ShowTab(int tab) override;
  void FocusField(FieldRef field) override;
  void ConfigReplaced() override;
  void LinkStateChanged() override;

  // Power-save enabling rule: the period lines and the two power-save check
  // boxes are enabled exactly when "Povolit šetřící režim" is selected.
  void CheckEnabled();
  // Report group enabling rules.
  void ApplySwitchReportRule();
  void ApplyPowerReportRule();
  void ApplyNotAuthorizedRule();

  // Recomputes the EEPROM usage and shows it with the space left.
  void UpdateMemoryUsage();

  // Shows one field, one row or everything again from the configuration.
  void ShowField(FieldRef field);
  void ShowRow(Family family, int row);
  void ShowAll();

  // Runs the rules of fields that lost the focus and are still waiting.
  // False when one failed (its message shown, the focus back on it). Button
  // actions call it first and do nothing when it fails.
  bool flushFieldChecks();
  // True while a field's rules have yet to run.
  bool hasPendingFieldChecks() const { return !pending_.empty(); }

  // The control showing a field (null for fields without one); for TCcentra
  // the combo box, for EnablePS the option opEnablePS1.
  QWidget* control(FieldRef field) const;
  // The line edit of a text field (the combo box's editor for TCcentra).
  QLineEdit* textEdit(FieldRef field) const;
  QCheckBox* checkBox(FieldRef field) const;

  QTabWidget* tabList() const { return tabList_; }
  QPushButton* btInformace() const { return btInformace_; }
  QPushButton* btKonec() const { return btKonec_; }
  QPushButton* btDEA() const { return btDEA_; }
  QComboBox* tabPort() const { return tabPort_; }
  QLabel* tabDeAktivNapis() const { return tabDeAktivNapis_; }
  QToolButton* btTisk() const { return btTisk_; }
  QToolButton* btNahled() const { return btNahled_; }
  QToolButton* btEEPROMSave() const { return btEEPROMSave_; }
  QToolButton* btEEPROMLoad() const { return btEEPROMLoad_; }
  QToolButton* btFileSave() const { return btFileSave_; }
  QToolButton* btFileLoad() const { return btFileLoad_; }
  QRadioButton* opEnablePS0() const { return opEnablePS0_; }
  QRadioButton* opEnablePS1() const { return opEnablePS1_; }
  QLabel* lblInfoProdukt() const { return lblInfoProdukt_; }
  QLabel* lblInfoVerze() const { return lblInfoVerze_; }
  QLabel* lblInfoModem() const { return lblInfoModem_; }
  QLabel* lblInfoPamSize() const { return lblInfoPamSize_; }
  QLabel* lblInfoVelikost() const { return lblInfoVelikost_; }
  QLabel* lblInfoVolno() const { return lblInfoVolno_; }

  // Asked before the program ends: by "Ukončit" with allowCancel = true (a
  // false result keeps the program running), and when the window is closed
  // with allowCancel = false (the user cannot cancel closing; a false result
  // only defers it, while a running command stops first). Without a guard
  // the program ends at once.
  void setExitGuard(std::function<bool(bool allowCancel)> guard) { exitGuard_ = std::move(guard); }

  // The row actions: open the row's editor, then show the row again and
  // recompute the usage.
  void openInputRow(int row);
  void openOutputRow(int row);
  void openAnalogRow(int row);
  void openPhoneRow(int row);

  // Loads a file chosen outside the window (the command line, the desktop)
  // through the load command, without its dialog. Refused while a file
  // command runs.
  void openFile(const QString& path);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  MainWindow(Workspace& ws, Services* sv, QWidget* parent);

  struct Column {
    Field field;
    const char* header;
    const char* tooltip;
    int width;  // 0: a text column that takes the spare width
  };

  void BuildWindow();
  QWidget* BuildGeneralTab();
  QWidget* BuildSmsTab();
  QWidget* BuildTable(Family family, const std::vector<Column>& columns, int firstRow, int lastRow, int enabledRows,
                      const char* labelName, const char* buttonName, const QString& buttonCaption,
                      const QString& buttonTip);
  QWidget* BuildPhoneTab();
  QWidget* BuildBottomPanels();

  QLineEdit* MakeEdit(FieldRef f, const QString& objectName, const QString& accessibleName,
                      const QString& tooltip = {});
  QCheckBox* MakeCheck(FieldRef f, const QString& objectName, const QString& caption, const QString& tooltip = {});
  void Register(FieldRef f, QWidget* w);
  QLabel* MakeCaption(const QString& text, const char* objectName = nullptr, QWidget* buddy = nullptr);

  void OnTextChanged(FieldRef f, const QString& text);
  void OnFlagToggled(FieldRef f, bool on);
  void OnFieldLeft(FieldRef f, Qt::FocusReason reason);
  void RunQueuedChecks();
  bool RunFieldRules(FieldRef f);
  void Present(const rules::FieldCheck& check);
  void RunPhoneRowRule(int row);
  void OpenRow(Family family, int row);
  void OnSaveFile();
  void OnLoadFile();
  void OnInformace();
  void OnKonec();
  void StartUp();

  Workspace& ws_;
  std::unique_ptr<qt::QtMessageBox> ownMessages_;
  std::unique_ptr<qt::QtProgressWindow> ownProgress_;
  std::unique_ptr<qt::QtEventLoop> ownLoop_;
  std::unique_ptr<qt::QtFileDialog> ownFiles_;
  std::unique_ptr<qt::QtPortList> ownPorts_;
  std::unique_ptr<Services> ownServices_;
  Services* sv_ = nullptr;
  std::unique_ptr<RowEditors> editors_;
  AboutBox* about_ = nullptr;

  std::array<QWidget*, static_cast<std::size_t>(kFieldCount) * kRows> controls_{};
  QHash<const QObject*, FieldRef> fieldOf_;

  std::deque<FieldRef> pending_;
  bool checkQueued_ = false;
  int checking_ = 0;   // rules running: focus moves they cause run nothing
  int showing_ = 0;    // controls being filled from the configuration
  bool bulk_ = false;  // showing everything: one usage update at the end
  bool busy_ = false;  // a file command is running
  bool exiting_ = false;
  std::function<bool(bool)> exitGuard_;

  QTabWidget* tabList_ = nullptr;
  QRadioButton* opEnablePS0_ = nullptr;
  QRadioButton* opEnablePS1_ = nullptr;
  std::vector<QWidget*> powerSaveControls_;
  std::vector<QWidget*> switchReportControls_;
  std::vector<QWidget*> powerReportControls_;
  std::vector<QWidget*> notAuthorizedControls_;

  QPushButton* btInformace_ = nullptr;
  QPushButton* btKonec_ = nullptr;
  QPushButton* btDEA_ = nullptr;
  QComboBox* tabPort_ = nullptr;
  QLabel* tabDeAktivNapis_ = nullptr;
  QToolButton* btTisk_ = nullptr;
  QToolButton* btNahled_ = nullptr;
  QToolButton* btEEPROMSave_ = nullptr;
  QToolButton* btEEPROMLoad_ = nullptr;
  QToolButton* btFileSave_ = nullptr;
  QToolButton* btFileLoad_ = nullptr;
  QLabel* lblInfoProdukt_ = nullptr;
  QLabel* lblInfoVerze_ = nullptr;
  QLabel* lblInfoModem_ = nullptr;
  QLabel* lblInfoPamSize_ = nullptr;
  QLabel* lblInfoVelikost_ = nullptr;
  QLabel* lblInfoVolno_ = nullptr;
};

}  // namespace vexa::ui
