#include "lightwave/LWReader.h"

#include <cstring>

#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "core/FileNames.h"
#include "lightwave/LWOReader.h"
#include "lightwave/LWOReaderState.h"
#include "lightwave/LWSImport.h"
#include "lightwave/LWSReader.h"
#include "scene/LWOImportBuffer.h"
#include "scene/LWSCameraBuffer.h"
#include "scene/LWSLightBuffer.h"
#include "scene/LWSNullBuffer.h"
#include "scene/LWSSceneBuffer.h"
#include "scene/Mesh.h"
#include "scene/Scene.h"

namespace {

constexpr const char* kSource = "LWReader";
constexpr const char* kImportTitle = "Error While Importing File";
constexpr const char* kNoMemory = "Can't Allocate Memory";

// Makes the record when it is missing, logging `message` first.
template <class T>
void AllocateOnce(std::unique_ptr<T>& record, CEngineLog* log, const char* message) {
  if (record != nullptr) return;
  LogTo(log, kSource, CEngineLog::kLevelInfo, "%s", message);
  record.reset(NewOrFatal<T>(kImportTitle, kNoMemory));
}

// Publishes a directory for as long as a load runs.
class DirectoryScope {
 public:
  DirectoryScope(const char*& published, const char* directory) : m_published(published) {
    m_published = directory;
  }
  ~DirectoryScope() { m_published = nullptr; }
  DirectoryScope(const DirectoryScope&) = delete;
  DirectoryScope& operator=(const DirectoryScope&) = delete;

 private:
  const char*& m_published;
};

}  // namespace

CLWReader* GetLWInterface() {
  static CLWReader reader;
  return &reader;
}

CLWReader::CLWReader() = default;
CLWReader::~CLWReader() = default;

UINT CLWReader::Init(const LWReaderSettings* settings) {
  if (settings == nullptr) return 0;
  m_settings = *settings;
  LogTo(Log(), kSource, CEngineLog::kLevelInfo, "- LightWave Reader Initializing Successfull\n");
  return 1;
}

char* CLWReader::SplitDirectory(char* path, char (&directory)[kDirectoryLength]) {
  std::memset(directory, 0, sizeof directory);
  char* base = GetBaseFileName(path);
  const size_t length = static_cast<size_t>(base - path);
  if (length >= kDirectoryLength) {
    LogTo(Log(), kSource, CEngineLog::kLevelError, "ERROR!!! - Directory Too Long: %s\n", path);
    return nullptr;
  }
  std::memcpy(directory, path, length);
  return base;
}

void CLWReader::AllocateObjectBuffer() {
  AllocateOnce(m_object, Log(), "- Allocating Temporary Buffer For Importing Meshes From LWS/ZKO\n");
  if (m_objectReader == nullptr)
    m_objectReader.reset(NewOrFatal<LWOReaderState>(kImportTitle, kNoMemory, *m_object));
}

void CLWReader::AllocateSceneBuffers() {
  AllocateOnce(m_scene, Log(), "- Allocating Temporary Buffer For Importing LWS\n");
  AllocateObjectBuffer();
  AllocateOnce(m_null, Log(), "- Allocating Temporary Buffer For Importing Null Objects From LWS\n");
  AllocateOnce(m_light, Log(), "- Allocating Temporary Buffer For Importing Lights LWS\n");
  AllocateOnce(m_camera, Log(), "- Allocating Temporary Buffer For Importing Cameras LWS\n");
}

UINT CLWReader::LoadScene(CScene** scene, char* name) {
  if (scene == nullptr || name == nullptr) return 0;
  m_currentScene = nullptr;
  LogTo(Log(), kSource, CEngineLog::kLevelInfo, "- Loading %s\n", name);
  char directory[kDirectoryLength];
  char* base = SplitDirectory(name, directory);
  if (base == nullptr) return 0;
  DirectoryScope published(m_directory, directory);

  const char* extension = GetFileExtension(name);
  if (std::strncmp(extension, "lws", 3) == 0) {
    AllocateSceneBuffers();
    CScene* created = NewOrFatal<CScene>(kImportTitle, kNoMemory, m_settings.pRenderer, Log());
    *scene = created;
    m_currentScene = created;
    LWSImport import{*m_scene, *m_object, *m_objectReader, *m_light, *m_camera, *m_null,
                     *created, Log()};
    const UINT read = LWSReader(import).Load(base, directory);
    m_currentScene = nullptr;
    return read == 1 ? 1 : 0;
  }
  if (std::strncmp(extension, "zks", 3) == 0) {
    // The engine's own scene file is read by its own reader; here it only gets its scene.
    CScene* created = NewOrFatal<CScene>(kImportTitle, kNoMemory, 0u, m_settings.pRenderer, Log());
    *scene = created;
    return 1;
  }
  FatalErrorWithTitle("Error While Loading Scene", "Uknown Scene File Extension - %s", name);
}

UINT CLWReader::LoadMesh(CMesh* mesh, char* path) {
  if (mesh == nullptr || path == nullptr) return 0;
  char directory[kDirectoryLength];
  char* base = SplitDirectory(path, directory);
  if (base == nullptr) return 0;
  DirectoryScope published(m_directory, directory);

  AllocateObjectBuffer();
  m_object->Reset();
  CopyName(m_object->fileName, base);
  if (LWOReader(*m_objectReader).Load(directory, 0) == 0) {
    LogTo(Log(), kSource, CEngineLog::kLevelError, "ERROR!!! - Can't Load Mesh: %s\n", path);
    return 0;
  }
  mesh->UpdateFromImportedData(*m_object);
  return 1;
}

void CLWReader::AttachBones(CMesh* mesh, const LWOImportBuffer& object) {
  // The scene file names a bone's parent by its number only; the mesh refuses a number past
  // its bones or a link that closes a loop, and logs it, leaving that bone unlinked.
  for (UINT i = 0; i < mesh->GetNumberOfBones(); ++i) {
    const CBone* bone = mesh->GetBones() + i;
    if (bone->GetParentLinkType() == BONE_PARENT_ITEM_BONE)
      mesh->SetBoneParent(i, BONE_PARENT_ITEM_BONE, bone->GetParentNumber());
  }
  mesh->CalculateBonesRestMatrices();
  mesh->CalculateBonesWeights(object);
}

void CLWReader::ReleaseBuffers() {
  m_objectReader.reset();
  m_object.reset();
  m_scene.reset();
  m_null.reset();
  m_light.reset();
  m_camera.reset();
}
