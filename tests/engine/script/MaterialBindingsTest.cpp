// Textures, materials, their storages and surfaces as scripts drive them: the storages on the
// renderer's real banks (null back end), the packed material textures on the recording texture
// bank, surfaces of a mesh built in code.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "D3DBindingsBench.h"
#include "SurfaceTestBench.h"
#include "d3d/MaterialBank.h"
#include "scene/Envelope.h"
#include "script/bstr.h"

using namespace AngelScript;

namespace {

class MaterialStorageBindingsTest : public D3DBindingsTest {
 protected:
  void SetUp() override {
    D3DBindingsTest::SetUp();
    ASSERT_GE(script.engine->RegisterGlobalProperty("CMaterialStorageInterface@ g_materials",
                                                    &materials),
              0);
    ASSERT_GE(script.engine->RegisterGlobalProperty("CTextureStorageInterface@ g_textures",
                                                    &textures),
              0);
  }
  CMaterialStorageInterface* materials = banks.Renderer().GetMaterialStorageInterface();
  CTextureStorageInterface* textures = banks.Renderer().GetTextureStorageInterface();
};

TEST_F(MaterialStorageBindingsTest, ScriptsShareOneDefaultMaterialInsteadOfFillingTheBank) {
  auto& bank = dynamic_cast<CMaterialBank&>(*materials);
  const UINT before = bank.GetNumberOfMaterials();
  const char* create = "return g_materials.CreateMaterial();";
  auto* first = Handle<CMaterialInterface>("CMaterialInterface@", create);
  ASSERT_NE(first, nullptr);
  for (int i = 0; i < 299; ++i) ASSERT_EQ(Handle("CMaterialInterface@", create), first) << i;
  EXPECT_EQ(bank.GetNumberOfMaterials(), before + 1);
  const D3DMATERIAL9* made = first->GetD3DMaterial();
  EXPECT_EQ(made->Diffuse.r, 1.0f);
  EXPECT_EQ(made->Ambient.g, 1.0f);
  EXPECT_EQ(made->Specular.r, 0.0f);
  EXPECT_EQ(made->Emissive.b, 0.0f);

  // The material's own records, edited in place.
  CMaterialInterface* handle = first;
  ASSERT_GE(script.engine->RegisterGlobalProperty("CMaterialInterface@ g_material", &handle), 0);
  Run("g_material.GetD3DMaterial().Power = 8; g_material.GetAdditionalMaterial2().w = 3;");
  EXPECT_EQ(first->GetD3DMaterial()->Power, 8.0f);
  EXPECT_EQ(first->GetAdditionalMaterial2()->w, 3.0f);

  banks.bench.ForgetCalls();
  Run("D3DMATERIAL9 m; m.Diffuse = CVector4(0.5f, 0.5f, 0.5f, 1); g_materials.SetMaterial(m);"
      "g_materials.SetMaterial(g_material, 0);");
  EXPECT_FALSE(RendererTestBench::Calls({"SetMaterial"}).empty());
  Throws("CMaterialInterface@ none; g_materials.SetMaterial(none, 0);");
}

TEST_F(MaterialStorageBindingsTest, TexturesAreMadeFoundAndSetThroughTheBank) {
  banks.bench.log.entries.clear();
  auto* texture = Handle<CTextureInterface>("CTextureInterface@",
                                            "return g_textures.CreateTexture(\"flare.png\");");
  ASSERT_NE(texture, nullptr);
  EXPECT_NE(banks.bench.log.TextAt(CEngineLog::kLevelInfo)
                .find("(flare_png)... (Leave File Format UnChanged: FALSE)"),
            std::string::npos)
      << banks.bench.log.TextAt(CEngineLog::kLevelInfo);
  EXPECT_EQ(script.Eval<asUINT>("uint", "return g_textures.LoadAllTextures();"),
            textures->LoadAllTextures());
  CTextureInterface* handle = texture;
  ASSERT_GE(script.engine->RegisterGlobalProperty("CTextureInterface@ g_texture", &handle), 0);
  EXPECT_EQ(script.Eval<asUINT>("uint", "return g_texture.GetWidth() * 100 + g_texture.GetHeight();"),
            404u);
  EXPECT_EQ(Handle("CTextureInterface@", "return g_textures.GetTextureByName(\"FLARE.PNG\");"),
            textures->GetTextureByName("flare.png", 1));
  const UINT count = textures->GetNumberOfTextures();
  EXPECT_EQ(script.Eval<asUINT>("uint", "return g_textures.GetNumberOfTextures();"), count);
  EXPECT_EQ(Handle("CTextureInterface@", "return g_textures.GetTextureByID(" +
                                             std::to_string(count) + ");"),
            nullptr);

  banks.bench.ForgetCalls();
  Run("g_textures.SetTexture(g_texture, 2);");
  EXPECT_FALSE(RendererTestBench::Calls({"SetTexture"}).empty());
  Throws("CTextureInterface@ none; g_textures.SetTexture(none, 2);");
}

class SurfaceBindingsTest : public ScriptBindingsTest {
 protected:
  void SetUp() override {
    ScriptBindingsTest::SetUp();
    mesh = bench.AddMesh("box");
    surface = bench.Make("Skin", mesh);
    handle = surface;
    textures = &bench.textures;
    ASSERT_GE(script.engine->RegisterGlobalProperty("CSurfaceInterface@ g_surface", &handle), 0);
    ASSERT_GE(script.engine->RegisterGlobalProperty("CTextureStorageInterface@ g_textures",
                                                    &textures),
              0);
    ASSERT_GE(script.engine->RegisterGlobalProperty("CEnvelopeInterface@ g_envelope", &envelope),
              0);
  }
  SurfaceTestBench bench;
  CMesh* mesh = nullptr;
  CSurface* surface = nullptr;
  CSurfaceInterface* handle = nullptr;
  CTextureStorageInterface* textures = nullptr;
  CEnvelopeInterface* envelope = nullptr;  // the script's g_envelope
};

TEST_F(SurfaceBindingsTest, GettersGiveCopiesOfNamesAndTheSurfacesOwnObjects) {
  EXPECT_EQ(script.Eval<bstr>("bstr", "bstr n = g_surface.GetName(); n += \"2\"; return n;"),
            "Skin2");
  EXPECT_STREQ(surface->GetName(), "Skin");
  EXPECT_EQ(script.Eval<void*>("CEnvelopeInterface@", "return g_surface.GetMaterialEnvelope(1);"),
            surface->GetDiffuseEnvelope());
  EXPECT_EQ(script.Eval<void*>("CEnvelopeInterface@", "return g_surface.GetDiffuseEnvelope();"),
            surface->GetMaterialEnvelope(1));
  EXPECT_EQ(script.Eval<void*>("CMeshInterface@", "return g_surface.GetParentMesh();"),
            static_cast<CMeshInterface*>(mesh));
  EXPECT_EQ(script.Eval<void*>("CMaterialInterface@", "return g_surface.GetMaterial();"),
            surface->GetMaterial(1));
  EXPECT_EQ(script.Eval<bstr>("bstr", "return g_surface.GetTextureFileName(1);"), "");
  surface->SetTexture(CSurface::TEXTURE_COLOR0, "decal.png");
  EXPECT_EQ(script.Eval<bstr>("bstr", "return g_surface.GetTextureFileName(1);"),
            surface->GetTextureFileName(1));

  Run("g_surface.SetFlags(0x21); g_surface.SetMaterialValue(1, 0.25f);");
  EXPECT_EQ(surface->GetFlags(), 0x21);
  EXPECT_EQ(script.Eval<float>("float", "return g_surface.GetMaterialValue(1);"), 0.25f);
}

TEST_F(SurfaceBindingsTest, ASlotIsWrittenInPlaceAndAMissingSlotStopsTheScript) {
  surface->SetTexture(CSurface::TEXTURE_COLOR0, "decal.png");
  Run("g_surface.GetColor0Texture().wOpacity = 3; g_surface.GetColor0Texture().fOpacityValue = 0.5f;"
      "g_surface.GetColor0Texture().mtxMatrix._41 = 2; g_surface.GetColor0Texture().wFlags = 0x100;");
  const SurfaceTexture* slot = surface->GetColor0Texture();
  EXPECT_EQ(slot->wOpacity, 3);
  EXPECT_EQ(slot->fOpacityValue, 0.5f);
  EXPECT_EQ(slot->mtxMatrix.m[3][0], 2.0f);
  EXPECT_EQ(slot->wFlags, 0x100);
  EXPECT_EQ(script.Eval<void*>("CTextureInterface@",
                               "return g_surface.GetColor0Texture().pTextureImage;"),
            slot->pTextureImage);
  Throws("g_surface.GetColor1Texture().wOpacity = 1;");
}

TEST_F(SurfaceBindingsTest, TheIndexCountReachesScriptsWhole) {
  std::vector<WORD> indices(70000);
  for (size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<WORD>(i % 3);
  surface->SetIndices(static_cast<UINT>(indices.size()), indices.data());
  EXPECT_EQ(script.Eval<asUINT>("uint", "return g_surface.GetNumberOfIndices();"), 70000u);
  EXPECT_EQ(script.Eval<asUINT>("uint", "uint16 n = g_surface.GetNumberOfIndices(); return n;"),
            70000u % 65536);
}

TEST_F(SurfaceBindingsTest, ASurfaceGetsACopyOfAnEnvelopeThatIsNotItsOwn) {
  // Someone else's envelope (a light's, say): the surface must not take it over.
  auto others = std::make_unique<CEnvelope>(1, nullptr, 0.75f);
  CChannelEnvelopeInterface* channel = others->GetChannelEnvelope();
  channel->AddKey(channel->CreateKey());
  envelope = others.get();
  Run("g_surface.SetMaterialEnvelope(2, g_envelope);");
  CEnvelopeInterface* copy = surface->GetMaterialEnvelope(2);
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, others.get());
  EXPECT_EQ(copy->GetIsEnvelope(), 1u);
  EXPECT_EQ(copy->GetValue(), 0.75f);
  EXPECT_EQ(copy->GetChannelEnvelope()->GetNumberOfKeys(), 1u);

  // The surface's own envelope for the channel stays as it is; its envelope of another channel
  // is copied, so that no envelope has two owners.
  envelope = copy;
  Run("g_surface.SetMaterialEnvelope(2, g_envelope);");
  EXPECT_EQ(surface->GetMaterialEnvelope(2), copy);
  Run("g_surface.SetMaterialEnvelope(3, g_envelope);");
  EXPECT_NE(surface->GetMaterialEnvelope(3), copy);
  EXPECT_EQ(surface->GetMaterialEnvelope(2), copy);

  CEnvelopeInterface* diffuse = surface->GetMaterialEnvelope(1);
  Throws("CEnvelopeInterface@ none; g_surface.SetMaterialEnvelope(1, none);");
  EXPECT_EQ(surface->GetMaterialEnvelope(1), diffuse);
}

TEST_F(SurfaceBindingsTest, MaterialTextureDescriptionsReachTheBankWithTheirNamesAndValues) {
  Run("MaterialTexture1 a; a.szDiffuseInRed = \"diffuse.png\"; a.szSpecularExpInBlue = \"exp.png\";"
      "a.DiffuseValueInRed = 1; a.SpecularGlossValueInGreeen = 2; a.SpecularExpValueInBlue = 3;"
      "a.ReflectionValueInAlpha = 4; g_textures.CreateTexture(a);"
      "MaterialTexture2 b; b.szLuminosityInAlpha = \"glow.png\"; MaterialTexture2 c = b;"
      "c.TranslucencyValueInRed = 9; c.FresnelExponentValueInGreen = 8;"
      "c.RefractionValueInBlue = 7; c.LuminosityValueInAlpha = 6; g_textures.CreateTexture(c);");
  ASSERT_EQ(bench.textures.made.size(), 2u);
  const auto& first = bench.textures.made[0]->names;
  EXPECT_EQ(first[1], "diffuse.png");
  EXPECT_EQ(first[2], "");  // no file: the channel is its value
  EXPECT_EQ(first[3], "exp.png");
  EXPECT_EQ(first[4], "");
  const auto& second = bench.textures.made[1]->names;
  EXPECT_EQ(second[1], "");
  EXPECT_EQ(second[4], "glow.png");
  EXPECT_EQ(bench.textures.packedBytes,
            (std::vector<std::array<BYTE, 4>>{{1, 2, 3, 4}, {9, 8, 7, 6}}));
}

}  // namespace
