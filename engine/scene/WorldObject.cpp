#include "scene/WorldObject.h"

#include "scene/CameraLinks.h"
#include "scene/Motion.h"
#include "scene/Scene.h"
#include "scene/UpdateInputs.h"
#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "d3d/EngineRenderer.h"
#include "d3d/RenderTargetStorageInterface.h"

namespace {
constexpr const char* kSource = "ZK3DProcessing";

bool Differs(const CVector3& a, const CVector3& b) { return a.x != b.x || a.y != b.y || a.z != b.z; }
}  // namespace

CWorldObject::CWorldObject(CScene* scene, void* rendererContext, CEngineLog* log, UINT type,
                           UINT guardMode)
    : m_pScene(scene),
      m_pRendererContext(rendererContext),
      m_pLog(log),
      m_pGuard(std::make_unique<CUpdateGuard>(this, guardMode)),
      m_dwType(type) {}

CWorldObject::~CWorldObject() { GiveBackRenderTargets(); }

// Targets kept in the slots go back to the bank, which may then hand them out again. Only the
// engine's live renderer is asked: once the device is gone there is no bank to give them to.
void CWorldObject::GiveBackRenderTargets() {
  auto* renderer = dynamic_cast<CEngineRenderer*>(GetEngineContext()->pRenderer);
  CRenderTargetStorageInterface* bank =
      renderer != nullptr ? renderer->GetRenderTargetStorageInterface() : nullptr;
  if (bank == nullptr) return;
  for (UINT i = 0; i < kRenderTargets; ++i) {
    if (m_pRenderTargets[i] != nullptr) bank->GiveBackRenderTarget(m_pRenderTargets[i]);
    if (m_pCubeRenderTargets[i] != nullptr) bank->GiveBackRenderTarget(m_pCubeRenderTargets[i]);
  }
}

void CWorldObject::DeleteOwnCamera(CWorldObject* camera) {
  if (camera == nullptr) return;
  if (m_pScene != nullptr) m_pScene->ForgetActiveCamera(camera);
  delete camera;
}

CWorldObject* CWorldObject::FromInterface(CWorldObjectInterface* object) {
  return dynamic_cast<CWorldObject*>(object);
}

bool CWorldObject::IsKnownType(UINT type) {
  return type == WORLD_OBJECT_CAMERA || type == WORLD_OBJECT_LIGHT || type == WORLD_OBJECT_MESH ||
         type == WORLD_OBJECT_NULL;
}

CWorldObjectInterface* CWorldObject::GetParentObject(UINT /*ignored*/) {
  if (m_pParent == nullptr || !IsKnownType(m_pParent->GetWorldObjectType())) return nullptr;
  return m_pParent->GetInterface();
}

CWorldObjectInterface* CWorldObject::GetNextInterface() const {
  if (m_pNext == nullptr || !IsKnownType(m_pNext->GetWorldObjectType())) return nullptr;
  return m_pNext->GetInterface();
}

void CWorldObject::DetachFromScene() {
  m_pScene = nullptr;
  m_pNext = nullptr;
}

void CWorldObject::ReleaseReference() {
  if (m_dwReferenceCount > 0) --m_dwReferenceCount;
  if (m_dwReferenceCount != 0) return;
  if (m_pScene != nullptr && !m_pScene->IsReleasing()) m_pScene->UnlinkWorldObject(this);
  delete this;
}

bool CWorldObject::HasAmongParents(const CWorldObject* object) const {
  // Bounded by the number of links, so a loop already in the data cannot hang the walk.
  UINT steps = 0;
  for (const CWorldObject* parent = m_pParent; parent != nullptr && steps < 0x10000;
       parent = parent->m_pParent, ++steps)
    if (parent == object) return true;
  return false;
}

void CWorldObject::SetParent(CWorldObjectInterface* parentInterface) {
  if (parentInterface == nullptr) {
    m_pParent = nullptr;
    m_dwParentType = 0;
    return;
  }
  CWorldObject* parent = FromInterface(parentInterface);
  if (parent == this) {
    m_pParent = nullptr;
    m_dwParentType = 0;
    if (m_pLog != nullptr)
      m_pLog->Log(kSource, __LINE__, CEngineLog::kLevelError,
                  "WARNING!!! - Can't Parent Item To Itself: %s\n", GetWorldObjectName());
    return;
  }
  const UINT type = parentInterface->GetWorldObjectType();
  if (parent == nullptr || !IsKnownType(type)) return;
  // A parent that hangs below this object would close a loop that the matrix passes follow.
  if (parent->HasAmongParents(this)) {
    if (m_pLog != nullptr)
      m_pLog->Log(kSource, __LINE__, CEngineLog::kLevelError,
                  "WARNING!!! - Can't Parent Item To Its Own Child: %s\n", GetWorldObjectName());
    return;
  }
  m_pParent = parent;
  m_dwParentType = type;
}

void CWorldObject::SetExplicitPosition(const CVector3& position) {
  m_dwPositionSet = 1;
  if (Differs(position, m_vecExplicitPosition)) m_pGuard->Force();
  m_vecExplicitPosition = position;
}

void CWorldObject::SetExplicitRotation(const CVector3& rotation) {
  m_dwRotationSet = 1;
  if (Differs(rotation, m_vecExplicitRotation)) m_pGuard->Force();
  m_vecExplicitRotation = rotation;
}

void CWorldObject::SetExplicitScale(const CVector3& scale) {
  m_dwScaleSet = 1;
  if (Differs(scale, m_vecExplicitScale)) m_pGuard->Force();
  m_vecExplicitScale = scale;
}

CVector3 CWorldObject::ScaleFrom(CMotionInterface& motion) const {
  if (HasExplicitScale()) return GetExplicitScale();
  if (motion.GetNumberOfChannels() <= MOTION_SCALE_X) return CVector3(1.0f, 1.0f, 1.0f);
  return CVector3(motion.GetChannel(MOTION_SCALE_X)->GetValue(),
                  motion.GetChannel(MOTION_SCALE_Y)->GetValue(),
                  motion.GetChannel(MOTION_SCALE_Z)->GetValue());
}

void CWorldObject::SetExplicitQuaternion(float x, float y, float z, float w) {
  m_dwRotationSet = 1;
  m_dwQuaternionSet = 1;
  const float quaternion[4] = {x, y, z, w};
  for (int i = 0; i < 4; ++i)
    if (quaternion[i] != m_fExplicitQuaternion[i]) {
      m_pGuard->Force();
      break;
    }
  for (int i = 0; i < 4; ++i) m_fExplicitQuaternion[i] = quaternion[i];
}

void CWorldObject::ClearExplicitValues(bool position, bool rotation, bool scale, bool quaternion) {
  if (position) m_dwPositionSet = 0;
  if (rotation) m_dwRotationSet = 0;
  if (scale) m_dwScaleSet = 0;
  if (quaternion) m_dwQuaternionSet = 0;
  m_pGuard->Force();
}

CRenderTargetInterface* CWorldObject::GetRenderTarget(UINT index) const {
  return index < kRenderTargets ? m_pRenderTargets[index] : nullptr;
}

UINT CWorldObject::SetRenderTarget(UINT index, CRenderTargetInterface* target) {
  if (index >= kRenderTargets) return 0;
  m_pRenderTargets[index] = target;
  return 1;
}

CRenderTargetInterface* CWorldObject::GetCubeRenderTarget(UINT index) const {
  return index < kRenderTargets ? m_pCubeRenderTargets[index] : nullptr;
}

UINT CWorldObject::SetCubeRenderTarget(UINT index, CRenderTargetInterface* target) {
  if (index >= kRenderTargets) return 0;
  m_pCubeRenderTargets[index] = target;
  return 1;
}

void CWorldObject::GetUserDefinedData(void** data, UINT* value1, UINT* value2) const {
  if (data != nullptr) *data = m_pUserData;
  if (value1 != nullptr) *value1 = m_dwUserValue1;
  if (value2 != nullptr) *value2 = m_dwUserValue2;
}

void CWorldObject::SetUserDefinedData(void* data, UINT value1, UINT value2) {
  m_pUserData = data;
  m_dwUserValue1 = value1;
  m_dwUserValue2 = value2;
}

void CWorldObject::ApplyParentPlacement(CMatrix* placement, float frame) {
  CWorldObject* parent = GetParent();
  if (parent == nullptr) return;
  if (frame != parent->GetFrame()) {
    CMatrix parentMatrix;
    parent->MotionToMatrix(&parentMatrix, frame);
    *placement = *placement * parentMatrix;
  } else {
    *placement = *placement * *parent->GetMatrix(frame);
  }
}

void CWorldObject::PinOrFollowFrame(float frame, UINT recurse) {
  const UINT follow = frame == -1.0f ? 1 : 0;
  if (follow != m_dwFollowFrame) GetGuard()->Force();
  m_dwFollowFrame = follow;
  m_fFrameSet = frame;
  if (recurse == 1) SetFrameOfChildren(m_pScene, this, frame);
}
