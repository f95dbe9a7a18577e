#pragma once
// A scene that the coded rendering path draws on a renderer with all its real banks: textured
// cubes in front of a camera at the origin looking down +Z, one white distant light shining
// along +Z, and the scene's ambient colour. Shared by the pixel tests and the benchmark.
#include <vector>

#include "FakeMeshBoundVolume.h"
#include "FakeMeshSpatial.h"
#include "PassesTestScene.h"
#include "RealBanksBench.h"
#include "d3d/SurfaceTextureImage.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "scene/Surface.h"
#include "scene/SurfaceFactory.h"
#include "shaders/GenericPass.h"

class GenericPassScene {
 public:
  // Drawn on a back buffer of `width` x `height`, the test device's size unless given.
  explicit GenericPassScene(ZkTestD3DBackend backend, UINT width = CD3DTestDevice::kWidth,
                            UINT height = CD3DTestDevice::kHeight)
      : banks(backend, width, height) {
    CD3D9Renderer& renderer = banks.Renderer();
    banks.bench.context->ports.surfaceFactory.Set(&surfaces);
    banks.bench.context->ports.meshSpatial.Set(&spatial);
    spatial.boundVolume = &volume;
    scene = new PassesTestScene(&renderer, &banks.bench.log);
    // The renderer clears to the active scene's colour.
    banks.bench.context->pActiveScene = scene;
    camera = new CCamera(&renderer, &banks.bench.log, scene);
    scene->AppendWorldObject(camera);
    CVector3 eye(0.0f, 0.0f, 0.0f), target(0.0f, 0.0f, 1.0f);
    camera->LookAt(&eye, &target, 0.0f);
    camera->CalculateProjectionMatrix(0.5f, 100.0f, 1.0f);
    light = new CLight(&renderer, &banks.bench.log, scene);
    scene->AppendWorldObject(light);
    D3DLIGHT9& record = *light->GetD3DLightProperties();
    record = {};
    record.Type = D3DLIGHT_DIRECTIONAL;
    record.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    record.Direction = {0.0f, 0.0f, 1.0f};
    scene->SetAmbientColor(0x404040);
    scene->GetAmbLightIntensityEnvelope()->SetValue(1.0f);
  }
  ~GenericPassScene() { scene->Release(); }
  GenericPassScene(const GenericPassScene&) = delete;
  GenericPassScene& operator=(const GenericPassScene&) = delete;

  // A 4x4 texture of one colour, made in the renderer's texture bank.
  CTextureInterface* SolidTexture(const char* name, D3DCOLOR colour) {
    CTextureInterface* texture = banks.Renderer().GetTextureStorageInterface()->CreateTexture(
        name, D3DFMT_A8R8G8B8, 4, 4, 1, 0);
    D3DLOCKED_RECT locked;
    texture->GetD3DTexture()->LockRect(0, &locked, nullptr, 0);
    for (UINT y = 0; y < 4; ++y)
      for (UINT x = 0; x < 4; ++x) static_cast<D3DCOLOR*>(locked.pBits)[y * locked.Pitch / 4 + x] = colour;
    texture->GetD3DTexture()->UnlockRect(0);
    return texture;
  }

  // An axis-aligned box centred at `centre` with half-size `half`, its faces wound clockwise
  // seen from outside; one surface with a white material and `texture` (or none), flags given.
  // Unless `prepare` is false the pass prepares it, as when its scene is loaded.
  CMesh* AddBox(const char* name, CVector3 centre, float half, CTextureInterface* texture,
                float alpha = 1.0f, WORD flags = 0, bool prepare = true) {
    auto* mesh = new CMesh(&banks.Renderer(), &banks.bench.log, scene, 0);
    mesh->SetName(name);
    scene->AppendWorldObject(mesh);
    std::vector<Vertex> vertices;
    std::vector<WORD> indices;
    // Each face: its normal and two axes spanning it, so that u x v points inwards (clockwise
    // from outside with row vectors and a left-handed view).
    const CVector3 faces[6][3] = {{{0, 0, -1}, {1, 0, 0}, {0, 1, 0}},  {{0, 0, 1}, {-1, 0, 0}, {0, 1, 0}},
                                  {{-1, 0, 0}, {0, 0, -1}, {0, 1, 0}}, {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
                                  {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}},   {{0, -1, 0}, {1, 0, 0}, {0, 0, -1}}};
    for (const auto& face : faces) {
      const WORD first = static_cast<WORD>(vertices.size());
      const float corners[4][2] = {{-1, -1}, {-1, 1}, {1, 1}, {1, -1}};
      for (const auto& corner : corners) {
        Vertex v = {};
        v.vecPosition = centre + (face[0] + face[1] * corner[0] + face[2] * corner[1]) * half;
        v.vecNormal = face[0];
        v.fTU[0] = (corner[0] + 1) / 2;
        v.fTV[0] = (1 - corner[1]) / 2;
        for (WORD& bone : v.wBonesIndices) bone = 0xFFFF;
        vertices.push_back(v);
      }
      for (WORD i : {0, 1, 2, 0, 2, 3}) indices.push_back(static_cast<WORD>(first + i));
    }
    mesh->SetVertices(static_cast<UINT>(vertices.size()), vertices.data(), 1);
    // Unit scale; the vertices are placed in world space already.
    UnitScale(mesh->GetFirstMotion());
    mesh->PrepareMatrices(0.0f);
    auto* surface = dynamic_cast<CSurface*>(mesh->CreateSurface());
    surface->SetIndices(static_cast<UINT>(indices.size()), indices.data());
    D3DCOLORVALUE diffuse = {1, 1, 1, alpha}, specular = {0, 0, 0, 0}, emissive = {0, 0, 0, 0};
    CVector4 first(1.0f, 0.0f, 0.0f, 0.0f), second;
    surface->CreateMaterial(&diffuse, &specular, &emissive, &first, &second, 0);
    surface->SetSurfaceParameter(1.0f);
    surface->SetShadingType(D3DSHADE_GOURAUD);
    surface->SetFlags(flags);
    if (texture != nullptr) {
      if (auto* counted = dynamic_cast<CSurfaceTextureImage*>(texture)) counted->AddReference();
      surface->NewTextureRecord(CSurface::SLOT_COLOR0)->pTextureImage = texture;
    }
    if (prepare) pass.PrepareMesh(mesh);
    return mesh;
  }

  // A motion that keeps its object where it stands, at unit scale.
  static void UnitScale(CMotion* motion) {
    motion->SetNumberOfChannels(MOTION_CHANNELS);
    for (UINT channel = MOTION_SCALE_X; channel < MOTION_CHANNELS; ++channel)
      motion->GetChannel(channel)->AddKeyData(1.0f, 0.0f, 0, 0, 0, 0, 0, 0, 0, 0);
  }

  // One frame: clear to `clear`, the scene through the coded path.
  void DrawFrame(D3DCOLOR clear) {
    CD3D9Renderer& renderer = banks.Renderer();
    renderer.Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL | ZK_CLEAR_NO_FRAME_LIMIT,
                   clear);
    renderer.BeginRendering();
    scene->SetActiveCamera(0);
    pass.RenderScene(scene);
    renderer.EndRendering();
  }

  RealBanksBench banks;
  CSurfaceFactory surfaces;
  FakeMeshSpatial spatial;
  FakeMeshBoundVolume volume;
  PassesTestScene* scene;
  CCamera* camera;
  CLight* light;
  CGenericPass pass{&banks.Renderer(), &banks.bench.log};
};
