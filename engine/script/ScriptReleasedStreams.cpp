#include "script/ScriptReleasedStreams.h"

#include "TonarisInterface.h"

CScriptReleasedStreams& CScriptReleasedStreams::Instance() {
  static CScriptReleasedStreams streams;
  return streams;
}

bool CScriptReleasedStreams::Release(TonarisStream* stream) {
  if (stream == nullptr || !m_Streams.insert(stream).second) return false;
  // Stopped, it stays in the server's list untouched: the refill passes only playing sounds.
  stream->Stop();
  return true;
}

void CScriptReleasedStreams::FreeAll() {
  std::set<TonarisStream*> streams;
  streams.swap(m_Streams);
  for (TonarisStream* stream : streams) stream->Release();
}
