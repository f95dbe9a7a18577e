#pragma once
// Relative addressing of float constants (c[a0.x + n]) in assembled code, which carries no
// constant table. MojoShader translates such a read only when a table says which registers form
// the indexed array, so one is written in: a single float array from the lowest register read
// relatively to the last constant register of the program's kind, which is the range Direct3D
// lets the index reach.
#include <string>
#include <vector>

#include "d3d9.h"

class CRelativeConstantTable {
 public:
  static constexpr UINT kVertexFloatRegisters = 256;
  static constexpr UINT kPixelFloatRegisters = 224;

  // Adds the table to `tokens` (whole bytecode, version token first) when it reads float
  // constants relatively and has no constant table of its own; otherwise leaves it unchanged.
  static void AddWhereNeeded(std::vector<DWORD>* tokens);

 private:
  // The lowest float register read relatively, or false when none is.
  static bool LowestRelativeRegister(const std::vector<DWORD>& tokens, UINT* lowest);
  static bool HasConstantTable(const std::vector<DWORD>& tokens);
  static std::vector<DWORD> Comment(DWORD version, UINT firstRegister, UINT count);
};
