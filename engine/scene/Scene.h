#pragma once
// One 3D scene: the ordered list of its world objects with per-kind arrays for indexed access,
// its name and directory, frame range, fog, ambient light and background, a table of screen
// sprites, the scene shader and user data. Scenes are reference-counted and own their objects.
// It runs the per-frame passes, draws through CSceneRender, owns its octree, and builds its
// objects from imported records or from the scene file's references.
#include <memory>
#include <unordered_set>
#include <vector>

#include "scene/SceneRender.h"
#include "ZKDXInterface.h"

class CEngineLog;
class CEnvelope;
class COctree;
class LWOImportBuffer;
struct LWSCameraBuffer;
struct LWSLightBuffer;
struct LWSNullBuffer;
struct LWSSceneBuffer;
class CSceneShaderLibrary;
class CShader;
class CWorldObject;

class CScene : public CSceneInterface {
 public:
  static constexpr UINT kNameLength = 256;
  static constexpr UINT kInitialSpriteSlots = 128;

  // The scene of AddScene and the tool windows: a constant ambient intensity of 0.25.
  CScene(CD3D9RendererInterface* renderer, CEngineLog* log);
  // The scene of the file readers: a default ambient intensity envelope (constant 0). The first
  // argument is not read.
  CScene(UINT reserved, CD3D9RendererInterface* renderer, CEngineLog* log);

  // --- CSceneInterface ---
  void AddRef() override { ++m_dwReferenceCount; }
  // At zero: releases every world object and frees the scene. Objects that still hold other
  // references survive, detached from the scene.
  void Release() override;
  CWorldObjectInterface* GetWorldObjects() override;
  CMeshInterface* GetMesh(UINT index) override;
  CMeshInterface* GetMeshByName(const char* name, UINT n) override;
  CLightInterface* GetLight(UINT index) override;
  CCameraInterface* GetCamera(UINT index) override;
  CNullInterface* GetNull(UINT index) override;
  CNullInterface* GetNullByName(const char* name, UINT n) override;
  UINT GetNumberOfMeshes() override { return static_cast<UINT>(m_Meshes.size()); }
  UINT GetNumberOfLights() override { return static_cast<UINT>(m_Lights.size()); }
  UINT GetNumberOfCameras() override { return static_cast<UINT>(m_Cameras.size()); }
  UINT GetNumberOfNullObjects() override { return m_dwNullCount; }
  UINT GetActiveCameraNumber() override { return m_dwActiveCameraNumber; }
  const char* GetName() override { return m_szName; }
  const char* GetDirectory() override { return m_szDirectory; }
  CWorldObjectInterface* GetLastWorldObject() override;
  // Appends an object of a known kind that is not in the list yet; the per-kind arrays are the
  // caller's to rebuild.
  UINT AddWorldObject(CWorldObjectInterface* object) override;
  // Empty objects of each kind, appended to the list and their kind's array; null (logged)
  // when one cannot be made.
  CMeshInterface* AddMesh(UINT dynamicBuffers) override;
  CCameraInterface* AddCamera() override;
  CNullInterface* AddNull() override;
  CLightInterface* AddLight() override;
  // Runs every null's script; 1 when all of them succeeded.
  UINT ApplyNullScripts() override;
  void StartNullOptions() override;
  // Turns the loaded (kind, number) parent links and morph-target numbers into pointers. 0 at
  // the first that does not resolve or would close a loop of links: the data is broken.
  UINT BuildHierarchy();
  // The same for the targets; a target that cannot be linked ends the engine. 0 for a scene
  // without cameras (not a failure).
  UINT ResolveCameraTargets();
  UINT ResolveLightTargets();
  // The object `number` of a link kind (1 meshes and nulls, 2 lights, 3 cameras), counted in
  // list order from 0 or from 1; null past the end. Another kind ends the engine.
  CWorldObject* FindObjectOfKind(UINT number, UINT kind) const;
  CWorldObject* FindObjectOfKindFromOne(UINT number, UINT kind) const;
  // The link kind an object is counted under (1 meshes and nulls, 2 lights, 3 cameras).
  static UINT GetLinkKind(const CWorldObject* object);
  // What the scene file keeps besides the objects. A scene built from several scenes is not
  // saveable (0).
  UINT GetSaveable() const { return m_dwSaveable; }
  void SetSaveable(UINT saveable) { m_dwSaveable = saveable; }
  UINT GetGridSize() const { return m_dwGridSize; }
  void SetGridSize(UINT size) { m_dwGridSize = size; }
  void SetFramesPerSecond(float framesPerSecond) { m_fFramesPerSecond = framesPerSecond; }
  // The fog colour alone, without the device's render state.
  void StoreFogColor(UINT color) { m_dwFogColor = color; }
  // The parameters of the last successful CreateShader.
  const std::vector<ShaderParameter>& GetShaderParameters() const { return m_ShaderParameters; }
  // The scene shader came from the scene's file: it is prepared and its own.
  void MarkShaderFromFile() {
    m_dwPrepared = 1;
    m_dwUseShader = 1;
  }

 private:
  CWorldObject* FindCounted(UINT number, UINT kind, UINT first) const;
  // The target of a loaded (kind, number) link that `object` may follow. None, or one that
  // hangs below the object (the two would depend on each other), ends the engine with
  // `unresolved` (kind, number).
  CWorldObject* FindTarget(CWorldObject* object, UINT kind, UINT number,
                           const char* unresolved) const;

  UINT m_dwSaveable = 1;
  UINT m_dwGridSize = 0;
  std::vector<ShaderParameter> m_ShaderParameters;

 public:
  void AddSprite(CSpriteInterface* sprite) override;
  CSpriteInterface* GetSprite(UINT index) override;
  CSpriteInterface* GetSpriteByName(const char* name, UINT n) override;
  UINT RemoveSprite(CSpriteInterface* sprite) override;
  UINT GetNumberOfSprites() override { return static_cast<UINT>(m_Sprites.size()); }
  const char* GetShaderFileName() override { return m_szShaderFileName; }
  // Whether ApplyDefaultShader has prepared the scene, not the use-shader word.
  UINT GetUseShader() override { return m_dwPrepared; }
  void SetShaderFile(const char* fileName, UINT useShader) override;
  UINT CreateShader(const char* fileName, ShaderParameter* parameters, UINT numberOfParameters,
                    UINT useShader) override;
  UINT ApplyDefaultShader(SceneShaderChooser sceneChooser, MeshShaderChooser meshChooser,
                          SurfaceShaderChooser surfaceChooser) override;
  // Makes a scene built or loaded without a chosen shader drawable: through the device's
  // rendering profile when there is one, else by the default shaders (mode 1) or, for what they
  // leave unprepared and for mode 0, through the coded path.
  void PrepareForDrawing(UINT mode);
  UINT GetFirstFrame() override { return m_dwFirstFrame; }
  UINT GetLastFrame() override { return m_dwLastFrame; }
  UINT GetFrameStep() override { return m_dwFrameStep; }
  float GetFramesPerSecond() override { return m_fFramesPerSecond; }
  // --- building from imported data and saving ---
  // Each builds one object from the LightWave reader's record of its kind and appends it to the
  // object list; 0, with nothing linked, when the object cannot be allocated.
  UINT CreateSceneMesh(LWOImportBuffer& object);
  UINT CreateSceneCamera(const LWSCameraBuffer& record);
  UINT CreateSceneLight(const LWSLightBuffer& record);
  UINT CreateSceneNull(const LWSNullBuffer& record);
  // Turns the imported list into a working scene: the scene record's settings, the ambient
  // envelope, the links between objects, the per-kind tables and the first camera. Its
  // failures are fatal. Returns 1.
  UINT UpdateScene(const LWSSceneBuffer& record);
  // Turns the v of the first texture coordinate of both coordinate slots of every point of the
  // object into 1 - v. Returns 1.
  static UINT ComplementImportedPointValues(LWOImportBuffer& object);
  // Has every mesh of the mesh array save its surfaces' textures as image files; returns 1.
  UINT SaveTextures();

  CCameraInterface* GetActiveCamera() override;
  ColorByte* GetColor() override { return &m_AmbientColor; }
  CEnvelopeInterface* GetAmbLightIntensityEnvelope() override;
  UINT GetFogType() override { return m_dwFogType; }
  UINT GetFogColor() override { return m_dwFogColor; }
  float GetMinimumFogDistance() override { return m_fFogMinDistance; }
  float GetMaximumFogDistance() override { return m_fFogMaxDistance; }
  UINT GetLightingModel() override { return m_dwLightingModel; }
  float GetFrame() override { return m_fFrame; }
  void SetName(const char* name) override;
  void SetFogType(UINT fogType) override { m_dwFogType = fogType; }
  void SetFogMinDistance(float distance) override { m_fFogMinDistance = distance; }
  void SetFogMaxDistnace(float distance) override { m_fFogMaxDistance = distance; }
  // Also sets the device's fog colour at once.
  void SetFogColor(UINT color) override;
  void SetLightingModel(UINT lightingModel) override { m_dwLightingModel = lightingModel; }
  void SetFirstFrame(UINT frame) override { m_dwFirstFrame = frame; }
  void SetLastFrame(UINT frame) override { m_dwLastFrame = frame; }
  void SetAmbientColor(UINT color) override;
  UINT GetSceneFrames() override { return m_dwLastFrame; }
  void GetUserDefinedData(void** data, UINT* value1, UINT* value2) override;
  void SetUserDefinedData(void* data, UINT value1, UINT value2) override;
  UINT GetBackgroundColor() override { return m_dwBackgroundColor; }
  void SetBackgroundColor(UINT color) override { m_dwBackgroundColor = color; }
  // Installs camera `index` on the renderer and refreshes its visible lists. An index past the
  // cameras leaves the scene without an active camera (logged) and returns 0.
  UINT SetActiveCamera(UINT index) override;
  // Null while the scene has no active camera.
  CCamera* GetActiveCameraObject() override;
  // --- per-frame passes, visibility and rendering ---
  // Stores the frame and pins every mesh to it; the other kinds take it in the two passes.
  void SetFrame(float frame) override;
  // Makes this the engine's active scene and switches the device lights off, so none of the
  // previous scene's stays on.
  void SetAsActiveScene() override;
  // The matrix pass of every object at the scene frame, then the ambient intensity step.
  void PrepareMatrices() override;
  // The hierarchy pass of every object, then SetActiveCamera on the active camera number, so
  // the camera's lists follow every new frame.
  void UpdateHierarchy() override;
  void Render() override;
  // Looks through any camera, the active camera number staying as it is; with refresh 1 the
  // camera's and the lights' visible lists are rebuilt even when they are current. A null
  // camera changes nothing.
  void UpdateVisibility(CCamera* camera, UINT refresh);
  CD3D9RendererInterface* GetRenderer() const { return m_pRenderer; }
  CEngineLog* GetLog() const { return m_pLog; }

  // --- octree ---
  // Loads the octree file "%s%s.oct" (directory, name) when it was written for exactly this
  // minimum cell size, else builds the tree from the meshes. 0, with nothing changed, for a
  // size that is not above 0 or when the scene has a tree already. The second word is not read.
  UINT BuildOctree(float minimumCellSize, UINT value) override;
  // Writes the tree to the octree file; 1 when it was written whole.
  UINT SaveOctree() override;
  // Installs the tree of the octree file; 1 when it was read whole.
  UINT LoadOctree();
  COctree* GetOctree() const { return m_pOctree.get(); }
  // The cells of the tree as built or loaded, which the scene file keeps; until a tree is made,
  // the count the scene file gave. Saving the tree checks it against this count.
  UINT GetNumberOfOctreeCells() const { return m_dwOctreeCells; }
  void SetNumberOfOctreeCells(UINT cells) { m_dwOctreeCells = cells; }

  // --- ray picking, possible colliders and merging ---
  // The nearest mesh the ray hits, or null with *distance at the largest float. With bit 1
  // (value 2) of the flags the meshes the ray hits are ranked by the distance from the ray's
  // origin to their pivots (written to *distance); otherwise the octree answers when the scene
  // has one, and every mesh is tested when it has none or it finds nothing. The flags go on to
  // each mesh's test unchanged; ties keep the mesh met first, hits at 0 never count.
  CMeshInterface* FindNearestIntersection(CRay& ray, float* distance, UINT flags) override;
  // The same with the normal at the hit ((0, 0, 0) when nothing was hit or by pivot).
  CMeshInterface* FindNearestIntersection(CRay& ray, float* distance, UINT flags,
                                          CVector3* normal) override;
  // The meshes that may touch a body of `radius` at `point`: from the octree cells around the
  // point, or, without an octree, every mesh whose box centre lies nearer than the radius.
  void GetPossibleColliders(CVector3& point, float radius, CMeshInterface*** meshes,
                            UINT* count) override;
  // Moves the source's objects of the kinds in the mask into this scene, cutting parent links
  // that would reach back into what stays behind. The source keeps only what stays and is not
  // released; *source is set to null after a merge.
  UINT AddMeshes(CSceneInterface** source, UINT kinds) override;

 private:
  CMeshInterface* PickNearest(CRay& ray, float* distance, UINT flags, CVector3* normal);
  CMeshInterface* PickByPivot(CRay& ray, float* distance, UINT flags);
  CMeshInterface* PickEveryMesh(CRay& ray, float* distance, UINT flags, CVector3* normal);
  // Whether the octree lists each mesh in every leaf its box reaches; worked out again after
  // the scene's meshes or their filing changed.
  bool OctreeListsEveryMesh();
  // The meshes of the point's leaf and of the cells around it; false when no leaf holds the point.
  bool CollectOctreeMeshes(const CVector3& point, float radius, std::vector<CMeshInterface*>& out);
  void CollectNearbyMeshes(const CVector3& point, float radius, std::vector<CMeshInterface*>& out);
  // Parents that will not move along with their children are cut, in the source's list order;
  // then targets and morph targets that would reach across.
  void CutParentsLeftBehind(CScene& source, UINT kinds);
  void CutTargetsAcross(CScene& source, UINT kinds);
  void MoveObjectsFrom(CScene& source, UINT kinds);
  // The source forgets what moved: its arrays, counts and current objects.
  void ForgetMovedObjects();
  void RecountAfterMerge();

 public:
  // --- engine side ---
  CWorldObject* GetFirstWorldObject() const { return m_pFirstWorldObject; }
  // Appends the object and brings its kind's array or count up to date.
  void AppendWorldObject(CWorldObject* object);
  // Takes the object out of the list and brings its kind's array or count up to date.
  void UnlinkWorldObject(CWorldObject* object);
  void RebuildMeshArray();
  // A mesh was filed anew, left the tree or changed its box: the picks check the tree's
  // listing again before relying on it.
  void OctreeFilingChanged() { m_bOctreeListingKnown = false; }
  void RebuildLightArray();
  void RebuildCameraArray();
  void RebuildNullCount();
  UINT IsReleasing() const { return m_dwReleasing; }
  // How many lights of the light array are of `type` (distant, point, spot, ...).
  UINT GetNumberOfLightsOfType(WORD type) const;
  // The objects behind the interface lookups, null where those return null; the by-name
  // finds do not log.
  CWorldObject* GetMeshObject(UINT index) const;
  CWorldObject* GetLightObject(UINT index) const;
  CWorldObject* GetCameraObject(UINT index) const;
  CWorldObject* GetNullObject(UINT index) const;
  CWorldObject* FindMeshByName(const char* name, UINT n) const;
  CWorldObject* FindNullByName(const char* name, UINT n) const;
  void SetCurrentLight(CWorldObject* light) { m_pCurrentLight = light; }
  CWorldObject* GetCurrentLight() const { return m_pCurrentLight; }
  UINT SetCurrentMesh(CWorldObject* mesh) {
    m_pCurrentMesh = mesh;
    return 1;
  }
  CWorldObject* GetCurrentMesh() const { return m_pCurrentMesh; }
  // A camera that is going away stops being the active one.
  void ForgetActiveCamera(CWorldObject* camera) {
    if (m_pActiveCamera == camera) m_pActiveCamera = nullptr;
  }
  void SetShadowMode(UINT renderingProfile) { m_dwRenderingProfile = renderingProfile; }
  UINT GetShadowMode() const { return m_dwRenderingProfile; }
  CShader* GetShader() const { return m_pShader; }
  // The shader stays in the library's bank; the scene only forgets it.
  void ClearShader() { m_pShader = nullptr; }
  UINT GetUseShaderWord() const { return m_dwUseShader; }
  void SetDirectory(const char* directory);
  UINT GetReferenceCount() const { return m_dwReferenceCount; }

 protected:
  // Only Release frees a scene.
  virtual ~CScene();

 private:
  CScene(CD3D9RendererInterface* renderer, CEngineLog* log, float ambientIntensity);
  void RebuildArray(std::vector<CWorldObject*>& array, UINT type);
  // Links the object at the tail; 0 when it is listed already or of an unknown kind.
  UINT LinkWorldObject(CWorldObject* object);
  // Rebuilds the array or count of one kind of object.
  void RebuildKind(UINT type);
  bool HasShaderFile() const;
  // Appends a new imported object; returns 1.
  UINT LinkImportedObject(CWorldObject* object);

  CWorldObject* m_pFirstWorldObject = nullptr;
  // The tail and the members of the list, so that appending stays constant time.
  CWorldObject* m_pLastWorldObject = nullptr;
  std::unordered_set<const CWorldObject*> m_Listed;
  // Kinds linked through the interface, whose arrays the next append of that kind rebuilds.
  UINT m_dwStaleKinds = 0;
  CShader* m_pShader = nullptr;
  std::vector<CWorldObject*> m_Meshes;
  std::vector<CWorldObject*> m_Lights;
  std::vector<CWorldObject*> m_Cameras;
  CWorldObject* m_pActiveCamera = nullptr;
  CSceneRender m_Render;
  CD3D9RendererInterface* m_pRenderer;
  CEngineLog* m_pLog;
  CWorldObject* m_pCurrentMesh = nullptr;
  void* m_pUserData = nullptr;
  std::vector<CSpriteInterface*> m_Sprites;
  UINT m_dwUserValue1 = 0;
  UINT m_dwUserValue2 = 0;
  CWorldObject* m_pCurrentLight = nullptr;
  UINT m_dwNullCount = 0;
  UINT m_dwActiveCameraNumber = 0;
  char m_szName[kNameLength] = {};
  char m_szDirectory[kNameLength] = {};
  char m_szShaderFileName[kNameLength] = {};
  UINT m_dwFirstFrame = 0;
  UINT m_dwLastFrame = 0;
  UINT m_dwFrameStep = 0;
  float m_fFramesPerSecond = 0.0f;
  ColorByte m_AmbientColor = {};
  std::unique_ptr<CEnvelope> m_pAmbientIntensity;
  UINT m_dwLightingModel;
  float m_fFrame = 0.0f;
  UINT m_dwFogType = 0;
  float m_fFogMinDistance = 0.0f;
  float m_fFogMaxDistance = 0.0f;
  UINT m_dwFogColor = 0;
  UINT m_dwBackgroundColor = 0;
  UINT m_dwReferenceCount = 1;
  UINT m_dwRenderingProfile = 0;
  UINT m_dwPrepared = 0;
  UINT m_dwUseShader = 0;
  UINT m_dwReleasing = 0;
  std::unique_ptr<COctree> m_pOctree;
  UINT m_dwOctreeCells = 0;
  float m_fOctreeMinimum = 0.0f;
  bool m_bOctreeListingKnown = false;
  bool m_bOctreeListsEveryMesh = false;
};
