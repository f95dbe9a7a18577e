// The per-vertex and per-pixel built-in passes on a recording renderer and a recording scene:
// whole frames of every profile on both stencil paths, written out step by step, and the name
// dispatch.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <initializer_list>
#include <string>
#include <vector>

#include "EngineContextScope.h"
#include "FakeEnumerationOwner.h"
#include "RecordingBuiltInPassScene.h"
#include "RecordingEngineLog.h"
#include "RecordingRenderer.h"
#include "ZKDXGlobals.h"
#include "ZKDXInterface.h"
#include "core/SettingEntry.h"
#include "core/Settings.h"
#include "d3d/D3D9Enumeration.h"
#include "shaders/PerPixelPass.h"
#include "shaders/PerVertexPass.h"

namespace {

using Lines = std::vector<std::string>;
using Mesh = RecordingBuiltInPassScene::Mesh;
using Light = RecordingBuiltInPassScene::Light;

std::string S(UINT state, UINT value) {
  return "state " + std::to_string(state) + "=" + std::to_string(value);
}
std::string VC(UINT reg, float x, float y, float z, float w) {
  const float value[4] = {x, y, z, w};
  return RecordingRenderer::Constant("vc", reg, value);
}
std::string PC(UINT reg, float x, float y, float z, float w) {
  const float value[4] = {x, y, z, w};
  return RecordingRenderer::Constant("pc", reg, value);
}
void SetInt(CSettings& settings, const char* name, int value) {
  CSettingEntry* entry = settings.GetSetting(name);
  if (entry == nullptr) entry = settings.AddSetting(name);
  entry->SetInt(value);
}
Lines operator+(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Render states by their Direct3D numbers, as the expected lists spell them.
enum : UINT {
  ZWRITE = 14, SRCBLEND = 19, DESTBLEND = 20, CULL = 22, ZFUNC = 23, BLEND = 27, STENCIL = 52,
  SFAIL = 53, SZFAIL = 54, SPASS = 55, SFUNC = 56, SREF = 57, COLORWRITE = 168, TWOSIDED = 185,
  CCW_SFAIL = 186, CCW_SZFAIL = 187, CCW_SPASS = 188, CCW_SFUNC = 189
};
enum : UINT { LESS = 2, EQUAL = 3, LESSEQUAL = 4, ALWAYS = 8, KEEP = 1, INCR = 4, DECR = 5 };
enum : UINT { ONE = 2, SRCALPHA = 5, INVSRCALPHA = 6, NONE = 1, CW = 2, CCW = 3 };

const Lines kAdditive = {S(ZFUNC, EQUAL), S(BLEND, 1), S(SRCBLEND, ONE), S(DESTBLEND, ONE)};
const Lines kCamera15 = {VC(15, 1, 2, 3, 1)};

class BuiltInPassesTest : public testing::Test {
 protected:
  BuiltInPassesTest() {
    d3d = Direct3DCreate9(D3D_SDK_VERSION);
    enumeration = std::make_unique<CD3D9Enumeration>(nullptr, d3d, 0, &owner);
    renderer.enumeration = enumeration.get();
    context->pSettings = &settings;
    scene.cameraPosition = CVector3(1, 2, 3);
    scene.visibleMeshes = {&wall, &glass};
    for (Light* light : {&spot, &sun, &bulb, &odd}) {
      light->lit = {&wall};
      light->volumes = {&wall};
      light->properties.Attenuation0 = 1;
      light->properties.Attenuation1 = 0.5f;
      light->properties.Attenuation2 = 0.25f;
      light->properties.Range = 40;
    }
    sun.direction = CVector3(0, -1, 0);
    spot.direction = CVector3(0, 0, 1);
    spot.position = CVector3(5, 6, 7);
    bulb.position = CVector3(-1, -2, -3);
    spot.properties.Theta = 1.0f;
    spot.properties.Phi = 2.0f;
    spot.properties.Falloff = 1.5f;
    // Out of type order, with a type the passes do not know.
    scene.visibleLights = {&spot, &odd, &sun, &bulb};
    scene.spriteSlots = {true, false};
  }
  ~BuiltInPassesTest() override {
    enumeration.reset();
    d3d->Release();
  }
  void Scheme(DWORD scheme) { enumeration->SetSelectedScheme(scheme); }
  Lines& Calls() {
    renderer.sequence.clear();
    return renderer.sequence;
  }

  // --- expected steps, as the passes are specified ---
  static Lines Walk(const char* pass) {
    return {std::string("wall ") + pass + " 0", std::string("glass ") + pass + " 0"};
  }
  static Lines LayDepth() {
    return Lines{"defaults", "set camera"} + kCamera15 +
           Lines{S(COLORWRITE, 0), "stage 0 1=1", "stage 0 4=1"} + Walk("LAYINGZDOWNPASS") +
           Lines{S(COLORWRITE, 15)};
  }
  static Lines PixelAmbient() {
    return Lines{S(ZWRITE, 0), S(ZFUNC, EQUAL)} + kCamera15 + Walk("AMBIENTPASS");
  }
  static Lines StencilOpen() {
    return {"clear 4 0",  S(COLORWRITE, 0), S(ZFUNC, LESS),
            S(BLEND, 0),  S(STENCIL, 1),    S(SFUNC, ALWAYS)};
  }
  static Lines StencilClose() {
    return {S(CULL, CW), S(COLORWRITE, 15), S(SFUNC, EQUAL), S(SREF, 128), S(SZFAIL, KEEP)};
  }
  // Depth failures count clockwise faces up; a depth-pass count (directional lights of the
  // per-vertex passes) counts passes instead and puts STENCILPASS back to KEEP at the end. An
  // empty volume name: the light has no volume to draw.
  static Lines TwoSided(const std::string& volume, bool depthPass) {
    const UINT up = depthPass ? KEEP : INCR, down = depthPass ? KEEP : DECR;
    return StencilOpen() +
           Lines{S(SFAIL, KEEP),      S(SPASS, depthPass ? INCR : KEEP), S(SZFAIL, up),
                 S(CCW_SFAIL, KEEP),  S(CCW_SZFAIL, down), S(CCW_SPASS, depthPass ? DECR : KEEP),
                 S(CCW_SFUNC, ALWAYS), S(TWOSIDED, 1),     S(CULL, NONE)} +
           (volume.empty() ? Lines{} : Lines{"wall " + volume + " 5"}) + Lines{S(TWOSIDED, 0)} +
           StencilClose() + (depthPass ? Lines{S(SPASS, KEEP)} : Lines{});
  }
  static Lines TwoSidedDepthFail(const std::string& volume) { return TwoSided(volume, false); }
  static Lines OneSided(const std::string& volume) {
    return StencilOpen() +
           Lines{S(SFAIL, KEEP), S(SPASS, KEEP), S(SZFAIL, INCR), S(CULL, CCW),
                 "wall " + volume + " 5", S(SZFAIL, DECR), S(CULL, CW), "wall " + volume + " 5"} +
           StencilClose();
  }
  static Lines Transparency(UINT destination) {
    return Lines{S(ZFUNC, LESSEQUAL), S(ZWRITE, 0), S(BLEND, 1), S(SRCBLEND, SRCALPHA),
                 S(DESTBLEND, destination)} +
           Walk("TRANSPARENTPASS");
  }
  // The per-pixel lighting pass; `stage(kind)` gives each light's stencil stage (or nothing).
  template <class Stage>
  static Lines PixelLighting(bool twoSided, Stage stage) {
    const std::string sunVolume = "DIRECTIONALSHADOWVOLUMEEXTRUSION",
                      pointVolume = "POINTSHADOWVOLUMEEXTRUSION";
    return kCamera15 + Lines{S(ZWRITE, 0)} + (twoSided ? kAdditive : Lines{}) +
           Lines{"light sun"} + stage(sunVolume, true) + kAdditive +
           Lines{VC(12, 0, -1, 0, 1), PC(5, 0, -1, 0, 1), "wall DIRECTIONALOPAQUEPASS 0"} +
           Lines{"light bulb", VC(14, 1, 0.5f, 0.25f, 40)} + stage(pointVolume, false) +
           kAdditive + Lines{VC(13, -1, -2, -3, 1), "wall POINTOPAQUEPASS 0"} +
           Lines{"light spot", VC(14, 1, 0.5f, 0.25f, 40)} + stage(pointVolume, false) +
           kAdditive + Lines{VC(13, 5, 6, 7, 1), VC(12, 0, 0, 1, 1), "wall POINTOPAQUEPASS 0"} +
           Lines{S(STENCIL, 0)};
  }
  template <class Stage>
  Lines VertexLighting(Stage stage) {
    const float outer = std::cos(1.0f), inner = std::cos(0.5f);
    const std::string sunVolume = "DIRECTIONALSHADOWVOLUMEEXTRUSION",
                      pointVolume = "POINTSHADOWVOLUMEEXTRUSION";
    return Lines{VC(8, 1, 2, 3, 1), S(ZWRITE, 0)} + Lines{"light sun"} + stage(sunVolume, true) +
           kAdditive + Lines{VC(12, 0, -1, 0, 1), "wall DIRECTIONALOPAQUEPASS 0"} +
           Lines{"light bulb", VC(12, 0, 0, 0, 1), VC(13, 1, 0.5f, 0.25f, 40)} +
           stage(pointVolume, false) + kAdditive +
           Lines{VC(11, -1, -2, -3, 1), "wall POINTOPAQUEPASS 0"} +
           Lines{"light spot", VC(12, 0, 0, 1, 1), VC(13, 1, 0.5f, 0.25f, 40),
                 VC(14, outer, inner, 1.5f, 1.0f / (inner - outer))} +
           stage(pointVolume, false) + kAdditive +
           Lines{VC(11, 5, 6, 7, 1), VC(12, 0, 0, 1, 1), "wall POINTOPAQUEPASS 0"} +
           Lines{S(STENCIL, 0)};
  }
  static Lines NoStage(const std::string&, bool) { return {}; }

  EngineContextScope context;
  CRecordingEngineLog log;
  CSettings settings;
  IDirect3D9* d3d = nullptr;
  FakeEnumerationOwner owner;
  std::unique_ptr<CD3D9Enumeration> enumeration;
  RecordingRenderer renderer;
  RecordingBuiltInPassScene scene{renderer.sequence};
  Mesh wall{"wall"}, glass{"glass"};
  Light spot{"spot", LIGHT_SPOT}, sun{"sun", LIGHT_DISTANT}, bulb{"bulb", LIGHT_POINT},
      odd{"odd", 3};
};

TEST_F(BuiltInPassesTest, PerPixelFramesOfEveryProfileOnBothStencilPaths) {
  const auto twoSidedStage = [](const std::string& volume, bool) {
    return TwoSidedDepthFail(volume);
  };
  const auto oneSidedStage = [](const std::string& volume, bool) { return OneSided(volume); };
  struct Case {
    UINT profile;
    DWORD scheme;
    Lines lighting;
    UINT destination;
  };
  const Case cases[] = {
      {10, ZK_SCHEME_RADEON9700, PixelLighting(true, NoStage), INVSRCALPHA},
      {10, ZK_SCHEME_GEFORCE3, PixelLighting(false, NoStage), INVSRCALPHA},
      {11, ZK_SCHEME_GEFORCE6800, PixelLighting(true, twoSidedStage), INVSRCALPHA},
      {11, ZK_SCHEME_RADEON8500, PixelLighting(false, oneSidedStage), INVSRCALPHA},
      {12, ZK_SCHEME_RADEON9700, PixelLighting(true, NoStage), ONE},
      {13, ZK_SCHEME_GEFORCE2, PixelLighting(false, NoStage), ONE},
  };
  CPerPixelPass pass(&renderer, nullptr, &log);
  for (const Case& c : cases) {
    Scheme(c.scheme);
    Lines& calls = Calls();
    EXPECT_EQ(pass.Render(scene, c.profile), 1u);
    EXPECT_EQ(calls, LayDepth() + PixelAmbient() + c.lighting + Lines{"sprite 0"} +
                         Transparency(c.destination))
        << "profile " << c.profile << " scheme " << c.scheme;
  }
  Lines& calls = Calls();
  EXPECT_EQ(pass.Render(scene, 2), 0u);
  EXPECT_TRUE(calls.empty());
}

TEST_F(BuiltInPassesTest, PerVertexFramesOnBothStencilPaths) {
  // On two-sided stencil the directional light counts depth passes and lets STENCILPASS go back
  // to KEEP, the point and spot lights count depth failures.
  const auto twoSidedStage = [](const std::string& volume, bool directional) {
    return TwoSided(volume, directional);
  };
  const auto oneSidedStage = [](const std::string& volume, bool) { return OneSided(volume); };
  struct Case {
    UINT profile;
    DWORD scheme;
    Lines lighting;
  };
  const Case cases[] = {
      {1, ZK_SCHEME_RADEON9700, VertexLighting(NoStage)},
      {2, ZK_SCHEME_RADEON9700, VertexLighting(twoSidedStage)},
      {2, ZK_SCHEME_GEFORCE4, VertexLighting(oneSidedStage)},
  };
  CPerVertexPass pass(&renderer, nullptr, &log);
  for (const Case& c : cases) {
    Scheme(c.scheme);
    Lines& calls = Calls();
    EXPECT_EQ(pass.Render(scene, c.profile), 1u);
    const Lines ambient = Lines{"defaults", "set camera", VC(8, 1, 2, 3, 1)} + Walk("AMBIENTPASS");
    EXPECT_EQ(calls, ambient + c.lighting + Lines{"sprite 0"} + Transparency(ONE))
        << "profile " << c.profile << " scheme " << c.scheme;
  }
}

TEST_F(BuiltInPassesTest, NamesDispatchExactlyAndByProfile) {
  CPerPixelPass pixel(&renderer, nullptr, &log);
  CPerVertexPass vertex(&renderer, nullptr, &log);
  Scheme(ZK_SCHEME_RADEON9700);
  for (const char* name : {"transparencypass", "TRANSPARENTPASS", "AMBIENTPASS ", "AMBIENT", ""}) {
    Lines& calls = Calls();
    EXPECT_EQ(pixel.RenderBuiltInPass(scene, name, 10), 0u) << name;
    EXPECT_EQ(vertex.RenderBuiltInPass(scene, name, 1), 0u) << name;
    EXPECT_TRUE(calls.empty()) << name;
  }
  Lines& calls = Calls();
  EXPECT_EQ(vertex.RenderBuiltInPass(scene, "LAYINGZDOWNPASS", 1), 0u);
  EXPECT_EQ(pixel.RenderBuiltInPass(scene, "AMBIENTPASS", 9), 0u);
  EXPECT_TRUE(calls.empty());
  // REFLECTIONPASS outside profiles 10 and 11 does nothing.
  for (UINT profile : {12u, 13u})
    EXPECT_EQ(pixel.RenderBuiltInPass(scene, "REFLECTIONPASS", profile), 1u);
  for (UINT profile : {1u, 2u})
    EXPECT_EQ(vertex.RenderBuiltInPass(scene, "REFLECTIONPASS", profile), 1u);
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(pixel.RenderBuiltInPass(scene, "LAYINGZDOWNPASS", 12), 1u);
  EXPECT_EQ(calls, LayDepth());
  Calls();
  EXPECT_EQ(pixel.RenderBuiltInPass(scene, "TRANSPARENCYPASS", 13), 1u);
  EXPECT_EQ(calls, Transparency(ONE));
}

TEST_F(BuiltInPassesTest, ReflectionPassKeepsTheStencilStageOnlyWithShadows2InProfile11) {
  Scheme(ZK_SCHEME_RADEON9700);
  const auto stage = [](const std::string& volume, bool) { return TwoSidedDepthFail(volume); };
  const Lines withStage = LayDepth() + PixelAmbient() + PixelLighting(true, stage) +
                          Lines{"sprite 0"} + Transparency(INVSRCALPHA);
  const Lines withoutStage = LayDepth() + PixelAmbient() + PixelLighting(true, NoStage) +
                             Lines{"sprite 0"} + Transparency(INVSRCALPHA);
  struct Case {
    int shadows;  // -1: absent
    UINT profile;
    const Lines& expected;
  };
  const Case cases[] = {{2, 11, withStage}, {2, 10, withoutStage}, {1, 11, withoutStage},
                        {-1, 11, withoutStage}};
  for (const Case& c : cases) {
    CSettings local;
    if (c.shadows >= 0) SetInt(local, "shadows", c.shadows);
    context->pSettings = &local;
    CPerPixelPass pass(&renderer, nullptr, &log);
    context->pSettings = &settings;
    Lines& calls = Calls();
    EXPECT_EQ(pass.RenderBuiltInPass(scene, "REFLECTIONPASS", c.profile), 1u);
    EXPECT_EQ(calls, c.expected) << c.shadows << " " << c.profile;
  }
}

TEST_F(BuiltInPassesTest, NestedMeshesAreSkippedByTheWalksButLit) {
  wall.nested = true;
  scene.visibleLights = {&sun};
  CPerPixelPass pass(&renderer, nullptr, &log);
  Lines& calls = Calls();
  pass.Render(scene, 10);
  for (const char* mesh : {"wall LAYINGZDOWNPASS 0", "wall AMBIENTPASS 0", "wall TRANSPARENTPASS 0"})
    EXPECT_EQ(std::count(calls.begin(), calls.end(), mesh), 0) << mesh;
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "wall DIRECTIONALOPAQUEPASS 0"), 1);
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "glass AMBIENTPASS 0"), 1);
}

// A spot light alone: its position register before its direction (per pixel), and its
// direction loaded on both sides of its stencil stage (per vertex), drawing the point passes.
TEST_F(BuiltInPassesTest, ASpotLightLoadsItsDirectionAfterItsPosition) {
  scene.visibleLights = {&spot};
  Scheme(ZK_SCHEME_GEFORCE4);
  const std::string volume = "POINTSHADOWVOLUMEEXTRUSION";
  CPerPixelPass pixel(&renderer, nullptr, &log);
  Lines& calls = Calls();
  pixel.LightingPass(scene, 11);
  EXPECT_EQ(calls, (kCamera15 + Lines{S(ZWRITE, 0), "light spot", VC(14, 1, 0.5f, 0.25f, 40)} +
                    OneSided(volume) + kAdditive +
                    Lines{VC(13, 5, 6, 7, 1), VC(12, 0, 0, 1, 1), "wall POINTOPAQUEPASS 0",
                          S(STENCIL, 0)}));

  CPerVertexPass vertex(&renderer, nullptr, &log);
  Calls();
  vertex.LightingPass(scene, 2);
  const float outer = std::cos(1.0f), inner = std::cos(0.5f);
  EXPECT_EQ(calls, (Lines{VC(8, 1, 2, 3, 1), S(ZWRITE, 0), "light spot", VC(12, 0, 0, 1, 1),
                          VC(13, 1, 0.5f, 0.25f, 40),
                          VC(14, outer, inner, 1.5f, 1.0f / (inner - outer))} +
                    OneSided(volume) + kAdditive +
                    Lines{VC(11, 5, 6, 7, 1), VC(12, 0, 0, 1, 1), "wall POINTOPAQUEPASS 0",
                          S(STENCIL, 0)}));
}

// Profile 11 clears and sets up the stencil for a light whose volumes nobody sees, so all of
// its pixels pass at the reference value.
TEST_F(BuiltInPassesTest, AShadowedProfileRunsTheStencilStageForALightWithoutVolumes) {
  sun.volumes.clear();
  scene.visibleLights = {&sun};
  Scheme(ZK_SCHEME_RADEON9700);
  CPerPixelPass pass(&renderer, nullptr, &log);
  Lines& calls = Calls();
  pass.LightingPass(scene, 11);
  const Lines stage = TwoSidedDepthFail("");
  EXPECT_EQ(calls, (kCamera15 + Lines{S(ZWRITE, 0)} + kAdditive + Lines{"light sun"} + stage +
                    kAdditive +
                    Lines{VC(12, 0, -1, 0, 1), PC(5, 0, -1, 0, 1), "wall DIRECTIONALOPAQUEPASS 0",
                          S(STENCIL, 0)}));
}

TEST_F(BuiltInPassesTest, ASpotLightWithEqualConesGetsAFiniteFactor) {
  spot.properties.Theta = spot.properties.Phi = 1.0f;
  scene.visibleLights = {&spot};
  CPerVertexPass pass(&renderer, nullptr, &log);
  Lines& calls = Calls();
  pass.LightingPass(scene, 1);
  const std::string prefix = "vc 14 ";
  const auto c14 = std::find_if(calls.begin(), calls.end(),
                                [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
  ASSERT_NE(c14, calls.end());
  EXPECT_EQ(c14->find("inf"), std::string::npos) << *c14;
  EXPECT_EQ(c14->find("nan"), std::string::npos) << *c14;
}

TEST_F(BuiltInPassesTest, ASceneWithoutCameraDrawsNothingAndLogsOnce) {
  scene.camera = false;
  CPerPixelPass pixel(&renderer, nullptr, &log);
  CPerVertexPass vertex(&renderer, nullptr, &log);
  Lines& calls = Calls();
  EXPECT_EQ(pixel.Render(scene, 11), 1u);
  EXPECT_EQ(pixel.RenderBuiltInPass(scene, "LIGHTINGPASS", 11), 1u);
  EXPECT_EQ(vertex.Render(scene, 2), 1u);
  EXPECT_TRUE(calls.empty());
  const std::string errors = log.TextAt(CEngineLog::kLevelError);
  const std::string line = "WARNING! - Scene Without Active Camera Is Not Drawn: scene\n";
  size_t count = 0;
  for (size_t at = errors.find(line); at != std::string::npos; at = errors.find(line, at + 1))
    ++count;
  EXPECT_EQ(count, 2u) << errors;  // once for each pass object
}

TEST_F(BuiltInPassesTest, ShadowsIsReadOnceAtConstruction) {
  SetInt(settings, "shadows", 2);
  CPerPixelPass pass(&renderer, nullptr, &log);
  SetInt(settings, "shadows", 0);
  EXPECT_EQ(pass.GetShadows(), 2);
  CSettings none;
  context->pSettings = &none;
  EXPECT_EQ(CPerVertexPass(&renderer, nullptr, &log).GetShadows(), 0);
}

}  // namespace
