// vexa-unit-sim: a VEXA unit on a pseudo-terminal, for trying VEXA Init and
// vexa-cli without hardware. Prints the device path of its serial port on the
// first line of standard output and answers until Ctrl-C.
#include <signal.h>

#include <atomic>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <limits>
#include <optional>
#include <utility>
#include <string>
#include <system_error>
#include <vector>

#include "file/disk_file.h"
#include "link/serial_port.h"
#include "unit_sim/unit_simulator.h"
#include "pty_unit.h"

namespace {

std::atomic<bool> g_stop{false};

void OnSignal(int) { g_stop = true; }

constexpr const char* kUsage =
    "usage: vexa-unit-sim [options]\n"
    "  --eep FILE          load the EEPROM from FILE (when it exists) and save it back there\n"
    "                      whenever the unit leaves programming mode and at exit\n"
    "  --save FILE         save to FILE instead of the --eep file\n"
    "  --link COMn         create ~/.vexa/dosdevices/COMn pointing at the port (removed at exit)\n"
    "  --baud N            pace the line at N baud (19200 like the unit); 0 = instant (default)\n"
    "  --delay MS          the unit's answer time in milliseconds (default 0)\n"
    "  --busy queue|forget what the unit does with a request that comes while it is still\n"
    "                      busy with the one before: answers it afterwards (default) or\n"
    "                      never sees it\n"
    "  --block-delay MS | MIN-MAX\n"
    "                      a slow EEPROM: block reads and writes answered MS later, or each\n"
    "                      at a random time from MIN to MAX milliseconds (in order)\n"
    "  --jitter MS         every answer comes up to MS milliseconds later, drawn for each\n"
    "                      (--jitter 3000: answer times spread over 0 to 3 s)\n"
    "  --poll-delay MS     polls answered MS later (a unit slow to enter programming mode)\n"
    "  --identify-delay MS the identification answered MS later\n"
    "  --late-by MS | MIN-MAX\n"
    "                      how much later a late reply (--late P) comes (default 1500);\n"
    "                      --late 0.05 --late-by 1000-3000: rare stalls of 1 to 3 s\n"
    "  --slow-addresses FROM-TO\n"
    "                      only blocks starting at FROM up to TO (exclusive) are slow\n"
    "  --product HEX       24-bit product code (default 21D382, \"VEXA\")\n"
    "  --version MAJ.MIN   processor version (default 1.5)\n"
    "  --memory-code N     memory size code 0..9 (default 6, 8128 bytes); others report \"?\"\n"
    "  --modem-code N      modem code (default 4, \"TC35 Siemens\")\n"
    "  --polls N           polls left unanswered before the unit answers (default 0)\n"
    "  --drop P --corrupt P --late P --flip P\n"
    "                      fault probabilities per reply (drop: the answer is lost on the\n"
    "                      line; flip: per written block)\n"
    "  --seed N            seed of the faults and random delays (default 1)\n"
    "  --verbose           log every request on standard error\n";

template <class T>
bool ParseNumber(const std::string& text, T& out, int base = 10) {
  const auto r = std::from_chars(text.data(), text.data() + text.size(), out, base);
  return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

// "N" or "A-B" with A <= B.
bool ParseRange(const std::string& text, long& from, long& to) {
  const auto dash = text.find('-');
  if (dash == std::string::npos) {
    if (!ParseNumber(text, from)) return false;
    to = from;
  } else if (!ParseNumber(text.substr(0, dash), from) || !ParseNumber(text.substr(dash + 1), to)) {
    return false;
  }
  return from >= 0 && from <= to;
}

bool ParseProbability(const std::string& text, double& out) {
  char* end = nullptr;
  out = std::strtod(text.c_str(), &end);
  return end && *end == '\0' && out >= 0 && out <= 1;
}

// The unit's whole memory at most; a folder or a FIFO is refused, not waited on.
bool ReadFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
  std::string why;
  if (vexa::ReadRegularFile(path, 65536, bytes, &why)) return true;
  std::cerr << "vexa-unit-sim: cannot read " << path << ": " << why << "\n";
  return false;
}

// Through a temporary file of a unique name, so that a crash never leaves half
// a memory. Saved before the unit's answer goes out, so not flushed to the
// disk: a slow disk must not make the unit miss its reply time.
bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes, long length) {
  std::string why;
  const auto size = static_cast<std::size_t>(length);
  if (vexa::WriteFileAtomically(path, bytes.data(), size, &why, nullptr, false)) return true;
  std::cerr << "vexa-unit-sim: " << path << ": " << why << "\n";
  return false;
}

const char* CommandName(std::uint8_t code) {
  switch (code) {
    case 1: return "poll";
    case 2: return "identify";
    case 3: return "memory/modem";
    case 4: return "read";
    case 5: return "write";
    case 6: return "leave";
    default: return "?";
  }
}

// What the command line asks for.
struct SimArgs {
  vexa::link::UnitOptions options;
  std::string eepPath, savePath, linkName;
  long baud = 0;
  bool verbose = false;
};

// "MS" as microseconds, 0..limit milliseconds.
bool ParseMs(const std::string& v, std::int64_t& us, long limitMs = 60'000) {
  long ms = 0;
  if (!ParseNumber(v, ms) || ms < 0 || ms > limitMs) return false;
  us = ms * 1000;
  return true;
}

// "MS" or "MIN-MAX" milliseconds as a range of microseconds.
bool ParseMsRange(const std::string& v, std::int64_t& fromUs, std::int64_t& toUs) {
  long lo = 0, hi = 0;
  if (!ParseRange(v, lo, hi) || hi > 60'000) return false;
  fromUs = lo * 1000;
  toUs = hi * 1000;
  return true;
}

// "MAJ.MIN", each below 256.
bool ParseVersion(const std::string& v, vexa::link::UnitOptions& o) {
  const auto dot = v.find('.');
  unsigned major = 0, minor = 0;
  if (dot == std::string::npos || !ParseNumber(v.substr(0, dot), major) || !ParseNumber(v.substr(dot + 1), minor) ||
      major >= 256 || minor >= 256) {
    return false;
  }
  o.versionMajor = static_cast<std::uint8_t>(major);
  o.versionMinor = static_cast<std::uint8_t>(minor);
  return true;
}

bool ParseCode(const std::string& v, std::uint8_t& out) {
  unsigned code = 0;
  if (!ParseNumber(v, code) || code >= 256) return false;
  out = static_cast<std::uint8_t>(code);
  return true;
}

using OptionParser = bool (*)(const std::string& value, SimArgs& a);

// Each option that takes a value, with what it sets.
const std::pair<const char*, OptionParser> kValueOptions[] = {
    {"--eep", [](const std::string& v, SimArgs& a) { return a.eepPath = v, true; }},
    {"--save", [](const std::string& v, SimArgs& a) { return a.savePath = v, true; }},
    {"--link",
     [](const std::string& v, SimArgs& a) { return a.linkName = v, vexa::link::PortNumberOf(v).has_value(); }},
    {"--baud", [](const std::string& v, SimArgs& a) { return ParseNumber(v, a.baud) && a.baud >= 0; }},
    {"--delay",
     [](const std::string& v, SimArgs& a) { return ParseMs(v, a.options.responseDelayUs, std::numeric_limits<long>::max() / 1000); }},
    {"--busy",
     [](const std::string& v, SimArgs& a) {
       a.options.busy = v == "forget" ? vexa::link::BusyModel::Forget : vexa::link::BusyModel::Queue;
       return v == "queue" || v == "forget";
     }},
    {"--block-delay",
     [](const std::string& v, SimArgs& a) {
       return ParseMsRange(v, a.options.blockDelayMinUs, a.options.blockDelayMaxUs);
     }},
    {"--jitter", [](const std::string& v, SimArgs& a) { return ParseMs(v, a.options.answerJitterUs); }},
    {"--poll-delay", [](const std::string& v, SimArgs& a) { return ParseMs(v, a.options.pollDelayUs); }},
    {"--identify-delay", [](const std::string& v, SimArgs& a) { return ParseMs(v, a.options.identifyDelayUs); }},
    {"--late-by",
     [](const std::string& v, SimArgs& a) { return ParseMsRange(v, a.options.lateByUs, a.options.lateByMaxUs); }},
    {"--slow-addresses",
     [](const std::string& v, SimArgs& a) { return ParseRange(v, a.options.slowFrom, a.options.slowTo); }},
    {"--product",
     [](const std::string& v, SimArgs& a) {
       return ParseNumber(v, a.options.productCode, 16) && a.options.productCode <= 0xFFFFFF;
     }},
    {"--version", [](const std::string& v, SimArgs& a) { return ParseVersion(v, a.options); }},
    {"--memory-code", [](const std::string& v, SimArgs& a) { return ParseCode(v, a.options.memoryCode); }},
    {"--modem-code", [](const std::string& v, SimArgs& a) { return ParseCode(v, a.options.modemCode); }},
    {"--polls",
     [](const std::string& v, SimArgs& a) {
       return ParseNumber(v, a.options.pollsBeforeAnswer) && a.options.pollsBeforeAnswer >= 0;
     }},
    {"--drop", [](const std::string& v, SimArgs& a) { return ParseProbability(v, a.options.dropRate); }},
    {"--corrupt", [](const std::string& v, SimArgs& a) { return ParseProbability(v, a.options.corruptRate); }},
    {"--late", [](const std::string& v, SimArgs& a) { return ParseProbability(v, a.options.lateRate); }},
    {"--flip", [](const std::string& v, SimArgs& a) { return ParseProbability(v, a.options.flipRate); }},
    {"--seed", [](const std::string& v, SimArgs& a) { return ParseNumber(v, a.options.seed); }},
};

// Reads the command line into `out`; an exit code when the program ends
// here (the help, a bad option), none to go on.
std::optional<int> ParseArgs(const std::vector<std::string>& args, SimArgs& out) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      std::cout << kUsage;
      return 0;
    }
    bool ok = false;
    if (a == "--verbose") {
      ok = out.verbose = true;
    } else {
      for (const auto& [name, parse] : kValueOptions) {
        if (a == name) {
          ok = i + 1 < args.size() && parse(args[++i], out);
          break;
        }
      }
    }
    if (!ok) {
      std::cerr << "vexa-unit-sim: bad option '" << a << "'\n" << kUsage;
      return 2;
    }
  }
  if (out.savePath.empty()) out.savePath = out.eepPath;
  out.options.charTimeUs = vexa::sim::PtyUnit::CharTimeUs(out.baud);
  return std::nullopt;
}

// ~/.vexa/dosdevices/COMn pointing at the port: its path, or none when it
// cannot be made (said on standard error).
std::optional<std::string> MakePortLink(const std::string& linkName, const std::string& slavePath) {
  const std::string dir = vexa::link::DefaultDosDevicesDir();
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  const std::string linkPath = vexa::link::ComLinkPath(dir, *vexa::link::PortNumberOf(linkName));
  const auto status = std::filesystem::symlink_status(linkPath, ec);
  if (std::filesystem::exists(status) && !std::filesystem::is_symlink(status)) {
    std::cerr << "vexa-unit-sim: " << linkPath << " exists and is not a link\n";
    return std::nullopt;
  }
  std::filesystem::remove(linkPath, ec);
  std::filesystem::create_symlink(slavePath, linkPath, ec);
  if (ec) {
    std::cerr << "vexa-unit-sim: cannot create " << linkPath << ": " << ec.message() << "\n";
    return std::nullopt;
  }
  return linkPath;
}

// Logs the requests not logged yet (with --verbose) and keeps the log short.
void LogRequests(vexa::link::UnitSimulator& unit, std::size_t& logged, bool verbose) {
  if (verbose) {
    for (; logged < unit.requests().size(); ++logged) {
      const auto& r = unit.requests()[logged];
      std::cerr << CommandName(r.code);
      if (r.address >= 0) std::cerr << " " << r.address;
      std::cerr << (r.answered ? "" : " (no answer)") << "\n";
    }
  }
  if (unit.requests().size() > 4096) {
    unit.ClearLog();
    logged = 0;
  }
}

void SaveMemory(const vexa::link::UnitSimulator& unit, const SimArgs& args) {
  if (args.savePath.empty()) return;
  if (!WriteFile(args.savePath, unit.memory(), unit.usableSize())) {
    std::cerr << "vexa-unit-sim: cannot write " << args.savePath << "\n";
  } else if (args.verbose) {
    std::cerr << "vexa-unit-sim: EEPROM saved to " << args.savePath << "\n";
  }
}

// Answers on the port until a signal; the memory is saved whenever the unit
// leaves programming mode.
void Serve(vexa::sim::PtyUnit& pty, vexa::link::UnitSimulator& unit, const SimArgs& args) {
  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
  sigaction(SIGHUP, &sa, nullptr);

  bool wasProgramming = false;
  std::size_t logged = 0;
  pty.Serve(unit, g_stop, [&] {
    LogRequests(unit, logged, args.verbose);
    if (wasProgramming && !unit.inProgrammingMode()) SaveMemory(unit, args);
    wasProgramming = unit.inProgrammingMode();
  });
  SaveMemory(unit, args);
}

}  // namespace

int main(int argc, char** argv) {
  SimArgs args;
  if (const std::optional<int> end = ParseArgs(std::vector<std::string>(argv + 1, argv + argc), args)) return *end;

  vexa::link::UnitSimulator unit(args.options);
  if (!args.eepPath.empty() && std::filesystem::exists(args.eepPath)) {
    std::vector<std::uint8_t> bytes;
    if (!ReadFile(args.eepPath, bytes)) return 1;
    unit.Load(bytes);
  }

  vexa::sim::PtyUnit pty;
  std::string error;
  if (!pty.Open(&error)) {
    std::cerr << "vexa-unit-sim: " << error << "\n";
    return 1;
  }
  std::string linkPath;
  if (!args.linkName.empty()) {
    const std::optional<std::string> made = MakePortLink(args.linkName, pty.slavePath());
    if (!made) return 1;
    linkPath = *made;
  }

  std::cout << pty.slavePath() << std::endl;
  std::cerr << "vexa-unit-sim: unit on " << pty.slavePath();
  if (!linkPath.empty()) std::cerr << " (" << linkPath << ")";
  std::cerr << ", " << unit.usableSize() << " bytes, "
            << (args.baud ? std::to_string(args.baud) + " baud" : "unpaced") << "; Ctrl-C ends\n";

  Serve(pty, unit, args);
  if (!linkPath.empty()) {
    std::error_code ec;
    if (std::filesystem::read_symlink(linkPath, ec) == pty.slavePath()) std::filesystem::remove(linkPath, ec);
  }
  return 0;
}
