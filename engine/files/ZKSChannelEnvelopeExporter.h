#pragma once
// "CENV": one keyed channel — its key count, its two behaviours and one "KEYM" per key.
#include <cstdio>
#include <memory>
#include <vector>

#include "files/ZKExporter.h"

class CChannelEnvelopeInterface;
class CKeyInterface;

class CZKSChannelEnvelopeExporter final : public CZKExporter {
 public:
  // The count and the two behaviours before the keys.
  static constexpr UINT kHeaderSize = 12;
  // The smallest "CENV" chunk, header included: a channel without keys.
  static constexpr UINT kSmallestChunk = 8 + kHeaderSize;

  CZKSChannelEnvelopeExporter(CZKReader* reader, CEngineLog* log, CD3D9RendererInterface* renderer)
      : CZKExporter(reader, log, renderer, ".\\Sources\\ZKSChannelEnvelope") {}

  // A channel read and checked but not yet given to its owner, so that an owner whose own
  // chunk turns out to be wrong after the channel can keep what it had.
  struct LoadedChannel {
    UINT preBehaviour = 0;
    UINT postBehaviour = 0;
    std::vector<std::unique_ptr<CKeyInterface>> keys;  // in strictly increasing time
  };

  bool WriteChannel(CChannelEnvelopeInterface* channel, FILE* stream, UINT& total);
  // Called after the "CENV" tag. The channel's keys and behaviours are replaced only when the
  // whole chunk has been read and checked; on failure the channel is left as it was.
  bool ReadChannel(CChannelEnvelopeInterface* channel, CChunkReader& in);
  // The reading half of ReadChannel: `keyMaker` makes the keys and is not changed.
  bool LoadChannel(CChannelEnvelopeInterface* keyMaker, CChunkReader& in, LoadedChannel& loaded);
  // The other half: replaces the channel's keys and behaviours with the loaded ones, which the
  // channel then owns.
  bool ApplyChannel(LoadedChannel& loaded, CChannelEnvelopeInterface* channel);
};
