#pragma once
// The four images the engine carries in its own module: the light attenuation in x and y and
// in z, the spot-light mask and the flare. They are made on first use and registered as image
// resources of the engine's module, where the D3DX resource loaders find them.
#include "windef.h"

inline constexpr char kAttenuationXYImage[] = "ATTENUATIONXY";  // PNG, 256 x 256
inline constexpr char kAttenuationZImage[] = "ATTENUATIONZ";    // PNG, 256 x 1
inline constexpr char kSpotImage[] = "SPOT";                    // PNG, 64 x 64
inline constexpr char kFlareImage[] = "FLARE";                  // JPEG, 256 x 256

// The module that holds the images (the engine's), with the images registered.
HMODULE GetEngineImageModule();
