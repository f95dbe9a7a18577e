#pragma once
// Video for Windows: reading AVI files (AVIFile) and drawing their frames (DrawDib), decoded by
// FFmpeg. Any codec FFmpeg has is read; sound streams are delivered as PCM.
#include "mmreg.h"
#include "objbase.h"
#include "windows.h"

#ifndef mmioFOURCC
#define mmioFOURCC(c0, c1, c2, c3)                                            \
  ((DWORD)(BYTE)(c0) | ((DWORD)(BYTE)(c1) << 8) | ((DWORD)(BYTE)(c2) << 16) | \
   ((DWORD)(BYTE)(c3) << 24))
#endif
#define streamtypeVIDEO mmioFOURCC('v', 'i', 'd', 's')
#define streamtypeAUDIO mmioFOURCC('a', 'u', 'd', 's')
#define streamtypeMIDI mmioFOURCC('m', 'i', 'd', 's')
#define streamtypeTEXT mmioFOURCC('t', 'x', 't', 's')

#ifndef OF_READ
#define OF_READ 0x00000000
#define OF_WRITE 0x00000001
#define OF_READWRITE 0x00000002
#define OF_SHARE_DENY_WRITE 0x00000020
#define OF_CREATE 0x00001000
#endif

#define MAKE_AVIERR(error) MAKE_HRESULT(1, 4, 0x4000 + (error))
#define AVIERR_OK 0L
#define AVIERR_UNSUPPORTED MAKE_AVIERR(101)
#define AVIERR_BADFORMAT MAKE_AVIERR(102)
#define AVIERR_MEMORY MAKE_AVIERR(103)
#define AVIERR_INTERNAL MAKE_AVIERR(104)
#define AVIERR_BADFLAGS MAKE_AVIERR(105)
#define AVIERR_BADPARAM MAKE_AVIERR(106)
#define AVIERR_BADSIZE MAKE_AVIERR(107)
#define AVIERR_BADHANDLE MAKE_AVIERR(108)
#define AVIERR_FILEREAD MAKE_AVIERR(109)
#define AVIERR_FILEWRITE MAKE_AVIERR(110)
#define AVIERR_FILEOPEN MAKE_AVIERR(111)
#define AVIERR_COMPRESSOR MAKE_AVIERR(112)
#define AVIERR_NOCOMPRESSOR MAKE_AVIERR(113)
#define AVIERR_READONLY MAKE_AVIERR(114)
#define AVIERR_NODATA MAKE_AVIERR(115)
#define AVIERR_BUFFERTOOSMALL MAKE_AVIERR(116)
#define AVIERR_CANTCOMPRESS MAKE_AVIERR(117)
#define AVIERR_USERABORT MAKE_AVIERR(198)
#define AVIERR_ERROR MAKE_AVIERR(199)

#define AVIFILEINFO_HASINDEX 0x00000010
#define AVIFILECAPS_CANREAD 0x00000001
#define AVISTREAMREAD_CONVENIENT (-1L)

typedef struct _AVIFILEINFOA {
  DWORD dwMaxBytesPerSec;
  DWORD dwFlags;
  DWORD dwCaps;
  DWORD dwStreams;
  DWORD dwSuggestedBufferSize;
  DWORD dwWidth;
  DWORD dwHeight;
  DWORD dwScale;
  DWORD dwRate;
  DWORD dwLength;
  DWORD dwEditCount;
  char szFileType[64];
} AVIFILEINFOA, *LPAVIFILEINFOA;

typedef struct _AVISTREAMINFOA {
  DWORD fccType;
  DWORD fccHandler;
  DWORD dwFlags;
  DWORD dwCaps;
  WORD wPriority;
  WORD wLanguage;
  DWORD dwScale;
  DWORD dwRate;  // dwRate / dwScale samples per second
  DWORD dwStart;
  DWORD dwLength;  // in samples: frames for video, sample blocks for sound
  DWORD dwInitialFrames;
  DWORD dwSuggestedBufferSize;
  DWORD dwQuality;
  DWORD dwSampleSize;
  RECT rcFrame;
  DWORD dwEditCount;
  DWORD dwFormatChangeCount;
  char szName[64];
} AVISTREAMINFOA, *LPAVISTREAMINFOA;

static_assert(sizeof(AVIFILEINFOA) == 108);
static_assert(sizeof(AVISTREAMINFOA) == 140);

// Opaque: the file, one of its streams, a frame decoder of a video stream.
typedef struct IAVIFile* PAVIFILE;
typedef struct IAVIStream* PAVISTREAM;
typedef struct IGetFrame* PGETFRAME;

ZKAPI void AVIFileInit(void);
ZKAPI void AVIFileExit(void);
// Opens an AVI file for reading (OF_READ); AVIERR_FILEOPEN when it cannot be opened,
// AVIERR_BADFORMAT when it is no AVI file FFmpeg can read. Writing is not offered.
ZKAPI HRESULT AVIFileOpenA(PAVIFILE* ppfile, LPCSTR szFile, UINT uMode, LPCLSID lpHandler);
ZKAPI ULONG AVIFileAddRef(PAVIFILE pfile);
ZKAPI ULONG AVIFileRelease(PAVIFILE pfile);
ZKAPI HRESULT AVIFileInfoA(PAVIFILE pfile, LPAVIFILEINFOA pfi, LONG lSize);
// The lParam-th stream of type fccType (0: of any type); AVIERR_NODATA when there is none.
ZKAPI HRESULT AVIFileGetStream(PAVIFILE pfile, PAVISTREAM* ppavi, DWORD fccType, LONG lParam);

ZKAPI ULONG AVIStreamAddRef(PAVISTREAM pavi);
ZKAPI ULONG AVIStreamRelease(PAVISTREAM pavi);
ZKAPI HRESULT AVIStreamInfoA(PAVISTREAM pavi, LPAVISTREAMINFOA psi, LONG lSize);
ZKAPI LONG AVIStreamStart(PAVISTREAM pavi);
ZKAPI LONG AVIStreamLength(PAVISTREAM pavi);
// Milliseconds from the start to sample lSample, rounded; -1 on error.
ZKAPI LONG AVIStreamSampleToTime(PAVISTREAM pavi, LONG lSample);
ZKAPI LONG AVIStreamTimeToSample(PAVISTREAM pavi, LONG lTime);
// The stream's format: a WAVEFORMATEX (PCM) for sound, a BITMAPINFOHEADER for video. With a null
// lpFormat only *lpcbFormat is set to the size needed.
ZKAPI HRESULT AVIStreamReadFormat(PAVISTREAM pavi, LONG lPos, LPVOID lpFormat, LONG* lpcbFormat);
// Sound samples as PCM in the stream's format. With a null lpBuffer only the byte and sample
// counts are reported. lSamples AVISTREAMREAD_CONVENIENT reads to the end.
ZKAPI HRESULT AVIStreamRead(PAVISTREAM pavi, LONG lStart, LONG lSamples, LPVOID lpBuffer,
                            LONG cbBuffer, LONG* plBytes, LONG* plSamples);

// A decoder of a video stream's frames. lpbiWanted must be null, AVIGETFRAMEF_BESTDISPLAYFMT or
// ask for BI_RGB 24 bits: the frames come as packed bottom-up 24-bit DIBs.
#define AVIGETFRAMEF_BESTDISPLAYFMT 1
ZKAPI PGETFRAME AVIStreamGetFrameOpen(PAVISTREAM pavi, LPBITMAPINFOHEADER lpbiWanted);
// The packed DIB (header, then pixels) of frame lPos, valid until the next call on pg; null when
// the frame cannot be decoded.
ZKAPI LPVOID AVIStreamGetFrame(PGETFRAME pg, LONG lPos);
ZKAPI HRESULT AVIStreamGetFrameClose(PGETFRAME pg);

DECLARE_HANDLE(HDRAWDIB);
ZKAPI HDRAWDIB DrawDibOpen(void);
ZKAPI BOOL DrawDibClose(HDRAWDIB hdd);
// Stretches the source rectangle of a 24- or 32-bit BI_RGB DIB onto the destination rectangle of
// the DIB section selected into hdc. A width or height of -1 means the whole source (or, for
// the destination, the source size). lpBits null: the pixels follow the header.
ZKAPI BOOL DrawDibDraw(HDRAWDIB hdd, HDC hdc, int xDst, int yDst, int dxDst, int dyDst,
                       LPBITMAPINFOHEADER lpbi, LPVOID lpBits, int xSrc, int ySrc, int dxSrc,
                       int dySrc, UINT wFlags);
