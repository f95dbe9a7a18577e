#include "AviFrameDecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}
#include <cstring>
#include <utility>

#include "AviInput.h"
#include "AviStream.h"

namespace {

// Frames ahead of the decoder up to this many are decoded through rather than sought.
constexpr int64_t kDecodeAhead = 32;

}  // namespace

CAviFrameDecoder::CAviFrameDecoder(CAviStream& stream) : m_stream(stream) {}

CAviFrameDecoder::~CAviFrameDecoder() {
  sws_freeContext(m_scaler);
  av_packet_free(&m_packet);
  av_frame_free(&m_frame);
  avcodec_free_context(&m_decoder);
}

std::unique_ptr<CAviFrameDecoder> CAviFrameDecoder::Open(CAviStream& stream, HRESULT& result) {
  std::unique_ptr<CAviFrameDecoder> self(new CAviFrameDecoder(stream));
  self->m_input = CAviInput::Open(stream.Path(), result);
  if (!self->m_input) return nullptr;
  AVFormatContext* context = self->m_input->Context();
  self->m_streamIndex = stream.Index();
  if (self->m_streamIndex >= static_cast<int>(context->nb_streams)) {
    result = AVIERR_NODATA;
    return nullptr;
  }
  const AVCodecParameters* parameters = context->streams[self->m_streamIndex]->codecpar;
  const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
  result = AVIERR_NOCOMPRESSOR;
  if (!codec) return nullptr;
  self->m_decoder = avcodec_alloc_context3(codec);
  self->m_frame = av_frame_alloc();
  self->m_packet = av_packet_alloc();
  if (!self->m_decoder || !self->m_frame || !self->m_packet) {
    result = AVIERR_MEMORY;
    return nullptr;
  }
  if (avcodec_parameters_to_context(self->m_decoder, parameters) < 0 ||
      avcodec_open2(self->m_decoder, codec, nullptr) < 0)
    return nullptr;

  const RECT& frame = stream.Info().rcFrame;
  self->m_width = frame.right - frame.left;
  self->m_height = frame.bottom - frame.top;
  const size_t stride = (static_cast<size_t>(self->m_width) * 3 + 3) & ~size_t{3};
  self->m_dib.assign(sizeof(BITMAPINFOHEADER) + stride * self->m_height, 0);
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = self->m_width;
  header.biHeight = self->m_height;  // rows from the bottom up
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  header.biSizeImage = static_cast<DWORD>(stride * self->m_height);
  std::memcpy(self->m_dib.data(), &header, sizeof header);
  result = AVIERR_OK;
  return self;
}

void* CAviFrameDecoder::GetFrame(LONG number) {
  if (number < 0 || number >= static_cast<LONG>(m_stream.Info().dwLength)) return nullptr;
  if (number == m_current) return m_dib.data();
  if ((m_next >= 0 && (number < m_next || number > m_next + kDecodeAhead)) ||
      (m_next < 0 && number < m_current)) {
    if (!Seek(number)) return nullptr;
  }
  if (!DecodeUntil(number) || !Convert()) return nullptr;
  m_current = number;
  return m_dib.data();
}

bool CAviFrameDecoder::Seek(LONG number) {
  AVFormatContext* context = m_input->Context();
  const AVStream* stream = context->streams[m_streamIndex];
  const AVRational frameTime{static_cast<int>(m_stream.Info().dwScale),
                             static_cast<int>(m_stream.Info().dwRate)};
  const int64_t start = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
  const int64_t target = start + av_rescale_q(number, frameTime, stream->time_base);
  if (av_seek_frame(context, m_streamIndex, target, AVSEEK_FLAG_BACKWARD) < 0) return false;
  avcodec_flush_buffers(m_decoder);
  m_next = -1;
  m_current = -1;
  m_draining = false;
  return true;
}

bool CAviFrameDecoder::DecodeUntil(LONG number) {
  AVFormatContext* context = m_input->Context();
  const AVStream* stream = context->streams[m_streamIndex];
  const AVRational frameTime{static_cast<int>(m_stream.Info().dwScale),
                             static_cast<int>(m_stream.Info().dwRate)};
  const int64_t start = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
  for (;;) {
    const int received = avcodec_receive_frame(m_decoder, m_frame);
    if (received == 0) {
      const int64_t pts = m_frame->best_effort_timestamp;
      const int64_t at = pts != AV_NOPTS_VALUE
                             ? av_rescale_q(pts - start, stream->time_base, frameTime)
                         : m_next >= 0 ? m_next
                                       : number;
      m_next = at + 1;
      if (at >= number) return true;
      av_frame_unref(m_frame);
      continue;
    }
    if (received != AVERROR(EAGAIN) || m_draining) return false;
    const int read = av_read_frame(context, m_packet);
    if (read < 0) {
      m_draining = true;
      avcodec_send_packet(m_decoder, nullptr);
      continue;
    }
    // A damaged packet is skipped; its frame is then served by the next one that decodes.
    if (m_packet->stream_index == m_streamIndex) avcodec_send_packet(m_decoder, m_packet);
    av_packet_unref(m_packet);
  }
}

bool CAviFrameDecoder::Convert() {
  // JPEG's full-range formats are the plain ones with the range said apart.
  AVPixelFormat format = static_cast<AVPixelFormat>(m_frame->format);
  bool fullRange = m_frame->color_range == AVCOL_RANGE_JPEG;
  for (auto [jpeg, plain] : {std::pair{AV_PIX_FMT_YUVJ420P, AV_PIX_FMT_YUV420P},
                             std::pair{AV_PIX_FMT_YUVJ422P, AV_PIX_FMT_YUV422P},
                             std::pair{AV_PIX_FMT_YUVJ444P, AV_PIX_FMT_YUV444P}}) {
    if (format == jpeg) {
      format = plain;
      fullRange = true;
    }
  }
  m_scaler =
      sws_getCachedContext(m_scaler, m_frame->width, m_frame->height, format, m_width, m_height,
                           AV_PIX_FMT_BGR24, SWS_BILINEAR, nullptr, nullptr, nullptr);
  if (!m_scaler) {
    av_frame_unref(m_frame);
    return false;
  }
  int* inverse;
  int* table;
  int sourceRange, targetRange, brightness, contrast, saturation;
  if (sws_getColorspaceDetails(m_scaler, &inverse, &sourceRange, &table, &targetRange, &brightness,
                               &contrast, &saturation) >= 0 &&
      sourceRange != static_cast<int>(fullRange))
    sws_setColorspaceDetails(m_scaler, inverse, fullRange, table, targetRange, brightness, contrast,
                             saturation);
  // Written from the last row up with a negative stride: a bottom-up DIB.
  const int stride = (m_width * 3 + 3) & ~3;
  uint8_t* rows[4] = {m_dib.data() + sizeof(BITMAPINFOHEADER) +
                      static_cast<size_t>(stride) * (m_height - 1)};
  const int strides[4] = {-stride};
  const int written =
      sws_scale(m_scaler, m_frame->data, m_frame->linesize, 0, m_frame->height, rows, strides);
  av_frame_unref(m_frame);
  return written == m_height;
}
