// vexa-cli: the scripting companion of VEXA Init, for technicians who keep
// configurations in version control and program many units.
#include <algorithm>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "codec/text.h"
#include "command.h"
#include "platform/system.h"
#include "texts/texts.h"

#ifndef VEXA_VERSION
#define VEXA_VERSION "unknown"
#endif

namespace {
void Usage(std::ostream& out) {
  auto commands = vexa::cli::Registry();
  std::sort(commands.begin(), commands.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
  out << "usage:\n";
  for (const auto& c : commands) out << "  vexa-cli " << c.usage << "\n";
  out << "  vexa-cli --version\n"
         "  vexa-cli CMD --help\n"
         "  vexa-cli --trace FILE CMD ...   records every frame to and from the unit in FILE\n"
         "An output file given as \"-\" goes to standard output.\n"
      << vexa::cli::kExitCodesHelp;
}

bool AsksForHelp(const std::vector<std::string>& args) {
  return std::any_of(args.begin(), args.end(), [](const std::string& a) { return a == "--help" || a == "-h"; });
}

int Run(int argc, char** argv) {
  using namespace vexa::cli;
  if (argc >= 2 && std::string(argv[1]) == "--trace") {
    if (argc < 4) {
      Usage(std::cerr);
      return kExitUsage;
    }
    TracePath() = argv[2];
    argv[2] = argv[0];
    return Run(argc - 2, argv + 2);
  }
  const std::string first = argc < 2 ? std::string() : argv[1];
  if (argc < 2 || first == "--help" || first == "-h") {
    Usage(argc < 2 ? std::cerr : std::cout);
    return argc < 2 ? kExitUsage : kExitOk;
  }
  if (first == "--version") {
    std::cout << "vexa-cli " << VEXA_VERSION << "\n";
    return kExitOk;
  }
  const std::vector<std::string> args(argv + 2, argv + argc);
  for (const auto& c : Registry()) {
    if (c.name != first) continue;
    if (AsksForHelp(args)) {
      std::cout << "usage: vexa-cli " << c.usage << "\n" << c.help;
      return kExitOk;
    }
    return c.run(args);
  }
  std::cerr << "vexa-cli: " << vexa::texts::CliUnknownCommand(vexa::TerminalSafe(first)) << "\n";
  Usage(std::cerr);
  return kExitUsage;
}
}  // namespace

int main(int argc, char** argv) {
  // Whatever goes wrong below ends in a message and an exit code, never an abort.
  try {
    // The arguments as UTF-8 and the console taking UTF-8, on every system.
    vexa::platform::PrepareConsole();
    std::vector<std::string> args = vexa::platform::CommandLineArguments(argc, argv);
    std::vector<char*> utf8Argv;
    for (std::string& a : args) utf8Argv.push_back(a.data());
    utf8Argv.push_back(nullptr);
    int code = Run(static_cast<int>(args.size()), utf8Argv.data());
    // Whatever was printed must have arrived: a full disk or a closed pipe
    // behind standard output is a failure, and says so.
    std::cout.flush();
    if (!std::cout.good()) {
      std::cerr << "vexa-cli: " << vexa::texts::kCliStdoutFailed << "\n";
      if (code == vexa::cli::kExitOk) code = vexa::cli::kExitRefused;
    }
    return code;
  } catch (const std::exception& e) {
    std::cerr << "vexa-cli: " << e.what() << "\n";
  } catch (...) {
    std::cerr << "vexa-cli: " << vexa::texts::kCliUnexpected << "\n";
  }
  return vexa::cli::kExitFailed;
}
