// The input manager: construction rules, enumeration, and the polling thread's life.
#include <atomic>
#include <future>
#include <string>

#include "InputFixture.h"

namespace {

std::atomic<int> g_pressed{0};
void CountPresses(UINT /*action*/, UINT pressed) { g_pressed += pressed; }

// A key callback that holds the input thread inside its poll until the test lets it go.
std::atomic<bool> g_inCallback{false};
std::atomic<bool> g_release{false};
std::atomic<bool> g_callbackFinished{false};
void BlockingCallback(UINT /*action*/, UINT /*pressed*/) {
  g_inCallback = true;
  while (!g_release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  g_callbackFinished = true;
}

class InputControllersTest : public InputFixture {};

TEST_F(InputControllersTest, PollIntervalOver1000MeansFiftyAndStartThreadTakesItAsGiven) {
  struct Case {
    DWORD asked;
    DWORD used;
  };
  for (const Case& one : {Case{1001, 50}, Case{1000, 1000}, Case{0, 0}, Case{0xFFFFFFFF, 50}}) {
    InputControllersSettings settings = {&m_log, &m_timer, nullptr, m_hWnd, kBackground,
                                         one.asked};
    CInputControllers input(settings);
    EXPECT_EQ(input.GetPollInterval(), one.used) << one.asked;
  }
  StartInput();
  ASSERT_EQ(m_input->StartThread(5000), 1u);
  EXPECT_EQ(m_input->GetPollInterval(), 5000u);
}

TEST_F(InputControllersTest, CooperativeFlagsMakeTheDirectInputLevel) {
  struct Case {
    DWORD flags;
    DWORD level;
  };
  const Case cases[] = {{0, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND},
                        {1, DISCL_EXCLUSIVE | DISCL_FOREGROUND},
                        {2, DISCL_NONEXCLUSIVE | DISCL_NOWINKEY | DISCL_FOREGROUND},
                        {4, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND},
                        {7, DISCL_EXCLUSIVE | DISCL_NOWINKEY | DISCL_BACKGROUND}};
  for (const Case& one : cases) {
    InputControllersSettings settings = {&m_log, &m_timer, nullptr, m_hWnd, one.flags, 10};
    CInputControllers input(settings);
    EXPECT_EQ(input.GetCooperativeLevel(), one.level) << one.flags;
    EXPECT_EQ(input.GetCooperativeFlags(), one.flags);
  }
}

TEST_F(InputControllersTest, InitFindsTheSystemDevicesAndLogsTheStart) {
  StartInput();
  EXPECT_EQ(m_input->GetKeyboard()->GetDeviceType(), 1u);
  EXPECT_EQ(m_input->GetMouse()->GetDeviceType(), 2u);
  const std::string info = m_log.TextAt(CEngineLog::kLevelInfo);
  EXPECT_EQ(info.rfind("- Initializing DInput\n", 0), 0u);
  EXPECT_NE(info.find("Initialized And Acquired\n"), std::string::npos);
  EXPECT_EQ(m_log.TextAt(CEngineLog::kLevelError), "");
}

TEST_F(InputControllersTest, TheGameReachesTheDevicesThroughTheInterfacesOnly) {
  StartInput(true);
  CInputControllersInterface& seen = *m_input;
  CKeyboardInterface* keyboard = seen.GetKeyboard();
  ASSERT_NE(keyboard, nullptr);
  ASSERT_NE(seen.GetMouse(), nullptr);
  const ActionPair map[] = {{1, DIK_A}};
  g_pressed = 0;
  keyboard->SetActionMapper(map, 1);
  keyboard->SetCallback(CountPresses);
  Key(DIK_A, true);
  EXPECT_TRUE(WaitFor([] { return g_pressed.load() == 1; }));
}

TEST_F(InputControllersTest, TheSeventeenthDeviceStopsTheEnumeration) {
  StartInput();
  DIDEVICEINSTANCEA mouse = {};
  mouse.dwSize = sizeof mouse;
  mouse.guidInstance = GUID_SysMouse;
  mouse.dwDevType = DI8DEVTYPE_MOUSE | (DI8DEVTYPEMOUSE_TRADITIONAL << 8);
  std::snprintf(mouse.tszInstanceName, sizeof mouse.tszInstanceName, "Mouse");
  const CMouse* systemMouse = m_input->GetMouse();
  while (m_input->GetNumberOfDevices() < CInputControllers::kMaxDevices)
    ASSERT_EQ(m_input->AddDevice(mouse), DIENUM_CONTINUE);
  EXPECT_EQ(m_input->AddDevice(mouse), DIENUM_STOP);
  EXPECT_EQ(m_input->GetNumberOfDevices(), CInputControllers::kMaxDevices);
  EXPECT_EQ(m_log.TextAt(CEngineLog::kLevelError),
            "ERROR!!! - Not Enough Entries For DInput Devices\n");
  EXPECT_EQ(m_input->GetMouse(), systemMouse) << "the thread keeps polling the first one";

  DIDEVICEINSTANCEA joystick = mouse;
  joystick.dwDevType = DI8DEVTYPE_JOYSTICK;
  m_input->Shutdown();
  EXPECT_EQ(m_input->AddDevice(joystick), DIENUM_CONTINUE);
  EXPECT_EQ(m_input->GetNumberOfDevices(), 0u) << "other kinds are skipped";
}

TEST_F(InputControllersTest, ThreadPollsAndRunsCallbacksAndASecondStartIsRefused) {
  StartInput(true);
  EXPECT_TRUE(m_input->IsThreadRunning());
  EXPECT_EQ(m_input->StartThread(1), 0u);

  const ActionPair map[] = {{1, DIK_A}};
  g_pressed = 0;
  m_input->GetKeyboard()->SetActionMapper(map, 1);
  m_input->GetKeyboard()->SetCallback(CountPresses);
  Key(DIK_A, true);
  EXPECT_TRUE(WaitFor([] { return g_pressed.load() == 1; }));

  m_input->StopThread();
  EXPECT_FALSE(m_input->IsThreadRunning());
  EXPECT_NE(m_log.TextAt(CEngineLog::kLevelInfo)
                .find("- Stopping DInput Thread\n- DInput Thread Exited\n"),
            std::string::npos);
  EXPECT_EQ(m_input->StartThread(1), 1u) << "a stopped thread may be started again";
}

TEST_F(InputControllersTest, NoPollWhileTheWindowIsMinimisedButTheThreadKeepsWaking) {
  StartInput(true);
  const ActionPair map[] = {{1, DIK_A}};
  g_pressed = 0;
  m_input->GetKeyboard()->SetActionMapper(map, 1);
  m_input->GetKeyboard()->SetCallback(CountPresses);

  ASSERT_TRUE(ZkTestInputMinimize(m_hWnd, TRUE));
  Pump();
  ASSERT_TRUE(WaitFor([this] {
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    return GetWindowPlacement(m_hWnd, &placement) && placement.showCmd == SW_SHOWMINIMIZED;
  }));
  // Wait for a round that began after the minimisation, then count from there.
  const uint64_t rounds = m_input->GetThreadRounds();
  ASSERT_TRUE(WaitFor([&] { return m_input->GetThreadRounds() >= rounds + 2; }));
  const uint64_t polls = m_input->GetThreadPolls();
  Key(DIK_A, true);
  ASSERT_TRUE(WaitFor([&] { return m_input->GetThreadRounds() >= rounds + 6; }));
  EXPECT_EQ(m_input->GetThreadPolls(), polls);
  EXPECT_EQ(g_pressed.load(), 0);

  ASSERT_TRUE(ZkTestInputMinimize(m_hWnd, FALSE));
  Pump();
  EXPECT_TRUE(WaitFor([] { return g_pressed.load() == 1; }));
}

TEST_F(InputControllersTest, ShutdownDuringAPollWaitsForItThenFreesTheDevices) {
  StartInput(true);
  const ActionPair map[] = {{1, DIK_A}};
  g_inCallback = false;
  g_release = false;
  g_callbackFinished = false;
  m_input->GetKeyboard()->SetActionMapper(map, 1);
  m_input->GetKeyboard()->SetCallback(BlockingCallback);
  Key(DIK_A, true);
  ASSERT_TRUE(WaitFor([] { return g_inCallback.load(); }));

  std::future<UINT> shutdown = std::async(std::launch::async, [this] { return m_input->Shutdown(); });
  // The shutdown cannot finish while the thread is inside its poll.
  EXPECT_EQ(shutdown.wait_for(std::chrono::milliseconds(30)), std::future_status::timeout);
  g_release = true;
  ASSERT_EQ(shutdown.wait_for(std::chrono::seconds(2)), std::future_status::ready);
  EXPECT_EQ(shutdown.get(), 1u);
  EXPECT_TRUE(g_callbackFinished.load());
  EXPECT_FALSE(m_input->IsThreadRunning());
  const std::string info = m_log.TextAt(CEngineLog::kLevelInfo);
  EXPECT_EQ(info.substr(info.size() - 23), "- DInput Thread Exited\n") << "the thread ended first";
  EXPECT_EQ(m_input->GetNumberOfDevices(), 0u);
  EXPECT_EQ(m_input->GetKeyboard(), nullptr);
  EXPECT_EQ(m_input->GetMouse(), nullptr);
}

TEST_F(InputControllersTest, ActionMapsMayBeReplacedWhileTheThreadPolls) {
  StartInput(true);
  CKeyboard* keyboard = m_input->GetKeyboard();
  CMouse* mouse = m_input->GetMouse();
  keyboard->SetCallback(CountPresses);
  const ActionPair small[] = {{1, DIK_A}};
  ActionPair large[64];
  for (UINT i = 0; i < 64; ++i) large[i] = {i, DIK_A};
  for (int round = 0; round < 200; ++round) {
    keyboard->SetActionMapper(round % 2 ? small : large, round % 2 ? 1 : 64);
    mouse->SetActionMapper(round % 2 ? small : large, round % 2 ? 1 : 64);
    if (round % 20 == 0) Key(DIK_A, round % 40 == 0);
  }
  // The last map is the one the thread uses from now on: one report per press.
  Key(DIK_A, false);
  ASSERT_TRUE(WaitFor([&] { return m_input->GetThreadPolls() > 0; }));
  const uint64_t polls = m_input->GetThreadPolls();
  ASSERT_TRUE(WaitFor([&] { return m_input->GetThreadPolls() >= polls + 2; }));
  g_pressed = 0;
  Key(DIK_A, true);
  ASSERT_TRUE(WaitFor([] { return g_pressed.load() >= 1; }));
  const uint64_t after = m_input->GetThreadPolls();
  ASSERT_TRUE(WaitFor([&] { return m_input->GetThreadPolls() >= after + 2; }));
  EXPECT_EQ(g_pressed.load(), 1);
}

}  // namespace
