#include "core/ZeKorbD3D.h"

#include <cstdarg>
#include <cstdio>
#include <new>

#include "core/ApplicationChecks.h"
#include "core/EngineContext.h"
#include "core/EngineStartup.h"
#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "core/PageAllocator.h"
#include "core/Timer.h"
#include "core/Tokenizer.h"
#include "scene/ChannelEnvelope.h"
#include "scene/Envelope.h"

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

// The operations below whose services the engine does not have yet (the device, scene loading
// and saving) answer as they do when the service is missing: null or 0, and nothing logged.

CD3D9Enumeration* CZeKorbD3D::GetAdapterEnumeration() { return nullptr; }

void CZeKorbD3D::AddScene(CSceneInterface** scene) {
  if (scene) *scene = nullptr;
}

void CZeKorbD3D::LoadScene(CSceneInterface** /*scene*/, const char* /*name*/, UINT /*mode*/,
                           UINT /*readerFlag*/, SceneShaderChooser /*sceneChooser*/,
                           MeshShaderChooser /*meshChooser*/,
                           SurfaceShaderChooser /*surfaceChooser*/) {}

UINT CZeKorbD3D::SaveSceneToZKS(CSceneInterface* /*scene*/, UINT /*saveTextures*/) { return 0; }

CChannelEnvelopeInterface* CZeKorbD3D::CreateChannelEnvelope() {
  return new (std::nothrow) CChannelEnvelope();
}

CEnvelopeInterface* CZeKorbD3D::CreateEnvelope() { return new (std::nothrow) CEnvelope(); }

// While there is no console there is nothing to register with.
int CZeKorbD3D::RegisterConsoleFunction(ConsoleFunction* /*function*/) { return 0; }

CEngineLog* CZeKorbD3D::GetLogInterface() { return GetEngineContext()->pLog; }

CTimerInterface* CZeKorbD3D::CreateTimer() { return new (std::nothrow) CTimer(); }

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
  return new (std::nothrow) CTokenizer(GetEngineContext()->pLog);
}

CTimerInterface* CZeKorbD3D::GetEngineTimer() { return GetEngineContext()->pEngineTimer; }

CConsole* CZeKorbD3D::GetConsoleInterface() { return GetEngineContext()->pConsole; }

CParticleEmiterFactory* CZeKorbD3D::GetParticleEmiterFactory() {
  return GetEngineContext()->pParticleFactory;
}
