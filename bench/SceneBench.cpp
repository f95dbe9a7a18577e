// Scenes: filling one with N meshes, and the nearest-mesh ray pick through the octree against
// asking every mesh, for rays that hit and rays that miss (the answers are compared).
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "RayMeshBench.h"

namespace {

void SceneFill(benchmark::State& state) {
  const UINT count = static_cast<UINT>(state.range(0));
  // No logs: what is measured is the scene, not the lines a recording log keeps.
  EngineContextScope context;
  RecordingDrawRenderer renderer;
  CMeshSpatialServices services(nullptr, nullptr);
  context->ports.meshSpatial.Set(&services);
  for (auto _ : state) {
    auto* scene = new TestScene(&renderer, nullptr);
    for (UINT i = 0; i < count; ++i) benchmark::DoNotOptimize(scene->AddMesh(0));
    if (scene->GetNumberOfMeshes() != count) state.SkipWithError("meshes lost");
    state.PauseTiming();  // the release is not what is measured
    scene->Release();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(SceneFill)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// 10 k unit cubes on a 22 x 22 x 22 lattice with gaps, in two scenes: one with a tree.
struct PickScene {
  PickScene() : withTree(bench.NewScene("tree")), everyMesh(bench.NewScene("plain")) {
    const int side = 22;
    int made = 0;
    for (int x = 0; x < side && made < 10000; ++x)
      for (int y = 0; y < side && made < 10000; ++y)
        for (int z = 0; z < side && made < 10000; ++z, ++made) {
          const CVector3 at(x * 4.0f, y * 4.0f, z * 4.0f);
          bench.AddCube(withTree, "cube", at, 0.5f);
          bench.AddCube(everyMesh, "cube", at, 0.5f);
        }
    withTree->BuildOctree(4.0f, 0);
    // Rays from inside the lattice along an axis: through the cube centres (hits) or between
    // the cubes (misses).
    std::mt19937 random(5);
    std::uniform_int_distribution<int> cell(0, side - 2);
    for (int i = 0; i < 64; ++i) {
      const CVector3 start(cell(random) * 4.0f, cell(random) * 4.0f, cell(random) * 4.0f + 2.0f);
      hits.push_back(CRay(start, {0, 0, 1}));
      misses.push_back(CRay(start + CVector3(2.0f, 2.0f, 0.0f), {0, 0, 1}));
    }
  }
  RayMeshBench bench;
  TestScene* withTree;
  TestScene* everyMesh;
  std::vector<CRay> hits, misses;
};

PickScene& Picks() {
  static PickScene scene;
  return scene;
}

void Pick(benchmark::State& state, bool tree, bool hit) {
  PickScene& scene = Picks();
  std::vector<CRay>& rays = hit ? scene.hits : scene.misses;
  // Both ways must agree on every ray before either is timed.
  for (CRay& ray : rays) {
    float a = 0.0f, b = 0.0f;
    if (scene.withTree->FindNearestIntersection(ray, &a, 0x01) == nullptr) a = -1.0f;
    if (scene.everyMesh->FindNearestIntersection(ray, &b, 0x01) == nullptr) b = -1.0f;
    if (a != b || (a < 0.0f) == hit) return state.SkipWithError("answers differ");
  }
  TestScene* scenePicked = tree ? scene.withTree : scene.everyMesh;
  size_t next = 0;
  for (auto _ : state) {
    float distance = 0.0f;
    benchmark::DoNotOptimize(
        scenePicked->FindNearestIntersection(rays[next++ % rays.size()], &distance, 0x01));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK_CAPTURE(Pick, octree_hit, true, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Pick, every_mesh_hit, false, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Pick, octree_miss, true, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Pick, every_mesh_miss, false, false)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
