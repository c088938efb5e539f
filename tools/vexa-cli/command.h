// vexa-cli's commands register themselves here; main() dispatches on the
// first argument.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
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
inline constexpr int kExitFailed = 1;   // refused, failed, or offences found
inline constexpr int kExitInvalid = 2;  // not a valid configuration / bad usage
inline constexpr int kExitCancelled = 3;

struct Command {
  std::string name;
  std::string usage;  // one line, e.g. "dump FILE.eep"
  std::function<int(const std::vector<std::string>& args)> run;
  std::string help;  // what `vexa-cli CMD --help` prints after the usage line
};

std::vector<Command>& Registry();

// The file given with `vexa-cli --trace FILE CMD ...`: the unit commands
// record every frame there. Empty when no trace was asked for.
std::string& TracePath();

// A JSON configuration is under 100 kB; a file over this is refused.
inline constexpr std::size_t kMaxTextFile = 4u << 20;

// The whole content of a regular text file of at most kMaxTextFile bytes;
// nullopt, with the program's load message on standard error, when it cannot
// be read (a folder, a FIFO, a device or a longer file included).
std::optional<std::string> ReadTextFile(const std::string& path);

// Loads a configuration file into the workspace as the program's load does;
// on failure prints the program's message for it on standard error.
bool LoadFileOrSay(const std::string& path, Workspace& ws);

// Loads a configuration JSON (by its ".json" ending) or ".eep" file into the
// workspace; on failure prints why and gives false. `missing`, when given,
// receives the keys a JSON leaves out.
bool LoadConfigOrSay(const std::string& path, Workspace& ws, std::vector<std::string>* missing = nullptr);

#if VEXA_CLI_UNIT
// Activates the unit on `port`, reads its configuration (quick read) and
// releases it; the exit code of a read.
int ReadUnitConfiguration(const std::string& port, DeviceConfig& config);
#endif

// Writes an output file ("-" is standard output); on failure says why on
// standard error.
bool WriteOutputOrSay(const std::string& path, const std::uint8_t* data, std::size_t size);

// Encodes the workspace's configuration and writes the file the program's
// save writes ("-" is standard output); on failure says why on standard
// error. The exit code.
int SaveConfigOrSay(const std::string& path, Workspace& ws);

// False, with a message, when `path` cannot be created or replaced: its folder
// does not exist or cannot be written, or it is a folder. "-" passes.
bool CanWriteOrSay(const std::string& path);

// Prints a message on `out`, a line at a time, each line terminal-safe
// (control characters of a file's or a unit's texts shown as "\x1b"), with a
// line end after the last one.
void SayLines(std::ostream& out, const std::string& text);

struct Register {
  explicit Register(Command c) { Registry().push_back(std::move(c)); }
};

}  // namespace vexa::cli
