// The usage display is recomputed on every keystroke in a counted field; this
// measures one recomputation on the largest configuration the fields allow.
#include <benchmark/benchmark.h>

#include <string>

#include "model/fields.h"
#include "workspace/usage.h"

namespace {

vexa::DeviceConfig FullConfiguration() {
  using namespace vexa;
  DeviceConfig c;
  ProgramSettings s;
  for (int i = 0; i < kFieldCount; ++i) {
    const auto f = static_cast<Field>(i);
    const FieldInfo& info = InfoOf(f);
    if (info.kind != FieldKind::Text || !info.counted) continue;
    const bool perRow = info.family != Family::General && info.family != Family::Program;
    const std::size_t length = info.maxLength > 0 ? static_cast<std::size_t>(info.maxLength) : 20;
    for (int r = 0; r < (perRow ? kRows : 1); ++r) {
      std::string text = f == Field::TC ? "+" + std::string(length - 1, '7') : std::string(length, 'x');
      // A Czech letter now and then keeps the multi-byte path in the measurement.
      if (f == Field::JmenoStanice) text = "Čerpací stanice Horní Lhota – vrt 2" + std::string(65, 'x');
      *TextOf(c, s, {f, r}) = text;
    }
  }
  return c;
}

void BM_UpdateMemoryUsage(benchmark::State& state) {
  const vexa::DeviceConfig c = FullConfiguration();
  const std::string memory = " 16320 byte";
  for (auto _ : state) {
    vexa::MemoryUsage u = vexa::UpdateMemoryUsage(c, memory);
    benchmark::DoNotOptimize(u);
  }
}
BENCHMARK(BM_UpdateMemoryUsage);

void BM_ComputeUsage(benchmark::State& state) {
  const vexa::DeviceConfig c = FullConfiguration();
  for (auto _ : state) benchmark::DoNotOptimize(vexa::ComputeUsage(c));
}
BENCHMARK(BM_ComputeUsage);

}  // namespace

BENCHMARK_MAIN();
