#pragma once
// Test control of the shell part of the platform: the wallpaper request that
// SystemParametersInfoA(SPI_SETDESKWALLPAPER) recorded instead of applying it.
#include "zkplatform/ZkApi.h"

// The path of the last wallpaper request of this process, "" when there was none.
ZKAPI const char* ZkTestLastWallpaper(void);
// Forgets the recorded request.
ZKAPI void ZkTestResetWallpaper(void);
