// vexa-cli report FILE.eep -o REPORT.pdf|- [--copies N]: the printed report of
// a configuration file as a PDF, through the same layout and printer as the
// program's print button, without a window. The copies follow one another in
// the one file, each starting with its page 1. The PDF is printed into a
// temporary folder and checked before it takes the output's place, so a full
// disk never leaves an empty report behind a success.
#include <QApplication>
#include <QString>
#include <QTemporaryDir>
#include <charconv>
#include <iostream>
#include <memory>

#include "command.h"
#include "file/config_file.h"
#include "file/disk_file.h"
#include "qt/qt_printer.h"
#include "workspace/workspace.h"

namespace vexa::cli {
namespace {

constexpr const char* kUsage = "report FILE.eep -o REPORT.pdf|- [--copies N]";

// A whole PDF: its header at the start and its end-of-file mark near the end.
bool LooksComplete(const std::vector<std::uint8_t>& pdf) {
  const std::string text(pdf.begin(), pdf.end());
  return text.rfind("%PDF-", 0) == 0 &&
         text.find("%%EOF", text.size() > 1024 ? text.size() - 1024 : 0) != std::string::npos;
}

std::optional<int> ParseCopies(const std::string& text) {
  int n = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, n);
  if (ec != std::errc() || ptr != end || n < 1 || n > 32767) return std::nullopt;
  return n;
}

int Report(const std::vector<std::string>& argv) {
  const auto args = ParseArgs(argv, {.withValue = {"-o", "--output", "--copies"}, .minPlain = 1, .maxPlain = 1},
                              kUsage);
  if (!args) return kExitUsage;
  const std::string input = args->Plain()[0];
  const std::string output = args->Has("-o") ? args->Value("-o") : args->Value("--output");
  if (output.empty()) return BadUsage(kUsage);
  int copies = 1;
  if (args->Has("--copies")) {
    const auto n = ParseCopies(args->Value("--copies"));
    if (!n) {
      std::cerr << "vexa-cli report: " << texts::kCliCopies << "\n";
      return kExitUsage;
    }
    copies = *n;
  }

  Workspace ws;
  if (const int code = LoadFileOrSay(input, ws)) return code;
  if (const int code = CanWriteOrSay(output)) return code;

  // Fonts and the printer need an application object; no window is shown.
  std::unique_ptr<QApplication> app;
  static int qtArgc = 1;
  static char name[] = "vexa-cli";
  static char* qtArgv[] = {name, nullptr};
  if (!QCoreApplication::instance()) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app = std::make_unique<QApplication>(qtArgc, qtArgv);
  }

  QTemporaryDir folder;
  if (!folder.isValid()) {
    std::cerr << "vexa-cli report: " << texts::kCliNoTempFolder << ": " << folder.errorString().toStdString() << "\n";
    return kExitRefused;
  }
  const QString pdf = folder.filePath(QStringLiteral("report.pdf"));
  switch (qt::PrintReportToPdf(ws, pdf, copies)) {
    case PrintOutcome::Printed: break;
    case PrintOutcome::Cancelled: return kExitCancelled;
    case PrintOutcome::Failed: std::cerr << "vexa-cli report: " << texts::kMsgPrintFailed << "\n"; return kExitFailed;
  }
  std::vector<std::uint8_t> bytes;
  std::string why;
  if (!ReadRegularFile(pdf.toStdString(), std::size_t{1} << 30, bytes, &why) || !LooksComplete(bytes)) {
    SayLines(std::cerr, WithReason(std::string("vexa-cli report: ") + texts::kCliPdfIncomplete, why));
    return kExitFailed;
  }
  return WriteOutputOrSay(output, bytes.data(), bytes.size());
}

const Register kReport{{"report", kUsage, Report,
                        "Prints the report of a configuration file as the program's print button does, as PDF.\n"
                        "  --copies N   copies one after another in the one file (1 to 32767)\n" +
                            std::string(kExitCodesHelp)}};

}  // namespace

bool PrepareReports() {
  static int qtArgc = 1;
  static char name[] = "vexa-cli";
  static char* qtArgv[] = {name, nullptr};
  if (QCoreApplication::instance() == nullptr) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(qtArgc, qtArgv);  // lives until exit
  }
  return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

}  // namespace vexa::cli
