#pragma once
// One stream of an AVI file: its description (AVISTREAMINFOA), its format and, for sound, the
// whole track as PCM, decoded when the stream is taken from the file. A video stream's frames
// are decoded by CAviFrameDecoder.
#include <memory>
#include <string>
#include <vector>

#include "vfw.h"

class CAviInput;

class CAviStream {
 public:
  // The stream object for stream `index` of `input` (opened on `path`); null with an AVIERR_*
  // code in `result` when the stream cannot be used.
  static std::unique_ptr<CAviStream> Create(const std::string& path, CAviInput& input, int index,
                                            HRESULT& result);

  ULONG AddRef() { return ++m_references; }
  // The references left; the owner deletes the stream at 0.
  ULONG Release() { return --m_references; }

  const AVISTREAMINFOA& Info() const { return m_info; }
  bool IsVideo() const { return m_info.fccType == streamtypeVIDEO; }
  const std::string& Path() const { return m_path; }
  int Index() const { return m_index; }

  LONG SampleToTime(LONG sample) const;
  LONG TimeToSample(LONG milliseconds) const;
  HRESULT ReadFormat(LPVOID format, LONG* formatSize) const;
  HRESULT Read(LONG start, LONG samples, LPVOID buffer, LONG bufferSize, LONG* bytesRead,
               LONG* samplesRead) const;

 private:
  CAviStream(std::string path, int index) : m_path(std::move(path)), m_index(index) {}

  std::string m_path;
  int m_index;
  ULONG m_references = 1;
  AVISTREAMINFOA m_info{};
  std::vector<BYTE> m_format;  // BITMAPINFOHEADER or WAVEFORMATEX
  std::vector<BYTE> m_pcm;     // sound only
};
