#include "script/LightTypes.h"

#include "ZKDXInterface.h"
#include "script/ScriptArrays.h"
#include "script/ScriptGlue.h"
#include "script/ScriptRegistrar.h"
#include "script/ScriptTypeRows.h"

using namespace AngelScript;
using ScriptGlue::Function;
using ScriptGlue::kRejectNull;
using ScriptGlue::Method;
using ScriptGlue::MethodWith;
using ScriptGlue::Overload;
using ScriptGlue::Procedure;

namespace {

constexpr auto kInterface = CScriptTypeRows::kInterface;

// The box's corners change with its next transform: scripts get a copy.
CScriptArray* GetPoints(CLightBoundVolumeInterface* volume) {
  return ScriptArrays::Copy("array<CVector4>", volume->GetPoints(), 8);
}

void RegisterBoundVolume(CScriptRegistrar& registrar) {
  using Volume = CLightBoundVolumeInterface;
  CScriptTypeRows v(registrar, "CLightBoundVolumeInterface", kInterface);
  v.Type(0, ScriptGlue::kEngineObjectFlags);
  v.Method("void Transform(const CMatrix &in)", Method<&Volume::Transform>());
  v.Method("uint8 CheckVisibility(const CMatrix &in)", Method<&Volume::CheckVisibility>());
  v.Method("void GetMinTransformed(CVector3 &out)", Method<&Volume::GetMinTransformed>());
  v.Method("void GetMaxTransformed(CVector3 &out)", Method<&Volume::GetMaxTransformed>());
  v.Method("void GetMin(CVector3 &out)", Procedure<&Volume::GetMin>());
  v.Method("void GetMax(CVector3 &out)", Procedure<&Volume::GetMax>());
  v.Method("array<CVector4>@ GetPoints()", Function<&GetPoints>(asCALL_CDECL_OBJFIRST), 10);
  v.Method("void GetPosition(CVector3 &out)", Procedure<&Volume::GetPosition>());
  v.Method("void GetTransformedPosition(CVector3 &out)",
           Procedure<&Volume::GetTransformedPosition>());
  v.Method("void GetExtents(CVector3 &out)", Procedure<&Volume::GetExtents>());
  v.Method("uint CheckAACollision(CLightBoundVolumeInterface@, const CMatrix &in)",
           Method<Overload<UINT(CLightBoundVolumeInterface*, CMatrix&)>(&Volume::CheckAACollision),
                  kRejectNull>(),
           15);
  v.Method("uint CheckAACollision(CMeshBoundVolumeInterface@, const CMatrix &in)",
           Method<Overload<UINT(CMeshBoundVolumeInterface*, CMatrix&)>(&Volume::CheckAACollision),
                  kRejectNull>());
}

void RegisterLight(CScriptRegistrar& registrar) {
  using Light = CLightInterface;
  CScriptTypeRows l(registrar, "CLightInterface", kInterface);
  l.Type(0, ScriptGlue::kEngineObjectFlags);
  l.Method("D3DLIGHT9 &GetD3DLightProperties()", Method<&Light::GetD3DLightProperties>());
  l.Method("CWorldObjectInterface@ GetParentObject()", MethodWith<&Light::GetParentObject, 1u>());
  l.Method("CWorldObjectInterface@ GetTargetObject()", MethodWith<&Light::GetTargetObject, 1u>());
  l.Method("CSceneInterface@ GetParentScene()", Method<&Light::GetParentScene>());
  l.Method("CMatrix &GetMatrix(float)", Method<&Light::GetMatrix>());
  l.Method("CMatrix &GetRotationMatrix(float)", Method<&Light::GetRotationMatrix>());
  l.Method("CMatrix &GetProjectionMatrix()", Method<&Light::GetProjectionMatrix>());
  l.Method("uint GetFallOffType()", Method<&Light::GetFallOffType>());
  l.Method("uint GetColor()", Method<&Light::GetColor>());
  l.Method("uint16 GetType()", Method<&Light::GetType>());
  l.Method("uint16 GetNumber()", Method<&Light::GetNumber>());
  l.Method("uint GetIsFlare()", Method<&Light::GetIsFlare>());
  l.Method("bstr GetName()", Method<&Light::GetName>());
  l.Method("float GetFrame()", Method<&Light::GetFrame>());
  l.Method("void GetUserDefinedData(VoidPtr &out, uint &out, uint &out)",
           Method<&Light::GetUserDefinedData>(), 21);
  l.Method("void SetUserDefinedData(const VoidPtr &in, uint, uint)",
           Method<&Light::SetUserDefinedData>(), 16);
  l.Method("void GetPosition(CVector3 &out, uint)", Method<&Light::GetPosition>());
  l.Method("void GetRotation(CVector3 &out, uint)", Method<&Light::GetRotation>());
  l.Method("void SetPosition(const CVector3 &in)", Method<&Light::SetPosition>());
  l.Method("void SetRotation(const CVector3 &in)", Method<&Light::SetRotation>());
  // Null is meaningful for both links: the light has none afterwards.
  l.Method("void SetParentObject(CWorldObjectInterface@)", Method<&Light::SetParentObject>(), 24);
  l.Method("void SetTargetObject(CWorldObjectInterface@)", Method<&Light::SetTargetObject>());
  l.Method("void SetFallOffType(uint)", Method<&Light::SetFallOffType>());
  l.Method("void SetColor(uint)", Method<&Light::SetColor>());
  l.Method("void SetType(uint16)", Method<&Light::SetType>());
  l.Method("void SetIsFlare(uint)", Method<&Light::SetIsFlare>());
  l.Method("CEnvelopeInterface@ GetFlareSizeEnvelope()",
           MethodWith<&Light::GetFlareSizeEnvelope, 1u>());
  l.Method("CEnvelopeInterface@ GetConeAngleEnvelope()",
           MethodWith<&Light::GetConeAngleEnvelope, 1u>(), 30);
  l.Method("CEnvelopeInterface@ GetRangeEnvelope()", MethodWith<&Light::GetRangeEnvelope, 1u>(),
           30);
  l.Method("CEnvelopeInterface@ GetIntensityEnvelope()",
           MethodWith<&Light::GetIntensityEnvelope, 1u>(), 30);
}

}  // namespace

bool RegisterLightTypes(CScriptRegistrar& registrar) {
  CScriptRegistrar::SourceScope source(registrar, "LightTypes");
  RegisterBoundVolume(registrar);
  RegisterLight(registrar);
  return registrar.Succeeded();
}
