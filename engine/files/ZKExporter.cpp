#include "files/ZKExporter.h"

#include <cstdarg>
#include <cstdio>

#include "core/EngineLog.h"

void CZKExporter::LogError(int line, const char* format, ...) const {
  va_list args;
  va_start(args, format);
  LogToV(m_pLog, m_szSource, LogLevelAt(CEngineLog::kLevelError, line), format, args);
  va_end(args);
}

void CZKExporter::LogInfo(int line, const char* format, ...) const {
  va_list args;
  va_start(args, format);
  LogToV(m_pLog, m_szSource, LogLevelAt(CEngineLog::kLevelInfo, line), format, args);
  va_end(args);
}

void CZKExporter::LogLevel(int line, int level, const char* format, ...) const {
  va_list args;
  va_start(args, format);
  LogToV(m_pLog, m_szSource, LogLevelAt(level, line), format, args);
  va_end(args);
}

bool CZKExporter::Unavailable(int line, const char* operation) const {
  LogError(line, "ERROR! - %s: Not Available\n", operation);
  return false;
}
