#pragma once
// A scene's render entry: draws one frame of the scene after its per-frame passes, by the
// drawing path its rendering profile chooses, then the light flares and the debug overlays
// the engine's debug display switches ask for. Each scene keeps one, for what it remembers
// between frames.
#include "windef.h"

class CCamera;
class CScene;
class CScenePasses;
class CSceneOctreeDrawing;

class CSceneRender {
 public:
  void Render(CScene& scene);

  // The source name of the render entry's log lines, the overlays' included.
  static constexpr const char* kLogSource = "ZK3DRender";

 private:
  // The path of the scene's rendering profile word, with the scene shader's sprites.
  // True when the path drew the flares itself.
  bool DrawScene(CScene& scene, CScenePasses* passes);
  void DrawSprites(CScene& scene);
  void DrawFlares(CScene& scene, CScenePasses* passes);
  // Flares and sprites are placed by the active camera; without one they are skipped, with one
  // log line until the scene has a camera again.
  void NoteMissingCamera(CScene& scene);
  // The scene's octree for the debug overlays; null while the scene has none.
  static CSceneOctreeDrawing* GetOctreeDrawing(CScene& scene);

  bool m_bMissingCameraLogged = false;
};
