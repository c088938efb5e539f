#include "report/sections.h"

#include <cmath>
#include <string>
#include <vector>

#include "workspace/fields.h"

namespace vexa {
namespace {

constexpr int kBodyFontSize = 8;
constexpr int kBodyLineWidth = 1;
constexpr int kHeadLineWidth = 6;

// A title stays with the first two lines of its section (a table's heads
// and first row).
constexpr int kKeepWithTitle = 2 * kReportRowHeight;

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

// A table with centred heads drawn in the heads' line width; its rows in the
// body style.
ReportTable StartTable(ReportRun& run, std::vector<RowCell> heads) {
  for (RowCell& h : heads) h.align = kAlignCentre;
  BodyStyle(run);
  return ReportTable{std::move(heads), kHeadLineWidth};
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
  PrintSectionTitle(run, "Všeobecné", kKeepWithTitle);
  BodyStyle(run);
  const int valueWidth = FullWidth(run) - 2000;
  const std::pair<const char*, const std::string*> rows[] = {
      {"Název stanice", &g.JmenoStanice}, {"PIN", &g.PIN}, {"Tel. servisního centra", &g.TCcentra}};
  for (const auto& [label, value] : rows) {
    PrintRow(run, {{label, 2000, kAlignLeft}, {*value, valueWidth, kAlignLeft}}, kReportRowHeight);
  }
  if (!g.EnablePS) {
    PrintFullLine(run, "Šetřící režim nepovolen.");
  } else {
    PrintFullLine(run, "Šetřící režim povolen. Modem je vypnut po dobu " + g.PSOffH + ":" + g.PSOffM +
                           " a zapnut po dobu " + g.PSOnH + ":" + g.PSOnM + ".");
  }
  PrintFullLine(run, g.PSOutOff ? "Při vypnutém modemu vypínat i výstupy." : "Při vypnutém modemu nevypínat výstupy.");
  EndSection(run);
}

void PrintSmsSection(ReportRun& run) {
  if (run.Stopped()) return;
  const GeneralSettings& g = run.ws.config.general;
  PrintSectionTitle(run, "SMS zprávy", kKeepWithTitle);
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
  EndSection(run);
}

void PrintInputsSection(ReportRun& run) {
  if (run.Stopped()) return;
  PrintSectionTitle(run, "Logické vstupy", kKeepWithTitle);
  ReportTable table = StartTable(run, {{"Název", 1800, 0},
                                       {"Stav 0", 800, 0},
                                       {"Stav 1", 800, 0},
                                       {"0->1", 2600, 0},
                                       {"1->0", 2600, 0},
                                       {"Negace", 800, 0},
                                       {"Uvádět ve zprávě", 0, 0}});
  for (int row = 0; row < kReportInputRows && !run.Stopped(); ++row) {
    const DigitalInput& in = run.ws.config.inputs[row];
    PrintTableRow(run, table,
                  {{RowLabel(Family::Input, row), 300, kAlignLeft},
                   {in.INPNazev, 1500, kAlignLeft},
                   {in.INPVyp, 800, kAlignLeft},
                   {in.INPZap, 800, kAlignLeft},
                   {Flag(in.INPLHEvent), 300, kAlignCentre},
                   {in.INPLH, 2000, kAlignLeft},
                   {Flag(in.MaskDInLHAlarm), 300, kAlignCentre},
                   {Flag(in.INPHLEvent), 300, kAlignCentre},
                   {in.INPHL, 2000, kAlignLeft},
                   {Flag(in.MaskDInHLAlarm), 300, kAlignCentre},
                   {Flag(in.INPNeg), 800, kAlignCentre},
                   {Flag(in.INPZpr), 0, kAlignCentre}},
                  kReportRowHeight);
  }
  EndSection(run);
}

void PrintOutputsSection(ReportRun& run) {
  if (run.Stopped()) return;
  PrintSectionTitle(run, "Logické výstupy", kKeepWithTitle);
  ReportTable table = StartTable(run, {{"Název", 1800, 0},
                                       {"Stav 0", 800, 0},
                                       {"Stav 1", 800, 0},
                                       {"Negace", 800, 0},
                                       {"Impuls", 1500, 0},
                                       {"Uvádět ve zprávě", 0, 0}});
  for (int row = 0; row < kReportOutputRows && !run.Stopped(); ++row) {
    const DigitalOutput& out = run.ws.config.outputs[row];
    PrintTableRow(run, table,
                  {{RowLabel(Family::Output, row), 300, kAlignLeft},
                   {out.OUTNazev, 1500, kAlignLeft},
                   {out.OUTVyp, 800, kAlignLeft},
                   {out.OUTZap, 800, kAlignLeft},
                   {Flag(out.OUTNeg), 800, kAlignCentre},
                   {out.OUTimpuls, 1000, kAlignLeft},
                   {out.OUTimpulsLEN, 500, kAlignRight},
                   {Flag(out.OUTZpr), 0, kAlignCentre}},
                  kReportRowHeight);
  }
  EndSection(run);
}

void PrintAnalogSection(ReportRun& run) {
  if (run.Stopped()) return;
  ReportPrinter& p = run.printer;
  PrintSectionTitle(run, "Analogové vstupy");
  HeadStyle(run);  // font size 8, line width 6 for the whole section
  for (int row = 0; row < kReportAnalogRows && !run.Stopped(); ++row) {
    const AnalogInput& a = run.ws.config.analogs[row];
    AdvanceLine(run, kReportRowHeight);

    std::string w = a.AINPrc ? "hodnotu" : "";
    if (a.AINZpr) w = w.empty() ? "jméno stavu" : w + ", jméno stavu";
    const std::vector<RowCell> first = {
        {"Název " + RowLabel(Family::Analog, row) + ": '" + a.AINNazev + "'", 2500, kAlignLeft},
        {w.empty() ? "Ve zprávě o stavu tento vstup neuvádět." : "Ve zprávě o stavu uvádět: " + w, 4000, kAlignLeft}};
    const std::string lines[] = {
        "Název stavu HIGH: '" + a.AINStateH + "'",
        "Název stavu MEDIUM: '" + a.AINStateM + "'",
        "Název stavu LOW: '" + a.AINStateL + "'",
        CrossingLine("nahoru přes CL1", a.AINCL1UpEvent, a.CL1Up(), a.AINCL1Up),
        CrossingLine("dolu přes CL1", a.AINCL1DnEvent, a.CL1Down(), a.AINCL1Dn),
        CrossingLine("nahoru přes CL2", a.AINCL2UpEvent, a.CL2Up(), a.AINCL2Up),
        CrossingLine("dolu přes CL2", a.AINCL2DnEvent, a.CL2Down(), a.AINCL2Dn),
    };
    // The graph keeps its proportions and ends at the tables' right edge at
    // the latest.
    const double room = p.PageWidth() - kReportRightMargin - kReportGraphLeft;
    const double scale = room < kGraphWidth ? (room > 0 ? room / kGraphWidth : 0) : 1;
    const double graphHeight = kGraphHeight * scale;

    // The graph and the text block beside it go onto one page: the graph
    // ends 1000 above the page's bottom at the latest (its height taken in
    // twips, the unit of the page), the block's lines within the bottom
    // reserve, so that no line advance inside the block breaks the page.
    double block = RowHeight(run, first, kReportRowHeight);
    for (const std::string& line : lines) block += CellHeight(run, line, 6500, kReportRowHeight);
    if (p.PageHeight() - kReportBottomMargin - p.CurrentY() < graphHeight ||
        p.PageHeight() - kReportBottomReserve - p.CurrentY() < block) {
      AdvanceLine(run, static_cast<int>(std::ceil(block > graphHeight ? block : graphHeight)));
    }
    if (run.Stopped()) return;
    const GraphInput graph{a.AINCL1Level, a.AINHCL1Level, a.AINCL2Level, a.AINHCL2Level, a.AINNeg};
    p.PlaceGraph(kReportGraphLeft, p.CurrentY(), kGraphWidth * scale, graphHeight, run.ws.scales[row], graph,
                 run.ws.decimalSeparator);

    PrintRow(run, first, kReportRowHeight);
    for (const std::string& line : lines) PrintRow(run, {{line, 6500, kAlignLeft}}, kReportRowHeight);
  }
  EndSection(run);
}

void PrintPhonesSection(ReportRun& run) {
  if (run.Stopped()) return;
  PrintSectionTitle(run, "Telefonní čísla", kKeepWithTitle);
  ReportTable table =
      StartTable(run, {{"Telefonní číslo", 2300, 0}, {"Příjem příkazů", 2000, 0}, {"Odesílání zpráv", 0, 0}});
  for (int row = 0; row < kReportPhoneRows && !run.Stopped(); ++row) {
    const PhoneEntry& t = run.ws.config.phones[row];
    PrintTableRow(run, table,
                  {{RowLabel(Family::Phone, row), 300, kAlignLeft},
                   {t.TC, 2000, kAlignLeft},
                   {Flag(t.TCPrijem), 2000, kAlignCentre},
                   {Flag(t.TCUdalost), 0, kAlignCentre}},
                  kReportRowHeight);
  }
  EndSection(run);
}

}  // namespace vexa
