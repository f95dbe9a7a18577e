#pragma once
// A menu item that plays an AVI video on its rectangle. Frames are decoded and stretched into a
// square top-down 32-bit DIB section, copied into a square texture of the same edge and drawn
// like a picture; the sound track is read whole into one OpenAL buffer. Video time is the
// element's own timer: at the end the video starts again from its first frame, the sound with
// it, and the script hears "OnAviFinished".
#include <vfw.h>
#include <windows.h>

#include <string>

#include "cpelto/MenuItem.h"
#include "cpelto/OpenALStream.h"

class CTextureInterface;
class CTimerInterface;

class CMenuAviElement : public CMenuItem {
 public:
  // The largest texture edge chosen from a frame's size.
  static constexpr UINT kMaxTextureSize = 4096;
  static constexpr D3DFORMAT kTextureFormat = D3DFMT_A8R8G8B8;

  explicit CMenuAviElement(geCBaseNode* pParent);
  // Closes the video, its drawing objects and its sound, and leaves the core's list of
  // video-mode listeners.
  ~CMenuAviElement() override;

  const char* GetClassName() const override;
  bool IsKindOf(const char* szClassName) const override;
  void RegisterProperties() override;
  void Configure(TiXmlElement* pElement) override;
  void Update(geSUpdateArgument* pArg) override;
  // The two-argument forms only start (Play) and halt (Stop) the video: a screen calls them on
  // its videos as it is enabled and disabled. The one-argument forms change the enabled bit of
  // the element and its subtree, as every node's do.
  DWORD Enable(DWORD val, DWORD bRecursiveChildren) override;
  DWORD Enable(DWORD val) override;
  DWORD Disable(DWORD val, DWORD bRecursiveChildren) override;
  DWORD Disable(DWORD val) override;
  void Render(DWORD dwClearFlags) override;
  // The texture is let go before the video mode changes (its bank gives up the Direct3D object)
  // and a new one comes after, under a new name; it shows the frame last decoded.
  void ReleaseDeviceObjects() override;
  void RestoreDeviceObjects() override;

  // Opens "AviFile": video, decoder, drawing objects, texture, first frame, then the sound.
  // False (logged) when there is no video to show; the sound is optional.
  bool Open();
  // Decodes the frame into the DIB section and copies that into the texture.
  void DecodeFrame(LONG nFrame);
  // Restarts video and sound from the beginning.
  void Play();
  // Halts the video on its frame and stops the sound.
  void Stop();

  bool IsOpened() const { return m_bOpened != 0; }
  bool IsSmooth() const { return m_bSmooth != 0; }
  UINT GetTextureSize() const { return m_nTextureSize; }
  LONG GetFrameCount() const { return m_nFrames; }
  LONG GetMsPerFrame() const { return m_nMsPerFrame; }
  LONG GetFrameWidth() const { return m_nFrameWidth; }
  LONG GetFrameHeight() const { return m_nFrameHeight; }
  LONG GetLastDecodedFrame() const { return m_nLastDecodedFrame; }
  const std::string& GetAviFile() const { return m_strAviFile; }
  CTextureInterface* GetVideoTexture() const { return m_pVideoTexture; }
  CTimerInterface* GetTimer() const { return m_pTimer; }
  const OpenALStream& GetSound() const { return m_Sound; }

 private:
  // The file, its video stream, the frame size and timing; false (logged) without them.
  bool OpenVideo();
  // Logs why the file could not be opened.
  void LogOpenFailure(HRESULT hResult) const;
  // The drawing objects and the frame decoder; false (logged) without them.
  bool OpenDecoder();
  bool CreateDibSection();
  // A square texture of the texture size, from the engine's bank.
  CTextureInterface* CreateVideoTexture(const char* szName) const;
  // Reads the sound track into m_Sound; a file without usable sound logs why and stays silent.
  void OpenSound();
  // The DIB section's pixels into level 0 of the texture, row by row.
  void CopyFrameToTexture();
  // Every object Open made, in the reverse order.
  void Close();
  void ListenToVideoModes(bool bListen);

  PAVIFILE m_pAviFile = nullptr;
  std::string m_strAviFile;
  AVISTREAMINFOA m_StreamInfo = {};
  PAVISTREAM m_pVideoStream = nullptr;
  PAVISTREAM m_pAudioStream = nullptr;
  PGETFRAME m_pGetFrame = nullptr;
  BYTE* m_pAudioData = nullptr;
  OpenALStream m_Sound = {};
  BITMAPINFOHEADER m_bmiHeader = {};
  LONG m_nFrames = 0;
  LONG m_nFrameWidth = 0;
  LONG m_nFrameHeight = 0;
  const BYTE* m_pFrameBits = nullptr;
  LONG m_nMsPerFrame = 0;
  HDRAWDIB m_hDrawDib = nullptr;
  HBITMAP m_hBitmap = nullptr;
  HDC m_hDC = nullptr;
  void* m_pDIBBits = nullptr;
  UINT m_nTextureSize = 0;
  CTimerInterface* m_pTimer = nullptr;
  CTextureInterface* m_pVideoTexture = nullptr;
  BYTE m_bSmooth = 1;
  BYTE m_bOpened = 0;
  // Kept per element, so two videos playing at once never skip each other's frames.
  LONG m_nLastDecodedFrame = -1;
};
