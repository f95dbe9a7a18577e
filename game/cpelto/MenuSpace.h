#pragma once
// The menus' design space: 800 × 600 units stretched to the configured screen size, which is
// read again at every use since the video mode may change while menus live. Menu space has its
// origin at the bottom-left corner of the screen, y upward.
#include <windef.h>

#include <string>

#include "ZKDXMath.h"

class CD3D9RendererInterface;
class CTextureInterface;
class geCProperties;

constexpr unsigned kMenuDesignWidth = 800;
constexpr unsigned kMenuDesignHeight = 600;

// Screen pixels per design unit across (fX) and up (fY).
struct geSMenuScale {
  float fX;
  float fY;
};
geSMenuScale GetMenuScale();
// The configured screen height in pixels.
float GetMenuScreenHeight();
// The mouse in menu space, pixels.
CVector3 GetMenuMousePoint();

// 1.0 or more gives 255, 0.0 or less 0, otherwise the nearest byte.
BYTE MenuColorByte(float fValue);
DWORD MenuColor(float fA, float fR, float fG, float fB);
// A "Color" text of three fields r;g;b as stored menus write it: the blue byte is the alpha too.
DWORD ParseMenuColor(const std::string& strText);
// The three ';'-separated fields of a text as floats.
CVector3 ParseMenuVector(const std::string& strText);

// Whether the property holds a value.
bool IsMenuPropertySet(const geCProperties& properties, const char* szName);

CD3D9RendererInterface* GetMenuRenderer();
// A texture of the engine's bank: colour image and alpha image when there is one, else the
// colour image in its own format; null when the bank has none to give.
CTextureInterface* CreateMenuTexture(const std::string& strImage, const char* szAlphaImage);
