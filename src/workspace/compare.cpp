#include "workspace/compare.h"

#include <cstdint>
#include <memory>

#include "codec/decoder.h"
#include "codec/encoder.h"

namespace vexa {
namespace {

struct Caption {
  Field field;
  const char* text;
};

// The texts next to the fields in the main window and the row editors.
constexpr Caption kCaptions[] = {
    {Field::JmenoStanice, "Název stanice"},
    {Field::PIN, "PIN"},
    {Field::TCcentra, "Telefonní číslo servisního centra"},
    {Field::DobaPlatnostiSMS, "Doba platnosti SMS zprávy"},
    {Field::OdpovidatT0, "Hlášení o stavu posílat i na telefonní číslo T1"},
    {Field::PrepnoutNepovolPristup, "Hlášení o nepovoleném přístupu posílat i na tel. číslo T1"},
    {Field::PINAuth, "Autorizace pomocí zadání PINu v příkazové zprávě"},
    {Field::NotAuthorized, "Posílat hlášení, že není povolen přístup"},
    {Field::rtNotAuthorized, "Text hlášení o nepovolení přístupu"},
    {Field::PowerReport, "Zapnutí/Vypnutí síťového napájení: posílat hlášení o zapnutí/vypnutí"},
    {Field::rtPowerUp, "Zapnutí/Vypnutí síťového napájení: Text hlášení při zapnutí"},
    {Field::rtPowerDown, "Zapnutí/Vypnutí síťového napájení: Text hlášení při vypnutí"},
    {Field::SwitchReport, "Zapnutí/Vypnutí zařízení: posílat hlášení o zapnutí/vypnutí"},
    {Field::rtSwitchOn, "Zapnutí/Vypnutí zařízení: Text hlášení při zapnutí"},
    {Field::rtSwitchOff, "Zapnutí/Vypnutí zařízení: Text hlášení při vypnutí"},
    {Field::Batt, "při poklesu napětí pod CL1 vypnout zařízení"},
    {Field::rtBattLow, "Text hlášení při poklesu napětí"},
    {Field::EnablePS, "Povolit šetřící režim"},
    {Field::SuperPS, "Super šetřící režim"},
    {Field::PSOutOff, "Při vypnutém modemu vypnout výstupy"},
    {Field::PSOnH, "Doba zapnutého modemu h"},
    {Field::PSOnM, "Doba zapnutého modemu m"},
    {Field::PSOffH, "Doba vypnutého modemu h"},
    {Field::PSOffM, "Doba vypnutého modemu m"},
    {Field::TC, "Telefonní číslo"},
    {Field::TCPrijem, "Přijímat příkazy"},
    {Field::TCUdalost, "Odesílat zprávy o událostech"},
    {Field::INPNazev, "Název"},
    {Field::INPZap, "Název stavu zapnuto (1)"},
    {Field::INPVyp, "Název stavu vypnuto (0)"},
    {Field::INPLH, "Název přechodu 0->1"},
    {Field::INPHL, "Název přechodu 1->0"},
    {Field::INPLHEvent, "Poslat zprávu při změně stavu 0->1"},
    {Field::INPHLEvent, "Poslat zprávu při změně stavu 1->0"},
    {Field::INPNeg, "Negace vstupu (neguje se ihned po vzorkování - teprve poté se analyzuje)"},
    {Field::INPZpr, "Uvádět tento vstup ve zprávě o stavu"},
    {Field::MaskDInLHAlarm, "Změna stavu 0->1: odeslat ihned"},
    {Field::MaskDInHLAlarm, "Změna stavu 1->0: odeslat ihned"},
    {Field::OUTNazev, "Název"},
    {Field::OUTZap, "Název stavu zapnuto (1)"},
    {Field::OUTVyp, "Název stavu vypnuto (0)"},
    {Field::OUTimpuls, "Příkaz pro vyslání impulsu"},
    {Field::OUTimpulsLEN, "Délka jednoho impulsu v sekundách"},
    {Field::OUTNeg, "Negace výstupu"},
    {Field::OUTZpr, "Uvádět tento vstup ve zprávě o stavu"},
    {Field::AINNazev, "Název"},
    {Field::AINStateL, "LOW (nízká)"},
    {Field::AINStateM, "MEDIUM (střední)"},
    {Field::AINStateH, "HIGH (vysoká)"},
    {Field::AINCL1Level, "úroveň CL1"},
    {Field::AINHCL1Level, "hyster. CL1"},
    {Field::AINCL2Level, "úroveň CL2"},
    {Field::AINHCL2Level, "hyster. CL2"},
    {Field::AINCL1Up, "Text hlášení při přechodu nahoru přes CL1"},
    {Field::AINCL1Dn, "Text hlášení při přechodu dolu přes CL1"},
    {Field::AINCL2Up, "Text hlášení při přechodu nahoru přes CL2"},
    {Field::AINCL2Dn, "Text hlášení při přechodu dolu přes CL2"},
    {Field::AINCL1UpEvent, "Hlásit přechod nahoru přes CL1"},
    {Field::AINCL1DnEvent, "Hlásit přechod dolu přes CL1"},
    {Field::AINCL2UpEvent, "Hlásit přechod nahoru přes CL2"},
    {Field::AINCL2DnEvent, "Hlásit přechod dolu přes CL2"},
    {Field::AINNeg, "Negace vstupu (neguje se ihned po vzorkování)"},
    {Field::AINZpr, "Uvádět ve zprávě o stavu jméno stavu"},
    {Field::AINPrc, "Uvádět ve zprávě o stavu hodnotu"},
    {Field::Port, "Sériový port"},
    {Field::CheckWrite, "Kontrolovat zápis do EEPROM"},
    {Field::UTO, "UTO"},
    {Field::UTOEnable, "Automaticky vkládat před tel. číslo UTO"},
};

// The bits of the send-at-once byte of an analog row, as its editor shows them.
constexpr const char* kSendAtOnceBits[4] = {
    "Hlásit přechod nahoru přes CL1: odeslat ihned",
    "Hlásit přechod dolu přes CL1: odeslat ihned",
    "Hlásit přechod nahoru přes CL2: odeslat ihned",
    "Hlásit přechod dolu přes CL2: odeslat ihned",
};

const char* YesNo(bool on) { return on ? "ano" : "ne"; }

// One line per differing bit of `a` and `b`.
void CompareBits(std::uint8_t a, std::uint8_t b, const std::string& name, const std::string& labelPrefix,
                 const std::string* captions, int namedBits, std::vector<FieldDifference>& out) {
  for (int bit = 0; bit < 8; ++bit) {
    const bool x = (a >> bit) & 1;
    const bool y = (b >> bit) & 1;
    if (x == y) continue;
    const std::string caption =
        bit < namedBits && !captions[bit].empty() ? captions[bit] : labelPrefix + "bit " + std::to_string(bit);
    out.push_back({name + ".bit" + std::to_string(bit), caption, true, YesNo(x), YesNo(y)});
  }
}

}  // namespace

std::string FieldCaption(Field field) {
  for (const Caption& c : kCaptions) {
    if (c.field == field) return c.text;
  }
  return InfoOf(field).name;
}

std::string FieldCaption(FieldRef field) {
  const Family family = InfoOf(field.field).family;
  if (family == Family::General || family == Family::Program) return FieldCaption(field.field);
  return RowLabel(family, field.row) + " " + FieldCaption(field.field);
}

std::vector<FieldDifference> CompareConfigs(const DeviceConfig& a, const DeviceConfig& b) {
  std::vector<FieldDifference> out;
  const ProgramSettings settings;
  for (int f = 0; f < kFieldCount; ++f) {
    const FieldInfo& info = InfoOf(static_cast<Field>(f));
    if (info.family == Family::Program) continue;
    const int rows = info.family == Family::General ? 1 : kRows;
    for (int row = 0; row < rows; ++row) {
      const FieldRef ref{info.field, row};
      // The battery row's CL1 down text is rtBattLow, listed as such.
      if (info.field == Field::AINCL1Dn && row == kBatteryRow) continue;
      if (const std::string* x = TextOf(a, settings, ref)) {
        const std::string* y = TextOf(b, settings, ref);
        if (y && *x != *y) out.push_back({FieldDisplayName(ref), FieldCaption(ref), false, *x, *y});
      } else if (const bool* p = FlagOf(a, settings, ref)) {
        const bool* q = FlagOf(b, settings, ref);
        if (q && *p != *q) out.push_back({FieldDisplayName(ref), FieldCaption(ref), true, YesNo(*p), YesNo(*q)});
      }
    }
  }
  const std::string outputBits[2] = {RowLabel(Family::Output, 0) + " Indikace stavu modemu",
                                     RowLabel(Family::Output, 1) + " Indikace stavu šetřícího režimu"};
  CompareBits(a.outputFunctionByte, b.outputFunctionByte, "outputFunctionByte", "Funkce výstupů: ", outputBits, 2,
              out);
  for (int row = 0; row < kRows; ++row) {
    const std::string label = RowLabel(Family::Analog, row) + " ";
    std::string captions[4];
    for (int bit = 0; bit < 4; ++bit) captions[bit] = label + kSendAtOnceBits[bit];
    CompareBits(a.analogs[static_cast<std::size_t>(row)].sendAtOnceByte,
                b.analogs[static_cast<std::size_t>(row)].sendAtOnceByte,
                "sendAtOnceByte[" + std::to_string(row) + "]", label + "odeslat ihned: ", captions, 4, out);
  }
  return out;
}

DeviceConfig StoredForm(const DeviceConfig& config, const std::array<AnalogScale, kRows>& scales,
                        char decimalSeparator) {
  // The image is 64 KiB: kept off the stack.
  auto image = std::make_unique<EepromImage>();
  DeviceConfig stored = config;
  if (!EncodeImage(config, scales, *image)) return config;
  if (!DecodeImage(*image, scales, decimalSeparator, stored)) return config;
  return stored;
}

std::vector<FieldDifference> CompareStored(const DeviceConfig& a, const DeviceConfig& b,
                                           const std::array<AnalogScale, kRows>& scales, char decimalSeparator) {
  return CompareConfigs(StoredForm(a, scales, decimalSeparator), StoredForm(b, scales, decimalSeparator));
}

}  // namespace vexa
