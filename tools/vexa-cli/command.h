// vexa-cli's commands register themselves here; main() dispatches on the
// first argument.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/failure.h"

namespace vexa {
struct Workspace;
struct DeviceConfig;
struct Services;
enum class Answer;
namespace link {
class UnitSession;
}
}

namespace vexa::cli {

// Exit codes shared by every command: what happened, so that a script that
// programs many units can tell "fix the file" from "try another port" from
// "the unit is faulty".
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;     // the unit or the line failed; check and diff: something found
inline constexpr int kExitUsage = 2;      // wrong usage
inline constexpr int kExitCancelled = 3;  // interrupted: a signal, or Storno
inline constexpr int kExitRefused = 4;    // a file was refused: unreadable, damaged, breaking the rules, not writable
inline constexpr int kExitPort = 5;       // the serial port could not be opened

// The exit code of a failure of this kind.
int ExitCode(FailureKind kind);

// What `vexa-cli --help` and the commands' help say of the exit codes.
inline constexpr const char* kExitCodesHelp =
    "Exit codes: 0 done; 1 the unit or the line failed (no answer, wrong answers, verification);\n"
    "2 wrong usage; 3 interrupted (a signal, Storno); 4 a file was refused (unreadable, damaged,\n"
    "breaking the rules, or an output that cannot be written); 5 the port could not be opened.\n";

struct Command {
  std::string name;
  std::string usage;  // one line, e.g. "dump FILE.eep"
  std::function<int(const std::vector<std::string>& args)> run;
  std::string help;  // what `vexa-cli CMD --help` prints after the usage line
};

std::vector<Command>& Registry();

// The options a command takes.
struct ArgForm {
  std::vector<std::string> withValue = {};  // "-o", "--port": each takes the argument after it
  std::vector<std::string> switches = {};   // "--force"
  std::vector<std::string> required = {};   // options that must be given
  std::size_t minPlain = 0;            // arguments that are not options (files)
  std::size_t maxPlain = 0;
};

// A command line as given, in order; arguments that are not options are
// listed under the name "".
struct Args {
  std::vector<std::pair<std::string, std::string>> given;
  bool Has(const std::string& option) const;
  // The last value given to an option; empty when it was not given.
  std::string Value(const std::string& option) const;
  std::vector<std::string> Plain() const;
};

// Every command's arguments end here: the parsed arguments, or nullopt with
// "usage: vexa-cli " + usage on standard error when they do not fit `form`.
std::optional<Args> ParseArgs(const std::vector<std::string>& args, const ArgForm& form, const std::string& usage);
// Says the usage line on standard error; the exit code of wrong usage.
int BadUsage(const std::string& usage);

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
// on failure prints the program's message for it on standard error. The exit
// code (kExitOk when loaded).
int LoadFileOrSay(const std::string& path, Workspace& ws);

// Loads a configuration JSON (by its ".json" ending) or ".eep" file into the
// workspace; on failure prints why. The exit code. `missing`, when given,
// receives the keys a JSON leaves out.
int LoadConfigOrSay(const std::string& path, Workspace& ws, std::vector<std::string>* missing = nullptr);

#ifdef VEXA_CLI_UNIT
// Activates the unit on `port`, reads its configuration (quick read) and
// releases it; the exit code of a read.
int ReadUnitConfiguration(const std::string& port, DeviceConfig& config);

// A console session with the unit as info, read and write have theirs (the
// program's messages on standard error, the progress bar, Ctrl-C as Storno,
// the trace), for a command that activates and releases units itself.
struct CliUnit {
  link::UnitSession& link;
  Workspace& ws;
  Services& sv;
  std::function<bool()> interrupted;           // Ctrl-C, SIGTERM or SIGHUP came
  std::function<void(Answer)> answerQuestions;  // what the console answers from now on
};
int RunCliUnit(const std::string& port, bool verify, const std::function<int(CliUnit&)>& work);
// --wait SECONDS of a unit command in milliseconds (60 s when not given);
// nullopt, after saying why, when it is no whole number of 0 .. 86400.
std::optional<std::int64_t> WaitMsOf(const Args& a);

// `vexa-cli write` with --set or --patch: a change for the unit's own
// configuration (cmd_series.cpp).
bool AsksForChange(const std::vector<std::string>& args);
int WriteChange(const std::vector<std::string>& args);
#endif

// Makes ready for printing reports from a command that also uses the port
// (before its first port event); false, saying why, in a build without the
// printer.
bool PrepareReports();

// Writes an output file ("-" is standard output); on failure says why on
// standard error. The exit code.
int WriteOutputOrSay(const std::string& path, const std::uint8_t* data, std::size_t size);

// Saves the workspace's configuration as the program's save does ("-" is
// standard output, the same bytes); on failure says why on standard error.
// The exit code.
int SaveConfigOrSay(const std::string& path, Workspace& ws);

// Refuses, with a message, a `path` that cannot be created or replaced: its
// folder does not exist or cannot be written, or it is a folder. "-" passes.
// The exit code.
int CanWriteOrSay(const std::string& path);

// Prints a message on `out`, a line at a time, each line terminal-safe
// (control characters of a file's or a unit's texts shown as "\x1b"), with a
// line end after the last one.
void SayLines(std::ostream& out, const std::string& text);

struct Register {
  explicit Register(Command c) { Registry().push_back(std::move(c)); }
};

}  // namespace vexa::cli
