#include "shaders/ShaderTargetObjects.h"

#include "scene/Mesh.h"
#include "scene/Scene.h"
#include "scene/Surface.h"
#include "shaders/Shader.h"

CMesh* CShaderTargetObjects::Mesh(CShader* shader) {
  void* target = shader->GetTarget();
  if (target == nullptr) return nullptr;
  switch (shader->GetTargetKind()) {
    case SHADER_TARGET_SCENE:
      return dynamic_cast<CMesh*>(static_cast<CScene*>(target)->GetCurrentMesh());
    case SHADER_TARGET_MESH:
      return static_cast<CMesh*>(target);
    case SHADER_TARGET_SURFACE:
      return static_cast<CSurface*>(target)->GetParentMeshObject();
    default:
      return nullptr;
  }
}

CScene* CShaderTargetObjects::Scene(CShader* shader) { return shader->GetTargetScene(); }
