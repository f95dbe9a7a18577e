#pragma once
// The animated transform of a scene object: nine keyed channels evaluated together.
#include "scene/ChannelEnvelope.h"
#include "windef.h"

enum : UINT {
  MOTION_POSITION_X = 0,
  MOTION_POSITION_Y = 1,
  MOTION_POSITION_Z = 2,
  MOTION_HEADING = 3,  // about Y
  MOTION_PITCH = 4,    // about X
  MOTION_BANK = 5,     // about Z
  MOTION_SCALE_X = 6,
  MOTION_SCALE_Y = 7,
  MOTION_SCALE_Z = 8,
  MOTION_CHANNELS = 9,
};

class CMotion final : public CMotionInterface {
 public:
  CMotion() = default;
  CMotion(const CMotion&) = delete;
  CMotion& operator=(const CMotion&) = delete;

  // Records the frame and evaluates the first GetNumberOfChannels channels at it.
  void Evaluate(float frame) override;
  UINT GetNumberOfChannels() override { return m_dwNumberOfChannels; }
  // Null for an index outside the nine channels.
  CChannelEnvelope* GetChannel(UINT index) override;
  float GetLastFrame() override { return m_fLastFrame; }

  // Counts above nine (from a damaged file) are held to nine.
  void SetNumberOfChannels(UINT count);
  // Copies the evaluated channels, the channel count and the last frame into the target.
  UINT CopyTo(CMotion& target) const;

 private:
  CChannelEnvelope m_Channels[MOTION_CHANNELS];
  UINT m_dwNumberOfChannels = 0;
  float m_fLastFrame = -1.0f;
};
