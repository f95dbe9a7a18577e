#pragma once
// The maths the game's scripts call by these names, and the script random number.
#include <windef.h>

float Sin(float x);
float Cos(float x);
float Sqrt(float x);
float ArcCos(float x);

// A pseudo-random number from min to max, both included; the bounds may come in either order.
DWORD geRandom(DWORD dwMin, DWORD dwMax);

// Registers the scripts' maths library (M_PI and the float functions) as global declarations.
// Its results are not looked at: the names are the library's own and cannot clash.
void geRegisterScriptMaths();
