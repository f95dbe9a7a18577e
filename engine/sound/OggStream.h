#pragma once
// An Ogg Vorbis sound: decoded by libvorbisfile either through the half-second ring that the
// refill thread keeps ahead of the play cursor, or, with the static stream flag, once into a
// buffer that holds the whole file. The output is always taken as 44100 Hz 16-bit stereo.
// The header's ready-made callback tables are unused here (ov_open reads through stdio).
#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

#include "sound/StreamedSound.h"

class COggStream final : public CStreamedSound {
 public:
  // `success` reports whether the sound may be handed out; it is loaded only when it can play.
  COggStream(CTonaris* server, const char* name, long startOffset, UINT& success,
             UINT bufferLength, UINT flags);

  UINT Update() override;
  UINT DecodeData(BYTE* buffer, int length) override;
  UINT GetIsPlayed() override;
  UINT Play() override;
  UINT Stop() override;
  UINT Reset() override;
  UINT SetPositionInSeconds(double seconds) override;
  UINT SetPositionInBytes(UINT bytes) override;
  double GetPositionInSeconds() override;
  UINT GetPositionInBytes() override;
  void Release() override;

  UINT IsStatic() const { return m_dwStatic; }

 private:
  ~COggStream() override = default;

  bool OpenDecoder(const char* name, long startOffset);
  bool LoadWholeFile(UINT flags);
  // Fills a locked part of the whole-file buffer; what the data does not reach is silence.
  void FillPart(BYTE* part, DWORD length);
  // Moves a static sound's play cursor to `bytes`.
  UINT SetStaticPosition(UINT bytes);
  // Seeks a streamed sound to `bytes` of output and plays on from the write offset.
  UINT SeekStreamed(UINT bytes);
  UINT PositionInBytes();
  // The byte position of `seconds` of output.
  UINT BytesOfSeconds(double seconds) const;

  OggVorbis_File m_Decoder = {};
  FILE* m_pFile = nullptr;
  bool m_bDecoderOpen = false;
  int m_iSection = 0;
  UINT m_dwStatic = 0;
};
