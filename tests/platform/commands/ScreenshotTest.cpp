#include <dirent.h>
#include <gtest/gtest.h>
#include <stb_image.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>
#include <string>
#include <vector>

#include "D3DTestDevice.h"
#include "TempDir.h"
#include "TestWindow.h"
#include "windows.h"
#include "zktest/ZkTestCommands.h"

namespace {

constexpr D3DCOLOR kBlue = D3DCOLOR_XRGB(20, 40, 220);
constexpr D3DCOLOR kRed = D3DCOLOR_XRGB(230, 30, 10);

bool KeyDown(int vk) { return (GetAsyncKeyState(vk) & 0x8000) != 0; }

std::set<std::string> FilesIn(const std::string& folder) {
  std::set<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* entry = readdir(dir))
      if (entry->d_name[0] != '.') names.insert(entry->d_name);
    closedir(dir);
  }
  return names;
}

// A decoded PNG, 8-bit RGBA.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgba;

  explicit Picture(const std::string& path) {
    int channels = 0;
    if (unsigned char* pixels = stbi_load(path.c_str(), &width, &height, &channels, 4)) {
      rgba.assign(pixels, pixels + static_cast<size_t>(width) * height * 4);
      stbi_image_free(pixels);
    }
  }
  D3DCOLOR At(int x, int y) const {
    const unsigned char* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
    return D3DCOLOR_ARGB(p[3], p[0], p[1], p[2]);
  }
};

// Every name the folder saw changing, with what happened to it.
std::vector<std::pair<std::string, uint32_t>> Changes(int watch) {
  std::vector<std::pair<std::string, uint32_t>> changes;
  alignas(inotify_event) char buffer[8192];
  ssize_t length;
  while ((length = read(watch, buffer, sizeof buffer)) > 0)
    for (char* at = buffer; at < buffer + length;) {
      const inotify_event* event = reinterpret_cast<const inotify_event*>(at);
      changes.emplace_back(event->len ? event->name : "", event->mask);
      at += sizeof(inotify_event) + event->len;
    }
  return changes;
}

// A shown window of 320 x 240 with a device whose back buffer is 64 x 64, stretched onto it.
class ScreenshotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ZkTestCommandsReset();
    ShowWindow(window.Handle(), SW_SHOW);
    window.Pump();
    ASSERT_TRUE(device.ok()) << std::hex << device.result();
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, kBlue, 1.f, 0), D3D_OK);
    const D3DRECT topLeft = {0, 0, 32, 32};
    ASSERT_EQ(device->Clear(1, &topLeft, D3DCLEAR_TARGET, kRed, 1.f, 0), D3D_OK);
  }
  void TearDown() override { ZkTestCommandsReset(); }
  // Commands a screenshot and a key after it, and presents one frame.
  void ScreenshotAndPresent(const std::string& file) {
    ZkTestCommandsFeed(("screenshot " + file + "\nkey 30 down\n").c_str());
    window.Pump();
    EXPECT_FALSE(KeyDown('A'));  // held until the screenshot is done
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    window.Pump();
    EXPECT_TRUE(KeyDown('A'));
  }

  TestWindow window;
  CD3DTestDevice device{ZK_D3D_BACKEND_GL, D3DCREATE_HARDWARE_VERTEXPROCESSING, window.Handle()};
  TempDir dir;
};

TEST_F(ScreenshotTest, WritesWhatTheWindowShowsTopRowFirstAtItsSize) {
  const int watch = inotify_init1(IN_NONBLOCK);
  ASSERT_GE(watch, 0);
  ASSERT_GE(inotify_add_watch(watch, dir.Path().c_str(), IN_CREATE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO), 0);

  ScreenshotAndPresent(dir / "shot.png");

  const Picture shot(dir / "shot.png");
  ASSERT_EQ(shot.width, 320);
  ASSERT_EQ(shot.height, 240);
  // The back buffer's top-left quarter fills the window's top-left quarter.
  EXPECT_TRUE(ColorNear(shot.At(40, 30), kRed, 3, true)) << std::hex << shot.At(40, 30);
  EXPECT_TRUE(ColorNear(shot.At(280, 30), kBlue, 3, true)) << std::hex << shot.At(280, 30);
  EXPECT_TRUE(ColorNear(shot.At(40, 210), kBlue, 3, true)) << std::hex << shot.At(40, 210);
  EXPECT_TRUE(ColorNear(shot.At(280, 210), kBlue, 3, true)) << std::hex << shot.At(280, 210);

  // The file only ever came into being by a rename: nobody could have opened it half written.
  const auto changes = Changes(watch);
  close(watch);
  bool renamedIn = false;
  for (const auto& [name, mask] : changes) {
    if (name != "shot.png") continue;
    EXPECT_EQ(mask, static_cast<uint32_t>(IN_MOVED_TO));
    renamedIn |= mask == IN_MOVED_TO;
  }
  EXPECT_TRUE(renamedIn);
  EXPECT_EQ(FilesIn(dir.Path()), std::set<std::string>{"shot.png"});
}

TEST_F(ScreenshotTest, APathThatCannotBeWrittenIsReportedAndTheLinesGoOn) {
  ASSERT_EQ(mkdir((dir / "folder").c_str(), 0700), 0);
  const std::string unwritable[] = {dir / "missing/shot.png", dir / "folder"};
  for (const std::string& file : unwritable) {
    ZkTestCommandsReset();
    ZkTestCommandsFeed("key 30 up\n");
    window.Pump();
    testing::internal::CaptureStderr();
    ScreenshotAndPresent(file);
    const std::string echoes = testing::internal::GetCapturedStderr();
    EXPECT_NE(echoes.find("zk-commands: screenshot " + file + " failed: "), std::string::npos) << echoes;
  }
  EXPECT_EQ(FilesIn(dir.Path()), std::set<std::string>{"folder"});
}

// An engine makes its window small and sizes it for the device before making the device. An
// offscreen window's surface keeps the size it was made with, yet the screenshot still shows the
// whole back buffer.
TEST(ResizedWindowScreenshotTest, ShowsAllOfAWindowEnlargedBeforeItsDevice) {
  ZkTestCommandsReset();
  TestWindow window;  // 320 x 240
  ShowWindow(window.Handle(), SW_SHOW);
  ASSERT_TRUE(SetWindowPos(window.Handle(), HWND_NOTOPMOST, 0, 0, 640, 480, SWP_SHOWWINDOW));
  window.Pump();
  CD3DTestDevice device(ZK_D3D_BACKEND_GL, CD3DTestDevice::Deferred{});
  IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
  ASSERT_NE(d3d, nullptr);
  D3DPRESENT_PARAMETERS parameters = {};
  parameters.BackBufferWidth = 640;
  parameters.BackBufferHeight = 480;
  parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
  parameters.BackBufferCount = 1;
  parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
  parameters.Windowed = TRUE;
  parameters.hDeviceWindow = window.Handle();
  IDirect3DDevice9* made = nullptr;
  ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window.Handle(),
                              D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &made),
            D3D_OK);
  device.Adopt(made);
  made->Release();
  d3d->Release();
  ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, kBlue, 1.f, 0), D3D_OK);
  const D3DRECT bottomRight = {480, 360, 640, 480};
  ASSERT_EQ(device->Clear(1, &bottomRight, D3DCLEAR_TARGET, kRed, 1.f, 0), D3D_OK);

  TempDir dir;
  ZkTestCommandsFeed(("screenshot " + (dir / "shot.png") + "\n").c_str());
  window.Pump();
  ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  const Picture shot(dir / "shot.png");
  ASSERT_EQ(shot.width, 640);
  ASSERT_EQ(shot.height, 480);
  EXPECT_TRUE(ColorNear(shot.At(600, 450), kRed, 3, true)) << std::hex << shot.At(600, 450);
  EXPECT_TRUE(ColorNear(shot.At(400, 300), kBlue, 3, true)) << std::hex << shot.At(400, 300);
  EXPECT_TRUE(ColorNear(shot.At(40, 30), kBlue, 3, true)) << std::hex << shot.At(40, 30);
  ZkTestCommandsReset();
}

TEST(NullScreenshotTest, RefusedOnTheNullBackEnd) {
  ZkTestCommandsReset();
  TestWindow window;
  CD3DTestDevice device(ZK_D3D_BACKEND_NULL, D3DCREATE_HARDWARE_VERTEXPROCESSING, window.Handle());
  ASSERT_TRUE(device.ok());
  TempDir dir;
  testing::internal::CaptureStderr();
  ZkTestCommandsFeed(("screenshot " + (dir / "shot.png") + "\nkey 30 down\n").c_str());
  window.Pump();
  const std::string echoes = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(KeyDown('A'));  // nothing to wait for
  EXPECT_NE(echoes.find("shot.png refused: "), std::string::npos) << echoes;
  ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
  EXPECT_TRUE(FilesIn(dir.Path()).empty());
  ZkTestCommandsReset();
}

}  // namespace
