#pragma once
// What every sound that LoadStream makes shares: the server it belongs to, its DirectSound
// buffer and the controls on it (volume, pan, frequency), its log source, the playing and
// loaded flags, and the links of the server's list.
#include <dsound.h>

#include "TonarisInterface.h"

class CSoundLog;
class CTonaris;

class CSoundObject : public TonarisStream {
 public:
  CSoundObject(const CSoundObject&) = delete;
  CSoundObject& operator=(const CSoundObject&) = delete;

  UINT GetIsPlayed() override { return m_dwPlaying; }
  // Volumes are clipped into DirectSound's range with a warning line.
  UINT SetVolume(int volume) override;
  int GetVolume() override;
  int GetPan() override;
  UINT SetPan(int pan) override;
  UINT SetFrequency(UINT frequency) override;
  UINT GetFrequency() override;

  TonarisStream* GetNext() override { return m_pNext; }
  void SetNext(TonarisStream* next) override { m_pNext = next; }
  TonarisStream* GetPrevious() override { return m_pPrevious; }
  void SetPrevious(TonarisStream* previous) override { m_pPrevious = previous; }

  // The sound's DirectSound buffer (null in waveOut mode or before it was made).
  IDirectSoundBuffer8* GetSoundBuffer() const { return m_pBuffer; }
  UINT IsLoaded() const { return m_dwLoaded; }

  // Stream flags of LoadStream.
  static constexpr UINT kFlag3D = 1;
  static constexpr UINT kFlagPan = 2;
  static constexpr UINT kFlagVolume = 4;
  static constexpr UINT kFlagFrequency = 8;
  static constexpr UINT kFlagSoftware = 16;
  static constexpr UINT kFlagLoop = 32;
  static constexpr UINT kFlagStatic = 64;

 protected:
  // `source` labels the sound's log lines.
  CSoundObject(CTonaris* server, const char* source);
  virtual ~CSoundObject() = default;

  // Logs a failed DirectSound call with the error's name and description after `format`'s
  // text, which holds the two "%s".
  void LogFailure(const char* format, HRESULT result) const;
  // Takes the IDirectSoundBuffer8 interface of `buffer` as the sound's buffer and lets `buffer`
  // go. False (logged) when it has none.
  bool TakeBuffer8(IDirectSoundBuffer* buffer);
  // A sound that plays its buffer once stops by itself at the end: true (and playing cleared)
  // when the buffer's status shows it no longer plays.
  bool BufferHasStopped();
  // Leaves the server's list and releases the buffer; the object is deleted after this.
  void Unlink();

  CTonaris* m_pServer;
  IDirectSoundBuffer8* m_pBuffer = nullptr;
  CSoundLog* m_pLog;
  const char* m_pSource;
  TonarisStream* m_pNext = nullptr;
  TonarisStream* m_pPrevious = nullptr;
  UINT m_dwPlaying = 0;
  UINT m_dwLoaded = 0;
};
