#pragma once
// The symbolic name and the description of a result code (Direct3D's and the common ones).
#include "windef.h"

// "D3DERR_INVALIDCALL" for D3DERR_INVALIDCALL; "Unknown" for a code it does not know.
ZKAPI const char* DXGetErrorString9A(HRESULT hr);
// A sentence saying what the code means; "n/a" for a code it does not know.
ZKAPI const char* DXGetErrorDescription9A(HRESULT hr);

#define DXGetErrorString9 DXGetErrorString9A
#define DXGetErrorDescription9 DXGetErrorDescription9A
