// Small helpers the window's parts share for captions and coloured texts,
// and for the words of a field as its row of the field table gives them.
#pragma once

#include <QCheckBox>
#include <QColor>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QString>
#include <initializer_list>
#include <map>
#include <optional>
#include <vector>

#include "ui/field_controller.h"
#include "model/fields.h"

namespace vexa::ui {

// A text of the catalogue or of the field table; null reads as empty.
inline QString Words(const char* text) { return text != nullptr ? QString::fromUtf8(text) : QString(); }

// What a field is called (a check box's text, a text control's accessible name).
inline QString CaptionOf(Field f) { return Words(InfoOf(f).caption); }
// The caption beside a field's text control: its label, else its caption
// and a colon.
inline QString LabelOf(Field f) {
  const FieldInfo& info = InfoOf(f);
  return info.label != nullptr ? Words(info.label) : CaptionOf(f) + QLatin1Char(':');
}
inline QString AfterOf(Field f) { return Words(InfoOf(f).after); }
inline QString TipOf(Field f) { return Words(InfoOf(f).tip); }
inline QString EditorTip(Field f) { return Words(EditorTipOf(InfoOf(f))); }
// The main window's name of a field's control: the report texts keep their
// own "rt" names, the others take "tab" before theirs.
inline QString WindowControlName(Field f) {
  const QString name = QString::fromLatin1(InfoOf(f).name);
  return name.startsWith(QLatin1String("rt")) ? name : QStringLiteral("tab") + name;
}

// The main window's control of a general field or program setting, named
// and worded from the field's row of the table. A text read under a group
// has the group as its accessible description.
inline QLineEdit* MakeFieldEdit(FieldController& fields, Field f) {
  QLineEdit* edit = fields.MakeEdit({f, 0}, WindowControlName(f), CaptionOf(f), TipOf(f));
  if (const char* group = InfoOf(f).group) edit->setAccessibleDescription(Words(group));
  return edit;
}
inline QCheckBox* MakeFieldCheck(FieldController& fields, Field f) {
  return fields.MakeCheck({f, 0}, WindowControlName(f), CaptionOf(f), TipOf(f));
}

// The controls of the fields a flag enables (EnabledBy in the field table),
// gathered per flag as a tab makes them.
class EnabledControls {
 public:
  // Keeps a field's controls (with its caption and unit) with the flag that
  // enables the field; a field always enabled is not kept.
  void Add(Field f, std::initializer_list<QWidget*> controls) {
    if (const std::optional<Field> flag = InfoOf(f).enabledBy) {
      std::vector<QWidget*>& group = byFlag_[*flag];
      group.insert(group.end(), controls);
    }
  }
  void Apply(Field flag, bool on) const {
    const auto group = byFlag_.find(flag);
    if (group == byFlag_.end()) return;
    for (QWidget* w : group->second) w->setEnabled(on);
  }

 private:
  std::map<Field, std::vector<QWidget*>> byFlag_;
};

// A caption, optionally named and the buddy of a control.
inline QLabel* MakeCaption(const QString& text, const char* objectName = nullptr, QWidget* buddy = nullptr) {
  auto* label = new QLabel(text);
  if (objectName != nullptr) label->setObjectName(QString::fromLatin1(objectName));
  if (buddy != nullptr) label->setBuddy(buddy);
  return label;
}

// A caption text as an accessible name: without mnemonics, trailing colon
// and line breaks.
inline QString AccessibleFromCaption(QString caption) {
  caption.remove(QLatin1Char('&'));
  caption.replace(QLatin1Char('\n'), QLatin1Char(' '));
  caption = caption.simplified();
  while (caption.endsWith(QLatin1Char(':'))) caption.chop(1);
  return caption.trimmed();
}

inline void SetTextColour(QWidget* w, const QColor& colour) {
  QPalette p = w->palette();
  p.setColor(QPalette::WindowText, colour);
  p.setColor(QPalette::Text, colour);
  w->setPalette(p);
}

}  // namespace vexa::ui
