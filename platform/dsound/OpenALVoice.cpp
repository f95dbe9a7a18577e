#include "OpenALVoice.h"

#include <AL/alext.h>

#include <vector>

COpenALVoice::COpenALVoice(ISoundVoiceSource* source) : m_source(source) {
  alGetError();  // so that the check below sees only this call's error
  alGenSources(1, &m_name);
  if (alGetError() != AL_NO_ERROR) m_name = 0;
}

COpenALVoice::~COpenALVoice() {
  if (m_name == 0) return;
  Flush();
  alDeleteSources(1, &m_name);
}

void COpenALVoice::Flush() {
  alSourceStop(m_name);
  ALint queued = 0;
  alGetSourcei(m_name, AL_BUFFERS_QUEUED, &queued);
  std::vector<ALuint> buffers(static_cast<size_t>(queued));
  if (queued > 0) alSourceUnqueueBuffers(m_name, queued, buffers.data());
  alSourcei(m_name, AL_BUFFER, 0);
  m_bufferFrames.clear();
  if (!buffers.empty()) alDeleteBuffers(static_cast<ALsizei>(buffers.size()), buffers.data());
}

void COpenALVoice::ReclaimPlayed() {
  ALint processed = 0;
  alGetSourcei(m_name, AL_BUFFERS_PROCESSED, &processed);
  if (processed <= 0) return;
  std::vector<ALuint> buffers(static_cast<size_t>(processed));
  alSourceUnqueueBuffers(m_name, processed, buffers.data());
  alDeleteBuffers(processed, buffers.data());
  for (ALint i = 0; i < processed && !m_bufferFrames.empty(); ++i) m_bufferFrames.pop_front();
}

uint64_t COpenALVoice::PendingFrames() {
  uint64_t queued = 0;
  for (uint64_t frames : m_bufferFrames) queued += frames;
  ALint played = 0;
  alGetSourcei(m_name, AL_SAMPLE_OFFSET, &played);
  return played > 0 && static_cast<uint64_t>(played) < queued ? queued - played : queued;
}

void COpenALVoice::Queue(uint64_t leadMicros) {
  if (m_feed.samples.empty()) return;
  const uint64_t frames = m_feed.samples.size() / m_feed.channels;
  // The device's clock and the platform's drift apart; when the device falls behind by a
  // whole lead, samples are dropped rather than letting the delay grow without end.
  const uint64_t mostAhead = 2 * leadMicros * m_feed.rate / 1000000u;
  if (leadMicros > 0 && PendingFrames() > mostAhead) return;
  ALuint buffer = 0;
  alGetError();
  alGenBuffers(1, &buffer);
  if (alGetError() != AL_NO_ERROR) return;
  const ALenum format = m_feed.channels == 1 ? AL_FORMAT_MONO_FLOAT32 : AL_FORMAT_STEREO_FLOAT32;
  alBufferData(buffer, format, m_feed.samples.data(),
               static_cast<ALsizei>(m_feed.samples.size() * sizeof(float)),
               static_cast<ALsizei>(m_feed.rate));
  alSourceQueueBuffers(m_name, 1, &buffer);
  if (alGetError() != AL_NO_ERROR)
    alDeleteBuffers(1, &buffer);
  else
    m_bufferFrames.push_back(frames);
}

void COpenALVoice::ApplySettings() {
  alSourcef(m_name, AL_GAIN, m_feed.gain);
  if (!m_feed.positional) {
    // Plain buffers play their channels as they are, panned already.
    alSourcei(m_name, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
    alSourcei(m_name, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(m_name, AL_POSITION, 0, 0, 0);
    return;
  }
  alSourcei(m_name, AL_DIRECT_CHANNELS_SOFT, AL_FALSE);
  alSourcei(m_name, AL_SOURCE_RELATIVE, m_feed.headRelative ? AL_TRUE : AL_FALSE);
  alSourcefv(m_name, AL_POSITION, m_feed.position);
  alSourcefv(m_name, AL_VELOCITY, m_feed.velocity);
  alSourcefv(m_name, AL_DIRECTION, m_feed.direction);
  alSourcef(m_name, AL_CONE_INNER_ANGLE, m_feed.coneInnerAngle);
  alSourcef(m_name, AL_CONE_OUTER_ANGLE, m_feed.coneOuterAngle);
  alSourcef(m_name, AL_CONE_OUTER_GAIN, m_feed.coneOuterGain);
  alSourcef(m_name, AL_REFERENCE_DISTANCE, m_feed.minDistance);
  alSourcef(m_name, AL_MAX_DISTANCE, m_feed.maxDistance);
  alSourcef(m_name, AL_ROLLOFF_FACTOR, m_feed.rolloff);
}

void COpenALVoice::Pump(uint64_t now, uint64_t leadMicros) {
  if (m_name == 0) return;
  m_feed.samples.clear();
  m_source->Feed(now, leadMicros, m_feed);
  if (!m_fed || m_feed.generation != m_generation) {
    Flush();
    m_generation = m_feed.generation;
    m_fed = true;
  }
  ReclaimPlayed();
  ApplySettings();
  if (!m_feed.playing && m_feed.samples.empty()) return;
  Queue(leadMicros);
  ALint state = AL_STOPPED;
  alGetSourcei(m_name, AL_SOURCE_STATE, &state);
  ALint queued = 0;
  alGetSourcei(m_name, AL_BUFFERS_QUEUED, &queued);
  if (state != AL_PLAYING && queued > 0) alSourcePlay(m_name);
}
