#include "sound/StreamedSound.h"

#include <mmsystem.h>
#include <zkplatform/ZkPaths.h>

#include <algorithm>
#include <cstring>
#include <mutex>

#include "core/FatalError.h"
#include "sound/SoundLog.h"
#include "sound/Tonaris.h"

namespace {

// One decode request: the decode buffer holds a ring's worth plus one of these.
constexpr int kDecodeRequest = 32768;
// Refill bookkeeping counts played bytes from the elapsed milliseconds: ring length x 0.002 is
// the output's bytes per millisecond.
constexpr double kBytesPerMillisecondPerRingByte = 0.002;

}  // namespace

CStreamedSound::CStreamedSound(CTonaris* server, const char* source, UINT bufferLength)
    : CSoundObject(server, source),
      m_dwBufferLength(bufferLength),
      m_dwRingLength(bufferLength / 2),
      m_dwBlockAlign(server->GetOutputFormat().nBlockAlign ? server->GetOutputFormat().nBlockAlign
                                                           : 4) {
  m_pDecodeBuffer = NewArrayOrFatal<BYTE>(CTonaris::kOutOfMemoryTitle, CTonaris::kOutOfMemoryText,
                                          bufferLength);
}

CStreamedSound::~CStreamedSound() { delete[] m_pDecodeBuffer; }

// --- construction helpers ---

bool CStreamedSound::CreateSoundBuffer(DWORD size, UINT flags) {
  DSBUFFERDESC description = {};
  description.dwSize = sizeof description;
  description.dwFlags = DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_GLOBALFOCUS;
  if ((flags & kFlagSoftware) || m_pServer->IsSoftwareMixing())
    description.dwFlags |= DSBCAPS_LOCSOFTWARE;
  if (flags & kFlagVolume) description.dwFlags |= DSBCAPS_CTRLVOLUME;
  if (flags & kFlagPan) description.dwFlags |= DSBCAPS_CTRLPAN;
  description.dwBufferBytes = size;
  WAVEFORMATEX format = m_pServer->GetOutputFormat();
  description.lpwfxFormat = &format;

  IDirectSound8* directSound = m_pServer->GetDirectSound();
  IDirectSoundBuffer* buffer = nullptr;
  HRESULT result = directSound ? directSound->CreateSoundBuffer(&description, &buffer, nullptr)
                               : DSERR_UNINITIALIZED;
  if (FAILED(result)) {
    LogFailure("    - FAILED (%s - %s)\n", result);
    return false;
  }
  return TakeBuffer8(buffer);
}

FILE* CStreamedSound::OpenFile(const char* name, long startOffset) {
  m_pLog->Write(m_pSource, "  - Opening File: %s...\n", name);
  FILE* file = ZkFileOpen(name, "rb");
  if (!file) {
    m_pLog->Write(m_pSource, "    - FAILED\n");
    return nullptr;
  }
  fseek(file, startOffset, SEEK_SET);
  return file;
}

// --- the refill ---

void CStreamedSound::TopUp() {
  // A looping decoder answers its end with 0 once it has gone back to the start; only a second
  // 0 in a row means it has nothing to give at all.
  int zeros = 0;
  while (m_dwFill < m_dwRingLength) {
    const UINT count = DecodeData(m_pDecodeBuffer + m_dwFill, kDecodeRequest);
    if (count == 0) {
      if (!m_dwLoop || ++zeros == 2) {
        m_dwEnded = 1;
        return;
      }
      continue;
    }
    zeros = 0;
    m_dwFill += std::min<UINT>(count, kDecodeRequest);
  }
}

void CStreamedSound::CountPlayed() {
  DWORD cursor = 0;
  if (FAILED(m_pBuffer->GetCurrentPosition(&cursor, nullptr))) cursor = 0;
  UINT played = cursor - m_dwLastCursor;
  if (m_dwLastCursor > cursor) played += m_dwRingLength;
  m_dwPlayedSinceUpdate = played;
  m_dwPlayedTotal += played;
  m_dwLastCursor = cursor;
  m_dwLastUpdateTime = timeGetTime();
  if (played < m_dwUnplayed) {
    m_dwUnplayed -= played;
  } else {
    // The cursor caught up with the data: writing goes on right where it plays.
    m_dwUnplayed = 0;
    m_dwWriteOffset = cursor % m_dwRingLength;
  }
}

bool CStreamedSound::LockFreeSpace(DWORD free, void** first, DWORD* firstLength, void** second,
                                   DWORD* secondLength) {
  if (SUCCEEDED(m_pBuffer->Lock(m_dwWriteOffset, free, first, firstLength, second, secondLength,
                                0)))
    return true;
  m_pLog->Write(m_pSource, "- FAILED to Lock DS Buffer\n");
  if (FAILED(m_pBuffer->Restore())) m_pLog->Write(m_pSource, "- FAILED to Restore DS Buffer\n");
  if (m_dwPlaying) m_pBuffer->Play(0, 0, DSBPLAY_LOOPING);
  if (SUCCEEDED(m_pBuffer->Lock(m_dwWriteOffset, free, first, firstLength, second, secondLength,
                                0)))
    return true;
  // Retrying here would hold the refill thread for as long as the card stays away; the next
  // period tries again.
  m_pLog->Write(m_pSource, "- FAILED to Lock DS Buffer Again, Skipping This Refill\n");
  return false;
}

DWORD CStreamedSound::WriteDecoded(BYTE* part, DWORD length) {
  if (!part || length == 0) return 0;
  const DWORD n = std::min<DWORD>(length, m_dwFill);
  if (n > 0) {
    std::memcpy(part, m_pDecodeBuffer, n);
    m_dwFill -= n;
    std::memmove(m_pDecodeBuffer, m_pDecodeBuffer + n, m_dwFill);
  }
  // Past the end of the data the ring would replay what it held before: silence it instead.
  if (m_dwEnded && n < length) std::memset(part + n, 0, length - n);
  return n;
}

UINT CStreamedSound::Refill() {
  std::lock_guard<std::recursive_mutex> hold(m_pServer->GetStreamLock());
  // In waveOut mode the output drains the decoder itself.
  if (!m_pBuffer || !m_pDecodeBuffer) return 1;
  TopUp();
  CountPlayed();
  if (m_dwFill == 0 && m_dwUnplayed == 0) {
    // Everything decoded has been heard.
    m_pBuffer->Stop();
    m_dwStopTime = timeGetTime();
    m_dwPlaying = 0;
    return 1;
  }
  const DWORD free = m_dwRingLength - m_dwUnplayed;
  if (free == 0) return 1;

  void* first = nullptr;
  void* second = nullptr;
  DWORD firstLength = 0;
  DWORD secondLength = 0;
  if (!LockFreeSpace(free, &first, &firstLength, &second, &secondLength)) return 1;
  const DWORD firstWritten = WriteDecoded(static_cast<BYTE*>(first), firstLength);
  const DWORD secondWritten = WriteDecoded(static_cast<BYTE*>(second), secondLength);
  // Silence written past the end goes back too; it is not counted as data.
  const DWORD firstBack = m_dwEnded ? firstLength : firstWritten;
  const DWORD secondBack = m_dwEnded ? secondLength : secondWritten;
  if (FAILED(m_pBuffer->Unlock(first, firstBack, second, secondBack)))
    m_pLog->Write(m_pSource, "- FAILED to UnLock DS Buffer\n");
  m_dwUnplayed += firstWritten + secondWritten;
  m_dwWriteOffset = (m_dwWriteOffset + firstWritten + secondWritten) % m_dwRingLength;
  return 1;
}

void CStreamedSound::RestartRing(UINT playedTotal) {
  std::lock_guard<std::recursive_mutex> hold(m_pServer->GetStreamLock());
  m_dwFill = 0;
  m_dwUnplayed = 0;
  m_dwEnded = 0;
  m_dwPlayedTotal = playedTotal;
  m_dwLastUpdateTime = timeGetTime();
  m_dwStopTime = m_dwLastUpdateTime;
  if (!m_pBuffer) return;
  m_pBuffer->SetCurrentPosition(m_dwWriteOffset);
  m_dwLastCursor = m_dwWriteOffset;
  Refill();
}

// --- playback ---

UINT CStreamedSound::PlayedBytes() const {
  // The refill thread moves the totals and the update time as it counts what played.
  std::lock_guard<std::recursive_mutex> hold(m_pServer->GetStreamLock());
  const DWORD until = m_dwPlaying ? timeGetTime() : m_dwStopTime;
  // A stop before the last refill (or before any play) adds nothing.
  const int elapsed = static_cast<int>(until - m_dwLastUpdateTime);
  if (elapsed <= 0) return m_dwPlayedTotal;
  return m_dwPlayedTotal +
         static_cast<UINT>(elapsed * (m_dwRingLength * kBytesPerMillisecondPerRingByte));
}

UINT CStreamedSound::SilenceOrEnd(BYTE* buffer, int length, bool advanced) {
  if (!advanced || length <= 0) return 0;
  std::memset(buffer, 0, static_cast<size_t>(length));
  return static_cast<UINT>(length);
}

void CStreamedSound::StartBuffer(DWORD flags) {
  const HRESULT result = m_pBuffer->Play(0, 0, flags);
  if (FAILED(result))
    LogFailure("  - FAILED: %s - %s\n", result);
}

void CStreamedSound::StopBuffer() {
  if (m_pBuffer) {
    const HRESULT result = m_pBuffer->Stop();
    if (FAILED(result))
      LogFailure("  - FAILED: %s - %s\n", result);
  }
  m_dwStopTime = timeGetTime();
  m_dwPlaying = 0;
}

// --- the 3D operations: nothing to do on these sounds ---

UINT CStreamedSound::GetPosition(float& x, float& y, float& z) {
  x = y = z = 0.0f;
  return 0;
}

UINT CStreamedSound::GetVelocity(float& x, float& y, float& z) {
  x = y = z = 0.0f;
  return 0;
}

UINT CStreamedSound::GetConeAngles(UINT& inside, UINT& outside) {
  inside = outside = 0;
  return 0;
}

UINT CStreamedSound::GetConeOrientation(float& x, float& y, float& z) {
  x = y = z = 0.0f;
  return 0;
}
