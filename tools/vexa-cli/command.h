// vexa-cli's commands register themselves here; main() dispatches on the
// first argument.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vexa {
struct Workspace;
struct DeviceConfig;
}

namespace vexa::cli {

// Exit codes shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;    // refused, failed, or offences found
inline constexpr int kExitInvalid = 2;   // not a valid configuration / bad usage
inline constexpr int kExitCancelled = 3;

struct Command {
  std::string name;
  std::string usage;  // one line, e.g. "dump FILE.eep"
  std::function<int(const std::vector<std::string>& args)> run;
};

std::vector<Command>& Registry();

// The whole content of a text file; nullopt when it cannot be read.
std::optional<std::string> ReadTextFile(const std::string& path);

// Loads a configuration file into the workspace as the program's load does;
// on failure prints the program's message for it on standard error.
bool LoadFileOrSay(const std::string& path, Workspace& ws);

// Loads a configuration JSON (by its ".json" ending) or ".eep" file into the
// workspace; on failure prints why and gives false.
bool LoadConfigOrSay(const std::string& path, Workspace& ws);

#if __has_include(<QCoreApplication>)
// Activates the unit on `port`, reads its configuration (quick read) and
// releases it; the exit code of a read.
int ReadUnitConfiguration(const std::string& port, DeviceConfig& config);
#endif

struct Register {
  explicit Register(Command c) { Registry().push_back(std::move(c)); }
};

}  // namespace vexa::cli
