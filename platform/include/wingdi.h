#pragma once
// GDI: device contexts, bitmaps and DIB sections.
#include "windef.h"
