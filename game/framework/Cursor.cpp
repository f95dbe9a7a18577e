#include "framework/Cursor.h"

#include "framework/CorePort.h"

float g_fCursorX = 0.0f;
float g_fCursorY = 0.0f;

geCCursor::~geCCursor() = default;

void geCCursor::Update(geSUpdateArgument* pArg) {
  geCBaseNode::Update(pArg);
  const geMouseStatus* pMouse = geGetCorePort().GetMouseStatus();
  g_fCursorX = pMouse->fMouseX.load(std::memory_order_relaxed);
  g_fCursorY = pMouse->fMouseY.load(std::memory_order_relaxed);
}
