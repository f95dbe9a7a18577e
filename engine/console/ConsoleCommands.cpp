#include "console/ConsoleCommands.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "ZKDXInterface.h"
#include "console/Console.h"
#include "console/ConsoleToolBox.h"
#include "core/EngineContext.h"
#include "core/Profiler.h"
#include "d3d/D3D9Enumeration.h"
#include "d3d/EngineRenderer.h"
#include "scene/Light.h"

namespace {

constexpr size_t kLineSize = ConsoleLine::kTextLength + 1;

CEngineContext* ContextOf(void* argument) { return static_cast<CEngineContext*>(argument); }

CConsole* Console() { return GetEngineContext()->pConsole; }

void PrintLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
void PrintLine(const char* format, ...) {
  CConsole* console = Console();
  if (console == nullptr) return;
  va_list args;
  va_start(args, format);
  std::vsnprintf(console->NextOutputLine()->szText, kLineSize, format, args);
  va_end(args);
}

void OpenLiveLine(int (*refresh)(char*, void*)) {
  CConsole* console = Console();
  if (console == nullptr) return;
  ConsoleLine* line = console->NextOutputLine();
  line->fpRefresh = refresh;
  line->pRefreshArgument = GetEngineContext();
}

// The active scene's active camera; null when either is missing.
CCameraInterface* ActiveCamera(CEngineContext* context) {
  return context->pActiveScene ? context->pActiveScene->GetActiveCamera() : nullptr;
}

// --- refresh functions: each rewrites its line's text ---

int RefreshRendererDescription(char* text, void* argument) {
  auto* renderer = dynamic_cast<CEngineRenderer*>(ContextOf(argument)->pRenderer);
  const CD3D9Enumeration* enumeration = renderer ? renderer->GetEnumeration() : nullptr;
  if (enumeration == nullptr) return 0;
  const char* description = enumeration->GetDescription();
  const size_t length = strnlen(description, ConsoleLine::kTextLength);
  std::memcpy(text, description, length);
  text[length] = '\0';
  return 1;
}

int RefreshStatistics(char* text, void* argument) {
  const CProfiler* profiler = ContextOf(argument)->pProfiler;
  if (profiler == nullptr) return 0;
  auto count = [profiler](CProfiler::Counter counter) {
    return static_cast<int>(profiler->GetAverage(counter));
  };
  std::snprintf(text, kLineSize, "Tris: %i, Verts: %i, DIPs: %i, ST: %i\n",
                count(CProfiler::kTriangles), count(CProfiler::kVertices),
                count(CProfiler::kDIPs), count(CProfiler::kSetTexture));
  return 1;
}

int RefreshVisibleMeshes(char* text, void* argument) {
  CCameraInterface* camera = ActiveCamera(ContextOf(argument));
  if (camera == nullptr) return 0;
  std::snprintf(text, kLineSize, "Number Of Visible Meshes: %i\n",
                static_cast<int>(camera->GetNumberOfVisibleMeshes()));
  return 1;
}

int RefreshVisibleLights(char* text, void* argument) {
  CCameraInterface* camera = ActiveCamera(ContextOf(argument));
  if (camera == nullptr) return 0;
  std::snprintf(text, kLineSize, "Number Of Visible Lights: %i\n",
                static_cast<int>(camera->GetNumberOfVisibleLights()));
  return 1;
}

int RefreshVisibleShadowVolumes(char* text, void* argument) {
  CCameraInterface* camera = ActiveCamera(ContextOf(argument));
  if (camera == nullptr) return 0;
  UINT volumes = 0;
  for (UINT i = 0; i < camera->GetNumberOfVisibleLights(); ++i)
    if (const auto* light = dynamic_cast<const CLight*>(camera->GetVisibleLight(i, 0)))
      volumes += light->GetNumberOfVisibleShadowVolumes();
  std::snprintf(text, kLineSize, "Number Of Visible Shadow Volumes: %i\n",
                static_cast<int>(volumes));
  return 1;
}

// Memory taken since pre-initialisation; negative when more is free now than then.
int RefreshMemoryUsage(char* text, void* argument) {
  MEMORYSTATUS memory = {};
  memory.dwLength = sizeof memory;
  GlobalMemoryStatus(&memory);
  const int64_t taken = static_cast<int64_t>(ContextOf(argument)->qwFreePhysicalMemory) -
                        static_cast<int64_t>(memory.dwAvailPhys);
  std::snprintf(text, kLineSize, "Estimated Memory Usage: %7.03f megs\n",
                static_cast<double>(taken) * 9.5367431640625e-07);
  return 1;
}

// --- handlers ---

void GetRendererDescription() { OpenLiveLine(RefreshRendererDescription); }

void ShowToolBox() {
  // Without a tool (or when it shows nothing) the engine's own scene editor lists every scene.
  if (GetEngineContext()->ports.toolBox->Show() == 0)
    if (CConsole* console = Console()) console->OpenSceneEditor(nullptr);
  PrintLine("Running ToolBox\n");
}

void ShowStatistics() { OpenLiveLine(RefreshStatistics); }
void GetNumberOfVisibleMeshes() { OpenLiveLine(RefreshVisibleMeshes); }
void GetNumberOfVisibleLights() { OpenLiveLine(RefreshVisibleLights); }
void GetNumberOfVisibleShadowVolumes() { OpenLiveLine(RefreshVisibleShadowVolumes); }

void Quit() {
  if (CConsole* console = Console()) console->RequestQuit();
}

void GetMemoryUsage() { OpenLiveLine(RefreshMemoryUsage); }

void ShowBones(uint32_t value) {
  CEngineContext* context = GetEngineContext();
  context->dwDebugSwitches[DEBUG_BONES] = static_cast<int32_t>(value);
  PrintLine("ShowBones With Parameter: %i\n", context->dwDebugSwitches[DEBUG_BONES]);
}

template <typename Handler>
ConsoleHandler HandlerOf(Handler handler) {
  return reinterpret_cast<ConsoleHandler>(handler);
}

ConsoleFunction g_Commands[] = {
    {"void GetRendererDescription()", HandlerOf(&GetRendererDescription),
     [] { return "GetRendererDescription"; }},
    {"void ShowToolBox()", HandlerOf(&ShowToolBox), [] { return "ShowToolBox"; }},
    {"void ShowStatistics()", HandlerOf(&ShowStatistics), [] { return "ShowStatistics"; }},
    {"void GetNumberOfVisibleMeshes()", HandlerOf(&GetNumberOfVisibleMeshes),
     [] { return "GetNumberOfVisibleMeshes"; }},
    {"void GetNumberOfVisibleLights()", HandlerOf(&GetNumberOfVisibleLights),
     [] { return "GetNumberOfVisibleLights"; }},
    {"void GetNumberOfVisibleShadowVolumes()", HandlerOf(&GetNumberOfVisibleShadowVolumes),
     [] { return "GetNumberOfVisibleShadowVolumes"; }},
    {"void Quit()", HandlerOf(&Quit), [] { return "Quit"; }},
    {"void GetMemoryUsage()", HandlerOf(&GetMemoryUsage), [] { return "GetMemoryUsage"; }},
    {"void ShowBones( uint )", HandlerOf(&ShowBones), [] { return "ShowBones"; }},
};

}  // namespace

void RegisterConsoleCommands(CConsole& console) {
  for (ConsoleFunction& command : g_Commands) console.RegisterFunction(&command);
}
