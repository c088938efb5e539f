// The report printed through the real Qt printer into a PDF file, read back
// with poppler's pdftotext and pdftoppm.
#include <gtest/gtest.h>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include "graph/graph.h"
#include "qt/qt_printer.h"
#include "workspace/workspace.h"

namespace vexa::qt {
namespace {

QString OutDir() {
  const QString dir = QString::fromUtf8(VEXA_BINARY_DIR) + "/test-out/printer";
  QDir().mkpath(dir);
  return dir;
}

bool HaveTool(const char* name) { return !QStandardPaths::findExecutable(name).isEmpty(); }

// pdftotext -layout of one page (0: all pages).
QString PdfText(const QString& pdf, int page = 0) {
  QStringList args{"-layout", "-enc", "UTF-8"};
  if (page > 0) args << "-f" << QString::number(page) << "-l" << QString::number(page);
  args << pdf << "-";
  QProcess p;
  p.start("pdftotext", args);
  p.waitForFinished(30000);
  return QString::fromUtf8(p.readAllStandardOutput());
}

int PdfPages(const QString& pdf) {
  QProcess p;
  p.start("pdfinfo", {pdf});
  p.waitForFinished(30000);
  const auto m = QRegularExpression(R"(Pages:\s+(\d+))").match(QString::fromUtf8(p.readAllStandardOutput()));
  return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// Squeezes runs of blanks, so that sentences can be found in -layout text.
QString Squeeze(QString s) { return s.replace(QRegularExpression("[ \\t]+"), " "); }

Workspace PumpingStation() {
  Workspace ws;
  ws.decimalSeparator = ',';
  auto& g = ws.config.general;
  g.JmenoStanice = "Čerpací stanice Dolní Lhota u Brna";
  g.PIN = "4711";
  g.TCcentra = "+420603052000";
  g.DobaPlatnostiSMS = "7";
  g.PINAuth = true;
  g.EnablePS = true;
  g.PSOffH = "1";
  g.PSOffM = "0";
  g.PSOnH = "0";
  g.PSOnM = "30";
  g.SwitchReport = true;
  g.rtSwitchOn = "STANICE ZAP";
  g.rtSwitchOff = "STANICE VYP";
  ws.config.inputs[0] = {"Dvere", "OTEVRENO", "ZAVRENO", "OTEVRENI DVERI", "ZAVRENI DVERI", true, true, false, true};
  ws.config.inputs[1].INPNazev = "Zaplava";
  ws.config.outputs[0].OUTNazev = "Cerpadlo";
  ws.config.outputs[0].OUTZap = "CERPADLO ZAP";
  ws.config.outputs[0].OUTVyp = "CERPADLO VYP";
  ws.config.outputs[0].OUTimpulsLEN = "2,5";
  auto& a = ws.config.analogs[0];
  a.AINNazev = "Hladina";
  a.AINStateL = "NIZKA";
  a.AINStateM = "NORMAL";
  a.AINStateH = "VYSOKA";
  a.AINCL1Level = "20";
  a.AINHCL1Level = "2";
  a.AINCL2Level = "80";
  a.AINHCL2Level = "5";
  a.AINCL1UpEvent = true;
  a.AINCL1Up = "ALARM";
  a.SetSendAtOnce(kBitCL1Up, true);
  a.AINPrc = a.AINZpr = true;
  for (int r = 0; r < kRows; ++r) ws.config.phones[r].TC = "+42077712345" + std::to_string(r);
  ws.config.phones[0].TCPrijem = ws.config.phones[0].TCUdalost = true;
  return ws;
}

TEST(QtReportPrinter, MeasuresInTwipsAtThePrintersResolution) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(OutDir() + "/metrics.pdf");
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
  QtReportPrinter out(printer, nullptr, 1);
  EXPECT_NEAR(out.PageWidth(), 11906, 10);   // 210 mm (595 pt)
  EXPECT_NEAR(out.PageHeight(), 16838, 10);  // 297 mm (842 pt)
  out.SetFontName("Arial CE");
  out.SetFontSize(8);
  // Arial 8 pt: a line 1.15 em (184 twips), "medium" 3.56 em (569 twips).
  EXPECT_NEAR(out.TextHeight("medium"), 184, 8);
  EXPECT_NEAR(out.TextWidth("medium"), 569, 6);
  out.SetFontSize(14);
  EXPECT_NEAR(out.TextWidth("medium"), 569 * 14 / 8.0, 8);
}

TEST(QtReportPrinter, PdfHoldsEverySectionAndBreaksOntoASecondPage) {
  if (!HaveTool("pdftotext") || !HaveTool("pdfinfo")) GTEST_SKIP() << "poppler-utils missing";
  Workspace ws = PumpingStation();
  const QString pdf = OutDir() + "/report.pdf";
  QFile::remove(pdf);
  ASSERT_EQ(PrintReportToPdf(ws, pdf, 1), PrintOutcome::Printed);
  ASSERT_EQ(PdfPages(pdf), 2);
  const QString page1 = Squeeze(PdfText(pdf, 1));
  const QString page2 = Squeeze(PdfText(pdf, 2));
  for (const char* s : {"Všeobecné", "SMS zprávy", "Logické vstupy", "Logické výstupy", "Analogové vstupy",
                        "Šetřící režim povolen. Modem je vypnut po dobu 1:0 a zapnut po dobu 0:30.",
                        "V příkazové zprávě požadovat autorizaci zadáním PINu.",
                        "Posílat hlášení o zap./vyp. zařízení. Text zap.: 'STANICE ZAP' Text vyp.: 'STANICE VYP'",
                        "Název A1: 'Hladina'", "Ve zprávě o stavu uvádět: hodnotu, jméno stavu",
                        "Při přechodu nahoru přes CL1 posílat okamžitě hlášení: 'ALARM'",
                        "Při přechodu nahoru přes CL2 neposílat žádné hlášení.", "Cerpadlo", "2,5", "Zaplava"}) {
    EXPECT_TRUE(page1.contains(QString::fromUtf8(s))) << s;
  }
  // The header: the first 20 characters of the station name, the page.
  const QString header = QString::fromUtf8("VEXA Init stanice: Čerpací stanice Doln ");
  EXPECT_TRUE(page1.contains(header + QString::fromUtf8("1. stránka")));
  // The graph's labels come with the picture.
  EXPECT_TRUE(page1.contains(QString::fromUtf8("CL1 (20 ± 2)%"))) << page1.toStdString();
  EXPECT_TRUE(page1.contains(QString::fromUtf8("CL2 (80 ± 5,1)%")));
  // The phone table does not fit below the analog block: its title, heads
  // and rows start page 2, under the header.
  EXPECT_TRUE(page2.contains(header + QString::fromUtf8("2. stránka")));
  for (const char* s : {"Telefonní čísla", "Příjem příkazů", "+420777123450", "+420777123457"}) {
    EXPECT_TRUE(page2.contains(QString::fromUtf8(s))) << s;
    EXPECT_FALSE(page1.contains(QString::fromUtf8(s))) << s;
  }
}

TEST(QtReportPrinter, CopiesFollowEachOtherEachFromPageOne) {
  if (!HaveTool("pdftotext") || !HaveTool("pdfinfo")) GTEST_SKIP() << "poppler-utils missing";
  Workspace ws = PumpingStation();
  const QString pdf = OutDir() + "/copies.pdf";
  QFile::remove(pdf);
  ASSERT_EQ(PrintReportToPdf(ws, pdf, 3), PrintOutcome::Printed);
  ASSERT_EQ(PdfPages(pdf), 6);
  for (int page = 1; page <= 6; ++page) {
    const QString text = PdfText(pdf, page);
    const QString number = QString::number((page - 1) % 2 + 1) + QString::fromUtf8(". stránka");
    EXPECT_TRUE(text.contains(number)) << page;
  }
}

TEST(QtReportPrinter, PageRangeReachesThePaperInEveryCopy) {
  if (!HaveTool("pdftotext") || !HaveTool("pdfinfo")) GTEST_SKIP() << "poppler-utils missing";
  Workspace ws = PumpingStation();
  struct Case {
    const char* range;
    int copies;
    QStringList pages;  // the page numbers on the sheets, in order
  };
  const Case cases[] = {{"2", 2, {"2", "2"}}, {"1", 1, {"1"}}, {"1-2", 2, {"1", "2", "1", "2"}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.range);
    const QString pdf = OutDir() + "/range.pdf";
    QFile::remove(pdf);
    ASSERT_EQ(PrintReportToPdf(ws, pdf, c.copies, QPageRanges::fromString(c.range)), PrintOutcome::Printed);
    ASSERT_EQ(PdfPages(pdf), c.pages.size());
    for (int sheet = 0; sheet < c.pages.size(); ++sheet) {
      const QString text = PdfText(pdf, sheet + 1);
      EXPECT_TRUE(text.contains(c.pages[sheet] + QString::fromUtf8(". stránka"))) << sheet;
      // The second page's content is the report's second page, not a copy
      // of the first.
      EXPECT_EQ(text.contains(QString::fromUtf8("Všeobecné")), c.pages[sheet] == "1") << sheet;
    }
  }
}

TEST(QtReportPrinter, UnwritableFileFailsQuietly) {
  Workspace ws;
  EXPECT_EQ(PrintReportToPdf(ws, "/nonexistent-directory/x/report.pdf", 2), PrintOutcome::Failed);
}

TEST(QtReportPrinter, GraphIsPlacedBesideTheAnalogBlock) {
  if (!HaveTool("pdftoppm")) GTEST_SKIP() << "poppler-utils missing";
  Workspace ws = PumpingStation();
  const QString pdf = OutDir() + "/graph.pdf";
  QFile::remove(pdf);
  ASSERT_EQ(PrintReportToPdf(ws, pdf, 1), PrintOutcome::Printed);
  const QString prefix = OutDir() + "/graph-page";
  QProcess p;
  p.start("pdftoppm", {"-png", "-r", "72", "-f", "1", "-l", "1", "-singlefile", pdf, prefix});
  ASSERT_TRUE(p.waitForFinished(30000));
  const QImage img(prefix + ".png");
  ASSERT_FALSE(img.isNull());
  // 72 dpi: 20 twips a pixel. The bar is x 7500 + 1600 .. 7500 + 3395; find
  // the blue of the bar and the green of a band in that column.
  const int x = (7500 + 2500) / 20;
  int blue = 0, green = 0, top = -1;
  for (int y = 0; y < img.height(); ++y) {
    const QColor c = img.pixelColor(x, y);
    if (c.blue() > 200 && c.red() < 60 && c.green() < 60) {
      ++blue;
      if (top < 0) top = y;
    }
    if (c.green() > 200 && c.red() < 60 && c.blue() < 60) ++green;
  }
  // The bar is 2135 twips (about 107 px) high, less the bands.
  EXPECT_GT(blue, 60);
  EXPECT_GT(green, 5);
  // Nothing of the picture left of its own left edge at 7500.
  const int left = 7500 / 20 - 3;
  for (int y = 0; y < img.height(); ++y) {
    const QColor c = img.pixelColor(left, y);
    ASSERT_FALSE(c.blue() > 200 && c.red() < 60) << y;
  }
}

}  // namespace
}  // namespace vexa::qt
