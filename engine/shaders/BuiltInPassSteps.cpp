#include "shaders/BuiltInPassSteps.h"

#include "ZKDXGlobals.h"
#include "ZKDXInterface.h"
#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "core/SettingEntry.h"
#include "core/Settings.h"
#include "d3d/D3D9Enumeration.h"
#include "d3d/EngineRenderer.h"

namespace {

const char kSource[] = "BuiltInPass";
// The kind of a pass declared to implement dynamic shadow volumes.
constexpr UINT kShadowVolumePassKind = 5;
constexpr UINT kStencilClearValueLit = 128;

}  // namespace

int CBuiltInPassSteps::ReadShadowsSetting() {
  CSettings* settings = GetEngineContext()->pSettings;
  CSettingEntry* entry = settings != nullptr ? settings->GetSetting("shadows") : nullptr;
  return entry != nullptr && entry->GetType() == CSettingEntry::kInteger ? entry->GetInt() : 0;
}

bool CBuiltInPassSteps::CanDraw(CBuiltInPassScene& scene) {
  if (scene.HasActiveCamera()) return true;
  if (!m_bNoCameraLogged)
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "WARNING! - Scene Without Active Camera Is Not Drawn: %s\n", scene.GetName());
  m_bNoCameraLogged = true;
  return false;
}

bool CBuiltInPassSteps::UsesTwoSidedStencil() {
  const CD3D9Enumeration* enumeration = m_pRenderer->GetEnumeration();
  return enumeration != nullptr && enumeration->GetSelectedScheme() >= ZK_SCHEME_RADEON9700;
}

void CBuiltInPassSteps::State(UINT state, UINT value) { m_pRenderer->SetRenderState(state, value); }

void CBuiltInPassSteps::DisableStageZero() {
  m_pRenderer->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_DISABLE);
  m_pRenderer->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
}

void CBuiltInPassSteps::SetDefaultStates() { m_pRenderer->SetDefaultStates(); }

void CBuiltInPassSteps::VertexConstant(UINT reg, float x, float y, float z, float w) {
  const float value[4] = {x, y, z, w};
  m_pRenderer->SetVertexShaderConstantF(reg, value, 1);
}

void CBuiltInPassSteps::VertexConstant(UINT reg, const CVector3& value, float w) {
  VertexConstant(reg, value.x, value.y, value.z, w);
}

void CBuiltInPassSteps::PixelConstant(UINT reg, const CVector3& value, float w) {
  const float constant[4] = {value.x, value.y, value.z, w};
  m_pRenderer->SetPixelShaderConstantF(reg, constant, 1);
}

void CBuiltInPassSteps::AttenuationConstant(CBuiltInPassScene& scene, Object light, UINT reg) {
  const D3DLIGHT9 properties = scene.GetLightProperties(light);
  VertexConstant(reg, properties.Attenuation0, properties.Attenuation1, properties.Attenuation2,
                 properties.Range);
}

void CBuiltInPassSteps::AdditiveBlending() {
  State(D3DRS_ZFUNC, D3DCMP_EQUAL);
  State(D3DRS_ALPHABLENDENABLE, TRUE);
  State(D3DRS_SRCBLEND, D3DBLEND_ONE);
  State(D3DRS_DESTBLEND, D3DBLEND_ONE);
}

// The count is read again at every step: a mesh pass may change the camera's lists.
void CBuiltInPassSteps::VisibleMeshWalk(CBuiltInPassScene& scene, const char* passName) {
  for (UINT i = 0; i < scene.GetNumberOfVisibleMeshes(); ++i) {
    Object mesh = scene.GetVisibleMesh(i);
    if (scene.IsNestedMesh(mesh) == 0) scene.RenderMesh(mesh, passName, 0);
  }
}

void CBuiltInPassSteps::RenderLitMeshes(CBuiltInPassScene& scene, Object light,
                                        const char* passName) {
  for (UINT j = 0; j < scene.GetNumberOfLitMeshes(light); ++j)
    scene.RenderMesh(scene.GetLitMesh(light, j), passName, 0);
}

void CBuiltInPassSteps::StencilStage(CBuiltInPassScene& scene, Object light,
                                     const char* volumePassName, bool twoSided, bool depthPass) {
  m_pRenderer->ClearBuffers(D3DCLEAR_STENCIL, 0);
  State(D3DRS_COLORWRITEENABLE, 0);
  State(D3DRS_ZFUNC, D3DCMP_LESS);
  State(D3DRS_ALPHABLENDENABLE, FALSE);
  State(D3DRS_STENCILENABLE, TRUE);
  State(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
  const UINT volumes = scene.GetNumberOfShadowVolumes(light);
  if (twoSided) {
    State(D3DRS_STENCILFAIL, D3DSTENCILOP_KEEP);
    State(D3DRS_STENCILPASS, depthPass ? D3DSTENCILOP_INCRSAT : D3DSTENCILOP_KEEP);
    State(D3DRS_STENCILZFAIL, depthPass ? D3DSTENCILOP_KEEP : D3DSTENCILOP_INCRSAT);
    State(D3DRS_CCW_STENCILFAIL, D3DSTENCILOP_KEEP);
    State(D3DRS_CCW_STENCILZFAIL, depthPass ? D3DSTENCILOP_KEEP : D3DSTENCILOP_DECRSAT);
    State(D3DRS_CCW_STENCILPASS, depthPass ? D3DSTENCILOP_DECRSAT : D3DSTENCILOP_KEEP);
    State(D3DRS_CCW_STENCILFUNC, D3DCMP_ALWAYS);
    State(D3DRS_TWOSIDEDSTENCILMODE, TRUE);
    State(D3DRS_CULLMODE, D3DCULL_NONE);
    for (UINT k = 0; k < scene.GetNumberOfShadowVolumes(light); ++k)
      scene.RenderMesh(scene.GetShadowVolume(light, k), volumePassName, kShadowVolumePassKind);
    State(D3DRS_TWOSIDEDSTENCILMODE, FALSE);
  } else {
    State(D3DRS_STENCILFAIL, D3DSTENCILOP_KEEP);
    State(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
    for (UINT k = 0; k < volumes; ++k) {
      Object volume = scene.GetShadowVolume(light, k);
      State(D3DRS_STENCILZFAIL, D3DSTENCILOP_INCRSAT);
      State(D3DRS_CULLMODE, D3DCULL_CCW);
      scene.RenderMesh(volume, volumePassName, kShadowVolumePassKind);
      State(D3DRS_STENCILZFAIL, D3DSTENCILOP_DECRSAT);
      State(D3DRS_CULLMODE, D3DCULL_CW);
      scene.RenderMesh(volume, volumePassName, kShadowVolumePassKind);
    }
  }
  State(D3DRS_CULLMODE, D3DCULL_CW);
  State(D3DRS_COLORWRITEENABLE, 15);
  State(D3DRS_STENCILFUNC, D3DCMP_EQUAL);
  State(D3DRS_STENCILREF, kStencilClearValueLit);
  State(D3DRS_STENCILZFAIL, D3DSTENCILOP_KEEP);
  // Left at INCRSAT, every lit fragment would raise the stencil and hide the next fragment
  // drawn on that pixel under STENCILFUNC EQUAL.
  if (twoSided && depthPass) State(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
}

UINT CBuiltInPassSteps::TransparencyPass(CBuiltInPassScene& scene, UINT destinationBlend) {
  if (!CanDraw(scene)) return 1;
  State(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
  State(D3DRS_ZWRITEENABLE, FALSE);
  State(D3DRS_ALPHABLENDENABLE, TRUE);
  State(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  State(D3DRS_DESTBLEND, destinationBlend);
  VisibleMeshWalk(scene, "TRANSPARENTPASS");
  return 1;
}

UINT CBuiltInPassSteps::Sprites(CBuiltInPassScene& scene) {
  for (UINT i = 0; i < scene.GetNumberOfSprites(); ++i) scene.DrawSprite(i);
  return 1;
}

const char* CBuiltInPassSteps::VolumePassName(WORD lightType) {
  return lightType == LIGHT_DISTANT ? "DIRECTIONALSHADOWVOLUMEEXTRUSION"
                                    : "POINTSHADOWVOLUMEEXTRUSION";
}

const char* CBuiltInPassSteps::OpaquePassName(WORD lightType) {
  return lightType == LIGHT_DISTANT ? "DIRECTIONALOPAQUEPASS" : "POINTOPAQUEPASS";
}
