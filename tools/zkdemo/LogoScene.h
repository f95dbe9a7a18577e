#pragma once
// The studio logo the game shows at start-up: a textured, self-lit panel that holds still for
// three seconds and then shrinks away within one more, seen by a camera with a light behind it.
// The game draws the logo scene every frame while the logo is on, so the logo must leave the
// view by itself.
#include <cstdint>
#include <string>

#include "ImageWriter.h"

class DemoEngine;

class LogoScene {
 public:
  static constexpr float kFramesPerSecond = 30.0f;
  static constexpr float kHoldSeconds = 3.0f;
  static constexpr float kShrinkSeconds = 1.0f;
  // The texture's dominant colour (red, green, blue).
  static constexpr uint8_t kColour[3] = {236, 112, 20};

  // The logo's picture: the dominant colour with a darker frame and bars of lettering.
  static RgbaImage Picture();

  // Writes "<folder>/logo.zks", "<folder>/Objects/logo.zko" and "<folder>/Textures/logo.png";
  // false when any failed.
  static bool Write(DemoEngine& engine, const std::string& folder);
};
