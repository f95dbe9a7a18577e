// The console on the GUI library's Null renderer with a real script host: its windows, output
// ring, history, name completion, line execution, command table and frame drawing.
#include <gtest/gtest.h>

#include <CEGUI/widgets/FrameWindow.h>

#include <cstring>
#include <string>
#include <vector>

#include "ConsoleBench.h"

namespace {

using Strings = std::vector<std::string>;

std::vector<unsigned> g_recorded;
void Record(unsigned value) { g_recorded.push_back(value); }

ConsoleFunction MakeEntry(const char* declaration, const char* (*name)()) {
  return {declaration, reinterpret_cast<ConsoleHandler>(&Record), name};
}

// Relative metrics only: scale as given, no pixel offset.
void ExpectRelative(const CEGUI::UVector2& value, float x, float y) {
  EXPECT_FLOAT_EQ(value.d_x.d_scale, x);
  EXPECT_FLOAT_EQ(value.d_y.d_scale, y);
  EXPECT_EQ(value.d_x.d_offset, 0.0f);
  EXPECT_EQ(value.d_y.d_offset, 0.0f);
}
void ExpectRelative(const CEGUI::USize& value, float width, float height) {
  ExpectRelative(CEGUI::UVector2(value.d_width, value.d_height), width, height);
}

class ConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(bench.started) << bench.Errors();
    g_recorded.clear();
  }

  ConsoleBench bench;
  CConsole& console = *bench.console;
};

TEST_F(ConsoleTest, WindowsHangFromTheRootWithTheirLayout) {
  auto* frame = static_cast<CEGUI::FrameWindow*>(bench.Window("ZeKorb/Console"));
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->getType(), "TaharezLook/FrameWindow");
  EXPECT_EQ(frame->getParent(), bench.Window("root_wnd"));
  ExpectRelative(frame->getPosition(), 0.2f, 0.2f);
  ExpectRelative(frame->getSize(), 0.65f, 0.25f);
  ExpectRelative(frame->getMinSize(), 0.6f, 0.25f);
  ExpectRelative(frame->getMaxSize(), 0.6f, 0.25f);
  EXPECT_EQ(frame->getText(), "ZeKorb Console");
  EXPECT_FALSE(frame->isCloseButtonEnabled());

  CEGUI::Editbox* editbox = bench.Editbox();
  ASSERT_NE(editbox, nullptr);
  EXPECT_EQ(editbox->getParent(), frame);
  ExpectRelative(editbox->getPosition(), 0.025f, 0.8f);
  ExpectRelative(editbox->getSize(), 0.95f, 0.15f);
  ExpectRelative(editbox->getMaxSize(), 1.0f, 1.0f);
  EXPECT_EQ(editbox->getMaxTextLength(), 2048u);
  EXPECT_EQ(editbox->getText(), "");

  CEGUI::Window* text = bench.Window("ZeKorb/Console/Text1");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->getType(), "TaharezLook/StaticText");
  EXPECT_EQ(text->getParent(), frame);
  ExpectRelative(text->getPosition(), 0.025f, 0.025f);
  ExpectRelative(text->getSize(), 0.95f, 0.7f);
  ExpectRelative(text->getMaxSize(), 1.0f, 1.0f);
  EXPECT_EQ(text->getProperty("FrameEnabled"), "true");
  EXPECT_EQ(text->getProperty("BackgroundEnabled"), "true");
  EXPECT_EQ(text->getProperty("HorzFormatting"), "Justified");
  EXPECT_EQ(text->getProperty("VertFormatting"), "BottomAligned");
  EXPECT_TRUE(bench.Errors().empty()) << bench.Errors();
}

TEST_F(ConsoleTest, TheEighthLineReusesTheOldestAndAReusedLiveLineTurnsPlain) {
  bench.Run("ShowStatistics()");  // a live line, the newest of seven
  ASSERT_EQ(console.GetLine(6).fpRefresh != nullptr, true);
  for (int i = 1; i <= 6; ++i) console.GetOutputStream().Write(("line " + std::to_string(i)).c_str());
  EXPECT_NE(console.GetLine(0).fpRefresh, nullptr) << "the live line is now the oldest";
  console.GetOutputStream().Write("line 7");
  EXPECT_EQ(bench.Lines(), (Strings{"line 1", "line 2", "line 3", "line 4", "line 5", "line 6",
                                    "line 7"}));
  for (UINT i = 0; i < CConsole::kLineCount; ++i) {
    EXPECT_EQ(console.GetLine(i).fpRefresh, nullptr);
    EXPECT_EQ(console.GetLine(i).dwInUse, 1u);
  }
  console.Toggle();
  console.Render(30.0f);
  EXPECT_EQ(console.GetLine(6).szText, std::string("line 7")) << "no refresh rewrote it";
}

TEST_F(ConsoleTest, MessagesAreSplitIntoLinesOf63Characters) {
  struct Case {
    size_t length;
    std::vector<size_t> lines;
  };
  const Case cases[] = {{0, {0}}, {62, {62}}, {63, {63, 0}}, {130, {63, 63, 4}}, {126, {63, 63, 0}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    std::string message;
    for (size_t i = 0; i < c.length; ++i) message += static_cast<char>('a' + i % 26);
    for (UINT i = 0; i < CConsole::kLineCount; ++i) console.GetOutputStream().Write("-");
    console.GetOutputStream().Write(message.c_str());
    const Strings lines = bench.Lines();
    std::string joined;
    for (size_t i = 0; i < c.lines.size(); ++i) {
      const std::string& line = lines[CConsole::kLineCount - c.lines.size() + i];
      EXPECT_EQ(line.size(), c.lines[i]) << "line " << i;
      joined += line;
    }
    EXPECT_EQ(joined, message) << "no character lost";
    EXPECT_EQ(lines[CConsole::kLineCount - c.lines.size() - 1], "-");
  }
}

TEST_F(ConsoleTest, HistoryWalksUpAndDownWithinWhatWasTyped) {
  bench.Type("typed");
  console.HistoryUp();
  EXPECT_EQ(bench.EditboxText(), "typed") << "an empty history leaves the edit box alone";
  console.HistoryDown();
  EXPECT_EQ(bench.EditboxText(), "") << "down at position 0 clears";

  for (const char* line : {"1", "2", "3"}) bench.Run(line);
  EXPECT_EQ(bench.EditboxText(), "");
  console.HistoryUp();
  EXPECT_EQ(bench.EditboxText(), "3");
  console.HistoryUp();
  EXPECT_EQ(bench.EditboxText(), "2");
  console.HistoryDown();
  EXPECT_EQ(bench.EditboxText(), "2") << "a down after two ups shows what the second showed";
  console.HistoryDown();
  EXPECT_EQ(bench.EditboxText(), "3");
  console.HistoryUp();
  console.HistoryUp();
  console.HistoryUp();
  console.HistoryUp();
  EXPECT_EQ(bench.EditboxText(), "1") << "past the oldest entry nothing changes";

  for (const char* line : {"4", "5", "6", "7", "8"}) bench.Run(line);
  EXPECT_EQ(console.GetHistoryEntry(0), std::string("8"));
  EXPECT_EQ(console.GetHistoryEntry(6), std::string("2")) << "seven kept, the oldest lost";
  for (int i = 0; i < 9; ++i) console.HistoryUp();
  EXPECT_EQ(bench.EditboxText(), "2");
  EXPECT_EQ(bench.Editbox()->getCaretIndex(), 1u) << "the caret at index 64, held to the text";
}

TEST_F(ConsoleTest, TabListsOrCompletesCommandNames) {
  struct Case {
    const char* typed;
    const char* editbox;  // after TAB
    Strings listed;       // new lines, ending in the blank one
  };
  const Case cases[] = {
      {"show", "show", {"ShowToolBox\n", "ShowStatistics\n", "ShowBones\n", " "}},
      {"QUIT", "Quit", {}},
      {"getnumberofvisibles", "GetNumberOfVisibleShadowVolumes", {}},
      {"nothing", "nothing", {" "}},
      {"",
       "",
       {"GetRendererDescription\n", "ShowToolBox\n", "ShowStatistics\n",
        "GetNumberOfVisibleMeshes\n", "GetNumberOfVisibleLights\n",
        "GetNumberOfVisibleShadowVolumes\n", "Quit\n", "GetMemoryUsage\n", "ShowBones\n", " "}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    for (UINT i = 0; i < CConsole::kLineCount; ++i) console.GetOutputStream().Write("-");
    bench.Type(c.typed);
    console.OnChar(9);
    EXPECT_EQ(bench.EditboxText(), c.editbox);
    Strings newLines;
    for (const std::string& line : bench.Lines())
      if (line != "-") newLines.push_back(line);
    const size_t shown = std::min<size_t>(c.listed.size(), CConsole::kLineCount);
    EXPECT_EQ(newLines, Strings(c.listed.end() - shown, c.listed.end()));
  }
}

TEST_F(ConsoleTest, EnterRunsTheLineAndReportsScriptMessages) {
  ConsoleFunction entry = MakeEntry("void Record( uint )", [] { return "Record"; });
  ASSERT_EQ(console.RegisterFunction(&entry), 1);
  bench.Run("Record(5); Record(6);");
  EXPECT_EQ(g_recorded, (std::vector<unsigned>{5, 6}));
  EXPECT_EQ(bench.EditboxText(), "") << "the edit box is cleared";
  EXPECT_EQ(console.GetHistoryEntry(0), std::string("Record(5); Record(6);"));
  EXPECT_EQ(bench.Lines().back(), "") << "the line is not echoed";

  bench.Run("Record(;");
  const std::string output = bench.OutputText();
  EXPECT_NE(output.find("ERR"), std::string::npos) << output;
  EXPECT_EQ(g_recorded.size(), 2u);

  bench.Run("Recrod(1);");
  EXPECT_NE(bench.OutputText().find("Recrod"), std::string::npos) << bench.OutputText();

  // A run-time exception reaches the output too.
  bench.Run("int zero = 0; Record(1 / zero);");
  EXPECT_NE(bench.OutputText().find("Divide by zero"), std::string::npos) << bench.OutputText();

  console.OnChar(27);
  EXPECT_EQ(bench.Lines().back(), "Close Console Before Pressing ESC To Quit!\n");
  console.OnChar('a');
  EXPECT_EQ(bench.Lines().back(), "Close Console Before Pressing ESC To Quit!\n");
}

TEST_F(ConsoleTest, TheSixtyFifthRegistrationAndARefusedDeclarationFail) {
  EXPECT_EQ(console.GetFunctionCount(), 9u);
  std::vector<std::string> declarations;
  for (UINT i = console.GetFunctionCount(); i <= CConsole::kMaxFunctions; ++i)
    declarations.push_back("void Extra" + std::to_string(i) + "( uint )");
  std::vector<ConsoleFunction> entries;
  for (const std::string& declaration : declarations)
    entries.push_back(MakeEntry(declaration.c_str(), [] { return "Extra"; }));
  for (size_t i = 0; i + 1 < entries.size(); ++i) ASSERT_EQ(console.RegisterFunction(&entries[i]), 1);
  EXPECT_EQ(console.GetFunctionCount(), 64u);
  EXPECT_EQ(console.RegisterFunction(&entries.back()), 0);
  EXPECT_EQ(bench.Errors(),
            "ERROR!!! - Not Enuff Console Functions' Entries To Add Next Function!!!\n");
  EXPECT_EQ(console.GetFunctionCount(), 64u);
  bench.Run("Extra9(9); Extra63(63);");
  EXPECT_EQ(g_recorded, (std::vector<unsigned>{9, 63})) << "the first 64 stay usable";
}

TEST_F(ConsoleTest, ADeclarationTheScriptEngineRefusesIsLogged) {
  ConsoleFunction refused = MakeEntry("void Broken(", [] { return "Broken"; });
  EXPECT_EQ(console.RegisterFunction(&refused), 0);
  const std::string errors = bench.Errors();
  const std::string logged = "ERROR!!! - Can't Register Console Function: void Broken(\n";
  ASSERT_GE(errors.size(), logged.size());
  EXPECT_EQ(errors.substr(errors.size() - logged.size()), logged) << "after the engine's own";
  EXPECT_EQ(console.GetFunctionCount(), 9u);
}

// 2048 characters of three UTF-8 bytes each: the line runs whole, the history keeps at most 255
// bytes and completion looks at 63, neither cutting a character in two.
TEST_F(ConsoleTest, ALongLineOfMultiByteCharactersIsBoundedEverywhere) {
  std::string line = "Record(1); //";
  for (size_t characters = line.size(); characters < 2048; ++characters)
    line += "\xE2\x82\xAC";  // the euro sign
  bench.Type(line);
  const std::string typed = bench.EditboxText();
  ASSERT_EQ(bench.Editbox()->getText().length(), 2048u);
  console.OnChar(13);
  EXPECT_EQ(g_recorded, std::vector<unsigned>{});  // not registered: the line fails to build
  const std::string kept = console.GetHistoryEntry(0);
  EXPECT_LE(kept.size(), 255u);
  EXPECT_GE(kept.size(), 253u);
  EXPECT_EQ(kept, typed.substr(0, kept.size()));
  EXPECT_EQ((kept.size() - 13) % 3, 0u) << "no character cut in two";
  console.HistoryUp();
  EXPECT_EQ(bench.EditboxText(), kept);

  ConsoleFunction entry = MakeEntry("void Record( uint )", [] { return "Record"; });
  ASSERT_EQ(console.RegisterFunction(&entry), 1);
  bench.Run(typed);
  EXPECT_EQ(g_recorded, std::vector<unsigned>{1}) << "the whole line ran";

  std::string name = "show";
  while (name.size() < 2048) name += "x";
  bench.Type(name);
  console.OnChar(9);
  EXPECT_EQ(bench.Lines().back(), " ") << "nothing matches the first 63 characters";
  EXPECT_EQ(bench.EditboxText(), name);
}

TEST_F(ConsoleTest, OnlyTheFinalLineEndIsDroppedFromTheOutput) {
  struct Case {
    const char* what;
    Strings lines;  // written in order, each to its own line
    const char* shown;
  };
  const Case cases[] = {
      {"newest ends in a line end", {"a\n", "b\n"}, "a\nb"},
      {"an empty newest counts as the last", {"a\n", "b\n", ""}, "a\nb"},
      {"no line end kept as it is", {"a\n", "done!"}, "a\ndone!"},
      {"empty older lines are skipped", {"", "a\n", "", "b"}, "a\nb"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (UINT i = 0; i < CConsole::kLineCount; ++i) std::memset(console.NextOutputLine()->szText, 0, 1);
    for (const std::string& line : c.lines) console.GetOutputStream().Write(line.c_str());
    EXPECT_EQ(bench.OutputText(), c.shown);
  }
}

TEST_F(ConsoleTest, TheLockedConsoleRefusesLinesAndKeepsItsExclamationMark) {
  ConsoleBench locked({.gui = false, .locked = 1});
  ASSERT_TRUE(locked.started);
  locked.console->OnChar(13);
  EXPECT_EQ(locked.Lines().back(), "Can't execute your command as long as the console is locked!");
  EXPECT_EQ(locked.console->GetHistoryEntry(0), std::string());
  EXPECT_FALSE(locked.gui.gui.IsStarted());
}

TEST_F(ConsoleTest, TheTitleIsRewrittenOnlyWhenTheRateChanges) {
  CEGUI::Window* frame = bench.Window("ZeKorb/Console");
  console.Render(25.0f);
  EXPECT_EQ(frame->getText(), "ZeKorb Console") << "a closed console draws nothing";
  console.Toggle();
  console.Render(25.0f);
  EXPECT_EQ(frame->getText(),
            "ZeKorb Console (ZeKorb Version: May 27 2005, Code: Orvel) -   25.00 fps");
  frame->setText("changed");
  console.Render(25.0f);
  EXPECT_EQ(frame->getText(), "changed");
  console.Render(123.456f);
  EXPECT_EQ(frame->getText(),
            "ZeKorb Console (ZeKorb Version: May 27 2005, Code: Orvel) -  123.46 fps");
}

TEST_F(ConsoleTest, AConsoleWithoutGuiTakesEveryCallWithoutWindows) {
  ConsoleBench bare({.gui = false});
  ASSERT_TRUE(bare.started);
  CConsole& none = *bare.console;
  EXPECT_EQ(none.GetWindowManager(), nullptr);
  EXPECT_EQ(none.GetGUISystem(), nullptr);
  EXPECT_EQ(none.Toggle(), 1u);
  none.HistoryUp();
  none.HistoryDown();
  none.OnChar(9);
  none.OnChar(13);
  none.OnChar(27);
  EXPECT_EQ(none.Render(10.0f), 1);
  EXPECT_EQ(bare.Lines().back(), "Close Console Before Pressing ESC To Quit!\n");
  EXPECT_EQ(none.GetFunctionCount(), 9u) << "the commands are there without GUI";
  EXPECT_EQ(none.Toggle(), 0u);
  EXPECT_TRUE(bare.Errors().empty()) << bare.Errors();
}

}  // namespace
