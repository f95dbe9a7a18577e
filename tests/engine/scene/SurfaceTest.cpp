#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "FakeEnvelopes.h"
#include "ProcessExitCatcher.h"
#include "SurfaceTestBench.h"
#include "winuser.h"

namespace {

// An envelope that tells when it is deleted.
class WatchedEnvelope final : public FakeEnvelope {
 public:
  explicit WatchedEnvelope(bool* deleted) : m_pDeleted(deleted) {}
  ~WatchedEnvelope() override { *m_pDeleted = true; }

 private:
  bool* m_pDeleted;
};

FakeCountedTexture* TextureOf(SurfaceTexture* record) {
  return static_cast<FakeCountedTexture*>(record->pTextureImage);
}

class SurfaceTest : public ::testing::Test {
 protected:
  void GiveMaterial(CSurface* surface, float diffuseLevel) {
    D3DCOLORVALUE diffuse{0, 0, 0, 1}, specular{}, emissive{0, 0, 0, 1};
    CVector4 additional1{diffuseLevel, 0, 0, 0}, additional2{};
    surface->CreateMaterial(&diffuse, &specular, &emissive, &additional1, &additional2, 0);
  }

  SurfaceTestBench bench;
  CMesh* mesh = bench.AddMesh("m");
};

TEST_F(SurfaceTest, ANewSurfaceIsEmptyAndNamesAreBounded) {
  CSurface* surface = bench.Make("");
  EXPECT_STREQ(surface->GetName(), "");
  EXPECT_EQ(surface->GetSurfaceParameter(), 0.5f);
  EXPECT_EQ(surface->GetAnimationTime(), -1.0f);
  EXPECT_EQ(surface->GetMaterial(0), nullptr);
  EXPECT_EQ(surface->GetParentMesh(0), nullptr);
  EXPECT_EQ(surface->GetNumberOfIndices(), 0);
  EXPECT_EQ(surface->GetTexture(1), nullptr);
  EXPECT_EQ(surface->GetFresnelEnvelope(), nullptr);
  const std::string longName(300, 'x');
  EXPECT_EQ(surface->SetName(longName.c_str()), 255u);
  EXPECT_EQ(surface->SetShaderFileName(longName.c_str(), 1), 255u);
  EXPECT_EQ(surface->SetName(nullptr), 0u);
}

TEST_F(SurfaceTest, SetIndicesRefusesNothingAndKeepsTheOldList) {
  CSurface* surface = bench.Make("s", mesh);
  WORD indices[] = {0, 1, 2};
  ASSERT_EQ(surface->SetIndices(3, indices), 1u);
  EXPECT_EQ(surface->SetIndices(0, indices), 0u);
  EXPECT_EQ(surface->SetIndices(3, nullptr), 0u);
  EXPECT_EQ(surface->GetNumberOfIndices(), 3);
  EXPECT_EQ(bench.log.TextAt(CEngineLog::kLevelError),
            "WARNING!!! - CSurface::SetIndices, (s) Can't Add Indices (NULL Pointer Or No "
                "Indices)\n"
                "WARNING!!! - CSurface::SetIndices, (s) Can't Add Indices (NULL Pointer Or No "
                "Indices)\n");
}

TEST_F(SurfaceTest, StaticBuffersAreRemadeAndDynamicOnesRewritten) {
  CSurface* still = bench.Make("still", mesh);
  CSurface* moving = bench.Make("moving", bench.AddMesh("dyn", 1));
  WORD first[] = {0, 1, 2}, second[] = {2, 1, 0, 3, 4, 5};
  for (CSurface* surface : {still, moving}) {
    surface->SetIndices(3, first);
    surface->SetIndices(6, second);
  }
  // The static surface made a second buffer and gave the first back.
  ASSERT_EQ(bench.indexBuffers.made.size(), 3u);
  EXPECT_EQ(bench.indexBuffers.made[0]->references, 0);
  EXPECT_EQ(still->GetIndexBuffer(), bench.indexBuffers.made[1].get());
  EXPECT_EQ(bench.indexBuffers.made[1]->meshOwner, "m");
  EXPECT_EQ(bench.indexBuffers.made[1]->surfaceOwner, "still");
  EXPECT_EQ(bench.indexBuffers.made[1]->dynamic, 0u);
  // The dynamic one kept its buffer and rewrote it.
  auto* dynamic = static_cast<FakeIndexBuffer*>(moving->GetIndexBuffer());
  EXPECT_EQ(dynamic->dynamic, 1u);
  EXPECT_EQ(dynamic->rewrites, 1);
  EXPECT_EQ(dynamic->indices, std::vector<WORD>(second, second + 6));
  EXPECT_EQ(moving->GetNumberOfIndices(), 6);
}

TEST_F(SurfaceTest, AnIndexBufferThatCannotBeMadeIsLogged) {
  CSurface* surface = bench.Make("s", mesh);
  bench.indexBuffers.fail = true;
  WORD indices[] = {0, 1, 2};
  EXPECT_EQ(surface->SetIndices(3, indices), 0u);
  EXPECT_EQ(surface->GetIndexBuffer(), nullptr);
  EXPECT_EQ(surface->GetNumberOfIndices(), 3);
  EXPECT_EQ(bench.log.TextAt(CEngineLog::kLevelError), "ERROR! - Can't Create Index Buffer\n");
}

TEST_F(SurfaceTest, TextureKindsSelectTheirSlotAndImage) {
  struct KindCase {
    UINT kind;
    const char* expectedName;  // what GetTextureFileName answers for the kind afterwards
    SurfaceTexture* (CSurface::*slot)();
  };
  const KindCase cases[] = {
      {1, "k1.png", &CSurface::GetColor0Texture},
      {2, "k2.png", &CSurface::GetColor1Texture},
      {13, "k13.png", &CSurface::GetNormalTexture},
      {7, "k7.png", &CSurface::GetMaterialTexture1},
      {8, "k8.png", &CSurface::GetMaterialTexture1},
      {9, "k9.png", &CSurface::GetMaterialTexture1},
      {11, "k11.png", &CSurface::GetMaterialTexture1},
      {17, "k17.png", &CSurface::GetMaterialTexture2},
      {15, "k15.png", &CSurface::GetMaterialTexture2},
      {10, "k10.png", &CSurface::GetMaterialTexture2},
      {16, "k16.png", &CSurface::GetMaterialTexture2},
      {21, nullptr, &CSurface::GetReflectionTexture},
      {22, nullptr, &CSurface::GetRefractionTexture},
  };
  for (const KindCase& c : cases) {
    SCOPED_TRACE(c.kind);
    CSurface* surface = bench.Make("s");
    const std::string name = "k" + std::to_string(c.kind) + ".png";
    ASSERT_EQ(surface->SetTexture(c.kind, name.c_str()), 1u);
    SurfaceTexture* record = (surface->*c.slot)();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(surface->GetTexture(c.kind), record);
    if (c.expectedName != nullptr)
      EXPECT_STREQ(surface->GetTextureFileName(c.kind), c.expectedName);
    else
      EXPECT_EQ(surface->GetTextureFileName(c.kind), nullptr);
    EXPECT_EQ(record->wOpacity, 1);
    EXPECT_EQ(record->fOpacityValue, 1.0f);
    EXPECT_EQ(record->mtxMatrix._11, 1.0f);
  }
  CSurface* surface = bench.Make("s");
  EXPECT_EQ(surface->SetTexture(3, "x.png"), 0u);
  EXPECT_EQ(surface->GetTexture(3), nullptr);
  EXPECT_EQ(surface->GetTextureFileName(3), nullptr);
}

TEST_F(SurfaceTest, KindsOfOneSlotShareItsTexture) {
  CSurface* surface = bench.Make("s");
  surface->SetTexture(1, "colour.png");
  FakeCountedTexture* single = TextureOf(surface->GetColor0Texture());
  surface->SetTexture(12, "alpha.png");
  FakeCountedTexture* pair = TextureOf(surface->GetColor0Texture());
  EXPECT_EQ(single->references, 0) << "the replaced texture goes back";
  EXPECT_EQ(pair->names[0], "colour.png");
  EXPECT_EQ(pair->names[4], "alpha.png");
  EXPECT_STREQ(surface->GetTextureFileName(12), "alpha.png");

  surface->SetTexture(13, "normal.png");
  surface->SetTexture(20, "height.png");
  EXPECT_TRUE(TextureOf(surface->GetNormalTexture())->normalMap);
  EXPECT_STREQ(surface->GetTextureFileName(20), "normal.png");

  // Material texture 2's kinds ignore material texture 1.
  surface->SetTexture(7, "diffuse.png");
  EXPECT_EQ(surface->GetTextureFileName(17), nullptr);
  surface->SetTexture(8, "gloss.png");
  FakeCountedTexture* packed = TextureOf(surface->GetMaterialTexture1());
  EXPECT_EQ(packed->names[1], "diffuse.png");
  EXPECT_EQ(packed->names[2], "gloss.png");
  EXPECT_EQ(bench.textures.packedBytes.back(), (std::array<BYTE, 4>{255, 255, 255, 255}));
  EXPECT_GT(bench.textures.loadAllCalls, 0);
}

TEST_F(SurfaceTest, EmptyingSlotsGivesTheirTexturesBack) {
  CSurface* surface = bench.Make("s");
  surface->SetTexture(7, "diffuse.png");
  surface->SetTexture(2, "second.png");
  EXPECT_EQ(surface->SetTexture(7, nullptr), 0u) << "no channel image left";
  EXPECT_EQ(surface->GetMaterialTexture1(), nullptr);
  EXPECT_EQ(surface->SetTexture(2, nullptr), 1u);
  EXPECT_EQ(surface->GetColor1Texture(), nullptr);
  EXPECT_EQ(bench.textures.LiveReferences(), 0);
  // A second image alone makes nothing, and a bank that fails changes nothing.
  EXPECT_EQ(surface->SetTexture(12, "alpha.png"), 0u);
  EXPECT_EQ(surface->GetColor0Texture(), nullptr);
  surface->SetTexture(1, "colour.png");
  bench.textures.fail = true;
  EXPECT_EQ(surface->SetTexture(1, "other.png"), 0u);
  EXPECT_STREQ(surface->GetTextureFileName(1), "colour.png");
}

TEST_F(SurfaceTest, EmptyingAnImageSequenceReleasesEveryFrame) {
  CSurface* surface = bench.Make("s");
  surface->SetTexture(1, "seq_000.png");
  SurfaceTexture* record = surface->GetColor0Texture();
  TextureOf(record)->Release();  // the sequence's frames replace the single image
  record->dwSourceKind = SURFACE_TEXTURE_SEQUENCE;
  record->dwNumberOfFrames = 3;
  record->pFrames = new CTextureInterface*[3];
  for (int i = 0; i < 3; ++i)
    record->pFrames[i] = bench.textures.CreateTexture(("f" + std::to_string(i)).c_str(), 0);
  record->pTextureImage = record->pFrames[1];
  EXPECT_STREQ(surface->GetTextureFileName(1), "f0") << "names come from the first frame";
  ASSERT_EQ(bench.textures.LiveReferences(), 3);
  surface->SetTexture(1, nullptr);
  EXPECT_EQ(surface->GetColor0Texture(), nullptr);
  EXPECT_EQ(bench.textures.LiveReferences(), 0);
}

TEST_F(SurfaceTest, ReleaseGivesBackEverythingTheSurfaceHolds) {
  CSurface* surface = bench.Take(bench.Make("s", mesh));
  WORD indices[] = {0, 1, 2};
  surface->SetIndices(3, indices);
  GiveMaterial(surface, 1.0f);
  for (UINT kind : {1u, 2u, 13u, 7u, 17u, 21u, 22u}) surface->SetTexture(kind, "t.png");
  bool envelopesDeleted[2] = {};
  surface->SetMaterialEnvelope(CSurface::CHANNEL_COLOR_RED, new WatchedEnvelope(&envelopesDeleted[0]));
  surface->SetMaterialEnvelope(CSurface::CHANNEL_REFLECTION,
                               new WatchedEnvelope(&envelopesDeleted[1]));
  ASSERT_EQ(bench.textures.LiveReferences(), 7);

  surface->AddRef();
  surface->Release();
  EXPECT_EQ(bench.materials.live, 1) << "a reference is still held";
  surface->Release();
  EXPECT_EQ(bench.textures.LiveReferences(), 0);
  EXPECT_EQ(bench.indexBuffers.LiveReferences(), 0);
  EXPECT_EQ(bench.materials.live, 0);
  EXPECT_TRUE(envelopesDeleted[0]);
  EXPECT_TRUE(envelopesDeleted[1]);
  EXPECT_NE(bench.log.TextAt(CEngineLog::kLevelInfo).find("- (CSurface) Releasing s Of m\n"),
            std::string::npos);
}

TEST_F(SurfaceTest, ReplacingAMaterialGivesTheOldOneBack) {
  CSurface* surface = bench.Make("s", mesh);
  GiveMaterial(surface, 0.8f);
  for (int i = 0; i < 300; ++i) {
    float color[3] = {1, 0.5f, static_cast<float>(i) / 300};
    surface->SetColor(color);
    surface->SetMaterialValue(CSurface::CHANNEL_LUMINOSITY, 0.25f);
  }
  EXPECT_EQ(bench.materials.live, 1);
  GiveMaterial(surface, 0.8f);
  EXPECT_EQ(bench.materials.live, 1);
}

TEST_F(SurfaceTest, ColourFromBlackKeepsTheDiffuseLevel) {
  // The colour starts at 0: the level comes from the material's diffuse level, not a division.
  CSurface* surface = bench.Make("s", mesh);
  GiveMaterial(surface, 0.8f);
  float color[3] = {1, 0.5f, 0.25f};
  surface->SetColor(color);
  const D3DMATERIAL9* block = surface->GetMaterial(0)->GetD3DMaterial();
  EXPECT_FLOAT_EQ(block->Diffuse.r, 0.8f);
  EXPECT_FLOAT_EQ(block->Diffuse.g, 0.4f);
  EXPECT_FLOAT_EQ(block->Diffuse.b, 0.2f);
  EXPECT_EQ(block->Diffuse.a, 1.0f);
  EXPECT_EQ(surface->GetMaterialValue(CSurface::CHANNEL_COLOR_GREEN), 0.5f);

  // Then a colour channel scales by the stored colour; a zero one by the level again.
  surface->SetMaterialValue(CSurface::CHANNEL_COLOR_GREEN, 1.0f);
  EXPECT_FLOAT_EQ(surface->GetMaterial(0)->GetD3DMaterial()->Diffuse.g, 0.8f);
  float black[3] = {0, 0, 0};
  surface->SetColor(black);
  surface->SetMaterialValue(CSurface::CHANNEL_COLOR_BLUE, 0.5f);
  EXPECT_TRUE(std::isfinite(surface->GetMaterial(0)->GetD3DMaterial()->Diffuse.b));
  EXPECT_FLOAT_EQ(surface->GetMaterial(0)->GetD3DMaterial()->Diffuse.b, 0.4f);

  // With a colour 0 texture only the colour is kept.
  CSurface* decal = bench.Make("d", mesh);
  GiveMaterial(decal, 0.8f);
  decal->SetTexture(1, "c.png");
  decal->SetColor(color);
  EXPECT_EQ(decal->GetMaterial(0)->GetD3DMaterial()->Diffuse.r, 0.0f);
  EXPECT_EQ(decal->GetColor()[2], 0.25f);
}

TEST_F(SurfaceTest, MaterialChannelsLandWhereTheyLive) {
  struct ChannelCase {
    UINT channel;
    float value;
    bool activeAfter;
  };
  const ChannelCase cases[] = {{1, 0.7f, true},  {2, 0.3f, true},  {3, 0.05f, false},
                               {4, 1.0f, false}, {5, 0.2f, true},  {6, 0.5f, true},
                               {8, 0.0f, false}, {9, 0.6f, true},  {10, 0.1f, true}};
  CSurface* surface = bench.Make("s", mesh);
  GiveMaterial(surface, 1.0f);
  float white[3] = {1, 1, 1};
  surface->SetColor(white);  // the diffuse channel reads Diffuse.r, the level times the red
  for (const ChannelCase& c : cases) {
    SCOPED_TRACE(c.channel);
    surface->SetMaterialValue(c.channel, c.value);
    EXPECT_FLOAT_EQ(surface->GetMaterialValue(c.channel), c.value);
    EXPECT_EQ(surface->IsMaterialChannelActive(c.channel), c.activeAfter);
  }
  const D3DMATERIAL9* block = surface->GetMaterial(0)->GetD3DMaterial();
  EXPECT_FLOAT_EQ(block->Specular.g, 0.3f);
  EXPECT_FLOAT_EQ(block->Emissive.b, 0.6f);
  EXPECT_FLOAT_EQ(block->Power, 0.05f);
  EXPECT_EQ(surface->GetMaterialValue(7), 0.0f);
  EXPECT_FALSE(surface->IsMaterialChannelActive(7));
  EXPECT_EQ(bench.materials.live, 1);
}

TEST_F(SurfaceTest, OpacityDrivesTheTransparentFlagAndEnvelopesLockChannels) {
  CSurface* surface = bench.Make("s", mesh);
  GiveMaterial(surface, 1.0f);
  surface->SetMaterialValue(CSurface::CHANNEL_TRANSPARENCY, 0.5f);
  EXPECT_EQ(surface->GetFlags() & SURFACE_FLAG_TRANSPARENT, SURFACE_FLAG_TRANSPARENT);
  surface->SetMaterialValue(CSurface::CHANNEL_TRANSPARENCY, 1.0f);
  EXPECT_EQ(surface->GetFlags() & SURFACE_FLAG_TRANSPARENT, 0);

  bool replacedDeleted = false, fresnelDeleted = false;
  surface->SetMaterialEnvelope(CSurface::CHANNEL_REFLECTION, new WatchedEnvelope(&replacedDeleted));
  surface->SetMaterialEnvelope(CSurface::CHANNEL_REFLECTION, new FakeEnvelope());
  EXPECT_TRUE(replacedDeleted);
  // The Fresnel channel has no envelope: the one handed over is not kept.
  surface->SetMaterialEnvelope(CSurface::CHANNEL_FRESNEL_EXPONENT,
                               new WatchedEnvelope(&fresnelDeleted));
  EXPECT_TRUE(fresnelDeleted);
  EXPECT_EQ(surface->GetMaterialEnvelope(CSurface::CHANNEL_FRESNEL_EXPONENT), nullptr);
  surface->SetMaterialValue(CSurface::CHANNEL_REFLECTION, 0.9f);
  EXPECT_EQ(surface->GetMaterialValue(CSurface::CHANNEL_REFLECTION), 0.0f);
  EXPECT_TRUE(surface->IsMaterialChannelActive(CSurface::CHANNEL_REFLECTION));
}

TEST_F(SurfaceTest, AMaterialTheBankRefusesLeavesTheOldOne) {
  CSurface* surface = bench.Make("s", mesh);
  GiveMaterial(surface, 1.0f);
  CMaterialInterface* before = surface->GetMaterial(0);
  bench.materials.fail = true;
  ProcessExitCatcher catcher;
  surface->SetMaterialValue(CSurface::CHANNEL_TRANSPARENCY, 0.5f);
  EXPECT_EQ(surface->GetMaterial(0), before);
  EXPECT_EQ(surface->GetFlags() & SURFACE_FLAG_TRANSPARENT, 0);
  ASSERT_EQ(catcher.Boxes().size(), 1u);
  EXPECT_EQ(catcher.Boxes()[0].caption, "Error When Creating Material");
  EXPECT_EQ(catcher.Boxes()[0].text, "Can't Create Material");

  EXPECT_EQ(surface->CreateMaterial(nullptr, nullptr, nullptr, nullptr, nullptr, 0), 0u);
  EXPECT_EQ(surface->GetMaterial(0), nullptr);
  EXPECT_EQ(bench.materials.live, 0);
  EXPECT_NE(bench.log.TextAt(CEngineLog::kLevelError).find("ERROR! - Can't Create Material For s\n"),
            std::string::npos);
}

TEST_F(SurfaceTest, ShadersAreCreatedOrReplacedByNone) {
  int fakeShader = 0;
  auto* shader = reinterpret_cast<CShader*>(&fakeShader);
  CSurface* surface = bench.Make("s", mesh);
  bench.shaders.shaderToGive = shader;
  ShaderParameter parameters[2] = {};
  EXPECT_EQ(surface->CreateShader("a.ssh", parameters, 2, 1), 1u);
  EXPECT_EQ(surface->GetShader(), shader);
  EXPECT_STREQ(surface->GetShaderFileName(), "a.ssh");
  EXPECT_EQ(surface->AssignShader(nullptr), 1u) << "a manual shader is kept";
  EXPECT_EQ(bench.shaders.defaultStateResets, 1);
  EXPECT_EQ(surface->CreateShader("b.ssh", nullptr, 5, 1), 1u);
  EXPECT_EQ(bench.shaders.requestedParameterCounts.back(), 0u) << "no parameters, no count";

  bench.shaders.shaderToGive = nullptr;
  ProcessExitCatcher catcher;
  EXPECT_EQ(surface->CreateShader("broken.ssh", nullptr, 0, 0), 0u);
  EXPECT_STREQ(surface->GetShaderFileName(), "none");
  EXPECT_EQ(surface->GetShader(), nullptr);
  ASSERT_EQ(catcher.Boxes().size(), 1u);
  EXPECT_EQ(catcher.Boxes()[0].caption, "Error While Creating Shader");
  EXPECT_EQ(catcher.Boxes()[0].text, "Can't Create Shader: broken.ssh");
  EXPECT_EQ(catcher.Boxes()[0].type, UINT(MB_OK | MB_ICONSTOP));
}

TEST_F(SurfaceTest, AssignShaderAsksTheChooserOrTheDefault) {
  int fakeShader = 0;
  CSurface* surface = bench.Make("s", mesh);
  EXPECT_EQ(surface->AssignShader([](CSurfaceInterface*) { return 1u; }), 1u);
  EXPECT_EQ(surface->AssignShader(nullptr), 0u) << "the default gave no shader";
  bench.shaders.defaultShader = reinterpret_cast<CShader*>(&fakeShader);
  EXPECT_EQ(surface->AssignShader(nullptr), 1u);
  EXPECT_EQ(surface->GetShaderProgram(), 1u);
  EXPECT_STREQ(surface->GetShaderFileName(), "none");
}

TEST_F(SurfaceTest, ACloneSharesResourcesWithReferencesOfItsOwn) {
  CSurface* original = bench.Make("s", mesh);
  WORD indices[] = {0, 1, 2};
  original->SetIndices(3, indices);
  GiveMaterial(original, 0.5f);
  original->SetTexture(1, "c.png");
  original->SetTexture(7, "d.png");
  original->SetFlags(0x24);
  original->SetShadingType(2);
  original->SetAnimationTime(3.0f);
  original->SetHasEnvelopes(1);
  auto* colour = new FakeEnvelope();
  auto* diffuse = new FakeEnvelope();
  diffuse->SetIsEnvelope(1);
  diffuse->channel.AddKeyData(0.25f, 2.0f, 0, 0, 0, 0, 0, 0, 0, 0);
  original->SetMaterialEnvelope(CSurface::CHANNEL_COLOR_RED, colour);
  original->SetMaterialEnvelope(CSurface::CHANNEL_DIFFUSE, diffuse);

  CMesh* other = bench.AddMesh("other");
  CSurface* clone = original->Clone(other);
  bench.Adopt(clone);
  EXPECT_EQ(clone->GetParentMeshObject(), other);
  EXPECT_STREQ(clone->GetName(), "s");
  EXPECT_EQ(clone->GetIndexBuffer(), original->GetIndexBuffer());
  EXPECT_EQ(bench.indexBuffers.LiveReferences(), 2);
  EXPECT_EQ(bench.textures.LiveReferences(), 4);
  EXPECT_NE(clone->GetMaterial(0), original->GetMaterial(0));
  EXPECT_EQ(bench.materials.live, 2);
  EXPECT_EQ(clone->GetColorREnvelope(), nullptr);
  ASSERT_NE(clone->GetDiffuseEnvelope(), nullptr);
  EXPECT_NE(clone->GetDiffuseEnvelope(), diffuse);
  EXPECT_TRUE(CEnvelopeInterface::IsEqual(clone->GetDiffuseEnvelope(), diffuse));
  EXPECT_EQ(clone->GetFlags(), 0x24);
  EXPECT_EQ(clone->GetShadeType(), 2u);
  EXPECT_EQ(clone->GetAnimationTime(), -1.0f);
  EXPECT_TRUE(original->IsSimilar(clone));

  // Dropping the original leaves the clone's resources alive.
  bench.Take(original)->Release();
  EXPECT_EQ(bench.indexBuffers.LiveReferences(), 1);
  EXPECT_EQ(bench.textures.LiveReferences(), 2);
  EXPECT_EQ(bench.materials.live, 1);
}

TEST_F(SurfaceTest, KeyedEnvelopesWriteTheMaterialEachFrame) {
  CSurface* surface = bench.Make("s", mesh);
  GiveMaterial(surface, 1.0f);
  surface->SetHasEnvelopes(1);
  auto keyed = [](float value) {
    auto* envelope = new FakeEnvelope();
    envelope->SetIsEnvelope(1);
    envelope->channel.AddKeyData(value, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    return envelope;
  };
  float color[3] = {1, 0.5f, 0.25f};
  surface->SetColor(color);
  surface->SetMaterialEnvelope(CSurface::CHANNEL_DIFFUSE, keyed(0.5f));
  surface->SetMaterialEnvelope(CSurface::CHANNEL_TRANSPARENCY, keyed(0.25f));
  surface->SetMaterialEnvelope(CSurface::CHANNEL_SPECULAR_EXPONENT, keyed(16));
  auto* constant = new FakeEnvelope();  // not keyed: it does not count
  constant->SetValue(0.9f);
  surface->SetMaterialEnvelope(CSurface::CHANNEL_LUMINOSITY, constant);
  surface->UpdateMaterial(2.0f);

  const D3DMATERIAL9* block = surface->GetMaterial(0)->GetD3DMaterial();
  EXPECT_FLOAT_EQ(block->Diffuse.r, 0.5f);
  EXPECT_FLOAT_EQ(block->Diffuse.g, 0.25f);
  EXPECT_FLOAT_EQ(block->Ambient.b, 0.125f);
  EXPECT_FLOAT_EQ(block->Diffuse.a, 0.75f);
  EXPECT_FLOAT_EQ(block->Power, 16);
  EXPECT_EQ(block->Emissive.r, 0.0f);
  EXPECT_FLOAT_EQ(surface->GetMaterial(0)->GetAdditionalMaterial1()->x, 0.5f);
  EXPECT_EQ(static_cast<FakeEnvelope*>(surface->GetDiffuseEnvelope())->steppedFrames,
            std::vector<float>{2.0f});
  EXPECT_EQ(bench.materials.live, 1) << "the frame writes in place";
}

TEST_F(SurfaceTest, SavingTexturesAsksEveryTexture) {
  CSurface* surface = bench.Make("s");
  for (UINT kind : {1u, 2u, 13u, 7u, 17u, 21u, 22u}) surface->SetTexture(kind, "t.png");
  EXPECT_EQ(surface->SaveTexturesAsDDS(), 1u);
  for (const auto& texture : bench.textures.made)
    EXPECT_EQ(texture->saves, texture->references > 0 ? 1 : 0);
  EXPECT_EQ(surface->ReleaseTextures(), 1u);
  EXPECT_EQ(bench.textures.LiveReferences(), 0);
  EXPECT_NE(surface->GetColor0Texture(), nullptr) << "the records stay";
}

TEST_F(SurfaceTest, TheMeshMakesSurfacesThroughTheFactory) {
  CSurfaceInterface* made = mesh->CreateSurface();
  auto* surface = dynamic_cast<CSurface*>(made);
  ASSERT_NE(surface, nullptr);
  EXPECT_EQ(surface->GetParentMesh(0), mesh);
}

}  // namespace
