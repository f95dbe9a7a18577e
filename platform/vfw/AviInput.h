#pragma once
// One FFmpeg demuxer on an AVI file. The file, each sound track and each frame decoder read
// through their own, so that none moves the read position of another.
#include <memory>
#include <string>

#include "windows.h"

struct AVFormatContext;

class CAviInput {
 public:
  ~CAviInput();
  CAviInput(const CAviInput&) = delete;
  CAviInput& operator=(const CAviInput&) = delete;

  // Opens `path` (a file-system path) as AVI and reads its stream information; null with
  // AVIERR_FILEOPEN, AVIERR_FILEREAD, AVIERR_MEMORY or AVIERR_BADFORMAT in `result`.
  static std::unique_ptr<CAviInput> Open(const std::string& path, HRESULT& result);

  AVFormatContext* Context() const { return m_context; }

 private:
  CAviInput() = default;
  AVFormatContext* m_context = nullptr;
};
