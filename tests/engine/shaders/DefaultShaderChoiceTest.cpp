// The default shaders of meshes and surfaces described by their facts, per lighting model and
// with the settings absent, 0 and 1; and the profiles scenes get.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EngineContextScope.h"
#include "ZKDXGlobals.h"
#include "core/SettingEntry.h"
#include "core/Settings.h"
#include "shaders/DefaultShaderChoice.h"

namespace {

using Names = std::vector<std::string>;

TEST(DefaultShaderChoiceTest, SettingsCountOffOnlyWhenPresentWith0) {
  CSettings settings;
  EXPECT_FALSE(CDefaultShaderChoice::ReadSettings(&settings, ZK_SCHEME_GEFORCEFX).shadowsOff);
  settings.AddSetting("shadows")->SetInt(1);
  settings.AddSetting("reflections")->SetInt(0);
  const DefaultShaderSettings read = CDefaultShaderChoice::ReadSettings(&settings, ZK_SCHEME_GEFORCE2);
  EXPECT_FALSE(read.shadowsOff);
  EXPECT_TRUE(read.reflectionsOff);
  EXPECT_FALSE(read.refractionsOff);
  EXPECT_TRUE(read.geForce2);
  EXPECT_FALSE(CDefaultShaderChoice::ReadSettings(nullptr, ZK_SCHEME_GEFORCEFX).reflectionsOff);
}

TEST(DefaultShaderChoiceTest, SceneProfilesByLightingModelCastersAndShadows) {
  struct Case {
    UINT model;
    bool caster;
    bool shadowsOff;
    UINT profile;  // 0: refused
  };
  const Case cases[] = {
      {1, true, false, 2}, {1, true, true, 1},   {1, false, false, 1}, {2, true, false, 11},
      {2, false, false, 10}, {2, true, true, 10}, {3, true, false, 12}, {3, false, false, 13},
      {3, true, true, 13}, {0, true, false, 0},  {5, true, false, 0},
  };
  for (const Case& c : cases) {
    DefaultShaderSettings settings;
    settings.shadowsOff = c.shadowsOff;
    UINT profile = 77;
    const bool chosen = CDefaultShaderChoice::SceneProfile(c.model, c.caster, settings, &profile);
    EXPECT_EQ(chosen, c.profile != 0) << c.model;
    EXPECT_EQ(profile, c.profile != 0 ? c.profile : 77u) << c.model << " " << c.caster;
  }
}

MeshShaderFacts StaticTexturedMesh() {
  MeshShaderFacts facts;
  facts.opaque = facts.anyUV = facts.canCastShadowVolume = true;
  return facts;
}

TEST(DefaultShaderChoiceTest, MeshFilesAndParameters) {
  MeshShaderFacts rich = StaticTexturedMesh();
  rich.specular = rich.transparent = rich.twoUV = rich.plainReflection = rich.fresnel =
      rich.refraction = rich.cubeReflection = rich.planeReflection = true;
  MeshShaderFacts boned = StaticTexturedMesh();
  boned.bones = true;
  boned.allNormal = true;
  MeshShaderFacts bare;
  bare.opaque = true;
  DefaultShaderSettings off;
  off.reflectionsOff = off.refractionsOff = true;
  DefaultShaderSettings geForce2;
  geForce2.geForce2 = true;
  const DefaultShaderSettings on;
  struct Case {
    const char* what;
    UINT model;
    MeshShaderFacts facts;
    DefaultShaderSettings settings;
    std::string file;
    Names parameters;
  };
  const Case cases[] = {
      {"static textured", 1, StaticTexturedMesh(), on, "PerVertex\\mesh_nobones_nomorph.ssh",
       {"OPAQUE", "CANEXTRUDESV"}},
      {"rich", 1, rich, on, "PerVertex\\mesh_nobones_nomorph_2uv.ssh",
       {"SPECULAR", "OPAQUE", "TRANSPARENT", "REFLECTIONS", "TWOUVS"}},
      {"rich on GeForce2", 1, rich, geForce2, "PerVertex\\mesh_nobones_nomorph_2uv.ssh",
       {"SPECULAR", "OPAQUE", "TRANSPARENT", "TWOUVS"}},
      {"boned", 1, boned, on, "PerVertex\\mesh_bones_nomorph.ssh", {"OPAQUE", "CANEXTRUDESV"}},
      {"bare", 1, bare, on, "PerVertex\\mesh_nobones_nomorph.ssh", {"OPAQUE", "NOUVS"}},
      {"rich", 2, rich, on, "ShadowVolume\\NoNormalMap\\mesh_nobones_nomorph_2uv.ssh",
       {"SPECULAR", "OPAQUE", "FRESNEL", "TRANSPARENT", "REFRACTIONS", "GEN_CUBE_REFLECTIONS",
        "GEN_PLANE_REFLECTIONS", "REFLECTIONS_PLANE", "TWOUVS"}},
      {"rich, settings 0", 3, rich, off, "ShadowMap\\NoNormalMap\\mesh_nobones_nomorph_2uv.ssh",
       {"SPECULAR", "OPAQUE", "FRESNEL", "TRANSPARENT", "TWOUVS"}},
      {"rich on GeForce2", 2, rich, geForce2,
       "ShadowVolume\\NoNormalMap\\mesh_nobones_nomorph_2uv.ssh",
       {"SPECULAR", "OPAQUE", "FRESNEL", "TRANSPARENT", "REFRACTIONS", "GEN_CUBE_REFLECTIONS",
        "GEN_PLANE_REFLECTIONS", "REFLECTIONS_PLANE", "TWOUVS"}},
      {"boned", 2, boned, on, "ShadowVolume\\NormalMap\\NoHeightMap\\mesh_bones_nomorph.ssh",
       {"OPAQUE", "CANEXTRUDESV"}},
      {"static normal-mapped", 3, [] { auto f = StaticTexturedMesh(); f.allNormal = true; return f; }(),
       on, "ShadowMap\\NormalMap\\NoHeightMap\\mesh_nobones_nomorph.ssh", {"OPAQUE", "CANEXTRUDESV"}},
      {"boned without normals", 3, [] { auto f = StaticTexturedMesh(); f.bones = true; return f; }(),
       on, "ShadowMap\\NoNormalMap\\mesh_bones_nomorph.ssh", {"OPAQUE", "CANEXTRUDESV"}},
  };
  for (const Case& c : cases) {
    const DefaultShader chosen = CDefaultShaderChoice::ForMesh(c.model, c.facts, c.settings);
    EXPECT_EQ(chosen.file, c.file) << c.what << " model " << c.model;
    EXPECT_EQ(chosen.parameters, c.parameters) << c.what << " model " << c.model;
  }
}

TEST(DefaultShaderChoiceTest, AMorphingMeshGetsNoFileInAnyModel) {
  MeshShaderFacts morph = StaticTexturedMesh();
  morph.morph = true;
  for (UINT model : {1u, 2u, 3u})
    EXPECT_TRUE(CDefaultShaderChoice::ForMesh(model, morph, {}).file.empty()) << model;
}

TEST(DefaultShaderChoiceTest, SurfaceFilesAndParameters) {
  SurfaceShaderFacts textured;
  textured.uv1 = true;
  SurfaceShaderFacts added = textured;
  added.uv2 = true;
  added.color1Opacity = 7;
  added.specular = true;
  SurfaceShaderFacts reflective = textured;
  reflective.plainReflection = reflective.alphaChannel = reflective.clipValueNotOne = true;
  reflective.transparent = true;
  SurfaceShaderFacts material;
  material.materialTexture1 = material.normalMap = material.luminosity = true;
  SurfaceShaderFacts every = textured;
  every.uv2 = true;
  every.color1Opacity = 10;
  every.cubeReflection = every.planeReflection = every.plainReflection = true;
  every.refraction = every.fresnel = every.translucency = every.materialTexture2 = true;
  DefaultShaderSettings geForce2;
  geForce2.geForce2 = true;
  DefaultShaderSettings off;
  off.fullEffectsOff = off.reflectionsOff = true;
  const DefaultShaderSettings on;
  struct Case {
    const char* what;
    UINT model;
    SurfaceShaderFacts facts;
    DefaultShaderSettings settings;
    std::string file;
    Names parameters;
  };
  const Case cases[] = {
      {"textured", 1, textured, on, "PerVertex\\surface.ssh", {"OPAQUE"}},
      {"bare", 1, {}, on, "PerVertex\\surface_nouvs.ssh", {"OPAQUE"}},
      {"added", 1, added, on, "PerVertex\\surface_uv2.ssh", {"SPECULAR", "OPAQUE", "D3DTOP_ADD"}},
      {"reflective", 1, reflective, on, "PerVertex\\surface.ssh",
       {"REFLECTIONS", "ALPHATEST", "ALPHACHANNEL", "TRANSPARENT"}},
      {"reflective on GeForce2", 1, reflective, geForce2, "PerVertex\\surface.ssh",
       {"ALPHATEST", "ALPHACHANNEL", "TRANSPARENT"}},
      {"reflective on GeForce2", 2, reflective, geForce2, "ShadowVolume\\NoNormalMap\\surface.ssh",
       {"ADDMAT", "REFLECTIONS", "ALPHACHANNEL", "TRANSPARENT"}},
      {"material", 2, material, on, "ShadowVolume\\NormalMap\\NoHeightMap\\surface_nouv.ssh",
       {"MATERIALTXT", "MATTXT1", "LUMINOSITY", "ADDMAT", "OPAQUE"}},
      {"material, full effects 0", 3, material, off,
       "ShadowMap\\NormalMap\\NoHeightMap\\surface_nouv.ssh", {"LUMINOSITY", "OPAQUE"}},
      {"every", 3, every, on, "ShadowMap\\NoNormalMap\\surface_2uv.ssh",
       {"MATERIALTXT", "MATTXT2", "ADDMAT", "REFRACTIONS", "FRESNEL", "TRANSLUCENCY",
        "GEN_CUBE_REFLECTIONS", "OPAQUE", "D3DTOP_SUBTRACT"}},
      {"every, reflections 0", 2, every, off, "ShadowVolume\\NoNormalMap\\surface_2uv.ssh",
       {"ADDMAT", "REFRACTIONS", "FRESNEL", "TRANSLUCENCY", "OPAQUE", "D3DTOP_SUBTRACT"}},
  };
  for (const Case& c : cases) {
    const DefaultShader chosen = CDefaultShaderChoice::ForSurface(c.model, c.facts, c.settings);
    EXPECT_EQ(chosen.file, c.file) << c.what << " model " << c.model;
    EXPECT_EQ(chosen.parameters, c.parameters) << c.what << " model " << c.model;
  }
  // The blend parameter follows the second texture's opacity mode.
  for (auto [opacity, name] : {std::pair<WORD, const char*>{4, "D3DTOP_MODULATE"},
                               {7, "D3DTOP_ADD"}, {10, "D3DTOP_SUBTRACT"}, {0, "D3DTOP_DISABLE"}}) {
    added.color1Opacity = opacity;
    EXPECT_EQ(CDefaultShaderChoice::ForSurface(2, added, on).parameters.back(), name);
  }
  EXPECT_TRUE(CDefaultShaderChoice::ForSurface(5, textured, on).file.empty());
}

}  // namespace
