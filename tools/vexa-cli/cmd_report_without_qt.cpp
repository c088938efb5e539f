// vexa-cli report in a build without Qt (the Windows vexa-cli.exe): the
// report is laid out for the Qt printer, which only the window program has.
#include <iostream>

#include "command.h"
#include "texts/texts.h"

namespace vexa::cli {
namespace {

constexpr const char* kUsage = "report FILE.eep -o REPORT.pdf|- [--copies N]";

int Report(const std::vector<std::string>&) {
  std::cerr << "vexa-cli report: " << texts::kCliReportNeedsWindow << "\n";
  return kExitUsage;  // a command this build does not have
}

const Register kReport{{"report", kUsage, Report,
                        "Prints a configuration file as the program's report; in this build the window\n"
                        "program (vexa-init) prints it.\n"}};

}  // namespace

bool PrepareReports() {
  std::cerr << "vexa-cli: " << texts::kCliReportNeedsWindow << "\n";
  return false;
}

}  // namespace vexa::cli
