#pragma once
// What every exporter of the reader object holds: the reader (to reach its sibling exporters),
// the engine log and the renderer, and the source name its log lines carry.
#include <cstdint>
#include <vector>

#include "chunks/ChunkReader.h"
#include "files/ZKGeometryRecords.h"

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
  void LogLevel(int line, int level, const char* format, ...) const
      __attribute__((format(printf, 4, 5)));
  // The operations of an exporter whose chunks the engine cannot handle yet fail with this
  // line instead of pretending to succeed.
  bool Unavailable(int line, const char* operation) const;

  // The messages of a count chunk and the record chunk that must follow it ("VRTN" + "VERT").
  struct CountedRun {
    const char* recordTag;
    const char* countSize;   // the count chunk's size is not 4
    const char* wrongTag;    // "%s" the tag found, then "%s" the subject
    int wrongTagLevel;
    const char* recordSize;  // the record chunk's size is not count records
  };
  // After the count chunk's tag: reads the count and its records into `records`. Sizes are
  // checked in 64 bits and against the enclosing payload before anything is allocated.
  template <class Record>
  bool ReadCountedRun(CChunkReader& in, const CountedRun& run, uint32_t recordBytes,
                      const char* subject, std::vector<Record>& records) const {
    uint32_t size = 0, count = 0;
    ChunkTag tag;
    if (!in.U32(size)) return false;
    if (size != 4) {
      LogError(__LINE__, "%s", run.countSize);
      return false;
    }
    if (!in.U32(count) || !in.Tag(tag)) return false;
    if (!tag.Is(run.recordTag)) {
      LogLevel(__LINE__, run.wrongTagLevel, run.wrongTag, tag.Text(), subject);
      return false;
    }
    if (!in.U32(size)) return false;
    if (size != uint64_t{count} * recordBytes) {
      LogError(__LINE__, "%s", run.recordSize);
      return false;
    }
    CChunkReader::Payload payload(in, size);
    if (!payload.Fits()) return false;
    records.assign(count, Record{});
    return CZKGeometryRecords::ReadArray(in, records.data(), count);
  }

  CZKReader* m_pReader;
  CEngineLog* m_pLog;
  CD3D9RendererInterface* m_pRenderer;
  const char* m_szSource;
};
