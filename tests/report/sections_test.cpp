// The six report sections, printed on a tall recording page (PW 11906) so the
// whole report of one copy lands on one page.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "recording_printer.h"
#include "report/engine.h"
#include "report/sections.h"

namespace vexa {
namespace {

using test::FakeServices;
using test::PrintedText;
using test::RecordingPrinter;

struct Cell {
  double x0, y0, x1, y1;
  int lineWidth;
};

std::vector<Cell> Cells(const test::RecordedPage& page) {
  std::vector<Cell> out;
  const auto& l = page.lines;
  for (size_t i = 0; i + 3 < l.size(); i += 4) out.push_back({l[i].x1, l[i].y1, l[i].x2, l[i + 1].y2, l[i].width});
  return out;
}

class SectionsTest : public ::testing::Test {
 protected:
  void Print() {
    printer.ph = 40000;
    ASSERT_EQ(PrintReport(ws, fs.sv, printer), PrintOutcome::Printed);
    ASSERT_EQ(printer.docs.size(), 1u);
    ASSERT_EQ(printer.doc().pages.size(), 1u);
    texts = printer.AllTexts();
  }
  bool Has(const std::string& t) const { return std::find(texts.begin(), texts.end(), t) != texts.end(); }
  size_t IndexOf(const std::string& t) const {
    return static_cast<size_t>(std::find(texts.begin(), texts.end(), t) - texts.begin());
  }
  const PrintedText* Text(const std::string& t) const { return printer.doc().pages[0].Find(t); }
  // The texts printed between two texts (exclusive).
  std::vector<std::string> Between(const std::string& from, const std::string& to) const {
    const size_t a = IndexOf(from), b = IndexOf(to);
    if (a >= texts.size() || b > texts.size() || a >= b) return {};
    return std::vector<std::string>(texts.begin() + static_cast<long>(a) + 1, texts.begin() + static_cast<long>(b));
  }
  // The cells whose top edge is at y, left to right.
  std::vector<Cell> RowAt(double y) const {
    std::vector<Cell> out;
    for (const auto& c : Cells(printer.doc().pages[0]))
      if (c.y0 == y) out.push_back(c);
    return out;
  }

  // The cells of the row a text is printed in, left to right.
  std::vector<Cell> RowAround(double textY) const {
    std::vector<Cell> out;
    for (const auto& c : Cells(printer.doc().pages[0]))
      if (c.y0 < textY && textY < c.y1) out.push_back(c);
    return out;
  }

  Workspace ws;
  FakeServices fs;
  RecordingPrinter printer;
  std::vector<std::string> texts;
};

TEST_F(SectionsTest, SectionsComeInOrder) {
  Print();
  const char* titles[] = {"Všeobecné",       "SMS zprávy",       "Logické vstupy",
                          "Logické výstupy", "Analogové vstupy", "Telefonní čísla"};
  size_t last = 0;
  for (const char* t : titles) {
    ASSERT_TRUE(Has(t)) << t;
    EXPECT_GT(IndexOf(t), last) << t;
    last = IndexOf(t);
    EXPECT_EQ(Text(t)->fontSize, 12);
  }
}

TEST_F(SectionsTest, AllClearConfiguration) {
  Print();
  EXPECT_EQ(Between("Tel. servisního centra", "SMS zprávy"),
            (std::vector<std::string>{"", "Šetřící režim nepovolen.", "Při vypnutém modemu nevypínat výstupy."}));
  EXPECT_EQ(Between("SMS zprávy", "Logické vstupy"),
            (std::vector<std::string>{
                "Doba platnosti SMS zpráv je 3 dnů.",
                "Při poklesu napětí baterií nevypínat zařízení a odesílat text: ''",
                "V příkazové zprávě nepožadovat autorizaci zadáním PINu.",
                "Hlášení o stavu neposílat i na telefonní číslo T1.",
                "Hlášení o nepovoleném přístupu neposílat i na telefonní číslo T1.",
                "Neposílat hlášení o zap./vyp. zařízení. Text zap.: '' Text vyp.: ''",
                "Neposílat hlášení o zap./vyp. síťového napájení. Text zap.: '' Text vyp.: ''",
            }));
  for (const char* line :
       {"Ve zprávě o stavu tento vstup neuvádět.", "Při přechodu nahoru přes CL1 neposílat žádné hlášení.",
        "Při přechodu dolu přes CL1 neposílat žádné hlášení.", "Při přechodu nahoru přes CL2 neposílat žádné hlášení.",
        "Při přechodu dolu přes CL2 neposílat žádné hlášení.", "Název A1: ''", "Název stavu HIGH: ''",
        "Název stavu MEDIUM: ''", "Název stavu LOW: ''"}) {
    EXPECT_TRUE(Has(line)) << line;
  }
}

TEST_F(SectionsTest, EverythingSwitchedOn) {
  auto& g = ws.config.general;
  g.JmenoStanice = "Čerpací stanice";
  g.PIN = "1234";
  g.TCcentra = "+420603052000";
  g.DobaPlatnostiSMS = "7";
  g.Batt = g.PINAuth = g.OdpovidatT0 = g.PrepnoutNepovolPristup = g.SwitchReport = g.PowerReport = true;
  g.PSOutOff = true;
  g.EnablePS = true;
  g.PSOffH = "1";
  g.PSOffM = "0";
  g.PSOnH = "0";
  g.PSOnM = "30";
  g.rtSwitchOn = "ZAP";
  g.rtSwitchOff = "VYP";
  g.rtPowerUp = "SIT OK";
  g.rtPowerDown = "SIT VYPADEK";
  ws.config.rtBattLow() = "BATERIE";
  Print();
  EXPECT_EQ(Between("SMS zprávy", "Logické vstupy"),
            (std::vector<std::string>{
                "Doba platnosti SMS zpráv je 7 dnů.",
                "Při poklesu napětí baterií vypínat zařízení a odesílat text: 'BATERIE'",
                "V příkazové zprávě požadovat autorizaci zadáním PINu.",
                "Hlášení o stavu posílat i na telefonní číslo T1.",
                "Hlášení o nepovoleném přístupu posílat i na telefonní číslo T1.",
                "Posílat hlášení o zap./vyp. zařízení. Text zap.: 'ZAP' Text vyp.: 'VYP'",
                "Posílat hlášení o zap./vyp. síťového napájení. Text zap.: 'SIT OK' Text vyp.: 'SIT VYPADEK'",
            }));
  EXPECT_TRUE(Has("Šetřící režim povolen. Modem je vypnut po dobu 1:0 a zapnut po dobu 0:30."));
  EXPECT_TRUE(Has("Při vypnutém modemu vypínat i výstupy."));
  EXPECT_EQ(Between("Všeobecné", "Šetřící režim povolen. Modem je vypnut po dobu 1:0 a zapnut po dobu 0:30."),
            (std::vector<std::string>{"Název stanice", "Čerpací stanice", "PIN", "1234", "Tel. servisního centra",
                                      "+420603052000"}));
  // Label cells 2000 wide, value cells PW - 4000.
  const auto row = RowAt(Text("PIN")->y + 160 + 50 - 300);
  ASSERT_EQ(row.size(), 2u);
  EXPECT_EQ(row[0].x1 - row[0].x0, 2000);
  EXPECT_EQ(row[1].x1 - row[1].x0, 11906 - 4000);
  EXPECT_EQ(row[1].lineWidth, 1);
}

TEST_F(SectionsTest, StatusMessageCell) {
  struct Case {
    bool prc, zpr;
    const char* cell;
  };
  const Case cases[] = {
      {true, true, "Ve zprávě o stavu uvádět: hodnotu, jméno stavu"},
      {false, true, "Ve zprávě o stavu uvádět: jméno stavu"},
      {true, false, "Ve zprávě o stavu uvádět: hodnotu"},
      {false, false, "Ve zprávě o stavu tento vstup neuvádět."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cell);
    Workspace fresh;
    ws = fresh;
    printer = RecordingPrinter();
    ws.config.analogs[0].AINPrc = c.prc;
    ws.config.analogs[0].AINZpr = c.zpr;
    ws.config.analogs[0].AINNazev = "Hladina";
    Print();
    EXPECT_EQ(Between("Název A1: 'Hladina'", "Název stavu HIGH: ''"), std::vector<std::string>{c.cell});
  }
}

TEST_F(SectionsTest, CrossingLines) {
  AnalogInput& a = ws.config.analogs[0];
  a.AINStateH = "VYSOKA";
  a.AINStateM = "NORMAL";
  a.AINStateL = "NIZKA";
  a.AINCL1UpEvent = true;
  a.AINCL1Up = "ALARM";
  a.SetSendAtOnce(kBitCL1Up, true);
  a.AINCL1DnEvent = true;
  a.AINCL1Dn = "KLID";
  a.AINCL2DnEvent = true;
  a.AINCL2Dn = "POKLES";
  a.SetSendAtOnce(kBitCL2Down, true);
  a.SetSendAtOnce(kBitCL2Up, true);  // set, but the crossing is not reported
  Print();
  EXPECT_EQ(Between("Ve zprávě o stavu tento vstup neuvádět.", "Telefonní čísla"),
            (std::vector<std::string>{
                "Název stavu HIGH: 'VYSOKA'",
                "Název stavu MEDIUM: 'NORMAL'",
                "Název stavu LOW: 'NIZKA'",
                "Při přechodu nahoru přes CL1 posílat okamžitě  hlášení: 'ALARM'",
                "Při přechodu dolu přes CL1 posílat  hlášení: 'KLID'",
                "Při přechodu nahoru přes CL2 neposílat žádné hlášení.",
                "Při přechodu dolu přes CL2 posílat okamžitě  hlášení: 'POKLES'",
            }));
}

TEST_F(SectionsTest, AnalogBlockBesideTheGraph) {
  AnalogInput& a = ws.config.analogs[0];
  a.AINCL1Level = "20";
  a.AINHCL1Level = "2";
  a.AINCL2Level = "80";
  a.AINHCL2Level = "3";
  a.AINNeg = true;
  Print();
  const auto& page = printer.doc().pages[0];
  ASSERT_EQ(page.graphs.size(), 1u);
  const auto& graph = page.graphs[0];
  EXPECT_EQ(graph.x, 7500);
  EXPECT_EQ(graph.in.cl1Text, "20");
  EXPECT_EQ(graph.in.hcl1Text, "2");
  EXPECT_EQ(graph.in.cl2Text, "80");
  EXPECT_EQ(graph.in.hcl2Text, "3");
  EXPECT_TRUE(graph.in.negated);
  EXPECT_EQ(graph.scale.Unit, "%");
  // The graph's top is the first line of the block, 300 below the title.
  const auto first = RowAt(graph.y);
  ASSERT_EQ(first.size(), 2u);
  EXPECT_EQ(first[0].x0, 1000);
  EXPECT_EQ(first[0].x1, 3500);
  EXPECT_EQ(first[1].x1, 7500);
  EXPECT_EQ(first[0].lineWidth, 6);
  const auto second = RowAt(graph.y + 300);
  ASSERT_EQ(second.size(), 1u);
  EXPECT_EQ(second[0].x1 - second[0].x0, 6500);
  const PrintedText* title = Text("Analogové vstupy");
  EXPECT_EQ(graph.y, title->y + 50 + 240 + 300);  // title cell bottom, then AdvanceLine(300)
}

TEST_F(SectionsTest, AnalogBlockMovesToANewPageWhenTheGraphDoesNotFit) {
  // Find where the analog block starts on a tall page, then shorten the page
  // so that the block misses its room by one twip: the graph must end 1000
  // above the bottom, the block's eight lines 1500 above it.
  Print();
  const auto& placed = printer.doc().pages[0].graphs[0];
  const double y = placed.y;
  const double need = std::max(placed.height, 8 * 300.0 + 500);
  for (double room : {need, need - 1}) {
    SCOPED_TRACE(room);
    RecordingPrinter p;
    p.ph = y + 1000 + room;
    FakeServices f;
    ASSERT_EQ(PrintReport(ws, f.sv, p), PrintOutcome::Printed);
    const auto& pages = p.doc().pages;
    size_t graphPage = 0;
    for (size_t i = 0; i < pages.size(); ++i)
      if (!pages[i].graphs.empty()) graphPage = i;
    if (room == need) {
      EXPECT_EQ(graphPage, 0u);
      EXPECT_EQ(pages[0].graphs[0].y, y);
    } else {
      EXPECT_EQ(graphPage, 1u);
      EXPECT_EQ(pages[1].graphs[0].y, 2100);
      EXPECT_NE(pages[1].Find("Název A1: ''"), nullptr);
    }
  }
}

TEST_F(SectionsTest, OnlyTheEditableRowsArePrinted) {
  for (int r = 0; r < kRows; ++r) {
    const std::string n = std::to_string(r + 1);
    ws.config.inputs[r].INPNazev = "VSTUP" + n;
    ws.config.outputs[r].OUTNazev = "VYSTUP" + n;
    ws.config.analogs[r].AINNazev = "ANALOG" + n;
    ws.config.phones[r].TC = "+42060000000" + n;
  }
  Print();
  for (int r = 0; r < kRows; ++r) {
    const std::string n = std::to_string(r + 1);
    EXPECT_EQ(Has("I" + n), r < 4) << n;
    EXPECT_EQ(Has("VSTUP" + n), r < 4) << n;
    EXPECT_EQ(Has("O" + n), r < 2) << n;
    EXPECT_EQ(Has("VYSTUP" + n), r < 2) << n;
    EXPECT_EQ(Has("Název A" + n + ": 'ANALOG" + n + "'"), r < 1) << n;
    EXPECT_TRUE(Has("T" + n)) << n;
    EXPECT_TRUE(Has("+42060000000" + n)) << n;
  }
  EXPECT_EQ(printer.doc().pages[0].graphs.size(), 1u);
}

TEST_F(SectionsTest, TableColumns) {
  DigitalInput& in = ws.config.inputs[0];
  in = {"Dvere", "OTEVRENO", "ZAVRENO", "OTEVRENI", "ZAVRENI", true, false, false, true, true, false};
  DigitalOutput& out = ws.config.outputs[0];
  out = {"Cerpadlo", "ZAP", "VYP", "IMPULS", "2,5", true, false};
  ws.config.phones[0] = {"+420777123456", true, false};
  Print();
  // Heads are 6 wide and centred; each table's last column runs to PW - 1000.
  struct Table {
    const char* head;  // one of its column heads
    std::vector<double> headWidths;
    const char* label;  // its first row
    const char* next;   // its second row
    std::vector<double> widths;
    std::vector<std::string> cells;  // after the row label
  };
  const Table tables[] = {
      {"Stav 0",
       {1800, 800, 800, 2600, 2600, 800, 11906 - 1000 - 10400},
       "I1",
       "I2",
       {300, 1500, 800, 800, 300, 2000, 300, 300, 2000, 300, 800, 11906 - 1000 - 10400},
       // name, state 0, state 1, 0->1 flag, text, alarm, 1->0 flag, text,
       // alarm, negation, in the message
       {"Dvere", "ZAVRENO", "OTEVRENO", "1", "OTEVRENI", "1", "0", "ZAVRENI", "0", "0", "1"}},
      {"Impuls",
       {1800, 800, 800, 800, 1500, 11906 - 1000 - 6700},
       "O1",
       "O2",
       {300, 1500, 800, 800, 800, 1000, 500, 11906 - 1000 - 6700},
       {"Cerpadlo", "VYP", "ZAP", "1", "IMPULS", "2,5", "0"}},
      {"Příjem příkazů",
       {2300, 2000, 11906 - 1000 - 5300},
       "T1",
       "T2",
       {300, 2000, 2000, 11906 - 1000 - 5300},
       {"+420777123456", "1", "0"}},
  };
  for (const auto& t : tables) {
    SCOPED_TRACE(t.label);
    const PrintedText* head = Text(t.head);
    ASSERT_NE(head, nullptr);
    const auto heads = RowAround(head->y);
    ASSERT_EQ(heads.size(), t.headWidths.size());
    for (size_t i = 0; i < heads.size(); ++i) {
      EXPECT_EQ(heads[i].x1 - heads[i].x0, t.headWidths[i]) << i;
      EXPECT_EQ(heads[i].lineWidth, 6);
    }
    const auto body = RowAround(Text(t.label)->y);
    ASSERT_EQ(body.size(), t.widths.size());
    for (size_t i = 0; i < body.size(); ++i) {
      EXPECT_EQ(body[i].x1 - body[i].x0, t.widths[i]) << i;
      EXPECT_EQ(body[i].lineWidth, 1);
    }
    EXPECT_EQ(Between(t.label, t.next), t.cells);
  }
  // Alignment: a head centred, a text 50 in, the pulse length right-aligned
  // in 6200..6700.
  EXPECT_EQ(Text("Stav 0")->x, 2800 + 400 - 10 * 8 * 6 / 2.0);
  EXPECT_EQ(Text("Dvere")->x, 1300 + 50);
  EXPECT_EQ(Text("2,5")->x, 6700 - 240 - 50);
}


std::string WithoutBlanks(std::string s) {
  s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
  return s;
}

// Texts far wider than their cells in every section: rows grow, every text is
// printed whole (its lines in order), no text comes nearer than 25 to a frame,
// and each page a table continues on has the table's heads above its rows.
TEST(SectionsWrap, RowsGrowNothingIsLostHeadsRepeat) {
  Workspace ws;
  std::vector<std::string> expected;
  auto text = [&expected](std::string& field, const std::string& value) {
    field = value;
    expected.push_back(value);
  };
  GeneralSettings& g = ws.config.general;
  text(g.JmenoStanice, "Čerpací stanice Horní Lhota vrt");
  text(g.rtSwitchOn, "Stanice byla zapnuta po výpadku napájení a běží");
  g.SwitchReport = true;
  for (int r = 0; r < kReportInputRows; ++r) {
    DigitalInput& in = ws.config.inputs[r];
    text(in.INPNazev, "Vstup " + std::to_string(r) + " dveře strojovny");
    text(in.INPVyp, "ZAVRENO_DVERE_" + std::to_string(r));
    text(in.INPZap, "OTEVRENO");
    text(in.INPLH, "Otevřely se dveře strojovny čerpací stanice, zkontrolujte");
    text(in.INPHL, "ZAVRENE_DVERE_STROJOVNY_CERPACI_STANICE");
  }
  for (int r = 0; r < kReportOutputRows; ++r) {
    DigitalOutput& out = ws.config.outputs[r];
    text(out.OUTNazev, "Čerpadlo " + std::to_string(r) + " hlavní větev");
    text(out.OUTVyp, "VYP_CERPADLO_" + std::to_string(r));
    text(out.OUTZap, "ON_CERPADLO_" + std::to_string(r));
    text(out.OUTimpuls, "IMPULS_CERPADLO");
  }
  AnalogInput& a = ws.config.analogs[0];
  text(a.AINNazev, "Hladina ve vrtu nad sacím košem čerpadla");
  text(a.AINStateH, "Hladina nad horní mezí, hrozí přetečení nádrže vrtu");
  a.AINCL1UpEvent = true;
  text(a.AINCL1Up, "Hladina stoupla nad dvacet procent, čerpadlo se spouští");
  for (int r = 0; r < kReportPhoneRows; ++r) text(ws.config.phones[r].TC, "+42060212345" + std::to_string(r));

  struct Table {
    char label;        // its rows' label letter
    const char* head;  // one of its heads
  };
  const Table tables[] = {{'I', "0->1"}, {'O', "Impuls"}, {'T', "Příjem příkazů"}};
  for (double ph : {16838.0, 6000.0}) {
    SCOPED_TRACE(ph);
    RecordingPrinter printer;
    printer.ph = ph;
    FakeServices fs;
    ASSERT_EQ(PrintReport(ws, fs.sv, printer), PrintOutcome::Printed);
    std::string all;
    int headedPages = 0;
    for (const auto& page : printer.doc().pages) {
      const auto cells = Cells(page);
      for (const auto& t : page.texts) {
        all += WithoutBlanks(t.text);
        if (t.text.empty()) continue;
        const double w = 10 * t.fontSize * static_cast<double>(Utf8Length(t.text)), h = 20 * t.fontSize;
        EXPECT_TRUE(std::any_of(cells.begin(), cells.end(), [&](const Cell& c) {
          return c.x0 + 25 <= t.x && t.x + w <= c.x1 - 25 && c.y0 + 50 <= t.y && t.y + h <= c.y1 - 50;
        })) << t.text;
      }
      for (const Table& table : tables) {
        const auto row = std::find_if(page.texts.begin(), page.texts.end(), [&](const test::PrintedText& t) {
          return t.text.size() == 2 && t.text[0] == table.label && t.text[1] >= '1' && t.text[1] <= '8';
        });
        if (row == page.texts.end()) continue;
        const test::PrintedText* head = page.Find(table.head);
        ASSERT_NE(head, nullptr) << table.head;
        EXPECT_LT(head->y, row->y);
        ++headedPages;
      }
    }
    for (const auto& e : expected) EXPECT_NE(all.find(WithoutBlanks(e)), std::string::npos) << e;
    // A4 holds every table on one page; the short page splits one at least.
    EXPECT_EQ(headedPages > 3, ph < 10000);
  }
}

}  // namespace
}  // namespace vexa
