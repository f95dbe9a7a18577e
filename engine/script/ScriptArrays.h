#pragma once
// Script arrays handed to engine operations that take a pointer and a count: the operation
// trusts the count, so the glue checks it against the array first, in 64 bits, and a failed
// check raises a script exception before anything reaches the engine.
//
// An array of numbers holds them side by side; an array of records holds each record apart,
// so records are gathered into a copy before an operation sees them as one block.
#include <angelscript.h>
#include <angelscript/scriptarray.h>

#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

#include "ZKDXRecords.h"
#include "d3d9.h"
#include "script/ScriptGlue.h"

namespace ScriptArrays {

using AngelScript::CScriptArray;

inline constexpr const char* kTooShort = "Array Shorter Than Its Count";
inline constexpr const char* kNoEndElement = "Vertex Elements Without The End Element";

// The numbers of an array, side by side, or null for a null or empty array.
template <typename T>
T* Data(CScriptArray* array) {
  static_assert(std::is_arithmetic_v<T>, "records are not side by side; use Records");
  return array != nullptr && array->GetSize() > 0 ? static_cast<T*>(array->At(0)) : nullptr;
}

// The first `count` records of the array (at most its size), side by side.
template <typename T>
std::vector<T> Records(CScriptArray* array, AngelScript::asUINT count) {
  std::vector<T> records;
  if (array == nullptr) return records;
  if (count > array->GetSize()) count = array->GetSize();
  records.resize(count);
  for (AngelScript::asUINT i = 0; i < count; ++i)
    std::memcpy(&records[i], array->At(i), sizeof(T));
  return records;
}

// Whether the array holds at least `needed` elements; raises the exception when not. A null
// array holds none.
inline bool Holds(CScriptArray* array, std::uint64_t needed) {
  const std::uint64_t size = array != nullptr ? array->GetSize() : 0;
  if (size >= needed) return true;
  ScriptGlue::RaiseException(kTooShort);
  return false;
}

// The engine ends an element list at Stream 255, Offset 0, Type UNUSED, whatever follows.
inline bool IsEndElement(const D3DVERTEXELEMENT9& element) {
  return element.Stream == 0xFF && element.Offset == 0 && element.Type == D3DDECLTYPE_UNUSED;
}

// The number of elements up to and with the end element, or 0 (exception raised) when the
// array has none.
inline AngelScript::asUINT ElementsWithEnd(CScriptArray* array) {
  for (AngelScript::asUINT i = 0; array != nullptr && i < array->GetSize(); ++i)
    if (IsEndElement(*static_cast<const D3DVERTEXELEMENT9*>(array->At(i)))) return i + 1;
  ScriptGlue::RaiseException(kNoEndElement);
  return 0;
}

// The elements through the end element, side by side; empty (exception raised) without it.
inline std::vector<D3DVERTEXELEMENT9> Elements(CScriptArray* array) {
  return Records<D3DVERTEXELEMENT9>(array, ElementsWithEnd(array));
}

// Makes the script's array hold exactly `count` elements copied from `source` (numbers,
// records or engine handles), so that it outlives any engine buffer they came from.
template <typename T>
void Assign(CScriptArray* array, const T* source, AngelScript::asUINT count) {
  if (array == nullptr) return;
  if (source == nullptr) count = 0;
  array->Resize(count);
  for (AngelScript::asUINT i = 0; i < count; ++i) std::memcpy(array->At(i), &source[i], sizeof(T));
}

// A new script array of `declaration` ("array<uint16>") holding `count` elements copied from
// `source` (zeros without one); null outside a script. The script takes over the array's one
// reference.
template <typename T>
CScriptArray* Copy(const char* declaration, const T* source, AngelScript::asUINT count) {
  AngelScript::asIScriptContext* context = AngelScript::asGetActiveContext();
  if (context == nullptr) return nullptr;
  AngelScript::asITypeInfo* type = context->GetEngine()->GetTypeInfoByDecl(declaration);
  CScriptArray* array = type != nullptr ? CScriptArray::Create(type, count) : nullptr;
  if (array != nullptr && source != nullptr) Assign(array, source, count);
  return array;
}

// The parameters a shader is created with: `count` records of the array, each name ended;
// false (exception raised) when the array holds fewer.
inline bool ShaderParameters(CScriptArray* parameters, AngelScript::asUINT count,
                             std::vector<ShaderParameter>& out) {
  if (count > 0 && !Holds(parameters, count)) return false;
  out = Records<ShaderParameter>(parameters, count);
  for (ShaderParameter& parameter : out)
    parameter.szParameterName[sizeof parameter.szParameterName - 1] = '\0';
  return true;
}

}  // namespace ScriptArrays
