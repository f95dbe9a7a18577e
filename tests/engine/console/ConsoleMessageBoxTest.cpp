// The question boxes as the console offers them, on the Null renderer: buttons are clicked by
// firing their own events.
#include <gtest/gtest.h>

#include <CEGUI/WindowManager.h>
#include <CEGUI/widgets/PushButton.h>

#include <string>
#include <vector>

#include "ConsoleBench.h"

namespace {

using Strings = std::vector<std::string>;

Strings g_answers;
void Record(void* data) { g_answers.push_back(static_cast<const char*>(data)); }

class ConsoleMessageBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(bench.started) << bench.Errors();
    g_answers.clear();
  }
  void Click(const std::string& button) {
    CEGUI::Window* window = bench.Window(button.c_str());
    ASSERT_NE(window, nullptr) << button;
    CEGUI::WindowEventArgs args(window);
    window->fireEvent(CEGUI::PushButton::EventClicked, args);
  }
  std::string Text(const char* box) {
    return bench.Window((std::string(box) + "/Text1").c_str())->getText().c_str();
  }
  bool Shown(const char* box) { return bench.Window(box)->isVisible(); }

  static constexpr const char* kYesNo = "ZeKorb/MessageBoxYesNo";
  static constexpr const char* kYesNoCancel = "ZeKorb/MessageBoxYesNoCancel";
  ConsoleBench bench;
  char yes[4] = "yes", no[3] = "no", cancel[7] = "cancel";
};

TEST_F(ConsoleMessageBoxTest, AnOpenBoxDropsASecondQuestionAndTheFirstIsAnswered) {
  bench.console->MessageBoxYesNo(Record, yes, Record, no, "Quit?", "Leave %s now?", "the level");
  ASSERT_TRUE(Shown(kYesNo));
  EXPECT_EQ(bench.Window(kYesNo)->getText(), "Quit?");
  EXPECT_EQ(Text(kYesNo), "Leave the level now?");
  bench.console->MessageBoxYesNo(nullptr, nullptr, nullptr, nullptr, "Other", "Other text");
  EXPECT_EQ(Text(kYesNo), "Leave the level now?");
  Click(std::string(kYesNo) + "/No");
  EXPECT_EQ(g_answers, Strings{"no"});
  EXPECT_FALSE(Shown(kYesNo));
  EXPECT_TRUE(bench.Window(kYesNo)->isDisabled());
}

TEST_F(ConsoleMessageBoxTest, EachButtonClosesTheBoxBeforeItsCallbackRuns) {
  struct Case {
    const char* button;
    Strings answers;
  };
  const Case cases[] = {{"/Yes", {"yes"}}, {"/No", {}}, {"/Cancel", {"cancel"}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button);
    g_answers.clear();
    bench.console->MessageBoxYesNoCancel(Record, yes, nullptr, nullptr, Record, cancel, "Save?",
                                         "Save the scene?");
    ASSERT_TRUE(Shown(kYesNoCancel));
    Click(std::string(kYesNoCancel) + c.button);
    EXPECT_EQ(g_answers, c.answers) << "a null callback does nothing";
    EXPECT_FALSE(Shown(kYesNoCancel));
  }
}

// The box is closed when the callback runs, so the callback may ask again.
TEST_F(ConsoleMessageBoxTest, ACallbackMayShowTheSameBoxAgain) {
  static ConsoleBench* s_bench = nullptr;
  s_bench = &bench;
  bench.console->MessageBoxYesNo(
      [](void*) {
        s_bench->console->MessageBoxYesNo(Record, nullptr, nullptr, nullptr, "Sure?", "Really?");
      },
      nullptr, nullptr, nullptr, "First", "First?");
  Click(std::string(kYesNo) + "/Yes");
  EXPECT_TRUE(Shown(kYesNo));
  EXPECT_EQ(Text(kYesNo), "Really?");
  EXPECT_EQ(bench.Window(kYesNo)->getText(), "Sure?");
}

TEST_F(ConsoleMessageBoxTest, LongTextIsCutAndPercentSignsShowAsFormatted) {
  const std::string longText(3000, 'x');
  bench.console->MessageBoxYesNo(nullptr, nullptr, nullptr, nullptr, "Long", "%s", longText.c_str());
  EXPECT_EQ(Text(kYesNo), longText.substr(0, 2047));
  Click(std::string(kYesNo) + "/Yes");
  bench.console->MessageBoxYesNo(nullptr, nullptr, nullptr, nullptr, "Rate", "100%% done, %s",
                                 "50%s left");
  EXPECT_EQ(Text(kYesNo), "100% done, 50%s left");
}

// A GUI failure while showing leaves the box closed and able to take the next question.
TEST_F(ConsoleMessageBoxTest, AGuiExceptionInShowClosesTheBoxAndIsLogged) {
  bench.console->MessageBoxYesNo(nullptr, nullptr, nullptr, nullptr, "Made", "once");
  Click(std::string(kYesNo) + "/No");
  CEGUI::WindowManager::getSingleton().destroyWindow(bench.Window("ZeKorb/MessageBoxYesNo/Text1"));
  bench.console->MessageBoxYesNo(Record, yes, nullptr, nullptr, "Broken", "text");
  EXPECT_FALSE(Shown(kYesNo));
  EXPECT_NE(bench.Errors().find("CEGUI Exception: "), std::string::npos) << bench.Errors();
  bench.console->MessageBoxYesNo(Record, yes, nullptr, nullptr, "Again", "text");
  EXPECT_EQ(bench.Window(kYesNo)->getText(), "Again") << "the next question is taken";
}

TEST_F(ConsoleMessageBoxTest, WithoutGuiTheBoxesAndWindowsAreRefused) {
  ConsoleBench bare({.gui = false});
  bare.console->MessageBoxYesNo(Record, yes, nullptr, nullptr, "None", "none");
  EXPECT_FALSE(bare.console->OpenLoadWindow(nullptr, nullptr, 0, nullptr, nullptr));
  EXPECT_FALSE(bare.console->OpenSaveWindow(nullptr, nullptr, 0, nullptr, nullptr));
  EXPECT_TRUE(g_answers.empty());
}

}  // namespace
