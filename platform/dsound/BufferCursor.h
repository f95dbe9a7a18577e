#pragma once
// Where a sound buffer is playing, as a pure function of the platform clock: the cursor moves
// from the frame it was started at by (now - start) x rate, wrapping when looping and stopping
// at the end when not. Kept apart from any output so that it is exact and testable.
#include <cstdint>

class CBufferCursor {
 public:
  CBufferCursor(uint32_t frames, uint32_t rate);

  // Starts (or, when already playing, re-starts from the current frame with the new looping).
  void Play(uint64_t now, bool looping);
  // Freezes the cursor where it is.
  void Stop(uint64_t now);
  // Moves the cursor; a playing buffer goes on from there.
  void SetFrame(uint64_t now, uint32_t frame);
  // Changes the playback rate from now on.
  void SetRate(uint64_t now, uint32_t rate);

  // Playing, and for a one-shot not yet past its last frame.
  bool IsPlaying(uint64_t now) const;
  bool IsLooping() const { return m_looping; }
  // The frame the play cursor is on. A one-shot that reached its end is back at frame 0, so a
  // new Play plays it again from the start.
  uint32_t Frame(uint64_t now) const;
  // Frames played since the last start, seek or rate change, counting loops, and for a
  // one-shot never beyond its last frame.
  uint64_t FramesSinceAnchor(uint64_t now) const;
  // The frame that the n-th frame after the anchor reads.
  uint32_t FrameAfterAnchor(uint64_t n) const;

  uint32_t Rate() const { return m_rate; }
  uint32_t Frames() const { return m_frames; }

 private:
  uint64_t ElapsedFrames(uint64_t now) const;
  bool ReachedEnd(uint64_t now) const;
  void Anchor(uint64_t now, uint32_t frame);

  uint32_t m_frames;
  uint32_t m_rate;
  bool m_playing = false;
  bool m_looping = false;
  uint64_t m_anchorTime = 0;
  uint32_t m_anchorFrame = 0;
};
