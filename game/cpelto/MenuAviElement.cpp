#include "cpelto/MenuAviElement.h"

#include <mmreg.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "ZKDXInterface.h"
#include "cpelto/MenuQuad.h"
#include "cpelto/MenuSpace.h"
#include "cpelto/OpenAL.h"
#include "framework/EngineGlobals.h"
#include "framework/GameCore.h"
#include "framework/Logger.h"

namespace {

const char* const kAviProperties[] = {"CanActivate", "Width",     "Height",    "Translation",
                                      "RotationX",   "RotationY", "RotationZ", "Scale",
                                      "Color",       "AviFile",   "TextureSize"};

// Texture names made after video-mode changes are numbered across all elements.
int s_nResetTextures = 0;

// The smallest power of two not below the side, at most the largest texture edge.
UINT TextureSizeFor(LONG nSide) {
  UINT nSize = 1;
  while (static_cast<LONG>(nSize) < nSide && nSize < CMenuAviElement::kMaxTextureSize) nSize *= 2;
  return nSize;
}

}  // namespace

CMenuAviElement::CMenuAviElement(geCBaseNode* pParent) : CMenuItem(pParent) {
  AVIFileInit();
  m_pTimer = g_pZeKorb ? g_pZeKorb->CreateTimer() : nullptr;
  if (m_pMatrixStack) m_pMatrixStack->LoadIdentity();
}

CMenuAviElement::~CMenuAviElement() {
  Close();
  delete m_pTimer;
  AVIFileExit();
}

const char* CMenuAviElement::GetClassName() const { return "CMenuAviElement"; }

bool CMenuAviElement::IsKindOf(const char* szClassName) const {
  return ClassNameIs(szClassName, "CMenuAviElement") || CMenuItem::IsKindOf(szClassName);
}

void CMenuAviElement::RegisterProperties() {
  for (const char* szName : kAviProperties) m_Properties.Register(szName);
}

void CMenuAviElement::Configure(TiXmlElement* pElement) {
  CMenuItem::Configure(pElement);
  ApplyPlacement();
  ApplyColor();
  m_strAviFile =
      IsMenuPropertySet(m_Properties, "AviFile") ? m_Properties.GetString("AviFile") : "";
  m_nTextureSize = IsMenuPropertySet(m_Properties, "TextureSize")
                       ? m_Properties.Get("TextureSize").AsUnsignedInt()
                       : 0;
  const geCProperties* pCore = g_pCoreProperties;
  m_bSmooth = pCore && IsMenuPropertySet(*pCore, "SmoothAVI") &&
                      pCore->Get("SmoothAVI").AsUnsignedInt() == 0
                  ? 0
                  : 1;
  m_bOpened = Open() ? 1 : 0;
  if (m_pTimer) {
    m_pTimer->Resume();
    m_pTimer->Reset();
  }
}

// ---- opening --------------------------------------------------------------------------------

bool CMenuAviElement::Open() {
  Close();
  if (m_strAviFile.empty()) {
    g_GameLogger.Log("WARRNING: AVI file name not set\n");
    return false;
  }
  if (!OpenVideo() || !OpenDecoder()) {
    Close();
    return false;
  }
  g_GameLogger.Log("  - AVI File: Width: %d, Height: %d, Frames: %d\n",
                   static_cast<int>(m_nFrameWidth), static_cast<int>(m_nFrameHeight),
                   static_cast<int>(m_nFrames));
  g_GameLogger.Log("Create'ing dynamic texture for video\n");
  m_pVideoTexture = CreateVideoTexture(GetName());
  DecodeFrame(0);
  OpenSound();
  // Silent videos have a texture to re-make around a video-mode change too.
  ListenToVideoModes(true);
  return true;
}

bool CMenuAviElement::OpenVideo() {
  const char* szFile = m_strAviFile.c_str();
  g_GameLogger.Log("Oppening AVI file\n");
  const HRESULT hOpen = AVIFileOpenA(&m_pAviFile, szFile, OF_READ, nullptr);
  if (hOpen != AVIERR_OK) {
    m_pAviFile = nullptr;
    LogOpenFailure(hOpen);
    return false;
  }

  g_GameLogger.Log("Getting AVI file info\n");
  AVIFILEINFOA fileInfo = {};
  if (AVIFileInfoA(m_pAviFile, &fileInfo, sizeof fileInfo) != AVIERR_OK) {
    g_GameLogger.Log("WARRNING: can't get avi file info\n");
  } else {
    fileInfo.szFileType[sizeof fileInfo.szFileType - 1] = '\0';
    g_GameLogger.Log("\tFileType: '%s'\n", fileInfo.szFileType);
  }

  g_GameLogger.Log("Getting AVI stream VIDEO\n");
  if (AVIFileGetStream(m_pAviFile, &m_pVideoStream, streamtypeVIDEO, 0) != AVIERR_OK) {
    m_pVideoStream = nullptr;
    g_GameLogger.Log("ERROR: can't open Video stream from avi file '%s'\n", szFile);
    return false;
  }
  g_GameLogger.Log("Getting AVI stram video info\n");
  m_StreamInfo = {};
  AVIStreamInfoA(m_pVideoStream, &m_StreamInfo, sizeof m_StreamInfo);
  m_nFrameWidth = m_StreamInfo.rcFrame.right - m_StreamInfo.rcFrame.left;
  m_nFrameHeight = m_StreamInfo.rcFrame.bottom - m_StreamInfo.rcFrame.top;
  if (m_nTextureSize == 0) m_nTextureSize = TextureSizeFor(std::max(m_nFrameWidth, m_nFrameHeight));

  // Frame numbers come from time divided by the frame length: both must be there.
  m_nFrames = AVIStreamLength(m_pVideoStream);
  m_nMsPerFrame = m_nFrames > 0 ? AVIStreamSampleToTime(m_pVideoStream, m_nFrames) / m_nFrames : 0;
  if (m_nFrames <= 0 || m_nMsPerFrame <= 0) {
    g_GameLogger.Log("ERROR: avi file '%s' has no frame timing (frames: %d, ms per frame: %d)\n",
                     szFile, static_cast<int>(m_nFrames), static_cast<int>(m_nMsPerFrame));
    return false;
  }
  return true;
}

bool CMenuAviElement::OpenDecoder() {
  // Without the DIB section no frame has anywhere to go.
  if (!CreateDibSection()) {
    g_GameLogger.Log("ERROR: CreateDIBSection(...)\n");
    return false;
  }
  g_GameLogger.Log("AVIStreamGetFrameOpen()\n");
  m_pGetFrame = AVIStreamGetFrameOpen(m_pVideoStream, nullptr);
  if (!m_pGetFrame) {
    g_GameLogger.Log("ERROR: AVIStreamGetFrameOpen(...)\n");
    g_GameLogger.Log(
        "\t- 'cannot find a decompressor that can decompress the stream to the given format, or "
        "to any RGB format'\n");
    g_GameLogger.Log("\t- requested: default format than best_display and dupa\n");
    return false;
  }
  return true;
}

CTextureInterface* CMenuAviElement::CreateVideoTexture(const char* szName) const {
  CD3D9RendererInterface* pRenderer = GetMenuRenderer();
  CTextureStorageInterface* pBank = pRenderer ? pRenderer->GetTextureStorageInterface() : nullptr;
  return pBank
             ? pBank->CreateTexture(szName, kTextureFormat, m_nTextureSize, m_nTextureSize, 1, 1)
             : nullptr;
}

void CMenuAviElement::LogOpenFailure(HRESULT hResult) const {
  // The text is in the Windows-1250 code page.
  g_GameLogger.Log(
      "ERROR: can't open avi file '%s' - dupa blada, zobaczmy co za b\xB3\xB9"
      "d: \n",
      m_strAviFile.c_str());
  const int nCode = static_cast<int>(hResult);
  switch (hResult) {
    case AVIERR_BADFORMAT:
      g_GameLogger.Log(
          "\t - 'The file couldn't be read, indicating a corrupt file or an unrecognized "
          "format.': %d\n",
          nCode);
      break;
    case AVIERR_MEMORY:
      g_GameLogger.Log(
          "\t - 'The file could not be opened because of insufficient memory.': %d\n", nCode);
      break;
    case AVIERR_FILEREAD:
      g_GameLogger.Log("\t - 'A disk error occurred while reading the file.': %d\n", nCode);
      break;
    case AVIERR_FILEOPEN:
      g_GameLogger.Log("\t - 'A disk error occurred while opening the file.': %d\n", nCode);
      break;
    case REGDB_E_CLASSNOTREG:
      g_GameLogger.Log(
          "\t - 'According to the registry, the type of file specified in AVIFileOpen does not "
          "have a handler to process it.': %d\n",
          nCode);
      break;
    default:
      g_GameLogger.Log("\t - Unknown error code: %d\n", nCode);
      break;
  }
}

bool CMenuAviElement::CreateDibSection() {
  if (m_nTextureSize > static_cast<UINT>(INT32_MAX)) return false;
  const LONG nSize = static_cast<LONG>(m_nTextureSize);
  m_bmiHeader = {};
  m_bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  m_bmiHeader.biWidth = nSize;
  m_bmiHeader.biHeight = -nSize;  // rows from the top, as the texture holds them
  m_bmiHeader.biPlanes = 1;
  m_bmiHeader.biBitCount = 32;
  m_bmiHeader.biCompression = BI_RGB;
  m_hDrawDib = DrawDibOpen();
  m_hDC = CreateCompatibleDC(nullptr);
  BITMAPINFO info = {};
  info.bmiHeader = m_bmiHeader;
  m_hBitmap = CreateDIBSection(m_hDC, &info, DIB_RGB_COLORS, &m_pDIBBits, nullptr, 0);
  if (!m_hBitmap || !m_pDIBBits) return false;
  SelectObject(m_hDC, m_hBitmap);
  return true;
}

void CMenuAviElement::OpenSound() {
  const char* szFile = m_strAviFile.c_str();
  g_GameLogger.Log("Getting strwam AUDIO\n");
  m_Sound = {};
  if (AVIFileGetStream(m_pAviFile, &m_pAudioStream, streamtypeAUDIO, 0) != AVIERR_OK) {
    m_pAudioStream = nullptr;
    g_GameLogger.Log("WARRNING: can't open Audio stream from avi file '%s'\n", szFile);
    return;
  }

  const LONG nStart = AVIStreamStart(m_pAudioStream);
  LONG nFormatSize = 0;
  if (AVIStreamReadFormat(m_pAudioStream, nStart, nullptr, &nFormatSize) != AVIERR_OK ||
      nFormatSize <= 0) {
    g_GameLogger.Log("WARRNING: can't get Audio stream format from avi file '%s'\n", szFile);
    return;
  }
  std::unique_ptr<BYTE[]> pFormat(new (std::nothrow) BYTE[static_cast<size_t>(nFormatSize)]);
  if (!pFormat) return;
  // A format shorter than the PCM record (all but the extra size) leaves the sample size unknown.
  if (AVIStreamReadFormat(m_pAudioStream, nStart, pFormat.get(), &nFormatSize) != AVIERR_OK ||
      nFormatSize < static_cast<LONG>(offsetof(WAVEFORMATEX, cbSize))) {
    g_GameLogger.Log("WARRNING: can't get Audio stream format from avi file '%s'\n", szFile);
    return;
  }
  WAVEFORMATEX format = {};
  std::memcpy(&format, pFormat.get(), std::min(sizeof format, static_cast<size_t>(nFormatSize)));
  const int32_t nOpenALFormat = format.wFormatTag == WAVE_FORMAT_PCM
                                    ? OpenALPcmFormat(format.nChannels, format.wBitsPerSample)
                                    : 0;
  if (nOpenALFormat == 0) {
    g_GameLogger.Log(
        "WARRNING: Audio stream of avi file '%s' is no 8 or 16-bit PCM of one or two channels, "
        "the video plays silent\n",
        szFile);
    return;
  }

  const LONG nSamples = AVIStreamLength(m_pAudioStream);
  LONG nBytes = 0;
  if (AVIStreamRead(m_pAudioStream, 0, nSamples, nullptr, 0, &nBytes, nullptr) != AVIERR_OK ||
      nBytes <= 0) {
    g_GameLogger.Log("WARRNING: can't get Audio stream buffor size from avi file '%s'\n", szFile);
    return;
  }
  m_pAudioData = new (std::nothrow) BYTE[static_cast<size_t>(nBytes)];
  if (!m_pAudioData) {
    g_GameLogger.Log("WARRNING: memory allocation error\n");
    return;
  }
  if (AVIStreamRead(m_pAudioStream, 0, nSamples, m_pAudioData, nBytes, &nBytes, nullptr) !=
      AVIERR_OK) {
    g_GameLogger.Log("WARRNING: can't get Audio stream buffor size from avi file '%s'\n", szFile);
  } else {
    m_Sound = CreateOpenALStream(nOpenALFormat, m_pAudioData, nBytes,
                                 static_cast<int32_t>(format.nSamplesPerSec));
  }
  delete[] m_pAudioData;
  m_pAudioData = nullptr;
}

void CMenuAviElement::Close() {
  ListenToVideoModes(false);
  m_bOpened = 0;
  if (m_pGetFrame) AVIStreamGetFrameClose(m_pGetFrame);
  if (m_pAudioStream) AVIStreamRelease(m_pAudioStream);
  if (m_pVideoStream) AVIStreamRelease(m_pVideoStream);
  if (m_pAviFile) AVIFileRelease(m_pAviFile);
  m_pGetFrame = nullptr;
  m_pAudioStream = m_pVideoStream = nullptr;
  m_pAviFile = nullptr;
  m_pFrameBits = nullptr;
  // The device context goes first: it holds the DIB section selected.
  if (m_hDC) DeleteDC(m_hDC);
  if (m_hBitmap) DeleteObject(m_hBitmap);
  if (m_hDrawDib) DrawDibClose(m_hDrawDib);
  m_hDC = nullptr;
  m_hBitmap = nullptr;
  m_hDrawDib = nullptr;
  m_pDIBBits = nullptr;
  DeleteOpenALStream(m_Sound);
  delete[] m_pAudioData;
  m_pAudioData = nullptr;
}

void CMenuAviElement::ListenToVideoModes(bool bListen) {
  if (!g_pGameCore) return;
  std::vector<geCVideoModeListener*>& nodes = g_pGameCore->GetVideoModeNodes();
  geCVideoModeListener* pSelf = this;
  nodes.erase(std::remove(nodes.begin(), nodes.end(), pSelf), nodes.end());
  if (bListen) nodes.push_back(pSelf);
}

// ---- frames ---------------------------------------------------------------------------------

void CMenuAviElement::DecodeFrame(LONG nFrame) {
  if (!m_pGetFrame || !m_hDC) return;
  auto* pFrame = static_cast<BITMAPINFOHEADER*>(AVIStreamGetFrame(m_pGetFrame, nFrame));
  // A frame the file cannot give keeps the picture as it is.
  if (!pFrame) return;
  m_pFrameBits = reinterpret_cast<const BYTE*>(pFrame) + pFrame->biSize + pFrame->biClrUsed * 4;
  const int nSize = static_cast<int>(m_nTextureSize);
  DrawDibDraw(m_hDrawDib, m_hDC, 0, 0, nSize, nSize, pFrame, const_cast<BYTE*>(m_pFrameBits), 0,
              0, static_cast<int>(m_nFrameWidth), static_cast<int>(m_nFrameHeight), 0);
  CopyFrameToTexture();
}

void CMenuAviElement::CopyFrameToTexture() {
  IDirect3DTexture9* pTexture = m_pVideoTexture ? m_pVideoTexture->GetD3DTexture() : nullptr;
  if (!pTexture || !m_pDIBBits) return;
  // Only what both hold is copied, whatever size the bank made.
  D3DSURFACE_DESC description = {};
  if (FAILED(pTexture->GetLevelDesc(0, &description))) return;
  const UINT nRows = std::min(description.Height, m_nTextureSize);
  const size_t nRowBytes = std::min(description.Width, m_nTextureSize) * size_t{4};
  const size_t nSourcePitch = m_nTextureSize * size_t{4};
  D3DLOCKED_RECT locked = {};
  if (FAILED(pTexture->LockRect(0, &locked, nullptr, D3DLOCK_DISCARD))) return;
  if (locked.pBits && locked.Pitch >= static_cast<INT>(nRowBytes)) {
    const BYTE* pSource = static_cast<const BYTE*>(m_pDIBBits);
    BYTE* pTarget = static_cast<BYTE*>(locked.pBits);
    for (UINT nRow = 0; nRow < nRows; ++nRow)
      std::memcpy(pTarget + static_cast<size_t>(nRow) * static_cast<size_t>(locked.Pitch),
                  pSource + nRow * nSourcePitch, nRowBytes);
  }
  pTexture->UnlockRect(0);
}

void CMenuAviElement::Update(geSUpdateArgument* pArg) {
  CMenuItem::Update(pArg);
  if (m_pParent && !m_pParent->IsEnabled()) return;
  if (!m_bOpened) {
    CallScriptFunction("OnAviFinished");
    return;
  }
  if (m_bFirstTimeUpdate) {
    if (m_pTimer) m_pTimer->Reset();
    PlayOpenALStream(m_Sound);
  }
  // Measured in frames first, so that no time, however long, overflows the frame number.
  const double dFrame =
      m_pTimer ? static_cast<double>(m_pTimer->GetTime()) * 1000.0 / m_nMsPerFrame : 0.0;
  LONG nFrame = dFrame < static_cast<double>(m_nFrames) ? static_cast<LONG>(dFrame) : m_nFrames;
  if (nFrame >= m_nFrames) {
    nFrame = 0;
    if (m_pTimer) m_pTimer->Reset();
    PlayOpenALStream(m_Sound);
    CallScriptFunction("OnAviFinished");
  }
  if ((m_bSmooth || nFrame % 2 == 0) && nFrame != m_nLastDecodedFrame) DecodeFrame(nFrame);
  m_nLastDecodedFrame = nFrame;
}

// ---- playing --------------------------------------------------------------------------------

void CMenuAviElement::Play() {
  if (m_pTimer) {
    m_pTimer->Resume();
    m_pTimer->Reset();
  }
  PlayOpenALStream(m_Sound);
}

void CMenuAviElement::Stop() {
  if (m_pTimer) m_pTimer->Pause();
  StopOpenALStream(m_Sound);
}

DWORD CMenuAviElement::Enable(DWORD, DWORD) {
  Play();
  return IsEnabled() ? 1 : 0;
}

DWORD CMenuAviElement::Enable(DWORD val) { return geCBaseNode::Enable(val, 1); }

DWORD CMenuAviElement::Disable(DWORD, DWORD) {
  Stop();
  return IsEnabled() ? 1 : 0;
}

DWORD CMenuAviElement::Disable(DWORD val) { return geCBaseNode::Disable(val, 1); }

// ---- drawing --------------------------------------------------------------------------------

void CMenuAviElement::Render(DWORD dwClearFlags) {
  if (!m_bOpened || (m_pParent && !m_pParent->IsEnabled())) return;
  CallScriptFunction("before_Render");
  CD3D9RendererInterface* pRenderer = GetMenuRenderer();
  if (pRenderer && m_pMatrixStack) {
    // A size of 0 covers the whole design area.
    const bool bWhole = m_nWidth == 0 || m_nHeight == 0;
    const float fWidth = static_cast<float>(bWhole ? kMenuDesignWidth : m_nWidth);
    const float fHeight = static_cast<float>(bWhole ? kMenuDesignHeight : m_nHeight);
    geSMenuVertex vertices[kMenuQuadVertices];
    BuildMenuRectangle(fWidth - 0.5f, fHeight - 0.5f, m_dwColor, 1.0f, 1.0f, vertices);
    const geSMenuScale scale = GetMenuScale();
    m_pMatrixStack->Push();
    m_pMatrixStack->Scale(scale.fX, scale.fY, 1.0f);
    SetMenuWorld(pRenderer, m_pMatrixStack->GetTop());
    pRenderer->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
    pRenderer->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    pRenderer->SetRenderState(D3DRS_LIGHTING, 0);
    DrawTexturedMenuQuad(pRenderer, m_pVideoTexture, vertices);
    CMenuItem::Render(dwClearFlags);
    m_pMatrixStack->Pop();
  }
  CallScriptFunction("after_Render");
}

// ---- video-mode changes ---------------------------------------------------------------------

void CMenuAviElement::ReleaseDeviceObjects() {
  // The texture bank owns the Direct3D texture and gives its default-pool object up around the
  // reset itself; releasing it here as well would leave the bank a freed object to release
  // again. The element lets go of the texture and makes a new one after the change.
  m_pVideoTexture = nullptr;
}

void CMenuAviElement::RestoreDeviceObjects() {
  if (!m_bOpened) return;
  ++s_nResetTextures;
  char szName[251];
  snprintf(szName, sizeof szName, "%s_reset_%d", GetName(), s_nResetTextures);
  m_pVideoTexture = CreateVideoTexture(szName);
  // A halted video shows its frame at once, not after its next one.
  CopyFrameToTexture();
}
