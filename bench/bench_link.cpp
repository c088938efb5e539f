// A full read and a full write with read-back of an 8,128-byte unit over a
// pseudo-terminal, through the program's own QSerialPort link.
//
//   unpaced: the simulator answers at once, so the time per exchange is the
//            program's own overhead (frame layer, event loop, serial port);
//   paced:   the simulator runs the line at 19200 baud, so the time taken is
//            compared with the time the characters need on the line
//            (line_ratio, target below 1.05).
// cpu_pct is the processor time of the program's thread against the elapsed
// time (target below 10 %); sim_cpu_pct is the simulator thread's.
//
// BM_SlowUnitRead reads a 960-byte unit whose EEPROM answers every block 250 ms
// late on a 19200-baud line, for a unit that queues the requests that come
// while it is busy (arg 0) and one that forgets them (arg 1): s_per_block
// should stay close to the answer time (target 0.27 s at most), not climb
// towards the longest time limit.
//
// BM_LossyRead reads a prompt 960-byte unit at 19200 baud without losses and
// with 5 % of its answers lost on the line (seeds 1..3): lossy_ratio is the
// lossy time against the lossless one (target 1.3 at most), ms_per_loss what
// one lost answer cost (target 150 at most).
//
// BM_CliFullRead runs the whole `vexa-cli read --full` process against a
// paced 960-byte unit (arg: lost answers per thousand): line_ratio is its
// elapsed time against the time the characters need on the line (target 1.05
// at most without losses), cpu_pct the processor time of the process against
// the elapsed time (target 5 %).
#include <benchmark/benchmark.h>
#include <time.h>

// The link runs on the Qt serial port; without Qt (VEXA_GUI off) there is
// nothing to measure.
#if __has_include(<QCoreApplication>)
#include "qt_main.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <algorithm>
#include <fstream>
#include <iterator>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "../tools/vexa-unit-sim/pty_unit.h"
#include "quiet_services.h"
#include "link/block_transfer.h"
#include "link/programming_mode.h"
#include "workflows/link_workflows.h"
#include "workflows/transfer_window.h"
#include "qt/qt_serial_port.h"
#include "workspace/workspace.h"

namespace {

using namespace vexa;

using bench::NoProgress;
using bench::QtLoop;
using bench::Quiet;

double CpuSeconds(clockid_t id) {
  timespec ts{};
  clock_gettime(id, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// The program and a unit on a pseudo-terminal, activated.
link::UnitOptions Prompt(bool paced) {
  link::UnitOptions o;
  o.memoryCode = 6;
  o.charTimeUs = paced ? sim::PtyUnit::CharTimeUs(19200) : 0;
  return o;
}

struct Rig {
  explicit Rig(bool paced) : Rig(Prompt(paced)) {}
  explicit Rig(const link::UnitOptions& o) {
    unit = std::make_unique<link::UnitSimulator>(o);
    std::string error;
    ok = pty.Open(&error);
    if (!ok) return;
    server = std::thread([this] { pty.Serve(*unit, stop); });
    ws.settings.Port = pty.slavePath();
    ok = ActivateLink(lnk, ws, sv) == ActivationResult::Active;
  }
  ~Rig() {
    if (lnk.state() != LinkState::Neaktivni) DeactivateLink(lnk, sv);
    stop = true;
    if (server.joinable()) server.join();
  }

  link::Transfer transfer() { return {lnk.memorySize(), ws.CancelRequested, ws.settings.CheckWrite}; }

  Workspace ws;
  link::SteadyClock clock;
  qt::QtSerialPort port{clock, ""};
  link::UnitSession lnk{port, clock};
  Quiet messages;
  NoProgress progress;
  QtLoop loop;
  Services sv{messages, progress, loop};
  TransferWindow window{sv};
  std::unique_ptr<link::UnitSimulator> unit;
  sim::PtyUnit pty;
  std::atomic<bool> stop{false};
  std::thread server;
  bool ok = false;
};

constexpr long kUsable = 8128;
constexpr long kReadChars = 7 + 19;                // request 4 lo hi + CS CR, reply 132 + 16 + CS CR
constexpr long kWriteChars = 23 + 3 + kReadChars;  // write block and its read-back

struct Times {
  double elapsed = 0, cpu = 0, processCpu = 0;
};

// Runs `op` once and adds its elapsed, thread and process times.
template <class Op>
void Measure(Times& t, Op op) {
  const double c0 = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
  const double p0 = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
  const auto t0 = std::chrono::steady_clock::now();
  op();
  t.elapsed += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  t.cpu += CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - c0;
  t.processCpu += CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - p0;
}

void Report(benchmark::State& state, Rig& rig, const Times& t, long runs, long exchanges, long lineChars) {
  const double elapsed = t.elapsed / runs;
  const double cpu = t.cpu / runs;
  state.counters["sim_cpu_pct"] = 100.0 * (t.processCpu - t.cpu) / t.elapsed;
  state.counters["exchanges"] = static_cast<double>(exchanges);
  state.counters["us_per_exchange"] = elapsed * 1e6 / static_cast<double>(exchanges);
  state.counters["cpu_pct"] = 100.0 * cpu / elapsed;
  state.counters["retries"] = static_cast<double>(rig.lnk.ledger().counts().retries);
  const auto charUs = rig.unit->options().charTimeUs;
  if (charUs > 0) {
    state.counters["line_s"] = static_cast<double>(lineChars * charUs) * 1e-6;
    state.counters["line_ratio"] = elapsed / (static_cast<double>(lineChars * charUs) * 1e-6);
  }
}

void BM_FullRead(benchmark::State& state) {
  Rig rig(state.range(0) != 0);
  if (!rig.ok) {
    state.SkipWithError("no unit on a pseudo-terminal");
    return;
  }
  Times t;
  long runs = 0;
  for (auto _ : state) {
    bool ok = false;
    Measure(t, [&] { ok = link::ReadEeprom(rig.lnk, rig.ws.image, rig.transfer(), rig.sv.loop, rig.window); });
    ++runs;
    if (!ok) state.SkipWithError("read failed");
  }
  Report(state, rig, t, runs, kUsable / 8, kUsable / 8 * kReadChars);
}

void BM_FullWriteVerified(benchmark::State& state) {
  Rig rig(state.range(0) != 0);
  if (!rig.ok) {
    state.SkipWithError("no unit on a pseudo-terminal");
    return;
  }
  for (long i = 0; i < kUsable; ++i) WriteImageByte(rig.ws.image, static_cast<std::uint8_t>(i * 31 + 7), i);
  rig.ws.settings.CheckWrite = true;
  const long blocks = static_cast<long>(2 * link::FrontAreaBlocks().size() + link::BodyBlocks(kUsable, kUsable).size());
  Times t;
  long runs = 0;
  for (auto _ : state) {
    auto outcome = link::WriteOutcome::Failed;
    Measure(t, [&] { outcome = link::WriteEeprom(rig.lnk, rig.ws.image, rig.transfer(), rig.sv.loop, rig.window, kUsable); });
    ++runs;
    if (outcome != link::WriteOutcome::Completed) state.SkipWithError("write failed");
  }
  Report(state, rig, t, runs, 2 * blocks, blocks * kWriteChars);
}

void BM_SlowUnitRead(benchmark::State& state) {
  link::UnitOptions o;
  o.memoryCode = 3;  // 960 usable bytes
  o.charTimeUs = sim::PtyUnit::CharTimeUs(19200);
  o.blockDelayMinUs = o.blockDelayMaxUs = state.range(0) * 1000;
  o.busy = state.range(1) ? link::BusyModel::Forget : link::BusyModel::Queue;
  Rig rig(o);
  if (!rig.ok) {
    state.SkipWithError("no unit on a pseudo-terminal");
    return;
  }
  constexpr long kBlocks = 960 / 8;
  Times t;
  long runs = 0;
  for (auto _ : state) {
    bool ok = false;
    Measure(t, [&] { ok = link::ReadEeprom(rig.lnk, rig.ws.image, rig.transfer(), rig.sv.loop, rig.window); });
    ++runs;
    if (!ok) state.SkipWithError("read failed");
  }
  if (!std::equal(rig.unit->memory().begin(), rig.unit->memory().begin() + 960, rig.ws.image.data())) {
    state.SkipWithError("read gave other data than the unit's");
  }
  state.counters["s_per_block"] = t.elapsed / runs / kBlocks;
  state.counters["retries"] = static_cast<double>(rig.lnk.ledger().counts().retries);
  state.counters["markers"] = static_cast<double>(rig.lnk.ledger().counts().markers);
  state.counters["late_answers_dropped"] = static_cast<double>(rig.lnk.ledger().counts().lateDropped);
  state.counters["cpu_pct"] = 100.0 * t.cpu / t.elapsed;
}

// One full read of a prompt 960-byte unit at 19200 baud; the seconds it took
// and the answers lost on the way.
std::pair<double, long> PromptRead(double dropRate, std::uint32_t seed, bool& exact) {
  link::UnitOptions o;
  o.memoryCode = 3;
  o.charTimeUs = sim::PtyUnit::CharTimeUs(19200);
  o.seed = seed;
  Rig rig(o);
  if (!rig.ok) return {0, 0};
  for (std::size_t i = 0; i < rig.unit->memory().size(); ++i) rig.unit->memory()[i] = static_cast<std::uint8_t>(i * 7);
  rig.stop = true;  // the simulator pauses while its options change
  rig.server.join();
  rig.unit->SetDropRate(dropRate);
  rig.unit->ClearLog();
  rig.stop = false;
  rig.server = std::thread([&rig] { rig.pty.Serve(*rig.unit, rig.stop); });
  Times t;
  bool ok = false;
  Measure(t, [&] { ok = link::ReadEeprom(rig.lnk, rig.ws.image, rig.transfer(), rig.sv.loop, rig.window); });
  exact = ok && std::equal(rig.unit->memory().begin(), rig.unit->memory().begin() + 960, rig.ws.image.data());
  rig.stop = true;
  rig.server.join();
  const auto& log = rig.unit->requests();
  const long lost = std::count_if(log.begin(), log.end(), [](const auto& r) { return !r.answered; });
  rig.unit->SetDropRate(0);
  rig.stop = false;
  rig.server = std::thread([&rig] { rig.pty.Serve(*rig.unit, rig.stop); });
  return {t.elapsed, lost};
}

void BM_LossyRead(benchmark::State& state) {
  double lossless = 0, lossy = 0;
  long lost = 0;
  bool exact = true;
  for (auto _ : state) {
    for (std::uint32_t seed : {1u, 2u, 3u}) {
      bool ok = false;
      lossless += PromptRead(0, seed, ok).first;
      exact = exact && ok;
      const auto [seconds, lostAnswers] = PromptRead(0.05, seed, ok);
      exact = exact && ok;
      lossy += seconds;
      lost += lostAnswers;
    }
  }
  if (!exact) state.SkipWithError("a read failed or gave other data than the unit's");
  state.counters["lossless_s"] = lossless / 3;
  state.counters["lossy_s"] = lossy / 3;
  state.counters["lossy_ratio"] = lossy / lossless;
  state.counters["lost_answers"] = static_cast<double>(lost) / 3;
  state.counters["ms_per_loss"] = lost ? 1000.0 * (lossy - lossless) / static_cast<double>(lost) : 0;
}

// BM_DeadUnitBlock: a unit that stops answering after its activation. The
// block fails after the ladder of its twelve attempts (7.8 s), its markers
// within that time: s_to_fail (target 8 at most), requests (the block once).
void BM_DeadUnitBlock(benchmark::State& state) {
  link::UnitOptions o;
  o.memoryCode = 3;
  o.charTimeUs = sim::PtyUnit::CharTimeUs(19200);
  Rig rig(o);
  if (!rig.ok) {
    state.SkipWithError("no unit on a pseudo-terminal");
    return;
  }
  rig.stop = true;  // the simulator pauses while its options change
  rig.server.join();
  rig.unit->SetDropRate(1.0);
  rig.stop = false;
  rig.server = std::thread([&rig] { rig.pty.Serve(*rig.unit, rig.stop); });
  const auto before = rig.lnk.ledger().counts();
  Times t;
  bool failed = true;
  for (auto _ : state) {
    Measure(t, [&] { failed = !link::ReadBlockWithRetries(rig.lnk, rig.ws.image, rig.loop, 272) && failed; });
  }
  if (!failed) state.SkipWithError("a dead unit's block was read");
  state.counters["s_to_fail"] = t.elapsed;
  state.counters["requests"] = static_cast<double>(rig.lnk.ledger().counts().requests - before.requests);
  state.counters["markers"] = static_cast<double>(rig.lnk.ledger().counts().markers - before.markers);
  state.counters["cpu_pct"] = 100.0 * t.cpu / t.elapsed;
}

#ifdef VEXA_CLI_PATH
void BM_CliFullRead(benchmark::State& state) {
  link::UnitOptions o;
  o.memoryCode = 3;
  o.charTimeUs = sim::PtyUnit::CharTimeUs(19200);
  o.dropRate = static_cast<double>(state.range(0)) / 1000.0;
  link::UnitSimulator unit(o);
  std::ifstream in(std::string(VEXA_FIXTURES_DIR) + "/startup.eep", std::ios::binary);
  unit.Load({std::istreambuf_iterator<char>(in), {}});
  sim::PtyUnit pty;
  std::string error;
  if (!pty.Open(&error)) {
    state.SkipWithError("no pseudo-terminal");
    return;
  }
  std::atomic<bool> stop{false};
  std::thread server([&] { pty.Serve(unit, stop); });
  double elapsed = 0, cpu = 0;
  int status = 0;
  long runs = 0, failed = 0;
  const std::string output = "/tmp/vexa-bench-read-" + std::to_string(::getpid()) + ".eep";
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
      const int null = ::open("/dev/null", O_RDWR);
      ::dup2(null, 0);
      ::dup2(null, 1);
      ::dup2(null, 2);
      ::execl(VEXA_CLI_PATH, "vexa-cli", "read", "--port", pty.slavePath().c_str(), "-o", output.c_str(), "--full",
              static_cast<char*>(nullptr));
      ::_exit(127);
    }
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    failed += !WIFEXITED(status) || WEXITSTATUS(status) != 0;
    elapsed += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    cpu += static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    ++runs;
  }
  stop = true;
  server.join();
  ::unlink(output.c_str());
  const auto& log = unit.requests();
  state.counters["lost_answers"] =
      static_cast<double>(std::count_if(log.begin(), log.end(), [](const auto& r) { return !r.answered; })) / runs;
  // A lost answer to the identification fails the activation, as it should.
  state.counters["failed_runs"] = static_cast<double>(failed);
  if (o.dropRate == 0 && failed) state.SkipWithError("vexa-cli read failed");
  // Poll, identification, memory and modem, 120 block reads, release.
  const long lineChars = 6 + 16 + 10 + 120 * kReadChars + 8;
  const double lineSeconds = static_cast<double>(lineChars * o.charTimeUs) * 1e-6;
  state.counters["elapsed_s"] = elapsed / runs;
  state.counters["line_s"] = lineSeconds;
  state.counters["line_ratio"] = elapsed / runs / lineSeconds;
  state.counters["cpu_pct"] = 100.0 * cpu / elapsed;
}
BENCHMARK(BM_CliFullRead)->Arg(0)->Arg(50)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
#endif

BENCHMARK(BM_SlowUnitRead)->Args({250, 0})->Args({250, 1})->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DeadUnitBlock)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LossyRead)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRead)->Arg(0)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullWriteVerified)->Arg(0)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRead)->Arg(1)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullWriteVerified)->Arg(1)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return vexa::bench::RunWithQt(argc, argv); }
#else
int main() { return 0; }
#endif
