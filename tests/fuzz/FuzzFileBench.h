#pragma once
// What the targets that read through the virtual file system share: a recording log and engine
// allocator, and a virtual file system over the working folder, wired into the engine context
// (which the harness puts back after the input).
#include "RecordingAllocator.h"
#include "RecordingEngineLog.h"
#include "core/EngineContext.h"
#include "vfs/VirtualFileSystem.h"

class FuzzFileBench {
 public:
  FuzzFileBench() {
    GetEngineContext()->pLog = &log;
    GetEngineContext()->pVirtualFileSystem = &vfs;
  }
  FuzzFileBench(const FuzzFileBench&) = delete;
  FuzzFileBench& operator=(const FuzzFileBench&) = delete;

  CRecordingEngineLog log;
  CRecordingAllocator allocator;
  CVirtualFileSystem vfs{&log, &allocator, nullptr};
};
