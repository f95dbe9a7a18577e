#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ostream>
#include <string>
#include <vector>

#include "D3DTestDevice.h"
#include "TempDir.h"
#include "TestWindow.h"
#include "dinput.h"
#include "windows.h"
#include "zktest/ZkTestClock.h"
#include "zktest/ZkTestCommands.h"

namespace {

bool KeyDown(int vk) { return (GetAsyncKeyState(vk) & 0x8000) != 0; }

size_t CountOf(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++count;
  return count;
}

// The index of the first `message` among what the window saw, or -1.
int IndexOf(const std::vector<RecordedMessage>& seen, UINT message, WPARAM wParam) {
  for (size_t at = 0; at < seen.size(); ++at)
    if (seen[at].message == message && seen[at].wParam == wParam) return static_cast<int>(at);
  return -1;
}

// A DirectInput device as the engine makes one: in the foreground, not exclusive; not acquired.
class InputDevice {
 public:
  InputDevice(REFGUID guid, const DIDATAFORMAT& format, HWND window) {
    EXPECT_EQ(DirectInput8Create(nullptr, DIRECTINPUT_VERSION, IID_IDirectInput8A, reinterpret_cast<void**>(&m_input),
                                 nullptr),
              DI_OK);
    if (!m_input || m_input->CreateDevice(guid, &m_device, nullptr) != DI_OK) return;
    EXPECT_EQ(m_device->SetDataFormat(&format), DI_OK);
    EXPECT_EQ(m_device->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND), DI_OK);
  }
  ~InputDevice() {
    if (m_device) m_device->Release();
    if (m_input) m_input->Release();
  }
  bool ok() const { return m_device != nullptr; }
  LPDIRECTINPUTDEVICE8 operator->() const { return m_device; }

 private:
  LPDIRECTINPUT8 m_input = nullptr;
  LPDIRECTINPUTDEVICE8 m_device = nullptr;
};

class CommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ZkTestCommandsReset();
    ShowWindow(window.Handle(), SW_SHOW);
    window.Pump();
  }
  void TearDown() override {
    ZkTestCommandsReset();
    ZkTestClockSetReal();
  }
  // Hands the reader `text` and takes one turn of a game's message loop.
  std::vector<RecordedMessage> Run(const std::string& text) {
    ZkTestCommandsFeed(text.c_str());
    return window.Pump();
  }

  TestWindow window;
};

constexpr WPARAM kAnyWParam = ~WPARAM(0);
constexpr LPARAM kAnyLParam = ~LPARAM(0);

struct CommandCase {
  const char* name;
  const char* commands;
  UINT message;  // what the window must get
  WPARAM wParam;
  LPARAM lParam;
  int key;  // a virtual key whose GetAsyncKeyState is checked, 0 for none
  bool keyDown;
  size_t echoed;  // lines echoed to standard error
  size_t refused;
};

void PrintTo(const CommandCase& c, std::ostream* out) { *out << c.name; }

class CommandTableTest : public CommandsTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(CommandTableTest, ReachesTheWindowAsRealInputDoes) {
  const CommandCase& c = GetParam();
  testing::internal::CaptureStderr();
  const std::vector<RecordedMessage> seen = Run(c.commands);
  const std::string echoes = testing::internal::GetCapturedStderr();

  bool found = false;
  for (const RecordedMessage& one : TestWindow::Only(seen, c.message))
    found |= (c.wParam == kAnyWParam || one.wParam == c.wParam) && (c.lParam == kAnyLParam || one.lParam == c.lParam);
  EXPECT_TRUE(found) << std::hex << c.message;
  if (c.key) {
    EXPECT_EQ(KeyDown(c.key), c.keyDown);
  }
  EXPECT_EQ(CountOf(echoes, "zk-commands: "), c.echoed) << echoes;
  EXPECT_EQ(CountOf(echoes, " refused: "), c.refused) << echoes;
}

const CommandCase kCommandCases[] = {
    {"KeyDown", "key 30 down\n", WM_KEYDOWN, 'A', kAnyLParam, 'A', true, 1, 0},
    {"HexCodeAndCarriageReturn", "key 0x1e down\r\n", WM_KEYDOWN, 'A', kAnyLParam, 'A', true, 1, 0},
    {"KeyUp", "key 30 down\nkey 30 up\n", WM_KEYUP, 'A', kAnyLParam, 'A', false, 2, 0},
    {"Text", "text h\xC3\xA9\n", WM_CHAR, 0xE9, kAnyLParam, 0, false, 1, 0},
    {"MouseInClientPixels", "mouse 40 30\n", WM_MOUSEMOVE, kAnyWParam, MAKELPARAM(40, 30), 0, false, 1, 0},
    {"LeftButtonWhereThePointerIs", "mouse 12 7\nbutton 0 down\n", WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 7),
     VK_LBUTTON, true, 2, 0},
    {"RightButtonUp", "button 1 down\nbutton 1 up\n", WM_RBUTTONUP, kAnyWParam, kAnyLParam, VK_RBUTTON, false, 2, 0},
    {"MiddleButton", "button 2 down\n", WM_MBUTTONDOWN, MK_MBUTTON, kAnyLParam, VK_MBUTTON, true, 1, 0},
    {"WheelTowardsTheUser", "wheel -2\n", WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-2 * WHEEL_DELTA)),
     kAnyLParam, 0, false, 1, 0},
    {"Close", "close\n", WM_CLOSE, kAnyWParam, kAnyLParam, 0, false, 1, 0},
    {"CommentsAndBlankLinesAreSkipped", "# key 31 down\n\n \t \n  # indented\nkey 30 down\n", WM_KEYDOWN, 'A',
     kAnyLParam, 'S', false, 1, 0},
    {"RefusedLinesAreSkipped",
     "jump 3\nkey 30\nkey 30 sideways\nkey 300 down\nkey 0 down\nkey 30 down now\nkey 0x down\nbutton 3 down\n"
     "mouse 1\nmouse 1 99999\nwheel 9999\nwheel x\nframes -1\nwait\nscreenshot\nclose now\nkey 30 down\n",
     WM_KEYDOWN, 'A', kAnyLParam, 'A', true, 17, 16},
};

INSTANTIATE_TEST_SUITE_P(Commands, CommandTableTest, ::testing::ValuesIn(kCommandCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandsTest, EchoesEachLineAsItRuns) {
  testing::internal::CaptureStderr();
  Run("  key 30 down  \nbogus\n");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "zk-commands: key 30 down\nzk-commands: bogus refused: unknown command\n");
}

TEST_F(CommandsTest, InputReachesTheDirectInputMouse) {
  InputDevice mouse(GUID_SysMouse, c_dfDIMouse2, window.Handle());
  ASSERT_TRUE(mouse.ok());
  ASSERT_EQ(mouse->Acquire(), DI_OK);
  POINT start;
  GetCursorPos(&start);
  ScreenToClient(window.Handle(), &start);

  Run("mouse 40 30\nmouse 50 20\nbutton 0 down\nwheel 1\n");
  DIMOUSESTATE2 state = {};
  ASSERT_EQ(mouse->GetDeviceState(sizeof state, &state), DI_OK);
  EXPECT_EQ(state.lX, 50 - start.x);
  EXPECT_EQ(state.lY, 20 - start.y);
  EXPECT_EQ(state.lZ, WHEEL_DELTA);
  EXPECT_EQ(state.rgbButtons[0], 0x80);
}

// An offscreen window never gets the focus by itself, and a foreground DirectInput device
// cannot be acquired without it.
TEST(CommandFocusTest, TheWindowIsGivenTheFocusBeforeTheFirstInput) {
  ZkTestCommandsReset();
  TestWindow window;  // never shown
  window.Pump();
  ASSERT_EQ(GetForegroundWindow(), nullptr);
  InputDevice keyboard(GUID_SysKeyboard, c_dfDIKeyboard, window.Handle());
  ASSERT_TRUE(keyboard.ok());
  EXPECT_EQ(keyboard->Acquire(), DIERR_OTHERAPPHASPRIO);

  ZkTestCommandsFeed("key 30 down\n");
  const std::vector<RecordedMessage> seen = window.Pump();
  EXPECT_EQ(GetForegroundWindow(), window.Handle());
  const int activated = IndexOf(seen, WM_ACTIVATE, WA_ACTIVE);
  const int pressed = IndexOf(seen, WM_KEYDOWN, 'A');
  ASSERT_GE(activated, 0);
  EXPECT_GT(pressed, activated);

  ASSERT_EQ(keyboard->Acquire(), DI_OK);
  BYTE keys[256] = {};
  ASSERT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DI_OK);
  EXPECT_EQ(keys[DIK_A], 0x80);
  ZkTestCommandsReset();
}

TEST(CommandFocusTest, InputWaitsForAWindow) {
  ZkTestCommandsReset();
  TestWindow().Pump();  // the pump has run before, but its windows are gone
  ZkTestCommandsFeed("key 30 down\nkey 31 down\n");
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
  EXPECT_FALSE(KeyDown('A'));
  TestWindow window;
  const std::vector<RecordedMessage> seen = window.Pump();
  EXPECT_GE(IndexOf(seen, WM_KEYDOWN, 'A'), 0);
  EXPECT_GT(IndexOf(seen, WM_KEYDOWN, 'S'), IndexOf(seen, WM_KEYDOWN, 'A'));
  ZkTestCommandsReset();
}

TEST_F(CommandsTest, TapLetsGoOneFrameLaterAndHoldsTheNextLineTillThen) {
  CD3DTestDevice device(ZK_D3D_BACKEND_NULL, D3DCREATE_HARDWARE_VERTEXPROCESSING, window.Handle());
  ASSERT_TRUE(device.ok());
  Run("tap 30\nkey 31 down\n");
  EXPECT_TRUE(KeyDown('A'));
  EXPECT_FALSE(KeyDown('S'));
  Run("");
  EXPECT_TRUE(KeyDown('A'));  // no frame yet

  ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  const std::vector<RecordedMessage> seen = Run("");
  EXPECT_FALSE(KeyDown('A'));
  EXPECT_TRUE(KeyDown('S'));
  EXPECT_LT(IndexOf(seen, WM_KEYUP, 'A'), IndexOf(seen, WM_KEYDOWN, 'S'));
}

TEST_F(CommandsTest, FramesAndWaitHoldTheLinesAfterThem) {
  CD3DTestDevice device(ZK_D3D_BACKEND_NULL, D3DCREATE_HARDWARE_VERTEXPROCESSING, window.Handle());
  ASSERT_TRUE(device.ok());
  ZkTestClockSetManual(1000000);
  Run("frames 2\nwait 50\nkey 30 down\n");
  for (int frame = 0; frame < 2; ++frame) {
    EXPECT_FALSE(KeyDown('A')) << frame;
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    ZkTestClockAdvance(40000);  // the wait has not begun: this time does not count
    Run("");
  }
  // The wait began with the second frame.
  ZkTestClockAdvance(49999);
  Run("");
  EXPECT_FALSE(KeyDown('A'));
  ZkTestClockAdvance(1);
  Run("");
  EXPECT_TRUE(KeyDown('A'));
}

TEST_F(CommandsTest, APartialLineWaitsForItsEnd) {
  Run("key 30 do");
  EXPECT_FALSE(KeyDown('A'));
  Run("wn\nkey 3");
  EXPECT_TRUE(KeyDown('A'));
  EXPECT_FALSE(KeyDown('S'));
  Run("1 down\n");
  EXPECT_TRUE(KeyDown('S'));
}

TEST_F(CommandsTest, LinesOverTheLimitAreRefusedAndSkippedToTheirEnd) {
  const size_t limit = 4096;
  testing::internal::CaptureStderr();
  Run("#" + std::string(limit - 1, 'x') + "\n");  // at the limit: an ordinary comment
  Run("key 31 down" + std::string(limit, 'x') + "\nkey 30 down\n");
  EXPECT_TRUE(KeyDown('A'));
  EXPECT_FALSE(KeyDown('S'));
  // Without a line end in sight, the line is refused as soon as it is too long and what follows
  // of it is dropped as it arrives.
  for (int piece = 0; piece < 4; ++piece) Run("key 32 down" + std::string(limit / 2, 'x'));
  Run("key 33 down\nkey 30 up\n");
  const std::string echoes = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(KeyDown('A'));
  EXPECT_FALSE(KeyDown('D'));
  EXPECT_FALSE(KeyDown('F'));
  EXPECT_EQ(CountOf(echoes, "refused: longer than 4096 bytes"), 2u) << echoes;
  EXPECT_EQ(CountOf(echoes, "zk-commands: "), 4u) << echoes;
}

// Each write comes from a writer that then goes away; the reader keeps reading after it.
class CommandFileTest : public CommandsTest, public ::testing::WithParamInterface<bool> {
 protected:
  void Write(const std::string& path, const std::string& text) {
    const int file = open(path.c_str(), O_WRONLY | O_APPEND | O_NONBLOCK);
    ASSERT_GE(file, 0) << path;
    ASSERT_EQ(write(file, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    close(file);
  }
};

TEST_P(CommandFileTest, ReadsAsLinesArriveAndAcrossWriters) {
  const bool fifo = GetParam();
  TempDir dir;
  const std::string path = dir / "commands";
  if (fifo)
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  else
    dir.Write("commands", "");
  ASSERT_TRUE(ZkTestCommandsOpen(path.c_str()));
  window.Pump();  // no writer yet, or an empty file: nothing to do, nothing blocks

  Write(path, "key 30 down\n");
  window.Pump();
  EXPECT_TRUE(KeyDown('A'));
  Write(path, "key 30 up\nkey 31 do");
  window.Pump();
  EXPECT_FALSE(KeyDown('A'));
  EXPECT_FALSE(KeyDown('S'));
  Write(path, "wn\n");
  window.Pump();
  EXPECT_TRUE(KeyDown('S'));
}

INSTANTIATE_TEST_SUITE_P(Sources, CommandFileTest, ::testing::Bool(),
                         [](const auto& info) { return std::string(info.param ? "Fifo" : "PlainFile"); });

TEST_F(CommandsTest, OpenRefusesWhatCannotBeRead) {
  TempDir dir;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(ZkTestCommandsOpen((dir / "missing").c_str()));
  EXPECT_FALSE(ZkTestCommandsOpen(dir.Path().c_str()));
  const std::string echoes = testing::internal::GetCapturedStderr();
  EXPECT_EQ(CountOf(echoes, "zk-commands: cannot read "), 2u) << echoes;
}

}  // namespace
