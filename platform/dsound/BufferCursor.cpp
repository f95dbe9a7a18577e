#include "BufferCursor.h"

CBufferCursor::CBufferCursor(uint32_t frames, uint32_t rate) : m_frames(frames), m_rate(rate) {}

uint64_t CBufferCursor::ElapsedFrames(uint64_t now) const {
  if (!m_playing || now <= m_anchorTime) return 0;
  return (now - m_anchorTime) * m_rate / 1000000u;
}

bool CBufferCursor::ReachedEnd(uint64_t now) const {
  return m_playing && !m_looping && m_anchorFrame + ElapsedFrames(now) >= m_frames;
}

void CBufferCursor::Anchor(uint64_t now, uint32_t frame) {
  m_anchorTime = now;
  m_anchorFrame = m_frames == 0 ? 0 : frame % m_frames;
}

void CBufferCursor::Play(uint64_t now, bool looping) {
  const uint32_t frame = Frame(now);
  Anchor(now, frame);
  m_playing = m_frames > 0;
  m_looping = looping;
}

void CBufferCursor::Stop(uint64_t now) {
  const uint32_t frame = Frame(now);
  m_playing = false;
  Anchor(now, frame);
}

void CBufferCursor::SetFrame(uint64_t now, uint32_t frame) {
  if (ReachedEnd(now)) m_playing = false;
  Anchor(now, frame);
}

void CBufferCursor::SetRate(uint64_t now, uint32_t rate) {
  const uint32_t frame = Frame(now);
  if (ReachedEnd(now)) m_playing = false;
  Anchor(now, frame);
  m_rate = rate;
}

bool CBufferCursor::IsPlaying(uint64_t now) const { return m_playing && !ReachedEnd(now); }

uint32_t CBufferCursor::Frame(uint64_t now) const {
  if (m_frames == 0 || ReachedEnd(now)) return 0;
  return static_cast<uint32_t>((m_anchorFrame + ElapsedFrames(now)) % m_frames);
}

uint64_t CBufferCursor::FramesSinceAnchor(uint64_t now) const {
  const uint64_t elapsed = ElapsedFrames(now);
  if (m_looping) return elapsed;
  const uint64_t remaining = m_frames - m_anchorFrame;
  return elapsed < remaining ? elapsed : remaining;
}

uint32_t CBufferCursor::FrameAfterAnchor(uint64_t n) const {
  return m_frames == 0 ? 0 : static_cast<uint32_t>((m_anchorFrame + n) % m_frames);
}
