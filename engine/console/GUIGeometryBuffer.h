#pragma once
// Geometry of the GUI library kept on the CPU: vertices in batches of one texture and one
// clipping choice, with the buffer's translation, rotation about a pivot and clipping region.
// Drawing transforms them to screen space (with the device's half-pixel offset) and hands each
// batch to the GUI renderer.
#include <CEGUI/GeometryBuffer.h>
#include <CEGUI/Quaternion.h>
#include <CEGUI/Rect.h>
#include <CEGUI/Vector.h>
#include <CEGUI/Vertex.h>

#include <vector>

#include "console/GUIVertex.h"

class CGUIRenderer;
class CGUITexture;

class CGUIGeometryBuffer final : public CEGUI::GeometryBuffer {
 public:
  // Pre-transformed vertices sit on pixel centres half a pixel up and left.
  static constexpr float kPixelOffset = -0.5f;

  explicit CGUIGeometryBuffer(CGUIRenderer& renderer);

  void draw() const override;
  void setTranslation(const CEGUI::Vector3f& translation) override { m_translation = translation; }
  void setRotation(const CEGUI::Quaternion& rotation) override { m_rotation = rotation; }
  void setPivot(const CEGUI::Vector3f& pivot) override { m_pivot = pivot; }
  // Negative edges are taken as 0.
  void setClippingRegion(const CEGUI::Rectf& region) override;
  void appendVertex(const CEGUI::Vertex& vertex) override { appendGeometry(&vertex, 1); }
  void appendGeometry(const CEGUI::Vertex* const vertices, CEGUI::uint count) override;
  void setActiveTexture(CEGUI::Texture* texture) override;
  void reset() override;
  CEGUI::Texture* getActiveTexture() const override;
  CEGUI::uint getVertexCount() const override { return static_cast<CEGUI::uint>(m_vertices.size()); }
  CEGUI::uint getBatchCount() const override { return static_cast<CEGUI::uint>(m_batches.size()); }
  void setRenderEffect(CEGUI::RenderEffect* effect) override { m_pEffect = effect; }
  CEGUI::RenderEffect* getRenderEffect() override { return m_pEffect; }
  void setClippingActive(const bool active) override { m_bClipping = active; }
  bool isClippingActive() const override { return m_bClipping; }

  // The vertex as the device gets it: moved about the pivot, rotated, translated, offset.
  GUIVertex Transform(const CEGUI::Vertex& vertex) const;

 private:
  struct Batch {
    CGUITexture* texture;
    size_t count;
    bool clipped;
  };

  void DrawBatches() const;

  CGUIRenderer& m_renderer;
  CGUITexture* m_pTexture = nullptr;
  std::vector<CEGUI::Vertex> m_vertices;
  std::vector<Batch> m_batches;
  CEGUI::Vector3f m_translation;
  CEGUI::Quaternion m_rotation;
  CEGUI::Vector3f m_pivot;
  CEGUI::Rectf m_clip;
  bool m_bClipping = true;
  CEGUI::RenderEffect* m_pEffect = nullptr;
  // Scratch space of draw, kept to spare an allocation a frame.
  mutable std::vector<GUIVertex> m_screen;
};
