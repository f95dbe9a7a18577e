#pragma once
// The surface editor: a tool window in which a user inspects and changes one surface of a mesh,
// its colour, nine material values, the envelopes and textures of its channels and the kinds of
// its reflection and refraction maps, with a rendered material sphere as preview. Show fills the
// window from the surface; Refresh writes the window's values into the surface and renders the
// preview again; OK writes them when there are changes (Refresh enabled) and closes the window.
// Envelopes and textures are dropped at once by their check boxes. The console makes one editor
// and keeps it for the run; the window is hidden rather than destroyed.
#include <memory>
#include <string>

#include "console/GuiTextureImage.h"
#include "windef.h"

namespace CEGUI {
class EventArgs;
class Window;
}  // namespace CEGUI

class CEngineLog;
class CSceneInterface;
class CSurfaceInterface;
class CTextureEditor;
class CTextureRenderTarget;
class CWindowRegistry;
struct SurfaceEditorRow;

class CSurfaceEditor {
 public:
  static constexpr const char* kFrameName = "ZeKorb/Console/SurfaceEditorWindow";
  static constexpr const char* kPreviewImageName = "ZeKorb/ToolBox/Surface/image";
  // The preview's render-target description.
  static constexpr UINT kPreviewTargetKind = 0x10001;
  // The flag bits Apply keeps: all but the map kinds.
  static constexpr WORD kKeptFlags = 0x807F;
  static constexpr UINT kTextSize = 260;
  static constexpr UINT kNumberSize = 16;

  // Builds the window tree under "root_wnd" (hidden, disabled), the texture editor with prefix
  // "SurfaceEditor" and the preview scene (a warning when it cannot be made). A GUI exception is
  // logged and raised again.
  CSurfaceEditor(CWindowRegistry& windows, CEngineLog* log);
  // Gives back the preview target, image and scene, and destroys the tree while the GUI runs.
  ~CSurfaceEditor();
  CSurfaceEditor(const CSurfaceEditor&) = delete;
  CSurfaceEditor& operator=(const CSurfaceEditor&) = delete;

  // Opens the window on the surface and fills it; ignored while the window is shown.
  void Show(CSurfaceInterface* surface);
  // Renders the material sphere with the surface's material into the preview target; 0 without
  // a target, a surface or a preview scene.
  UINT RenderPreview();
  // 1 when the preview scene was made and kept.
  UINT CreatePreviewScene();

  static bool OnOK(const CEGUI::EventArgs& args);
  static bool OnRefresh(const CEGUI::EventArgs& args);

  // The widgets' handlers, one function per family; each finds its editor in the widget's user
  // data and its row by the widget's name. Every change enables "/Refresh".
  // The row's texture button: the texture editor on the row's kind with the row's check box.
  static bool OnTextureButton(const CEGUI::EventArgs& args);
  // The map Load buttons: the texture editor on kind 21 (reflection) or 22 (refraction).
  static bool OnMapLoadButton(const CEGUI::EventArgs& args);
  // Unticked outside Show: the row's texture (or envelope) leaves the surface at once and the
  // box is disabled until a load ticks it again.
  static bool OnTextureCheckBox(const CEGUI::EventArgs& args);
  static bool OnEnvelopeCheckBox(const CEGUI::EventArgs& args);
  // The typed colour and the chosen map kind are read by Apply only.
  static bool OnColorEdit(const CEGUI::EventArgs& args);
  static bool OnMapCombobox(const CEGUI::EventArgs& args);
  // A value's edit and slider keep each other in step; the write to the partner does not echo.
  static bool OnValueEdit(const CEGUI::EventArgs& args);
  static bool OnValueSlider(const CEGUI::EventArgs& args);

  // The window's widget at `path` ("/Refresh", "/Color/Edit/R", ...).
  static std::string Widget(const char* path) { return std::string(kFrameName) + path; }

  CSurfaceInterface* GetSurface() const { return m_pSurface; }
  CTextureRenderTarget* GetPreviewTarget() const { return m_pPreviewTarget; }
  CSceneInterface* GetPreviewScene() const { return m_pPreviewScene; }
  CTextureEditor* GetTextureEditor() const { return m_pTextureEditor.get(); }
  bool IsShown() const { return m_dwShown == 1; }
  const UINT* GetShownFlag() const { return &m_dwShown; }

 private:
  void Build();
  void BuildFixedWidgets(CEGUI::Window* frame);
  void BuildRow(CEGUI::Window* frame, const SurfaceEditorRow& row, float y);
  void Subscribe();
  void TakePreviewTarget();
  void GiveBackPreview();
  void Fill();
  void FillRow(const SurfaceEditorRow& row);
  void FillTextureCheckBox(const SurfaceEditorRow& row);
  void Apply();
  CEGUI::Window* Find(const std::string& name) const;
  void EnableRefresh() const;
  // Runs a handler's body on the editor of the event's widget; a GUI exception is logged as
  // `warning` and answers false.
  static bool Handle(const CEGUI::EventArgs& args, const char* warning,
                     void (*body)(CSurfaceEditor& editor, CEGUI::Window* widget));

  CSurfaceInterface* m_pSurface = nullptr;
  CEngineLog* m_pLog;
  CTextureRenderTarget* m_pPreviewTarget = nullptr;
  CSceneInterface* m_pPreviewScene = nullptr;
  std::unique_ptr<CTextureEditor> m_pTextureEditor;
  CGuiTextureImage m_previewImage{kPreviewImageName};
  UINT m_dwShown = 0;
  UINT m_dwSyncing = 0;
  UINT m_dwFilling = 0;
  CWindowRegistry& m_windows;
};
