#include "d3d/GuiTextureFactory.h"

#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "d3d/D3DLog.h"
#include "d3d/Texture.h"

namespace {

class CNoGuiTextures final : public CGuiTextureFactory {
 public:
  CGUITexture* CreateGUITexture(CTexture* texture) override {
    LogD3D(GetEngineContext()->pLog, "D3DTextures", __LINE__, CEngineLog::kLevelError,
           "ERROR!!! - There's No GUI Renderer To Draw: %s\n", texture->GetName() ? texture->GetName() : "");
    return nullptr;
  }
};

}  // namespace

CGuiTextureFactory& CGuiTextureFactory::Default() {
  static CNoGuiTextures none;
  return none;
}
