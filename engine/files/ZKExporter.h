#pragma once
// What every exporter of the reader object holds: the reader (to reach its sibling exporters),
// the engine log and the renderer, and the source name its log lines carry.
#include "ChunkReader.h"

class CD3D9RendererInterface;
class CEngineLog;
class CZKReader;

class CZKExporter {
 public:
  CZKExporter(CZKReader* reader, CEngineLog* log, CD3D9RendererInterface* renderer,
              const char* source)
      : m_pReader(reader), m_pLog(log), m_pRenderer(renderer), m_szSource(source) {}
  virtual ~CZKExporter() = default;
  CZKExporter(const CZKExporter&) = delete;
  CZKExporter& operator=(const CZKExporter&) = delete;

 protected:
  // Where this exporter's container messages go, as logged from `line`.
  ChunkReport Report(int line, const char* subject = "", const char* detail = "") const {
    return {m_pLog, m_szSource, line, subject, detail};
  }
  void LogError(int line, const char* format, ...) const __attribute__((format(printf, 3, 4)));
  void LogInfo(int line, const char* format, ...) const __attribute__((format(printf, 3, 4)));
  // The operations of an exporter whose chunks the engine cannot handle yet fail with this
  // line instead of pretending to succeed.
  bool Unavailable(int line, const char* operation) const;

  CZKReader* m_pReader;
  CEngineLog* m_pLog;
  CD3D9RendererInterface* m_pRenderer;
  const char* m_szSource;
};
