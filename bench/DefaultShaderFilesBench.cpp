// The default shader files' cost per frame in rendering profile 11 (per pixel, shadow volumes on):
// a floor and 48 textured boxes lit by the sun, drawn through the engine's per-pixel passes with
// the files read from the packed shader archive, against the same draws issued straight to the
// platform device (the same programs, buffers, textures, constants and state changes: laying
// depth, ambient, the light's stencil stage and its lit pass), on the GL back end offscreen.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "BareBoxBuffers.h"
#include "GenericPassScene.h"
#include "RecordingAllocator.h"
#include "d3dx9.h"
#include "shaders/PerPixelPass.h"
#include "shaders/ShaderLibrary.h"
#include "spatial/LightSpatialServices.h"
#include "vfs/VirtualFileSystem.h"

namespace {

constexpr UINT kProfile = 11;
using bare_boxes::kBoxTriangles;
using bare_boxes::kBoxVertices;
constexpr UINT kStride = 32;  // position, normal, texture coordinates

// The scene on the engine's side, every mesh and surface with its default shader.
class LitBoxes {
 public:
  LitBoxes() {
    CEngineContext& context = *GetEngineContext();
    context.pVirtualFileSystem = &vfs;
    vfs.AddVirtualDisk(ZK_SHADER_ARCHIVE, 1, 0, 0, nullptr);
    library = std::make_unique<CShaderLibrary>(&world.banks.Renderer(), &world.banks.bench.log,
                                               ZK_SCHEME_RADEON9700, 0, "no-loose-shaders");
    context.ports.meshShaders.Set(library.get());
    context.ports.surfaceShaders.Set(library.get());
    context.ports.lightSpatial.Set(&lightVolumes);
    world.scene->SetLightingModel(2);
    world.scene->SetShadowMode(kProfile);
    texture = world.SolidTexture("grey", 0xFF808080);
    Add("floor", CVector3(0.0f, -4.0f, 9.0f), 3.0f);
    for (UINT i = 0; i < 48; ++i) {
      const std::string name = "box" + std::to_string(i);
      Add(name.c_str(), CVector3(-1.75f + 0.5f * (i % 8), -0.8f, 7.0f + 0.5f * (i / 8)), 0.15f);
    }
    passes = std::make_unique<CPerPixelPass>(&world.banks.Renderer(), library.get(),
                                             &world.banks.bench.log);
  }
  ~LitBoxes() {
    CEngineContext& context = *GetEngineContext();
    context.ports.meshShaders.Reset();
    context.ports.surfaceShaders.Reset();
  }

  void DrawFrame(bool present = true) {
    CD3D9Renderer& renderer = world.banks.Renderer();
    renderer.Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL | ZK_CLEAR_NO_FRAME_LIMIT, 0);
    renderer.BeginRendering();
    world.scene->SetActiveCamera(0);
    passes->Render(world.scene, kProfile);
    renderer.EndRendering();
    if (present) renderer.Flip(nullptr, 0);
  }

  GenericPassScene world{ZK_D3D_BACKEND_GL};
  CLightSpatialServices lightVolumes{&world.banks.bench.log};
  CRecordingAllocator allocator;
  CVirtualFileSystem vfs{&world.banks.bench.log, &allocator, nullptr};
  std::unique_ptr<CShaderLibrary> library;
  std::unique_ptr<CPerPixelPass> passes;
  CTextureInterface* texture = nullptr;
  std::vector<CMesh*> meshes;

 private:
  void Add(const char* name, const CVector3& centre, float half) {
    CMesh* mesh = world.AddBox(name, centre, half, texture);
    library->ApplyDefaultShaderForMesh(mesh);
    library->ApplyDefaultShaderForSurface(dynamic_cast<CSurface*>(mesh->GetSurface(0)));
    mesh->CreateVertexBuffers();
    meshes.push_back(mesh);
  }
};

// A program of the shadow-volume set's folder `kind` ("vsh" or "psh"), made by `create`.
template <class Program, class Create>
Program* Assemble(const char* kind, const char* file, Create create) {
  const std::string path =
      std::string(ZK_DEFAULT_SHADERS_DIR) + "/ShadowVolume/NoNormalMap/" + kind + "/" + file;
  LPD3DXBUFFER code = nullptr;
  Program* program = nullptr;
  if (D3DXAssembleShaderFromFileA(path.c_str(), nullptr, nullptr, 0, &code, nullptr) == D3D_OK) {
    create(static_cast<const DWORD*>(code->GetBufferPointer()), &program);
    code->Release();
  }
  return program;
}

// The device's copy of the scene: a vertex buffer a box in the files' layout, one index buffer,
// the files' programs and the constants the passes and the files load.
class BareBoxes {
 public:
  explicit BareBoxes(LitBoxes& scene) : device(scene.world.banks.bench.device.get()) {
    const D3DVERTEXELEMENT9 elements[] = {
        {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
        {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_NORMAL, 0},
        {0, 24, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
        D3DDECL_END()};
    device->CreateVertexDeclaration(elements, &declaration);
    for (CMesh* mesh : scene.meshes) buffers.push_back(bare_boxes::CopyVertices(device, *mesh, kStride));
    indices = bare_boxes::CopyIndices(device, *scene.meshes[0]);
    const auto vertexProgram = [this](const DWORD* code, IDirect3DVertexShader9** out) {
      device->CreateVertexShader(code, out);
    };
    const auto pixelProgram = [this](const DWORD* code, IDirect3DPixelShader9** out) {
      device->CreatePixelShader(code, out);
    };
    placeVertices = Assemble<IDirect3DVertexShader9>("vsh", "static.vsh", vertexProgram);
    lightVertices = Assemble<IDirect3DVertexShader9>("vsh", "lit_static.vsh", vertexProgram);
    ambientPixels = Assemble<IDirect3DPixelShader9>("psh", "ambient.psh", pixelProgram);
    lightPixels = Assemble<IDirect3DPixelShader9>("psh", "directional.psh", pixelProgram);
    texture = scene.texture->GetD3DTexture();
    CCamera& camera = *scene.world.camera;
    const CMatrix project =
        *camera.GetWorld2CameraMatrix(camera.GetFrame()) * *camera.GetProjectionMatrix();
    std::memcpy(projection, &project, sizeof projection);
    const CVector3& eye = *camera.GetPositionVector();
    const float camera4[4] = {eye.x, eye.y, eye.z, 1.0f};
    std::memcpy(cameraPosition, camera4, sizeof camera4);
    CVector3 direction;
    scene.world.light->GetDirection(&direction);
    const float direction4[4] = {direction.x, direction.y, direction.z, 1.0f};
    std::memcpy(lightDirection, direction4, sizeof direction4);
  }
  ~BareBoxes() {
    for (IDirect3DVertexBuffer9* buffer : buffers) buffer->Release();
    indices->Release();
    declaration->Release();
    for (IUnknown* program : std::initializer_list<IUnknown*>{placeVertices, lightVertices, ambientPixels,
                                                              lightPixels})
      if (program != nullptr) program->Release();
  }

  void DrawFrame(bool present = true) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0, 1.0f, 128);
    device->BeginScene();
    device->SetRenderState(D3DRS_ZENABLE, TRUE);
    device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    device->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    device->SetVertexShaderConstantF(15, cameraPosition, 1);
    // Laying depth, then ambient where it matches.
    device->SetRenderState(D3DRS_COLORWRITEENABLE, 0);
    DrawAll(placeVertices, ambientPixels, false);
    device->SetRenderState(D3DRS_COLORWRITEENABLE, 15);
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    device->SetRenderState(D3DRS_ZFUNC, D3DCMP_EQUAL);
    DrawAll(placeVertices, ambientPixels, false);
    // The sun: its stencil stage (no volume in sight), then its light added where it counts 128.
    device->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, 128);
    const DWORD stage[][2] = {
        {D3DRS_COLORWRITEENABLE, 0}, {D3DRS_ZFUNC, D3DCMP_LESS}, {D3DRS_ALPHABLENDENABLE, FALSE},
        {D3DRS_STENCILENABLE, TRUE}, {D3DRS_STENCILFUNC, D3DCMP_ALWAYS}, {D3DRS_STENCILFAIL, D3DSTENCILOP_KEEP},
        {D3DRS_STENCILPASS, D3DSTENCILOP_KEEP}, {D3DRS_STENCILZFAIL, D3DSTENCILOP_INCRSAT},
        {D3DRS_CCW_STENCILFAIL, D3DSTENCILOP_KEEP}, {D3DRS_CCW_STENCILZFAIL, D3DSTENCILOP_DECRSAT},
        {D3DRS_CCW_STENCILPASS, D3DSTENCILOP_KEEP}, {D3DRS_CCW_STENCILFUNC, D3DCMP_ALWAYS},
        {D3DRS_TWOSIDEDSTENCILMODE, TRUE}, {D3DRS_CULLMODE, D3DCULL_NONE}, {D3DRS_TWOSIDEDSTENCILMODE, FALSE},
        {D3DRS_CULLMODE, D3DCULL_CW}, {D3DRS_COLORWRITEENABLE, 15}, {D3DRS_STENCILFUNC, D3DCMP_EQUAL},
        {D3DRS_STENCILREF, 128}, {D3DRS_STENCILZFAIL, D3DSTENCILOP_KEEP}, {D3DRS_ZFUNC, D3DCMP_EQUAL},
        {D3DRS_ALPHABLENDENABLE, TRUE}, {D3DRS_SRCBLEND, D3DBLEND_ONE}, {D3DRS_DESTBLEND, D3DBLEND_ONE}};
    for (const auto& state : stage) device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(state[0]), state[1]);
    device->SetVertexShaderConstantF(12, lightDirection, 1);
    device->SetPixelShaderConstantF(5, lightDirection, 1);
    DrawAll(lightVertices, lightPixels, true);
    device->SetRenderState(D3DRS_STENCILENABLE, FALSE);
    // The transparency pass's states; nothing in the scene is transparent.
    device->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->EndScene();
    if (present) device->Present(nullptr, nullptr, nullptr, nullptr);
  }

 private:
  void DrawAll(IDirect3DVertexShader9* vertices, IDirect3DPixelShader9* pixels, bool lit) {
    static const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    static const float kWhite[4] = {1, 1, 1, 1}, kAmbient[4] = {0.25f, 0.25f, 0.25f, 1};
    static const float kNumbers[4] = {0, 1, 2, 16}, kMaterial[16] = {1, 1, 1, 1};
    for (IDirect3DVertexBuffer9* buffer : buffers) {
      device->SetVertexDeclaration(declaration);
      device->SetStreamSource(0, buffer, 0, kStride);
      device->SetVertexShader(vertices);
      device->SetVertexShaderConstantF(0, projection, 4);
      if (lit) {
        device->SetVertexShaderConstantF(4, kIdentity, 4);
        device->SetPixelShaderConstantF(6, kWhite, 1);
      } else {
        device->SetPixelShaderConstantF(7, kAmbient, 1);
      }
      device->SetPixelShaderConstantF(9, kNumbers, 1);
      device->SetTexture(0, texture);
      if (lit) device->SetPixelShaderConstantF(10, kIdentity + 12, 1);
      device->SetPixelShaderConstantF(0, kMaterial, 4);
      device->SetPixelShader(pixels);
      device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
      device->SetIndices(indices);
      device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, kBoxVertices, 0, kBoxTriangles);
    }
  }

  IDirect3DDevice9* device;
  IDirect3DVertexDeclaration9* declaration = nullptr;
  std::vector<IDirect3DVertexBuffer9*> buffers;
  IDirect3DIndexBuffer9* indices = nullptr;
  IDirect3DTexture9* texture = nullptr;
  IDirect3DVertexShader9* placeVertices = nullptr;
  IDirect3DVertexShader9* lightVertices = nullptr;
  IDirect3DPixelShader9* ambientPixels = nullptr;
  IDirect3DPixelShader9* lightPixels = nullptr;
  float projection[16] = {};
  float cameraPosition[4] = {};
  float lightDirection[4] = {};
};

// The first frame, which compiles the back end's programs, is drawn before timing starts.
void EngineFrame(benchmark::State& state) {
  LitBoxes scene;
  scene.DrawFrame();
  for (auto _ : state) scene.DrawFrame();
  state.SetItemsProcessed(state.iterations() * scene.meshes.size());
}
BENCHMARK(EngineFrame)->Unit(benchmark::kMillisecond);

// The share of pixels whose colours differ by more than a rounding.
double Differing(const std::vector<D3DCOLOR>& a, const std::vector<D3DCOLOR>& b) {
  if (a.size() != b.size() || a.empty()) return 1.0;
  size_t differing = 0;
  for (size_t i = 0; i < a.size(); ++i)
    for (int shift = 0; shift < 24; shift += 8)
      if (std::abs(int((a[i] >> shift) & 0xFF) - int((b[i] >> shift) & 0xFF)) > 8) {
        ++differing;
        break;
      }
  return static_cast<double>(differing) / a.size();
}

void BareDraws(benchmark::State& state) {
  LitBoxes scene;
  BareBoxes bare(scene);
  // The bare frame must draw what the engine draws, or the comparison means nothing.
  scene.DrawFrame(false);
  const std::vector<D3DCOLOR> engine = scene.world.banks.bench.device.ReadBackBuffer();
  bare.DrawFrame(false);
  const double differing = Differing(engine, scene.world.banks.bench.device.ReadBackBuffer());
  if (differing > 0.02) {
    state.SkipWithError(("the bare frame differs from the engine's in " +
                         std::to_string(differing * 100) + "% of the pixels").c_str());
    return;
  }
  bare.DrawFrame();
  for (auto _ : state) bare.DrawFrame();
  state.SetItemsProcessed(state.iterations() * scene.meshes.size());
}
BENCHMARK(BareDraws)->Unit(benchmark::kMillisecond);

}  // namespace
