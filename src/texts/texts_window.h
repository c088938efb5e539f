// The words of the windows that are no field's: panel titles, buttons, the
// row tables' row buttons, the row editors' captions and panels, the panels
// beside the tabs and the about box. A field's own caption, label, unit,
// tooltip and column head are in its row of the field table
// (model/fields.h).
#pragma once

namespace vexa::texts {

// The main window: its caption, its tabs in their order, and the panel
// "Program".
inline constexpr const char* kProgramTitle = "Inicializační program pro zařízení VEXA";
// Between where the configuration came from and the program's title.
inline constexpr const char* kTitleSeparator = " – ";
inline constexpr const char* kTabTitles[] = {
    "Všeobecné", "SMS zprávy", "Dig. vstupy", "Dig. výstupy", "Analog. vstupy 1-4", "Analog. vstupy 5-8", "Tel. čísla",
};
inline constexpr const char* kPanelProgram = "Program";
inline constexpr const char* kProgramInfo = "&Informace";
// The tooltip of "&Informace", and the about box's text for a screen reader.
inline constexpr const char* kProgramInfoTip = "Informace o programu";
inline constexpr const char* kProgramQuit = "U&končit";
inline constexpr const char* kProgramQuitTip = "Ukončit program";

// Tab "Všeobecné".
inline constexpr const char* kPanelDevice = "Zařízení";
inline constexpr const char* kPanelPowerSave = "Šetřící režim";
// The other option of EnablePS ("Povolit šetřící režim").
inline constexpr const char* kOptionNoPowerSave = "Bez šetřícího režimu";

// Tab "SMS zprávy".
inline constexpr const char* kPanelBattery = "Baterie";

// The row tables: the button at the end of each row and its tooltip.
inline constexpr const char* kRowOptions = "Možnosti";
inline constexpr const char* kRowOptionsInputTip = "Zobrazit formulář pro změnu hodnot tohoto digitálního vstupu";
inline constexpr const char* kRowOptionsOutputTip = "Zobrazit formulář pro změnu hodnot tohoto digitálního výstupu";
inline constexpr const char* kRowOptionsAnalogTip = "Zobrazit formulář pro změnu hodnot tohoto analogového vstupu";
inline constexpr const char* kRowChange = "Změnit";
inline constexpr const char* kRowChangePhoneTip = "Zobrazit formulář pro změnu tohoto telefonního čísla";
// The CL1-down text of "BAT", which is the battery report's text too.
inline constexpr const char* kBatteryFallTip =
    "Text SMS zprávy při přechodu přes CL1 dolu - TATO HLÁŠKA JE SHODNÁ S HLÁŠKOU O POKLESU NAPĚTÍ BATERIÍ";

// The row editors: their captions (the row label follows), buttons and panels.
inline constexpr const char* kEditorPhone = "Telefonní číslo ";
inline constexpr const char* kEditorInput = "Vstup ";
inline constexpr const char* kEditorOutput = "Výstup ";
inline constexpr const char* kEditorAnalog = "Analogový vstup ";
inline constexpr const char* kEditorOk = "&Ok";
inline constexpr const char* kPanelStates = "Stavy";
// The buttons of a question (and "&Storno" of the row editors), and the
// progress window's button that stops a transfer.
inline constexpr const char* kButtonYes = "&Ano";
inline constexpr const char* kButtonNo = "&Ne";
inline constexpr const char* kButtonStorno = "&Storno";
inline constexpr const char* kButtonStop = "Storno";
// The output function options (never shown in this edition), and what a
// comparison calls the byte that holds them.
inline constexpr const char* kOutputStandard = "Standartní výstup";
inline constexpr const char* kOutputModemState = "Indikace stavu modemu";
inline constexpr const char* kOutputPowerSaveState = "Indikace stavu šetřícího režimu";
inline constexpr const char* kCompareOutputFunctions = "Funkce výstupů";
// The analog editor.
inline constexpr const char* kPanelStateNames = "Názvy stavů";
inline constexpr const char* kPanelLevels = "Úrovně";
inline constexpr const char* kLevelCL1 = "CL1";
inline constexpr const char* kLevelCL2 = "CL2";
inline constexpr const char* kLevelCL1Bounds = "(hranice stavů LOW a MEDIUM)";
inline constexpr const char* kLevelCL2Bounds = "(hranice stavů MEDIUM a HIGH)";
// The box beside each crossing's text (and a screen reader's name for it
// after the crossing's caption and ": ").
inline constexpr const char* kSendAtOnce = "odeslat ihned";
inline constexpr const char* kGraphName = "Graf úrovní analogového vstupu";
inline constexpr const char* kGraphDescription =
    "Rozsah vstupu s úrovněmi CL1 a CL2, jejich hysterezemi a stavy LOW, MEDIUM a HIGH mezi nimi";

// Panel "Nastavení": its title and the tooltips of its picture buttons.
inline constexpr const char* kPanelSettings = "Nastavení";
inline constexpr const char* kToolPrint = "Tisk nastavení";
inline constexpr const char* kToolPreview = "Náhled tisku";
inline constexpr const char* kToolEepromSave = "Uložit nastavení do EEPROM";
inline constexpr const char* kToolEepromLoad = "Načíst  nastavení z EEPROM";
inline constexpr const char* kToolFileSave = "Uložit nastavení do souboru";
inline constexpr const char* kToolFileLoad = "Načíst nastavení ze souboru";

// Panel "Informace o připojeném zařízení": the captions of the values, each
// also the value's name for a screen reader (without its colon).
inline constexpr const char* kPanelInfo = "Informace o připojeném zařízení";
inline constexpr const char* kInfoProduct = "Produkt:";
inline constexpr const char* kInfoVersion = "Verze:";
inline constexpr const char* kInfoModem = "Typ modemu:";
inline constexpr const char* kInfoMemorySize = "Velikost paměti:";
inline constexpr const char* kInfoUsage = "Velikost nastavení:";
inline constexpr const char* kInfoFree = "Volné místo:";
// What every value reads until the unit has reported it.
inline constexpr const char* kInfoUnknown = "?";

// Panel "Komunikace PC se zařízením".
inline constexpr const char* kPanelLink = "Komunikace PC se zařízením";
inline constexpr const char* kLinkState = "Spojení";
// The activate button's two captions and the link states are the link's
// (texts_link.h); the panel keeps room for the longest state,
// kLinkWrongDevice.

// The about box "InfoProgram".
inline constexpr const char* kAboutTitle = "Informace o programu VEXA";
// Its text, line by line; a null entry is a rule of dashes.
inline constexpr const char* kAboutLines[] = {
    "VEXA verze 1.0",
    "Inicializační program pro zařízení VEXA",
    "",
    nullptr,
    "Verze procesoru zařízení 1.0 a vyšší",
    "Verze komunikačního protokolu 1.15",
    nullptr,
    "Program nastavuje zařízení VEXA přes sériový port a uchovává jeho nastavení",
    "v souborech EEPROM (*.eep).",
};
inline constexpr const char* kAboutSupport = "Servis a podpora: dodavatel zařízení VEXA";
inline constexpr const char* kAboutContact = "Kontakt na servis je uveden v dokumentaci dodané se zařízením.";

// The close button of the about box and of the comparison.
inline constexpr const char* kClose = "&Zavřít";
// The comparison's first column: what differs.
inline constexpr const char* kCompareItem = "Položka";
// Comparing configurations: the button btPorovnat (also the title of the
// dialog choosing the file), its tooltip, the comparison's title, and what
// each comparison sets against what, with the heads of its two columns.
inline constexpr const char* kCompareWithFile = "Porovnat se souborem";
inline constexpr const char* kCompareWithFileTip = "Porovnat nastavení v programu s nastavením uloženým v souboru";
inline constexpr const char* kCompareTitle = "Porovnání nastavení";
inline constexpr const char* kCompareFileWhat = "Nastavení v programu a v souboru '%1':";
inline constexpr const char* kCompareInProgram = "V programu";
inline constexpr const char* kCompareInFile = "V souboru";
inline constexpr const char* kCompareWriteWhat = "Nastavení zařízení před zápisem (záloha '%1') a zapsané nastavení:";
inline constexpr const char* kCompareBeforeWrite = "Před zápisem";
inline constexpr const char* kCompareWritten = "Zapsáno";
// The file dialogs of btFileLoad and btFileSave are titled as the buttons
// (kToolFileLoad, kToolFileSave).
// A button's tooltip names its key on a second line.
inline constexpr const char* kShortcutKey = "\nKlávesa: ";
// Where the configuration in the window came from, before the program's
// title: the unit's product (%1) on its port (%2).
inline constexpr const char* kSourceUnit = "Zařízení %1 na %2";

}  // namespace vexa::texts
