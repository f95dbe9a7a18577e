#include "script/NullTypes.h"

#include "ZKDXInterface.h"
#include "script/ScriptGlue.h"
#include "script/ScriptRegistrar.h"
#include "script/ScriptTypeRows.h"

using namespace AngelScript;
using ScriptGlue::Function;
using ScriptGlue::Method;
using ScriptGlue::Overload;

namespace {

constexpr auto kInterface = CScriptTypeRows::kInterface;
// A type the options know nothing of: they refuse it with their own warning and keep all.
constexpr UINT kRefusedOptionType = 0;

// Type 1 holds a number, which a stream handle cannot carry: scripts can only clear it. Type 8
// is the null's sprite, given by CreateSpriteForNullObject; a stream stored there would be
// drawn as a sprite, so the options refuse it as they refuse any type they do not know.
void SetOption(CNullOptionsInterface* options, UINT type, TonarisStream* stream, UINT flags) {
  if (type == NULL_OPTION_VALUE && stream != nullptr) {
    ScriptGlue::RaiseException("A Number Option Is Cleared With A Null Stream");
    return;
  }
  if (type == NULL_OPTION_SPRITE) {
    type = kRefusedOptionType;
    stream = nullptr;
  }
  options->SetOption(type, stream, flags);
}

}  // namespace

bool RegisterNullTypes(CScriptRegistrar& registrar) {
  CScriptRegistrar::SourceScope source(registrar, "NullTypes");

  CScriptTypeRows options(registrar, "CNullOptionsInterface", kInterface);
  options.Type(0, ScriptGlue::kEngineObjectFlags);

  using Null = CNullInterface;
  CScriptTypeRows n(registrar, "CNullInterface", kInterface);
  n.Known();
  n.Method("void PrepareMatrices(float)", Method<&Null::PrepareMatrices>());
  n.Method("void UpdateHierarchy(float)", Method<&Null::UpdateHierarchy>());
  n.Method("void GetUserDefinedData(VoidPtr &out, uint &out, uint &out)",
           Method<&Null::GetUserDefinedData>());
  n.Method("void SetUserDefinedData(const VoidPtr &in, uint, uint)",
           Method<&Null::SetUserDefinedData>());
  n.Method("CMatrix &GetMatrix(float)", Method<&Null::GetMatrix>());
  n.Method("CMatrix &GetRotationMatrix(float)", Method<&Null::GetRotationMatrix>());
  n.Method("void GetPosition(CVector3 &out, uint)", Method<&Null::GetPosition>());
  n.Method("void GetRotation(CVector3 &out, uint)", Method<&Null::GetRotation>());
  n.Method("void GetScale(CVector3 &out)", Method<&Null::GetScale>());
  n.Method("void SetPosition(const CVector3 &in)", Method<&Null::SetPosition>());
  n.Method("void SetRotation(const CVector3 &in)", Method<&Null::SetRotation>());
  n.Method("void SetScale(const CVector3 &in)", Method<&Null::SetScale>());
  n.Method("bstr GetName()", Method<&Null::GetName>());
  n.Method("CWorldObjectInterface@ GetParentObject()",
           Method<Overload<CWorldObjectInterface*()>(&Null::GetParentObject)>());
  n.Method("float GetFrame()", Method<&Null::GetFrame>());
  // Null is meaningful: the null has no parent afterwards.
  n.Method("void SetParentObject(CWorldObjectInterface@)", Method<&Null::SetParentObject>());
  n.Method("CNullOptionsInterface@ GetNullOptions()", Method<&Null::GetNullOptions>(), 17);

  CScriptTypeRows stream(registrar, "TonarisStream", kInterface);
  stream.Type(0, ScriptGlue::kEngineObjectFlags);

  using Options = CNullOptionsInterface;
  options.Method("void SetOption(uint, TonarisStream@, uint)",
                 Function<&SetOption>(asCALL_CDECL_OBJFIRST));
  options.Method("uint GetOptionsTypes()", Method<&Options::GetOptionsTypes>());
  options.Method("TonarisStream@ GetTonarisStreamOption()",
                 Method<&Options::GetTonarisStreamOption>());
  return registrar.Succeeded();
}
