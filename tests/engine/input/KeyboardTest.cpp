// The keyboard polled by hand on DirectInput, with keys injected through the platform.
#include <string>
#include <thread>
#include <vector>

#include "InputFixture.h"

namespace {

using Strings = std::vector<std::string>;

struct KeyCall {
  UINT action;
  UINT pressed;
  bool operator==(const KeyCall&) const = default;
};
std::vector<KeyCall> g_calls;
void RecordKey(UINT action, UINT pressed) { g_calls.push_back({action, pressed}); }

class KeyboardTest : public InputFixture {
 protected:
  void SetUp() override {
    InputFixture::SetUp();
    StartInput();
    m_keyboard = m_input->GetKeyboard();
    m_keyboard->SetCallback(RecordKey);
    g_calls.clear();
  }

  void PolledKey(BYTE dik, bool down) {
    Key(dik, down);
    m_keyboard->Poll();
  }

  CKeyboard* m_keyboard = nullptr;
};

TEST_F(KeyboardTest, EdgesReachEveryPairOfTheKeyInMapOrderOncePerChange) {
  const ActionPair map[] = {{1, DIK_A}, {2, DIK_S}, {3, DIK_A}};
  m_keyboard->SetActionMapper(map, 3);
  PolledKey(DIK_A, true);
  m_keyboard->Poll();  // held across polls
  m_keyboard->Poll();
  PolledKey(DIK_A, false);
  EXPECT_EQ(g_calls, (std::vector<KeyCall>{{1, 1}, {3, 1}, {1, 0}, {3, 0}}));
}

TEST_F(KeyboardTest, IsKeyDownAnswersOnlyWithAMapAndForCodesBelow256) {
  PolledKey(DIK_SPACE, true);
  EXPECT_EQ(m_keyboard->IsKeyDown(DIK_SPACE), 0u) << "no map yet";
  const ActionPair map[] = {{1, DIK_SPACE}};
  m_keyboard->SetActionMapper(map, 1);
  EXPECT_EQ(m_keyboard->IsKeyDown(DIK_SPACE), 128u);
  EXPECT_EQ(m_keyboard->IsKeyDown(DIK_A), 0u);
  EXPECT_EQ(m_keyboard->IsKeyDown(256 + DIK_SPACE), 0u);
  m_keyboard->SetActionMapper(nullptr, 5);  // empties the map
  EXPECT_EQ(m_keyboard->IsKeyDown(DIK_SPACE), 0u);
}

TEST_F(KeyboardTest, GetActionTimesTheKeyAndAnswersZeroForUnknownActionsAndBadCodes) {
  const ActionPair map[] = {{9, DIK_W}, {10, 300}};
  m_keyboard->SetActionMapper(map, 2);
  PolledKey(DIK_W, true);
  ZkTestClockAdvance(500000);
  KeyAction action = {};
  m_keyboard->GetAction(9, &action);
  EXPECT_EQ(action.dwState, 1u);
  EXPECT_NEAR(action.fTime, 0.5f, 1e-4f);
  for (UINT unknown : {10u, 11u}) {
    m_keyboard->GetAction(unknown, &action);
    EXPECT_EQ(action.dwState, 0u);
    EXPECT_EQ(action.fTime, 0.0f);
  }
  EXPECT_EQ(m_keyboard->GetAction(9, nullptr), nullptr);
}

TEST_F(KeyboardTest, KeysReachTheGuiOnTheMainThreadExceptTabUpAndDown) {
  m_input->SetGuiTarget(&m_gui, &m_console);
  for (BYTE key : {BYTE{DIK_A}, BYTE{DIK_TAB}, BYTE{DIK_UP}, BYTE{DIK_DOWN}}) Key(key, true);
  // The poll runs on another thread, as the input thread runs it.
  std::thread([this] { m_keyboard->Poll(); }).join();
  EXPECT_TRUE(m_gui.events.empty()) << "nothing is injected from the input thread";

  m_input->InjectQueuedGuiKeys();
  EXPECT_EQ(m_gui.events, Strings{"key down 30"});
  ASSERT_EQ(m_gui.threads.size(), 1u);
  EXPECT_EQ(m_gui.threads[0], std::this_thread::get_id());

  PolledKey(DIK_A, false);
  m_input->InjectQueuedGuiKeys();
  EXPECT_EQ(m_gui.events, (Strings{"key down 30", "key up 30"}));
}

TEST_F(KeyboardTest, LockedOrMissingConsoleKeepsKeysFromTheGuiButNotFromTheGame) {
  const ActionPair map[] = {{1, DIK_A}};
  m_keyboard->SetActionMapper(map, 1);
  m_config.dwLockConsole = 1;
  m_input->SetGuiTarget(&m_gui, &m_console);
  PolledKey(DIK_A, true);
  m_config.dwLockConsole = 0;
  m_input->SetGuiTarget(&m_gui, nullptr);
  PolledKey(DIK_A, false);
  m_input->InjectQueuedGuiKeys();
  EXPECT_TRUE(m_gui.events.empty());
  EXPECT_EQ(g_calls, (std::vector<KeyCall>{{1, 1}, {1, 0}}));
}

class ForegroundKeyboardTest : public InputFixture {};

TEST_F(ForegroundKeyboardTest, AKeyboardLostWithTheFocusIsReacquiredByTheNextPoll) {
  StartInput(false, 1, 0);  // foreground: reads only while the window has the focus
  CKeyboard* keyboard = m_input->GetKeyboard();
  const ActionPair map[] = {{1, DIK_A}};
  keyboard->SetActionMapper(map, 1);
  keyboard->SetCallback(RecordKey);
  g_calls.clear();
  ASSERT_TRUE(ZkTestInputFocus(m_hWnd, FALSE));
  Pump();
  EXPECT_TRUE(FAILED(keyboard->Poll()));

  m_log.entries.clear();
  ASSERT_TRUE(ZkTestInputFocus(m_hWnd, TRUE));
  Key(DIK_A, true);
  EXPECT_EQ(keyboard->Poll(), DI_OK);
  EXPECT_EQ(m_log.TextAt(CEngineLog::kLevelInfo), "- Keyboard ReAcquired\n");
  EXPECT_EQ(g_calls, (std::vector<KeyCall>{{1, 1}}));
}

}  // namespace
