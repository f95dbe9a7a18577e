#include "framework/ScriptMaths.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>

float Sin(float x) { return std::sin(x); }

float Cos(float x) { return std::cos(x); }

float Sqrt(float x) { return std::sqrt(x); }

float ArcCos(float x) { return std::acos(x); }

DWORD geRandom(DWORD dwMin, DWORD dwMax) {
  if (dwMax < dwMin) std::swap(dwMin, dwMax);
  // In 64 bits: the whole 32-bit range spans 2^32, which 32 bits would make 0.
  const uint64_t nSpan = uint64_t{dwMax} - dwMin + 1;
  return static_cast<DWORD>(dwMin + static_cast<uint64_t>(std::rand()) % nSpan);
}
