// vexa-cli check CONFIG.json | FILE.eep: runs every field rule, as if each
// field lost the focus once in tab order, and the output checks of the write,
// and lists each offence as "field[row]: message".
#include <iostream>
#include <optional>

#include "command.h"
#include "file/config_file.h"
#include "file/config_json.h"
#include "rules/config_check.h"
#include "workspace/fields.h"
#include "workspace/workspace.h"

namespace vexa::cli {
namespace {

constexpr const char* kUsage = "check CONFIG.json|FILE.eep";

bool EndsWithJson(const std::string& path) {
  if (path.size() < 5) return false;
  std::string tail = path.substr(path.size() - 5);
  for (char& c : tail) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return tail == ".json";
}

}  // namespace

bool LoadConfigOrSay(const std::string& path, Workspace& ws) {
  if (EndsWithJson(path)) {
    const auto text = ReadTextFile(path);
    if (!text) {
      std::cerr << ConfigFileLoadErrorText(path) << "\n";
      return false;
    }
    std::string error;
    if (!ConfigFromJsonText(*text, ws.config, error)) {
      std::cerr << path << ": " << error << "\n";
      return false;
    }
    return true;
  }
  return LoadFileOrSay(path, ws);
}

namespace {

int Check(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::cerr << "usage: vexa-cli " << kUsage << "\n";
    return kExitInvalid;
  }
  Workspace ws;  // JSON keys that are missing keep their start-up values
  if (!LoadConfigOrSay(args[0], ws)) return kExitInvalid;
  const auto offences = rules::CheckConfiguration(ws.config, ws.settings, '.');
  for (const auto& o : offences) std::cout << FieldDisplayName(o.field) << ": " << o.message << "\n";
  std::cout.flush();
  if (!std::cout.good()) return kExitFailed;
  return offences.empty() ? kExitOk : kExitFailed;
}

const Register kCheck{{"check", kUsage, Check}};

}  // namespace
}  // namespace vexa::cli
