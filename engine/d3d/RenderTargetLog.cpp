#include "d3d/RenderTargetLog.h"

#include "core/EngineLog.h"
#include "d3d/D3DLog.h"

const char kRenderTargetSource[] = "D3DRenderTarget";

UINT ReleaseRenderTargetLock(UINT& count, CEngineLog* log, const char* warning, int line) {
  if (count == 0)
    LogD3D(log, kRenderTargetSource, line, CEngineLog::kLevelError, "%s", warning);
  else
    --count;
  return count;
}
