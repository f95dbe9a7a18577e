#include "sound/Mp3Stream.h"

#include <sys/types.h>

#include <mutex>

#include "sound/SoundLog.h"
#include "sound/Tonaris.h"

namespace {

const char kSource[] = "Mp3";
constexpr long kOutputRate = 44100;

// mpg123 reads the sound's file through stdio, from wherever the sound opened it.
mpg123_ssize_t ReadFile(void* file, void* buffer, size_t bytes) {
  const size_t count = fread(buffer, 1, bytes, static_cast<FILE*>(file));
  if (count == 0 && ferror(static_cast<FILE*>(file))) return -1;
  return static_cast<mpg123_ssize_t>(count);
}

off_t SeekFile(void* file, off_t offset, int whence) {
  if (fseeko(static_cast<FILE*>(file), offset, whence) != 0) return -1;
  return ftello(static_cast<FILE*>(file));
}

bool LibraryReady() {
  static const bool ready = mpg123_init() == MPG123_OK;
  return ready;
}

}  // namespace

CMp3Stream::CMp3Stream(CTonaris* server, const char* name, long startOffset, UINT& success,
                       UINT bufferLength, UINT flags)
    : CStreamedSound(server, kSource, bufferLength) {
  success = 0;
  if (!server->IsInitialized()) {
    m_pLog->Write(kSource,
                  "WARNING! - The Mp3: %s Has Not Been Loaded Because The Library Had Not Been "
                  "Initialized\n",
                  name);
    success = 1;
    return;
  }
  if (!server->IsWaveOutMode()) {
    m_pLog->Write(kSource, "  - Creating Secondary Sound Buffer...\n");
    if (!CreateSoundBuffer(m_dwRingLength, flags)) return;
    m_pLog->Write(kSource, "    - DONE\n");
  }
  m_pFile = OpenFile(name, startOffset);
  if (!m_pFile) return;
  m_pLog->Write(kSource, "    - DONE\n");
  m_pLog->Write(kSource, "  - Creating Mp3 Object...\n");
  if (!OpenDecoder()) {
    m_pLog->Write(kSource, "    - FAILED\n");
    return;
  }
  m_pLog->Write(kSource, "    - DONE\n");
  Refill();
  success = 1;
  m_dwLoaded = 1;
}

bool CMp3Stream::OpenDecoder() {
  if (!LibraryReady()) return false;
  m_pDecoder = mpg123_new(nullptr, nullptr);
  if (!m_pDecoder) return false;
  // The output is the server's format whatever the file holds: mono is doubled, other rates
  // resampled.
  mpg123_param(m_pDecoder, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_FORCE_STEREO, 0.0);
  const bool ready =
      mpg123_format_none(m_pDecoder) == MPG123_OK &&
      mpg123_format(m_pDecoder, kOutputRate, MPG123_STEREO, MPG123_ENC_SIGNED_16) == MPG123_OK &&
      mpg123_replace_reader_handle(m_pDecoder, ReadFile, SeekFile, nullptr) == MPG123_OK &&
      mpg123_open_handle(m_pDecoder, m_pFile) == MPG123_OK;
  if (!ready) CloseDecoder();
  return ready;
}

void CMp3Stream::CloseDecoder() {
  if (m_pDecoder) {
    mpg123_close(m_pDecoder);
    mpg123_delete(m_pDecoder);
  }
  m_pDecoder = nullptr;
}

UINT CMp3Stream::DecodeData(BYTE* buffer, int length) {
  if (!m_pDecoder || !buffer || length <= 0) return 0;
  const off_t before = mpg123_tell_stream(m_pDecoder);
  size_t done = 0;
  int result = mpg123_read(m_pDecoder, buffer, static_cast<size_t>(length), &done);
  // The first frame announces its format before it yields data.
  if (result == MPG123_NEW_FORMAT && done == 0)
    result = mpg123_read(m_pDecoder, buffer, static_cast<size_t>(length), &done);
  if (done > 0) return static_cast<UINT>(done);
  if (result == MPG123_DONE) return 0;
  // A damaged stretch plays as silence; the same error again where it stood is the end.
  return SilenceOrEnd(buffer, length, mpg123_tell_stream(m_pDecoder) != before);
}

UINT CMp3Stream::Play() {
  m_pLog->Write(kSource, "- Play Mp3\n");
  if (!m_dwLoaded || m_dwPlaying) return 0;
  std::lock_guard<std::recursive_mutex> hold(m_pServer->GetStreamLock());
  m_dwPlaying = 1;
  if (m_pBuffer) {
    StartBuffer(DSBPLAY_LOOPING);
    Refill();
  }
  return 1;
}

UINT CMp3Stream::Stop() {
  m_pLog->Write(kSource, "- Stop Mp3\n");
  if (!m_dwLoaded || !m_dwPlaying) return 0;
  std::lock_guard<std::recursive_mutex> hold(m_pServer->GetStreamLock());
  StopBuffer();
  return 1;
}

UINT CMp3Stream::Reset() {
  m_pLog->Write(kSource, "- Reset Mp3\n");
  return 0;
}

UINT CMp3Stream::SetPositionInSeconds(double seconds) {
  m_pLog->Write(kSource, "- Set Position In Seconds: %f\n", seconds);
  return 0;
}

UINT CMp3Stream::SetPositionInBytes(UINT bytes) {
  m_pLog->Write(kSource, "- Set Position In Bytes: %i\n", static_cast<int>(bytes));
  return 0;
}

UINT CMp3Stream::GetPositionInBytes() {
  m_pLog->Write(kSource, "- Get Position In Bytes\n");
  if (!m_dwLoaded) return 0;
  return PlayedBytes();
}

double CMp3Stream::GetPositionInSeconds() {
  m_pLog->Write(kSource, "- Get Position In Seconds\n");
  if (!m_dwLoaded) return 0.0;
  return static_cast<double>(PlayedBytes()) / (2.0 * m_dwRingLength);
}

void CMp3Stream::Release() {
  Stop();
  m_pLog->Write(kSource, "- Releasing Mp3 Object\n");
  {
    std::lock_guard<std::recursive_mutex> hold(m_pServer->GetStreamLock());
    CloseDecoder();
    if (m_pFile) fclose(m_pFile);
    m_pFile = nullptr;
    Unlink();
  }
  delete this;
}
