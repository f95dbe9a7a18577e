#pragma once
// One wave file loaded whole into a DirectSound buffer. Wave sounds play duplicates of it, so
// the samples are held once however many sounds play them. A voice is known by its path and its
// voice flags together.
#include <dsound.h>

#include <cstdio>

#include "windef.h"

class CSoundLog;
class CVoiceManager;

class CVoice {
 public:
  // The path is kept in a field of this size; longer paths are refused.
  static constexpr size_t kMaxPath = 256;

  // Voice flags, made by the wave sound from its stream flags.
  static constexpr UINT kVoice3D = 1;
  static constexpr UINT kVoicePan = 2;
  static constexpr UINT kVoiceVolume = 4;
  static constexpr UINT kVoiceFrequency = 8;

  // Loads the file; `success` reports whether the voice holds its data.
  CVoice(CVoiceManager* manager, CSoundLog* log, const char* path, UINT& success,
         const WAVEFORMATEX& outputFormat, IDirectSound8* device, UINT voiceFlags);
  ~CVoice();
  CVoice(const CVoice&) = delete;
  CVoice& operator=(const CVoice&) = delete;

  // Reads the RIFF header up to the data chunk. `size` comes in as the file's length and goes
  // out as the data size, which never reaches past the end of the file. 1, or 0 (logged).
  UINT ReadWaveHeader(FILE* file, UINT& size);
  // Reads `size` data bytes into the voice buffer. 1, or 0 (logged).
  UINT LoadData(FILE* file, UINT size);
  // A new buffer playing the voice's samples on its own. 1, or 0 (logged).
  UINT DuplicateBuffer(IDirectSoundBuffer** duplicate);

  bool Matches(const char* path, UINT voiceFlags) const;
  const char* GetPath() const { return m_szPath; }
  UINT GetFlags() const { return m_dwFlags; }
  CVoice* GetNext() const { return m_pNext; }
  void SetNext(CVoice* next) { m_pNext = next; }
  CVoice* GetPrevious() const { return m_pPrevious; }
  void SetPrevious(CVoice* previous) { m_pPrevious = previous; }

 private:
  bool Load(FILE* file);
  bool ReadField(FILE* file, void* field, size_t size);
  bool FindDataChunk(FILE* file);
  DWORD BufferFlags() const;
  bool CreateBuffer(UINT size);

  char m_szPath[kMaxPath] = {};
  CVoice* m_pNext = nullptr;
  CVoice* m_pPrevious = nullptr;
  IDirectSoundBuffer8* m_pBuffer = nullptr;
  CSoundLog* m_pLog;
  IDirectSound8* m_pDevice;
  DWORD m_dwSamplesPerSec = 0;
  DWORD m_dwAvgBytesPerSec = 0;
  UINT m_dwFlags;
  WORD m_wBlockAlign = 0;
  WORD m_wBitsPerSample = 0;
  WORD m_wChannels = 0;
};
