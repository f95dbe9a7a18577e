// The renderer's cost per draw: one frame of 1000 indexed draws of 200 triangles, each with its
// world transform, a texture-stage state, two render states (one of them the same every draw)
// and four vertex-shader constant registers, between clear, begin, end and flip. The engine
// variant goes through the renderer and its caches; the bare variant makes every one of those
// calls on the device itself. Range 0 picks the back end: 0 GL (offscreen), 1 null.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "GridIndices.h"
#include "RendererTestBench.h"
#include "core/Profiler.h"
#include "core/ProfilerSample.h"

namespace {

constexpr UINT kDraws = 1000;
constexpr UINT kGridSide = 10;  // 10 x 10 quads: 200 triangles
constexpr UINT kGridVertices = (kGridSide + 1) * (kGridSide + 1);
constexpr UINT kTriangles = kGridSide * kGridSide * 2;

struct GridVertex {
  float x, y, z;
  D3DCOLOR colour;
};

// The scene both variants draw: one grid in buffers bound at set-up, placed 1000 times.
class DrawScene {
 public:
  explicit DrawScene(ZkTestD3DBackend backend) : bench(backend) {
    IDirect3DDevice9* device = bench.device.get();
    device->CreateVertexBuffer(kGridVertices * sizeof(GridVertex), D3DUSAGE_WRITEONLY, 0, D3DPOOL_MANAGED, &vertices,
                               nullptr);
    device->CreateIndexBuffer(kTriangles * 3 * sizeof(WORD), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED,
                              &indices, nullptr);
    GridVertex* vertex = nullptr;
    vertices->Lock(0, 0, reinterpret_cast<void**>(&vertex), 0);
    for (UINT y = 0; y <= kGridSide; ++y)
      for (UINT x = 0; x <= kGridSide; ++x) *vertex++ = {x * 0.01f, y * 0.01f, 0.5f, 0xFF808080};
    vertices->Unlock();
    void* index = nullptr;
    indices->Lock(0, 0, &index, 0);
    const std::vector<WORD> grid = GridIndices(kGridSide);
    memcpy(index, grid.data(), grid.size() * sizeof(WORD));
    indices->Unlock();
    device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    device->SetStreamSource(0, vertices, 0, sizeof(GridVertex));
    device->SetIndices(indices);

    worlds.resize(kDraws, CMatrix::Identity());
    constants.resize(kDraws * 16);
    for (UINT i = 0; i < kDraws; ++i) {
      worlds[i]._41 = -0.9f + 1.8f * static_cast<float>(i % 40) / 40.0f;
      worlds[i]._42 = -0.9f + 1.8f * static_cast<float>(i / 40) / 25.0f;
      for (UINT c = 0; c < 16; ++c) constants[i * 16 + c] = static_cast<float>(i + c);
    }
    // The statistics run as they do in the engine.
    bench.context->CreateProfiler();
    bench.context->pSamples[SAMPLE_BEGIN_END]->Begin();
    bench.ForgetCalls();
    ZkTestD3DLogCalls(false);  // as in a game, which never asks for the device's call log
  }
  ~DrawScene() {
    bench.context->pProfiler->DeleteSample(bench.context->pSamples[SAMPLE_BEGIN_END]);
    delete bench.context->pProfiler;
    vertices->Release();
    indices->Release();
  }

  RendererTestBench bench;
  IDirect3DVertexBuffer9* vertices = nullptr;
  IDirect3DIndexBuffer9* indices = nullptr;
  std::vector<CMatrix> worlds;
  std::vector<float> constants;
};

ZkTestD3DBackend Backend(const benchmark::State& state) {
  return state.range(0) == 0 ? ZK_D3D_BACKEND_GL : ZK_D3D_BACKEND_NULL;
}

void DrawEngineFrame(CD3D9Renderer& renderer, const DrawScene& scene) {
  renderer.Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0);
  renderer.BeginRendering();
  for (UINT i = 0; i < kDraws; ++i) {
    renderer.SetTransform(D3DTS_WORLD, &scene.worlds[i]);
    renderer.SetTextureStageState(0, D3DTSS_COLOROP, i & 1 ? D3DTOP_MODULATE : D3DTOP_SELECTARG1);
    renderer.SetRenderState(D3DRS_ALPHAREF, i & 0xFF);
    renderer.SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    renderer.SetVertexShaderConstantF(0, &scene.constants[i * 16], 4);
    renderer.DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, kGridVertices, 0, kTriangles);
  }
  renderer.EndRendering();
  renderer.Flip(nullptr, 0);
}

void DrawBareFrame(IDirect3DDevice9* device, const DrawScene& scene) {
  device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0, 1.0f, 128);
  device->BeginScene();
  for (UINT i = 0; i < kDraws; ++i) {
    device->SetTransform(D3DTS_WORLD, reinterpret_cast<const D3DMATRIX*>(&scene.worlds[i]));
    device->SetTextureStageState(0, D3DTSS_COLOROP, i & 1 ? D3DTOP_MODULATE : D3DTOP_SELECTARG1);
    device->SetRenderState(D3DRS_ALPHAREF, i & 0xFF);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    device->SetVertexShaderConstantF(0, &scene.constants[i * 16], 4);
    device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, kGridVertices, 0, kTriangles);
  }
  device->EndScene();
  device->Present(nullptr, nullptr, nullptr, nullptr);
}

// The first frame, which compiles the back end's programs, is drawn before timing starts.
void EngineFrame(benchmark::State& state) {
  DrawScene scene(Backend(state));
  DrawEngineFrame(*scene.bench.renderer, scene);
  for (auto _ : state) DrawEngineFrame(*scene.bench.renderer, scene);
  state.SetItemsProcessed(state.iterations() * kDraws);
}
BENCHMARK(EngineFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BareDraws(benchmark::State& state) {
  DrawScene scene(Backend(state));
  DrawBareFrame(scene.bench.device.get(), scene);
  for (auto _ : state) DrawBareFrame(scene.bench.device.get(), scene);
  state.SetItemsProcessed(state.iterations() * kDraws);
}
BENCHMARK(BareDraws)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
