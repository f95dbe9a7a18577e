#include "sound/VoiceManager.h"

#include "core/FatalError.h"
#include "sound/SoundLog.h"
#include "sound/Tonaris.h"
#include "sound/Voice.h"

namespace {

const char kSource[] = "QmrSoundVoiceManager";

}  // namespace

CVoiceManager::CVoiceManager(CTonaris* server, CSoundLog* log, const WAVEFORMATEX& outputFormat,
                             IDirectSound8* device)
    : m_pServer(server), m_OutputFormat(outputFormat), m_pDevice(device), m_pLog(log) {}

CVoiceManager::~CVoiceManager() { ReleaseVoices(); }

void CVoiceManager::ReleaseVoices() {
  while (m_pFirstVoice) {
    CVoice* next = m_pFirstVoice->GetNext();
    delete m_pFirstVoice;
    m_pFirstVoice = next;
  }
}

CVoice* CVoiceManager::CreateVoice(const char* path, UINT voiceFlags) {
  m_pLog->Write(kSource, "- Creating Voice: %s\n", path ? path : "");
  CVoice* last = nullptr;
  for (CVoice* voice = m_pFirstVoice; voice; voice = voice->GetNext()) {
    if (voice->Matches(path, voiceFlags)) {
      m_pLog->Write(kSource, "  - Aready Exists\n");
      return voice;
    }
    last = voice;
  }
  UINT success = 0;
  CVoice* voice = NewOrFatal<CVoice>(CTonaris::kOutOfMemoryTitle, CTonaris::kOutOfMemoryText,
                                     this, m_pLog, path, success, m_OutputFormat, m_pDevice,
                                     voiceFlags);
  if (!success) {
    delete voice;
    m_pLog->Write(kSource, "ERROR!!! - Can't Load Voice: %s\n", path ? path : "");
    return nullptr;
  }
  if (last) {
    last->SetNext(voice);
    voice->SetPrevious(last);
  } else {
    m_pFirstVoice = voice;
  }
  m_pLog->Write(kSource, "  - Done\n");
  return voice;
}
