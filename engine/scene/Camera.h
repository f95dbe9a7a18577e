#pragma once
// The engine's camera world object (type word 2). It is placed like every world object (motion
// channels or explicit values, a parent), may aim at a target, and owns what the renderer needs
// to look through it: the view matrix (kept in the base matrix), the projection, the camera's
// world matrix, its position and look direction, and the meshes and lights seen through it,
// sorted for drawing. It may also carry the sound listener.
#include <memory>
#include <vector>

#include "scene/CameraLinks.h"
#include "scene/Motion.h"
#include "scene/TWorldObject.h"

class CEnvelope;

class CCamera final : public TWorldObject<CCameraInterface> {
 public:
  // Visible lists start with this many entries and grow by as many.
  static constexpr UINT kVisibleListStep = 256;
  static constexpr float kDefaultZoom = 3.2f;

  // The renderer gives the letterbox factor; the screen size is the engine's video mode.
  CCamera(CD3D9RendererInterface* renderer, CEngineLog* log, CScene* scene);
  // A camera from imported data: the zoom envelope from the record's flag, keyed channel (or
  // null) and value, and the target reference that the scene resolves after loading. The scene
  // link and the motion channels are the builder's to fill.
  CCamera(CD3D9RendererInterface* renderer, CEngineLog* log, UINT zoomIsEnvelope,
          const CChannelEnvelope* zoomChannel, float zoomValue, UINT targetType,
          UINT targetNumber);
  ~CCamera() override;

  // --- world object ---
  // The camera matrix (camera to world), after the hierarchy pass for the frame.
  CMatrix* GetMatrix(float frame) override;
  CMatrix* GetRotationMatrix(float frame) override;
  void MotionToMatrix(CMatrix* out, float frame) override;
  float GetFrame() override { return m_fHierarchyFrame; }
  // frame -1.0 follows the scene frame again; any other frame pins the camera to it.
  void SetFrame(float frame, UINT recurse) override;
  const char* GetWorldObjectName() override { return "Camera"; }
  void GetUpdateInputs(CUpdateInputs* inputs) override;
  void RemoveAdditionalTransformation() override;

  // --- CCameraInterface ---
  CEnvelopeInterface* GetZoomEnvelope(UINT ignored) override;
  UINT GetParentNumber() override { return m_dwParentNumber; }
  UINT GetParentType() override { return CWorldObject::GetParentType(); }
  UINT GetTagetNumber() override { return m_dwTargetNumber; }
  UINT GetTargetType() override { return m_dwTargetType; }
  CWorldObjectInterface* GetTargetObject(UINT ignored) override;
  float GetAspect() override { return m_fAspect; }
  float GetXScreenCoordinate() override { return m_fScreenWidth; }
  float GetYScreenCoordinate() override { return m_fScreenHeight; }
  float GetNearClipPlane() override { return m_fNearClipPlane; }
  float GetFarClipPlane() override { return m_fFarClipPlane; }
  CMatrix* GetCurrentWorld2CameraMatrix() override { return &m_mtxMatrix; }
  CMatrix* GetWorld2CameraMatrix(float frame) override;
  CMatrix* GetProjectionMatrix() override { return &m_mtxProjection; }
  CVector3* GetDirectionVector() override { return &m_vecDirection; }
  CVector3* GetPositionVector() override { return &m_vecPosition; }
  // flag 0: world position; 1: the local one (explicit or channels).
  void GetPosition(CVector3* out, UINT flag) override;
  // flag 1: the local heading, pitch, bank; 0: the world ones, taken from the look direction.
  void GetRotation(CVector3* out, UINT flag) override;
  void SetPosition(const CVector3& position) override { SetExplicitPosition(position); }
  void SetRotation(const CVector3& rotation) override { SetExplicitRotation(rotation); }
  CMotion* GetMotion(float frame) override;
  CSceneInterface* GetScene() override;
  UINT SetTag(UINT tag) override { return CWorldObject::SetTag(tag); }
  UINT GetNumberOfVisibleMeshes() override { return static_cast<UINT>(m_VisibleMeshes.size()); }
  CMeshInterface* GetVisibleMesh(UINT index, UINT ignored) override;
  UINT GetNumberOfVisibleLightsOfType(UINT type) override;
  UINT GetNumberOfVisibleLights() override { return static_cast<UINT>(m_VisibleLights.size()); }
  CLightInterface* GetVisibleLight(UINT index, UINT ignored) override;
  void GetFrustumPlanes(CVector4* planes, UINT normalise) override;
  CWorldObjectInterface* GetTopmostParent() override;
  UINT Clone(CCameraInterface** clone) override;
  void Set() override;
  void SetNearClipPlane(float nearPlane) override { m_fNearClipPlane = nearPlane; }
  void SetFarClipPlane(float farPlane) override { m_fFarClipPlane = farPlane; }
  void SetScreenCoordinates(float x, float y) override;
  void SetParent(CWorldObjectInterface* parent) override;
  void SetTarget(CWorldObjectInterface* target) override;
  BYTE GetListenerFlags() override { return m_cListenerFlags; }
  void SetListenerFlags(BYTE flags) override;
  void PrepareMatrices(float frame) override;
  void UpdateHierarchy(float frame) override;
  CMatrix* GetCurrentMatrix() override { return &m_mtxCamera; }
  CMatrix* GetCurrentRotationMatrix() override { return &m_mtxRotationMatrix; }
  // An eye on the look-at point keeps the orientation the camera had.
  void LookAt(CVector3* eye, CVector3* lookAt, float roll) override;
  // Equal clip planes keep the projection the camera had. Returns 0.
  UINT CalculateProjectionMatrix(float nearPlane, float farPlane, float aspect) override;
  void GetUserDefinedData(void** data, UINT* value1, UINT* value2) override {
    CWorldObject::GetUserDefinedData(data, value1, value2);
  }
  void SetUserDefinedData(void* data, UINT value1, UINT value2) override {
    CWorldObject::SetUserDefinedData(data, value1, value2);
  }

  // --- what the scene and the lights call ---
  // The builder of a loaded scene links its cameras.
  void SetOwnerScene(CScene* scene) { m_pScene = scene; }
  // The camera itself is refused with a warning and leaves it without a parent.
  void SetParentObject(CWorldObjectInterface* parent);
  // Stores the target as it is (the loaders resolve targets by number); the type stays.
  void SetTargetObject(CWorldObject* target) { m_pTarget = target; }
  CWorldObject* GetTarget() const { return m_pTarget; }
  void SetParentNumber(UINT number) { m_dwParentNumber = number; }
  // The parent as the loaded scene numbers it (kind and number), resolved after loading.
  void SetParentReference(UINT type, UINT number) {
    m_dwParentReferenceType = type;
    m_dwParentNumber = number;
  }
  UINT GetParentReferenceType() const { return m_dwParentReferenceType; }
  // The target as the loaded scene numbers it, resolved after loading.
  void SetTargetReference(UINT type, UINT number) {
    m_dwTargetType = type;
    m_dwTargetNumber = number;
  }
  // What the scene file stores, as it stands (no evaluation, no aspect recomputed).
  CMotion* GetOwnMotion() { return &m_Motion; }
  void SetAspect(float aspect) { m_fAspect = aspect; }
  void SetScreenSize(float width, float height) {
    m_fScreenWidth = width;
    m_fScreenHeight = height;
  }
  void SetTargetNumber(UINT number) { m_dwTargetNumber = number; }
  void ClearVisibleMeshes();
  void ClearVisibleLights();
  // Fill the lists from the scene's meshes and lights; the frame is not read.
  void CollectVisibleMeshes(float frame);
  void CollectVisibleLights(float frame);
  CWorldObject* GetVisibleMesh(UINT index) const;
  CWorldObject* GetVisibleLight(UINT index) const;
  float GetVisibleMeshesStamp() const { return m_fVisibleMeshesStamp; }
  float GetVisibleLightsStamp() const { return m_fVisibleLightsStamp; }
  UINT GetVisibleMeshCapacity() const { return m_dwVisibleMeshCapacity; }
  UINT GetVisibleLightCapacity() const { return m_dwVisibleLightCapacity; }
  UINT IsMeshVisible(CWorldObject* mesh) const;
  // 1 unless all eight corners of the box lie outside one and the same clip plane.
  UINT IsBoxVisible(const CVector3& minimum, const CVector3& maximum, const CMatrix& world) const;
  // 1 when any of the eight segments first[i]..second[i] (clip space) crosses the view volume.
  static UINT AnySegmentVisible(const CVector4* first, const CVector4* second);
  // Moves the sound listener to the camera when the camera carries it.
  void UpdateListener();

 private:
  struct VisibleEntry {
    CWorldObject* pObject;
    float fDistance;
  };

  // Bank about Z, pitch about X, heading about Y, then the translation: the local placement.
  CMatrix LocalPlacement();
  float CurrentBank() { return GetLocalRotation(*this, m_Motion).z; }
  // The parent's world matrix at the frame, without disturbing a parent already prepared.
  CMatrix ParentMatrix(float frame) const;
  CVector3 LookAtPoint(float frame);
  void ComputeAspect();
  void Log(int level, const char* format, ...) const __attribute__((format(printf, 3, 4)));
  // Makes room for one more entry, growing by a step with the warning.
  void Reserve(std::vector<VisibleEntry>& list, UINT& capacity, const char* warning);

  std::unique_ptr<CEnvelope> m_pZoom;
  std::vector<VisibleEntry> m_VisibleMeshes;
  UINT m_dwVisibleMeshCapacity = kVisibleListStep;
  float m_fVisibleMeshesStamp = -1.0f;
  std::vector<VisibleEntry> m_VisibleLights;
  UINT m_dwVisibleLightCapacity = kVisibleListStep;
  float m_fVisibleLightsStamp = -1.0f;
  UINT m_dwParentNumber = 0;
  UINT m_dwParentReferenceType = 0;
  UINT m_dwTargetNumber = 0;
  UINT m_dwTargetType = 0;
  CMotion m_Motion;
  CWorldObject* m_pTarget = nullptr;
  float m_fAspect = 0.75f;
  float m_fScreenWidth = 0.0f;
  float m_fScreenHeight = 0.0f;
  float m_fNearClipPlane = 1.0f;
  float m_fFarClipPlane = 10000.0f;
  float m_fHierarchyFrame = -1.0f;
  CMatrix m_mtxProjection = CMatrix::Identity();
  CMatrix m_mtxCamera = CMatrix::Identity();
  // The view rotation of the last LookAt, kept for an eye that sits on its look-at point.
  CMatrix m_mtxLookRotation = CMatrix::Identity();
  CVector3 m_vecDirection;
  CVector3 m_vecPosition;
  BYTE m_cListenerFlags = 0;
  bool m_bInHierarchyPass = false;
};
