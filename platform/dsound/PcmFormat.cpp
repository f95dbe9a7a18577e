#include "PcmFormat.h"

#include <cstring>

namespace {
constexpr uint32_t kMinRate = 100;
constexpr uint32_t kMaxRate = 200000;
}  // namespace

CPcmFormat::Check CPcmFormat::Validate(const WAVEFORMATEX& format) {
  if (format.nChannels == 0 || format.nBlockAlign == 0 || format.wBitsPerSample == 0)
    return Check::Invalid;
  if (format.nSamplesPerSec < kMinRate || format.nSamplesPerSec > kMaxRate) return Check::Invalid;
  if (format.wFormatTag != WAVE_FORMAT_PCM) return Check::Unsupported;
  if (format.wBitsPerSample != 8 && format.wBitsPerSample != 16) return Check::Unsupported;
  if (format.nChannels > 2) return Check::Unsupported;
  if (format.nBlockAlign != format.nChannels * format.wBitsPerSample / 8) return Check::Invalid;
  return Check::Valid;
}

CPcmFormat::CPcmFormat(const WAVEFORMATEX& format)
    : m_channels(format.nChannels),
      m_bits(format.wBitsPerSample),
      m_blockAlign(format.nBlockAlign),
      m_rate(format.nSamplesPerSec) {}

float CPcmFormat::Sample(const uint8_t* frame, uint32_t channel) const {
  if (m_bits == 8) return (static_cast<int>(frame[channel]) - 128) / 128.0f;
  int16_t value;
  std::memcpy(&value, frame + channel * 2, sizeof value);
  return value / 32768.0f;
}

void CPcmFormat::AppendFrame(const uint8_t* frame, uint32_t outChannels, float leftGain,
                             float rightGain, std::vector<float>& out) const {
  const float left = Sample(frame, 0);
  const float right = m_channels > 1 ? Sample(frame, 1) : left;
  if (outChannels == 1) {
    out.push_back((left * leftGain + right * rightGain) * 0.5f);
  } else {
    out.push_back(left * leftGain);
    out.push_back(right * rightGain);
  }
}
