#pragma once
// The C-runtime extensions of the original platform that the engine and the game call
// (_stricmp, _strlwr, ...). Letter case is ASCII's, as in the "C" locale.
#include "windef.h"

ZKAPI int _stricmp(const char* a, const char* b);
ZKAPI int _strnicmp(const char* a, const char* b, size_t count);
// In place; return their argument (null stays null).
ZKAPI char* _strlwr(char* text);
ZKAPI char* _strupr(char* text);
