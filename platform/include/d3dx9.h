#pragma once
// D3DX 9: the maths, core, effect state manager, mesh, texture and (when present) shader parts of the library.
#include "d3d9.h"
#include "d3dx9core.h"
#include "d3dx9effect.h"
#include "d3dx9math.h"
#include "d3dx9mesh.h"
#include "d3dx9tex.h"
#if __has_include("d3dx9shader.h")
#include "d3dx9shader.h"
#endif
