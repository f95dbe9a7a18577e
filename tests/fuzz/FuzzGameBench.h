#pragma once
// What the targets that read the game's files share: the game's logs off (a log file written
// each input would grow without end and cost more than the input), and the engine's top
// interface with the engine's own file system over the working folder, as the game holds it once
// the engine runs. The game must ask the engine for nothing else.
#include <algorithm>
#include <cstdlib>

#include "TestZeKorbInterface.h"
#include "framework/EngineGlobals.h"
#include "framework/Logger.h"

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

  CTestZeKorbInterface top;
};
