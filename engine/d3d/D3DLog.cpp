#include "d3d/D3DLog.h"

#include <cstdarg>
#include <cstdio>

#include "core/EngineLog.h"
#include "dxerr9.h"

void LogD3D(CEngineLog* log, const char* source, int line, int level, const char* format, ...) {
  if (log == nullptr) return;
  char file[128];
  snprintf(file, sizeof file, ".\\Sources\\%s", source);
  va_list args;
  va_start(args, format);
  LogToV(log, file, LogLevelAt(level, line), format, args);
  va_end(args);
}

const char* D3DResultName(HRESULT result) { return DXGetErrorString9(result); }

const char* D3DResultDescription(HRESULT result) { return DXGetErrorDescription9(result); }
