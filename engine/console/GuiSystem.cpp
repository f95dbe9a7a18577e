#include "console/GuiSystem.h"

#include <windows.h>

#include <CEGUI/DefaultResourceProvider.h>
#include <CEGUI/Exceptions.h>
#include <CEGUI/Font.h>
#include <CEGUI/FontManager.h>
#include <CEGUI/GUIContext.h>
#include <CEGUI/ImageManager.h>
#include <CEGUI/Logger.h>
#include <CEGUI/MouseCursor.h>
#include <CEGUI/Renderer.h>
#include <CEGUI/Scheme.h>
#include <CEGUI/SchemeManager.h>
#include <CEGUI/System.h>
#include <CEGUI/falagard/WidgetLookManager.h>

#include "console/GuiContextInput.h"
#include "core/EngineLog.h"
#include "input/WindowProcedure.h"

namespace {

const char kSource[] = "ZK3DCEGUI";

// Each kind of file the scheme names, by resource group, in the data folder's "cegui/".
struct ResourceFolder {
  const char* group;
  const char* folder;
};
constexpr ResourceFolder kResourceFolders[] = {{"schemes", "cegui/schemes/"},
                                               {"imagesets", "cegui/imagesets/"},
                                               {"fonts", "cegui/fonts/"},
                                               {"looknfeels", "cegui/looknfeel/"}};

const char kScheme[] = "TaharezLook.scheme";
const char kCursor[] = "TaharezLook/MouseArrow";
const char kFontFile[] = "Tahoma-12.font";
const char kFont[] = "Tahoma-12";

}  // namespace

CGuiSystem::CGuiSystem(const GuiSystemSettings& settings)
    : m_pLog(settings.pLog),
      m_dataFolder(settings.szDataFolder ? settings.szDataFolder : ""),
      m_logFile(settings.szLogFile ? settings.szLogFile : "CEGUI.log"),
      m_bConsoleLocked(settings.bConsoleLocked),
      m_pWindowProcedure(settings.pWindowProcedure) {}

CGuiSystem::~CGuiSystem() { Release(); }

CGuiInput* CGuiSystem::GetInput() const { return m_pInput.get(); }

int CGuiSystem::InitializeCEGUI(std::unique_ptr<CEGUI::Renderer> renderer) {
  if (m_bConsoleLocked) return 1;
  if (IsStarted() || !renderer) return 0;
  m_pRenderer = std::move(renderer);
  try {
    CreateSystem();
    LoadScheme();
    SetDefaults();
    CreateRootWindow();
  } catch (const CEGUI::Exception& exception) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, "CEGUI Exception: %s\n",
          exception.getMessage().c_str());
    Release();
    return 0;
  }
  m_pInput = std::make_unique<CGuiContextInput>(m_pSystem->getDefaultGUIContext());
  if (m_pWindowProcedure) m_pWindowProcedure->SetGui(m_pInput.get());
  return 1;
}

void CGuiSystem::Release() {
  if (m_pWindowProcedure) m_pWindowProcedure->SetGui(nullptr);
  m_pInput.reset();
  if (m_pSystem) {
    // The windows go with the system; the registry hears of each as it goes.
    CEGUI::System::destroy();
    m_pSystem = nullptr;
  }
  m_windows.Clear();
  m_pRenderer.reset();
}

// The library's log goes where it was asked, most verbose; its exceptions reach that log and the
// engine's, not standard error.
void CGuiSystem::CreateSystem() {
  CEGUI::Exception::setStdErrEnabled(false);
  m_pSystem = &CEGUI::System::create(*m_pRenderer, nullptr, nullptr, nullptr, nullptr, "",
                                     m_logFile.c_str());
  CEGUI::Logger::getSingleton().setLoggingLevel(CEGUI::Insane);
}

// The scheme and every file it names load through resource groups over the data folder, so the
// files resolve there whatever the current directory is.
void CGuiSystem::LoadScheme() {
  auto* provider =
      static_cast<CEGUI::DefaultResourceProvider*>(m_pSystem->getResourceProvider());
  for (const ResourceFolder& resource : kResourceFolders)
    provider->setResourceGroupDirectory(resource.group, m_dataFolder + resource.folder);
  CEGUI::Scheme::setDefaultResourceGroup("schemes");
  CEGUI::ImageManager::setImagesetDefaultResourceGroup("imagesets");
  CEGUI::Font::setDefaultResourceGroup("fonts");
  CEGUI::WidgetLookManager::setDefaultResourceGroup("looknfeels");
  CEGUI::SchemeManager::getSingleton().createFromFile(kScheme);
}

// The cursor starts where the system pointer is.
void CGuiSystem::SetDefaults() {
  CEGUI::GUIContext& context = m_pSystem->getDefaultGUIContext();
  CEGUI::MouseCursor& cursor = context.getMouseCursor();
  cursor.setDefaultImage(kCursor);
  if (!CEGUI::FontManager::getSingleton().isDefined(kFont))
    CEGUI::FontManager::getSingleton().createFromFile(kFontFile);
  context.setDefaultFont(kFont);
  POINT pointer = {};
  if (GetCursorPos(&pointer))
    cursor.setPosition(
        CEGUI::Vector2f(static_cast<float>(pointer.x), static_cast<float>(pointer.y)));
}

void CGuiSystem::CreateRootWindow() {
  m_pSystem->getDefaultGUIContext().setRootWindow(
      m_windows.Create("DefaultWindow", "root_wnd", nullptr));
}
