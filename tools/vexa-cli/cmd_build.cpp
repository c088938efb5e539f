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

int Build(const std::vector<std::string>& argv) {
  const auto args = ParseArgs(argv, {.withValue = {"-o", "--base"}, .switches = {"--force"}, .required = {"-o"},
                                     .minPlain = 1, .maxPlain = 1}, kUsage);
  if (!args) return kExitUsage;
  const std::string input = args->Plain()[0];
  const std::string output = args->Value("-o");
  const std::string base = args->Value("--base");

  const auto text = ReadTextFile(input);
  if (!text) return kExitRefused;
  Workspace ws;  // keys missing from the JSON keep their start-up values
  std::string error;
  std::vector<std::string> warnings;
  if (!ConfigFromJsonText(*text, ws.config, error, nullptr, &warnings)) {
    SayLines(std::cerr, Failure::Of(FailureKind::Refused, error).AtPath(input).Reason());
    return ExitCode(FailureKind::Refused);
  }
  SayWarnings(input, warnings);

  // What the window would have rewritten is rewritten; what it would have
  // refused is refused.
  const rules::Review review = rules::ReviewConfiguration(ws.config, CommandLineSettings(), '.');
  for (const auto& c : review.changes) std::cerr << ChangeLine(c) << "\n";
  for (const auto& o : review.offences) std::cerr << OffenceLine(o) << "\n";
  if (!review.offences.empty() && !args->Has("--force")) {
    std::cerr << "vexa-cli: " << texts::kCliRulesBroken << "\n";
    return ExitCode(FailureKind::Refused);
  }

  // The bytes of --base are read as they are: the configuration that owns
  // them is the JSON's, not theirs.
  Failure failure;
  if (!base.empty() && !ReadConfigFile(base, ws.image, nullptr, nullptr, &failure)) {
    SayLines(std::cerr, WithReason(texts::ConfigFileLoadErrorText(base), failure));
    return ExitCode(failure.kind);
  }
  return SaveConfigOrSay(output, ws);
}

const Register kBuild{{"build", kUsage, Build,
                       "Rewrites each value as the window does when its field is left (each change on\n"
                       "standard error), refuses what `check` refuses unless --force, and writes the file\n"
                       "the program's save writes.\n"
                       "  --base OLD.eep   bytes the configuration does not own keep OLD.eep's values\n"
                       "  --force          write even when field rules are broken\n" +
                           std::string(kMissingKeysHelp) + kExitCodesHelp}};

}  // namespace
}  // namespace vexa::cli
