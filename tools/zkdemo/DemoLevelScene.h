#pragma once
// A level's own scene: the floor under a map of width × height cells (x along the width, z
// along the height, one cell a unit square, its top at y = 0, its texture tiled once per cell),
// three cameras for the game to drive, a directional light from above and a point light over
// the middle of the map, 30 frames per second over two seconds.
#include <string>

class DemoEngine;

class DemoLevelScene {
 public:
  static constexpr float kFramesPerSecond = 30.0f;
  static constexpr unsigned kLastFrame = 60;
  static constexpr float kPointLightHeight = 3.0f;

  // Writes "<folder>/<name>.zks" with its object file and "Textures/floor.png"; false when any
  // could not be written.
  static bool Write(DemoEngine& engine, const std::string& folder, const char* name, int width,
                    int height);
};
