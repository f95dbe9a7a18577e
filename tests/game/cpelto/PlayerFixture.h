#pragma once
// A player on a small real level: the test delivers the commands, sets the key tables and the
// animation ids, and steps frames on the test clock. The level's own key reading is stopped, so
// every command the player carries out is one the test (or the player itself) sent. The player's
// script counts every event it raises.
#include <algorithm>
#include <cstdio>
#include <string>

#include "RealLevelFixture.h"
#include "cpelto/GameCameraHold.h"
#include "cpelto/KeyBindings.h"
#include "cpelto/PeltoLevel.h"
#include "cpelto/PeltoPlayer.h"
#include "cpelto/PlayerCorePort.h"

// Animation ids the game's scripts would give.
enum : DWORD { kStartId = 1, kWalkId = 2, kEndId = 3, kBackId = 5 };

class CTablePort : public CPlayerCorePort {
 public:
  const KeyBindings& GetKeyBindings() override { return keys; }
  const AnimationIdentifiers& GetAnimationIdentifiers() override { return animations; }
  KeyBindings keys = DefaultKeyBindings();
  AnimationIdentifiers animations = {kStartId, kWalkId, kEndId, kBackId, 0, 0, 0, 0};
};

// A game camera that only keeps its hold flag.
class CHoldCamera : public geCBaseNode, public CGameCameraHold {
 public:
  explicit CHoldCamera(geCBaseNode* pParent) : geCBaseNode(pParent) { SetName("GameCamera"); }
  void SetHold(BYTE bHold) override { hold = bHold; }
  int hold = -1;
};

// Every event the player raises, counted by the player's script.
inline const char* const kEvents[] = {
    "OnStopState",        "OnStartIdle",        "OnStartForward",
    "OnStartBack",        "OnStartLeft",        "OnStartRight",
    "OnStartStrifeLeft",  "OnStartStrifeRight", "OnStartWalkInPlace",
    "OnStartJump",        "OnProcessJump",      "OnContinueWalking",
    "OnStartWettFloor",   "CPeltoPlayer_PreUpdatePosition", "OnActivateSocketSetMonster",
    "OnDeActivateSocketSetMonster"};

inline std::string EventScript() {
  std::string script;
  for (const char* event : kEvents)
    script += "int " + std::string(event) + "_n = 0; void " + event +
              "(const geSUpdateArgument &in a) { " + event + "_n++; }\n";
  return script;
}

// Play-once ranges at 30 frames a second: the walk and the turns take one second at velocity 1.
// The short end animation plays first, so the player soon stands with its animation stopped.
inline const char* const kAnimations = R"(
    <Animation Id="1" Start="0" End="3" animation_type="once"/>
    <Animation Id="2" Start="0" End="30" animation_type="once"/>
    <Animation Id="3" Start="0" End="3" animation_type="once" Active="3"/>
    <Animation Id="4" Start="0" End="300" animation_type="once"/>
    <Animation Id="5" Start="0" End="30" animation_type="once"/>
    <Animation Id="9" Start="0" End="29" animation_type="once"/>
    <Animation Id="10" Start="0" End="29" animation_type="once"/>
    <Animation Id="11" Start="0" End="3" animation_type="once"/>
    <Animation Id="12" Start="0" End="3" animation_type="once"/>
    <Animation Id="13" Start="0" End="30" animation_type="once"/>
    <Animation Id="14" Start="0" End="30" animation_type="once"/>
    <Animation Id="15" Start="0" End="6" animation_type="once"/>
    <Animation Id="0" Start="0" End="3" animation_type="once"/>)";

class PlayerTest : public RealLevelTest {
 protected:
  void SetUp() override {
    RealLevelTest::SetUp();
    PrepareLevelAndPlayer();
    RegisterNodeType<CHoldCamera>("HoldCamera");
    m_folder.Write("player.as", EventScript());
    m_replaced = SetPlayerCorePort(&m_port);
    for (int& slid : CPeltoPlayer::s_aiSlideCounters) slid = 0;
  }
  void TearDown() override {
    SetPlayerCorePort(m_replaced);
    RealLevelTest::TearDown();
  }

  static void Hold(DWORD key) { g_dwCurrentKeys[key] = 1; }
  static void Release(DWORD key) { g_dwCurrentKeys[key] = 0; }

  static constexpr const char* kOpen6 = "000000\n000000\n000000\n000000\n000000\n000000\n";

  // A level whose element and collision maps are given top row first (the width is the first
  // line's, the height the number of lines), with the player at (x, z), facing +x, and the
  // children given; the first frame is run.
  void LoadLevel(float x, float z, const std::string& playerParams = "",
                 const std::string& elements = kOpen6, const std::string& collision = kOpen6,
                 const char* animations = kAnimations, const std::string& children = "") {
    WriteMaps(elements, collision);
    const auto width = static_cast<int>(elements.find('\n'));
    const auto height = static_cast<int>(std::count(elements.begin(), elements.end(), '\n'));
    Build(LevelXml(
        width, height,
        PlayerXml(x, z, R"(Enabled="1" ScriptFile="player.as" )" + playerParams, animations) +
            children));
    m_level = Node<CPeltoLevel>("CPeltoLevel");
    m_player = Node<CPeltoPlayer>("GamePlayer");
    ASSERT_TRUE(m_level && m_player);
    m_level->SetInputStopped(1);
    Frame(0.0f);
  }

  // Frames until the player is back in state 1 or 9 (at most `limit`); the count.
  int FramesUntilStanding(float dt, int limit = 100) {
    int frames = 0;
    do {
      Frame(dt);
      ++frames;
    } while (!Standing() && frames < limit);
    return frames;
  }
  bool Standing() const {
    return m_player->m_dwState == CPeltoPlayer::kStateStop ||
           m_player->m_dwState == CPeltoPlayer::kStateIdle;
  }

  void Command(DWORD id, const char* name = "", DWORD data = 0) {
    geMessage message = {};
    snprintf(message.pszName, sizeof message.pszName, "%s", name);
    message.MessageID = id;
    message.dwData = data;
    m_player->ProcessMessage(&message);
  }

  // How often the node's script saw the event.
  static int Count(const char* event, const char* node = "GamePlayer") {
    return ScriptGlobal(node, (std::string(event) + "_n").c_str());
  }

  CVector3 MeshPosition() const { return LocalPosition(m_player->GetMesh(0)); }

  CTablePort m_port;
  CPlayerCorePort* m_replaced = nullptr;
  CPeltoLevel* m_level = nullptr;
  CPeltoPlayer* m_player = nullptr;
};
