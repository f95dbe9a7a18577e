#include "console/GUIScreenTarget.h"

#include <CEGUI/GeometryBuffer.h>
#include <CEGUI/RenderQueue.h>

void CGUIScreenTarget::draw(const CEGUI::GeometryBuffer& buffer) { buffer.draw(); }

void CGUIScreenTarget::draw(const CEGUI::RenderQueue& queue) { queue.draw(); }

void CGUIScreenTarget::setArea(const CEGUI::Rectf& area) {
  m_area = area;
  CEGUI::RenderTargetEventArgs args(this);
  fireEvent(EventAreaChanged, args);
}

// Points on the screen are already where the buffer drew them.
void CGUIScreenTarget::unprojectPoint(const CEGUI::GeometryBuffer&, const CEGUI::Vector2f& in,
                                      CEGUI::Vector2f& out) const {
  out = in;
}
