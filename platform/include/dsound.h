#pragma once
// DirectSound 8: the device, primary and secondary buffers, 3D buffers and the listener, with
// their documented values and layouts. Served by libzkplatform.so over OpenAL Soft.
#include "d3d9types.h"
#include "mmreg.h"
#include "unknwn.h"
#include "windef.h"
#include "winerror.h"

typedef float D3DVALUE;

// Result codes.
#define _FACDS 0x878
#define MAKE_DSHRESULT(code) MAKE_HRESULT(1, _FACDS, code)
#define DS_OK S_OK
#define DS_NO_VIRTUALIZATION MAKE_HRESULT(0, _FACDS, 10)
#define DSERR_ALLOCATED MAKE_DSHRESULT(10)
#define DSERR_CONTROLUNAVAIL MAKE_DSHRESULT(30)
#define DSERR_INVALIDPARAM E_INVALIDARG
#define DSERR_INVALIDCALL MAKE_DSHRESULT(50)
#define DSERR_GENERIC E_FAIL
#define DSERR_PRIOLEVELNEEDED MAKE_DSHRESULT(70)
#define DSERR_OUTOFMEMORY E_OUTOFMEMORY
#define DSERR_BADFORMAT MAKE_DSHRESULT(100)
#define DSERR_UNSUPPORTED E_NOTIMPL
#define DSERR_NODRIVER MAKE_DSHRESULT(120)
#define DSERR_ALREADYINITIALIZED MAKE_DSHRESULT(130)
#define DSERR_NOAGGREGATION CLASS_E_NOAGGREGATION
#define DSERR_BUFFERLOST MAKE_DSHRESULT(150)
#define DSERR_OTHERAPPHASPRIO MAKE_DSHRESULT(160)
#define DSERR_UNINITIALIZED MAKE_DSHRESULT(170)
#define DSERR_NOINTERFACE E_NOINTERFACE
#define DSERR_ACCESSDENIED E_ACCESSDENIED
#define DSERR_BUFFERTOOSMALL MAKE_DSHRESULT(180)
#define DSERR_DS8_REQUIRED MAKE_DSHRESULT(190)

// Cooperative levels.
#define DSSCL_NORMAL 0x00000001
#define DSSCL_PRIORITY 0x00000002
#define DSSCL_EXCLUSIVE 0x00000003
#define DSSCL_WRITEPRIMARY 0x00000004

// Device capability flags.
#define DSCAPS_PRIMARYMONO 0x00000001
#define DSCAPS_PRIMARYSTEREO 0x00000002
#define DSCAPS_PRIMARY8BIT 0x00000004
#define DSCAPS_PRIMARY16BIT 0x00000008
#define DSCAPS_CONTINUOUSRATE 0x00000010
#define DSCAPS_EMULDRIVER 0x00000020
#define DSCAPS_CERTIFIED 0x00000040
#define DSCAPS_SECONDARYMONO 0x00000100
#define DSCAPS_SECONDARYSTEREO 0x00000200
#define DSCAPS_SECONDARY8BIT 0x00000400
#define DSCAPS_SECONDARY16BIT 0x00000800

// Buffer flags.
#define DSBCAPS_PRIMARYBUFFER 0x00000001
#define DSBCAPS_STATIC 0x00000002
#define DSBCAPS_LOCHARDWARE 0x00000004
#define DSBCAPS_LOCSOFTWARE 0x00000008
#define DSBCAPS_CTRL3D 0x00000010
#define DSBCAPS_CTRLFREQUENCY 0x00000020
#define DSBCAPS_CTRLPAN 0x00000040
#define DSBCAPS_CTRLVOLUME 0x00000080
#define DSBCAPS_CTRLPOSITIONNOTIFY 0x00000100
#define DSBCAPS_CTRLFX 0x00000200
#define DSBCAPS_STICKYFOCUS 0x00004000
#define DSBCAPS_GLOBALFOCUS 0x00008000
#define DSBCAPS_GETCURRENTPOSITION2 0x00010000
#define DSBCAPS_MUTE3DATMAXDISTANCE 0x00020000
#define DSBCAPS_LOCDEFER 0x00040000
#define DSBCAPS_TRUEPLAYPOSITION 0x00080000

#define DSBPLAY_LOOPING 0x00000001
#define DSBPLAY_LOCHARDWARE 0x00000002
#define DSBPLAY_LOCSOFTWARE 0x00000004
#define DSBPLAY_TERMINATEBY_TIME 0x00000008
#define DSBPLAY_TERMINATEBY_DISTANCE 0x00000010
#define DSBPLAY_TERMINATEBY_PRIORITY 0x00000020

#define DSBSTATUS_PLAYING 0x00000001
#define DSBSTATUS_BUFFERLOST 0x00000002
#define DSBSTATUS_LOOPING 0x00000004
#define DSBSTATUS_LOCHARDWARE 0x00000008
#define DSBSTATUS_LOCSOFTWARE 0x00000010
#define DSBSTATUS_TERMINATED 0x00000020

#define DSBLOCK_FROMWRITECURSOR 0x00000001
#define DSBLOCK_ENTIREBUFFER 0x00000002

#define DSBFREQUENCY_ORIGINAL 0
#define DSBFREQUENCY_MIN 100
#define DSBFREQUENCY_MAX 200000
#define DSBPAN_LEFT -10000
#define DSBPAN_CENTER 0
#define DSBPAN_RIGHT 10000
#define DSBVOLUME_MIN -10000
#define DSBVOLUME_MAX 0
#define DSBSIZE_MIN 4
#define DSBSIZE_MAX 0x0FFFFFFF

// 3D settings.
#define DS3D_IMMEDIATE 0x00000000
#define DS3D_DEFERRED 0x00000001
#define DS3DMODE_NORMAL 0x00000000
#define DS3DMODE_HEADRELATIVE 0x00000001
#define DS3DMODE_DISABLE 0x00000002
#define DS3D_MINDISTANCEFACTOR 1.175494351e-38f
#define DS3D_MAXDISTANCEFACTOR 3.402823466e+38f
#define DS3D_DEFAULTDISTANCEFACTOR 1.0f
#define DS3D_MINROLLOFFFACTOR 0.0f
#define DS3D_MAXROLLOFFFACTOR 10.0f
#define DS3D_DEFAULTROLLOFFFACTOR 1.0f
#define DS3D_MINDOPPLERFACTOR 0.0f
#define DS3D_MAXDOPPLERFACTOR 10.0f
#define DS3D_DEFAULTDOPPLERFACTOR 1.0f
#define DS3D_DEFAULTMINDISTANCE 1.0f
#define DS3D_DEFAULTMAXDISTANCE 1000000000.0f
#define DS3D_MINCONEANGLE 0
#define DS3D_MAXCONEANGLE 360
#define DS3D_DEFAULTCONEANGLE DS3D_MAXCONEANGLE
#define DS3D_DEFAULTCONEOUTSIDEVOLUME DSBVOLUME_MAX

typedef struct _DSCAPS {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwMinSecondarySampleRate;
  DWORD dwMaxSecondarySampleRate;
  DWORD dwPrimaryBuffers;
  DWORD dwMaxHwMixingAllBuffers;
  DWORD dwMaxHwMixingStaticBuffers;
  DWORD dwMaxHwMixingStreamingBuffers;
  DWORD dwFreeHwMixingAllBuffers;
  DWORD dwFreeHwMixingStaticBuffers;
  DWORD dwFreeHwMixingStreamingBuffers;
  DWORD dwMaxHw3DAllBuffers;
  DWORD dwMaxHw3DStaticBuffers;
  DWORD dwMaxHw3DStreamingBuffers;
  DWORD dwFreeHw3DAllBuffers;
  DWORD dwFreeHw3DStaticBuffers;
  DWORD dwFreeHw3DStreamingBuffers;
  DWORD dwTotalHwMemBytes;
  DWORD dwFreeHwMemBytes;
  DWORD dwMaxContigFreeHwMemBytes;
  DWORD dwUnlockTransferRateHwBuffers;
  DWORD dwPlayCpuOverheadSwBuffers;
  DWORD dwReserved1;
  DWORD dwReserved2;
} DSCAPS, *LPDSCAPS;
typedef const DSCAPS* LPCDSCAPS;

typedef struct _DSBCAPS {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwBufferBytes;
  DWORD dwUnlockTransferRate;
  DWORD dwPlayCpuOverhead;
} DSBCAPS, *LPDSBCAPS;
typedef const DSBCAPS* LPCDSBCAPS;

// Holds a pointer, so it is as large as this compiler makes it; callers set dwSize with sizeof.
typedef struct _DSBUFFERDESC {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwBufferBytes;
  DWORD dwReserved;
  LPWAVEFORMATEX lpwfxFormat;
  GUID guid3DAlgorithm;
} DSBUFFERDESC, *LPDSBUFFERDESC;
typedef const DSBUFFERDESC* LPCDSBUFFERDESC;

// The older description without the 3D algorithm, still accepted.
typedef struct _DSBUFFERDESC1 {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwBufferBytes;
  DWORD dwReserved;
  LPWAVEFORMATEX lpwfxFormat;
} DSBUFFERDESC1, *LPDSBUFFERDESC1;

typedef struct _DS3DBUFFER {
  DWORD dwSize;
  D3DVECTOR vPosition;
  D3DVECTOR vVelocity;
  DWORD dwInsideConeAngle;
  DWORD dwOutsideConeAngle;
  D3DVECTOR vConeOrientation;
  LONG lConeOutsideVolume;
  D3DVALUE flMinDistance;
  D3DVALUE flMaxDistance;
  DWORD dwMode;
} DS3DBUFFER, *LPDS3DBUFFER;
typedef const DS3DBUFFER* LPCDS3DBUFFER;

typedef struct _DS3DLISTENER {
  DWORD dwSize;
  D3DVECTOR vPosition;
  D3DVECTOR vVelocity;
  D3DVECTOR vOrientFront;
  D3DVECTOR vOrientTop;
  D3DVALUE flDistanceFactor;
  D3DVALUE flRolloffFactor;
  D3DVALUE flDopplerFactor;
} DS3DLISTENER, *LPDS3DLISTENER;
typedef const DS3DLISTENER* LPCDS3DLISTENER;

static_assert(sizeof(DSCAPS) == 96);
static_assert(sizeof(DSBCAPS) == 20);
static_assert(sizeof(DS3DBUFFER) == 64);
static_assert(sizeof(DS3DLISTENER) == 64);

DEFINE_GUID(IID_IDirectSound, 0x279AFA83, 0x4981, 0x11CE, 0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60);
DEFINE_GUID(IID_IDirectSound8, 0xC50A7E93, 0xF395, 0x4834, 0x9E, 0xF6, 0x7F, 0xA9, 0x9D, 0xE5, 0x09, 0x66);
DEFINE_GUID(IID_IDirectSoundBuffer, 0x279AFA85, 0x4981, 0x11CE, 0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60);
DEFINE_GUID(IID_IDirectSoundBuffer8, 0x6825A449, 0x7524, 0x4D82, 0x92, 0x0F, 0x50, 0xE3, 0x6A, 0xB3, 0xAB, 0x1E);
DEFINE_GUID(IID_IDirectSound3DListener, 0x279AFA84, 0x4981, 0x11CE, 0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60);
DEFINE_GUID(IID_IDirectSound3DBuffer, 0x279AFA86, 0x4981, 0x11CE, 0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60);
DEFINE_GUID(DSDEVID_DefaultPlayback, 0xDEF00000, 0x9C6D, 0x47ED, 0xAA, 0xF1, 0x4D, 0xDA, 0x8F, 0x2B, 0x5C, 0x03);
DEFINE_GUID(DS3DALG_DEFAULT, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);

struct IDirectSoundBuffer;

struct IDirectSound8 : public IUnknown {
  virtual HRESULT CreateSoundBuffer(LPCDSBUFFERDESC desc, IDirectSoundBuffer** buffer, LPUNKNOWN outer) = 0;
  virtual HRESULT GetCaps(LPDSCAPS caps) = 0;
  virtual HRESULT DuplicateSoundBuffer(IDirectSoundBuffer* original, IDirectSoundBuffer** duplicate) = 0;
  virtual HRESULT SetCooperativeLevel(HWND window, DWORD level) = 0;
};
typedef IDirectSound8* LPDIRECTSOUND8;

struct IDirectSoundBuffer : public IUnknown {
  virtual HRESULT GetCaps(LPDSBCAPS caps) = 0;
  virtual HRESULT GetCurrentPosition(LPDWORD playCursor, LPDWORD writeCursor) = 0;
  virtual HRESULT GetFormat(LPWAVEFORMATEX format, DWORD sizeAllocated, LPDWORD sizeWritten) = 0;
  virtual HRESULT GetVolume(LPLONG volume) = 0;
  virtual HRESULT GetPan(LPLONG pan) = 0;
  virtual HRESULT GetFrequency(LPDWORD frequency) = 0;
  virtual HRESULT GetStatus(LPDWORD status) = 0;
  virtual HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* audio1, LPDWORD bytes1, LPVOID* audio2,
                       LPDWORD bytes2, DWORD flags) = 0;
  virtual HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) = 0;
  virtual HRESULT SetCurrentPosition(DWORD position) = 0;
  virtual HRESULT SetFormat(LPCWAVEFORMATEX format) = 0;
  virtual HRESULT SetVolume(LONG volume) = 0;
  virtual HRESULT SetPan(LONG pan) = 0;
  virtual HRESULT SetFrequency(DWORD frequency) = 0;
  virtual HRESULT Stop() = 0;
  virtual HRESULT Unlock(LPVOID audio1, DWORD bytes1, LPVOID audio2, DWORD bytes2) = 0;
  virtual HRESULT Restore() = 0;
};
typedef IDirectSoundBuffer* LPDIRECTSOUNDBUFFER;

struct IDirectSoundBuffer8 : public IDirectSoundBuffer {
  virtual HRESULT AcquireResources(DWORD flags, DWORD effectCount, LPDWORD results) = 0;
};
typedef IDirectSoundBuffer8* LPDIRECTSOUNDBUFFER8;

struct IDirectSound3DBuffer : public IUnknown {
  virtual HRESULT GetAllParameters(LPDS3DBUFFER parameters) = 0;
  virtual HRESULT GetConeAngles(LPDWORD inside, LPDWORD outside) = 0;
  virtual HRESULT GetConeOrientation(D3DVECTOR* orientation) = 0;
  virtual HRESULT GetConeOutsideVolume(LPLONG volume) = 0;
  virtual HRESULT GetMaxDistance(D3DVALUE* distance) = 0;
  virtual HRESULT GetMinDistance(D3DVALUE* distance) = 0;
  virtual HRESULT GetMode(LPDWORD mode) = 0;
  virtual HRESULT GetPosition(D3DVECTOR* position) = 0;
  virtual HRESULT GetVelocity(D3DVECTOR* velocity) = 0;
  virtual HRESULT SetAllParameters(LPCDS3DBUFFER parameters, DWORD apply) = 0;
  virtual HRESULT SetConeAngles(DWORD inside, DWORD outside, DWORD apply) = 0;
  virtual HRESULT SetConeOrientation(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) = 0;
  virtual HRESULT SetConeOutsideVolume(LONG volume, DWORD apply) = 0;
  virtual HRESULT SetMaxDistance(D3DVALUE distance, DWORD apply) = 0;
  virtual HRESULT SetMinDistance(D3DVALUE distance, DWORD apply) = 0;
  virtual HRESULT SetMode(DWORD mode, DWORD apply) = 0;
  virtual HRESULT SetPosition(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) = 0;
  virtual HRESULT SetVelocity(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) = 0;
};
typedef IDirectSound3DBuffer* LPDIRECTSOUND3DBUFFER;
// DirectSound 8 names the same interfaces again.
typedef IDirectSound3DBuffer IDirectSound3DBuffer8;
typedef IDirectSound3DBuffer* LPDIRECTSOUND3DBUFFER8;
#define IID_IDirectSound3DBuffer8 IID_IDirectSound3DBuffer

struct IDirectSound3DListener : public IUnknown {
  virtual HRESULT GetAllParameters(LPDS3DLISTENER parameters) = 0;
  virtual HRESULT GetDistanceFactor(D3DVALUE* factor) = 0;
  virtual HRESULT GetDopplerFactor(D3DVALUE* factor) = 0;
  virtual HRESULT GetOrientation(D3DVECTOR* front, D3DVECTOR* top) = 0;
  virtual HRESULT GetPosition(D3DVECTOR* position) = 0;
  virtual HRESULT GetRolloffFactor(D3DVALUE* factor) = 0;
  virtual HRESULT GetVelocity(D3DVECTOR* velocity) = 0;
  virtual HRESULT SetAllParameters(LPCDS3DLISTENER parameters, DWORD apply) = 0;
  virtual HRESULT SetDistanceFactor(D3DVALUE factor, DWORD apply) = 0;
  virtual HRESULT SetDopplerFactor(D3DVALUE factor, DWORD apply) = 0;
  virtual HRESULT SetOrientation(D3DVALUE frontX, D3DVALUE frontY, D3DVALUE frontZ, D3DVALUE topX,
                                 D3DVALUE topY, D3DVALUE topZ, DWORD apply) = 0;
  virtual HRESULT SetPosition(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) = 0;
  virtual HRESULT SetRolloffFactor(D3DVALUE factor, DWORD apply) = 0;
  virtual HRESULT SetVelocity(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) = 0;
  virtual HRESULT CommitDeferredSettings() = 0;
};
typedef IDirectSound3DListener* LPDIRECTSOUND3DLISTENER;
typedef IDirectSound3DListener IDirectSound3DListener8;
typedef IDirectSound3DListener* LPDIRECTSOUND3DLISTENER8;
#define IID_IDirectSound3DListener8 IID_IDirectSound3DListener

// Called once per device: the default device first (null GUID), then each output device.
// Returning FALSE ends the enumeration.
typedef BOOL (*LPDSENUMCALLBACKA)(LPGUID guid, LPCSTR description, LPCSTR module, LPVOID context);

ZKAPI HRESULT DirectSoundEnumerateA(LPDSENUMCALLBACKA callback, LPVOID context);
ZKAPI HRESULT DirectSoundCreate8(LPCGUID device, LPDIRECTSOUND8* directSound, LPUNKNOWN outer);
