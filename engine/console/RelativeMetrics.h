#pragma once
// Tool windows are laid out in relative metrics: fractions of the parent's width and height.
#include <CEGUI/UDim.h>
#include <CEGUI/Size.h>
#include <CEGUI/Vector.h>

inline CEGUI::UVector2 Relative(float x, float y) { return {cegui_reldim(x), cegui_reldim(y)}; }
inline CEGUI::USize RelativeSize(float width, float height) {
  return {cegui_reldim(width), cegui_reldim(height)};
}
