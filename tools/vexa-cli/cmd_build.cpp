// vexa-cli build CONFIG.json -o FILE.eep [--base OLD.eep] [--force]: encodes
// a JSON configuration and writes the file exactly as the program saves it,
// after the rewriting the window does when each field is left.
#include <iostream>
#include <optional>

#include "command.h"
#include "file/config_file.h"
#include "file/config_json.h"
#include "review.h"
#include "workspace/workspace.h"

namespace vexa::cli {
namespace {

constexpr const char* kUsage = "build CONFIG.json -o FILE.eep|- [--base OLD.eep] [--force]";

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
  if (!text) return kExitInvalid;
  Workspace ws;  // keys missing from the JSON keep their start-up values
  std::string error;
  std::vector<std::string> warnings;
  if (!ConfigFromJsonText(*text, ws.config, error, nullptr, &warnings)) {
    SayLines(std::cerr, Failure::Of(FailureKind::Refused, error).AtPath(input).Reason());
    return kExitInvalid;
  }
  SayWarnings(input, warnings);

  // What the window would have rewritten is rewritten; what it would have
  // refused is refused.
  const rules::Review review = rules::ReviewConfiguration(ws.config, CommandLineSettings(), '.');
  for (const auto& c : review.changes) std::cerr << ChangeLine(c) << "\n";
  for (const auto& o : review.offences) std::cerr << OffenceLine(o) << "\n";
  if (!review.offences.empty() && !force) {
    std::cerr << "vexa-cli: " << texts::kCliRulesBroken << "\n";
    return kExitFailed;
  }

  Failure failure;
  if (!base.empty() && !ReadConfigFile(base, ws.image, nullptr, nullptr, &failure)) {
    SayLines(std::cerr, WithReason(texts::ConfigFileLoadErrorText(base), failure));
    return kExitInvalid;
  }
  return SaveConfigOrSay(output, ws);
}

const Register kBuild{{"build", kUsage, Build,
                       "Rewrites each value as the window does when its field is left (each change on\n"
                       "standard error), refuses what `check` refuses unless --force, and writes the file\n"
                       "the program's save writes.\n"
                       "  --base OLD.eep   bytes the configuration does not own keep OLD.eep's values\n"
                       "  --force          write even when field rules are broken\n" +
                           std::string(kMissingKeysHelp)}};

}  // namespace
}  // namespace vexa::cli
