#pragma once
// A font node: callers queue texts at screen positions during a frame, and once a frame the
// main loop asks every font to draw its queue, which empties it. The kinds of font differ only
// in how they draw.
#include <string>
#include <vector>

#include "framework/BaseNode.h"

class CSpriteInterface;

class geCTexturedFont : public geCBaseNode {
 public:
  using geCBaseNode::geCBaseNode;

  // Queues a copy of the text at (x, y).
  virtual void AddText(float x, float y, const char* szText);
  // The sprite the font draws with; null when it draws otherwise.
  virtual CSpriteInterface* GetSprite() = 0;
  // Draws the queued texts in order and empties the queue.
  virtual void DrawTexts() = 0;

 protected:
  struct geSQueuedText {
    float x;
    float y;
    std::string strText;
  };
  std::vector<geSQueuedText> m_vTexts;
};
