#pragma once
// A mesh for tests of code that reads meshes through CMeshInterface: it holds vertices, faces,
// a name, a visibility flag, a frame and a world matrix, and records the frames its matrix was
// asked for. Every other operation does nothing and returns zero or null.
#include <string>
#include <vector>

#include "ZKDXInterface.h"
#include "ZKDXRecords.h"

class CFakeMesh : public CMeshInterface {
 public:
  explicit CFakeMesh(const char* name = "FakeMesh") : name(name) {}

  UINT AddVertex(float x, float y, float z) {
    Vertex vertex{};
    vertex.vecPosition = {x, y, z};
    vertices.push_back(vertex);
    return static_cast<UINT>(vertices.size() - 1);
  }
  void AddFace(UINT a, UINT b, UINT c) {
    Face face{};
    face.wIndex1 = static_cast<WORD>(a);
    face.wIndex2 = static_cast<WORD>(b);
    face.wIndex3 = static_cast<WORD>(c);
    faces.push_back(face);
  }

  // Indices past the end give null and are counted.
  Vertex* GetVertex(UINT index) override {
    if (index < vertices.size()) return &vertices[index];
    ++outOfRangeRequests;
    return nullptr;
  }
  Face* GetFace(UINT index) override {
    if (index < faces.size()) return &faces[index];
    ++outOfRangeRequests;
    return nullptr;
  }
  const char* GetName() override { return name.c_str(); }
  UINT GetNumberOfVertices() override { return static_cast<UINT>(vertices.size()); }
  UINT GetNumberOfFaces() override { return static_cast<UINT>(faces.size()); }
  UINT GetVisibleByCollisions() override { return visibleByCollisions; }
  float GetFrame() override { return frame; }
  CMatrix* GetMatrix(float atFrame) override {
    matrixFrames.push_back(atFrame);
    return &world;
  }

  std::string name;
  std::vector<Vertex> vertices;
  std::vector<Face> faces;
  UINT visibleByCollisions = 1;
  float frame = 0.0f;
  CMatrix world = CMatrix::Identity();
  std::vector<float> matrixFrames;
  UINT outOfRangeRequests = 0;

  // The rest of the mesh interface.
  UINT GetWorldObjectType() override { return {}; }
  CWorldObjectInterface* GetNextWorldObject() override { return {}; }
  CMatrix* GetRotationMatrix(float) override { return {}; }
  void RemoveAdditionalTransformation() override {}
  CWorldObjectInterface* GetParentObject(UINT) override { return {}; }
  void AddRef() override {}
  void Release() override {}
  CSurfaceInterface* GetSurface(UINT) override { return {}; }
  CSurfaceInterface* GetSurfaceByName(const char*) override { return {}; }
  Vertex* GetVertices() override { return {}; }
  CMeshInterface* GetMorphedTo(UINT) override { return {}; }
  CSceneInterface* GetScene(UINT) override { return {}; }
  CBone* GetBone(UINT) override { return {}; }
  Edge* GetEdge(UINT) override { return {}; }
  CSurfaceInterface* GetCurrentSurface() override { return {}; }
  CMeshBoundVolumeInterface* GetBoundingBox(UINT) override { return {}; }
  CVector3* GetPivot() override { return {}; }
  UINT GetNumberOfSurfaces() override { return {}; }
  UINT GetSurfaceState() override { return {}; }
  UINT GetNumberOfParentObject() override { return {}; }
  UINT GetParentType() override { return {}; }
  UINT GetNumberOfBones() override { return {}; }
  UINT GetNumberOfEdges() override { return {}; }
  UINT GetNumberOfMorphTarget() override { return {}; }
  UINT GetIsMorph() override { return {}; }
  UINT GetUseBones() override { return {}; }
  UINT SetUseBones(UINT) override { return {}; }
  UINT SetIsMorph(UINT) override { return {}; }
  UINT GetCanCastShadowVolume() override { return {}; }
  UINT GetIsDynamic() override { return {}; }
  CEnvelopeInterface* GetEnvDissolve() override { return {}; }
  UINT CheckIntersectionWith(CRay&, float*, UINT, CVector3*) override { return {}; }
  UINT CheckIntersectionWith(CRay&, float*, UINT) override { return {}; }
  UINT CheckIntersectionWithFace(CRay&, float*, UINT, UINT) override { return {}; }
  void GetPosition(CVector3*, UINT) override {}
  void GetRotation(CVector3*, UINT) override {}
  void SetPosition(const CVector3&) override {}
  void SetAdditionalTransformation(float, float, float, float) override {}
  void SetRotation(const CVector3&) override {}
  void SetScale(const CVector3&) override {}
  void GetScale(CVector3*) override {}
  void SetFrame(float, UINT) override {}
  UINT SetRotationOrder(UINT) override { return {}; }
  UINT GetRotationOrder() override { return {}; }
  void SetParentObject(CWorldObjectInterface*) override {}
  UINT GetVisibleByCameras() override { return {}; }
  UINT GetVisibleByRays() override { return {}; }
  CMotionInterface* GetMotion(float) override { return {}; }
  UINT LoadMesh(const char*, UINT, UINT) override { return {}; }
  CVertexBufferInterface* GetVertexBuffer(UINT) override { return {}; }
  UINT SetSurfaceState(UINT) override { return {}; }
  void DrawBones() override {}
  void DrawBoundVolume() override {}
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
  void PrepareMatrices(float) override {}
  void UpdateHierarchy(float) override {}
  CMatrix* GetCurrentRotationMatrix() override { return {}; }
  CMatrix* GetCurrentMatrix() override { return {}; }
  void GetUserDefinedData(void**, UINT*, UINT*) override {}
  void SetUserDefinedData(void*, UINT, UINT) override {}
  UINT CheckCollisionWith(CMeshInterface*, UINT, UINT*, TrianglePair**) override { return {}; }
  UINT GetIsVisibleByRays() override { return {}; }
  UINT GetIsVisibleByCameras() override { return {}; }
  void ComputeNormals() override {}
};
