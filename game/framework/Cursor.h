#pragma once
// A mouse pointer node. Every cursor's update copies the core's mouse position into the
// framework's cursor position.
#include "framework/BaseNode.h"

// The mouse position as the cursors last copied it, as fractions of the screen.
extern float g_fCursorX;
extern float g_fCursorY;

class geCCursor : public geCBaseNode {
 public:
  using geCBaseNode::geCBaseNode;
  ~geCCursor() override;

  void Update(geSUpdateArgument* pArg) override;
};
