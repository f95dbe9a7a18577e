#pragma once
// Property reads both textured fonts make.
#include <windef.h>

#include "framework/Properties.h"

// The clear flags the fonts draw their queue with.
inline constexpr DWORD kFontClearFlags = 2;

// Whether the property holds a value.
bool geHasFontProperty(const geCProperties& properties, const char* szName);
// A scale property read as a double and kept as a float, or the default when it is not set.
float geReadFontScale(const geCProperties& properties, const char* szName, float fDefault);
