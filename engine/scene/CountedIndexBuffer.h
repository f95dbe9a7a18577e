#pragma once
// The counted index buffer the scene's owners keep; the Direct3D layer that makes them defines it.
#include "d3d/CountedIndexBuffer.h"
