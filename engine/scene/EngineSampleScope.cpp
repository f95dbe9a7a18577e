#include "scene/EngineSampleScope.h"

#include "core/ProfilerSample.h"

CEngineSampleScope::CEngineSampleScope(EngineSample sample)
    : m_pSample(GetEngineContext()->pSamples[sample]) {
  if (m_pSample != nullptr) m_pSample->Begin();
}

CEngineSampleScope::~CEngineSampleScope() {
  if (m_pSample != nullptr) m_pSample->End();
}
