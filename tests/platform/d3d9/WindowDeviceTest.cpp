#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include "D3DTestDevice.h"
#include "TestWindow.h"
#include "zkplatform/ZkWindow.h"

// The engine hands the device its own window: the device must draw there, not into a window of
// its own, so that presented frames reach the screen the player sees.
TEST(WindowDeviceTest, DeviceDrawsIntoTheApplicationsWindow) {
  TestWindow window(WS_POPUP);
  SDL_Window* sdlWindow = ZkSdlWindowFromHwnd(window.Handle());
  ASSERT_NE(sdlWindow, nullptr);

  CD3DTestDevice device(ZK_D3D_BACKEND_GL, D3DCREATE_HARDWARE_VERTEXPROCESSING, window.Handle());
  ASSERT_TRUE(device.ok()) << std::hex << device.result();
  ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(200, 10, 20), 1.0f, 0), D3D_OK);
  EXPECT_EQ(SDL_GL_GetCurrentWindow(), sdlWindow);
  EXPECT_TRUE(ColorNear(CD3DTestDevice::At(device.ReadBackBuffer(), 5, 5), D3DCOLOR_XRGB(200, 10, 20)));
  EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  window.Pump();
}
