#include "startup/ZeKorbD3D.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "startup/ApplicationChecks.h"
#include "console/Console.h"
#include "core/EngineContext.h"
#include "startup/EngineStartup.h"
#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "core/FileNames.h"
#include "core/MessagePump.h"
#include "core/PageAllocator.h"
#include "scene/SceneFileReader.h"
#include "core/Timer.h"
#include "core/Tokenizer.h"
#include "scene/ChannelEnvelope.h"
#include "scene/Envelope.h"
#include "scene/Scene.h"
#include "d3d/D3D9Renderer.h"
#include "scene/LightWaveLoader.h"
#include "startup/EngineDevice.h"
#include "timeapi.h"

namespace {

const char kSource[] = "ZKDXInterface";

}  // namespace

CZeKorbD3D* CZeKorbD3D::Instance() {
  static CZeKorbD3D topInterface;
  return &topInterface;
}

UINT CZeKorbD3D::Init(ZeKorbConfig* config) {
  CheckConfigurationBlock(config, true);
  if (!CEngineStartup(GetEngineContext()).Init(config)) CriticalError("", "Can't Initialize ZeKorb");
  return 1;
}

UINT CZeKorbD3D::ChangeConfiguration(ZeKorbConfig* config) {
  CheckConfigurationBlock(config, false);
  if (!CEngineStartup(GetEngineContext()).ChangeConfiguration(config))
    CriticalError("", "Can't Initialize ZeKorb");
  return 1;
}

// The device enumeration is not the engine's yet: null, and nothing logged.
CD3D9Enumeration* CZeKorbD3D::GetAdapterEnumeration() {
  CD3D9Renderer* renderer = CEngineDevice::Instance().GetRenderer();
  return renderer ? renderer->GetAdapterEnumeration(0) : nullptr;
}

namespace {

// The name buffer holds the name and its ".zks" or ".lws" ending.
constexpr size_t kSceneNameBuffer = CScene::kNameLength;
constexpr size_t kLongestSceneName = kSceneNameBuffer - 5;

enum class SceneFileKind { kLightWave, kEngine, kOther };

// The extension, as the engine's one helper finds it (and cuts the name after it).
SceneFileKind SceneKindOf(char* name) {
  const char* extension = GetFileExtension(name);
  if (std::strncmp(extension, "lws", 3) == 0) return SceneFileKind::kLightWave;
  if (std::strncmp(extension, "zks", 3) == 0) return SceneFileKind::kEngine;
  return SceneFileKind::kOther;
}

}  // namespace

void CZeKorbD3D::AddScene(CSceneInterface** scene) {
  if (scene == nullptr) return;
  CEngineContext* context = GetEngineContext();
  CScene* created =
      NewOrFatal<CScene>(kNoMemoryTitle, "Can't Create Scene", context->pRenderer, context->pLog);
  created->SetName("freshly_created");
  *scene = created;
}

bool CZeKorbD3D::ReadSceneFile(CScene** scene, char* name, UINT readerFlag) {
  CEngineContext* context = GetEngineContext();
  switch (SceneKindOf(name)) {
    case SceneFileKind::kLightWave:
      return context->ports.lightWave->LoadScene(scene, name) != 0;
    case SceneFileKind::kEngine:
      return context->ports.sceneFiles->LoadScene(scene, name, readerFlag);
    case SceneFileKind::kOther:
      break;
  }
  CriticalError("Error While Loading", "Can't Find: %s", name);
  return false;
}

void CZeKorbD3D::LoadScene(CSceneInterface** scene, const char* name, UINT mode, UINT readerFlag,
                           SceneShaderChooser assign, MeshShaderChooser argument1,
                           SurfaceShaderChooser argument2) {
  CEngineContext* context = GetEngineContext();
  if (scene == nullptr || name == nullptr || std::strlen(name) > kLongestSceneName) {
    // The name would not fit the buffer with its ending: refused before anything is read.
    CriticalError("Error While Loading", "Can't Load");
    return;
  }
  char lowered[kSceneNameBuffer] = {};
  for (size_t i = 0; name[i] != '\0'; ++i)
    lowered[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[i])));
  PumpWaitingMessages();
  const DWORD start = timeGetTime();

  char found[kSceneNameBuffer] = {};
  char* fileName = lowered;
  if (SceneKindOf(lowered) == SceneFileKind::kOther) {
    // Not named by its extension: the engine's own file first, then the LightWave one, under
    // the name as the caller wrote it.
    CVirtualFileSystemInterface* files = context->pVirtualFileSystem;
    bool located = false;
    for (const char* ending : {".zks", ".lws"}) {
      std::snprintf(found, sizeof found, "%s%s", name, ending);
      if (files != nullptr && files->LocateNormalFile(found) != static_cast<UINT>(-1)) {
        located = true;
        break;
      }
    }
    if (!located) {
      CriticalError("Error While Loading (1)", "Can't Find: %s", name);
      return;
    }
    fileName = found;
  }
  CScene* loaded = dynamic_cast<CScene*>(*scene);
  const bool read = ReadSceneFile(&loaded, fileName, readerFlag);
  // A scene the reader made is the caller's, read or not.
  *scene = loaded;
  if (!read) {
    CriticalError("Error While Loading", "Can't Load");
    return;
  }
  if (loaded != nullptr) PrepareLoadedScene(loaded, mode, assign, argument1, argument2);

  const DWORD elapsed = timeGetTime() - start;
  LogTo(GetEngineContext()->pLog, kSource, CEngineLog::kLevelInfo, "- Time To Load :%f seconds\n",
        static_cast<double>(elapsed) * 0.001);
  context->fTotalLoadTime += static_cast<float>((timeGetTime() - start) * 0.001);
  LogTo(GetEngineContext()->pLog, kSource, CEngineLog::kLevelInfo, "- Total Time:%f seconds\n",
        static_cast<double>(context->fTotalLoadTime));
}

void CZeKorbD3D::PrepareLoadedScene(CScene* scene, UINT mode, SceneShaderChooser assign,
                                    MeshShaderChooser argument1, SurfaceShaderChooser argument2) {
  if (assign != nullptr && mode == 1) {
    scene->ApplyDefaultShader(assign, argument1, argument2);
    if (scene->GetUseShader() == 0)
      LogTo(GetEngineContext()->pLog, kSource, CEngineLog::kLevelError,
            "ERROR!!! - User-Defined-Shader-Assigning Function Returned FALSE\n");
    return;
  }
  scene->PrepareForDrawing(mode);
}

UINT CZeKorbD3D::SaveSceneToZKS(CSceneInterface* sceneInterface, UINT saveTextures) {
  auto* scene = dynamic_cast<CScene*>(sceneInterface);
  if (scene == nullptr) return 0;
  const UINT saved = GetEngineContext()->ports.sceneFiles->SaveScene(scene) ? 1 : 0;
  if (saveTextures == 1) scene->SaveTextures();
  return saved;
}

CChannelEnvelopeInterface* CZeKorbD3D::CreateChannelEnvelope() {
  return NewOrFatal<CChannelEnvelope>(kNoMemoryTitle, "Can't Create Channel Envelope");
}

CEnvelopeInterface* CZeKorbD3D::CreateEnvelope() {
  return NewOrFatal<CEnvelope>(kNoMemoryTitle, "Can't Create Envelope");
}

// While there is no console there is nothing to register with.
int CZeKorbD3D::RegisterConsoleFunction(ConsoleFunction* function) {
  CConsole* console = GetEngineContext()->pConsole;
  return console ? console->RegisterFunction(function) : 0;
}

CEngineLog* CZeKorbD3D::GetLogInterface() { return GetEngineContext()->pLog; }

CTimerInterface* CZeKorbD3D::CreateTimer() {
  return NewOrFatal<CTimer>(kNoMemoryTitle, "Can't Create Timer");
}

CD3D9RendererInterface* CZeKorbD3D::GetD3DRendererInterface() {
  return GetEngineContext()->pRenderer;
}

ZeKorbConfig* CZeKorbD3D::GetConfiguration() { return GetEngineContext()->pConfig; }

void CZeKorbD3D::CriticalError(const char* /*title*/, const char* format, ...) {
  char text[kMaxErrorText];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  // The caller's title is not shown: a critical error always reads "Error!".
  ReportError("Error!", text);
  GetEngineContext()->Shutdown(1);
}

int CZeKorbD3D::ErrorMessage(const char* title, const char* format, ...) {
  char text[kMaxErrorText];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return ReportError(title, text);
}

void CZeKorbD3D::CloseZeKorb() {
  CEngineContext* context = GetEngineContext();
  context->dwQuit = 1;
  context->Shutdown(0);
}

CSceneInterface* CZeKorbD3D::GetActiveScene() {
  CEngineContext* context = GetEngineContext();
  if (!context->pActiveScene && context->pLog)
    context->pLog->Log(kSource, __LINE__, CEngineLog::kLevelError,
                       "WARNING! - Active Scene Is NULL\n");
  return context->pActiveScene;
}

void CZeKorbD3D::SetActiveScene(CSceneInterface* scene) {
  GetEngineContext()->pActiveScene = scene;
}

TonarisInterface* CZeKorbD3D::GetTonarisInterface() {
  CEngineContext* context = GetEngineContext();
  return context->pConfig && context->pConfig->dwUseSound == 1 ? context->pSoundServer : nullptr;
}

CVirtualFileSystemInterface* CZeKorbD3D::GetVFSInterface() {
  return GetEngineContext()->pVirtualFileSystem;
}

void CZeKorbD3D::PrintText(float /*x*/, float /*y*/, const char* /*text*/, UINT /*length*/) {}

CScriptStorage* CZeKorbD3D::GetScriptStorage() { return GetEngineContext()->pScriptStorage; }

CInputControllers* CZeKorbD3D::GetInputControllersInterface() {
  return GetEngineContext()->pInputControllers;
}

CProfiler* CZeKorbD3D::GetProfiler() { return GetEngineContext()->pProfiler; }

CSettings* CZeKorbD3D::GetSettingsInterface() { return GetEngineContext()->pSettings; }

ZKAllocatorInterface* CZeKorbD3D::GetAllocatorInterface() { return GetEngineContext()->pAllocator; }

HWND CZeKorbD3D::GetWindowHandle() { return GetEngineContext()->hWnd; }

CTokenizer* CZeKorbD3D::CreateTokenizer() {
  return NewOrFatal<CTokenizer>(kNoMemoryTitle, "Can't Create Tokenizer", GetEngineContext()->pLog);
}

CTimerInterface* CZeKorbD3D::GetEngineTimer() { return GetEngineContext()->pEngineTimer; }

CConsole* CZeKorbD3D::GetConsoleInterface() { return GetEngineContext()->pConsole; }

CParticleEmiterFactory* CZeKorbD3D::GetParticleEmiterFactory() {
  return GetEngineContext()->pParticleFactory;
}
