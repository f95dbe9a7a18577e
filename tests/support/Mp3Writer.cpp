#include "Mp3Writer.h"

#include <lame/lame.h>

#include <stdexcept>

Mp3Writer::Mp3Writer(int channels, int rate) : m_channels(channels), m_rate(rate) {}

Mp3Writer& Mp3Writer::Samples(const std::vector<int16_t>& samples) {
  m_samples = samples;
  return *this;
}

Mp3Writer& Mp3Writer::BitRate(int kilobits) {
  m_kilobits = kilobits;
  return *this;
}

std::string Mp3Writer::Bytes() const {
  lame_global_flags* lame = lame_init();
  if (!lame) throw std::runtime_error("lame_init failed");
  lame_set_num_channels(lame, m_channels);
  lame_set_in_samplerate(lame, m_rate);
  lame_set_out_samplerate(lame, m_rate);
  lame_set_mode(lame, m_channels == 1 ? MONO : STEREO);
  lame_set_brate(lame, m_kilobits);
  // No Xing/LAME header frame: the file is frames of audio only.
  lame_set_bWriteVbrTag(lame, 0);
  if (lame_init_params(lame) < 0) {
    lame_close(lame);
    throw std::runtime_error("lame_init_params refused the format");
  }

  const int frames = static_cast<int>(m_samples.size() / static_cast<size_t>(m_channels));
  std::string out;
  std::vector<unsigned char> encoded(static_cast<size_t>(1.25 * frames + 7200 + 7200));
  int written = 0;
  if (frames > 0) {
    std::vector<int16_t> samples = m_samples;
    written = m_channels == 1
                  ? lame_encode_buffer(lame, samples.data(), samples.data(), frames,
                                       encoded.data(), static_cast<int>(encoded.size()))
                  : lame_encode_buffer_interleaved(lame, samples.data(), frames, encoded.data(),
                                                   static_cast<int>(encoded.size()));
  }
  if (written < 0) {
    lame_close(lame);
    throw std::runtime_error("lame_encode_buffer failed");
  }
  out.append(reinterpret_cast<const char*>(encoded.data()), static_cast<size_t>(written));
  written = lame_encode_flush(lame, encoded.data(), static_cast<int>(encoded.size()));
  if (written > 0) out.append(reinterpret_cast<const char*>(encoded.data()), written);
  lame_close(lame);
  return out;
}
