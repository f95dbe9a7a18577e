#pragma once
// The engine's one state object. Every part of the engine finds the renderer, the blocks the
// application handed in, the active scene, the log and the services here. It is made before any
// other engine code runs and never freed; it is used from the application's main thread and
// takes no lock.
#include <cstdint>

#include "ZKDXMath.h"
#include "core/EnginePort.h"
#include "windef.h"

struct ApplicationDescriptor;
struct ZeKorbConfig;
class CCollisionManager;
class CConsole;
class CConsoleFrame;
class CConsoleToolBox;
class CEngineRelease;
class CGenericPassInterface;
class CGuiSystem;
class CGuiKeyQueue;
class CGuiTextureFactory;
class CLightSpatial;
class CLightWaveLoader;
class CMeshFileReader;
class CMeshShaderLibrary;
class CMeshSpatial;
class CMeshSurfaceFactory;
class CNullScriptHost;
class CRenderingProfileInterface;
class CSceneFileReader;
class CScenePasses;
class CScriptTopInterface;
class CSceneShaderLibrary;
class CSurfaceShaderLibrary;
class CD3D9RendererInterface;
class CEngineLog;
class CInputControllers;
class CPageAllocator;
class CParticleEmiterFactory;
class CPerPixelPass;
class CPerVertexPass;
class CProfiler;
class CProfilerSample;
class CSceneInterface;
class CSceneItemsManager;
class CScriptStorage;
class CSettings;
class CTimer;
class CToolBox;
class CZKReader;
class CVirtualFileSystemInterface;
class TonarisInterface;

// The profiler's samples, in the order the context keeps them.
enum EngineSample {
  SAMPLE_MEM_ALLOCATOR,
  SAMPLE_BEGIN_END,
  SAMPLE_SHADER_LIB,
  SAMPLE_GENERIC_PASS,
  SAMPLE_PREPARE_MATRICES,
  SAMPLE_UPDATE_HIERARCHY,
  SAMPLE_LIGHTWAVE_INTERPOLATION,
  SAMPLE_SET_ACTIVE_CAMERA,
  SAMPLE_DIRECT3D_CALLS,
  SAMPLE_FLIP1,
  SAMPLE_FLIP2,
  ENGINE_SAMPLE_COUNT
};

// The debug displays the scene's render entry draws when their switch is on.
enum EngineDebugSwitch {
  DEBUG_MESH_FRAME_BOXES,
  DEBUG_BONES,
  DEBUG_LIGHT_BOUNDS,
  DEBUG_LIGHT_SHAPES,
  DEBUG_OCTREE_BOXES,
  DEBUG_OCTREE_BOX_ID,  // -1: off
  DEBUG_NULLS,
  DEBUG_OCTREE_BOX_AT_POINT,
  DEBUG_MESH_BOXES,
  DEBUG_SWITCH_COUNT
};

// Every port of the engine. Start-up steps set them, shutdown resets them all at once.
struct EnginePorts {
  TEnginePort<CEngineRelease> release;  // the release half of shutdown
  TEnginePort<CGuiKeyQueue> guiKeys;
  TEnginePort<CMeshSpatial> meshSpatial;
  TEnginePort<CLightSpatial> lightSpatial;
  TEnginePort<CMeshSurfaceFactory> surfaceFactory;
  TEnginePort<CMeshFileReader> meshFiles;
  TEnginePort<CSceneFileReader> sceneFiles;
  TEnginePort<CLightWaveLoader> lightWave;
  TEnginePort<CGenericPassInterface> genericPass;
  TEnginePort<CMeshShaderLibrary> meshShaders;
  TEnginePort<CSurfaceShaderLibrary> surfaceShaders;
  TEnginePort<CSceneShaderLibrary> sceneShaders;
  TEnginePort<CScenePasses> scenePasses;
  TEnginePort<CNullScriptHost> nullScripts;
  TEnginePort<CGuiTextureFactory> guiTextures;
  TEnginePort<CScriptTopInterface> scriptTop;
  TEnginePort<CConsoleFrame> console;
  TEnginePort<CConsoleToolBox> toolBox;

  // Calls visit(name, port) for every port above; a new port is listed here too.
  template <class Visit>
  void ForEach(Visit visit) const {
    visit("release", release);
    visit("guiKeys", guiKeys);
    visit("meshSpatial", meshSpatial);
    visit("lightSpatial", lightSpatial);
    visit("surfaceFactory", surfaceFactory);
    visit("meshFiles", meshFiles);
    visit("sceneFiles", sceneFiles);
    visit("lightWave", lightWave);
    visit("genericPass", genericPass);
    visit("meshShaders", meshShaders);
    visit("surfaceShaders", surfaceShaders);
    visit("sceneShaders", sceneShaders);
    visit("scenePasses", scenePasses);
    visit("nullScripts", nullScripts);
    visit("guiTextures", guiTextures);
    visit("scriptTop", scriptTop);
    visit("console", console);
    visit("toolBox", toolBox);
  }
};

class CEngineContext {
 public:
  EnginePorts ports;

  // --- services, each null until start-up makes it ---
  CD3D9RendererInterface* pRenderer = nullptr;
  ZeKorbConfig* pConfig = nullptr;
  ApplicationDescriptor* pDescriptor = nullptr;
  CSceneInterface* pActiveScene = nullptr;
  CEngineLog* pLog = nullptr;
  CConsole* pConsole = nullptr;
  CGuiSystem* pGui = nullptr;  // the console's GUI library, while it runs
  char* szBanner = nullptr;
  TonarisInterface* pSoundServer = nullptr;
  CScriptStorage* pScriptStorage = nullptr;
  CInputControllers* pInputControllers = nullptr;
  CTimer* pInputTimer = nullptr;  // the input manager's clock, freed with it
  CVirtualFileSystemInterface* pVirtualFileSystem = nullptr;
  CParticleEmiterFactory* pParticleFactory = nullptr;
  CPageAllocator* pAllocator = nullptr;
  CTimer* pEngineTimer = nullptr;
  CProfiler* pProfiler = nullptr;
  CProfilerSample* pSamples[ENGINE_SAMPLE_COUNT] = {};
  CSettings* pSettings = nullptr;
  CZKReader* pZKReader = nullptr;
  CCollisionManager* pCollisions = nullptr;
  // The built-in passes of the per-vertex and per-pixel rendering profiles.
  CPerVertexPass* pPerVertexPass = nullptr;
  CPerPixelPass* pPerPixelPass = nullptr;
  CSceneItemsManager* pSceneItems = nullptr;
  CToolBox* pToolBox = nullptr;
  // The rendering profile a preset's library handed over: when there is one it prepares loaded
  // scenes and meshes in place of the engine's passes, so null is a choice, not a missing
  // service. And the seconds spent loading scenes so far.
  CRenderingProfileInterface* pRenderingProfile = nullptr;
  float fTotalLoadTime = 0.0f;
  // The copy of the setting `shaders_directory` that the descriptor points to, when there is one.
  char* szShadersDirectory = nullptr;

  // --- debug displays ---
  int32_t dwDebugSwitches[DEBUG_SWITCH_COUNT] = {0, 0, 0, 0, 0, -1, 0, 0, 0};
  CVector3 vecOverlayPoint = {};
  DWORD dwLightCounter = 0;

  // --- frames ---
  DWORD dwFrameNumber = 0;  // raised by every BeginRendering

  // --- frame limiter ---
  uint64_t qwCounterFrequency = 0;  // 0: no performance counter
  uint64_t qwLastFrameCount = 0;    // 0 before the first limited frame

  // --- process and window ---
  char* szApplicationFolder = nullptr;  // the engine library's folder, ending in a separator
  HWND hWnd = nullptr;
  HINSTANCE hInstance = nullptr;
  HMODULE hModule = nullptr;
  DWORD dwWindowed = 0;
  uint64_t qwFreePhysicalMemory = 0;
  DWORD dwPriorityClass = 32;
  WORD wPresetValue = 0;
  DWORD dwStatisticsOn = 0;
  DWORD dwQuit = 0;
  DWORD dwWindowOwned = 0;
  DWORD dwShowCommand = 0;
  // 1 from the end of Init to the shutdown; the shutdown works only while it is 1.
  DWORD dwInitialized = 0;

  // The folder of the engine library, never null (empty before pre-initialisation keeps it).
  const char* GetApplicationFolder() const {
    return szApplicationFolder ? szApplicationFolder : "";
  }
  bool DescriptorUsesLogs() const;
  // The descriptor's log folder, or null when the logs go beside the engine library.
  const char* GetDescriptorLogFolder() const;

  // Makes the profiler and its eleven samples, linked under the root "BeginEnd". False when
  // memory runs out.
  void CreateProfiler();

  // Waits until the configured frame period has passed since the last limited frame.
  void LimitFrameRate();
  // Counts the frame and, once a second, logs the frame rate at level 1.
  void ShowFPS(DWORD show);
  float GetLastFrameRate() const { return m_fLastFrameRate; }

  // The engine shutdown: releases what the engine holds (the release port), closes the logs, writes
  // "statistics.txt", and ends the process with `exitCode` unless the application asked for its
  // quit callback. An orderly end passes 0, a fatal one 1. Does nothing before Init has
  // finished, and runs once: an entry while it runs (a fatal error or a close message on the
  // way down) returns at once.
  void Shutdown(UINT exitCode);

 private:
  void CloseLog();
  void DestroyAppWindow();

  bool m_shuttingDown = false;
  DWORD m_dwFramesCounted = 0;
  float m_fLastFpsTime = 0.0f;
  float m_fLastFrameRate = 0.0f;
};

// The engine's one context; a plain load, as it is the most called routine of the engine.
extern CEngineContext* g_pEngineContext;
inline CEngineContext* GetEngineContext() { return g_pEngineContext; }
