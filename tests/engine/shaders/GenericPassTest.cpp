// The default coded rendering path on a recording renderer: what a surface, a mesh and a scene
// ask of the renderer in each branch, and the vertices it rebuilds on the CPU for morphing and
// skinned meshes.
#include "shaders/GenericPass.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "D3DTestDevice.h"
#include "EngineContextScope.h"
#include "FakeEngineTexture.h"
#include "FakeEnumerationOwner.h"
#include "FakeMeshBoundVolume.h"
#include "FakeMeshSpatial.h"
#include "FakeSurfaceBanks.h"
#include "PassesTestScene.h"
#include "ProcessExitCatcher.h"
#include "RecordingEngineLog.h"
#include "RecordingPassRenderer.h"
#include "TestCards.h"
#include "d3d/D3D9Enumeration.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "scene/Surface.h"
#include "scene/SurfaceFactory.h"

namespace {

using Calls = std::vector<std::string>;
using R = RecordingPassRenderer;

std::string S(UINT stage, UINT type, UINT value) { return R::Stage(stage, type, value); }
std::string St(UINT state, UINT value) { return R::State(state, value); }

// The stage reset every opaque surface ends with.
Calls StageReset() {
  Calls out = {St(D3DRS_SPECULARENABLE, 0)};
  for (UINT stage = 0; stage < 4; ++stage) {
    const UINT first = stage == 0 ? D3DTA_DIFFUSE : D3DTA_CURRENT;
    const UINT op = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
    for (auto [type, value] : {std::pair{D3DTSS_COLOROP, op}, {D3DTSS_ALPHAOP, op},
                               {D3DTSS_COLORARG1, first}, {D3DTSS_COLORARG2, D3DTA_TEXTURE},
                               {D3DTSS_ALPHAARG1, first}, {D3DTSS_ALPHAARG2, D3DTA_TEXTURE}})
      out.push_back(S(stage, type, value));
  }
  out.insert(out.end(), {S(0, D3DTSS_TEXCOORDINDEX, 0), S(1, D3DTSS_TEXCOORDINDEX, 1),
                         St(D3DRS_ALPHATESTENABLE, 0)});
  return out;
}

// How many lines of the log hold the text.
int Count(const CRecordingEngineLog& log, const std::string& text) {
  int n = 0;
  for (const auto& entry : log.entries) n += entry.text.find(text) != std::string::npos;
  return n;
}

Calls Join(std::initializer_list<Calls> parts) {
  Calls out;
  for (const Calls& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

// One stage program row: COLOROP, [COLORARG0], COLORARG1, [COLORARG2], ALPHAOP, ALPHAARG1,
// [ALPHAARG2]; 0 leaves an argument out.
Calls Row(UINT stage, UINT colorOp, UINT arg0, UINT arg1, UINT arg2, UINT alphaOp, UINT alpha1,
          UINT alpha2) {
  Calls out = {S(stage, D3DTSS_COLOROP, colorOp)};
  if (arg0) out.push_back(S(stage, D3DTSS_COLORARG0, arg0));
  if (arg1) out.push_back(S(stage, D3DTSS_COLORARG1, arg1));
  if (arg2) out.push_back(S(stage, D3DTSS_COLORARG2, arg2));
  out.push_back(S(stage, D3DTSS_ALPHAOP, alphaOp));
  if (alpha1) out.push_back(S(stage, D3DTSS_ALPHAARG1, alpha1));
  if (alpha2) out.push_back(S(stage, D3DTSS_ALPHAARG2, alpha2));
  return out;
}

class GenericPassTest : public ::testing::Test {
 protected:
  GenericPassTest() {
    renderer.indexBuffers = &indexBuffers;
    context->ports.surfaceFactory.Set(&surfaces);
    context->ports.meshSpatial.Set(&spatial);
    spatial.boundVolume = &volume;
    UseCard(ShaderModel3Card());
  }
  ~GenericPassTest() override {
    scene->Release();
    if (dynamicBuffer) dynamicBuffer->Release();
  }

  FakeEngineTexture Texture(const char* name, const char* alpha = "") {
    FakeEngineTexture texture;
    texture.fileName = name;
    texture.alphaFileName = alpha;
    texture.calls = &renderer.calls;
    return texture;
  }
  void UseCard(const TestCard& card) {
    card.Apply();
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    enumeration = std::make_unique<CD3D9Enumeration>(&log, d3d, 0, &owner);
    d3d->Release();
    renderer.enumeration = enumeration.get();
  }

  CMesh* AddMesh(const char* name, UINT vertexCount = 3) {
    auto* mesh = new CMesh(&renderer, &log, scene, 0);
    mesh->SetName(name);
    scene->AppendWorldObject(mesh);
    std::vector<Vertex> vertices(vertexCount);
    for (UINT i = 0; i < vertexCount; ++i) {
      Vertex& v = vertices[i];
      v = {};
      v.vecPosition = CVector3(float(i), float(i % 7) * 2.0f, -float(i % 5));
      v.vecNormal = CVector3(0.0f, 1.0f, float(i % 3));
      v.fTU[0] = 0.25f;
      v.fTV[0] = 0.5f;
      v.fTU[1] = 0.75f;
      v.fTV[1] = 1.0f;
      for (WORD& index : v.wBonesIndices) index = 0xFFFF;
    }
    mesh->SetVertices(vertexCount, vertices.data(), 1);
    return mesh;
  }
  // A surface of two triangles with a material (specular given) and drawn without alpha test.
  CSurface* AddSurface(CMesh* mesh, float specular = 0.0f, WORD flags = 0) {
    auto* surface = dynamic_cast<CSurface*>(mesh->CreateSurface());
    WORD indices[6] = {0, 1, 2, 0, 2, 1};
    surface->SetIndices(6, indices);
    D3DCOLORVALUE diffuse = {1, 1, 1, 1}, spec = {specular, 0, 0, 8}, emissive = {};
    CVector4 first(0.0f, 0.0f, 0.2f, 0.0f), second;
    surface->CreateMaterial(&diffuse, &spec, &emissive, &first, &second, 0);
    surface->SetFlags(flags);
    surface->SetSurfaceParameter(1.0f);
    surface->SetShadingType(D3DSHADE_GOURAUD);
    return surface;
  }
  void Give(CSurface* surface, CSurface::Slot slot, FakeEngineTexture& texture, WORD operation = 0) {
    SurfaceTexture* record = surface->NewTextureRecord(slot);
    record->pTextureImage = &texture;
    record->wOpacity = operation;
  }
  // The renderer's calls of RenderSurface alone.
  Calls Surface(CSurface* surface) {
    renderer.calls.clear();
    pass.RenderSurface(surface);
    return renderer.calls;
  }
  IDirect3DVertexBuffer9* MakeDynamicBuffer() {
    device = std::make_unique<CD3DTestDevice>(ZK_D3D_BACKEND_NULL);
    (*device)->CreateVertexBuffer(CGenericPass::kDynamicBufferBytes, D3DUSAGE_DYNAMIC, 0,
                                  D3DPOOL_DEFAULT, &dynamicBuffer, nullptr);
    renderer.dynamicBuffer = dynamicBuffer;
    return dynamicBuffer;
  }
  // Position, normal and both texture pairs of the dynamic buffer's vertex i.
  std::vector<float> Written(UINT i) {
    void* data = nullptr;
    dynamicBuffer->Lock(0, 0, &data, D3DLOCK_READONLY);
    std::vector<float> out(10);
    std::memcpy(out.data(), static_cast<BYTE*>(data) + i * 64, sizeof(float) * 10);
    dynamicBuffer->Unlock();
    return out;
  }

  EngineContextScope context;
  TestCardScope cardScope;
  CRecordingEngineLog log;
  FakeEnumerationOwner owner;
  std::unique_ptr<CD3D9Enumeration> enumeration;
  RecordingPassRenderer renderer;
  FakeIndexBufferStorage indexBuffers;
  CSurfaceFactory surfaces;
  FakeMeshSpatial spatial;
  FakeMeshBoundVolume volume;
  PassesTestScene* scene = new PassesTestScene(&renderer, &log);
  CGenericPass pass{&renderer, &log};
  // Textures that write their settings into the renderer's call list; glass has alpha.
  FakeEngineTexture wall = Texture("wall"), glass = Texture("glass", "glass_alpha"),
                    detail = Texture("detail"), mirror = Texture("mirror");
  std::unique_ptr<CD3DTestDevice> device;
  IDirect3DVertexBuffer9* dynamicBuffer = nullptr;
};

TEST_F(GenericPassTest, PreparingAMeshMakesItsBufferInTheSixtyFourByteLayout) {
  CMesh* mesh = AddMesh("crate", 4);
  CMesh* target = AddMesh("crate_morph", 4);
  mesh->SetMorphTarget(target);
  pass.PrepareMesh(mesh);
  ASSERT_EQ(renderer.created.size(), 1u);
  EXPECT_EQ(renderer.created[0].vertices, mesh->GetVertices());
  EXPECT_EQ(renderer.created[0].secondVertices, target->GetVertices());
  EXPECT_EQ(renderer.created[0].count, 4u);
  EXPECT_EQ(mesh->GetVertexBuffer(0), renderer.buffers[0].get());
  EXPECT_EQ(renderer.buffers[0]->layouts, 1);
  ASSERT_NE(pass.GetDeclaration(), nullptr);
  const D3DVERTEXELEMENT9* e = pass.GetDeclaration()->GetVertexElement();
  const BYTE expected[][4] = {{0, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_POSITION, 0},
                              {12, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL, 0},
                              {24, D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_TEXCOORD, 0},
                              {32, D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_TEXCOORD, 1},
                              {40, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_TEXCOORD, 2},
                              {52, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_TEXCOORD, 3}};
  UINT size = 0;
  for (UINT i = 0; i < 6; ++i) {
    EXPECT_EQ(e[i].Offset, expected[i][0]) << i;
    EXPECT_EQ(e[i].Type, expected[i][1]) << i;
    EXPECT_EQ(e[i].Usage, expected[i][2]) << i;
    EXPECT_EQ(e[i].UsageIndex, expected[i][3]) << i;
    size += GetVertexElementSize(e[i].Type);
  }
  EXPECT_TRUE(IsEndMarker(e[6]));
  EXPECT_EQ(size, 64u);

  // A second mesh shares the declaration; the scene prepares its meshes in order.
  CVertexDeclarationInterface* first = pass.GetDeclaration();
  pass.PrepareScene(scene);
  EXPECT_EQ(pass.GetDeclaration(), first);
  EXPECT_EQ(renderer.declarations.size(), 1u);
  ASSERT_EQ(renderer.created.size(), 3u);
  EXPECT_EQ(renderer.created[1].name, "crate");
  EXPECT_EQ(renderer.created[2].name, "crate_morph");
}

TEST_F(GenericPassTest, ABufferOrDeclarationThatCannotBeMadeIsFatal) {
  struct Case {
    bool failBuffer;
    const char* text;
  } cases[] = {{true, "Can't Create"}, {false, "Can't Create: crate"}};
  for (const Case& c : cases) {
    CGenericPass fresh(&renderer, &log);
    renderer.failBuffers = c.failBuffer;
    renderer.failDeclarations = !c.failBuffer;
    CMesh* mesh = AddMesh("crate");
    ProcessExitCatcher exits;
    EXPECT_THROW(fresh.PrepareMesh(mesh), ProcessExited) << c.text;
    ASSERT_EQ(exits.Boxes().size(), 1u) << c.text;
    EXPECT_EQ(exits.Boxes()[0].text, c.text);
  }
}

// A mesh made in code after its scene was prepared (a cable, say) gets its buffer when first
// drawn; one without vertices yet draws nothing rather than another mesh's stream.
TEST_F(GenericPassTest, AnUnpreparedMeshIsPreparedWhenDrawnAndAnEmptyOneIsSkipped) {
  CMesh* cable = AddMesh("cable", 4);
  AddSurface(cable);
  renderer.calls.clear();
  EXPECT_EQ(pass.RenderMesh(cable), 1u);
  ASSERT_EQ(renderer.created.size(), 1u);
  EXPECT_EQ(renderer.created[0].name, "cable");
  EXPECT_EQ(cable->GetVertexBuffer(0), renderer.buffers[0].get());
  const auto has = [&](const std::string& call) {
    return std::find(renderer.calls.begin(), renderer.calls.end(), call) != renderer.calls.end();
  };
  EXPECT_TRUE(has("streams cable"));
  EXPECT_TRUE(has("draw 2"));

  CMesh* empty = AddMesh("empty", 0);
  AddSurface(empty);
  AddSurface(empty, 0.0f, 0x1);  // blended
  for (bool blended : {false, true}) {
    renderer.calls.clear();
    EXPECT_EQ(blended ? pass.RenderBlendedMesh(empty) : pass.RenderMesh(empty), 0u) << blended;
    EXPECT_FALSE(has("draw 2")) << blended;
  }
  EXPECT_EQ(renderer.created.size(), 1u);
}

// What each kind of opaque surface asks of the renderer, from the culling on.
TEST_F(GenericPassTest, SurfaceBranchesSetTheirStagePrograms) {
  CMesh* mesh = AddMesh("wall");
  const Calls ccw = {St(D3DRS_CULLMODE, D3DCULL_CCW)};
  const Calls shaded = {"material", St(D3DRS_SHADEMODE, D3DSHADE_GOURAUD)};
  const Calls r1 = Join({Row(0, D3DTOP_SELECTARG1, 0, D3DTA_TEXTURE, D3DTA_CURRENT,
                             D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_CURRENT),
                         Row(1, D3DTOP_LERP, D3DTA_TFACTOR, D3DTA_CURRENT, D3DTA_TEXTURE,
                             D3DTOP_SELECTARG1, D3DTA_CURRENT, 0),
                         Row(2, D3DTOP_MODULATE, 0, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTOP_MODULATE,
                             D3DTA_DIFFUSE, D3DTA_CURRENT)});
  const UINT replicate = D3DTA_DIFFUSE | D3DTA_ALPHAREPLICATE;
  const Calls r2 = Join({Row(0, D3DTOP_SELECTARG1, 0, replicate, 0, D3DTOP_SELECTARG1, replicate, 0),
                         Row(1, D3DTOP_MODULATE, 0, D3DTA_CURRENT, D3DTA_TEXTURE,
                             D3DTOP_SELECTARG1, D3DTA_CURRENT, D3DTA_TEXTURE),
                         Row(2, D3DTOP_LERP, D3DTA_TFACTOR, D3DTA_CURRENT, D3DTA_DIFFUSE,
                             D3DTOP_SELECTARG1, D3DTA_DIFFUSE, 0)});
  // (1 - 0.2) * 255 = 204, grey.
  const Calls reflection = {"texture mirror 1", St(D3DRS_TEXTUREFACTOR, 204 * 0x010101),
                            S(1, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_CAMERASPACEREFLECTIONVECTOR)};
  const Calls secondTexture = {S(1, D3DTSS_TEXCOORDINDEX, 1),
                               S(1, D3DTSS_COLOROP, D3DTOP_ADDSIGNED),
                               S(1, D3DTSS_ALPHAOP, D3DTOP_ADDSIGNED),
                               S(1, D3DTSS_COLORARG1, D3DTA_TEXTURE),
                               S(1, D3DTSS_COLORARG2, D3DTA_CURRENT),
                               S(1, D3DTSS_ALPHAARG1, D3DTA_TEXTURE),
                               S(1, D3DTSS_ALPHAARG2, D3DTA_CURRENT),
                               "draw 2"};
  const Calls blendAlpha = {St(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA),
                            St(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA)};
  const Calls noTexture = {"no texture 0", "draw 2", S(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE)};

  struct Case {
    const char* what;
    FakeEngineTexture* color0;
    FakeEngineTexture* color1;
    bool reflection;
    WORD flags;
    Calls expected;
  };
  const Case cases[] = {
      {"colour-1 texture", &wall, &detail, true, 0x100,
       Join({ccw, {"texture wall 0", "texture detail 1"}, shaded, secondTexture})},
      {"colour-0 texture", &wall, nullptr, false, 0,
       Join({ccw, {"texture wall 0"}, shaded, {"draw 2"}})},
      {"colour-0 texture with alpha", &glass, nullptr, false, 0,
       Join({ccw, {"texture glass 0"}, shaded, blendAlpha, {"draw 2"}})},
      {"colour-0 reflection without flag", &wall, nullptr, true, 0,
       Join({ccw, {"texture wall 0"}, shaded, {"draw 2"}})},
      {"reflection over colour-0 (R1)", &wall, nullptr, true, 0x100,
       Join({ccw, {"texture wall 0"}, r1, reflection, shaded, {"draw 2"}})},
      {"reflection alone (R2)", nullptr, nullptr, true, 0,
       Join({ccw, r2, reflection, shaded, noTexture})},
      {"no texture", nullptr, nullptr, false, 0, Join({ccw, shaded, noTexture})},
      {"two-sided", nullptr, nullptr, false, 0x4,
       Join({{St(D3DRS_CULLMODE, D3DCULL_NONE)}, shaded, noTexture})},
  };
  for (const Case& c : cases) {
    CSurface* surface = AddSurface(mesh, 0.0f, c.flags);
    if (c.color0) Give(surface, CSurface::SLOT_COLOR0, *c.color0);
    if (c.color1) Give(surface, CSurface::SLOT_COLOR1, *c.color1, D3DTOP_ADDSIGNED);
    if (c.reflection) Give(surface, CSurface::SLOT_REFLECTION, mirror);
    EXPECT_EQ(Surface(surface), Join({c.expected, StageReset()})) << c.what;
  }

  // A card of pixel shader 1.1 also clears stage 1 for an untextured surface.
  UseCard(ShaderModel11Card());
  CSurface* plain = AddSurface(mesh);
  EXPECT_EQ(Surface(plain),
            Join({ccw, shaded,
                  {"no texture 0", "no texture 1", S(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1), "draw 2",
                   S(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE)},
                  StageReset()}));
  // A blended surface is left to the blended pass.
  EXPECT_EQ(pass.RenderSurface(AddSurface(mesh, 0.0f, 0x1)), 0u);
}

TEST_F(GenericPassTest, SpecularIsAddedOnTheStageAfterTheTextures) {
  CMesh* mesh = AddMesh("lamp");
  struct Case {
    const char* what;
    FakeEngineTexture* color0;
    FakeEngineTexture* color1;
    bool reflection;
    WORD flags;
    UINT stage;
  } cases[] = {
      {"no texture", nullptr, nullptr, false, 0, 0},
      {"colour-0", &wall, nullptr, false, 0, 1},
      {"colour-1", &wall, &detail, false, 0, 2},
      {"colour-0 and an unused reflection", &wall, nullptr, true, 0, 2},
      {"R1", &wall, nullptr, true, 0x100, 3},
      {"R2", nullptr, nullptr, true, 0, 3},
  };
  for (const Case& c : cases) {
    CSurface* surface = AddSurface(mesh, 0.5f, c.flags);
    if (c.color0) Give(surface, CSurface::SLOT_COLOR0, *c.color0);
    if (c.color1) Give(surface, CSurface::SLOT_COLOR1, *c.color1, D3DTOP_MODULATE);
    if (c.reflection) Give(surface, CSurface::SLOT_REFLECTION, mirror);
    const Calls calls = Surface(surface);
    const UINT n = c.stage, first = n == 0 ? D3DTA_DIFFUSE : D3DTA_CURRENT;
    const Calls table = {S(n, D3DTSS_COLOROP, D3DTOP_ADD),      S(n, D3DTSS_ALPHAOP, D3DTOP_DISABLE),
                         S(n, D3DTSS_COLORARG1, first),          S(n, D3DTSS_COLORARG2, D3DTA_SPECULAR),
                         S(n, D3DTSS_ALPHAARG1, first),          S(n, D3DTSS_ALPHAARG2, D3DTA_SPECULAR)};
    auto at = std::find(calls.begin(), calls.end(), St(D3DRS_SPECULARENABLE, 1));
    ASSERT_NE(at, calls.end()) << c.what;
    EXPECT_EQ(Calls(at + 1, at + 7), table) << c.what;
    EXPECT_EQ(*(at + 7), St(D3DRS_SHADEMODE, D3DSHADE_GOURAUD)) << c.what;
  }
}

TEST_F(GenericPassTest, SurfaceParameterBelowOneTurnsAlphaTestingOn) {
  CMesh* mesh = AddMesh("fence");
  CSurface* surface = AddSurface(mesh);
  surface->SetSurfaceParameter(0.5f);
  const Calls calls = Surface(surface);
  EXPECT_EQ(Calls(calls.begin(), calls.begin() + 3),
            (Calls{St(D3DRS_ALPHATESTENABLE, 1), St(D3DRS_ALPHAREF, 127),
                   St(D3DRS_ALPHAFUNC, D3DCMP_GREATER)}));
  surface->SetSurfaceParameter(1.0f);
  for (const std::string& call : Surface(surface))
    EXPECT_NE(call, St(D3DRS_ALPHATESTENABLE, 1));
}

TEST_F(GenericPassTest, ADissolvingMeshSetsAFadedCopyOfTheMaterial) {
  CMesh* mesh = AddMesh("ghost");
  CSurface* surface = AddSurface(mesh);
  mesh->GetDissolveEnvelope()->SetValue(0.25f);
  const Calls calls = Surface(surface);
  const Calls expected = {St(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA),
                          St(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA), "material copy"};
  EXPECT_NE(std::search(calls.begin(), calls.end(), expected.begin(), expected.end()), calls.end());
  ASSERT_EQ(renderer.materialCopies.size(), 1u);
  EXPECT_FLOAT_EQ(renderer.materialCopies[0].Diffuse.a, 0.75f);
  EXPECT_FLOAT_EQ(renderer.materialCopies[0].Ambient.a, 0.75f);
  EXPECT_FLOAT_EQ(renderer.materialCopies[0].Diffuse.r, 1.0f);
}

TEST_F(GenericPassTest, BlendedSurfacesChooseTheirBlendAndAlphaStages) {
  CMesh* mesh = AddMesh("window");
  const Calls open = {S(1, D3DTSS_COLOROP, D3DTOP_DISABLE), S(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE)};
  const Calls close = {St(D3DRS_SPECULARENABLE, 0), S(1, D3DTSS_COLOROP, D3DTOP_DISABLE),
                       S(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE)};
  const Calls shaded = {"material", St(D3DRS_SHADEMODE, D3DSHADE_GOURAUD)};
  const Calls modulate = {S(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE), S(0, D3DTSS_ALPHAARG1, D3DTA_CURRENT),
                          S(0, D3DTSS_ALPHAARG2, D3DTA_TEXTURE)};
  const Calls ccw = {St(D3DRS_CULLMODE, D3DCULL_CCW)};
  struct Case {
    const char* what;
    FakeEngineTexture* color0;
    WORD flags;
    Calls expected;
  } cases[] = {
      {"alpha texture", &glass, 0x1,
       Join({open, {St(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA)}, ccw, {"texture glass 0"}, shaded,
             modulate, {"draw 2"}, modulate, close})},
      {"additive, no alpha", &wall, 0x3,
       Join({open, {St(D3DRS_DESTBLEND, D3DBLEND_ONE)}, ccw, {"texture wall 0"}, shaded,
             {"draw 2"}, close})},
      {"untextured, two-sided", nullptr, 0x5,
       Join({open, {St(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA), St(D3DRS_CULLMODE, D3DCULL_NONE)},
             shaded,
             {"no texture 0", "no texture 1", S(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1),
              S(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1), "draw 2", S(0, D3DTSS_COLOROP, D3DTOP_MODULATE),
              S(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE)},
             close})},
  };
  for (const Case& c : cases) {
    CSurface* surface = AddSurface(mesh, 0.0f, c.flags);
    if (c.color0) Give(surface, CSurface::SLOT_COLOR0, *c.color0);
    renderer.calls.clear();
    EXPECT_EQ(pass.RenderBlendedSurface(surface), 1u) << c.what;
    EXPECT_EQ(renderer.calls, c.expected) << c.what;
  }
  EXPECT_EQ(pass.RenderBlendedSurface(AddSurface(mesh)), 0u);
}

TEST_F(GenericPassTest, NonManifoldEdgesOfAMeshWithoutShadowGeometryAreWhiteLines) {
  CMesh* mesh = AddMesh("tri", 4);
  pass.PrepareMesh(mesh);
  Edge edges[3] = {};
  edges[0].wIndex1 = 1, edges[0].wIndex2 = 3, edges[0].dwOvershared = 1;
  edges[1].wIndex1 = 0, edges[1].wIndex2 = 2;
  edges[2].wIndex1 = 2, edges[2].wIndex2 = 900, edges[2].dwOvershared = 1;  // out of range
  // An edge of three faces leaves the mesh without shadow-volume geometry.
  mesh->PrepareShadowVolume(edges, 3);
  ASSERT_EQ(mesh->GetHasShadowVolumeGeometry(), 0u);
  renderer.calls.clear();
  EXPECT_EQ(pass.RenderMesh(mesh), 1u);
  const Calls expected = {"transform 256", "declaration", "streams tri", "pixel shader null",
                          "vertex shader null", St(D3DRS_ZFUNC, D3DCMP_ALWAYS),
                          St(D3DRS_LIGHTING, 0), St(D3DRS_CULLMODE, D3DCULL_NONE), "fvf 450", "line",
                          St(D3DRS_CULLMODE, D3DCULL_CCW), St(D3DRS_ZFUNC, D3DCMP_LESSEQUAL),
                          St(D3DRS_LIGHTING, 1)};
  EXPECT_EQ(renderer.calls, expected);
  ASSERT_EQ(renderer.lines.size(), 1u);
  const R::Line& line = renderer.lines[0];
  EXPECT_EQ(line.type, UINT(D3DPT_LINELIST));
  EXPECT_EQ(line.vertexCount, 2u);
  EXPECT_EQ(line.primitiveCount, 1u);
  EXPECT_EQ(line.stride, 28u);
  EXPECT_EQ(line.indices, (std::vector<WORD>{0, 1}));
  std::vector<CVector3> ends;
  for (int end = 0; end < 2; ++end) {
    float position[3];
    DWORD colours[2];
    float uv[2];
    std::memcpy(position, line.vertexBytes.data() + 28 * end, sizeof position);
    std::memcpy(colours, line.vertexBytes.data() + 28 * end + 12, sizeof colours);
    std::memcpy(uv, line.vertexBytes.data() + 28 * end + 20, sizeof uv);
    ends.emplace_back(position[0], position[1], position[2]);
    EXPECT_EQ(colours[0], 0xFFFFFFFFu);
    EXPECT_EQ(colours[1], 0u);
    EXPECT_EQ(uv[0], 0.0f);
  }
  const CVector3 a = mesh->GetVertex(1)->vecPosition, b = mesh->GetVertex(3)->vecPosition;
  EXPECT_TRUE((ends[0] == a && ends[1] == b) || (ends[0] == b && ends[1] == a));
}

TEST_F(GenericPassTest, MorphingWritesInterpolatedVerticesIntoTheDynamicBuffer) {
  MakeDynamicBuffer();
  CMesh* mesh = AddMesh("face", 5);
  CMesh* target = AddMesh("face_open", 5);
  for (UINT i = 0; i < 5; ++i) {
    target->GetVertex(i)->vecPosition = CVector3(10.0f, 20.0f, 30.0f + i);
    target->GetVertex(i)->vecNormal = CVector3(1.0f, 0.0f, 0.0f);
  }
  mesh->SetMorphTarget(target);
  mesh->SetIsMorph(1);
  CChannelEnvelope* weight = mesh->GetSecondMotion()->GetChannel(0);
  weight->AddKeyData(0.25f, 0.0f, 0, 0, 0, 0, 0, 0, 0, 0);
  weight->EvalEnvelope(0.0f);
  AddSurface(mesh, 0.0f, 0x1);
  pass.PrepareMesh(mesh);
  renderer.calls.clear();
  EXPECT_EQ(pass.RenderBlendedMesh(mesh), 1u);
  for (UINT i = 0; i < 5; ++i) {
    const Vertex& p = *mesh->GetVertex(i);
    const CVector3 position = p.vecPosition + (CVector3(10.0f, 20.0f, 30.0f + i) - p.vecPosition) * 0.25f;
    const CVector3 normal = p.vecNormal + (CVector3(1.0f, 0.0f, 0.0f) - p.vecNormal) * 0.25f;
    const std::vector<float> written = Written(i);
    EXPECT_EQ(std::vector<float>(written.begin(), written.begin() + 8),
              (std::vector<float>{position.x, position.y, position.z, normal.x, normal.y, normal.z,
                                  0.25f, 0.5f}))
        << i;
  }
  const Calls head = {"transform 256", "declaration", "stream source dynamic 64 5",
                      "pixel shader null", "vertex shader null"};
  EXPECT_EQ(Calls(renderer.calls.begin(), renderer.calls.begin() + 5), head);
  EXPECT_NE(std::find(renderer.calls.begin(), renderer.calls.end(), "draw 2"), renderer.calls.end());

  // A target that shrank since is not read: the mesh is drawn unmorphed, and that is logged once.
  std::vector<Vertex> fewer(2, *target->GetVertex(0));
  target->SetVertices(2, fewer.data(), 0);
  log.entries.clear();
  EXPECT_EQ(pass.RenderBlendedMesh(mesh), 1u);
  EXPECT_EQ(pass.RenderBlendedMesh(mesh), 1u);
  const std::vector<float> unmorphed = Written(4);
  EXPECT_EQ(CVector3(unmorphed[0], unmorphed[1], unmorphed[2]), mesh->GetVertex(4)->vecPosition);
  EXPECT_EQ(Count(log, "Drawn Unmorphed: face"), 1);
}

TEST_F(GenericPassTest, TheDynamicBufferHoldsAtMost8192Vertices) {
  MakeDynamicBuffer();
  for (UINT count : {8192u, 8193u}) {
    CMesh* target = AddMesh("big_target", count);
    CMesh* mesh = AddMesh("big", count);
    mesh->SetMorphTarget(target);
    mesh->SetIsMorph(1);
    AddSurface(mesh, 0.0f, 0x1);
    pass.PrepareMesh(mesh);
    log.entries.clear();
    renderer.calls.clear();
    const bool fits = count == 8192;
    EXPECT_EQ(pass.RenderBlendedMesh(mesh), fits ? 1u : 0u) << count;
    EXPECT_EQ(Count(log, "WARNING!!! - Not Enuff Space In Dynamic Vertex Buffer: big\n"), fits ? 0 : 1)
        << count;
    EXPECT_EQ(std::count(renderer.calls.begin(), renderer.calls.end(), "draw 2"), fits ? 1 : 0)
        << count;
  }
}

TEST_F(GenericPassTest, SkinningSumsWeightedBoneTransformsAndSkipsBadIndices) {
  MakeDynamicBuffer();
  CMesh* mesh = AddMesh("arm", 3);
  CBone* bones = mesh->CreateBones(2);
  ASSERT_NE(bones, nullptr);
  bones[0].SetRestPosition(CVector3(1.0f, 2.0f, 3.0f));
  bones[1].SetRestRotation(CVector3(0.5f, 0.0f, 0.0f));
  bones[1].SetRestPosition(CVector3(0.0f, -1.0f, 0.0f));
  for (UINT b = 0; b < 2; ++b) bones[b].Evaluate(0.0f);
  Vertex* v = mesh->GetVertices();
  v[0].wBonesIndices[0] = 0, v[0].fWeights[0] = 0.75f;  // two bones, weights not normalised
  v[0].wBonesIndices[2] = 1, v[0].fWeights[2] = 0.5f;
  v[2].wBonesIndices[0] = 1, v[2].fWeights[0] = 1.0f;   // one good bone and one past the end
  v[2].wBonesIndices[1] = 7, v[2].fWeights[1] = 1.0f;
  Give(AddSurface(mesh, 0.0f, 0x1), CSurface::SLOT_COLOR1, detail, D3DTOP_MODULATE);
  pass.PrepareMesh(mesh);
  renderer.calls.clear();
  EXPECT_EQ(pass.RenderBlendedMesh(mesh), 1u);

  const float frame = mesh->GetFrame();
  const CMatrix& m0 = *bones[0].GetBoneMatrix(frame);
  const CMatrix& m1 = *bones[1].GetBoneMatrix(frame);
  const CMatrix& r1 = *bones[1].GetBoneRotationMatrix(frame);
  ASSERT_FALSE(m0 == CMatrix::Identity());
  const CVector3 expected[3][2] = {
      {v[0].vecPosition * m0 * 0.75f + v[0].vecPosition * m1 * 0.5f,
       v[0].vecNormal * *bones[0].GetBoneRotationMatrix(frame) * 0.75f + v[0].vecNormal * r1 * 0.5f},
      {v[1].vecPosition, v[1].vecNormal},  // all indices 0xFFFF: unchanged
      {v[2].vecPosition * m1, v[2].vecNormal * r1}};
  for (UINT i = 0; i < 3; ++i) {
    const std::vector<float> w = Written(i);
    for (int k = 0; k < 3; ++k) {
      EXPECT_NEAR(w[k], (&expected[i][0].x)[k], 1e-5f) << i << " position " << k;
      EXPECT_NEAR(w[3 + k], (&expected[i][1].x)[k], 1e-5f) << i << " normal " << k;
    }
    // A colour-1 texture on the mesh asks for the second texture pair too.
    EXPECT_EQ(std::vector<float>(w.begin() + 6, w.end()),
              (std::vector<float>{0.25f, 0.5f, 0.75f, 1.0f}));
  }
  // Skinning leaves the shaders alone.
  EXPECT_EQ(Calls(renderer.calls.begin(), renderer.calls.begin() + 3),
            (Calls{"transform 256", "declaration", "stream source dynamic 64 3"}));
  EXPECT_EQ(Count(log, "Bone Index Out Of Range"), 1);
  pass.RenderBlendedMesh(mesh);
  EXPECT_EQ(Count(log, "Bone Index Out Of Range"), 1);
}

// A scene with a camera that sees every mesh and every distant light.
class GenericSceneTest : public GenericPassTest {
 protected:
  GenericSceneTest() { AddCamera(); }
  void AddCamera() {
    camera = new CCamera(&renderer, &log, scene);
    scene->AppendWorldObject(camera);
  }
  // Starts over with an empty scene and its camera.
  void NewScene() {
    scene->Release();
    scene = new PassesTestScene(&renderer, &log);
    AddCamera();
  }
  CLight* AddLight() {
    auto* light = new CLight(nullptr, &log, scene);
    scene->AppendWorldObject(light);
    return light;
  }
  CCamera* camera;
};

TEST_F(GenericSceneTest, WithoutAnActiveCameraNothingIsDrawnAndThatIsLoggedOnce) {
  AddSurface(AddMesh("box"));
  EXPECT_EQ(pass.RenderScene(scene), 0u);
  EXPECT_EQ(pass.RenderScene(scene), 0u);
  EXPECT_TRUE(renderer.calls.empty());
  EXPECT_EQ(Count(log, "No Active Camera"), 1);
}

TEST_F(GenericSceneTest, NineLightsEnableTheFirstEightAndAmbientIsScaled) {
  for (int i = 0; i < 9; ++i) AddLight()->GetD3DLightProperties()->Range = float(i);
  *scene->GetColor() = {200, 100, 11, 0};
  scene->GetAmbLightIntensityEnvelope()->SetValue(0.5f);
  scene->SetActiveCamera(0);
  renderer.calls.clear();
  EXPECT_EQ(pass.RenderScene(scene), 1u);
  Calls enabled;
  for (const std::string& call : renderer.Only("light enable")) enabled.push_back(call);
  Calls expected;
  for (int i = 0; i < 8; ++i) expected.push_back("light enable " + std::to_string(i) + "=1");
  EXPECT_EQ(enabled, expected);
  ASSERT_EQ(renderer.lights.size(), 8u);
  EXPECT_EQ(renderer.calls[0], "defaults");
  EXPECT_EQ(renderer.calls[1], St(D3DRS_LIGHTING, 1));
  EXPECT_NE(std::find(renderer.calls.begin(), renderer.calls.end(),
                      St(D3DRS_AMBIENT, (100u << 16) + (50u << 8) + 5u)),
            renderer.calls.end());
}

TEST_F(GenericSceneTest, OnlyLinearFogIsSwitchedOnAndWithItsMode) {
  scene->SetActiveCamera(0);
  scene->SetFogType(2);
  pass.RenderScene(scene);
  const std::string fog = "state " + std::to_string(D3DRS_FOGENABLE) + "=";
  EXPECT_EQ(renderer.Only(fog), (Calls{St(D3DRS_FOGENABLE, 0)}));
  renderer.calls.clear();
  scene->SetFogType(3);
  pass.RenderScene(scene);
  const float start = scene->GetMinimumFogDistance(), end = scene->GetMaximumFogDistance();
  DWORD startBits, endBits;
  std::memcpy(&startBits, &start, 4);
  std::memcpy(&endBits, &end, 4);
  const Calls expected = {St(D3DRS_FOGENABLE, 1), St(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR),
                          St(D3DRS_FOGSTART, startBits), St(D3DRS_FOGEND, endBits),
                          St(D3DRS_FOGCOLOR, scene->GetFogColor())};
  EXPECT_NE(std::search(renderer.calls.begin(), renderer.calls.end(), expected.begin(),
                        expected.end()),
            renderer.calls.end());
}

TEST_F(GenericSceneTest, BlendingModeAndDissolveDecideWhichPassesDrawAMesh) {
  struct Case {
    const char* what;
    UINT mode;
    float dissolve;
    int opaqueDraws, blendedDraws;
  } cases[] = {{"mode 0", 0, 0.0f, 1, 0},
               {"mode 1", 1, 0.0f, 0, 1},
               {"mode 2", 2, 0.0f, 1, 1},
               {"mode 0 dissolving", 0, 0.25f, 0, 1}};
  for (const Case& c : cases) {
    NewScene();
    CMesh* mesh = AddMesh(c.what);
    mesh->SetIsBlended(c.mode);
    mesh->GetDissolveEnvelope()->SetValue(c.dissolve);
    AddSurface(mesh);           // opaque surface: one triangle pair
    WORD three[3] = {0, 1, 2};  // blended surface: one triangle
    AddSurface(mesh, 0.0f, 0x1)->SetIndices(3, three);
    scene->SetActiveCamera(0);
    renderer.calls.clear();
    pass.RenderScene(scene);
    EXPECT_EQ(std::count(renderer.calls.begin(), renderer.calls.end(), "draw 2"), c.opaqueDraws)
        << c.what;
    EXPECT_EQ(std::count(renderer.calls.begin(), renderer.calls.end(), "draw 1"), c.blendedDraws)
        << c.what;
    // Blended meshes come after the blend states, which come after the view and projection.
    const Calls blend = {St(D3DRS_ALPHABLENDENABLE, 1), St(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA),
                         St(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA), St(D3DRS_ZWRITEENABLE, 0)};
    auto at = std::search(renderer.calls.begin(), renderer.calls.end(), blend.begin(), blend.end());
    ASSERT_NE(at, renderer.calls.end()) << c.what;
    EXPECT_EQ(*(at - 2), "transform 2");
    EXPECT_EQ(*(at - 1), "transform 3");
    EXPECT_EQ(std::count(at, renderer.calls.end(), "draw 2"), 0) << c.what;
    const Calls final = {St(D3DRS_LIGHTING, 0), St(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA),
                         St(D3DRS_DESTBLEND, D3DBLEND_ONE), St(D3DRS_ZWRITEENABLE, 1),
                         St(D3DRS_ALPHABLENDENABLE, 0), St(D3DRS_ZFUNC, D3DCMP_LESSEQUAL),
                         St(D3DRS_STENCILENABLE, 0)};
    EXPECT_EQ(Calls(renderer.calls.end() - 7, renderer.calls.end()), final) << c.what;
  }
}

}  // namespace
