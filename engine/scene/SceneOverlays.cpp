#include "scene/SceneOverlays.h"

#include "scene/Light.h"
#include "scene/Null.h"
#include "scene/Scene.h"
#include "scene/SceneOctreeDrawing.h"
#include "scene/ScenePasses.h"
#include "scene/SceneRender.h"
#include "core/EngineLog.h"
#include "d3d9types.h"
#include "spatial/BoundVolumeDrawing.h"

namespace {

constexpr int kOctreeBoxIdOff = -1;

int Switch(EngineDebugSwitch which) { return GetEngineContext()->dwDebugSwitches[which]; }

}  // namespace

CSceneOverlays::CSceneOverlays(CScene& scene, CSceneOctreeDrawing* octree)
    : m_Scene(scene), m_pRenderer(scene.GetRenderer()), m_pOctree(octree) {}

bool CSceneOverlays::AnySwitchOn() {
  for (int which = 0; which < DEBUG_SWITCH_COUNT; ++which) {
    const int value = Switch(static_cast<EngineDebugSwitch>(which));
    if (which == DEBUG_OCTREE_BOX_ID ? value != kOctreeBoxIdOff : value != 0) return true;
  }
  return false;
}

void CSceneOverlays::Draw(CScenePasses* passes) {
  if (m_pRenderer == nullptr) return;
  if (passes != nullptr) passes->SetDefaultStates();
  DrawWithMode(Switch(DEBUG_MESH_FRAME_BOXES), [this] { DrawMeshFrameBoxes(); });
  DrawWithMode(Switch(DEBUG_MESH_BOXES), [this] { DrawMeshBoxes(); });
  DrawWithMode(Switch(DEBUG_BONES), [this] { DrawBones(); });
  DrawWithMode(Switch(DEBUG_LIGHT_BOUNDS), [this] { DrawLightBounds(); });
  DrawWithMode(Switch(DEBUG_LIGHT_SHAPES), [this] { DrawLightShapes(); });
  DrawWithMode(Switch(DEBUG_OCTREE_BOXES), [this] {
    if (m_pOctree != nullptr) m_pOctree->DrawBoxes();
  });
  DrawWithMode(Switch(DEBUG_OCTREE_BOX_AT_POINT), [this] { DrawOctreeBoxAtPoint(); });
  DrawWithMode(Switch(DEBUG_NULLS), [this] { DrawNulls(); });
  // The id switch carries the cell's id; the cell is drawn with depth testing.
  if (const int id = Switch(DEBUG_OCTREE_BOX_ID); id != kOctreeBoxIdOff)
    DrawWithMode(1, [this, id] { DrawOctreeBoxWithID(id); });
}

template <class TDrawing>
void CSceneOverlays::DrawWithMode(int mode, TDrawing drawing) {
  if (mode != 1 && mode != 2) return;
  CD3D9RendererInterface* renderer = m_pRenderer;
  renderer->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  renderer->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  renderer->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
  renderer->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  renderer->SetRenderState(D3DRS_ZWRITEENABLE, 0);
  if (mode == 2) renderer->SetRenderState(D3DRS_ZENABLE, 0);
  renderer->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  renderer->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
  drawing();
  renderer->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  renderer->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  renderer->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
  renderer->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
  renderer->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
  renderer->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
  renderer->SetRenderState(D3DRS_ZWRITEENABLE, 1);
  if (mode == 2) renderer->SetRenderState(D3DRS_ZENABLE, 1);
}

void CSceneOverlays::DrawMeshFrameBoxes() {
  for (UINT i = 0; i < m_Scene.GetNumberOfMeshes(); ++i) {
    CWorldObject* object = m_Scene.GetMeshObject(i);
    auto* mesh = dynamic_cast<CMeshInterface*>(object);
    CMeshBoundVolumeInterface* volume = mesh != nullptr ? mesh->GetBoundingBox(0) : nullptr;
    // The volume's record for the mesh's current frame, in the mesh's own space.
    CVector4* corners = volume != nullptr ? volume->GetPoints() : nullptr;
    if (corners == nullptr) continue;
    CBoundVolumeDrawing::DrawBox(m_pRenderer, *object->GetMatrix(object->GetFrame()), corners);
  }
}

void CSceneOverlays::DrawMeshBoxes() {
  for (UINT i = 0; i < m_Scene.GetNumberOfMeshes(); ++i)
    if (CMeshInterface* mesh = m_Scene.GetMesh(i)) mesh->DrawBoundVolume();
}

void CSceneOverlays::DrawBones() {
  for (UINT i = 0; i < m_Scene.GetNumberOfMeshes(); ++i)
    if (CMeshInterface* mesh = m_Scene.GetMesh(i)) mesh->DrawBones();
}

void CSceneOverlays::DrawLightBounds() {
  for (UINT i = 0; i < m_Scene.GetNumberOfLights(); ++i) {
    CWorldObject* object = m_Scene.GetLightObject(i);
    auto* light = dynamic_cast<CCameraLightSource*>(object);
    CLightBoundVolumeInterface* volume = light != nullptr ? light->GetLightBoundVolume() : nullptr;
    CVector4* corners = volume != nullptr ? volume->GetPoints() : nullptr;
    if (corners == nullptr) continue;  // distant lights have no volume
    CBoundVolumeDrawing::DrawBox(m_pRenderer, *object->GetMatrixPointer(), corners);
  }
}

void CSceneOverlays::DrawLightShapes() {
  for (UINT i = 0; i < m_Scene.GetNumberOfLights(); ++i)
    if (auto* light = dynamic_cast<CLight*>(m_Scene.GetLightObject(i)); light && light->GetIsActive() == 1)
      light->DrawHelper();
}

void CSceneOverlays::DrawOctreeBoxAtPoint() {
  if (m_pOctree == nullptr || m_pOctree->DrawBoxAtPoint(GetEngineContext()->vecOverlayPoint) == 0)
    CSceneRender::Log(m_Scene, CEngineLog::kLevelError, "ERROR! - Can't Find Octree Box\n");
}

void CSceneOverlays::DrawNulls() {
  for (CWorldObject* object = m_Scene.GetFirstWorldObject(); object != nullptr;
       object = object->GetNext())
    if (object->GetWorldObjectType() == WORLD_OBJECT_NULL)
      if (auto* null = dynamic_cast<CNull*>(object)) null->DrawAxes();
}

void CSceneOverlays::DrawOctreeBoxWithID(int id) {
  if (m_pOctree == nullptr || m_pOctree->DrawBoxWithID(id) == 0)
    CSceneRender::Log(m_Scene, CEngineLog::kLevelError,
                      "WARNING!!! - OctreeBox With ID: %i Aint Exist\n", id);
}
