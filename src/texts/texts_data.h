// The texts about configuration data: why a configuration JSON is refused,
// why the configuration cannot be converted into the unit's image, and why a
// file cannot be written. Part of the catalogue (texts/texts.h).
//
// Causes have no final full stop: they go after a place ("general.PIN",
// "INPZap[1]", a path) into a reason line, which ends with one. A cause that
// makes a reason line on its own, with no place before it, begins with a
// capital letter.
#pragma once

#include <cstddef>
#include <string>

namespace vexa::texts {

// The backup folder's name under "%LOCALAPPDATA%\\VEXA Init" on Windows.
inline constexpr const char* kWindowsBackupFolder = "zalohy";

// A configuration JSON that cannot be taken; `where` is the key's path, as
// "general.PIN" or "phones[2]".
inline std::string JsonTooLong(std::size_t limit) {
  return "text je delší než " + std::to_string(limit) + " bajtů, není to konfigurace";
}
inline std::string JsonSyntaxError(std::size_t line, std::size_t column) {
  return "není platný JSON (řádek " + std::to_string(line) + ", sloupec " + std::to_string(column) + ")";
}
inline constexpr const char* kJsonInvalid = "není platný JSON";
inline constexpr const char* kJsonNotObject = "konfigurace musí být objekt JSON";
inline std::string JsonUnknownKey(const std::string& where) { return "neznámý klíč '" + where + "'"; }
inline std::string JsonMustBeObject(const std::string& where) { return "'" + where + "' musí být objekt"; }
inline std::string JsonMustBeRows(const std::string& where, std::size_t rows) {
  return "'" + where + "' musí být pole nejvýše " + std::to_string(rows) + " řádků";
}
inline std::string JsonMustBeText(const std::string& where) { return "'" + where + "' musí být text"; }
inline std::string JsonMustBeNumber(const std::string& where) { return "'" + where + "' musí být číslo nebo text"; }
inline std::string JsonMustBeFlag(const std::string& where) { return "'" + where + "' musí být true nebo false"; }
inline std::string JsonMustBeByte(const std::string& where) {
  return "'" + where + "' musí být celé číslo od 0 do 255";
}
// A warning, a whole line: the key an object gives twice.
inline std::string JsonGivenTwice(const std::string& where) {
  return "klíč '" + where + "' je uveden dvakrát, platí poslední hodnota.";
}
inline constexpr const char* kWarningLead = "upozornění: ";
// "general.PIN: v konfiguraci chybí, platí hodnota po spuštění."
inline std::string MissingKeyLine(const std::string& where) {
  return where + ": v konfiguraci chybí, platí hodnota po spuštění.";
}

// Why the configuration cannot be converted into the unit's image; after the
// field concerned when there is one.
inline constexpr const char* kEncodeTextsFull = "texty přesahují konec paměti (adresa 65535)";
inline constexpr const char* kEncodeTextFull = "text přesahuje konec paměti (adresa 65535)";
inline constexpr const char* kEncodeNul = "text obsahuje znak NUL";
// Followed by the character or the characters named ("„😀“, „³“").
inline constexpr const char* kEncodeUnstorableChar = "zařízení neumí uložit znak ";
inline constexpr const char* kEncodeUnstorableChars = "zařízení neumí uložit tyto znaky: ";
inline constexpr const char* kEncodeSmsDays = "není to počet dní, který zařízení uloží (nejvýše 89)";
inline constexpr const char* kEncodePhoneAddress = "číslo nelze uložit tak, aby je zařízení přečetlo zpět";
inline constexpr const char* kEncodePhoneFull = "číslo přesahuje konec paměti";
// A whole reason line: the image converted but its header fails its own test.
inline constexpr const char* kEncodedHeaderBroken = "Převedená hlavička neprošla kontrolou.";
inline constexpr const char* kCauseLongerThanMemory = "nastavení je delší než paměť zařízení";
inline constexpr const char* kCauseNegativeLength = "záporná délka souboru";

// Why an image (read from the unit or from a file) does not decode into a
// configuration; after the field concerned, with the address where reading
// stopped: "INPNazev[3]: text přesahuje konec paměti (adresa 0xFFF0)".
inline constexpr const char* kDecodeTextPastEnd = "text přesahuje konec paměti";
inline constexpr const char* kDecodeTextBeyondEnd = "text začíná za koncem paměti";
inline constexpr const char* kDecodePhonePastEnd = "záznam čísla přesahuje konec paměti";
inline constexpr const char* kDecodePhoneCount = "počet číslic v záznamu čísla není šestnáctkové číslo";
inline constexpr const char* kDecodePhoneNumber = "číslo v záznamu nelze přečíst";
inline std::string DecodeAt(const std::string& cause, long address) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (int shift = address > 0xFFFF ? 16 : 12; shift >= 0; shift -= 4) hex += kDigits[(address >> shift) & 0xF];
  return cause + " (adresa 0x" + hex + ")";
}
// The place of a cause that is about no field.
inline std::string DecodeSpareText(int number) { return "Rezervní text " + std::to_string(number); }
inline std::string DecodeNoPointer(long slot) {
  return "Ukazatel bloku textů na pozici " + std::to_string(slot) + " nelze přečíst";
}

// Why a file's bytes are not a configuration.
inline constexpr const char* kCauseHeaderBroken = "Záhlaví dat neprošlo kontrolou";
inline constexpr const char* kCauseFileCutShort = "Soubor končí dříve než data nastavení";
// A text byte that stands for no character of code page 1250 ("0x98").
inline std::string UnassignedByteCause(const std::string& byte) {
  return "bajt " + byte + " není znakem kódové stránky 1250";
}

// Why a backup was not kept.
inline constexpr const char* kCauseBackupNotSaved = "nelze uložit zálohu";
inline constexpr const char* kCauseNoFreeBackupName = "pro zálohu se nenašlo volné jméno";
inline constexpr const char* kCauseUnitNotRead = "Nastavení zařízení se nepodařilo přečíst";

// Why a file or a folder cannot be read or written; the place is the path.
// The system's own words, when it gave some, follow the cause.
inline constexpr const char* kCauseAccessDenied = "přístup odepřen";
inline constexpr const char* kCauseNoFile = "soubor neexistuje";
inline constexpr const char* kCauseNoFolderInPath = "složka v cestě neexistuje";
inline constexpr const char* kCauseTooManyLinks = "příliš mnoho odkazů za sebou";
inline constexpr const char* kCauseNotRegular = "není to obyčejný soubor";
inline constexpr const char* kCauseIsFolder = "je to složka, ne soubor";
inline constexpr const char* kCauseIsFifo = "je to roura (FIFO), ne soubor";
inline constexpr const char* kCauseIsDevice = "je to zařízení, ne soubor";
inline constexpr const char* kCauseNoFolderForFile = "složka pro soubor neexistuje";
inline constexpr const char* kCauseCannotCreate = "nelze vytvořit soubor";
inline constexpr const char* kCauseCannotCreateTemporary = "nelze vytvořit dočasný soubor";
inline constexpr const char* kCauseCannotWrite = "nelze zapsat soubor";
inline constexpr const char* kCauseCannotStat = "nelze zjistit, co je soubor";
inline constexpr const char* kCauseCannotReadFolder = "nelze číst složku";
inline constexpr const char* kCauseForeignLink =
    "odkaz ve sdílené složce patří jinému uživateli, soubor, na který ukazuje, se nepřepíše";
inline constexpr const char* kCauseCannotReadLink = "nelze číst odkaz";
inline constexpr const char* kCauseNoFileName = "chybí jméno souboru";
inline constexpr const char* kCauseCannotOpen = "nelze otevřít soubor";
inline constexpr const char* kCauseCannotRead = "soubor nelze přečíst";
inline constexpr const char* kCauseNoFolderName = "chybí jméno složky";
inline constexpr const char* kCauseFolderMode = "nelze nastavit práva složky";
inline constexpr const char* kCauseCannotCreateFolder = "nelze vytvořit složku";
inline constexpr const char* kCauseNotFolder = "není to složka";
inline std::string FileTooLarge(std::size_t limit) {
  return "soubor je větší než " + std::to_string(limit) + " bajtů";
}
inline constexpr const char* kCauseFolderReadOnly = "do složky nelze zapisovat";
// Windows: what keeps a file from being replaced.
inline constexpr const char* kCauseFileInUse = "soubor má otevřený jiný program";
inline constexpr const char* kCauseReadOnlyFile = "soubor je jen pro čtení";
// The system's error without words of its own.
inline std::string SystemErrorNumber(unsigned long code) { return "systémová chyba " + std::to_string(code); }

// The unit of the temperature inputs' scale (A6, A7), shown after their values.
inline constexpr const char* kUnitCelsius = "°C";

}  // namespace vexa::texts
