#include "ui/sms_tab.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "texts/texts_window.h"
#include "ui/captions.h"
#include "ui/field_controller.h"

namespace vexa::ui {
namespace {

// The tab's panels, each holding the tab's fields from its first one up to the
// next panel's first: a new field of the tab is shown in the panel its place
// in the field table puts it in. A panel of a group is titled by the group.
struct Panel {
  Field first;
  const char* objectName;
  const char* title;  // null: untitled
  bool oneLine;       // caption, field and unit side by side
  bool right;         // in the right column
};
constexpr Panel kPanels[] = {
    {Field::PINAuth, "frAutorizace", nullptr, false, false},
    {Field::DobaPlatnostiSMS, "frPlatnost", nullptr, true, false},
    {Field::Batt, "frBaterie", texts::kPanelBattery, false, false},
    {Field::PowerReport, "frSitoveNapajeni", InfoOf(Field::PowerReport).group, false, true},
    {Field::SwitchReport, "frZapnutiZarizeni", InfoOf(Field::SwitchReport).group, false, true},
};

}  // namespace

SmsTab::SmsTab(FieldController& fields) {
  auto* columns = new QHBoxLayout(this);
  auto* left = new QVBoxLayout;
  auto* right = new QVBoxLayout;

  const auto tab = kTabFields[static_cast<std::size_t>(IndexOf(WindowTab::SmsZpravy))];
  auto field = tab.begin();
  for (std::size_t p = 0; p < std::size(kPanels); ++p) {
    const Panel& panel = kPanels[p];
    auto* box = new QGroupBox(Words(panel.title));
    box->setObjectName(QString::fromLatin1(panel.objectName));
    QBoxLayout* layout = panel.oneLine ? static_cast<QBoxLayout*>(new QHBoxLayout(box)) : new QVBoxLayout(box);
    const auto end = p + 1 < std::size(kPanels) ? std::find(field, tab.end(), kPanels[p + 1].first) : tab.end();
    for (; field != end; ++field) {
      const Field f = *field;
      std::vector<QWidget*> controls;
      if (InfoOf(f).kind == FieldKind::Flag) {
        controls.push_back(MakeFieldCheck(fields, f));
      } else {
        QLineEdit* edit = MakeFieldEdit(fields, f);
        if (panel.oneLine) {
          edit->setMaximumWidth(40);
          edit->setAlignment(Qt::AlignRight);
        }
        const QByteArray captionName = "lbl" + QByteArray(InfoOf(f).name).mid(2);
        // A text a report flag enables has its caption named after it
        // (lblPowerUp), being switched with it.
        const bool switched = InfoOf(f).enabledBy.has_value();
        controls = {MakeCaption(LabelOf(f), switched ? captionName.constData() : nullptr, edit), edit};
        if (!AfterOf(f).isEmpty()) controls.push_back(MakeCaption(AfterOf(f)));
        enabled_.Add(f, {controls[0], controls[1]});
      }
      for (QWidget* w : controls) {
        if (InfoOf(f).hidden) w->setVisible(false);
        layout->addWidget(w);
      }
    }
    if (panel.oneLine) layout->addStretch();
    (panel.right ? right : left)->addWidget(box);
  }
  left->addStretch(1);
  right->addStretch(1);
  columns->addLayout(left, 1);
  columns->addLayout(right, 1);
}

}  // namespace vexa::ui
