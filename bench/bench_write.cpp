// The whole `vexa-cli write` command (activation, backup read, write with
// read-back, release) against a unit on a pseudo-terminal paced at 19200
// baud: an 8,128-byte unit holding the pumping station, as the program
// leaves it, and the same configuration with one phone number changed.
//
//   speedup           --full-write time / time of the plain command (target
//                     at least 2.5);
//   blocks            block writes of the plain command (target at most 6);
//   blocks_full       block writes of --full-write;
//   blocks_again      block writes when the unit already holds the file
//                     (target 0);
//   startup_same      1 when writing the start-up configuration over the
//                     pumping station leaves exactly the EEPROM a full write
//                     leaves (target 1).
//
// vexa-cli is taken from VEXA_CLI or from tools/ next to the bench folder.
#include <benchmark/benchmark.h>

#if __has_include(<QCoreApplication>)
#include "qt_main.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

#include "../tools/vexa-unit-sim/pty_unit.h"
#include "codec/encoder.h"
#include "file/config_file.h"
#include "link/block_transfer.h"
#include "workspace/usage.h"
#include "workspace/workspace.h"

namespace {

using namespace vexa;
using Memory = std::vector<std::uint8_t>;

QString CliPath() {
  if (const char* env = std::getenv("VEXA_CLI")) return QString::fromLocal8Bit(env);
  return QCoreApplication::applicationDirPath() + QStringLiteral("/../tools/vexa-cli");
}

// What a unit holds after the program wrote `ws` into a fresh one: every block
// of the full write with the encoded image's bytes.
Memory Programmed(Workspace ws) {
  Memory memory = link::UnitSimulator().memory();
  if (!EncodeImage(ws)) return {};
  for (const auto& w : link::FullWritePlan(ComputeUsage(ws.config), 8128)) {
    std::copy_n(ws.image.data() + w.address, link::kBlockSize, memory.begin() + w.address);
  }
  return memory;
}

// A paced unit on a pseudo-terminal that is served only while a command runs,
// so its memory and log can be read between commands.
struct PacedUnit {
  PacedUnit() {
    link::UnitOptions o;
    o.memoryCode = 6;
    o.charTimeUs = sim::PtyUnit::CharTimeUs(19200);
    unit = std::make_unique<link::UnitSimulator>(o);
    std::string error;
    ok = pty.Open(&error);
  }

  struct Run {
    bool ok = false;
    double seconds = 0;
    long blocksWritten = 0;
  };
  // Runs `vexa-cli write` with `extra` arguments over a unit holding `before`.
  Run Write(const Memory& before, const QString& file, const QStringList& extra, const QString& backupDir) {
    unit->memory() = before;
    unit->ClearLog();
    std::atomic<bool> stop{false};
    std::thread server([&] { pty.Serve(*unit, stop); });
    QProcess cli;
    cli.setStandardInputFile(QProcess::nullDevice());
    cli.setStandardOutputFile(QProcess::nullDevice());
    cli.setStandardErrorFile(QProcess::nullDevice());
    QStringList args{QStringLiteral("write"), QStringLiteral("--port"), QString::fromStdString(pty.slavePath()),
                     file, QStringLiteral("--backup-dir"), backupDir};
    args += extra;
    Run r;
    const auto t0 = std::chrono::steady_clock::now();
    cli.start(CliPath(), args);
    r.ok = cli.waitForFinished(120'000) && cli.exitStatus() == QProcess::NormalExit && cli.exitCode() == 0;
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    stop = true;
    server.join();
    for (const auto& q : unit->requests()) r.blocksWritten += q.code == link::kCmdWriteBlock;
    return r;
  }

  std::unique_ptr<link::UnitSimulator> unit;
  sim::PtyUnit pty;
  bool ok = false;
};

void BM_FastVersusFullWrite(benchmark::State& state) {
  QTemporaryDir tmp;
  Workspace pumping;
  Workspace changed;
  const std::string fixture = std::string(VEXA_FIXTURES_DIR) + "/pumping-station.eep";
  if (!tmp.isValid() || LoadConfigFile(fixture, pumping) != LoadResult::Loaded ||
      LoadConfigFile(fixture, changed) != LoadResult::Loaded) {
    state.SkipWithError("no pumping-station file");
    return;
  }
  changed.config.phones[0].TC = "+420602123457";
  const QString changedFile = tmp.filePath(QStringLiteral("changed.eep"));
  const QString startupFile = QString::fromStdString(std::string(VEXA_FIXTURES_DIR) + "/startup.eep");
  const QString backups = tmp.filePath(QStringLiteral("backups"));
  PacedUnit unit;
  if (SaveConfigFile(changedFile.toStdString(), changed) != SaveResult::Saved || !unit.ok ||
      !QFileInfo::exists(CliPath())) {
    state.SkipWithError("no vexa-cli, pseudo-terminal or temporary file");
    return;
  }
  const Memory held = Programmed(pumping);

  PacedUnit::Run fast, full, again;
  bool startupSame = false;
  for (auto _ : state) {
    fast = unit.Write(held, changedFile, {}, backups);
    const Memory afterFast = unit.unit->memory();
    full = unit.Write(held, changedFile, {QStringLiteral("--full-write")}, backups);
    const Memory afterFull = unit.unit->memory();
    again = unit.Write(afterFast, changedFile, {}, backups);
    const bool same = afterFast == afterFull;
    const auto startupFast = unit.Write(held, startupFile, {}, backups);
    const Memory startupAfterFast = unit.unit->memory();
    const auto startupFull = unit.Write(held, startupFile, {QStringLiteral("--full-write")}, backups);
    startupSame = same && startupFast.ok && startupFull.ok && startupAfterFast == unit.unit->memory();
  }
  if (!fast.ok || !full.ok || !again.ok) state.SkipWithError("a write failed");
  state.counters["fast_s"] = fast.seconds;
  state.counters["full_s"] = full.seconds;
  state.counters["again_s"] = again.seconds;
  state.counters["speedup"] = full.seconds / fast.seconds;
  state.counters["blocks"] = static_cast<double>(fast.blocksWritten);
  state.counters["blocks_full"] = static_cast<double>(full.blocksWritten);
  state.counters["blocks_again"] = static_cast<double>(again.blocksWritten);
  state.counters["startup_same"] = startupSame ? 1 : 0;
}

BENCHMARK(BM_FastVersusFullWrite)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return vexa::bench::RunWithQt(argc, argv); }
#else
int main() { return 0; }
#endif
