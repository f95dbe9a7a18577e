#include "cpelto/OpenAL.h"

#include <AL/al.h>
#include <AL/alc.h>

#include "framework/FatalError.h"
#include "framework/Logger.h"

COpenAL::COpenAL() {
  g_GameLogger.Log("O p e n  A L - Init...\n");
  m_pDevice = alcOpenDevice(nullptr);
  if (!m_pDevice) {
    g_GameLogger.Log("ERROR: can't initialize OpenAL default device \n");
    geFatalError("Error", "Can't initialize OpenAL default device", static_cast<UINT>(-1));
  }
  m_pContext = alcCreateContext(m_pDevice, nullptr);
  if (!m_pContext) {
    g_GameLogger.Log("ERROR: can't initialize OpenAL context \n");
    return;
  }
  alcMakeContextCurrent(m_pContext);
  alGetError();  // an error left from before the context is none of ours

  ALCint nMajor = 0, nMinor = 0;
  alcGetIntegerv(m_pDevice, ALC_MAJOR_VERSION, 1, &nMajor);
  alcGetIntegerv(m_pDevice, ALC_MINOR_VERSION, 1, &nMinor);
  g_GameLogger.Log(" - Open AL Version %d.%d\n", nMajor, nMinor);
  const ALCchar* szDevice = alcGetString(m_pDevice, ALC_DEVICE_SPECIFIER);
  g_GameLogger.Log(" - Using device '%s'.\n", szDevice ? szDevice : "");
  if (alIsExtensionPresent("EAX2.0")) g_GameLogger.Log(" - EAX 2.0 Extension available\n");
}

COpenAL::~COpenAL() {
  alcMakeContextCurrent(nullptr);
  if (m_pContext) alcDestroyContext(m_pContext);
  if (m_pDevice) alcCloseDevice(m_pDevice);
}

void ReportOpenALError() {
  const ALenum nError = alGetError();
  if (nError != AL_NO_ERROR) g_GameLogger.Log("OpenAL Error : %d\n", nError);
}

OpenALStream CreateOpenALStream(int32_t nFormat, const void* pData, int32_t nSize,
                                int32_t nFrequency) {
  ALuint source = 0, buffer = 0;
  alGenSources(1, &source);
  ReportOpenALError();
  alGenBuffers(1, &buffer);
  ReportOpenALError();
  // OpenAL keeps its own copy: the caller may free the data at once.
  alBufferData(buffer, nFormat, pData, nSize, nFrequency);
  ReportOpenALError();
  alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
  ReportOpenALError();
  g_GameLogger.Log("OPENAL: Created source = %d\n", static_cast<int>(source));
  return {source, buffer, nFormat};
}

namespace {

// A record never filled has no source to act on: only logged, with its source's number.
bool IsFilledOpenALStream(const OpenALStream& stream, const char* szAction) {
  if (stream.format != 0) return true;
  g_GameLogger.Log("OpenAL Error : Can't %s stream, invalid stream%d\n", szAction,
                   static_cast<int>(stream.source));
  return false;
}

}  // namespace

void PlayOpenALStream(const OpenALStream& stream) {
  if (!IsFilledOpenALStream(stream, "play")) return;
  alSourcePlay(stream.source);
  ReportOpenALError();
}

void StopOpenALStream(const OpenALStream& stream) {
  if (!IsFilledOpenALStream(stream, "stop")) return;
  alSourceStop(stream.source);
  ReportOpenALError();
}

void DeleteOpenALStream(OpenALStream& stream) {
  if (stream.format == 0) return;
  alDeleteSources(1, &stream.source);
  ReportOpenALError();
  alDeleteBuffers(1, &stream.buffer);
  ReportOpenALError();
  stream = {};
}

int32_t OpenALPcmFormat(int nChannels, int nBitsPerSample) {
  if (nChannels == 1 && nBitsPerSample == 8) return AL_FORMAT_MONO8;
  if (nChannels == 1 && nBitsPerSample == 16) return AL_FORMAT_MONO16;
  if (nChannels == 2 && nBitsPerSample == 8) return AL_FORMAT_STEREO8;
  if (nChannels == 2 && nBitsPerSample == 16) return AL_FORMAT_STEREO16;
  return 0;
}
