// The framework's script API as the game's scripts use it: one script a group of declarations,
// run on a started core whose top interface hands out the engine's real scenes, meshes and
// cameras, with recording streams and settings behind it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "GameObjectFixture.h"
#include "ScriptMainRunner.h"
#include "framework/BytecodeStream.h"
#include "framework/InputState.h"
#include "framework/ScriptHost.h"
#include "framework/ScriptIndex.h"
#include "framework/TonarisManager.h"
#include "spatial/CollisionManager.h"
#include "spatial/MeshSpatialServices.h"
#include "script/bstr.h"

using namespace AngelScript;
using testing::HasSubstr;
using testing::Not;

namespace {

class ScriptApi : public GameObjectTest {
 protected:
  void SetUp() override {
    GameObjectTest::SetUp();
    // Meshes that load get colliders, so they can be tested against each other.
    m_scenes.context->ports.meshSpatial.Set(&m_spatial);
    s_pNotes = &m_notes;
    s_pTexts = &m_texts;
    Start("<Param use_shaders=\"0\" CreateASIndex=\"1\"/>");
  }
  void TearDown() override {
    g_nMusicVolume = g_nSoundVolume = 100;
    s_pNotes = nullptr;
    s_pTexts = nullptr;
    GameObjectTest::TearDown();
  }

  // Starts a core on the settings and adds the hooks through which the scripts below report.
  void Start(const std::string& settings) {
    DestroyCore();
    WriteSettings(settings);
    StartCore();
    ASSERT_NE(g_pScriptEngine, nullptr);
    auto ok = [](int r) { ASSERT_GE(r, 0); };
    ok(g_pScriptEngine->RegisterGlobalFunction("void Note(int)", asFUNCTION(Note), asCALL_CDECL));
    ok(g_pScriptEngine->RegisterGlobalFunction("void NoteFloat(float)", asFUNCTION(NoteFloat),
                                               asCALL_CDECL));
    ok(g_pScriptEngine->RegisterGlobalFunction("void NoteText(const bstr &in)",
                                               asFUNCTION(NoteText), asCALL_CDECL));
    ok(g_pScriptEngine->RegisterGlobalFunction("geMessage& TestMessage()", asFUNCTION(TestMessage),
                                               asCALL_CDECL));
    ok(g_pScriptEngine->RegisterGlobalFunction("geCVariant@ TestVariant()", asFUNCTION(TestVariant),
                                               asCALL_CDECL));
  }

  void Run(const std::string& code) { RunScriptMain(g_pScriptEngine, code); }

  // Writes the script with its compiled cache beside it, which the script host loads: the test
  // top interface's file system opens no script source.
  void WriteCompiledScript(const std::string& file, const std::string& code) {
    m_folder.Write(file, code);
    asIScriptModule* module = g_pScriptEngine->GetModule("precompiled", asGM_ALWAYS_CREATE);
    module->AddScriptSection(file.c_str(), code.c_str());
    ASSERT_GE(module->Build(), 0);
    CBytecodeStream stream((file + ".bin").c_str(), "wb");
    ASSERT_GE(module->SaveByteCode(&stream), 0);
    ASSERT_TRUE(stream.Close());
    module->Discard();
  }

  bool Builds(const std::string& code) {
    g_pScriptEngine->ClearMessageCallback();
    asIScriptModule* module = g_pScriptEngine->GetModule("refused", asGM_ALWAYS_CREATE);
    module->AddScriptSection("refused", code.c_str());
    const bool built = module->Build() >= 0;
    module->Discard();
    return built;
  }

  std::string ScriptLog() const { return Read("AngelScript.log"); }

  static void Note(int value) { s_pNotes->push_back(value); }
  static void NoteFloat(float value) { s_pNotes->push_back(value); }
  static void NoteText(const bstr& text) { s_pTexts->push_back(text); }
  static geCVariant* TestVariant() { return &s_variant; }
  static geMessage* TestMessage() { return &s_message; }

  static inline std::vector<double>* s_pNotes = nullptr;
  static inline std::vector<std::string>* s_pTexts = nullptr;
  static inline geCVariant s_variant;
  static inline geMessage s_message;
  std::vector<double> m_notes;
  std::vector<std::string> m_texts;
  CCollisionManager m_collisions{&m_scenes.renderer, &m_scenes.log};
  CMeshSpatialServices m_spatial{&m_scenes.log, &m_collisions};
  geCScriptHost m_host;
};

// A font that keeps the texts queued on it.
class CQueueFont : public geCTexturedFont {
 public:
  using geCTexturedFont::geCTexturedFont;
  CSpriteInterface* GetSprite() override { return nullptr; }
  void DrawTexts() override {}
  std::vector<std::string> Queued() const {
    std::vector<std::string> queued;
    for (const geSQueuedText& text : m_vTexts)
      queued.push_back(std::to_string(text.x) + "," + std::to_string(text.y) + " " + text.strText);
    return queued;
  }
};

using Notes = std::vector<double>;
using Texts = std::vector<std::string>;

// Every type's declarations in the dump of the index, by the type's title.
std::map<std::string, int> DumpedDeclarations(const std::string& log) {
  std::map<std::string, int> counts;
  const size_t start = log.find("\nAngelScript Registered types:\n");
  std::string type;
  size_t end;
  for (size_t at = start;
       at != std::string::npos && (end = log.find('\n', at + 1)) != std::string::npos; at = end) {
    const std::string line = log.substr(at + 1, end - at - 1);
    if (line.rfind(" -", 0) == 0) type = line.substr(2);
    if (line.rfind("   - ", 0) == 0) ++counts[type];
  }
  return counts;
}

}  // namespace

TEST_F(ScriptApi, RegistersEverythingWithoutAFailureAndIndexesEveryDeclarationUnderItsType) {
  EXPECT_THAT(ScriptLog(), Not(HasSubstr("Register failed")));
  DumpScriptIndex();
  const std::string log = ScriptLog();
  EXPECT_THAT(log, HasSubstr(" -GLOABAL\n  różne globalne funkcje, stale i zmienne\n"));
  EXPECT_THAT(log, HasSubstr("   - const int DSBVOLUME_MIN\n       dsound minimum volume\n"));
  EXPECT_THAT(log, HasSubstr("   - uint GetCharFromKeyboard()\n"
                             "       Get character from keyborad (ascii codes)\n"));
  EXPECT_THAT(log, HasSubstr("   - geCBaseNode@ GetNodeByName( string )\n"));
  const std::map<std::string, int> expected = {
      {"GLOABAL", 60},
      {"bstr", 1},
      {"CVector3", 3},
      {"CRay", 4},
      {"CLightInterface", 2},
      {"CMeshInterface", 7},
      {"CSceneInterface", 5},
      {"CCameraInterface", 5},
      {"geCVariant", 8},
      {"geCProperties", 11},
      {"geMessage", 4},
      {"geMouseStatus", 6},
      {"geCAnimationsManager", 3},
      {"geSUpdateArgument", 2},
      {"geCBaseNode", 18},
      {"geCRenderableObject", 14},
      {"geCGameCore", 30},
  };
  EXPECT_EQ(DumpedDeclarations(log), expected);

  // Without the index every registration reaches the script engine itself, and none fails.
  Start("<Param use_shaders=\"0\"/>");
  EXPECT_THAT(ScriptLog(), Not(HasSubstr("Register failed")));
  EXPECT_NE(g_pScriptEngine->GetTypeInfoByName("geCRenderableObject"), nullptr);
}

TEST_F(ScriptApi, MathsLibrary) {
  Run(R"(void main() {
    NoteFloat(Min(0.0f, -0.0f)); NoteFloat(Max(-0.0f, 0.0f)); NoteFloat(Min(3, 2));
    NoteFloat(Clamp(5, 0, 3)); NoteFloat(Clamp(-1, 0, 3)); NoteFloat(Clamp(2, 0, 3));
    NoteFloat(Round(-0.5f)); NoteFloat(Round(2.5f)); NoteFloat(Round(-1.5f));
    NoteFloat(ArcTan(1) * 4 - M_PI); NoteFloat(ArcTan2(-1, -1)); NoteFloat(Pow(2, 10));
    uint low = 99, high = 0;
    for (int i = 0; i < 300; ++i) {
      uint r = geRandom(5, 2);
      if (r < low) low = r;
      if (r > high) high = r;
    }
    Note(low); Note(high);
  })");
  ASSERT_EQ(m_notes.size(), 14u);
  // Ties give the first argument: the signs of the zeros tell which.
  EXPECT_FALSE(std::signbit(m_notes[0]));
  EXPECT_TRUE(std::signbit(m_notes[1]));
  EXPECT_EQ(Notes(m_notes.begin() + 2, m_notes.begin() + 9), (Notes{2, 3, 0, 2, 0, 3, -1}));
  EXPECT_NEAR(m_notes[9], 0.0, 1e-6);
  EXPECT_NEAR(m_notes[10], -3 * M_PI / 4, 1e-5);
  EXPECT_EQ(m_notes[11], 1024);
  EXPECT_EQ(Notes(m_notes.begin() + 12, m_notes.end()), (Notes{2, 5}));
}

TEST_F(ScriptApi, KeysMouseAndTypedCharacter) {
  g_dwCurrentKeys[30] = 1;
  g_dwLastKeys[31] = 1;
  g_dwCurrentKeys[31] = 1;
  g_dwLastKeys[511] = 1;
  g_dwCurrentKeys[32] = 2;  // only 1 counts as down
  m_core->GetMouseStatus()->dwRight = 1;
  m_core->GetMouseStatus()->dwLastLeft = 1;
  g_cLastChar = 'q';
  Run(R"(void main() {
    bool last = true;
    Note(GameCore.CheckForKey(512) ? 1 : 0);
    Note(GameCore.CheckForKey(512, last) ? 1 : 0); Note(last ? 1 : 0);
    Note(GameCore.CheckForKey(30, last) ? 1 : 0); Note(last ? 1 : 0);
    Note(GameCore.CheckForKey(31, last) ? 1 : 0); Note(last ? 1 : 0);
    Note(GameCore.CheckForKey(511, last) ? 1 : 0); Note(last ? 1 : 0);
    Note(GameCore.CheckForKey(32) ? 1 : 0);
    geMouseStatus@ mouse = GameCore.GetMouseStatus();
    Note(mouse.MouseButton(MOUSE_RIGHT) ? 1 : 0); Note(mouse.MouseButton(MOUSE_LEFT) ? 1 : 0);
    Note(mouse.MouseButton(3) ? 1 : 0);
    Note(mouse.LastMouseButton(MOUSE_LEFT) ? 1 : 0); Note(mouse.LastMouseButton(3) ? 1 : 0);
    Note(GameCore.GetCharFromKeyboard()); Note(GameCore.GetCharFromKeyboard());
  })");
  EXPECT_EQ(m_notes, (Notes{0, 0, 0, 1, 0, 1, 1, 0, 1, 0, 1, 0, 0, 1, 0, 'q', 0}));
}

TEST_F(ScriptApi, TextFunctions) {
  Run(R"(void main() {
    NoteText(RemoveLastFromString("")); NoteText(RemoveLastFromString("a"));
    NoteText(RemoveLastFromString("abc")); NoteText(AddToString("ab", 99));
    string s = String("xyz");
    bstr b;
    b = s;
    NoteText(b); NoteText(StringToBSTR(s + "!"));
    Note(StrStr(s, "yz")); Note(StrStr("abc", "q"));
    Note(isalpha(65)); Note(isalpha(49));
    NoteText(GetSubstring("a,bb,c", 1, 44));
    bstr withZero = "ab";
    withZero[1] = 0;
    s = withZero;
    Note(s.length());
  })");
  EXPECT_EQ(m_texts, (Texts{"", "", "ab", "abc", "xyz", "xyz!", "bb"}));
  EXPECT_EQ(m_notes, (Notes{1, 0, 1, 0, 1}));
}

TEST_F(ScriptApi, PropertiesAndVariantsInEachType) {
  Build(
      R"(<Node Type="RenderableObject" Name="crate"><Param File="crate.zks" Directory=""/></Node>)");
  Run(R"(void main() {
    geCBaseNode@ root = GameCore.GetRootNode();
    geCProperties@ p = root.GetProperties();
    p.Register("speed");
    p.Set("speed", 2.5f);
    NoteFloat(p.GetFloat("speed")); Note(p.GetInteger("speed"));
    p.Set("speed", "7abc");
    Note(p.GetInteger("speed")); Note(p.GetBoolean("speed") ? 1 : 0); NoteText(p.GetString("speed"));
    p.Register("empty");
    NoteText(p.GetString("empty")); NoteText(p.GetString("missing"));
    p.Set("missing", 3);
    Note(p.IsRegistred("missing") ? 1 : 0);
    NoteFloat(root.GetPropertyAsFloat("missing"));
    root.SetProperty("speed", "4.5");
    NoteFloat(root.GetPropertyAsFloat("speed"));
    geCRenderableObject@ crate = GetRenderableObject(root.GetNodeByName("crate"));
    NoteText(crate.GetProperty("File")); NoteText(crate.GetProperty("missing"));

    geCVariant@ v = TestVariant();
    bool b = false; float f = 0; int i = 0; string s;
    v.SetBool(0.5f); Note(v.GetBool(b) ? 1 : 0); Note(b ? 1 : 0);
    v.SetBool(0); Note(v.GetBool(b) ? 1 : 0);
    v.SetFloat(1.5f); NoteFloat(v.GetFloat(f)); NoteFloat(f);
    v.SetString("12"); Note(v.GetInteger(i)); Note(i); NoteText(v.GetString(s)); NoteText(s);
    v.SetInteger(4); NoteText(v.GetString(s));
  })");
  EXPECT_EQ(m_notes, (Notes{2.5, 2, 7, 1, 0, -1.0e16f, 4.5, 1, 1, 0, 1.5, 1.5, 12, 12}));
  // A property without a value reads as one zero byte; numbers do not turn into text.
  EXPECT_EQ(m_texts, (Texts{"7abc", std::string(1, '\0'), std::string(1, '\0'), "crate.zks", "",
                            "12", "12", ""}));
}

TEST_F(ScriptApi, NodesByNameAndIndexAndMessagesAtTheFramesDelivery) {
  WriteCompiledScript("listener.as", R"(
    void geCBaseNode_ProcessMessage(geMessage &in message) {
      NoteText(message.pszName); NoteText(message.GetName());
      Note(message.MessageID); Note(message.SenderID);
    })");
  Build(R"(<Node Type="Node" Name="parent">
             <Node Type="Node" Name="first"/>
             <Node Type="Node" Name="listener"><Param Enabled="1" ScriptFile="listener.as"/></Node>
             <Node Type="Node" Name="twin"/>
           </Node>
           <Node Type="Node" Name="twin"/>)");
  Run(R"(void main() {
    geCBaseNode@ root = GameCore.GetRootNode();
    geCBaseNode@ parent = root.GetNodeByName("parent");
    Note(parent.GetNodesCount());
    NoteText(parent.GetNode(0).GetName()); NoteText(parent.GetNode(1).GetNameAsBSTR());
    Note(root.GetNodeByName("nobody") is null ? 1 : 0);
    Note(root.GetNodeByID(parent.GetNode(1).GetID()) is parent.GetNode(1) ? 1 : 0);
    Note(GetRenderableObject(parent) is null ? 1 : 0);
    // Scripts search the children depth first, not the node that took the name last.
    Note(root.GetNodeByName("twin") is parent.GetNode(2) ? 1 : 0);
    Note(parent.m_bFirstTimeUpdate); Note(parent.IsFistTimeUpdate());
    parent.m_bFirstTimeUpdate = 0;
    Note(parent.IsFistTimeUpdate());
    GameCore.SendMessage("ping", 5, root.GetNodeByName("listener").GetID(), 7, 0);
  })");
  EXPECT_EQ(m_notes, (Notes{3, 1, 1, 1, 1, 1, 1, 0}));
  EXPECT_EQ(m_texts, (Texts{"first", "listener"}));
  m_notes.clear(), m_texts.clear();
  m_core->GetMessageRouter()->DeliverMessages();
  EXPECT_EQ(m_texts, (Texts{"ping", "ping"}));
  EXPECT_EQ(m_notes, (Notes{7, 5}));

  // A record whose name fills the whole field still reads no further than the field.
  memset(s_message.pszName, 'x', sizeof s_message.pszName);
  s_message.SenderID = 0x41414141;
  m_notes.clear();
  Run("void main() { Note(TestMessage().GetName().length()); Note(TestMessage().pszName.length()); "
      "}");
  EXPECT_EQ(m_notes, (Notes{256, 256}));

  // A message's name is a copy for scripts, and the core's handle cannot be pointed elsewhere.
  EXPECT_TRUE(Builds("void f(geMessage m) { bstr name = m.pszName; }"));
  EXPECT_FALSE(Builds("void f(geMessage m) { m.pszName = \"x\"; }"));
  EXPECT_FALSE(Builds("void f() { @GameCore = null; }"));
}

TEST_F(ScriptApi, MeshesCamerasAndRaysOfRealScenes) {
  SaveScene("room", {{"panel", {0, 0, 5}}}, {}, true);
  Build(
      R"(<Node Type="RenderableObject" Name="room"><Param File="room.zks" Directory=""/></Node>)");
  Step(0.0f);
  m_core->GetMouseStatus()->fMouseX = 0.5f;
  m_core->GetMouseStatus()->fMouseY = 0.5f;
  Run(R"(void main() {
    geCRenderableObject@ room = GetRenderableObject(GameCore.GetRootNode().GetNodeByName("room"));
    // Through the middle of the screen the mouse looks along the camera, down +z.
    CVector3 look = GetMouseDirection(room.GetOwnerScene());
    NoteFloat(look.m_fX); NoteFloat(look.m_fY); NoteFloat(look.m_fZ);
    CMeshInterface@ panel = room.GetMeshByName("panel");
    NoteText(panel.GetName()); NoteText(room.GetOwnerScene().GetName());
    CVector3 at;
    at.m_fX = 1; at.m_fY = 2; at.m_fZ = 3;
    panel.SetPosition(at);
    CVector3 back = panel.GetPosition(CWorldObjectInterface_parent_space);
    NoteFloat(back.m_fX); NoteFloat(back.m_fY); NoteFloat(back.m_fZ);

    CCameraInterface@ camera = room.GetOwnerScene().GetCamera(0);
    camera.SetPosition(4, 5, 6);
    CVector3 seen = camera.GetPosition(CWorldObjectInterface_parent_space);
    NoteFloat(seen.m_fX); NoteFloat(seen.m_fY); NoteFloat(seen.m_fZ);

    CRay ray;
    CVector3 origin, direction;
    origin.m_fX = 0; origin.m_fY = 0; origin.m_fZ = -10;
    direction.m_fX = 0; direction.m_fY = 0; direction.m_fZ = 1;
    ray.SetOrigin(origin); ray.SetDirection(direction);
    NoteFloat(ray.GetOrigin().m_fZ); NoteFloat(ray.GetDirection().m_fZ);
    CRay copy = ray;
    ray.GetOrigin().m_fZ = -20;
    NoteFloat(copy.GetOrigin().m_fZ); NoteFloat(ray.GetOrigin().m_fZ);
  })");
  EXPECT_EQ(m_texts, (Texts{"panel", "room"}));
  ASSERT_EQ(m_notes.size(), 13u);
  EXPECT_NEAR(m_notes[0], 0, 1e-5);
  EXPECT_NEAR(m_notes[1], 0, 1e-5);
  EXPECT_NEAR(m_notes[2], 1, 1e-5);
  EXPECT_EQ(Notes(m_notes.begin() + 3, m_notes.end()), (Notes{1, 2, 3, 4, 5, 6, -10, 1, -10, -20}));
}

TEST_F(ScriptApi, CollisionsAndTheGameMeshRegistry) {
  SaveScene("left", {{"a", {0, 0, 0}}});
  SaveScene("right", {{"b", {1, 0.5f, 0}}});
  SaveScene("far", {{"c", {50, 0, 0}}});
  for (const char* name : {"left", "right", "far"})
    Build(std::string("<Node Type=\"RenderableObject\" Name=\"") + name + "\"><Param File=\"" +
          name + ".zks\" Directory=\"\" Enabled=\"1\"/></Node>");
  Step(0.0f);
  Run(R"(
    CMeshInterface@ MeshOf(const bstr &in name) {
      return GetRenderableObject(GameCore.GetRootNode().GetNodeByName(name)).GetMesh(0);
    }
    void NoteHit(CMeshInterface@ hit) {
      if (hit is null) NoteText("none"); else NoteText(hit.GetName());
    }
    void main() {
      NoteHit(GameCore.GetCollidedMesh(MeshOf("left")));
      NoteHit(GameCore.GetCollidedMesh(MeshOf("right")));
      Note(GameCore.GetCollidedMesh(MeshOf("far")) is null ? 1 : 0);
      Note(GameCore.GetCollidedMesh(null) is null ? 1 : 0);
      Note(MeshOf("left").CheckCollisionWith(MeshOf("right")) ? 1 : 0);
      Note(MeshOf("left").CheckCollisionWith(MeshOf("far")) ? 1 : 0);

      int count = GameCore.GetAllGameMeshesCount();
      Note(count);
      for (int i = 0; i < count; ++i) {
        CMeshInterface@ mesh = GameCore.GetAllMeshesMesh(i);
        Note(GameCore.GetGameMeshId(mesh)); Note(mesh.GetUserDataAsINT());
      }
      Note(GameCore.GetAllMeshesMesh(count) is null ? 1 : 0);
      Note(GameCore.GetAllMeshesMesh(-1) is null ? 1 : 0);
      Note(GameCore.GetGameMeshId(null));
    })");
  EXPECT_EQ(m_texts, (Texts{"b", "a"}));
  Notes expected = {1, 1, 1, 0, 3};
  for (const auto& [mesh, id] : m_core->GetGameMeshes())
    expected.insert(expected.end(), {double(id), double(id)});
  expected.insert(expected.end(), {1, 1, -1});
  EXPECT_EQ(m_notes, expected);
}

TEST_F(ScriptApi, CollidedMeshTestsTrianglesNotBoxes) {
  SaveScene("outer", {{"big", {0, 0, 0}}});
  SaveScene("inner", {{"small", {0, 0, 0}}});
  for (const char* name : {"outer", "inner"})
    Build(std::string("<Node Type=\"RenderableObject\" Name=\"") + name + "\"><Param File=\"" +
          name + ".zks\" Directory=\"\" Enabled=\"1\"/></Node>");
  // A small cube inside the big one: their boxes overlap, no triangles of them touch.
  CMeshInterface* small = Node("inner")->GetMesh(0);
  ASSERT_NE(small, nullptr);
  std::vector<Vertex> vertices = BoxVertices({-0.3f, -0.3f, -0.3f}, {0.3f, 0.3f, 0.3f});
  std::vector<Face> faces = BoxFaces();
  small->SetVertices(static_cast<UINT>(vertices.size()), vertices.data(), 1);
  small->SetFaces(static_cast<UINT>(faces.size()), faces.data());
  Step(0.0f);
  Run(R"(
    CMeshInterface@ MeshOf(const bstr &in name) {
      return GetRenderableObject(GameCore.GetRootNode().GetNodeByName(name)).GetMesh(0);
    }
    void main() {
      Note(MeshOf("outer").CheckCollisionWith(MeshOf("inner")) ? 1 : 0);
      Note(GameCore.GetCollidedMesh(MeshOf("outer")) is null ? 1 : 0);
    })");
  EXPECT_EQ(m_notes, (Notes{1, 1}));
}

TEST_F(ScriptApi, VolumesShadowsAndResolution) {
  ASSERT_TRUE(m_core->AddNewTonaris("theme.ogg", "theme", true));
  ASSERT_TRUE(m_core->AddNewSound("click.wav", "click"));
  Run(R"(void main() {
    GameCore.SetMusicVolume(-500); GameCore.SetSoundFxVolume(DSBVOLUME_MIN);
    Note(GameCore.GetMusicVolume()); Note(GameCore.GetSoundFxVolume());
    GameCore.EnableDynamicShadows(false);
    Note(GameCore.GetIsEnabledDynamicShadows() ? 1 : 0);
    GameCore.EnableDynamicShadows(true);
    Note(GameCore.GetIsEnabledDynamicShadows() ? 1 : 0);
    uint width = 0, height = 0;
    GameCore.GetResolution(width, height);
    Note(width); Note(height); Note(GameCore.GetResolutionWidth()); Note(GameCore.GetResolutionHeight());
  })");
  EXPECT_EQ(m_notes, (Notes{-500, -10000, 0, 1, 800, 600, 800, 600}));
  auto& streams = m_scenes.sounds.streams;
  ASSERT_EQ(streams.size(), 2u);
  EXPECT_EQ(streams[0].sequence.back(), "SetVolume -500");
  EXPECT_EQ(streams[1].sequence.back(), "SetVolume -10000");
  EXPECT_EQ(m_scenes.settings.Find("shadows")->GetInt(), 1);
  // Streams loaded later take the volumes the scripts set.
  ASSERT_TRUE(m_core->AddNewSound("bell.wav", "bell"));
  EXPECT_EQ(streams[2].sequence.back(), "SetVolume -10000");
}

TEST_F(ScriptApi, LogsGoToTheScriptLogAndToTheScreensFonts) {
  auto* credits = new CQueueFont(nullptr);
  credits->SetName("CreditsFont");
  auto* title = new CQueueFont(nullptr);
  title->SetName("Title");
  m_core->GetFontManager().AddFont(credits);
  m_core->GetFontManager().AddFont(title);
  Run(R"(void main() {
    LogToScreen(0.25f, 0.5f, "credits");
    string line = "line";
    LogToScreen(1, 2, line);
    LogToScreen("TITLE", 3, 4, "title");
    LogToScreen("nowhere", 5, 6, "lost");
    string s = "to the log\n";
    Log(s); LogD("for the debugger\n");
    bstr here = ApplicationDirectory();
    Note(here.length() > 0 ? 1 : 0);
    Note(here[here.length() - 1] == 92 || here[here.length() - 1] == 47 ? 1 : 0);
  })");
  EXPECT_THAT(ScriptLog(), HasSubstr("to the log\nfor the debugger\n"));
  EXPECT_EQ(m_notes, (Notes{1, 0}));
  EXPECT_EQ(credits->Queued(), (Texts{"0.250000,0.500000 credits", "1.000000,2.000000 line"}));
  EXPECT_EQ(title->Queued(), (Texts{"3.000000,4.000000 title"}));
}
