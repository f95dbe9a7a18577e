#pragma once
// D3DX 9: the maths, core, texture and (when present) shader parts of the library.
#include <cfloat>

#include "d3d9.h"

#define D3DX_DEFAULT ((UINT)-1)
#define D3DX_DEFAULT_NONPOW2 ((UINT)-2)
#define D3DX_DEFAULT_FLOAT FLT_MAX
#define D3DX_FROM_FILE ((UINT)-3)
#define D3DFMT_FROM_FILE ((D3DFORMAT)-3)

#include "d3dx9core.h"
#include "d3dx9math.h"
#include "d3dx9tex.h"
#if __has_include("d3dx9shader.h")
#include "d3dx9shader.h"
#endif
