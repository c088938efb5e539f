// The field rules' messages: the ones each field's rule shows (its refusal
// and the line that names what it refused), the output check before a write
// and the texts the window would not let one type. Part of the catalogue
// (texts/texts.h).
#pragma once

#include <cstddef>
#include <string>

namespace vexa::texts {

// Messages shared by several fields; a message ending in ": " is followed by
// the allowed characters or the keywords.
inline constexpr const char* kRuleTextChars = "Text může obsahovat pouze tyto znaky: ";
inline constexpr const char* kRuleLevel = "Číslo je chybně zadáno.";
inline constexpr const char* kRuleZapKeywords =
    "Název 'Zapnuto' nesmí být žádné z těchto klíčových slov (ani jejich předpony): ";
inline constexpr const char* kRuleVypKeywords =
    "Název 'Vypnuto' nesmí být žádné z těchto klíčových slov (ani jejich předpony): ";
inline constexpr const char* kRuleSameZap = "Název 'Zapnuto' nesmí být stejný jako název 'Vypnuto'.";
inline constexpr const char* kRuleSameVyp = "Název 'Vypnuto' nesmí být stejný jako název 'Zapnuto'.";
inline constexpr const char* kRuleZapChars = "Název 'Zapnuto' může obsahovat pouze tyto znaky: ";
inline constexpr const char* kRuleVypChars = "Název 'Vypnuto' může obsahovat pouze tyto znaky: ";
inline constexpr const char* kRuleImpulsChars = "Název 'Impuls' může obsahovat pouze tyto znaky: ";
inline constexpr const char* kRulePhone = "Telefonní číslo je špatně zadáno.";


// One field's own messages, in the order of the main window's rule table.
// The station name: any character the unit can store (its code page).
inline constexpr const char* kRuleStationChars = "Název stanice může obsahovat jen znaky, které zařízení umí uložit.";
inline constexpr const char* kRulePin = "PIN je špatně zadán.";
inline constexpr const char* kRuleServiceCentre = "Telefonní číslo servisního centra je špatně zadáno.";
inline constexpr const char* kRuleUto = "UTO je špatně zadáno.";
inline constexpr const char* kRuleSmsValidity =
    "Doba platnosti SMS zprávy je špatně zadána. Povolená hodnota je číslo 1 až 30 včetně.";
inline constexpr const char* kRuleInputNameChars = "Název vstupu může obsahovat pouze tyto znaky: ";
inline constexpr const char* kRuleInputNameKeywords =
    "Název vstupu nesmí být žádné z těchto klíčových slov (ani jejich předpony): ";
inline constexpr const char* kRuleRiseChars =
    "Název přechodu 'Neaktivní->Aktivní' může obsahovat pouze tyto znaky: ";
inline constexpr const char* kRuleFallChars =
    "Název přechodu 'Aktivní->Neaktivní' může obsahovat pouze tyto znaky: ";
inline constexpr const char* kRuleOutputNameChars = "Název výstupu může obsahovat pouze tyto znaky: ";
inline constexpr const char* kRuleOutputNameKeywords =
    "Název výstupu nesmí být žádné z těchto klíčových slov (ani jejich předpony): ";
inline constexpr const char* kRuleZapPrefixVyp = "Název 'Zapnuto' nesmí být prefixem názvu 'Vypnuto' ani naopak.";
inline constexpr const char* kRuleZapPrefixImpuls = "Název 'Zapnuto' nesmí být prefixem názvu 'Impuls' ani naopak.";
inline constexpr const char* kRuleVypPrefixZap = "Název 'Vypnuto' nesmí být prefixem názvu 'Zapnuto' ani naopak.";
inline constexpr const char* kRuleVypPrefixImpuls = "Název 'Vypnuto' nesmí být prefixem názvu 'Impuls' ani naopak.";
inline constexpr const char* kRuleImpulsPrefixVyp = "Název 'Impuls' nesmí být prefixem názvu 'Vypnuto' ani naopak.";
inline constexpr const char* kRuleImpulsPrefixZap = "Název 'Impuls' nesmí být prefixem názvu 'Zapnuto' ani naopak.";
inline constexpr const char* kRuleImpulsKeywords =
    "Název 'Impuls' nesmí být žádné z těchto klíčových slov (ani jejich předpony): ";
// The phone row's check: a row without a number neither takes commands nor
// gets reports.
inline constexpr const char* kRuleNoNumberPrijem =
    "Pokud není zadáno telefonní číslo musí být zaškrtávací pole 'Příjem' nezaškrtnuté.";
inline constexpr const char* kRuleNoNumberUdalost =
    "Pokud není zadáno telefonní číslo musí být zaškrtávací pole 'Události' nezaškrtnuté.";
// The editors' own wording where it differs from the main window's.
inline constexpr const char* kRuleEditorRiseChars = "Název přechodu '0->1' může obsahovat pouze tyto znaky: ";
inline constexpr const char* kRuleEditorFallChars = "Název přechodu '1->0' může obsahovat pouze tyto znaky: ";
inline constexpr const char* kRuleEditorImpulsKeywords =
    "Název 'impuls' nesmí být žádné z těchto klíčových slov (ani jejich předpony): ";

// The line under a character rule's message: "Nepovolený znak: „í“.",
// "Nepovolené znaky: „í“, „ť“." Each refused character is shown quoted, or
// named when it cannot be seen.
inline constexpr const char* kRefusedCharLead = "Nepovolený znak: ";
inline constexpr const char* kRefusedCharsLead = "Nepovolené znaky: ";
inline constexpr const char* kRefusedSpace = "mezera";
inline constexpr const char* kRefusedByteFormat = "bajt 0x%02X";             // a byte that is no UTF-8
inline constexpr const char* kRefusedControlFormat = "řídicí znak U+%04X";   // a control character
inline constexpr const char* kQuoteOpen = "„";  // around a character shown as it is
inline constexpr const char* kQuoteClose = "“";

// The output check before a write: "Název výstupu '" O2 "' není správně
// zadán. ..." and kProgramEnd.
struct OutputCheckWording {
  const char* before;
  const char* after;
};
inline constexpr OutputCheckWording kOutputName{
    "Název výstupu '",
    "' není správně zadán. Jména výstupů se nesmějí shodovat a ani být předponou jiného názvu výstupu."};
inline constexpr OutputCheckWording kOutputZap{
    "Název 'Zapnuto' výstupu '",
    "' není správně zadán. Povel pro zapnutí se musí lišit od povelu pro vypnutí i impuls a nesmí být předponou "
    "názvu některého výstupu."};
inline constexpr OutputCheckWording kOutputVyp{
    "Název 'Vypnuto' výstupu '",
    "' není správně zadán. Povel pro vypnutí se musí lišit od povelu pro impuls i zapnutí a nesmí být předponou "
    "názvu některého výstupu."};
// The names of an output's three commands in the line under a check's
// message (CollisionLine).
inline constexpr const char* kOutputNameZap = "'Zapnuto'";
inline constexpr const char* kOutputNameVyp = "'Vypnuto'";
inline constexpr const char* kOutputNameImpuls = "'Impuls'";
// An output's pulse: the output editor's panel and the report's column.
inline constexpr const char* kPulse = "Impuls";
inline constexpr OutputCheckWording kOutputImpuls{
    "Název 'impuls' výstupu '",
    "' není správně zadán. Povel pro impuls se musí lišit od povelu pro vypnutí i zapnutí a nesmí být předponou "
    "názvu některého výstupu."};
inline constexpr const char* kProgramEnd = " EEPROM nelze naprogramovat dokud toto nebude odstraněno.";

// "Text má 9 znaků, napsat lze nejvýše 8."
inline std::string TooLongText(std::size_t length, int limit) {
  const std::size_t last2 = length % 100;
  const std::size_t last = length % 10;
  const char* chars = (last >= 2 && last <= 4 && (last2 < 12 || last2 > 14)) ? " znaky" : " znaků";
  if (length == 1) chars = " znak";
  return "Text má " + std::to_string(length) + chars + ", napsat lze nejvýše " + std::to_string(limit) + ".";
}
// "Tyto položky neodpovídají pravidlům programu: PIN, I5 Název a 3 dalších."
inline constexpr const char* kBrokenFieldsLead = "Tyto položky neodpovídají pravidlům programu: ";
inline std::string MoreFields(std::size_t count) { return " a " + std::to_string(count) + " dalších"; }

// The line under an output check's message: which text the offending one
// collides with and whose it is, for example
// "Je předponou názvu 'Zapnuto' téhož výstupu O2 („svetlo_zap“)."
// `whichName` is "" for the output's name, or "'Zapnuto'", "'Vypnuto'",
// "'Impuls'".
inline std::string CollisionLine(bool same, const std::string& whichName, bool ownOutput, const std::string& rowLabel,
                                 const std::string& text) {
  return std::string(same ? "Je stejný jako název " : "Je předponou názvu ") +
         (whichName.empty() ? "" : whichName + " ") + (ownOutput ? "téhož výstupu " : "výstupu ") + rowLabel + " („" + text + "“).";
}

}  // namespace vexa::texts
