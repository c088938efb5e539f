// vexa-cli diff A B [--json]: what differs between two configurations, each
// a ".eep" file, a configuration JSON, or "--port P" for what the unit on P
// holds now (quick read). One line per difference,
//   field[row] (caption): 'a' → 'b'
// or, with --json, an array of {"field", "caption", "a", "b"} (flags as
// booleans). Each side is compared as a file or the unit would hold it, as
// the window's compare does. Exit 0 when the same, 1 when they differ; when
// a side cannot be read, the exit code of why.
#include <iostream>
#include <nlohmann/json.hpp>

#include "codec/text.h"
#include "command.h"
#include "texts/texts.h"
#include "workspace/compare.h"
#include "workspace/workspace.h"

namespace vexa::cli {
namespace {

constexpr const char* kUsage = "diff A.eep|A.json|--port P B.eep|B.json|--port P [--json]";

struct Source {
  std::string path;
  bool port = false;
};

// The configuration of one side; the exit code when it cannot be read (the
// reason printed).
int Read(const Source& source, DeviceConfig& config) {
  Workspace ws;  // JSON keys that are missing keep their start-up values
  if (!source.port) {
    const int code = LoadConfigOrSay(source.path, ws);
    config = ws.config;
    return code;
  }
#ifdef VEXA_CLI_UNIT
  return ReadUnitConfiguration(source.path, config);
#else
  std::cerr << "vexa-cli: " << texts::kCliNoSerialPort << "\n";
  return kExitUsage;
#endif
}

int Diff(const std::vector<std::string>& argv) {
  const auto args = ParseArgs(argv, {.withValue = {"--port"}, .switches = {"--json"}, .maxPlain = 2}, kUsage);
  if (!args) return kExitUsage;
  std::vector<Source> sources;
  for (const auto& [option, value] : args->given) {
    if (option.empty() || option == "--port") sources.push_back({value, !option.empty()});
  }
  if (sources.size() != 2) return BadUsage(kUsage);
  const bool json = args->Has("--json");
  DeviceConfig a, b;
  if (const int code = Read(sources[0], a)) return code;
  if (const int code = Read(sources[1], b)) return code;

  // What each side would hold: a configuration and the file built from it
  // are the same.
  const Workspace startup;
  const auto differences = CompareStored(a, b, startup.scales, startup.decimalSeparator);
  if (json) {
    nlohmann::ordered_json out = nlohmann::ordered_json::array();
    for (const auto& d : differences) {
      nlohmann::ordered_json item;
      item["field"] = d.name;
      item["caption"] = d.caption;
      if (d.flag) {
        item["a"] = d.a == texts::kCompareOn;
        item["b"] = d.b == texts::kCompareOn;
      } else {
        item["a"] = d.a;
        item["b"] = d.b;
      }
      out.push_back(item);
    }
    // Texts from a unit or file need not be valid UTF-8.
    std::cout << out.dump(1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
  } else {
    // Texts from a unit or file may hold control characters: shown as escapes.
    for (const auto& d : differences) {
      std::cout << d.name << " (" << TerminalSafe(d.caption) << "): '" << TerminalSafe(d.a) << "' " << texts::kArrow
                << " '" << TerminalSafe(d.b) << "'\n";
    }
  }
  std::cout.flush();
  if (!std::cout.good()) return kExitRefused;
  return differences.empty() ? kExitOk : kExitFailed;
}

const Register kDiff{{"diff", kUsage, Diff,
                      "Lists what differs between two configurations, each a .eep file, a configuration JSON,\n"
                      "or --port P for what the unit on P holds now (read as far as its configuration goes):\n"
                      "one line per difference, field[row] (caption): 'a' " + std::string(texts::kArrow) + " 'b'.\n"
                      "  --json   print the differences as a JSON array\n"
                      "Each side is compared as a file or the unit would hold it.\n"
                      "Exit 0 when the configurations are the same, 1 when they differ.\n" +
                          std::string(kExitCodesHelp)}};

}  // namespace
}  // namespace vexa::cli
