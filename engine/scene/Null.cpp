#include "scene/Null.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "scene/CameraLinks.h"
#include "scene/NullScriptHost.h"
#include "scene/NullScriptOutput.h"
#include "scene/Scene.h"
#include "scene/UpdateInputs.h"
#include "core/CopyName.h"
#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "d3d9types.h"
#include "d3dx9math.h"

namespace {

constexpr const char* kSource = "ZK3DNullProcessing";


// The gizmo's vertex: flexible vertex format 0x1C2.
struct AxisVertex {
  float x, y, z;
  DWORD dwDiffuse;
  DWORD dwSpecular;
  float u, v;
};
static_assert(sizeof(AxisVertex) == 28);

constexpr DWORD kAxesFVF = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1;
static_assert(kAxesFVF == 0x1C2);
constexpr DWORD kAxesColour = 0x8000FFC0;

}  // namespace

CNull::CNull(CD3D9RendererInterface* renderer, CEngineLog* log)
    : TWorldObject(nullptr, renderer, log, WORLD_OBJECT_NULL, GUARD_NULL), m_Options(this, log) {}

CNull::CNull(CD3D9RendererInterface* renderer, CEngineLog* log, const char* nameText)
    : CNull(renderer, log) {
  m_mtxMatrix = CMatrix::Identity();
  m_mtxRotationMatrix = CMatrix::Identity();
  const char* text = nameText != nullptr ? nameText : "";
  const char* separator = std::strchr(text, ';');
  CopyName(m_szName, text,
           separator != nullptr ? static_cast<size_t>(separator - text) : std::strlen(text));
  for (char& c : m_szName) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (separator != nullptr) CopyName(m_szScript, separator + 1);
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "- Creating NULL: %s\n", m_szName);
  if (separator == nullptr)
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "  - No Script Attached\n");
  else
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "- Creating NULL: %s With Script Attached: %s\n",
          m_szName, m_szScript);
}

CNull::~CNull() {
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "- (CNull) Releasing %s\n", m_szName);
}

void CNull::SetName(const char* name) {
  CopyName(m_szName, name);
}

void CNull::SetScript(const char* script) {
  CopyName(m_szScript, script);
  m_dwScriptApplied = 0;  // a new script runs at the next ApplyScript
}

// --- placement ---

void CNull::GetScale(CVector3* out) {
  if (out != nullptr) *out = ScaleFrom(m_Motion);
}

void CNull::LocalPlacement(CMatrix* world, CMatrix* rotation) {
  CVector3 scale;
  GetScale(&scale);
  world->SetScale(scale.x, scale.y, scale.z);

  if (HasExplicitRotation() && HasExplicitQuaternion()) {
    const float* q = GetExplicitQuaternion();
    const D3DXQUATERNION quaternion(q[0], q[1], q[2], q[3]);
    D3DXMATRIX turn;
    D3DXMatrixRotationQuaternion(&turn, &quaternion);
    for (UINT row = 0; row < 4; ++row)
      for (UINT column = 0; column < 4; ++column) rotation->m[row][column] = turn(row, column);
  } else {
    const CVector3 angles = GetLocalRotation(*this, m_Motion);
    rotation->SetRotateZ(angles.z);
    rotation->RotateX(angles.y);
    rotation->RotateY(angles.x);
  }
  *world = *world * *rotation;

  const CVector3 position = GetLocalPosition(*this, m_Motion);
  world->Move(position.x, position.y, position.z);
}

void CNull::PrepareMatrices(float frame) {
  if (m_dwFollowFrame == 0) frame = m_fFrameSet;
  if (GetGuard()->Update(frame) == 1) {
    m_Motion.Evaluate(frame);
    LocalPlacement(&m_mtxMatrix, &m_mtxRotationMatrix);
  }
  m_fFramePrepared = frame;
  m_fHierarchyFrame = -1.0f;
}

void CNull::UpdateHierarchy(float frame) {
  if (m_fHierarchyFrame != -1.0f) return;
  if (m_fFrameSet != -1.0f) frame = m_fFrameSet;
  if (frame != -1.0f && GetGuard()->Update(frame) == 1) {
    CWorldObject* parent = GetParent();
    if (parent != nullptr) {
      if (frame != parent->GetFramePrepared()) {
        CMatrix parentMatrix;
        parent->MotionToMatrix(&parentMatrix, frame);
        m_mtxMatrix = m_mtxMatrix * parentMatrix;
        parentMatrix._41 = parentMatrix._42 = parentMatrix._43 = 0.0f;
        m_mtxRotationMatrix = m_mtxRotationMatrix * parentMatrix;
      } else {
        m_mtxMatrix = m_mtxMatrix * *parent->GetMatrix(frame);
        m_mtxRotationMatrix = m_mtxRotationMatrix * *parent->GetRotationMatrix(frame);
      }
    }
    m_Options.Update();
  }
  m_fHierarchyFrame = frame;
}

void CNull::MotionToMatrix(CMatrix* out, float frame) {
  m_Motion.Evaluate(frame);
  CMatrix rotation;
  LocalPlacement(out, &rotation);
  ApplyParentPlacement(out, frame);
}

CMatrix* CNull::GetMatrix(float frame) {
  UpdateHierarchy(frame);
  return &m_mtxMatrix;
}

CMatrix* CNull::GetRotationMatrix(float frame) {
  UpdateHierarchy(frame);
  return &m_mtxRotationMatrix;
}

void CNull::SetFrame(float frame, UINT recurse) { PinOrFollowFrame(frame, recurse); }

void CNull::GetUpdateInputs(CUpdateInputs* inputs) {
  inputs->pParent = GetParent();
  inputs->pMotion = &m_Motion;
}

void CNull::RemoveAdditionalTransformation() { ClearExplicitValues(true, true, true, false); }

void CNull::GetPosition(CVector3* out, UINT flag) {
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
            "WARNING!!! - Unknown FLAG For CNull::GetPosition\n");
  }
}

void CNull::GetRotation(CVector3* out, UINT flag) {
  if (out == nullptr) return;
  if (flag > 1) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "WARNING!!! - Unknown FLAG For CNull::GetRotation\n");
    return;
  }
  *out = GetLocalRotation(*this, m_Motion);
  CWorldObject* parent = GetParent();
  if (flag == 1 || parent == nullptr) return;
  CVector3 parentRotation;
  if (!GetParentRotation(parent, &parentRotation)) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, "ERROR!!! - CNull Parent's Type Unknown\n");
    return;
  }
  *out = *out + parentRotation;
}

CMotion* CNull::GetMotion(float frame) {
  if (m_Motion.GetLastFrame() != frame) m_Motion.Evaluate(frame);
  return &m_Motion;
}

CSceneInterface* CNull::GetScene() { return m_pScene; }

CWorldObjectInterface* CNull::GetTopmostParent() { return GetTopmostParentInterface(this); }

// --- script and options ---

UINT CNull::ApplyScript() {
  if (m_szScript[0] == '\0' || m_dwScriptApplied != 0) return 1;
  CNullScriptOutput output(m_pLog);
  if (GetEngineContext()->ports.nullScripts->ExecuteString(this, kScriptModule, m_szScript,
                                                           &output, 0) >= 0)
    m_dwScriptApplied = 1;
  return 1;
}

UINT CNull::StartOption() {
  m_Options.Start();
  return 1;
}

UINT CNull::Clone(CNullInterface** out) {
  auto* clone = new CNull(static_cast<CD3D9RendererInterface*>(m_pRendererContext), m_pLog);
  if (out != nullptr) *out = clone;
  clone->m_pScene = m_pScene;
  if (m_pScene != nullptr) m_pScene->AppendWorldObject(clone);

  void* data;
  UINT value1, value2;
  CWorldObject::GetUserDefinedData(&data, &value1, &value2);
  clone->CWorldObject::SetUserDefinedData(data, value1, value2);
  std::memcpy(clone->m_szName, m_szName, sizeof m_szName);
  m_Motion.CopyTo(clone->m_Motion);
  clone->m_dwParentNumber = m_dwParentNumber;
  clone->m_dwParentReferenceType = m_dwParentReferenceType;
  clone->m_fHierarchyFrame = m_fHierarchyFrame;
  clone->SetParent(GetParentObject(0));
  clone->m_dwFollowFrame = m_dwFollowFrame;
  clone->m_fFrameSet = m_fFrameSet;
  clone->m_fFramePrepared = m_fFramePrepared;
  clone->m_mtxMatrix = m_mtxMatrix;
  clone->m_mtxRotationMatrix = m_mtxRotationMatrix;
  clone->SetExplicitPosition(GetExplicitPosition());
  clone->SetExplicitRotation(GetExplicitRotation());
  clone->SetExplicitScale(GetExplicitScale());
  const float* quaternion = GetExplicitQuaternion();
  clone->SetExplicitQuaternion(quaternion[0], quaternion[1], quaternion[2], quaternion[3]);
  clone->ClearExplicitValues(!HasExplicitPosition(), !HasExplicitRotation(), !HasExplicitScale(),
                             !HasExplicitQuaternion());
  return 1;
}

// --- debug drawing ---

void CNull::DrawAxes() {
  auto* renderer = static_cast<CD3D9RendererInterface*>(m_pRendererContext);
  if (renderer == nullptr) return;
  static const AxisVertex kVertices[6] = {
      {0.0f, -0.75f, 0.0f, kAxesColour, 0, 0.0f, 0.0f}, {0.0f, 0.75f, 0.0f, kAxesColour, 0, 0.0f, 0.0f},
      {-0.75f, 0.0f, 0.0f, kAxesColour, 0, 0.0f, 0.0f}, {0.75f, 0.0f, 0.0f, kAxesColour, 0, 0.0f, 0.0f},
      {0.0f, 0.0f, -0.75f, kAxesColour, 0, 0.0f, 0.0f}, {0.0f, 0.0f, 0.75f, kAxesColour, 0, 0.0f, 0.0f}};
  static const WORD kIndices[6] = {0, 1, 2, 3, 4, 5};

  renderer->SetTransform(D3DTS_WORLD, &m_mtxMatrix);
  if (auto* declarations = renderer->GetVertexDeclarationStorageInterface())
    declarations->SetFVF(kAxesFVF);
  if (auto* vertexShaders = renderer->GetVertexShaderStorageInterface())
    vertexShaders->SetShader(nullptr);
  if (auto* pixelShaders = renderer->GetPixelShaderStorageInterface())
    pixelShaders->SetShader(nullptr);
  renderer->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
  renderer->DrawIndexedPrimitiveUP(D3DPT_LINELIST, 0, 6, 3, kIndices, D3DFMT_INDEX16, kVertices,
                                   sizeof(AxisVertex));
  renderer->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
}
