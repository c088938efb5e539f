// vexa-cli dump FILE.eep: the configuration a file holds, as JSON.
#include <iostream>

#include "command.h"
#include "file/config_file.h"
#include "file/config_json.h"
#include "workspace/workspace.h"

namespace vexa::cli {
namespace {

constexpr const char* kUsage = "dump FILE.eep";

int Dump(const std::vector<std::string>& argv) {
  const auto args = ParseArgs(argv, {.minPlain = 1, .maxPlain = 1}, kUsage);
  if (!args) return kExitUsage;
  Workspace ws;
  if (const int code = LoadFileOrSay(args->Plain()[0], ws)) return code;
  std::cout << ConfigToJsonText(ws.config) << "\n";
  return std::cout.good() ? kExitOk : kExitRefused;
}

const Register kDump{{"dump", kUsage, Dump,
                      std::string("Prints the configuration a file holds as JSON, the format build and check read.\n") +
                          kExitCodesHelp}};

}  // namespace
}  // namespace vexa::cli
