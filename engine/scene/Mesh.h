#pragma once
// The world object that carries geometry: vertices, faces and edges, the surfaces that group
// the faces by material, optional bones, a motion, and the buffers and shader it is drawn with.
// Each frame the scene runs its matrix pass (the mesh's own transform) and then its hierarchy
// pass (the parents' transforms, the inverses and its place in the octree).
//
// It reaches the shader library, the spatial subsystem, its surface factory and the file readers
// through the engine context's ports; with their defaults it works, minus what they provide.
#include <cstdarg>
#include <memory>
#include <vector>

#include "scene/Bone.h"
#include "scene/Envelope.h"
#include "scene/MeshSurface.h"
#include "scene/Motion.h"
#include "scene/TWorldObject.h"

class CCollider;
class CCountedIndexBuffer;
class CMeshShaderLibrary;
class CMeshShadowVolume;
class CMeshSpatial;
class CMeshVertexBuffer;
class COctree;
class CShader;
class LWOImportBuffer;

class CMesh final : public TWorldObject<CMeshInterface> {
 public:
  static constexpr UINT kNameLength = 256;
  // Vertex, face and edge numbers are 16 bits wide.
  static constexpr UINT kMaxElements = 65536;
  static constexpr WORD kInitialOctreeEntries = 10;
  // Bit of the flag word that lets the mesh cast shadow volumes.
  static constexpr WORD kFlagCastsShadow = 0x0002;

  // A cell of the scene's octree that holds the mesh, and the mesh's entry number in it.
  struct OctreeEntry {
    COctree* pCell;
    UINT dwEntry;
  };

  // The empty mesh; its scene links it.
  CMesh(void* rendererContext, CEngineLog* log, CScene* scene, UINT dynamicBuffers);
  // A mesh of the scene under construction, filled from the LightWave reader's object.
  CMesh(void* rendererContext, CEngineLog* log, CScene* scene, LWOImportBuffer& object,
        UINT dynamicBuffers);
  ~CMesh() override;

  // --- CWorldObjectInterface ---
  CMatrix* GetMatrix(float frame) override;
  CMatrix* GetRotationMatrix(float frame) override;
  void RemoveAdditionalTransformation() override;

  // --- CMeshInterface ---
  CSurfaceInterface* GetSurface(UINT index) override;
  CSurfaceInterface* GetSurfaceByName(const char* name) override;
  Vertex* GetVertex(UINT index) override;
  Vertex* GetVertices() override;
  CMeshInterface* GetMorphedTo(UINT ignored) override;
  CSceneInterface* GetScene(UINT ignored) override;
  CBone* GetBone(UINT index) override;
  Face* GetFace(UINT index) override;
  Edge* GetEdge(UINT index) override;
  CSurfaceInterface* GetCurrentSurface() override;
  CMeshBoundVolumeInterface* GetBoundingBox(UINT /*ignored*/) override { return m_pBoundVolume; }
  const char* GetName() override { return m_szName; }
  CVector3* GetPivot() override { return &m_vecPivot; }
  UINT GetNumberOfVertices() override { return static_cast<UINT>(m_Vertices.size()); }
  UINT GetNumberOfSurfaces() override { return static_cast<UINT>(m_Surfaces.size()); }
  UINT GetSurfaceState() override { return m_dwSurfaceState; }
  UINT GetNumberOfParentObject() override { return m_dwParentNumber; }
  UINT GetParentType() override { return m_dwParentTypeLoaded; }
  UINT GetNumberOfBones() override { return m_dwNumberOfBones; }
  UINT GetNumberOfFaces() override { return static_cast<UINT>(m_Faces.size()); }
  UINT GetNumberOfEdges() override { return static_cast<UINT>(m_Edges.size()); }
  UINT GetNumberOfMorphTarget() override { return m_dwNumberOfMorphTargets; }
  UINT GetIsMorph() override { return m_dwIsMorph; }
  UINT GetUseBones() override { return m_dwUseBones; }
  UINT SetUseBones(UINT useBones) override;
  UINT SetIsMorph(UINT isMorph) override;
  UINT GetCanCastShadowVolume() override;
  float GetFrame() override { return m_fHierarchyFrame; }
  UINT GetIsDynamic() override { return m_dwChanged; }
  CEnvelopeInterface* GetEnvDissolve() override { return m_pDissolve.get(); }
  UINT CheckIntersectionWith(CRay& ray, float* distance, UINT flags, CVector3* normal) override;
  UINT CheckIntersectionWith(CRay& ray, float* distance, UINT flags) override;
  UINT CheckIntersectionWithFace(CRay& ray, float* distance, UINT flags, UINT face) override;
  void GetPosition(CVector3* out, UINT flag) override;
  void GetRotation(CVector3* out, UINT flag) override;
  void SetPosition(const CVector3& position) override { SetExplicitPosition(position); }
  void SetAdditionalTransformation(float x, float y, float z, float w) override {
    SetExplicitQuaternion(x, y, z, w);
  }
  void SetRotation(const CVector3& rotation) override { SetExplicitRotation(rotation); }
  void SetScale(const CVector3& scale) override { SetExplicitScale(scale); }
  void GetScale(CVector3* out) override {
    if (out != nullptr) *out = ScaleFrom(m_Motion);
  }
  void SetFrame(float frame, UINT recurse) override;
  UINT SetRotationOrder(UINT order) override { return m_dwRotationOrder = order; }
  UINT GetRotationOrder() override { return m_dwRotationOrder; }
  void SetParentObject(CWorldObjectInterface* parent) override { CWorldObject::SetParent(parent); }
  UINT GetVisibleByCameras() override { return m_dwVisibleByCameras; }
  UINT GetVisibleByRays() override { return m_dwVisibleByRays; }
  UINT GetVisibleByCollisions() override { return m_dwVisibleByCollisions; }
  CMotion* GetMotion(float frame) override;
  // Loads an object file or a LightWave object into this mesh and prepares it for drawing; a
  // file that cannot be found or read is fatal. Returns 1.
  UINT LoadMesh(const char* name, UINT flag, UINT readerArgument) override;
  CVertexBufferInterface* GetVertexBuffer(UINT ignored) override;
  UINT SetSurfaceState(UINT state) override { return m_dwSurfaceState = state; }
  void DrawBones() override;
  void DrawBoundVolume() override;
  CSceneInterface* GetOwnerScene() override;
  CWorldObjectInterface* GetTopmostParent() override;
  void CreateVertexBuffers() override;
  UINT Clone(CMeshInterface** clone) override;
  UINT Merge(CMeshInterface* other, UINT flags, const char* newName, CMatrix* matrix) override;
  UINT SetTag(UINT tag) override { return CWorldObject::SetTag(tag); }
  const char* GetShaderFileName() override { return m_szShaderFileName; }
  UINT GetUseShader() override { return m_dwUseShader; }
  UINT SetShaderFile(const char* fileName, UINT manualShader) override;
  // Draws the named pass of the mesh, when the mesh is shown to cameras: the rendering profile
  // takes the mesh when one is loaded, else the mesh's shader runs the pass with the mesh's
  // frame as its run value. Kind 0 takes the pass that suits the mesh, another kind only a
  // pass of that kind.
  void Render(const char* passName, UINT passKind = 0);
  UINT CreateShader(const char* fileName, ShaderParameter* parameters, UINT numberOfParameters,
                    UINT manualShader) override;
  UINT ApplyDefaultShader(MeshShaderChooser meshChooser,
                          SurfaceShaderChooser surfaceChooser) override;
  UINT SetName(const char* name) override;
  UINT UpdateSurfaceState() override;
  void SetCanCastShadowVolume(UINT /*canCast*/) override {}
  void SetVisibility(UINT byCameras, UINT byRays, UINT byCollisions) override;
  void SetPivot(const CVector3& pivot) override;
  UINT SetVertices(UINT count, Vertex* vertices, UINT rebuildBoundVolume) override;
  UINT SetFaces(UINT count, Face* faces) override;
  // The same, taking the array itself instead of copying it: readers of files hand over what
  // they read.
  UINT TakeVertices(std::vector<Vertex>&& vertices, UINT rebuildBoundVolume);
  UINT TakeFaces(std::vector<Face>&& faces);
  UINT SetEdges(UINT count, Edge* edges) override;
  void RebuildBoundVolume() override;
  CSurfaceInterface* CreateSurface() override;
  void PrepareMatrices(float frame) override;
  void UpdateHierarchy(float frame) override;
  CMatrix* GetCurrentRotationMatrix() override { return GetRotationMatrixPointer(); }
  CMatrix* GetCurrentMatrix() override { return GetMatrixPointer(); }
  void GetUserDefinedData(void** data, UINT* value1, UINT* value2) override {
    CWorldObject::GetUserDefinedData(data, value1, value2);
  }
  void SetUserDefinedData(void* data, UINT value1, UINT value2) override {
    CWorldObject::SetUserDefinedData(data, value1, value2);
  }
  UINT CheckCollisionWith(CMeshInterface* other, UINT kind, UINT* numberOfPairs,
                          TrianglePair** pairs) override;
  UINT GetIsVisibleByRays() override { return m_dwVisibleByRays; }
  UINT GetIsVisibleByCameras() override { return m_dwVisibleByCameras; }
  void ComputeNormals() override;

  // --- CWorldObject ---
  void MotionToMatrix(CMatrix* out, float frame) override;
  const char* GetWorldObjectName() override { return m_szName; }
  void GetUpdateInputs(CUpdateInputs* inputs) override;

  // --- engine side ---
  UINT GetID() const { return m_dwMeshNumber; }
  float GetMatrixFrame() const { return m_fMatrixFrame; }
  // The skeleton: `count` default bones (at most MAX_BONES) for a loader to fill; null, with
  // the old bones kept, for a count out of range.
  CBone* CreateBones(UINT count);
  CBone* GetBones() { return m_pBones.get(); }
  // Links bone `index` to bone `parent` when the parent item type is a bone's (other types
  // leave the bone without a parent bone). Numbers out of range and a parent that would close a
  // loop are refused with a log line; 1 when linked. The bone keeps the link as given.
  UINT SetBoneParent(UINT index, UINT parentItemType, UINT parent);
  CMeshBoundVolumeInterface* GetBoundVolume() const { return m_pBoundVolume; }
  // The collider, built first when one is due.
  CCollider* GetCollider();
  // Asks for a collider over the mesh's faces, built through the engine's collision manager in
  // place of the old one. Most meshes are never asked for triangle contacts, so the build waits
  // for the first use. Without the spatial subsystem or the manager the mesh has none; a
  // collider that cannot be built is logged and the mesh goes on without one.
  void CreateCollider();
  // True while a collider was asked for and not built yet.
  bool IsColliderDue() const { return m_bColliderDue; }
  // The clone shares this mesh's collider (one reference more) in place of its own.
  void ShareColliderWith(CMesh* clone);
  CMeshShadowVolume* GetShadowVolumeManager() const { return m_pShadowVolume; }
  // The shadow volume's vertex buffer that shadow passes draw from (its dynamic geometry), or
  // null when the mesh has none.
  CVertexBufferInterface* GetShadowVolumeVertexBuffer() const;
  // The index buffer of that geometry and its number of indices; null (count 0) when missing.
  CIndexBufferInterface* GetShadowVolumeIndexBuffer(UINT* count) const;
  CEnvelope* GetDissolveEnvelope() const { return m_pDissolve.get(); }
  CMesh* GetMorphTargetObject() const { return m_pMorphTarget; }
  // A morph target needs at least this mesh's number of vertices; another mesh is refused.
  void SetMorphTarget(CMesh* target);
  CMotion* GetSecondMotion() { return &m_MorphMotion; }
  UINT GetHasDynamicBuffers() const { return m_dwDynamicBuffers; }
  UINT GetHasShadowVolumeGeometry() const { return m_dwHasShadowVolumeGeometry; }
  void SetVertexDeclarationType(UINT type) { m_dwVertexDeclarationType = type; }
  UINT GetVertexDeclarationType() const { return m_dwVertexDeclarationType; }
  void SetShader(CShader* shader) { m_pShader = shader; }
  CShader* GetShader() const { return m_pShader; }
  // Takes over the vertex buffer the coded rendering path made for the mesh.
  void SetGenericPathData(CMeshVertexBuffer* vertexBuffer);
  // The camera the shading language places at the mesh; the mesh owns it and frees it.
  void SetCamera(CCamera* camera) { m_pCamera = camera; }
  CCamera* GetCamera() const { return m_pCamera; }
  float GetCameraDistance() const { return m_fCameraDistance; }
  void SetCameraDistance(float distance) { m_fCameraDistance = distance; }
  CMatrix* GetInverseMatrix(float frame);
  CMatrix* GetInverseRotationMatrix(float frame);
  UINT ReleaseTextures();
  // Has every surface save the textures it holds as image files; returns 1.
  UINT SaveTextures();
  void PlaceInOctree(COctree* cell, UINT entry);
  // Leaves every cell the mesh is filed in and, given a tree, files it there with its box as
  // the last hierarchy pass placed it: a mesh that moves to another scene.
  void FileInOctree(COctree* octree);
  // The scene's octree goes with the scene: the cells this mesh was filed in are forgotten.
  void DetachFromScene() override;
  const OctreeEntry* GetOctreeEntries() const { return m_OctreeEntries.data(); }
  WORD GetOctreeEntryCapacity() const { return m_wOctreeEntryCapacity; }
  // Replaces the mesh's name, surfaces, faces, vertices, motions, bones and flags with the
  // imported object's, then rebuilds its bound volume and shadow volume and asks for a new
  // collider. Returns 1.
  UINT UpdateFromImportedData(LWOImportBuffer& object);
  // Fills the mesh from an engine object file; the name becomes the file's name without its
  // folder and extension. The object reader's result.
  UINT LoadObjectFile(const char* path, UINT readerArgument);
  // Whether the scale in use is the same along the three axes.
  bool IsUniformScale();
  void SetCurrentSurface(CSurfaceInterface* surface) { m_pCurrentSurface = surface; }
  // The loaded data's values (object files and imports).
  void SetFlags(WORD flags) { m_wFlags = flags; }
  WORD GetFlags() const { return m_wFlags; }
  void SetCastsShadowVolume(UINT casts) { m_dwCanCastShadowVolume = casts != 0 ? 1 : 0; }
  // 1 while every edge has two faces and the shadow-volume geometry (when wanted) was built.
  UINT GetIsClosed() const { return m_dwCanCastShadowVolume; }
  // Takes over imported edges (faces named by number, 0xFFFF for none), orients each along its
  // first face, tests that the surface is closed and builds the shadow-volume geometry.
  void PrepareShadowVolume(const Edge* edges, UINT count);
  // Builds the shadow-volume geometry and its index buffer into the shadow volume; a mesh that
  // cannot have one is marked not closed.
  void CreateShadowVolumeGeometry();
  void SetParentReference(UINT number, UINT type) {
    m_dwParentNumber = number;
    m_dwParentTypeLoaded = type;
  }
  // The morph target as the loaded scene numbers it (meshes and nulls from one), resolved
  // after loading.
  void SetMorphReference(UINT number, UINT isMorph) {
    m_dwNumberOfMorphTargets = number;
    m_dwIsMorph = isMorph;
  }

  // --- values the scene and object files keep ---
  CMotion* GetFirstMotion() { return &m_Motion; }
  UINT GetManualShader() const { return m_dwManualShader; }
  void SetUseShader(UINT useShader) { m_dwUseShader = useShader; }
  // The parameters the mesh's shader was made with; null (count 0) when there are none.
  const ShaderParameter* GetShaderParameters(UINT* count) const;
  UINT GetIsBlended() const { return m_dwIsBlended; }
  void SetIsBlended(UINT isBlended) { m_dwIsBlended = isBlended; }
  // Takes over a bound volume made by the spatial subsystem (a loaded one) in place of the old
  // one; false, leaving the volume to the caller, without the spatial subsystem to free it.
  bool SetBoundVolume(CMeshBoundVolumeInterface* volume);
  // Brings every bone's rest and current matrices up to date after a skeleton was loaded.
  void CalculateBonesRestMatrices();
  // Gives every vertex up to four bones and weights from the object the mesh was just filled
  // from (CMeshBoneWeights); the rest matrices must be built. Returns 1.
  UINT CalculateBonesWeights(const LWOImportBuffer& object);
  // A counted index buffer over shadow-volume indices, owned by "<mesh name><suffix>"; null
  // when the bank cannot make one.
  CCountedIndexBuffer* CreateShadowVolumeIndexBuffer(WORD* indices, UINT count,
                                                     const char* ownerSuffix);

 private:
  // The checks both ways of setting vertices or faces make, with their log lines.
  bool AcceptsVertices(UINT count);
  UINT VerticesChanged(UINT rebuildBoundVolume);
  bool AcceptsFaces(const Face* faces, UINT count);
  // The frame a per-frame operation works at: the given one, or the mesh's own.
  float ChooseFrame(float frame) const { return m_dwFollowsFrame != 0 ? frame : m_fFrameSet; }
  // Brings a ray into the space the ray tests run in: the mesh's own for a uniform scale, else
  // world space, with the warning. True for world space.
  bool RayTestSpace(CRay* ray);
  // The oriented box must accept the ray before the faces are tested; the nearest face hit.
  UINT RayTestFaces(const CRay& ray, float* distance, UINT flags, bool worldSpace,
                    CVector3* normal);
  // Steps 3 to 6 of the matrix pass from the evaluated motion: the local world and rotation
  // matrices.
  void BuildLocalMatrices(CMatrix* matrix, CMatrix* rotation);
  void RefileInOctree();
  // Takes the mesh out of every cell it is filed in, while the cells still exist.
  void LeaveOctree();
  void ReleaseCollider();
  void BuildDueCollider();
  // Vertices about to be replaced: a due collider is built from the old ones first, as it
  // would have been when asked for, unless the new vertices bring a new collider.
  void KeepColliderBeforeVerticesChange(UINT rebuildBoundVolume);
  bool FaceInRange(const Face& face) const;
  CMeshVertexBuffer* CreateBuffer(Vertex* vertices, Vertex* secondVertices, UINT count,
                                  const char* name, UINT kind);
  void BindStreams(CMeshVertexBuffer* dynamicShadow, CMeshVertexBuffer* staticShadow);
  void ReleaseVertexBuffers();
  // After the vertex array was replaced: new buffers on the path the mesh was drawn on (its
  // rendering profile, its shader, or the coded path when it had a buffer there).
  void PrepareBuffersAgain(bool hadVertexBuffer);
  void OrientEdge(Edge& edge, WORD index);
  // Points every edge's owners at the faces its face numbers name in the current face array.
  void RelinkEdgeOwners();

  CShader* m_pShader = nullptr;
  std::vector<Vertex> m_Vertices;
  std::vector<CMeshSurface*> m_Surfaces;
  CMeshVertexBuffer* m_pVertexBuffer = nullptr;
  CMeshVertexBuffer* m_pShadowVolumeBuffers[2] = {};  // dynamic, static
  CMesh* m_pMorphTarget = nullptr;
  std::unique_ptr<CBone[]> m_pBones;
  std::vector<Face> m_Faces;
  std::vector<Edge> m_Edges;
  CCollider* m_pCollider = nullptr;
  bool m_bColliderDue = false;
  CSurfaceInterface* m_pCurrentSurface = nullptr;
  CMeshBoundVolumeInterface* m_pBoundVolume = nullptr;
  CMeshShadowVolume* m_pShadowVolume = nullptr;
  CCamera* m_pCamera = nullptr;
  char m_szName[kNameLength] = {};
  char m_szShaderFileName[kNameLength] = {};
  std::unique_ptr<CEnvelope> m_pDissolve;
  std::vector<OctreeEntry> m_OctreeEntries;
  CMatrix m_mtxInverse;
  CMatrix m_mtxInverseRotation;
  CVector3 m_vecPivot;
  UINT m_dwSurfaceState = 0;
  UINT m_dwParentNumber = 0;
  UINT m_dwParentTypeLoaded = 0;
  UINT m_dwNumberOfBones = 0;
  CMotion m_Motion;
  CMotion m_MorphMotion;
  UINT m_dwNumberOfMorphTargets = 0;
  UINT m_dwMeshNumber;
  float m_fHierarchyFrame = -1.0f;
  float m_fMatrixFrame = 0.0f;
  float m_fCameraDistance = 0.0f;
  UINT m_dwVertexDeclarationType = 0;
  WORD m_wFlags = 0;
  WORD m_wOctreeEntryCapacity = kInitialOctreeEntries;
  UINT m_dwRotationOrder = 0;
  UINT m_dwCanCastShadowVolume = 0;
  UINT m_dwIsMorph = 0;
  UINT m_dwUseBones = 0;
  UINT m_dwFollowsFrame = 1;
  UINT m_dwVisibleByCameras = 1;
  UINT m_dwVisibleByRays = 1;
  UINT m_dwVisibleByCollisions = 1;
  UINT m_dwUseShader = 0;
  UINT m_dwManualShader = 0;
  UINT m_dwChanged = 1;
  UINT m_dwHasShadowVolumeGeometry = 1;
  UINT m_dwDynamicBuffers;
  UINT m_dwIsBlended = 0;
  std::vector<ShaderParameter> m_ShaderParameters;
};
