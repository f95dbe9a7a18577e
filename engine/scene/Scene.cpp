#include "scene/Scene.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <utility>

#include "scene/Camera.h"
#include "core/UnitToByte.h"
#include "core/CopyName.h"
#include "core/EngineSampleScope.h"
#include "scene/Envelope.h"
#include "scene/GenericPassInterface.h"
#include "d3d/RenderingProfileInterface.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "scene/Null.h"
#include "scene/SceneShaderLibrary.h"
#include "scene/WorldObject.h"
#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "scene/SceneItemsManager.h"
#include "d3d9types.h"
#include "spatial/BoundBox.h"
#include "spatial/MeshBoundVolume.h"
#include "scene/NearerHit.h"
#include "spatial/Octree.h"
#include "spatial/OctreeFile.h"
#include "scene/LWOImportBuffer.h"
#include "scene/LWSCameraBuffer.h"
#include "scene/LWSLightBuffer.h"
#include "scene/LWSNullBuffer.h"
#include "scene/LWSSceneBuffer.h"
#include "winuser.h"

namespace {

constexpr const char* kSource = "ZK3DProcessing";
constexpr const char* kNoShaderFile = "none";
constexpr char kNoMemoryImport[] = "Can't Allocate Memory For Imported Object";

// Link kinds of the loaded parent and target references.
constexpr UINT kLinkMeshOrNull = 1;
constexpr UINT kLinkLight = 2;
constexpr UINT kLinkCamera = 3;
constexpr UINT kLinkTarget = 5;  // meshes and nulls, counted from one

bool SameName(const char* a, const char* b) { return a != nullptr && std::strcmp(a, b) == 0; }

// The kind's interface of an object; null for an object whose type word does not match what
// it is, so a damaged type word never hands out the wrong interface.
template <class TInterface>
TInterface* InterfaceOf(CWorldObject* object) {
  return object != nullptr ? dynamic_cast<TInterface*>(object->GetInterface()) : nullptr;
}

}  // namespace

CScene::CScene(CD3D9RendererInterface* renderer, CEngineLog* log, float ambientIntensity)
    : m_pRenderer(renderer),
      m_pLog(log),
      m_Sprites(kInitialSpriteSlots, nullptr),
      m_dwLightingModel(GetEngineContext()->wPresetValue) {
  m_pAmbientIntensity = std::make_unique<CEnvelope>(0, nullptr, ambientIntensity);
  if (CSceneItemsManager* items = GetEngineContext()->pSceneItems) items->GetScenes().Add(this);
}

CScene::CScene(CD3D9RendererInterface* renderer, CEngineLog* log) : CScene(renderer, log, 0.25f) {}

CScene::CScene(UINT /*reserved*/, CD3D9RendererInterface* renderer, CEngineLog* log)
    : CScene(renderer, log, 0.0f) {}

CScene::~CScene() = default;


void CScene::Release() {
  // Only a scene the engine knows of is released; a stale pointer finds nothing to free.
  CSceneItemsManager* items = GetEngineContext()->pSceneItems;
  if (items != nullptr && !items->GetScenes().Contains(this)) return;
  if (m_dwReferenceCount > 0) --m_dwReferenceCount;
  if (m_dwReferenceCount != 0) return;

  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "- (CScene) Releasing %s\n", m_szName);
  m_dwReleasing = 1;
  CWorldObject* object = m_pFirstWorldObject;
  m_pFirstWorldObject = m_pLastWorldObject = nullptr;
  m_Listed.clear();
  while (object != nullptr) {
    CWorldObject* next = object->GetNext();
    // An object someone else still holds outlives the scene; it must not reach back into it.
    const bool survives =
        !CWorldObject::IsKnownType(object->GetWorldObjectType()) || object->GetReferenceCount() > 1;
    if (survives) object->DetachFromScene();
    if (CWorldObject::IsKnownType(object->GetWorldObjectType())) object->ReleaseReference();
    object = next;
  }
  m_Meshes.clear();
  m_Lights.clear();
  m_Cameras.clear();
  m_pActiveCamera = m_pCurrentMesh = m_pCurrentLight = nullptr;
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "- Scene Released\n");
  m_dwReleasing = 0;
  // The engine must not go on drawing or asking a scene that is gone.
  if (GetEngineContext()->pActiveScene == this) GetEngineContext()->pActiveScene = nullptr;
  if (items != nullptr) items->GetScenes().Remove(this);
  delete this;
}

UINT CScene::GetNumberOfLightsOfType(WORD type) const {
  UINT count = 0;
  for (CWorldObject* light : m_Lights)
    if (auto* face = InterfaceOf<CLightInterface>(light); face != nullptr && face->GetType() == type) ++count;
  return count;
}

CWorldObjectInterface* CScene::GetWorldObjects() {
  if (m_pFirstWorldObject == nullptr ||
      !CWorldObject::IsKnownType(m_pFirstWorldObject->GetWorldObjectType()))
    return nullptr;
  return m_pFirstWorldObject->GetInterface();
}

CWorldObjectInterface* CScene::GetLastWorldObject() {
  CWorldObject* last = m_pLastWorldObject;
  if (last == nullptr || !CWorldObject::IsKnownType(last->GetWorldObjectType())) return nullptr;
  return last->GetInterface();
}

CWorldObject* CScene::GetMeshObject(UINT index) const {
  return index < m_Meshes.size() ? m_Meshes[index] : nullptr;
}

CWorldObject* CScene::GetLightObject(UINT index) const {
  return index < m_Lights.size() ? m_Lights[index] : nullptr;
}

CWorldObject* CScene::GetCameraObject(UINT index) const {
  return index < m_Cameras.size() ? m_Cameras[index] : nullptr;
}

CWorldObject* CScene::GetNullObject(UINT index) const {
  for (CWorldObject* object = m_pFirstWorldObject; object != nullptr; object = object->GetNext())
    if (object->GetWorldObjectType() == WORLD_OBJECT_NULL && index-- == 0) return object;
  return nullptr;
}

CMeshInterface* CScene::GetMesh(UINT index) {
  return InterfaceOf<CMeshInterface>(GetMeshObject(index));
}

CLightInterface* CScene::GetLight(UINT index) {
  return InterfaceOf<CLightInterface>(GetLightObject(index));
}

CCameraInterface* CScene::GetCamera(UINT index) {
  return InterfaceOf<CCameraInterface>(GetCameraObject(index));
}

CNullInterface* CScene::GetNull(UINT index) {
  return InterfaceOf<CNullInterface>(GetNullObject(index));
}

CWorldObject* CScene::FindMeshByName(const char* name, UINT n) const {
  if (name == nullptr) return nullptr;
  for (CWorldObject* mesh : m_Meshes)
    if (SameName(mesh->GetWorldObjectName(), name) && n-- == 0) return mesh;
  return nullptr;
}

CWorldObject* CScene::FindNullByName(const char* name, UINT n) const {
  if (name == nullptr) return nullptr;
  for (CWorldObject* object = m_pFirstWorldObject; object != nullptr; object = object->GetNext())
    if (object->GetWorldObjectType() == WORLD_OBJECT_NULL &&
        SameName(object->GetWorldObjectName(), name) && n-- == 0)
      return object;
  return nullptr;
}

CMeshInterface* CScene::GetMeshByName(const char* name, UINT n) {
  CWorldObject* mesh = FindMeshByName(name, n);
  if (mesh == nullptr)
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "CScene::GetMeshByName Returned NULL Looking For %s At %s\n", name != nullptr ? name : "",
          m_szName);
  return InterfaceOf<CMeshInterface>(mesh);
}

CNullInterface* CScene::GetNullByName(const char* name, UINT n) {
  CWorldObject* null = FindNullByName(name, n);
  if (null == nullptr)
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "CScene::GetNullByName Returned NULL Looking For %s At %s\n", name != nullptr ? name : "",
          m_szName);
  return InterfaceOf<CNullInterface>(null);
}

UINT CScene::AddWorldObject(CWorldObjectInterface* objectInterface) {
  CWorldObject* object = CWorldObject::FromInterface(objectInterface);
  if (object == nullptr) return 0;
  // An object of an unknown kind offered to an empty list is accepted but not linked.
  if (m_pFirstWorldObject == nullptr && !CWorldObject::IsKnownType(object->GetWorldObjectType()))
    return 1;
  if (LinkWorldObject(object) == 0) return 0;
  m_dwStaleKinds |= object->GetWorldObjectType();
  return 1;
}

UINT CScene::LinkWorldObject(CWorldObject* object) {
  if (!CWorldObject::IsKnownType(object->GetWorldObjectType())) return 0;
  // A second link to an object already in the list would turn the list into a loop.
  if (!m_Listed.insert(object).second) return 0;
  OctreeFilingChanged();
  object->SetNextWorldObject(nullptr);
  if (m_pLastWorldObject != nullptr)
    m_pLastWorldObject->SetNextWorldObject(object);
  else
    m_pFirstWorldObject = object;
  m_pLastWorldObject = object;
  return 1;
}

// --- creating objects and resolving loaded links ---

CMeshInterface* CScene::AddMesh(UINT dynamicBuffers) {
  auto* mesh = NewOrFatal<CMesh>(kNoMemoryTitle, "Can't Create Empty Mesh", m_pRenderer, m_pLog,
                                 this, dynamicBuffers);
  AppendWorldObject(mesh);
  mesh->SetName("a new mesh");
  return mesh;
}

CCameraInterface* CScene::AddCamera() {
  auto* camera =
      NewOrFatal<CCamera>(kNoMemoryTitle, "Can't Create Empty Camera", m_pRenderer, m_pLog, this);
  AppendWorldObject(camera);
  return camera;
}

CNullInterface* CScene::AddNull() {
  auto* null = NewOrFatal<CNull>(kNoMemoryTitle, "Can't Create Empty Null", m_pRenderer, m_pLog);
  null->SetOwnerScene(this);
  AppendWorldObject(null);
  null->SetName("a new null");
  return null;
}

CLightInterface* CScene::AddLight() {
  auto* light =
      NewOrFatal<CLight>(kNoMemoryTitle, "Can't Create Empty Light", m_pRenderer, m_pLog, this);
  AppendWorldObject(light);
  light->SetName("a new name");
  return light;
}

UINT CScene::ApplyNullScripts() {
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "- Applying NullObjects Scripts...\n");
  UINT result = 1;
  for (CWorldObject* object = m_pFirstWorldObject; object != nullptr; object = object->GetNext())
    if (auto* null = dynamic_cast<CNull*>(object))
      if (null->ApplyScript() != 1) result = 0;
  return result;
}

void CScene::StartNullOptions() {
  for (CWorldObject* object = m_pFirstWorldObject; object != nullptr; object = object->GetNext())
    if (auto* null = dynamic_cast<CNull*>(object)) null->StartOption();
}

UINT CScene::GetLinkKind(const CWorldObject* object) {
  switch (object->GetWorldObjectType()) {
    case WORLD_OBJECT_MESH:
    case WORLD_OBJECT_NULL:
      return kLinkMeshOrNull;
    case WORLD_OBJECT_LIGHT:
      return kLinkLight;
    case WORLD_OBJECT_CAMERA:
      return kLinkCamera;
  }
  return 0;
}

CWorldObject* CScene::FindCounted(UINT number, UINT kind, UINT first) const {
  if (kind != kLinkMeshOrNull && kind != kLinkLight && kind != kLinkCamera)
    FatalErrorWithTitle("Error While Building Hierarchy", "Unknown Parent Type (hierarchy)");
  UINT count = first;
  for (CWorldObject* object = m_pFirstWorldObject; object != nullptr; object = object->GetNext()) {
    if (GetLinkKind(object) != kind) continue;
    if (count == number) return object;
    ++count;
  }
  return nullptr;
}

CWorldObject* CScene::FindObjectOfKind(UINT number, UINT kind) const {
  return FindCounted(number, kind, 0);
}

CWorldObject* CScene::FindObjectOfKindFromOne(UINT number, UINT kind) const {
  return FindCounted(number, kind, 1);
}

UINT CScene::BuildHierarchy() {
  for (CWorldObject* object = m_pFirstWorldObject; object != nullptr; object = object->GetNext()) {
    UINT kind = 0;
    UINT number = 0;
    if (auto* mesh = dynamic_cast<CMesh*>(object)) {
      if (mesh->GetIsMorph() != 0) {
        const UINT morph = mesh->GetNumberOfMorphTarget();
        auto* target = dynamic_cast<CMesh*>(FindObjectOfKindFromOne(morph, kLinkMeshOrNull));
        if (target == nullptr) {
          LogTo(m_pLog, kSource, CEngineLog::kLevelError,
                "ERROR!!! - Can't Find Morph Target %u Of %s\n", morph, mesh->GetName());
          return 0;
        }
        mesh->SetMorphTarget(target);  // refuses the mesh itself, logged
        if (mesh->GetMorphTargetObject() != target) return 0;
      }
      kind = mesh->GetParentType();
      number = mesh->GetNumberOfParentObject();
    } else if (auto* null = dynamic_cast<CNull*>(object)) {
      kind = null->GetParentReferenceType();
      number = null->GetParentNumber();
    } else if (auto* camera = dynamic_cast<CCamera*>(object)) {
      kind = camera->GetParentReferenceType();
      number = camera->GetParentNumber();
    } else if (auto* light = dynamic_cast<CLight*>(object)) {
      kind = light->GetParentReferenceType();
      number = light->GetParentNumber();
    }
    if (kind == 0) continue;
    CWorldObject* parent = FindObjectOfKind(number, kind);
    if (parent == nullptr) {
      LogTo(m_pLog, kSource, CEngineLog::kLevelError,
            "ERROR!!! - Can't Find Parent %u Of Kind %u For: %s\n", number, kind,
            object->GetWorldObjectName());
      return 0;
    }
    // The link is refused (and logged) when it would close a loop of parents.
    object->SetParent(parent->GetInterface());
    if (object->GetParent() != parent) return 0;
  }
  return 1;
}

CWorldObject* CScene::FindTarget(CWorldObject* object, UINT kind, UINT number,
                                 const char* unresolved) const {
  CWorldObject* target = kind == kLinkTarget ? FindObjectOfKindFromOne(number, kLinkMeshOrNull)
                                             : FindObjectOfKind(number, kind);
  if (target != nullptr && (target == object || target->HasAmongParents(object))) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "ERROR!!! - Target Hangs Below Its Object: %s\n", object->GetWorldObjectName());
    target = nullptr;
  }
  if (target == nullptr)
    FatalErrorWithTitle("", unresolved, static_cast<unsigned long>(kind),
                        static_cast<unsigned long>(number));
  return target;
}

UINT CScene::ResolveCameraTargets() {
  UINT found = 0;
  for (CWorldObject* object = m_pFirstWorldObject; object != nullptr; object = object->GetNext()) {
    auto* camera = dynamic_cast<CCamera*>(object);
    if (camera == nullptr) continue;
    found = 1;
    if (camera->GetTargetType() == 0) continue;
    camera->SetTargetObject(FindTarget(camera, camera->GetTargetType(), camera->GetTagetNumber(),
                                       "Vemo, nie moge ustawic targeta dla kamery: %lu, %lu\n"));
  }
  return found;
}

UINT CScene::ResolveLightTargets() {
  for (CWorldObject* object = m_pFirstWorldObject; object != nullptr; object = object->GetNext()) {
    auto* light = dynamic_cast<CLight*>(object);
    if (light == nullptr || light->GetTargetType() == 0) continue;
    light->SetTarget(FindTarget(light, light->GetTargetType(), light->GetTargetNumber(),
                                "Vemo, nie moge ustawic targeta dla swiatla: %lu, %lu,\n"));
  }
  return 1;
}

void CScene::AppendWorldObject(CWorldObject* object) {
  if (LinkWorldObject(object) == 0) return;
  const UINT type = object->GetWorldObjectType();
  // The new object is the last of its kind, so its array grows by it alone, unless objects
  // linked through the interface are still missing from it.
  if ((m_dwStaleKinds & type) != 0) return RebuildKind(type);
  switch (type) {
    case WORLD_OBJECT_MESH:
      m_Meshes.push_back(object);
      break;
    case WORLD_OBJECT_LIGHT:
      m_Lights.push_back(object);
      break;
    case WORLD_OBJECT_CAMERA:
      m_Cameras.push_back(object);
      break;
    case WORLD_OBJECT_NULL:
      ++m_dwNullCount;
      break;
  }
}

void CScene::UnlinkWorldObject(CWorldObject* object) {
  CWorldObject* previous = nullptr;
  CWorldObject* current = m_pFirstWorldObject;
  while (current != nullptr && current != object) {
    previous = current;
    current = current->GetNext();
  }
  if (current == nullptr) return;
  if (previous != nullptr)
    previous->SetNextWorldObject(object->GetNext());
  else
    m_pFirstWorldObject = object->GetNext();
  if (m_pLastWorldObject == object) m_pLastWorldObject = previous;
  m_Listed.erase(object);
  OctreeFilingChanged();
  object->SetNextWorldObject(nullptr);
  // Nothing may keep pointing at an object that has left the scene.
  if (m_pActiveCamera == object) m_pActiveCamera = nullptr;
  if (m_pCurrentMesh == object) m_pCurrentMesh = nullptr;
  if (m_pCurrentLight == object) m_pCurrentLight = nullptr;
  // Nor may a camera or a light still list it as visible until the next frame collects again.
  for (CWorldObject* camera : m_Cameras)
    if (auto* engineCamera = dynamic_cast<CCamera*>(camera)) engineCamera->ForgetVisible(object);
  for (CWorldObject* light : m_Lights)
    if (auto* engineLight = dynamic_cast<CLight*>(light)) engineLight->ForgetVisibleMesh(object);
  RebuildKind(object->GetWorldObjectType());
}

void CScene::RebuildKind(UINT type) {
  switch (type) {
    case WORLD_OBJECT_MESH:
      RebuildMeshArray();
      break;
    case WORLD_OBJECT_LIGHT:
      RebuildLightArray();
      break;
    case WORLD_OBJECT_CAMERA:
      RebuildCameraArray();
      break;
    case WORLD_OBJECT_NULL:
      RebuildNullCount();
      break;
  }
}

void CScene::RebuildArray(std::vector<CWorldObject*>& array, UINT type) {
  m_dwStaleKinds &= ~type;
  array.clear();
  for (CWorldObject* object = m_pFirstWorldObject; object != nullptr; object = object->GetNext())
    if (object->GetWorldObjectType() == type) array.push_back(object);
}

void CScene::RebuildMeshArray() { RebuildArray(m_Meshes, WORLD_OBJECT_MESH); }
void CScene::RebuildLightArray() { RebuildArray(m_Lights, WORLD_OBJECT_LIGHT); }
void CScene::RebuildCameraArray() { RebuildArray(m_Cameras, WORLD_OBJECT_CAMERA); }

void CScene::RebuildNullCount() {
  m_dwStaleKinds &= ~UINT(WORLD_OBJECT_NULL);
  m_dwNullCount = 0;
  for (CWorldObject* object = m_pFirstWorldObject; object != nullptr; object = object->GetNext())
    if (object->GetWorldObjectType() == WORLD_OBJECT_NULL) ++m_dwNullCount;
}

// --- sprites ---

void CScene::AddSprite(CSpriteInterface* sprite) {
  if (sprite == nullptr) return;
  sprite->SetScene(this);
  for (CSpriteInterface*& slot : m_Sprites)
    if (slot == nullptr) {
      slot = sprite;
      return;
    }
  LogTo(m_pLog, kSource, CEngineLog::kLevelError,
        "ERROR!!! - Not Enough Space For Sprites In The Scene (%s), Need To Allocate\n", m_szName);
  m_Sprites.push_back(sprite);
}

CSpriteInterface* CScene::GetSprite(UINT index) {
  return index < m_Sprites.size() ? m_Sprites[index] : nullptr;
}

CSpriteInterface* CScene::GetSpriteByName(const char* name, UINT n) {
  if (name != nullptr)
    for (CSpriteInterface* sprite : m_Sprites)
      if (sprite != nullptr && SameName(sprite->GetSpriteName(), name) && n-- == 0) return sprite;
  LogTo(m_pLog, kSource, CEngineLog::kLevelError,
        "WARNING!!! - Can't Find The Sprite Named: %s In The Scene: %s\n",
        name != nullptr ? name : "", m_szName);
  return nullptr;
}

UINT CScene::RemoveSprite(CSpriteInterface* sprite) {
  if (sprite != nullptr)
    for (CSpriteInterface*& slot : m_Sprites)
      if (slot == sprite) {
        slot = nullptr;
        return 1;
      }
  const char* spriteName = sprite != nullptr ? sprite->GetSpriteName() : nullptr;
  LogTo(m_pLog, kSource, CEngineLog::kLevelError,
        "WARNING!!! - Can't Remove The Sprite Named: %s From The Scene: %s\n",
        spriteName != nullptr ? spriteName : "", m_szName);
  return 0;
}

// --- scene shader ---

void CScene::SetShaderFile(const char* fileName, UINT useShader) {
  CopyName(m_szShaderFileName, fileName);
  m_dwUseShader = useShader;
}

UINT CScene::CreateShader(const char* fileName, ShaderParameter* parameters,
                          UINT numberOfParameters, UINT useShader) {
  m_pShader = nullptr;  // the shader itself stays in the shader library's bank
  CopyName(m_szShaderFileName, fileName);
  if (fileName != nullptr)
    m_pShader = GetEngineContext()->ports.sceneShaders->CreateShaderForScene(
        m_szShaderFileName, this, parameters, numberOfParameters);
  if (m_pShader != nullptr) {
    m_dwUseShader = useShader;
    if (parameters != nullptr)
      m_ShaderParameters.assign(parameters, parameters + numberOfParameters);
    else
      m_ShaderParameters.clear();
    return 1;
  }
  ShowMessageBox(GetEngineContext()->hWnd, MB_ICONSTOP, "Error While Creating Shader",
                 "Can't Create Shader: %s", m_szShaderFileName);
  CopyName(m_szShaderFileName, kNoShaderFile);
  return 0;
}

bool CScene::HasShaderFile() const {
  // "none" is what a failed CreateShader leaves: no shader to draw with.
  return m_szShaderFileName[0] != '\0' && std::strcmp(m_szShaderFileName, kNoShaderFile) != 0;
}

UINT CScene::ApplyDefaultShader(SceneShaderChooser sceneChooser, MeshShaderChooser meshChooser,
                                SurfaceShaderChooser surfaceChooser) {
  bool meshesPrepared = true;
  for (CWorldObject* object : m_Meshes) {
    CMeshInterface* mesh = InterfaceOf<CMeshInterface>(object);
    if (mesh == nullptr || mesh->ApplyDefaultShader(meshChooser, surfaceChooser) != 1)
      meshesPrepared = false;
  }
  if (!meshesPrepared) return m_dwPrepared;
  if (HasShaderFile() && m_dwUseShader != 0) return m_dwPrepared;

  UINT result = 0;
  if (sceneChooser != nullptr)
    result = sceneChooser(this);
  else
    result = GetEngineContext()->ports.sceneShaders->ApplyDefaultShaderForScene(this);
  if (result == 1) m_dwPrepared = 1;
  return m_dwPrepared;
}

void CScene::PrepareForDrawing(UINT mode) {
  CEngineContext* context = GetEngineContext();
  if (context->pRenderingProfile != nullptr) {
    context->pRenderingProfile->PrepareScene(this);
    return;
  }
  if (mode == 1) ApplyDefaultShader(nullptr, nullptr, nullptr);
  if (mode == 0 || GetUseShader() == 0) context->ports.genericPass->PrepareScene(this);
}

// --- plain values ---

// --- building from imported data and saving ---

UINT CScene::LinkImportedObject(CWorldObject* object) {
  // The reader creates the objects in file order; the list keeps that order.
  AddWorldObject(object->GetInterface());
  return 1;
}

UINT CScene::CreateSceneMesh(LWOImportBuffer& object) {
  return LinkImportedObject(
      NewOrFatal<CMesh>(kNoMemoryTitle, kNoMemoryImport, m_pRenderer, m_pLog, this, object, 0));
}

UINT CScene::CreateSceneCamera(const LWSCameraBuffer& record) {
  auto* camera = NewOrFatal<CCamera>(kNoMemoryTitle, kNoMemoryImport, m_pRenderer, m_pLog,
                                     record.zoomFactor.isEnvelope, &record.zoomFactor.channel,
                                     record.zoomFactor.value, record.targetType,
                                     record.targetIndex);
  camera->SetOwnerScene(this);
  record.motion.CopyTo(*camera->GetMotion(0.0f));
  return LinkImportedObject(camera);
}

UINT CScene::CreateSceneLight(const LWSLightBuffer& record) {
  CLight::ImportedRecord light;
  light.szName = record.name;
  light.wType = record.lightType;
  light.wNumber = record.lightNumber;
  light.dwParentType = record.parentType;
  light.dwParentNumber = record.parentIndex;
  light.dwTargetType = record.targetType;
  light.dwTargetNumber = record.targetIndex;
  light.dwActive = record.itemActive;
  light.dwIsFlare = record.lensFlare;
  light.dwFallOffType = record.falloffType;
  light.vecLightVector = record.lightVector;
  light.pMotion = &record.motion;
  const std::pair<CLight::EnvelopeRole, const ImportEnvelope*> envelopes[] = {
      {CLight::ENVELOPE_INTENSITY, &record.intensity},
      {CLight::ENVELOPE_CONE_ANGLE, &record.coneAngle},
      {CLight::ENVELOPE_RANGE, &record.range},
      {CLight::ENVELOPE_FLARE_SIZE, &record.flareRingSize},
      {CLight::ENVELOPE_INNER_CONE_ANGLE, &record.edgeAngle},
      {CLight::ENVELOPE_RED, &record.color[0]},
      {CLight::ENVELOPE_GREEN, &record.color[1]},
      {CLight::ENVELOPE_BLUE, &record.color[2]},
  };
  for (const auto& [role, source] : envelopes)
    light.envelopes[role] = {source->isEnvelope, &source->channel, source->value};
  return LinkImportedObject(
      NewOrFatal<CLight>(kNoMemoryTitle, kNoMemoryImport, m_pRenderer, m_pLog, this, light));
}

UINT CScene::CreateSceneNull(const LWSNullBuffer& record) {
  auto* null =
      NewOrFatal<CNull>(kNoMemoryTitle, kNoMemoryImport, m_pRenderer, m_pLog, record.name);
  null->SetParentReference(record.parentType, record.parentIndex);
  record.motion.CopyTo(*null->GetMotion(0.0f));
  return LinkImportedObject(null);
}

UINT CScene::ComplementImportedPointValues(LWOImportBuffer& object) {
  if (object.points == nullptr) return 1;
  for (UINT i = 0; i < object.pointCount; ++i)
    for (LWOUVEntry& first : object.points[i].uv) first.v = 1.0f - first.v;
  return 1;
}

UINT CScene::UpdateScene(const LWSSceneBuffer& record) {
  SetName(record.name);
  SetDirectory(record.directory);
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "- Updating Scene - %s\n", m_szName);
  // The file's colour is 0 to 1; a value out of range is held to a byte, not wrapped.
  BYTE* ambient[3] = {&m_AmbientColor.cRed, &m_AmbientColor.cGreen, &m_AmbientColor.cBlue};
  for (UINT i = 0; i < 3; ++i) *ambient[i] = static_cast<BYTE>(UnitToByte(record.ambientColor[i]));
  m_dwFirstFrame = static_cast<UINT>(record.previewFirstFrame);
  m_dwLastFrame = static_cast<UINT>(record.previewLastFrame);
  m_dwFrameStep = static_cast<UINT>(record.previewFrameStep);
  m_pAmbientIntensity.reset(NewOrFatal<CEnvelope>(
      "Error When Updating Scene", "Can't Create Ambient Light Envelope",
      record.ambientIntensity.isEnvelope, &record.ambientIntensity.channel,
      record.ambientIntensity.value));
  m_dwFogType = record.fogType;
  m_fFogMinDistance = record.fogMinDistance;
  m_fFogMaxDistance = record.fogMaxDistance;
  m_dwFogColor = record.fogColor;
  m_dwBackgroundColor = record.backdropColor;
  m_fFrame = record.currentFrame;
  m_fFramesPerSecond = record.framesPerSecond;

  if (BuildHierarchy() == 0) FatalErrorWithTitle("", "Can't Built Hierarchy: %s", m_szName);
  // The camera pass answers 0 for a scene without cameras, which is no failure.
  bool hasCameras = false;
  for (CWorldObject* object = m_pFirstWorldObject; object != nullptr; object = object->GetNext())
    hasCameras = hasCameras || object->GetWorldObjectType() == WORLD_OBJECT_CAMERA;
  if (ResolveCameraTargets() == 0 && hasCameras)
    FatalErrorWithTitle("", "Can't Get Camera Target: %s", m_szName);
  if (ResolveLightTargets() == 0) FatalErrorWithTitle("", "Can't Get Lights Targets: %s", m_szName);

  // Every table is sized by the objects the list holds, whatever the record counted.
  RebuildMeshArray();
  RebuildLightArray();
  RebuildCameraArray();
  RebuildNullCount();
  for (CWorldObject* object = m_pFirstWorldObject; object != nullptr; object = object->GetNext())
    if (auto* null = dynamic_cast<CNull*>(object)) null->SetOwnerScene(this);
  for (CWorldObject* object : m_Cameras)
    if (auto* camera = dynamic_cast<CCamera*>(object)) camera->SetOwnerScene(this);
  if (!m_Cameras.empty())
    if (auto* camera = dynamic_cast<CCamera*>(m_Cameras[0])) camera->Set();
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "  - Scene Updated\n");
  SetActiveCamera(0);
  ApplyNullScripts();
  return 1;
}

UINT CScene::SaveTextures() {
  for (CWorldObject* object : m_Meshes)
    if (auto* mesh = dynamic_cast<CMesh*>(object)) mesh->SaveTextures();
  return 1;
}

CCameraInterface* CScene::GetActiveCamera() {
  return InterfaceOf<CCameraInterface>(m_pActiveCamera);
}

CCamera* CScene::GetActiveCameraObject() { return dynamic_cast<CCamera*>(m_pActiveCamera); }

// --- per-frame passes, visibility and rendering ---

namespace {

// Runs the matrix pass (or the hierarchy pass) of one object of kind T.
template <class T>
void RunPass(CWorldObject* object, float frame, bool hierarchy) {
  if (auto* kind = dynamic_cast<T*>(object)) {
    if (hierarchy)
      kind->UpdateHierarchy(frame);
    else
      kind->PrepareMatrices(frame);
  }
}

// One walk of the whole list: every object's pass at the frame, in list order.
void RunObjectPasses(CWorldObject* first, float frame, bool hierarchy) {
  for (CWorldObject* object = first; object != nullptr; object = object->GetNext()) {
    switch (object->GetWorldObjectType()) {
      case WORLD_OBJECT_MESH:
        RunPass<CMeshInterface>(object, frame, hierarchy);
        break;
      case WORLD_OBJECT_NULL:
        RunPass<CNullInterface>(object, frame, hierarchy);
        break;
      case WORLD_OBJECT_LIGHT:
        RunPass<CLight>(object, frame, hierarchy);
        break;
      case WORLD_OBJECT_CAMERA:
        RunPass<CCameraInterface>(object, frame, hierarchy);
        break;
    }
  }
}

// Looks through the camera: its view at its own frame and its projection.
void InstallCamera(CD3D9RendererInterface* renderer, CCamera& camera) {
  if (renderer == nullptr) return;
  renderer->SetTransform(D3DTS_VIEW, camera.GetWorld2CameraMatrix(camera.GetFrame()));
  renderer->SetTransform(D3DTS_PROJECTION, camera.GetProjectionMatrix());
}

void CollectCameraMeshes(CCamera& camera, float frame) {
  camera.ClearVisibleMeshes();
  camera.CollectVisibleMeshes(frame);
}

void CollectCameraLights(CCamera& camera, float frame) {
  camera.ClearVisibleLights();
  camera.CollectVisibleLights(frame);
}

// The lights' lists follow the camera's visible meshes, so those are collected first. Every
// light of the scene forgets its old lists, seen now or not.
void CollectLightLists(CScene& scene, CCamera& camera, float frame) {
  for (UINT i = 0; i < scene.GetNumberOfLights(); ++i)
    if (auto* light = dynamic_cast<CLight*>(scene.GetLightObject(i))) light->ClearVisibleLists();
  for (UINT i = 0; i < camera.GetNumberOfVisibleLights(); ++i)
    if (auto* light = dynamic_cast<CLight*>(std::as_const(camera).GetVisibleLight(i)))
      light->UpdateVisibleLists(frame);
}

}  // namespace

UINT CScene::SetActiveCamera(UINT index) {
  CEngineSampleScope sample(SAMPLE_SET_ACTIVE_CAMERA);
  CCamera* camera = index < m_Cameras.size() ? dynamic_cast<CCamera*>(m_Cameras[index]) : nullptr;
  if (camera == nullptr) {
    // Every later step that reads the active camera checks it, so none uses a stale one.
    m_pActiveCamera = nullptr;
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "WARNING!!! - Trying To Set A NonExisting Camera (%i) In The Scene: %s (%i)\n", index,
          m_szName, GetNumberOfCameras());
    return 0;
  }
  const bool wasActive = m_pActiveCamera == camera;
  m_pActiveCamera = camera;
  m_dwActiveCameraNumber = index;
  InstallCamera(m_pRenderer, *camera);
  // The camera's stamps hold -1.0 or -10.0, so the lists are collected on every call unless the
  // scene frame is one of those.
  if (camera->GetVisibleMeshesStamp() != m_fFrame) CollectCameraMeshes(*camera, m_fFrame);
  if (!wasActive || camera->GetVisibleLightsStamp() != m_fFrame) {
    CollectCameraLights(*camera, m_fFrame);
    CollectLightLists(*this, *camera, m_fFrame);
  }
  camera->UpdateListener();
  return 1;
}

void CScene::SetFrame(float frame) {
  m_fFrame = frame;
  for (CWorldObject* mesh : m_Meshes) mesh->SetFrame(frame, 0);
}

void CScene::SetAsActiveScene() {
  CEngineContext* context = GetEngineContext();
  if (context->pActiveScene == this) return;
  context->pActiveScene = this;
  if (m_pRenderer != nullptr)
    for (WORD light = 0; light < 8; ++light) m_pRenderer->SetLightEnable(light, 0);
}

void CScene::PrepareMatrices() {
  m_pCurrentLight = nullptr;
  CEngineSampleScope sample(SAMPLE_PREPARE_MATRICES);
  RunObjectPasses(m_pFirstWorldObject, m_fFrame, false);
  m_pAmbientIntensity->CalcStep(m_fFrame);
}

void CScene::UpdateHierarchy() {
  CEngineSampleScope sample(SAMPLE_UPDATE_HIERARCHY);
  RunObjectPasses(m_pFirstWorldObject, m_fFrame, true);
  SetActiveCamera(m_dwActiveCameraNumber);
}

void CScene::UpdateVisibility(CCamera* camera, UINT refresh) {
  if (camera == nullptr) return;
  m_pActiveCamera = camera;
  InstallCamera(m_pRenderer, *camera);
  if (refresh != 1) return;
  CollectCameraLights(*camera, m_fFrame);
  CollectCameraMeshes(*camera, m_fFrame);
  CollectLightLists(*this, *camera, m_fFrame);
}

void CScene::Render() { m_Render.Render(*this); }

CEnvelopeInterface* CScene::GetAmbLightIntensityEnvelope() { return m_pAmbientIntensity.get(); }

void CScene::SetName(const char* name) { CopyName(m_szName, name); }

void CScene::SetDirectory(const char* directory) { CopyName(m_szDirectory, directory); }

void CScene::SetFogColor(UINT color) {
  m_dwFogColor = color;
  if (m_pRenderer != nullptr) m_pRenderer->SetRenderState(D3DRS_FOGCOLOR, color);
}

void CScene::SetAmbientColor(UINT color) {
  m_AmbientColor.cRed = static_cast<BYTE>(color & 0xFF);
  m_AmbientColor.cGreen = static_cast<BYTE>((color >> 8) & 0xFF);
  m_AmbientColor.cBlue = static_cast<BYTE>((color >> 16) & 0xFF);
}

void CScene::GetUserDefinedData(void** data, UINT* value1, UINT* value2) {
  if (data != nullptr) *data = m_pUserData;
  if (value1 != nullptr) *value1 = m_dwUserValue1;
  if (value2 != nullptr) *value2 = m_dwUserValue2;
}

void CScene::SetUserDefinedData(void* data, UINT value1, UINT value2) {
  m_pUserData = data;
  m_dwUserValue1 = value1;
  m_dwUserValue2 = value2;
}

// ---------------------------------------------------------------------------------------------
// Octree

namespace {

constexpr size_t kOctreeFileNameSize = 2 * CScene::kNameLength + 8;

// The mesh's box placed by the matrix. Volumes other than the engine's answer with the
// transformed box they hold.
CMeshBoundVolumeInterface* TransformedBox(CMeshInterface* mesh, CMatrix* matrix) {
  CMeshBoundVolumeInterface* volume = mesh->GetBoundingBox(0);
  if (auto* engineVolume = dynamic_cast<CMeshBoundVolume*>(volume); engineVolume && matrix)
    engineVolume->TransformBox(matrix);
  return volume;
}

void Extend(CVector3& low, CVector3& high, const CVector3& point) {
  float* lows[3] = {&low.x, &low.y, &low.z};
  float* highs[3] = {&high.x, &high.y, &high.z};
  const float values[3] = {point.x, point.y, point.z};
  for (int axis = 0; axis < 3; ++axis) {
    if (values[axis] > *highs[axis])
      *highs[axis] = values[axis];
    else if (values[axis] < *lows[axis])
      *lows[axis] = values[axis];
  }
}

void OctreeFileName(char (&name)[kOctreeFileNameSize], const char* directory,
                    const char* sceneName) {
  std::snprintf(name, sizeof name, "%s%s.oct", directory, sceneName);
}

}  // namespace

UINT CScene::BuildOctree(float minimumCellSize, UINT /*value*/) {
  if (m_pOctree != nullptr) {
    // Meshes keep the cells that hold them; a second tree would leave them pointing at freed
    // cells.
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "ERROR!!! - The Scene %s Has Got An Octree Already\n", m_szName);
    return 0;
  }
  // A size that is not above 0 (or NaN) would subdivide without end.
  if (!(minimumCellSize > 0.0f)) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "ERROR!!! - Incorrect Octree Minimum Cell Size: %f\n", minimumCellSize);
    return 0;
  }
  m_fOctreeMinimum = minimumCellSize;
  char fileName[kOctreeFileNameSize];
  OctreeFileName(fileName, m_szDirectory, m_szName);
  if (CVirtualFileSystemInterface* vfs = GetEngineContext()->pVirtualFileSystem)
    if (VFSFile* probe = vfs->OpenNormalFile(fileName, "rb")) {
      probe->Close();
      if (LoadOctree()) return 1;
    }

  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "- Building Octree For: %s (%f)\n", fileName,
        minimumCellSize);
  SetFrame(0.0f);
  PrepareMatrices();
  UpdateHierarchy();
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "  - Building Hierarchy\n");
  // The world box always holds the origin.
  CVector3 worldMin, worldMax;
  for (CWorldObject* object : m_Meshes) {
    CMeshInterface* mesh = InterfaceOf<CMeshInterface>(object);
    if (mesh == nullptr || mesh->GetVisibleByCollisions() != 1 || mesh->GetVisibleByRays() != 1)
      continue;
    CMeshBoundVolumeInterface* volume = TransformedBox(mesh, mesh->GetMatrix(0.0f));
    if (volume == nullptr) continue;
    CVector3 low, high;
    volume->GetMinTransformed(&low);
    volume->GetMaxTransformed(&high);
    Extend(worldMin, worldMax, low);
    Extend(worldMin, worldMax, high);
  }
  // A cube around the world box, every edge M - m long.
  const float m = std::min({worldMin.x, worldMin.y, worldMin.z});
  const float M = std::max({worldMax.x, worldMax.y, worldMax.z});
  const CVector3 rootMin{m, worldMin.y - 0.00001f, m};
  const CVector3 rootMax{M, M + (worldMin.y - m), M};
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "  - %f (%f)\n", M, minimumCellSize);
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "    - World: %f, %f, %f - %f, %f, %f\n",
        rootMin.x, rootMin.y, rootMin.z, rootMax.x, rootMax.y, rootMax.z);

  const CVector3 worldCentre = CBoundBox::CentreOf(worldMin, worldMax);
  const CVector3 worldExtents = CBoundBox::ExtentsOf(worldMax, worldCentre);
  UINT cells = 0;
  m_pOctree = std::make_unique<COctree>(m_pLog, m_pRenderer, nullptr, this, rootMin, rootMax,
                                        worldCentre, worldExtents, minimumCellSize, &cells, 0);
  if (cells >= OCTREE_MAX_CELLS)
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "ERROR!!! - Octree Has Reached %u Boxes, The Rest Are Left Larger\n", cells);
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "    - %i Octree Boxes Created\n", int(cells + 1));
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "    - %i Octree Levels Created\n", 1);
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "  - Adding Geometry\n");
  for (CWorldObject* object : m_Meshes) {
    CMeshInterface* mesh = InterfaceOf<CMeshInterface>(object);
    if (mesh == nullptr || (mesh->GetVisibleByCollisions() != 1 &&
                            mesh->GetVisibleByCameras() != 1 && mesh->GetVisibleByRays() != 1))
      continue;
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "    - Adding %s\n", mesh->GetName());
    TransformedBox(mesh, mesh->GetCurrentMatrix());
    m_pOctree->InsertMesh(mesh);
  }
  m_dwOctreeCells = cells;
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "    - Done\n");
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "  - Updating Hierarchy\n");
  m_pOctree->LinkBrothers();
  OctreeFilingChanged();
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "    - Done\n");
  return 1;
}

UINT CScene::LoadOctree() {
  if (m_pOctree != nullptr) return 0;
  char fileName[kOctreeFileNameSize];
  OctreeFileName(fileName, m_szDirectory, m_szName);
  UINT cells = 0;
  COctree* root = COctreeFile(m_pLog, m_pRenderer, this).Load(fileName, m_fOctreeMinimum, &cells);
  if (root == nullptr) return 0;
  m_pOctree.reset(root);
  OctreeFilingChanged();
  m_dwOctreeCells = cells;
  return 1;
}

UINT CScene::SaveOctree() {
  char fileName[kOctreeFileNameSize];
  OctreeFileName(fileName, m_szDirectory, m_szName);
  return COctreeFile(m_pLog, m_pRenderer, this)
      .Save(fileName, m_pOctree.get(), m_fOctreeMinimum, m_dwOctreeCells);
}

// --- ray picking, possible colliders and merging ---

namespace {

// Flags bit 1: rank the meshes hit by their pivots (their own test is then the box test).
constexpr UINT kPickByPivot = 0x02;

// The collider query's answer, shared by every scene: valid until the next query.
std::vector<CMeshInterface*> g_PossibleColliders;

bool InMask(const CWorldObject* object, UINT kinds) {
  return CWorldObject::IsKnownType(object->GetWorldObjectType()) &&
         (object->GetWorldObjectType() & kinds) != 0;
}

// "mesh: name", "camera", ... as the merge log names objects.
std::string DescribeWorldObject(CWorldObject* object) {
  if (object == nullptr) return "none (null pointer)";
  const char* name = object->GetWorldObjectName();
  if (name == nullptr) name = "";
  switch (object->GetWorldObjectType()) {
    case WORLD_OBJECT_MESH:
      return std::string("mesh: ") + name;
    case WORLD_OBJECT_NULL:
      return std::string("null: ") + name;
    case WORLD_OBJECT_LIGHT:
      return std::string("light: ") + name;
    case WORLD_OBJECT_CAMERA:
      return "camera";
    default:
      return "unknown!!!";
  }
}

}  // namespace

CMeshInterface* CScene::FindNearestIntersection(CRay& ray, float* distance, UINT flags) {
  return PickNearest(ray, distance, flags, nullptr);
}

CMeshInterface* CScene::FindNearestIntersection(CRay& ray, float* distance, UINT flags,
                                                CVector3* normal) {
  // A caller that passes no vector is answered as by the plain query, not with a crash.
  CVector3 scratch;
  return PickNearest(ray, distance, flags, normal != nullptr ? normal : &scratch);
}

CMeshInterface* CScene::PickNearest(CRay& ray, float* distance, UINT flags, CVector3* normal) {
  float scratch = 0.0f;
  if (distance == nullptr) distance = &scratch;
  *distance = std::numeric_limits<float>::max();
  if (normal != nullptr) *normal = CVector3();
  if ((flags & kPickByPivot) != 0) return PickByPivot(ray, distance, flags);
  if (m_pOctree != nullptr) {
    CMeshInterface* mesh = normal != nullptr
                               ? m_pOctree->FindNearestIntersection(ray, distance, flags, normal)
                               : m_pOctree->FindNearestIntersection(ray, distance, flags);
    if (mesh != nullptr) return mesh;
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "WARNING!!! - Using Normal RayTracing Method To Determine At Intersection\n");
    // The walk may have left a miss's values behind; every mesh is asked afresh.
    *distance = std::numeric_limits<float>::max();
    if (normal != nullptr) *normal = CVector3();
    // Where the tree lists every mesh in each leaf its box reaches, the leaves the ray crosses
    // hold every mesh it can hit, and asking them answers as asking every mesh does.
    if (OctreeListsEveryMesh())
      return m_pOctree->FindNearestInLeavesCrossed(ray, distance, flags, normal);
  }
  return PickEveryMesh(ray, distance, flags, normal);
}

bool CScene::OctreeListsEveryMesh() {
  if (!m_bOctreeListingKnown) {
    m_bOctreeListsEveryMesh = true;
    for (CWorldObject* object = m_pFirstWorldObject; object != nullptr && m_bOctreeListsEveryMesh;
         object = object->GetNext()) {
      if (object->GetWorldObjectType() != WORLD_OBJECT_MESH) continue;
      CMeshInterface* mesh = InterfaceOf<CMeshInterface>(object);
      m_bOctreeListsEveryMesh = mesh == nullptr || m_pOctree->ListsMeshWherever(mesh);
    }
    m_bOctreeListingKnown = true;
  }
  return m_bOctreeListsEveryMesh;
}

CMeshInterface* CScene::PickByPivot(CRay& ray, float* distance, UINT flags) {
  CMeshInterface* nearest = nullptr;
  for (CWorldObject* object = m_pFirstWorldObject; object != nullptr; object = object->GetNext()) {
    if (object->GetWorldObjectType() != WORLD_OBJECT_MESH) continue;
    CMeshInterface* mesh = InterfaceOf<CMeshInterface>(object);
    float hit = 0.0f;
    if (mesh == nullptr || mesh->CheckIntersectionWith(ray, &hit, flags) == 0) continue;
    const CVector3 pivot = CVector3() * *mesh->GetMatrix(m_fFrame);
    const float away = (pivot - ray.vecOrigin).Length();
    if (away > 0.0f && away < *distance) {
      *distance = away;
      nearest = mesh;
    }
  }
  return nearest;
}

CMeshInterface* CScene::PickEveryMesh(CRay& ray, float* distance, UINT flags, CVector3* normal) {
  CMeshInterface* nearest = nullptr;
  for (CWorldObject* object = m_pFirstWorldObject; object != nullptr; object = object->GetNext()) {
    if (object->GetWorldObjectType() != WORLD_OBJECT_MESH) continue;
    CMeshInterface* mesh = InterfaceOf<CMeshInterface>(object);
    if (mesh != nullptr && TakeNearerHit(mesh, ray, distance, flags, normal)) nearest = mesh;
  }
  return nearest;
}

void CScene::GetPossibleColliders(CVector3& point, float radius, CMeshInterface*** meshes,
                                  UINT* count) {
  g_PossibleColliders.clear();
  if (m_pOctree != nullptr) {
    if (!CollectOctreeMeshes(point, radius, g_PossibleColliders)) {
      if (count != nullptr) *count = 0;
      return;
    }
  } else {
    CollectNearbyMeshes(point, radius, g_PossibleColliders);
  }
  if (meshes != nullptr) *meshes = g_PossibleColliders.data();
  if (count != nullptr) *count = static_cast<UINT>(g_PossibleColliders.size());
}

bool CScene::CollectOctreeMeshes(const CVector3& point, float radius,
                                 std::vector<CMeshInterface*>& out) {
  // A root without children is its own leaf: the point must lie in its box too.
  COctree* leaf = m_pOctree->ContainsPoint(point) ? m_pOctree->FindLeafByPoint(point) : nullptr;
  // Every mesh is listed once at the most, so the scene's mesh count bounds the list.
  out.resize(m_Meshes.size());
  UINT collected = 0;
  const UINT capacity = static_cast<UINT>(out.size());
  if (leaf == nullptr) {
    // A point beside the tree still reaches the cells its radius touches; with none, there is
    // no list.
    m_pOctree->CollectMeshesInSphere(point, radius, out.data(), &collected, capacity);
    out.resize(collected);
    return collected != 0;
  }
  // How many cells along Z the radius reaches, held to what a tree can have.
  const float halfExtent = leaf->GetExtents()->x;
  const float reach = halfExtent > 0.0f ? radius / halfExtent + 0.5f : 0.0f;
  UINT steps = 0;  // also for a radius that is negative or not a number
  if (reach >= static_cast<float>(OCTREE_MAX_CELLS))
    steps = OCTREE_MAX_CELLS;
  else if (reach >= 1.0f)
    steps = static_cast<UINT>(reach);
  bool room = leaf->CollectMeshes(out.data(), &collected, capacity);
  if (steps != 0) {
    for (COctree* cell = leaf->GetNegativeYBrother(); room && cell != nullptr;
         cell = cell->GetNegativeYBrother())
      room = cell->CollectMeshesAlongZ(out.data(), &collected, capacity, steps, leaf);
    for (COctree* cell = leaf->GetPositiveYBrother(); room && cell != nullptr;
         cell = cell->GetPositiveYBrother())
      room = cell->CollectMeshesAlongZ(out.data(), &collected, capacity, steps, leaf);
  }
  // The column walk above never widens along X: every other cell the radius reaches is added,
  // so a tree lists at least the meshes a scene without one does.
  if (room) m_pOctree->CollectMeshesInSphere(point, radius, out.data(), &collected, capacity);
  out.resize(collected);
  return true;
}

void CScene::CollectNearbyMeshes(const CVector3& point, float radius,
                                 std::vector<CMeshInterface*>& out) {
  for (CWorldObject* object : m_Meshes) {
    auto* mesh = dynamic_cast<CMesh*>(object);
    CMeshBoundVolumeInterface* volume = mesh != nullptr ? mesh->GetBoundVolume() : nullptr;
    // Without a box there is no centre to measure from.
    if (volume == nullptr) continue;
    CVector3 centre;
    volume->GetPosition(&centre);
    const CVector3 local = point * *mesh->GetInverseMatrix(mesh->GetFrame());
    if ((local - centre).Length() < radius) out.push_back(mesh);
  }
}

UINT CScene::AddMeshes(CSceneInterface** sourceInterface, UINT kinds) {
  if (kinds == 0) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "ERROR!!! - No World Objects Type Specified To Move\n");
    return 0;
  }
  auto* source = sourceInterface != nullptr ? dynamic_cast<CScene*>(*sourceInterface) : nullptr;
  if (source == nullptr) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "ERROR!!! - Can't Call AddMeshes From Null Pointer\n");
    return 0;
  }
  // Moving a scene's objects into the same scene would tie its list into a loop.
  if (source == this) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "ERROR!!! - Can't Add World Objects Of %s To Itself\n", m_szName);
    return 0;
  }

  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "- Adding World Objects:\n");
  static const std::pair<UINT, const char*> kKindLines[] = {{WORLD_OBJECT_MESH, "  - mesh\n"},
                                                           {WORLD_OBJECT_NULL, "  - null\n"},
                                                           {WORLD_OBJECT_LIGHT, "  - light\n"},
                                                           {WORLD_OBJECT_CAMERA, "  - camera\n"}};
  for (const auto& [kind, line] : kKindLines)
    if ((kinds & kind) != 0) LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "%s", line);
  LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "    From %s To %s\n", source->m_szName, m_szName);

  CutParentsLeftBehind(*source, kinds);
  MoveObjectsFrom(*source, kinds);
  source->ForgetMovedObjects();
  RecountAfterMerge();
  *sourceInterface = nullptr;
  return 1;
}

void CScene::CutParentsLeftBehind(CScene& source, UINT kinds) {
  for (CWorldObject* object = source.m_pFirstWorldObject; object != nullptr;
       object = object->GetNext()) {
    CWorldObject* parent = object->GetParent();
    // An object that stays keeps no link to a parent that leaves either: the two scenes are
    // released apart.
    if (parent != nullptr && InMask(parent, kinds) && InMask(object, kinds)) continue;
    if (parent != nullptr) {
      const char* name = object->GetWorldObjectName();
      if (name == nullptr) name = "";
      switch (object->GetWorldObjectType()) {
        case WORLD_OBJECT_MESH:
          LogTo(m_pLog, kSource, CEngineLog::kLevelInfo,
                "    - Removing Parent Object For Mesh: %s\n", name);
          break;
        case WORLD_OBJECT_NULL:
          LogTo(m_pLog, kSource, CEngineLog::kLevelInfo,
                "    - Removing Parent Object For Null: %s\n", name);
          break;
        case WORLD_OBJECT_LIGHT:
          LogTo(m_pLog, kSource, CEngineLog::kLevelInfo,
                "    - Removing Parent Object For Light: %s\n", name);
          break;
        case WORLD_OBJECT_CAMERA:
          LogTo(m_pLog, kSource, CEngineLog::kLevelInfo,
                "    - Removing Parent Object For Camera\n");
          break;
      }
      LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "      - The Parent Was:%s\n",
            DescribeWorldObject(parent).c_str());
    }
    object->SetParent(nullptr);
  }
  CutTargetsAcross(source, kinds);
}

void CScene::CutTargetsAcross(CScene& source, UINT kinds) {
  // Targets and morph targets, like parents, must not reach from one scene into the other:
  // each scene is released on its own.
  const auto across = [&](CWorldObject* object, CWorldObject* target) {
    return target != nullptr && InMask(object, kinds) != InMask(target, kinds);
  };
  for (CWorldObject* object = source.m_pFirstWorldObject; object != nullptr;
       object = object->GetNext()) {
    if (auto* camera = dynamic_cast<CCamera*>(object)) {
      if (across(camera, camera->GetTarget())) camera->SetTargetObject(nullptr);
    } else if (auto* light = dynamic_cast<CLight*>(object)) {
      if (across(light, light->GetTarget())) light->SetTarget(nullptr);
    } else if (auto* mesh = dynamic_cast<CMesh*>(object)) {
      if (across(mesh, mesh->GetMorphTargetObject())) mesh->SetMorphTarget(nullptr);
    }
  }
}

void CScene::MoveObjectsFrom(CScene& source, UINT kinds) {
  OctreeFilingChanged();
  source.OctreeFilingChanged();
  CWorldObject* tail = m_pLastWorldObject;
  // The source's list is relinked in the same walk, around the objects that leave it; each
  // object's next link is read before the object is linked anew.
  CWorldObject* object = source.m_pFirstWorldObject;
  CWorldObject* kept = nullptr;
  source.m_pFirstWorldObject = nullptr;
  for (CWorldObject* next = nullptr; object != nullptr; object = next) {
    next = object->GetNext();
    if (!InMask(object, kinds)) {
      if (kept != nullptr)
        kept->SetNextWorldObject(object);
      else
        source.m_pFirstWorldObject = object;
      kept = object;
      continue;
    }
    object->MoveToScene(this);
    source.m_Listed.erase(object);
    m_Listed.insert(object);
    LogTo(m_pLog, kSource, CEngineLog::kLevelInfo, "    - Adding %s, Parent: %s\n",
          DescribeWorldObject(object).c_str(), DescribeWorldObject(object->GetParent()).c_str());
    if (auto* null = dynamic_cast<CNull*>(object)) {
      if (CSpriteInterface* sprite = null->GetOptions()->GetType8Option()) {
        LogTo(m_pLog, kSource, CEngineLog::kLevelInfo,
              "      - Setting Parent Scene For Null's Option Sprite\n");
        source.RemoveSprite(sprite);
        AddSprite(sprite);
      }
    }
    // The old scene's tree must not keep a mesh it no longer owns, nor the mesh its cells.
    if (auto* mesh = dynamic_cast<CMesh*>(object)) mesh->FileInOctree(m_pOctree.get());
    // The lists a camera or a light collected name objects of the old scene.
    if (auto* camera = dynamic_cast<CCamera*>(object)) {
      camera->ClearVisibleMeshes();
      camera->ClearVisibleLights();
    } else if (auto* light = dynamic_cast<CLight*>(object)) {
      light->ClearVisibleLists();
    }
    if (tail != nullptr)
      tail->SetNextWorldObject(object);
    else
      m_pFirstWorldObject = object;
    tail = object;
  }
  if (kept != nullptr) kept->SetNextWorldObject(nullptr);
  if (tail != nullptr) tail->SetNextWorldObject(nullptr);
  source.m_pLastWorldObject = kept;
  m_pLastWorldObject = tail;
}

void CScene::ForgetMovedObjects() {
  // What moved names its new scene by now.
  for (CWorldObject** current : {&m_pActiveCamera, &m_pCurrentMesh, &m_pCurrentLight})
    if (*current != nullptr && (*current)->GetOwnerScene() != this) *current = nullptr;
  RebuildMeshArray();
  RebuildLightArray();
  RebuildCameraArray();
  RebuildNullCount();
}

void CScene::RecountAfterMerge() {
  UINT meshes = 0, lights = 0, cameras = 0;
  for (CWorldObject* object = m_pFirstWorldObject; object != nullptr; object = object->GetNext()) {
    switch (object->GetWorldObjectType()) {
      case WORLD_OBJECT_MESH:
        ++meshes;
        break;
      case WORLD_OBJECT_LIGHT:
        ++lights;
        break;
      case WORLD_OBJECT_CAMERA:
        ++cameras;
        break;
    }
  }
  if (meshes != m_Meshes.size()) RebuildMeshArray();
  if (lights != m_Lights.size()) RebuildLightArray();
  if (cameras != m_Cameras.size()) RebuildCameraArray();
  // The nulls are counted too, so the null count follows the moved nulls.
  RebuildNullCount();
}
