#pragma once
// A mesh that lives in a scene's list for tests of cameras, nulls and scenes: its world matrix
// is the test's (its position is that matrix's translation), its bounding volume and camera
// visibility are the test's to choose, and it records the camera distance it is given, the
// frames of its passes and its debug drawings. Every other operation answers neutrally.
#include <vector>

#include "scene/CameraMeshSource.h"
#include "scene/TWorldObject.h"
#include "scene/UpdateInputs.h"

class FakeSceneMesh : public TWorldObject<CMeshInterface>, public CCameraMeshSource {
 public:
  explicit FakeSceneMesh(CScene* scene, CMeshBoundVolumeInterface* volume = nullptr)
      : TWorldObject(scene, nullptr, nullptr, WORLD_OBJECT_MESH, 0), boundVolume(volume) {
    m_mtxMatrix = CMatrix::Identity();
  }

  void PlaceAt(float x, float y, float z) { m_mtxMatrix.SetMove(x, y, z); }

  CMeshBoundVolumeInterface* boundVolume;
  UINT visibleByCameras = 1;
  UINT canCastShadowVolume = 0;
  float frame = 0.0f;
  float cameraDistance = -1.0f;
  CVector3 rotation;
  std::vector<float> hierarchyFrames;
  std::vector<float> preparedFrames;
  std::vector<float> setFrames;
  int boneDrawings = 0;
  int boundVolumeDrawings = 0;

  void SetCameraDistance(float distance) override { cameraDistance = distance; }
  CMatrix* GetMatrix(float) override { return &m_mtxMatrix; }
  CMatrix* GetRotationMatrix(float) override { return &m_mtxRotationMatrix; }
  void MotionToMatrix(CMatrix* out, float) override { *out = m_mtxMatrix; }
  float GetFrame() override { return frame; }
  void SetFrame(float atFrame, UINT) override { setFrames.push_back(atFrame); }
  const char* GetWorldObjectName() override { return "mesh"; }
  void GetUpdateInputs(CUpdateInputs*) override {}
  void RemoveAdditionalTransformation() override {}
  CMeshBoundVolumeInterface* GetBoundingBox(UINT) override { return boundVolume; }
  UINT GetVisibleByCameras() override { return visibleByCameras; }
  void GetPosition(CVector3* out, UINT) override { *out = CVector3() * m_mtxMatrix; }
  void GetRotation(CVector3* out, UINT) override { *out = rotation; }
  void UpdateHierarchy(float atFrame) override { hierarchyFrames.push_back(atFrame); }

  CSurfaceInterface* GetSurface(UINT) override { return {}; }
  CSurfaceInterface* GetSurfaceByName(const char*) override { return {}; }
  Vertex* GetVertex(UINT) override { return {}; }
  Vertex* GetVertices() override { return {}; }
  CMeshInterface* GetMorphedTo(UINT) override { return {}; }
  CSceneInterface* GetScene(UINT) override { return {}; }
  CBone* GetBone(UINT) override { return {}; }
  Face* GetFace(UINT) override { return {}; }
  Edge* GetEdge(UINT) override { return {}; }
  CSurfaceInterface* GetCurrentSurface() override { return {}; }
  const char* GetName() override { return "mesh"; }
  CVector3* GetPivot() override { return {}; }
  UINT GetNumberOfVertices() override { return {}; }
  UINT GetNumberOfSurfaces() override { return {}; }
  UINT GetSurfaceState() override { return {}; }
  UINT GetNumberOfParentObject() override { return {}; }
  UINT GetParentType() override { return {}; }
  UINT GetNumberOfBones() override { return {}; }
  UINT GetNumberOfFaces() override { return {}; }
  UINT GetNumberOfEdges() override { return {}; }
  UINT GetNumberOfMorphTarget() override { return {}; }
  UINT GetIsMorph() override { return {}; }
  UINT GetUseBones() override { return {}; }
  UINT SetUseBones(UINT) override { return {}; }
  UINT SetIsMorph(UINT) override { return {}; }
  UINT GetCanCastShadowVolume() override { return canCastShadowVolume; }
  UINT GetIsDynamic() override { return {}; }
  CEnvelopeInterface* GetEnvDissolve() override { return {}; }
  UINT CheckIntersectionWith(CRay&, float*, UINT, CVector3*) override { return {}; }
  UINT CheckIntersectionWith(CRay&, float*, UINT) override { return {}; }
  UINT CheckIntersectionWithFace(CRay&, float*, UINT, UINT) override { return {}; }
  void SetPosition(const CVector3&) override {}
  void SetAdditionalTransformation(float, float, float, float) override {}
  void SetRotation(const CVector3&) override {}
  void SetScale(const CVector3&) override {}
  void GetScale(CVector3*) override {}
  UINT SetRotationOrder(UINT) override { return {}; }
  UINT GetRotationOrder() override { return {}; }
  void SetParentObject(CWorldObjectInterface* parent) override { SetParent(parent); }
  UINT GetVisibleByRays() override { return {}; }
  UINT GetVisibleByCollisions() override { return {}; }
  CMotionInterface* GetMotion(float) override { return {}; }
  UINT LoadMesh(const char*, UINT, UINT) override { return {}; }
  CVertexBufferInterface* GetVertexBuffer(UINT) override { return {}; }
  UINT SetSurfaceState(UINT) override { return {}; }
  void DrawBones() override { ++boneDrawings; }
  void DrawBoundVolume() override { ++boundVolumeDrawings; }
  CSceneInterface* GetOwnerScene() override { return {}; }
  CWorldObjectInterface* GetTopmostParent() override { return {}; }
  void CreateVertexBuffers() override {}
  UINT Clone(CMeshInterface**) override { return {}; }
  UINT Merge(CMeshInterface*, UINT, const char*, CMatrix*) override { return {}; }
  UINT SetTag(UINT) override { return {}; }
  const char* GetShaderFileName() override { return {}; }
  UINT GetUseShader() override { return {}; }
  UINT SetShaderFile(const char*, UINT) override { return {}; }
  UINT CreateShader(const char*, ShaderParameter*, UINT, UINT) override { return {}; }
  UINT ApplyDefaultShader(MeshShaderChooser, SurfaceShaderChooser) override { return {}; }
  UINT SetName(const char*) override { return {}; }
  UINT UpdateSurfaceState() override { return {}; }
  void SetCanCastShadowVolume(UINT) override {}
  void SetVisibility(UINT, UINT, UINT) override {}
  void SetPivot(const CVector3&) override {}
  UINT SetVertices(UINT, Vertex*, UINT) override { return {}; }
  UINT SetFaces(UINT, Face*) override { return {}; }
  UINT SetEdges(UINT, Edge*) override { return {}; }
  void RebuildBoundVolume() override {}
  CSurfaceInterface* CreateSurface() override { return {}; }
  void PrepareMatrices(float atFrame) override { preparedFrames.push_back(atFrame); }
  CMatrix* GetCurrentRotationMatrix() override { return {}; }
  CMatrix* GetCurrentMatrix() override { return {}; }
  void GetUserDefinedData(void**, UINT*, UINT*) override {}
  void SetUserDefinedData(void*, UINT, UINT) override {}
  UINT CheckCollisionWith(CMeshInterface*, UINT, UINT*, TrianglePair**) override { return {}; }
  UINT GetIsVisibleByRays() override { return {}; }
  UINT GetIsVisibleByCameras() override { return {}; }
  void ComputeNormals() override {}
};
