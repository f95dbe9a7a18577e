#pragma once
// Small services the game's scripts call: the wallpaper, the loaded level's ambient colour and
// further archives mounted as virtual disks.
#include <windef.h>

// A colour component as a byte: 1.0 or more is 255, 0.0 or less is 0, else c x 255 rounded.
BYTE AmbientComponent(float fValue);
// Red in bits 0-7, green 8-15, blue 16-23, as the engine's scene reads its ambient colour;
// alpha, which the scene does not keep, in bits 24-31.
UINT PackAmbientColor(float r, float g, float b, float a);

void SetWallpaper(const char* szFileName);
// Sets the ambient colour of the current level's scene; nothing without a level.
void SetAmbient(float r, float g, float b, float a);
// Mounts a data archive ("zkr" or "zkz", by its extension) with the password (empty for none),
// and logs the mount whatever the engine answered.
void AddVirtualDisk(const char* szFileName, const char* szPassword);
