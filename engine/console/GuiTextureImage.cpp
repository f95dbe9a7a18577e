#include "console/GuiTextureImage.h"

#include <CEGUI/BasicImage.h>
#include <CEGUI/ImageManager.h>
#include <CEGUI/Renderer.h>
#include <CEGUI/System.h>
#include <CEGUI/Window.h>

#include "console/GUITexture.h"
#include "d3d/Texture.h"

CGuiTextureImage::~CGuiTextureImage() {
  if (CEGUI::System::getSingletonPtr() != nullptr) Destroy(nullptr);
}

bool CGuiTextureImage::Show(CTextureInterface* texture, CEGUI::Window* staticImage) {
  Destroy(staticImage);
  auto* engineTexture = dynamic_cast<CTexture*>(texture);
  if (engineTexture == nullptr) return false;
  CGUITexture* gui = engineTexture->GetGUITexture();
  if (gui == nullptr) return false;
  m_pGUITexture = gui;
  auto& image = static_cast<CEGUI::BasicImage&>(
      CEGUI::ImageManager::getSingleton().create("BasicImage", m_name));
  image.setTexture(gui);
  image.setArea(CEGUI::Rectf(0.0f, 0.0f, static_cast<float>(engineTexture->GetWidth()),
                             static_cast<float>(engineTexture->GetHeight())));
  image.setOffset(CEGUI::Vector2f(0.0f, 0.0f));
  if (staticImage) staticImage->setProperty("Image", m_name);
  return true;
}

void CGuiTextureImage::Destroy(CEGUI::Window* staticImage) {
  if (staticImage) staticImage->setProperty("Image", "");
  CEGUI::ImageManager* images = CEGUI::ImageManager::getSingletonPtr();
  if (images != nullptr && images->isDefined(m_name)) images->destroy(m_name);
  if (m_pGUITexture == nullptr) return;
  CEGUI::Texture* gui = m_pGUITexture;
  m_pGUITexture = nullptr;
  if (CEGUI::System* system = CEGUI::System::getSingletonPtr())
    system->getRenderer()->destroyTexture(*gui);
}
