#pragma once
// An image of the GUI library over one engine texture, for a tool window's static image: a
// BasicImage of the given name on the texture's GUI texture, the whole texture at (0, 0). The GUI
// texture is made for the image and destroyed with it, which gives back the reference the engine
// texture counted for it; so a texture once shown is freed when its last owner lets it go.
#include <string>

namespace CEGUI {
class Texture;
class Window;
}  // namespace CEGUI

class CTexture;
class CTextureInterface;

class CGuiTextureImage {
 public:
  explicit CGuiTextureImage(const char* name) : m_name(name) {}
  // Destroys the image while the GUI runs.
  ~CGuiTextureImage();
  CGuiTextureImage(const CGuiTextureImage&) = delete;
  CGuiTextureImage& operator=(const CGuiTextureImage&) = delete;

  // Destroys any image made before, then makes the image over `texture` and shows it on
  // `staticImage` ("Image" property). False, with nothing made, when the texture is not an engine
  // texture or has no GUI texture. Raises the GUI library's exceptions.
  bool Show(CTextureInterface* texture, CEGUI::Window* staticImage);
  // Clears the static image (when given) and destroys the image and its GUI texture.
  void Destroy(CEGUI::Window* staticImage);

  bool IsMade() const { return m_pGUITexture != nullptr; }
  const std::string& GetName() const { return m_name; }

 private:
  std::string m_name;
  CEGUI::Texture* m_pGUITexture = nullptr;
};
