#include "console/GuiContextInput.h"

#include <CEGUI/GUIContext.h>
#include <CEGUI/InputEvent.h>

namespace {

// DirectInput key codes are one byte; the library's scan codes cover the same range.
constexpr uint32_t kLastKey = 0xFF;

// 0 left, 1 right, 2 middle; anything else is no button the library knows.
CEGUI::MouseButton ToMouseButton(int button) {
  switch (button) {
    case 0: return CEGUI::LeftButton;
    case 1: return CEGUI::RightButton;
    case 2: return CEGUI::MiddleButton;
    default: return CEGUI::NoButton;
  }
}

}  // namespace

void CGuiContextInput::InjectMousePosition(float x, float y) { m_context.injectMousePosition(x, y); }

void CGuiContextInput::InjectMouseMove(float dx, float dy) { m_context.injectMouseMove(dx, dy); }

void CGuiContextInput::InjectMouseButtonDown(int button) {
  const CEGUI::MouseButton which = ToMouseButton(button);
  if (which != CEGUI::NoButton) m_context.injectMouseButtonDown(which);
}

void CGuiContextInput::InjectMouseButtonUp(int button) {
  const CEGUI::MouseButton which = ToMouseButton(button);
  if (which != CEGUI::NoButton) m_context.injectMouseButtonUp(which);
}

void CGuiContextInput::InjectMouseWheelChange(float delta) { m_context.injectMouseWheelChange(delta); }

// Control characters (backspace, tab, enter, escape) arrive as characters too, but they are keys
// to the library, which would otherwise type them into an edit box.
void CGuiContextInput::InjectChar(uint32_t character) {
  if (character < 0x20 || character == 0x7F) return;
  m_context.injectChar(character);
}

void CGuiContextInput::InjectKeyDown(uint32_t key) {
  if (key <= kLastKey) m_context.injectKeyDown(static_cast<CEGUI::Key::Scan>(key));
}

void CGuiContextInput::InjectKeyUp(uint32_t key) {
  if (key <= kLastKey) m_context.injectKeyUp(static_cast<CEGUI::Key::Scan>(key));
}
