// The renderer's material bank on the null back end: sharing by similar colours, the caller's
// vectors, counted releases, and what its set-cache lets reach the device.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "ProcessExitCatcher.h"
#include "RendererTestBench.h"
#include "SurfaceTestBench.h"
#include "d3d/Material.h"
#include "d3d/MaterialBank.h"

namespace {

// The colours and vectors of one request.
struct Colours {
  D3DCOLORVALUE diffuse{0.5f, 0.5f, 0.5f, 1.0f};
  D3DCOLORVALUE specular{0.25f, 0.25f, 0.25f, 0.5f};
  D3DCOLORVALUE emissive{0.125f, 0.125f, 0.125f, 1.0f};
  CVector4 additional1{0.0f, 0.0f, 0.0f, 0.75f};
  CVector4 additional2{0.3f, 0.3f, 0.3f, 0.0f};
};

CMaterialBank& Bank(RendererTestBench& bench) {
  return static_cast<CMaterialBank&>(*bench.renderer->GetMaterialStorageInterface());
}

CMaterial* Add(CMaterialBank& bank, Colours c, UINT unique = 0) {
  return bank.AddMaterial(&c.diffuse, &c.specular, &c.emissive, &c.additional1, &c.additional2,
                          unique);
}

// Adds as Add does and gives each reference back when it goes, as the surfaces would.
struct Held {
  ~Held() {
    for (CMaterial* material : materials) material->Release();
  }
  CMaterial* operator()(CMaterialBank& bank, Colours c, UINT unique = 0) {
    materials.push_back(Add(bank, c, unique));
    return materials.back();
  }
  std::vector<CMaterial*> materials;
};

// Distinct colours for the n-th material.
Colours Distinct(UINT n) {
  Colours c;
  c.diffuse.r = 0.02f * static_cast<float>(n);
  return c;
}

std::array<float, 4> PixelConstant(RendererTestBench& bench, UINT reg) {
  std::array<float, 4> value{};
  bench.renderer->GetDevice()->GetPixelShaderConstantF(reg, value.data(), 1);
  return value;
}

TEST(MaterialBank, ColoursWithinAHundredthShareAMaterial) {
  struct Field {
    const char* name;
    float* (*at)(Colours&);
    bool sharesAtFiveThousandths;
  } fields[] = {
      {"diffuse red", [](Colours& c) { return &c.diffuse.r; }, true},
      {"diffuse green", [](Colours& c) { return &c.diffuse.g; }, true},
      {"diffuse blue", [](Colours& c) { return &c.diffuse.b; }, true},
      {"diffuse alpha", [](Colours& c) { return &c.diffuse.a; }, true},
      {"specular red", [](Colours& c) { return &c.specular.r; }, true},
      {"specular green", [](Colours& c) { return &c.specular.g; }, true},
      {"specular blue", [](Colours& c) { return &c.specular.b; }, true},
      // The power is the specular alpha times 120: 0.005 makes it differ by 0.6.
      {"specular alpha", [](Colours& c) { return &c.specular.a; }, false},
      {"emissive red", [](Colours& c) { return &c.emissive.r; }, true},
      {"emissive green", [](Colours& c) { return &c.emissive.g; }, true},
      {"emissive blue", [](Colours& c) { return &c.emissive.b; }, true},
      {"additional 1 w", [](Colours& c) { return &c.additional1.w; }, true},
      {"additional 2 x", [](Colours& c) { return &c.additional2.x; }, true},
      {"additional 2 y", [](Colours& c) { return &c.additional2.y; }, true},
      {"additional 2 z", [](Colours& c) { return &c.additional2.z; }, true},
  };
  for (const Field& field : fields)
    for (const float delta : {0.005f, 0.02f}) {
      SCOPED_TRACE(std::string(field.name) + " + " + std::to_string(delta));
      RendererTestBench bench(ZK_D3D_BACKEND_NULL);
      Held add;
      CMaterial* first = add(Bank(bench), Colours{});
      Colours other;
      *field.at(other) += delta;
      const bool shared = add(Bank(bench), other) == first;
      EXPECT_EQ(shared, delta < 0.01f && field.sharesAtFiveThousandths);
      EXPECT_EQ(first->GetReferenceCount(), shared ? 2u : 1u);
      EXPECT_EQ(Bank(bench).GetNumberOfMaterials(), shared ? 1u : 2u);
    }
}

TEST(MaterialBank, AmbientIsNotComparedAndUniqueMaterialsAreNeverShared) {
  RendererTestBench bench(ZK_D3D_BACKEND_NULL);
  CMaterialBank& bank = Bank(bench);
  Held add;
  CMaterial* plain = add(bank, Colours{});
  plain->GetD3DMaterial()->Ambient = {1, 0, 0, 1};
  EXPECT_EQ(add(bank, Colours{}), plain);

  CMaterial* unique = add(bank, Distinct(40), 1);
  EXPECT_NE(add(bank, Distinct(40), 1), unique);
  CMaterial* shared = add(bank, Distinct(40));
  EXPECT_NE(shared, unique);
  EXPECT_EQ(add(bank, Distinct(40)), shared);
  EXPECT_EQ(bank.GetNumberOfMaterials(), 4u);
}

TEST(MaterialBank, AddingWritesIntoTheCallersVectorsAndBuildsTheMaterialFromThem) {
  RendererTestBench bench(ZK_D3D_BACKEND_NULL);
  Colours c;
  CMaterial* material = Bank(bench).AddMaterial(&c.diffuse, &c.specular, &c.emissive,
                                                &c.additional1, &c.additional2, 0);
  EXPECT_EQ(c.additional1.x, 0.5f);
  EXPECT_EQ(c.additional1.y, 0.25f);
  EXPECT_EQ(c.additional1.z, 0.5f);
  EXPECT_EQ(c.additional1.w, 0.75f);
  EXPECT_EQ(c.additional2.w, 0.125f);
  EXPECT_EQ(c.additional2.x, 0.3f);
  const D3DMATERIAL9& m = *material->GetD3DMaterial();
  EXPECT_EQ(m.Ambient.r, m.Diffuse.r);
  EXPECT_EQ(m.Power, 60.0f);
  EXPECT_EQ(m.Emissive.a, 0.0f);
  EXPECT_EQ(material->GetAdditionalMaterial1()->z, 0.5f);

  CMaterial* dynamic = Bank(bench).GetDynamicMaterial();
  EXPECT_EQ(dynamic->GetAdditionalMaterial2()->w, 1.0f);
  dynamic->CopyFrom(*material);
  EXPECT_EQ(dynamic->GetD3DMaterial()->Power, 60.0f);
  EXPECT_EQ(dynamic->IsUnique(), 1u);
  EXPECT_EQ(dynamic->GetReferenceCount(), 0u);
  material->Release();
}

TEST(MaterialBank, TheMaterialAndItsConstantsReachTheDeviceOnceWhileCurrent) {
  RendererTestBench bench(ZK_D3D_BACKEND_NULL);
  Held add;
  CMaterial* material = add(Bank(bench), Colours{});
  const std::array<float, 4> diffuse = {0.5f, 0.5f, 0.5f, 1.0f};
  const std::array<float, 4> marker = {9, 9, 9, 9};
  auto setMaterialCalls = [] { return ZkTestD3DCountCalls("SetMaterial"); };

  material->Set(0);
  EXPECT_EQ(setMaterialCalls(), 1u);
  EXPECT_NE(PixelConstant(bench, 0), diffuse);  // a flag of 0 loads no constants
  material->Set(1);
  EXPECT_EQ(setMaterialCalls(), 1u);
  EXPECT_EQ(PixelConstant(bench, 0), diffuse);
  EXPECT_EQ(PixelConstant(bench, 2)[3], 0.75f);  // additional vector 1
  bench.renderer->SetPixelShaderConstantF(0, marker.data(), 1);
  material->Set(1);  // loaded already: nothing
  EXPECT_EQ(setMaterialCalls(), 1u);
  EXPECT_EQ(PixelConstant(bench, 0), marker);

  D3DMATERIAL9 raw = *material->GetD3DMaterial();
  Bank(bench).SetMaterial(&raw);
  EXPECT_EQ(setMaterialCalls(), 2u);
  material->Set(1);
  EXPECT_EQ(setMaterialCalls(), 3u);
  EXPECT_EQ(PixelConstant(bench, 0), diffuse);
  EXPECT_EQ(bench.Errors(), "");

  // After a reset the next setting reaches the device again.
  bench.renderer->Reset();
  ZkTestD3DClearCalls();
  material->Set(0);
  EXPECT_EQ(setMaterialCalls(), 1u);
}

TEST(MaterialBank, NoMaterialIsLoggedAsTheDevicesRefusal) {
  RendererTestBench bench(ZK_D3D_BACKEND_NULL);
  Bank(bench).SetMaterial(static_cast<CMaterialInterface*>(nullptr), 1);
  Bank(bench).SetMaterial(static_cast<D3DMATERIAL9*>(nullptr), 1);
  EXPECT_EQ(bench.Errors(),
            "ERROR! - CMaterialBank::SetMaterial - D3DERR_INVALIDCALL\nInvalid call\n"
            "ERROR! - CMaterialBank::SetMaterial - D3DERR_INVALIDCALL\nInvalid call\n");
}

TEST(MaterialBank, ReleasedMaterialsLeaveHolesThatLaterOnesFill) {
  RendererTestBench bench(ZK_D3D_BACKEND_NULL);
  CMaterialBank& bank = Bank(bench);
  // Many levels one after the other never fill the table.
  for (UINT i = 0; i < 300; ++i) Add(bank, Distinct(i))->Release();
  EXPECT_EQ(bank.GetNumberOfMaterials(), 1u);

  // A full table takes a new material once one is given back.
  CMaterial* made[CMaterialBank::kMaxMaterials];
  for (UINT i = 0; i < CMaterialBank::kMaxMaterials; ++i) made[i] = Add(bank, Distinct(i));
  made[7]->AddReference();
  made[7]->Release();
  EXPECT_EQ(Add(bank, Distinct(7)), made[7]);  // still held once
  made[7]->Release();
  made[7]->Release();
  CMaterial* refill = Add(bank, Distinct(1000));
  EXPECT_EQ(bank.GetNumberOfMaterials(), CMaterialBank::kMaxMaterials);
  for (UINT i = 0; i < CMaterialBank::kMaxMaterials; ++i)
    if (i != 7) made[i]->Release();
  refill->Release();
}

TEST(MaterialBank, AMaterialInTheCurrentMaterialsPlaceReachesTheDevice) {
  RendererTestBench bench(ZK_D3D_BACKEND_NULL);
  CMaterialBank& bank = Bank(bench);
  CMaterial* first = Add(bank, Distinct(1));
  first->Set(0);
  first->Release();
  // The new one may well be made at the freed one's address.
  CMaterial* second = Add(bank, Distinct(2));
  ZkTestD3DClearCalls();
  second->Set(0);
  EXPECT_EQ(ZkTestD3DCountCalls("SetMaterial"), 1u);
  second->Release();
  // The dynamic material is never freed by a release.
  bank.GetDynamicMaterial()->Release();
  bank.GetDynamicMaterial()->Set(0);
}

TEST(MaterialBank, TheTwoHundredFiftySeventhDistinctMaterialEndsTheProcess) {
  RendererTestBench bench(ZK_D3D_BACKEND_NULL);
  Held add;
  for (UINT i = 0; i < CMaterialBank::kMaxMaterials; ++i) add(Bank(bench), Distinct(i));
  ProcessExitCatcher catcher;
  try {
    Add(Bank(bench), Distinct(CMaterialBank::kMaxMaterials));
    ADD_FAILURE() << "no fatal error";
  } catch (const ProcessExited& exited) {
    EXPECT_EQ(exited.code, 1u);
  }
  ASSERT_EQ(catcher.Boxes().size(), 1u);
  EXPECT_EQ(catcher.Boxes()[0].caption, "Critical Error");
  EXPECT_EQ(catcher.Boxes()[0].text, "Not Enuff Material Entries");
}

TEST(MaterialBank, AMaterialHeldPastTheDeviceIsReleasedWithoutIt) {
  RendererTestBench bench(ZK_D3D_BACKEND_NULL);
  CMaterial* kept = Add(Bank(bench), Colours{});
  bench.renderer->ReleaseDevice();
  ZkTestD3DClearCalls();
  kept->Set(1);
  kept->Release();
  EXPECT_EQ(ZkTestD3DCallCount(), 0u);
}

TEST(MaterialBank, SurfacesShareTheirMaterialAndGiveItBack) {
  SurfaceTestBench bench;
  CMaterialBank bank(&bench.renderer, &bench.log);
  bench.renderer.materialStorage = &bank;
  CMesh* mesh = bench.AddMesh("m");
  auto colour = [&](CSurface* surface) {
    Colours c;
    surface->CreateMaterial(&c.diffuse, &c.specular, &c.emissive, &c.additional1, &c.additional2,
                            0);
    return static_cast<CMaterial*>(surface->GetMaterial(0));
  };
  CSurface* first = bench.Take(bench.Make("a", mesh));
  CSurface* second = bench.Take(bench.Make("b", mesh));
  CMaterial* shared = colour(first);
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(colour(second), shared);
  EXPECT_EQ(shared->GetReferenceCount(), 2u);

  float red[3] = {1, 0, 0};
  second->SetColor(red);
  EXPECT_NE(second->GetMaterial(0), shared);
  EXPECT_EQ(shared->GetReferenceCount(), 1u);
  EXPECT_EQ(bank.GetNumberOfMaterialsInUse(), 2u);

  first->Release();
  second->Release();
  EXPECT_EQ(bank.GetNumberOfMaterialsInUse(), 0u);
}

// A surface asking again for the material it holds, or rebuilt to the colour it has, keeps one
// reference: editing a surface over and over must not fill the bank.
TEST(MaterialBank, ASurfaceAskingForItsOwnMaterialAgainHoldsOneReference) {
  SurfaceTestBench bench;
  CMaterialBank bank(&bench.renderer, &bench.log);
  bench.renderer.materialStorage = &bank;
  CSurface* surface = bench.Take(bench.Make("a", bench.AddMesh("m")));
  Colours c;
  for (int i = 0; i < 3; ++i)
    surface->CreateMaterial(&c.diffuse, &c.specular, &c.emissive, &c.additional1, &c.additional2,
                            0);
  auto* material = static_cast<CMaterial*>(surface->GetMaterial(0));
  ASSERT_NE(material, nullptr);
  EXPECT_EQ(material->GetReferenceCount(), 1u);

  float red[3] = {1, 0, 0};
  surface->SetColor(red);
  auto* redMaterial = static_cast<CMaterial*>(surface->GetMaterial(0));
  surface->SetColor(red);
  EXPECT_EQ(surface->GetMaterial(0), redMaterial);
  EXPECT_EQ(redMaterial->GetReferenceCount(), 1u);

  surface->Release();
  EXPECT_EQ(bank.GetNumberOfMaterialsInUse(), 0u);
}

}  // namespace
