#include "scene/Camera.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "scene/CameraLightSource.h"
#include "scene/CameraMeshSource.h"
#include "scene/Envelope.h"
#include "scene/LookRotation.h"
#include "scene/Scene.h"
#include "scene/UpdateInputs.h"
#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "d3dx9math.h"

namespace {

constexpr const char* kSource = "ZK3DCameraProcessing";
// More visible lights than the fixed pipeline's eight are sorted for lighting model 1.
constexpr UINT kFixedFunctionLights = 8;

template <class TInterface>
TInterface* InterfaceOf(CWorldObject* object) {
  return object != nullptr ? dynamic_cast<TInterface*>(object->GetInterface()) : nullptr;
}

// The heading, pitch and bank that turn the +Z axis into the direction d. Zero angles for a
// direction of no length.
CVector3 AnglesOfDirection(const CVector3& d, float bank) {
  const float length = d.Length();
  if (!(length > 0.0f) || !std::isfinite(length)) return {0.0f, 0.0f, bank};
  return {std::atan2(d.x, d.z), -std::asin(std::clamp(d.y / length, -1.0f, 1.0f)), bank};
}

// Moves point a along the segment to b until its coordinate `axis` equals `value`.
void MoveEndTo(CVector4& a, const CVector4& b, float CVector4::*axis, float value) {
  const float t = (value - a.*axis) / (b.*axis - a.*axis);
  a = lerp(a, b, t);
  a.*axis = value;
}

// The segment test against -1 <= x, y <= 1, 0 <= z <= 1 (clip space after the divide).
bool SegmentVisible(CVector4 a, CVector4 b) {
  if (a.z > 1.0f && b.z > 1.0f) return false;
  if (a.z > 1.0f) MoveEndTo(a, b, &CVector4::z, 1.0f);
  if (b.z > 1.0f) MoveEndTo(b, a, &CVector4::z, 1.0f);
  if (a.z < 0.0f && b.z < 0.0f) return false;
  if (a.x < -1.0f && b.x < -1.0f) return false;
  if (a.x < -1.0f) MoveEndTo(a, b, &CVector4::x, -1.0f);
  if (b.x < -1.0f) MoveEndTo(b, a, &CVector4::x, -1.0f);
  if (a.x > 1.0f && b.x > 1.0f) return false;
  if (a.x > 1.0f) MoveEndTo(a, b, &CVector4::x, 1.0f);
  if (b.x > 1.0f) MoveEndTo(b, a, &CVector4::x, 1.0f);
  if (a.y > 1.0f && b.y > 1.0f) return false;
  if (a.y < -1.0f && b.y < -1.0f) return false;
  return true;
}

// A NaN distance sorts as the nearest, so the order stays strict.
float SortKey(float distance) { return std::isnan(distance) ? -INFINITY : distance; }

}  // namespace

CCamera::CCamera(CD3D9RendererInterface* renderer, CEngineLog* log, CScene* scene)
    : TWorldObject(scene, renderer, log, WORLD_OBJECT_CAMERA, GUARD_CAMERA),
      m_pZoom(std::make_unique<CEnvelope>(0, nullptr, kDefaultZoom)) {
  m_VisibleMeshes.reserve(m_dwVisibleMeshCapacity);
  m_VisibleLights.reserve(m_dwVisibleLightCapacity);
  m_mtxMatrix = CMatrix::Identity();
  const ZeKorbConfig* config = GetEngineContext()->pConfig;
  if (config != nullptr) {
    m_fScreenWidth = config->wWidth;
    m_fScreenHeight = config->wHeight;
  }
  ComputeAspect();
}

CCamera::CCamera(CD3D9RendererInterface* renderer, CEngineLog* log, UINT zoomIsEnvelope,
                 const CChannelEnvelope* zoomChannel, float zoomValue, UINT targetType,
                 UINT targetNumber)
    : CCamera(renderer, log, nullptr) {
  m_pZoom.reset(NewOrFatal<CEnvelope>("Error When Updating Camera",
                                       "Can't Create ZoomFactor Envelope", zoomIsEnvelope,
                                       zoomChannel, zoomValue));
  m_dwTargetType = targetType;
  m_dwTargetNumber = targetNumber;
}

CCamera::~CCamera() { LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "- (CCamera) Releasing\n"); }

void CCamera::ComputeAspect() {
  // Without a screen size (no video mode yet) the aspect stays what it was.
  if (!(m_fScreenWidth > 0.0f)) return;
  auto* renderer = static_cast<CD3D9RendererInterface*>(m_pRendererContext);
  const float letterbox = renderer != nullptr ? renderer->GetWideScreenFactor() : 0.0f;
  if (letterbox == 0.0f)
    m_fAspect = m_fScreenHeight / m_fScreenWidth;
  else
    m_fAspect =
        ((1.0f - letterbox) * m_fScreenHeight - letterbox * m_fScreenHeight) / m_fScreenWidth;
}

void CCamera::SetScreenCoordinates(float x, float y) {
  m_fScreenWidth = x;
  m_fScreenHeight = y;
  ComputeAspect();
}

// --- placement ---

CMatrix CCamera::LocalPlacement() {
  const CVector3 rotation = GetLocalRotation(*this, m_Motion);
  const CVector3 position = GetLocalPosition(*this, m_Motion);
  CMatrix placement;
  placement.SetRotateZ(rotation.z);
  placement.RotateX(rotation.y);
  placement.RotateY(rotation.x);
  placement.Move(position.x, position.y, position.z);
  return placement;
}

CMatrix CCamera::ParentMatrix(float frame) const {
  CWorldObject* parent = GetParent();
  if (frame != parent->GetFramePrepared()) {
    CMatrix matrix;
    parent->MotionToMatrix(&matrix, frame);
    return matrix;
  }
  return *parent->GetMatrix(frame);
}

void CCamera::PrepareMatrices(float frame) {
  if (m_dwFollowFrame == 0) frame = m_fFrameSet;
  if (GetGuard()->Update(frame) == 1) {
    m_pZoom->CalcStep(frame);
    m_Motion.Evaluate(frame);
    m_mtxMatrix = LocalPlacement();
    m_mtxRotationMatrix = CMatrix::Identity();
  }
  m_fFramePrepared = frame;
  m_fHierarchyFrame = -1.0f;
}

CVector3 CCamera::LookAtPoint(float frame) {
  CVector3 point;
  if (GetTargetPosition(m_pTarget, frame, &point)) return point;
  // Without a target of those kinds the camera looks along its own Z axis.
  return CVector3(0.0f, 0.0f, 1.0f) * m_mtxMatrix;
}

void CCamera::UpdateHierarchy(float frame) {
  // A target that hangs below this camera asks for the camera's matrix while the camera asks
  // for the target's position: the inner request takes the matrices as they stand.
  if (m_fHierarchyFrame != -1.0f || m_bInHierarchyPass) return;
  if (m_fFrameSet != -1.0f) frame = m_fFrameSet;
  if (frame != -1.0f && GetGuard()->Update(frame) == 1) {
    m_bInHierarchyPass = true;
    if (GetParent() != nullptr) m_mtxMatrix = m_mtxMatrix * ParentMatrix(frame);
    CVector3 lookAt = LookAtPoint(frame);
    m_vecPosition = CVector3() * m_mtxMatrix;
    LookAt(&m_vecPosition, &lookAt, -CurrentBank());
    m_bInHierarchyPass = false;
  }
  m_fHierarchyFrame = frame;
}

void CCamera::LookAt(CVector3* eye, CVector3* lookAt, float roll) {
  if (eye == nullptr || lookAt == nullptr) return;
  const CVector3 position = *eye;
  if (ComputeLookRotation(position, *lookAt, roll, &m_mtxLookRotation))
    m_vecDirection = *lookAt - position;
  CMatrix translation;
  translation.SetMove(-position.x, -position.y, -position.z);
  m_mtxMatrix = translation * m_mtxLookRotation;
  m_mtxLookRotation.Inverse(&m_mtxRotationMatrix);
  m_mtxMatrix.Inverse(&m_mtxCamera);
  CalculateProjectionMatrix(m_fNearClipPlane, m_fFarClipPlane, m_fAspect);
}

UINT CCamera::CalculateProjectionMatrix(float nearPlane, float farPlane, float aspect) {
  if (farPlane == nearPlane) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "WARNING!!! - Equal Clip Planes, CCamera Keeps Its Projection Matrix\n");
    return 0;
  }
  const float zoom = m_pZoom->GetValue();
  const float q = farPlane / (farPlane - nearPlane);
  m_mtxProjection = CMatrix();
  m_mtxProjection._11 = zoom * aspect;
  m_mtxProjection._22 = zoom;
  m_mtxProjection._33 = q;
  m_mtxProjection._34 = 1.0f;
  m_mtxProjection._43 = -q * nearPlane;
  return 0;
}

void CCamera::MotionToMatrix(CMatrix* out, float frame) {
  m_Motion.Evaluate(frame);
  *out = LocalPlacement();
  ApplyParentPlacement(out, frame);
}

CMatrix* CCamera::GetMatrix(float frame) {
  UpdateHierarchy(frame);
  return &m_mtxCamera;
}

CMatrix* CCamera::GetRotationMatrix(float frame) {
  UpdateHierarchy(frame);
  return &m_mtxRotationMatrix;
}

CMatrix* CCamera::GetWorld2CameraMatrix(float frame) {
  UpdateHierarchy(frame);
  return &m_mtxMatrix;
}

void CCamera::SetFrame(float frame, UINT recurse) { PinOrFollowFrame(frame, recurse); }

void CCamera::GetUpdateInputs(CUpdateInputs* inputs) {
  inputs->pParent = GetParent();
  inputs->pTarget = m_pTarget;
  inputs->pMotion = &m_Motion;
  inputs->AddEnvelope(m_pZoom.get());
}

void CCamera::RemoveAdditionalTransformation() { ClearExplicitValues(true, true, false, false); }

// --- plain operations ---

CEnvelopeInterface* CCamera::GetZoomEnvelope(UINT /*ignored*/) { return m_pZoom.get(); }

CWorldObjectInterface* CCamera::GetTargetObject(UINT /*ignored*/) {
  if (m_pTarget == nullptr || !IsKnownType(m_pTarget->GetWorldObjectType())) return nullptr;
  return m_pTarget->GetInterface();
}

void CCamera::GetPosition(CVector3* out, UINT flag) {
  if (out == nullptr) return;
  switch (flag) {
    case 0:
      *out = CVector3() * m_mtxCamera;
      break;
    case 1:
      *out = GetLocalPosition(*this, m_Motion);
      break;
    default:
      LogTo(m_pLog, kSource, CEngineLog::kLevelError,
            "WARNING!!! - Unknown FLAG For CCamera::GetPosition\n");
  }
}

void CCamera::GetRotation(CVector3* out, UINT flag) {
  if (out == nullptr) return;
  switch (flag) {
    case 0:
      // The world look direction of the last hierarchy pass, parents and target included.
      *out = AnglesOfDirection(m_vecDirection, CurrentBank());
      break;
    case 1:
      *out = GetLocalRotation(*this, m_Motion);
      break;
    default:
      LogTo(m_pLog, kSource, CEngineLog::kLevelError,
            "WARNING!!! - Unknown FLAG For CCamera::GetRotation\n");
  }
}

CMotion* CCamera::GetMotion(float frame) {
  if (m_Motion.GetLastFrame() != frame) m_Motion.Evaluate(frame);
  return &m_Motion;
}

CSceneInterface* CCamera::GetScene() { return m_pScene; }

CWorldObjectInterface* CCamera::GetTopmostParent() { return GetTopmostParentInterface(this); }

void CCamera::SetParentObject(CWorldObjectInterface* parent) {
  if (parent != nullptr && FromInterface(parent) == this) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "WARNING!!! - Can't Parent Item To Itself (Camera)\n");
    CWorldObject::SetParent(nullptr);
    return;
  }
  CWorldObject::SetParent(parent);
}

void CCamera::SetParent(CWorldObjectInterface* parent) { SetParentObject(parent); }

void CCamera::SetTarget(CWorldObjectInterface* target) {
  if (target == nullptr) {
    m_pTarget = nullptr;
    m_dwTargetType = 0;
    return;
  }
  CWorldObject* object = FromInterface(target);
  const UINT type = target->GetWorldObjectType();
  if (object == nullptr || !IsKnownType(type)) return;
  m_pTarget = object;
  m_dwTargetType = type;
}

void CCamera::Set() {
  if (m_pScene == nullptr) return;
  for (UINT i = 0; i < m_pScene->GetNumberOfCameras(); ++i)
    if (m_pScene->GetCameraObject(i) == this) m_pScene->SetActiveCamera(i);
}

// --- visible lists ---

void CCamera::ClearVisibleMeshes() {
  m_VisibleMeshes.clear();
  m_fVisibleMeshesStamp = -10.0f;
}

void CCamera::ClearVisibleLights() {
  m_VisibleLights.clear();
  m_fVisibleLightsStamp = -10.0f;
}

void CCamera::ForgetVisible(CWorldObject* object) {
  for (std::vector<VisibleEntry>* list : {&m_VisibleMeshes, &m_VisibleLights})
    std::erase_if(*list, [object](const VisibleEntry& entry) { return entry.pObject == object; });
}

void CCamera::Reserve(std::vector<VisibleEntry>& list, UINT& capacity, const char* warning) {
  if (list.size() < capacity) return;
  capacity += kVisibleListStep;
  LogTo(m_pLog, kSource, CEngineLog::kLevelError, warning, capacity);
  list.reserve(capacity);
}

void CCamera::CollectVisibleMeshes(float /*frame*/) {
  if (m_pScene == nullptr) return;
  const CMatrix viewProjection = m_mtxMatrix * m_mtxProjection;
  for (UINT i = 0; i < m_pScene->GetNumberOfMeshes(); ++i) {
    CWorldObject* object = m_pScene->GetMeshObject(i);
    auto* mesh = InterfaceOf<CMeshInterface>(object);
    if (mesh == nullptr) continue;
    Reserve(m_VisibleMeshes, m_dwVisibleMeshCapacity,
            "WARNING!!! - Increasing Camera's Visible Meshes Buffer To: %i\n");
    CMeshBoundVolumeInterface* volume = mesh->GetBoundingBox(1);
    if (volume == nullptr || mesh->GetVisibleByCameras() != 1) continue;
    CMatrix clip = *mesh->GetMatrix(mesh->GetFrame()) * viewProjection;
    if (volume->CheckVisibility(clip) == 0) continue;
    CVector3 meshPosition;
    mesh->GetPosition(&meshPosition, 0);
    const float distance = (m_vecPosition - meshPosition).Length();
    if (auto* source = dynamic_cast<CCameraMeshSource*>(object)) source->SetCameraDistance(distance);
    m_VisibleMeshes.push_back({object, distance});
  }
  // Farthest first.
  std::stable_sort(m_VisibleMeshes.begin(), m_VisibleMeshes.end(),
                   [](const VisibleEntry& a, const VisibleEntry& b) {
                     return SortKey(a.fDistance) > SortKey(b.fDistance);
                   });
}

void CCamera::CollectVisibleLights(float /*frame*/) {
  if (m_pScene == nullptr) return;
  const CMatrix viewProjection = *GetWorld2CameraMatrix(m_fHierarchyFrame) * m_mtxProjection;
  for (UINT i = 0; i < m_pScene->GetNumberOfLights(); ++i) {
    CWorldObject* object = m_pScene->GetLightObject(i);
    auto* light = InterfaceOf<CLightInterface>(object);
    if (light == nullptr) continue;
    Reserve(m_VisibleLights, m_dwVisibleLightCapacity,
            "WARNING!!! - Increasing Camera's Visible Lights Buffer To: %i\n");
    const WORD type = light->GetType();
    if (type == LIGHT_POINT || type == LIGHT_SPOT) {
      auto* source = dynamic_cast<CCameraLightSource*>(object);
      CLightBoundVolumeInterface* volume =
          source != nullptr ? source->GetLightBoundVolume() : nullptr;
      if (volume == nullptr) continue;
      CMatrix clip = *light->GetMatrix(m_fHierarchyFrame) * viewProjection;
      if (volume->CheckVisibility(clip) == 0 || light->GetIsActive() == 0) continue;
    } else if (type != LIGHT_DISTANT) {
      continue;
    }
    m_VisibleLights.push_back({object, 0.0f});
  }
  if (m_pScene->GetLightingModel() != 1 || m_VisibleLights.size() <= kFixedFunctionLights) return;

  // Distances from the scene's active camera, or from this one while the scene has none.
  CCamera* viewer = m_pScene->GetActiveCameraObject();
  CVector3 eye;
  (viewer != nullptr ? viewer : this)->GetPosition(&eye, 0);
  for (VisibleEntry& entry : m_VisibleLights) {
    CVector3 position;
    InterfaceOf<CLightInterface>(entry.pObject)->GetPosition(&position, 0);
    entry.fDistance = (eye - position).Length();
  }
  // Distant lights last; the others farthest first.
  std::stable_sort(m_VisibleLights.begin(), m_VisibleLights.end(),
                   [](const VisibleEntry& a, const VisibleEntry& b) {
                     const bool aDistant =
                         InterfaceOf<CLightInterface>(a.pObject)->GetType() == LIGHT_DISTANT;
                     const bool bDistant =
                         InterfaceOf<CLightInterface>(b.pObject)->GetType() == LIGHT_DISTANT;
                     if (aDistant || bDistant) return !aDistant && bDistant;
                     return SortKey(a.fDistance) > SortKey(b.fDistance);
                   });
}

CWorldObject* CCamera::GetVisibleMesh(UINT index) const {
  return index < m_VisibleMeshes.size() ? m_VisibleMeshes[index].pObject : nullptr;
}

CWorldObject* CCamera::GetVisibleLight(UINT index) const {
  return index < m_VisibleLights.size() ? m_VisibleLights[index].pObject : nullptr;
}

CMeshInterface* CCamera::GetVisibleMesh(UINT index, UINT /*ignored*/) {
  return InterfaceOf<CMeshInterface>(GetVisibleMesh(index));
}

CLightInterface* CCamera::GetVisibleLight(UINT index, UINT /*ignored*/) {
  return InterfaceOf<CLightInterface>(GetVisibleLight(index));
}

UINT CCamera::GetNumberOfVisibleLightsOfType(UINT type) {
  UINT count = 0;
  for (const VisibleEntry& entry : m_VisibleLights)
    if (InterfaceOf<CLightInterface>(entry.pObject)->GetType() == type) ++count;
  return count;
}

UINT CCamera::IsMeshVisible(CWorldObject* mesh) const {
  for (const VisibleEntry& entry : m_VisibleMeshes)
    if (entry.pObject == mesh) return 1;
  return 0;
}

UINT CCamera::IsBoxVisible(const CVector3& minimum, const CVector3& maximum,
                           const CMatrix& world) const {
  const CMatrix clip = world * m_mtxMatrix * m_mtxProjection;
  UINT shared = 0xFF;
  for (UINT corner = 0; corner < 8; ++corner) {
    const CVector4 point(corner & 1 ? maximum.x : minimum.x, corner & 2 ? maximum.y : minimum.y,
                         corner & 4 ? maximum.z : minimum.z, 1.0f);
    const CVector4 p = point * clip;
    UINT code = 0;
    if (p.x <= -p.w)
      code |= 2;
    else if (p.x > p.w)
      code |= 4;
    if (p.y <= -p.w)
      code |= 8;
    else if (p.y > p.w)
      code |= 16;
    if (p.z <= 0.0f)
      code |= 32;
    else if (p.z > p.w)
      code |= 64;
    shared &= code;
  }
  return shared == 0 ? 1 : 0;
}

UINT CCamera::AnySegmentVisible(const CVector4* first, const CVector4* second) {
  if (first == nullptr || second == nullptr) return 0;
  for (UINT i = 0; i < 8; ++i)
    if (SegmentVisible(first[i], second[i])) return 1;
  return 0;
}

void CCamera::GetFrustumPlanes(CVector4* planes, UINT normalise) {
  if (planes == nullptr) return;
  const CMatrix& p = m_mtxProjection;
  const CVector4 column1(p._11, p._21, p._31, p._41);
  const CVector4 column2(p._12, p._22, p._32, p._42);
  const CVector4 column3(p._13, p._23, p._33, p._43);
  const CVector4 column4(p._14, p._24, p._34, p._44);
  planes[0] = column4 + column1;
  planes[1] = column4 - column1;
  planes[2] = column4 - column2;
  planes[3] = column4 + column2;
  planes[4] = column3;
  planes[5] = column4 - column3;
  if (normalise != 1) return;
  for (int i = 0; i < 6; ++i) {
    D3DXPLANE plane(planes[i].x, planes[i].y, planes[i].z, planes[i].w);
    D3DXPlaneNormalize(&plane, &plane);
    planes[i] = {plane.a, plane.b, plane.c, plane.d};
  }
}

// --- sound listener ---

void CCamera::SetListenerFlags(BYTE flags) {
  if ((flags & 1) == 0) return;
  TonarisInterface* server = GetEngineContext()->pSoundServer;
  if (server == nullptr || server->GetListenerInterface() == nullptr) return;
  m_cListenerFlags |= 1;
  if (flags & 2) m_cListenerFlags |= 2;
}

void CCamera::UpdateListener() {
  if ((m_cListenerFlags & 1) == 0) return;
  TonarisInterface* server = GetEngineContext()->pSoundServer;
  TonarisListener* listener = server != nullptr ? server->GetListenerInterface() : nullptr;
  if (listener == nullptr) return;
  listener->SetPosition(m_vecPosition.x, m_vecPosition.y, m_vecPosition.z);
  const CVector3 front = CVector3(0.0f, 0.0f, 1.0f) * m_mtxRotationMatrix;
  const CVector3 top = CVector3(0.0f, 1.0f, 0.0f) * m_mtxRotationMatrix;
  listener->SetOrientation(front.x, front.y, front.z, top.x, top.y, top.z);
  if (m_cListenerFlags & 2) server->Apply();
}

// --- clone ---

UINT CCamera::Clone(CCameraInterface** out) {
  auto* clone = new CCamera(static_cast<CD3D9RendererInterface*>(m_pRendererContext), m_pLog,
                            m_pScene);
  if (out != nullptr) *out = clone;
  if (m_pScene != nullptr) m_pScene->AppendWorldObject(clone);

  // A full copy: the clone sees through the same zoom, keyed or constant.
  clone->m_pZoom = std::make_unique<CEnvelope>(m_pZoom->GetIsEnvelope(), &m_pZoom->Channel(),
                                               m_pZoom->GetValue());
  clone->m_VisibleMeshes = m_VisibleMeshes;
  clone->m_dwVisibleMeshCapacity = std::max(clone->m_dwVisibleMeshCapacity, m_dwVisibleMeshCapacity);
  clone->m_VisibleLights = m_VisibleLights;
  clone->m_dwVisibleLightCapacity =
      std::max(clone->m_dwVisibleLightCapacity, m_dwVisibleLightCapacity);
  clone->m_fVisibleMeshesStamp = m_fVisibleMeshesStamp;
  clone->m_fVisibleLightsStamp = m_fVisibleLightsStamp;
  clone->m_dwParentNumber = m_dwParentNumber;
  clone->m_dwParentReferenceType = m_dwParentReferenceType;
  clone->m_dwTargetNumber = m_dwTargetNumber;
  clone->m_dwTargetType = m_dwTargetType;
  m_Motion.CopyTo(clone->m_Motion);
  clone->CWorldObject::SetParent(GetParentObject(0));
  clone->m_pTarget = m_pTarget;
  clone->m_fAspect = m_fAspect;
  clone->m_fScreenWidth = m_fScreenWidth;
  clone->m_fScreenHeight = m_fScreenHeight;
  clone->m_fNearClipPlane = m_fNearClipPlane;
  clone->m_fFarClipPlane = m_fFarClipPlane;
  clone->m_fHierarchyFrame = m_fHierarchyFrame;
  clone->m_mtxCamera = m_mtxCamera;
  clone->m_mtxMatrix = m_mtxMatrix;
  clone->m_mtxProjection = m_mtxProjection;
  clone->m_mtxRotationMatrix = m_mtxRotationMatrix;
  clone->m_mtxLookRotation = m_mtxLookRotation;
  clone->m_vecDirection = m_vecDirection;
  clone->m_vecPosition = m_vecPosition;
  clone->SetExplicitPosition(GetExplicitPosition());
  clone->SetExplicitRotation(GetExplicitRotation());
  clone->SetExplicitScale(GetExplicitScale());
  const float* quaternion = GetExplicitQuaternion();
  clone->SetExplicitQuaternion(quaternion[0], quaternion[1], quaternion[2], quaternion[3]);
  clone->ClearExplicitValues(!HasExplicitPosition(), !HasExplicitRotation(), !HasExplicitScale(),
                             !HasExplicitQuaternion());
  clone->m_fFrameSet = m_fFrameSet;
  clone->m_fFramePrepared = m_fFramePrepared;
  void* data;
  UINT value1, value2;
  CWorldObject::GetUserDefinedData(&data, &value1, &value2);
  clone->CWorldObject::SetUserDefinedData(data, value1, value2);
  clone->m_dwFollowFrame = m_dwFollowFrame;
  return 1;
}
