// The waveOut entry points.
#include <algorithm>
#include <cstring>
#include <string>

#include "SoundSystem.h"
#include "WaveOutDevice.h"
#include "mmsystem.h"

namespace {

// Device identifiers are 32-bit; the mapper may come sign-extended to the pointer width.
bool IsMapper(UINT_PTR deviceId) {
  return deviceId == WAVE_MAPPER || deviceId == static_cast<UINT_PTR>(-1);
}

constexpr WORD kUnknownManufacturer = 0xFFFF;

}  // namespace

UINT waveOutGetNumDevs() { return static_cast<UINT>(CSoundSystem::OutputNames().size()); }

MMRESULT waveOutGetDevCapsA(UINT_PTR deviceId, LPWAVEOUTCAPSA caps, UINT capsSize) {
  if (!caps || capsSize == 0) return MMSYSERR_INVALPARAM;
  const std::vector<std::string> names = CSoundSystem::OutputNames();
  std::string name;
  if (IsMapper(deviceId))
    name = "Sound Mapper";
  else if (deviceId < names.size())
    name = names[deviceId];
  else
    return MMSYSERR_BADDEVICEID;
  WAVEOUTCAPSA full{};
  full.wMid = kUnknownManufacturer;
  full.wPid = kUnknownManufacturer;
  full.vDriverVersion = 0x0100;
  const size_t length = std::min(name.size(), sizeof full.szPname - 1);
  std::memcpy(full.szPname, name.data(), length);
  full.szPname[length] = '\0';
  full.dwFormats = 0x0FFF;  // 11, 22 and 44 kHz, mono and stereo, 8 and 16 bits
  full.wChannels = 2;
  full.dwSupport = WAVECAPS_VOLUME | WAVECAPS_LRVOLUME;
  // A caller with an older, shorter record gets what fits.
  std::memcpy(caps, &full, std::min<size_t>(capsSize, sizeof full));
  return MMSYSERR_NOERROR;
}

MMRESULT waveOutOpen(LPHWAVEOUT device, UINT deviceId, LPCWAVEFORMATEX format, DWORD_PTR callback,
                     DWORD_PTR instance, DWORD flags) {
  if (!format) return MMSYSERR_INVALPARAM;
  if (device) *device = nullptr;
  return CWaveOutDevice::Open(deviceId, *format, callback, instance, flags, device);
}

MMRESULT waveOutPrepareHeader(HWAVEOUT device, LPWAVEHDR header, UINT headerSize) {
  auto open = CWaveOutDevice::FromHandle(device);
  return open ? open->Prepare(header, headerSize) : MMSYSERR_INVALHANDLE;
}

MMRESULT waveOutUnprepareHeader(HWAVEOUT device, LPWAVEHDR header, UINT headerSize) {
  auto open = CWaveOutDevice::FromHandle(device);
  return open ? open->Unprepare(header, headerSize) : MMSYSERR_INVALHANDLE;
}

MMRESULT waveOutWrite(HWAVEOUT device, LPWAVEHDR header, UINT headerSize) {
  auto open = CWaveOutDevice::FromHandle(device);
  return open ? open->Write(header, headerSize) : MMSYSERR_INVALHANDLE;
}

MMRESULT waveOutReset(HWAVEOUT device) {
  auto open = CWaveOutDevice::FromHandle(device);
  return open ? open->Reset() : MMSYSERR_INVALHANDLE;
}

MMRESULT waveOutClose(HWAVEOUT device) {
  auto open = CWaveOutDevice::FromHandle(device);
  return open ? open->Close() : MMSYSERR_INVALHANDLE;
}

MMRESULT waveOutGetVolume(HWAVEOUT device, LPDWORD volume) {
  if (!volume) return MMSYSERR_INVALPARAM;
  auto open = CWaveOutDevice::FromHandle(device);
  if (!open) return MMSYSERR_INVALHANDLE;
  *volume = open->Volume();
  return MMSYSERR_NOERROR;
}

MMRESULT waveOutSetVolume(HWAVEOUT device, DWORD volume) {
  auto open = CWaveOutDevice::FromHandle(device);
  if (!open) return MMSYSERR_INVALHANDLE;
  open->SetVolume(volume);
  return MMSYSERR_NOERROR;
}
