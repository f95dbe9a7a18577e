// The coded rendering path's cost per frame: a scene of 200 textured, lit boxes drawn through
// the path, against the same draws with the same states issued straight to the platform device
// (world transform, declaration, streams, shaders off, culling, texture, material, shading,
// indices, draw, then the path's stage reset), on the GL back end offscreen. Range 0 picks the
// back end: 0 GL, 1 null.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "BareBoxBuffers.h"
#include "GenericPassScene.h"

namespace {

constexpr UINT kMeshes = 200;
using bare_boxes::kBoxTriangles;
using bare_boxes::kBoxVertices;

ZkTestD3DBackend Backend(const benchmark::State& state) {
  return state.range(0) == 0 ? ZK_D3D_BACKEND_GL : ZK_D3D_BACKEND_NULL;
}

// 200 boxes in a 20 x 10 grid in front of the camera, one texture for all.
class BoxField {
 public:
  explicit BoxField(ZkTestD3DBackend backend) : world(backend) {
    CTextureInterface* texture = world.SolidTexture("grey", 0xFF808080);
    for (UINT i = 0; i < kMeshes; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "box%u", i);
      meshes.push_back(world.AddBox(name, CVector3(-1.9f + 0.2f * (i % 20), -0.9f + 0.2f * (i / 20), 4.0f),
                                    0.08f, texture));
    }
    this->texture = texture->GetD3DTexture();
  }
  GenericPassScene world;
  std::vector<CMesh*> meshes;
  IDirect3DTexture9* texture = nullptr;
};

// The bare device's copy of the boxes: one vertex buffer each in the path's layout, one index
// buffer, the path's declaration and a white material.
class BareBoxes {
 public:
  explicit BareBoxes(BoxField& field) : device(field.world.banks.bench.device.get()) {
    device->CreateVertexDeclaration(GenericVertexElements, &declaration);
    for (CMesh* mesh : field.meshes) buffers.push_back(bare_boxes::CopyVertices(device, *mesh, 64));
    indices = bare_boxes::CopyIndices(device, *field.meshes[0]);
    material.Diffuse = material.Ambient = {1, 1, 1, 1};
    light = *field.world.light->GetD3DLightProperties();
    texture = field.texture;
  }
  ~BareBoxes() {
    for (IDirect3DVertexBuffer9* buffer : buffers) buffer->Release();
    indices->Release();
    declaration->Release();
  }

  void DrawFrame(const CMatrix& view, const CMatrix& projection) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0, 1.0f, 128);
    device->BeginScene();
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetTransform(D3DTS_VIEW, reinterpret_cast<const D3DMATRIX*>(&view));
    device->SetTransform(D3DTS_PROJECTION, reinterpret_cast<const D3DMATRIX*>(&projection));
    device->SetRenderState(D3DRS_AMBIENT, 0x404040);
    device->LightEnable(0, TRUE);
    device->SetLight(0, &light);
    device->SetRenderState(D3DRS_FOGENABLE, FALSE);
    const CMatrix identity = CMatrix::Identity();
    for (IDirect3DVertexBuffer9* buffer : buffers) {
      device->SetTransform(D3DTS_WORLD, reinterpret_cast<const D3DMATRIX*>(&identity));
      device->SetVertexDeclaration(declaration);
      device->SetStreamSource(0, buffer, 0, 64);
      device->SetPixelShader(nullptr);
      device->SetVertexShader(nullptr);
      device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
      device->SetTexture(0, texture);
      device->SetMaterial(&material);
      device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
      device->SetIndices(indices);
      device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, kBoxVertices, 0, kBoxTriangles);
      device->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
      for (DWORD stage = 0; stage < 4; ++stage) {
        const DWORD first = stage == 0 ? D3DTA_DIFFUSE : D3DTA_CURRENT;
        const DWORD op = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        device->SetTextureStageState(stage, D3DTSS_COLOROP, op);
        device->SetTextureStageState(stage, D3DTSS_ALPHAOP, op);
        device->SetTextureStageState(stage, D3DTSS_COLORARG1, first);
        device->SetTextureStageState(stage, D3DTSS_COLORARG2, D3DTA_TEXTURE);
        device->SetTextureStageState(stage, D3DTSS_ALPHAARG1, first);
        device->SetTextureStageState(stage, D3DTSS_ALPHAARG2, D3DTA_TEXTURE);
      }
      device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
      device->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 1);
      device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    }
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
  }

  IDirect3DDevice9* device;
  IDirect3DVertexDeclaration9* declaration = nullptr;
  std::vector<IDirect3DVertexBuffer9*> buffers;
  IDirect3DIndexBuffer9* indices = nullptr;
  IDirect3DTexture9* texture = nullptr;
  D3DMATERIAL9 material = {};
  D3DLIGHT9 light = {};
};

void DrawEngineFrame(BoxField& field) {
  field.world.DrawFrame(0);
  field.world.banks.Renderer().Flip(nullptr, 0);
}

// The first frame, which compiles the back end's programs, is drawn before timing starts.
void EngineFrame(benchmark::State& state) {
  BoxField field(Backend(state));
  DrawEngineFrame(field);
  for (auto _ : state) DrawEngineFrame(field);
  state.SetItemsProcessed(state.iterations() * kMeshes);
}
BENCHMARK(EngineFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BareDraws(benchmark::State& state) {
  BoxField field(Backend(state));
  BareBoxes bare(field);
  CCamera& camera = *field.world.camera;
  const CMatrix view = *camera.GetWorld2CameraMatrix(camera.GetFrame());
  const CMatrix projection = *camera.GetProjectionMatrix();
  bare.DrawFrame(view, projection);
  for (auto _ : state) bare.DrawFrame(view, projection);
  state.SetItemsProcessed(state.iterations() * kMeshes);
}
BENCHMARK(BareDraws)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
