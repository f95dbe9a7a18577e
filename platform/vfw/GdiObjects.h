#pragma once
// The GDI objects behind the handles that GDI calls hand out, shared with DrawDib.
#include "windef.h"

class CMemoryDC;

__attribute__((visibility("hidden"))) CMemoryDC* FindMemoryDC(HDC hdc);
