#pragma once
// Times a block under one of the engine's profiler samples. Does nothing while the profiler
// does not exist (before start-up, and in unit tests).
#include "core/EngineContext.h"

class CEngineSampleScope {
 public:
  explicit CEngineSampleScope(EngineSample sample);
  ~CEngineSampleScope();
  CEngineSampleScope(const CEngineSampleScope&) = delete;
  CEngineSampleScope& operator=(const CEngineSampleScope&) = delete;

 private:
  CProfilerSample* m_pSample;
};
