#pragma once
// The value a shader variable holds: a type word first, where the value comes from, and one
// field for each kind of value. Records are copied whole; a fresh record is all zero.
#include <cstddef>

#include "d3dx9math.h"
#include "windef.h"

// Value types of a record. There is no type 6.
enum : UINT {
  SHADER_VALUE_MATRIX = 1,  // a matrix held by value
  SHADER_VALUE_VECTOR = 2,
  SHADER_VALUE_DWORD = 3,
  SHADER_VALUE_FLOAT = 4,
  SHADER_VALUE_MATERIAL_VALUE = 5,  // 17 floats held by value
  SHADER_VALUE_TEXTURE = 7,
  SHADER_VALUE_DECLARATION = 8,     // a vertex-element list ended by its end marker
  SHADER_VALUE_MATRIX_REFERENCE = 9,
  SHADER_VALUE_MATERIAL = 10,
  SHADER_VALUE_SQUARE_RENDER_TEXTURE = 11,
  SHADER_VALUE_CUBE_RENDER_TEXTURE = 12,
  SHADER_VALUE_TABLE = 13,
};

// Where a value comes from; 0 for an immediate, another variable or an expression.
enum : WORD {
  SHADER_SOURCE_NONE = 0,
  SHADER_SOURCE_SURFACE = 1,
  SHADER_SOURCE_MESH = 2,
  SHADER_SOURCE_CAMERA = 3,
  SHADER_SOURCE_SCENE = 4,
  SHADER_SOURCE_LIGHT = 5,
  SHADER_SOURCE_SYSTEM = 6,
};

struct ShaderVariableValue {
  static constexpr int kMaterialFloats = 17;

  UINT dwType;
  WORD wSource;
  WORD wValueID;
  D3DXMATRIX mtxValue;
  D3DXVECTOR4 vecValue;
  float fMaterial[kMaterialFloats];
  union {
    DWORD dwValue;
    float fValue;
  } scalar;
  void* pValue;  // the referenced object of the reference types
};

// Forty 32-bit words ahead of the reference, which is as wide as the machine makes it.
static_assert(offsetof(ShaderVariableValue, pValue) == 40 * 4);
