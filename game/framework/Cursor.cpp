#include "framework/Cursor.h"

#include "framework/CorePort.h"

float g_fCursorX = 0.0f;
float g_fCursorY = 0.0f;

geCCursor::~geCCursor() = default;

void geCCursor::Update(geSUpdateArgument* pArg) {
  geCBaseNode::Update(pArg);
  geGetCorePort().GetMousePosition(&g_fCursorX, &g_fCursorY);
}
