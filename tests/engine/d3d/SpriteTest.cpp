// Sprites and their bank on the renderer's real banks: names and reuse, the table's end, quads,
// the vertices and indices a draw writes in its three spaces, the states it gives back, the
// frames of animated textures, the space check, and pixels on GL.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "FakeEngineTexture.h"
#include "RealBanksBench.h"
#include "d3d/D3D9StateCache.h"
#include "d3d/SpriteVertexWriter.h"
#include "scene/ParticleEmiter.h"

namespace {

constexpr D3DVERTEXELEMENT9 Element(WORD offset, BYTE type, BYTE usage, BYTE index = 0) {
  return {0, offset, type, D3DDECLMETHOD_DEFAULT, usage, index};
}

// Screen space as the fonts draw: pre-transformed position, colour, one coordinate pair.
D3DVERTEXELEMENT9 g_screenLayout[] = {Element(0, D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_POSITIONT),
                                      Element(16, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR),
                                      Element(20, D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_TEXCOORD), D3DDECL_END()};
D3DVERTEXELEMENT9 g_position4Layout[] = {Element(0, D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_POSITION),
                                         Element(16, D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_TEXCOORD), D3DDECL_END()};
D3DVERTEXELEMENT9 g_colorLayout[] = {Element(0, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_POSITION),
                                     Element(12, D3DDECLTYPE_D3DCOLOR, D3DDECLUSAGE_COLOR),
                                     Element(16, D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_TEXCOORD), D3DDECL_END()};
// 32 bytes a vertex: 16384 vertices fill the dynamic buffer.
D3DVERTEXELEMENT9 g_32ByteLayout[] = {Element(0, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_POSITION),
                                      Element(12, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL),
                                      Element(24, D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_TEXCOORD), D3DDECL_END()};
// Its one element has no size the sprite can count.
D3DVERTEXELEMENT9 g_unsizedLayout[] = {Element(0, D3DDECLTYPE_USHORT2N, D3DDECLUSAGE_TEXCOORD), D3DDECL_END()};

const std::vector<std::string> kDraws = {"DrawIndexedPrimitive"};

Vertex At(float x, float y, float z = 0.0f) {
  Vertex v{};
  v.vecPosition = {x, y, z};
  v.fTU[0] = x;
  v.fTV[0] = y;
  return v;
}

// Corners of the unit square (or of the square given) in the order the index pattern expects.
void FillQuad(CSpriteInterface* sprite, UINT quad, float left = 0, float top = 0, float right = 1, float bottom = 1,
              float z = 0) {
  Vertex v[4] = {At(left, top, z), At(right, top, z), At(left, bottom, z), At(right, bottom, z)};
  sprite->AddIntoQuad(quad, &v[0], &v[1], &v[2], &v[3]);
}

std::vector<float> Floats(const std::vector<BYTE>& bytes, UINT offset, UINT count) {
  std::vector<float> out(count);
  memcpy(out.data(), bytes.data() + offset, count * sizeof(float));
  return out;
}

struct SpriteTest : testing::Test {
  SpriteTest() { banks.Renderer().BeginRendering(); }
  CSprite* Make(const char* name, UINT quads, D3DVERTEXELEMENT9* layout, UINT flags, SurfaceTexture** textures = nullptr,
                UINT textureCount = 0) {
    return static_cast<CSprite*>(
        banks.Sprites().CreateSprite(name, quads, layout, textures, textureCount, nullptr, flags, 0, 0));
  }
  std::string Errors() const { return banks.bench.Errors(); }
  void Forget() { banks.bench.ForgetCalls(); }

  RealBanksBench banks;
};

TEST_F(SpriteTest, TheBankSharesASpriteByNameOnlyWhenAskedToReuse) {
  CSpriteBank& bank = banks.Sprites();
  CSpriteInterface* first = bank.CreateSprite("Font", 4, g_screenLayout, nullptr, 0, nullptr, 8, 1, 0);
  ASSERT_NE(first, nullptr);
  EXPECT_STREQ(first->GetSpriteName(), "font");
  EXPECT_EQ(bank.CreateSprite("FONT", 9, g_screenLayout, nullptr, 0, nullptr, 8, 1, 0), first);
  CSpriteInterface* second = bank.CreateSprite("font", 4, g_screenLayout, nullptr, 0, nullptr, 8, 0, 0);
  EXPECT_NE(second, first);
  EXPECT_EQ(bank.GetNumberOfSprites(), 2u);
  EXPECT_EQ(bank.GetSpriteByName("FoNt", 1), first);
  EXPECT_EQ(bank.GetSpriteByName("smoke", 1), nullptr);
}

TEST_F(SpriteTest, TheTableEndsAt128SpritesAndNamesAreKeptTo255Characters) {
  CSpriteBank& bank = banks.Sprites();
  const std::string longName(300, 'a');
  CSpriteInterface* longOne = bank.CreateSprite(longName.c_str(), 1, g_screenLayout, nullptr, 0, nullptr, 8, 0, 0);
  EXPECT_EQ(std::string(longOne->GetSpriteName()), std::string(255, 'a'));
  for (UINT i = 1; i < CSpriteBank::kMaxSprites; ++i)
    ASSERT_NE(bank.CreateSprite(("s" + std::to_string(i)).c_str(), 1, g_screenLayout, nullptr, 0, nullptr, 8, 0, 0),
              nullptr);
  EXPECT_EQ(bank.CreateSprite("one-too-many", 1, g_screenLayout, nullptr, 0, nullptr, 8, 0, 0), nullptr);
  EXPECT_EQ(Errors(), "Error While Creating Sprite: one-too-many\n");
  // A full table still hands out what it holds.
  EXPECT_EQ(bank.CreateSprite("s7", 1, g_screenLayout, nullptr, 0, nullptr, 8, 1, 0), bank.GetSpriteByName("s7", 0));
}

TEST_F(SpriteTest, QuadOperationsStayWithinTheQuads) {
  CSprite* sprite = Make("quads", 2, g_screenLayout, 8);
  EXPECT_EQ(sprite->GetNumberOfSpriteQuads(), 2u);
  EXPECT_NE(sprite->GetQuadVertex(1, 3), nullptr);
  EXPECT_EQ(sprite->GetQuadVertex(1, 4), nullptr);
  EXPECT_EQ(sprite->GetQuadVertex(2, 0), nullptr);
  Vertex v = At(1, 1);
  EXPECT_EQ(sprite->AddIntoQuad(2, &v, &v, &v, &v), 0u);
  EXPECT_EQ(sprite->GetIsActive(1), 0u);  // quads start inactive
  EXPECT_EQ(sprite->AddIntoQuad(1, &v, &v, &v, &v), 1u);
  EXPECT_EQ(sprite->GetIsActive(1), 1u);
  EXPECT_EQ(sprite->GetQuadVertex(1, 2)->vecPosition.x, 1.0f);
  sprite->SetIsActive(7, 1);
  EXPECT_EQ(sprite->GetIsActive(7), 0u);
  sprite->SetQuadRotation(1, 0.5f);
  sprite->SetQuadRotation(9, 0.5f);
  EXPECT_EQ(sprite->SetQuadRotation(1), 0.5f);
  EXPECT_EQ(sprite->SetQuadRotation(9), 0.0f);
  // The scale and the blend operation read back what was stored.
  sprite->SetScale({2, 3, 4});
  sprite->SetAlphaBlendingOp(D3DBLENDOP_MAX);
  EXPECT_EQ(sprite->GetScale()->y, 3.0f);
  EXPECT_EQ(sprite->GetAlphaBlendingOp(), static_cast<UINT>(D3DBLENDOP_MAX));
}

TEST_F(SpriteTest, ASpriteWithoutALayoutRefusesItsQuadsAndDrawsNothing) {
  CSprite* sprite = Make("broken", 2, nullptr, 8);
  EXPECT_EQ(sprite->GetIsSuccessfulyCreated(), 0u);
  Vertex v = At(0, 0);
  EXPECT_EQ(sprite->AddIntoQuad(0, &v, &v, &v, &v), 0u);
  EXPECT_EQ(sprite->GetQuadVertex(0, 0), nullptr);
  EXPECT_EQ(sprite->GetNumberOfSpriteQuads(), 0u);
  EXPECT_EQ(sprite->DrawQuads(-1.0f), 0u);
  EXPECT_TRUE(RendererTestBench::Calls(kDraws).empty());
}

TEST_F(SpriteTest, NoActiveQuadDrawsNothingAndSucceeds) {
  CSprite* sprite = Make("empty", 3, g_screenLayout, 8);
  FillQuad(sprite, 1);
  sprite->SetIsActive(1, 0);
  Forget();
  EXPECT_EQ(sprite->DrawQuads(-1.0f), 1u);
  EXPECT_TRUE(RendererTestBench::Calls(kDraws).empty());
  EXPECT_EQ(Errors(), "");
}

TEST_F(SpriteTest, ObjectSpaceWritesTheActiveQuadsWithNormalXAsW) {
  CSprite* sprite = Make("object", 3, g_position4Layout, 0);
  FillQuad(sprite, 0, 0, 0, 1, 1, 5);
  FillQuad(sprite, 2, 2, 2, 3, 3, 7);  // quad 1 stays inactive
  sprite->GetQuadVertex(2, 0)->vecNormal.x = 0.25f;
  Forget();
  EXPECT_EQ(sprite->DrawQuads(-1.0f), 1u);
  EXPECT_EQ(Errors(), "");
  EXPECT_EQ(RendererTestBench::Calls(kDraws), (std::vector<std::string>{"DrawIndexedPrimitive(4, 0, 0, 8, 0, 4)"}));
  const std::vector<BYTE> vertices = banks.DynamicVertices(8 * 24);
  // The second written quad is quad 2: its first vertex after the first quad's four.
  EXPECT_EQ(Floats(vertices, 4 * 24, 6), (std::vector<float>{2, 2, 7, 0.25f, 2, 2}));
  EXPECT_EQ(banks.DynamicIndices(12), (std::vector<WORD>{3, 1, 2, 2, 1, 0, 7, 5, 6, 6, 5, 4}));
}

TEST_F(SpriteTest, ScreenSpaceScalesToTheScreenAndPacksTheColour) {
  CSprite* sprite = Make("screen", 1, g_screenLayout, 8);
  FillQuad(sprite, 0, 0.5f, 0.25f, 1, 1);
  const WORD bones[4] = {0x1FF, 0x80, 0x40, 0x20};  // only the low bytes count
  memcpy(sprite->GetQuadVertex(0, 0)->wBonesIndices, bones, sizeof bones);
  Forget();
  sprite->Draw(-1.0f);
  EXPECT_EQ(Errors(), "");
  const std::vector<BYTE> vertices = banks.DynamicVertices(28);
  EXPECT_EQ(Floats(vertices, 0, 4), (std::vector<float>{32, 16, 0.5f, 0.5f}));
  D3DCOLOR colour = 0;
  memcpy(&colour, vertices.data() + 16, sizeof colour);
  EXPECT_EQ(colour, 0xFF804020u);
  EXPECT_EQ(Floats(vertices, 20, 2), (std::vector<float>{0.5f, 0.25f}));
}

TEST_F(SpriteTest, AColourInObjectSpaceIsLoggedOncePerDrawAndTheRestIsWritten) {
  CSprite* sprite = Make("tinted", 2, g_colorLayout, 0);
  FillQuad(sprite, 0, 0, 0, 1, 1, 3);
  FillQuad(sprite, 1, 0, 0, 1, 1, 3);
  Forget();
  sprite->Draw(-1.0f);
  EXPECT_EQ(Errors(), "ERROR!!! - Can't Draw Sprite, Unknown Usage: tinted");
  const std::vector<BYTE> vertices = banks.DynamicVertices(24);
  EXPECT_EQ(Floats(vertices, 0, 3), (std::vector<float>{0, 0, 3}));
  EXPECT_EQ(RendererTestBench::Calls(kDraws).size(), 1u);
}

struct ScreenYCase {
  float factor, y, expected;
};

TEST(SpriteVertexWriter, ScreenSpaceYCoversThePictureBetweenTheLetterboxBars) {
  const ScreenYCase cases[] = {{0.1f, 0, 10}, {0.1f, 1, 90}, {0.1f, 0.5f, 50}, {0, 0, 0}, {0, 1, 100}, {0, 0.25f, 25}};
  for (const ScreenYCase& c : cases) {
    const CSpriteVertexWriter writer(nullptr, "y", g_screenLayout, 28, CSpriteVertexWriter::kScreenSpace,
                                     {200, 100, c.factor});
    BYTE vertex[28] = {};
    const Vertex v = At(0.5f, c.y);
    writer.Write(v, v.vecPosition, vertex);
    float written[2];
    memcpy(written, vertex, sizeof written);
    EXPECT_FLOAT_EQ(written[0], 100) << c.factor << " " << c.y;
    EXPECT_FLOAT_EQ(written[1], c.expected) << c.factor << " " << c.y;
  }
}

TEST(SpriteVertexWriter, AnElementPastTheVertexIsLoggedAndNotWritten) {
  CRecordingEngineLog log;
  D3DVERTEXELEMENT9 layout[] = {Element(0, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_POSITION),
                                Element(40, D3DDECLTYPE_FLOAT2, D3DDECLUSAGE_TEXCOORD), D3DDECL_END()};
  const CSpriteVertexWriter writer(&log, "odd", layout, 20, CSpriteVertexWriter::kObjectSpace, {});
  BYTE vertex[48] = {};
  const Vertex v = At(1, 1, 1);
  writer.Write(v, v.vecPosition, vertex);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError), "ERROR!!! - Can't Draw Sprite, Element Lies Past The Vertex: odd");
  EXPECT_EQ(vertex[40], 0);
}

struct FrameCase {
  const char* name;
  LONG first, limit;
  bool loops;
  float frame;
  int shown;  // the frame texture set on stage 0
};

TEST_F(SpriteTest, AnAnimatedTextureShowsTheFrameOfItsSequence) {
  const FrameCase cases[] = {
      {"PastTheEndHeld", 0, 4, false, 10.0f, 3},     {"PastTheEndWrapped", 0, 4, true, 10.0f, 0},
      {"InsideTruncated", 0, 4, false, 2.7f, 2},     {"BeforeTheStartHeld", 0, 4, false, -3.0f, 3},
      {"NegativeWrappedKept", 0, 4, true, -3.0f, 0}, {"WrapReachingTheLimitKept", 0, 4, true, 14.0f, 3},
      {"EmptyRangeWrapped", 5, 4, true, 10.0f, 3},
  };
  for (const FrameCase& c : cases) {
    FakeEngineTexture frames[4];
    CTextureInterface* list[4] = {&frames[0], &frames[1], &frames[2], &frames[3]};
    SurfaceTexture sequence;
    sequence.Clear();
    sequence.dwSourceKind = SURFACE_TEXTURE_SEQUENCE;
    sequence.pFrames = list;
    sequence.dwNumberOfFrames = 4;
    sequence.lFirstFrame = c.first;
    sequence.lFrameLimit = c.limit;
    sequence.wFlags = c.loops ? SURFACE_TEXTURE_LOOP : 0;
    SurfaceTexture* slots[] = {&sequence};
    CSprite* sprite = Make(c.name, 1, g_screenLayout, 8, slots, 1);
    FillQuad(sprite, 0);
    sprite->Draw(c.frame);
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(frames[i].stagesSet, i == c.shown ? std::vector<WORD>{0} : std::vector<WORD>{}) << c.name << " " << i;
  }
}

TEST_F(SpriteTest, TheThirteenStatesAreGivenBackWithoutSendingTheMarker) {
  CD3D9Renderer& renderer = banks.Renderer();
  const std::pair<D3DRENDERSTATETYPE, DWORD> before[] = {
      {D3DRS_ZWRITEENABLE, 0}, {D3DRS_ZENABLE, 0},         {D3DRS_ZFUNC, D3DCMP_ALWAYS},  {D3DRS_ALPHATESTENABLE, 0},
      {D3DRS_ALPHABLENDENABLE, 0}, {D3DRS_BLENDOP, D3DBLENDOP_ADD}, {D3DRS_SRCBLEND, D3DBLEND_ONE},
      {D3DRS_DESTBLEND, D3DBLEND_ZERO}, {D3DRS_SHADEMODE, D3DSHADE_FLAT}, {D3DRS_CULLMODE, D3DCULL_NONE},
      {D3DRS_LIGHTING, 1}};
  for (const auto& [state, value] : before) renderer.SetRenderState(state, value);
  ASSERT_EQ(renderer.GetRenderState(D3DRS_ALPHAREF), CD3D9StateCache::kNoValue);
  ASSERT_EQ(renderer.GetRenderState(D3DRS_ALPHAFUNC), CD3D9StateCache::kNoValue);

  CSprite* sprite = Make("states", 1, g_screenLayout, 8);
  sprite->SetAlphaTest(1);
  sprite->SetAlphaTestRef(0x80);
  sprite->SetAlphaTestOp(D3DCMP_GREATER);
  sprite->SetAlphaBlending(1);
  FillQuad(sprite, 0);
  Forget();
  sprite->Draw(-1.0f);
  for (const auto& [state, value] : before) EXPECT_EQ(renderer.GetRenderState(state), value) << state;
  const std::string marker = std::to_string(CD3D9StateCache::kNoValue);
  for (const std::string& call : RendererTestBench::Calls({"SetRenderState"}))
    EXPECT_EQ(call.find(marker), std::string::npos) << call;
  // The alpha test reached the device during the draw.
  const std::vector<std::string> calls = RendererTestBench::Calls({"SetRenderState"});
  EXPECT_NE(std::find(calls.begin(), calls.end(), "SetRenderState(24, 128)"), calls.end());
}

struct SpaceCase {
  const char* name;
  UINT quads;
  D3DVERTEXELEMENT9* layout;
  bool draws;
};

TEST_F(SpriteTest, QuadsThatDoNotFitTheDynamicBuffersSkipTheDrawWithAWarning) {
  const SpaceCase cases[] = {{"justfits", 4096, g_32ByteLayout, true},
                             {"onetoomany", 4097, g_32ByteLayout, false},
                             {"unsized", 1, g_unsizedLayout, false}};
  for (const SpaceCase& c : cases) {
    CSprite* sprite = Make(c.name, c.quads, c.layout, 0);
    ASSERT_EQ(sprite->GetIsSuccessfulyCreated(), 1u) << c.name;
    FillQuad(sprite, 0);
    Forget();
    EXPECT_EQ(sprite->DrawQuads(-1.0f), c.draws ? 1u : 0u) << c.name;
    EXPECT_EQ(RendererTestBench::Calls(kDraws).size(), c.draws ? 1u : 0u) << c.name;
    EXPECT_EQ(Errors(), c.draws ? "" : "WARNING!!! - Not Enuff Space In Dynamic Vertex Buffer: " + std::string(c.name) +
                                           " (Sprite)\n")
        << c.name;
  }
}

TEST_F(SpriteTest, ACameraFacingSpriteWithoutASceneWarnsAndStillDraws) {
  CSprite* sprite = Make("billboard", 1, g_32ByteLayout, SPRITE_CAMERA_FACING);
  FillQuad(sprite, 0, -1, -1, 1, 1, 5);
  sprite->SetQuadRotation(0, static_cast<float>(M_PI / 2));
  Forget();
  EXPECT_EQ(sprite->DrawQuads(-1.0f), 1u);
  EXPECT_EQ(Errors(), "WARNING!!! - The Sprite: billboard Doesnt Have A Scene\n");
  EXPECT_EQ(RendererTestBench::Calls(kDraws).size(), 1u);
  // The corner (1, 1) turned a quarter about the view axis around the centre (0, 0, 5).
  const std::vector<float> corner = Floats(banks.DynamicVertices(4 * 32), 3 * 32, 3);
  EXPECT_NEAR(corner[0], -1, 1e-5);
  EXPECT_NEAR(corner[1], 1, 1e-5);
  EXPECT_NEAR(corner[2], 5, 1e-5);
}

TEST_F(SpriteTest, AParticleEmiterMakesAndDrawsItsSpriteThroughTheBank) {
  banks.bench.context->pRenderer = &banks.Renderer();
  const ParticleEmiterSettings settings = {"Sparks", 3, {}, {}, {}, {}, 0, 0, 0, 0, SPRITE_CAMERA_FACING};
  CParticleEmiter emiter(GetEngineContext(), &banks.bench.log, settings);
  ASSERT_TRUE(emiter.Init(nullptr, 0, nullptr));
  EXPECT_EQ(banks.Sprites().GetSpriteByName("sparks", 1), emiter.GetSprite());
  EXPECT_EQ(emiter.GetSprite()->GetNumberOfSpriteQuads(), 3u);
  FillQuad(emiter.GetSprite(), 1);
  Forget();
  banks.Sprites().Draw();
  // Only the warning of a sprite that is in no scene.
  EXPECT_EQ(Errors(), "WARNING!!! - The Sprite: sparks Doesnt Have A Scene\n");
  EXPECT_EQ(RendererTestBench::Calls(kDraws), (std::vector<std::string>{"DrawIndexedPrimitive(4, 0, 0, 4, 0, 2)"}));
}

TEST(SpriteOnGL, AScreenSpaceSpriteCoversItsRectangleWithItsTexture) {
  RealBanksBench banks(ZK_D3D_BACKEND_GL);
  CD3D9Renderer& renderer = banks.Renderer();
  CTextureInterface* texture = renderer.GetTextureStorageInterface()->CreateTexture("green", D3DFMT_A8R8G8B8, 4, 4, 1, 1);
  ASSERT_NE(texture, nullptr);
  D3DLOCKED_RECT locked;
  ASSERT_EQ(texture->GetD3DTexture()->LockRect(0, &locked, nullptr, 0), D3D_OK);
  for (UINT y = 0; y < 4; ++y)
    for (UINT x = 0; x < 4; ++x) static_cast<D3DCOLOR*>(locked.pBits)[y * locked.Pitch / 4 + x] = 0xFF00FF00;
  texture->GetD3DTexture()->UnlockRect(0);
  CSpriteInterface* sprite = banks.TexturedSprite("panel", 1, g_screenLayout, texture, 8);
  // The right half of the screen, white so that the texture alone gives the colour.
  FillQuad(sprite, 0, 0.5f, 0, 1, 1);
  for (UINT v = 0; v < 4; ++v)
    for (WORD& channel : sprite->GetQuadVertex(0, v)->wBonesIndices) channel = 255;
  sprite->SetZTest(0);
  sprite->SetCullMode(D3DCULL_NONE);
  renderer.Clear(7 | ZK_CLEAR_NO_FRAME_LIMIT, 0);
  renderer.BeginRendering();
  sprite->Draw(-1.0f);
  renderer.EndRendering();
  EXPECT_EQ(banks.bench.Errors(), "");
  const std::vector<D3DCOLOR> pixels = banks.bench.device.ReadBackBuffer();
  ASSERT_FALSE(pixels.empty());
  EXPECT_TRUE(ColorNear(CD3DTestDevice::At(pixels, 48, 32), 0x00FF00));
  EXPECT_TRUE(ColorNear(CD3DTestDevice::At(pixels, 16, 32), 0x000000));
}

}  // namespace
