#include "files/ZKSEnvelopeExporter.h"

#include "chunks/ChunkWriter.h"
#include "ZKDXInterface.h"
#include "files/ZKReader.h"
#include "files/ZKSChannelEnvelopeExporter.h"

bool CZKSEnvelopeExporter::WriteEnvelope(CEnvelopeInterface* envelope, FILE* stream, UINT& total) {
  CChunkWriter out(stream, total);
  if (envelope->GetIsEnvelope() != 1) return out.F32Chunk("ENVN", envelope->GetValue());
  return out.Container("ENVY", [&] {
    return m_pReader->GetChannelEnvelopeExporter()->WriteChannel(envelope->GetChannelEnvelope(),
                                                                 stream, total);
  });
}

bool CZKSEnvelopeExporter::ReadEnvelope(CEnvelopeInterface* envelope, CChunkReader& in) {
  ChunkTag tag;
  if (!in.Tag(tag)) return false;
  uint32_t size = 0;
  if (tag.Is("ENVN")) {
    float value = 0;
    if (!in.U32(size)) return false;
    if (size != 4) {
      LogError(__LINE__, "ERROR! - Envelope size Is Incorrect\n");
      return false;
    }
    if (!in.F32(value)) return false;
    envelope->SetIsEnvelope(0);
    envelope->SetValue(value);
    return true;
  }
  if (!tag.Is("ENVY")) {
    LogError(__LINE__, "ERROR! - Unknown Chunk In Envelope: %s\n", tag.Text());
    return false;
  }
  if (!in.U32(size)) return false;
  CChunkReader::Payload payload(in, size);
  if (!payload.Fits()) {
    LogError(__LINE__, "ERROR! - Envelope size Is Incorrect\n");
    return false;
  }
  if (!in.NextTagIs("CENV")) {
    LogError(__LINE__, "ERROR! - Envelope Load Error, CENV Expected\n");
    return false;
  }
  CZKSChannelEnvelopeExporter* channels = m_pReader->GetChannelEnvelopeExporter();
  CZKSChannelEnvelopeExporter::LoadedChannel loaded;
  if (!channels->LoadChannel(envelope->GetChannelEnvelope(), in, loaded)) {
    LogError(__LINE__, "ERROR! - Can't Load Channel For Envelope\n");
    return false;
  }
  if (!payload.Finished()) {
    LogError(__LINE__, "ERROR! - Envelope size Is Incorrect\n");
    return false;
  }
  if (!channels->ApplyChannel(loaded, envelope->GetChannelEnvelope())) return false;
  // The value goes to 0 while the flag still lets it be set.
  envelope->SetIsEnvelope(0);
  envelope->SetValue(0.0f);
  envelope->SetIsEnvelope(1);
  return true;
}
