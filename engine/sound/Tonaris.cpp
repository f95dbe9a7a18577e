#include "sound/Tonaris.h"

#include <dxerr9.h>
#include <mmsystem.h>
#include <windows.h>
#include <zkcrt.h>

#include <cstring>

#include "ZKDXGlobals.h"
#include "core/FatalError.h"
#include "sound/Mp3Stream.h"
#include "sound/OggStream.h"
#include "sound/SoundLog.h"
#include "sound/TonarisListener.h"
#include "sound/VoiceManager.h"
#include "sound/WaveStream.h"

namespace {

const char kFunctions[] = "QmrSoundFunctions";
const char kDirectSound[] = "QmrSoundDSound";
const char kListenerFunctions[] = "QMRSoundFunctions";
const char kStepFailed[] = "  - FAILED\nERROR! - %s - %s\n";

constexpr DWORD kSampleRate = 44100;
constexpr WORD kChannels = 2;
constexpr WORD kBitsPerSample = 16;
constexpr WORD kBlockAlign = kChannels * kBitsPerSample / 8;

// Config flags.
constexpr DWORD kForceSoftwareMixing = 1;
constexpr DWORD kPrimary3D = 2;
// A least-buffer count of 0 means this many.
constexpr DWORD kDefaultLeastBuffers = 8;

struct StreamRow {
  const char* extension;
  CTonaris::StreamKind kind;
};

// Sound files are chosen by the first three characters of their extension, lower-cased.
const StreamRow kStreamRows[] = {{"ogg", CTonaris::kOggStream},
                                 {"wav", CTonaris::kWaveStream},
                                 {"mp3", CTonaris::kMp3Stream}};

const char* ErrorName(HRESULT result) { return DXGetErrorString9A(result); }
const char* ErrorDescription(HRESULT result) { return DXGetErrorDescription9A(result); }

}  // namespace

UINT CreateTonarisInterface(HWND window, UINT /*ignored*/, UINT useLogs,
                            TonarisInterface** server) {
  CTonaris* made = NewOrFatal<CTonaris>(CTonaris::kOutOfMemoryTitle, CTonaris::kOutOfMemoryText,
                                        window, 0u, useLogs);
  if (server) *server = made;
  return 1;
}

// --- construction ---

CTonaris::CTonaris(HWND window, UINT waveOutMode, UINT useLogs)
    : m_hWnd(window ? window : GetForegroundWindow()), m_dwWaveOutMode(waveOutMode) {
  m_pLog = GetSoundLog();
  m_pLog->Open(useLogs);
  if (m_dwWaveOutMode)
    EnumerateWaveOutDevices();
  else
    EnumerateDirectSoundDevices();
  m_pLog->Write(kFunctions, "- Found Devices:\n");
  for (UINT i = 0; i < m_dwNumberOfDevices; ++i)
    m_pLog->Write(kFunctions, "  - %s\n", m_pDevices[i].szDescription);
}

CTonaris::~CTonaris() {
  m_dwRunning = 0;
  m_WaveOut.CloseWaveOut();
  if (m_hThread) StopSoundThread();
  delete m_pListener;
  delete m_pVoiceManager;
  ReleaseDirectSound();
  if (m_hThreadWake) CloseHandle(m_hThreadWake);
  for (UINT i = 0; i < m_dwNumberOfDevices; ++i) delete m_pDevices[i].pGuid;
  delete[] m_pDevices;
}

void CTonaris::EnumerateDirectSoundDevices() {
  m_pLog->Write(kFunctions, "- Using DSound\n");
  UINT count = 0;
  if (FAILED(DirectSoundEnumerateA(CountDevice, &count))) {
    m_pLog->Write(kFunctions, "Can't Enumerate Sound Devices\n");
    return;
  }
  m_pDevices = NewArrayOrFatal<SoundDevice>(kOutOfMemoryTitle, kOutOfMemoryText, count);
  m_dwDeviceCapacity = count;
  DirectSoundEnumerateA(AddDevice, this);
  for (UINT i = 0; i < m_dwNumberOfDevices; ++i) ReadDeviceCaps(m_pDevices[i]);
}

BOOL CTonaris::CountDevice(LPGUID, LPCSTR, LPCSTR, LPVOID count) {
  ++*static_cast<UINT*>(count);
  return TRUE;
}

BOOL CTonaris::AddDevice(LPGUID guid, LPCSTR description, LPCSTR, LPVOID server) {
  CTonaris* self = static_cast<CTonaris*>(server);
  // The device list may have grown since it was counted; the table keeps its first size.
  if (self->m_dwNumberOfDevices >= self->m_dwDeviceCapacity) return FALSE;
  SoundDevice& device = self->m_pDevices[self->m_dwNumberOfDevices];
  if (guid) device.pGuid = NewOrFatal<GUID>(kOutOfMemoryTitle, kOutOfMemoryText, *guid);
  snprintf(device.szDescription, sizeof device.szDescription, "%s", description ? description : "");
  ++self->m_dwNumberOfDevices;
  return TRUE;
}

void CTonaris::ReadDeviceCaps(SoundDevice& device) {
  IDirectSound8* directSound = nullptr;
  HRESULT result = DirectSoundCreate8(device.pGuid, &directSound, nullptr);
  if (FAILED(result)) {
    m_pLog->Write(kFunctions, "Can't Initialize DSound For %s\n%s - %s", device.szDescription,
                  ErrorName(result), ErrorDescription(result));
    return;
  }
  DSCAPS caps = {};
  caps.dwSize = sizeof caps;
  result = directSound->GetCaps(&caps);
  if (FAILED(result)) {
    m_pLog->Write(kFunctions, "Can't Get DSound Caps For %s\n%s - %s", device.szDescription,
                  ErrorName(result), ErrorDescription(result));
  } else if (caps.dwPrimaryBuffers == 0) {
    m_pLog->Write(kFunctions, "No Primary Buffers For %s\n", device.szDescription);
  } else {
    device.dwFreeHwMixingStreamingBuffers = caps.dwFreeHwMixingStreamingBuffers;
    device.dwFreeHwMixingStaticBuffers = caps.dwFreeHwMixingStaticBuffers;
    device.dwMaxHwMixingAllBuffers = caps.dwMaxHwMixingAllBuffers;
    device.dwMaxHw3DAllBuffers = caps.dwMaxHw3DAllBuffers;
    device.dwFreeHw3DStreamingBuffers = caps.dwFreeHw3DStreamingBuffers;
    device.dwFreeHw3DStaticBuffers = caps.dwFreeHw3DStaticBuffers;
    device.dwFreeHwMemBytes = caps.dwFreeHwMemBytes;
    device.dwCapsValid = 1;
  }
  directSound->Release();
}

void CTonaris::EnumerateWaveOutDevices() {
  m_pLog->Write(kFunctions, "- Using WaveOut\n");
  const UINT count = waveOutGetNumDevs();
  m_pDevices = NewArrayOrFatal<SoundDevice>(kOutOfMemoryTitle, kOutOfMemoryText, count);
  m_dwDeviceCapacity = count;
  for (UINT id = 0; id < count; ++id) {
    WAVEOUTCAPSA caps = {};
    if (waveOutGetDevCapsA(id, &caps, sizeof caps) != MMSYSERR_NOERROR) continue;
    SoundDevice& device = m_pDevices[m_dwNumberOfDevices++];
    snprintf(device.szDescription, sizeof device.szDescription, "%.*s",
             static_cast<int>(sizeof caps.szPname), caps.szPname);
    device.uWaveOutId = id;
  }
}

// --- device queries ---

const SoundDevice* CTonaris::DeviceAt(UINT device) const {
  return device < m_dwNumberOfDevices ? &m_pDevices[device] : nullptr;
}

UINT CTonaris::DeviceCount(UINT device, DWORD SoundDevice::*count) const {
  const SoundDevice* record = DeviceAt(device);
  return record ? record->*count : 0;
}

const char* CTonaris::GetDeviceName(UINT device) {
  const SoundDevice* record = DeviceAt(device);
  return record ? record->szDescription : nullptr;
}

UINT CTonaris::GetDeviceFreeHw3DStaticBuffers(UINT device) {
  return DeviceCount(device, &SoundDevice::dwFreeHw3DStaticBuffers);
}

UINT CTonaris::GetDeviceFreeHw3DStreamingBuffers(UINT device) {
  return DeviceCount(device, &SoundDevice::dwFreeHw3DStreamingBuffers);
}

UINT CTonaris::GetDeviceFreeHwStreamingBuffers(UINT device) {
  return DeviceCount(device, &SoundDevice::dwFreeHwMixingStreamingBuffers);
}

UINT CTonaris::GetDeviceFreeHwStaticBuffers(UINT device) {
  return DeviceCount(device, &SoundDevice::dwFreeHwMixingStaticBuffers);
}

UINT CTonaris::GetDeviceFreeHwMemory(UINT device) {
  return DeviceCount(device, &SoundDevice::dwFreeHwMemBytes);
}

UINT CTonaris::GetDeviceCapsValid(UINT device) {
  return DeviceCount(device, &SoundDevice::dwCapsValid);
}

// --- start-up and shutdown ---

UINT CTonaris::Init(TonarisConfig* config) {
  const DWORD size = config ? config->dwSize : 0;
  if (size != sizeof(TonarisConfig)) {
    m_pLog->Write(kFunctions, "- Configurations Structure Incorrect Size (%i - %i)\n",
                  static_cast<int>(size), static_cast<int>(sizeof(TonarisConfig)));
    return 0;
  }
  if (m_dwWaveOutMode) {
    // The device index goes as it is: -1 is the wave mapper. A device that would not open is
    // reported, not taken as started.
    m_dwRunning = 0;
    if (!m_WaveOut.OpenWaveOut(config->dwDeviceIndex, kSampleRate)) return 0;
    m_OutputFormat = WAVEFORMATEX{WAVE_FORMAT_PCM, kChannels, kSampleRate,
                                  kSampleRate * kBlockAlign, kBlockAlign, kBitsPerSample, 0};
    m_dwInitialized = 1;
    m_dwRunning = 1;
    return 1;
  }

  if (config->dwDeviceIndex == 0xFFFFFFFF) config->dwDeviceIndex = 0;
  if (config->dwBufferCount2 == 0) config->dwBufferCount2 = kDefaultLeastBuffers;
  if (config->dwBufferCount1 == 0) config->dwBufferCount1 = kDefaultLeastBuffers;
  const SoundDevice* device = DeviceAt(config->dwDeviceIndex);
  if (!device) {
    m_pLog->Write(kFunctions, "- Incorrect Device Index (%u - %u)\n",
                  static_cast<unsigned>(config->dwDeviceIndex), m_dwNumberOfDevices);
    return 0;
  }
  if (!StartDirectSound(*config, *device)) return 0;
  m_dwRunning = 1;
  return 1;
}

bool CTonaris::StartDirectSound(const TonarisConfig& config, const SoundDevice& device) {
  m_pLog->Write(kDirectSound, "- Creating DSound Interface...\n");
  HRESULT result = DirectSoundCreate8(device.pGuid, &m_pDirectSound, nullptr);
  if (FAILED(result)) return FailDirectSoundStep(kStepFailed, result);
  m_pLog->Write(kDirectSound, "  - DONE\n");

  m_pLog->Write(kDirectSound, "- Setting Cooperative Level...\n");
  result = m_pDirectSound->SetCooperativeLevel(m_hWnd, DSSCL_EXCLUSIVE);
  if (FAILED(result)) return FailDirectSoundStep("FAILED\nERROR! - %s - %s\n", result);
  m_pLog->Write(kDirectSound, "  - DONE\n");

  DSBUFFERDESC description = {};
  description.dwSize = sizeof description;
  description.dwFlags = ChoosePrimaryFlags(config, device);
  m_pLog->Write(kDirectSound, "- Creating Primary Sound Buffer...\n");
  result = m_pDirectSound->CreateSoundBuffer(&description, &m_pPrimaryBuffer, nullptr);
  if (FAILED(result)) return FailDirectSoundStep(kStepFailed, result);
  m_dwPrimaryFlags = description.dwFlags;
  m_pLog->Write(kDirectSound, "  - DONE\n");

  m_OutputFormat = WAVEFORMATEX{WAVE_FORMAT_PCM, kChannels, kSampleRate,
                                kSampleRate * kBlockAlign, kBlockAlign, kBitsPerSample, 0};
  m_pLog->Write(kDirectSound, "- Setting Primary Sound Buffer's Format...\n");
  result = m_pPrimaryBuffer->SetFormat(&m_OutputFormat);
  if (FAILED(result)) return FailDirectSoundStep(kStepFailed, result);
  m_pLog->Write(kDirectSound, "  - DONE\n");

  m_pLog->Write(kDirectSound, "- Creating Sound Thread...\n");
  if (!StartSoundThread())
    return FailDirectSoundStep(kStepFailed, HRESULT_FROM_WIN32(GetLastError()));
  m_pLog->Write(kDirectSound, "  - DONE\n");
  m_pVoiceManager = NewOrFatal<CVoiceManager>(kOutOfMemoryTitle, kOutOfMemoryText, this, m_pLog,
                                              m_OutputFormat, m_pDirectSound);
  return true;
}

// A failed step leaves nothing of the steps before it open.
bool CTonaris::FailDirectSoundStep(const char* failure, HRESULT result) {
  m_pLog->Write(kDirectSound, failure, ErrorName(result), ErrorDescription(result));
  ReleaseDirectSound();
  return false;
}

DWORD CTonaris::ChoosePrimaryFlags(const TonarisConfig& config, const SoundDevice& device) {
  DWORD flags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_STICKYFOCUS;
  m_dwSoftwareMixing = 0;
  if (config.dwFlags & kPrimary3D) {
    flags |= DSBCAPS_CTRL3D;
    if (device.dwMaxHw3DAllBuffers < config.dwBufferCount2) {
      flags |= DSBCAPS_LOCSOFTWARE;
      m_dwSoftwareMixing = 1;
    }
  }
  if ((config.dwFlags & kForceSoftwareMixing) ||
      device.dwMaxHwMixingAllBuffers < config.dwBufferCount1) {
    flags |= DSBCAPS_LOCSOFTWARE;
    m_dwSoftwareMixing = 1;
  }
  return flags;
}

bool CTonaris::StartSoundThread() {
  if (!m_hThreadWake) m_hThreadWake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (!m_hThreadWake) return false;
  m_dwInitialized = 1;
  m_hThread = CreateThread(nullptr, 0, SoundThreadProc, this, 0, &m_dwThreadId);
  if (!m_hThread) {
    m_dwInitialized = 0;
    return false;
  }
  return true;
}

void CTonaris::ReleaseDirectSound() {
  if (m_pPrimaryBuffer) m_pPrimaryBuffer->Release();
  m_pPrimaryBuffer = nullptr;
  if (m_pDirectSound) m_pDirectSound->Release();
  m_pDirectSound = nullptr;
}

// Sounds, the listener and the device stay: the application may still hold sounds and release
// them after the engine has shut down.
UINT CTonaris::Deinit() {
  m_pLog->Write(kFunctions, "- Deinitializing\n");
  if (!m_dwInitialized) return 0;
  if (m_dwRunning) Stop();
  if (m_dwWaveOutMode) {
    const UINT closed = m_WaveOut.CloseWaveOut();
    m_dwInitialized = 0;
    m_pLog->Close();
    return closed;
  }
  StopSoundThread();
  m_pLog->Close();
  return 1;
}

// Both take the stream lock, so that no refill pass that saw the old state is still running
// when they return.
UINT CTonaris::Play() {
  std::lock_guard<std::recursive_mutex> hold(m_streamLock);
  if (!m_dwInitialized) return 0;
  m_dwRunning = 1;
  if (m_dwWaveOutMode) m_WaveOut.FillWaveOut();
  return 1;
}

// Buffers already playing go on with what they hold; only the refills stop.
UINT CTonaris::Stop() {
  std::lock_guard<std::recursive_mutex> hold(m_streamLock);
  m_dwRunning = 0;
  return 1;
}

UINT CTonaris::GetGlobalVolume() {
  return m_dwWaveOutMode ? m_WaveOut.GetWaveOutVolume() : 0xFFFFFFFF;
}

void CTonaris::SetGlobalVolume(UINT volume) {
  if (m_dwWaveOutMode) m_WaveOut.SetWaveOutVolume(volume);
}

// --- the 3D listener ---

TonarisListener* CTonaris::GetListenerInterface() {
  if (m_pListener) return m_pListener;
  IDirectSound3DListener* listener = nullptr;
  const HRESULT result =
      m_pPrimaryBuffer ? m_pPrimaryBuffer->QueryInterface(IID_IDirectSound3DListener,
                                                          reinterpret_cast<void**>(&listener))
                       : DSERR_UNINITIALIZED;
  if (FAILED(result)) {
    m_pLog->Write(kListenerFunctions, "ERROR! - Can't Obtain Listener's Interface\n(%s - %s)\n",
                  ErrorName(result), ErrorDescription(result));
    return nullptr;
  }
  if (!listener) return nullptr;
  m_pListener =
      NewOrFatal<CTonarisListener>(kOutOfMemoryTitle, kOutOfMemoryText, listener, m_pLog);
  return m_pListener;
}

UINT CTonaris::Apply() {
  if (!m_pListener) {
    m_pLog->Write(kListenerFunctions, "ERROR! - Listener Interface Is NULL\n");
    return 0;
  }
  return m_pListener->CommitSettings();
}

// --- sounds ---

char* CTonaris::GetStreamExtension(char* name) {
  if (!name || name[0] == '\0') return nullptr;
  char* dot = std::strchr(name + 1, '.');
  if (!dot) return nullptr;
  char* extension = dot + 1;
  // Cut within the text only: a shorter extension is already terminated.
  if (strnlen(extension, 3) == 3) extension[3] = '\0';
  return extension;
}

UINT CTonaris::LoadStream(const char* name, TonarisStream** out, UINT flags) {
  if (!m_dwInitialized) {
    m_pLog->Write(kFunctions, "- Tonaris Has Not Been Initialized\n");
    return 0;
  }
  m_pLog->Write(kFunctions, "- Loading Stream: %s With Flags: %i\n", name ? name : "",
                static_cast<int>(flags));
  const size_t length = name ? strnlen(name, kMaxStreamName) : 0;
  if (!out || length <= 5 || length >= kMaxStreamName) {
    if (out) *out = nullptr;
    m_pLog->Write(kFunctions, "  - FAILED\n");
    return 0;
  }

  char copy[kMaxStreamName] = {};
  std::memcpy(copy, name, length);
  char* extension = GetStreamExtension(copy);
  if (!extension) return 0;
  _strlwr(extension);
  const StreamRow* row = nullptr;
  for (const StreamRow& candidate : kStreamRows)
    if (std::strncmp(extension, candidate.extension, 3) == 0) row = &candidate;
  if (!row) return 0;

  UINT success = 0;
  TonarisStream* stream = CreateStream(row->kind, name, flags, success);
  if (stream) {
    AppendStream(stream);
    if (success) {
      *out = stream;
      m_pLog->Write(kFunctions, "  - DONE\n");
      return 1;
    }
    // Nothing else holds a sound that failed: its Release unlinks it and frees what it opened.
    stream->Release();
  }
  *out = nullptr;
  m_pLog->Write(kFunctions, "  - FAILED\n");
  return 0;
}

// Each kind's object takes the server, the name, the start offset 0, the success flag, the
// buffer length (one second of output) and the flags; wave sounds use neither offset nor length.
TonarisStream* CTonaris::CreateStream(StreamKind kind, const char* name, UINT flags,
                                      UINT& success) {
  success = 0;
  const UINT bufferLength = kSampleRate * kBlockAlign;
  switch (kind) {
    case kOggStream:
      return NewOrFatal<COggStream>(kOutOfMemoryTitle, kOutOfMemoryText, this, name, 0L, success,
                                    bufferLength, flags);
    case kMp3Stream:
      return NewOrFatal<CMp3Stream>(kOutOfMemoryTitle, kOutOfMemoryText, this, name, 0L, success,
                                    bufferLength, flags);
    case kWaveStream:
      return NewOrFatal<CWaveStream>(kOutOfMemoryTitle, kOutOfMemoryText, this, name, success,
                                     flags);
  }
  return nullptr;
}

void CTonaris::AppendStream(TonarisStream* stream) {
  std::lock_guard<std::recursive_mutex> hold(m_streamLock);
  stream->SetNext(nullptr);
  stream->SetPrevious(nullptr);
  if (!m_pFirstStream) {
    m_pFirstStream = stream;
    m_dwNumberOfStreams = 1;
    return;
  }
  TonarisStream* last = m_pFirstStream;
  while (last->GetNext()) last = last->GetNext();
  last->SetNext(stream);
  stream->SetPrevious(last);
  ++m_dwNumberOfStreams;
}

void CTonaris::UnlinkStream(TonarisStream* stream) {
  if (!stream) return;
  std::lock_guard<std::recursive_mutex> hold(m_streamLock);
  TonarisStream* previous = stream->GetPrevious();
  TonarisStream* next = stream->GetNext();
  if (!previous && m_pFirstStream != stream) return;
  if (previous)
    previous->SetNext(next);
  else
    m_pFirstStream = next;
  if (next) next->SetPrevious(previous);
  stream->SetNext(nullptr);
  stream->SetPrevious(nullptr);
  if (m_dwNumberOfStreams > 0) --m_dwNumberOfStreams;
}

// --- the refill thread ---

UINT CTonaris::UpdateStreams() {
  std::lock_guard<std::recursive_mutex> hold(m_streamLock);
  if (m_dwInitialized == 1 && m_dwRunning == 1 && m_dwNumberOfStreams > 0) {
    for (TonarisStream* stream = m_pFirstStream; stream; stream = stream->GetNext())
      if (stream->GetIsPlayed() == 1) stream->Update();
  }
  return m_dwInitialized;
}

DWORD WINAPI CTonaris::SoundThreadProc(LPVOID server) {
  CTonaris* self = static_cast<CTonaris*>(server);
  // The wait ends early when the thread is told to stop.
  while (self->UpdateStreams()) WaitForSingleObject(self->m_hThreadWake, kRefillPeriod);
  self->m_pLog->Write("Thread", "- DSound Thread Exited\n");
  return 0;
}

// Deinit closes the log and releases the primary buffer right after this: the thread must be
// gone by then, not merely told to go.
UINT CTonaris::StopSoundThread() {
  m_dwInitialized = 0;
  if (m_hThread && m_hThread != INVALID_HANDLE_VALUE) {
    SetEvent(m_hThreadWake);
    WaitForSingleObject(m_hThread, INFINITE);
    CloseHandle(m_hThread);
  }
  m_hThread = nullptr;
  if (m_pPrimaryBuffer) m_pPrimaryBuffer->Release();
  m_pPrimaryBuffer = nullptr;
  return 1;
}
