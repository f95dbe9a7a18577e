#pragma once
// The debug overlays of a scene, each drawn when its debug display switch of the engine context
// asks for it: 1 draws with depth testing, 2 on top of everything, other values nothing (the
// octree-box id is off at -1 and otherwise names the cell to draw).
#include "core/EngineContext.h"

class CD3D9RendererInterface;
class CScene;
class CScenePasses;
class CSceneOctreeDrawing;

class CSceneOverlays {
 public:
  // octree may be null: the octree overlays then find no cell.
  CSceneOverlays(CScene& scene, CSceneOctreeDrawing* octree);

  // Whether any switch asks for an overlay.
  static bool AnySwitchOn();
  // Resets the pipeline and draws the overlays that are switched on, in
  // their fixed order.
  void Draw(CScenePasses* passes);

 private:
  // Sets the overlay states for the mode, runs the drawing and restores the states; modes
  // other than 1 and 2 draw nothing.
  template <class TDrawing>
  void DrawWithMode(int mode, TDrawing drawing);
  void DrawMeshFrameBoxes();
  void DrawMeshBoxes();
  void DrawBones();
  void DrawLightBounds();
  void DrawLightShapes();
  void DrawOctreeBoxAtPoint();
  void DrawNulls();
  void DrawOctreeBoxWithID(int id);

  CScene& m_Scene;
  CD3D9RendererInterface* m_pRenderer;
  CSceneOctreeDrawing* m_pOctree;
};
