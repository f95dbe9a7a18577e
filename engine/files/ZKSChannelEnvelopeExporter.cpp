#include "files/ZKSChannelEnvelopeExporter.h"

#include <memory>
#include <vector>

#include "chunks/ChunkWriter.h"
#include "ZKDXInterface.h"
#include "files/ZKReader.h"
#include "files/ZKSKeyExporter.h"

bool CZKSChannelEnvelopeExporter::WriteChannel(CChannelEnvelopeInterface* channel, FILE* stream,
                                               UINT& total) {
  CChunkWriter out(stream, total);
  CZKSKeyExporter* keys = m_pReader->GetKeyExporter();
  return out.Container("CENV", [&] {
    const UINT count = channel->GetNumberOfKeys();
    if (!out.U32(count) || !out.U32(channel->GetPreBehaviour()) ||
        !out.U32(channel->GetPostBehaviour()) || !out.AddToTotal(kHeaderSize))
      return false;
    CKeyInterface* key = count > 0 ? channel->GetKey(0u) : nullptr;
    for (UINT written = 0; written < count; ++written, key = key->GetNextKey())
      // A list shorter than its count would write a chunk that lies about its keys.
      if (key == nullptr || !keys->WriteKey(key, stream, total)) return false;
    return true;
  });
}

bool CZKSChannelEnvelopeExporter::ReadChannel(CChannelEnvelopeInterface* channel,
                                              CChunkReader& in) {
  LoadedChannel loaded;
  return LoadChannel(channel, in, loaded) && ApplyChannel(loaded, channel);
}

bool CZKSChannelEnvelopeExporter::LoadChannel(CChannelEnvelopeInterface* keyMaker, CChunkReader& in,
                                              LoadedChannel& loaded) {
  uint32_t size = 0;
  if (!in.U32(size)) return false;
  CChunkReader::Payload payload(in, size);
  uint32_t count = 0, preBehaviour = 0, postBehaviour = 0;
  if (!payload.Fits()) {
    LogError(__LINE__, "ERROR! - Channel Envelope - Incorrect Size\n");
    return false;
  }
  if (!in.U32(count) || !in.U32(preBehaviour) || !in.U32(postBehaviour)) return false;
  // Every key takes a whole "KEYM" chunk, so a count the payload cannot hold is refused before
  // anything is allocated for it.
  const uint64_t keyChunk = 8 + CZKSKeyExporter::kKeySize;
  if (uint64_t{count} * keyChunk > in.BytesLeft()) {
    LogError(__LINE__, "ERROR! - Channel Envelope - Incorrect Size\n");
    return false;
  }

  std::vector<std::unique_ptr<CKeyInterface>>& keys = loaded.keys;
  keys.clear();
  keys.reserve(count);
  CZKSKeyExporter* keyExporter = m_pReader->GetKeyExporter();
  uint64_t keysFound = 0;
  while (in.NextTagIs("KEYM")) {
    ++keysFound;
    // Keys beyond the count are only counted, for the message below.
    if (keys.size() == count) {
      if (!in.SkipChunk()) break;
      continue;
    }
    std::unique_ptr<CKeyInterface> key(keyMaker->CreateKey());
    if (key == nullptr) {
      LogError(__LINE__, "ERROR! - Can't Allocate Memory For Keys\n");
      return false;
    }
    if (!keyExporter->ReadKey(key.get(), in)) {
      LogError(__LINE__, "ERROR! - Can't Load Key\n");
      return false;
    }
    keys.push_back(std::move(key));
  }
  if (keysFound != count) {
    LogError(__LINE__, "ERROR! - Wrong Number Of Keys In Channel: %llu - %u\n",
             static_cast<unsigned long long>(keysFound), count);
    return false;
  }
  if (!payload.Finished()) {
    LogError(__LINE__, "ERROR! - Channel Envelope - Incorrect Size\n");
    return false;
  }
  // A channel keeps its keys in strictly increasing time; a file that breaks the order
  // cannot be represented and is refused rather than silently reordered.
  for (size_t i = 1; i < keys.size(); ++i)
    if (!(keys[i - 1]->GetKeyTime() < keys[i]->GetKeyTime())) {
      LogError(__LINE__, "ERROR! - Channel Envelope - Keys Are Not In Time Order\n");
      return false;
    }
  loaded.preBehaviour = preBehaviour;
  loaded.postBehaviour = postBehaviour;
  return true;
}

bool CZKSChannelEnvelopeExporter::ApplyChannel(LoadedChannel& loaded,
                                               CChannelEnvelopeInterface* channel) {
  channel->RemoveAllKeys();
  channel->SetPreBehaviour(loaded.preBehaviour);
  channel->SetPostBehaviour(loaded.postBehaviour);
  for (std::unique_ptr<CKeyInterface>& key : loaded.keys) {
    if (!channel->AddKey(key.get())) {
      LogError(__LINE__, "ERROR! - Channel Envelope - Keys Are Not In Time Order\n");
      return false;
    }
    key.release();  // the channel owns it now
  }
  return true;
}
