#pragma once
// A rendering profile that records the scenes and meshes handed to it, the scenes it draws, and
// the meshes and surfaces it is asked to draw, the device's loss ("lost") and reset ("reset"),
// and draws nothing.
#include <string>
#include <vector>

#include "d3d/RenderingProfileInterface.h"

class RecordingRenderingProfile final : public CRenderingProfileInterface {
 public:
  void PrepareScene(CSceneInterface* scene) override { scenes.push_back(scene); }
  void PrepareMesh(CMeshInterface* mesh) override { meshes.push_back(mesh); }
  void OnDeviceLost() override { deviceEvents.push_back("lost"); }
  void OnDeviceReset() override { deviceEvents.push_back("reset"); }
  void RenderScene(CSceneInterface* scene) override { renderedScenes.push_back(scene); }
  void RenderMesh(CMeshInterface* mesh) override { renderedMeshes.push_back(mesh); }
  void RenderSurface(CSurfaceInterface* surface) override { renderedSurfaces.push_back(surface); }
  std::vector<CMeshInterface*> renderedMeshes;
  std::vector<CSurfaceInterface*> renderedSurfaces;

  std::vector<CSceneInterface*> scenes;
  std::vector<CMeshInterface*> meshes;
  std::vector<std::string> deviceEvents;
  std::vector<CSceneInterface*> renderedScenes;
};
