#include "report/sections.h"

#include <cmath>
#include <string>

#include "workspace/fields.h"

namespace vexa {
namespace {

constexpr int kBodyFontSize = 8;
constexpr int kBodyLineWidth = 1;
constexpr int kHeadLineWidth = 6;
constexpr int kSectionGap = 200;

const char* Flag(bool on) { return on ? "1" : "0"; }

int FullWidth(const ReportRun& run) {
  return static_cast<int>(std::nearbyint(run.printer.PageWidth() - kReportLeft - kReportRightMargin));
}

void BodyStyle(ReportRun& run) {
  run.printer.SetFontSize(kBodyFontSize);
  run.printer.SetDrawWidth(kBodyLineWidth);
}

void HeadStyle(ReportRun& run) {
  run.printer.SetFontSize(kBodyFontSize);
  run.printer.SetDrawWidth(kHeadLineWidth);
}

// A cell inside a table row.
void Cell(ReportRun& run, const std::string& text, int width, int align) {
  PrintCell(run, text, width, kReportRowHeight, align, true, false);
}
// The last cell of a table row, running to the right margin.
void LastCell(ReportRun& run, const std::string& text, int align) {
  PrintCell(run, text, RestWidth(run), kReportRowHeight, align, false, true);
}

struct Head {
  const char* text;
  int width;  // 0: to the right margin
};

void PrintHeads(ReportRun& run, std::initializer_list<Head> heads) {
  HeadStyle(run);
  for (const Head& h : heads) {
    if (h.width == 0) {
      LastCell(run, h.text, kAlignCentre);
    } else {
      Cell(run, h.text, h.width, kAlignCentre);
    }
  }
}

// "... posílat okamžitě  hlášení: 'text'" or the line saying nothing is sent.
std::string CrossingLine(const char* crossing, bool reported, bool atOnce, const std::string& message) {
  const std::string opening = std::string("Při přechodu ") + crossing;
  if (!reported) return opening + " neposílat žádné hlášení.";
  return opening + " posílat " + (atOnce ? "okamžitě " : "") + " hlášení: '" + message + "'";
}

}  // namespace

void PrintGeneralSection(ReportRun& run) {
  if (run.Stopped()) return;
  const GeneralSettings& g = run.ws.config.general;
  PrintSectionTitle(run, "Všeobecné");
  BodyStyle(run);
  const int valueWidth = FullWidth(run) - 2000;
  const std::pair<const char*, const std::string*> rows[] = {
      {"Název stanice", &g.JmenoStanice}, {"PIN", &g.PIN}, {"Tel. servisního centra", &g.TCcentra}};
  for (const auto& [label, value] : rows) {
    PrintCell(run, label, 2000, kReportRowHeight, kAlignLeft, true, false);
    PrintCell(run, *value, valueWidth, kReportRowHeight, kAlignLeft, false, true);
  }
  if (!g.EnablePS) {
    PrintFullLine(run, "Šetřící režim nepovolen.");
  } else {
    PrintFullLine(run, "Šetřící režim povolen. Modem je vypnut po dobu " + g.PSOffH + ":" + g.PSOffM +
                           " a zapnut po dobu " + g.PSOnH + ":" + g.PSOnM + ".");
  }
  PrintFullLine(run, g.PSOutOff ? "Při vypnutém modemu vypínat i výstupy." : "Při vypnutém modemu nevypínat výstupy.");
  AdvanceLine(run, kSectionGap);
}

void PrintSmsSection(ReportRun& run) {
  if (run.Stopped()) return;
  const GeneralSettings& g = run.ws.config.general;
  PrintSectionTitle(run, "SMS zprávy");
  BodyStyle(run);
  PrintFullLine(run, "Doba platnosti SMS zpráv je " + g.DobaPlatnostiSMS + " dnů.");
  PrintFullLine(run, std::string("Při poklesu napětí baterií ") + (g.Batt ? "vypínat" : "nevypínat") +
                         " zařízení a odesílat text: '" + run.ws.config.rtBattLow() + "'");
  PrintFullLine(run, std::string("V příkazové zprávě ") + (g.PINAuth ? "požadovat" : "nepožadovat") +
                         " autorizaci zadáním PINu.");
  PrintFullLine(
      run, std::string("Hlášení o stavu ") + (g.OdpovidatT0 ? "posílat" : "neposílat") + " i na telefonní číslo T1.");
  PrintFullLine(run, std::string("Hlášení o nepovoleném přístupu ") +
                         (g.PrepnoutNepovolPristup ? "posílat" : "neposílat") + " i na telefonní číslo T1.");
  PrintFullLine(run, std::string(g.SwitchReport ? "Posílat" : "Neposílat") +
                         " hlášení o zap./vyp. zařízení. Text zap.: '" + g.rtSwitchOn + "' Text vyp.: '" +
                         g.rtSwitchOff + "'");
  PrintFullLine(run, std::string(g.PowerReport ? "Posílat" : "Neposílat") +
                         " hlášení o zap./vyp. síťového napájení. Text zap.: '" + g.rtPowerUp + "' Text vyp.: '" +
                         g.rtPowerDown + "'");
  AdvanceLine(run, kSectionGap);
}

void PrintInputsSection(ReportRun& run) {
  if (run.Stopped()) return;
  PrintSectionTitle(run, "Logické vstupy");
  PrintHeads(run, {{"Název", 1800},
                   {"Stav 0", 800},
                   {"Stav 1", 800},
                   {"0->1", 2600},
                   {"1->0", 2600},
                   {"Negace", 800},
                   {"Uvádět ve zprávě", 0}});
  BodyStyle(run);
  for (int row = 0; row < kReportInputRows && !run.Stopped(); ++row) {
    const DigitalInput& in = run.ws.config.inputs[row];
    Cell(run, RowLabel(Family::Input, row), 300, kAlignLeft);
    Cell(run, in.INPNazev, 1500, kAlignLeft);
    Cell(run, in.INPVyp, 800, kAlignLeft);
    Cell(run, in.INPZap, 800, kAlignLeft);
    Cell(run, Flag(in.INPLHEvent), 300, kAlignCentre);
    Cell(run, in.INPLH, 2000, kAlignLeft);
    Cell(run, Flag(in.MaskDInLHAlarm), 300, kAlignCentre);
    Cell(run, Flag(in.INPHLEvent), 300, kAlignCentre);
    Cell(run, in.INPHL, 2000, kAlignLeft);
    Cell(run, Flag(in.MaskDInHLAlarm), 300, kAlignCentre);
    Cell(run, Flag(in.INPNeg), 800, kAlignCentre);
    LastCell(run, Flag(in.INPZpr), kAlignCentre);
  }
  AdvanceLine(run, kSectionGap);
}

void PrintOutputsSection(ReportRun& run) {
  if (run.Stopped()) return;
  PrintSectionTitle(run, "Logické výstupy");
  PrintHeads(
      run,
      {{"Název", 1800}, {"Stav 0", 800}, {"Stav 1", 800}, {"Negace", 800}, {"Impuls", 1500}, {"Uvádět ve zprávě", 0}});
  BodyStyle(run);
  for (int row = 0; row < kReportOutputRows && !run.Stopped(); ++row) {
    const DigitalOutput& out = run.ws.config.outputs[row];
    Cell(run, RowLabel(Family::Output, row), 300, kAlignLeft);
    Cell(run, out.OUTNazev, 1500, kAlignLeft);
    Cell(run, out.OUTVyp, 800, kAlignLeft);
    Cell(run, out.OUTZap, 800, kAlignLeft);
    Cell(run, Flag(out.OUTNeg), 800, kAlignCentre);
    Cell(run, out.OUTimpuls, 1000, kAlignLeft);
    Cell(run, out.OUTimpulsLEN, 500, kAlignRight);
    LastCell(run, Flag(out.OUTZpr), kAlignCentre);
  }
  AdvanceLine(run, kSectionGap);
}

void PrintAnalogSection(ReportRun& run) {
  if (run.Stopped()) return;
  ReportPrinter& p = run.printer;
  PrintSectionTitle(run, "Analogové vstupy");
  HeadStyle(run);  // font size 8, line width 6 for the whole section
  for (int row = 0; row < kReportAnalogRows && !run.Stopped(); ++row) {
    const AnalogInput& a = run.ws.config.analogs[row];
    AdvanceLine(run, kReportRowHeight);
    // The graph and the text block beside it go onto one page. The graph's
    // height is taken in twips, the unit of the page.
    if (p.PageHeight() - 1000 - p.CurrentY() < kGraphHeight) {
      AdvanceLine(run, static_cast<int>(kGraphHeight));
    }
    if (run.Stopped()) return;
    const GraphInput graph{a.AINCL1Level, a.AINHCL1Level, a.AINCL2Level, a.AINHCL2Level, a.AINNeg};
    p.PlaceGraph(kReportGraphLeft, p.CurrentY(), run.ws.scales[row], graph, run.ws.decimalSeparator);

    std::string w = a.AINPrc ? "hodnotu" : "";
    if (a.AINZpr) w = w.empty() ? "jméno stavu" : w + ", jméno stavu";
    PrintCell(run, "Název " + RowLabel(Family::Analog, row) + ": '" + a.AINNazev + "'", 2500, kReportRowHeight, kAlignLeft, true,
              false);
    PrintCell(run, w.empty() ? "Ve zprávě o stavu tento vstup neuvádět." : "Ve zprávě o stavu uvádět: " + w, 4000,
              kReportRowHeight, kAlignLeft, false, true);
    const std::string lines[] = {
        "Název stavu HIGH: '" + a.AINStateH + "'",
        "Název stavu MEDIUM: '" + a.AINStateM + "'",
        "Název stavu LOW: '" + a.AINStateL + "'",
        CrossingLine("nahoru přes CL1", a.AINCL1UpEvent, a.CL1Up(), a.AINCL1Up),
        CrossingLine("dolu přes CL1", a.AINCL1DnEvent, a.CL1Down(), a.AINCL1Dn),
        CrossingLine("nahoru přes CL2", a.AINCL2UpEvent, a.CL2Up(), a.AINCL2Up),
        CrossingLine("dolu přes CL2", a.AINCL2DnEvent, a.CL2Down(), a.AINCL2Dn),
    };
    for (const std::string& line : lines) {
      PrintCell(run, line, 6500, kReportRowHeight, kAlignLeft, false, true);
    }
  }
  AdvanceLine(run, kSectionGap);
}

void PrintPhonesSection(ReportRun& run) {
  if (run.Stopped()) return;
  PrintSectionTitle(run, "Telefonní čísla");
  PrintHeads(run, {{"Telefonní číslo", 2300}, {"Příjem příkazů", 2000}, {"Odesílání zpráv", 0}});
  BodyStyle(run);
  for (int row = 0; row < kReportPhoneRows && !run.Stopped(); ++row) {
    const PhoneEntry& t = run.ws.config.phones[row];
    Cell(run, RowLabel(Family::Phone, row), 300, kAlignLeft);
    Cell(run, t.TC, 2000, kAlignLeft);
    Cell(run, Flag(t.TCPrijem), 2000, kAlignCentre);
    LastCell(run, Flag(t.TCUdalost), kAlignCentre);
  }
  AdvanceLine(run, kSectionGap);
}

}  // namespace vexa
