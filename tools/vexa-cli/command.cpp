// What vexa-cli's commands share: the registry, the argument parser, the exit
// code of a failure, and loading and saving files with the program's messages.
#include "command.h"

#include <algorithm>
#include <filesystem>
#include <iostream>

#include "codec/text.h"
#include "file/config_file.h"
#include "file/disk_file.h"
#include "platform/system.h"
#include "texts/texts.h"
#include "workspace/workspace.h"

namespace vexa::cli {

int ExitCode(FailureKind kind) {
  switch (kind) {
    case FailureKind::Cancelled: return kExitCancelled;
    case FailureKind::Refused:
    case FailureKind::FileSystem:
    case FailureKind::Data: return kExitRefused;
    case FailureKind::Port: return kExitPort;
    case FailureKind::Device: return kExitFailed;
  }
  return kExitFailed;
}

std::vector<Command>& Registry() {
  static std::vector<Command> commands;
  return commands;
}

std::string& TracePath() {
  static std::string path;
  return path;
}

bool Args::Has(const std::string& option) const {
  return std::any_of(given.begin(), given.end(), [&](const auto& g) { return g.first == option; });
}

std::string Args::Value(const std::string& option) const {
  std::string value;
  for (const auto& [name, v] : given) {
    if (name == option) value = v;
  }
  return value;
}

std::vector<std::string> Args::Plain() const {
  std::vector<std::string> plain;
  for (const auto& [name, v] : given) {
    if (name.empty()) plain.push_back(v);
  }
  return plain;
}

int BadUsage(const std::string& usage) {
  std::cerr << "usage: vexa-cli " << usage << "\n";
  return kExitUsage;
}

std::optional<Args> ParseArgs(const std::vector<std::string>& args, const ArgForm& form, const std::string& usage) {
  const auto listed = [](const std::vector<std::string>& names, const std::string& a) {
    return std::find(names.begin(), names.end(), a) != names.end();
  };
  Args parsed;
  bool fits = true;
  for (std::size_t i = 0; i < args.size() && fits; ++i) {
    const std::string& a = args[i];
    if (listed(form.withValue, a) && i + 1 < args.size()) {
      parsed.given.emplace_back(a, args[++i]);
    } else if (listed(form.switches, a)) {
      parsed.given.emplace_back(a, std::string());
    } else if (!a.empty() && a[0] != '-') {
      parsed.given.emplace_back(std::string(), a);
    } else {
      fits = false;
    }
  }
  const std::size_t plain = parsed.Plain().size();
  fits = fits && plain >= form.minPlain && plain <= form.maxPlain &&
         std::all_of(form.required.begin(), form.required.end(), [&](const auto& r) { return parsed.Has(r); });
  if (!fits) {
    BadUsage(usage);
    return std::nullopt;
  }
  return parsed;
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

int LoadFileOrSay(const std::string& path, Workspace& ws) {
  Failure failure;
  switch (LoadConfigFile(path, ws, &failure)) {
    case LoadResult::Loaded: return kExitOk;
    case LoadResult::ReadError: SayLines(std::cerr, WithReason(texts::ConfigFileLoadErrorText(path), failure)); break;
    case LoadResult::NotValid: SayLines(std::cerr, WithReason(texts::ConfigFileFormatErrorText(path), failure)); break;
  }
  return ExitCode(failure.kind);
}

int WriteOutputOrSay(const std::string& path, const std::uint8_t* data, std::size_t size) {
  if (path == "-") {
    // Standard output that takes nothing is said once, by main().
    std::cout.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    std::cout.flush();
    return std::cout.good() ? kExitOk : kExitRefused;
  }
  Failure failure;
  if (WriteFileAtomically(path, data, size, failure)) return kExitOk;
  SayLines(std::cerr, WithReason(texts::ConfigFileSaveErrorText(path), failure));
  return ExitCode(failure.kind);
}

int SaveConfigOrSay(const std::string& path, Workspace& ws) {
  Failure failure;
  SaveResult saved = SaveResult::Saved;
  if (path != "-") {
    saved = SaveConfigFile(path, ws, &failure);
  } else if (long length = 0; !EncodeConfigForFile(ws, length, failure)) {
    saved = SaveResult::EncodeError;
  } else {
    return WriteOutputOrSay(path, ws.image.data(), static_cast<std::size_t>(length));
  }
  switch (saved) {
    case SaveResult::Saved: return kExitOk;
    case SaveResult::EncodeError: SayLines(std::cerr, WithReason(texts::kConvertErrorText, failure)); break;
    case SaveResult::WriteError: SayLines(std::cerr, WithReason(texts::ConfigFileSaveErrorText(path), failure)); break;
  }
  return ExitCode(failure.kind);
}

int CanWriteOrSay(const std::string& path) {
  if (path == "-") return kExitOk;
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
      return kExitOk;
    }
  }
  SayLines(std::cerr, WithReason(texts::ConfigFileSaveErrorText(path), refused));
  return ExitCode(refused.kind);
}

}  // namespace vexa::cli
