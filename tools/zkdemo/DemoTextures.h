#pragma once
// The demo's pictures, made in code. Each object has a dominant colour of its own, listed here,
// so that a screenshot can be probed for it: a crate on screen is a patch of kCrate, the logo a
// patch of the logo's colour, and so on.
#include <cstdint>
#include <string>

#include "ImageWriter.h"

struct DemoColour {
  uint8_t r, g, b;
};

class DemoTextures {
 public:
  static constexpr DemoColour kFloor = {70, 110, 70};          // grey green
  static constexpr DemoColour kWall = {150, 150, 165};         // light slate
  static constexpr DemoColour kWetFloor = {40, 90, 170};       // water blue
  static constexpr DemoColour kCrate = {200, 40, 40};          // red
  static constexpr DemoColour kPlayer = {240, 220, 40};        // yellow
  static constexpr DemoColour kSubPlayer = {40, 200, 220};     // cyan
  static constexpr DemoColour kEntity = {160, 60, 200};        // violet
  static constexpr DemoColour kSocket = {250, 250, 250};       // white
  static constexpr DemoColour kCable = {255, 120, 0};          // orange
  static constexpr DemoColour kMenuBackground = {20, 30, 90};  // navy
  static constexpr DemoColour kMenuItem = {230, 230, 230};
  static constexpr DemoColour kSplash = {30, 140, 60};  // green
  static constexpr DemoColour kProgress = {220, 200, 20};

  // A tile of `colour` with a darker grid line along its edges and a lighter cross, so that
  // the texture's orientation and repetition show.
  static RgbaImage Tile(DemoColour colour, uint32_t size);
  // A top-down gradient from `top` to `bottom`.
  static RgbaImage Gradient(DemoColour top, DemoColour bottom, uint32_t width, uint32_t height);
  // An A8R8G8B8 DDS file of the image.
  static std::string Dds(const RgbaImage& image);

  // Writes `image` as a PNG file, making its folders; false when it could not be written.
  static bool WritePng(const std::string& path, const RgbaImage& image);

  // Writes the pictures that belong to no scene below `folder`: "menu/background.png",
  // "menu/item.png", "empty.dds", "game/commercials/comm_01.dds" and the glyph atlas
  // "fonts/manual.png"; false, with a message on standard error, when any could not be written.
  static bool Write(const std::string& folder);
};
