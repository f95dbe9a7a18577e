#include "framework/FontManager.h"

#include <strings.h>

DWORD g_dwDefaultFontID = 0;

geCFontManager::~geCFontManager() { m_mapFonts.clear(); }

DWORD geCFontManager::AddFont(geCTexturedFont* pFont) {
  const DWORD dwID = m_dwNextID++;
  m_mapFonts[dwID] = pFont;
  return dwID;
}

geCTexturedFont* geCFontManager::GetFont(DWORD dwID) {
  const auto found = m_mapFonts.find(dwID);
  return found != m_mapFonts.end() ? found->second.Get() : nullptr;
}

geCTexturedFont* geCFontManager::GetFontByName(const char* szName) {
  if (!szName) return nullptr;
  for (auto& [dwID, pFont] : m_mapFonts)
    if (pFont && strcasecmp(pFont->GetName(), szName) == 0) return pFont.Get();
  return nullptr;
}
