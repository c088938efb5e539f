// vexa-cli info | read | write: the program's link to a unit, from a script.
//
//   vexa-cli info  --port P
//   vexa-cli read  --port P -o FILE.eep|- [--full]
//   vexa-cli write --port P FILE.eep [--no-verify] [--backup-dir DIR] [--no-backup] [--full-write]
//   vexa-cli ports
//
// read takes only the blocks the configuration needs unless --full is given.
// With `vexa-cli --trace FILE CMD ...` every frame to and from the unit is
// recorded in FILE (docs/serial-ports.md).
// write first keeps the unit's configuration as a backup file (printed on
// standard output) and stops with 1 when that fails, unless --no-backup; it
// then sends only the blocks that differ from what that read found, or every
// block with --full-write or without a backup. Its messages (the outcome, why
// a write failed, the blocks written, the backup kept) go to standard error.
//
// P is a device path, "COM n" (found as the program finds it), or a port of
// the `ports` list (its line, its name such as ttyUSB0, or its serial number). Each command
// activates the unit exactly as the program's btDEA does, identifies it and
// decides compatibility, runs the transfer with the program's checks and
// messages, and releases the unit again. The activation instruction is
// printed; the command waits for Enter only when standard input is a
// terminal. Ctrl-C (or SIGTERM, or SIGHUP when the terminal closes) cancels
// between blocks and still releases the unit; the port and its lock file are
// closed and the exit code is 3.
//
// Exit codes: 0 success, 1 refused or failed, 2 bad usage or a file that is
// not a configuration, 3 cancelled.
// Built only with the Qt serial port (VEXA_GUI).
#if __has_include(<QCoreApplication>)
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <atomic>
#include <cstdio>
#include <functional>
#include <iostream>
#include <optional>
#include <string>

#include "codec/text.h"
#include "command.h"
#include "file/config_file.h"
#include "link/frame.h"
#include "link/port_names.h"
#include "link/programming_mode.h"
#include "workflows/link_workflows.h"
#include "link/trace.h"
#include "qt/qt_port_list.h"
#include "qt/qt_serial_port.h"
#include "workflows/unit_workflows.h"
#include "workspace/workspace.h"

namespace vexa::cli {
namespace {

std::atomic<bool> g_interrupted{false};

void OnInterrupt(int) { g_interrupted = true; }

void InstallInterruptHandler() {
  struct sigaction sa {};
  sa.sa_handler = OnInterrupt;
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
  sigaction(SIGHUP, &sa, nullptr);  // the terminal was closed
}

std::string PlainLines(std::string text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out.push_back(text[i]);
  }
  return out;
}

// Message boxes become lines on standard error. The session says what the
// console does, by the step it is in, never by a message's text: the first
// information of an activation (the instruction) waits for Enter on a
// terminal; a question during the command's work (the one a write can meet:
// go on without the backup?) is answered No, since that is asked for with
// --no-backup only; a question at the release (it was not acknowledged) is
// answered Yes, since the command ends anyway.
class ConsoleMessages : public MessageBox {
 public:
  Answer Show(Icon icon, const std::string& text, Buttons buttons) override {
    EndBar();
    SayLines(std::cerr, PlainLines(text));
    if (icon == Icon::Information && waitForEnter) {
      waitForEnter = false;
      if (::isatty(STDIN_FILENO) && !g_interrupted) {
        std::string line;
        std::getline(std::cin, line);
      }
    }
    if (buttons == Buttons::Ok) return Answer::Ok;
    std::cerr << (questionAnswer == Answer::Yes ? texts::kCliAnsweredYes : texts::kCliAnsweredNo) << "\n";
    return questionAnswer;
  }
  std::function<void()> EndBar = [] {};
  bool waitForEnter = false;
  Answer questionAnswer = Answer::Yes;
};

// The progress window: its text on a line, and on a terminal a bar drawn from
// the blocks of a transfer.
class ConsoleProgress : public ProgressWindow {
 public:
  void Show(const std::string& text, bool) override {
    EndBar();
    SayLines(std::cerr, text);
  }
  void SetText(const std::string& text) override { Show(text, false); }
  void Close() override { EndBar(); }

  void Block(long done, long total) {
    if (total <= 0 || !toTerminal_) return;
    const int percent = static_cast<int>(done * 100 / total);
    if (percent == lastPercent_ && done != total) return;
    lastPercent_ = percent;
    constexpr int kWidth = 40;
    const int filled = percent * kWidth / 100;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(kWidth - filled), '.');
    std::fprintf(stderr, "\r[%s] %3d %% (%ld/%ld)", bar.c_str(), percent, done, total);
    std::fflush(stderr);
    barShown_ = true;
  }
  void EndBar() {
    if (barShown_) std::cerr << "\n";
    barShown_ = false;
    lastPercent_ = -1;
  }

 private:
  const bool toTerminal_ = ::isatty(STDERR_FILENO) != 0;
  bool barShown_ = false;
  int lastPercent_ = -1;
};

// Yields to Qt and turns Ctrl-C into the Storno of the progress window.
class ConsoleLoop : public EventLoop {
 public:
  explicit ConsoleLoop(Workspace& ws) : ws_(ws) {}
  void Yield() override {
    QCoreApplication::processEvents();
    if (g_interrupted) ws_.CancelRequested = true;
  }

 private:
  Workspace& ws_;
};

struct UnitArgs {
  std::string port;
  std::string file;
  bool verify = true;
  bool full = false;
  bool backup = true;
  bool fullWrite = false;
  std::string backupDir;
  bool identificationToStderr = false;  // standard output carries other data
};

enum ArgSet { kPortOnly = 0, kOutput = 1, kVerify = 2, kFull = 4, kBackup = 8, kFullWrite = 16 };

// Everything a unit command needs, from activation to release.
class Session {
 public:
  explicit Session(const std::string& portName) : port_(clock_), link_(port_, clock_), loop_(ws) {
    ws.settings.Port = portName;
    messages_.EndBar = [this] { progress_.EndBar(); };
    link_.onBlock = [this](long done, long total) { progress_.Block(done, total); };
  }

  Workspace ws;
  Services& sv() { return sv_; }
  ConsoleMessages& messages() { return messages_; }
  link::Link& link() { return link_; }

  // Starts the trace asked for with --trace; false, with the reason on
  // standard error, when its file cannot be written.
  bool StartTrace() {
    if (TracePath().empty()) return true;
    if (const auto failure = trace_.Open(TracePath())) {
      std::cerr << failure->Reason() << "\n";
      return false;
    }
    link_.trace = &trace_;
    return true;
  }

  void PrintIdentification(std::ostream& out) const {
    // What the unit says is shown, not obeyed: its control characters as escapes.
    out << texts::IdentificationLines(TerminalSafe(ws.device.Product), TerminalSafe(ws.device.ProcessorVersion),
                                      TerminalSafe(ws.device.ModemType), TerminalSafe(ws.device.MemorySize),
                                      LookOf(ws.link).status)
        << std::flush;
  }

  // Releases the unit when the link is active; false when it did not
  // acknowledge with 134 (any other answer, a stale block reply among them,
  // is a failed release).
  bool Release() {
    if (ws.link == LinkState::Neaktivni) return true;
    bool acknowledged = false;
    DeactivateLink(link_, ws, sv_, &acknowledged);
    return acknowledged && ws.link == LinkState::Neaktivni;
  }

 private:
  link::SteadyClock clock_;
  qt::QtSerialPort port_;
  link::Link link_;
  link::Trace trace_{clock_};
  ConsoleMessages messages_;
  ConsoleProgress progress_;
  ConsoleLoop loop_;
  Services sv_{messages_, progress_, loop_};
};

bool ParseArgs(const std::vector<std::string>& args, bool wantFile, int allowed, UnitArgs& out) {
  const bool outputFlag = (allowed & kOutput) != 0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--port" && i + 1 < args.size()) {
      out.port = args[++i];
    } else if (outputFlag && a == "-o" && i + 1 < args.size()) {
      out.file = args[++i];
    } else if ((allowed & kVerify) && a == "--no-verify") {
      out.verify = false;
    } else if ((allowed & kFull) && a == "--full") {
      out.full = true;
    } else if ((allowed & kFullWrite) && a == "--full-write") {
      out.fullWrite = true;
    } else if ((allowed & kBackup) && a == "--no-backup") {
      out.backup = false;
    } else if ((allowed & kBackup) && a == "--backup-dir" && i + 1 < args.size()) {
      out.backupDir = args[++i];
    } else if (wantFile && !outputFlag && out.file.empty() && !a.empty() && a[0] != '-') {
      out.file = a;
    } else {
      return false;
    }
  }
  return !out.port.empty() && (!wantFile || !out.file.empty());
}

// The Qt event machinery the serial port runs on.
QCoreApplication& Application() {
  static int argc = 1;
  static char name[] = "vexa-cli";
  static char* argv[] = {name, nullptr};
  static QCoreApplication* app =
      QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);  // lives until exit
  return app ? *app : *QCoreApplication::instance();
}

int ActivationExit(ActivationResult r) {
  switch (r) {
    case ActivationResult::Active: return kExitOk;
    case ActivationResult::Cancelled: return kExitCancelled;
    default: return kExitFailed;
  }
}

int WorkflowExit(WorkflowResult r) {
  switch (r) {
    case WorkflowResult::Completed: return kExitOk;
    case WorkflowResult::Cancelled: return kExitCancelled;
    default: return kExitFailed;
  }
}

// Activates, runs `work` when the unit is compatible, and releases the unit.
int RunOnUnit(Session& s, const UnitArgs& args, const std::function<int(Session&)>& work) {
  s.ws.settings.CheckWrite = args.verify;
  if (!s.StartTrace()) return kExitFailed;
  InstallInterruptHandler();

  s.messages().waitForEnter = true;  // the activation's instruction
  const auto activation = ActivateLink(s.link(), s.ws, s.sv());
  s.messages().waitForEnter = false;
  if (activation == ActivationResult::Active || activation == ActivationResult::WrongDevice) {
    s.PrintIdentification(args.identificationToStderr ? std::cerr : std::cout);
  }
  int code = ActivationExit(activation);
  // Ctrl-C after the unit answered its poll does not stop the identification,
  // but it must stop the command before the transfer: a write would otherwise
  // zero the first block of the header and only then see the cancellation.
  if (code == kExitOk && g_interrupted) {
    std::cerr << texts::kCliInterruptedBeforeTransfer << "\n";
    code = kExitCancelled;
  }
  if (code == kExitOk) {
    s.messages().questionAnswer = Answer::No;
    code = work(s);
    s.messages().questionAnswer = Answer::Yes;
  }
  const bool released = s.Release();
  if (code == kExitOk && !released) code = kExitFailed;
  return code;
}

constexpr const char* kInfoUsage = "info --port P";
constexpr const char* kReadUsage = "read --port P -o FILE.eep|- [--full]";
constexpr const char* kWriteUsage =
    "write --port P FILE.eep [--no-verify] [--backup-dir DIR] [--no-backup] [--full-write]";

int Info(const std::vector<std::string>& argv) {
  UnitArgs args;
  if (!ParseArgs(argv, false, kPortOnly, args)) {
    std::cerr << "usage: vexa-cli " << kInfoUsage << "\n";
    return kExitInvalid;
  }
  Application();
  Session s(args.port);
  return RunOnUnit(s, args, [](Session&) { return kExitOk; });
}

int Read(const std::vector<std::string>& argv) {
  UnitArgs args;
  if (!ParseArgs(argv, true, kOutput | kFull, args)) {
    std::cerr << "usage: vexa-cli " << kReadUsage << "\n";
    return kExitInvalid;
  }
  // A file that could not be written is refused before the unit is touched.
  if (!CanWriteOrSay(args.file)) return kExitFailed;
  Application();
  Session session(args.port);
  return RunOnUnit(session, args, [&args](Session& s) {
    const int code = WorkflowExit(ReadWorkflow(s.link(), s.ws, s.sv(), {.fullRead = args.full}));
    if (code != kExitOk) return code;
    // The file the program's save would write: the configuration encoded,
    // U - 1 bytes.
    return SaveConfigOrSay(args.file, s.ws);
  });
}

int Write(const std::vector<std::string>& argv) {
  UnitArgs args;
  if (!ParseArgs(argv, true, kVerify | kBackup | kFullWrite, args)) {
    std::cerr << "usage: vexa-cli " << kWriteUsage << "\n";
    return kExitInvalid;
  }
  Application();
  Session s(args.port);
  // The file is loaded as the program loads it, before the unit is touched.
  if (!LoadFileOrSay(args.file, s.ws)) return kExitInvalid;
  return RunOnUnit(s, args, [&args](Session& u) {
    std::optional<WriteBackup> backup;
    const WriteOptions options{.backup = args.backup, .backupDir = args.backupDir, .fullWrite = args.fullWrite};
    const auto result = WriteWorkflow(u.link(), u.ws, u.sv(), options, &backup);
    if (backup) std::cout << backup->path << std::endl;
    return WorkflowExit(result);
  });
}

// The port selector's entries: "COM 1".."COM 4" with the devices they open,
// then the system's serial ports.
int Ports(const std::vector<std::string>& argv) {
  if (!argv.empty()) {
    std::cerr << "usage: vexa-cli ports\n";
    return kExitInvalid;
  }
  Application();
  const auto entries =
      link::PortSelectorEntries(qt::QtPortList().SystemPorts(), link::DefaultDosDevicesDir());
  for (const auto& line : link::PortListLines(entries)) std::cout << TerminalSafe(line) << "\n";
  return kExitOk;
}

const Register kPorts{{"ports", "ports", Ports,
                        "Lists the port selector's entries: \"COM 1\"..\"COM 4\" with the devices they open,\n"
                        "then every serial port of the system with its description and serial number.\n"}};

}  // namespace

int ReadUnitConfiguration(const std::string& port, DeviceConfig& config) {
  UnitArgs args;
  args.port = port;
  args.identificationToStderr = true;
  Application();
  Session session(port);
  return RunOnUnit(session, args, [&config](Session& s) {
    const int code = WorkflowExit(ReadWorkflow(s.link(), s.ws, s.sv()));
    if (code == kExitOk) config = s.ws.config;
    return code;
  });
}

namespace {

constexpr const char* kPortHelp =
    "P is a device path, \"COM n\", or a port of `vexa-cli ports` (its line, its name such as\n"
    "ttyUSB0, or its serial number). The unit is activated as the program's button does,\n"
    "identified, and released again at the end; Ctrl-C, SIGTERM or SIGHUP cancels between blocks\n"
    "(exit 3), still releasing the unit.\n";

const Register kInfo{{"info", kInfoUsage, Info, std::string("Prints the unit's identification.\n") + kPortHelp}};
const Register kRead{
    {"read", kReadUsage, Read,
     std::string("Reads the unit's configuration into the file the program's save writes; only the blocks\n"
                 "the configuration needs unless --full is given.\n") + kPortHelp}};
const Register kWrite{
    {"write", kWriteUsage, Write,
     std::string("Writes a configuration file into the unit; --no-verify skips the read-back. The unit's\n"
                 "configuration is first kept as a backup file (its path is printed) in --backup-dir DIR or\n"
                 "the user's data folder; a backup that fails stops the write unless --no-backup. Only the\n"
                 "blocks that differ from what the backup read found are written; --full-write (or\n"
                 "--no-backup) writes every block of the configuration.\n") + kPortHelp}};

}  // namespace
}  // namespace vexa::cli
#endif  // __has_include(<QCoreApplication>)
