// The game's script API on a started game core: the whole registration with its index, and one
// script a group of declarations, run on the level, player, crate, walking entity, game camera
// and plain nodes of a small level that the core loads, with the engine's real scenes behind the
// test top interface.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <climits>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "PeltoCoreFixture.h"
#include "SceneGameTestZeKorbInterface.h"
#include "ScriptMainRunner.h"
#include "cpelto/EntityWalking.h"
#include "cpelto/GameCamera.h"
#include "cpelto/GameMaths.h"
#include "cpelto/JoystickButtonMap.h"
#include "cpelto/MovableObject.h"
#include "cpelto/PeltoLevel.h"
#include "cpelto/PeltoPlayer.h"
#include "cpelto/ScriptGameCamera.h"
#include "framework/EngineGlobals.h"
#include "framework/GameObject.h"
#include "framework/InputState.h"
#include "scene/Scene.h"
#include "script/bstr.h"

using namespace AngelScript;
using testing::HasSubstr;
using testing::IsSupersetOf;
using testing::Not;

namespace {

using Texts = std::vector<std::string>;
using Floats = std::vector<float>;

// A 3 x 2 level: element 'a' at (1, 1), cell (2, 1) blocked; the player, a second player, a
// crate, a walking entity and a plain node below it.
constexpr const char* kLevel = R"(<Node Type="Level" Name="Castle">
  <map file="elements.txt" collides="collision.txt" Width="3" Height="2"/>
  <Node Type="PeltoPlayer" Name="GamePlayer"><Param InitX="1.5" InitZ="0.5"/></Node>
  <Node Type="PeltoPlayer" Name="SubPlayer"/>
  <Node Type="MovableObject" Name="Crate"><Param InitX="2.5" InitZ="0.5"/></Node>
  <Node Type="EntityWalking" Name="Walker"><Param InitX="0.5" InitZ="1.5" Velocity="2"/></Node>
  <Node Type="Node" Name="Plain"/>
</Node>)";

// The engine's real scenes; the game's input devices get no window.
class CGameSceneInterface final : public CSceneGameTestZeKorbInterface {
 public:
  HWND GetWindowHandle() override { return nullptr; }
};

class GameScriptApi : public PeltoCoreTest {
 protected:
  void SetUp() override {
    PeltoCoreTest::SetUp();
    m_scenes.realFiles = true;
    CGameTestZeKorbInterface::Served() = &m_scenes;
    s_pFloats = &m_floats;
    s_pTexts = &m_texts;
  }
  void TearDown() override {
    PeltoCoreTest::TearDown();
    s_pFloats = nullptr;
    s_pTexts = nullptr;
  }

  // Starts the core with the index recording or not, the castle level listed (not loaded).
  CTestPeltoCore& Start(bool index = true) {
    m_folder.Write("cfg/config.xml", std::string("<vGameEngine><Param use_shaders=\"0\" "
                                                 "CreateASIndex=\"") +
                                         (index ? "1" : "0") + "\"/></vGameEngine>");
    WriteLevelSetup("", "");
    WriteLevel("castle", kLevel);
    m_folder.Write("elements.txt", "0a0\n000\n");
    m_folder.Write("collision.txt", "001\n000\n");
    CTestPeltoCore& core = StartCore();
    auto ok = [](int r) { ASSERT_GE(r, 0); };
    ok(g_pScriptEngine->RegisterGlobalFunction("void NoteFloat(float)", asFUNCTION(NoteFloat),
                                               asCALL_CDECL));
    ok(g_pScriptEngine->RegisterGlobalFunction("void NoteText(const bstr &in)",
                                               asFUNCTION(NoteText), asCALL_CDECL));
    return core;
  }
  // Starts the core and loads the castle.
  CTestPeltoCore& StartInLevel() {
    CTestPeltoCore& core = Start();
    core.LoadLevel("Castle");
    core.ProcessFrame();
    EXPECT_NE(core.GetCurrentLevel(), nullptr);
    return core;
  }
  template <class T>
  T* Node(const char* name) {
    return dynamic_cast<T*>(m_core->GetRootNode()->GetNodeByName(name, 1));
  }

  void Run(const std::string& code) { RunScriptMain(g_pScriptEngine, code); }

  static void NoteFloat(float value) { s_pFloats->push_back(value); }
  static void NoteText(const bstr& text) { s_pTexts->push_back(text); }

  static inline Floats* s_pFloats = nullptr;
  static inline Texts* s_pTexts = nullptr;
  Floats m_floats;
  Texts m_texts;
  CGameSceneInterface m_scenes;
  // Nodes keep their element: the document of nodes a test adds lives as long as the core.
  TiXmlDocument m_addedNodes;
};

// Each type's declarations in the dump of the index, by the type's title, in dump order, with
// their description lines joined to them.
std::map<std::string, Texts> DumpedIndex(const std::string& log) {
  std::map<std::string, Texts> index;
  const size_t start = log.find("\nAngelScript Registered types:\n");
  const size_t end = log.find("-----------------------------------------\n", start);
  if (start == std::string::npos || end == std::string::npos) return index;
  std::string type;
  size_t lineEnd;
  for (size_t at = start + 1; at < end; at = lineEnd + 1) {
    lineEnd = log.find('\n', at);
    const std::string line = log.substr(at, lineEnd - at);
    if (line.rfind(" -", 0) == 0) {
      type = line.substr(2);
      index[type];
    } else if (line.rfind("   - ", 0) == 0) {
      index[type].push_back(line.substr(5));
    }
  }
  return index;
}

// A declaration without its spaces: the index keeps the registered text, the script engine
// writes its own.
std::string Squeezed(std::string text) {
  std::erase(text, ' ');
  return text;
}

Texts SqueezedSorted(const Texts& declarations) {
  Texts squeezed;
  for (const std::string& declaration : declarations) squeezed.push_back(Squeezed(declaration));
  std::sort(squeezed.begin(), squeezed.end());
  return squeezed;
}

// The methods and properties the script engine holds for the type.
Texts EngineDeclarations(const char* type) {
  Texts declarations;
  const asITypeInfo* info = g_pScriptEngine->GetTypeInfoByName(type);
  if (!info) return declarations;
  for (asUINT i = 0; i < info->GetMethodCount(); ++i)
    declarations.push_back(info->GetMethodByIndex(i)->GetDeclaration(false, false, true));
  for (asUINT i = 0; i < info->GetPropertyCount(); ++i)
    declarations.push_back(info->GetPropertyDeclaration(i));
  return declarations;
}

// The places of the named global functions among the script engine's, in registration order;
// -1 for a name it does not have.
std::vector<int> GlobalFunctionPlaces(const Texts& names) {
  std::vector<int> places;
  for (const std::string& name : names) {
    int place = -1;
    for (asUINT i = 0; i < g_pScriptEngine->GetGlobalFunctionCount(); ++i)
      if (name == g_pScriptEngine->GetGlobalFunctionByIndex(i)->GetName()) {
        place = static_cast<int>(i);
        break;
      }
    places.push_back(place);
  }
  return places;
}

}  // namespace

TEST_F(GameScriptApi, RegistersEverythingAndDumpsTheIndexOnceAtTheEnd) {
  Start();
  const std::string log = ScriptLog();
  EXPECT_THAT(log, Not(HasSubstr("Register failed")));
  const size_t dump = log.find("\nAngelScript Registered types:\n");
  ASSERT_NE(dump, std::string::npos) << log;
  EXPECT_EQ(log.find("AngelScript Registered types", dump + 2), std::string::npos);

  const std::map<std::string, Texts> index = DumpedIndex(log);
  const Texts player = {
      "CPeltoPlayer@ m_pSubPlayer",
      "CVector3 GetRotation()",
      "CVector3 m_vecOgonDiffuse",
      "CVector3 m_vecOgonSpecular",
      "CVector3 m_vecPosition",
      "CVector3& GetDirection()",
      "CVector3& GetPosition()",
      "bool m_bJumping",
      "int GetTurnStateOnOrOff( int a_dwState )",
      "int m_bSocketEnabled",
      "uint ActiveSocket",
      "uint m_dwSocketType",
      "uint m_vecOgonFrameOffset",
      "void ForceSetState( int iState )",
      "void SetPosition( CVector3 a_vecPosition )",
      "void SetPositionf( CVector3 a_vecPosition )",
      "void SetRotation( CVector3 )",
      "void SetVisibilityForAll( int bCamera, int bRays, int bCollisions )",
      "void TurnStateOnOrOff( int a_dwState, int a_iVal )",
  };
  EXPECT_EQ(index.at("CPeltoPlayer"), player);
  EXPECT_EQ(index.at("CEntityWalking"),
            (Texts{"CVector3 GetRotation()", "CVector3& GetPosition()", "float m_fVelocityFactor",
                   "void Pause()", "void Resume()", "void SetPosition( float x, float y, float z )",
                   "void SetRotation( CVector3 )"}));
  EXPECT_EQ(index.at("CMovableObject"), Texts{"CVector3& GetPosition()"});
  EXPECT_EQ(index.at("CQuaternion"), Texts{});
  EXPECT_EQ(index.at("CPeltoLevel"),
            (Texts{"uint GetElementMapAt( int x, int y )", "uint GetMapHeight()",
                   "uint GetMapWidth()", "uint8 GetCollisionMapAt( int x, int y )",
                   "void SetCollisionByPos( float x, float y, int a_bVal )"}));
  EXPECT_THAT(index.at("GLOABAL"),
              IsSupersetOf(Texts{
                  "void SetWallpaper( bstr )",
                  "void MapJoystickButtons( int, uint )",
                  "void SetAmbient( float r, float g, float b, float a )",
                  "void DisableCameraMap( bool a_bVal )",
                  "bool IsDisabledCameraMap()",
                  "CPeltoLevel@ CastToPeltoLevel( geCBaseNode@ )",
                  "CPeltoPlayer@ GetPlayerObject( geCBaseNode@ )",
                  "void AddVirtualDisk( string a_strFileName, string a_strPwd )",
                  "int bstrToInt( bstr )",
                  "float bstrToFloat( bstr )",
                  "int strToInt( string )",
                  "float strToFloat( string )",
                  "CEntityWalking@ GetEntityObject( geCBaseNode@ )",
                  "CMovableObject@ GetMovableObject( geCBaseNode@ )",
                  "string Koduj( string )",
                  "string DeKoduj( string )",
                  "CSceneInterface@ GetLevelScene()",
                  "void SetCameraPosition( CVector3 )",
                  "geCBaseNode@ AddProfileItem( geCBaseNode@ pParent, bstr Name )",
                  "void RemoveProfileItem( geCBaseNode@ pParent )",
              }));
  Texts core = {"void LoadLevel( bstr a_pszLevelName )",
                "void UnloadLevel()",
                "bstr GetLevelName( uint )",
                "int GetLevelsCount()",
                "geCProperties@ GetProperties()",
                "void LoadKeybindings()",
                "void SaveKeybindings()",
                "uint CheckAnyKey()",
                "geCBaseNode@ GetGameProfiles()",
                "bool LoadGameProfiles( string FileName )",
                "void SaveGameProfiles( string FileName )"};
  for (const KeyBindingEntry& entry : kKeyBindingEntries)
    core.push_back(std::string("uint ") + entry.szName);
  for (const char* name : {"moveforward_start", "moveforward", "moveforward_end", "movebackward",
                           "rotateleft", "rotateright", "strikeleft", "strikeright"})
    core.push_back(std::string("uint idanim_") + name);
  EXPECT_THAT(index.at("geCGameCore"), IsSupersetOf(core));

  // Each game and menu type's dump lists exactly what the script engine holds for it.
  const char* const types[] = {"CPeltoPlayer", "CEntityWalking",   "CMovableObject", "CQuaternion",
                               "CPeltoLevel",  "ID3DXMatrixStack", "CMenuText",      "CMenuPicture",
                               "CMenuItem",    "CMenuAviElement"};
  for (const char* type : types) {
    ASSERT_TRUE(index.contains(type)) << type;
    EXPECT_EQ(SqueezedSorted(index.at(type)), SqueezedSorted(EngineDeclarations(type))) << type;
  }
  // The game's types and global functions in their order, the menus' after them.
  for (size_t i = 1; i <= 5; ++i)
    EXPECT_LT(g_pScriptEngine->GetTypeInfoByName(types[i - 1])->GetTypeId(),
              g_pScriptEngine->GetTypeInfoByName(types[i])->GetTypeId())
        << types[i];
  const std::vector<int> places = GlobalFunctionPlaces(
      {"SetWallpaper",        "MapJoystickButtons", "SetAmbient",      "DisableCameraMap",
       "IsDisabledCameraMap", "CastToPeltoLevel",   "GetPlayerObject", "AddVirtualDisk",
       "bstrToInt",           "bstrToFloat",        "strToInt",        "strToFloat",
       "GetEntityObject",     "GetMovableObject",   "Koduj",           "DeKoduj",
       "GetLevelScene",       "SetCameraPosition",  "AddProfileItem",  "RemoveProfileItem",
       "CastToCMenuItem"});
  EXPECT_THAT(places, Not(testing::Contains(-1)));
  EXPECT_TRUE(std::is_sorted(places.begin(), places.end())) << testing::PrintToString(places);

  // The descriptions stand under their declarations.
  EXPECT_THAT(log, HasSubstr("   - void ForceSetState( int iState )\n"
                             "        state_stop = 1,\n state_going_forward = 2,\n"
                             " state_going_back = 3,\n state_going_left = 4,\n"
                             " state_going_right = 5,\n state_strifing_right = 6,\n"
                             " state_strifing_left = 7,\n state_walking_inplace = 8,\n"
                             " state_idle = 9,\n state_socket_in = 10\n"));
  EXPECT_THAT(log, HasSubstr("   - void SetWallpaper( bstr )\n       \tSet wallpaper using "
                             "ActiveDesktop (shell32.dll version 4.71 or later, win9x,w2k,xp)\n"
                             "\t\t-Input: file to set as wallpaper\n"));
  EXPECT_THAT(log, HasSubstr("   - void AddVirtualDisk( string a_strFileName, string a_strPwd )\n"
                             "       Adding virtual disk from zkr or zkz compressed file "
                             "(optional password if not empty)\n"));
}

TEST_F(GameScriptApi, WithoutTheIndexEverythingRegistersAndNothingIsDumped) {
  Start(false);
  EXPECT_THAT(ScriptLog(), Not(HasSubstr("Register failed")));
  EXPECT_THAT(ScriptLog(), Not(HasSubstr("AngelScript Registered types")));
  for (const char* type : {"CPeltoPlayer", "CEntityWalking", "CMovableObject", "CQuaternion",
                           "CPeltoLevel", "CMenuItem"})
    EXPECT_NE(g_pScriptEngine->GetTypeInfoByName(type), nullptr) << type;
  EXPECT_NE(g_pScriptEngine->GetGlobalFunctionByDecl("string Koduj( string )"), nullptr);
}

TEST_F(GameScriptApi, CastsAnswerOnlyForTheirOwnClass) {
  StartInLevel();
  Run(R"(void main() {
    geCBaseNode@ root = GameCore.GetRootNode();
    geCBaseNode@ level = root.GetNodeByName("CPeltoLevel");
    geCBaseNode@ player = root.GetNodeByName("GamePlayer");
    geCBaseNode@ crate = root.GetNodeByName("Crate");
    geCBaseNode@ plain = root.GetNodeByName("Plain");
    Note(CastToPeltoLevel(null) is null ? 1 : 0);
    Note(CastToPeltoLevel(level) is null ? 0 : 1);
    Note(CastToPeltoLevel(player) is null ? 1 : 0);
    Note(GetPlayerObject(null) is null ? 1 : 0);
    Note(GetPlayerObject(player) is null ? 0 : 1);
    Note(GetPlayerObject(crate) is null ? 1 : 0);
    Note(GetMovableObject(null) is null ? 1 : 0);
    Note(GetMovableObject(crate) is null ? 0 : 1);
    Note(GetMovableObject(plain) is null ? 1 : 0);
    Note(GetMovableObject(level) is null ? 1 : 0);
    geCBaseNode@ walker = root.GetNodeByName("Walker");
    Note(GetEntityObject(null) is null ? 1 : 0);
    Note(GetEntityObject(walker) is null ? 0 : 1);
    Note(GetEntityObject(crate) is null ? 1 : 0);
    Note(GetMovableObject(walker) is null ? 1 : 0);
  })");
  EXPECT_EQ(m_notes, std::vector<int>(14, 1));
}

TEST_F(GameScriptApi, LevelGridQueries) {
  StartInLevel();
  Run(R"(void main() {
    CPeltoLevel@ level = CastToPeltoLevel(GameCore.GetRootNode().GetNodeByName("CPeltoLevel"));
    Note(level.GetMapWidth()); Note(level.GetMapHeight());
    Note(level.GetElementMapAt(1, 1)); Note(level.GetElementMapAt(0, 0));
    Note(level.GetElementMapAt(3, 0));
    Note(level.GetCollisionMapAt(2, 1)); Note(level.GetCollisionMapAt(2, 0));
    Note(level.GetCollisionMapAt(-1, 0));
    level.SetCollisionByPos(1.7f, 0.2f, 9);
  })");
  EXPECT_EQ(m_notes, (std::vector<int>{3, 2, 'a', '0', 0, 9, 0, 9}));
  EXPECT_EQ(Node<CPeltoLevel>("CPeltoLevel")->GetDynamicCollisionAt(1, 0), 9);
}

TEST_F(GameScriptApi, PlayerFieldsStateAndPlacement) {
  StartInLevel();
  CPeltoPlayer* player = Node<CPeltoPlayer>("GamePlayer");
  CPeltoPlayer* sub = Node<CPeltoPlayer>("SubPlayer");
  ASSERT_TRUE(player && sub);
  player->m_pSubPlayer = sub;
  player->ActiveSocket = 4;
  Run(R"(void main() {
    CPeltoPlayer@ player = GetPlayerObject(GameCore.GetRootNode().GetNodeByName("GamePlayer"));
    NoteFloat(player.m_vecPosition.m_fX); NoteFloat(player.m_vecPosition.m_fZ);
    player.m_vecPosition.m_fY = 3.0f;
    NoteFloat(player.GetPosition().m_fY);
    Note(player.m_bJumping ? 1 : 0);
    player.m_bJumping = true;
    Note(player.m_bJumping ? 1 : 0);
    CVector3 direction = player.GetDirection();
    NoteFloat(direction.m_fX); NoteFloat(direction.m_fZ);
    player.ForceSetState(10);
    player.TurnStateOnOrOff(5, 0);
    Note(player.GetTurnStateOnOrOff(5)); Note(player.GetTurnStateOnOrOff(6));
    Note(player.ActiveSocket);
    player.m_dwSocketType = 2; player.m_bSocketEnabled = 1;
    Note(player.m_pSubPlayer is GetPlayerObject(GameCore.GetRootNode().GetNodeByName("SubPlayer"))
         ? 1 : 0);
    @player.m_pSubPlayer = null;
    CVector3 cell; cell.m_fX = 2.9f; cell.m_fY = 0.7f; cell.m_fZ = 1.2f;
    player.SetPosition(cell);
    NoteFloat(player.GetPosition().m_fX); NoteFloat(player.GetPosition().m_fZ);
    player.GetPosition().m_fX = 0.25f;
    NoteFloat(player.m_vecPosition.m_fX);
    cell.m_fX = 7.0f;
    player.SetPositionf(cell);
    CVector3 turn; turn.m_fX = 90.0f; turn.m_fY = 30.0f; turn.m_fZ = -45.0f;
    player.SetRotation(turn);
  })");
  EXPECT_EQ(m_floats, (Floats{1.5f, 0.5f, 3.0f, 1.0f, 0.0f, 2.5f, 1.5f, 0.25f}));
  EXPECT_EQ(m_notes, (std::vector<int>{0, 1, 0, 1, 4, 1}));
  EXPECT_TRUE(player->m_bJumping);
  EXPECT_EQ(player->m_dwState, 10);
  EXPECT_EQ(player->m_dwSocketType, 2u);
  EXPECT_EQ(player->m_bSocketEnabled, 1);
  EXPECT_EQ(player->m_pSubPlayer, nullptr);
  EXPECT_EQ(player->m_vecPosition.x, 7.0f);
  EXPECT_EQ(player->m_vecPosition.y, 0.7f);
  const D3DXQUATERNION turned = QuaternionFromDegrees(90.0f, 30.0f, -45.0f);
  EXPECT_EQ(player->m_qBaseRotation.x, turned.x);
  EXPECT_EQ(player->m_qBaseRotation.y, turned.y);
  EXPECT_EQ(player->m_qBaseRotation.z, turned.z);
  EXPECT_EQ(player->m_qBaseRotation.w, turned.w);
}

TEST_F(GameScriptApi, CratePositionIsTheLiveField) {
  StartInLevel();
  Run(R"(void main() {
    CMovableObject@ crate = GetMovableObject(GameCore.GetRootNode().GetNodeByName("Crate"));
    NoteFloat(crate.GetPosition().m_fX); NoteFloat(crate.GetPosition().m_fZ);
    crate.GetPosition().m_fZ = 1.5f;
  })");
  EXPECT_EQ(m_floats, (Floats{2.5f, 0.5f}));
  EXPECT_EQ(Node<CMovableObject>("Crate")->GetPosition()->z, 1.5f);
}

TEST_F(GameScriptApi, WalkingEntityPlacementPauseAndSpeed) {
  StartInLevel();
  auto* walker = Node<CEntityWalking>("Walker");
  ASSERT_NE(walker, nullptr);
  // A scene whose "master_null" carries the entity, turned by hand.
  CSceneInterface* scene = nullptr;
  m_scenes.AddScene(&scene);
  ASSERT_NE(scene, nullptr);
  CNullInterface* master = scene->AddNull();
  ASSERT_NE(master, nullptr);
  master->SetName("master_null");
  walker->LoadSceneFromPointer(scene);
  master->SetRotation(CVector3(0.25f, -0.5f, 1.0f));
  CVector3 turned;
  master->GetRotation(&turned, 0);

  Run(R"(void main() {
    CEntityWalking@ walker = GetEntityObject(GameCore.GetRootNode().GetNodeByName("Walker"));
    NoteFloat(walker.GetPosition().m_fX); NoteFloat(walker.GetPosition().m_fZ);
    walker.SetPosition(2.5f, 0.25f, 0.5f);
    NoteFloat(walker.GetPosition().m_fY);
    walker.GetPosition().m_fX = 1.5f;
    CVector3 rotation = walker.GetRotation();
    NoteFloat(rotation.m_fX); NoteFloat(rotation.m_fY); NoteFloat(rotation.m_fZ);
    NoteFloat(walker.m_fVelocityFactor);
    walker.m_fVelocityFactor = 0.5f;
    walker.Pause();
  })");
  // The speed factor starts at 1 whatever the configured velocity (2).
  EXPECT_EQ(m_floats, (Floats{0.5f, 1.5f, 0.25f, turned.x, turned.y, turned.z, 1.0f}));
  EXPECT_EQ(walker->GetPosition()->x, 1.5f);
  EXPECT_EQ(walker->GetPosition()->z, 0.5f);
  EXPECT_EQ(walker->GetSpeedFactor(), 0.5f);
  EXPECT_EQ(walker->GetAnimations()->IsStopped(), 1u);

  Run(R"(void main() {
    CEntityWalking@ walker = GetEntityObject(GameCore.GetRootNode().GetNodeByName("Walker"));
    walker.Resume();
    CVector3 turn; turn.m_fX = 0.5f; turn.m_fY = 0.25f; turn.m_fZ = -0.125f;
    walker.SetRotation(turn);
  })");
  EXPECT_EQ(walker->GetAnimations()->IsStopped(), 0u);
  D3DXQUATERNION expected;
  D3DXQuaternionRotationYawPitchRoll(&expected, 0.5f, 0.25f, -0.125f);
  const D3DXQUATERNION& rotation = walker->GetRotationQuaternion();
  EXPECT_NEAR(rotation.x, expected.x, 1e-6f);
  EXPECT_NEAR(rotation.y, expected.y, 1e-6f);
  EXPECT_NEAR(rotation.z, expected.z, 1e-6f);
  EXPECT_NEAR(rotation.w, expected.w, 1e-6f);
}

TEST_F(GameScriptApi, ConversionsTransformAndGlobalServices) {
  Start();
  const DWORD button3 = g_JoystickButtonMap.Get(3);
  Run(R"(void main() {
    Note(bstrToInt("12abc")); Note(strToInt(String("12abc")));
    Note(bstrToInt("abc")); Note(bstrToInt("  -7"));
    Note(bstrToInt("99999999999") == 2147483647 ? 1 : 0);
    Note(strToInt(String("-99999999999")) < -2147483647 ? 1 : 0);
    NoteFloat(bstrToFloat("2.5")); NoteFloat(strToFloat(String("-0.125e1x")));
    NoteFloat(bstrToFloat("x"));
    string text = String("Gracz 1: <Profiles/>");
    string coded = Koduj(text);
    Note(coded == text ? 1 : 0);
    Note(DeKoduj(coded) == text ? 1 : 0);
    MapJoystickButtons(3, 200);
    MapJoystickButtons(16, 201);
    MapJoystickButtons(-1, 202);
    SetWallpaper("absent.bmp");
    AddVirtualDisk(String("extra.zkr"), String("secret"));
  })");
  EXPECT_EQ(m_notes, (std::vector<int>{12, 12, 0, -7, 1, 1, 0, 1}));
  EXPECT_EQ(m_floats, (Floats{2.5f, -1.25f, 0.0f}));
  EXPECT_NE(button3, 200u);
  EXPECT_EQ(g_JoystickButtonMap.Get(3), 200u);
  for (int button = 0; button < JoystickButtonMap::kButtons; ++button) {
    EXPECT_NE(g_JoystickButtonMap.Get(button), 201u) << button;
    EXPECT_NE(g_JoystickButtonMap.Get(button), 202u) << button;
  }
  EXPECT_THAT(GameLog(), HasSubstr("WARNING: wallpaper 'absent.bmp' not found"));
  EXPECT_THAT(GameLog(), HasSubstr("- Added virtual disk 'extra.zkr'\n"));
  g_JoystickButtonMap.Map(3, button3);
}

TEST_F(GameScriptApi, LevelSceneAndItsCameraOnlyWithALevel) {
  CTestPeltoCore& core = Start();
  const CVector3 target(1.0f, 2.0f, 3.0f);
  SetLevelCameraPosition(target);  // no level: nothing to move, nothing breaks
  Run("void main() { Note(GetLevelScene() is null ? 1 : 0); }");

  core.LoadLevel("Castle");
  core.ProcessFrame();
  Run("void main() { Note(GetLevelScene() is null ? 1 : 0); }");  // a level without a scene
  CSceneInterface* scene = nullptr;
  m_scenes.AddScene(&scene);
  ASSERT_NE(scene, nullptr);
  ASSERT_NE(scene->AddCamera(), nullptr);
  auto* level = Node<CPeltoLevel>("CPeltoLevel");
  level->LoadSceneFromPointer(scene);
  Run(R"(void main() {
    CSceneInterface@ scene = GetLevelScene();
    Note(scene is null ? 0 : 1);
    geCBaseNode@ level = GameCore.GetRootNode().GetNodeByName("CPeltoLevel");
    Note(scene is GetRenderableObject(level).GetOwnerScene() ? 1 : 0);
  })");
  EXPECT_EQ(m_notes, (std::vector<int>{1, 1, 1, 1}));
  SetLevelCameraPosition(target);
  Run("void main() { SetAmbient(1.0f, 0.0f, 0.5f, 1.0f); }");
  const ColorByte* ambient = dynamic_cast<CScene*>(scene)->GetColor();
  EXPECT_EQ(ambient->cRed, 255);
  EXPECT_EQ(ambient->cGreen, 0);
  EXPECT_EQ(ambient->cBlue, 128);
  CVector3 at;
  scene->GetCamera(0)->GetPosition(&at, 1);
  EXPECT_EQ(at.x, 1.0f);
  EXPECT_EQ(at.y, 2.0f);
  EXPECT_EQ(at.z, 3.0f);
}

TEST_F(GameScriptApi, CameraFunctionsUseTheGameCameraOrFallBack) {
  constexpr const char* kMoveAndSwitch = R"(void main() {
    CVector3 to; to.m_fX = 4.0f; to.m_fY = 5.0f; to.m_fZ = 6.0f;
    SetCameraPosition(to);
    DisableCameraMap(true);
    Note(IsDisabledCameraMap() ? 1 : 0);
  })";
  CTestPeltoCore& core = Start();
  // Neither a level nor a camera: nothing moves, the map is never disabled.
  Run(kMoveAndSwitch);

  // A level whose scene has camera 0 but no game camera: camera 0 itself moves.
  core.LoadLevel("Castle");
  core.ProcessFrame();
  CSceneInterface* scene = nullptr;
  m_scenes.AddScene(&scene);
  ASSERT_NE(scene, nullptr);
  ASSERT_NE(scene->AddCamera(), nullptr);
  Node<CPeltoLevel>("CPeltoLevel")->LoadSceneFromPointer(scene);
  Run(kMoveAndSwitch);
  CVector3 at;
  scene->GetCamera(0)->GetPosition(&at, 1);
  EXPECT_EQ(at.x, 4.0f);
  EXPECT_EQ(at.y, 5.0f);
  EXPECT_EQ(at.z, 6.0f);
  EXPECT_EQ(m_notes, (std::vector<int>{0, 0}));

  // With the game camera the move is its glide, and the switch is its own.
  scene->GetCamera(0)->SetPosition(CVector3(0.0f, 0.0f, 0.0f));
  m_addedNodes.Parse(R"(<Node Type="GameCamera"><Param Enabled="1"/></Node>)");
  ASSERT_NE(core.GetCurrentLevel()->CreateChildFromXML(m_addedNodes.RootElement()), nullptr);
  auto* camera = Node<cpelto::CCamera>("GameCamera");
  ASSERT_NE(camera, nullptr);
  Run(kMoveAndSwitch);
  EXPECT_EQ(camera->GetTargetPosition().x, 4.0f);
  EXPECT_EQ(camera->GetTargetPosition().z, 6.0f);
  scene->GetCamera(0)->GetPosition(&at, 1);
  EXPECT_NE(at.x, 4.0f) << "the glide starts, camera 0 does not jump";
  EXPECT_TRUE(camera->IsDisabledCameraMap());
  Run("void main() { DisableCameraMap(false); Note(IsDisabledCameraMap() ? 1 : 0); }");
  EXPECT_FALSE(camera->IsDisabledCameraMap());
  EXPECT_EQ(m_notes, (std::vector<int>{0, 0, 1, 0}));
}

TEST_F(GameScriptApi, CoreLevelsKeysAndProfiles) {
  CTestPeltoCore& core = Start();
  g_dwLastKey = 0x1AB;
  Run(R"(void main() {
    Note(GameCore.GetLevelsCount());
    NoteText(GameCore.GetLevelName(0));
    NoteText(GameCore.GetLevelName(GameCore.GetLevelsCount()));
    NoteText(GameCore.GetLevelName(4294967295));
    GameCore.LoadLevel("Castle");
    Note(GameCore.CheckAnyKey()); Note(GameCore.CheckAnyKey());
    Note(GameCore.move_forward); Note(GameCore.look_right);
    GameCore.jump = 57;
    GameCore.idanim_strikeright = 12;
    GameCore.GetProperties().Register("Difficulty");
    GameCore.GetProperties().Set("Difficulty", 3);
    GameCore.SaveKeybindings();
    GameCore.jump = 1;
    GameCore.LoadKeybindings();
    Note(GameCore.jump);
  })");
  EXPECT_EQ(m_notes, (std::vector<int>{1, 0xAB, 0, 17, 29, 57}));
  EXPECT_EQ(m_texts, (Texts{"Castle", "", ""}));
  EXPECT_EQ(core.GetKeyBindings().jump, 57u);
  EXPECT_EQ(core.GetAnimationIdentifiers().idanim_strikeright, 12u);
  EXPECT_EQ(core.GetProperties()->GetInteger("Difficulty"), 3);

  // The level request waits for the next frame.
  EXPECT_EQ(core.GetCurrentLevel(), nullptr);
  EXPECT_TRUE(core.IsLoadPending());
  core.ProcessFrame();
  ASSERT_NE(core.GetCurrentLevel(), nullptr);
  Run("void main() { GameCore.UnloadLevel(); }");
  EXPECT_NE(core.GetCurrentLevel(), nullptr);
  core.ProcessFrame();
  EXPECT_EQ(core.GetCurrentLevel(), nullptr);

  m_notes.clear();
  Run(R"(void main() {
    geCBaseNode@ root = GameCore.GetGameProfiles();
    Note(AddProfileItem(null, "Nobody") is null ? 1 : 0);
    geCBaseNode@ anna = AddProfileItem(root, "Anna");
    AddProfileItem(root, "Bert");
    AddProfileItem(anna, "Save1");
    Note(root.GetNodesCount()); Note(anna.GetNodesCount());
    RemoveProfileItem(root.GetNodeByName("Bert"));
    RemoveProfileItem(null);
    Note(root.GetNodesCount());
    GameCore.SaveGameProfiles(String("players.dat"));
    RemoveProfileItem(anna);
    Note(root.GetNodesCount());
    Note(GameCore.LoadGameProfiles(String("players.dat")) ? 1 : 0);
    Note(GameCore.LoadGameProfiles(String("absent.xml")) ? 1 : 0);
    Note(root.GetNodesCount());
    NoteText(StringToBSTR(root.GetNode(0).GetName()));
    NoteText(StringToBSTR(root.GetNode(0).GetNode(0).GetName()));
  })");
  EXPECT_EQ(m_notes, (std::vector<int>{1, 2, 1, 1, 0, 1, 0, 1}));
  EXPECT_EQ(m_texts, (Texts{"Castle", "", "", "Anna", "Save1"}));
}
