#include "shaders/ShaderProgramRender.h"

#include <cstring>

#include "core/EngineLog.h"
#include "d3d/EngineRenderer.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "scene/Scene.h"
#include "scene/Surface.h"
#include "shaders/Shader.h"
#include "shaders/ShaderCommandWords.h"
#include "shaders/ShaderLibrary.h"
#include "shaders/ShaderLineTable.h"
#include "shaders/ShaderPass.h"

namespace {

const char kSource[] = "ExecuteProgram";
const char kConstructor[] = "CShaderProgramRender::CShaderProgramRender";

struct MeshSetWord {
  const char* szWord;
  UINT dwSet;
};
constexpr MeshSetWord kMeshSets[] = {
    {"VISIBLEATCAMERA", RENDER_SET_VISIBLE_AT_CAMERA},
    {"VISIBLEATSCENE", RENDER_SET_VISIBLE_AT_SCENE},
    {"VISIBLEATLIGHT", RENDER_SET_VISIBLE_AT_LIGHT},
    {"VISIBLELIGHTSHADOWVOLUMES", RENDER_SET_VISIBLE_LIGHT_SHADOW_VOLUMES},
};

const char* NameOf(CMesh* mesh) { return mesh != nullptr ? mesh->GetName() : ""; }

}  // namespace

CShaderProgramRender::CShaderProgramRender(const ShaderLineArguments& arguments)
    : m_pPass(arguments.pPass), m_pRenderer(arguments.pRenderer), m_pLog(arguments.pLog) {
  *arguments.pSuccess = 0;
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "    - Compile Render Line: %s",
        arguments.szLine);
  const CShaderCommandWords words(m_pPass);
  const UINT kind = m_pPass->GetShader()->GetTargetKind();
  // Only a surface draws by itself; everything else hands a pass on by its name.
  if (words.IsEmpty(1) && kind != SHADER_TARGET_SURFACE) {
    m_pPass->ReportError(26, kConstructor);
    return;
  }
  std::strncpy(m_szPassName, words.Word(1), sizeof m_szPassName - 1);
  if (std::strncmp(words.Word(2), "USE", 3) == 0) {
    if (kind != SHADER_TARGET_SCENE) {
      m_pPass->ReportError(27, kConstructor);
      return;
    }
    for (const MeshSetWord& set : kMeshSets)
      if (std::strcmp(words.Word(3), set.szWord) == 0) m_dwMeshSet = set.dwSet;
  }
  *arguments.pSuccess = 1;
}

UINT CShaderProgramRender::Execute() {
  CShader* shader = m_pPass->GetShader();
  void* target = shader->GetTarget();
  switch (shader->GetTargetKind()) {
    case SHADER_TARGET_SCENE:
      if (target != nullptr) RenderMeshes(static_cast<CScene*>(target));
      return 1;
    case SHADER_TARGET_MESH:
      if (target != nullptr) RenderSurfaces(static_cast<CMesh*>(target));
      return 1;
    case SHADER_TARGET_SURFACE:
      if (target != nullptr) DrawSurface(static_cast<CSurface*>(target));
      return 1;
    default:
      m_pPass->ReportError(256, "CShaderProgramRender::Execute");
      return 0;
  }
}

void CShaderProgramRender::RenderMesh(CMesh* mesh) {
  // The mesh whose shader is running a CALL at the moment is drawn by that CALL.
  if (mesh == nullptr || m_pPass->GetShader()->GetLibrary()->IsNestedMesh(mesh) != 0) return;
  mesh->Render(m_szPassName);
}

// The lists are read by index each time: rendering a mesh does not change them, but a list
// that shrank would otherwise be read past its end. A set that has no camera or no current
// light to take its list from is empty.
void CShaderProgramRender::RenderMeshes(CScene* scene) {
  if (m_dwMeshSet == RENDER_SET_VISIBLE_AT_SCENE) {
    for (UINT i = 0; i < scene->GetNumberOfMeshes(); ++i)
      RenderMesh(dynamic_cast<CMesh*>(scene->GetMesh(i)));
    return;
  }
  if (m_dwMeshSet == RENDER_SET_VISIBLE_AT_CAMERA) {
    CCamera* camera = scene->GetActiveCameraObject();
    for (UINT i = 0; camera != nullptr && i < camera->GetNumberOfVisibleMeshes(); ++i)
      RenderMesh(dynamic_cast<CMesh*>(camera->GetVisibleMesh(i)));
    return;
  }
  auto* light = dynamic_cast<CLight*>(scene->GetCurrentLight());
  if (light == nullptr) return;
  if (m_dwMeshSet == RENDER_SET_VISIBLE_AT_LIGHT) {
    for (UINT i = 0; i < light->GetNumberOfVisibleMeshes(); ++i)
      RenderMesh(dynamic_cast<CMesh*>(light->GetVisibleMesh(i)));
  } else {
    for (UINT i = 0; i < light->GetNumberOfVisibleShadowVolumes(); ++i)
      RenderMesh(dynamic_cast<CMesh*>(light->GetVisibleShadowVolume(i)));
  }
}

void CShaderProgramRender::RenderSurfaces(CMesh* mesh) {
  for (UINT i = 0; i < mesh->GetNumberOfSurfaces(); ++i)
    if (auto* surface = dynamic_cast<CSurface*>(mesh->GetSurface(i))) surface->Render(m_szPassName);
}

void CShaderProgramRender::DrawSurface(CSurface* surface) {
  CMesh* mesh = surface->GetParentMeshObject();
  switch (mesh != nullptr ? mesh->GetVertexDeclarationType() : 0) {
    case 0:
      // A surface given no indices has no buffer to draw from.
      if (CIndexBufferInterface* indices = surface->GetIndexBuffer()) {
        indices->Set();
        m_pRenderer->DrawIndexedPrimitive(surface->GetIndexCount() / 3);
      } else if (!m_bNoIndicesLogged) {
        m_bNoIndicesLogged = true;
        LogTo(m_pLog, kSource, CEngineLog::kLevelError,
              "WARNING!!! - Surface Has No Index Buffer: %s - %s\n", surface->GetName(),
              NameOf(mesh));
      }
      return;
    case 1: {
      UINT count = 0;
      if (CIndexBufferInterface* indices = mesh->GetShadowVolumeIndexBuffer(&count)) {
        indices->Set();
        m_pRenderer->DrawIndexedPrimitive(count / 3);
      } else {
        LogTo(m_pLog, kSource, CEngineLog::kLevelError,
              "WARNING!!! - Shadow Index Buffer Is Null (%s)\n", mesh->GetName());
      }
      return;
    }
    default:
      LogTo(m_pLog, kSource, CEngineLog::kLevelError,
            "WARNING!!! - Unknown CurrentVertexBuffer Number When Rendering Surface: %s - %s\n",
            surface->GetName(), mesh->GetName());
      return;
  }
}

CShaderLine* MakeRender(const ShaderLineArguments& arguments) {
  return new CShaderProgramRender(arguments);
}
