#include "OggWriter.h"

#include <vorbis/vorbisenc.h>

#include <cstdlib>
#include <stdexcept>

OggWriter::OggWriter(int channels, long rate) : m_channels(channels), m_rate(rate) {}

OggWriter& OggWriter::Samples(const std::vector<int16_t>& samples) {
  m_samples = samples;
  return *this;
}

OggWriter& OggWriter::Quality(float quality) {
  m_quality = quality;
  return *this;
}

namespace {

void AppendPage(std::string& out, const ogg_page& page) {
  out.append(reinterpret_cast<const char*>(page.header), page.header_len);
  out.append(reinterpret_cast<const char*>(page.body), page.body_len);
}

}  // namespace

std::string OggWriter::Bytes() const {
  vorbis_info info;
  vorbis_info_init(&info);
  if (vorbis_encode_init_vbr(&info, m_channels, m_rate, m_quality) != 0) {
    vorbis_info_clear(&info);
    throw std::runtime_error("vorbis_encode_init_vbr refused the format");
  }
  vorbis_comment comment;
  vorbis_comment_init(&comment);
  vorbis_dsp_state dsp;
  vorbis_block block;
  vorbis_analysis_init(&dsp, &info);
  vorbis_block_init(&dsp, &block);
  ogg_stream_state stream;
  ogg_stream_init(&stream, 1);

  std::string out;
  ogg_page page;
  ogg_packet header, commentHeader, codeHeader;
  vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codeHeader);
  ogg_stream_packetin(&stream, &header);
  ogg_stream_packetin(&stream, &commentHeader);
  ogg_stream_packetin(&stream, &codeHeader);
  // Audio starts on a fresh page, as decoders expect.
  while (ogg_stream_flush(&stream, &page) != 0) AppendPage(out, page);

  const size_t frames = m_samples.size() / static_cast<size_t>(m_channels);
  const size_t kChunk = 4096;
  for (size_t start = 0;; start += kChunk) {
    const size_t count = start < frames ? std::min(kChunk, frames - start) : 0;
    if (count == 0) {
      vorbis_analysis_wrote(&dsp, 0);
    } else {
      float** planes = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
      for (size_t i = 0; i < count; ++i)
        for (int c = 0; c < m_channels; ++c)
          planes[c][i] = m_samples[(start + i) * m_channels + c] / 32768.0f;
      vorbis_analysis_wrote(&dsp, static_cast<int>(count));
    }
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
      vorbis_analysis(&block, nullptr);
      vorbis_bitrate_addblock(&block);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
        ogg_stream_packetin(&stream, &packet);
        while (ogg_stream_pageout(&stream, &page) != 0) AppendPage(out, page);
      }
    }
    if (count == 0) break;
  }
  while (ogg_stream_flush(&stream, &page) != 0) AppendPage(out, page);

  ogg_stream_clear(&stream);
  vorbis_block_clear(&block);
  vorbis_dsp_clear(&dsp);
  vorbis_comment_clear(&comment);
  vorbis_info_clear(&info);
  return out;
}
