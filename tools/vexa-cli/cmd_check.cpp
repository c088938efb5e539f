// vexa-cli check CONFIG.json | FILE.eep [--strict]: runs every field rule, as
// if each field lost the focus once in tab order, and the output checks of
// the write, and lists each offence as "field[row]: message"; each value the
// window would rewrite as "field[row]: 'was' → 'becomes'"; each text longer
// than the window lets one type; with --strict each key the JSON leaves out.
#include <iostream>
#include <optional>

#include "command.h"
#include "file/config_file.h"
#include "file/config_json.h"
#include "review.h"
#include "workspace/workspace.h"

namespace vexa::cli {
namespace {

constexpr const char* kUsage = "check CONFIG.json|FILE.eep [--strict]";

bool EndsWithJson(const std::string& path) {
  if (path.size() < 5) return false;
  std::string tail = path.substr(path.size() - 5);
  for (char& c : tail) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return tail == ".json";
}

}  // namespace

int LoadConfigOrSay(const std::string& path, Workspace& ws, std::vector<std::string>* missing) {
  if (EndsWithJson(path)) {
    const auto text = ReadTextFile(path);
    if (!text) return kExitRefused;
    std::string error;
    std::vector<std::string> warnings;
    if (!ConfigFromJsonText(*text, ws.config, error, missing, &warnings)) {
      SayLines(std::cerr, Failure::Of(FailureKind::Refused, error).AtPath(path).Reason());
      return ExitCode(FailureKind::Refused);
    }
    SayWarnings(path, warnings);
    return kExitOk;
  }
  return LoadFileOrSay(path, ws);
}

namespace {

int Check(const std::vector<std::string>& argv) {
  const auto args = ParseArgs(argv, {.switches = {"--strict"}, .minPlain = 1, .maxPlain = 1}, kUsage);
  if (!args) return kExitUsage;
  const std::string path = args->Plain()[0];
  const bool strict = args->Has("--strict");
  Workspace ws;  // JSON keys that are missing keep their start-up values
  std::vector<std::string> missing;
  if (const int code = LoadConfigOrSay(path, ws, &missing)) return code;
  const rules::Review review = rules::ReviewConfiguration(ws.config, CommandLineSettings(), '.');
  for (const auto& o : review.offences) std::cout << OffenceLine(o) << "\n";
  for (const auto& c : review.changes) std::cout << ChangeLine(c) << "\n";
  if (strict) {
    for (const auto& key : missing) std::cout << TerminalSafe(texts::MissingKeyLine(key)) << "\n";
  }
  std::cout.flush();
  if (!std::cout.good()) return kExitRefused;
  const bool clean = review.offences.empty() && review.changes.empty() && (!strict || missing.empty());
  return clean ? kExitOk : kExitFailed;
}

const Register kCheck{{"check", kUsage, Check,
                       "Lists, one a line, every field rule the configuration breaks, every value the window\n"
                       "would rewrite when its field is left ('was' " + std::string(texts::kArrow) +
                           " 'becomes'), and every text longer than\n"
                       "the window lets one type. Exit 0 when there is none, 1 when there is, 4 when the file\n"
                       "cannot be read.\n"
                       "  --strict   also list the keys a JSON configuration leaves out\n" +
                           std::string(kMissingKeysHelp) + kExitCodesHelp}};

}  // namespace
}  // namespace vexa::cli
