#include <gtest/gtest.h>

#include <functional>
#include <numeric>
#include <string>
#include <vector>

#include "FakeEnvelopes.h"
#include "ProcessExitCatcher.h"
#include "SurfaceTestBench.h"

namespace {

FakeMaterial* MaterialOf(CSurface* surface) {
  return static_cast<FakeMaterial*>(surface->GetMaterial(0));
}

class SurfaceSimilarityTest : public ::testing::Test {
 protected:
  // A surface with a material and a colour, equal in every step to another made the same way.
  CSurface* MakeTwin(const char* name) {
    CSurface* surface = bench.Make(name, mesh);
    D3DCOLORVALUE diffuse{0.5f, 0.5f, 0.5f, 1}, specular{0.2f, 0.2f, 0.2f, 8},
        emissive{0, 0, 0, 1};
    CVector4 additional1{0.5f, 0.2f, 8, 0}, additional2{0, 0, 1, 0};
    surface->CreateMaterial(&diffuse, &specular, &emissive, &additional1, &additional2, 0);
    float color[3] = {1, 1, 1};
    surface->SetColor(color);
    return surface;
  }

  SurfaceTestBench bench;
  CMesh* mesh = bench.AddMesh("m");
  int fakeShader = 0;
};

TEST_F(SurfaceSimilarityTest, EachStepThatDiffersNamesItself) {
  struct Step {
    const char* failure;  // the text after "Are Not Similar: "
    std::function<void(CSurface*)> change;
  };
  auto* shader = reinterpret_cast<CShader*>(&fakeShader);
  const std::vector<Step> steps = {
      {"Color", [](CSurface* s) { s->GetColor()[2] = 0.5f; }},
      {"Shade Type", [](CSurface* s) { s->SetShadingType(2); }},
      {"Flags", [](CSurface* s) { s->SetFlags(0x4); }},
      {"Shader", [shader](CSurface* s) { s->SetShader(shader); }},
      {"Clip Value", [](CSurface* s) { s->SetSurfaceParameter(1.0f); }},
      {"HasEnvelopes", [](CSurface* s) { s->SetHasEnvelopes(1); }},
      {"ManualShader", [](CSurface* s) { s->SetShaderFileName("x.ssh", 1); }},
      {"UseShader", [](CSurface* s) { s->AssignShader([](CSurfaceInterface*) { return 1u; }); }},
      {"Envelope - 3", [](CSurface* s) { s->SetMaterialEnvelope(3, new FakeEnvelope()); }},
      {"First Additional Material Vector",
       [](CSurface* s) { MaterialOf(s)->additional1.w = 0.1f; }},
      {"Second Additional Material Vector",
       [](CSurface* s) { MaterialOf(s)->additional2.w = 0.1f; }},
      {"Ambient", [](CSurface* s) { MaterialOf(s)->block.Ambient.a = 0.5f; }},
      {"Diffuse", [](CSurface* s) { MaterialOf(s)->block.Diffuse.a = 0.5f; }},
      {"Emissive", [](CSurface* s) { MaterialOf(s)->block.Emissive.g = 0.5f; }},
      {"Specular", [](CSurface* s) { MaterialOf(s)->block.Power = 2; }},
      {"Decal0", [](CSurface* s) { s->SetTexture(1, "c.png"); }},
      {"Decal1", [](CSurface* s) { s->SetTexture(2, "c.png"); }},
      {"NormalMap", [](CSurface* s) { s->SetTexture(13, "n.png"); }},
      {"First Material Texture", [](CSurface* s) { s->SetTexture(7, "d.png"); }},
      {"Second Material Texture", [](CSurface* s) { s->SetTexture(17, "t.png"); }},
      {"Reflection Map", [](CSurface* s) { s->SetTexture(21, "r.png"); }},
      {"Refraction Map", [](CSurface* s) { s->SetTexture(22, "r.png"); }},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.failure);
    CSurface* a = MakeTwin("a");
    CSurface* b = MakeTwin("b");
    ASSERT_TRUE(a->IsSimilar(b));
    bench.log.entries.clear();
    step.change(b);
    bench.log.entries.clear();
    EXPECT_FALSE(a->IsSimilar(b));
    EXPECT_EQ(bench.log.TextAt(CEngineLog::kLevelInfo),
              std::string("- Checking Surface Similarities...\n  - a And b Are Not Similar: ") +
                  step.failure + "\n");
  }
}

TEST_F(SurfaceSimilarityTest, SimilarSurfacesSayItAndNullIsSilent) {
  CSurface* a = MakeTwin("a");
  CSurface* b = MakeTwin("b");
  bench.log.entries.clear();
  EXPECT_FALSE(a->IsSimilar(nullptr));
  EXPECT_TRUE(bench.log.entries.empty());
  EXPECT_TRUE(a->IsSimilar(b));
  EXPECT_EQ(bench.log.TextAt(CEngineLog::kLevelInfo),
            "- Checking Surface Similarities...\n  - a And b Are Similar\n");
}

TEST_F(SurfaceSimilarityTest, TextureRecordsCompareByImageNotByMatrix) {
  CSurface* a = MakeTwin("a");
  a->SetTexture(1, "c.png");
  CSurface* b = bench.Take(a->Clone(mesh));
  bench.Adopt(b);
  b->GetColor0Texture()->mtxMatrix._41 = 3.0f;
  EXPECT_TRUE(a->IsSimilar(b));
  // A record without an image never equals anything, itself included.
  a->GetColor0Texture()->pTextureImage = nullptr;
  EXPECT_FALSE(a->IsSimilar(a));
  a->GetColor0Texture()->pTextureImage = b->GetColor0Texture()->pTextureImage;
}

TEST_F(SurfaceSimilarityTest, MergeAppendsTheOtherIndicesWithTheOffset) {
  CSurface* a = bench.Make("a", mesh);
  std::vector<WORD> own(60), theirs(30);
  std::iota(own.begin(), own.end(), WORD{0});
  std::iota(theirs.begin(), theirs.end(), WORD{65530});  // the last ones wrap
  a->SetIndices(60, own.data());
  CSurface* b = bench.Take(bench.Make("b", mesh));
  b->SetIndices(30, theirs.data());
  FakeIndexBuffer* oldBuffer = bench.indexBuffers.made[0].get();

  EXPECT_EQ(a->Merge(b, 100), 1u);
  EXPECT_EQ(b, nullptr);
  EXPECT_NE(bench.log.TextAt(CEngineLog::kLevelInfo).find("- (CSurface) Releasing b Of m\n"),
            std::string::npos);
  ASSERT_EQ(a->GetNumberOfIndices(), 90);
  for (UINT i = 0; i < 60; ++i) EXPECT_EQ(a->GetIndices()[i], i);
  for (UINT i = 0; i < 30; ++i) EXPECT_EQ(a->GetIndices()[60 + i], WORD(65530 + i + 100));
  EXPECT_EQ(oldBuffer->references, 0);
  auto* merged = static_cast<FakeIndexBuffer*>(a->GetIndexBuffer());
  EXPECT_EQ(merged->indices, std::vector<WORD>(a->GetIndices(), a->GetIndices() + 90));
  EXPECT_EQ(merged->meshOwner, "m");
  EXPECT_EQ(merged->surfaceOwner, "a");
  EXPECT_EQ(bench.indexBuffers.LiveReferences(), 1);
}

TEST_F(SurfaceSimilarityTest, AnEmptySurfaceTakesTheOtherIndicesOffset) {
  CSurface* a = bench.Make("a", mesh);
  CSurface* b = bench.Take(bench.Make("b", mesh));
  WORD theirs[] = {0, 1, 2};
  b->SetIndices(3, theirs);
  a->Merge(b, 10);
  ASSERT_EQ(a->GetNumberOfIndices(), 3);
  EXPECT_EQ(std::vector<WORD>(a->GetIndices(), a->GetIndices() + 3), (std::vector<WORD>{10, 11, 12}));
  // A surface does not merge with itself or with nothing.
  CSurface* self = a;
  CSurface* none = nullptr;
  EXPECT_EQ(a->Merge(self, 1), 0u);
  EXPECT_EQ(a->Merge(none, 1), 0u);
  EXPECT_EQ(a->GetNumberOfIndices(), 3);
}

TEST_F(SurfaceSimilarityTest, RemapShiftsEveryIndexAndRebuildsTheBuffer) {
  CSurface* a = bench.Make("a", mesh);
  WORD indices[] = {0, 5, 65535};
  a->SetIndices(3, indices);
  EXPECT_EQ(a->Remap(2), 1u);
  EXPECT_EQ(std::vector<WORD>(a->GetIndices(), a->GetIndices() + 3), (std::vector<WORD>{2, 7, 1}));
  EXPECT_EQ(static_cast<FakeIndexBuffer*>(a->GetIndexBuffer())->indices,
            (std::vector<WORD>{2, 7, 1}));
  EXPECT_EQ(bench.indexBuffers.LiveReferences(), 1);
}

TEST_F(SurfaceSimilarityTest, ABufferThatCannotBeRebuiltIsFatal) {
  struct Case {
    const char* text;
    std::function<void(CSurface*, CSurface*&)> run;
  };
  const Case cases[] = {
      {"Can't Create - m, a (Merged)", [](CSurface* a, CSurface*& b) { a->Merge(b, 1); }},
      {"Can't Create - m, a (Remapped)", [](CSurface* a, CSurface*&) { a->Remap(1); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    CSurface* a = bench.Make("a", mesh);
    CSurface* b = bench.Make("b", mesh);
    WORD indices[] = {0, 1, 2};
    a->SetIndices(3, indices);
    b->SetIndices(3, indices);
    bench.Take(b);
    bench.indexBuffers.fail = true;
    ProcessExitCatcher catcher;
    try {
      c.run(a, b);
      ADD_FAILURE() << "no fatal error";
    } catch (const ProcessExited& exited) {
      EXPECT_EQ(exited.code, 1u);
    }
    if (b != nullptr) b->Release();
    bench.indexBuffers.fail = false;
    ASSERT_FALSE(catcher.Boxes().empty());
    EXPECT_EQ(catcher.Boxes().back().caption, "Error While Creating Index Buffer");
    EXPECT_EQ(catcher.Boxes().back().text, c.text);
  }
}

}  // namespace
