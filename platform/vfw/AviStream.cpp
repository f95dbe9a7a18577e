#include "AviStream.h"

extern "C" {
#include <libavformat/avformat.h>
}
#include <algorithm>
#include <climits>
#include <cstring>

#include "AviInput.h"
#include "PcmDecoder.h"

namespace {

// Larger frames are refused rather than allocated: no video the game plays comes near.
constexpr int kMaxFrameSide = 8192;

DWORD Clamp32(int64_t value) {
  return static_cast<DWORD>(std::clamp<int64_t>(value, 0, UINT32_MAX));
}

void CopyName(char* field, size_t size, const char* text) {
  snprintf(field, size, "%s", text ? text : "");
}

}  // namespace

std::unique_ptr<CAviStream> CAviStream::Create(const std::string& path, CAviInput& input, int index,
                                               HRESULT& result) {
  AVFormatContext* context = input.Context();
  if (index < 0 || index >= static_cast<int>(context->nb_streams)) {
    result = AVIERR_NODATA;
    return nullptr;
  }
  const AVStream* stream = context->streams[index];
  const AVCodecParameters* parameters = stream->codecpar;
  std::unique_ptr<CAviStream> self(new CAviStream(path, index));
  AVISTREAMINFOA& info = self->m_info;
  info.fccHandler = parameters->codec_tag;
  info.dwQuality = 0xFFFFFFFF;  // the default quality
  const AVDictionaryEntry* title = av_dict_get(stream->metadata, "title", nullptr, 0);
  CopyName(info.szName, sizeof info.szName, title ? title->value : nullptr);

  if (parameters->codec_type == AVMEDIA_TYPE_VIDEO) {
    if (parameters->width <= 0 || parameters->height <= 0 || parameters->width > kMaxFrameSide ||
        parameters->height > kMaxFrameSide) {
      result = AVIERR_BADFORMAT;
      return nullptr;
    }
    // One sample is one frame: dwRate / dwScale frames per second.
    AVRational frameTime = stream->avg_frame_rate.num > 0 && stream->avg_frame_rate.den > 0
                               ? av_inv_q(stream->avg_frame_rate)
                               : stream->time_base;
    av_reduce(&frameTime.num, &frameTime.den, frameTime.num, frameTime.den, INT_MAX);
    info.fccType = streamtypeVIDEO;
    info.dwScale = static_cast<DWORD>(frameTime.num);
    info.dwRate = static_cast<DWORD>(frameTime.den);
    int64_t frames = stream->nb_frames;
    if (frames <= 0 && stream->duration != AV_NOPTS_VALUE)
      frames = av_rescale_q(stream->duration, stream->time_base, frameTime);
    info.dwLength = Clamp32(std::min<int64_t>(frames, LONG_MAX));
    info.rcFrame = {0, 0, parameters->width, parameters->height};
    info.dwSuggestedBufferSize = Clamp32(int64_t{parameters->width} * parameters->height * 3);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = parameters->width;
    header.biHeight = parameters->height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(
        parameters->bits_per_coded_sample > 0 ? parameters->bits_per_coded_sample : 24);
    header.biCompression = parameters->codec_tag;
    self->m_format.assign(reinterpret_cast<const BYTE*>(&header),
                          reinterpret_cast<const BYTE*>(&header) + sizeof header);
  } else if (parameters->codec_type == AVMEDIA_TYPE_AUDIO) {
    WAVEFORMATEX format;
    result = CPcmDecoder::Decode(path, index, format, self->m_pcm);
    if (result != AVIERR_OK) return nullptr;
    // As AVI files describe PCM: one sample is one block of all channels.
    info.fccType = streamtypeAUDIO;
    info.dwScale = format.nBlockAlign;
    info.dwRate = format.nAvgBytesPerSec;
    info.dwSampleSize = format.nBlockAlign;
    info.dwLength = static_cast<DWORD>(self->m_pcm.size() / format.nBlockAlign);
    info.dwSuggestedBufferSize = format.nAvgBytesPerSec;
    self->m_format.assign(reinterpret_cast<const BYTE*>(&format),
                          reinterpret_cast<const BYTE*>(&format) + sizeof format);
  } else {
    result = AVIERR_UNSUPPORTED;
    return nullptr;
  }
  result = AVIERR_OK;
  return self;
}

LONG CAviStream::SampleToTime(LONG sample) const {
  if (sample < 0 || m_info.dwRate == 0) return -1;
  const int64_t ms = (int64_t{sample} * m_info.dwScale * 1000 + m_info.dwRate / 2) / m_info.dwRate;
  return static_cast<LONG>(std::min<int64_t>(ms, LONG_MAX));
}

LONG CAviStream::TimeToSample(LONG milliseconds) const {
  if (milliseconds < 0 || m_info.dwScale == 0) return -1;
  const int64_t sample = int64_t{milliseconds} * m_info.dwRate / (int64_t{m_info.dwScale} * 1000);
  return static_cast<LONG>(std::min<int64_t>(sample, LONG_MAX));
}

HRESULT CAviStream::ReadFormat(LPVOID format, LONG* formatSize) const {
  if (!formatSize) return AVIERR_BADPARAM;
  const LONG size = static_cast<LONG>(m_format.size());
  if (format) {
    if (*formatSize < 0) return AVIERR_BADSIZE;
    std::memcpy(format, m_format.data(), static_cast<size_t>(std::min(*formatSize, size)));
  }
  *formatSize = size;
  return AVIERR_OK;
}

HRESULT CAviStream::Read(LONG start, LONG samples, LPVOID buffer, LONG bufferSize, LONG* bytesRead,
                         LONG* samplesRead) const {
  if (bytesRead) *bytesRead = 0;
  if (samplesRead) *samplesRead = 0;
  // Compressed video is only offered frame by frame, through the frame decoder.
  if (IsVideo()) return AVIERR_UNSUPPORTED;
  const LONG length = static_cast<LONG>(m_info.dwLength);
  if (start < 0 || start > length || (samples < 0 && samples != AVISTREAMREAD_CONVENIENT))
    return AVIERR_BADPARAM;
  LONG count =
      samples == AVISTREAMREAD_CONVENIENT ? length - start : std::min(samples, length - start);
  const LONG block = static_cast<LONG>(m_info.dwSampleSize);
  if (buffer) {
    if (bufferSize < 0) return AVIERR_BADSIZE;
    if (count > 0 && bufferSize < block) return AVIERR_BUFFERTOOSMALL;
    count = std::min(count, bufferSize / block);
    if (count > 0)
      std::memcpy(buffer, m_pcm.data() + static_cast<size_t>(start) * block,
                  static_cast<size_t>(count) * block);
  }
  if (bytesRead) *bytesRead = count * block;
  if (samplesRead) *samplesRead = count;
  return AVIERR_OK;
}
