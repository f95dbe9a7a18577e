#pragma once
// The GUI renderer's making of GUI textures, recorded: each request is kept, and the GUI
// texture handed out is a token that only identifies it.
#include <vector>

#include "d3d/GuiTextureFactory.h"

class RecordingGuiTextures final : public CGuiTextureFactory {
 public:
  std::vector<CTexture*> requests;

  CGUITexture* CreateGUITexture(CTexture* texture) override {
    requests.push_back(texture);
    return reinterpret_cast<CGUITexture*>(&tokens[requests.size() % 2]);
  }

 private:
  int tokens[2] = {};
};
