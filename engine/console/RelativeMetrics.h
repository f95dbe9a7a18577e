#pragma once
// Tool windows are laid out in relative metrics: fractions of the parent's width and height.
#include <CEGUI/UDim.h>
#include <CEGUI/Size.h>
#include <CEGUI/Vector.h>
#include <CEGUI/Window.h>

inline CEGUI::UVector2 Relative(float x, float y) { return {cegui_reldim(x), cegui_reldim(y)}; }
inline CEGUI::USize RelativeSize(float width, float height) {
  return {cegui_reldim(width), cegui_reldim(height)};
}

inline void Place(CEGUI::Window* window, float x, float y, float width, float height) {
  window->setPosition(Relative(x, y));
  window->setSize(RelativeSize(width, height));
}

// A button whose size is held fixed.
inline void PlaceButton(CEGUI::Window* button, float x, float y, const char* text,
                        float width = 0.07f, float height = 0.03f) {
  Place(button, x, y, width, height);
  button->setMinSize(RelativeSize(width, height));
  button->setMaxSize(RelativeSize(width, height));
  button->setText(text);
}
