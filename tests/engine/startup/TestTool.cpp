// A tool library for the engine's tool loader. Built several times, each build not fitting in
// one way (chosen by compile definitions); every call it gets is logged through the engine's log,
// so a test sees what the engine called and in what order.
#include "ZKDXGlobals.h"
#include "ZKDXInterface.h"
#include "core/EngineLog.h"

#ifndef TOOL_ZEKORB_VERSION
#define TOOL_ZEKORB_VERSION ZEKORB_VERSION
#endif
#ifndef TOOL_INIT_RESULT
#define TOOL_INIT_RESULT 1
#endif

// ToolShow's answer, so that a test can tell it came back from the tool.
#define TOOL_SHOW_RESULT 5

#define TOOL_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

CZeKorbD3DInterface* g_engine = nullptr;

void Record(const char* call) {
  if (g_engine && g_engine->GetLogInterface())
    g_engine->GetLogInterface()->Log("TestTool", __LINE__, CEngineLog::kLevelUser, "%s\n", call);
}

}  // namespace

TOOL_EXPORT DWORD GetToolVersion() { return 1; }

TOOL_EXPORT DWORD GetToolZeKorbVersion() { return TOOL_ZEKORB_VERSION; }

TOOL_EXPORT int ToolInit(CZeKorbD3DInterface* engine) {
  g_engine = engine;
  Record("ToolInit");
  return TOOL_INIT_RESULT;
}

#ifndef TOOL_WITHOUT_SHOW
TOOL_EXPORT int ToolShow(CSceneInterface* scene) {
  Record(scene ? "ToolShow" : "ToolShow without a scene");
  return TOOL_SHOW_RESULT;
}
#endif

TOOL_EXPORT int ToolGetErrorCode() { return 0; }

TOOL_EXPORT void ToolDeInit() {
  Record("ToolDeInit");
#ifdef TOOL_DEINIT_CLOSES_ENGINE
  // A tool that closes the engine while the engine is unloading it.
  g_engine->CloseZeKorb();
#endif
  g_engine = nullptr;
}
