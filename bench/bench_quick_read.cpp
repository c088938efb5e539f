// The quick read against the full read: the pumping-station configuration
// (983 bytes used) on an 8,128-byte unit on a pseudo-terminal paced at 19200
// baud, through the program's own QSerialPort link.
//
//   speedup          full read time / mean quick read time (target at least 6);
//   line_ratio       mean quick read time / the time its characters need on
//                    the line (target below 1.05); line_ratio_best for the
//                    fastest of the quick reads.
#include <benchmark/benchmark.h>

#if __has_include(<QCoreApplication>)
#include "qt_main.h"

#include <QCoreApplication>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "../tools/vexa-unit-sim/pty_unit.h"
#include "quiet_services.h"
#include "file/config_file.h"
#include "link/block_transfer.h"
#include "link/programming_mode.h"
#include "workflows/link_workflows.h"
#include "workflows/transfer_window.h"
#include "link/quick_read.h"
#include "qt/qt_serial_port.h"
#include "workspace/workspace.h"

namespace {

using namespace vexa;

using bench::NoProgress;
using bench::QtLoop;
using bench::Quiet;

constexpr long kReadChars = 7 + 19;  // request 4 lo hi + CS CR, reply 132 + 16 + CS CR

// The program and a paced unit holding the pumping station, activated.
struct Rig {
  Rig() {
    link::UnitOptions o;
    o.memoryCode = 6;
    o.charTimeUs = sim::PtyUnit::CharTimeUs(19200);
    unit = std::make_unique<link::UnitSimulator>(o);
    Workspace file;
    if (!ReadConfigFile(std::string(VEXA_FIXTURES_DIR) + "/pumping-station.eep", file.image)) return;
    unit->Load({file.image.data(), file.image.data() + 8128});
    std::string error;
    ok = pty.Open(&error);
    if (!ok) return;
    server = std::thread([this] { pty.Serve(*unit, stop); });
    ws.settings.Port = pty.slavePath();
    ok = ActivateLink(lnk, ws, sv) == ActivationResult::Active;
    lnk.SetOnBlock([this](long done, long) { blocks = done; });
  }
  ~Rig() {
    if (lnk.state() != LinkState::Neaktivni) DeactivateLink(lnk, sv);
    stop = true;
    if (server.joinable()) server.join();
  }

  // Seconds taken by `read`, which must succeed.
  template <class Read>
  double Time(Read read) {
    const auto t0 = std::chrono::steady_clock::now();
    ok = ok && read();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
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
  long blocks = 0;
  bool ok = false;
};

void BM_QuickVersusFullRead(benchmark::State& state) {
  Rig rig;
  if (!rig.ok) {
    state.SkipWithError("no unit on a pseudo-terminal, or no pumping-station file");
    return;
  }
  // One full read (about 14 s of line time); the quick read several times,
  // since on a busy machine single runs scatter.
  constexpr int kQuickRuns = 5;
  double full = 0, quick = 0, quickBest = 1e9;
  long quickBlocks = 0, fullBlocks = 0;
  for (auto _ : state) {
    full = rig.Time([&rig] { return link::ReadEeprom(rig.lnk, rig.ws.image, rig.transfer(), rig.sv.loop, rig.window); });
    fullBlocks = rig.blocks;
    for (int i = 0; i < kQuickRuns; ++i) {
      const double t = rig.Time([&rig] {
        return link::QuickReadEeprom(rig.lnk, rig.ws.image, rig.transfer(), rig.ws.scales, rig.ws.decimalSeparator,
                                     rig.sv.loop, rig.window);
      });
      quick += t / kQuickRuns;
      quickBest = std::min(quickBest, t);
    }
    quickBlocks = rig.blocks;
  }
  if (!rig.ok) state.SkipWithError("read failed");
  const double line = static_cast<double>(quickBlocks * kReadChars * rig.unit->options().charTimeUs) * 1e-6;
  state.counters["full_s"] = full;
  state.counters["quick_s"] = quick;
  state.counters["quick_best_s"] = quickBest;
  state.counters["full_blocks"] = static_cast<double>(fullBlocks);
  state.counters["quick_blocks"] = static_cast<double>(quickBlocks);
  state.counters["speedup"] = full / quick;
  state.counters["quick_line_s"] = line;
  state.counters["line_ratio"] = quick / line;
  state.counters["line_ratio_best"] = quickBest / line;
}

BENCHMARK(BM_QuickVersusFullRead)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return vexa::bench::RunWithQt(argc, argv); }
#else
int main() { return 0; }
#endif
