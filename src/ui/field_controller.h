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
// nothing; nor do the focus moves the rules themselves cause, nor a move onto
// a control that cancels the window ("&Storno").
//
// A row editor binds its fields to one row of its own scratch copy of the
// configuration: its controls are registered once and show whichever row
// the editor was last loaded with.
#pragma once

#include <QHash>
#include <QObject>
#include <array>
#include <deque>
#include <functional>
#include <vector>

#include "rules/rules.h"
#include "model/fields.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QWidget;

namespace vexa {
struct Workspace;
struct Services;
struct DeviceConfig;
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
    std::function<void(WindowTab)> showTab;
  };
  using Check = std::function<rules::FieldCheck(FieldRef)>;

  // The main window's fields, bound to the workspace's configuration.
  FieldController(Workspace& ws, Services& sv, QWidget& owner);
  // A row editor's fields, bound to one row of `target` and checked with the
  // editor's variant of the rules; the rules do nothing once the editor was
  // cancelled.
  FieldController(Workspace& ws, Services& sv, QWidget& owner, DeviceConfig& target, rules::Variant variant);
  void setHooks(Hooks hooks) { hooks_ = std::move(hooks); }
  // The rules of a field, where the window checks some itself; without it,
  // the rule engine's (StandardCheck).
  void setCheck(Check check) { check_ = std::move(check); }

  // Bound controls, made and registered here. Row cells also carry their
  // row as the dynamic property "row".
  QLineEdit* MakeEdit(FieldRef f, const QString& objectName, const QString& accessibleName,
                      const QString& tooltip = {});
  QCheckBox* MakeCheck(FieldRef f, const QString& objectName, const QString& caption, const QString& tooltip = {});
  // The editable combo box of a text field.
  void BindCombo(FieldRef f, FieldCombo* combo);
  // Moving the focus onto `w` runs no rules (it cancels the window).
  void IgnoreFocusTo(QWidget* w) { ignored_.push_back(w); }
  // One-row binding: the row the controls show and edit.
  void SetRow(int row) { row_ = row; }
  int row() const { return row_; }

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
  // Runs the rules of the field holding the focus, as if it lost it (a
  // button pressed by Enter or its shortcut takes no focus).
  bool CheckFocused();
  // Forgets the fields waiting (the values they were left with are gone).
  void Clear() { pending_.clear(); }
  // The rule engine's check of a field on the bound configuration.
  rules::FieldCheck StandardCheck(FieldRef f);
  // Gives the focus to a control, its text selected, without running the
  // rules of the field that loses it.
  void FocusBack(QWidget* w);
  // Shows a rule's messages and changes in the one order.
  void Present(const rules::FieldCheck& check);

  // Stops reacting to the controls (the window is being torn down).
  void Detach();

 private:
  void Register(FieldRef f, QWidget* w);
  // The field a control edits: in one-row binding, on the current row.
  FieldRef Here(FieldRef f) const;
  std::size_t Slot(FieldRef f) const;
  void OnText(FieldRef f, const QString& text);
  void OnFlag(FieldRef f, bool on);
  void OnLeft(FieldRef f, Qt::FocusReason reason);
  void RunQueued();
  bool RunRules(FieldRef f);

  Workspace& ws_;
  Services& sv_;
  QWidget& owner_;
  DeviceConfig& config_;
  rules::Variant variant_ = rules::Variant::MainWindow;
  bool oneRow_ = false;
  int row_ = 0;
  std::vector<QWidget*> ignored_;
  Hooks hooks_;
  Check check_;
  std::array<QWidget*, static_cast<std::size_t>(kFieldCount) * kRows> controls_{};
  QHash<const QObject*, FieldRef> fieldOf_;
  // The "off" option of each flag shown by two options, by its "on" option.
  QHash<const QRadioButton*, QRadioButton*> offOptions_;
  std::deque<FieldRef> pending_;
  bool queued_ = false;
  int checking_ = 0;  // rules running: focus moves they cause run nothing
  int showing_ = 0;   // controls being filled from the configuration
  bool bulk_ = false;
};

}  // namespace vexa::ui
