// vexa-cli build CONFIG.json -o FILE.eep [--base OLD.eep] [--force]: encodes
// a JSON configuration and writes the file exactly as the program saves it.
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

constexpr const char* kUsage = "build CONFIG.json -o FILE.eep [--base OLD.eep] [--force]";

int Build(const std::vector<std::string>& args) {
  std::string input, output, base;
  bool force = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if ((a == "-o" || a == "--base") && i + 1 < args.size()) {
      (a == "-o" ? output : base) = args[++i];
    } else if (a == "--force") {
      force = true;
    } else if (input.empty() && !a.empty() && a[0] != '-') {
      input = a;
    } else {
      std::cerr << "usage: vexa-cli " << kUsage << "\n";
      return kExitInvalid;
    }
  }
  if (input.empty() || output.empty()) {
    std::cerr << "usage: vexa-cli " << kUsage << "\n";
    return kExitInvalid;
  }

  const auto text = ReadTextFile(input);
  if (!text) {
    std::cerr << "vexa-cli: cannot read '" << input << "'\n";
    return kExitInvalid;
  }
  Workspace ws;  // keys missing from the JSON keep their start-up values
  std::string error;
  if (!ConfigFromJsonText(*text, ws.config, error)) {
    std::cerr << input << ": " << error << "\n";
    return kExitInvalid;
  }

  const auto offences = rules::CheckConfiguration(ws.config, ws.settings, '.');
  for (const auto& o : offences) std::cerr << FieldDisplayName(o.field) << ": " << o.message << "\n";
  if (!offences.empty() && !force) {
    std::cerr << "vexa-cli: the configuration breaks the field rules; --force writes it anyway\n";
    return kExitFailed;
  }

  if (!base.empty() && !ReadConfigFile(base, ws.image)) {
    std::cerr << ConfigFileLoadErrorText(base) << "\n";
    return kExitInvalid;
  }
  switch (SaveConfigFile(output, ws)) {
    case SaveResult::EncodeError: std::cerr << kConvertErrorText << "\n"; return kExitFailed;
    case SaveResult::WriteError: std::cerr << ConfigFileSaveErrorText(output) << "\n"; return kExitFailed;
    case SaveResult::Saved: break;
  }
  return kExitOk;
}

const Register kBuild{{"build", kUsage, Build}};

}  // namespace
}  // namespace vexa::cli
