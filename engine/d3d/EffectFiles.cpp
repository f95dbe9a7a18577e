#include "d3d/EffectFiles.h"

#include <new>

#include "core/EngineLog.h"
#include "d3d/D3DLog.h"

namespace {

const char kSource[] = "D3DEffectFiles";

}  // namespace

CEffectFiles::CEffectFiles(CEngineRenderer* renderer, CEngineLog* log)
    : m_pStateManager(new (std::nothrow) CEffectStateManager(renderer, log)) {
  if (!m_pStateManager)
    LogD3D(log, kSource, __LINE__, CEngineLog::kLevelError, "ERROR!!! - Can't Create EffectFiles' State Manager\n");
}

CEffectFiles::~CEffectFiles() = default;
