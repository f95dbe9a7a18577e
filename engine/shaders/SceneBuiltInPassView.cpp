#include "shaders/SceneBuiltInPassView.h"

#include "ZKDXInterface.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "scene/Scene.h"
#include "shaders/ShaderLibrary.h"

namespace {

// Handles are the scene's world objects.
CWorldObject* ObjectOf(CBuiltInPassScene::Object handle) { return static_cast<CWorldObject*>(handle); }
CLight* LightOf(CBuiltInPassScene::Object handle) { return dynamic_cast<CLight*>(ObjectOf(handle)); }
CMesh* MeshOf(CBuiltInPassScene::Object handle) { return dynamic_cast<CMesh*>(ObjectOf(handle)); }
CLightInterface* LightInterfaceOf(CBuiltInPassScene::Object handle) {
  return dynamic_cast<CLightInterface*>(ObjectOf(handle));
}

}  // namespace

CSceneBuiltInPassView::CSceneBuiltInPassView(CSceneInterface* scene, CShaderLibrary* library)
    : m_pScene(scene), m_pLibrary(library) {}

CCamera* CSceneBuiltInPassView::Camera() {
  return m_pScene != nullptr ? m_pScene->GetActiveCameraObject() : nullptr;
}

const char* CSceneBuiltInPassView::GetName() {
  return m_pScene != nullptr ? m_pScene->GetName() : "";
}

bool CSceneBuiltInPassView::HasActiveCamera() { return Camera() != nullptr; }

void CSceneBuiltInPassView::SetCamera() { Camera()->Set(); }

CVector3 CSceneBuiltInPassView::GetCameraPosition() { return *Camera()->GetPositionVector(); }

UINT CSceneBuiltInPassView::GetNumberOfVisibleMeshes() {
  return Camera()->GetNumberOfVisibleMeshes();
}

CBuiltInPassScene::Object CSceneBuiltInPassView::GetVisibleMesh(UINT index) {
  return static_cast<const CCamera*>(Camera())->GetVisibleMesh(index);
}

UINT CSceneBuiltInPassView::GetNumberOfVisibleLights() {
  return Camera()->GetNumberOfVisibleLights();
}

CBuiltInPassScene::Object CSceneBuiltInPassView::GetVisibleLight(UINT index) {
  return static_cast<const CCamera*>(Camera())->GetVisibleLight(index);
}

// A light that is not one of the engine's reads as an unknown type, so no walk handles it.
WORD CSceneBuiltInPassView::GetLightType(Object light) {
  CLightInterface* found = LightInterfaceOf(light);
  return found != nullptr ? found->GetType() : 0xFFFF;
}

D3DLIGHT9 CSceneBuiltInPassView::GetLightProperties(Object light) {
  CLightInterface* found = LightInterfaceOf(light);
  return found != nullptr ? *found->GetD3DLightProperties() : D3DLIGHT9{};
}

CVector3 CSceneBuiltInPassView::GetLightDirection(Object light) {
  CVector3 direction;
  if (CLight* found = LightOf(light)) found->GetDirection(&direction);
  return direction;
}

CVector3 CSceneBuiltInPassView::GetLightPosition(Object light) {
  CVector3 position;
  if (CLightInterface* found = LightInterfaceOf(light)) found->GetPosition(&position, 0);
  return position;
}

UINT CSceneBuiltInPassView::GetNumberOfLitMeshes(Object light) {
  CLight* found = LightOf(light);
  return found != nullptr ? found->GetNumberOfVisibleMeshes() : 0;
}

CBuiltInPassScene::Object CSceneBuiltInPassView::GetLitMesh(Object light, UINT index) {
  return LightOf(light)->GetVisibleMesh(index);
}

UINT CSceneBuiltInPassView::GetNumberOfShadowVolumes(Object light) {
  CLight* found = LightOf(light);
  return found != nullptr ? found->GetNumberOfVisibleShadowVolumes() : 0;
}

CBuiltInPassScene::Object CSceneBuiltInPassView::GetShadowVolume(Object light, UINT index) {
  return LightOf(light)->GetVisibleShadowVolume(index);
}

void CSceneBuiltInPassView::SetCurrentLight(Object light) {
  if (auto* scene = dynamic_cast<CScene*>(m_pScene)) scene->SetCurrentLight(ObjectOf(light));
}

UINT CSceneBuiltInPassView::IsNestedMesh(Object mesh) {
  return m_pLibrary != nullptr ? m_pLibrary->IsNestedMesh(MeshOf(mesh)) : 0;
}

void CSceneBuiltInPassView::RenderMesh(Object mesh, const char* passName, UINT passKind) {
  if (CMesh* found = MeshOf(mesh)) found->Render(passName, passKind);
}

UINT CSceneBuiltInPassView::GetNumberOfSprites() {
  return m_pScene != nullptr ? m_pScene->GetNumberOfSprites() : 0;
}

void CSceneBuiltInPassView::DrawSprite(UINT index) {
  if (CSpriteInterface* sprite = m_pScene->GetSprite(index)) sprite->Draw(-1.0f);
}
