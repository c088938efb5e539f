// vexa-cli info | read | write: the program's link to a unit, from a script.
//
//   vexa-cli info  --port P [--wait SECONDS]
//   vexa-cli read  --port P -o FILE.eep|- [--full] [--wait SECONDS]
//   vexa-cli write --port P FILE.eep [--no-verify] [--backup-dir DIR] [--no-backup] [--full-write]
//                  [--wait SECONDS]
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
// closed and the exit code is 3. The polls wait --wait SECONDS (60; 0: until
// interrupted) for the unit's first answer, then the command ends with 1 and
// says what the line carried: nothing, or characters that are no answers.
//
// Exit codes (command.h): 0 success, 1 the unit or the line failed, 2 bad
// usage, 3 cancelled, 4 a file refused, 5 the port could not be opened.
// Built where a serial port is (port_backend.h).
#include <atomic>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "codec/text.h"
#include "command.h"
#include "file/config_file.h"
#include "link/block_transfer.h"
#include "link/unit_session.h"
#include "link/port_names.h"
#include "link/programming_mode.h"
#include "link/trace.h"
#include "platform/progress.h"
#include "platform/system.h"
#include "port_backend.h"
#include "workflows/link_workflows.h"
#include "workflows/unit_workflows.h"
#include "workspace/workspace.h"

namespace vexa::cli {
// --wait SECONDS: a whole number of seconds, 0 .. a day.
constexpr std::int64_t kDefaultWaitS = 60;

std::optional<std::int64_t> WaitMsOf(const Args& a) {
  if (!a.Has("--wait")) return kDefaultWaitS * 1000;
  const std::string text = a.Value("--wait");
  std::int64_t seconds = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, seconds);
  if (ec != std::errc() || ptr != end || seconds < 0 || seconds > 86'400) {
    std::cerr << "vexa-cli: " << texts::kCliWait << "\n";
    return std::nullopt;
  }
  return seconds * 1000;
}


namespace {

std::atomic<bool> g_interrupted{false};

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
      if (platform::IsConsole(0) && !g_interrupted) {
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
  void Close() override {
    EndBar();
    transferSinceMs_.reset();
  }

  // A transfer's block at `nowMs`: the bar, and the end of a silence.
  void Block(long done, long total, std::int64_t nowMs) {
    transferSinceMs_ = nowMs;
    hinted_ = false;
    Block(done, total);
  }
  // While a transfer runs, a unit silent for 5 s gets the cable hint, once
  // a silence, as the window shows it.
  void CheckSilence(std::int64_t nowMs) {
    if (!transferSinceMs_ || hinted_ || nowMs - *transferSinceMs_ < kSilenceHintMs) return;
    hinted_ = true;
    EndBar();
    SayLines(std::cerr, texts::kMsgNoAnswer);
  }

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
  const bool toTerminal_ = platform::IsConsole(2);
  bool barShown_ = false;
  int lastPercent_ = -1;
  std::optional<std::int64_t> transferSinceMs_;  // the last block of the running transfer
  bool hinted_ = false;
};

// Yields to the port's events and turns Ctrl-C into the Storno of the
// progress window.
class ConsoleLoop : public EventLoop {
 public:
  ConsoleLoop(Workspace& ws, ConsoleProgress& progress, const link::Clock& clock)
      : ws_(ws), progress_(progress), clock_(clock) {}
  void Yield() override {
    PumpPortEvents();
    if (g_interrupted) ws_.CancelRequested = true;
    progress_.CheckSilence(clock_.NowMs());
  }

 private:
  Workspace& ws_;
  ConsoleProgress& progress_;
  const link::Clock& clock_;
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
  // How long the polls wait for the unit's first answer; 0: until interrupted.
  std::int64_t waitMs = kDefaultWaitS * 1000;

  UnitArgs() = default;
  explicit UnitArgs(const Args& a)
      : port(a.Value("--port")),
        file(a.Has("-o") ? a.Value("-o") : (a.Plain().empty() ? std::string() : a.Plain()[0])),
        verify(!a.Has("--no-verify")),
        full(a.Has("--full")),
        backup(!a.Has("--no-backup")),
        fullWrite(a.Has("--full-write")),
        backupDir(a.Value("--backup-dir")) {}
};

// The unit commands' arguments, --wait checked; nullopt (the message said)
// on bad usage.
std::optional<UnitArgs> UnitArgsOf(const std::optional<Args>& parsed) {
  if (!parsed) return std::nullopt;
  UnitArgs args(*parsed);
  const auto wait = WaitMsOf(*parsed);
  if (!wait) return std::nullopt;
  args.waitMs = *wait;
  return args;
}

// Everything a unit command needs, from activation to release.
class Session {
 public:
  explicit Session(const std::string& portName)
      : port_(MakeSerialPort(clock_)), link_(*port_, clock_), loop_(ws, progress_, clock_) {
    ws.settings.Port = portName;
    messages_.EndBar = [this] { progress_.EndBar(); };
    link_.SetOnProgress([this](long done, long total) { progress_.Block(done, total, clock_.NowMs()); });
  }

  Workspace ws;
  Services& sv() { return sv_; }
  ConsoleMessages& messages() { return messages_; }
  link::UnitSession& link() { return link_; }

  // Starts the trace asked for with --trace; false, with the reason on
  // standard error, when its file cannot be written.
  bool StartTrace() {
    if (TracePath().empty()) return true;
    if (const auto failure = trace_.Open(TracePath())) {
      std::cerr << failure->Reason() << "\n";
      return false;
    }
    link_.SetTrace(&trace_);
    return true;
  }

  void PrintIdentification(std::ostream& out) const {
    // What the unit says is shown, not obeyed: its control characters as escapes.
    out << texts::IdentificationLines(TerminalSafe(link_.device().Product), TerminalSafe(link_.device().ProcessorVersion),
                                      TerminalSafe(link_.device().ModemType), TerminalSafe(link_.device().MemorySize),
                                      LookOf(link_.state()).status)
        << std::flush;
  }

  // Releases the unit when the link is active; false when it did not
  // acknowledge with 134 (any other answer, a stale block reply among them,
  // is a failed release).
  bool Release() {
    if (link_.state() == LinkState::Neaktivni) return true;
    bool acknowledged = false;
    DeactivateLink(link_, sv_, &acknowledged);
    return acknowledged && link_.state() == LinkState::Neaktivni;
  }

 private:
  link::SteadyClock clock_;
  std::unique_ptr<link::SerialPort> port_;
  link::UnitSession link_;
  link::Trace trace_{clock_};
  ConsoleMessages messages_;
  ConsoleProgress progress_;
  ConsoleLoop loop_;
  Services sv_{messages_, progress_, loop_};
};

int ActivationExit(ActivationResult r) {
  switch (r) {
    case ActivationResult::Active: return kExitOk;
    case ActivationResult::Cancelled: return ExitCode(FailureKind::Cancelled);
    case ActivationResult::PortFailed: return ExitCode(FailureKind::Port);
    case ActivationResult::WrongDevice:
    case ActivationResult::Failed: break;
  }
  return ExitCode(FailureKind::Device);
}

// `refusedKind`: what the workflow's refusal means, which the caller knows.
// A read refuses only a unit that does not say its memory size (the unit's
// fault); a write also refuses a configuration it cannot send (its outputs,
// its size, its encoding) and goes no further without the backup it could not
// keep (the file's fault).
int WorkflowExit(WorkflowResult r, FailureKind refusedKind) {
  switch (r) {
    case WorkflowResult::Completed: return kExitOk;
    case WorkflowResult::Cancelled: return ExitCode(FailureKind::Cancelled);
    case WorkflowResult::Refused: return ExitCode(refusedKind);
    case WorkflowResult::Failed:
    case WorkflowResult::NotProgrammed: break;
  }
  return ExitCode(FailureKind::Device);
}

// Activates, runs `work` when the unit is compatible, and releases the unit.
int RunOnUnit(Session& s, const UnitArgs& args, const std::function<int(Session&)>& work) {
  s.ws.settings.CheckWrite = args.verify;
  if (!s.StartTrace()) return ExitCode(FailureKind::FileSystem);
  platform::WatchInterrupts(g_interrupted);

  s.messages().waitForEnter = true;  // the activation's instruction
  const auto activation = ActivateLink(s.link(), s.ws, s.sv(), {.firstAnswerMs = args.waitMs});
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
    code = ExitCode(FailureKind::Cancelled);
  }
  if (code == kExitOk) {
    s.messages().questionAnswer = Answer::No;
    code = work(s);
    s.messages().questionAnswer = Answer::Yes;
  }
  const bool released = s.Release();
  platform::InterruptHandled();
  if (code == kExitOk && !released) code = ExitCode(FailureKind::Device);
  return code;
}

constexpr const char* kInfoUsage = "info --port P [--wait SECONDS]";
constexpr const char* kReadUsage = "read --port P -o FILE.eep|- [--full] [--wait SECONDS]";
constexpr const char* kWriteUsage =
    "write --port P FILE.eep [--no-verify] [--backup-dir DIR] [--no-backup] [--full-write] [--wait SECONDS]\n"
    "       vexa-cli write --port P (--set KEY=VALUE ... | --patch CHANGE.json) [--log LOG.csv] [--backup-dir DIR]";

int Info(const std::vector<std::string>& argv) {
  const auto args = UnitArgsOf(ParseArgs(argv, {.withValue = {"--port", "--wait"}, .required = {"--port"}}, kInfoUsage));
  if (!args) return kExitUsage;
  StartPortEvents();
  Session s(args->port);
  return RunOnUnit(s, *args, [](Session&) { return kExitOk; });
}

int Read(const std::vector<std::string>& argv) {
  const auto parsed = UnitArgsOf(ParseArgs(
      argv, {.withValue = {"--port", "-o", "--wait"}, .switches = {"--full"}, .required = {"--port", "-o"}}, kReadUsage));
  if (!parsed) return kExitUsage;
  const UnitArgs& args = *parsed;
  // A file that could not be written is refused before the unit is touched.
  if (const int code = CanWriteOrSay(args.file)) return code;
  StartPortEvents();
  Session session(args.port);
  return RunOnUnit(session, args, [&args](Session& s) {
    const int code =
        WorkflowExit(ReadWorkflow(s.link(), s.ws, s.sv(), {.fullRead = args.full}), FailureKind::Device);
    if (code != kExitOk) return code;
    // The file the program's save would write: the configuration encoded,
    // U - 1 bytes.
    return SaveConfigOrSay(args.file, s.ws);
  });
}

int Write(const std::vector<std::string>& argv) {
  if (AsksForChange(argv)) return WriteChange(argv);
  const auto parsed = UnitArgsOf(ParseArgs(argv,
                                {.withValue = {"--port", "--backup-dir", "--wait"},
                                 .switches = {"--no-verify", "--no-backup", "--full-write"},
                                 .required = {"--port"},
                                 .minPlain = 1,
                                 .maxPlain = 1},
                                kWriteUsage));
  if (!parsed) return kExitUsage;
  const UnitArgs& args = *parsed;
  StartPortEvents();
  Session s(args.port);
  // The file is loaded as the program loads it, before the unit is touched.
  if (const int code = LoadFileOrSay(args.file, s.ws)) return code;
  return RunOnUnit(s, args, [&args](Session& u) {
    std::optional<WriteBackup> backup;
    const WriteOptions options{.backup = args.backup, .backupDir = args.backupDir, .fullWrite = args.fullWrite};
    const auto result = WriteWorkflow(u.link(), u.ws, u.sv(), options, &backup);
    if (backup) std::cout << backup->path << std::endl;
    // A unit that does not say its memory size is the unit's fault, not the file's.
    return WorkflowExit(result, u.link().memorySize() ? FailureKind::Refused : FailureKind::Device);
  });
}

// The port selector's entries: "COM 1".."COM 4" with the devices they open,
// then the system's serial ports.
int Ports(const std::vector<std::string>& argv) {
  if (!ParseArgs(argv, {}, "ports")) return kExitUsage;
  StartPortEvents();
  const auto entries =
      link::PortSelectorEntries(SystemPorts(), link::DefaultDosDevicesDir());
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
  StartPortEvents();
  Session session(port);
  return RunOnUnit(session, args, [&config](Session& s) {
    const int code = WorkflowExit(ReadWorkflow(s.link(), s.ws, s.sv()), FailureKind::Device);
    if (code == kExitOk) config = s.ws.config;
    return code;
  });
}

int RunCliUnit(const std::string& port, bool verify, const std::function<int(CliUnit&)>& work) {
  StartPortEvents();
  Session s(port);
  s.ws.settings.CheckWrite = verify;
  if (!s.StartTrace()) return ExitCode(FailureKind::FileSystem);
  platform::WatchInterrupts(g_interrupted);
  CliUnit u{s.link(), s.ws, s.sv(), [] { return g_interrupted.load(); },
                [&s](Answer a) { s.messages().questionAnswer = a; }};
  const int code = work(u);
  s.Release();
  platform::InterruptHandled();
  return code;
}

namespace {

constexpr const char* kPortHelp =
    "P is a device path, \"COM n\", or a port of `vexa-cli ports` (its line, its name such as\n"
    "ttyUSB0, or its serial number). The unit is activated as the program's button does,\n"
    "identified, and released again at the end; Ctrl-C, SIGTERM or SIGHUP cancels between blocks\n"
    "(exit 3), still releasing the unit. --wait SECONDS: how long the polls wait for the unit's\n"
    "first answer (60; 0 waits until interrupted); then exit 1, saying whether the line was silent\n"
    "or carried characters that are no answers (another speed, another device).\n";
const std::string kUnitHelpEnd = std::string(kPortHelp) + kExitCodesHelp;

const Register kInfo{{"info", kInfoUsage, Info, std::string("Prints the unit's identification.\n") + kUnitHelpEnd}};
const Register kRead{
    {"read", kReadUsage, Read,
     std::string("Reads the unit's configuration into the file the program's save writes; only the blocks\n"
                 "the configuration needs unless --full is given.\n") + kUnitHelpEnd}};
const Register kWrite{
    {"write", kWriteUsage, Write,
     std::string("Writes a configuration file into the unit; --no-verify skips the read-back. The unit's\n"
                 "configuration is first kept as a backup file (its path is printed) in --backup-dir DIR or\n"
                 "the user's data folder; a backup that fails stops the write unless --no-backup. Only the\n"
                 "blocks that differ from what the backup read found are written; --full-write (or\n"
                 "--no-backup) writes every block of the configuration.\n"
                 "--set KEY=VALUE (repeatable; KEY a column of `vexa-cli series --columns`) and --patch\n"
                 "CHANGE.json (a partial configuration) read the unit and change only the named fields,\n"
                 "keeping its other values; the result must pass every field rule (exit 4, before any\n"
                 "block is written). Only the blocks that change are written, after the backup and with\n"
                 "verification; the changes are listed in the comparison's words (and in --log LOG.csv).\n") +
         kUnitHelpEnd}};

}  // namespace
}  // namespace vexa::cli
