#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ProcessExitCatcher.h"
#include "SurfaceTestBench.h"
#include "scene/LWOImportBuffer.h"

namespace {

// The names of the images a texture was made from: its own, then its second (alpha) image.
std::string Images(const CTextureInterface* texture) {
  const auto* fake = static_cast<const FakeCountedTexture*>(texture);
  return fake->names[4].empty() ? fake->names[0] : fake->names[0] + "+" + fake->names[4];
}

class SurfaceImportTest : public ::testing::Test {
 public:
  SurfaceImportTest() {
    std::strcpy(object->fileName, "crate.lwo");
    wood.SetDefaults();
    wood.SetName("wood");
    const WORD list[] = {0, 1, 2, 2, 1, 3};
    wood.SetIndices(list, 6);
  }

  CSurface* Build() {
    auto* surface = new CSurface(&bench.renderer, &bench.log, wood, *object, mesh);
    bench.Adopt(surface);
    return surface;
  }
  // The construction's log, line by line.
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    for (const auto& entry : bench.log.entries)
      if (entry.source == "CSurface_cons" && entry.level == CEngineLog::kLevelInfo)
        lines.push_back(entry.text);
    return lines;
  }
  bool Logged(const std::string& line) const {
    for (const std::string& text : Lines())
      if (text == line) return true;
    return false;
  }
  LWOSurfaceChannel& Channel(UINT index) { return wood.channel[index]; }
  // A sequence of frames first to last named prefix + number.
  void GiveSequence(UINT index, const char* prefix, UINT first, UINT last, UINT names) {
    LWOSurfaceChannel& channel = Channel(index);
    channel.isSequence = 1;
    channel.firstFrame = first;
    channel.lastFrame = last;
    ASSERT_TRUE(channel.AllocateFrames(names));
    for (UINT i = 0; i < names; ++i)
      std::snprintf(channel.frames[i], sizeof channel.frames[i], "%s%u", prefix, first + i);
  }

  SurfaceTestBench bench;
  CMesh* mesh = bench.AddMesh("crate");
  std::unique_ptr<LWOImportBuffer> object = std::make_unique<LWOImportBuffer>();
  LWOSurface& wood = object->surfaces[0];
};

TEST_F(SurfaceImportTest, APlainSurfaceGetsItsIndicesMaterialAndDescription) {
  Channel(LWO_CHANNEL_COLOR).value[0] = 1.0f;
  Channel(LWO_CHANNEL_COLOR).value[1] = 0.5f;
  Channel(LWO_CHANNEL_COLOR).value[2] = 0.25f;
  Channel(LWO_CHANNEL_DIFFUSE).SetValue(0.8f);
  Channel(LWO_CHANNEL_SPECULAR).SetValue(0.5f);
  Channel(LWO_CHANNEL_LUMINOSITY).SetValue(0.125f);
  Channel(LWO_CHANNEL_TRANSLUCENCY).SetValue(0.25f);
  wood.alpha = 0.5f;  // no alpha image: nothing to test against
  wood.flags = LWO_SURFACE_DOUBLE_SIDED;

  CSurface* surface = Build();
  EXPECT_STREQ(surface->GetName(), "wood");
  EXPECT_EQ(surface->GetShadeType(), 2u);
  EXPECT_EQ(surface->GetSurfaceParameter(), 1.0f);
  EXPECT_EQ(surface->GetFlags(), 0x0004 | 0x0040);
  ASSERT_EQ(surface->GetNumberOfIndices(), 6);
  EXPECT_EQ(surface->GetIndices()[5], 3);
  ASSERT_EQ(bench.indexBuffers.made.size(), 1u);
  EXPECT_EQ(bench.indexBuffers.made[0]->meshOwner, "crate.lwo");
  EXPECT_EQ(bench.indexBuffers.made[0]->surfaceOwner, "wood");
  EXPECT_EQ(bench.indexBuffers.made[0]->indices.size(), 6u);

  const FakeMaterial& material = *bench.materials.made.back();
  EXPECT_FLOAT_EQ(material.block.Diffuse.r, 0.8f);
  EXPECT_FLOAT_EQ(material.block.Diffuse.g, 0.4f);
  EXPECT_FLOAT_EQ(material.block.Diffuse.b, 0.2f);
  EXPECT_EQ(material.block.Diffuse.a, 1.0f);
  EXPECT_EQ(material.block.Specular.g, 0.5f);
  EXPECT_FLOAT_EQ(material.block.Power, 0.4f);
  EXPECT_EQ(material.block.Emissive.b, 0.125f);
  EXPECT_EQ(material.block.Emissive.a, 1.0f);
  EXPECT_FLOAT_EQ(material.additional1.x, 0.8f);
  EXPECT_EQ(material.additional1.y, 0.5f);
  EXPECT_FLOAT_EQ(material.additional1.z, 0.4f);
  EXPECT_EQ(material.additional1.w, 0.0f);
  EXPECT_EQ(material.additional2.x, 0.25f);
  EXPECT_EQ(material.additional2.z, 1.0f);
  EXPECT_EQ(material.additional2.w, 0.125f);
  EXPECT_EQ(material.unique, 0u);
  EXPECT_FLOAT_EQ(surface->GetColor()[1], 0.5f);
  // The surface reads back through its channels what the import gave it.
  EXPECT_FLOAT_EQ(surface->GetMaterialValue(CSurface::CHANNEL_TRANSPARENCY), 1.0f);
  EXPECT_FLOAT_EQ(surface->GetMaterialValue(CSurface::CHANNEL_SPECULAR_GLOSSINESS), 0.5f);

  const std::vector<std::string> expected = {
      "  - Definig New Material For: wood at crate.lwo:\n",
      "    - Diffuse: 0.800000, 0.400000, 0.200000, 1.000000\n",
      "    - Specular: 0.500000, 0.500000, 0.500000\n",
      "    - Exp: 0.400000\n",
      "    - Glossiness: 0.500000\n",
      "    - Refraction: 1.000000\n",
      "    - Reflection: 0.000000\n",
      "    - Transparency: 0.000000\n",
      "    - Luminosity: 0.125000\n",
      "    - Translucency: 0.250000\n",
      "  - wood is Opaque\n",
      "  - wood is DoubleSided\n",
  };
  EXPECT_EQ(Lines(), expected);
  EXPECT_EQ(surface->GetColor0Texture(), nullptr);
}

TEST_F(SurfaceImportTest, FlagsFollowOpacityBlendingAndMapModes) {
  struct FlagCase {
    const char* name;
    float opacity;
    WORD blending;
    UINT mapChannel;
    float mapValue;
    WORD mode;
    const char* mapImage;
    WORD flags;
    const char* line;
  };
  const FlagCase cases[] = {
      {"invisible", 0.0f, 0, 0, 0, 0, "", 0x0001 | 0x0008, "  - wood is Invisible\n"},
      {"seen through", 0.5f, 0, 0, 0, 0, "", 0x0001, "  - wood is Transparent\n"},
      {"additive", 1.0f, LWO_SURFACE_ADDITIVE, 0, 0, 0, "", 0x0002, "  - wood is Additive\n"},
      {"reflection generated sphere", 1.0f, 0, LWO_CHANNEL_REFLECTION, 0.5f,
       LWO_MAP_SPHERICAL_GENERATED | LWO_MAP_CUBE_GENERATED, "", 0x0010 | 0x0400,
       "  - wood Has Reflection Spherical Map Generated\n"},
      {"reflection generated cube", 1.0f, 0, LWO_CHANNEL_REFLECTION, 0.5f, LWO_MAP_CUBE_GENERATED,
       "", 0x0010 | 0x0200, "  - wood Has Reflection Cube Map Generated\n"},
      {"reflection still cube", 1.0f, 0, LWO_CHANNEL_REFLECTION, 0.5f,
       LWO_MAP_STILL_CUBE | LWO_MAP_STILL_SPHERICAL, "sky.dds", 0x0010 | 0x0080,
       "  - wood Has Reflection Still Cube Map\n"},
      {"reflection still sphere", 1.0f, 0, LWO_CHANNEL_REFLECTION, 0.5f, LWO_MAP_STILL_SPHERICAL,
       "sky.png", 0x0010 | 0x0100, "  - wood Has Reflection Still Spherical Map\n"},
      {"still map without an image", 1.0f, 0, LWO_CHANNEL_REFLECTION, 0.5f, LWO_MAP_STILL_CUBE, "",
       0x0010, nullptr},
      {"no reflection", 1.0f, 0, LWO_CHANNEL_REFLECTION, 0.0f, LWO_MAP_CUBE_GENERATED, "", 0,
       "  - wood is Opaque\n"},
      // An index of refraction of 1 bends nothing.
      {"straight refraction", 1.0f, 0, LWO_CHANNEL_REFRACTION, 1.0f, LWO_MAP_CUBE_GENERATED, "", 0,
       "  - wood is Opaque\n"},
      {"refraction generated sphere", 1.0f, 0, LWO_CHANNEL_REFRACTION, 1.3f,
       LWO_MAP_SPHERICAL_GENERATED, "", 0x0020 | 0x4000,
       "  - wood Has Refraction Spherical Map Generated\n"},
      {"refraction generated cube", 1.0f, 0, LWO_CHANNEL_REFRACTION, 1.3f, LWO_MAP_CUBE_GENERATED,
       "", 0x0020 | 0x2000, "  - wood Has Refraction Cube Map Generated\n"},
      {"refraction still cube", 1.0f, 0, LWO_CHANNEL_REFRACTION, 1.3f, LWO_MAP_STILL_CUBE,
       "glass.dds", 0x0020 | 0x0800, "  - wood Has Refraction Still Cube Map\n"},
      {"refraction still sphere", 1.0f, 0, LWO_CHANNEL_REFRACTION, 1.3f, LWO_MAP_STILL_SPHERICAL,
       "glass.png", 0x0020 | 0x1000, "  - wood Has Refraction Still Spherical Map\n"},
  };
  for (const FlagCase& c : cases) {
    SCOPED_TRACE(c.name);
    wood.SetDefaults();
    Channel(LWO_CHANNEL_TRANSPARENCY).SetValue(c.opacity);
    wood.flags = c.blending;
    if (c.mapChannel != 0) {
      Channel(c.mapChannel).SetValue(c.mapValue);
      Channel(c.mapChannel).mapFlags = c.mode;
      std::strcpy(Channel(c.mapChannel).envImage, c.mapImage);
    }
    bench.log.entries.clear();
    CSurface* surface = Build();
    EXPECT_EQ(surface->GetFlags(), c.flags);
    if (c.line != nullptr) {
      EXPECT_TRUE(Logged(c.line));
    }
    // A still map is loaded into its record; no other mode makes one.
    SurfaceTexture* map = c.mapChannel == LWO_CHANNEL_REFLECTION ? surface->GetReflectionTexture()
                                                                 : surface->GetRefractionTexture();
    if (c.mapImage[0] != '\0') {
      ASSERT_NE(map, nullptr);
      EXPECT_EQ(Images(map->pTextureImage), c.mapImage);
    } else {
      EXPECT_EQ(map, nullptr);
    }
  }
}

TEST_F(SurfaceImportTest, ColourImagesMakeTheirTexturesAndDecideTheMaterial) {
  std::strcpy(Channel(LWO_CHANNEL_COLOR).image, "wood.png");
  Channel(LWO_CHANNEL_COLOR).blendOp = 7;
  std::strcpy(Channel(LWO_CHANNEL_TRANSPARENCY).image, "mask.png");
  std::strcpy(Channel(LWO_CHANNEL_SECOND_COLOR).image, "dirt.png");
  Channel(LWO_CHANNEL_SECOND_COLOR).blendOp = 4;
  Channel(LWO_CHANNEL_SECOND_COLOR).opacity = 0.75f;
  Channel(LWO_CHANNEL_SPECULAR).SetValue(0.5f);
  Channel(LWO_CHANNEL_DIFFUSE).SetValue(0.6f);
  wood.alpha = 0.5f;  // tested against the mask

  CSurface* surface = Build();
  const SurfaceTexture* color0 = surface->GetColor0Texture();
  ASSERT_NE(color0, nullptr);
  EXPECT_EQ(Images(color0->pTextureImage), "wood.png+mask.png");
  EXPECT_EQ(color0->wFlags, 0x0004);
  EXPECT_EQ(color0->wOpacity, 7);
  const SurfaceTexture* color1 = surface->GetColor1Texture();
  ASSERT_NE(color1, nullptr);
  EXPECT_EQ(Images(color1->pTextureImage), "dirt.png");
  EXPECT_EQ(color1->wOpacity, 4);
  EXPECT_EQ(color1->fOpacityValue, 0.75f);
  // Opaque under its image: full diffuse, no highlight.
  const FakeMaterial& material = *bench.materials.made.back();
  EXPECT_EQ(material.block.Diffuse.r, 1.0f);
  EXPECT_EQ(material.block.Specular.r, 0.0f);
  EXPECT_EQ(material.additional1.x, 1.0f);
  EXPECT_EQ(material.additional1.y, 0.0f);
  EXPECT_EQ(surface->GetSurfaceParameter(), 0.5f);
  EXPECT_EQ(surface->GetFlags() & SURFACE_FLAG_TRANSPARENT, 0);
  EXPECT_TRUE(Logged("  - wood is Opaque With Alpha Test: 0.500000\n"));

  // Seen through its image: the diffuse levels without the colour. Without an alpha-test
  // value the mask makes it transparent.
  Channel(LWO_CHANNEL_TRANSPARENCY).SetValue(0.5f);
  wood.alpha = 1.0f;
  CSurface* glass = Build();
  EXPECT_FLOAT_EQ(bench.materials.made.back()->block.Diffuse.g, 0.6f);
  EXPECT_EQ(bench.materials.made.back()->block.Diffuse.a, 0.5f);
  EXPECT_EQ(bench.materials.made.back()->block.Specular.r, 0.5f);
  EXPECT_EQ(glass->GetFlags() & SURFACE_FLAG_TRANSPARENT, SURFACE_FLAG_TRANSPARENT);
}

TEST_F(SurfaceImportTest, MaterialAndBumpImagesNeedALightingModelThatUsesThem) {
  std::strcpy(Channel(LWO_CHANNEL_DIFFUSE).image, "diffuse.png");
  std::strcpy(Channel(LWO_CHANNEL_GLOSSINESS).image, "exponent.png");
  std::strcpy(Channel(LWO_CHANNEL_REFRACTION).image, "refraction.png");
  std::strcpy(Channel(LWO_CHANNEL_LUMINOSITY).image, "glow.png");
  std::strcpy(Channel(LWO_CHANNEL_BUMP).image, "bump.png");

  bench.scene->SetLightingModel(1);
  CSurface* plain = Build();
  EXPECT_EQ(plain->GetMaterialTexture1(), nullptr);
  EXPECT_EQ(plain->GetMaterialTexture2(), nullptr);
  EXPECT_EQ(plain->GetNormalTexture(), nullptr);
  EXPECT_TRUE(bench.textures.made.empty());

  bench.scene->SetLightingModel(2);
  CSurface* surface = Build();
  const SurfaceTexture* first = surface->GetMaterialTexture1();
  const SurfaceTexture* second = surface->GetMaterialTexture2();
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(first->wFlags, 0x0008 | 0x0001);
  EXPECT_EQ(second->wFlags, 0x0010 | 0x0040);
  EXPECT_EQ(first->wOpacity, 1);
  EXPECT_EQ(second->fOpacityValue, 1.0f);
  EXPECT_STREQ(surface->GetTextureFileName(CSurface::TEXTURE_MATERIAL1_RED), "diffuse.png");
  EXPECT_EQ(surface->GetTextureFileName(CSurface::TEXTURE_MATERIAL1_GREEN), nullptr);
  EXPECT_STREQ(surface->GetTextureFileName(CSurface::TEXTURE_MATERIAL1_BLUE), "exponent.png");
  EXPECT_STREQ(surface->GetTextureFileName(CSurface::TEXTURE_MATERIAL2_BLUE), "refraction.png");
  EXPECT_STREQ(surface->GetTextureFileName(CSurface::TEXTURE_MATERIAL2_ALPHA), "glow.png");
  // An image present packs with 0, an absent channel with 255.
  ASSERT_EQ(bench.textures.packedBytes.size(), 2u);
  EXPECT_EQ(bench.textures.packedBytes[0], (std::array<BYTE, 4>{0, 255, 0, 255}));
  EXPECT_EQ(bench.textures.packedBytes[1], (std::array<BYTE, 4>{255, 255, 0, 0}));
  const SurfaceTexture* normal = surface->GetNormalTexture();
  ASSERT_NE(normal, nullptr);
  EXPECT_EQ(Images(normal->pTextureImage), "bump.png");
  EXPECT_TRUE(static_cast<FakeCountedTexture*>(normal->pTextureImage)->normalMap);
}

TEST_F(SurfaceImportTest, AnAlphaSequenceWidensTheColourSequence) {
  GiveSequence(LWO_CHANNEL_COLOR, "c", 0, 10, 11);
  Channel(LWO_CHANNEL_COLOR).sequenceFlags = 3;
  GiveSequence(LWO_CHANNEL_TRANSPARENCY, "a", 5, 20, 15);  // frames 5 to 19

  CSurface* surface = Build();
  const SurfaceTexture* record = surface->GetColor0Texture();
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->dwSourceKind, SURFACE_TEXTURE_SEQUENCE);
  EXPECT_EQ(record->lFirstFrame, 0);
  EXPECT_EQ(record->lFrameLimit, 20);
  EXPECT_EQ(record->dwSequenceParameter, 3u);
  ASSERT_EQ(record->dwNumberOfFrames, 21u);
  EXPECT_EQ(record->wFlags, 0x0004);
  // Outside its own range each sequence holds its first or last image.
  EXPECT_EQ(Images(record->pFrames[0]), "c0+a5");
  EXPECT_EQ(Images(record->pFrames[7]), "c7+a7");
  EXPECT_EQ(Images(record->pFrames[20]), "c10+a19");
  EXPECT_EQ(record->pTextureImage, record->pFrames[0]);
  EXPECT_TRUE(Logged("  - wood is Transparent\n"));

  surface->UpdateMaterial(12);
  EXPECT_EQ(record->pTextureImage, record->pFrames[12]);

  // The whole sequence goes back with the surface.
  bench.Take(surface)->Release();
  EXPECT_EQ(bench.textures.LiveReferences(), 0);
}

TEST_F(SurfaceImportTest, EnvelopedChannelsGetEnvelopesOfTheirOwn) {
  auto animate = [](ImportEnvelope& envelope, float value) {
    envelope.isEnvelope = 1;
    envelope.channel.AddKeyData(value, 0, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0);
    envelope.channel.AddKeyData(value * 2, 10, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0);
  };
  animate(Channel(LWO_CHANNEL_COLOR).envelope[0], 0.25f);
  animate(Channel(LWO_CHANNEL_COLOR).envelope[2], 0.25f);
  animate(Channel(LWO_CHANNEL_DIFFUSE).envelope[0], 0.5f);
  animate(Channel(LWO_CHANNEL_TRANSPARENCY).envelope[0], 0.125f);
  Channel(LWO_CHANNEL_SPECULAR).envelope[0].channel.AddKeyData(1, 0, 0, 0, 0, 0, 0, 0, 0, 0);

  CSurface* surface = Build();
  EXPECT_EQ(surface->GetHasEnvelopes(), 1u);
  EXPECT_EQ(bench.materials.made.back()->unique, 1u);
  ASSERT_NE(surface->GetColorREnvelope(), nullptr);
  EXPECT_EQ(surface->GetColorGEnvelope(), nullptr);
  ASSERT_NE(surface->GetColorBEnvelope(), nullptr);
  ASSERT_NE(surface->GetDiffuseEnvelope(), nullptr);
  ASSERT_NE(surface->GetTransparencyEnvelope(), nullptr);
  EXPECT_EQ(surface->GetSpecularGlossinessEnvelope(), nullptr) << "keys without the mark";
  EXPECT_EQ(surface->GetDiffuseEnvelope()->GetChannelEnvelope()->GetNumberOfKeys(), 2u);
  EXPECT_EQ(Lines().front(), "  - Definig New ENVELOPED Material For: wood at crate.lwo:\n");
  const std::vector<std::string> envelopeLines = {"  - wood has Envelope for Color\n",
                                                  "  - wood has Envelope for Diffuse\n",
                                                  "  - wood has Envelope for Transparency\n"};
  const std::vector<std::string> lines = Lines();
  EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()), envelopeLines);

  // The copies are the surface's: they animate the material while the import is reused.
  object->Reset();
  surface->UpdateMaterial(5);
  const D3DMATERIAL9& block = *surface->GetMaterial(0)->GetD3DMaterial();
  EXPECT_FLOAT_EQ(block.Diffuse.r, 0.375f * 0.75f);
  EXPECT_FLOAT_EQ(block.Diffuse.a, 1.0f - 0.1875f);
}

TEST_F(SurfaceImportTest, EveryFailureIsFatal) {
  struct FailCase {
    const char* name;
    void (*prepare)(SurfaceImportTest&);
    const char* caption;
    const char* text;
  };
  const FailCase cases[] = {
      {"index buffer", [](SurfaceImportTest& t) { t.bench.indexBuffers.fail = true; },
       "Error While Creating Index Buffer", "Can't Create - crate.lwo, wood"},
      {"material", [](SurfaceImportTest& t) { t.bench.materials.fail = true; },
       "Error While Updating Surface", "Can't Create Material: wood\n"},
      {"colour image",
       [](SurfaceImportTest& t) {
         std::strcpy(t.Channel(LWO_CHANNEL_COLOR).image, "wood.png");
         t.bench.textures.fail = true;
       },
       "Error While Updating Surface", "Can't Load Texture: wood - wood.png\n"},
      {"colour and alpha images",
       [](SurfaceImportTest& t) {
         std::strcpy(t.Channel(LWO_CHANNEL_COLOR).image, "wood.png");
         std::strcpy(t.Channel(LWO_CHANNEL_TRANSPARENCY).image, "mask.png");
         t.bench.textures.fail = true;
       },
       "Error While Updating Surface", "Can't Load Texture: wood - wood.png - mask.png\n"},
      {"material texture",
       [](SurfaceImportTest& t) {
         t.bench.scene->SetLightingModel(3);
         std::strcpy(t.Channel(LWO_CHANNEL_LUMINOSITY).image, "glow.png");
         t.bench.textures.fail = true;
       },
       "Error While Updating Surface", "Can't Create Material Texture: wood\n"},
      {"backwards sequence",
       [](SurfaceImportTest& t) { t.GiveSequence(LWO_CHANNEL_COLOR, "c", 9, 2, 1); },
       "Error While Updating Surface", "Image Sequence Of wood Runs From Frame 9 To 2\n"},
  };
  for (const FailCase& c : cases) {
    SCOPED_TRACE(c.name);
    wood.SetDefaults();
    c.prepare(*this);
    ProcessExitCatcher catcher;
    try {
      Build();
      ADD_FAILURE() << "no fatal error";
    } catch (const ProcessExited& exited) {
      EXPECT_EQ(exited.code, 1u);
    }
    bench.indexBuffers.fail = bench.materials.fail = bench.textures.fail = false;
    ASSERT_FALSE(catcher.Boxes().empty());
    EXPECT_EQ(catcher.Boxes().back().caption, c.caption);
    EXPECT_EQ(catcher.Boxes().back().text, c.text);
  }
}

}  // namespace
