#include "AviFile.h"

extern "C" {
#include <libavformat/avformat.h>
}
#include <cstdio>

#include "AviInput.h"
#include "AviStream.h"
#include "zkplatform/ZkPaths.h"

CAviFile::~CAviFile() = default;

std::unique_ptr<CAviFile> CAviFile::Open(const char* name, HRESULT& result) {
  std::unique_ptr<CAviFile> self(new CAviFile);
  self->m_path = ZkMapPath(name);
  self->m_input = CAviInput::Open(self->m_path, result);
  if (!self->m_input) return nullptr;
  const AVFormatContext* context = self->m_input->Context();
  AVIFILEINFOA& info = self->m_info;
  info.dwCaps = AVIFILECAPS_CANREAD;
  info.dwStreams = context->nb_streams;
  info.dwMaxBytesPerSec = context->bit_rate > 0 ? static_cast<DWORD>(context->bit_rate / 8) : 0;
  snprintf(info.szFileType, sizeof info.szFileType, "%s", "AVI File");
  // The file's size and timing are those of its first video stream.
  const int video = self->FindStream(streamtypeVIDEO, 0);
  if (video >= 0) {
    HRESULT ignored;
    if (std::unique_ptr<CAviStream> stream =
            CAviStream::Create(self->m_path, *self->m_input, video, ignored)) {
      const AVISTREAMINFOA& s = stream->Info();
      info.dwWidth = static_cast<DWORD>(s.rcFrame.right);
      info.dwHeight = static_cast<DWORD>(s.rcFrame.bottom);
      info.dwScale = s.dwScale;
      info.dwRate = s.dwRate;
      info.dwLength = s.dwLength;
      info.dwSuggestedBufferSize = s.dwSuggestedBufferSize;
    }
  }
  result = AVIERR_OK;
  return self;
}

int CAviFile::FindStream(DWORD type, LONG number) const {
  if (number < 0) return -1;
  const AVFormatContext* context = m_input->Context();
  for (unsigned i = 0; i < context->nb_streams; ++i) {
    const AVMediaType kind = context->streams[i]->codecpar->codec_type;
    const bool matches = type == 0 ? kind == AVMEDIA_TYPE_VIDEO || kind == AVMEDIA_TYPE_AUDIO
                         : type == streamtypeVIDEO ? kind == AVMEDIA_TYPE_VIDEO
                         : type == streamtypeAUDIO ? kind == AVMEDIA_TYPE_AUDIO
                                                   : false;
    if (matches && number-- == 0) return static_cast<int>(i);
  }
  return -1;
}
