#pragma once
// The one render target of the GUI renderer: the screen, as large as the display. Geometry drawn
// to it is already in screen space, so there is no projection to set up or undo.
#include <CEGUI/Rect.h>
#include <CEGUI/RenderTarget.h>

class CGUIScreenTarget final : public CEGUI::RenderTarget {
 public:
  explicit CGUIScreenTarget(const CEGUI::Rectf& area) : m_area(area) {}

  void draw(const CEGUI::GeometryBuffer& buffer) override;
  void draw(const CEGUI::RenderQueue& queue) override;
  void setArea(const CEGUI::Rectf& area) override;
  const CEGUI::Rectf& getArea() const override { return m_area; }
  bool isImageryCache() const override { return false; }
  void activate() override {}
  void deactivate() override {}
  void unprojectPoint(const CEGUI::GeometryBuffer& buffer, const CEGUI::Vector2f& in,
                      CEGUI::Vector2f& out) const override;

 private:
  CEGUI::Rectf m_area;
};
