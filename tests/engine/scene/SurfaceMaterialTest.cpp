#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "SurfaceTestBench.h"
#include "scene/Envelope.h"

namespace {

// An envelope that runs linearly from `from` at frame 0 to `to` at frame 10, then holds.
CEnvelope* Ramp(float from, float to) {
  auto* envelope = new CEnvelope(1, nullptr, 0);
  envelope->Channel().AddKeyData(from, 0, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0);
  envelope->Channel().AddKeyData(to, 10, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0);
  return envelope;
}

D3DMATERIAL9& Block(CSurface* surface) { return *surface->GetMaterial(0)->GetD3DMaterial(); }
CVector4& Additional1(CSurface* surface) {
  return *surface->GetMaterial(0)->GetAdditionalMaterial1();
}
CVector4& Additional2(CSurface* surface) {
  return *surface->GetMaterial(0)->GetAdditionalMaterial2();
}

class SurfaceMaterialTest : public ::testing::Test {
 protected:
  // A surface coloured (1, 0.5, 0.25) at diffuse level 0.8, as an import makes it: Diffuse is
  // the level times the colour.
  CSurface* MakeColoured() {
    CSurface* surface = bench.Make("s", mesh);
    float color[3] = {1, 0.5f, 0.25f};
    surface->SetColor(color);
    D3DCOLORVALUE diffuse{0.8f, 0.4f, 0.2f, 1}, specular{0.5f, 0.5f, 0.5f, 8}, emissive{0, 0, 0, 1};
    CVector4 additional1{0.8f, 0.5f, 8, 0}, additional2{0, 0, 1, 0};
    surface->CreateMaterial(&diffuse, &specular, &emissive, &additional1, &additional2, 0);
    surface->SetHasEnvelopes(1);
    return surface;
  }
  SurfaceTestBench bench;
  CMesh* mesh = bench.AddMesh("m");
};

TEST_F(SurfaceMaterialTest, EachAnimatedChannelWritesItsPlaceAtTheFrame) {
  // Every envelope ramps from 0 to 1 over ten frames; at frame 5 it gives 0.5.
  struct UpdateCase {
    UINT channel;
    float (*read)(CSurface*);
    float expected;
  };
  const UpdateCase cases[] = {
      {CSurface::CHANNEL_DIFFUSE, [](CSurface* s) { return Block(s).Diffuse.g; },
       0.25f},  // the level times the green
      {CSurface::CHANNEL_SPECULAR_GLOSSINESS,
       [](CSurface* s) { return Block(s).Specular.b * Additional1(s).y; }, 0.25f},
      {CSurface::CHANNEL_SPECULAR_EXPONENT,
       [](CSurface* s) { return Block(s).Power * Additional1(s).z; }, 0.25f},
      {CSurface::CHANNEL_REFRACTION, [](CSurface* s) { return Additional2(s).z; }, 0.5f},
      {CSurface::CHANNEL_REFLECTION, [](CSurface* s) { return Additional1(s).w; }, 0.5f},
      // The envelope carries transparency; the material keeps opacity.
      {CSurface::CHANNEL_TRANSPARENCY,
       [](CSurface* s) { return Block(s).Diffuse.a * Block(s).Ambient.a; }, 0.25f},
      {CSurface::CHANNEL_LUMINOSITY,
       [](CSurface* s) { return Block(s).Emissive.g * Additional2(s).w; }, 0.25f},
      {CSurface::CHANNEL_TRANSLUCENCY, [](CSurface* s) { return Additional2(s).x; }, 0.5f},
      // A colour envelope gives the component, which the diffuse level then scales.
      {CSurface::CHANNEL_COLOR_GREEN, [](CSurface* s) { return Block(s).Diffuse.g; }, 0.4f},
  };
  for (const UpdateCase& c : cases) {
    SCOPED_TRACE(c.channel);
    CSurface* surface = MakeColoured();
    surface->SetMaterialEnvelope(c.channel, Ramp(0, 1));
    EXPECT_TRUE(surface->IsMaterialChannelActive(c.channel));
    surface->UpdateMaterial(5);
    EXPECT_FLOAT_EQ(c.read(surface), c.expected);
    // The envelope drives the channel: a value set by hand changes nothing.
    CMaterialInterface* before = surface->GetMaterial(0);
    surface->SetMaterialValue(c.channel, 0.125f);
    EXPECT_EQ(surface->GetMaterial(0), before);
    EXPECT_FLOAT_EQ(c.read(surface), c.expected);
  }
}

TEST_F(SurfaceMaterialTest, AColourStaysTheSameOverAHundredFrames) {
  // Only the luminosity is animated, so the diffuse level is the material's own.
  CSurface* surface = MakeColoured();
  surface->SetMaterialEnvelope(CSurface::CHANNEL_LUMINOSITY, Ramp(0, 1));
  // A keyed red that holds at 0.5 from frame 10 on.
  CSurface* keyedRed = MakeColoured();
  keyedRed->SetMaterialEnvelope(CSurface::CHANNEL_COLOR_RED, Ramp(0.5f, 0.5f));
  for (int frame = 0; frame < 100; ++frame) {
    surface->UpdateMaterial(static_cast<float>(frame));
    keyedRed->UpdateMaterial(static_cast<float>(frame));
  }
  for (const D3DCOLORVALUE* colour : {&Block(surface).Diffuse, &Block(surface).Ambient}) {
    EXPECT_FLOAT_EQ(colour->r, 0.8f);
    EXPECT_FLOAT_EQ(colour->g, 0.4f);
    EXPECT_FLOAT_EQ(colour->b, 0.2f);
  }
  EXPECT_FLOAT_EQ(Block(surface).Emissive.r, 1.0f);
  EXPECT_FLOAT_EQ(Block(keyedRed).Diffuse.r, 0.4f);
  EXPECT_FLOAT_EQ(Block(keyedRed).Ambient.g, 0.4f);
  EXPECT_EQ(bench.materials.live, 2) << "frames write in place";
}

TEST_F(SurfaceMaterialTest, ColourTexturesDecideTheColourTheirOwnWay) {
  // A decal (opacity type 1): colour envelopes write nothing, a diffuse envelope sets all
  // three components. Any other colour texture takes white as the colour.
  CSurface* decal = MakeColoured();
  decal->SetTexture(CSurface::TEXTURE_COLOR0, "decal.png");
  decal->SetMaterialEnvelope(CSurface::CHANNEL_COLOR_BLUE, Ramp(1, 1));
  decal->UpdateMaterial(3);
  EXPECT_FLOAT_EQ(Block(decal).Diffuse.b, 0.2f);
  decal->SetMaterialEnvelope(CSurface::CHANNEL_DIFFUSE, Ramp(0, 1));
  decal->UpdateMaterial(5);
  EXPECT_FLOAT_EQ(Block(decal).Diffuse.r, 0.5f);
  EXPECT_FLOAT_EQ(Block(decal).Ambient.b, 0.5f);

  CSurface* modulated = MakeColoured();
  modulated->SetTexture(CSurface::TEXTURE_COLOR0, "base.png");
  modulated->GetColor0Texture()->wOpacity = 4;
  modulated->SetMaterialEnvelope(CSurface::CHANNEL_LUMINOSITY, Ramp(0, 1));
  for (int frame = 0; frame < 10; ++frame) modulated->UpdateMaterial(static_cast<float>(frame));
  EXPECT_FLOAT_EQ(Block(modulated).Diffuse.r, 0.8f);
  EXPECT_FLOAT_EQ(Block(modulated).Diffuse.b, 0.8f);
}

class SurfaceSequenceTest : public SurfaceMaterialTest {
 protected:
  // Frames 5 to 15 of a sequence, eleven of them, as an import lays them out.
  SurfaceTexture* MakeSequence(CSurface* surface) {
    surface->SetTexture(CSurface::TEXTURE_COLOR0, "frame.png");
    SurfaceTexture* record = surface->GetColor0Texture();
    static_cast<FakeCountedTexture*>(record->pTextureImage)->Release();
    record->dwSourceKind = SURFACE_TEXTURE_SEQUENCE;
    record->lFirstFrame = 5;
    record->lFrameLimit = 15;
    record->dwNumberOfFrames = 11;
    record->pFrames = new CTextureInterface*[11];
    for (int i = 0; i < 11; ++i) record->pFrames[i] = bench.textures.CreateTexture("f", 0);
    return record;
  }
};

TEST_F(SurfaceSequenceTest, FramesCountFromTheFirstFrameAndStayInTheSequence) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  struct FrameCase {
    float time;
    bool loop;
    int frame;
  };
  const FrameCase cases[] = {
      {2, false, 0},    {2, true, 8},  // before: the first frame, or wrapped back from the end
      {5, false, 0},    {7.5f, false, 2},   {7.5f, true, 2}, {15, false, 10},  // inside
      {16, true, 0},    {30, false, 10},    {30, true, 3},  // after: held, or wrapped
      {-1e9f, true, 7}, {1e30f, false, 10}, {nan, true, 0},  {-inf, false, 0}, {inf, true, 10},
  };
  CSurface* surface = bench.Make("s", mesh);
  SurfaceTexture* record = MakeSequence(surface);
  for (const FrameCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.time << (c.loop ? " looping" : ""));
    record->wFlags = c.loop ? SURFACE_TEXTURE_LOOP : 0;
    surface->UpdateMaterial(c.time);
    EXPECT_EQ(record->pTextureImage, record->pFrames[c.frame]);
  }
}

TEST_F(SurfaceSequenceTest, TheAnimationTimeOverridesTheFrameTime) {
  CSurface* surface = bench.Make("s", mesh);
  SurfaceTexture* record = MakeSequence(surface);
  surface->SetAnimationTime(8);
  surface->UpdateMaterial(12);
  EXPECT_EQ(record->pTextureImage, record->pFrames[3]);
  surface->SetAnimationTime(0);  // fixes the surface at time 0, before the sequence
  surface->UpdateMaterial(12);
  EXPECT_EQ(record->pTextureImage, record->pFrames[0]);
  surface->SetAnimationTime(-1);  // the frame time again
  surface->UpdateMaterial(12);
  EXPECT_EQ(record->pTextureImage, record->pFrames[7]);
}

}  // namespace
