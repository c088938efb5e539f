// The keys of the main window, besides the mnemonics of its buttons:
//   Ctrl+O loads a file, Ctrl+S saves it, Ctrl+P prints, Ctrl+Shift+P shows
//   the print preview, Ctrl+Q leaves the program;
//   F2 activates or releases the unit, F5 reads its EEPROM, F6 writes it;
//   Ctrl+Tab and Ctrl+PgDown show the next tab, Ctrl+Shift+Tab and
//   Ctrl+PgUp the previous one, wherever the focus is in the window.
// A button's key is shown on a second line of its tooltip (the tooltip text
// itself stays as it is).
#pragma once

#include <QString>

class QAbstractButton;

namespace vexa::ui {

class MainWindow;

// Each command key acts as a click on its button (btFileLoad, btFileSave,
// btTisk, btNahled, btKonec, btDEA, btEEPROMLoad, btEEPROMSave) and does
// nothing while the button is disabled.
void AttachShortcuts(MainWindow& window);

// The key shown under a button's tooltip ("" when it has none).
QString ShortcutShownFor(const QAbstractButton* button);

}  // namespace vexa::ui
