#pragma once
// The textured quads menus draw from their own memory: position, colour and one texture
// coordinate pair per vertex, two triangles per quad, blended by the texture's alpha.
#include <windef.h>

#include <d3dx9math.h>

class CD3D9RendererInterface;
class CTextureInterface;

struct geSMenuVertex {
  float x, y, z;
  DWORD dwColor;
  float u, v;
};
static_assert(sizeof(geSMenuVertex) == 24);

constexpr DWORD kMenuVertexFormat = 0x142;  // position, diffuse colour, one texture pair
constexpr UINT kMenuQuadVertices = 6;

// The rectangle from (−0.5, −0.5) to (fRight, fTop), the texture's top row at its top and its
// coordinates reaching fU across and fV up.
void BuildMenuRectangle(float fRight, float fTop, DWORD dwColor, float fU, float fV,
                        geSMenuVertex vertices[kMenuQuadVertices]);

// Alpha blending by the source's alpha.
void SetMenuBlending(CD3D9RendererInterface* pRenderer);
// Texture times vertex colour on stage 0, colour and alpha alike; stage 1 off.
void SetMenuTextureStages(CD3D9RendererInterface* pRenderer);
// Stage 0's colour and alpha operations off.
void DisableMenuTextureStage(CD3D9RendererInterface* pRenderer);
// A fixed-function vertex format (no programs bound), or none with 0.
void SetMenuVertexFormat(CD3D9RendererInterface* pRenderer, DWORD dwFormat);
void SetMenuWorld(CD3D9RendererInterface* pRenderer, const D3DXMATRIX* pMatrix);
void DrawMenuQuad(CD3D9RendererInterface* pRenderer,
                  const geSMenuVertex vertices[kMenuQuadVertices]);
// The quad with the texture (when there is one) times its colours on stage 0; afterwards the
// vertex format, stage 0 and alpha blending are off again.
void DrawTexturedMenuQuad(CD3D9RendererInterface* pRenderer, CTextureInterface* pTexture,
                          const geSMenuVertex vertices[kMenuQuadVertices]);
