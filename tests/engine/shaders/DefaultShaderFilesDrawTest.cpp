// The default shader files drawing scenes in rendering profiles 1 and 2 (per-vertex set), 10 and
// 11 (shadow-volume set) and 13 (the shadow-map set the build writes) on the GL back end,
// offscreen at 128 x 128, read from the packed shader archive as the game mounts it (and once
// loose, from the folder a developer's override.zk names), and read back at probes.
#include <gtest/gtest.h>
#include <stb_image.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "GenericPassScene.h"
#include "EdgedFaces.h"
#include "EngineContextScope.h"
#include "RecordingEngineLog.h"
#include "TempDir.h"
#include "WorkingFolderScope.h"
#include "core/SettingEntry.h"
#include "core/Settings.h"
#include "files/ZKReader.h"
#include "files/ZKSSceneFileReader.h"
#include "ZKDXGlobals.h"
#include "startup/EngineStartup.h"
#include "startup/ZeKorbD3D.h"
#include "ImageWriter.h"
#include "RecordingAllocator.h"
#include "shaders/PerPixelPass.h"
#include "shaders/PerVertexPass.h"
#include "shaders/ShaderLibrary.h"
#include "spatial/CollisionManager.h"
#include "spatial/LightSpatialServices.h"
#include "spatial/MeshSpatialServices.h"
#include "vfs/VirtualFileSystem.h"

namespace {

// The side of the square back buffer every scene here is drawn on.
constexpr UINT kSide = 128;

D3DCOLOR Pixel(const std::vector<D3DCOLOR>& pixels, UINT x, UINT y) {
  return CD3DTestDevice::At(pixels, x, y, kSide);
}

int Red(D3DCOLOR colour) { return int((colour >> 16) & 0xFF); }
int Green(D3DCOLOR colour) { return int((colour >> 8) & 0xFF); }
int Blue(D3DCOLOR colour) { return int(colour & 0xFF); }
int Brightness(D3DCOLOR colour) { return Red(colour) + Green(colour) + Blue(colour); }

// A volume every camera sees, with the corners of the box from `low` to `high`.
class CornerVolume final : public FakeMeshBoundVolume {
 public:
  CornerVolume(const CVector3& low, const CVector3& high) {
    for (int c = 0; c < 8; ++c)
      corners[c] = CVector4((c & 1) ? high.x : low.x, (c & 2) ? high.y : low.y,
                            (c & 4) ? high.z : low.z, 1.0f);
  }
  CVector4* GetPoints() override { return corners; }
  CVector4 corners[8];
};

// A bone that stays where it rests, unscaled.
void StillBone(CBone& bone) {
  GenericPassScene::UnitScale(bone.GetMotion());
  bone.Evaluate(0.0f);
}

struct Profile {
  UINT lightingModel;
  UINT profile;
  // Files read loose from the folder a developer's override.zk names, not from the archive.
  bool loose = false;
};

void PrintTo(const Profile& p, std::ostream* out) {
  *out << "profile " << p.profile << (p.loose ? " loose" : "");
}

// For a loose run: a developer's override.zk naming the loose shader folder, read and applied to
// the descriptor as pre-initialisation does, before the renderer makes its banks (which take
// their folder from it). Nothing for a run from the packed archive.
class LooseShaderSettings {
 public:
  explicit LooseShaderSettings(bool loose) : m_loose(loose) {
    if (!loose) return;
    m_overrideFolder.Write("override.zk",
                           std::string("shaders_directory = \"") + ZK_DEFAULT_SHADERS_DIR + "\"\n");
    m_settings.LoadOverrideFile(m_overrideFolder.Path().c_str(), &m_log);
    m_context->pSettings = &m_settings;
    m_context->pDescriptor = &m_descriptor;
    CEngineStartup(GetEngineContext()).ApplyDescriptorSettings();
  }
  ~LooseShaderSettings() {
    if (m_loose) delete[] m_context->szShadersDirectory;
  }
  LooseShaderSettings(const LooseShaderSettings&) = delete;
  LooseShaderSettings& operator=(const LooseShaderSettings&) = delete;

  // The folder the library reads shader files from, as start-up hands it over.
  const char* Folder() const {
    return m_loose ? m_descriptor.szShadersDirectory : "no-loose-shaders";
  }

 private:
  EngineContextScope m_context;
  bool m_loose;
  TempDir m_overrideFolder;
  CRecordingEngineLog m_log;
  CSettings m_settings;
  ApplicationDescriptor m_descriptor{};
};

class DefaultShaderFilesDrawTest : public ::testing::TestWithParam<Profile> {
 protected:
  DefaultShaderFilesDrawTest() {
    CEngineContext& context = *GetEngineContext();
    context.pVirtualFileSystem = &vfs;
    if (!GetParam().loose) {
      EXPECT_NE(vfs.AddVirtualDisk(ZK_SHADER_ARCHIVE, 1, 0, 0, nullptr), VFS_NOT_FOUND);
    }
    mountLog = world.banks.bench.Errors();  // the mount logs its member count at this level
    library = std::make_unique<CShaderLibrary>(&world.banks.Renderer(), &world.banks.bench.log,
                                               ZK_SCHEME_RADEON9700, 0, looseSettings.Folder());
    context.ports.meshShaders.Set(library.get());
    context.ports.surfaceShaders.Set(library.get());
    context.ports.sceneShaders.Set(library.get());
    context.ports.lightSpatial.Set(&lightVolumes);
    world.scene->SetLightingModel(GetParam().lightingModel);
    world.scene->SetShadowMode(GetParam().profile);
  }
  ~DefaultShaderFilesDrawTest() override {
    CEngineContext& context = *GetEngineContext();
    context.ports.meshShaders.Reset();
    context.ports.surfaceShaders.Reset();
    context.ports.sceneShaders.Reset();
  }

  void Shade(CMesh* mesh) {
    ASSERT_EQ(library->ApplyDefaultShaderForMesh(mesh), 1u) << world.banks.bench.Errors();
    EXPECT_EQ(std::string(mesh->GetShaderFileName()).rfind(Folder(), 0), 0u)
        << mesh->GetShaderFileName();
    if (GetParam().loose) {
      const std::string path =
          std::string(ZK_DEFAULT_SHADERS_DIR) + "\\" + mesh->GetShaderFileName();
      EXPECT_NE(world.banks.bench.log.TextAt(CEngineLog::kLevelInfo).find(path), std::string::npos)
          << "not read from " << path;
    }
    auto* surface = dynamic_cast<CSurface*>(mesh->GetSurface(0));
    ASSERT_EQ(library->ApplyDefaultShaderForSurface(surface), 1u) << world.banks.bench.Errors();
    // As loading does: the buffers laid out for the declarations of the mesh's shader.
    mesh->CreateVertexBuffers();
  }

  std::string Folder() const {
    switch (GetParam().lightingModel) {
      case 1: return "PerVertex\\";
      case 2: return "ShadowVolume\\";
      default: return "ShadowMap\\";
    }
  }

  // A box whose half on the +x side of `centre` hangs on bone 1 and the rest on bone 0, both
  // resting where they stand.
  CMesh* AddSkinnedStrip(const char* name, const CVector3& centre, float half) {
    CMesh* strip = world.AddBox(name, centre, half, world.SolidTexture("red", 0xFFFF0000));
    CBone* bones = strip->CreateBones(2);
    EXPECT_NE(bones, nullptr);
    if (bones == nullptr) return strip;
    StillBone(bones[0]);
    StillBone(bones[1]);
    Vertex* vertices = strip->GetVertices();
    for (UINT i = 0; i < strip->GetNumberOfVertices(); ++i) {
      Vertex& v = vertices[i];
      v.wBonesIndices[0] = v.vecPosition.x > centre.x ? 1 : 0;
      v.fWeights[0] = 1.0f;
    }
    return strip;
  }
  // Bone 1 resting `up` lower than it stands: its vertices are carried `up` higher.
  static void RaiseEnd(CMesh* strip, float up) {
    CBone& end = strip->GetBones()[1];
    end.SetRestPosition(CVector3(0.0f, -up, 0.0f));
    end.Evaluate(0.0f);
  }

  // A white box with a normal map of one colour, each face's tangent and binormal the
  // directions its u and v grow in.
  CMesh* AddNormalMappedBox(const char* name, const CVector3& centre, float half, D3DCOLOR normal) {
    CMesh* box = world.AddBox(name, centre, half, world.SolidTexture("white", 0xFFFFFFFF));
    Vertex* vertices = box->GetVertices();
    for (UINT i = 0; i < box->GetNumberOfVertices(); i += 4) {
      const CVector3 u = vertices[i + 3].vecPosition - vertices[i].vecPosition;
      const CVector3 v = vertices[i].vecPosition - vertices[i + 1].vecPosition;
      for (UINT k = 0; k < 4; ++k) {
        vertices[i + k].vecTangent = u * (0.5f / half);
        vertices[i + k].vecBiNormal = v * (0.5f / half);
      }
    }
    auto* surface = dynamic_cast<CSurface*>(box->GetSurface(0));
    CTextureInterface* map = world.SolidTexture((std::string(name) + " map").c_str(), normal);
    if (auto* counted = dynamic_cast<CSurfaceTextureImage*>(map)) counted->AddReference();
    surface->NewTextureRecord(CSurface::SLOT_NORMAL)->pTextureImage = map;
    return box;
  }

  void PointLightAt(const CVector3& position) {
    CLight& lamp = *world.light;
    lamp.SetType(LIGHT_POINT);
    lamp.SetPosition(position);
    lamp.GetRangeEnvelope(0)->SetValue(30.0f);
    lamp.FinishLoaded();
    lamp.PrepareMatrices(0.0f);
    lamp.UpdateHierarchy(0.0f);
    D3DLIGHT9& record = *lamp.GetD3DLightProperties();
    record.Attenuation0 = 1.0f;
    record.Attenuation1 = 0.0f;
    record.Attenuation2 = 0.0f;
  }

  std::vector<D3DCOLOR> Draw(CScene* scene = nullptr) {
    if (scene == nullptr) scene = world.scene;
    CD3D9Renderer& renderer = world.banks.Renderer();
    renderer.Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL | ZK_CLEAR_NO_FRAME_LIMIT,
                   0x000000FF);
    renderer.BeginRendering();
    scene->SetActiveCamera(0);
    const UINT profile = GetParam().profile;
    EXPECT_EQ(profile < 10 ? perVertex.Render(scene, profile) : perPixel.Render(scene, profile),
              1u);
    renderer.EndRendering();
    EXPECT_EQ(world.banks.bench.Errors(), mountLog);
    return world.banks.bench.device.ReadBackBuffer();
  }

  void WallBesideAPointLight(const CVector3& light, float linear);

  LooseShaderSettings looseSettings{GetParam().loose};
  GenericPassScene world{ZK_D3D_BACKEND_GL, kSide, kSide};
  std::unique_ptr<CornerVolume> wallVolume;
  CLightSpatialServices lightVolumes{&world.banks.bench.log};
  CRecordingAllocator allocator;
  CVirtualFileSystem vfs{&world.banks.bench.log, &allocator, nullptr};
  std::string mountLog;
  std::unique_ptr<CShaderLibrary> library;
  CPerVertexPass perVertex{&world.banks.Renderer(), library.get(), &world.banks.bench.log};
  CPerPixelPass perPixel{&world.banks.Renderer(), library.get(), &world.banks.bench.log};
};

TEST_P(DefaultShaderFilesDrawTest, ATexturedCubeShowsItsTextureLitByAmbientAndTheLight) {
  world.light->GetD3DLightProperties()->Diffuse = {0.5f, 0.5f, 0.5f, 1.0f};
  Shade(world.AddBox("cube", CVector3(0.0f, 0.0f, 5.0f), 0.5f,
                     world.SolidTexture("red", 0xFFFF0000)));
  const std::vector<D3DCOLOR> pixels = Draw();
  ASSERT_FALSE(pixels.empty());
  const D3DCOLOR cube = Pixel(pixels, 64, 64);
  // Ambient 0x40 and half the light on the face turned to it.
  EXPECT_GT(Red(cube), 160) << std::hex << cube;
  EXPECT_LT(Red(cube), 220) << std::hex << cube;
  EXPECT_LT(Green(cube), 24) << std::hex << cube;
  EXPECT_LT(Blue(cube), 24) << std::hex << cube;
  EXPECT_EQ(Pixel(pixels, 4, 4) & 0xFFFFFF, 0x0000FFu) << "background";
}

// A wall of one quad a side in front of a point light; the light's place and strength differ.
void DefaultShaderFilesDrawTest::WallBesideAPointLight(const CVector3& light, float linear) {
  PointLightAt(light);
  world.light->GetD3DLightProperties()->Attenuation1 = linear;
  world.scene->SetAmbientColor(0x101010);
  wallVolume = std::make_unique<CornerVolume>(CVector3(-2.0f, -2.0f, 8.0f), CVector3(2.0f, 2.0f, 12.0f));
  world.spatial.boundVolume = wallVolume.get();
  Shade(world.AddBox("wall", CVector3(0.0f, 0.0f, 10.0f), 2.0f, nullptr));
}

using PerVertexFilesDrawTest = DefaultShaderFilesDrawTest;

TEST_P(PerVertexFilesDrawTest, AWallIsBrighterNearAPointLight) {
  // Off to the left in front of the wall, which is lit at its corners: the light falls off
  // across it from left to right.
  WallBesideAPointLight(CVector3(-4.0f, 0.0f, 6.0f), 0.0f);
  const std::vector<D3DCOLOR> pixels = Draw();
  ASSERT_FALSE(pixels.empty());
  const int nearLight = Brightness(Pixel(pixels, 42, 64));
  const int farFromIt = Brightness(Pixel(pixels, 86, 64));
  EXPECT_GT(nearLight, farFromIt + 20) << nearLight << " vs " << farFromIt;
}

// Lighting a quad only at its corners cannot show this: the per-pixel sets alone.
using PerPixelFilesDrawTest = DefaultShaderFilesDrawTest;

TEST_P(PerPixelFilesDrawTest, AWallIsBrighterNearAPointLight) {
  // Close to the wall's left half: only lighting computed per pixel peaks and falls off across
  // one quad.
  WallBesideAPointLight(CVector3(-1.5f, 0.0f, 7.0f), 0.5f);
  const std::vector<D3DCOLOR> pixels = Draw();
  ASSERT_FALSE(pixels.empty());
  const int nearLight = Brightness(Pixel(pixels, 48, 64));
  const int middle = Brightness(Pixel(pixels, 64, 64));
  const int farFromIt = Brightness(Pixel(pixels, 80, 64));
  EXPECT_GT(nearLight, middle + 10) << nearLight << " vs " << middle;
  EXPECT_GT(middle, farFromIt + 10) << middle << " vs " << farFromIt;
}

TEST_P(DefaultShaderFilesDrawTest, AWallShowsThroughATransparentBox) {
  world.scene->SetAmbientColor(0xFFFFFF);
  world.light->GetD3DLightProperties()->Diffuse = {0.0f, 0.0f, 0.0f, 1.0f};
  Shade(world.AddBox("wall", CVector3(0.0f, 0.0f, 10.0f), 2.0f,
                     world.SolidTexture("green", 0xFF00FF00)));
  // Half transparent by its material.
  Shade(world.AddBox("glass", CVector3(0.0f, 0.0f, 5.0f), 0.5f,
                     world.SolidTexture("red", 0xFFFF0000), 0.5f));
  const std::vector<D3DCOLOR> pixels = Draw();
  ASSERT_FALSE(pixels.empty());
  const D3DCOLOR through = Pixel(pixels, 64, 64);
  const D3DCOLOR wall = Pixel(pixels, 16, 64);
  EXPECT_GT(Green(wall), 240) << std::hex << wall;
  EXPECT_LT(Red(wall), 16) << std::hex << wall;
  // Red added over the green wall, which still shows.
  EXPECT_GT(Red(through), 100) << std::hex << through;
  EXPECT_GT(Green(through), 100) << std::hex << through;
}

TEST_P(DefaultShaderFilesDrawTest, ALuminousBoxShowsItsTextureWhateverTheLightAndAmbient) {
  CMesh* box = world.AddBox("lamp shade", CVector3(0.0f, 0.0f, 5.0f), 0.5f,
                            world.SolidTexture("orange", 0xFFEC7014));
  D3DCOLORVALUE diffuse = {1, 1, 1, 1}, specular = {0, 0, 0, 0}, emissive = {1, 1, 1, 1};
  CVector4 first(1.0f, 0.0f, 0.0f, 0.0f), luminous(0.0f, 0.0f, 0.0f, 1.0f);
  dynamic_cast<CSurface*>(box->GetSurface(0))
      ->CreateMaterial(&diffuse, &specular, &emissive, &first, &luminous, 0);
  Shade(box);
  // Too little light to show the texture whole, and more than enough: neither changes it.
  const struct {
    DWORD ambient;
    float light;
  } cases[] = {{0x000000, 0.5f}, {0xFFFFFF, 1.0f}};
  for (const auto& c : cases) {
    world.scene->SetAmbientColor(c.ambient);
    world.light->GetD3DLightProperties()->Diffuse = {c.light, c.light, c.light, 1.0f};
    const std::vector<D3DCOLOR> pixels = Draw();
    ASSERT_FALSE(pixels.empty());
    const D3DCOLOR face = Pixel(pixels, 64, 64);
    EXPECT_NEAR(Red(face), 0xEC, 4) << std::hex << face << " light " << c.light;
    EXPECT_NEAR(Green(face), 0x70, 4) << std::hex << face << " light " << c.light;
    EXPECT_NEAR(Blue(face), 0x14, 4) << std::hex << face << " light " << c.light;
  }
}

// The first row from the top where column x is not the background.
int TopRow(const std::vector<D3DCOLOR>& pixels, int x) {
  const int height = static_cast<int>(kSide);
  for (int y = 0; y < height; ++y)
    if ((Pixel(pixels, x, y) & 0xFFFFFF) != 0x0000FF) return y;
  return height;
}

TEST_P(DefaultShaderFilesDrawTest, TheEndOfASkinnedStripFollowsItsBone) {
  CMesh* strip = AddSkinnedStrip("strip", CVector3(0.0f, 0.0f, 8.0f), 1.0f);
  Shade(strip);
  const std::string skinned = GetParam().lightingModel == 1 ? "mesh_bones_nomorph.ssh"
                                                            : "NoNormalMap\\mesh_bones_nomorph.ssh";
  ASSERT_EQ(strip->GetShaderFileName(), Folder() + skinned);
  const std::vector<D3DCOLOR> resting = Draw();
  ASSERT_FALSE(resting.empty());
  // Columns near the two ends: the faces span the strip, so its middle bends with it.
  const int left = 64 - 28, right = 64 + 28;
  EXPECT_NEAR(TopRow(resting, left), TopRow(resting, right), 2);
  EXPECT_LT(TopRow(resting, left), 64);

  RaiseEnd(strip, 0.5f);
  const std::vector<D3DCOLOR> raised = Draw();
  EXPECT_NEAR(TopRow(raised, left), TopRow(resting, left), 2);
  EXPECT_LT(TopRow(raised, right), TopRow(resting, right) - 8);
}

// The normal map turns the wall's normal: flat, it faces the light as the wall does; bent along
// its tangent, it faces across the light and the wall takes the ambient only.
TEST_P(PerPixelFilesDrawTest, ANormalMapTurnsTheLitNormal) {
  world.scene->SetAmbientColor(0x202020);
  // A wall of each, the flat one on the left.
  for (const bool flat : {true, false}) {
    CMesh* wall = AddNormalMappedBox(flat ? "flat" : "bent", CVector3(flat ? -1.1f : 1.1f, 0.0f, 8.0f),
                                     1.0f, flat ? 0xFF8080FF : 0xFFFF8080);
    Shade(wall);
    EXPECT_EQ(std::string(wall->GetShaderFileName()),
              Folder() + "NormalMap\\NoHeightMap\\mesh_nobones_nomorph.ssh");
  }
  const std::vector<D3DCOLOR> pixels = Draw();
  ASSERT_FALSE(pixels.empty());
  const int flat = Brightness(Pixel(pixels, 40, 64));
  const int bent = Brightness(Pixel(pixels, 88, 64));
  EXPECT_GT(flat, 700) << flat;
  EXPECT_LT(bent, 150) << bent;
}

// Compares a picture with its golden, or writes it there when ZK_WRITE_GOLDENS names a folder.
void ExpectGolden(const std::vector<D3DCOLOR>& pixels, const std::string& name) {
  RgbaImage picture;
  picture.width = kSide;
  picture.height = kSide;
  for (D3DCOLOR colour : pixels)
    picture.rgba.insert(picture.rgba.end(), {static_cast<uint8_t>(Red(colour)),
                                             static_cast<uint8_t>(Green(colour)),
                                             static_cast<uint8_t>(Blue(colour)), 255});
  if (const char* folder = std::getenv("ZK_WRITE_GOLDENS")) {
    std::ofstream out(std::string(folder) + "/" + name, std::ios::binary | std::ios::trunc);
    out << EncodePng(picture);
    ASSERT_TRUE(out.good()) << folder << "/" << name;
    return;
  }
  const std::string golden = std::string(ZK_SHADER_GOLDENS) + "/" + name;
  int width = 0, height = 0, channels = 0;
  std::unique_ptr<stbi_uc, void (*)(void*)> expected(
      stbi_load(golden.c_str(), &width, &height, &channels, 4), stbi_image_free);
  ASSERT_TRUE(expected) << "no golden " << golden;
  ASSERT_EQ(width, int(picture.width));
  ASSERT_EQ(height, int(picture.height));
  // Rasterisers may round an edge differently: a few pixels may differ, none by much overall.
  size_t differing = 0;
  for (size_t i = 0; i < picture.rgba.size(); i += 4)
    for (size_t c = 0; c < 3; ++c)
      if (std::abs(int(picture.rgba[i + c]) - int(expected.get()[i + c])) > 12) {
        ++differing;
        break;
      }
  EXPECT_LE(differing, pixels.size() / 100) << name;
}

// Real bound volumes and shadow-volume geometry, so that closed meshes cast shadows and the
// lights find them.
class ShadowDrawTest : public DefaultShaderFilesDrawTest {
 protected:
  ShadowDrawTest() {
    GetEngineContext()->ports.meshSpatial.Set(&meshSpatial);
    // Looking down at the floor from above and behind, far enough for the sun's volumes.
    CVector3 eye(0.0f, 4.0f, 3.0f), target(0.0f, -1.0f, 9.0f);
    world.camera->LookAt(&eye, &target, 0.0f);
    world.camera->CalculateProjectionMatrix(0.5f, 1000.0f, 1.0f);
  }

  // A closed box of eight shared corners, so its edges make a shadow volume; clockwise faces.
  CMesh* AddCaster(const char* name, const CVector3& centre, float half) {
    auto* mesh = new CMesh(&world.banks.Renderer(), &world.banks.bench.log, world.scene, 0);
    mesh->SetName(name);
    world.scene->AppendWorldObject(mesh);
    std::vector<Vertex> vertices(8);
    for (UINT i = 0; i < 8; ++i) {
      Vertex& v = vertices[i];
      v = {};
      v.vecPosition = centre + CVector3((i & 1) ? half : -half, (i & 2) ? half : -half,
                                        (i & 4) ? half : -half);
      v.vecNormal = (v.vecPosition - centre) * (1.0f / half);
      for (WORD& bone : v.wBonesIndices) bone = 0xFFFF;
    }
    const std::vector<Triangle> triangles = {{0, 2, 3}, {0, 3, 1}, {4, 5, 7}, {4, 7, 6},
                                             {0, 4, 6}, {0, 6, 2}, {1, 3, 7}, {1, 7, 5},
                                             {2, 6, 7}, {2, 7, 3}, {0, 1, 5}, {0, 5, 4}};
    std::vector<WORD> indices;
    for (const Triangle& triangle : triangles)
      indices.insert(indices.end(), triangle.begin(), triangle.end());
    EdgedFaces built = FacesWithEdges(triangles, &world.banks.bench.log);
    EXPECT_EQ(built.built, 1u);
    for (Face& face : built.faces) {
      const CVector3& a = vertices[face.wIndex1].vecPosition;
      const CVector3 u = vertices[face.wIndex2].vecPosition - a;
      const CVector3 w = vertices[face.wIndex3].vecPosition - a;
      CVector3 normal(u.y * w.z - u.z * w.y, u.z * w.x - u.x * w.z, u.x * w.y - u.y * w.x);
      face.vecNormal = normal * (1.0f / std::sqrt(normal.x * normal.x + normal.y * normal.y +
                                                  normal.z * normal.z));
    }
    mesh->SetVertices(8, vertices.data(), 1);
    mesh->SetFaces(12, built.faces.data());
    mesh->SetFlags(mesh->GetFlags() | CMesh::kFlagCastsShadow);
    mesh->PrepareShadowVolume(built.edges.get(), built.edgeCount);
    GenericPassScene::UnitScale(mesh->GetFirstMotion());
    mesh->PrepareMatrices(0.0f);
    auto* surface = dynamic_cast<CSurface*>(mesh->CreateSurface());
    surface->SetIndices(static_cast<UINT>(indices.size()), indices.data());
    D3DCOLORVALUE diffuse = {1, 1, 1, 1}, specular = {0, 0, 0, 0}, emissive = {0, 0, 0, 0};
    CVector4 first(1.0f, 0.0f, 0.0f, 0.0f), second;
    surface->CreateMaterial(&diffuse, &specular, &emissive, &first, &second, 0);
    surface->SetSurfaceParameter(1.0f);
    mesh->RebuildBoundVolume();
    return mesh;
  }

  // The sun shining down and to the right, a floor, and a cube on it whose shadow falls to its
  // right.
  void FloorAndCubeInTheSun() {
    CLight& sun = *world.light;
    sun.SetType(LIGHT_DISTANT);
    sun.SetRotation(CVector3(0.6f, 1.0f, 0.0f));
    sun.PrepareMatrices(0.0f);
    sun.UpdateHierarchy(0.0f);
    CVector3 direction;
    sun.GetDirection(&direction);
    ASSERT_LT(direction.y, -0.5f) << direction.x << " " << direction.y << " " << direction.z;
    ASSERT_GT(direction.x, 0.1f) << direction.x << " " << direction.y << " " << direction.z;
    // The record the volumes read, as a loaded light's update leaves it.
    sun.GetD3DLightProperties()->Direction = {direction.x, direction.y, direction.z};
    world.scene->SetAmbientColor(0x202020);
    CMesh* floor = world.AddBox("floor", CVector3(0.0f, -4.0f, 9.0f), 3.0f,
                                world.SolidTexture("white", 0xFFFFFFFF));
    floor->RebuildBoundVolume();
    Shade(floor);
    CMesh* cube = AddCaster("cube", CVector3(-0.5f, -0.5f, 9.0f), 0.5f);
    ASSERT_EQ(cube->GetCanCastShadowVolume(), 1u) << world.banks.bench.Errors();
    Shade(cube);
  }

  CCollisionManager collisions{&world.banks.Renderer(), &world.banks.bench.log};
  CMeshSpatialServices meshSpatial{&world.banks.bench.log, &collisions};
};

TEST_P(ShadowDrawTest, ACubeShadowsTheFloorInTheShadowProfilesOnly) {
  ASSERT_NO_FATAL_FAILURE(FloorAndCubeInTheSun());
  const std::vector<D3DCOLOR> pixels = Draw();
  ASSERT_FALSE(pixels.empty());
  // Floor to the cube's right, where its shadow falls, and floor further right in the sun.
  const int shadowed = Brightness(Pixel(pixels, 68, 56));
  const int sunny = Brightness(Pixel(pixels, 100, 56));
  const bool shadows = GetParam().profile == 2 || GetParam().profile == 11;
  EXPECT_GT(sunny, 400);
  if (shadows)
    EXPECT_LT(shadowed * 2, sunny) << shadowed << " vs " << sunny;
  else
    EXPECT_GT(shadowed * 10, sunny * 9) << shadowed << " vs " << sunny;
}

// The whole test scene, each profile against its golden picture; the loose run against the same
// golden as the packed one. The goldens are made by hand and checked by eye (an absolute folder:
// the loading test works in a folder of its own):
// ZK_WRITE_GOLDENS=$PWD/tests/engine/shaders/goldens build/tests/engine_shaders_tests
// --gtest_filter='*Golden*:-*Loose' writes them instead of comparing.
TEST_P(ShadowDrawTest, TheTestSceneMatchesItsGolden) {
  ASSERT_NO_FATAL_FAILURE(FloorAndCubeInTheSun());
  Shade(world.AddBox("glass", CVector3(1.4f, -0.6f, 8.0f), 0.4f,
                     world.SolidTexture("red", 0xFFFF0000), 0.5f));
  CMesh* strip = AddSkinnedStrip("strip", CVector3(-1.8f, -0.7f, 10.5f), 0.3f);
  Shade(strip);
  RaiseEnd(strip, 0.3f);
  Shade(AddNormalMappedBox("relief", CVector3(1.8f, -0.5f, 11.0f), 0.5f, 0xFFC080E0));
  auto* lamp = new CLight(&world.banks.Renderer(), &world.banks.bench.log, world.scene);
  world.scene->AppendWorldObject(lamp);
  lamp->SetType(LIGHT_POINT);
  lamp->SetPosition(CVector3(1.0f, 0.5f, 9.5f));
  lamp->GetRangeEnvelope(0)->SetValue(30.0f);
  lamp->FinishLoaded();
  lamp->PrepareMatrices(0.0f);
  lamp->UpdateHierarchy(0.0f);
  D3DLIGHT9& record = *lamp->GetD3DLightProperties();
  record.Diffuse = {0.6f, 0.5f, 0.2f, 1.0f};
  record.Attenuation0 = 0.5f;
  record.Attenuation1 = 0.3f;
  record.Attenuation2 = 0.0f;
  const std::vector<D3DCOLOR> pixels = Draw();
  ASSERT_EQ(pixels.size(), size_t{kSide} * kSide);

  ExpectGolden(pixels, "profile" + std::to_string(GetParam().profile) + ".png");
}

// The test scene written with the engine's own scene and object writers, its placements in
// motion keys and its textures in files, read back by LoadScene with default shaders (the
// lighting model a new scene starts with and the "shadows" setting pick the profile) and drawn
// against goldens of its own, made like the others.
TEST_P(ShadowDrawTest, TheWrittenTestSceneLoadsWithDefaultShadersAndMatchesItsGolden) {
  TempDir data;
  WorkingFolderScope inData{data.Path()};
  data.Write("textures/white.bmp", EncodeBmp(RgbaImage::Solid(4, 4, 255, 255, 255, 255)));
  data.Write("textures/red.bmp", EncodeBmp(RgbaImage::Solid(4, 4, 255, 0, 0, 255)));
  data.Write("textures/relief.bmp", EncodeBmp(RgbaImage::Solid(4, 4, 0xC0, 0x80, 0xE0, 255)));
  ASSERT_NO_FATAL_FAILURE(FloorAndCubeInTheSun());
  world.AddBox("glass", CVector3(1.4f, -0.6f, 8.0f), 0.4f, nullptr, 0.5f);
  CMesh* strip = AddSkinnedStrip("strip", CVector3(-1.8f, -0.7f, 10.5f), 0.3f);
  RaiseEnd(strip, 0.3f);
  strip->SetUseBones(1);  // the object file keeps the skeleton of a mesh that uses its bones
  AddNormalMappedBox("relief", CVector3(1.8f, -0.5f, 11.0f), 0.5f, 0xFFC080E0);
  const struct {
    const char* texture;
    const char* normalMap;
    float opacity;
  } looks[] = {{"white", nullptr, 1.0f}, {"white", nullptr, 1.0f}, {"red", nullptr, 0.5f},
               {"red", nullptr, 1.0f},   {"white", "relief", 1.0f}};
  ASSERT_EQ(world.scene->GetNumberOfMeshes(), std::size(looks));
  for (UINT i = 0; i < world.scene->GetNumberOfMeshes(); ++i) {
    auto* surface = dynamic_cast<CSurface*>(world.scene->GetMesh(i)->GetSurface(0));
    surface->SetTexture(CSurface::TEXTURE_COLOR0,
                        (data / "textures/" + looks[i].texture + ".bmp").c_str());
    if (looks[i].normalMap != nullptr)
      surface->SetTexture(CSurface::TEXTURE_NORMAL,
                          (data / "textures/" + looks[i].normalMap + ".bmp").c_str());
    float white[3] = {1, 1, 1};
    surface->SetColor(white);
    surface->SetMaterialValue(CSurface::CHANNEL_DIFFUSE, 1.0f);
    surface->SetMaterialValue(CSurface::CHANNEL_TRANSPARENCY, looks[i].opacity);
  }
  const auto key = [](CMotion* motion, UINT channel, float value) {
    motion->GetChannel(channel)->AddKeyData(value, 0.0f, 0, 0, 0, 0, 0, 0, 0, 0);
  };
  // The camera of the other scenes: from above and behind, looking down at the floor.
  CMotion* eye = world.camera->GetMotion(0.0f);
  GenericPassScene::UnitScale(eye);
  key(eye, MOTION_POSITION_Y, 4.0f);
  key(eye, MOTION_POSITION_Z, 3.0f);
  key(eye, MOTION_PITCH, std::atan2(5.0f, 6.0f));
  CMotion* sun = world.light->GetMotion(0.0f);
  GenericPassScene::UnitScale(sun);
  key(sun, MOTION_HEADING, 0.6f);
  key(sun, MOTION_PITCH, 1.0f);
  for (auto role : {CLight::ENVELOPE_RED, CLight::ENVELOPE_GREEN, CLight::ENVELOPE_BLUE})
    world.light->GetEnvelope(role)->SetValue(1.0f);
  // Dimmer than the built scene's sun, so that the floor keeps its shadows short of white.
  world.light->GetEnvelope(CLight::ENVELOPE_INTENSITY)->SetValue(0.6f);
  auto* lamp = new CLight(&world.banks.Renderer(), &world.banks.bench.log, world.scene);
  world.scene->AppendWorldObject(lamp);
  lamp->SetName("lamp");
  lamp->SetType(LIGHT_POINT);
  CMotion* place = lamp->GetMotion(0.0f);
  GenericPassScene::UnitScale(place);
  key(place, MOTION_POSITION_X, 1.0f);
  key(place, MOTION_POSITION_Y, 0.5f);
  key(place, MOTION_POSITION_Z, 9.5f);
  lamp->GetRangeEnvelope(0)->SetValue(30.0f);
  lamp->GetEnvelope(CLight::ENVELOPE_INTENSITY)->SetValue(0.3f);
  lamp->GetEnvelope(CLight::ENVELOPE_RED)->SetValue(0.6f);
  lamp->GetEnvelope(CLight::ENVELOPE_GREEN)->SetValue(0.5f);
  lamp->GetEnvelope(CLight::ENVELOPE_BLUE)->SetValue(0.2f);
  world.scene->SetName("room");
  world.scene->SetDirectory((data.Path() + "/").c_str());

  bool made = false;
  CZKReader files(&world.banks.Renderer(), &world.banks.bench.log, made);
  ASSERT_TRUE(made);
  CZKSSceneFileReader reader(&files);
  CEngineContext& context = *GetEngineContext();
  context.ports.sceneFiles.Set(&reader);
  context.pZKReader = &files;
  ASSERT_EQ(CZeKorbD3D::Instance()->SaveSceneToZKS(world.scene, 0), 1u) << world.banks.bench.Errors();
  // The profiles without shadows are those of a game that turns them off.
  CSettings settings;
  const UINT profile = GetParam().profile;
  if (profile == 1 || profile == 10 || profile == 13) settings.AddSetting("shadows")->SetInt(0);
  CSettings* const startingSettings = context.pSettings;
  context.pSettings = &settings;
  const WORD startingModel = context.wPresetValue;
  context.wPresetValue = static_cast<WORD>(GetParam().lightingModel);
  CSceneInterface* loaded = nullptr;
  CZeKorbD3D::Instance()->LoadScene(&loaded, "room", 1, 0, nullptr, nullptr, nullptr);
  context.wPresetValue = startingModel;
  context.pSettings = startingSettings;
  context.ports.sceneFiles.Reset();
  context.pZKReader = nullptr;
  ASSERT_NE(loaded, nullptr) << world.banks.bench.Errors();
  std::unique_ptr<CSceneInterface, void (*)(CSceneInterface*)> owned(
      loaded, [](CSceneInterface* scene) { scene->Release(); });
  auto* scene = dynamic_cast<CScene*>(loaded);
  ASSERT_NE(scene, nullptr);
  EXPECT_EQ(scene->GetShadowMode(), profile);
  ASSERT_EQ(scene->GetNumberOfMeshes(), std::size(looks));
  EXPECT_EQ(scene->GetMesh(3)->GetNumberOfBones(), 2u);
  // What the game's frame does before drawing: textures in, placements evaluated, the view's
  // projection made.
  world.banks.Renderer().GetTextureStorageInterface()->LoadAllTextures();
  scene->SetFrame(0.0f);
  scene->PrepareMatrices();
  scene->UpdateHierarchy();
  auto* camera = dynamic_cast<CCamera*>(scene->GetCamera(0));
  ASSERT_NE(camera, nullptr);
  camera->CalculateProjectionMatrix(0.5f, 1000.0f, 1.0f);
  ExpectGolden(Draw(scene), "loaded_profile" + std::to_string(profile) + ".png");
}

std::string ProfileName(const testing::TestParamInfo<Profile>& info) {
  return "Profile" + std::to_string(info.param.profile) + (info.param.loose ? "Loose" : "");
}

INSTANTIATE_TEST_SUITE_P(DefaultShaderSets, DefaultShaderFilesDrawTest,
                         testing::Values(Profile{1, 1}, Profile{2, 10}, Profile{3, 13}), ProfileName);
INSTANTIATE_TEST_SUITE_P(Profiles, ShadowDrawTest,
                         testing::Values(Profile{1, 1}, Profile{1, 2}, Profile{2, 10},
                                         Profile{2, 11}, Profile{3, 13}, Profile{2, 11, true}),
                         ProfileName);
INSTANTIATE_TEST_SUITE_P(PerVertexSet, PerVertexFilesDrawTest, testing::Values(Profile{1, 1}),
                         ProfileName);
INSTANTIATE_TEST_SUITE_P(PerPixelSets, PerPixelFilesDrawTest,
                         testing::Values(Profile{2, 10}, Profile{3, 13}), ProfileName);

}  // namespace
