#include "framework/ZeKorbFont.h"

#include "ZKDXInterface.h"
#include "framework/EngineGlobals.h"

void geCZeKorbFont::DrawTexts() {
  if (g_pZeKorb)
    for (const geSQueuedText& text : m_vTexts)
      g_pZeKorb->PrintText(text.x, text.y, text.strText.c_str(),
                           static_cast<UINT>(text.strText.size()));
  m_vTexts.clear();
}
