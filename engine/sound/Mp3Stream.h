#pragma once
// An MP3 sound: streamed through the half-second ring by mpg123 as 44100 Hz 16-bit stereo. It
// cannot seek, rewind or loop. Each sound has a decoder of its own on its own file.
#include <mpg123.h>

#include "sound/StreamedSound.h"

class CMp3Stream final : public CStreamedSound {
 public:
  // `success` reports whether the sound may be handed out; it is loaded only when it can play.
  CMp3Stream(CTonaris* server, const char* name, long startOffset, UINT& success,
             UINT bufferLength, UINT flags);

  UINT Update() override { return Refill(); }
  UINT DecodeData(BYTE* buffer, int length) override;
  UINT Play() override;
  UINT Stop() override;
  UINT Reset() override;
  UINT SetPositionInSeconds(double seconds) override;
  UINT SetPositionInBytes(UINT bytes) override;
  double GetPositionInSeconds() override;
  UINT GetPositionInBytes() override;
  void Release() override;

 private:
  ~CMp3Stream() override = default;

  bool OpenDecoder();
  void CloseDecoder();

  mpg123_handle* m_pDecoder = nullptr;
  FILE* m_pFile = nullptr;
};
