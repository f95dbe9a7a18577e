#pragma once
// The texture editor: a small tool window that shows one texture of a surface (one texture kind)
// with its file name and loads another image file into that slot through the console's load
// window. It belongs to an owner window, whose name prefix makes its window names unique, and
// may be given the owner's check box for that texture, which a successful load ticks. Made once,
// hidden rather than destroyed; showing it while it is open changes nothing.
#include <string>

#include "console/GuiTextureImage.h"
#include "windef.h"

namespace CEGUI {
class EventArgs;
class ToggleButton;
class Window;
}  // namespace CEGUI

class CEngineLog;
class CSurfaceInterface;
class CWindowRegistry;

class CTextureEditor {
 public:
  static constexpr UINT kPrefixSize = 1024;
  // Window names are formed in 256 bytes; the longest format leaves this much for the prefix.
  static constexpr UINT kMaxPrefixLength = 207;
  static constexpr UINT kNameSize = 256;
  static constexpr const char* kImageName = "ZeKorb/ToolBox/Texture/image";
  // The owner's button that a successful load enables, whatever the prefix.
  static constexpr const char* kRefreshName = "ZeKorb/Console/SurfaceEditorWindow/Refresh";

  // Builds the window tree under "root_wnd", hidden. A longer prefix is cut. A GUI exception is
  // logged and raised again.
  CTextureEditor(CWindowRegistry& windows, CEngineLog* log, const char* prefix);
  // Destroys the image and the tree while the GUI runs.
  ~CTextureEditor();
  CTextureEditor(const CTextureEditor&) = delete;
  CTextureEditor& operator=(const CTextureEditor&) = delete;

  // Opens the window on the surface's texture of `kind`; `checkBox` may be null.
  void Show(CSurfaceInterface* surface, UINT kind, CEGUI::ToggleButton* checkBox);

  // The OK button's handler.
  static bool Close(const CEGUI::EventArgs& args);
  // The Load button's handler: the console's load window over the image files.
  static bool OnLoadClicked(const CEGUI::EventArgs& args);
  // The load window's completion: `data` is the editor's frame window.
  static void OnFileChosen(const char* path, void* data);

  // "Texture Editor: Diffuse" and the like; "Texture Editor: Other" for a kind without a name.
  static const char* TitleOf(UINT kind);

  bool IsOpen() const { return m_dwOpen == 1; }
  const char* GetPrefix() const { return m_szPrefix; }
  CSurfaceInterface* GetSurface() const { return m_pSurface; }
  UINT GetTextureKind() const { return m_dwTextureKind; }
  CEGUI::ToggleButton* GetCheckBox() const { return m_pCheckBox; }
  // The window's full name for `path` ("" for the frame, "/OK", ...).
  std::string WindowName(const char* path) const;

 private:
  void Build();
  void HideAndClear();
  // Shows the surface's texture of the kept kind, or an empty preview when it has none.
  void ShowTexture();
  static CTextureEditor* OfFrame(CEGUI::Window* frame);

  char m_szPrefix[kPrefixSize];
  CSurfaceInterface* m_pSurface = nullptr;
  CEGUI::ToggleButton* m_pCheckBox = nullptr;
  CGuiTextureImage m_image{kImageName};
  UINT m_dwTextureKind = 0;
  CEngineLog* m_pLog;
  UINT m_dwOpen = 0;
  CWindowRegistry& m_windows;
};
