#include "framework/GlyphFont.h"

void geCGlyphFont::Render(DWORD) {
  for (const geSQueuedText& text : m_vTexts)
    m_Glyphs.DrawText(text.x, text.y, text.strText, m_nCharOffset, m_fWidthSpacing);
  m_vTexts.clear();
}
