#pragma once
// One vertex of the GUI as the device draws it: pre-transformed screen position, diffuse colour
// and one set of texture coordinates (FVF XYZRHW | DIFFUSE | TEX1).
#include <windows.h>

struct GUIVertex {
  float x;
  float y;
  float z;
  float rhw;
  DWORD diffuse;  // ARGB
  float tu;
  float tv;
};
static_assert(sizeof(GUIVertex) == 28, "the device reads 28-byte GUI vertices");

constexpr DWORD kGUIVertexFVF = 0x144;
