// The modal row editors of the main window: phone number, input, output and
// analog input. Each opener copies one row of the configuration into its
// dialog, shows it modally and copies the row back only on "&Ok".
//
// After an opener returns, the main window shows that row again from the
// configuration and recomputes the usage display.
//
// A row outside 0..kRows-1 is a fault of the program: the opener stops the
// program, naming the row, rather than open another row or nothing.
#pragma once

#include <QPointer>

class QWidget;

namespace vexa {

struct Workspace;
struct Services;

namespace ui {

class PhoneEditor;
class InputEditor;
class OutputEditor;
class AnalogEditor;
class FieldController;

class RowEditors {
 public:
  // `fields`, when given, shows the phone row copied back and presents the
  // phone-row rule as the window's own fields' rules; without it the rule's
  // messages are shown as they are.
  RowEditors(Workspace& ws, Services& sv, QWidget* owner, FieldController* fields = nullptr);
  ~RowEditors();

  void OpenPhoneEditor(int row);
  void OpenInputEditor(int row);
  void OpenOutputEditor(int row);
  void EditAnalogInput(int row);

  // The dialogs, created on first use (for tests and screenshots).
  PhoneEditor& phoneEditor();
  InputEditor& inputEditor();
  OutputEditor& outputEditor();
  AnalogEditor& analogEditor();

 private:
  Workspace& ws_;
  Services& sv_;
  QWidget* owner_;
  FieldController* fields_;
  // Children of the owner, which deletes them; without an owner they go
  // with this object.
  QPointer<PhoneEditor> phone_;
  QPointer<InputEditor> input_;
  QPointer<OutputEditor> output_;
  QPointer<AnalogEditor> analog_;
};

}  // namespace ui
}  // namespace vexa
