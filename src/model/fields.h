// Every editable field of the configuration by name, with its family, kind,
// typing limit, stored form, the member that holds it, and how the windows
// show it: its caption, label, unit, tooltips and column head, its tab and
// its place within the tab, its panel in its row editor, its column in the
// printed report and the flag that enables it. This table is the one list
// of fields: the accessors, the JSON interchange, the EEPROM usage
// accounting, the compare captions, the order of the whole-configuration
// check, the tab a failing rule brings to the front, the controls of the
// main window's tabs and of the row editors, the enabling that follows an
// edit and the report's row tables follow it.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "model/device_config.h"
#include "model/window_tab.h"

namespace vexa {

enum class Family { General, Phone, Input, Output, Analog, Program };
inline constexpr int kFamilyCount = 6;
enum class FieldKind { Text, Flag };

// Where a row field sits in its row editor: the name line (with the
// status-message options of an analog row), the states, the level
// comparisons, the crossings (each its event box and text, an input's with
// its "odeslat ihned" box), the pulse, the options below.
enum class EditorPanel { None, Name, States, Levels, Crossings, Pulse, Options };

// How a text field is held and stored: plain text; the decimal number the
// user sees (kept in the image's fixed part, written with "." in JSON); or a
// phone number, which the image keeps as its semi-octet address text.
enum class TextForm { Plain, Number, Phone };

// The fields, in the order of the field table below (checked when compiling).
enum class Field {
  // general
  JmenoStanice, PIN, TCcentra, DobaPlatnostiSMS, OdpovidatT0, PrepnoutNepovolPristup, PINAuth,
  NotAuthorized, rtNotAuthorized, PowerReport, rtPowerUp, rtPowerDown, SwitchReport, rtSwitchOn,
  rtSwitchOff, Batt, rtBattLow, EnablePS, SuperPS, PSOutOff, PSOnH, PSOnM, PSOffH, PSOffM,
  // phone rows
  TC, TCPrijem, TCUdalost,
  // input rows
  INPNazev, INPZap, INPVyp, INPLH, INPHL, INPLHEvent, INPHLEvent, INPNeg, INPZpr, MaskDInLHAlarm,
  MaskDInHLAlarm,
  // output rows
  OUTNazev, OUTZap, OUTVyp, OUTimpuls, OUTimpulsLEN, OUTNeg, OUTZpr,
  // analog rows
  AINNazev, AINStateL, AINStateM, AINStateH, AINCL1Level, AINHCL1Level, AINCL2Level, AINHCL2Level,
  AINCL1Up, AINCL1Dn, AINCL2Up, AINCL2Dn, AINCL1UpEvent, AINCL1DnEvent, AINCL2UpEvent,
  AINCL2DnEvent, AINNeg, AINZpr, AINPrc,
  // program settings (keep UTOEnable last: it sets the count)
  Port, CheckWrite, FullRead, Backup, FullWrite, UTO, UTOEnable,
};

inline constexpr int kFieldCount = static_cast<int>(Field::UTOEnable) + 1;

// Where a field's value lives: a member of the general settings, of the row
// record of its family, or of the program settings.
using FieldMember =
    std::variant<std::string GeneralSettings::*, bool GeneralSettings::*, std::string PhoneEntry::*,
                 bool PhoneEntry::*, std::string DigitalInput::*, bool DigitalInput::*, std::string DigitalOutput::*,
                 bool DigitalOutput::*, std::string AnalogInput::*, bool AnalogInput::*,
                 std::string ProgramSettings::*, bool ProgramSettings::*>;

struct FieldInfo {
  Field field;
  const char* name;  // the configuration name, e.g. "INPNazev"
  Family family;
  FieldKind kind;
  int maxLength;     // most characters while typing; 0 = no limit (texts only)
  bool counted;      // counted by the EEPROM usage accounting
  TextForm form;
  FieldMember member;
  // The one row whose record holds the field, for a general field that is
  // another name of a row's member (rtBattLow); -1 for every other field.
  int fixedRow;

  // The words the windows show for the field, each written here once.
  // What the field is called: its check box's text, its text control's
  // accessible name, its line in a comparison.
  const char* caption = nullptr;
  // The panel or line it is read under ("Zapnutí/Vypnutí zařízení"): a
  // comparison names the field as "group: caption"; null for none.
  const char* group = nullptr;
  // The caption beside its text control (in the main window for a general
  // field, in the row editor for a row's) where it is not the caption and a
  // colon ("LOW (nízká) ................."); "" for none.
  const char* label = nullptr;
  // The words after its control, a unit ("sekund"); null for none.
  const char* after = nullptr;
  // Its tooltip, in the main window and in its row editor; null for none.
  const char* tip = nullptr;
  // The row editor's tooltip where it is not the main window's.
  const char* editorTip = nullptr;
  // The head of its column in the row table: null for the caption, "" for a
  // field that has no column (edited in its row editor only).
  const char* head = nullptr;

  // The tab that shows it (the analog rows' fields: the tab of rows A1..A4;
  // WindowTabOf gives a row's own tab) and its place there, from 1, both
  // taken from kTabFields below; none for the program settings kept in the
  // panels beside the tabs.
  std::optional<WindowTab> tab;
  int order = 0;

  // The flag whose state enables the field's controls (a report's texts
  // follow its report flag); none for a field always enabled.
  std::optional<Field> enabledBy;
  // The field's column in its family's table of the printed report, from 1
  // (0: no column of its own), and the column's width in twips (0: up to
  // the right edge), both taken from kReportColumns below.
  int reportColumn = 0;
  int reportWidth = 0;
  // Never shown in this edition (its controls exist, hidden).
  bool hidden = false;
  // The fixed width of its column in the row table (0: a text's column
  // takes its share of the spare width), and whether the column is on the
  // row's second line.
  int columnWidth = 0;
  bool secondLine = false;
  // Its panel in its row editor and its place there, from 1, both taken
  // from kEditorPanels below.
  EditorPanel editorPanel = EditorPanel::None;
  int editorOrder = 0;

  constexpr FieldInfo Caption(const char* text) const { return With(&FieldInfo::caption, text); }
  constexpr FieldInfo Group(const char* text) const { return With(&FieldInfo::group, text); }
  constexpr FieldInfo Label(const char* text) const { return With(&FieldInfo::label, text); }
  constexpr FieldInfo After(const char* text) const { return With(&FieldInfo::after, text); }
  constexpr FieldInfo Tip(const char* text) const { return With(&FieldInfo::tip, text); }
  constexpr FieldInfo EditorTip(const char* text) const { return With(&FieldInfo::editorTip, text); }
  constexpr FieldInfo Head(const char* text) const { return With(&FieldInfo::head, text); }
  constexpr FieldInfo NoColumn() const { return With(&FieldInfo::head, ""); }
  constexpr FieldInfo ColumnWidth(int width) const {
    FieldInfo f = *this;
    f.columnWidth = width;
    return f;
  }
  constexpr FieldInfo SecondLine() const {
    FieldInfo f = *this;
    f.secondLine = true;
    return f;
  }
  constexpr FieldInfo Hidden() const {
    FieldInfo f = *this;
    f.hidden = true;
    return f;
  }
  constexpr FieldInfo EnabledBy(Field flag) const {
    FieldInfo f = *this;
    f.enabledBy = flag;
    return f;
  }

 private:
  constexpr FieldInfo With(const char* FieldInfo::*slot, const char* text) const {
    FieldInfo f = *this;
    f.*slot = text;
    return f;
  }
};

namespace field_table {

template <class Rec>
constexpr Family FamilyOf() {
  if constexpr (std::is_same_v<Rec, GeneralSettings>) return Family::General;
  if constexpr (std::is_same_v<Rec, PhoneEntry>) return Family::Phone;
  if constexpr (std::is_same_v<Rec, DigitalInput>) return Family::Input;
  if constexpr (std::is_same_v<Rec, DigitalOutput>) return Family::Output;
  if constexpr (std::is_same_v<Rec, AnalogInput>) return Family::Analog;
  if constexpr (std::is_same_v<Rec, ProgramSettings>) return Family::Program;
}

inline constexpr bool kCounted = true;
inline constexpr bool kNotCounted = false;

// A row of the table with its words still to be given.
constexpr FieldInfo Row(Field f, const char* name, Family family, FieldKind kind, int maxLength, bool counted,
                        TextForm form, FieldMember member, int fixedRow) {
  return {f,       name,    family,  kind,    maxLength, counted,      form, member,       fixedRow, nullptr,
          nullptr, nullptr, nullptr, nullptr, nullptr,   nullptr, std::nullopt, 0,    std::nullopt, 0,        0,
          false,   0,       false,   EditorPanel::None, 0};
}

// A text held in the record of its family.
template <class Rec>
constexpr FieldInfo Text(Field f, const char* name, std::string Rec::*m, int maxLength, bool counted,
                         TextForm form = TextForm::Plain) {
  return Row(f, name, FamilyOf<Rec>(), FieldKind::Text, maxLength, counted, form, m, -1);
}
// A decimal number held as its text; never counted.
template <class Rec>
constexpr FieldInfo Number(Field f, const char* name, std::string Rec::*m, int maxLength) {
  return Text(f, name, m, maxLength, kNotCounted, TextForm::Number);
}
template <class Rec>
constexpr FieldInfo Flag(Field f, const char* name, bool Rec::*m) {
  return Row(f, name, FamilyOf<Rec>(), FieldKind::Flag, 0, kNotCounted, TextForm::Plain, m, -1);
}
// A general text that is the member `m` of row `row` under another name.
template <class Rec>
constexpr FieldInfo RowText(Field f, const char* name, std::string Rec::*m, int row, int maxLength, bool counted) {
  return Row(f, name, Family::General, FieldKind::Text, maxLength, counted, TextForm::Plain, m, row);
}

using G = GeneralSettings;
using P = PhoneEntry;
using I = DigitalInput;
using O = DigitalOutput;
using A = AnalogInput;
using S = ProgramSettings;

// What each tab shows, in the order it shows it: the row tables' columns
// (and the fields their row editors alone show), the general tabs' controls.
// A field's tab and place come from here.
inline constexpr Field kVseobecne[] = {
    Field::JmenoStanice, Field::PIN,    Field::TCcentra, Field::EnablePS, Field::PSOnH,
    Field::PSOnM,        Field::PSOffH, Field::PSOffM,   Field::SuperPS,  Field::PSOutOff,
};
inline constexpr Field kSmsZpravy[] = {
    Field::PINAuth,       Field::OdpovidatT0,     Field::PrepnoutNepovolPristup,
    Field::NotAuthorized, Field::rtNotAuthorized, Field::DobaPlatnostiSMS,
    Field::Batt,          Field::rtBattLow,       Field::PowerReport,
    Field::rtPowerUp,     Field::rtPowerDown,     Field::SwitchReport,
    Field::rtSwitchOn,    Field::rtSwitchOff,
};
inline constexpr Field kDigVstupy[] = {
    Field::INPNazev,   Field::INPZap, Field::INPVyp, Field::INPLH,          Field::INPHL,          Field::INPLHEvent,
    Field::INPHLEvent, Field::INPNeg, Field::INPZpr, Field::MaskDInLHAlarm, Field::MaskDInHLAlarm,
};
inline constexpr Field kDigVystupy[] = {
    Field::OUTNazev, Field::OUTZap, Field::OUTVyp, Field::OUTimpuls, Field::OUTimpulsLEN, Field::OUTNeg, Field::OUTZpr,
};
// An analog row's SMS texts are on the row's second line.
inline constexpr Field kAnalogy[] = {
    Field::AINNazev,      Field::AINStateL,     Field::AINStateM,    Field::AINStateH,     Field::AINCL1Level,
    Field::AINHCL1Level,  Field::AINCL2Level,   Field::AINHCL2Level, Field::AINCL1UpEvent, Field::AINCL1DnEvent,
    Field::AINCL2UpEvent, Field::AINCL2DnEvent, Field::AINNeg,       Field::AINPrc,        Field::AINZpr,
    Field::AINCL1Up,      Field::AINCL1Dn,      Field::AINCL2Up,     Field::AINCL2Dn,
};
inline constexpr Field kTelCisla[] = {Field::TC, Field::TCPrijem, Field::TCUdalost, Field::UTOEnable, Field::UTO};

// The columns of the report's row tables after each row's label, left to
// right, with their widths in twips (0: up to the right edge). A field's
// report column comes from here.
struct ReportColumn {
  Field field;
  int width;
};
inline constexpr ReportColumn kReportColumns[] = {
    // inputs
    {Field::INPNazev, 1500}, {Field::INPVyp, 800}, {Field::INPZap, 800}, {Field::INPLHEvent, 300},
    {Field::INPLH, 2000}, {Field::MaskDInLHAlarm, 300}, {Field::INPHLEvent, 300}, {Field::INPHL, 2000},
    {Field::MaskDInHLAlarm, 300}, {Field::INPNeg, 800}, {Field::INPZpr, 0},
    // outputs
    {Field::OUTNazev, 1500}, {Field::OUTVyp, 800}, {Field::OUTZap, 800}, {Field::OUTNeg, 800},
    {Field::OUTimpuls, 1000}, {Field::OUTimpulsLEN, 500}, {Field::OUTZpr, 0},
    // phone numbers
    {Field::TC, 2000}, {Field::TCPrijem, 2000}, {Field::TCUdalost, 0},
};

// What each row editor shows, panel by panel, in the order the editor makes
// its controls. A field's editor panel and place come from here.
struct EditorSlot {
  Field field;
  EditorPanel panel;
};
inline constexpr EditorSlot kEditorPanels[] = {
    // the input editor
    {Field::INPNazev, EditorPanel::Name}, {Field::INPZap, EditorPanel::States}, {Field::INPVyp, EditorPanel::States},
    {Field::INPLHEvent, EditorPanel::Crossings}, {Field::INPLH, EditorPanel::Crossings},
    {Field::MaskDInLHAlarm, EditorPanel::Crossings}, {Field::INPHLEvent, EditorPanel::Crossings},
    {Field::INPHL, EditorPanel::Crossings}, {Field::MaskDInHLAlarm, EditorPanel::Crossings},
    {Field::INPNeg, EditorPanel::Options}, {Field::INPZpr, EditorPanel::Options},
    // the output editor
    {Field::OUTNazev, EditorPanel::Name}, {Field::OUTZap, EditorPanel::States}, {Field::OUTVyp, EditorPanel::States},
    {Field::OUTNeg, EditorPanel::States}, {Field::OUTimpuls, EditorPanel::Pulse},
    {Field::OUTimpulsLEN, EditorPanel::Pulse}, {Field::OUTZpr, EditorPanel::Options},
    // the analog editor: each level with its hysteresis, each crossing's
    // event box before its text
    {Field::AINNazev, EditorPanel::Name}, {Field::AINPrc, EditorPanel::Name}, {Field::AINZpr, EditorPanel::Name},
    {Field::AINStateL, EditorPanel::States}, {Field::AINStateM, EditorPanel::States},
    {Field::AINStateH, EditorPanel::States}, {Field::AINCL1Level, EditorPanel::Levels},
    {Field::AINHCL1Level, EditorPanel::Levels}, {Field::AINCL1UpEvent, EditorPanel::Crossings},
    {Field::AINCL1Up, EditorPanel::Crossings}, {Field::AINCL1DnEvent, EditorPanel::Crossings},
    {Field::AINCL1Dn, EditorPanel::Crossings}, {Field::AINCL2Level, EditorPanel::Levels},
    {Field::AINHCL2Level, EditorPanel::Levels}, {Field::AINCL2UpEvent, EditorPanel::Crossings},
    {Field::AINCL2Up, EditorPanel::Crossings}, {Field::AINCL2DnEvent, EditorPanel::Crossings},
    {Field::AINCL2Dn, EditorPanel::Crossings}, {Field::AINNeg, EditorPanel::Options},
};

}  // namespace field_table

// The fields of each tab in the order the tab shows them (the analog rows of
// both analog tabs are listed under the first).
inline constexpr std::array<std::span<const Field>, kWindowTabCount> kTabFields = {
    field_table::kVseobecne, field_table::kSmsZpravy,  field_table::kDigVstupy, field_table::kDigVystupy,
    field_table::kAnalogy,   std::span<const Field>(), field_table::kTelCisla,
};

// Every field once, in the order of the Field enumeration, which is the order
// of the configuration's records (and of its JSON keys and comparisons). A
// new field is a member of its record, one line here and its place in its
// tab above.
inline constexpr std::array<FieldInfo, kFieldCount> kFields = [] {
  using namespace field_table;
  std::array<FieldInfo, kFieldCount> table{{
      Text(Field::JmenoStanice, "JmenoStanice", &G::JmenoStanice, kTextLimit, kCounted)
          .Caption("Název stanice")
          .Tip("Název stanice"),
      Text(Field::PIN, "PIN", &G::PIN, kPinLimit, kCounted)
          .Caption("PIN")
          .Tip("PIN SIM karty, která je uložena ve stanici"),
      Text(Field::TCcentra, "TCcentra", &G::TCcentra, 0, kCounted)  // stored as plain text
          .Caption("Telefonní číslo servisního centra")
          .Tip("Telefonní číslo servisního centra SMS zpráv"),
      Number(Field::DobaPlatnostiSMS, "DobaPlatnostiSMS", &G::DobaPlatnostiSMS, kSmsValidityLimit)
          .Caption("Doba platnosti SMS zprávy")
          .Label("Doba platnosti SMS zprávy je")
          .After("dnů  (1-30).")
          .Tip("Doba, po kterou je SMS zpráva platná"),
      Flag(Field::OdpovidatT0, "OdpovidatT0", &G::OdpovidatT0)
          .Caption("Hlášení o stavu posílat i na telefonní číslo T1"),
      Flag(Field::PrepnoutNepovolPristup, "PrepnoutNepovolPristup", &G::PrepnoutNepovolPristup)
          .Caption("Hlášení o nepovoleném přístupu posílat i na tel. číslo T1")
          .Hidden(),
      Flag(Field::PINAuth, "PINAuth", &G::PINAuth).Caption("Autorizace pomocí zadání PINu v příkazové zprávě"),
      Flag(Field::NotAuthorized, "NotAuthorized", &G::NotAuthorized)
          .Caption("Posílat hlášení, že není povolen přístup")
          .Hidden(),
      Text(Field::rtNotAuthorized, "rtNotAuthorized", &G::rtNotAuthorized, kTextLimit, kCounted)
          .Caption("Text hlášení o nepovolení přístupu")
          .EnabledBy(Field::NotAuthorized)
          .Hidden(),
      Flag(Field::PowerReport, "PowerReport", &G::PowerReport)
          .Group("Zapnutí/Vypnutí síťového napájení")
          .Caption("posílat hlášení o zapnutí/vypnutí"),
      Text(Field::rtPowerUp, "rtPowerUp", &G::rtPowerUp, kTextLimit, kCounted)
          .Group("Zapnutí/Vypnutí síťového napájení")
          .Caption("Text hlášení při zapnutí")
          .EnabledBy(Field::PowerReport),
      Text(Field::rtPowerDown, "rtPowerDown", &G::rtPowerDown, kTextLimit, kCounted)
          .Group("Zapnutí/Vypnutí síťového napájení")
          .Caption("Text hlášení při vypnutí")
          .EnabledBy(Field::PowerReport),
      Flag(Field::SwitchReport, "SwitchReport", &G::SwitchReport)
          .Group("Zapnutí/Vypnutí zařízení")
          .Caption("posílat hlášení o zapnutí/vypnutí"),
      Text(Field::rtSwitchOn, "rtSwitchOn", &G::rtSwitchOn, kTextLimit, kCounted)
          .Group("Zapnutí/Vypnutí zařízení")
          .Caption("Text hlášení při zapnutí")
          .EnabledBy(Field::SwitchReport),
      Text(Field::rtSwitchOff, "rtSwitchOff", &G::rtSwitchOff, kTextLimit, kCounted)
          .Group("Zapnutí/Vypnutí zařízení")
          .Caption("Text hlášení při vypnutí")
          .EnabledBy(Field::SwitchReport),
      Flag(Field::Batt, "Batt", &G::Batt).Caption("při poklesu napětí pod CL1 vypnout zařízení"),
      // The battery-low text is the battery row's CL1-down text; both are counted.
      RowText(Field::rtBattLow, "rtBattLow", &A::AINCL1Dn, kBatteryRow, kTextLimit, kCounted)
          .Caption("Text hlášení při poklesu napětí")
          .Label("Text hlášení při poklesu napětí\n = text při přechodu CL1 dolu u analog.vstup BAT:"),
      Flag(Field::EnablePS, "EnablePS", &G::EnablePS).Caption("Povolit šetřící režim"),
      Flag(Field::SuperPS, "SuperPS", &G::SuperPS).Caption("Super šetřící režim")
          .EnabledBy(Field::EnablePS)
          .Hidden(),
      Flag(Field::PSOutOff, "PSOutOff", &G::PSOutOff).Caption("Při vypnutém modemu vypnout výstupy")
          .EnabledBy(Field::EnablePS)
          .Hidden(),
      // A period's line is captioned once, before its hours.
      Number(Field::PSOnH, "PSOnH", &G::PSOnH, kPowerSaveLimit)
          .Caption("Doba zapnutého modemu h")
          .Label("Doba zapnutého modemu ................................")
          .After("h")
          .EnabledBy(Field::EnablePS)
          .Hidden(),
      Number(Field::PSOnM, "PSOnM", &G::PSOnM, kPowerSaveLimit).Caption("Doba zapnutého modemu m").Label("").After("m")
          .EnabledBy(Field::EnablePS)
          .Hidden(),
      Number(Field::PSOffH, "PSOffH", &G::PSOffH, kPowerSaveLimit)
          .Caption("Doba vypnutého modemu h")
          .Label("Doba vypnutého modemu ................................")
          .After("h")
          .EnabledBy(Field::EnablePS)
          .Hidden(),
      Number(Field::PSOffM, "PSOffM", &G::PSOffM, kPowerSaveLimit)
          .Caption("Doba vypnutého modemu m")
          .Label("")
          .After("m")
          .EnabledBy(Field::EnablePS)
          .Hidden(),
      Text(Field::TC, "TC", &P::TC, kPhoneLimit, kCounted, TextForm::Phone)
          .Caption("Telefonní číslo")
          .Tip("Telefonní číslo"),
      Flag(Field::TCPrijem, "TCPrijem", &P::TCPrijem)
          .Caption("Přijímat příkazy")
          .Head("Příjem")
          .Tip("Přijímat příkazy z tohoto tel. čísla"),
      Flag(Field::TCUdalost, "TCUdalost", &P::TCUdalost)
          .Caption("Odesílat zprávy o událostech")
          .Head("Události")
          .Tip("Odesílat zprávy o událostech na toto tel. číslo"),
      Text(Field::INPNazev, "INPNazev", &I::INPNazev, kTextLimit, kCounted)
          .Caption("Název")
          .Tip("Název digitálního vstupu"),
      Text(Field::INPZap, "INPZap", &I::INPZap, kTextLimit, kCounted)
          .Caption("Název stavu zapnuto (1)")
          .Head("Název stavu\n'ZAPNUTO'")
          .Tip("Název stavu 'ZAPNUTO' pro tento digitální vstup"),
      Text(Field::INPVyp, "INPVyp", &I::INPVyp, kTextLimit, kCounted)
          .Caption("Název stavu vypnuto (0)")
          .Head("Název stavu\n'VYPNUTO'")
          .Tip("Název stavu 'VYPNUTO' pro tento digitální vstup"),
      Text(Field::INPLH, "INPLH", &I::INPLH, kTextLimit, kCounted)
          .Caption("Název přechodu 0->1")
          .Label("")
          .Head("Název přechodu\nVypnuto->Zapnuto")
          .Tip("Název přechodu 'Vypnuto->Zapnuto' pro tento digitální vstup"),
      Text(Field::INPHL, "INPHL", &I::INPHL, kTextLimit, kCounted)
          .Caption("Název přechodu 1->0")
          .Label("")
          .Head("Název přechodu\nZapnuto->Vypnuto")
          .Tip("Název přechodu 'Zapnuto->Vypnuto' pro tento digitální vstup"),
      Flag(Field::INPLHEvent, "INPLHEvent", &I::INPLHEvent)
          .Caption("Poslat zprávu při změně stavu 0->1")
          .Head("Hlásit\nVyp->Zap")
          .Tip("Posílat hlášení při přechodu 'Vypnuto->Zapnuto' pro tento digitální vstup"),
      Flag(Field::INPHLEvent, "INPHLEvent", &I::INPHLEvent)
          .Caption("Poslat zprávu při změně stavu 1->0")
          .Head("Hlásit\nZap->Vyp")
          .Tip("Posílat hlášení při přechodu 'Zapnuto->Vypnuto' pro tento digitální vstup"),
      Flag(Field::INPNeg, "INPNeg", &I::INPNeg)
          .Caption("Negace vstupu (neguje se ihned po vzorkování - teprve poté se analyzuje)")
          .Head("Negace")
          .Tip("Negace stavů Zapnuto<->Vypnuto"),
      Flag(Field::INPZpr, "INPZpr", &I::INPZpr)
          .Caption("Uvádět tento vstup ve zprávě o stavu")
          .Head("Ve\nzprávě")
          .Tip("Uvádět ve zprávě informace o tonto digitálním vstupu"),
      Flag(Field::MaskDInLHAlarm, "MaskDInLHAlarm", &I::MaskDInLHAlarm)
          .Group("Změna stavu 0->1")
          .Caption("odeslat ihned")
          .NoColumn(),
      Flag(Field::MaskDInHLAlarm, "MaskDInHLAlarm", &I::MaskDInHLAlarm)
          .Group("Změna stavu 1->0")
          .Caption("odeslat ihned")
          .NoColumn(),
      Text(Field::OUTNazev, "OUTNazev", &O::OUTNazev, kTextLimit, kCounted)
          .Caption("Název")
          .Tip("Název digitálního výstupu"),
      Text(Field::OUTZap, "OUTZap", &O::OUTZap, kTextLimit, kCounted)
          .Caption("Název stavu zapnuto (1)")
          .Head("Název stavu 'ZAPNUTO'\n(příkaz zapnout)")
          .Tip("Název stavu 'ZAPNUTO' pro tento digitální výstup"),
      Text(Field::OUTVyp, "OUTVyp", &O::OUTVyp, kTextLimit, kCounted)
          .Caption("Název stavu vypnuto (0)")
          .Head("Název stavu 'VYPNUTO'\n(příkaz vypnout)")
          .Tip("Název stavu 'VYPNUTO' pro tento digitální výstup"),
      Text(Field::OUTimpuls, "OUTimpuls", &O::OUTimpuls, kTextLimit, kCounted)
          .Caption("Příkaz pro vyslání impulsu")
          .Head("Příkaz pro\nvyslání impulsu")
          .Tip("Příkaz pro vyslání impulsu na tento digitální výstup"),
      Number(Field::OUTimpulsLEN, "OUTimpulsLEN", &O::OUTimpulsLEN, kPulseLengthLimit)
          .Caption("Délka jednoho impulsu v sekundách")
          .Label("Délka jednoho impulsu ....................")
          .After("sekund")
          .Head("Délka\nimpulsu [s]")
          .Tip("doba trvání impulsu (0-255) x 0,1 sekund (např. 125=12,5 sekund)")
          .ColumnWidth(64),
      Flag(Field::OUTNeg, "OUTNeg", &O::OUTNeg)
          .Caption("Negace výstupu")
          .Head("Negace")
          .Tip("Negace stavů Zapnuto<->Vypnuto"),
      Flag(Field::OUTZpr, "OUTZpr", &O::OUTZpr)
          .Caption("Uvádět tento vstup ve zprávě o stavu")
          .Head("Ve\nzprávě")
          .Tip("Uvádět ve zprávě informace o tomto digitálním výstupu"),
      Text(Field::AINNazev, "AINNazev", &A::AINNazev, kTextLimit, kCounted)
          .Caption("Název")
          .Tip("Název analogového vstupu"),
      Text(Field::AINStateL, "AINStateL", &A::AINStateL, kTextLimit, kCounted)
          .Caption("LOW (nízká)")
          .Label("LOW (nízká) .................")
          .Head("Stav\n'nízká'")
          .Tip("Název stavu 'nízká' pro tento analogový vstup")
          .EditorTip("Název stavu LOW (nízká)"),
      Text(Field::AINStateM, "AINStateM", &A::AINStateM, kTextLimit, kCounted)
          .Caption("MEDIUM (střední)")
          .Label("MEDIUM (střední) ........")
          .Head("Stav\n'normální'")
          .Tip("Název stavu 'normální' pro tento analogový vstup")
          .EditorTip("Název stavu MEDIUM (normální)"),
      Text(Field::AINStateH, "AINStateH", &A::AINStateH, kTextLimit, kCounted)
          .Caption("HIGH (vysoká)")
          .Label("HIGH (vysoká) ..............")
          .Head("Stav\n'vysoká'")
          .Tip("Název stavu 'vysoká' pro tento analogový vstup")
          .EditorTip("Název stavu HIGH (vysoká)"),
      Number(Field::AINCL1Level, "AINCL1Level", &A::AINCL1Level, kLevelLimit)
          .Caption("úroveň CL1")
          .Label("úroveň")
          .Head("CL1")
          .Tip("Hodnota úrovně CL1")
          .ColumnWidth(46),
      Number(Field::AINHCL1Level, "AINHCL1Level", &A::AINHCL1Level, kLevelLimit)
          .Caption("hyster. CL1")
          .Label("hyster.")
          .Head("HCL1")
          .Tip("Hodnota  hystereze CL1")
          .ColumnWidth(46),
      Number(Field::AINCL2Level, "AINCL2Level", &A::AINCL2Level, kLevelLimit)
          .Caption("úroveň CL2")
          .Label("úroveň")
          .Head("CL2")
          .Tip("Hodnota úrovně CL2")
          .ColumnWidth(46),
      Number(Field::AINHCL2Level, "AINHCL2Level", &A::AINHCL2Level, kLevelLimit)
          .Caption("hyster. CL2")
          .Label("hyster.")
          .Head("HCL2")
          .Tip("Hodnota  hystereze CL2")
          .ColumnWidth(46),
      Text(Field::AINCL1Up, "AINCL1Up", &A::AINCL1Up, kTextLimit, kCounted)
          .Caption("Text hlášení při přechodu nahoru přes CL1")
          .Label("")
          .Head("Text\nCL1 nahoru")
          .Tip("Text SMS zprávy při přechodu přes CL1 nahoru")
          .SecondLine(),
      Text(Field::AINCL1Dn, "AINCL1Dn", &A::AINCL1Dn, kTextLimit, kCounted)
          .Caption("Text hlášení při přechodu dolu přes CL1")
          .Label("")
          .Head("Text\nCL1 dolu")
          .Tip("Text SMS zprávy při přechodu přes CL1 dolu")
          .SecondLine(),
      Text(Field::AINCL2Up, "AINCL2Up", &A::AINCL2Up, kTextLimit, kCounted)
          .Caption("Text hlášení při přechodu nahoru přes CL2")
          .Label("")
          .Head("Text\nCL2 nahoru")
          .Tip("Text SMS zprávy při přechodu přes CL2 nahoru")
          .SecondLine(),
      Text(Field::AINCL2Dn, "AINCL2Dn", &A::AINCL2Dn, kTextLimit, kCounted)
          .Caption("Text hlášení při přechodu dolu přes CL2")
          .Label("")
          .Head("Text\nCL2 dolu")
          .Tip("Text SMS zprávy při přechodu přes CL2 dolu")
          .SecondLine(),
      Flag(Field::AINCL1UpEvent, "AINCL1UpEvent", &A::AINCL1UpEvent)
          .Caption("Hlásit přechod nahoru přes CL1")
          .Head("SMS\nCL1↑")
          .Tip("Posílat SMS zprávu při přechodu přes CL1 nahoru"),
      Flag(Field::AINCL1DnEvent, "AINCL1DnEvent", &A::AINCL1DnEvent)
          .Caption("Hlásit přechod dolu přes CL1")
          .Head("SMS\nCL1↓")
          .Tip("Posílat SMS zprávu při přechodu přes CL1 dolu"),
      Flag(Field::AINCL2UpEvent, "AINCL2UpEvent", &A::AINCL2UpEvent)
          .Caption("Hlásit přechod nahoru přes CL2")
          .Head("SMS\nCL2↑")
          .Tip("Posílat SMS zprávu při přechodu přes CL2 nahoru"),
      Flag(Field::AINCL2DnEvent, "AINCL2DnEvent", &A::AINCL2DnEvent)
          .Caption("Hlásit přechod dolu přes CL2")
          .Head("SMS\nCL2↓")
          .Tip("Posílat SMS zprávu při přechodu přes CL2 dolu"),
      Flag(Field::AINNeg, "AINNeg", &A::AINNeg)
          .Caption("Negace vstupu (neguje se ihned po vzorkování)")
          .Head("Negace")
          .Tip("Negace analogového vstupu"),
      Flag(Field::AINZpr, "AINZpr", &A::AINZpr)
          .Caption("Uvádět ve zprávě o stavu jméno stavu")
          .Head("Uvádět\nstav")
          .Tip("Po hodnotě uvádět jméno stavu"),
      Flag(Field::AINPrc, "AINPrc", &A::AINPrc)
          .Caption("Uvádět ve zprávě o stavu hodnotu")
          .Head("Uvádět\nhodnotu")
          .Tip("Po hodnotě uvádět hodnotu"),
      // The program's own settings: never in the unit, in a saved file or
      // in a comparison of two configurations.
      Text(Field::Port, "Port", &S::Port, 0, kNotCounted)
          .Caption("Sériový port")
          .Tip("Sériový port PC, ke kterému je připojeno zařízení"),
      Flag(Field::CheckWrite, "CheckWrite", &S::CheckWrite).Caption("Kontrolovat zápis do EEPROM"),
      Flag(Field::FullRead, "FullRead", &S::FullRead)
          .Caption("Načíst celou paměť EEPROM")
          .Tip("Při načítání z EEPROM číst celou paměť zařízení, ne jen bloky s nastavením"),
      Flag(Field::Backup, "Backup", &S::Backup)
          .Caption("Zálohovat před zápisem")
          .Tip("Před zápisem do EEPROM uložit dosavadní nastavení zařízení do souboru se zálohou"),
      Flag(Field::FullWrite, "FullWrite", &S::FullWrite)
          .Caption("Zapisovat celou konfiguraci")
          .Tip("Při zápisu do EEPROM zapsat všechny bloky nastavení, ne jen ty, které se liší od obsahu zařízení"),
      // The prefix follows its switch's caption.
      Text(Field::UTO, "UTO", &S::UTO, kUtoLimit, kNotCounted)
          .Caption("UTO")
          .Label("")
          .Tip("Předvolba vkládaná před telefonní čísla bez mezinárodního tvaru"),
      Flag(Field::UTOEnable, "UTOEnable", &S::UTOEnable).Caption("Automaticky vkládat před tel. číslo UTO:"),
  }};
  for (int t = 0; t < kWindowTabCount; ++t) {
    int place = 0;
    for (const Field f : kTabFields[static_cast<std::size_t>(t)]) {
      FieldInfo& info = table[static_cast<std::size_t>(f)];
      info.tab = static_cast<WindowTab>(t);
      info.order = ++place;
    }
  }
  int editorPlaces[kFamilyCount] = {};
  for (const EditorSlot& e : kEditorPanels) {
    FieldInfo& info = table[static_cast<std::size_t>(e.field)];
    info.editorPanel = e.panel;
    info.editorOrder = ++editorPlaces[static_cast<int>(info.family)];
  }
  int columns[kFamilyCount] = {};
  for (const ReportColumn& c : kReportColumns) {
    FieldInfo& info = table[static_cast<std::size_t>(c.field)];
    info.reportColumn = ++columns[static_cast<int>(info.family)];
    info.reportWidth = c.width;
  }
  return table;
}();

namespace field_table {

// Each entry sits at its enumerator's place. (Family and kind follow from the
// member, so they cannot disagree with where the value lives.)
constexpr bool InEnumOrder() {
  for (int i = 0; i < kFieldCount; ++i) {
    if (kFields[static_cast<std::size_t>(i)].field != static_cast<Field>(i)) return false;
  }
  return true;
}
static_assert(InEnumOrder(), "the field table must list every field once, in the order of enum Field");

// Every field has a caption and a place in the window: a tab it is listed on
// once, or, for the program settings only, the panels beside the tabs.
constexpr bool EveryFieldIsPlaced() {
  std::size_t places = 0;
  for (const auto& tab : kTabFields) places += tab.size();
  std::size_t placed = 0;
  for (const FieldInfo& f : kFields) {
    if (f.caption == nullptr || f.caption[0] == '\0') return false;
    if (!f.tab && f.family != Family::Program) return false;
    if (f.tab) ++placed;
  }
  return places == placed;
}
static_assert(EveryFieldIsPlaced(), "every field needs a caption, and a tab that lists it once");

// Every field of the inputs, outputs and analog rows sits in one panel of
// its row editor; a flag that enables others is a general one.
constexpr bool EveryEditorFieldIsPlaced() {
  std::size_t listed = 0;
  for (const EditorSlot& e : kEditorPanels) {
    ++listed;
    if (e.panel == EditorPanel::None) return false;
  }
  std::size_t placed = 0;
  for (const FieldInfo& f : kFields) {
    const bool edited = f.family == Family::Input || f.family == Family::Output || f.family == Family::Analog;
    if (edited != (f.editorPanel != EditorPanel::None)) return false;
    if (edited) ++placed;
    if (f.enabledBy && kFields[static_cast<std::size_t>(*f.enabledBy)].family != Family::General) return false;
  }
  return listed == placed;
}
static_assert(EveryEditorFieldIsPlaced(), "every input, output and analog field needs one panel in its row editor");

}  // namespace field_table

constexpr const FieldInfo& InfoOf(Field f) { return kFields[static_cast<std::size_t>(f)]; }

// The fields of a family's row editor in one of its panels, in the order
// the editor makes their controls.
std::vector<Field> EditorFields(Family family, EditorPanel panel);

// True for a flag that enables the controls of other fields (EnabledBy).
constexpr bool EnablesOthers(Field flag) {
  for (const FieldInfo& f : kFields) {
    if (f.enabledBy == flag) return true;
  }
  return false;
}

// A row field's column in its row table: whether it has one, and its head.
constexpr bool HasColumn(const FieldInfo& f) { return f.head == nullptr || f.head[0] != '\0'; }
constexpr const char* HeadOf(const FieldInfo& f) { return f.head != nullptr ? f.head : f.caption; }
// The tooltip of the field's control in its row editor.
constexpr const char* EditorTipOf(const FieldInfo& f) { return f.editorTip != nullptr ? f.editorTip : f.tip; }
std::optional<Field> FieldByName(std::string_view name);

// Rows a field of the family has: kRows for the row families, 1 otherwise.
constexpr int RowCount(Family family) {
  return family == Family::General || family == Family::Program ? 1 : kRows;
}
// The phone, input, output and analog rows: each field there has one value per row.
constexpr bool FamilyHasRows(Family family) { return RowCount(family) > 1; }

// Row `row` of a family, 0..kRows-1. Any other number is a fault of the
// program: it stops here, naming the row, rather than edit another row.
std::size_t RowIndex(int row);

// A field of one row (row 0..7; 0 for general and program fields).
struct FieldRef {
  Field field;
  int row = 0;
  bool operator==(const FieldRef&) const = default;
};

// Plain access by name. Null when the field is not of that kind.
// rtBattLow is the same text as AINCL1Dn of the battery row.
std::string* TextOf(DeviceConfig& c, ProgramSettings& s, FieldRef f);
const std::string* TextOf(const DeviceConfig& c, const ProgramSettings& s, FieldRef f);
bool* FlagOf(DeviceConfig& c, ProgramSettings& s, FieldRef f);
const bool* FlagOf(const DeviceConfig& c, const ProgramSettings& s, FieldRef f);
// A text of the unit's configuration; null for flags and program settings.
const std::string* TextOf(const DeviceConfig& c, FieldRef f);

// The tab that shows a field of a row: the field's tab, and for the analog
// rows the tab of the row (A5..A7 and BAT have their own); none for the
// program settings beside the tabs.
constexpr std::optional<WindowTab> WindowTabOf(FieldRef f) {
  const FieldInfo& info = InfoOf(f.field);
  if (info.family == Family::Analog) return AnalogTabOf(f.row);
  return info.tab;
}

// True for the row of a field that a general field also names (the battery
// row's CL1-down text, which is rtBattLow): lists of every field and row
// name it once, as the general field.
bool IsNamedAsGeneralField(FieldRef f);

// Row labels as the windows and messages show them: "T1", "I1", "O1", "A1".."A7", "BAT".
std::string RowLabel(Family family, int row);

// "INPNazev[0]" for row fields, "PIN" for general ones.
std::string FieldDisplayName(FieldRef f);

}  // namespace vexa
