#include "files/ZKSSceneExporter.h"

#include <cstring>
#include <vector>

#include "chunks/ChunkWriter.h"
#include "files/ZKReader.h"
#include "files/ZKSCameraExporter.h"
#include "files/ZKSEnvelopeValue.h"
#include "files/ZKSFieldReader.h"
#include "files/ZKSLightExporter.h"
#include "files/ZKSLink.h"
#include "files/ZKSMeshExporter.h"
#include "files/ZKSNullExporter.h"
#include "files/ZKShaderChunk.h"
#include "core/EngineContext.h"
#include "core/FatalError.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "scene/Null.h"
#include "scene/Scene.h"
#include "zkplatform/ZkPaths.h"

namespace {

constexpr size_t kFileNameLength = 260;
constexpr UINT kTextField = CScene::kNameLength;
constexpr UINT kFogWithChunk = 3;

// Consumes the next tag when it starts another object of the run.
bool NextIsObject(CChunkReader& in, ChunkTag& tag) {
  for (const char* name : {"CAME", "LITE", "MESH", "NULL"})
    if (in.NextTagIs(name)) {
      std::memcpy(tag.bytes, name, 4);
      return true;
    }
  return false;
}

// Closes the scene file on every way out of a load.
class FileCloser {
 public:
  explicit FileCloser(VFSFile* file) : m_pFile(file) {}
  ~FileCloser() { m_pFile->Close(); }
  FileCloser(const FileCloser&) = delete;
  FileCloser& operator=(const FileCloser&) = delete;

 private:
  VFSFile* m_pFile;
};

}  // namespace

// --- saving ---

CZKSSceneExporter::Counts CZKSSceneExporter::CountWritten(CScene* scene) {
  Counts counts;
  for (CWorldObject* object = scene->GetFirstWorldObject(); object != nullptr;
       object = object->GetNext()) {
    if (!CZKSLink::IsWritten(object)) continue;
    switch (object->GetWorldObjectType()) {
      case WORLD_OBJECT_MESH:
        ++counts.dwMeshes;
        break;
      case WORLD_OBJECT_LIGHT:
        ++counts.dwLights;
        break;
      case WORLD_OBJECT_CAMERA:
        ++counts.dwCameras;
        break;
      case WORLD_OBJECT_NULL:
        ++counts.dwNulls;
        break;
    }
  }
  return counts;
}

bool CZKSSceneExporter::SaveScene(CScene* scene) {
  if (scene == nullptr) return false;
  char fileName[kFileNameLength];
  const int length = std::snprintf(fileName, sizeof fileName, "%s%s.zks", scene->GetDirectory(),
                                   scene->GetName());
  if (length < 0 || static_cast<size_t>(length) >= sizeof fileName) {
    LogError(__LINE__, "- Scene File Name Too Long: %s%s.zks\n", scene->GetDirectory(),
             scene->GetName());
    return false;
  }
  if (scene->GetSaveable() == 0) {
    LogError(__LINE__, "- Scene: %s Can't Be Saved B'coz It's Built Of Many Another Scenes\n",
             fileName);
    return false;
  }
  FILE* stream = ZkFileOpen(fileName, "wb");
  if (stream == nullptr) {
    LogError(__LINE__, "- Can't Open Scene File For Saving: %s\n", fileName);
    return false;
  }

  UINT total = 0;
  CChunkWriter out(stream, total);
  CChunkWriter::ContainerMark mark;
  const Counts counts = CountWritten(scene);
  const char* failure = out.BeginFile("ZKS5", mark) ? nullptr : "- Can't Save Header To: %s\n";
  auto write = [&](const char* message, auto&& chunk) {
    if (failure == nullptr && !chunk()) failure = message;
  };
  write("- Can't Save Number Of Mesh To: %s\n", [&] { return out.U32Chunk("MSHN", counts.dwMeshes); });
  write("- Can't Save Number Of Lights To: %s\n",
        [&] { return out.U32Chunk("LITN", counts.dwLights); });
  write("- Can't Save Number Of Cameras To: %s\n",
        [&] { return out.U32Chunk("CAMN", counts.dwCameras); });
  write("- Can't Save Number Of Nulls To: %s\n",
        [&] { return out.U32Chunk("NULN", counts.dwNulls); });
  write("- Can't Save World To: %s\n", [&] { return WriteWorld(scene, stream, total); });
  write("- Can't Save First Frame To: %s\n",
        [&] { return out.U32Chunk("FFRM", scene->GetFirstFrame()); });
  write("- Can't Save Last Frame To: %s\n",
        [&] { return out.U32Chunk("LFRM", scene->GetLastFrame()); });
  write("- Can't Save FramesPerSecond To: %s\n",
        [&] { return out.F32Chunk("FPSD", scene->GetFramesPerSecond()); });
  write("- Can't Save Ambient Color To: %s\n", [&] {
    const ColorByte* color = scene->GetColor();
    const BYTE bytes[4] = {color->cRed, color->cGreen, color->cBlue, color->cReserved};
    return out.FixedChunk("ACLR", 4, [&] { return out.Bytes(bytes, sizeof bytes); });
  });
  write("- Can't Save Ambient Intensity To: %s\n", [&] {
    return CZKSEnvelopeValue::Write(m_pReader, "AINT", scene->GetAmbLightIntensityEnvelope(),
                                    stream, total);
  });
  write("- Can't Save Background Color To: %s\n",
        [&] { return out.U32Chunk("BKGR", scene->GetBackgroundColor()); });
  write("- Can't Save Grid Size To: %s\n",
        [&] { return out.U32Chunk("GRID", scene->GetGridSize()); });
  write("- Can't Save Octree Number To: %s\n",
        [&] { return out.U32Chunk("OCTR", scene->GetNumberOfOctreeCells()); });
  write("- Can't Save Fog To: %s\n", [&] {
    if (scene->GetFogType() != kFogWithChunk) return true;
    return out.FixedChunk("FOGG", 16, [&] {
      return out.U32(scene->GetFogType()) && out.U32(scene->GetFogColor()) &&
             out.F32(scene->GetMinimumFogDistance()) && out.F32(scene->GetMaximumFogDistance());
    });
  });
  write("- Can't Save Shader To: %s\n", [&] { return WriteShader(scene, stream, total); });
  write("- Can't Save Scene File: %s\n", [&] { return out.EndFile(mark); });
  if (failure == nullptr)
    LogInfo(__LINE__, "%s Sizes: %i, %i\n", fileName, static_cast<int>(std::ftell(stream)),
            static_cast<int>(total + 8));
  std::fclose(stream);
  if (failure != nullptr) {
    LogError(__LINE__, failure, fileName);
    return false;
  }
  return true;
}

bool CZKSSceneExporter::WriteWorld(CScene* scene, FILE* stream, UINT& total) {
  for (CWorldObject* object = scene->GetFirstWorldObject(); object != nullptr;
       object = object->GetNext()) {
    if (!CZKSLink::IsWritten(object)) continue;  // meshes with dynamic buffers
    bool written = true;
    if (auto* mesh = dynamic_cast<CMesh*>(object))
      written = m_pReader->GetMeshExporter()->WriteMesh(mesh, stream, total);
    else if (auto* null = dynamic_cast<CNull*>(object))
      written = m_pReader->GetNullExporter()->WriteNull(null, stream, total);
    else if (auto* camera = dynamic_cast<CCamera*>(object))
      written = m_pReader->GetCameraExporter()->WriteCamera(camera, stream, total);
    else if (auto* light = dynamic_cast<CLight*>(object))
      written = m_pReader->GetLightExporter()->WriteLight(light, stream, total);
    else
      LogInfo(__LINE__, "Unknown WORLD Object...\n");
    if (!written) return false;
  }
  return true;
}

bool CZKSSceneExporter::WriteShader(CScene* scene, FILE* stream, UINT& total) {
  const char* name = scene->GetShaderFileName();
  if (scene->GetUseShaderWord() != 1 || name[0] == '\0') return true;
  const std::vector<ShaderParameter>& parameters = scene->GetShaderParameters();
  const bool withParameters = scene->GetShader() != nullptr && !parameters.empty();
  // More than a loader's table holds would make a file that cannot be read back.
  if (parameters.size() > CZKShaderChunk::kMaxParameters) return false;
  CChunkWriter out(stream, total);
  return CZKShaderChunk::Write(out, name, withParameters ? parameters.data() : nullptr,
                               static_cast<uint32_t>(parameters.size()));
}

// --- loading ---

bool CZKSSceneExporter::LoadScene(CScene** sceneOut, const char* path, UINT loadFlag) {
  m_dwLoadFlag = loadFlag;
  if (sceneOut == nullptr || path == nullptr) return false;
  const char* slash = std::strrchr(path, '\\');
  const char* forward = std::strrchr(path, '/');
  if (forward != nullptr && (slash == nullptr || forward > slash)) slash = forward;
  const char* fileName = slash != nullptr ? slash + 1 : path;
  const size_t directoryLength = static_cast<size_t>(fileName - path);
  const size_t fileNameLength = std::strlen(fileName);
  const size_t nameLength = fileNameLength > 4 ? fileNameLength - 4 : 0;
  if (directoryLength >= kTextField || nameLength >= kTextField) {
    LogError(__LINE__, "ERROR! - Scene, Name Too Long: %s\n", path);
    return false;
  }

  CVirtualFileSystemInterface* files = GetEngineContext()->pVirtualFileSystem;
  VFSFile* file = files != nullptr ? files->OpenNormalFile(path, "rb") : nullptr;
  LogInfo(__LINE__, "- Loading Scene: %s\n", path);
  if (file == nullptr) {
    LogError(__LINE__, "ERROR! - Scene, Can't Open File: %s\n", path);
    return false;
  }
  FileCloser closer(file);
  CChunkReader in(file);
  ChunkTag magic;
  if (!in.Tag(magic)) return false;
  if (!magic.Is("ZKS6") && !magic.Is("ZKS5")) {
    LogError(__LINE__, "ERROR! - Scene, Wrong File: %s, Expected ZKS6 Or ZKS5 Header But Found: %s\n",
             path, magic.Text());
    return false;
  }
  *sceneOut = nullptr;
  CScene* scene = NewNamedOrFatal<CScene>(kNoMemoryTitle, "Scene, Can't Create Scene: %s", path, 0,
                                          m_pRenderer, m_pLog);
  *sceneOut = scene;
  char text[kTextField] = {};
  std::memcpy(text, path, directoryLength);
  scene->SetDirectory(text);
  std::memset(text, 0, sizeof text);
  std::memcpy(text, fileName, nameLength);
  scene->SetName(text);

  if (!ReadBody(scene, in, path)) return false;
  if (scene->BuildHierarchy() == 0) {
    LogError(__LINE__, "ERROR! - Scene %s, Can't Built Hierarchy\n", path);
    return false;
  }
  // A scene without a camera has no targets to aim: that is no failure.
  if (scene->ResolveCameraTargets() == 0)
    LogError(__LINE__, "WARNING!!! - Scene %s Has No Camera\n", path);
  if (scene->ResolveLightTargets() == 0) {
    LogError(__LINE__, "ERROR! - Scene %s, Can't Get Lights' Targets\n", path);
    return false;
  }
  if (auto* camera = dynamic_cast<CCamera*>(scene->GetCameraObject(0))) camera->Set();
  scene->ApplyNullScripts();
  return true;
}

bool CZKSSceneExporter::ReadBody(CScene* scene, CChunkReader& in, const char* path) {
  uint32_t size = 0;
  if (!in.U32(size)) return false;
  const ChunkReport loop = Report(__LINE__, path);
  const ChunkReport sizes = Report(__LINE__, scene->GetName());
  Counts stated;
  bool worldRead = false;
  auto u32 = [&](const char* tag, const char* incorrectSize,
                 std::function<void(uint32_t)> store) {
    return CChunkReader::Rule{tag, CZKSFieldReader::U32(sizes, incorrectSize, std::move(store)),
                              nullptr};
  };
  auto world = [&](const char* tag) {
    return CChunkReader::Rule{tag,
                              [&, tag](CChunkReader& r) {
                                // A second run of objects is not part of the scene.
                                if (worldRead) return r.SkipChunk();
                                worldRead = true;
                                return ReadWorld(scene, tag, r);
                              },
                              "ERROR! - Scene %s, Can't Load World\n"};
  };
  auto with = [](CChunkReader::Rule rule, const char* failure) {
    rule.failure = failure;
    return rule;
  };
  const bool read = in.SubChunks(
      size,
      {
          with(u32("MSHN", "ERROR! - Scene::MSHN, Incorrect Size: %s\n",
                   [&](uint32_t v) { stated.dwMeshes = v; }),
               "ERROR! - Scene %s, Can't Load Number Of Meshes\n"),
          with(u32("LITN", "ERROR! - Scene::LITN, Incorrect Size: %s\n",
                   [&](uint32_t v) { stated.dwLights = v; }),
               "ERROR! - Scene %s, Can't Load Number Of Lights\n"),
          with(u32("CAMN", "ERROR! - Scene::CAMN, Incorrect Size: %s\n",
                   [&](uint32_t v) { stated.dwCameras = v; }),
               "ERROR! - Scene %s, Can't Load Number Of Cameras\n"),
          with(u32("NULN", "ERROR! - Scene::NULN, Incorrect Size: %s\n",
                   [&](uint32_t v) { stated.dwNulls = v; }),
               "ERROR! - Scene %s, Can't Load Number Of Nulls\n"),
          world("CAME"),
          world("LITE"),
          world("MESH"),
          world("NULL"),
          with(u32("FFRM", "ERROR! - Scene::FFRM, Incorrect Size: %s\n",
                   [&](uint32_t v) { scene->SetFirstFrame(v); }),
               "ERROR! - Scene %s, Can't Load First Frame\n"),
          with(u32("LFRM", "ERROR! - Scene::LFMR, Incorrect Size: %s\n",
                   [&](uint32_t v) { scene->SetLastFrame(v); }),
               "ERROR! - Scene %s, Can't Load Last Frame\n"),
          {"FPSD",
           CZKSFieldReader::F32(sizes, "ERROR! - Scene::FPSD, Incorrect Size: %s\n",
                                [scene](float value) { scene->SetFramesPerSecond(value); }),
           "ERROR! - Scene %s, Can't Load FramePerSecond\n"},
          {"ACLR",
           [&](CChunkReader& r) {
             BYTE bytes[4] = {};
             if (!r.FixedChunk(4, sizes, "ERROR! - Scene::ACLR, Incorrect Size: %s\n",
                               [&] { return r.Bytes(bytes, sizeof bytes); }))
               return false;
             *scene->GetColor() = ColorByte{bytes[0], bytes[1], bytes[2], bytes[3]};
             return true;
           },
           "ERROR! - Scene %s, Can't Load Ambient Color\n"},
          with(u32("BKGR", "ERROR! - Scene::BKGR, Incorrect Size: %s\n",
                   [&](uint32_t v) { scene->SetBackgroundColor(v); }),
               "ERROR! - Scene %s, Can't Load Background Color\n"),
          with(u32("GRID", "ERROR! - Scene::GRID, Incorrect Size: %s\n",
                   [&](uint32_t v) { scene->SetGridSize(v); }),
               "ERROR! - Scene %s, Can't Load Grid Size\n"),
          with(u32("OCTR", "ERROR! - Scene::OCTR, Incorrect Size: %s\n",
                   [&](uint32_t v) { scene->SetNumberOfOctreeCells(v); }),
               "ERROR! - Scene %s, Can't Load Octree Number\n"),
          {"AINT",
           [&](CChunkReader& r) {
             const ChunkReport plain = Report(__LINE__);
             return CZKSEnvelopeValue::Read(m_pReader, scene->GetAmbLightIntensityEnvelope(), r,
                                            plain, "ERROR! - Scene::AINT, Incorrect Size\n");
           },
           "ERROR! - Scene %s, Can't Load Ambient Intensity\n"},
          {"FOGG",
           [&](CChunkReader& r) {
             uint32_t type = 0, color = 0;
             float nearest = 0, farthest = 0;
             if (!r.FixedChunk(16, sizes, "ERROR! - Scene::FOGG, Incorrect Size: %s\n", [&] {
                   return r.U32(type) && r.U32(color) && r.F32(nearest) && r.F32(farthest);
                 }))
               return false;
             scene->SetFogType(type);
             scene->StoreFogColor(color);
             scene->SetFogMinDistance(nearest);
             scene->SetFogMaxDistnace(farthest);
             return true;
           },
           "ERROR! - Scene %s, Can't Load Fog\n"},
          {"SHDR", [&](CChunkReader& r) { return ReadShader(scene, r); },
           "ERROR! - Scene %s, Can't Load Shader\n"},
      },
      loop, "ERROR! - Scene %s, Incorrect Size\n");
  if (!read) return false;
  // The counts hold whether or not objects came: a file that states objects it lacks is broken.
  return CountsMatch(scene, stated, CountWritten(scene));
}

bool CZKSSceneExporter::ReadWorld(CScene* scene, const char* firstTag, CChunkReader& in) {
  ChunkTag tag;
  std::memcpy(tag.bytes, firstTag, 4);
  for (;;) {
    if (!ReadObject(scene, tag, in)) return false;
    if (!NextIsObject(in, tag)) break;
  }
  // The run must end with another chunk of the scene, as the writer always puts one after it.
  return in.BytesLeft() >= 4;
}

namespace {
const char kNoObject[] = "Scene, Can't Allocate Memory For Object";
}  // namespace

bool CZKSSceneExporter::ReadObject(CScene* scene, const ChunkTag& tag, CChunkReader& in) {
  CWorldObject* object = nullptr;
  bool read = false;
  if (tag.Is("CAME")) {
    auto* camera = NewOrFatal<CCamera>(kNoMemoryTitle, kNoObject, m_pRenderer, m_pLog, scene);
    object = camera;
    read = m_pReader->GetCameraExporter()->ReadCamera(camera, in, m_dwLoadFlag);
  } else if (tag.Is("LITE")) {
    auto* light = NewOrFatal<CLight>(kNoMemoryTitle, kNoObject, m_pRenderer, m_pLog, scene);
    object = light;
    read = m_pReader->GetLightExporter()->ReadLight(light, in, m_dwLoadFlag);
  } else if (tag.Is("MESH")) {
    auto* mesh = NewOrFatal<CMesh>(kNoMemoryTitle, kNoObject, m_pRenderer, m_pLog, scene, 0);
    object = mesh;
    read = m_pReader->GetMeshExporter()->ReadMesh(mesh, in, m_dwLoadFlag);
  } else if (tag.Is("NULL")) {
    auto* null = NewOrFatal<CNull>(kNoMemoryTitle, kNoObject, m_pRenderer, m_pLog);
    null->SetOwnerScene(scene);
    object = null;
    read = m_pReader->GetNullExporter()->ReadNull(null, in, m_dwLoadFlag);
  }
  if (!read) {
    if (object != nullptr) object->ReleaseReference();  // never joined the scene
    return false;
  }
  scene->AppendWorldObject(object);
  return true;
}

bool CZKSSceneExporter::CountsMatch(CScene* scene, const Counts& stated,
                                    const Counts& found) const {
  struct Check {
    UINT stated, found;
    const char* message;
  };
  const Check checks[] = {
      {stated.dwCameras, found.dwCameras,
       "ERROR, Scene::World, Incorrect Number Of Cameras In %s - %i - %i\n"},
      {stated.dwLights, found.dwLights,
       "ERROR, Scene::World, Incorrect Number Of Lights In %s - %i - %i\n"},
      {stated.dwMeshes, found.dwMeshes,
       "ERROR, Scene::World, Incorrect Number Of Meshes In %s - %i - %i\n"},
      {stated.dwNulls, found.dwNulls,
       "ERROR, Scene::World, Incorrect Number Of Nulls In %s - %i - %i\n"},
  };
  for (const Check& check : checks)
    if (check.stated != check.found) {
      LogError(__LINE__, check.message, scene->GetName(), static_cast<int>(check.stated),
               static_cast<int>(check.found));
      return false;
    }
  return true;
}

bool CZKSSceneExporter::ReadShader(CScene* scene, CChunkReader& in) {
  CZKShaderChunk::Loaded shader;
  if (!CZKShaderChunk::Read(in, shader, Report(__LINE__, scene->GetName()),
                            "ERROR! - Scene::SHDR Incorrect Size Of NAME: %s\n",
                            "ERROR! - Not Enuff shader Parameteres Entries In Scene Loader\n"))
    return false;
  if (scene->CreateShader(shader.szName, shader.Parameters, shader.dwNumberOfParameters, 1) == 0)
    LogError(__LINE__, "ERROR! - Can't Create Shader: %s\n", scene->GetShaderFileName());
  else
    scene->MarkShaderFromFile();
  return true;
}
