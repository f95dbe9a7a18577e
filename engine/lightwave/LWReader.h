#pragma once
// The engine's entry to LightWave data: a scene file (LWS) read into a new scene, or one object
// file (LWO2) read into an existing mesh. The reader owns the import records the file readers
// fill and the scene turns into world objects; they are made on first need, reused by every
// later load (they are large, about 10 MB), and freed by ReleaseBuffers at shutdown.
#include <memory>

#include "scene/LightWaveLoader.h"
#include "windef.h"

class CD3D9RendererInterface;
class CEngineLog;
class LWOReaderState;
struct LWSCameraBuffer;
struct LWSLightBuffer;
struct LWSNullBuffer;
struct LWSSceneBuffer;

// What start-up hands the reader: the log its messages go to, the renderer new scenes draw
// with (null until there is a device) and the window.
struct LWReaderSettings {
  CEngineLog* pLog = nullptr;
  CD3D9RendererInterface* pRenderer = nullptr;
  HWND hWnd = nullptr;
};

class CLWReader final : public CLightWaveLoader {
 public:
  // A directory of this many characters or more does not fit the directory buffer.
  static constexpr UINT kDirectoryLength = 256;

  CLWReader();
  ~CLWReader();
  CLWReader(const CLWReader&) = delete;
  CLWReader& operator=(const CLWReader&) = delete;

  // Keeps a copy of the settings and logs that the reader is ready; 0, changing nothing, for
  // none.
  UINT Init(const LWReaderSettings* settings);

  // A name ending in "lws" (compared case-sensitively: the top interface lower-cases names) is
  // read into a new scene; "zks" makes an empty scene for the engine's own reader; any other
  // extension is fatal. The name is cut in place after its extension. 1 on success; 0 for a
  // null output or a directory too long for its buffer.
  UINT LoadScene(CScene** scene, char* name) override;
  // Reads the object file into the mesh; 0, the mesh as it was, when it cannot be read.
  UINT LoadMesh(CMesh* mesh, char* path) override;
  // Links each bone to the parent bone the scene names, builds the rest matrices, then gives
  // the vertices their bones and weights from the object's weight maps or the bones' distances.
  void AttachBones(CMesh* mesh, const LWOImportBuffer& object) override;

  // Frees the import records; the next load makes them again.
  void ReleaseBuffers();

  // The scene a running scene load fills, and the directory of the file being loaded (with its
  // last separator); null and empty outside a load.
  CScene* CurrentScene() const { return m_currentScene; }
  const char* CurrentDirectory() const { return m_directory != nullptr ? m_directory : ""; }

 private:
  // Copies the directory part of `path` into `directory` and cuts the path after its extension;
  // the base name, or null after logging a directory that does not fit.
  char* SplitDirectory(char* path, char (&directory)[kDirectoryLength]);
  void AllocateObjectBuffer();
  void AllocateSceneBuffers();
  CEngineLog* Log() const { return m_settings.pLog; }

  LWReaderSettings m_settings;
  CScene* m_currentScene = nullptr;
  const char* m_directory = nullptr;
  std::unique_ptr<LWSSceneBuffer> m_scene;
  std::unique_ptr<LWOImportBuffer> m_object;
  std::unique_ptr<LWOReaderState> m_objectReader;
  std::unique_ptr<LWSNullBuffer> m_null;
  std::unique_ptr<LWSLightBuffer> m_light;
  std::unique_ptr<LWSCameraBuffer> m_camera;
};

// The one reader of the process.
CLWReader* GetLWInterface();
