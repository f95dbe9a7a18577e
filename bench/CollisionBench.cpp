// Collision models: building a model over a mesh, and triangle queries between two meshes
// in each tree layout.
#include <benchmark/benchmark.h>

#include <random>

#include "TriangleSoup.h"
#include "spatial/CollisionModel.h"
#include "spatial/TreeCollider.h"

namespace {

CollisionModelParams Params(CCollisionMeshInterface* source, bool noLeaf, bool quantized) {
  CollisionModelParams params;
  params.pMeshInterface = source;
  params.bNoLeaf = noLeaf;
  params.bQuantized = quantized;
  return params;
}

void BuildEngineModel(benchmark::State& state) {
  std::mt19937 random(1);
  TriangleSoup soup;
  soup.AddRandomTriangles(random, static_cast<UINT>(state.range(0)), 100.0f, 1.0f);
  for (auto _ : state) {
    CCollisionModel model;
    benchmark::DoNotOptimize(model.Build(Params(&soup.source, false, false)));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BuildEngineModel)->Arg(1000)->Arg(10000)->Arg(50000);

// Two meshes of 5000 triangles overlapping by a third, in layout range(0): bit 0 no-leaf,
// bit 1 quantized; range(1) 1 stops at the first contact.
void QueryTwoMeshes(benchmark::State& state) {
  std::mt19937 random(2);
  TriangleSoup a, b;
  a.AddRandomTriangles(random, 5000, 30.0f, 0.5f);
  b.AddRandomTriangles(random, 5000, 30.0f, 0.5f);
  const bool noLeaf = state.range(0) & 1, quantized = state.range(0) & 2;
  CCollisionModel modelA, modelB;
  modelA.Build(Params(&a.source, noLeaf, quantized));
  modelB.Build(Params(&b.source, noLeaf, quantized));
  CMatrix worldB;
  worldB.SetRotateY(0.4f);
  worldB.Move(20.0f, 0.0f, 0.0f);
  CTreeCollider collider;
  if (state.range(1)) collider.dwFlags = COLLIDER_FIRST_CONTACT;
  CollisionCache cache;
  cache.pModel0 = &modelA;
  cache.pModel1 = &modelB;
  for (auto _ : state) benchmark::DoNotOptimize(collider.Collide(&cache, nullptr, &worldB));
  state.counters["pairs"] = collider.GetPairCount();
  state.counters["box tests"] = collider.GetBoxBoxTests();
}
BENCHMARK(QueryTwoMeshes)->ArgsProduct({{0, 1, 2, 3}, {0, 1}});

}  // namespace
