#pragma once
// The game's one OpenAL device and context, beside the engine's own sound server: opened when
// the game core is made and kept until the process ends. Only the game's OpenAL code sees
// OpenAL's own headers.
#include <cstddef>
#include <cstdint>

#include "cpelto/OpenALStream.h"
#include "framework/Singleton.h"

// OpenAL's own names for its opaque device and context.
struct ALCcontext_struct;
struct ALCdevice_struct;
typedef struct ALCcontext_struct ALCcontext;
typedef struct ALCdevice_struct ALCdevice;

class COpenAL : public geTSingleton<COpenAL> {
 public:
  // Opens the default device; without one the program ends with exit code -1. Without a
  // context the object stays, and later OpenAL calls report their errors.
  COpenAL();
  virtual ~COpenAL();

  ALCcontext* GetContext() const { return m_pContext; }
  ALCdevice* GetDevice() const { return m_pDevice; }

 private:
  ALCcontext* m_pContext = nullptr;
  ALCdevice* m_pDevice = nullptr;
};

// Logs "OpenAL Error : %d" when OpenAL has an error pending; every OpenAL call of the game is
// followed by it, and no error stops the game.
void ReportOpenALError();

// One source with one buffer holding a copy of `pData` (`nSize` bytes at `nFrequency` Hz); the
// source does not loop.
OpenALStream CreateOpenALStream(int32_t nFormat, const void* pData, int32_t nSize,
                                int32_t nFrequency);
// Starts the stream's source from the beginning; a record never filled is only logged.
void PlayOpenALStream(const OpenALStream& stream);
// Stops the stream's source; a record never filled is only logged.
void StopOpenALStream(const OpenALStream& stream);
// Frees the stream's source and buffer and empties the record; an empty record is left alone.
void DeleteOpenALStream(OpenALStream& stream);
// The OpenAL format of PCM with that many channels and bits per sample; 0 for none OpenAL plays.
int32_t OpenALPcmFormat(int nChannels, int nBitsPerSample);
