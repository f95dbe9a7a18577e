// Video for Windows over CAviFile, CAviStream, CAviFrameDecoder and CDrawDib. Every handle is
// checked against the live objects of its kind.
#include "vfw.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "../shell/HandleRegistry.h"
#include "../shell/MediaLog.h"
#include "AviFile.h"
#include "AviFrameDecoder.h"
#include "AviStream.h"
#include "DibSection.h"
#include "DrawDib.h"
#include "GdiObjects.h"
#include "MemoryDC.h"

namespace {

CHandleRegistry<CAviFile> g_files;
CHandleRegistry<CAviStream> g_streams;
CHandleRegistry<CAviFrameDecoder> g_decoders;
CHandleRegistry<CDrawDib> g_drawDibs;
std::atomic<int> g_initCount{0};

ULONG ReleaseStream(CAviStream* stream) {
  const ULONG left = stream->Release();
  if (left == 0 && g_streams.Remove(stream)) delete stream;
  return left;
}

}  // namespace

void AVIFileInit(void) { ++g_initCount; }

void AVIFileExit(void) {
  if (--g_initCount < 0) g_initCount = 0;
}

HRESULT AVIFileOpenA(PAVIFILE* ppfile, LPCSTR szFile, UINT uMode, LPCLSID) {
  if (!ppfile) return AVIERR_BADPARAM;
  *ppfile = nullptr;
  if (!szFile) return AVIERR_BADPARAM;
  if (uMode & (OF_WRITE | OF_READWRITE | OF_CREATE)) {
    ZkMediaLog("vfw", "AVIFileOpen '%s': AVI files are only read", szFile);
    return AVIERR_READONLY;
  }
  HRESULT result;
  std::unique_ptr<CAviFile> file = CAviFile::Open(szFile, result);
  if (!file) return result;
  g_files.Add(file.get());
  *ppfile = reinterpret_cast<PAVIFILE>(file.release());
  return AVIERR_OK;
}

ULONG AVIFileAddRef(PAVIFILE pfile) {
  CAviFile* file = g_files.Find(pfile);
  return file ? file->AddRef() : 0;
}

ULONG AVIFileRelease(PAVIFILE pfile) {
  CAviFile* file = g_files.Find(pfile);
  if (!file) return 0;
  const ULONG left = file->Release();
  if (left == 0 && g_files.Remove(file)) delete file;
  return left;
}

HRESULT AVIFileInfoA(PAVIFILE pfile, LPAVIFILEINFOA pfi, LONG lSize) {
  CAviFile* file = g_files.Find(pfile);
  if (!file) return AVIERR_BADHANDLE;
  if (!pfi || lSize < 0) return AVIERR_BADPARAM;
  std::memcpy(pfi, &file->Info(),
              std::min<size_t>(static_cast<size_t>(lSize), sizeof(AVIFILEINFOA)));
  return AVIERR_OK;
}

HRESULT AVIFileGetStream(PAVIFILE pfile, PAVISTREAM* ppavi, DWORD fccType, LONG lParam) {
  if (!ppavi) return AVIERR_BADPARAM;
  *ppavi = nullptr;
  CAviFile* file = g_files.Find(pfile);
  if (!file) return AVIERR_BADHANDLE;
  const int index = file->FindStream(fccType, lParam);
  if (index < 0) return AVIERR_NODATA;
  HRESULT result;
  std::unique_ptr<CAviStream> stream =
      CAviStream::Create(file->Path(), file->Input(), index, result);
  if (!stream) return result;
  g_streams.Add(stream.get());
  *ppavi = reinterpret_cast<PAVISTREAM>(stream.release());
  return AVIERR_OK;
}

ULONG AVIStreamAddRef(PAVISTREAM pavi) {
  CAviStream* stream = g_streams.Find(pavi);
  return stream ? stream->AddRef() : 0;
}

ULONG AVIStreamRelease(PAVISTREAM pavi) {
  CAviStream* stream = g_streams.Find(pavi);
  return stream ? ReleaseStream(stream) : 0;
}

HRESULT AVIStreamInfoA(PAVISTREAM pavi, LPAVISTREAMINFOA psi, LONG lSize) {
  CAviStream* stream = g_streams.Find(pavi);
  if (!stream) return AVIERR_BADHANDLE;
  if (!psi || lSize < 0) return AVIERR_BADPARAM;
  std::memcpy(psi, &stream->Info(),
              std::min<size_t>(static_cast<size_t>(lSize), sizeof(AVISTREAMINFOA)));
  return AVIERR_OK;
}

LONG AVIStreamStart(PAVISTREAM pavi) {
  CAviStream* stream = g_streams.Find(pavi);
  return stream ? static_cast<LONG>(stream->Info().dwStart) : -1;
}

LONG AVIStreamLength(PAVISTREAM pavi) {
  CAviStream* stream = g_streams.Find(pavi);
  return stream ? static_cast<LONG>(stream->Info().dwLength) : -1;
}

LONG AVIStreamSampleToTime(PAVISTREAM pavi, LONG lSample) {
  CAviStream* stream = g_streams.Find(pavi);
  return stream ? stream->SampleToTime(lSample) : -1;
}

LONG AVIStreamTimeToSample(PAVISTREAM pavi, LONG lTime) {
  CAviStream* stream = g_streams.Find(pavi);
  return stream ? stream->TimeToSample(lTime) : -1;
}

HRESULT AVIStreamReadFormat(PAVISTREAM pavi, LONG, LPVOID lpFormat, LONG* lpcbFormat) {
  CAviStream* stream = g_streams.Find(pavi);
  return stream ? stream->ReadFormat(lpFormat, lpcbFormat) : AVIERR_BADHANDLE;
}

HRESULT AVIStreamRead(PAVISTREAM pavi, LONG lStart, LONG lSamples, LPVOID lpBuffer, LONG cbBuffer,
                      LONG* plBytes, LONG* plSamples) {
  CAviStream* stream = g_streams.Find(pavi);
  if (!stream) return AVIERR_BADHANDLE;
  return stream->Read(lStart, lSamples, lpBuffer, cbBuffer, plBytes, plSamples);
}

PGETFRAME AVIStreamGetFrameOpen(PAVISTREAM pavi, LPBITMAPINFOHEADER lpbiWanted) {
  CAviStream* stream = g_streams.Find(pavi);
  if (!stream || !stream->IsVideo()) return nullptr;
  const bool decodersChoice = !lpbiWanted || lpbiWanted == reinterpret_cast<LPBITMAPINFOHEADER>(
                                                               AVIGETFRAMEF_BESTDISPLAYFMT);
  if (!decodersChoice && (lpbiWanted->biCompression != BI_RGB || lpbiWanted->biBitCount != 24)) {
    ZkMediaLog("vfw", "AVIStreamGetFrameOpen: frames come only as 24-bit BI_RGB DIBs");
    return nullptr;
  }
  HRESULT result;
  std::unique_ptr<CAviFrameDecoder> decoder = CAviFrameDecoder::Open(*stream, result);
  if (!decoder) {
    ZkMediaLog("vfw", "AVIStreamGetFrameOpen: no decoder for the video of '%s' (0x%08X)",
               stream->Path().c_str(), static_cast<unsigned>(result));
    return nullptr;
  }
  stream->AddRef();  // the decoder reads through the stream until it is closed
  g_decoders.Add(decoder.get());
  return reinterpret_cast<PGETFRAME>(decoder.release());
}

LPVOID AVIStreamGetFrame(PGETFRAME pg, LONG lPos) {
  CAviFrameDecoder* decoder = g_decoders.Find(pg);
  return decoder ? decoder->GetFrame(lPos) : nullptr;
}

HRESULT AVIStreamGetFrameClose(PGETFRAME pg) {
  CAviFrameDecoder* decoder = g_decoders.Find(pg);
  if (!decoder || !g_decoders.Remove(decoder)) return AVIERR_BADHANDLE;
  CAviStream& stream = decoder->Stream();
  delete decoder;
  ReleaseStream(&stream);
  return AVIERR_OK;
}

HDRAWDIB DrawDibOpen(void) {
  CDrawDib* drawDib = new CDrawDib;
  g_drawDibs.Add(drawDib);
  return reinterpret_cast<HDRAWDIB>(drawDib);
}

BOOL DrawDibClose(HDRAWDIB hdd) {
  CDrawDib* drawDib = g_drawDibs.Find(hdd);
  if (!drawDib || !g_drawDibs.Remove(drawDib)) return FALSE;
  delete drawDib;
  return TRUE;
}

BOOL DrawDibDraw(HDRAWDIB hdd, HDC hdc, int xDst, int yDst, int dxDst, int dyDst,
                 LPBITMAPINFOHEADER lpbi, LPVOID lpBits, int xSrc, int ySrc, int dxSrc, int dySrc,
                 UINT) {
  CDrawDib* drawDib = g_drawDibs.Find(hdd);
  CMemoryDC* dc = FindMemoryDC(hdc);
  if (!drawDib || !dc || !dc->Selected() || !lpbi) return FALSE;
  if (!lpBits) {
    // A packed DIB: the pixels follow the header and its colour table.
    if (lpbi->biClrUsed > 256) return FALSE;
    lpBits = reinterpret_cast<BYTE*>(lpbi) + lpbi->biSize + lpbi->biClrUsed * sizeof(RGBQUAD);
  }
  return drawDib->Draw(*dc->Selected(), xDst, yDst, dxDst, dyDst, *lpbi, lpBits, xSrc, ySrc, dxSrc,
                       dySrc)
             ? TRUE
             : FALSE;
}
