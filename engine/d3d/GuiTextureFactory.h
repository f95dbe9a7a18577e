#pragma once
// What a texture asks of the console's GUI renderer: a GUI texture that draws it. Until the GUI
// renderer registers itself the default answers none (with a log line).
class CGUITexture;
class CTexture;

class CGuiTextureFactory {
 public:
  static CGuiTextureFactory& Default();

  // A GUI texture of the texture's size that draws it; it releases the texture when it goes.
  // Null when there is none.
  virtual CGUITexture* CreateGUITexture(CTexture* texture) = 0;

 protected:
  ~CGuiTextureFactory() = default;
};
