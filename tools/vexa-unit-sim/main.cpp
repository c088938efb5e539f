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

}  // namespace

int main(int argc, char** argv) {
  vexa::link::UnitOptions options;
  std::string eepPath, savePath, linkName;
  long baud = 0;
  bool verbose = false;

  std::vector<std::string> args(argv + 1, argv + argc);
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    std::string v;
    bool ok = true;
    if (a == "--help" || a == "-h") {
      std::cout << kUsage;
      return 0;
    } else if (a == "--verbose") {
      verbose = true;
    } else if (a == "--eep") {
      ok = value(eepPath);
    } else if (a == "--save") {
      ok = value(savePath);
    } else if (a == "--link") {
      ok = value(linkName) && vexa::link::PortNumberOf(linkName).has_value();
    } else if (a == "--baud") {
      ok = value(v) && ParseNumber(v, baud) && baud >= 0;
    } else if (a == "--delay") {
      long ms = 0;
      ok = value(v) && ParseNumber(v, ms) && ms >= 0;
      options.responseDelayUs = ms * 1000;
    } else if (a == "--busy") {
      ok = value(v) && (v == "queue" || v == "forget");
      options.busy = v == "forget" ? vexa::link::BusyModel::Forget : vexa::link::BusyModel::Queue;
    } else if (a == "--block-delay") {
      long lo = 0, hi = 0;
      ok = value(v) && ParseRange(v, lo, hi) && hi <= 60'000;
      options.blockDelayMinUs = lo * 1000;
      options.blockDelayMaxUs = hi * 1000;
    } else if (a == "--jitter" || a == "--poll-delay" || a == "--identify-delay") {
      long ms = 0;
      ok = value(v) && ParseNumber(v, ms) && ms >= 0 && ms <= 60'000;
      (a == "--jitter" ? options.answerJitterUs : a == "--poll-delay" ? options.pollDelayUs : options.identifyDelayUs) =
          ms * 1000;
    } else if (a == "--late-by") {
      long lo = 0, hi = 0;
      ok = value(v) && ParseRange(v, lo, hi) && hi <= 60'000;
      options.lateByUs = lo * 1000;
      options.lateByMaxUs = hi * 1000;
    } else if (a == "--slow-addresses") {
      ok = value(v) && ParseRange(v, options.slowFrom, options.slowTo);
    } else if (a == "--product") {
      ok = value(v) && ParseNumber(v, options.productCode, 16) && options.productCode <= 0xFFFFFF;
    } else if (a == "--version") {
      const auto dot = value(v) ? v.find('.') : std::string::npos;
      unsigned major = 0, minor = 0;
      ok = dot != std::string::npos && ParseNumber(v.substr(0, dot), major) && ParseNumber(v.substr(dot + 1), minor) &&
           major < 256 && minor < 256;
      options.versionMajor = static_cast<std::uint8_t>(major);
      options.versionMinor = static_cast<std::uint8_t>(minor);
    } else if (a == "--memory-code" || a == "--modem-code") {
      unsigned code = 0;
      ok = value(v) && ParseNumber(v, code) && code < 256;
      (a == "--memory-code" ? options.memoryCode : options.modemCode) = static_cast<std::uint8_t>(code);
    } else if (a == "--polls") {
      ok = value(v) && ParseNumber(v, options.pollsBeforeAnswer) && options.pollsBeforeAnswer >= 0;
    } else if (a == "--drop") {
      ok = value(v) && ParseProbability(v, options.dropRate);
    } else if (a == "--corrupt") {
      ok = value(v) && ParseProbability(v, options.corruptRate);
    } else if (a == "--late") {
      ok = value(v) && ParseProbability(v, options.lateRate);
    } else if (a == "--flip") {
      ok = value(v) && ParseProbability(v, options.flipRate);
    } else if (a == "--seed") {
      ok = value(v) && ParseNumber(v, options.seed);
    } else {
      ok = false;
    }
    if (!ok) {
      std::cerr << "vexa-unit-sim: bad option '" << a << "'\n" << kUsage;
      return 2;
    }
  }
  if (savePath.empty()) savePath = eepPath;
  options.charTimeUs = vexa::sim::PtyUnit::CharTimeUs(baud);

  vexa::link::UnitSimulator unit(options);
  if (!eepPath.empty() && std::filesystem::exists(eepPath)) {
    std::vector<std::uint8_t> bytes;
    if (!ReadFile(eepPath, bytes)) return 1;
    unit.Load(bytes);
  }

  vexa::sim::PtyUnit pty;
  std::string error;
  if (!pty.Open(&error)) {
    std::cerr << "vexa-unit-sim: " << error << "\n";
    return 1;
  }

  std::string linkPath;
  if (!linkName.empty()) {
    const std::string dir = vexa::link::DefaultDosDevicesDir();
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    linkPath = vexa::link::ComLinkPath(dir, *vexa::link::PortNumberOf(linkName));
    const auto status = std::filesystem::symlink_status(linkPath, ec);
    if (std::filesystem::exists(status) && !std::filesystem::is_symlink(status)) {
      std::cerr << "vexa-unit-sim: " << linkPath << " exists and is not a link\n";
      return 1;
    }
    std::filesystem::remove(linkPath, ec);
    std::filesystem::create_symlink(pty.slavePath(), linkPath, ec);
    if (ec) {
      std::cerr << "vexa-unit-sim: cannot create " << linkPath << ": " << ec.message() << "\n";
      return 1;
    }
  }

  std::cout << pty.slavePath() << std::endl;
  std::cerr << "vexa-unit-sim: unit on " << pty.slavePath();
  if (!linkPath.empty()) std::cerr << " (" << linkPath << ")";
  std::cerr << ", " << unit.usableSize() << " bytes, " << (baud ? std::to_string(baud) + " baud" : "unpaced")
            << "; Ctrl-C ends\n";

  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
  sigaction(SIGHUP, &sa, nullptr);

  auto save = [&] {
    if (savePath.empty()) return;
    if (!WriteFile(savePath, unit.memory(), unit.usableSize())) {
      std::cerr << "vexa-unit-sim: cannot write " << savePath << "\n";
    } else if (verbose) {
      std::cerr << "vexa-unit-sim: EEPROM saved to " << savePath << "\n";
    }
  };

  bool wasProgramming = false;
  std::size_t logged = 0;
  pty.Serve(unit, g_stop, [&] {
    if (verbose) {
      for (; logged < unit.requests().size(); ++logged) {
        const auto& r = unit.requests()[logged];
        std::cerr << CommandName(r.code);
        if (r.address >= 0) std::cerr << " " << r.address;
        std::cerr << (r.answered ? "" : " (no answer)") << "\n";
      }
      if (unit.requests().size() > 4096) {
        unit.ClearLog();
        logged = 0;
      }
    } else if (unit.requests().size() > 4096) {
      unit.ClearLog();
    }
    if (wasProgramming && !unit.inProgrammingMode()) save();
    wasProgramming = unit.inProgrammingMode();
  });

  save();
  if (!linkPath.empty()) {
    std::error_code ec;
    if (std::filesystem::read_symlink(linkPath, ec) == pty.slavePath()) std::filesystem::remove(linkPath, ec);
  }
  return 0;
}
