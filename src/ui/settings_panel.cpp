#include "ui/settings_panel.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QIcon>
#include <QPainter>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/compare_wiring.h"
#include "ui/field_controller.h"
#include "ui/transfer_options.h"
#include "workspace/device_config.h"

namespace vexa::ui {
namespace {

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

QToolButton* SettingsPanel::AddTool(QHBoxLayout* row, const char* name, const QString& tip, const QIcon& icon) {
  auto* b = new QToolButton;
  b->setObjectName(QString::fromLatin1(name));
  b->setToolTip(tip);
  b->setAccessibleName(tip);
  b->setIcon(icon);
  b->setIconSize(QSize(28, 28));
  b->setAutoRaise(false);
  // A click takes the focus, so the field being left is checked first.
  b->setFocusPolicy(Qt::StrongFocus);
  row->addWidget(b);
  return b;
}

SettingsPanel::SettingsPanel(FieldController& fields, ProgramSettings& settings) : QGroupBox(QStringLiteral("Nastavení")) {
  setObjectName(QStringLiteral("frNastaveni"));
  auto* sl = new QVBoxLayout(this);
  auto* buttons = new QHBoxLayout;
  QStyle* st = style();
  btTisk_ = AddTool(buttons, "btTisk", QStringLiteral("Tisk nastavení"),
                    ButtonIcon(st, "document-print", QStyle::SP_FileDialogDetailedView));
  btNahled_ = AddTool(buttons, "btNahled", QStringLiteral("Náhled tisku"),
                      ButtonIcon(st, "document-print-preview", QStyle::SP_FileDialogContentsView));
  buttons->addSpacing(6);
  btEEPROMSave_ = AddTool(buttons, "btEEPROMSave", QStringLiteral("Uložit nastavení do EEPROM"),
                          ButtonIcon(st, "vexa-eeprom-write", QStyle::SP_DriveHDIcon, QStyle::SP_ArrowDown));
  btEEPROMLoad_ = AddTool(buttons, "btEEPROMLoad", QStringLiteral("Načíst  nastavení z EEPROM"),
                          ButtonIcon(st, "vexa-eeprom-read", QStyle::SP_DriveHDIcon, QStyle::SP_ArrowUp));
  buttons->addSpacing(6);
  btFileSave_ = AddTool(buttons, "btFileSave", QStringLiteral("Uložit nastavení do souboru"),
                        ButtonIcon(st, "document-save", QStyle::SP_DialogSaveButton));
  btFileLoad_ = AddTool(buttons, "btFileLoad", QStringLiteral("Načíst nastavení ze souboru"),
                        ButtonIcon(st, "document-open", QStyle::SP_DialogOpenButton));
  buttons->addStretch(1);
  sl->addLayout(buttons);
  tabCheckWrite_ = fields.MakeCheck({Field::CheckWrite, 0}, QStringLiteral("tabCheckWrite"),
                                   QStringLiteral("Kontrolovat zápis do EEPROM"));
  sl->addWidget(tabCheckWrite_);
  const TransferBoxes transfer = AddTransferOptions(*sl, settings);
  tabFullRead_ = transfer.fullRead;
  tabBackup_ = transfer.backup;
  tabFullWrite_ = transfer.fullWrite;
  btPorovnat_ = MakeCompareButton();
  sl->addWidget(btPorovnat_, 0, Qt::AlignLeft);
}

QCheckBox* SettingsPanel::settingBox(bool ProgramSettings::*setting) const {
  if (setting == &ProgramSettings::CheckWrite) return tabCheckWrite_;
  if (setting == &ProgramSettings::FullRead) return tabFullRead_;
  if (setting == &ProgramSettings::Backup) return tabBackup_;
  if (setting == &ProgramSettings::FullWrite) return tabFullWrite_;
  return nullptr;
}

}  // namespace vexa::ui
