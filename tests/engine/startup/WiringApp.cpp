// A program built with the engine's code linked in, so that it can look into the engine's
// context: it starts the engine through the export and the top interface, as an application
// does, and reports every port of the context after Init and again after the shutdown, one line
// each ("<name> real" or "<name> default").
//
//   startup_wiring_app
//
// It runs in the test's folder, which is its lock, log and licence folder.
#include <cstdio>
#include <filesystem>
#include <string>

#include "ZKDXGlobals.h"
#include "ZKDXInterface.h"
#include "console/ConsoleToolBox.h"
#include "core/ConsoleFrame.h"
#include "core/EngineContext.h"
#include "core/EngineRelease.h"
#include "core/GuiKeyQueue.h"
#include "d3d/GuiTextureFactory.h"
#include "scene/GenericPassInterface.h"
#include "scene/LightSpatial.h"
#include "scene/LightWaveLoader.h"
#include "scene/MeshFileReader.h"
#include "scene/MeshShaderLibrary.h"
#include "scene/MeshSpatial.h"
#include "scene/MeshSurfaceFactory.h"
#include "scene/NullScriptHost.h"
#include "scene/SceneFileReader.h"
#include "scene/ScenePasses.h"
#include "scene/SceneShaderLibrary.h"
#include "scene/SurfaceShaderLibrary.h"
#include "script/ScriptTopInterface.h"
#include "TestConfig.h"
#include "zktest/ZkTestKernel.h"

namespace {

void ReportPorts(const char* when) {
  std::printf("%s\n", when);
  GetEngineContext()->ports.ForEach([](const char* name, const auto& port) {
    std::printf("%s %s\n", name, port.IsDefault() ? "default" : "real");
  });
  const CEngineContext* context = GetEngineContext();
  std::printf("lightingPasses %s\n",
              context->pPerVertexPass && context->pPerPixelPass ? "real" : "none");
  std::fflush(stdout);
}

}  // namespace

int main() {
  static const std::string folder = std::filesystem::current_path().string();
  ZkTestSetLockFolder(folder.c_str());
  ZkTestMessageBoxCapture(true);
  ZkTestSetExitHook([](UINT code) {
    std::printf("exit %u\n", code);
    std::fflush(stdout);
  });

  static ApplicationDescriptor descriptor = {};
  descriptor.dwSize = sizeof descriptor;
  descriptor.dwVersion = ZEKORB_VERSION;
  descriptor.szWindowTitle = "Wiring test";
  descriptor.szApplicationName = "WiringApp";
  descriptor.szLogDirectory = folder.c_str();
  descriptor.szOverrideDirectory = folder.c_str();
  descriptor.dwUseLogs = 1;
  descriptor.dwWindowed = 1;
  descriptor.fpQuitCallback = [] {};
  descriptor.dwUseQuitCallback = 1;
  CZeKorbD3DInterface* engine = GetZeKorbD3DInterface(&descriptor);
  if (!engine) return 2;

  static ConfigureGFX presets[2] = {};
  static ZeKorbConfig config = {};
  FillTestConfig(config, presets);
  engine->Init(&config);
  ReportPorts("after Init");
  engine->CloseZeKorb();
  ReportPorts("after shutdown");
  return 0;
}
