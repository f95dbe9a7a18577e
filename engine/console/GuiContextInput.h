#pragma once
// The engine's GUI input delivered to one GUI context of the GUI library (the default one): the
// window procedure's mouse, wheel and characters and the input manager's keys. DirectInput key
// codes are the library's key scan codes, so keys pass through unchanged.
#include "input/GuiInput.h"

namespace CEGUI {
class GUIContext;
}

class CGuiContextInput final : public CGuiInput {
 public:
  explicit CGuiContextInput(CEGUI::GUIContext& context) : m_context(context) {}

  void InjectMousePosition(float x, float y) override;
  void InjectMouseMove(float dx, float dy) override;
  void InjectMouseButtonDown(int button) override;
  void InjectMouseButtonUp(int button) override;
  void InjectMouseWheelChange(float delta) override;
  void InjectChar(uint32_t character) override;
  void InjectKeyDown(uint32_t key) override;
  void InjectKeyUp(uint32_t key) override;

 private:
  CEGUI::GUIContext& m_context;
};
