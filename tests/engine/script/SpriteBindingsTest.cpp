// Sprites and the sprite storage as scripts drive them, on the renderer's real sprite bank:
// sprites made from script arrays, quads checked against the sprite, the fixed arguments, and
// the sprite a null object gets from CreateSpriteForNullObject.
#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "D3DBindingsBench.h"
#include "FakeEngineTexture.h"
#include "FakeSprite.h"
#include "TestScene.h"
#include "scene/Null.h"
#include "script/bstr.h"

using namespace AngelScript;

namespace {

FakeEngineTexture g_slotTexture;

// A slot showing the test's texture, as a surface's would.
SurfaceTexture TestSlot() {
  SurfaceTexture slot;
  slot.Clear();
  slot.pTextureImage = &g_slotTexture;
  slot.wOpacity = 4;
  slot.fOpacityValue = 1.0f;
  return slot;
}

class SpriteBindingsTest : public D3DBindingsTest {
 protected:
  void SetUp() override {
    D3DBindingsTest::SetUp();
    g_slotTexture.stagesSet.clear();
    ASSERT_GE(script.engine->RegisterGlobalFunction("SurfaceTexture TestSlot()",
                                                    asFUNCTION(TestSlot), asCALL_CDECL),
              0);
    ASSERT_GE(script.engine->RegisterGlobalProperty("CSpriteInterface@ g_fake", &fakeHandle), 0);
    scene = new TestScene(renderer, &banks.bench.log);
  }
  void TearDown() override {
    scene->Release();
    D3DBindingsTest::TearDown();
  }

  CSpriteBank& Bank() { return banks.Sprites(); }
  CNull* AddNull(const char* name) {
    auto* null = new CNull(renderer, &banks.bench.log, name);
    null->SetOwnerScene(scene);
    scene->AppendWorldObject(null);
    return null;
  }
  UINT SpritesInScene() {
    UINT count = 0;
    for (UINT i = 0; i < scene->GetNumberOfSprites(); ++i) count += scene->GetSprite(i) != nullptr;
    return count;
  }
  // A dynamic sprite of `quads` quads made by a script with one slot showing g_slotTexture.
  CSpriteInterface* ScriptSprite(const char* name, UINT quads = 2) {
    return Handle<CSpriteInterface>(
        "CSpriteInterface@",
        ScriptElements() + "array<SurfaceTexture> t = {TestSlot()};" +
            "return g_sprites.CreateSprite(\"" + name + "\", " +
            std::to_string(quads) + ", e, t, 1, null, 0, 1);");
  }

  FakeSprite fake{"fake", 2};
  CSpriteInterface* fakeHandle = &fake;
  TestScene* scene = nullptr;
  std::deque<CNullInterface*> nullHandles;  // script globals point into it
};

TEST_F(SpriteBindingsTest, ASpriteKeepsItsSlotsAfterTheScriptsArrayIsGone) {
  CSpriteInterface* sprite = ScriptSprite("Glow");
  ASSERT_NE(sprite, nullptr);
  EXPECT_STREQ(sprite->GetSpriteName(), "glow");
  script.engine->GarbageCollect();
  ASSERT_NE(CScriptKeptData::Instance().Find(renderer->GetSpriteStorageInterface(), sprite),
            nullptr);

  // The draw reads the slot the array held: a copy, since the array is freed.
  Run("CSpriteInterface@ s = g_sprites.GetSpriteByName(\"GLOW\");"
      "Vertex a, b, c, d; b.vecPosition.x = 1; c.vecPosition.y = 1; d.vecPosition.x = 1;"
      "d.vecPosition.y = 1; s.AddIntoQuad(0, a, b, c, d); s.Draw();");
  EXPECT_EQ(g_slotTexture.stagesSet, std::vector<WORD>{0}) << banks.bench.Errors();
}

TEST_F(SpriteBindingsTest, TheSameNameInAnyCaseAndTheSameDynamicFlagGiveTheSameSprite) {
  CSpriteInterface* first = ScriptSprite("Glow");
  const void* kept = CScriptKeptData::Instance().Find(renderer->GetSpriteStorageInterface(), first);
  EXPECT_EQ(ScriptSprite("GLOW"), first);
  EXPECT_EQ(Bank().GetNumberOfSprites(), 1u);
  // The sprite still draws from the slots of its first call.
  EXPECT_EQ(CScriptKeptData::Instance().Find(renderer->GetSpriteStorageInterface(), first), kept);
}

TEST_F(SpriteBindingsTest, ArraysShorterThanTheirCountMakeNoSprite) {
  const std::string create = "g_sprites.CreateSprite(\"s\", 1, e, t, ";
  const std::string cases[] = {
      ScriptElements(false) + "array<SurfaceTexture> t = {TestSlot()};" + create + "1, null, 0, 0);",
      ScriptElements() + "array<SurfaceTexture> t = {TestSlot()};" + create + "2, null, 0, 0);",
      ScriptElements() + "array<SurfaceTexture>@ t = null;" + create + "1, null, 0, 0);",
      "array<D3DVERTEXELEMENT9>@ e = null; array<SurfaceTexture> t;" + create + "0, null, 0, 0);",
  };
  for (const std::string& code : cases) Throws(code);
  EXPECT_EQ(Bank().GetNumberOfSprites(), 0u);
  // No slots at all is a sprite without textures.
  Run(ScriptElements() + "array<SurfaceTexture>@ t = null;" + create + "0, null, 0, 0);");
  EXPECT_EQ(Bank().GetNumberOfSprites(), 1u);
}

TEST_F(SpriteBindingsTest, QuadsOutsideTheSpriteAreRefused) {
  CSpriteInterface* sprite = ScriptSprite("quads", 2);
  ASSERT_NE(sprite, nullptr);
  ASSERT_GE(script.engine->RegisterGlobalProperty("CSpriteInterface@ g_sprite", &sprite), 0);
  EXPECT_EQ(script.Eval<asUINT>("uint", "Vertex v; return g_sprite.AddIntoQuad(2, v, v, v, v);"),
            0u);
  EXPECT_EQ(script.Eval<asUINT>("uint", "Vertex v; return g_sprite.AddIntoQuad(1, v, v, v, v);"),
            1u);
  Throws("g_sprite.GetQuadVertex(2, 0);");
  Throws("g_sprite.GetQuadVertex(0, 4);");
  EXPECT_EQ(script.Eval<asUINT>("uint", "return g_sprite.GetIsActive(2);"), 0u);
  // A corner is the sprite's own vertex: written in place.
  Run("g_sprite.GetQuadVertex(1, 3).vecPosition.x = 7;");
  EXPECT_EQ(sprite->GetQuadVertex(1, 3)->vecPosition.x, 7.0f);
  EXPECT_EQ(script.Eval<float>("float", "g_sprite.SetQuadRotation(1, 0.5f);"
                                        "return g_sprite.SetQuadRotation(1);"),
            0.5f);
}

TEST_F(SpriteBindingsTest, PassThroughsReachTheSprite) {
  CSpriteInterface* sprite = ScriptSprite("states", 1);
  ASSERT_GE(script.engine->RegisterGlobalProperty("CSpriteInterface@ g_sprite", &sprite), 0);
  Run("g_sprite.SetCullMode(1); g_sprite.SetZWrite(0); g_sprite.SetAlphaBlendingSource(5);"
      "g_sprite.SetPosition(CVector3(1, 2, 3)); g_sprite.GetRotation().y = 4;"
      "g_sprite.SetScale(CVector3(2, 2, 2)); g_sprite.SetIsActive(0);");
  EXPECT_EQ(sprite->GetCullMode(), 1u);
  EXPECT_EQ(sprite->GetZWrite(), 0u);
  EXPECT_EQ(sprite->GetAlphaBlendingSource(), 5u);
  EXPECT_EQ(*sprite->GetPosition(), CVector3(1, 2, 3));
  EXPECT_EQ(sprite->GetRotation()->y, 4.0f);
  EXPECT_EQ(*sprite->GetScale(), CVector3(2, 2, 2));
  EXPECT_EQ(sprite->GetIsActive(), 0u);

  // The name is a copy; the scene handle may be cleared.
  EXPECT_EQ(script.Eval<bstr>("bstr", "bstr n = g_sprite.GetSpriteName(); n += \"x\"; return n;"),
            "statesx");
  EXPECT_STREQ(sprite->GetSpriteName(), "states");
  sprite->SetScene(scene);
  Run("g_sprite.SetScene(null);");
  EXPECT_EQ(sprite->GetScene(), nullptr);

  // Both draws go at the current frame.
  Run("g_fake.Draw();");
  EXPECT_EQ(fake.drawFrames, std::vector<float>{-1.0f});
}

TEST_F(SpriteBindingsTest, ANullGetsOneCameraFacingQuadNamedAfterIt) {
  struct Case {
    const char* name;
    UINT additive;
    UINT blending, source, destination;
  };
  CSpriteInterface* plain = ScriptSprite("plain", 1);
  const Case cases[] = {
      {"lamp", 1, 1, D3DBLEND_ONE, D3DBLEND_ONE},
      {"torch", 0, plain->GetAlphaBlending(), plain->GetAlphaBlendingSource(),
       plain->GetAlphaBlendingDestination()},
  };
  for (const Case& c : cases) {
    CNull* null = AddNull(c.name);
    ASSERT_GE(script.engine->RegisterGlobalProperty(
                  (std::string("CNullInterface@ g_") + c.name).c_str(), &nullHandles.emplace_back(null)),
              0);
    Run(std::string("CreateSpriteForNullObject(\"flare.png\", 2.5f, g_") + c.name + ", " +
        std::to_string(c.additive) + ");");
    CSpriteInterface* sprite = Bank().GetSpriteByName((std::string(c.name) + "_options_sprite").c_str(), 1);
    ASSERT_NE(sprite, nullptr) << c.name;
    EXPECT_EQ(sprite->GetNumberOfSpriteQuads(), 1u);
    EXPECT_EQ(sprite->GetOrientationFlags(), UINT(SPRITE_CAMERA_FACING));
    EXPECT_EQ(sprite->GetCullMode(), UINT(D3DCULL_NONE));
    EXPECT_EQ(sprite->GetMaterialInterface(), nullptr);
    EXPECT_EQ(sprite->GetAlphaBlending(), c.blending) << c.name;
    EXPECT_EQ(sprite->GetAlphaBlendingSource(), c.source) << c.name;
    EXPECT_EQ(sprite->GetAlphaBlendingDestination(), c.destination) << c.name;
    EXPECT_EQ(sprite->GetIsActive(0), 1u);
    const float corners[4][4] = {{-2.5f, -2.5f, 1, 1}, {-2.5f, 2.5f, 1, 0}, {2.5f, -2.5f, 0, 1},
                                 {2.5f, 2.5f, 0, 0}};
    for (UINT i = 0; i < 4; ++i) {
      const Vertex* v = sprite->GetQuadVertex(0, i);
      EXPECT_EQ(v->vecPosition, CVector3(corners[i][0], corners[i][1], 0)) << c.name << i;
      EXPECT_EQ(v->fTU[0], corners[i][2]) << c.name << i;
      EXPECT_EQ(v->fTV[0], corners[i][3]) << c.name << i;
      EXPECT_EQ(v->vecNormal, CVector3(0, 0, 0));
    }
    EXPECT_EQ(null->GetNullOptions()->GetType8Option(), sprite);
    EXPECT_EQ(null->GetNullOptions()->GetOptionFlags(), 1u);
    EXPECT_EQ(sprite->GetScene(), scene);
  }
  EXPECT_EQ(SpritesInScene(), 2u);
}

TEST_F(SpriteBindingsTest, ASecondCallForTheSameNullReusesItsSpriteAndSlot) {
  CNull* null = AddNull("lamp");
  CNullInterface* handle = null;
  ASSERT_GE(script.engine->RegisterGlobalProperty("CNullInterface@ g_null", &handle), 0);
  Run("CreateSpriteForNullObject(\"flare.png\", 1, g_null, 0);");
  CSpriteInterface* sprite = null->GetNullOptions()->GetType8Option();
  const void* slot = CScriptKeptData::Instance().Find(renderer->GetSpriteStorageInterface(), sprite);
  ASSERT_NE(slot, nullptr);
  Run("CreateSpriteForNullObject(\"flare.png\", 3, g_null, 1);");
  EXPECT_EQ(null->GetNullOptions()->GetType8Option(), sprite);
  EXPECT_EQ(Bank().GetNumberOfSprites(), 1u);
  EXPECT_EQ(CScriptKeptData::Instance().Find(renderer->GetSpriteStorageInterface(), sprite), slot);
  EXPECT_EQ(sprite->GetQuadVertex(0, 3)->vecPosition, CVector3(3, 3, 0));
  EXPECT_EQ(sprite->GetAlphaBlendingSource(), UINT(D3DBLEND_ONE));
  EXPECT_EQ(SpritesInScene(), 1u);
}

TEST_F(SpriteBindingsTest, NamesThatDoNotFitAndMissingNullsMakeNothing) {
  const std::string longName(241, 'n');
  CNull* tooLong = AddNull(longName.c_str());
  CNull* fits = AddNull(std::string(240, 'f').c_str());
  CNullInterface* handles[] = {tooLong, fits};
  ASSERT_GE(script.engine->RegisterGlobalProperty("CNullInterface@ g_long", &handles[0]), 0);
  ASSERT_GE(script.engine->RegisterGlobalProperty("CNullInterface@ g_fits", &handles[1]), 0);

  Run("CreateSpriteForNullObject(\"flare.png\", 1, null, 1);");
  Run("CreateSpriteForNullObject(\"flare.png\", 1, g_long, 1);");
  const std::string longTexture = "bstr t; for (int i = 0; i < 255; ++i) t += \"t\";";
  Run(longTexture + "CreateSpriteForNullObject(t, 1, g_fits, 1);");
  EXPECT_EQ(Bank().GetNumberOfSprites(), 0u);
  const std::string errors = banks.bench.Errors();
  EXPECT_NE(errors.find("ERROR!!! - Can't Create Sprite For Null Object, Name Too Long: " +
                        longName + "\n"),
            std::string::npos)
      << errors;
  EXPECT_NE(errors.find("Name Too Long: " + std::string(255, 't') + "\n"), std::string::npos);

  Run("CreateSpriteForNullObject(\"flare.png\", 1, g_fits, 1);");
  EXPECT_STREQ(fits->GetNullOptions()->GetType8Option()->GetSpriteName(),
               (std::string(240, 'f') + "_options_sprite").c_str());
}

}  // namespace
