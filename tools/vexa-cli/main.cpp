// vexa-cli: the scripting companion of VEXA Init, for technicians who keep
// configurations in version control and program many units.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <iostream>

#include "command.h"
#include "file/config_file.h"
#include "workspace/workspace.h"

namespace vexa::cli {
std::vector<Command>& Registry() {
  static std::vector<Command> commands;
  return commands;
}

std::optional<std::string> ReadTextFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return text;
}

bool LoadFileOrSay(const std::string& path, Workspace& ws) {
  switch (LoadConfigFile(path, ws)) {
    case LoadResult::Loaded: return true;
    case LoadResult::ReadError: std::cerr << ConfigFileLoadErrorText(path) << "\n"; return false;
    case LoadResult::NotValid: std::cerr << ConfigFileFormatErrorText(path) << "\n"; return false;
  }
  return false;
}
}  // namespace vexa::cli

namespace {
void Usage(std::ostream& out) {
  auto commands = vexa::cli::Registry();
  std::sort(commands.begin(), commands.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
  out << "usage:\n";
  for (const auto& c : commands) out << "  vexa-cli " << c.usage << "\n";
  out << "  vexa-cli --version\n";
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h") {
    Usage(argc < 2 ? std::cerr : std::cout);
    return argc < 2 ? vexa::cli::kExitInvalid : vexa::cli::kExitOk;
  }
  const std::string name = argv[1];
  if (name == "--version") {
    std::cout << "vexa-cli " << VEXA_VERSION << "\n";
    return vexa::cli::kExitOk;
  }
  for (const auto& c : vexa::cli::Registry()) {
    if (c.name == name) return c.run(std::vector<std::string>(argv + 2, argv + argc));
  }
  std::cerr << "vexa-cli: unknown command '" << name << "'\n";
  Usage(std::cerr);
  return vexa::cli::kExitInvalid;
}
