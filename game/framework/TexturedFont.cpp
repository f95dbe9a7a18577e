#include "framework/TexturedFont.h"

void geCTexturedFont::AddText(float x, float y, const char* szText) {
  m_vTexts.push_back({x, y, szText ? szText : ""});
}
