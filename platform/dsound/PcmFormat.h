#pragma once
// The PCM formats that buffers and waveOut devices accept (8-bit unsigned or 16-bit signed,
// mono or stereo), and their conversion to the float samples the output is fed with.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "mmreg.h"

class CPcmFormat {
 public:
  enum class Check { Valid, Invalid, Unsupported };
  // Invalid: a record that cannot describe PCM (zero channels or block align, a block align
  // that does not match, a rate out of range). Unsupported: well formed but not playable here.
  static Check Validate(const WAVEFORMATEX& format);

  explicit CPcmFormat(const WAVEFORMATEX& format);

  uint32_t Channels() const { return m_channels; }
  uint32_t BlockAlign() const { return m_blockAlign; }
  uint32_t Rate() const { return m_rate; }

  // Appends one frame as `outChannels` (1 or 2) floats: a mono frame goes to both sides of a
  // stereo output, a stereo frame is averaged into a mono one. Each side is scaled by its gain.
  void AppendFrame(const uint8_t* frame, uint32_t outChannels, float leftGain, float rightGain,
                   std::vector<float>& out) const;

 private:
  float Sample(const uint8_t* frame, uint32_t channel) const;

  uint32_t m_channels;
  uint32_t m_bits;
  uint32_t m_blockAlign;
  uint32_t m_rate;
};
