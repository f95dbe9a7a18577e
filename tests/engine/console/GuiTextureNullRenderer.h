#pragma once
// The GUI library's Null renderer that also wraps engine textures for the tool windows, as the
// engine's GUI renderer does: each wrapper is an engine GUI texture it owns, and destroying it
// through the renderer gives the engine texture its reference back.
#include <CEGUI/RendererModules/Null/Renderer.h>

#include <map>
#include <memory>
#include <string>

#include "NullGuiBench.h"
#include "console/GUITexture.h"
#include "d3d/GuiTextureFactory.h"
#include "d3d/Texture.h"

class GuiTextureNullRenderer final : public CEGUI::NullRenderer, public CGuiTextureFactory {
 public:
  static std::unique_ptr<CEGUI::Renderer> Make() {
    auto* renderer = new GuiTextureNullRenderer;
    renderer->setDisplaySize(CEGUI::Sizef(NullGuiBench::kDisplayWidth, NullGuiBench::kDisplayHeight));
    return std::unique_ptr<CEGUI::Renderer>(renderer);
  }

  CGUITexture* CreateGUITexture(CTexture* texture) override {
    const std::string name = "EngineTexture" + std::to_string(m_made++);
    auto wrapper = std::make_unique<CGUITexture>(nullptr, name.c_str());
    wrapper->Attach(texture);
    CGUITexture* made = wrapper.get();
    m_wrappers[name] = std::move(wrapper);
    return made;
  }
  void destroyTexture(CEGUI::Texture& texture) override { destroyTexture(texture.getName()); }
  void destroyTexture(const CEGUI::String& name) override {
    if (m_wrappers.erase(name.c_str()) == 0) NullRenderer::destroyTexture(name);
  }
  size_t WrapperCount() const { return m_wrappers.size(); }

 private:
  GuiTextureNullRenderer() = default;

  std::map<std::string, std::unique_ptr<CGUITexture>> m_wrappers;
  int m_made = 0;
};
