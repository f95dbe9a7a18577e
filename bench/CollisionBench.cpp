// Collision models: building a model over a mesh, and triangle queries between two meshes
// in each tree layout; with FCL present, the same builds and queries in FCL's AABB and OBBRSS
// trees, on the same triangles, with the pair sets compared.
//
// The queries side by side, from a Release build, with malloc's thresholds fixed:
//   GLIBC_TUNABLES=glibc.malloc.trim_threshold=268435456:glibc.malloc.mmap_threshold=268435456
//   collision_bench --benchmark_filter=Query --benchmark_repetitions=9
//     --benchmark_enable_random_interleaving=true --benchmark_out=query.json
// and each QueryTwoMeshes repetition divided by the same repetition of
// QueryFclTwoMeshes<fcl::OBBRSS<float>> with the same last argument; the median of those ratios.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <set>
#include <utility>
#include <vector>

#if ZK_BENCH_FCL
#include <fcl/fcl.h>
#endif

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
  state.counters["triangle tests"] = collider.GetTriangleTriangleTests();
  state.counters["triangle-box tests"] = collider.GetTriangleBoxTests();
}
BENCHMARK(QueryTwoMeshes)->ArgsProduct({{0, 1, 2, 3}, {0, 1}});

#if ZK_BENCH_FCL

// The soup in FCL's terms, B's corners placed where the engine's query puts them.
template <typename BV>
std::shared_ptr<fcl::BVHModel<BV>> FclModel(const TriangleSoup& soup, const CMatrix* world) {
  std::vector<fcl::Vector3f> points;
  for (const CVector3& p : soup.positions) {
    const CVector3 placed = world != nullptr ? p * *world : p;
    points.emplace_back(placed.x, placed.y, placed.z);
  }
  std::vector<fcl::Triangle> triangles;
  for (UINT t = 0; t < soup.TriangleCount(); ++t)
    triangles.emplace_back(soup.indices[3 * t], soup.indices[3 * t + 1], soup.indices[3 * t + 2]);
  auto model = std::make_shared<fcl::BVHModel<BV>>();
  model->beginModel();
  model->addSubModel(points, triangles);
  model->endModel();
  return model;
}

template <typename BV>
void BuildFclModel(benchmark::State& state) {
  std::mt19937 random(1);
  TriangleSoup soup;
  soup.AddRandomTriangles(random, static_cast<UINT>(state.range(0)), 100.0f, 1.0f);
  for (auto _ : state) benchmark::DoNotOptimize(FclModel<BV>(soup, nullptr));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK_TEMPLATE(BuildFclModel, fcl::AABB<float>)->Arg(1000)->Arg(10000)->Arg(50000);
BENCHMARK_TEMPLATE(BuildFclModel, fcl::OBBRSS<float>)->Arg(1000)->Arg(10000)->Arg(50000);

// The query of QueryTwoMeshes in FCL; counters give FCL's pairs and how many of them the
// engine's default layout also reports.
template <typename BV>
void QueryFclTwoMeshes(benchmark::State& state) {
  std::mt19937 random(2);
  TriangleSoup a, b;
  a.AddRandomTriangles(random, 5000, 30.0f, 0.5f);
  b.AddRandomTriangles(random, 5000, 30.0f, 0.5f);
  CMatrix worldB;
  worldB.SetRotateY(0.4f);
  worldB.Move(20.0f, 0.0f, 0.0f);
  fcl::CollisionObjectf objectA(FclModel<BV>(a, nullptr)), objectB(FclModel<BV>(b, &worldB));
  fcl::CollisionRequestf request(state.range(0) ? 1 : 1000000, false);
  fcl::CollisionResultf result;
  for (auto _ : state) {
    result.clear();
    benchmark::DoNotOptimize(fcl::collide(&objectA, &objectB, request, result));
  }
  std::set<std::pair<UINT, UINT>> fclPairs;
  for (size_t i = 0; i < result.numContacts(); ++i)
    fclPairs.emplace(result.getContact(i).b1, result.getContact(i).b2);
  state.counters["pairs"] = double(fclPairs.size());
  if (state.range(0) == 0) {
    CCollisionModel modelA, modelB;
    modelA.Build(Params(&a.source, false, false));
    modelB.Build(Params(&b.source, false, false));
    CTreeCollider collider;
    CollisionCache cache;
    cache.pModel0 = &modelA;
    cache.pModel1 = &modelB;
    collider.Collide(&cache, nullptr, &worldB);
    double shared = 0;
    for (UINT i = 0; i < collider.GetPairCount(); ++i)
      shared += fclPairs.count({collider.GetPairs()[i].dwIdOne, collider.GetPairs()[i].dwIdTwo});
    state.counters["engine pairs"] = collider.GetPairCount();
    state.counters["shared pairs"] = shared;
  }
}
BENCHMARK_TEMPLATE(QueryFclTwoMeshes, fcl::AABB<float>)->Arg(0)->Arg(1);
BENCHMARK_TEMPLATE(QueryFclTwoMeshes, fcl::OBBRSS<float>)->Arg(0)->Arg(1);

#endif

}  // namespace
