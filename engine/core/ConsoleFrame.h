#pragma once
// What the frame-rate display needs of the console: whether it is open, and drawing it (with the
// whole GUI) for the frame. The console implements it; by default there is none, never open.
class CConsoleFrame {
 public:
  virtual bool IsOpen() const = 0;
  // Draws the open console for the frame, its title showing the frame rate.
  virtual int Render(float fps) = 0;

  static CConsoleFrame& Default();

 protected:
  ~CConsoleFrame() = default;
};
