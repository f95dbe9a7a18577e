// What the game, the spatial structures and the scripts ask of the renderer, done as they do it
// on the renderer's real banks: each use reaches the device as expected and logs no error.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "RealBanksBench.h"

namespace {

constexpr D3DVERTEXELEMENT9 Element(WORD offset, BYTE type, BYTE usage) {
  return {0, offset, type, D3DDECLMETHOD_DEFAULT, usage, 0};
}
D3DVERTEXELEMENT9 g_fontLayout[] = {Element(0, D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_POSITIONT),
                                    Element(16, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR),
                                    Element(20, D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_TEXCOORD), D3DDECL_END()};

// The menus' 24-byte vertex under FVF 0x142: position, diffuse colour, one coordinate pair.
struct MenuVertex {
  float x, y, z;
  D3DCOLOR colour;
  float u, v;
};
static_assert(sizeof(MenuVertex) == 24);

// The debug drawing's 28-byte vertex under FVF 0x1C2: position, diffuse, specular, one pair.
struct DebugVertex {
  float x, y, z;
  D3DCOLOR diffuse, specular;
  float u, v;
};
static_assert(sizeof(DebugVertex) == 28);

struct UseCase {
  const char* name;
  std::vector<std::string> methods;   // the device calls looked at
  std::vector<std::string> expected;  // those calls, in order
  std::function<void(RealBanksBench&)> use;
};

void DrawFontQuads(RealBanksBench& banks) {
  CD3D9Renderer& renderer = banks.Renderer();
  CTextureInterface* texture = renderer.GetTextureStorageInterface()->CreateTexture("font", D3DFMT_A8R8G8B8, 8, 8, 1, 0);
  CSpriteInterface* font = banks.TexturedSprite("arial", 256, g_fontLayout, texture, 8);
  font->SetAlphaBlending(1);
  font->SetAlphaBlendingSource(D3DBLEND_SRCALPHA);
  font->SetAlphaBlendingDestination(D3DBLEND_INVSRCALPHA);
  font->SetZWrite(0);
  font->SetZTest(0);
  for (UINT q = 0; q < 2; ++q) {
    Vertex corners[4] = {};
    for (Vertex& v : corners) std::fill(std::begin(v.wBonesIndices), std::end(v.wBonesIndices), 255);
    font->AddIntoQuad(q, &corners[0], &corners[1], &corners[2], &corners[3]);
    font->GetQuadVertex(q, 3)->vecPosition = {0.1f, 0.1f, 0};
    font->GetQuadVertex(q, 3)->fTU[0] = 1;
  }
  font->SetIsActive(1u, 0u);
  font->Draw(-1.0f);
}

TEST(RendererUses, WhatTheGameAndTheSpatialStructuresAskReachesTheDevice) {
  const UseCase cases[] = {
      {"ClearsOfTheFrameAndTheLogo",
       {"Clear"},
       {"Clear(0, 0x7, 0x00000000, 1, 128)", "Clear(0, 0x2, 0x00000000, 1, 128)"},
       [](RealBanksBench& banks) {
         banks.Renderer().Clear(7, 0);
         banks.Renderer().Clear(2, 0);
       }},
      {"MenuTrianglesUnderFvf0x142",
       {"SetFVF", "DrawPrimitive"},
       {"SetFVF(0x142)", "DrawPrimitive(4, 0, 2)", "SetFVF(0x0)"},
       [](RealBanksBench& banks) {
         CD3D9Renderer& renderer = banks.Renderer();
         const MenuVertex quad[6] = {};
         renderer.GetVertexDeclarationStorageInterface()->SetFVF(0x142);
         renderer.SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_WRAP);
         renderer.SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
         renderer.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
         renderer.SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
         const CMatrix identity = CMatrix::Identity();
         renderer.SetTransform(D3DTS_PROJECTION, &identity);
         renderer.SetTransform(D3DTS_VIEW, &identity);
         renderer.SetTransform(D3DTS_WORLD, &identity);
         renderer.DrawPrimitive(D3DPT_TRIANGLELIST, 2, 6, quad, sizeof(MenuVertex));
         renderer.GetVertexDeclarationStorageInterface()->SetFVF(0);
       }},
      {"FontSpriteOf256QuadsDrawsItsActiveOnes",
       {"DrawIndexedPrimitive"},
       {"DrawIndexedPrimitive(4, 0, 0, 4, 0, 2)"},
       DrawFontQuads},
      {"VideoTextureFilledByHand",
       {"LockRect", "UnlockRect"},
       {},
       [](RealBanksBench& banks) {
         CTextureInterface* video = banks.Renderer().GetTextureStorageInterface()->CreateTexture(
             "avi", static_cast<D3DFORMAT>(21), 32, 16, 1, 1);
         ASSERT_NE(video, nullptr);
         EXPECT_EQ(video->GetWidth(), 32u);
         EXPECT_EQ(video->GetHeight(), 16u);
         D3DLOCKED_RECT locked;
         ASSERT_EQ(video->GetD3DTexture()->LockRect(0, &locked, nullptr, D3DLOCK_DISCARD), D3D_OK);
         memset(locked.pBits, 0x7F, locked.Pitch * 16);
         EXPECT_EQ(video->GetD3DTexture()->UnlockRect(0), D3D_OK);
       }},
      {"DebugLinesUnderFvf0x1C2",
       {"SetFVF", "SetRenderState", "DrawIndexedPrimitive"},
       {"SetFVF(0x1c2)", "SetRenderState(8, 2)", "DrawIndexedPrimitive(2, 0, 0, 8, 0, 12)", "SetRenderState(8, 3)"},
       [](RealBanksBench& banks) {
         CD3D9Renderer& renderer = banks.Renderer();
         const DebugVertex box[8] = {};
         const WORD edges[24] = {0, 1, 1, 2, 2, 3, 3, 0, 4, 5, 5, 6, 6, 7, 7, 4, 0, 4, 1, 5, 2, 6, 3, 7};
         renderer.GetVertexDeclarationStorageInterface()->SetFVF(0x1C2);
         renderer.GetVertexShaderStorageInterface()->SetShader(nullptr);
         renderer.GetPixelShaderStorageInterface()->SetShader(nullptr);
         renderer.SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
         const CMatrix identity = CMatrix::Identity();
         renderer.SetTransform(D3DTS_WORLD, &identity);
         renderer.DrawIndexedPrimitiveUP(D3DPT_LINELIST, 0, 8, 12, edges, D3DFMT_INDEX16, box, sizeof(DebugVertex));
         renderer.SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
       }},
      {"ShadowVolumeIndicesSharedByOwner",
       {"DrawIndexedPrimitive"},
       {},
       [](RealBanksBench& banks) {
         CIndexBufferStorageInterface* indexBank = banks.Renderer().GetIndexBufferStorageInterface();
         WORD indices[6] = {0, 1, 2, 2, 1, 3};
         const char name[] = "crate_shadow_volume_1";
         CIndexBufferInterface* first = indexBank->CreateIndexBuffer(name, name, indices, 6, 0, 0);
         ASSERT_NE(first, nullptr);
         EXPECT_EQ(indexBank->CreateIndexBuffer(name, name, indices, 6, 0, 0), first);
         EXPECT_STREQ(first->GetMeshOwner(), name);
         EXPECT_STREQ(first->GetSurfaceOwner(), name);
         EXPECT_EQ(first->Set(), 1u);
       }},
      {"SpriteOperationsScriptsBind",
       {"DrawIndexedPrimitive"},
       {},
       [](RealBanksBench& banks) {
         CSpriteStorageInterface* bank = banks.Renderer().GetSpriteStorageInterface();
         CSpriteInterface* sprite = bank->CreateSprite("NullSprite", 1, g_fontLayout, nullptr, 0, nullptr, 8, 1, 0);
         EXPECT_EQ(bank->GetSpriteByName("nullsprite", 1), sprite);
         sprite->SetIsDynamic(0);
         EXPECT_EQ(sprite->GetIsDynamic(), 1u);
         EXPECT_EQ(sprite->SetShader("anything"), 0u);
         sprite->SetScale({1, 2, 3});
         EXPECT_EQ(sprite->GetScale()->z, 3.0f);
         sprite->SetAlphaBlendingOp(D3DBLENDOP_SUBTRACT);
         EXPECT_EQ(sprite->GetAlphaBlendingOp(), static_cast<UINT>(D3DBLENDOP_SUBTRACT));
         EXPECT_EQ(bank->Draw(), 0u);  // its one quad is not filled: nothing to draw
       }},
  };
  for (const UseCase& c : cases) {
    RealBanksBench banks;
    banks.Renderer().BeginRendering();
    banks.bench.ForgetCalls();
    c.use(banks);
    EXPECT_EQ(RendererTestBench::Calls(c.methods), c.expected) << c.name;
    EXPECT_EQ(banks.bench.Errors(), "") << c.name;
  }
}

}  // namespace
