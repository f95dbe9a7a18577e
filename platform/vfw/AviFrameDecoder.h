#pragma once
// Decodes the frames of one video stream by frame number into a packed bottom-up 24-bit DIB
// (BITMAPINFOHEADER, then the rows, each padded to 4 bytes). Frames asked for in order are
// decoded one after the other; a frame behind or far ahead is reached by seeking to the key
// frame before it.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vfw.h"

struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwsContext;
class CAviInput;
class CAviStream;

class CAviFrameDecoder {
 public:
  ~CAviFrameDecoder();
  CAviFrameDecoder(const CAviFrameDecoder&) = delete;
  CAviFrameDecoder& operator=(const CAviFrameDecoder&) = delete;

  // A decoder of `stream`'s frames; null with an AVIERR_* code when FFmpeg has no decoder.
  static std::unique_ptr<CAviFrameDecoder> Open(CAviStream& stream, HRESULT& result);

  CAviStream& Stream() const { return m_stream; }
  // The packed DIB of frame `number`, valid until the next call; null when it cannot be had.
  void* GetFrame(LONG number);

 private:
  explicit CAviFrameDecoder(CAviStream& stream);
  bool Seek(LONG number);
  // Decodes until a frame at or after `number` is in m_frame; false at the end or on error.
  bool DecodeUntil(LONG number);
  bool Convert();

  CAviStream& m_stream;
  std::unique_ptr<CAviInput> m_input;
  AVCodecContext* m_decoder = nullptr;
  AVFrame* m_frame = nullptr;
  AVPacket* m_packet = nullptr;
  SwsContext* m_scaler = nullptr;
  int m_streamIndex = 0;
  int m_width = 0, m_height = 0;
  int64_t m_next = 0;       // number of the frame the decoder delivers next; -1 after a seek
  LONG m_current = -1;      // number of the frame in m_dib
  bool m_draining = false;  // the demuxer is at its end and the decoder is being emptied
  std::vector<uint8_t> m_dib;
};
