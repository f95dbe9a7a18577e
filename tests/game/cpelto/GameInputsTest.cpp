// The game's input devices on the platform's DirectInput: set-up with and without a joystick,
// what a poll reads, the state requests, and polling while the window is behind another.
#include <gtest/gtest.h>

#include <memory>

#include "LogFolder.h"
#include "TestWindow.h"
#include "cpelto/GameInputs.h"
#include "zktest/ZkTestInput.h"

namespace {

class GameInputsTest : public LogFolder {
 protected:
  void SetUp() override {
    LogFolder::SetUp();
    ShowWindow(m_window.Handle(), SW_SHOW);
    m_window.Pump();
  }
  void TearDown() override {
    m_inputs.reset();
    if (m_stick >= 0) ZkTestInputDetachJoystick(m_stick);
    LogFolder::TearDown();
  }
  void AttachStick() {
    m_stick = ZkTestInputAttachJoystick(3, 16, 0);
    ASSERT_GE(m_stick, 0);
    m_window.Pump();
  }
  int Init(HWND window, DWORD mask = CGameInputs::kDeviceJoystick) {
    m_inputs = std::make_unique<CGameInputs>();
    return m_inputs->Init(window, mask);
  }
  void Poll() {
    m_window.Pump();
    m_inputs->Poll();
  }
  LONG State(DWORD what, DWORD mask = CGameInputs::kDeviceJoystick) {
    LONG value = 12345;
    EXPECT_EQ(m_inputs->GetState(mask, what, &value), 1);
    return value;
  }
  std::string GameLog() const { return Read("GameEngine.log"); }

  TestWindow m_window;
  int m_stick = -1;
  std::unique_ptr<CGameInputs> m_inputs;
};

TEST_F(GameInputsTest, WithoutAJoystickInitFailsAndPollingReadsNothing) {
  EXPECT_EQ(Init(m_window.Handle()), 0);
  EXPECT_EQ(GameLog(), "-DInput Initializing...\n - Joystick not found\n-Done.\n");
  EXPECT_FALSE(m_inputs->HasJoystick());
  EXPECT_EQ(CGameInputs::GetInstance(), m_inputs.get());
  Poll();
  EXPECT_EQ(State(CGameInputs::kRequestX), 0);
  EXPECT_EQ(State(CGameInputs::ButtonRequest(0)), 0);
  m_inputs.reset();
  EXPECT_EQ(CGameInputs::GetInstance(), nullptr);
  EXPECT_EQ(GameLog(), "-DInput Initializing...\n - Joystick not found\n-Done.\n"
                       "-DInput Unacquired\n");
}

TEST_F(GameInputsTest, OnlyTheJoystickMaskSetsUpTheJoystick) {
  AttachStick();
  EXPECT_EQ(Init(m_window.Handle(), 1), 1);
  EXPECT_FALSE(m_inputs->HasJoystick());
  EXPECT_EQ(GameLog(), "-DInput Initializing...\n-Done.\n");
  EXPECT_STREQ(m_inputs->GetClassName(), "CGameInputs");
  EXPECT_TRUE(m_inputs->IsKindOf("CGameInputs"));
  EXPECT_FALSE(m_inputs->IsKindOf("geCBaseObject"));
  EXPECT_EQ(m_inputs->Reserved(), 1);
}

TEST_F(GameInputsTest, AJoystickWithoutAWindowFailsItsCooperativeLevel) {
  AttachStick();
  EXPECT_EQ(Init(nullptr), 0);
  EXPECT_EQ(GameLog(),
            "-DInput Initializing...\n"
            " - ERROR: failed during setting cooperative level for joystick device\n-Done.\n");
  // The half set-up device is dropped: polling reads nothing.
  EXPECT_FALSE(m_inputs->HasJoystick());
  ZkTestInputJoystickAxis(m_stick, 0, 32767);
  Poll();
  Poll();
  EXPECT_EQ(State(CGameInputs::kRequestX), 0);
}

TEST_F(GameInputsTest, PollsReadAxesAndButtonsThatEveryRequestAnswers) {
  AttachStick();
  ASSERT_EQ(Init(m_window.Handle()), 1);
  EXPECT_EQ(GameLog(), "-DInput Initializing...\n-Done.\n");
  ZkTestInputJoystickAxis(m_stick, 0, 32767);
  ZkTestInputJoystickAxis(m_stick, 1, -32768);
  ZkTestInputJoystickAxis(m_stick, 2, 16384);
  ZkTestInputJoystickButton(m_stick, 3, TRUE);
  ZkTestInputJoystickButton(m_stick, 15, TRUE);
  // The first poll only acquires the device.
  Poll();
  EXPECT_EQ(State(CGameInputs::kRequestX), 0);
  Poll();
  const struct {
    DWORD what;
    LONG value;
  } cases[] = {
      {CGameInputs::kRequestX, 1000},
      {CGameInputs::kRequestY, -1000},
      {CGameInputs::kRequestZ, 500},
      {CGameInputs::ButtonRequest(3), 1},
      {CGameInputs::ButtonRequest(4), 0},
      {CGameInputs::ButtonRequest(15), 1},
      {CGameInputs::ButtonRequest(16), 0},
      // Requests nobody answers leave the value alone.
      {0, 12345},
      {CGameInputs::kRequestX | CGameInputs::kRequestY, 12345},
      {16, 12345},
  };
  for (const auto& one : cases) EXPECT_EQ(State(one.what), one.value) << std::hex << one.what;
  // Other devices do not answer.
  EXPECT_EQ(State(CGameInputs::kRequestX, 1), 12345);
  EXPECT_EQ(m_inputs->GetState(CGameInputs::kDeviceJoystick, CGameInputs::kRequestX, nullptr), 1);
  EXPECT_TRUE(m_inputs->IsButtonDown(3));
  EXPECT_FALSE(m_inputs->IsButtonDown(-1));

  ZkTestInputJoystickButton(m_stick, 3, FALSE);
  Poll();
  EXPECT_EQ(State(CGameInputs::ButtonRequest(3)), 0);
}

TEST_F(GameInputsTest, BehindAnotherWindowPollingKeepsTheLastStateAndGoesOn) {
  AttachStick();
  ASSERT_EQ(Init(m_window.Handle()), 1);
  ZkTestInputJoystickAxis(m_stick, 0, 32767);
  Poll();
  Poll();
  ASSERT_EQ(State(CGameInputs::kRequestX), 1000);
  ZkTestInputFocus(m_window.Handle(), FALSE);
  ZkTestInputJoystickAxis(m_stick, 0, -32768);
  // Lost, then refused while behind: both polls return.
  Poll();
  Poll();
  EXPECT_EQ(State(CGameInputs::kRequestX), 1000);
  ZkTestInputFocus(m_window.Handle(), TRUE);
  Poll();
  Poll();
  EXPECT_EQ(State(CGameInputs::kRequestX), -1000);
}

}  // namespace
