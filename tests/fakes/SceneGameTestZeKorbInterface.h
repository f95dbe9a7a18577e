#pragma once
// The game's test top interface with the engine's real scenes behind it: AddScene, LoadScene,
// SaveSceneToZKS and the active scene are the engine's own, over the real scene and object file
// readers, a file system on the working folder, the real mesh spatial services (bound volumes
// for picking) and buffer banks that keep what they are given. A name the file system cannot
// find loads nothing (null), as the game's missing logo does. The sound server is a recording
// one until a test takes it away.
#include <string>

#include "EngineContextScope.h"
#include "FakeMeshVertexBuffer.h"
#include "FakeSurfaceBanks.h"
#include "GameTestZeKorbInterface.h"
#include "RecordingEngineLog.h"
#include "RecordingGenericPass.h"
#include "RecordingSoundServer.h"
#include "files/ZKOMeshFileReader.h"
#include "files/ZKReader.h"
#include "files/ZKSSceneFileReader.h"
#include "spatial/CollisionManager.h"
#include "spatial/MeshSpatialServices.h"
#include "startup/ZeKorbD3D.h"
#include "vfs/VirtualFileSystem.h"

class CSceneGameTestZeKorbInterface : public CGameTestZeKorbInterface {
 public:
  CSceneGameTestZeKorbInterface() {
    renderer.indexBufferStorage = &indexBuffers;
    renderer.vertexBufferStorage = &vertexBuffers;
    context->dwInitialized = 0;
    context->pRenderer = &renderer;
    context->pLog = &log;
    context->pVirtualFileSystem = &files;
    context->pRenderingProfile = nullptr;
    context->pSceneItems = nullptr;
    context->pActiveScene = nullptr;
    context->ports.sceneFiles.Set(&sceneFiles);
    context->ports.meshFiles.Set(&meshFiles);
    context->ports.meshSpatial.Set(&spatial);
    context->ports.genericPass.Set(&genericPass);
    genericPass.makeBuffers = true;
  }

  void AddScene(CSceneInterface** scene) override {
    Record("AddScene");
    engine->AddScene(scene);
  }
  void LoadScene(CSceneInterface** scene, const char* name, UINT mode, UINT readerFlag,
                 SceneShaderChooser assign, MeshShaderChooser meshes,
                 SurfaceShaderChooser surfaces) override {
    CGameTestZeKorbInterface::LoadScene(scene, name, mode, readerFlag, assign, meshes, surfaces);
    loadFlags.push_back(readerFlag);
    choosersGiven += assign || meshes || surfaces;
    if (scene && name && Findable(name))
      engine->LoadScene(scene, name, mode, readerFlag, assign, meshes, surfaces);
  }
  UINT SaveSceneToZKS(CSceneInterface* scene, UINT saveTextures) override {
    return engine->SaveSceneToZKS(scene, saveTextures);
  }
  CSceneInterface* GetActiveScene() override { return context->pActiveScene; }
  void SetActiveScene(CSceneInterface* scene) override {
    Record("SetActiveScene");
    engine->SetActiveScene(scene);
  }
  CChannelEnvelopeInterface* CreateChannelEnvelope() override {
    return engine->CreateChannelEnvelope();
  }
  TonarisInterface* GetTonarisInterface() override {
    CGameTestZeKorbInterface::GetTonarisInterface();
    return soundServer;
  }
  // With realFiles the game reads its own files through the file system on the working folder.
  CVirtualFileSystemInterface* GetVFSInterface() override {
    CVirtualFileSystemInterface* recorded = CGameTestZeKorbInterface::GetVFSInterface();
    return realFiles ? &files : recorded;
  }
  int LiveTimers() const { return timersMade - timersFreed; }
  // The game reads the cursor in this window; none unless a test makes one.
  HWND GetWindowHandle() override { return window; }
  HWND window = nullptr;

  EngineContextScope context;
  CRecordingEngineLog log;
  CRecordingAllocator allocator;
  CVirtualFileSystem files{&log, &allocator, nullptr};
  bool readerMade = false;
  bool realFiles = false;
  CZKReader reader{&renderer, &log, readerMade};
  CZKSSceneFileReader sceneFiles{&reader};
  CZKOMeshFileReader meshFiles{&reader};
  // Meshes with faces get real colliders, so game objects can test contact.
  CCollisionManager collisions{&renderer, &log};
  CMeshSpatialServices spatial{&log, &collisions};
  RecordingGenericPass genericPass;
  FakeIndexBufferStorage indexBuffers;
  FakeVertexBufferStorage vertexBuffers;
  RecordingSoundServer sounds;
  TonarisInterface* soundServer = &sounds;
  std::vector<UINT> loadFlags;
  int choosersGiven = 0;

 private:
  // The engine's loader ends the process on a name it cannot find; a test asks only for files
  // it wrote, with or without their extension.
  bool Findable(const std::string& name) {
    for (const char* ending : {"", ".zks", ".lws"})
      if (files.LocateNormalFile((name + ending).c_str()) != static_cast<UINT>(-1)) return true;
    return false;
  }

  CZeKorbD3DInterface* engine = CZeKorbD3D::Instance();
};
