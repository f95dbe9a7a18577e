// The object import against Assimp's LWO importer on the same files: grids of 2k, 20k and 60k
// triangles in surfaces of at most 21845 triangles (what one surface's 16-bit index list
// holds), written to disk by the test builder, and a batch of 50 objects of 20k triangles.
// The import's time is the whole of it, reading and processing into the buffer, with the
// buffer reset that comes before every object. Assimp runs without post-processing, and with
// the post-processing that does the same work (triangles, welded vertices, smooth normals,
// tangent frames, vertex cache order). The grids are smoothed and textured through a UV map.
// The peak-heap benchmark counts every operator new of the process (the import's and
// Assimp's alike) and reports the highest live total one import reaches above what was live
// before it.
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <assimp/Importer.hpp>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>

#include "LWOBuilder.h"
#include "LoadingTestBench.h"
#include "scene/LWOImportBuffer.h"
#include "lightwave/LWOReader.h"
#include "lightwave/LWOReaderState.h"

namespace {

std::atomic<size_t> g_liveBytes{0};
std::atomic<size_t> g_peakBytes{0};

void* Counted(void* block) {
  if (block == nullptr) return nullptr;
  const size_t live = g_liveBytes.fetch_add(malloc_usable_size(block), std::memory_order_relaxed) +
                      malloc_usable_size(block);
  size_t peak = g_peakBytes.load(std::memory_order_relaxed);
  while (live > peak && !g_peakBytes.compare_exchange_weak(peak, live, std::memory_order_relaxed)) {
  }
  return block;
}

void Uncounted(void* block) {
  if (block == nullptr) return;
  g_liveBytes.fetch_sub(malloc_usable_size(block), std::memory_order_relaxed);
  std::free(block);
}

}  // namespace

void* operator new(size_t size) {
  void* block = Counted(std::malloc(size != 0 ? size : 1));
  if (block == nullptr) throw std::bad_alloc();
  return block;
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  return Counted(std::malloc(size != 0 ? size : 1));
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
  return Counted(std::malloc(size != 0 ? size : 1));
}
void operator delete(void* block) noexcept { Uncounted(block); }
void operator delete[](void* block) noexcept { Uncounted(block); }
void operator delete(void* block, size_t) noexcept { Uncounted(block); }
void operator delete[](void* block, size_t) noexcept { Uncounted(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { Uncounted(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { Uncounted(block); }

namespace {

constexpr uint32_t kTrianglesPerSurface = 21845;
constexpr unsigned kSameWork = aiProcess_Triangulate | aiProcess_JoinIdenticalVertices |
                               aiProcess_GenSmoothNormals | aiProcess_CalcTangentSpace |
                               aiProcess_ImproveCacheLocality;
constexpr int kBatch = 50;

// Columns and rows of a grid of `triangles` triangles (two a cell).
std::pair<uint32_t, uint32_t> GridOf(int64_t triangles) {
  switch (triangles) {
    case 2000: return {40, 25};
    case 20000: return {100, 100};
    default: return {200, 150};  // 60000
  }
}

// The data folder, file system and engine context the reader loads through, with the grid
// written into it.
class ImportBench {
 public:
  explicit ImportBench(int64_t triangles) {
    const auto [columns, rows] = GridOf(triangles);
    const std::vector<uint8_t> file =
        CLWOBuilder::Grid(columns, rows, kTrianglesPerSurface).File();
    bench.folder.Write(kName, std::string(file.begin(), file.end()));
    path = bench.folder / kName;
    // The engine's buffer lives for the process: only its first object of this size pays for
    // fresh point memory, which the first-load benchmark measures apart.
    ReadWithLWOReader();
    ReadWithAssimp();
  }

  void ReadWithLWOReader() {
    buffer->Reset();
    CopyName(buffer->fileName, kName);
    reader.Load("", 0);
    benchmark::DoNotOptimize(buffer->faceCount);
  }
  void ReadWithAssimp(unsigned flags = 0) {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path, flags);
    if (scene == nullptr || scene->mNumMeshes == 0) std::abort();
    benchmark::DoNotOptimize(scene->mMeshes[0]->mNumFaces);
  }
  uint32_t FaceCount() const { return buffer->faceCount; }

 private:
  static constexpr const char* kName = "grid.lwo";
  LoadingTestBench bench;
  std::string path;
  std::unique_ptr<LWOImportBuffer> buffer = std::make_unique<LWOImportBuffer>();
  LWOReaderState state{*buffer};
  LWOReader reader{state};
};

void BM_LWOImport(benchmark::State& state) {
  ImportBench bench(state.range(0));
  for (auto _ : state) bench.ReadWithLWOReader();
  state.counters["triangles"] = bench.FaceCount();
}

// Imports the folder's grid.lwo into a buffer made for it.
void ImportIntoNewBuffer() {
  auto buffer = std::make_unique<LWOImportBuffer>();
  LWOReaderState readerState(*buffer);
  LWOReader reader(readerState);
  buffer->Reset();
  CopyName(buffer->fileName, "grid.lwo");
  reader.Load("", 0);
  benchmark::DoNotOptimize(buffer->faceCount);
}

// A new buffer for every object: fresh memory for the faces, surfaces and points, as the first
// object of a process gets.
void BM_LWOImportFirstLoad(benchmark::State& state) {
  const auto [columns, rows] = GridOf(state.range(0));
  const std::vector<uint8_t> file = CLWOBuilder::Grid(columns, rows, kTrianglesPerSurface).File();
  LoadingTestBench bench;
  bench.folder.Write("grid.lwo", std::string(file.begin(), file.end()));
  for (auto _ : state) ImportIntoNewBuffer();
}

void BM_AssimpReadFile(benchmark::State& state) {
  ImportBench bench(state.range(0));
  for (auto _ : state) bench.ReadWithAssimp();
}

void BM_AssimpReadFileProcessed(benchmark::State& state) {
  ImportBench bench(state.range(0));
  for (auto _ : state) bench.ReadWithAssimp(kSameWork);
}

// Both in turn on each iteration, `objects` objects each: their times per iteration and how
// many times faster the import is.
void Compare(benchmark::State& state, unsigned assimpFlags, int objects) {
  ImportBench bench(state.range(0));
  using Clock = std::chrono::steady_clock;
  Clock::duration reader{}, assimp{};
  for (auto _ : state) {
    const auto start = Clock::now();
    for (int i = 0; i < objects; ++i) bench.ReadWithLWOReader();
    const auto middle = Clock::now();
    for (int i = 0; i < objects; ++i) bench.ReadWithAssimp(assimpFlags);
    reader += middle - start;
    assimp += Clock::now() - middle;
  }
  const double n = double(state.iterations());
  state.counters["lwo_ms"] = std::chrono::duration<double, std::milli>(reader).count() / n;
  state.counters["assimp_ms"] = std::chrono::duration<double, std::milli>(assimp).count() / n;
  state.counters["speedup"] = double(assimp.count()) / double(reader.count());
}

// The most heap one import holds at once, in MB above what was live before it: 0 the import
// into a buffer made for it (as a process's first object), 1 into a buffer that imported the
// same object before (its kept arrays count as live before), 2 Assimp with the same work.
void BM_ImportPeakHeap(benchmark::State& state) {
  const int64_t kind = state.range(1);
  ImportBench bench(state.range(0));
  double peakMB = 0;
  for (auto _ : state) {
    const size_t before = g_liveBytes.load();
    g_peakBytes.store(before);
    if (kind == 0) {
      ImportIntoNewBuffer();
    } else if (kind == 1) {
      bench.ReadWithLWOReader();
    } else {
      bench.ReadWithAssimp(kSameWork);
    }
    peakMB = std::max(peakMB, double(g_peakBytes.load() - before) / (1024.0 * 1024.0));
  }
  state.counters["peak_MB"] = peakMB;
}

void BM_LWOImportAgainstAssimpUnprocessed(benchmark::State& state) { Compare(state, 0, 1); }
void BM_LWOImportAgainstAssimp(benchmark::State& state) { Compare(state, kSameWork, 1); }
void BM_LWOImportBatchAgainstAssimp(benchmark::State& state) { Compare(state, kSameWork, kBatch); }

}  // namespace

BENCHMARK(BM_LWOImport)->Arg(2000)->Arg(20000)->Arg(60000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LWOImportFirstLoad)->Arg(2000)->Arg(20000)->Arg(60000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AssimpReadFile)->Arg(2000)->Arg(20000)->Arg(60000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AssimpReadFileProcessed)->Arg(2000)->Arg(20000)->Arg(60000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LWOImportAgainstAssimpUnprocessed)
    ->Arg(2000)
    ->Arg(20000)
    ->Arg(60000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LWOImportAgainstAssimp)->Arg(2000)->Arg(20000)->Arg(60000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportPeakHeap)
    ->Args({20000, 0})
    ->Args({20000, 1})
    ->Args({20000, 2})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LWOImportBatchAgainstAssimp)->Arg(20000)->Unit(benchmark::kMillisecond);

// Its own main: the test support library brings one of GoogleTest's.
BENCHMARK_MAIN();
