#include "cpelto/MenuSpace.h"

#include "ZKDXInterface.h"
#include "framework/CorePort.h"
#include "framework/EngineGlobals.h"
#include "framework/Properties.h"
#include "framework/Substring.h"

namespace {

const ZeKorbConfig* Configuration() { return g_pZeKorb ? g_pZeKorb->GetConfiguration() : nullptr; }

}  // namespace

geSMenuScale GetMenuScale() {
  const ZeKorbConfig* pConfig = Configuration();
  if (!pConfig) return {1.0f, 1.0f};
  return {static_cast<float>(pConfig->wWidth) / static_cast<float>(kMenuDesignWidth),
          static_cast<float>(pConfig->wHeight) / static_cast<float>(kMenuDesignHeight)};
}

float GetMenuScreenHeight() {
  const ZeKorbConfig* pConfig = Configuration();
  return pConfig ? static_cast<float>(pConfig->wHeight) : static_cast<float>(kMenuDesignHeight);
}

CVector3 GetMenuMousePoint() {
  const geMouseStatus* pMouse = geGetCorePort().GetMouseStatus();
  return {static_cast<float>(pMouse->dwMouseX.load()),
          GetMenuScreenHeight() - static_cast<float>(pMouse->dwMouseY.load()), 0.0f};
}

BYTE MenuColorByte(float fValue) {
  if (fValue >= 1.0f) return 255;
  if (!(fValue > 0.0f)) return 0;
  return static_cast<BYTE>(fValue * 255.0f + 0.5f);
}

DWORD MenuColor(float fA, float fR, float fG, float fB) {
  return static_cast<DWORD>(MenuColorByte(fA)) << 24 | static_cast<DWORD>(MenuColorByte(fR)) << 16 |
         static_cast<DWORD>(MenuColorByte(fG)) << 8 | MenuColorByte(fB);
}

DWORD ParseMenuColor(const std::string& strText) {
  const CVector3 rgb = ParseMenuVector(strText);
  return MenuColor(rgb.z, rgb.x, rgb.y, rgb.z);
}

CVector3 ParseMenuVector(const std::string& strText) {
  float fields[3];
  for (DWORD i = 0; i < 3; ++i) fields[i] = geCVariant(GetSubstring(strText, i, ';')).AsFloat();
  return {fields[0], fields[1], fields[2]};
}

bool IsMenuPropertySet(const geCProperties& properties, const char* szName) {
  return properties.Get(szName).GetType() != geCVariant::TYPE_EMPTY;
}

CD3D9RendererInterface* GetMenuRenderer() {
  return g_pZeKorb ? g_pZeKorb->GetD3DRendererInterface() : nullptr;
}

CTextureInterface* CreateMenuTexture(const std::string& strImage, const char* szAlphaImage) {
  CD3D9RendererInterface* pRenderer = GetMenuRenderer();
  CTextureStorageInterface* pBank = pRenderer ? pRenderer->GetTextureStorageInterface() : nullptr;
  if (!pBank) return nullptr;
  if (szAlphaImage) return pBank->CreateTexture(strImage.c_str(), szAlphaImage, 0);
  return pBank->CreateTexture(strImage.c_str(), 0);
}
