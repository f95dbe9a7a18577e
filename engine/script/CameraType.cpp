#include "script/CameraType.h"

#include "ZKDXInterface.h"
#include "script/ScriptGlue.h"
#include "script/ScriptRegistrar.h"
#include "script/ScriptTypeRows.h"

using ScriptGlue::Method;
using ScriptGlue::MethodWith;

bool RegisterCameraType(CScriptRegistrar& registrar) {
  CScriptRegistrar::SourceScope source(registrar, "CameraType");
  using Camera = CCameraInterface;
  CScriptTypeRows c(registrar, "CCameraInterface", CScriptTypeRows::kInterface);
  c.Type(0, ScriptGlue::kEngineObjectFlags);
  c.Method("uint GetParentNumber()", Method<&Camera::GetParentNumber>());
  c.Method("uint GetTagetNumber()", Method<&Camera::GetTagetNumber>());
  c.Method("CWorldObjectInterface@ GetParentObject()",
           MethodWith<&Camera::GetParentObject, 1u>());
  c.Method("CWorldObjectInterface@ GetTargetObject()",
           MethodWith<&Camera::GetTargetObject, 1u>());
  c.Method("float GetAspect()", Method<&Camera::GetAspect>());
  c.Method("float GetXScreenCoordinate()", Method<&Camera::GetXScreenCoordinate>());
  c.Method("float GetYScreenCoordinate()", Method<&Camera::GetYScreenCoordinate>());
  c.Method("float GetNearClipPlane()", Method<&Camera::GetNearClipPlane>());
  c.Method("float GetFarClipPlane()", Method<&Camera::GetFarClipPlane>());
  c.Method("CMatrix &GetWorld2CameraMatrix(float)", Method<&Camera::GetWorld2CameraMatrix>());
  c.Method("CMatrix &GetProjectionMatrix()", Method<&Camera::GetProjectionMatrix>());
  c.Method("CMatrix &GetMatrix(float)", Method<&Camera::GetMatrix>());
  c.Method("CMatrix &GetRotationMatrix(float)", Method<&Camera::GetRotationMatrix>());
  c.Method("CVector3 &GetDirectionVector()", Method<&Camera::GetDirectionVector>());
  c.Method("CVector3 &GetPositionVector()", Method<&Camera::GetPositionVector>());
  c.Method("void GetPosition(CVector3 &out, uint)", Method<&Camera::GetPosition>());
  c.Method("void GetRotation(CVector3 &out, uint)", Method<&Camera::GetRotation>());
  c.Method("void SetPosition(const CVector3 &in)", Method<&Camera::SetPosition>());
  c.Method("void SetRotation(const CVector3 &in)", Method<&Camera::SetRotation>());
  c.Method("void Set()", Method<&Camera::Set>());
  c.Method("void SetNearClipPlane(float)", Method<&Camera::SetNearClipPlane>());
  c.Method("void SetFarClipPlane(float)", Method<&Camera::SetFarClipPlane>());
  // Null is meaningful for both links: the camera has none afterwards.
  c.Method("void SetParent(CWorldObjectInterface@)", Method<&Camera::SetParent>());
  c.Method("void SetTarget(CWorldObjectInterface@)", Method<&Camera::SetTarget>());
  c.Method("void PrepareMatrices(float)", Method<&Camera::PrepareMatrices>());
  c.Method("void UpdateHierarchy(float)", Method<&Camera::UpdateHierarchy>());
  c.Method("void GetUserDefinedData(VoidPtr &out, uint &out, uint &out)",
           Method<&Camera::GetUserDefinedData>());
  c.Method("void SetUserDefinedData(const VoidPtr &in, uint, uint)",
           Method<&Camera::SetUserDefinedData>());
  c.Method("CEnvelopeInterface@ GetZoomEnvelope()", MethodWith<&Camera::GetZoomEnvelope, 1u>());
  return registrar.Succeeded();
}
