#pragma once
// Immediate values of shader lines: numbers written between "<" and ">", separated by commas,
// with signs, fractions and exponents, read the same whatever the locale. The line is read as
// text, since the tokenizer splits "0.5" and "-1" into several words.
#include "windef.h"

// The numbers between the first "<" of `line` and the ">" after it, at most `capacity` of them;
// false when a bracket is missing, there is no number, there are more than `capacity`, or
// anything else stands between the brackets.
bool ReadImmediateFloats(const char* line, float* values, UINT capacity, UINT* count);
// As floats, for words: decimal (a negative one wraps to 32 bits) or "0x" hexadecimal, each
// within 32 bits.
bool ReadImmediateDwords(const char* line, DWORD* values, UINT capacity, UINT* count);
// One number written on its own, without brackets, as a condition's operand is: the whole of
// `text` apart from surrounding blanks. False when it is not one plain number.
bool ReadImmediateFloat(const char* text, float* value);
