#include "sound/OggStream.h"

#include <mmsystem.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <mutex>

#include "sound/SoundLog.h"
#include "sound/Tonaris.h"

namespace {

const char kSource[] = "Ogg";
// The largest whole-file buffer DirectSound makes.
constexpr ogg_int64_t kMaxStaticBytes = DSBSIZE_MAX;

}  // namespace

COggStream::COggStream(CTonaris* server, const char* name, long startOffset, UINT& success,
                       UINT bufferLength, UINT flags)
    : CStreamedSound(server, kSource, bufferLength) {
  success = 0;
  m_dwLoop = (flags & kFlagLoop) ? 1 : 0;
  if (!server->IsInitialized()) {
    m_pLog->Write(kSource,
                  "WARNING! - The Ogg: %s Has Not Been Loaded Because The Library Had Not Been "
                  "Initialized\n",
                  name);
    success = 1;
    return;
  }
  if ((flags & kFlagStatic) && !server->IsWaveOutMode()) {
    m_dwStatic = 1;
    if (!OpenDecoder(name, startOffset) || !LoadWholeFile(flags)) return;
    success = 1;
    m_dwLoaded = 1;
    m_pLog->Write(kSource, "    - DONE\n");
    return;
  }
  if (!server->IsWaveOutMode()) {
    m_pLog->Write(kSource, "  - Creating Secondary Sound Buffer...\n");
    if (!CreateSoundBuffer(m_dwRingLength, flags)) return;
    m_pLog->Write(kSource, "    - DONE\n");
  }
  if (!OpenDecoder(name, startOffset)) return;
  m_pLog->Write(kSource, "    - DONE\n");
  Refill();
  success = 1;
  m_dwLoaded = 1;
}

bool COggStream::OpenDecoder(const char* name, long startOffset) {
  m_pFile = OpenFile(name, startOffset);
  if (!m_pFile) return false;
  m_pLog->Write(kSource, "  - Creating Ogg Object...\n");
  if (ov_open(m_pFile, &m_Decoder, nullptr, 0) < 0) {
    // A decoder that failed to open leaves the file to its opener.
    fclose(m_pFile);
    m_pFile = nullptr;
    m_pLog->Write(kSource, "    - FAILED\n");
    return false;
  }
  m_bDecoderOpen = true;
  return true;
}

bool COggStream::LoadWholeFile(UINT flags) {
  m_pLog->Write(kSource, "  - Creating Secondary Sound Buffer...\n");
  const ogg_int64_t frames = ov_pcm_total(&m_Decoder, -1);
  // The data's own length is as large as the file claims: refuse what no buffer can hold.
  if (frames <= 0 || frames > kMaxStaticBytes / m_dwBlockAlign) {
    m_pLog->Write(kSource, "    - FAILED\n");
    return false;
  }
  if (!CreateSoundBuffer(static_cast<DWORD>(frames * m_dwBlockAlign), flags)) return false;
  void* first = nullptr;
  void* second = nullptr;
  DWORD firstLength = 0;
  DWORD secondLength = 0;
  const HRESULT result =
      m_pBuffer->Lock(0, 0, &first, &firstLength, &second, &secondLength, DSBLOCK_ENTIREBUFFER);
  if (FAILED(result)) {
    LogFailure("    - FAILED (%s - %s)\n", result);
    return false;
  }
  FillPart(static_cast<BYTE*>(first), firstLength);
  FillPart(static_cast<BYTE*>(second), secondLength);
  m_pBuffer->Unlock(first, firstLength, second, secondLength);
  return true;
}

void COggStream::FillPart(BYTE* part, DWORD length) {
  if (!part) return;
  DWORD filled = 0;
  // A mono file decodes to half the buffer, and a looping decoder starts over at the end: the
  // whole file is read once and the rest stays silent.
  while (filled < length) {
    const UINT count = DecodeData(part + filled, static_cast<int>(length - filled));
    if (count == 0) break;
    filled += count;
  }
  if (filled < length) std::memset(part + filled, 0, length - filled);
}

// --- decoding ---

UINT COggStream::DecodeData(BYTE* buffer, int length) {
  if (!m_bDecoderOpen || !buffer || length <= 0) return 0;
  const ogg_int64_t before = ov_raw_tell(&m_Decoder);
  const long count =
      ov_read(&m_Decoder, reinterpret_cast<char*>(buffer), length, 0, 2, 1, &m_iSection);
  if (count > 0) return static_cast<UINT>(count);
  if (count == 0) {
    if (m_dwLoop) ov_pcm_seek(&m_Decoder, 0);
    return 0;
  }
  // A damaged stretch plays as silence; the same error again where it stood is the end.
  return SilenceOrEnd(buffer, length, ov_raw_tell(&m_Decoder) != before);
}

UINT COggStream::Update() {
  if (m_dwStatic) return 1;
  return Refill();
}

// --- playback ---

UINT COggStream::GetIsPlayed() {
  // A whole-file sound plays once and stops by itself; only its buffer knows when.
  if (m_dwStatic && BufferHasStopped()) m_dwStopTime = timeGetTime();
  return m_dwPlaying;
}

UINT COggStream::Play() {
  m_pLog->Write(kSource, "- Play Ogg\n");
  if (!m_dwLoaded) return 1;
  std::lock_guard<std::recursive_mutex> hold(m_pServer->GetStreamLock());
  m_dwPlaying = 1;
  if (!m_pBuffer) return 1;
  if (m_dwStatic) {
    StartBuffer(0);
  } else {
    StartBuffer(DSBPLAY_LOOPING);
    Refill();
  }
  return 1;
}

UINT COggStream::Stop() {
  if (!m_dwLoaded) return 1;
  m_pLog->Write(kSource, "- Stop Ogg\n");
  std::lock_guard<std::recursive_mutex> hold(m_pServer->GetStreamLock());
  StopBuffer();
  return 1;
}

UINT COggStream::Reset() {
  m_pLog->Write(kSource, "- Reset Ogg\n");
  if (!m_dwLoaded) return 0;
  if (m_dwStatic) return SetStaticPosition(0);
  std::lock_guard<std::recursive_mutex> hold(m_pServer->GetStreamLock());
  if (ov_time_seek(&m_Decoder, 0.0) != 0) return 0;
  // Nothing decoded before the rewind may play after it.
  RestartRing(0);
  return 1;
}

UINT COggStream::BytesOfSeconds(double seconds) const {
  const double bytes = seconds * 2.0 * m_dwRingLength;
  if (!(bytes > 0.0)) return 0;
  if (bytes >= static_cast<double>(std::numeric_limits<UINT>::max()))
    return std::numeric_limits<UINT>::max();
  return static_cast<UINT>(bytes);
}

UINT COggStream::SetPositionInSeconds(double seconds) {
  m_pLog->Write(kSource, "- Set Position In Seconds: %f\n", seconds);
  if (!m_dwLoaded) return 0;
  const UINT bytes = BytesOfSeconds(seconds);
  return m_dwStatic ? SetStaticPosition(bytes) : SeekStreamed(bytes);
}

UINT COggStream::SetPositionInBytes(UINT bytes) {
  m_pLog->Write(kSource, "- Set Position In Bytes: %i\n", static_cast<int>(bytes));
  if (!m_dwLoaded) return 0;
  return m_dwStatic ? SetStaticPosition(bytes) : SeekStreamed(bytes);
}

UINT COggStream::SetStaticPosition(UINT bytes) {
  std::lock_guard<std::recursive_mutex> hold(m_pServer->GetStreamLock());
  m_dwPlayedTotal = bytes;
  m_dwLastUpdateTime = timeGetTime();
  if (m_pBuffer) m_pBuffer->SetCurrentPosition(bytes);
  return 1;
}

UINT COggStream::SeekStreamed(UINT bytes) {
  std::lock_guard<std::recursive_mutex> hold(m_pServer->GetStreamLock());
  if (ov_pcm_seek(&m_Decoder, bytes / m_dwBlockAlign) != 0) return 0;
  RestartRing(static_cast<UINT>(ov_pcm_tell(&m_Decoder) * m_dwBlockAlign));
  return 1;
}

UINT COggStream::PositionInBytes() {
  if (!m_dwStatic) return PlayedBytes();
  DWORD cursor = 0;
  const HRESULT result = m_pBuffer->GetCurrentPosition(&cursor, nullptr);
  if (FAILED(result)) {
    LogFailure("  - FAILED: %s - %s\n", result);
    return 0;
  }
  return cursor;
}

UINT COggStream::GetPositionInBytes() {
  m_pLog->Write(kSource, "- Get Position In Bytes\n");
  if (!m_dwLoaded) return 0;
  return PositionInBytes();
}

double COggStream::GetPositionInSeconds() {
  m_pLog->Write(kSource, "- Get Position In Seconds\n");
  if (!m_dwLoaded) return 0.0;
  return static_cast<double>(PositionInBytes()) / (2.0 * m_dwRingLength);
}

void COggStream::Release() {
  Stop();
  m_pLog->Write(kSource, "- Releasing Ogg Object\n");
  {
    std::lock_guard<std::recursive_mutex> hold(m_pServer->GetStreamLock());
    if (m_bDecoderOpen) ov_clear(&m_Decoder);  // closes the file too
    m_bDecoderOpen = false;
    m_pFile = nullptr;
    Unlink();
  }
  delete this;
}
