// vexa-cli: the scripting companion of VEXA Init, for technicians who keep
// configurations in version control and program many units.
#include <algorithm>
#include <exception>
#include <filesystem>
#include <iostream>

#include "codec/text.h"
#include "command.h"
#include "file/config_file.h"
#include "file/disk_file.h"
#include "platform/failure.h"
#include "platform/system.h"
#include "workspace/workspace.h"

#ifndef VEXA_VERSION
#define VEXA_VERSION "unknown"
#endif

namespace vexa::cli {
std::vector<Command>& Registry() {
  static std::vector<Command> commands;
  return commands;
}

std::string& TracePath() {
  static std::string path;
  return path;
}

void SayLines(std::ostream& out, const std::string& text) { out << TerminalSafeLines(text) << "\n"; }

std::optional<std::string> ReadTextFile(const std::string& path) {
  std::vector<std::uint8_t> bytes;
  Failure failure;
  if (!ReadRegularFile(path, kMaxTextFile, bytes, failure)) {
    SayLines(std::cerr, WithReason(texts::ConfigFileLoadErrorText(path), failure));
    return std::nullopt;
  }
  return std::string(bytes.begin(), bytes.end());
}

bool LoadFileOrSay(const std::string& path, Workspace& ws) {
  Failure failure;
  switch (LoadConfigFile(path, ws, &failure)) {
    case LoadResult::Loaded: return true;
    case LoadResult::ReadError: SayLines(std::cerr, WithReason(texts::ConfigFileLoadErrorText(path), failure)); return false;
    case LoadResult::NotValid: SayLines(std::cerr, WithReason(texts::ConfigFileFormatErrorText(path), failure)); return false;
  }
  return false;
}

bool WriteOutputOrSay(const std::string& path, const std::uint8_t* data, std::size_t size) {
  if (path == "-") {
    // Standard output that takes nothing is said once, by main().
    std::cout.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    std::cout.flush();
    return std::cout.good();
  }
  Failure failure;
  if (WriteFileAtomically(path, data, size, failure)) return true;
  SayLines(std::cerr, WithReason(texts::ConfigFileSaveErrorText(path), failure));
  return false;
}

int SaveConfigOrSay(const std::string& path, Workspace& ws) {
  Failure failure;
  long length = 0;
  if (!EncodeConfigForFile(ws, length, failure)) {
    SayLines(std::cerr, WithReason(texts::kConvertErrorText, failure));
    return kExitFailed;
  }
  return WriteOutputOrSay(path, ws.image.data(), static_cast<std::size_t>(length)) ? kExitOk : kExitFailed;
}

bool CanWriteOrSay(const std::string& path) {
  if (path == "-") return true;
  namespace fs = std::filesystem;
  const fs::path target = platform::PathFromUtf8(path);
  fs::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  std::error_code ec;
  Failure refused;
  if (MayReplace(path, refused)) {
    if (fs::is_directory(target, ec)) {
      refused = Failure::Of(FailureKind::FileSystem, texts::kCauseIsFolder).AtPath(path);
    } else if (!fs::is_directory(folder, ec)) {
      refused = Failure::Of(FailureKind::FileSystem, texts::kCauseNoFolderForFile).AtPath(path);
    } else if (!platform::FolderIsWritable(platform::Utf8Of(folder))) {
      refused = Failure::Of(FailureKind::FileSystem, texts::kCauseFolderReadOnly).AtPath(platform::Utf8Of(folder));
    } else {
      return true;
    }
  }
  SayLines(std::cerr, WithReason(texts::ConfigFileSaveErrorText(path), refused));
  return false;
}
}  // namespace vexa::cli

namespace {
void Usage(std::ostream& out) {
  auto commands = vexa::cli::Registry();
  std::sort(commands.begin(), commands.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
  out << "usage:\n";
  for (const auto& c : commands) out << "  vexa-cli " << c.usage << "\n";
  out << "  vexa-cli --version\n"
         "  vexa-cli CMD --help\n"
         "  vexa-cli --trace FILE CMD ...   records every frame to and from the unit in FILE\n"
         "An output file given as \"-\" goes to standard output.\n";
}

bool AsksForHelp(const std::vector<std::string>& args) {
  return std::any_of(args.begin(), args.end(), [](const std::string& a) { return a == "--help" || a == "-h"; });
}

int Run(int argc, char** argv) {
  using namespace vexa::cli;
  if (argc >= 2 && std::string(argv[1]) == "--trace") {
    if (argc < 4) {
      Usage(std::cerr);
      return kExitInvalid;
    }
    TracePath() = argv[2];
    argv[2] = argv[0];
    return Run(argc - 2, argv + 2);
  }
  const std::string first = argc < 2 ? std::string() : argv[1];
  if (argc < 2 || first == "--help" || first == "-h") {
    Usage(argc < 2 ? std::cerr : std::cout);
    return argc < 2 ? kExitInvalid : kExitOk;
  }
  if (first == "--version") {
    std::cout << "vexa-cli " << VEXA_VERSION << "\n";
    return kExitOk;
  }
  const std::vector<std::string> args(argv + 2, argv + argc);
  for (const auto& c : Registry()) {
    if (c.name != first) continue;
    if (AsksForHelp(args)) {
      std::cout << "usage: vexa-cli " << c.usage << "\n" << c.help;
      return kExitOk;
    }
    return c.run(args);
  }
  std::cerr << "vexa-cli: " << vexa::texts::CliUnknownCommand(vexa::TerminalSafe(first)) << "\n";
  Usage(std::cerr);
  return kExitInvalid;
}
}  // namespace

int main(int argc, char** argv) {
  // Whatever goes wrong below ends in a message and an exit code, never an abort.
  try {
    // The arguments as UTF-8 and the console taking UTF-8, on every system.
    vexa::platform::PrepareConsole();
    std::vector<std::string> args = vexa::platform::CommandLineArguments(argc, argv);
    std::vector<char*> utf8Argv;
    for (std::string& a : args) utf8Argv.push_back(a.data());
    utf8Argv.push_back(nullptr);
    int code = Run(static_cast<int>(args.size()), utf8Argv.data());
    // Whatever was printed must have arrived: a full disk or a closed pipe
    // behind standard output is a failure, and says so.
    std::cout.flush();
    if (!std::cout.good()) {
      std::cerr << "vexa-cli: " << vexa::texts::kCliStdoutFailed << "\n";
      if (code == vexa::cli::kExitOk) code = vexa::cli::kExitFailed;
    }
    return code;
  } catch (const std::exception& e) {
    std::cerr << "vexa-cli: " << e.what() << "\n";
  } catch (...) {
    std::cerr << "vexa-cli: " << vexa::texts::kCliUnexpected << "\n";
  }
  return vexa::cli::kExitFailed;
}
