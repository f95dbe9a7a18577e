#include "sound/Voice.h"

#include <dxerr9.h>
#include <windows.h>
#include <zkplatform/ZkPaths.h>

#include <cstring>

#include "sound/SoundLog.h"

namespace {

const char kSource[] = "QmrSoundVoiceManager";
const char kCantRead[] = "  - Can't Read From The File\n";

// The fields of a wave file's header that are kept, little-endian.
uint16_t Read16(const unsigned char* bytes) { return static_cast<uint16_t>(bytes[0] | bytes[1] << 8); }
uint32_t Read32(const unsigned char* bytes) {
  return static_cast<uint32_t>(Read16(bytes)) | static_cast<uint32_t>(Read16(bytes + 2)) << 16;
}

}  // namespace

CVoice::CVoice(CVoiceManager* /*manager*/, CSoundLog* log, const char* path, UINT& success,
               const WAVEFORMATEX& /*outputFormat*/, IDirectSound8* device, UINT voiceFlags)
    : m_pLog(log), m_pDevice(device), m_dwFlags(voiceFlags) {
  success = 0;
  if (!path || strnlen(path, kMaxPath) >= kMaxPath) {
    m_pLog->Write(kSource, "  - Can't Open File: %s\n", path ? path : "");
    return;
  }
  std::strcpy(m_szPath, path);
  FILE* file = ZkFileOpen(m_szPath, "rb");
  if (!file) {
    char folder[kMaxPath] = {};
    GetCurrentDirectoryA(sizeof folder, folder);
    m_pLog->Write(kSource, "  - Can't Open File: %s\n", m_szPath);
    m_pLog->Write(kSource, "  - CurrentDir Is: %s\n", folder);
    return;
  }
  success = Load(file) ? 1 : 0;
  fclose(file);
}

CVoice::~CVoice() {
  if (m_pBuffer) m_pBuffer->Release();
}

bool CVoice::Load(FILE* file) {
  if (fseek(file, 0, SEEK_END) != 0) return false;
  const long length = ftell(file);
  if (length < 0 || fseek(file, 0, SEEK_SET) != 0) return false;
  // Wave files of 4 GB and more cannot be described by their own size fields.
  UINT size = length > 0xFFFFFFFFL ? 0xFFFFFFFFu : static_cast<UINT>(length);
  if (!ReadWaveHeader(file, size)) return false;
  if ((m_dwFlags & kVoice3D) && m_wChannels > 1) {
    m_pLog->Write(kSource,
                  "ERROR! - For 3D Sound Processing Only Mono Wave Streams Are Accepatable\n");
    return false;
  }
  return CreateBuffer(size) && LoadData(file, size);
}

bool CVoice::ReadField(FILE* file, void* field, size_t size) {
  if (fread(field, 1, size, file) == size) return true;
  m_pLog->Write(kSource, kCantRead);
  return false;
}

UINT CVoice::ReadWaveHeader(FILE* file, UINT& size) {
  const UINT length = size;
  char id[4];
  unsigned char value[4];
  if (!ReadField(file, id, 4)) return 0;
  if (std::memcmp(id, "RIFF", 4) != 0) {
    m_pLog->Write(kSource, "ERROR! - Not A Wave File (1)\n");
    return 0;
  }
  if (!ReadField(file, value, 4) || !ReadField(file, id, 4)) return 0;
  if (std::memcmp(id, "WAVE", 4) != 0) {
    m_pLog->Write(kSource, "ERROR! - Not A Wave File (2)\n");
    return 0;
  }
  if (!ReadField(file, id, 4)) return 0;
  if (std::memcmp(id, "fmt", 3) != 0) {
    m_pLog->Write(kSource, "ERROR! - Not A Wave File (3)\n");
    return 0;
  }
  // The chunk size and the format tag are read and not used: the scan below finds the data.
  unsigned char format[20];
  if (!ReadField(file, format, sizeof format)) return 0;
  m_wChannels = Read16(format + 6);
  m_dwSamplesPerSec = Read32(format + 8);
  m_dwAvgBytesPerSec = Read32(format + 12);
  m_wBlockAlign = Read16(format + 16);
  m_wBitsPerSample = Read16(format + 18);
  if (!FindDataChunk(file) || !ReadField(file, value, 4)) return 0;
  size = Read32(value);
  // The size is the file's word: no buffer is made for more bytes than the file still holds.
  const long at = ftell(file);
  if (at < 0 || size > length - static_cast<UINT>(at)) {
    m_pLog->Write(kSource, kCantRead);
    return 0;
  }
  return 1;
}

bool CVoice::FindDataChunk(FILE* file) {
  char window[4];
  if (fread(window, 1, 4, file) == 4) {
    while (std::memcmp(window, "data", 4) != 0) {
      const int next = fgetc(file);
      if (next == EOF) break;
      std::memmove(window, window + 1, 3);
      window[3] = static_cast<char>(next);
    }
    if (std::memcmp(window, "data", 4) == 0) return true;
  }
  m_pLog->Write(kSource, "  - Can't Find \"data\" Chunk\n");
  return false;
}

DWORD CVoice::BufferFlags() const {
  DWORD flags = DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_GLOBALFOCUS;
  if (m_dwFlags & kVoiceFrequency) flags |= DSBCAPS_CTRLFREQUENCY;
  if (m_dwFlags & kVoiceVolume) flags |= DSBCAPS_CTRLVOLUME;
  if (m_dwFlags & kVoice3D)
    flags |= DSBCAPS_CTRL3D;
  else if (m_dwFlags & kVoicePan)
    flags |= DSBCAPS_CTRLPAN;
  // Hardware or software is chosen when a sound of the voice plays.
  return flags | DSBCAPS_LOCDEFER;
}

bool CVoice::CreateBuffer(UINT size) {
  WAVEFORMATEX format = {};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = m_wChannels;
  format.nSamplesPerSec = m_dwSamplesPerSec;
  format.wBitsPerSample = m_wBitsPerSample;
  // The file's own rate fields are not trusted: both are computed.
  format.nAvgBytesPerSec = static_cast<DWORD>(
      static_cast<uint64_t>(m_wChannels) * m_wBitsPerSample * m_dwSamplesPerSec / 8);
  // Unsigned: two 16-bit fields of a damaged file multiply past what an int holds.
  format.nBlockAlign = static_cast<WORD>(static_cast<UINT>(m_wChannels) * m_wBitsPerSample / 8);

  DSBUFFERDESC description = {};
  description.dwSize = sizeof description;
  description.dwFlags = BufferFlags();
  description.dwBufferBytes = size;
  description.lpwfxFormat = &format;
  IDirectSoundBuffer* buffer = nullptr;
  HRESULT result = m_pDevice ? m_pDevice->CreateSoundBuffer(&description, &buffer, nullptr)
                             : DSERR_UNINITIALIZED;
  if (FAILED(result)) {
    m_pLog->Write(kSource, "    - FAILED (%s - %s)\n", DXGetErrorString9A(result),
                  DXGetErrorDescription9A(result));
    return false;
  }
  result = buffer->QueryInterface(IID_IDirectSoundBuffer8, reinterpret_cast<void**>(&m_pBuffer));
  buffer->Release();
  if (FAILED(result)) {
    m_pBuffer = nullptr;
    m_pLog->Write(kSource, "ERROR! - Can't Obtain DS8 Interface(%s - %s)\n",
                  DXGetErrorString9A(result), DXGetErrorDescription9A(result));
    return false;
  }
  return true;
}

UINT CVoice::LoadData(FILE* file, UINT size) {
  void* first = nullptr;
  void* second = nullptr;
  DWORD firstLength = 0;
  DWORD secondLength = 0;
  const HRESULT result = m_pBuffer->Lock(0, size, &first, &firstLength, &second, &secondLength, 0);
  if (FAILED(result)) {
    m_pLog->Write(kSource, "  - Can't Lock DSound Buffer\n%s - %s\n", DXGetErrorString9A(result),
                  DXGetErrorDescription9A(result));
    return 0;
  }
  UINT loaded = 0;
  const char* failure = nullptr;
  if (firstLength + secondLength != size) {
    failure = "ERORR! - Locked Size Is Incorrect\n";
  } else {
    const size_t firstRead = fread(first, 1, firstLength, file);
    const size_t secondRead = second ? fread(second, 1, secondLength, file) : 0;
    if ((firstLength && !firstRead) || (secondLength && !secondRead))
      failure = "ERROR! - Can't Read From The File\n";
    else if (firstRead + secondRead != size)
      failure = "ERORR! - Not All Data Has Been Copied\n";
    else
      loaded = 1;
  }
  m_pBuffer->Unlock(first, firstLength, second, secondLength);
  if (failure) m_pLog->Write(kSource, "%s", failure);
  return loaded;
}

UINT CVoice::DuplicateBuffer(IDirectSoundBuffer** duplicate) {
  const HRESULT result = m_pDevice->DuplicateSoundBuffer(m_pBuffer, duplicate);
  if (FAILED(result)) {
    m_pLog->Write(kSource, "ERROR! - Can't Duplicate Buffer For: %s\n(%s - %s)", m_szPath,
                  DXGetErrorString9A(result), DXGetErrorDescription9A(result));
    return 0;
  }
  return 1;
}

bool CVoice::Matches(const char* path, UINT voiceFlags) const {
  return voiceFlags == m_dwFlags && path && std::strcmp(path, m_szPath) == 0;
}
