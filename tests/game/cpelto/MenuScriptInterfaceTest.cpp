// The menus' script API on a script engine that holds the framework's API first, as the game's
// does: scripts reach menu items through the casts and move, colour, relabel and play them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "AviWriter.h"
#include "MenuFixture.h"
#include "ScriptMainRunner.h"
#include "cpelto/MenuAviElement.h"
#include "cpelto/MenuScriptInterface.h"
#include "framework/ScriptIndex.h"
#include "framework/ScriptInterface.h"
#include "script/bstr.h"

using namespace AngelScript;

namespace {

class MenuScriptInterfaceTest : public MenuFixture {
 protected:
  void SetUp() override {
    MenuFixture::SetUp();
    ASSERT_TRUE(RegisterNodeType<CMenuAviElement>("MenuAviElement"));
    m_root->Enable(1, 0);
    s_pTest = this;
    m_fixtureEngine = g_pScriptEngine;
    m_api = MakeApi();
  }
  // The framework's API and the menus' on an engine of their own, as the game registers them,
  // with the test's hooks.
  asIScriptEngine* MakeApi() {
    asIScriptEngine* api = asCreateScriptEngine();
    g_pScriptEngine = api;
    geRegisterFrameworkScriptInterface();
    m_frameworkLog = Read("AngelScript.log");
    RegisterMenuScriptInterface();
    auto ok = [](int r) { EXPECT_GE(r, 0); };
    ok(api->RegisterGlobalFunction("void NoteFloat(float)", asFUNCTION(NoteFloat), asCALL_CDECL));
    ok(api->RegisterGlobalFunction("void NoteText(const bstr &in)", asFUNCTION(NoteText),
                                   asCALL_CDECL));
    ok(api->RegisterGlobalFunction("geCBaseNode@ Node(const bstr &in)", asFUNCTION(FindNode),
                                   asCALL_CDECL));
    ok(api->RegisterGlobalFunction("CMenuPicture@ Picture(const bstr &in)",
                                   asFUNCTION(FindPicture), asCALL_CDECL));
    g_pScriptEngine = m_fixtureEngine;
    return api;
  }
  void TearDown() override {
    m_api->ShutDownAndRelease();
    s_pTest = nullptr;
    MenuFixture::TearDown();
  }

  // Builds `code` on the menus' engine and runs its "void main()" to the end.
  void Run(const std::string& code) {
    g_pScriptEngine = m_api;
    RunScriptMain(m_api, code);
    g_pScriptEngine = m_fixtureEngine;
  }
  CMenuPicture* Picture(const std::string& name, const std::string& params) {
    return Build<CMenuPicture>("<Node Type=\"MenuPicture\" Name=\"" + name + "\"><Param " +
                               params + "/></Node>");
  }

  std::vector<float> m_floats;
  std::vector<std::string> m_texts;
  std::string m_frameworkLog;
  asIScriptEngine* m_api = nullptr;

 private:
  static void NoteFloat(float value) { s_pTest->m_floats.push_back(value); }
  static void NoteText(const bstr& text) { s_pTest->m_texts.push_back(text); }
  static geCBaseNode* FindNode(const bstr& name) {
    return s_pTest->m_root->GetNodeByName(name.c_str(), 1);
  }
  static CMenuPicture* FindPicture(const bstr& name) {
    return dynamic_cast<CMenuPicture*>(FindNode(name));
  }

  static inline MenuScriptInterfaceTest* s_pTest = nullptr;
  asIScriptEngine* m_fixtureEngine = nullptr;
};

TEST_F(MenuScriptInterfaceTest, TheWholeRoutineRegistersEveryDeclaration) {
  // Also with the script API index recording, which drops members of types it has not seen.
  for (const bool index : {false, true}) {
    SCOPED_TRACE(index ? "index on" : "index off");
    if (index) {
      m_api->ShutDownAndRelease();
      geClearScriptIndex();
      SetIndexOn(true);
      m_api = MakeApi();
      SetIndexOn(false);
    }
    EXPECT_THAT(m_frameworkLog, testing::Not(testing::HasSubstr("Register failed")));
    EXPECT_THAT(Read("AngelScript.log"), testing::Not(testing::HasSubstr("Register failed")));
    const struct {
      const char* type;
      asUINT methods;
    } types[] = {{"ID3DXMatrixStack", 9},
                 {"CMenuText", 4},
                 {"CMenuPicture", 0},
                 {"CMenuItem", 6},
                 {"CMenuAviElement", 2}};
    for (const auto& t : types) {
      asITypeInfo* info = m_api->GetTypeInfoByName(t.type);
      ASSERT_NE(info, nullptr) << t.type;
      EXPECT_EQ(info->GetMethodCount(), t.methods) << t.type;
      EXPECT_EQ(info->GetFlags() & (asOBJ_REF | asOBJ_NOCOUNT), asOBJ_REF | asOBJ_NOCOUNT);
      EXPECT_EQ(info->GetBaseType(), nullptr) << "no inheritance between the script types";
    }
    for (const char* declaration : {"CMenuItem@ CastToCMenuItem(CMenuPicture@)",
                                    "CMenuItem@ CastToCMenuItem(geCBaseNode@)",
                                    "CMenuText@ CastToCMenuText(geCBaseNode@)",
                                    "CMenuAviElement@ CastToCMenuAvi(geCBaseNode@)"})
      EXPECT_NE(m_api->GetGlobalFunctionByDecl(declaration), nullptr) << declaration;
  }
}

TEST_F(MenuScriptInterfaceTest, StackOperationsActInTheItemsSpaceOrTheScreens) {
  // Each picture starts as scale 2 then translation (5, 5): the local forms act before the
  // scale, the others after the translation.
  const struct {
    const char* call;
    float x, y;
  } cases[] = {
      {"TranslateLocal(10, 0, 0)", 25, 5},  {"Translate(10, 0, 0)", 15, 5},
      {"ScaleLocal(3, 3, 1)", 5, 5},        {"Scale(3, 3, 1)", 15, 15},
      {"RotateLocal(PI, 0, 0, 1)", 5, 5},   {"Rotate(PI, 0, 0, 1)", -5, -5},
      {"LoadIdentity()", 0, 0},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.call);
    const std::string name = "P" + std::to_string(n++);
    CMenuPicture* picture = Picture(name, R"(Translation="5;5;0" Scale="2;2;1")");
    ASSERT_NE(picture, nullptr);
    m_floats.clear();
    Run("const float PI = 3.14159265f;\n"
        "void main() {\n"
        "  CMenuItem@ item = CastToCMenuItem(Node(\"" + name + "\"));\n"
        "  NoteFloat(item.GetMatrixStack()." + c.call + ");\n"
        "  NoteFloat(item.GetTranslation().m_fX);\n"
        "  CVector3 moved = item.GetTransformedTranslation();\n"
        "  NoteFloat(moved.m_fX); NoteFloat(moved.m_fY);\n"
        "}\n");
    ASSERT_EQ(m_floats.size(), 4u);
    EXPECT_EQ(m_floats[0], 0.0f) << "the stack's result code";
    EXPECT_EQ(m_floats[1], 5.0f) << "the configured translation stays";
    EXPECT_NEAR(m_floats[2], c.x, 1e-4);
    EXPECT_NEAR(m_floats[3], c.y, 1e-4);
    EXPECT_NEAR(picture->GetMatrixStack()->GetTop()->_41, c.x, 1e-4) << "the item's own stack";
  }
}

TEST_F(MenuScriptInterfaceTest, PushAndPopAreMatchedByTheScript) {
  SetScreenSize(1600, 1200);
  ASSERT_NE(Picture("P", R"(Translation="5;5;0")"), nullptr);
  Run(R"(void main() {
    CMenuItem@ item = CastToCMenuItem(Node("P"));
    ID3DXMatrixStack@ stack = item.GetMatrixStack();
    NoteFloat(stack.Push());
    NoteFloat(stack.TranslateLocal(100, 0, 0));
    NoteFloat(item.GetTransformedTranslation().m_fX);
    NoteFloat(stack.Pop());
    NoteFloat(item.GetTransformedTranslation().m_fX);
    NoteFloat(stack.Pop() == 0 ? 1 : 0);  // nothing left to pop
    NoteFloat(item.GetTransformedTranslation().m_fX);
  })");
  // Screen pixels: the 800-unit design width stretched to 1600.
  EXPECT_EQ(m_floats, (std::vector<float>{0, 0, 210, 0, 10, 0, 10}));
}

TEST_F(MenuScriptInterfaceTest, CastsFindTheMenuClassOrGiveNull) {
  AviWriter(16, 16, 25).Write(m_folder / "intro.avi", 2);
  ASSERT_NE(Picture("Picture", R"(Width="30")"), nullptr);
  ASSERT_NE(Build<CMenuText>(
                R"(<Node Type="MenuText" Name="Text"><Param Size="20" Text="ab"/></Node>)"),
            nullptr);
  ASSERT_NE(Build<CMenuAviElement>(R"(<Node Type="MenuAviElement" Name="Avi">
                                        <Param Width="70" AviFile="intro.avi"/></Node>)"),
            nullptr);
  ASSERT_NE(Build<geCBaseNode>(R"(<Node Type="Node" Name="Plain"/>)"), nullptr);
  // For each node: its width as an item (-1 for none), then 1 or 0 for a text and a video.
  Run(R"(void Try(const bstr &in name) {
      CMenuItem@ item = CastToCMenuItem(Node(name));
      NoteFloat(item is null ? -1.0f : item.GetWidth());
      NoteFloat(CastToCMenuText(Node(name)) is null ? 0 : 1);
      NoteFloat(CastToCMenuAvi(Node(name)) is null ? 0 : 1);
    }
    void main() {
      Try("Picture"); Try("Text"); Try("Avi"); Try("Plain");
      NoteFloat(CastToCMenuItem(Picture("Picture")).GetWidth());
      CMenuPicture@ none = null;
      NoteFloat(CastToCMenuItem(none) is null ? 1 : 0);
      NoteFloat(CastToCMenuItem(Node("missing")) is null ? 1 : 0);
    })");
  EXPECT_EQ(m_floats,
            (std::vector<float>{30, 0, 0, 40, 1, 0, 70, 0, 1, -1, 0, 0, 30, 1, 1}));
}

TEST_F(MenuScriptInterfaceTest, TextsAreRelabelledAndMeasuredAndItemsColoured) {
  CMenuText* text = Build<CMenuText>(
      R"(<Node Type="MenuText" Name="Title"><Param Size="20" Text="abc"/></Node>)");
  ASSERT_NE(text, nullptr);
  Run(R"(void main() {
    CMenuText@ text = CastToCMenuText(Node("Title"));
    NoteText(text.GetText());
    text.SetText("hello");
    NoteText(text.GetText());
    uint width = 7, height = 3;
    text.CalculateSize("hi", width, height);
    NoteFloat(width); NoteFloat(height);
    NoteText(text.GetText());
    text.SetOffsetBetweenChars(2.5f);
    CMenuItem@ item = CastToCMenuItem(Node("Title"));
    NoteFloat(item.GetWidth()); NoteFloat(item.GetHeight());
    item.SetColor(0.5f, 1, 0, 0);
  })");
  EXPECT_EQ(m_texts, (std::vector<std::string>{"abc", "hello", "hello"}));
  // Measured from nothing, whatever the script's variables held.
  EXPECT_EQ(m_floats, (std::vector<float>{40, 20, 100, 20}));
  EXPECT_EQ(text->GetBetweenCharOffset(), 2.5f);
  EXPECT_EQ(text->GetColor(), 0x80FF0000u);
}

TEST_F(MenuScriptInterfaceTest, VideosArePlayedAndStopped) {
  AviWriter(16, 16, 25).Write(m_folder / "intro.avi", 25);
  auto* video = Build<CMenuAviElement>(
      R"(<Node Type="MenuAviElement" Name="Intro"><Param AviFile="intro.avi"/></Node>)");
  ASSERT_TRUE(video && video->IsOpened());
  ZkTestClockAdvance(300 * 1000);
  video->GetTimer()->GetTime();  // as a frame reads it
  Run(R"(void main() { CastToCMenuAvi(Node("Intro")).Stop(); })");
  EXPECT_TRUE(video->GetTimer()->IsPaused());
  EXPECT_FLOAT_EQ(video->GetTimer()->GetTime(), 0.3f);
  Run(R"(void main() { CastToCMenuAvi(Node("Intro")).Play(); })");
  EXPECT_FALSE(video->GetTimer()->IsPaused());
  EXPECT_FLOAT_EQ(video->GetTimer()->GetTime(), 0.0f) << "from the start";
  EXPECT_THAT(GameLogLines(), testing::Contains("OpenAL Error : Can't play stream, invalid stream0"));
}

}  // namespace
