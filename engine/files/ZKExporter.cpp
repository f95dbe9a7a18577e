#include "files/ZKExporter.h"

#include <cstdarg>
#include <cstdio>

#include "core/EngineLog.h"

namespace {

void LogAt(CEngineLog* log, const char* source, int line, int level, const char* format,
           va_list args) {
  if (log == nullptr) return;
  char text[CEngineLog::kMaxMessage];
  vsnprintf(text, sizeof text, format, args);
  log->Log(source, line, level, "%s", text);
}

}  // namespace

void CZKExporter::LogError(int line, const char* format, ...) const {
  va_list args;
  va_start(args, format);
  LogAt(m_pLog, m_szSource, line, CEngineLog::kLevelError, format, args);
  va_end(args);
}

void CZKExporter::LogInfo(int line, const char* format, ...) const {
  va_list args;
  va_start(args, format);
  LogAt(m_pLog, m_szSource, line, CEngineLog::kLevelInfo, format, args);
  va_end(args);
}

void CZKExporter::LogLevel(int line, int level, const char* format, ...) const {
  va_list args;
  va_start(args, format);
  LogAt(m_pLog, m_szSource, line, level, format, args);
  va_end(args);
}

bool CZKExporter::Unavailable(int line, const char* operation) const {
  LogError(line, "ERROR! - %s: Not Available\n", operation);
  return false;
}
