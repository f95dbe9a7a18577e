#pragma once
// The GUI library's renderer on the engine's own device. Geometry buffers transform their
// triangles to the screen and hand them here; they go into one dynamic vertex buffer and are
// drawn through the engine renderer, one draw per run of equal texture and clip rectangle, with
// the fixed-function states set once per frame through the renderer's cached setters. Windows
// draw straight to the screen (no texture targets). Textures live in the engine's texture bank.
// The renderer follows the device through loss and reset and wraps engine textures for the tool
// windows. Main thread only.
#include <windows.h>

#include <CEGUI/Renderer.h>
#include <CEGUI/Size.h>
#include <CEGUI/String.h>
#include <CEGUI/Vector.h>

#include <map>
#include <memory>
#include <vector>

#include "console/GUIVertex.h"
#include "d3d/DeviceLossHook.h"
#include "d3d/GuiTextureFactory.h"

class CD3D9Renderer;
class CGUIGeometryBuffer;
class CGUIScreenTarget;
class CGUITexture;
class CTexture;
struct IDirect3DVertexBuffer9;

class CGUIRenderer final : public CEGUI::Renderer, public CDeviceLossHook, public CGuiTextureFactory {
 public:
  static constexpr UINT kCapacity = 4096;
  // A batch is drawn once it cannot take another quad.
  static constexpr UINT kFlushThreshold = kCapacity - 6;
  static constexpr DWORD kBufferUsage = 0x208;  // dynamic, write-only

  // Makes the vertex buffer (a standard exception "Creation of VertexBuffer for Renderer object
  // failed" when it cannot) and takes the display size from the viewport.
  explicit CGUIRenderer(CD3D9Renderer* renderer);
  ~CGUIRenderer() override;
  CGUIRenderer(const CGUIRenderer&) = delete;
  CGUIRenderer& operator=(const CGUIRenderer&) = delete;

  // --- CEGUI::Renderer ---
  CEGUI::RenderTarget& getDefaultRenderTarget() override;
  CEGUI::GeometryBuffer& createGeometryBuffer() override;
  void destroyGeometryBuffer(const CEGUI::GeometryBuffer& buffer) override;
  void destroyAllGeometryBuffers() override;
  // Windows draw straight to the screen: null.
  CEGUI::TextureTarget* createTextureTarget() override { return nullptr; }
  void destroyTextureTarget(CEGUI::TextureTarget*) override {}
  void destroyAllTextureTargets() override {}
  CEGUI::Texture& createTexture(const CEGUI::String& name) override;
  CEGUI::Texture& createTexture(const CEGUI::String& name, const CEGUI::String& filename,
                                const CEGUI::String& resourceGroup) override;
  // A blank bank texture of that size (fonts fill theirs later).
  CEGUI::Texture& createTexture(const CEGUI::String& name, const CEGUI::Sizef& size) override;
  // Deletes the texture, which releases its engine texture.
  void destroyTexture(CEGUI::Texture& texture) override;
  void destroyTexture(const CEGUI::String& name) override;
  void destroyAllTextures() override;
  CEGUI::Texture& getTexture(const CEGUI::String& name) const override;
  bool isTextureDefined(const CEGUI::String& name) const override;
  // The per-frame states and the scissor test; endRendering draws what is left and switches the
  // scissor test off.
  void beginRendering() override;
  void endRendering() override;
  void setDisplaySize(const CEGUI::Sizef& size) override;
  const CEGUI::Sizef& getDisplaySize() const override { return m_displaySize; }
  const CEGUI::Vector2f& getDisplayDPI() const override { return m_displayDPI; }
  CEGUI::uint getMaxTextureSize() const override { return m_dwMaxTextureSize; }
  const CEGUI::String& getIdentifierString() const override;

  // --- device loss ---
  // Drops the vertex buffer and the pointer confinement.
  void OnDeviceLost() override;
  // Confines the pointer to the window's client area (moving it to the bottom-right corner),
  // makes the vertex buffer again and takes the display size from the viewport.
  void OnDeviceReset() override { MakeDeviceObjects(); }
  // What OnDeviceReset does; 1 when the buffer was made (drawing waits for the next reset).
  int MakeDeviceObjects();

  // A GUI texture over `texture` (no reference added: it releases one when it goes).
  CGUITexture* CreateGUITexture(CTexture* texture) override;

  // Queues triangles (whole ones of `count`) already in screen space for `texture` (or none)
  // clipped to `clip`.
  void DrawTriangles(CGUITexture* texture, const RECT& clip, const GUIVertex* vertices, size_t count);

  CD3D9Renderer* GetEngineRenderer() const { return m_pRenderer; }
  // Null while the device is lost.
  IDirect3DVertexBuffer9* GetVertexBuffer() const { return m_pVertexBuffer; }

 private:
  void InitPerFrameStates();
  void TakeDisplaySize();
  void SelectRun(CTexture* texture, const RECT& clip);
  bool LockBuffer();
  void Unlock();
  void Flush();
  CGUITexture& AddTexture(const CEGUI::String& name);

  CD3D9Renderer* m_pRenderer;
  CEGUI::Sizef m_displaySize;
  CEGUI::Vector2f m_displayDPI;
  CEGUI::uint m_dwMaxTextureSize = 0;
  std::unique_ptr<CGUIScreenTarget> m_pScreen;
  std::vector<std::unique_ptr<CGUIGeometryBuffer>> m_geometry;
  std::map<CEGUI::String, std::unique_ptr<CGUITexture>> m_textures;
  UINT m_dwEngineTextures = 0;

  IDirect3DVertexBuffer9* m_pVertexBuffer = nullptr;
  GUIVertex* m_pLocked = nullptr;
  UINT m_dwBuffered = 0;
  // The run being written; `m_bRunSet` false until the frame's first run chose its texture.
  bool m_bRunSet = false;
  CTexture* m_pRunTexture = nullptr;
  RECT m_RunClip = {};
  // A failed lock ends the frame's GUI drawing.
  bool m_bFrameFailed = false;
};
