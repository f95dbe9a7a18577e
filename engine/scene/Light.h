#pragma once
// The engine's light world object (type word 8): a distant, point or spot light placed like
// every world object (motion channels or explicit values, a parent), which a spot light may aim
// at a target. Eight envelopes drive its intensity, range, cones, flare size and colour. Each
// hierarchy update fills what the renderer and the shader passes read: the Direct3D light
// record, the light vector, the view and projection matrices and the lens-flare quad. For the
// active camera it also collects the meshes it lights and the shadow volumes it casts.
#include <cstddef>
#include <memory>
#include <vector>

#include "scene/CameraLightSource.h"
#include "scene/Motion.h"
#include "scene/TWorldObject.h"

class CCamera;
class CEnvelope;
class CLightSpatial;

class CLight final : public TWorldObject<CLightInterface>, public CCameraLightSource {
 public:
  static constexpr UINT kNameLength = 256;
  // Visible lists start with this many entries and grow by as many.
  static constexpr UINT kVisibleListStep = 256;
  // The fixed pipeline's limits: the Direct3D range and the spot cone are held to them.
  static constexpr float kMaxRange = 1000.0f;
  static constexpr float kMaxConeAngle = 70.0f;
  static constexpr float kNearPlane = 0.5f;
  static constexpr UINT kFlareFVF = 0x1C2;  // XYZ, DIFFUSE, SPECULAR, TEX1

  enum EnvelopeRole : UINT {
    ENVELOPE_INTENSITY,
    ENVELOPE_CONE_ANGLE,
    ENVELOPE_INNER_CONE_ANGLE,
    ENVELOPE_FLARE_SIZE,
    ENVELOPE_RANGE,
    ENVELOPE_RED,
    ENVELOPE_GREEN,
    ENVELOPE_BLUE,
    ENVELOPE_COUNT,
  };

  struct FlareVertex {
    float x, y, z;
    DWORD dwDiffuse;
    DWORD dwSpecular;
    float u, v;
  };

  // How an imported envelope is described: keyed flag, keys (null for none) and constant.
  struct EnvelopeDescription {
    UINT dwIsEnvelope = 0;
    const CChannelEnvelope* pChannel = nullptr;
    float fValue = 0.0f;
  };

  // The fields the LightWave import hands over for one light.
  struct ImportedRecord {
    const char* szName = nullptr;
    WORD wType = LIGHT_DISTANT;
    WORD wNumber = 0;
    UINT dwParentType = 0;
    UINT dwParentNumber = 0;
    UINT dwTargetType = 0;
    UINT dwTargetNumber = 0;
    UINT dwActive = 1;
    UINT dwIsFlare = 0;
    UINT dwFallOffType = 0;
    CVector3 vecLightVector;
    const CMotion* pMotion = nullptr;
    EnvelopeDescription envelopes[ENVELOPE_COUNT];
  };

  CLight(CD3D9RendererInterface* renderer, CEngineLog* log, CScene* scene);
  // A light from the LightWave import inside the scene under construction. An envelope that
  // cannot be made, or a spot light without a positive range, ends the engine.
  CLight(CD3D9RendererInterface* renderer, CEngineLog* log, CScene* scene,
         const ImportedRecord& record);
  ~CLight() override;

  // --- world object ---
  CMatrix* GetMatrix(float frame) override;
  CMatrix* GetRotationMatrix(float frame) override;
  void MotionToMatrix(CMatrix* out, float frame) override;
  float GetFrame() override { return m_fFrameEvaluated; }
  // frame -1.0 follows the scene frame again; any other frame pins the light (and with recurse
  // 1 its children) to it.
  void SetFrame(float frame, UINT recurse) override;
  const char* GetWorldObjectName() override { return m_szName; }
  void GetUpdateInputs(CUpdateInputs* inputs) override;
  void RemoveAdditionalTransformation() override;

  // --- CLightInterface ---
  D3DLIGHT9* GetD3DLightProperties() override { return &m_D3DLight; }
  CWorldObjectInterface* GetTargetObject(UINT ignored) override;
  CSceneInterface* GetParentScene() override;
  CVector3* GetLightVector() override { return &m_vecLightVector; }
  UINT GetTargetNumber() override { return m_dwTargetNumber; }
  UINT GetParentNumber() override { return m_dwParentNumber; }
  UINT GetTargetType() override { return m_dwTargetType; }
  UINT GetParentType() override { return CWorldObject::GetParentType(); }
  CEnvelopeInterface* GetFlareSizeEnvelope(UINT ignored) override;
  CEnvelopeInterface* GetConeAngleEnvelope(UINT ignored) override;
  CEnvelopeInterface* GetRangeEnvelope(UINT ignored) override;
  CEnvelopeInterface* GetIntensityEnvelope(UINT ignored) override;
  UINT GetFallOffType() override { return m_dwFallOffType; }
  CMatrix* GetProjectionMatrix() override { return &m_mtxProjection; }
  UINT GetIsFlare() override { return m_dwIsFlare; }
  UINT GetColor() override;
  CVector3* GetColorVector(CVector3* out) override;
  WORD GetType() override { return m_wType; }
  WORD GetNumber() override { return m_wNumber; }
  const char* GetName() override { return m_szName; }
  void SetName(const char* name) override;
  // flag 0: world position of the last update; 1: the local one (explicit or channels).
  void GetPosition(CVector3* out, UINT flag) override;
  // flag 1: the local heading, pitch, bank; 0: those plus the parent's world rotation.
  void GetRotation(CVector3* out, UINT flag) override;
  void SetPosition(const CVector3& position) override { SetExplicitPosition(position); }
  void SetRotation(const CVector3& rotation) override { SetExplicitRotation(rotation); }
  // The light itself is refused with a warning and leaves it without a parent.
  void SetParentObject(CWorldObjectInterface* parent) override;
  void SetTargetObject(CWorldObjectInterface* target) override;
  CMotion* GetMotion(float frame) override;
  CWorldObjectInterface* GetTopmostParent() override;
  UINT SetTag(UINT tag) override { return CWorldObject::SetTag(tag); }
  UINT Clone(CLightInterface** clone) override;
  void SetFallOffType(UINT fallOffType) override { m_dwFallOffType = fallOffType; }
  void SetIsFlare(UINT isFlare) override { m_dwIsFlare = isFlare; }
  // Sets the constant colour envelopes; keyed ones stay, with a warning each.
  void SetColor(UINT color) override;
  // Shows in the record at the next recomputation the guard allows.
  void SetType(WORD type) override;
  CMatrix* GetCurrentRotationMatrix() override { return &m_mtxRotationMatrix; }
  CMatrix* GetCurrentMatrix() override { return &m_mtxMatrix; }
  void GetUserDefinedData(void** data, UINT* value1, UINT* value2) override {
    CWorldObject::GetUserDefinedData(data, value1, value2);
  }
  void SetUserDefinedData(void* data, UINT value1, UINT value2) override {
    CWorldObject::SetUserDefinedData(data, value1, value2);
  }
  void SetIsActive(UINT isActive) override { m_dwActive = isActive; }
  UINT GetIsActive() override { return m_dwActive; }

  // --- CCameraLightSource ---
  CLightBoundVolumeInterface* GetLightBoundVolume() override { return m_pBoundVolume; }

  // --- what the scene, the passes and the shader code call ---
  void PrepareMatrices(float frame);
  void UpdateHierarchy(float frame);
  // Stores the target as it is (the loaders resolve targets by number); the type stays.
  void SetTarget(CWorldObject* target) { m_pTarget = target; }
  CWorldObject* GetTarget() const { return m_pTarget; }
  // The links as the loaded scene numbers them (kind and number), resolved after loading.
  void SetParentReference(UINT type, UINT number) {
    m_dwParentReferenceType = type;
    m_dwParentNumber = number;
  }
  UINT GetParentReferenceType() const { return m_dwParentReferenceType; }
  void SetTargetReference(UINT type, UINT number) {
    m_dwTargetType = type;
    m_dwTargetNumber = number;
  }
  // What the scene file stores, as it stands (no evaluation, no record changed).
  CMotion* GetOwnMotion() { return &m_Motion; }
  void SetStoredType(WORD type) { m_wType = type; }
  void SetNumber(WORD number) { m_wNumber = number; }
  // After a light was read from a scene file: a point or spot light (or any other non-distant
  // type) takes its range into the record and gets its flare quad; point and spot lights also
  // get their bounding volume.
  void FinishLoaded();
  CEnvelope* GetEnvelope(EnvelopeRole role) const { return m_pEnvelopes[role].get(); }
  CEnvelope* GetLightRangeEnvelope() const { return GetEnvelope(ENVELOPE_RANGE); }
  CEnvelope* GetLightConeAngleEnvelope() const { return GetEnvelope(ENVELOPE_CONE_ANGLE); }
  CMatrix* GetViewMatrix() { return &m_mtxView; }
  // (0, 0, 1) turned by the rotation matrix for spot and distant lights, else zero.
  void GetDirection(CVector3* out) const;
  CLightBoundVolumeInterface* GetBoundVolume() const { return m_pBoundVolume; }
  // The camera the shading language places at the light; the light owns it and frees it.
  CWorldObject* GetCamera() const { return m_pCamera; }
  void SetCamera(CWorldObject* camera) { m_pCamera = camera; }
  const FlareVertex* GetFlareQuad() const { return m_FlareQuad; }
  UINT GetChanged() const { return m_dwChanged; }
  // The wireframe gizmo of the scene's light display, at the light's world matrix.
  void DrawHelper();
  // The lens flare at the light's current motion position, turned to face the camera, with the
  // flare texture (or none); nothing unless the flare flag is 1.
  void RenderFlare(CCamera& camera, CTextureInterface* flareTexture);
  UINT GetId() const { return m_dwId; }
  // Rebuilds view, rotation and world matrices from an eye, a look-at point and a roll. An eye
  // on the look-at point keeps the previous orientation.
  void BuildViewMatrix(const CVector3& eye, const CVector3& lookAt, float roll);
  // Angles whose sine is 0 and equal planes keep the previous projection.
  void SetSpotProjection(float nearPlane, float farPlane, float angleDegrees);
  void SetPointProjection(float nearPlane, float farPlane);

  // --- visibility lists for the active camera ---
  void ClearVisibleLists();
  // Takes a mesh that leaves the scene out of the visible lists, keeping the others' order.
  void ForgetVisibleMesh(CWorldObject* mesh);
  void UpdateVisibleLists(float frame);
  UINT GetNumberOfVisibleMeshes() const { return static_cast<UINT>(m_VisibleMeshes.size()); }
  CWorldObject* GetVisibleMesh(UINT index) const;
  UINT GetNumberOfVisibleShadowVolumes() const {
    return static_cast<UINT>(m_VisibleShadowVolumes.size());
  }
  CWorldObject* GetVisibleShadowVolume(UINT index) const;
  UINT GetVisibleMeshCapacity() const { return m_dwVisibleMeshCapacity; }
  UINT GetVisibleShadowVolumeCapacity() const { return m_dwVisibleShadowVolumeCapacity; }
  float GetVisibilityStamp() const { return m_fVisibilityStamp; }

 private:
  float Value(EnvelopeRole role) const;
  void SetFlareSize(float size);
  void SetFlareColor(DWORD color);
  // The flare's vertex format, without vertex or pixel shader.
  static void UseFixedFunction(CD3D9RendererInterface* renderer);
  // The flare quad of the flare size envelope's value, opaque white, with its texture corners.
  void FillFlareQuad();
  // Direct3D range: the range value held to kMaxRange, with the warning.
  float ClampedRange();
  void UpdateSpot(float frame);
  void CreateBoundVolume();
  void RecalculateBoundVolume();
  void Append(std::vector<CWorldObject*>& list, UINT& capacity, CWorldObject* mesh,
              const char* warning);
  void CollectForDistantLight();
  void CollectForPointLight();
  void CollectForSpotLight();
  // Whether the box of the mesh's corners and their extrusion away from `origin` (model space)
  // by `length` reaches the camera's view.
  bool ExtrudedBoxVisible(const CVector4* corners, const CVector3& origin,
                          float length, const CMatrix& world) const;

  D3DLIGHT9 m_D3DLight = {};
  CMotion m_Motion;
  CWorldObject* m_pTarget = nullptr;
  CLightBoundVolumeInterface* m_pBoundVolume = nullptr;
  std::unique_ptr<CEnvelope> m_pEnvelopes[ENVELOPE_COUNT];
  std::vector<CWorldObject*> m_VisibleMeshes;
  std::vector<CWorldObject*> m_VisibleShadowVolumes;
  CWorldObject* m_pCamera = nullptr;
  UINT m_dwVisibleMeshCapacity = kVisibleListStep;
  UINT m_dwVisibleShadowVolumeCapacity = kVisibleListStep;
  float m_fVisibilityStamp = -1.0f;
  FlareVertex m_FlareQuad[4] = {};
  char m_szName[kNameLength] = {};
  CVector3 m_vecLightVector;
  UINT m_dwParentNumber = 0;
  UINT m_dwParentReferenceType = 0;
  UINT m_dwTargetNumber = 0;
  UINT m_dwTargetType = 0;
  UINT m_dwFallOffType = 0;
  CMatrix m_mtxProjection = CMatrix::Identity();
  CMatrix m_mtxView;
  // The view rotation of the last spot view, kept for an eye that sits on its target.
  CMatrix m_mtxLookRotation = CMatrix::Identity();
  float m_fFrameEvaluated = -1.0f;
  WORD m_wType = LIGHT_DISTANT;
  WORD m_wNumber = 0;
  UINT m_dwId;
  UINT m_dwIsFlare = 0;
  UINT m_dwActive = 1;
  UINT m_dwChanged = 0;
  bool m_bInHierarchyPass = false;
};

static_assert(sizeof(CLight::FlareVertex) == 28);
