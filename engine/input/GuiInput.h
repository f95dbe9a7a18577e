#pragma once
// What the engine hands the GUI library of its console and tool windows: mouse, wheel, character
// and key input. Every call comes from the main thread, the thread that renders with the library.
#include <cstdint>

class CGuiInput {
 public:
  virtual void InjectMousePosition(float x, float y) = 0;
  virtual void InjectMouseMove(float dx, float dy) = 0;
  // Buttons: 0 left, 1 right, 2 middle.
  virtual void InjectMouseButtonDown(int button) = 0;
  virtual void InjectMouseButtonUp(int button) = 0;
  // One notch of the wheel is 1.0.
  virtual void InjectMouseWheelChange(float delta) = 0;
  virtual void InjectChar(uint32_t character) = 0;
  // Keys are DirectInput key codes.
  virtual void InjectKeyDown(uint32_t key) = 0;
  virtual void InjectKeyUp(uint32_t key) = 0;

 protected:
  ~CGuiInput() = default;
};
