#include "files/ZKSEnvelopeValue.h"

#include "chunks/ChunkWriter.h"
#include "files/ZKReader.h"
#include "files/ZKSEnvelopeExporter.h"

bool CZKSEnvelopeValue::Write(CZKReader* reader, const char* tag, CEnvelopeInterface* envelope,
                              FILE* stream, UINT& total) {
  if (envelope == nullptr) return false;
  CChunkWriter out(stream, total);
  return out.Container(
      tag, [&] { return reader->GetEnvelopeExporter()->WriteEnvelope(envelope, stream, total); });
}

bool CZKSEnvelopeValue::Read(CZKReader* reader, CEnvelopeInterface* envelope, CChunkReader& in,
                             const ChunkReport& report, const char* incorrectSize) {
  uint32_t size = 0;
  if (envelope == nullptr || !in.U32(size)) return false;
  CChunkReader::Payload payload(in, size);
  if (!payload.Fits()) {
    report.Error(incorrectSize);
    return false;
  }
  if (!reader->GetEnvelopeExporter()->ReadEnvelope(envelope, in)) return false;
  if (!payload.Finished()) {
    report.Error(incorrectSize);
    return false;
  }
  return true;
}
