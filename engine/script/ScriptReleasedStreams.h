#pragma once
// Sound streams a script released. Scripts hold handles without counts, so the stream cannot be
// freed while a script may still call through its handle: it is stopped at once, every later
// call through it raises a script exception, and it is freed (and so leaves the sound server's
// list) when the script host ends.
#include <set>

class TonarisStream;

class CScriptReleasedStreams {
 public:
  static CScriptReleasedStreams& Instance();

  // Stops the stream and keeps it; false when it was released before.
  bool Release(TonarisStream* stream);
  bool IsReleased(TonarisStream* stream) const { return m_Streams.count(stream) != 0; }
  // Frees every stream released so far.
  void FreeAll();

 private:
  std::set<TonarisStream*> m_Streams;
};
