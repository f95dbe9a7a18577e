#include "console/GUIGeometryBuffer.h"

#include <CEGUI/RenderEffect.h>

#include <algorithm>
#include <cmath>

#include "console/GUIRenderer.h"
#include "console/GUITexture.h"

namespace {

CEGUI::Vector3f Cross(const CEGUI::Vector3f& a, const CEGUI::Vector3f& b) {
  return CEGUI::Vector3f(a.d_y * b.d_z - a.d_z * b.d_y, a.d_z * b.d_x - a.d_x * b.d_z,
                         a.d_x * b.d_y - a.d_y * b.d_x);
}

// v rotated by the unit quaternion q.
CEGUI::Vector3f Rotate(const CEGUI::Quaternion& q, const CEGUI::Vector3f& v) {
  const CEGUI::Vector3f axis(q.d_x, q.d_y, q.d_z);
  const CEGUI::Vector3f twice = Cross(axis, v) * 2.0f;
  return v + twice * q.d_w + Cross(axis, twice);
}

LONG Edge(float value) { return static_cast<LONG>(std::lround(value)); }

}  // namespace

CGUIGeometryBuffer::CGUIGeometryBuffer(CGUIRenderer& renderer)
    : m_renderer(renderer),
      m_translation(0, 0, 0),
      m_rotation(CEGUI::Quaternion::IDENTITY),
      m_pivot(0, 0, 0),
      m_clip(0, 0, 0, 0) {}

void CGUIGeometryBuffer::setClippingRegion(const CEGUI::Rectf& region) {
  m_clip.top(std::max(0.0f, region.top()));
  m_clip.bottom(std::max(0.0f, region.bottom()));
  m_clip.left(std::max(0.0f, region.left()));
  m_clip.right(std::max(0.0f, region.right()));
}

void CGUIGeometryBuffer::appendGeometry(const CEGUI::Vertex* const vertices, CEGUI::uint count) {
  if (count == 0) return;
  if (m_batches.empty() || m_batches.back().texture != m_pTexture || m_batches.back().clipped != m_bClipping)
    m_batches.push_back({m_pTexture, 0, m_bClipping});
  m_batches.back().count += count;
  m_vertices.insert(m_vertices.end(), vertices, vertices + count);
}

void CGUIGeometryBuffer::setActiveTexture(CEGUI::Texture* texture) {
  // The renderer makes only its own textures.
  m_pTexture = static_cast<CGUITexture*>(texture);
}

CEGUI::Texture* CGUIGeometryBuffer::getActiveTexture() const { return m_pTexture; }

void CGUIGeometryBuffer::reset() {
  m_vertices.clear();
  m_batches.clear();
  m_pTexture = nullptr;
  m_bClipping = true;
}

GUIVertex CGUIGeometryBuffer::Transform(const CEGUI::Vertex& vertex) const {
  const CEGUI::Vector3f moved = Rotate(m_rotation, vertex.position - m_pivot) + m_pivot + m_translation;
  // Pre-transformed depth outside 0..1 would be clipped away.
  return {moved.d_x + kPixelOffset,
          moved.d_y + kPixelOffset,
          std::clamp(moved.d_z, 0.0f, 1.0f),
          1.0f,
          vertex.colour_val.getARGB(),
          vertex.tex_coords.d_x,
          vertex.tex_coords.d_y};
}

void CGUIGeometryBuffer::DrawBatches() const {
  const CEGUI::Sizef& display = m_renderer.getDisplaySize();
  const RECT screen = {0, 0, Edge(display.d_width), Edge(display.d_height)};
  const RECT clip = {Edge(m_clip.left()), Edge(m_clip.top()), Edge(m_clip.right()), Edge(m_clip.bottom())};
  size_t start = 0;
  for (const Batch& batch : m_batches) {
    m_screen.clear();
    for (size_t i = start; i < start + batch.count; ++i) m_screen.push_back(Transform(m_vertices[i]));
    m_renderer.DrawTriangles(batch.texture, batch.clipped ? clip : screen, m_screen.data(), m_screen.size());
    start += batch.count;
  }
}

void CGUIGeometryBuffer::draw() const {
  const int passes = m_pEffect ? m_pEffect->getPassCount() : 1;
  for (int pass = 0; pass < passes; ++pass) {
    if (m_pEffect) m_pEffect->performPreRenderFunctions(pass);
    DrawBatches();
  }
  if (m_pEffect) m_pEffect->performPostRenderFunctions();
}
