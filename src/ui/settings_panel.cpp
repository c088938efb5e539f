#include "ui/settings_panel.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QIcon>
#include <QPainter>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "texts/texts_series.h"
#include "texts/texts_window.h"
#include "ui/captions.h"
#include "ui/compare_wiring.h"
#include "ui/field_controller.h"

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

SettingsPanel::SettingsPanel(FieldController& fields) : QGroupBox(Words(texts::kPanelSettings)) {
  setObjectName(QStringLiteral("frNastaveni"));
  auto* sl = new QVBoxLayout(this);
  auto* buttons = new QHBoxLayout;
  QStyle* st = style();
  btTisk_ = AddTool(buttons, "btTisk", Words(texts::kToolPrint),
                    ButtonIcon(st, "document-print", QStyle::SP_FileDialogDetailedView));
  btNahled_ = AddTool(buttons, "btNahled", Words(texts::kToolPreview),
                      ButtonIcon(st, "document-print-preview", QStyle::SP_FileDialogContentsView));
  buttons->addSpacing(6);
  btEEPROMSave_ = AddTool(buttons, "btEEPROMSave", Words(texts::kToolEepromSave),
                          ButtonIcon(st, "vexa-eeprom-write", QStyle::SP_DriveHDIcon, QStyle::SP_ArrowDown));
  btEEPROMLoad_ = AddTool(buttons, "btEEPROMLoad", Words(texts::kToolEepromLoad),
                          ButtonIcon(st, "vexa-eeprom-read", QStyle::SP_DriveHDIcon, QStyle::SP_ArrowUp));
  buttons->addSpacing(6);
  btFileSave_ = AddTool(buttons, "btFileSave", Words(texts::kToolFileSave),
                        ButtonIcon(st, "document-save", QStyle::SP_DialogSaveButton));
  btFileLoad_ = AddTool(buttons, "btFileLoad", Words(texts::kToolFileLoad),
                        ButtonIcon(st, "document-open", QStyle::SP_DialogOpenButton));
  buttons->addStretch(1);
  sl->addLayout(buttons);
  sl->addWidget(AddOption(fields, Field::CheckWrite));
  QCheckBox* fullRead = AddOption(fields, Field::FullRead);
  QCheckBox* backup = AddOption(fields, Field::Backup);
  QCheckBox* fullWrite = AddOption(fields, Field::FullWrite);
  // The options of the read and of the write are read by name as well.
  for (QCheckBox* box : {fullRead, backup, fullWrite}) box->setAccessibleName(box->text());
  sl->addWidget(fullRead);
  // The two options of the write share a row, so the panel keeps its height.
  auto* writeRow = new QHBoxLayout;
  writeRow->addWidget(backup);
  writeRow->addWidget(fullWrite);
  writeRow->addStretch(1);
  sl->addLayout(writeRow);
  btPorovnat_ = MakeCompareButton();
  btSerie_ = new QPushButton(Words(texts::kSeriesButton));
  btSerie_->setObjectName(QStringLiteral("btSerie"));
  btSerie_->setAccessibleName(Words(texts::kSeriesButton));
  btSerie_->setToolTip(Words(texts::kSeriesButtonTip));
  btSerie_->setFocusPolicy(Qt::StrongFocus);
  auto* lastRow = new QHBoxLayout;
  lastRow->addWidget(btPorovnat_);
  lastRow->addWidget(btSerie_);
  lastRow->addStretch(1);
  sl->addLayout(lastRow);
}

QCheckBox* SettingsPanel::AddOption(FieldController& fields, Field field) {
  QCheckBox* box = MakeFieldCheck(fields, field);
  options_.emplace_back(field, box);
  return box;
}

QCheckBox* SettingsPanel::settingBox(Field field) const {
  for (const auto& [f, box] : options_) {
    if (f == field) return box;
  }
  return nullptr;
}

}  // namespace vexa::ui
