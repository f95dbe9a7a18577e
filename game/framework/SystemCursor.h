#pragma once
// A cursor the operating system draws: loaded from a cursor file ("Directory" then "File"), or
// the standard arrow when there is no file or it cannot be loaded. Enabling it shows the system
// cursor and makes it the game window's cursor; disabling any cursor hides the system cursor
// once and leaves the game without a cursor of its own.
#include <windef.h>

#include "framework/Cursor.h"

class geCSystemCursor : public geCCursor {
 public:
  using geCCursor::geCCursor;

  size_t GetClassSize() const override;
  void RegisterProperties() override;
  void Configure(TiXmlElement* pElement) override;
  DWORD Enable(DWORD val) override;
  DWORD Disable(DWORD val) override;
  // The two-argument forms stay the node's.
  using geCBaseNode::Disable;
  using geCBaseNode::Enable;

  HCURSOR GetCursorHandle() const { return m_hCursor; }

 private:
  HCURSOR m_hCursor = nullptr;
};
