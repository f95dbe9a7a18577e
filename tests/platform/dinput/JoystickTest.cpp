#include <SDL2/SDL_joystick.h>
#include <gtest/gtest.h>

#include <vector>

#include "TestWindow.h"
#include "dinput.h"
#include "windows.h"
#include "zktest/ZkTestInput.h"

namespace {

struct RangeRequest {
  LPDIRECTINPUTDEVICE8 device;
  int axes = 0;
};

// What the game does for every axis: a range of -1000 to 1000, by object id.
BOOL CALLBACK SetAxisRange(LPCDIDEVICEOBJECTINSTANCEA object, LPVOID context) {
  auto* request = static_cast<RangeRequest*>(context);
  if (!(DIDFT_GETTYPE(object->dwType) & DIDFT_AXIS)) return DIENUM_CONTINUE;
  DIPROPRANGE range = {};
  range.diph.dwSize = sizeof range;
  range.diph.dwHeaderSize = sizeof(DIPROPHEADER);
  range.diph.dwHow = DIPH_BYID;
  range.diph.dwObj = object->dwType;
  range.lMin = -1000;
  range.lMax = 1000;
  if (FAILED(request->device->SetProperty(DIPROP_RANGE, &range.diph))) return DIENUM_STOP;
  ++request->axes;
  return DIENUM_CONTINUE;
}

BOOL CALLBACK Collect(LPCDIDEVICEINSTANCEA device, LPVOID list) {
  static_cast<std::vector<DIDEVICEINSTANCEA>*>(list)->push_back(*device);
  return DIENUM_CONTINUE;
}

class JoystickTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ShowWindow(window.Handle(), SW_SHOW);
    window.Pump();
    stick = ZkTestInputAttachJoystick(3, 16, 1);
    ASSERT_GT(stick, 0);
    ASSERT_EQ(DirectInput8Create(nullptr, DIRECTINPUT_VERSION, IID_IDirectInput8A,
                                 reinterpret_cast<void**>(&input), nullptr),
              DI_OK);
    std::vector<DIDEVICEINSTANCEA> found;
    ASSERT_EQ(input->EnumDevices(DI8DEVCLASS_GAMECTRL, Collect, &found, DIEDFL_ATTACHEDONLY),
              DI_OK);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(GET_DIDEVICE_TYPE(found[0].dwDevType), DI8DEVTYPE_JOYSTICK);
    ASSERT_EQ(input->CreateDevice(found[0].guidInstance, &device, nullptr), DI_OK);
    ASSERT_EQ(device->SetDataFormat(&c_dfDIJoystick2), DI_OK);
    ASSERT_EQ(device->SetCooperativeLevel(window.Handle(), DISCL_EXCLUSIVE | DISCL_FOREGROUND),
              DI_OK);
  }
  void TearDown() override {
    if (device) device->Release();
    if (input) input->Release();
    ZkTestInputDetachJoystick(stick);
  }
  DIJOYSTATE2 Read() {
    window.Pump();
    DIJOYSTATE2 state = {};
    EXPECT_EQ(device->Poll(), DI_OK);
    EXPECT_EQ(device->GetDeviceState(sizeof state, &state), DI_OK);
    return state;
  }

  TestWindow window;
  int stick = -1;
  LPDIRECTINPUT8 input = nullptr;
  LPDIRECTINPUTDEVICE8 device = nullptr;
};

TEST_F(JoystickTest, AxesAreScaledToTheirSetRanges) {
  RangeRequest request{device};
  ASSERT_EQ(device->EnumObjects(SetAxisRange, &request, DIDFT_ALL), DI_OK);
  EXPECT_EQ(request.axes, 3);
  ASSERT_EQ(device->Acquire(), DI_OK);

  const struct {
    SHORT raw;
    LONG scaled;
  } cases[] = {{-32768, -1000}, {-16384, -500}, {0, 0}, {16384, 500}, {32767, 1000}};
  for (const auto& one : cases) {
    ASSERT_TRUE(ZkTestInputJoystickAxis(stick, 0, one.raw));
    ASSERT_TRUE(ZkTestInputJoystickAxis(stick, 1, static_cast<SHORT>(-1 - one.raw)));
    const DIJOYSTATE2 state = Read();
    EXPECT_EQ(state.lX, one.scaled) << one.raw;
    EXPECT_EQ(state.lY, -one.scaled) << one.raw;
  }
  // An axis the stick lacks rests in the middle of the default range.
  EXPECT_EQ(Read().lRx, 32768);
}

TEST_F(JoystickTest, ButtonsAndHatsReadAsBytesAndDirections) {
  ASSERT_EQ(device->Acquire(), DI_OK);
  ZkTestInputJoystickButton(stick, 3, TRUE);
  ZkTestInputJoystickHat(stick, 0, SDL_HAT_RIGHT);
  DIJOYSTATE2 state = Read();
  EXPECT_EQ(state.rgbButtons[3], 0x80);
  EXPECT_EQ(state.rgbButtons[0], 0);
  EXPECT_EQ(state.rgdwPOV[0], 9000u);
  EXPECT_EQ(state.rgdwPOV[1], 0xFFFFFFFFu);
  ZkTestInputJoystickButton(stick, 3, FALSE);
  ZkTestInputJoystickHat(stick, 0, SDL_HAT_CENTERED);
  state = Read();
  EXPECT_EQ(state.rgbButtons[3], 0);
  EXPECT_EQ(state.rgdwPOV[0], 0xFFFFFFFFu);
}

TEST_F(JoystickTest, BadRangesAreRefused) {
  DIPROPRANGE range = {};
  range.diph.dwSize = sizeof range;
  range.diph.dwHeaderSize = sizeof(DIPROPHEADER);
  range.diph.dwHow = DIPH_BYID;
  range.diph.dwObj = DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(5);  // the stick has three axes
  range.lMin = -1;
  range.lMax = 1;
  EXPECT_EQ(device->SetProperty(DIPROP_RANGE, &range.diph), DIERR_OBJECTNOTFOUND);
  range.diph.dwObj = DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(0);
  range.lMin = 5;
  range.lMax = 5;
  EXPECT_EQ(device->SetProperty(DIPROP_RANGE, &range.diph), DIERR_INVALIDPARAM);
  range.diph.dwSize = sizeof(DIPROPDWORD);
  range.lMax = 10;
  EXPECT_EQ(device->SetProperty(DIPROP_RANGE, &range.diph), DIERR_INVALIDPARAM);
}

TEST_F(JoystickTest, AnUnpluggedStickIsLostAndCannotBeAcquired) {
  ASSERT_EQ(device->Acquire(), DI_OK);
  ASSERT_TRUE(ZkTestInputDetachJoystick(stick));
  window.Pump();
  EXPECT_EQ(device->Poll(), DIERR_INPUTLOST);
  EXPECT_EQ(device->Acquire(), DIERR_UNPLUGGED);
}

}  // namespace
