#include "report/sections.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "texts/texts.h"
#include "model/fields.h"

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

// The window's caption of a field, where the report names the same thing.
const char* Caption(Field f) { return InfoOf(f).caption; }

// One row of a family's report table: the row's label, then the fields with
// a report column in the field table, in their order: a flag as "0" or "1"
// centred, a number to the right, any other text to the left.
std::vector<RowCell> TableRowCells(const ReportRun& run, Family family, int row) {
  std::vector<const FieldInfo*> columns;
  for (const FieldInfo& f : kFields) {
    if (f.family == family && f.reportColumn > 0) columns.push_back(&f);
  }
  std::sort(columns.begin(), columns.end(),
            [](const FieldInfo* a, const FieldInfo* b) { return a->reportColumn < b->reportColumn; });
  std::vector<RowCell> cells{{RowLabel(family, row), 300, kAlignLeft}};
  for (const FieldInfo* f : columns) {
    const FieldRef ref{f->field, row};
    if (f->kind == FieldKind::Flag) {
      cells.push_back({Flag(*FlagOf(run.ws.config, run.ws.settings, ref)), f->reportWidth, kAlignCentre});
    } else {
      cells.push_back({*TextOf(run.ws.config, run.ws.settings, ref), f->reportWidth,
                       f->form == TextForm::Number ? kAlignRight : kAlignLeft});
    }
  }
  return cells;
}

}  // namespace

void PrintGeneralSection(ReportRun& run) {
  if (run.Stopped()) return;
  const GeneralSettings& g = run.ws.config.general;
  PrintSectionTitle(run, texts::kTabGeneral, kKeepWithTitle);
  BodyStyle(run);
  const int valueWidth = FullWidth(run) - 2000;
  const std::pair<const char*, const std::string*> rows[] = {
      {Caption(Field::JmenoStanice), &g.JmenoStanice},
      {Caption(Field::PIN), &g.PIN},
      {texts::kReportSmsCentre, &g.TCcentra}};
  for (const auto& [label, value] : rows) {
    PrintRow(run, {{label, 2000, kAlignLeft}, {*value, valueWidth, kAlignLeft}}, kReportRowHeight);
  }
  PrintFullLine(run, g.EnablePS ? texts::ReportPowerSaveLine(g.PSOffH, g.PSOffM, g.PSOnH, g.PSOnM)
                                : texts::kReportPowerSaveOff);
  PrintFullLine(run, texts::ReportOutputsWithModemLine(g.PSOutOff));
  EndSection(run);
}

void PrintSmsSection(ReportRun& run) {
  if (run.Stopped()) return;
  const GeneralSettings& g = run.ws.config.general;
  PrintSectionTitle(run, texts::kTabSms, kKeepWithTitle);
  BodyStyle(run);
  for (const std::string& line :
       {texts::ReportSmsValidityLine(g.DobaPlatnostiSMS), texts::ReportBatteryLine(g.Batt, run.ws.config.rtBattLow()),
        texts::ReportPinAuthLine(g.PINAuth), texts::ReportStatusToT1Line(g.OdpovidatT0),
        texts::ReportRefusedAccessToT1Line(g.PrepnoutNepovolPristup),
        texts::ReportOnOffLine(g.SwitchReport, texts::kReportSwitchedUnit, g.rtSwitchOn, g.rtSwitchOff),
        texts::ReportOnOffLine(g.PowerReport, texts::kReportMains, g.rtPowerUp, g.rtPowerDown)}) {
    PrintFullLine(run, line);
  }
  EndSection(run);
}

void PrintInputsSection(ReportRun& run) {
  if (run.Stopped()) return;
  PrintSectionTitle(run, texts::kReportInputs, kKeepWithTitle);
  ReportTable table = StartTable(run, {{Caption(Field::INPNazev), 1800, 0},
                                       {texts::kReportHeadState0, 800, 0},
                                       {texts::kReportHeadState1, 800, 0},
                                       {texts::kReportHeadRise, 2600, 0},
                                       {texts::kReportHeadFall, 2600, 0},
                                       {texts::kReportHeadNegation, 800, 0},
                                       {texts::kReportHeadInReport, 0, 0}});
  for (int row = 0; row < kReportInputRows && !run.Stopped(); ++row) {
    PrintTableRow(run, table, TableRowCells(run, Family::Input, row), kReportRowHeight);
  }
  EndSection(run);
}

void PrintOutputsSection(ReportRun& run) {
  if (run.Stopped()) return;
  PrintSectionTitle(run, texts::kReportOutputs, kKeepWithTitle);
  ReportTable table = StartTable(run, {{Caption(Field::OUTNazev), 1800, 0},
                                       {texts::kReportHeadState0, 800, 0},
                                       {texts::kReportHeadState1, 800, 0},
                                       {texts::kReportHeadNegation, 800, 0},
                                       {texts::kPulse, 1500, 0},
                                       {texts::kReportHeadInReport, 0, 0}});
  for (int row = 0; row < kReportOutputRows && !run.Stopped(); ++row) {
    PrintTableRow(run, table, TableRowCells(run, Family::Output, row), kReportRowHeight);
  }
  EndSection(run);
}

void PrintAnalogSection(ReportRun& run) {
  if (run.Stopped()) return;
  ReportPrinter& p = run.printer;
  PrintSectionTitle(run, texts::kReportAnalogs);
  HeadStyle(run);  // font size 8, line width 6 for the whole section
  for (int row = 0; row < kReportAnalogRows && !run.Stopped(); ++row) {
    const AnalogInput& a = run.ws.config.analogs[row];
    AdvanceLine(run, kReportRowHeight);

    const std::vector<RowCell> first = {
        {texts::ReportAnalogName(RowLabel(Family::Analog, row), a.AINNazev), 2500, kAlignLeft},
        {texts::ReportAnalogStatusCell(a.AINPrc, a.AINZpr), 4000, kAlignLeft}};
    const std::string lines[] = {
        texts::ReportStateNameLine("HIGH", a.AINStateH),
        texts::ReportStateNameLine("MEDIUM", a.AINStateM),
        texts::ReportStateNameLine("LOW", a.AINStateL),
        texts::ReportCrossingLine(true, 1, a.AINCL1UpEvent, a.CL1Up(), a.AINCL1Up),
        texts::ReportCrossingLine(false, 1, a.AINCL1DnEvent, a.CL1Down(), a.AINCL1Dn),
        texts::ReportCrossingLine(true, 2, a.AINCL2UpEvent, a.CL2Up(), a.AINCL2Up),
        texts::ReportCrossingLine(false, 2, a.AINCL2DnEvent, a.CL2Down(), a.AINCL2Dn),
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
  PrintSectionTitle(run, texts::kReportPhones, kKeepWithTitle);
  ReportTable table = StartTable(run, {{texts::kReportHeadPhone, 2300, 0},
                                       {texts::kReportHeadCommands, 2000, 0},
                                       {texts::kReportHeadMessages, 0, 0}});
  for (int row = 0; row < kReportPhoneRows && !run.Stopped(); ++row) {
    PrintTableRow(run, table, TableRowCells(run, Family::Phone, row), kReportRowHeight);
  }
  EndSection(run);
}

}  // namespace vexa
