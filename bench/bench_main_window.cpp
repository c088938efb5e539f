// How fast the main window comes up with the start-up configuration, and what
// one keystroke in a counted field costs (the usage is recomputed from
// scratch on every one).
//
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <cstdio>
#include <string>

#include "ui/main_window.h"
#include "workspace/usage.h"
#include "workspace/workspace.h"

namespace {

void SendKey(QWidget* w, Qt::Key key, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(w, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(w, &release);
}

// A configuration with every text filled to its limit: the most work the
// usage recomputation ever does.
vexa::DeviceConfig FullConfig() {
  vexa::Workspace ws;
  vexa::DeviceConfig c = ws.config;
  for (int i = 0; i < vexa::kFieldCount; ++i) {
    const auto f = static_cast<vexa::Field>(i);
    const auto& info = vexa::InfoOf(f);
    if (info.kind != vexa::FieldKind::Text || !info.counted) continue;
    const bool rows = info.family != vexa::Family::General;
    for (int row = 0; row < (rows ? vexa::kRows : 1); ++row) {
      std::string* s = vexa::TextOf(c, ws.settings, {f, row});
      if (s == nullptr) continue;
      *s = f == vexa::Field::TC ? "+420" + std::string(12, '7')
                                : std::string(info.maxLength > 0 ? info.maxLength : 20, 'x');
    }
  }
  return c;
}

void BM_ConstructAndShowMainWindow(benchmark::State& state) {
  for (auto _ : state) {
    vexa::Workspace ws;
    vexa::ui::MainWindow window(ws);
    window.show();
    QCoreApplication::processEvents();  // laid out and painted
    benchmark::DoNotOptimize(&window);
  }
}
BENCHMARK(BM_ConstructAndShowMainWindow)->Unit(benchmark::kMillisecond);

void BM_KeystrokeInCountedField(benchmark::State& state) {
  vexa::Workspace ws;
  vexa::ui::MainWindow window(ws);
  window.show();
  QCoreApplication::processEvents();
  auto* edit = window.findChild<QLineEdit*>(QStringLiteral("tabJmenoStanice"));
  edit->setFocus();
  for (auto _ : state) {
    SendKey(edit, Qt::Key_A, QStringLiteral("a"));
    SendKey(edit, Qt::Key_Backspace, QString());
  }
  // Seconds per keystroke (one character typed, one deleted per iteration).
  state.counters["per_keystroke"] = benchmark::Counter(static_cast<double>(state.iterations() * 2),
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_KeystrokeInCountedField)->Unit(benchmark::kMicrosecond);

void BM_UsageRecomputation(benchmark::State& state) {
  const vexa::DeviceConfig config = state.range(0) != 0 ? FullConfig() : vexa::Workspace().config;
  const std::string memory = "  8128 byte";
  for (auto _ : state) {
    vexa::MemoryUsage u = vexa::UpdateMemoryUsage(config, memory);
    benchmark::DoNotOptimize(u);
  }
}
BENCHMARK(BM_UsageRecomputation)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);

  // The first window of a run also loads fonts and styles: what the user
  // waits for at start.
  {
    QElapsedTimer timer;
    timer.start();
    vexa::Workspace ws;
    vexa::ui::MainWindow window(ws);
    window.show();
    QCoreApplication::processEvents();
    std::printf("first main window shown in %.1f ms\n", static_cast<double>(timer.nsecsElapsed()) / 1e6);
  }

  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
