#pragma once
// The scene editor: a tool window listing one scene, or every scene of the engine, as a table of
// kinds and names (the scene, each mesh with its surfaces beneath it, nulls, lights, cameras).
// Every row carries the listed object; Edit on a surface row opens the surface editor for it.
// The window is made once and hidden rather than destroyed; showing it while it is open keeps
// the rows it shows.
#include "windef.h"

namespace CEGUI {
class EventArgs;
class MultiColumnList;
class Window;
}  // namespace CEGUI

class CEngineLog;
class CSceneInterface;
class CWindowRegistry;

class CSceneEditor {
 public:
  static constexpr const char* kFrameName = "ZeKorb/Console/SceneEditorWindow";
  // The editor's own preview scene, never listed with the others.
  static constexpr const char* kPreviewSceneName = "sphere_material_scene";

  // Builds the window tree under "root_wnd", hidden and disabled. A GUI exception is logged and
  // raised again.
  CSceneEditor(CWindowRegistry& windows, CEngineLog* log);
  // Destroys the tree while the GUI runs.
  ~CSceneEditor();
  CSceneEditor(const CSceneEditor&) = delete;
  CSceneEditor& operator=(const CSceneEditor&) = delete;

  // Opens the window on `scene`, or on every scene of the engine when null.
  void Show(CSceneInterface* scene);

  static bool OnOK(const CEGUI::EventArgs& args);
  static bool OnEdit(const CEGUI::EventArgs& args);

  bool IsOpen() const { return m_dwOpen == 1; }

 private:
  void Build();
  void ListScene(CSceneInterface* scene);
  void AddRow(const char* kind, const char* name, void* object);

  CEngineLog* m_pLog;
  UINT m_dwOpen = 0;  // the frame's user data points here
  CWindowRegistry& m_windows;
  CEGUI::Window* m_pFrame = nullptr;
  CEGUI::MultiColumnList* m_pList = nullptr;
};
