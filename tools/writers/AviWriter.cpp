#include "AviWriter.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}
#include <algorithm>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

struct Deleter {
  void operator()(AVFormatContext* c) const {
    if (c->pb) avio_closep(&c->pb);
    avformat_free_context(c);
  }
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
  void operator()(AVFrame* f) const { av_frame_free(&f); }
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};

void Check(int result, const char* what) {
  if (result < 0) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(result, text, sizeof text);
    throw std::runtime_error(std::string("avi writer: ") + what + ": " + text);
  }
}

// Sends `frame` (null: flush) to `encoder` and writes every packet that comes out.
void Encode(AVFormatContext* output, AVCodecContext* encoder, AVStream* stream, AVFrame* frame) {
  Check(avcodec_send_frame(encoder, frame), "encode");
  std::unique_ptr<AVPacket, Deleter> packet(av_packet_alloc());
  for (;;) {
    const int received = avcodec_receive_packet(encoder, packet.get());
    if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return;
    Check(received, "encode");
    av_packet_rescale_ts(packet.get(), encoder->time_base, stream->time_base);
    packet->stream_index = stream->index;
    Check(av_interleaved_write_frame(output, packet.get()), "write");
  }
}

struct Track {
  std::unique_ptr<AVCodecContext, Deleter> encoder;
  AVStream* stream = nullptr;
};

Track AddTrack(AVFormatContext* output, AVCodecID id,
               const std::function<void(AVCodecContext*)>& setup) {
  const AVCodec* codec = avcodec_find_encoder(id);
  if (!codec) throw std::runtime_error("avi writer: no encoder");
  Track track;
  track.encoder.reset(avcodec_alloc_context3(codec));
  setup(track.encoder.get());
  if (output->oformat->flags & AVFMT_GLOBALHEADER)
    track.encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  Check(avcodec_open2(track.encoder.get(), codec, nullptr), "open encoder");
  track.stream = avformat_new_stream(output, nullptr);
  if (!track.stream) throw std::runtime_error("avi writer: no stream");
  Check(avcodec_parameters_from_context(track.stream->codecpar, track.encoder.get()), "parameters");
  track.stream->time_base = track.encoder->time_base;
  return track;
}

}  // namespace

uint32_t AviWriter::TopColour(int frame) {
  return static_cast<uint32_t>((frame * 40 + 20) % 256) << 16 | 0x00C000u | 0x10u;
}

uint32_t AviWriter::BottomColour(int frame) {
  return 0x200000u | static_cast<uint32_t>((frame * 40 + 60) % 256) << 8 | 0xE0u;
}

std::string AviWriter::SoundBytes(int frames) const {
  const int samples = frames * (m_sampleRate / m_fps);
  std::string bytes;
  if (m_sound == Sound::Pcm8Mono) {
    for (int i = 0; i < samples; ++i) bytes += static_cast<char>(i * 7 % 256);
  } else {
    for (int i = 0; i < samples; ++i)
      for (int channel = 0; channel < 2; ++channel) {
        const int16_t value = static_cast<int16_t>((i * 97 + channel * 5000) % 16000 - 8000);
        bytes += static_cast<char>(value & 0xFF);
        bytes += static_cast<char>(value >> 8 & 0xFF);
      }
  }
  return bytes;
}

void AviWriter::Write(const std::string& path, int frames) const {
  AVFormatContext* raw = nullptr;
  Check(avformat_alloc_output_context2(&raw, nullptr, "avi", path.c_str()), "output");
  std::unique_ptr<AVFormatContext, Deleter> output(raw);

  const bool mjpeg = m_video == Video::Mjpeg;
  const AVPixelFormat pixels = mjpeg ? AV_PIX_FMT_YUVJ420P : AV_PIX_FMT_BGR24;
  Track video = AddTrack(output.get(), mjpeg ? AV_CODEC_ID_MJPEG : AV_CODEC_ID_RAWVIDEO,
                         [&](AVCodecContext* c) {
                           c->width = m_width;
                           c->height = m_height;
                           c->pix_fmt = pixels;
                           c->time_base = {1, m_fps};
                           c->framerate = {m_fps, 1};
                           c->global_quality = FF_QP2LAMBDA * 2;
                           c->flags |= AV_CODEC_FLAG_QSCALE;
                         });
  Track sound;
  AVCodecID soundCodec = m_sound == Sound::Pcm8Mono    ? AV_CODEC_ID_PCM_U8
                         : m_sound == Sound::Mp2Stereo ? AV_CODEC_ID_MP2
                                                       : AV_CODEC_ID_PCM_S16LE;
  if (m_sound != Sound::None)
    sound = AddTrack(output.get(), soundCodec, [&](AVCodecContext* c) {
      c->sample_rate = m_sampleRate;
      c->sample_fmt = m_sound == Sound::Pcm8Mono ? AV_SAMPLE_FMT_U8 : AV_SAMPLE_FMT_S16;
      av_channel_layout_default(&c->ch_layout, m_sound == Sound::Pcm8Mono ? 1 : 2);
      c->time_base = {1, m_sampleRate};
      c->bit_rate = 192000;
    });

  Check(avio_open(&output->pb, path.c_str(), AVIO_FLAG_WRITE), "open file");
  Check(avformat_write_header(output.get(), nullptr), "header");

  // Video: draw each frame in BGR, then convert to the encoder's pixels.
  std::unique_ptr<AVFrame, Deleter> bgr(av_frame_alloc()), frame(av_frame_alloc());
  bgr->format = AV_PIX_FMT_BGR24;
  frame->format = pixels;
  for (AVFrame* f : {bgr.get(), frame.get()}) {
    f->width = m_width;
    f->height = m_height;
    Check(av_frame_get_buffer(f, 0), "frame");
  }
  SwsContext* scaler = sws_getContext(m_width, m_height, AV_PIX_FMT_BGR24, m_width, m_height,
                                      pixels, SWS_POINT, nullptr, nullptr, nullptr);
  for (int n = 0; n < frames; ++n) {
    for (int y = 0; y < m_height; ++y) {
      const uint32_t colour = y < m_height / 2 ? TopColour(n) : BottomColour(n);
      uint8_t* row = bgr->data[0] + y * bgr->linesize[0];
      for (int x = 0; x < m_width; ++x) {
        row[3 * x] = colour & 0xFF;
        row[3 * x + 1] = colour >> 8 & 0xFF;
        row[3 * x + 2] = colour >> 16 & 0xFF;
      }
    }
    Check(av_frame_make_writable(frame.get()), "frame");
    sws_scale(scaler, bgr->data, bgr->linesize, 0, m_height, frame->data, frame->linesize);
    frame->pts = n;
    Encode(output.get(), video.encoder.get(), video.stream, frame.get());
  }
  sws_freeContext(scaler);
  Encode(output.get(), video.encoder.get(), video.stream, nullptr);

  // Sound: the whole pattern, in blocks of the encoder's frame size.
  if (m_sound != Sound::None) {
    AVCodecContext* encoder = sound.encoder.get();
    const std::string bytes = SoundBytes(frames);
    const int blockAlign =
        encoder->ch_layout.nb_channels * av_get_bytes_per_sample(encoder->sample_fmt);
    const int total = static_cast<int>(bytes.size()) / blockAlign;
    const int chunk = encoder->frame_size > 0 ? encoder->frame_size : 1024;
    std::unique_ptr<AVFrame, Deleter> samples(av_frame_alloc());
    for (int at = 0; at < total; at += chunk) {
      av_frame_unref(samples.get());
      samples->format = encoder->sample_fmt;
      samples->sample_rate = encoder->sample_rate;
      Check(av_channel_layout_copy(&samples->ch_layout, &encoder->ch_layout), "layout");
      samples->nb_samples = encoder->frame_size > 0 ? chunk : std::min(chunk, total - at);
      Check(av_frame_get_buffer(samples.get(), 0), "samples");
      std::fill_n(samples->data[0], samples->nb_samples * blockAlign, 0);
      const int count = std::min(samples->nb_samples, total - at);
      std::copy_n(bytes.data() + static_cast<size_t>(at) * blockAlign, count * blockAlign,
                  samples->data[0]);
      samples->pts = at;
      Encode(output.get(), encoder, sound.stream, samples.get());
    }
    Encode(output.get(), encoder, sound.stream, nullptr);
  }
  Check(av_write_trailer(output.get()), "trailer");
}
