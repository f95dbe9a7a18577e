// The main of the benchmarks that draw: headless as the tests are, an offscreen window and
// Mesa's software rasteriser unless the caller chose otherwise.
#include <benchmark/benchmark.h>

#include <cstdlib>

int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
