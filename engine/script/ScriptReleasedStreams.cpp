#include "script/ScriptReleasedStreams.h"

#include "TonarisInterface.h"
#include "core/EngineContext.h"
#include "sound/Tonaris.h"

CScriptReleasedStreams& CScriptReleasedStreams::Instance() {
  static CScriptReleasedStreams streams;
  return streams;
}

bool CScriptReleasedStreams::Release(TonarisStream* stream) {
  if (stream == nullptr || !m_Streams.insert(stream).second) return false;
  stream->Stop();
  if (auto* server = dynamic_cast<CTonaris*>(GetEngineContext()->pSoundServer))
    server->UnlinkStream(stream);
  return true;
}

void CScriptReleasedStreams::FreeAll() {
  std::set<TonarisStream*> streams;
  streams.swap(m_Streams);
  for (TonarisStream* stream : streams) stream->Release();
}
