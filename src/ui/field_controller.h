// Fields of a window bound to the configuration. Every bound control knows
// its field reference: a change writes through to the configuration, a
// redisplay from the configuration runs under a guard (it writes nothing
// back), and leaving a field queues its rules, which run right after the
// focus event (not inside it), so that a message box never interrupts a
// click or a tab switch half-way. The rules present their outcome in one
// order: each message, then the field it changed. On a failure the focus goes
// back to the field, its text selected.
//
// A focus taken by a message box, a dialog, a popup or another window runs
// nothing; nor do the focus moves the rules themselves cause.
#pragma once

#include <QHash>
#include <QObject>
#include <array>
#include <deque>
#include <functional>

#include "rules/rules.h"
#include "workspace/fields.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QWidget;

namespace vexa {
struct Workspace;
struct Services;
}  // namespace vexa

namespace vexa::ui {

class FieldCombo;

class FieldController : public QObject {
  Q_OBJECT
 public:
  // What the window does around the fields.
  struct Hooks {
    // After a control changed its field (mirrored texts, enabling rules,
    // the usage display).
    std::function<void(FieldRef)> edited;
    // Brings a field to the front and gives it the focus, text selected.
    std::function<void(FieldRef)> focusField;
    // Brings a tab to the front.
    std::function<void(int)> showTab;
  };

  FieldController(Workspace& ws, Services& sv, QWidget& owner);
  void setHooks(Hooks hooks) { hooks_ = std::move(hooks); }

  // Bound controls, made and registered here. Row cells also carry their
  // row as the dynamic property "row".
  QLineEdit* MakeEdit(FieldRef f, const QString& objectName, const QString& accessibleName,
                      const QString& tooltip = {});
  QCheckBox* MakeCheck(FieldRef f, const QString& objectName, const QString& caption, const QString& tooltip = {});
  // The editable combo box of a text field.
  void BindCombo(FieldRef f, FieldCombo* combo);
  // A selector (not editable) of a text field; it runs no rules.
  void BindSelector(FieldRef f, QComboBox* combo);
  // A flag shown by two options; `on` is its control.
  void BindOptions(FieldRef f, QRadioButton* on, QRadioButton* off);

  QWidget* control(FieldRef f) const;
  QLineEdit* textEdit(FieldRef f) const;
  // The field a control (or a combo box's editor) shows, if any.
  const FieldRef* fieldOf(const QObject* w) const;

  // Shows a field, a row or everything again from the configuration.
  void Show(FieldRef f);
  void ShowRow(Family family, int row);
  void ShowAll();
  // True while everything is being shown again (one usage update at the end).
  bool bulk() const { return bulk_; }

  // Runs the rules of fields that lost the focus and are still waiting.
  // False when one failed (its message shown, the focus back on it).
  bool Flush();
  bool pending() const { return !pending_.empty(); }
  // Forgets the fields waiting (the values they were left with are gone).
  void Clear() { pending_.clear(); }
  // Shows a rule's messages and changes in the one order.
  void Present(const rules::FieldCheck& check);

  // Stops reacting to the controls (the window is being torn down).
  void Detach();

 private:
  void Register(FieldRef f, QWidget* w);
  void OnText(FieldRef f, const QString& text);
  void OnFlag(FieldRef f, bool on);
  void OnLeft(FieldRef f, Qt::FocusReason reason);
  void RunQueued();
  bool RunRules(FieldRef f);

  Workspace& ws_;
  Services& sv_;
  QWidget& owner_;
  Hooks hooks_;
  std::array<QWidget*, static_cast<std::size_t>(kFieldCount) * kRows> controls_{};
  QHash<const QObject*, FieldRef> fieldOf_;
  QRadioButton* offOption_ = nullptr;
  std::deque<FieldRef> pending_;
  bool queued_ = false;
  int checking_ = 0;  // rules running: focus moves they cause run nothing
  int showing_ = 0;   // controls being filled from the configuration
  bool bulk_ = false;
};

}  // namespace vexa::ui
