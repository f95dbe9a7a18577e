#pragma once
// What the targets that read the game's files share: the game's logs off (a log file written
// each input would grow without end and cost more than the input), and the engine's top
// interface as the game holds it once the engine runs, serving a file system over the working
// folder. The file system, its log and allocator are the input's own: the process-wide ones of
// the tests' interface record every request for the life of the process. The game must ask the
// engine for nothing else.
#include <algorithm>
#include <cstdlib>

#include "FuzzFileBench.h"
#include "TestZeKorbInterface.h"
#include "framework/EngineGlobals.h"
#include "framework/Logger.h"

class FuzzGameEngine final : public CTestZeKorbInterface {
 public:
  CVirtualFileSystemInterface* GetVFSInterface() override {
    Record("GetVFSInterface");
    return &files.vfs;
  }
  FuzzFileBench files;
};

class FuzzGameBench {
 public:
  FuzzGameBench() {
    geCLogger::SetLoggingEnabled(false);
    g_pZeKorb = &top;
  }
  ~FuzzGameBench() {
    g_pZeKorb = nullptr;
    if (std::any_of(top.calls.begin(), top.calls.end(),
                    [](const std::string& call) { return call != "GetVFSInterface"; }))
      std::abort();
  }
  FuzzGameBench(const FuzzGameBench&) = delete;
  FuzzGameBench& operator=(const FuzzGameBench&) = delete;

  FuzzGameEngine top;
};
