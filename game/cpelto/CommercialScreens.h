#pragma once
// The splash images shown once while the game starts: each found image, centred and scaled from
// the 800 x 600 design space to the screen, drawn frame after frame until the display time has
// passed. Input and window messages wait meanwhile.
#include <windef.h>

#include <vector>

class CD3D9RendererInterface;
class CTextureInterface;
class CTimerInterface;

class CCommercialScreens {
 public:
  static constexpr const char* kImageFiles[] = {
      "game\\commercials\\comm_01.dds", "game\\commercials\\comm_02.dds",
      "game\\commercials\\comm_03.dds", "game\\commercials\\comm_04.dds"};
  static constexpr const char* kTimeProperty = "CommercialsTime";
  static constexpr float kDefaultDisplayTime = 5.0f;
  static constexpr DWORD kVertexFormat = 0x144;  // D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1

  // A pre-transformed, textured vertex, 28 bytes.
  struct Vertex {
    float x, y, z, rhw;
    DWORD dwColour;
    float u, v;
  };

  CCommercialScreens(CD3D9RendererInterface* pRenderer, CTimerInterface* pTimer, WORD wWidth,
                     WORD wHeight);

  // Loads the images that exist through the renderer's texture bank, resets and resumes the
  // timer, sets the drawing states and shows each image for `fDisplayTime` seconds, at least one
  // frame.
  void Show(float fDisplayTime);

  // The two triangles of an image of that size on this screen.
  std::vector<Vertex> BuildQuad(UINT nTextureWidth, UINT nTextureHeight) const;

 private:
  std::vector<CTextureInterface*> LoadImages() const;
  void SetRenderStates() const;
  void ShowImage(CTextureInterface* pTexture, float fDisplayTime) const;

  CD3D9RendererInterface* m_pRenderer;
  CTimerInterface* m_pTimer;
  float m_fWidth;
  float m_fHeight;
};
