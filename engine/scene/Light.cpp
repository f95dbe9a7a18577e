#include "scene/Light.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "core/UnitToByte.h"
#include "scene/Camera.h"
#include "scene/CameraLinks.h"
#include "scene/Envelope.h"
#include "scene/LightSpatial.h"
#include "scene/LookRotation.h"
#include "scene/QuaternionRotation.h"
#include "scene/Scene.h"
#include "scene/UpdateInputs.h"
#include "ZeKorbD3DHeader.h"
#include "core/CopyName.h"
#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "core/FatalError.h"

namespace {

constexpr const char* kSource = "ZK3DLightProcessing";
// Twice the angle in radians: Direct3D's theta and phi are full cone angles.
constexpr float kDegreesToFullConeRadians = 0.034906585f;
constexpr float kColorScale = 0.003921569f;  // 1 / 255
constexpr float kFlareScale = 20.0f;
// How far a distant light's shadow is extruded.
constexpr float kDistantExtrusion = 1000.0f;

CLightSpatial* Spatial() { return GetEngineContext()->ports.lightSpatial.Get(); }

DWORD PackColor(float red, float green, float blue) {
  return 0xFF000000u | UnitToByte(red) << 16 | UnitToByte(green) << 8 | UnitToByte(blue);
}

CMeshInterface* MeshOf(CWorldObject* object) {
  return object != nullptr ? dynamic_cast<CMeshInterface*>(object->GetInterface()) : nullptr;
}

bool IsCandidate(CMeshInterface* mesh) {
  return mesh != nullptr && mesh->GetBoundingBox(1) != nullptr && mesh->GetVisibleByCameras() == 1;
}

CMatrix InverseOf(const CMatrix& matrix) {
  CMatrix inverse = CMatrix::Identity();
  matrix.Inverse(&inverse);
  return inverse;
}

CVector3 Normalised(CVector3 v) {
  v.Normalize();
  return v;
}

}  // namespace

// --- construction ---

CLight::CLight(CD3D9RendererInterface* renderer, CEngineLog* log, CScene* scene)
    : TWorldObject(scene, renderer, log, WORLD_OBJECT_LIGHT, GUARD_LIGHT),
      m_dwId(GetEngineContext()->dwLightCounter++) {
  static constexpr float kDefaults[ENVELOPE_COUNT] = {0.5f, 90.0f, 80.0f, 20.0f,
                                                      FLT_MAX, 1.0f, 1.0f, 1.0f};
  for (UINT role = 0; role < ENVELOPE_COUNT; ++role)
    m_pEnvelopes[role] = std::make_unique<CEnvelope>(0, nullptr, kDefaults[role]);
  m_VisibleMeshes.reserve(m_dwVisibleMeshCapacity);
  m_VisibleShadowVolumes.reserve(m_dwVisibleShadowVolumeCapacity);
  m_mtxMatrix = CMatrix::Identity();
  m_mtxRotationMatrix = CMatrix::Identity();
}

CLight::CLight(CD3D9RendererInterface* renderer, CEngineLog* log, CScene* scene,
               const ImportedRecord& record)
    : CLight(renderer, log, scene) {
  m_dwParentNumber = record.dwParentNumber;
  m_dwParentReferenceType = record.dwParentType;
  m_dwTargetNumber = record.dwTargetNumber;
  m_dwTargetType = record.dwTargetType;
  m_dwActive = record.dwActive;
  SetName(record.szName);
  m_dwIsFlare = record.dwIsFlare;
  m_dwFallOffType = record.dwFallOffType;
  m_wNumber = record.wNumber;
  m_wType = record.wType;
  m_vecLightVector = record.vecLightVector;

  struct Made {
    EnvelopeRole role;
    const char* failure;
  };
  static constexpr Made kOrder[ENVELOPE_COUNT] = {
      {ENVELOPE_INTENSITY, "Can't Create Light Intensity Envelope"},
      {ENVELOPE_CONE_ANGLE, "Can't Create Light Cone Angle Envelope"},
      {ENVELOPE_RANGE, "Can't Create Light Range Envelope"},
      {ENVELOPE_FLARE_SIZE, "Can't Create Light Flare Size Envelope"},
      {ENVELOPE_INNER_CONE_ANGLE, "Can't Create Light Inner Cone Angle Envelope"},
      {ENVELOPE_RED, "Can't Create Light Color (R) Envelope"},
      {ENVELOPE_GREEN, "Can't Create Light Color (G) Envelope"},
      {ENVELOPE_BLUE, "Can't Create Light Color (B) Envelope"},
  };
  for (const Made& made : kOrder) {
    const EnvelopeDescription& description = record.envelopes[made.role];
    m_pEnvelopes[made.role].reset(
        NewOrFatal<CEnvelope>("Error When Updating Light", made.failure, description.dwIsEnvelope,
                              description.pChannel, description.fValue));
  }
  if (record.pMotion != nullptr) record.pMotion->CopyTo(m_Motion);
  m_mtxMatrix = CMatrix::Identity();

  m_D3DLight = {};
  if (m_wType == LIGHT_DISTANT) {
    m_D3DLight.Type = D3DLIGHT_DIRECTIONAL;
    m_D3DLight.Attenuation0 = 1.0f;
    return;
  }
  CEnvelope* flare = GetEnvelope(ENVELOPE_FLARE_SIZE);
  if (flare->GetIsEnvelope() != 0) flare->CalcStep(1.0f);
  if (m_wType == LIGHT_POINT) {
    m_D3DLight.Type = D3DLIGHT_POINT;
    m_D3DLight.Range = Value(ENVELOPE_RANGE);
    m_D3DLight.Attenuation1 = 1.0f;
  } else if (m_wType == LIGHT_SPOT) {
    // The first hierarchy update turns the record into a spot.
    m_D3DLight.Type = D3DLIGHT_POINT;
    CEnvelope* cone = GetEnvelope(ENVELOPE_CONE_ANGLE);
    if (cone->GetIsEnvelope() != 0) cone->CalcStep(1.0f);
    m_D3DLight.Range = Value(ENVELOPE_RANGE);
    if (!(m_D3DLight.Range > 0.0f))
      FatalErrorWithTitle("Error While Updating File", "Spotlite Range Should Be Set");
    m_D3DLight.Attenuation0 = 1.0f;
  }
  FillFlareQuad();
  if (m_wType == LIGHT_POINT || m_wType == LIGHT_SPOT) CreateBoundVolume();
}

void CLight::FillFlareQuad() {
  SetFlareSize(Value(ENVELOPE_FLARE_SIZE) * kFlareScale);
  for (UINT i = 0; i < 4; ++i) {
    m_FlareQuad[i].u = i < 2 ? 0.0f : 1.0f;
    m_FlareQuad[i].v = i % 2 == 0 ? 1.0f : 0.0f;
  }
  SetFlareColor(0xFFFFFFFF);
}

void CLight::FinishLoaded() {
  if (m_wType == LIGHT_DISTANT) return;
  CEnvelope* flare = GetEnvelope(ENVELOPE_FLARE_SIZE);
  if (flare->GetIsEnvelope() != 0) flare->CalcStep(1.0f);
  m_D3DLight.Range = Value(ENVELOPE_RANGE);
  FillFlareQuad();
  if (m_wType != LIGHT_POINT && m_wType != LIGHT_SPOT) return;
  if (m_pBoundVolume == nullptr) CreateBoundVolume();
  RecalculateBoundVolume();
}

CLight::~CLight() {
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "- (CLight) Releasing %s\n", m_szName);
  if (m_pBoundVolume != nullptr) Spatial()->ReleaseBoundVolume(m_pBoundVolume);
  DeleteOwnCamera(m_pCamera);
}


float CLight::Value(EnvelopeRole role) const { return m_pEnvelopes[role]->GetValue(); }

void CLight::CreateBoundVolume() {
  m_pBoundVolume = Spatial()->CreateBoundVolume(this);
}

void CLight::RecalculateBoundVolume() {
  if (m_pBoundVolume != nullptr) Spatial()->RecalculateBoundVolume(m_pBoundVolume, this);
}

void CLight::SetFlareSize(float size) {
  static constexpr float kSigns[4][2] = {{-1, -1}, {-1, 1}, {1, -1}, {1, 1}};
  for (UINT i = 0; i < 4; ++i) {
    m_FlareQuad[i].x = kSigns[i][0] * size;
    m_FlareQuad[i].y = kSigns[i][1] * size;
  }
}

void CLight::SetFlareColor(DWORD color) {
  for (FlareVertex& vertex : m_FlareQuad) vertex.dwDiffuse = color;
}

// --- plain operations ---

CWorldObjectInterface* CLight::GetTargetObject(UINT /*ignored*/) {
  if (m_pTarget == nullptr || !IsKnownType(m_pTarget->GetWorldObjectType())) return nullptr;
  return m_pTarget->GetInterface();
}

CSceneInterface* CLight::GetParentScene() { return m_pScene; }

CEnvelopeInterface* CLight::GetFlareSizeEnvelope(UINT) { return GetEnvelope(ENVELOPE_FLARE_SIZE); }
CEnvelopeInterface* CLight::GetConeAngleEnvelope(UINT) { return GetEnvelope(ENVELOPE_CONE_ANGLE); }
CEnvelopeInterface* CLight::GetRangeEnvelope(UINT) { return GetEnvelope(ENVELOPE_RANGE); }
CEnvelopeInterface* CLight::GetIntensityEnvelope(UINT) { return GetEnvelope(ENVELOPE_INTENSITY); }

UINT CLight::GetColor() {
  return PackColor(m_D3DLight.Diffuse.r, m_D3DLight.Diffuse.g, m_D3DLight.Diffuse.b);
}

CVector3* CLight::GetColorVector(CVector3* out) {
  if (out != nullptr) *out = {m_D3DLight.Diffuse.r, m_D3DLight.Diffuse.g, m_D3DLight.Diffuse.b};
  return out;
}

void CLight::SetName(const char* name) {
  CopyName(m_szName, name);
}

void CLight::GetPosition(CVector3* out, UINT flag) {
  if (out == nullptr) return;
  switch (flag) {
    case 0:
      *out = CVector3() * m_mtxMatrix;
      break;
    case 1:
      *out = GetLocalPosition(*this, m_Motion);
      break;
    default:
      LogTo(m_pLog, kSource, CEngineLog::kLevelError,
            "WARNING!!! - Unknown FLAG For CLight::GetPosition\n");
  }
}

void CLight::GetRotation(CVector3* out, UINT flag) {
  if (out == nullptr) return;
  if (flag != 0 && flag != 1) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "WARNING!!! - Unknown FLAG For CLight::GetRotation\n");
    return;
  }
  *out = GetLocalRotation(*this, m_Motion);
  CWorldObject* parent = GetParent();
  if (flag == 1 || parent == nullptr) return;
  CVector3 parentRotation;
  if (!GetParentRotation(parent, &parentRotation)) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, "ERROR!!! - CMesh Parent's Type Unknown\n");
    return;
  }
  *out = *out + parentRotation;
}

void CLight::SetParentObject(CWorldObjectInterface* parent) {
  if (parent != nullptr && FromInterface(parent) == this) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "WARNING!!! - Can't Parent Item To Itself: %s\n", m_szName);
    CWorldObject::SetParent(nullptr);
    return;
  }
  CWorldObject::SetParent(parent);
}

void CLight::SetTargetObject(CWorldObjectInterface* target) {
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

CMotion* CLight::GetMotion(float frame) {
  if (m_Motion.GetLastFrame() != frame) m_Motion.Evaluate(frame);
  return &m_Motion;
}

CWorldObjectInterface* CLight::GetTopmostParent() { return GetTopmostParentInterface(this); }

void CLight::SetColor(UINT color) {
  static constexpr struct {
    EnvelopeRole role;
    UINT shift;
    const char* name;
  } kComponents[] = {{ENVELOPE_RED, 16, "Red"}, {ENVELOPE_GREEN, 8, "Green"}, {ENVELOPE_BLUE, 0, "Blue"}};
  for (const auto& component : kComponents) {
    CEnvelope* envelope = GetEnvelope(component.role);
    if (envelope->GetIsEnvelope() == 0) {
      envelope->SetValue(static_cast<float>((color >> component.shift) & 0xFF) * kColorScale);
    } else {
      LogTo(m_pLog, kSource, CEngineLog::kLevelError,
            "WARNING!!! - Can't Set %s Color For The Light %s, Because It's An Envelope\n",
            component.name, m_szName);
    }
  }
}

void CLight::SetType(WORD type) {
  static constexpr D3DLIGHTTYPE kD3DTypes[] = {D3DLIGHT_DIRECTIONAL, D3DLIGHT_POINT, D3DLIGHT_SPOT};
  if (type <= LIGHT_SPOT) {
    m_D3DLight.Type = kD3DTypes[type];
    m_D3DLight.Attenuation0 = 1.0f;
  }
  m_wType = type;
}

void CLight::RemoveAdditionalTransformation() { ClearExplicitValues(true, true, false, false); }

void CLight::GetUpdateInputs(CUpdateInputs* inputs) {
  inputs->pParent = GetParent();
  inputs->pTarget = m_pTarget;
  inputs->pMotion = &m_Motion;
  for (const auto& envelope : m_pEnvelopes) inputs->AddEnvelope(envelope.get());
}

// --- matrices ---

void CLight::GetDirection(CVector3* out) const {
  if (out == nullptr) return;
  if (m_wType == LIGHT_SPOT || m_wType == LIGHT_DISTANT)
    *out = CVector3(0.0f, 0.0f, 1.0f) * m_mtxRotationMatrix;
  else
    *out = {};
}

void CLight::SetFrame(float frame, UINT recurse) { PinOrFollowFrame(frame, recurse); }

void CLight::MotionToMatrix(CMatrix* out, float frame) {
  if (out == nullptr) return;
  CMatrix matrix = CMatrix::Identity();
  if (HasExplicitScale()) {
    const CVector3& scale = GetExplicitScale();
    matrix.Scale(scale.x, scale.y, scale.z);
  } else if (m_Motion.GetNumberOfChannels() >= 7) {
    matrix.Scale(m_Motion.GetChannel(MOTION_SCALE_X)->GetValue(),
                 m_Motion.GetChannel(MOTION_SCALE_Y)->GetValue(),
                 m_Motion.GetChannel(MOTION_SCALE_Z)->GetValue());
  }
  if (HasExplicitRotation() && HasExplicitQuaternion()) {
    MultiplyByQuaternionRotation(&matrix, GetExplicitQuaternion());
  } else {
    const CVector3 rotation = GetLocalRotation(*this, m_Motion);
    matrix.RotateZ(rotation.z);
    matrix.RotateX(rotation.y);
    matrix.RotateY(rotation.x);
  }
  const CVector3 position = GetLocalPosition(*this, m_Motion);
  matrix.Move(position.x, position.y, position.z);
  ApplyParentPlacement(&matrix, frame);
  *out = matrix;
}

void CLight::PrepareMatrices(float frame) {
  if (m_dwFollowFrame == 0) frame = m_fFrameSet;
  m_dwChanged = GetGuard()->Update(frame);
  if (m_dwChanged == 1) {
    m_Motion.Evaluate(frame);
    m_mtxView = CMatrix::Identity();
    const CVector3 position = GetLocalPosition(*this, m_Motion);
    if (m_wType == LIGHT_SPOT || m_wType == LIGHT_DISTANT) {
      const CVector3 rotation = GetLocalRotation(*this, m_Motion);
      m_mtxMatrix.SetRotateZ(rotation.z);
      m_mtxMatrix.RotateX(rotation.y);
      m_mtxMatrix.RotateY(rotation.x);
      m_mtxRotationMatrix = m_mtxMatrix;
      if (m_wType == LIGHT_SPOT) m_mtxMatrix.Move(position.x, position.y, position.z);
    } else {
      m_mtxMatrix.SetMove(position.x, position.y, position.z);
      // The parent's rotation is multiplied in at every recomputation, so it starts afresh.
      m_mtxRotationMatrix = CMatrix::Identity();
    }
    static constexpr EnvelopeRole kAlwaysStepped[] = {ENVELOPE_INTENSITY, ENVELOPE_FLARE_SIZE,
                                                      ENVELOPE_RANGE, ENVELOPE_RED,
                                                      ENVELOPE_GREEN, ENVELOPE_BLUE};
    for (EnvelopeRole role : kAlwaysStepped) GetEnvelope(role)->CalcStep(frame);
    const bool rangeKeyed = GetEnvelope(ENVELOPE_RANGE)->GetIsEnvelope() != 0;
    if (m_wType == LIGHT_SPOT) {
      GetEnvelope(ENVELOPE_CONE_ANGLE)->CalcStep(frame);
      GetEnvelope(ENVELOPE_INNER_CONE_ANGLE)->CalcStep(frame);
      if (rangeKeyed || GetEnvelope(ENVELOPE_CONE_ANGLE)->GetIsEnvelope() != 0 ||
          GetEnvelope(ENVELOPE_INNER_CONE_ANGLE)->GetIsEnvelope() != 0)
        RecalculateBoundVolume();
    } else if (m_wType == LIGHT_POINT && rangeKeyed) {
      RecalculateBoundVolume();
    }
  }
  m_fFramePrepared = frame;
  m_fFrameEvaluated = -1.0f;
}

float CLight::ClampedRange() {
  const float range = Value(ENVELOPE_RANGE);
  if (range <= kMaxRange) return range;
  LogTo(m_pLog, kSource, CEngineLog::kLevelError,
        "WARNING!!! - Light (%s From %s) Range Exceeded Maximum Acceptable Value, Will Be "
        "Rounded\n",
        m_szName, m_pScene != nullptr ? m_pScene->GetName() : "");
  return kMaxRange;
}

void CLight::UpdateHierarchy(float frame) {
  // A target that hangs below this light asks for the light's matrix while the light asks for
  // the target's position: the inner request takes the matrices as they stand.
  if (m_fFrameEvaluated != -1.0f || m_bInHierarchyPass) return;
  if (m_fFrameSet != -1.0f) frame = m_fFrameSet;
  if (frame != -1.0f && m_dwChanged == 1) {
    m_bInHierarchyPass = true;
    const float red = Value(ENVELOPE_RED), green = Value(ENVELOPE_GREEN),
                blue = Value(ENVELOPE_BLUE), intensity = Value(ENVELOPE_INTENSITY);
    SetFlareColor(PackColor(red, green, blue));
    m_D3DLight.Diffuse = {red * intensity, green * intensity, blue * intensity, 1.0f};
    m_D3DLight.Specular = m_D3DLight.Diffuse;

    if (CWorldObject* parent = GetParent()) {
      if (parent->GetFramePrepared() == frame) {
        m_mtxMatrix = m_mtxMatrix * *parent->GetMatrix(frame);
        m_mtxRotationMatrix = m_mtxRotationMatrix * *parent->GetRotationMatrix(frame);
      } else {
        CMatrix placement;
        parent->MotionToMatrix(&placement, frame);
        m_mtxMatrix = m_mtxMatrix * placement;
        placement._41 = placement._42 = placement._43 = 0.0f;
        m_mtxRotationMatrix = m_mtxRotationMatrix * placement;
      }
    }

    switch (m_wType) {
      case LIGHT_SPOT:
        UpdateSpot(frame);
        break;
      case LIGHT_DISTANT:
        m_vecLightVector = Normalised(CVector3(0.0f, 0.0f, 1.0f) * m_mtxRotationMatrix);
        m_D3DLight.Direction = {m_vecLightVector.x, m_vecLightVector.y, m_vecLightVector.z};
        m_mtxView = InverseOf(m_mtxMatrix);
        m_mtxProjection = CMatrix::Identity();
        m_D3DLight.Type = D3DLIGHT_DIRECTIONAL;
        break;
      case LIGHT_POINT:
        m_vecLightVector = CVector3() * m_mtxMatrix;
        m_D3DLight.Position = {m_vecLightVector.x, m_vecLightVector.y, m_vecLightVector.z};
        m_D3DLight.Range = ClampedRange();
        m_D3DLight.Attenuation0 = 0.25f;
        m_D3DLight.Attenuation1 = 0.25f;
        m_D3DLight.Attenuation2 = 0.0f;
        m_mtxView = InverseOf(m_mtxMatrix);
        SetPointProjection(kNearPlane, Value(ENVELOPE_RANGE));
        m_D3DLight.Type = D3DLIGHT_POINT;
        break;
      default:
        m_vecLightVector = CVector3() * m_mtxMatrix;
        m_D3DLight.Position = {m_vecLightVector.x, m_vecLightVector.y, m_vecLightVector.z};
        m_mtxView = InverseOf(m_mtxMatrix);
        m_mtxProjection = CMatrix::Identity();
    }
    if (GetEnvelope(ENVELOPE_FLARE_SIZE)->GetIsEnvelope() != 0)
      SetFlareSize(Value(ENVELOPE_FLARE_SIZE) * kFlareScale);
    m_bInHierarchyPass = false;
  }
  m_fFrameEvaluated = frame;
}

void CLight::UpdateSpot(float frame) {
  const CVector3 eye = CVector3() * m_mtxMatrix;
  CVector3 lookAt;
  // Without a null or mesh target the spot shines along its own Z axis.
  if (!GetTargetPosition(m_pTarget, frame, &lookAt)) lookAt = CVector3(0.0f, 0.0f, 1.0f) * m_mtxMatrix;
  const float bank = GetMotion(frame)->GetChannel(MOTION_BANK)->GetValue();
  BuildViewMatrix(eye, lookAt, -bank);

  m_vecLightVector = Normalised(CVector3(0.0f, 0.0f, 1.0f) * m_mtxRotationMatrix);
  m_D3DLight.Direction = {m_vecLightVector.x, m_vecLightVector.y, m_vecLightVector.z};
  m_D3DLight.Position = {eye.x, eye.y, eye.z};
  m_D3DLight.Attenuation0 = 0.25f;
  m_D3DLight.Attenuation1 = 0.25f;
  m_D3DLight.Attenuation2 = 0.0f;
  m_D3DLight.Range = ClampedRange();
  float cone = Value(ENVELOPE_CONE_ANGLE);
  if (cone > kMaxConeAngle) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "WARNING!!! - Light (%s) Cone Exceeded Maximum Acceptable Value, Will Be Rounded\n",
          m_szName);
    cone = kMaxConeAngle;
  }
  m_D3DLight.Phi = cone * kDegreesToFullConeRadians;
  m_D3DLight.Falloff = 1.0f;
  m_D3DLight.Type = D3DLIGHT_SPOT;
  m_D3DLight.Theta = (cone - Value(ENVELOPE_INNER_CONE_ANGLE)) * kDegreesToFullConeRadians;
  // The held cone, as Direct3D lights it: at 90 degrees the projection would be flat and the
  // spot's frustum culling would see nothing.
  SetSpotProjection(kNearPlane, Value(ENVELOPE_RANGE), cone);
}

void CLight::BuildViewMatrix(const CVector3& eye, const CVector3& lookAt, float roll) {
  ComputeLookRotation(eye, lookAt, roll, &m_mtxLookRotation);
  CMatrix translation;
  translation.SetMove(-eye.x, -eye.y, -eye.z);
  m_mtxView = translation * m_mtxLookRotation;
  m_mtxRotationMatrix = InverseOf(m_mtxLookRotation);
  m_mtxMatrix = InverseOf(m_mtxView);
}

void CLight::SetSpotProjection(float nearPlane, float farPlane, float angleDegrees) {
  const float angle = angleDegrees * static_cast<float>(M_PI / 180.0);
  const float sine = std::sin(angle);
  if (sine == 0.0f || farPlane == nearPlane) return;
  m_mtxProjection = CMatrix();
  m_mtxProjection._11 = m_mtxProjection._22 = std::cos(angle) / sine;
  m_mtxProjection._33 = farPlane / (farPlane - nearPlane);
  m_mtxProjection._34 = 1.0f;
  m_mtxProjection._43 = nearPlane * farPlane / (nearPlane - farPlane);
}

void CLight::SetPointProjection(float nearPlane, float farPlane) {
  if (farPlane == nearPlane) return;
  m_mtxProjection = CMatrix();
  m_mtxProjection._11 = m_mtxProjection._22 = 1.0f;
  m_mtxProjection._33 = farPlane / (farPlane - nearPlane);
  m_mtxProjection._34 = 1.0f;
  m_mtxProjection._43 = nearPlane * farPlane / (nearPlane - farPlane);
}

CMatrix* CLight::GetMatrix(float frame) {
  UpdateHierarchy(frame);
  return &m_mtxMatrix;
}

CMatrix* CLight::GetRotationMatrix(float frame) {
  UpdateHierarchy(frame);
  return &m_mtxRotationMatrix;
}

// --- clone ---

UINT CLight::Clone(CLightInterface** out) {
  auto* clone =
      new CLight(static_cast<CD3D9RendererInterface*>(m_pRendererContext), m_pLog, m_pScene);
  if (out != nullptr) *out = clone;
  if (m_pScene != nullptr) m_pScene->AppendWorldObject(clone);

  clone->m_D3DLight = m_D3DLight;
  m_Motion.CopyTo(clone->m_Motion);
  clone->CWorldObject::SetParent(GetParentObject(0));
  clone->m_pTarget = m_pTarget;
  // A full copy: the clone shines with the same envelopes, keyed or constant.
  for (UINT role = 0; role < ENVELOPE_COUNT; ++role) {
    CEnvelope& source = *m_pEnvelopes[role];
    clone->m_pEnvelopes[role] =
        std::make_unique<CEnvelope>(source.GetIsEnvelope(), &source.Channel(), source.GetValue());
  }
  clone->m_VisibleMeshes = m_VisibleMeshes;
  clone->m_dwVisibleMeshCapacity = std::max(clone->m_dwVisibleMeshCapacity, m_dwVisibleMeshCapacity);
  clone->m_VisibleShadowVolumes = m_VisibleShadowVolumes;
  clone->m_dwVisibleShadowVolumeCapacity =
      std::max(clone->m_dwVisibleShadowVolumeCapacity, m_dwVisibleShadowVolumeCapacity);
  clone->m_fVisibilityStamp = m_fVisibilityStamp;
  std::memcpy(clone->m_FlareQuad, m_FlareQuad, sizeof m_FlareQuad);
  std::memcpy(clone->m_szName, m_szName, sizeof m_szName);
  clone->SetExplicitPosition(GetExplicitPosition());
  clone->SetExplicitRotation(GetExplicitRotation());
  clone->SetExplicitScale(GetExplicitScale());
  const float* quaternion = GetExplicitQuaternion();
  clone->SetExplicitQuaternion(quaternion[0], quaternion[1], quaternion[2], quaternion[3]);
  clone->ClearExplicitValues(!HasExplicitPosition(), !HasExplicitRotation(), !HasExplicitScale(),
                             !HasExplicitQuaternion());
  clone->m_vecLightVector = m_vecLightVector;
  clone->m_mtxMatrix = m_mtxMatrix;
  clone->m_mtxRotationMatrix = m_mtxRotationMatrix;
  clone->m_mtxProjection = m_mtxProjection;
  clone->m_mtxView = m_mtxView;
  clone->m_mtxLookRotation = m_mtxLookRotation;
  clone->m_fFrameSet = m_fFrameSet;
  clone->m_fFramePrepared = m_fFramePrepared;
  clone->m_fFrameEvaluated = m_fFrameEvaluated;
  clone->m_dwFallOffType = m_dwFallOffType;
  clone->m_dwParentNumber = m_dwParentNumber;
  clone->m_dwParentReferenceType = m_dwParentReferenceType;
  clone->m_dwTargetNumber = m_dwTargetNumber;
  clone->m_dwTargetType = m_dwTargetType;
  clone->m_wType = m_wType;
  clone->m_wNumber = m_wNumber;
  clone->m_dwIsFlare = m_dwIsFlare;
  clone->m_dwActive = m_dwActive;
  clone->m_dwChanged = m_dwChanged;
  clone->m_dwFollowFrame = m_dwFollowFrame;
  void* data;
  UINT value1, value2;
  CWorldObject::GetUserDefinedData(&data, &value1, &value2);
  clone->CWorldObject::SetUserDefinedData(data, value1, value2);
  if (m_pBoundVolume != nullptr) clone->CreateBoundVolume();
  return 1;
}

// --- visibility lists ---

void CLight::ClearVisibleLists() {
  m_VisibleMeshes.clear();
  m_VisibleShadowVolumes.clear();
  m_fVisibilityStamp = -1.0f;
}

void CLight::ForgetVisibleMesh(CWorldObject* mesh) {
  std::erase(m_VisibleMeshes, mesh);
  std::erase(m_VisibleShadowVolumes, mesh);
}

CWorldObject* CLight::GetVisibleMesh(UINT index) const {
  return index < m_VisibleMeshes.size() ? m_VisibleMeshes[index] : nullptr;
}

CWorldObject* CLight::GetVisibleShadowVolume(UINT index) const {
  return index < m_VisibleShadowVolumes.size() ? m_VisibleShadowVolumes[index] : nullptr;
}

void CLight::Append(std::vector<CWorldObject*>& list, UINT& capacity, CWorldObject* mesh,
                    const char* warning) {
  if (list.size() >= capacity) {
    capacity += kVisibleListStep;
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, warning, capacity);
    list.reserve(capacity);
  }
  list.push_back(mesh);
}

void CLight::UpdateVisibleLists(float frame) {
  ClearVisibleLists();
  if (m_pScene != nullptr && m_pScene->GetActiveCameraObject() != nullptr) {
    if (m_wType == LIGHT_DISTANT)
      CollectForDistantLight();
    else if (m_wType == LIGHT_POINT)
      CollectForPointLight();
    else if (m_wType == LIGHT_SPOT)
      CollectForSpotLight();
  }
  m_fVisibilityStamp = frame;
}

static const char* const kMeshesWarning =
    "WARNING!!! - Increasing Light's Visible Meshes Buffer To: %i\n";
static const char* const kShadowVolumesWarning =
    "WARNING!!! - Increasing Light's Visible-Shadow-Volumes-At-Camera-View Buffer To: %i\n";

void CLight::CollectForDistantLight() {
  CCamera* camera = m_pScene->GetActiveCameraObject();
  for (UINT i = 0; i < camera->GetNumberOfVisibleMeshes(); ++i)
    Append(m_VisibleMeshes, m_dwVisibleMeshCapacity, camera->GetVisibleMesh(i), kMeshesWarning);

  const CVector4 extrusion(m_D3DLight.Direction.x * kDistantExtrusion,
                           m_D3DLight.Direction.y * kDistantExtrusion,
                           m_D3DLight.Direction.z * kDistantExtrusion, 0.0f);
  const CMatrix viewProjection =
      *camera->GetCurrentWorld2CameraMatrix() * *camera->GetProjectionMatrix();
  for (UINT i = 0; i < m_pScene->GetNumberOfMeshes(); ++i) {
    CWorldObject* object = m_pScene->GetMeshObject(i);
    CMeshInterface* mesh = MeshOf(object);
    if (!IsCandidate(mesh) || mesh->GetCanCastShadowVolume() == 0) continue;
    const CVector4* corners = mesh->GetBoundingBox(1)->GetPoints();
    if (corners == nullptr) continue;
    const CMatrix clip = *mesh->GetMatrix(mesh->GetFrame()) * viewProjection;
    CVector4 projected[8], extruded[8];
    for (UINT c = 0; c < 8; ++c) {
      const CVector4 corner(corners[c].x, corners[c].y, corners[c].z, 1.0f);
      projected[c] = corner * clip;
      extruded[c] = (corner + extrusion) * clip;
      for (CVector4* p : {&projected[c], &extruded[c]}) {
        const float w = std::fabs(p->w);
        p->x /= w;
        p->y /= w;
        p->z /= w;
      }
    }
    if (CCamera::AnySegmentVisible(projected, extruded) == 1)
      Append(m_VisibleShadowVolumes, m_dwVisibleShadowVolumeCapacity, object,
             kShadowVolumesWarning);
  }
}

bool CLight::ExtrudedBoxVisible(const CVector4* corners,
                                const CVector3& origin, float length,
                                const CMatrix& world) const {
  CVector3 minimum(FLT_MAX, FLT_MAX, FLT_MAX), maximum(-FLT_MAX, -FLT_MAX, -FLT_MAX);
  auto include = [&](const CVector3& p) {
    minimum = {std::min(minimum.x, p.x), std::min(minimum.y, p.y), std::min(minimum.z, p.z)};
    maximum = {std::max(maximum.x, p.x), std::max(maximum.y, p.y), std::max(maximum.z, p.z)};
  };
  for (UINT c = 0; c < 8; ++c) {
    const CVector3 corner(corners[c]);
    include(corner);
    include(corner + Normalised(corner - origin) * length);
  }
  return m_pScene->GetActiveCameraObject()->IsBoxVisible(minimum, maximum, world) == 1;
}

void CLight::CollectForPointLight() {
  CCamera* camera = m_pScene->GetActiveCameraObject();
  CVector3 position;
  GetPosition(&position, 0);
  const float range = Value(ENVELOPE_RANGE);
  for (UINT i = 0; i < m_pScene->GetNumberOfMeshes(); ++i) {
    CWorldObject* object = m_pScene->GetMeshObject(i);
    CMeshInterface* mesh = MeshOf(object);
    if (!IsCandidate(mesh)) continue;
    const CMatrix world = *mesh->GetMatrix(mesh->GetFrame());
    const CVector3 local = position * InverseOf(world);
    const CVector4* corners = mesh->GetBoundingBox(1)->GetPoints();
    if (corners == nullptr) continue;
    bool lit = false;
    for (UINT c = 0; c < 8 && !lit; ++c) lit = (CVector3(corners[c]) - local).Length() <= range;
    if (!lit) continue;
    if (camera->IsMeshVisible(object) == 1)
      Append(m_VisibleMeshes, m_dwVisibleMeshCapacity, object, kMeshesWarning);
    if (mesh->GetCanCastShadowVolume() != 0 &&
        ExtrudedBoxVisible(corners, local, range, world))
      Append(m_VisibleShadowVolumes, m_dwVisibleShadowVolumeCapacity, object,
             kShadowVolumesWarning);
  }
}

void CLight::CollectForSpotLight() {
  CCamera* camera = m_pScene->GetActiveCameraObject();
  CVector3 position;
  GetPosition(&position, 0);
  const float range = Value(ENVELOPE_RANGE);
  const CMatrix lightClip = m_mtxView * m_mtxProjection;
  for (UINT i = 0; i < m_pScene->GetNumberOfMeshes(); ++i) {
    CWorldObject* object = m_pScene->GetMeshObject(i);
    CMeshInterface* mesh = MeshOf(object);
    if (!IsCandidate(mesh)) continue;
    const CMatrix world = *mesh->GetMatrix(mesh->GetFrame());
    CMatrix clip = world * lightClip;
    if (mesh->GetBoundingBox(1)->CheckVisibility(clip) != 1) continue;
    if (camera->IsMeshVisible(object) == 1)
      Append(m_VisibleMeshes, m_dwVisibleMeshCapacity, object, kMeshesWarning);
    const CVector4* corners = mesh->GetBoundingBox(1)->GetPoints();
    if (mesh->GetCanCastShadowVolume() == 0 || corners == nullptr) continue;
    const CVector3 local = position * InverseOf(world);
    const CVector4 turned =
        CVector4(m_vecLightVector.x, m_vecLightVector.y, m_vecLightVector.z, 0.0f) *
        InverseOf(*mesh->GetRotationMatrix(mesh->GetFrame()));
    const CVector3 normal = Normalised(CVector3(turned.x, turned.y, turned.z));
    bool inFront = true;
    for (UINT c = 0; c < 8 && inFront; ++c)
      inFront = dot(CVector3(corners[c]) - local, normal) >= 0.0f;
    if (inFront && ExtrudedBoxVisible(corners, local, range, world))
      Append(m_VisibleShadowVolumes, m_dwVisibleShadowVolumeCapacity, object,
             kShadowVolumesWarning);
  }
}

// --- gizmo ---

void CLight::DrawHelper() {
  auto* renderer = static_cast<CD3D9RendererInterface*>(m_pRendererContext);
  if (renderer == nullptr || m_wType > LIGHT_SPOT) return;
  constexpr DWORD kGizmoColour = 0x80FFFFC0;
  // The lamp of distant and spot lights: a box open towards +Z and the rim of its mouth.
  static constexpr float kLamp[12][3] = {
      {-0.75f, -0.75f, 1.0f}, {-0.75f, -0.75f, -1.0f}, {0.75f, -0.75f, -1.0f},
      {0.75f, -0.75f, 1.0f},  {-0.75f, 0.75f, 1.0f},   {-0.75f, 0.75f, -1.0f},
      {0.75f, 0.75f, -1.0f},  {0.75f, 0.75f, 1.0f},    {-1.25f, -1.0f, 1.25f},
      {-1.25f, 1.0f, 1.25f},  {1.25f, -1.0f, 1.25f},   {1.25f, 1.0f, 1.25f}};
  static constexpr WORD kLampLines[18][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                             {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7},
                                             {0, 8}, {4, 9}, {3, 10}, {7, 11}, {8, 9}, {10, 11}};
  static constexpr float kAxes[6][3] = {{-0.75f, 0, 0}, {0.75f, 0, 0}, {0, -0.75f, 0},
                                        {0, 0.75f, 0},  {0, 0, -0.75f}, {0, 0, 0.75f}};

  std::vector<FlareVertex> vertices;
  std::vector<WORD> indices;
  auto vertex = [&](float x, float y, float z) {
    vertices.push_back({x, y, z, kGizmoColour, 0, 0.0f, 0.0f});
  };
  if (m_wType == LIGHT_POINT) {
    for (const auto& p : kAxes) vertex(p[0], p[1], p[2]);
    indices = {0, 1, 2, 3, 4, 5};
  } else {
    for (const auto& p : kLamp) vertex(p[0], p[1], p[2]);
    for (const auto& line : kLampLines) indices.insert(indices.end(), {line[0], line[1]});
    if (m_wType == LIGHT_SPOT) {
      // The cone: from the apex to four points on its rim at the range.
      const float d = Value(ENVELOPE_RANGE);
      const float s = std::tan(Value(ENVELOPE_CONE_ANGLE) * static_cast<float>(M_PI / 180.0)) * d;
      vertex(0, 0, 0);
      vertex(0, s, d);
      vertex(0, -s, d);
      vertex(s, 0, d);
      vertex(-s, 0, d);
      for (WORD rim = 13; rim < 17; ++rim) indices.insert(indices.end(), {12, rim});
    }
  }
  renderer->SetTransform(D3DTS_WORLD, &m_mtxMatrix);
  UseFixedFunction(renderer);
  renderer->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
  renderer->DrawIndexedPrimitiveUP(D3DPT_LINELIST, 0, static_cast<UINT>(vertices.size()),
                                   static_cast<UINT>(indices.size() / 2), indices.data(),
                                   D3DFMT_INDEX16, vertices.data(), sizeof(FlareVertex));
  renderer->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
}

// --- lens flare ---

void CLight::RenderFlare(CCamera& camera, CTextureInterface* flareTexture) {
  auto* renderer = static_cast<CD3D9RendererInterface*>(m_pRendererContext);
  if (m_dwIsFlare != 1 || renderer == nullptr) return;
  CMatrix placement;
  placement.SetMove(m_Motion.GetChannel(MOTION_POSITION_X)->GetValue(),
                    m_Motion.GetChannel(MOTION_POSITION_Y)->GetValue(),
                    m_Motion.GetChannel(MOTION_POSITION_Z)->GetValue());
  const CMatrix world = *camera.GetCurrentRotationMatrix() * placement;
  renderer->SetTransform(D3DTS_WORLD, &world);
  if (flareTexture != nullptr) flareTexture->Set(0);
  UseFixedFunction(renderer);
  renderer->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  renderer->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
  renderer->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TEXTURE);
  renderer->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  renderer->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
  renderer->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_TEXTURE);
  renderer->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
  renderer->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
  renderer->DrawPrimitive(D3DPT_TRIANGLESTRIP, 2, 4, m_FlareQuad, sizeof(FlareVertex));
}

void CLight::UseFixedFunction(CD3D9RendererInterface* renderer) {
  if (auto* declarations = renderer->GetVertexDeclarationStorageInterface())
    declarations->SetFVF(kFlareFVF);
  if (auto* vertexShaders = renderer->GetVertexShaderStorageInterface())
    vertexShaders->SetShader(nullptr);
  if (auto* pixelShaders = renderer->GetPixelShaderStorageInterface())
    pixelShaders->SetShader(nullptr);
}
