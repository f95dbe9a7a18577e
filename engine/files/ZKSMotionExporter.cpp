#include "files/ZKSMotionExporter.h"

#include "chunks/ChunkWriter.h"
#include "files/ZKReader.h"
#include "files/ZKSChannelEnvelopeExporter.h"
#include "scene/Motion.h"

bool CZKSMotionExporter::WriteMotion(CMotion* motion, FILE* stream, UINT& total) {
  CChunkWriter out(stream, total);
  CZKSChannelEnvelopeExporter* channels = m_pReader->GetChannelEnvelopeExporter();
  CChunkWriter::ContainerMark mark;
  const UINT count = motion->GetNumberOfChannels();
  if (!out.BeginContainer("MOTN", mark) || !out.U32Chunk("CHNN", count)) return false;
  // The size word leaves the "CHNN" chunk out, as files have always had it.
  mark.totalAtStart = total;
  for (UINT index = 0; index < count; ++index) {
    CChannelEnvelope* channel = motion->GetChannel(index);
    if (channel == nullptr || !channels->WriteChannel(channel, stream, total)) return false;
  }
  return out.EndContainer(mark);
}

bool CZKSMotionExporter::ReadMotion(CMotion* motion, CChunkReader& in) {
  uint32_t unusedSize = 0, chnnSize = 0, count = 0;
  ChunkTag tag;
  if (!in.U32(unusedSize) || !in.Tag(tag)) return false;
  if (!tag.Is("CHNN")) {
    LogError(__LINE__, "ERROR! - Error when Loading Motion, CHNN Expected - %s\n", tag.Text());
    return false;
  }
  if (!in.U32(chnnSize)) return false;
  if (chnnSize != 4) {
    LogError(__LINE__, "ERROR! - Motion::CHNN Incorrect Size\n");
    return false;
  }
  if (!in.U32(count)) return false;
  // A motion has nine channels; a larger count cannot be read into it.
  if (count > MOTION_CHANNELS) {
    LogError(__LINE__, "ERROR! - Too Many Channels In Motion: %u\n", count);
    return false;
  }

  CZKSChannelEnvelopeExporter* channels = m_pReader->GetChannelEnvelopeExporter();
  // The channels replace the motion's only when the whole run is right.
  CZKSChannelEnvelopeExporter::LoadedChannel loaded[MOTION_CHANNELS];
  UINT found = 0;
  while (in.NextTagIs("CENV")) {
    // Channels beyond the count are only counted, for the message below.
    if (found >= count) {
      if (!in.SkipChunk()) break;
    } else if (!channels->LoadChannel(motion->GetChannel(found), in, loaded[found])) {
      LogError(__LINE__, "ERROR! - Can't Load Channel\n");
      return false;
    }
    ++found;
  }
  if (found != count) {
    LogError(__LINE__, "ERROR! - Wrong Number Of Channels In Motion: %i - %i\n",
             static_cast<int>(found), static_cast<int>(count));
    return false;
  }
  for (UINT index = 0; index < count; ++index)
    if (!channels->ApplyChannel(loaded[index], motion->GetChannel(index))) return false;
  motion->SetNumberOfChannels(count);
  return true;
}
