#pragma once
// A GUI library texture over one engine texture of the bank: images load from files through the
// bank (sharing its names and references), glyphs and images from memory into a square A8R8G8B8
// texture named "LoadedFromMemory<n>". Made only by the GUI renderer; it releases the engine
// texture it holds when it goes.
#include <windows.h>

#include <CEGUI/Size.h>
#include <CEGUI/String.h>
#include <CEGUI/Texture.h>
#include <CEGUI/Vector.h>

class CD3D9Renderer;
class CTexture;

class CGUITexture final : public CEGUI::Texture {
 public:
  CGUITexture(CD3D9Renderer* renderer, const CEGUI::String& name);
  ~CGUITexture() override;
  CGUITexture(const CGUITexture&) = delete;
  CGUITexture& operator=(const CGUITexture&) = delete;

  // --- CEGUI::Texture ---
  const CEGUI::String& getName() const override { return m_name; }
  const CEGUI::Sizef& getSize() const override { return m_size; }
  const CEGUI::Sizef& getOriginalDataSize() const override { return m_dataSize; }
  const CEGUI::Vector2f& getTexelScaling() const override { return m_texelScaling; }
  // The file in the resource group's folder (the default group's when none is given).
  void loadFromFile(const CEGUI::String& filename, const CEGUI::String& resourceGroup) override;
  // RGBA or RGB rows, packed; the texture is square, its side the larger of the two.
  void loadFromMemory(const void* buffer, const CEGUI::Sizef& bufferSize, PixelFormat format) override;
  // RGBA rows into `area` of level 0, and level 0 out as RGBA rows.
  void blitFromMemory(const void* sourceData, const CEGUI::Rectf& area) override;
  void blitToMemory(void* targetData) override;
  bool isPixelFormatSupported(PixelFormat format) const override;

  // A blank square texture of the bank whose side is the larger of the two (the same naming as
  // memory textures); a CEGUI::RendererException when the bank makes none.
  void CreateBlank(const CEGUI::Sizef& size);
  // Holds `texture` from here on (no reference added), with its size.
  void Attach(CTexture* texture);
  // Null until loaded or attached.
  CTexture* GetEngineTexture() const { return m_pTexture; }

 private:
  void ReleaseEngineTexture();
  void TakeSize(const CEGUI::Sizef& dataSize);
  void RequireArgbRows() const;

  CD3D9Renderer* m_pRenderer;
  CEGUI::String m_name;
  CTexture* m_pTexture = nullptr;
  CEGUI::Sizef m_size;
  CEGUI::Sizef m_dataSize;
  CEGUI::Vector2f m_texelScaling;
};
