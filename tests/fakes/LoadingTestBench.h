#pragma once
// What the scene- and mesh-loading suites share: a data folder that is the working folder, a
// virtual file system over it, a LightWave reader and a default rendering path that record what
// they are asked, and an engine context wired to them. Fatal paths end in ProcessExited.
#include "EngineContextScope.h"
#include "FakeLightWaveLoader.h"
#include "ProcessExitCatcher.h"
#include "RecordingAllocator.h"
#include "RecordingEngineLog.h"
#include "RecordingGenericPass.h"
#include "TempDir.h"
#include "WorkingFolderScope.h"
#include "vfs/VirtualFileSystem.h"

class LoadingTestBench {
 public:
  LoadingTestBench() {
    context->dwInitialized = 0;  // the shutdown of a fatal path does nothing
    context->pLog = &log;
    context->pVirtualFileSystem = &vfs;
    context->pLightWaveLoader = &lightWave;
    context->pGenericPass = &genericPass;
    context->pRenderingProfile = nullptr;
  }

  EngineContextScope context;
  ProcessExitCatcher exits;
  TempDir folder;
  WorkingFolderScope workingFolder{folder.Path()};
  CRecordingEngineLog log;
  CRecordingAllocator allocator;
  CVirtualFileSystem vfs{&log, &allocator, nullptr};
  FakeLightWaveLoader lightWave;
  RecordingGenericPass genericPass;
};
