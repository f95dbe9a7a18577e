#include "framework/ScriptMaths.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "framework/ScriptIndex.h"

using namespace AngelScript;

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

namespace {

float g_fPi = 3.1415927f;

float Abs(float x) { return std::fabs(x); }
float ArcSin(float x) { return std::asin(x); }
float Tan(float x) { return std::tan(x); }
float ArcTan(float x) { return std::atan2(x, 1.0f); }
float ArcTan2(float y, float x) { return std::atan2(y, x); }
float NaturalLog(float x) { return std::log(x); }
float Pow(float x, float y) { return std::pow(x, y); }
float Rand() { return static_cast<float>(std::rand()) * (1.0f / 32767.0f); }
// Ties go to the first argument.
float Min(float a, float b) { return a <= b ? a : b; }
float Max(float a, float b) { return a < b ? b : a; }
float Floor(float x) { return std::floor(x); }
float Ceil(float x) { return std::ceil(x); }
// Halves round up: -0.5 gives 0, 2.5 gives 3.
float Round(float x) { return std::floor(x + 0.5f); }
float Clamp(float value, float low, float high) {
  if (value < low) return low;
  return value > high ? high : value;
}

}  // namespace

void geRegisterScriptMaths() {
  auto function = [](const char* szDeclaration, const asSFuncPtr& pointer) {
    geRegisterGlobalFunction(szDeclaration, asCALL_CDECL, "", pointer);
  };
  geRegisterGlobalProperty("const float M_PI", &g_fPi, "");
  function("float Abs(float)", asFUNCTION(Abs));
  function("float Sin(float)", asFUNCTION(Sin));
  function("float Cos(float)", asFUNCTION(Cos));
  function("float Sqrt(float)", asFUNCTION(Sqrt));
  function("float ArcSin(float)", asFUNCTION(ArcSin));
  function("float ArcCos(float)", asFUNCTION(ArcCos));
  function("float Tan(float)", asFUNCTION(Tan));
  function("float ArcTan(float)", asFUNCTION(ArcTan));
  function("float ArcTan2(float, float)", asFUNCTION(ArcTan2));
  function("float Log(float)", asFUNCTION(NaturalLog));
  function("float Pow(float, float)", asFUNCTION(Pow));
  function("float Rand()", asFUNCTION(Rand));
  function("float Min(float, float)", asFUNCTION(Min));
  function("float Max(float, float)", asFUNCTION(Max));
  function("float Floor(float)", asFUNCTION(Floor));
  function("float Ceil(float)", asFUNCTION(Ceil));
  function("float Round(float)", asFUNCTION(Round));
  function("float Clamp(float, float, float)", asFUNCTION(Clamp));
}
