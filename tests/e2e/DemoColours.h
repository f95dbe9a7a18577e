#pragma once
// The demo data's colours (tools/zkdemo): each object has one of its own, so that a screenshot
// shows where it is.
#include "Screenshot.h"

namespace demo_colours {

constexpr ProbeColour kLogo = {"logo", 236, 112, 20};
constexpr ProbeColour kMenuBackground = {"menu background", 20, 30, 90};
constexpr ProbeColour kFloor = {"floor", 70, 110, 70};
constexpr ProbeColour kWall = {"wall", 150, 150, 165};
constexpr ProbeColour kCrate = {"crate", 200, 40, 40};
constexpr ProbeColour kCable = {"cable", 255, 120, 0};

// The middle of the screen, where the logo stands.
constexpr Screenshot::Region kCentre = {0.4, 0.4, 0.6, 0.6};

}  // namespace demo_colours
