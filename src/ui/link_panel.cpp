#include "ui/link_panel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "texts/texts_link.h"
#include "texts/texts_window.h"
#include "workflows/link_workflows.h"
#include "ui/captions.h"
#include "ui/field_controller.h"
#include "ui/port_selector.h"

namespace vexa::ui {

LinkPanel::LinkPanel(FieldController& fields, const link::PortList* ports) : QGroupBox(Words(texts::kPanelLink)) {
  setObjectName(QStringLiteral("frKomunikace"));
  auto* ll = new QGridLayout(this);
  btDEA_ = new QPushButton(Words(texts::kCaptionActivate));
  btDEA_->setObjectName(QStringLiteral("btDEA"));
  btDEA_->setMinimumWidth(btDEA_->fontMetrics().horizontalAdvance(Words(texts::kCaptionDeactivate)) + 28);
  tabPort_ = new PortSelector(ports);
  tabPort_->setObjectName(QStringLiteral("tabPort"));
  tabPort_->setToolTip(TipOf(Field::Port));
  tabPort_->setAccessibleName(CaptionOf(Field::Port));
  fields.BindSelector({Field::Port, 0}, tabPort_);
  tabDeAktivNapis_ = new QLabel;
  tabDeAktivNapis_->setObjectName(QStringLiteral("tabDeAktivNapis"));
  QFont bold = tabDeAktivNapis_->font();
  bold.setBold(true);
  tabDeAktivNapis_->setFont(bold);
  tabDeAktivNapis_->setMinimumWidth(QFontMetrics(bold).horizontalAdvance(Words(texts::kLinkWrongDevice)) + 8);
  ll->addWidget(MakeCaption(LabelOf(Field::Port), nullptr, tabPort_), 0, 0);
  ll->addWidget(tabPort_, 0, 1);
  ll->addWidget(MakeCaption(Words(texts::kLinkState), nullptr, tabDeAktivNapis_), 1, 0);
  ll->addWidget(tabDeAktivNapis_, 1, 1);
  ll->addWidget(btDEA_, 2, 0, 1, 2);
}

std::optional<bool> LinkPanel::Show(LinkState state) {
  const LinkLook look = LookOf(state);
  tabDeAktivNapis_->setText(QString::fromUtf8(look.status));
  SetTextColour(tabDeAktivNapis_, QColor(look.statusColour.r, look.statusColour.g, look.statusColour.b));
  tabPort_->setEnabled(look.portSelectorEnabled);
  btDEA_->setText(QString::fromUtf8(look.deaCaption));
  return look.eepromButtonsEnabled;
}

}  // namespace vexa::ui
