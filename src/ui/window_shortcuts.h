// The standard shortcuts of the main window, besides the mnemonics of its
// buttons: Ctrl+O loads a file, Ctrl+S saves it, Ctrl+P prints, Ctrl+Q
// leaves the program.
#pragma once

namespace vexa::ui {

class MainWindow;

// Each shortcut acts as a click on its button (btFileLoad, btFileSave,
// btTisk, btKonec) and does nothing while the button is disabled.
void AttachShortcuts(MainWindow& window);

}  // namespace vexa::ui
