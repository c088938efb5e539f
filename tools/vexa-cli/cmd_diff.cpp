// vexa-cli diff A B [--json]: what differs between two configurations, each
// a ".eep" file, a configuration JSON, or "--port P" for what the unit on P
// holds now (quick read). One line per difference,
//   field[row] (caption): 'a' → 'b'
// or, with --json, an array of {"field", "caption", "a", "b"} (flags as
// booleans). Exit 0 when the same, 1 when they differ, 2 when one cannot be
// read (or bad usage).
#include <iostream>
#include <nlohmann/json.hpp>
#include <optional>

#include "codec/text.h"
#include "command.h"
#include "workspace/compare.h"
#include "workspace/workspace.h"

namespace vexa::cli {
namespace {

constexpr const char* kUsage = "diff A.eep|A.json|--port P B.eep|B.json|--port P [--json]";

struct Source {
  std::string path;
  bool port = false;
};

// The configuration of one side; nullopt (with the reason printed) when it
// cannot be read.
std::optional<DeviceConfig> Read(const Source& source) {
  Workspace ws;  // JSON keys that are missing keep their start-up values
  if (!source.port) {
    if (!LoadConfigOrSay(source.path, ws)) return std::nullopt;
    return ws.config;
  }
#if VEXA_CLI_UNIT
  DeviceConfig config;
  if (ReadUnitConfiguration(source.path, config) != kExitOk) return std::nullopt;
  return config;
#else
  std::cerr << "vexa-cli: " << texts::kCliNoSerialPort << "\n";
  return std::nullopt;
#endif
}

int Diff(const std::vector<std::string>& args) {
  std::vector<Source> sources;
  bool json = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--json") {
      json = true;
    } else if (args[i] == "--port" && i + 1 < args.size()) {
      sources.push_back({args[++i], true});
    } else if (!args[i].empty() && args[i][0] != '-') {
      sources.push_back({args[i], false});
    } else {
      sources.clear();
      break;
    }
  }
  if (sources.size() != 2) {
    std::cerr << "usage: vexa-cli " << kUsage << "\n";
    return kExitInvalid;
  }
  const auto a = Read(sources[0]);
  if (!a) return kExitInvalid;
  const auto b = Read(sources[1]);
  if (!b) return kExitInvalid;

  const auto differences = CompareConfigs(*a, *b);
  if (json) {
    nlohmann::ordered_json out = nlohmann::ordered_json::array();
    for (const auto& d : differences) {
      nlohmann::ordered_json item;
      item["field"] = d.name;
      item["caption"] = d.caption;
      if (d.flag) {
        item["a"] = d.a == "ano";
        item["b"] = d.b == "ano";
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
      std::cout << d.name << " (" << TerminalSafe(d.caption) << "): '" << TerminalSafe(d.a) << "' → '"
                << TerminalSafe(d.b) << "'\n";
    }
  }
  std::cout.flush();
  return differences.empty() ? kExitOk : kExitFailed;
}

const Register kDiff{{"diff", kUsage, Diff,
                      "Lists what differs between two configurations, each a .eep file, a configuration JSON,\n"
                      "or --port P for what the unit on P holds now (read as far as its configuration goes):\n"
                      "one line per difference, field[row] (caption): 'a' → 'b'.\n"
                      "  --json   print the differences as a JSON array\n"
                      "Exit 0 when the configurations are the same, 1 when they differ, 2 when one cannot be read.\n"}};

}  // namespace
}  // namespace vexa::cli
