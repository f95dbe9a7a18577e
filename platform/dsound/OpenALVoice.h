#pragma once
// One OpenAL source fed by one ISoundVoiceSource: each pump queues the samples that came due
// and follows the source's gain and 3D settings. Every call needs the output's context current.
#include <AL/al.h>

#include <deque>

#include "SoundVoice.h"

class COpenALVoice {
 public:
  explicit COpenALVoice(ISoundVoiceSource* source);
  ~COpenALVoice();
  COpenALVoice(const COpenALVoice&) = delete;
  COpenALVoice& operator=(const COpenALVoice&) = delete;

  ISoundVoiceSource* Source() const { return m_source; }
  void Pump(uint64_t now, uint64_t leadMicros);

 private:
  void Flush();
  void ReclaimPlayed();
  // Frames queued and not yet played.
  uint64_t PendingFrames();
  void Queue(uint64_t leadMicros);
  void ApplySettings();

  ISoundVoiceSource* m_source;
  ALuint m_name = 0;
  bool m_fed = false;
  uint32_t m_generation = 0;
  SoundVoiceFeed m_feed;
  std::deque<uint64_t> m_bufferFrames;  // of each queued buffer, oldest first
};
