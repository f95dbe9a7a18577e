#pragma once
// The engine's own font: every queued text goes to the engine's text entry, which draws nothing.
#include "framework/TexturedFont.h"

class geCZeKorbFont : public geCTexturedFont {
 public:
  using geCTexturedFont::geCTexturedFont;

  CSpriteInterface* GetSprite() override { return nullptr; }
  void DrawTexts() override;
};
