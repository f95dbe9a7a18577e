#pragma once
// The fonts by id and by name. Ids count from 0, one for every font added; the main loop walks
// the fonts in id order each frame to draw their texts.
#include <windef.h>

#include <map>

#include "framework/RefPtr.h"
#include "framework/Singleton.h"
#include "framework/TexturedFont.h"

// The id the manager gave the engine's default font; widgets and the statistics use it.
extern DWORD g_dwDefaultFontID;

class geCFontManager : public geTSingleton<geCFontManager> {
 public:
  geCFontManager() = default;
  virtual ~geCFontManager();

  // Holds the font and returns its new id.
  virtual DWORD AddFont(geCTexturedFont* pFont);
  // Null for an id that was never given.
  virtual geCTexturedFont* GetFont(DWORD dwID);
  // The first font in id order whose name equals the name in any letter case; null when none.
  virtual geCTexturedFont* GetFontByName(const char* szName);
  virtual std::map<DWORD, geTRefPtr<geCTexturedFont>>& GetFonts() { return m_mapFonts; }

 private:
  std::map<DWORD, geTRefPtr<geCTexturedFont>> m_mapFonts;
  DWORD m_dwNextID = 0;
};
