#pragma once
// A small level on the engine's real scenes: the core started without shaders on a top interface
// that saves and loads real scene files, the key tables cleared around every test, and helpers
// that write the two map files, make the XML of a level and its player, and step frames on the
// game's clock.
#include <string>

#include "GameObjectFixture.h"
#include "cpelto/PeltoLevel.h"
#include "cpelto/PeltoPlayer.h"
#include "framework/InputState.h"
#include "framework/MessageRouter.h"

inline void ExpectNear(const CVector3& v, float x, float y, float z, float tolerance = 1e-4f) {
  EXPECT_NEAR(v.x, x, tolerance);
  EXPECT_NEAR(v.y, y, tolerance);
  EXPECT_NEAR(v.z, z, tolerance);
}

class RealLevelTest : public GameObjectTest {
 protected:
  void SetUp() override {
    GameObjectTest::SetUp();
    m_scenes.realFiles = true;
    WriteSettings("<Param use_shaders=\"0\"/>");
    StartCore();
    ReleaseKeys();
  }
  void TearDown() override {
    ReleaseKeys();
    GameObjectTest::TearDown();
  }

  static void ReleaseKeys() {
    geClearKeyTable(g_dwCurrentKeys);
    geClearKeyTable(g_dwLastKeys);
  }

  // The empty "ground.zks" a level stands on and the one-mesh "hero.zks" of the player.
  void SaveGroundAndHero() {
    SaveScene("ground", {});
    SaveScene("hero", {{"hero", {0, 0, 0}}});
  }
  // The node types "Level" and "PeltoPlayer" (a player of class `Player`) and the scenes they
  // load.
  template <class Player = CPeltoPlayer>
  void PrepareLevelAndPlayer() {
    RegisterNodeType<CPeltoLevel>("Level");
    RegisterNodeType<Player>("PeltoPlayer");
    SaveGroundAndHero();
  }

  // `height` rows of `width` free cells, top row first.
  static std::string OpenMap(int width, int height) {
    std::string map;
    for (int row = 0; row < height; ++row)
      map += std::string(static_cast<size_t>(width), '0') + "\n";
    return map;
  }
  // Writes "elements.txt" and "collision.txt"; an empty text leaves its file out.
  void WriteMaps(const std::string& elements, const std::string& collision) {
    if (!elements.empty()) m_folder.Write("elements.txt", elements);
    if (!collision.empty()) m_folder.Write("collision.txt", collision);
  }

  // A level node on "ground.zks" over a `width` × `height` map of the two files, with `params`
  // added to its Param, `mapAttributes` to its map, and `children` inside.
  static std::string LevelXml(int width, int height, const std::string& children,
                              const std::string& type = "Level", const std::string& name = "level",
                              const std::string& params = "",
                              const std::string& mapAttributes = "") {
    return R"(<Node Type=")" + type + R"(" Name=")" + name +
           R"("><Param File="ground.zks" Directory="" )" + params +
           R"(/><map file="elements.txt" collides="collision.txt" Width=")" +
           std::to_string(width) + R"(" Height=")" + std::to_string(height) + "\" " +
           mapAttributes + "/>" + children + "</Node>";
  }
  // The player "GamePlayer" at (x, z) on `file`, with `params` added to its Param and `children`
  // inside.
  static std::string PlayerXml(float x, float z, const std::string& params = "",
                               const std::string& children = "",
                               const std::string& file = "hero.zks") {
    return R"(<Node Type="PeltoPlayer" Name="GamePlayer"><Param File=")" + file +
           R"(" Directory="" InitX=")" + std::to_string(x) + R"(" InitZ=")" + std::to_string(z) +
           "\" " + params + "/>" + children + "</Node>";
  }

  // Where a mesh, null or camera stands in its parent's space.
  template <class Object>
  static CVector3 LocalPosition(Object* object) {
    CVector3 at;
    object->GetPosition(&at, 1);
    return at;
  }

  // One game step of `dt` seconds, the game's time moving with it.
  void Advance(float dt) {
    m_now += dt;
    m_core->GetGlobalArg()->m_fDeltaTime = dt;
    Step(m_now);
  }
  // One frame of `dt` seconds, then the messages posted during it.
  void Frame(float dt) {
    Advance(dt);
    m_core->GetMessageRouter()->DeliverMessages();
  }

  float m_now = 0.0f;
};
