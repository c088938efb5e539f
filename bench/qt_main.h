// The main() of the benchmarks that drive a paced line: the serial port and
// its timers need a Qt application object.
#pragma once

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace vexa::bench {

inline int RunWithQt(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace vexa::bench
