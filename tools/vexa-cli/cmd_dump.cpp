// vexa-cli dump FILE.eep: the configuration a file holds, as JSON.
#include <iostream>

#include "command.h"
#include "file/config_file.h"
#include "file/config_json.h"
#include "workspace/workspace.h"

namespace vexa::cli {
namespace {

int Dump(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::cerr << "usage: vexa-cli dump FILE.eep\n";
    return kExitInvalid;
  }
  const std::string& path = args[0];
  Workspace ws;
  if (!LoadFileOrSay(path, ws)) return kExitInvalid;
  std::cout << ConfigToJsonText(ws.config) << "\n";
  return std::cout.good() ? kExitOk : kExitFailed;
}

const Register kDump{{"dump", "dump FILE.eep", Dump,
                      "Prints the configuration a file holds as JSON, the format build and check read.\n"}};

}  // namespace
}  // namespace vexa::cli
