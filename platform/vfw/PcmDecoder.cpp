#include "PcmDecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}
#include <climits>
#include <memory>

#include "AviInput.h"
#include "vfw.h"

namespace {

struct CodecDeleter {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
  void operator()(AVFrame* f) const { av_frame_free(&f); }
  void operator()(AVPacket* p) const { av_packet_free(&p); }
  void operator()(SwrContext* s) const { swr_free(&s); }
};

// The PCM bytes of one run of converted samples are appended; false past the size a LONG
// byte count can report.
bool Append(std::vector<BYTE>& pcm, const BYTE* data, size_t size) {
  if (pcm.size() + size > static_cast<size_t>(LONG_MAX)) return false;
  pcm.insert(pcm.end(), data, data + size);
  return true;
}

}  // namespace

HRESULT CPcmDecoder::Decode(const std::string& path, int index, WAVEFORMATEX& format,
                            std::vector<BYTE>& pcm) {
  HRESULT result;
  std::unique_ptr<CAviInput> input = CAviInput::Open(path, result);
  if (!input) return result;
  AVFormatContext* context = input->Context();
  if (index < 0 || index >= static_cast<int>(context->nb_streams)) return AVIERR_NODATA;
  const AVCodecParameters* parameters = context->streams[index]->codecpar;
  const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
  if (!codec) return AVIERR_NOCOMPRESSOR;
  std::unique_ptr<AVCodecContext, CodecDeleter> decoder(avcodec_alloc_context3(codec));
  if (!decoder) return AVIERR_MEMORY;
  if (avcodec_parameters_to_context(decoder.get(), parameters) < 0 ||
      avcodec_open2(decoder.get(), codec, nullptr) < 0)
    return AVIERR_NOCOMPRESSOR;
  if (decoder->sample_rate <= 0 || decoder->ch_layout.nb_channels <= 0) return AVIERR_BADFORMAT;

  const bool eightBit = parameters->codec_id == AV_CODEC_ID_PCM_U8;
  const AVSampleFormat target = eightBit ? AV_SAMPLE_FMT_U8 : AV_SAMPLE_FMT_S16;
  const int channels = decoder->ch_layout.nb_channels >= 2 ? 2 : 1;
  AVChannelLayout layout;
  av_channel_layout_default(&layout, channels);
  format = WAVEFORMATEX{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = static_cast<WORD>(channels);
  format.nSamplesPerSec = static_cast<DWORD>(decoder->sample_rate);
  format.wBitsPerSample = eightBit ? 8 : 16;
  format.nBlockAlign = static_cast<WORD>(channels * format.wBitsPerSample / 8);
  format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;

  SwrContext* resampler = nullptr;
  if (swr_alloc_set_opts2(&resampler, &layout, target, decoder->sample_rate, &decoder->ch_layout,
                          decoder->sample_fmt, decoder->sample_rate, 0, nullptr) < 0)
    return AVIERR_MEMORY;
  std::unique_ptr<SwrContext, CodecDeleter> converter(resampler);
  if (swr_init(converter.get()) < 0) return AVIERR_BADFORMAT;

  std::unique_ptr<AVPacket, CodecDeleter> packet(av_packet_alloc());
  std::unique_ptr<AVFrame, CodecDeleter> frame(av_frame_alloc());
  if (!packet || !frame) return AVIERR_MEMORY;
  std::vector<BYTE> converted;
  pcm.clear();
  bool draining = false;
  for (;;) {
    const int received = avcodec_receive_frame(decoder.get(), frame.get());
    if (received == AVERROR_EOF) break;
    if (received == AVERROR(EAGAIN)) {
      if (draining) break;
      const int read = av_read_frame(context, packet.get());
      if (read < 0) {
        if (read != AVERROR_EOF) return AVIERR_FILEREAD;
        draining = true;
        avcodec_send_packet(decoder.get(), nullptr);
        continue;
      }
      // A packet the decoder refuses is skipped: a moment of silence beats no sound at all.
      const int sent =
          packet->stream_index == index ? avcodec_send_packet(decoder.get(), packet.get()) : 0;
      av_packet_unref(packet.get());
      if (sent == AVERROR(ENOMEM)) return AVIERR_MEMORY;
      continue;
    }
    if (received < 0) return AVIERR_BADFORMAT;
    const int room = swr_get_out_samples(converter.get(), frame->nb_samples);
    if (room < 0) return AVIERR_INTERNAL;
    converted.resize(static_cast<size_t>(room) * format.nBlockAlign);
    uint8_t* out = converted.data();
    const int samples =
        swr_convert(converter.get(), &out, room, const_cast<const uint8_t**>(frame->extended_data),
                    frame->nb_samples);
    av_frame_unref(frame.get());
    if (samples < 0) return AVIERR_BADFORMAT;
    if (!Append(pcm, converted.data(), static_cast<size_t>(samples) * format.nBlockAlign))
      return AVIERR_MEMORY;
  }
  // What the converter still holds.
  for (;;) {
    const int room = swr_get_out_samples(converter.get(), 0);
    if (room <= 0) break;
    converted.resize(static_cast<size_t>(room) * format.nBlockAlign);
    uint8_t* out = converted.data();
    const int samples = swr_convert(converter.get(), &out, room, nullptr, 0);
    if (samples <= 0) break;
    if (!Append(pcm, converted.data(), static_cast<size_t>(samples) * format.nBlockAlign))
      return AVIERR_MEMORY;
  }
  return AVIERR_OK;
}
