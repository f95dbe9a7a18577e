#pragma once
// waveOut: block-queued sound output.
#include "mmreg.h"

typedef UINT MMRESULT;
typedef UINT MMVERSION;
DECLARE_HANDLE(HWAVEOUT);
typedef HWAVEOUT* LPHWAVEOUT;

#define MMSYSERR_NOERROR 0
#define MMSYSERR_ERROR 1
#define MMSYSERR_BADDEVICEID 2
#define MMSYSERR_NOTENABLED 3
#define MMSYSERR_ALLOCATED 4
#define MMSYSERR_INVALHANDLE 5
#define MMSYSERR_NODRIVER 6
#define MMSYSERR_NOMEM 7
#define MMSYSERR_NOTSUPPORTED 8
#define MMSYSERR_BADERRNUM 9
#define MMSYSERR_INVALFLAG 10
#define MMSYSERR_INVALPARAM 11
#define WAVERR_BADFORMAT 32
#define WAVERR_STILLPLAYING 33
#define WAVERR_UNPREPARED 34
#define WAVERR_SYNC 35

#define WAVE_MAPPER ((UINT)-1)

#define CALLBACK_TYPEMASK 0x00070000
#define CALLBACK_NULL 0x00000000
#define CALLBACK_WINDOW 0x00010000
#define CALLBACK_TASK 0x00020000
#define CALLBACK_THREAD CALLBACK_TASK
#define CALLBACK_FUNCTION 0x00030000
#define CALLBACK_EVENT 0x00050000
#define WAVE_FORMAT_QUERY 0x0001
#define WAVE_ALLOWSYNC 0x0002
#define WAVE_MAPPED 0x0004

#define WOM_OPEN 0x3BB
#define WOM_CLOSE 0x3BC
#define WOM_DONE 0x3BD

#define WHDR_DONE 0x00000001
#define WHDR_PREPARED 0x00000002
#define WHDR_BEGINLOOP 0x00000004
#define WHDR_ENDLOOP 0x00000008
#define WHDR_INQUEUE 0x00000010

#define WAVECAPS_PITCH 0x0001
#define WAVECAPS_PLAYBACKRATE 0x0002
#define WAVECAPS_VOLUME 0x0004
#define WAVECAPS_LRVOLUME 0x0008
#define WAVECAPS_SYNC 0x0010
#define WAVECAPS_SAMPLEACCURATE 0x0020

#define WAVE_FORMAT_1M08 0x00000001
#define WAVE_FORMAT_1S08 0x00000002
#define WAVE_FORMAT_1M16 0x00000004
#define WAVE_FORMAT_1S16 0x00000008
#define WAVE_FORMAT_2M08 0x00000010
#define WAVE_FORMAT_2S08 0x00000020
#define WAVE_FORMAT_2M16 0x00000040
#define WAVE_FORMAT_2S16 0x00000080
#define WAVE_FORMAT_4M08 0x00000100
#define WAVE_FORMAT_4S08 0x00000200
#define WAVE_FORMAT_4M16 0x00000400
#define WAVE_FORMAT_4S16 0x00000800

#define MAXPNAMELEN 32

// Holds pointers, so it is as large as this compiler makes it.
typedef struct wavehdr_tag {
  LPSTR lpData;
  DWORD dwBufferLength;
  DWORD dwBytesRecorded;
  DWORD_PTR dwUser;
  DWORD dwFlags;
  DWORD dwLoops;
  struct wavehdr_tag* lpNext;
  DWORD_PTR reserved;
} WAVEHDR, *PWAVEHDR, *LPWAVEHDR;

typedef struct tagWAVEOUTCAPSA {
  WORD wMid;
  WORD wPid;
  MMVERSION vDriverVersion;
  CHAR szPname[MAXPNAMELEN];
  DWORD dwFormats;
  WORD wChannels;
  WORD wReserved1;
  DWORD dwSupport;
} WAVEOUTCAPSA, *PWAVEOUTCAPSA, *LPWAVEOUTCAPSA;
static_assert(sizeof(WAVEOUTCAPSA) == 52);

// A function callback gets the device, the message (WOM_OPEN, WOM_DONE, WOM_CLOSE), the
// instance value given to waveOutOpen and, for WOM_DONE, the finished header as param1. It runs
// on the device's own thread and may call waveOut functions.
typedef void (*LPWAVEOUTPROC)(HWAVEOUT device, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                              DWORD_PTR param2);

ZKAPI UINT waveOutGetNumDevs();
ZKAPI MMRESULT waveOutGetDevCapsA(UINT_PTR deviceId, LPWAVEOUTCAPSA caps, UINT capsSize);
ZKAPI MMRESULT waveOutOpen(LPHWAVEOUT device, UINT deviceId, LPCWAVEFORMATEX format,
                           DWORD_PTR callback, DWORD_PTR instance, DWORD flags);
ZKAPI MMRESULT waveOutPrepareHeader(HWAVEOUT device, LPWAVEHDR header, UINT headerSize);
ZKAPI MMRESULT waveOutUnprepareHeader(HWAVEOUT device, LPWAVEHDR header, UINT headerSize);
ZKAPI MMRESULT waveOutWrite(HWAVEOUT device, LPWAVEHDR header, UINT headerSize);
ZKAPI MMRESULT waveOutReset(HWAVEOUT device);
ZKAPI MMRESULT waveOutClose(HWAVEOUT device);
ZKAPI MMRESULT waveOutGetVolume(HWAVEOUT device, LPDWORD volume);
ZKAPI MMRESULT waveOutSetVolume(HWAVEOUT device, DWORD volume);
