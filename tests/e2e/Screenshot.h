#pragma once
// A screenshot the game wrote, probed for the demo's object colours. A pixel counts as a colour
// when its hue matches: each channel divided by the brightest one lies within a tolerance of the
// colour's, so lighting and shading, which scale a surface's channels together, do not matter.
#include <cstdint>
#include <string>
#include <vector>

struct ProbeColour {
  const char* name;
  uint8_t r, g, b;
};

class Screenshot {
 public:
  // A part of the picture, in fractions of its width and height from the top left.
  struct Region {
    double left = 0, top = 0, right = 1, bottom = 1;
  };
  // Where a colour lies: its pixel count and the mean row of those pixels (0 at the top, 1 at the
  // bottom; -1 when there are none).
  struct Patch {
    int pixels = 0;
    double row = -1;
  };

  // Loads the PNG at `path`; Loaded() is false when it cannot be read.
  explicit Screenshot(const std::string& path);

  bool Loaded() const { return m_width > 0; }
  const std::string& Path() const { return m_path; }
  // The share of the region's (or the whole picture's) pixels that are of `colour`.
  double Share(const ProbeColour& colour, Region region) const;
  double Share(const ProbeColour& colour) const { return Share(colour, Region{0, 0, 1, 1}); }
  Patch Find(const ProbeColour& colour) const;

 private:
  bool Matches(const ProbeColour& colour, int x, int y) const;

  std::string m_path;
  int m_width = 0;
  int m_height = 0;
  std::vector<uint8_t> m_rgb;
};
