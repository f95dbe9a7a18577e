#pragma once
// What the Ogg Vorbis and MP3 sounds share: a half-second ring buffer that the refill thread
// keeps ahead of the play cursor with decoded data, the play-position bookkeeping, and the 3D
// operations, which do nothing on these sounds.
//
// Every operation that changes the sound's state or refills holds the server's stream lock, so
// the refill thread and the caller's thread never work on the ring at once.
#include <dsound.h>

#include <cstdio>

#include "sound/SoundObject.h"

class CStreamedSound : public CSoundObject {
 public:
  float GetMaxDistance() override { return 0.0f; }
  float GetMinDistance() override { return 0.0f; }
  UINT SetMinDistance(float) override { return 0; }
  UINT SetMaxDistance(float) override { return 0; }
  UINT GetPosition(float& x, float& y, float& z) override;
  UINT SetPosition(float, float, float) override { return 0; }
  UINT GetVelocity(float& x, float& y, float& z) override;
  UINT SetVelocity(float, float, float) override { return 0; }
  UINT GetConeAngles(UINT& inside, UINT& outside) override;
  UINT SetConeAngles(UINT, UINT) override { return 0; }
  UINT GetConeOrientation(float& x, float& y, float& z) override;
  UINT SetConeOrientation(float, float, float) override { return 0; }
  int GetConeOutsideVolume() override { return 0; }
  UINT SetConeOutsideVolume(int) override { return 0; }

 protected:
  // `source` labels the sound's log lines; `bufferLength` is the decode buffer's size, and the
  // ring holds half of it.
  CStreamedSound(CTonaris* server, const char* source, UINT bufferLength);
  ~CStreamedSound() override;

  // The refill: tops the decode buffer up, then writes it into the free part of the ring.
  // Returns 1.
  UINT Refill();
  // Makes the sound buffer of `size` bytes in the server's output format. False (logged) when
  // it cannot be made.
  bool CreateSoundBuffer(DWORD size, UINT flags);
  // Opens the sound's file and moves to `startOffset`. Null (logged) when it cannot be opened.
  FILE* OpenFile(const char* name, long startOffset);
  // Drops everything decoded or written and not yet played, and restarts the ring at the write
  // offset with fresh data: the next thing heard is what the decoder yields now.
  void RestartRing(UINT playedTotal);
  // Bytes of output played so far: the refills' count plus the time since the last refill,
  // up to now while playing or to the stop time while stopped.
  UINT PlayedBytes() const;
  // The decoder's answer to a failed decode: silence of `length` bytes while it still moves on
  // through the data, the end of the data (0) when it failed where it stood before.
  static UINT SilenceOrEnd(BYTE* buffer, int length, bool advanced);
  // Stops the buffer (logging a failure) and freezes the position.
  void StopBuffer();
  // Starts the buffer, logging a failure.
  void StartBuffer(DWORD flags);

  BYTE* m_pDecodeBuffer = nullptr;
  UINT m_dwBufferLength;
  UINT m_dwFill = 0;
  UINT m_dwWriteOffset = 0;
  UINT m_dwRingLength;
  UINT m_dwBlockAlign;
  UINT m_dwPlayedTotal = 0;
  DWORD m_dwLastUpdateTime = 0;
  UINT m_dwPlayedSinceUpdate = 0;
  UINT m_dwLastCursor = 0;
  // Bytes written into the ring that the play cursor has not reached yet.
  UINT m_dwUnplayed = 0;
  DWORD m_dwStopTime = 0;
  UINT m_dwLoop = 0;
  // Set once the decoder yields nothing more, so that the ring's tail is silenced.
  UINT m_dwEnded = 0;

 private:
  void TopUp();
  void CountPlayed();
  bool LockFreeSpace(DWORD free, void** first, DWORD* firstLength, void** second,
                     DWORD* secondLength);
  DWORD WriteDecoded(BYTE* part, DWORD length);
};
