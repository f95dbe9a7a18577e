#include "shaders/ShaderProgramSetVertexShaderConstantF.h"

#include <cmath>

#include "core/EngineLog.h"
#include "scene/Bone.h"
#include "scene/Camera.h"
#include "scene/Mesh.h"
#include "scene/Scene.h"
#include "shaders/Shader.h"
#include "shaders/ShaderLineTable.h"
#include "shaders/ShaderPass.h"
#include "shaders/ShaderTargetObjects.h"
#include "shaders/ShaderVariableNode.h"

namespace {

const ShaderConstantKind kKind = {
    ShaderConstantStage::kVertex,
    ShaderConstantForm::kFloat,
    21,
    "    - Compiling SetVertexShaderConstantF: %s",
    false,
    "CShaderProgramSetVertexShaderConstantF::CShaderProgramSetVertexShaderConstantF",
    "CShaderProgramSetVertexShaderConstantF::Execute",
    "ERROR ! - CShaderProgramSetVertexShaderConstantF::Execute - %s\n%s\n",
};

// The value the MESH and CAMERA sources give their tables (MTXBONES, VISIBLELIGHTS).
constexpr DWORD kListTable = 100;
constexpr UINT kRegistersPerBone = 3;
constexpr UINT kRegistersPerLight = 5;

}  // namespace

CShaderProgramSetVertexShaderConstantF::CShaderProgramSetVertexShaderConstantF(
    const ShaderLineArguments& arguments)
    : CShaderProgramSetConstant(arguments, kKind) {}

UINT CShaderProgramSetVertexShaderConstantF::LoadTable() {
  const ShaderVariableValue* value = m_pVariable->GetValue();
  if (value->scalar.dwValue != kListTable) return 1;
  CShader* shader = m_pPass->GetShader();
  if (value->wSource == SHADER_SOURCE_MESH && shader->GetTargetKind() == SHADER_TARGET_MESH) {
    LoadBonePalette(static_cast<CMesh*>(shader->GetTarget()));
    return 1;
  }
  if (value->wSource == SHADER_SOURCE_CAMERA) return LoadVisibleLights();
  return 1;
}

// The skinning matrices go in transposed, three rows each, so a program transforms a point
// with three dot products; the identity in front stands for vertices without bones.
void CShaderProgramSetVertexShaderConstantF::LoadBonePalette(CMesh* mesh) {
  static const float kIdentityRows[12] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};
  LoadFloats(m_dwRegister, kIdentityRows, kRegistersPerBone);
  if (mesh == nullptr) return;
  CBone* bones = mesh->GetBones();
  const UINT count = bones != nullptr ? mesh->GetNumberOfBones() : 0;
  const float frame = mesh->GetFrame();
  for (UINT b = 0; b < count; ++b) {
    const CMatrix& skin = *bones[b].GetBoneMatrix(frame);
    float rows[12];
    for (int row = 0; row < 3; ++row)
      for (int column = 0; column < 4; ++column) rows[4 * row + column] = skin.m[column][row];
    LoadFloats(m_dwRegister + kRegistersPerBone * (b + 1), rows, kRegistersPerBone);
  }
}

UINT CShaderProgramSetVertexShaderConstantF::LoadVisibleLights() {
  CScene* scene = CShaderTargetObjects::Scene(m_pPass->GetShader());
  CCamera* camera = scene != nullptr ? scene->GetActiveCameraObject() : nullptr;
  if (camera == nullptr) {
    LogTo(m_pLog, "ExecuteProgram", CEngineLog::kLevelError,
          "WARNING!!! - Can't Execute SetVertexShaderConstantF, Active Camera Is Null\n");
    return 1;
  }
  UINT next = m_dwRegister;
  const UINT visible = camera->GetNumberOfVisibleLights();
  for (WORD type = 0; type < 3; ++type)
    for (UINT i = 0; i < visible; ++i) {
      CLightInterface* light = camera->GetVisibleLight(i, 0);
      if (light == nullptr || light->GetType() != type || light->GetD3DLightProperties() == nullptr)
        continue;
      const D3DLIGHT9& d = *light->GetD3DLightProperties();
      // The spot cone's falloff factor is infinite for a light whose cones coincide.
      const float cone = 1.0f / (std::cos(d.Theta / 2) - std::cos(d.Phi / 2));
      const float registers[20] = {
          d.Diffuse.r,     d.Diffuse.g,     d.Diffuse.b,     d.Diffuse.a,
          d.Specular.r,    d.Specular.g,    d.Specular.b,    d.Specular.a,
          d.Position.x,    d.Position.y,    d.Position.z,    cone,
          d.Direction.x,   d.Direction.y,   d.Direction.z,   std::cos(d.Phi / 2),
          d.Attenuation0,  d.Attenuation1,  d.Attenuation2,  d.Range,
      };
      LoadFloats(next, registers, kRegistersPerLight);
      next += kRegistersPerLight;
    }
  return 1;
}

CShaderLine* MakeSetVertexShaderConstantF(const ShaderLineArguments& arguments) {
  return new CShaderProgramSetVertexShaderConstantF(arguments);
}
