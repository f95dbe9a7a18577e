#include "script/D3DStructTypes.h"

#include <cstddef>

#include "ZKDXMath.h"
#include "d3d9.h"
#include "script/ScriptGlue.h"
#include "script/ScriptRegistrar.h"
#include "script/ScriptTypeRows.h"
#include "windef.h"

using namespace AngelScript;
using ScriptGlue::Construct;
using ScriptGlue::PlainValueFlags;

namespace {

// Colours and vectors are read through the engine's vector types: same floats, same order.
static_assert(sizeof(CVector4) == sizeof(D3DCOLORVALUE) && sizeof(CVector3) == sizeof(D3DVECTOR));

// Registers `T` as a record; a record a script declares starts cleared, so that a light or a
// viewport never reaches the device with whatever the stack held.
template <typename T>
bool Record(CScriptTypeRows& rows, asDWORD layout) {
  return rows.Type(sizeof(T), PlainValueFlags<T>(layout));
}

}  // namespace

bool RegisterD3DStructTypes(CScriptRegistrar& registrar) {
  CScriptRegistrar::SourceScope source(registrar, "InitD3DStructs");
  using Kind = CScriptTypeRows;

  // Registered in the order scripts have always seen them, not the fields' order.
  CScriptTypeRows rect(registrar, "RECT", Kind::kRecord);
  Record<RECT>(rect, asOBJ_APP_CLASS_ALLINTS);
  rect.Property("int left", offsetof(RECT, left));
  rect.Property("int right", offsetof(RECT, right));
  rect.Property("int top", offsetof(RECT, top));
  rect.Property("int bottom", offsetof(RECT, bottom));
  rect.ClearingConstructor(Construct<RECT>());

  CScriptTypeRows viewport(registrar, "D3DVIEWPORT9", Kind::kRecord);
  Record<D3DVIEWPORT9>(viewport, 0);
  viewport.Property("uint Height", offsetof(D3DVIEWPORT9, Height));
  viewport.Property("float MaxZ", offsetof(D3DVIEWPORT9, MaxZ));
  viewport.Property("float MinZ", offsetof(D3DVIEWPORT9, MinZ));
  viewport.Property("uint Width", offsetof(D3DVIEWPORT9, Width));
  viewport.Property("uint X", offsetof(D3DVIEWPORT9, X));
  viewport.Property("uint Y", offsetof(D3DVIEWPORT9, Y));
  viewport.ClearingConstructor(Construct<D3DVIEWPORT9>());

  CScriptTypeRows light(registrar, "D3DLIGHT9", Kind::kRecord);
  Record<D3DLIGHT9>(light, 0);
  light.Property("uint Type", offsetof(D3DLIGHT9, Type));
  light.Property("CVector4 Diffuse", offsetof(D3DLIGHT9, Diffuse));
  light.Property("CVector4 Specular", offsetof(D3DLIGHT9, Specular));
  light.Property("CVector4 Ambient", offsetof(D3DLIGHT9, Ambient));
  light.Property("CVector3 Position", offsetof(D3DLIGHT9, Position));
  light.Property("CVector3 Direction", offsetof(D3DLIGHT9, Direction));
  light.Property("float Range", offsetof(D3DLIGHT9, Range));
  light.Property("float Falloff", offsetof(D3DLIGHT9, Falloff));
  light.Property("float Attenuation0", offsetof(D3DLIGHT9, Attenuation0));
  light.Property("float Attenuation1", offsetof(D3DLIGHT9, Attenuation1));
  light.Property("float Attenuation2", offsetof(D3DLIGHT9, Attenuation2));
  light.Property("float Theta", offsetof(D3DLIGHT9, Theta));
  light.Property("float Phi", offsetof(D3DLIGHT9, Phi));
  light.ClearingConstructor(Construct<D3DLIGHT9>());

  CScriptTypeRows material(registrar, "D3DMATERIAL9", Kind::kRecord);
  Record<D3DMATERIAL9>(material, asOBJ_APP_CLASS_ALLFLOATS);
  material.Property("CVector4 Diffuse", offsetof(D3DMATERIAL9, Diffuse));
  material.Property("CVector4 Ambient", offsetof(D3DMATERIAL9, Ambient));
  material.Property("CVector4 Specular", offsetof(D3DMATERIAL9, Specular));
  material.Property("CVector4 Emissive", offsetof(D3DMATERIAL9, Emissive));
  material.Property("float Power", offsetof(D3DMATERIAL9, Power));
  material.ClearingConstructor(Construct<D3DMATERIAL9>());

  CScriptTypeRows element(registrar, "D3DVERTEXELEMENT9", Kind::kRecord);
  Record<D3DVERTEXELEMENT9>(element, asOBJ_APP_CLASS_ALLINTS);
  element.Property("uint16 Stream", offsetof(D3DVERTEXELEMENT9, Stream));
  element.Property("uint16 Offset", offsetof(D3DVERTEXELEMENT9, Offset));
  element.Property("uint8 Type", offsetof(D3DVERTEXELEMENT9, Type));
  element.Property("uint8 Method", offsetof(D3DVERTEXELEMENT9, Method));
  element.Property("uint8 Usage", offsetof(D3DVERTEXELEMENT9, Usage));
  element.Property("uint8 UsageIndex", offsetof(D3DVERTEXELEMENT9, UsageIndex));
  element.ClearingConstructor(Construct<D3DVERTEXELEMENT9>());
  return registrar.Succeeded();
}
