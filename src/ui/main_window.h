// The main window "Hlavni": the whole configuration on seven tabs, the
// program, link, settings and information panels, and the start-up sequence.
// What its command buttons and keys do is bound in window_commands.cpp, over
// the window's CommandWindow side; the file commands and dropped files are
// file_wiring.cpp's. The window is laid out in main_window_layout.cpp, and
// leaving the program is main_window_exit.cpp. What an edit changes beside
// its own field (the enabling of a group, the battery text shown twice) is
// the rules' (rules/follow_up.h).
//
// The window is a view of the workspace's DeviceConfig: every control writes
// its field as it changes and is shown again from the configuration when a
// rule, an editor or a decode rewrote it.
//
// The window composes its parts: a class per tab (general_tab, sms_tab,
// row_tables), the link panel, the settings panel and the information panel.
// The fields are bound through one FieldController, the commands run through
// one CommandRunner.
//
// Object names of the controls (tests find the controls by them):
//   - general fields: "tab" + field name (tabJmenoStanice, tabPIN, tabTCcentra,
//     tabDobaPlatnostiSMS, tabPSOnH..tabPSOffM, check boxes tabPINAuth,
//     tabOdpovidatT0, tabPrepnoutNepovolPristup, tabNotAuthorized,
//     tabPowerReport, tabSwitchReport, tabBatt, tabSuperPS, tabPSOutOff); the
//     report texts keep their names (rtNotAuthorized, rtPowerUp, rtPowerDown,
//     rtSwitchOn, rtSwitchOff, rtBattLow); the power-save options are
//     opEnablePS0 ("Bez šetřícího režimu") and opEnablePS1 ("Povolit šetřící
//     režim");
//   - program settings: tabPort, tabCheckWrite, tabFullRead, tabBackup,
//     tabFullWrite, tabUTOEnable, tabUTO;
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
// btFileLoad, btFileSave, btTisk and btKonec, and the link and preview
// commands have keys of their own (window_commands.cpp); a .eep file dropped
// on the window is loaded as btFileLoad would load it.
//
// The title names where the configuration came from: the file last loaded
// or saved, or the unit after a read, with "*" in front while the
// configuration holds edits kept in no file and no unit. Quitting, closing
// the window, reading the unit and loading a file ask first about such edits
// (workflows/config_origin.h). A successful save says so in the status line.
// Stopping a running write (Storno, "Ukončit", closing the window) asks
// first; after a command the focus goes back to where it was.
//
// Field rules run when a field loses the focus to another control of this
// window (see FieldController).
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

#include "platform/services.h"
#include "ui/window_commands.h"
#include "ui/window_tabs.h"
#include "workspace/workspace.h"
#include "rules/follow_up.h"
#include "workflows/config_origin.h"
#include "model/fields.h"

class QPushButton;
class QTabWidget;
class QTimer;

namespace vexa {
struct Workspace;
namespace link {
class PortList;
}  // namespace link
namespace qt {
class QtMessageBox;
class QtProgressWindow;
class QtEventLoop;
class QtFileDialog;
}  // namespace qt
}  // namespace vexa

namespace vexa::ui {

class AboutBox;
class CommandRunner;
class FieldController;
class FileCommands;

class GeneralTab;
class InfoPanel;
class LinkPanel;
class RowEditors;
class SettingsPanel;
class SmsTab;

class MainWindow : public QMainWindow, public MainView, public CommandWindow {
  Q_OBJECT
 public:
  // With the program's own Qt services (message boxes, progress window, file
  // dialog, event loop).
  explicit MainWindow(Workspace& ws, QWidget* parent = nullptr);
  // With services from outside (tests script the message boxes and dialogs).
  // The window puts itself into `sv.view`.
  MainWindow(Workspace& ws, Services& sv, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The about box, created on first use.
  AboutBox& aboutBox();

  // CommandWindow
  bool eepromCommandsEnabled() const override { return eepromEnabled_; }
  void ShowAbout() override;
  void Quit() override;
  void RunWrite(const std::function<void()>& write) override;
  // The exit guard: asked before the program ends (see setExitGuard in
  // window_commands.h). A running command is stopped first and the guard
  // asked once it has ended. Without a guard the program ends at once.
  void setExitGuard(std::function<bool(bool allowCancel)> guard) override { exitGuard_ = std::move(guard); }

  // MainView
  void ShowTab(WindowTab tab) override;
  void FocusField(FieldRef field) override;
  void ConfigReplaced() override;
  void LinkStateChanged(LinkState state, const DeviceInfo& device) override;

  // Shows everything again from the configuration, with the usage.
  void ShowAll();



  // Loads a file chosen outside the window (the command line, the desktop)
  // through the load command, without its dialog. Refused while a file
  // command runs.
  void openFile(const QString& path);

  // Where the configuration came from and what it was then.
  const ConfigOrigin& origin() const { return origin_; }
  // True while the configuration holds edits kept in no file and no unit.
  bool hasUnsavedEdits() const;

  // While a read, write or compare runs the configuration takes no input:
  // the tab pages are disabled (the tabs still switch). The commands lock
  // and unlock in pairs.
  void LockFields(bool locked) override;
  // A read from the unit replaced the configuration: `source` names the unit
  // ("Zařízení VEXA na COM 1") before the program's title.
  void setSource(const QString& source) override;
  // A write put the configuration into the unit.
  void WrittenToUnit() override;
  void WriteFailed() override;
  // The title for a configuration from `source` (empty: the title alone),
  // with "*" in front when it holds unsaved edits.
  static QString TitleFor(const QString& source, bool modified = false);
  // A note in the status line for a while.
  void ShowStatus(const QString& text);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  MainWindow(Workspace& ws, Services* sv, QWidget* parent);
  // CommandWindow
  WindowParts windowParts() override;

  void BuildWindow();
  QWidget* BuildProgramPanel();
  void AddRowTab(QWidget* page, const QString& title);
  // Recomputes the EEPROM usage and shows it with the space left.
  void UpdateMemoryUsage();
  // Shows one field or one row again from the configuration.
  void ShowField(FieldRef field);
  void ShowRow(Family family, int row);
  // Runs the rules of fields that lost the focus and are still waiting.
  // False when one failed (its message shown, the focus back on it). Button
  // actions call it first and do nothing when it fails.
  bool flushFieldChecks();
  void OnEdited(FieldRef f);
  // Enables a group of controls as its flag in the configuration says
  // (rules/follow_up.h).
  void ApplyEnabling(Field flag);
  void RunPhoneRowRule(int row);
  // A row's button: opens the row's editor, then shows the row again and
  // recomputes the usage.
  void OpenRow(Family family, int row);
  void StartUp();
  void ShowSource(const QString& source);
  void UpdateTitle();
  // The edits question, then the exit guard's; false: the program goes on.
  bool MayLeave(bool allowCancel);
  // "Ukončit" or closing while a command runs: stops it (a write only after
  // the user agreed). False: the command goes on.
  bool StopRunningCommand();
  bool AskStopWrite();
  void RememberFocus();
  void RestoreFocus();

  Workspace& ws_;
  // What the unit told of itself, as the session last reported it.
  DeviceInfo device_;
  std::unique_ptr<qt::QtMessageBox> ownMessages_;
  std::unique_ptr<qt::QtProgressWindow> ownProgress_;
  std::unique_ptr<qt::QtEventLoop> ownLoop_;
  std::unique_ptr<qt::QtFileDialog> ownFiles_;
  std::unique_ptr<link::PortList> ownPorts_;
  std::unique_ptr<Services> ownServices_;
  Services* sv_ = nullptr;
  std::unique_ptr<RowEditors> editors_;
  std::unique_ptr<CommandParts> commandParts_;
  FileCommands* files_ = nullptr;
  QPointer<AboutBox> about_;
  FieldController* fields_ = nullptr;
  CommandRunner* commands_ = nullptr;
  bool eepromEnabled_ = false;  // the link state's word on btEEPROMLoad/Save
  bool exiting_ = false;
  int locks_ = 0;
  QPointer<QWidget> focusBeforeLock_;
  QPointer<QWidget> focusBeforeCommand_;
  QString source_;
  ConfigOrigin origin_;
  QTimer* editsCheck_ = nullptr;  // the title's "*", once the edits settle
  bool writing_ = false;
  bool askingStop_ = false;
  std::function<bool(bool)> exitGuard_;

  QTabWidget* tabList_ = nullptr;
  GeneralTab* general_ = nullptr;
  SmsTab* sms_ = nullptr;
  LinkPanel* link_ = nullptr;
  SettingsPanel* settings_ = nullptr;
  InfoPanel* info_ = nullptr;
  QPushButton* btInformace_ = nullptr;
  QPushButton* btKonec_ = nullptr;
};

}  // namespace vexa::ui
