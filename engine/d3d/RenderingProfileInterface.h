#pragma once
// A rendering profile: what a preset's optional library hands the engine to take over the
// shading of loaded scenes. The library exports GetRenderingProfileInterface, which the engine
// calls once with its renderer and log; the object stays the library's.
#include "windef.h"

class CD3D9RendererInterface;
class CEngineLog;
class CMeshInterface;
class CSceneInterface;
class CSurfaceInterface;

class CRenderingProfileInterface {
 public:
  // A scene has been loaded: the profile prepares it in place of the engine's passes.
  virtual void PrepareScene(CSceneInterface* scene) = 0;
  // A mesh has been loaded.
  virtual void PrepareMesh(CMeshInterface* mesh) = 0;
  // The device has been lost and is about to be reset; then reset.
  virtual void OnDeviceLost() = 0;
  virtual void OnDeviceReset() = 0;
  // Draws a scene, a mesh, a surface for the frame.
  virtual void RenderScene(CSceneInterface* scene) = 0;
  virtual void RenderMesh(CMeshInterface* mesh) = 0;
  virtual void RenderSurface(CSurfaceInterface* surface) = 0;

 protected:
  ~CRenderingProfileInterface() = default;
};

typedef CRenderingProfileInterface* (*GetRenderingProfileInterfaceProc)(CD3D9RendererInterface* renderer,
                                                                        CEngineLog* log);
