// Transforming arrays of points by a matrix: the platform's D3DX calls (one call a point, and
// the array call over 24-byte vertices) against the same arithmetic in a plain loop here.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "d3dx9.h"

namespace {

struct Vertex {
  D3DXVECTOR3 position;
  DWORD colour;
  float u, v;
};

struct Points {
  Points() : vertices(4096), out(4096) {
    std::mt19937 random(3);
    std::uniform_real_distribution<float> coordinate(-100.0f, 100.0f);
    for (Vertex& vertex : vertices)
      vertex.position = D3DXVECTOR3(coordinate(random), coordinate(random), coordinate(random));
    D3DXMatrixPerspectiveFovLH(&matrix, 1.0f, 1.25f, 0.5f, 500.0f);
  }
  std::vector<Vertex> vertices;
  std::vector<D3DXVECTOR3> out;
  D3DXMATRIX matrix;
};

void PlainLoop(benchmark::State& state) {
  Points points;
  const D3DXMATRIX& m = points.matrix;
  for (auto _ : state) {
    for (size_t i = 0; i < points.vertices.size(); ++i) {
      const D3DXVECTOR3& v = points.vertices[i].position;
      const float x = v.x * m._11 + v.y * m._21 + v.z * m._31 + m._41;
      const float y = v.x * m._12 + v.y * m._22 + v.z * m._32 + m._42;
      const float z = v.x * m._13 + v.y * m._23 + v.z * m._33 + m._43;
      const float w = v.x * m._14 + v.y * m._24 + v.z * m._34 + m._44;
      points.out[i] = D3DXVECTOR3(x / w, y / w, z / w);
    }
    benchmark::DoNotOptimize(points.out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * points.vertices.size());
}
BENCHMARK(PlainLoop);

void TransformCoordEachPoint(benchmark::State& state) {
  Points points;
  for (auto _ : state) {
    for (size_t i = 0; i < points.vertices.size(); ++i)
      D3DXVec3TransformCoord(&points.out[i], &points.vertices[i].position, &points.matrix);
    benchmark::DoNotOptimize(points.out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * points.vertices.size());
}
BENCHMARK(TransformCoordEachPoint);

void TransformCoordArray(benchmark::State& state) {
  Points points;
  for (auto _ : state) {
    D3DXVec3TransformCoordArray(points.out.data(), sizeof(D3DXVECTOR3), &points.vertices[0].position,
                                sizeof(Vertex), &points.matrix, UINT(points.vertices.size()));
    benchmark::DoNotOptimize(points.out.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * points.vertices.size());
}
BENCHMARK(TransformCoordArray);

}  // namespace

BENCHMARK_MAIN();
