#pragma once
// Caches wave files as voices: each file is loaded once for each set of voice flags and kept for
// the manager's life, so that every later wave sound of it costs only a duplicate buffer.
#include <dsound.h>

#include "windef.h"

class CSoundLog;
class CTonaris;
class CVoice;

class CVoiceManager {
 public:
  CVoiceManager(CTonaris* server, CSoundLog* log, const WAVEFORMATEX& outputFormat,
                IDirectSound8* device);
  ~CVoiceManager();
  CVoiceManager(const CVoiceManager&) = delete;
  CVoiceManager& operator=(const CVoiceManager&) = delete;

  // The voice of `path` (exact, case-sensitive) with `voiceFlags`, loaded on first use. Null
  // (logged) when the file cannot be loaded; a later call tries the file again.
  CVoice* CreateVoice(const char* path, UINT voiceFlags);

  CVoice* GetFirstVoice() const { return m_pFirstVoice; }
  // Frees every cached voice, so that the next sound of a file reads it again. The wave sounds
  // made from them must have been released.
  void ReleaseVoices();

 private:
  CTonaris* m_pServer;
  CVoice* m_pFirstVoice = nullptr;
  WAVEFORMATEX m_OutputFormat;
  IDirectSound8* m_pDevice;
  CSoundLog* m_pLog;
};
