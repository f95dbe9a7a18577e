#pragma once
// The engine's top interface: one static object, handed to the application by the export and to
// the engine's scripts. Getters return the context's fields as they stand, null included, and
// create nothing; the Create operations make a new object per call, owned by the caller, or
// return null when memory runs out.
#include "ZKDXInterface.h"
#include "core/Settings.h"
#include "input/InputControllers.h"
#include "script/ScriptTopInterface.h"

class CScene;

class CZeKorbD3D final : public CZeKorbD3DInterface, public CScriptTopInterface {
 public:
  // The one top interface of the engine.
  static CZeKorbD3D* Instance();

  UINT Init(ZeKorbConfig* config) override;
  CD3D9Enumeration* GetAdapterEnumeration() override;
  void AddScene(CSceneInterface** scene) override;
  void LoadScene(CSceneInterface** scene, const char* name, UINT mode, UINT readerFlag,
                 SceneShaderChooser sceneChooser, MeshShaderChooser meshChooser,
                 SurfaceShaderChooser surfaceChooser) override;
  CEngineLog* GetLogInterface() override;
  CTimerInterface* CreateTimer() override;
  CD3D9RendererInterface* GetD3DRendererInterface() override;
  ZeKorbConfig* GetConfiguration() override;
  void CriticalError(const char* title, const char* format, ...) override
      __attribute__((format(printf, 3, 4)));
  int ErrorMessage(const char* title, const char* format, ...) override
      __attribute__((format(printf, 3, 4)));
  void CloseZeKorb() override;
  UINT SaveSceneToZKS(CSceneInterface* scene, UINT saveTextures) override;
  CSceneInterface* GetActiveScene() override;
  void SetActiveScene(CSceneInterface* scene) override;
  TonarisInterface* GetTonarisInterface() override;
  CVirtualFileSystemInterface* GetVFSInterface() override;
  void PrintText(float x, float y, const char* text, UINT length) override;
  int RegisterConsoleFunction(ConsoleFunction* function) override;
  UINT ChangeConfiguration(ZeKorbConfig* config) override;
  CChannelEnvelopeInterface* CreateChannelEnvelope() override;
  CScriptStorage* GetScriptStorage() override;
  CInputControllers* GetInputControllersInterface() override;
  CProfiler* GetProfiler() override;
  CSettings* GetSettingsInterface() override;
  ZKAllocatorInterface* GetAllocatorInterface() override;
  HWND GetWindowHandle() override;
  CEnvelopeInterface* CreateEnvelope() override;
  CTokenizer* CreateTokenizer() override;
  CTimerInterface* GetEngineTimer() override;
  CConsole* GetConsoleInterface() override;
  CParticleEmiterFactory* GetParticleEmiterFactory() override;

  // What engine scripts reach as GetZeKorbD3DInterface().
  CZeKorbD3DInterface* GetTopInterface() override { return this; }

 private:
  CZeKorbD3D() = default;
  // Reads the named file with the reader its extension names; false when that reader fails.
  bool ReadSceneFile(CScene** scene, char* name, UINT readerFlag);
  // Gives a loaded scene its shaders, or the default coded rendering path.
  void PrepareLoadedScene(CScene* scene, UINT mode, SceneShaderChooser assign,
                          MeshShaderChooser argument1, SurfaceShaderChooser argument2);
};
