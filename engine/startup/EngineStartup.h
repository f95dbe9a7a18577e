#pragma once
// The engine's two start-up stages. Pre-initialisation runs inside the export: it builds the
// context, the logs, the settings, the window, the allocator and the virtual file system, so
// that the application can mount its archives before anything is read from them. Init then
// makes every service that needs the device or the data files. Any failed step is fatal: the
// process ends through the fatal-error routine with exit code 1.
#include "windef.h"

struct ApplicationDescriptor;
struct ZeKorbConfig;
class CEngineContext;

class CEngineStartup {
 public:
  explicit CEngineStartup(CEngineContext* context) : m_context(context) {}

  // Keeps `descriptor` for the engine's whole life. A second process ends here with exit code 0.
  UINT PreInitialize(ApplicationDescriptor* descriptor);
  // Keeps `config` for the engine's whole life. Returns 1.
  UINT Init(ZeKorbConfig* config);
  // Copies `config` into the block kept at Init and selects the video mode and scheme again.
  // 0 before Init, when there is no block to copy into.
  UINT ChangeConfiguration(const ZeKorbConfig* config);
  // Reads the context's settings (override.zk's) into its descriptor: the shader folder the
  // banks and the shader library look in ("s:" unless `shaders_directory` names one), the
  // allocator's sizes (raised to their minimums) and the window mode. Pre-initialisation does it
  // once the override file is loaded; a developer's run over the loose shader files starts here.
  void ApplyDescriptorSettings();

 private:
  // Pre-initialisation.
  void PrepareClocks();
  void FindApplicationFolder();
  void BuildBanner();
  void TakeSingleInstanceLock();
  void OpenLog();
  void CheckDescriptor();
  void CreateOrAdoptWindow();
  void StartScripting();
  void CreateAllocator();
  void CreateSceneItems();
  void CreateFileSystem();
  void EnumerateDevices();
  void LoadToolBox();

  // Init.
  void ApplyConfigurationSettings();
  void StartSound();
  void ShowEngineWindow();
  void CreateDevice();
  void StartShaderLibrary();
  void CreateFlareTexture();
  void StartLightWaveReader();
  void CreateSurfaceFactory();
  void CreateZKReader();
  void StartGui();
  void CreateConsole();
  void CreateGenericPass();
  void CreateCollisions();
  void CreateLightingPasses();
  void CreateParticleFactory();
  void StartInput();
  void LoadAllTextures();
  void LoadDefaultScripts();
  void LoadDefaultShaders();


  CEngineContext* m_context;
};
