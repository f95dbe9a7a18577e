#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "TestWindow.h"
#include "dinput.h"
#include "windows.h"
#include "zktest/ZkTestInput.h"

namespace {

LPDIRECTINPUT8 MakeDirectInput() {
  LPDIRECTINPUT8 input = nullptr;
  EXPECT_EQ(DirectInput8Create(nullptr, DIRECTINPUT_VERSION, IID_IDirectInput8A,
                               reinterpret_cast<void**>(&input), nullptr),
            DI_OK);
  return input;
}

BOOL CALLBACK Collect(LPCDIDEVICEINSTANCEA device, LPVOID list) {
  static_cast<std::vector<DIDEVICEINSTANCEA>*>(list)->push_back(*device);
  return DIENUM_CONTINUE;
}

BOOL CALLBACK StopAtFirst(LPCDIDEVICEINSTANCEA, LPVOID count) {
  ++*static_cast<int*>(count);
  return DIENUM_STOP;
}

// A device made, formatted and acquired as the engine does it.
LPDIRECTINPUTDEVICE8 Open(LPDIRECTINPUT8 input, REFGUID guid, const DIDATAFORMAT& format,
                          HWND window, DWORD level) {
  LPDIRECTINPUTDEVICE8 device = nullptr;
  EXPECT_EQ(input->CreateDevice(guid, &device, nullptr), DI_OK);
  if (!device) return nullptr;
  EXPECT_EQ(device->SetDataFormat(&format), DI_OK);
  EXPECT_EQ(device->SetCooperativeLevel(window, level), DI_OK);
  EXPECT_EQ(device->Acquire(), DI_OK);
  return device;
}

class DirectInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ShowWindow(window.Handle(), SW_SHOW);
    window.Pump();
    input = MakeDirectInput();
    ASSERT_NE(input, nullptr);
  }
  void TearDown() override {
    if (input) input->Release();
  }
  TestWindow window;
  LPDIRECTINPUT8 input = nullptr;
};

TEST(DirectInputCreateTest, VersionAndInterfaceAreChecked) {
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(DirectInput8Create(nullptr, 0x0700, IID_IDirectInput8A, &out, nullptr),
            DIERR_OLDDIRECTINPUTVERSION);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(DirectInput8Create(nullptr, 0x0900, IID_IDirectInput8A, &out, nullptr),
            DIERR_BETADIRECTINPUTVERSION);
  EXPECT_EQ(DirectInput8Create(nullptr, 0x0800, IID_IUnknown, &out, nullptr), DIERR_NOINTERFACE);
  EXPECT_EQ(DirectInput8Create(nullptr, 0x0800, IID_IDirectInput8A, nullptr, nullptr),
            DIERR_INVALIDPARAM);
}

TEST_F(DirectInputTest, EnumeratesTheSystemKeyboardAndMouseByClass) {
  std::vector<DIDEVICEINSTANCEA> keyboards, pointers, all;
  ASSERT_EQ(input->EnumDevices(DI8DEVCLASS_KEYBOARD, Collect, &keyboards, DIEDFL_ATTACHEDONLY),
            DI_OK);
  ASSERT_EQ(keyboards.size(), 1u);
  EXPECT_TRUE(keyboards[0].guidInstance == GUID_SysKeyboard);
  EXPECT_EQ(GET_DIDEVICE_TYPE(keyboards[0].dwDevType), DI8DEVTYPE_KEYBOARD);
  EXPECT_EQ(keyboards[0].dwSize, sizeof(DIDEVICEINSTANCEA));

  input->EnumDevices(DI8DEVCLASS_POINTER, Collect, &pointers, DIEDFL_ATTACHEDONLY);
  ASSERT_EQ(pointers.size(), 1u);
  EXPECT_TRUE(pointers[0].guidInstance == GUID_SysMouse);
  EXPECT_EQ(GET_DIDEVICE_TYPE(pointers[0].dwDevType), DI8DEVTYPE_MOUSE);

  input->EnumDevices(DI8DEVCLASS_ALL, Collect, &all, DIEDFL_ATTACHEDONLY);
  EXPECT_EQ(all.size(), 2u);  // no joystick attached
  int calls = 0;
  input->EnumDevices(DI8DEVCLASS_ALL, StopAtFirst, &calls, DIEDFL_ATTACHEDONLY);
  EXPECT_EQ(calls, 1);

  LPDIRECTINPUTDEVICE8 device = reinterpret_cast<LPDIRECTINPUTDEVICE8>(1);
  EXPECT_EQ(input->CreateDevice(GUID_XAxis, &device, nullptr), DIERR_DEVICENOTREG);
  EXPECT_EQ(device, nullptr);
}

TEST_F(DirectInputTest, KeyboardReadsKeyBytesByDikCode) {
  LPDIRECTINPUTDEVICE8 keyboard = Open(input, GUID_SysKeyboard, c_dfDIKeyboard, window.Handle(),
                                       DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | DISCL_NOWINKEY);
  ASSERT_NE(keyboard, nullptr);
  ZkTestInputKey(window.Handle(), DIK_A, TRUE);
  ZkTestInputKey(window.Handle(), DIK_UP, TRUE);
  ZkTestInputKey(window.Handle(), DIK_GRAVE, TRUE);
  ZkTestInputKey(window.Handle(), DIK_GRAVE, FALSE);
  window.Pump();
  BYTE keys[256];
  EXPECT_EQ(keyboard->Poll(), DI_NOEFFECT);
  ASSERT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DI_OK);
  for (int code = 0; code < 256; ++code) {
    const bool down = code == DIK_A || code == DIK_UP;
    EXPECT_EQ(keys[code], down ? 0x80 : 0) << code;
  }
  EXPECT_EQ(keyboard->GetDeviceState(sizeof(DIMOUSESTATE2), keys), DIERR_INVALIDPARAM);
  EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, nullptr), DIERR_INVALIDPARAM);
  // A device takes its own format only, and none while acquired.
  EXPECT_EQ(keyboard->SetDataFormat(&c_dfDIKeyboard), DIERR_ACQUIRED);
  keyboard->Unacquire();
  EXPECT_EQ(keyboard->SetDataFormat(&c_dfDIMouse2), DIERR_INVALIDPARAM);
  EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DIERR_NOTACQUIRED);
  keyboard->Release();
}

TEST_F(DirectInputTest, MouseReportsMotionAndWheelSinceItsLastRead) {
  LPDIRECTINPUTDEVICE8 mouse = nullptr;
  ASSERT_EQ(input->CreateDevice(GUID_SysMouse, &mouse, nullptr), DI_OK);
  ASSERT_EQ(mouse->SetDataFormat(&c_dfDIMouse2), DI_OK);
  ASSERT_EQ(mouse->SetCooperativeLevel(window.Handle(), DISCL_NONEXCLUSIVE | DISCL_FOREGROUND),
            DI_OK);
  DIPROPDWORD mode = {};
  mode.diph.dwSize = sizeof mode;
  mode.diph.dwHeaderSize = sizeof(DIPROPHEADER);
  mode.diph.dwHow = DIPH_DEVICE;
  mode.dwData = DIPROPAXISMODE_REL;
  ASSERT_EQ(mouse->SetProperty(DIPROP_AXISMODE, &mode.diph), DI_OK);
  ASSERT_EQ(mouse->Acquire(), DI_OK);
  EXPECT_EQ(mouse->Acquire(), DI_NOEFFECT);
  LPDIRECTINPUTDEVICE8 second = Open(input, GUID_SysMouse, c_dfDIMouse2, window.Handle(),
                                     DISCL_NONEXCLUSIVE | DISCL_BACKGROUND);

  ZkTestInputMouseMove(window.Handle(), 13, 8, 3, -2);
  ZkTestInputMouseMove(window.Handle(), 17, 9, 4, 1);
  ZkTestInputMouseWheel(window.Handle(), 1);
  ZkTestInputMouseButton(window.Handle(), 0, TRUE, 1);
  auto seen = window.Pump();
  EXPECT_EQ(TestWindow::Only(seen, WM_MOUSEMOVE).size(), 2u);
  EXPECT_EQ(TestWindow::Only(seen, WM_MOUSEWHEEL).size(), 1u);

  DIMOUSESTATE2 state = {};
  ASSERT_EQ(mouse->GetDeviceState(sizeof state, &state), DI_OK);
  EXPECT_EQ(state.lX, 7);
  EXPECT_EQ(state.lY, -1);
  EXPECT_EQ(state.lZ, 120);
  EXPECT_EQ(state.rgbButtons[0], 0x80);
  EXPECT_EQ(state.rgbButtons[1], 0);
  // Read again: no new motion, the button still held.
  ASSERT_EQ(mouse->GetDeviceState(sizeof state, &state), DI_OK);
  EXPECT_EQ(state.lX, 0);
  EXPECT_EQ(state.lY, 0);
  EXPECT_EQ(state.lZ, 0);
  EXPECT_EQ(state.rgbButtons[0], 0x80);
  // Another reader has its own "last read".
  ASSERT_EQ(second->GetDeviceState(sizeof state, &state), DI_OK);
  EXPECT_EQ(state.lX, 7);
  EXPECT_EQ(state.lZ, 120);

  mode.dwData = 7;
  mouse->Unacquire();
  EXPECT_EQ(mouse->SetProperty(DIPROP_AXISMODE, &mode.diph), DIERR_INVALIDPARAM);
  EXPECT_EQ(mouse->SetProperty(DIPROP_AXISMODE, nullptr), DIERR_INVALIDPARAM);
  second->Release();
  mouse->Release();
}

TEST_F(DirectInputTest, AnotherThreadReadsWhatTheMainThreadPumped) {
  LPDIRECTINPUTDEVICE8 keyboard = Open(input, GUID_SysKeyboard, c_dfDIKeyboard, window.Handle(),
                                       DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
  ZkTestInputKey(window.Handle(), DIK_SPACE, TRUE);
  BYTE before[256] = {};
  // Nothing reaches the snapshot until the pump runs on the main thread.
  std::thread([&] { keyboard->GetDeviceState(sizeof before, before); }).join();
  EXPECT_EQ(before[DIK_SPACE], 0);
  window.Pump();
  BYTE after[256] = {};
  HRESULT result = E_FAIL;
  std::thread([&] { result = keyboard->GetDeviceState(sizeof after, after); }).join();
  EXPECT_EQ(result, DI_OK);
  EXPECT_EQ(after[DIK_SPACE], 0x80);
  keyboard->Release();
}

TEST_F(DirectInputTest, ForegroundDevicesStopReadingWhenTheWindowLosesTheFocus) {
  LPDIRECTINPUTDEVICE8 foreground = Open(input, GUID_SysKeyboard, c_dfDIKeyboard, window.Handle(),
                                         DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
  LPDIRECTINPUTDEVICE8 background = Open(input, GUID_SysKeyboard, c_dfDIKeyboard, window.Handle(),
                                         DISCL_NONEXCLUSIVE | DISCL_BACKGROUND);
  ZkTestInputFocus(window.Handle(), FALSE);
  window.Pump();
  BYTE keys[256];
  EXPECT_EQ(foreground->Poll(), DIERR_INPUTLOST);
  EXPECT_EQ(foreground->GetDeviceState(sizeof keys, keys), DIERR_NOTACQUIRED);
  // Re-acquiring fails without ever answering "input lost", which callers retry on.
  EXPECT_EQ(foreground->Acquire(), DIERR_OTHERAPPHASPRIO);
  EXPECT_EQ(background->GetDeviceState(sizeof keys, keys), DI_OK);

  ZkTestInputFocus(window.Handle(), TRUE);
  window.Pump();
  EXPECT_EQ(foreground->Acquire(), DI_OK);
  EXPECT_EQ(foreground->GetDeviceState(sizeof keys, keys), DI_OK);
  foreground->Release();
  background->Release();
}

TEST_F(DirectInputTest, CooperativeLevelsAndAcquireAreChecked) {
  LPDIRECTINPUTDEVICE8 keyboard = nullptr;
  ASSERT_EQ(input->CreateDevice(GUID_SysKeyboard, &keyboard, nullptr), DI_OK);
  EXPECT_EQ(keyboard->Acquire(), DIERR_INVALIDPARAM);  // no data format yet
  const DWORD invalid[] = {0, DISCL_FOREGROUND,
                           DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | DISCL_FOREGROUND,
                           DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | DISCL_BACKGROUND};
  for (DWORD level : invalid)
    EXPECT_EQ(keyboard->SetCooperativeLevel(window.Handle(), level), DIERR_INVALIDPARAM) << level;
  EXPECT_EQ(keyboard->SetCooperativeLevel(window.Handle(), DISCL_EXCLUSIVE | DISCL_BACKGROUND),
            DIERR_UNSUPPORTED);
  EXPECT_EQ(keyboard->SetCooperativeLevel(nullptr, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND),
            E_HANDLE);
  EXPECT_EQ(keyboard->SetCooperativeLevel(nullptr, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND), DI_OK);
  EXPECT_EQ(keyboard->Unacquire(), DI_NOEFFECT);
  EXPECT_EQ(keyboard->Release(), 0u);
}

}  // namespace
