#include "console/WindowRegistry.h"

#include <CEGUI/Exceptions.h>
#include <CEGUI/SubscriberSlot.h>
#include <CEGUI/Window.h>
#include <CEGUI/WindowManager.h>

CWindowRegistry::~CWindowRegistry() { Clear(); }

CEGUI::Window* CWindowRegistry::Create(const char* type, const char* name, CEGUI::Window* parent) {
  if (Contains(name))
    throw CEGUI::AlreadyExistsException(CEGUI::String("A window named '") + name +
                                        "' already exists.");
  CEGUI::Window* window = CEGUI::WindowManager::getSingleton().createWindow(type, name);
  if (parent) {
    try {
      parent->addChild(window);
    } catch (...) {
      CEGUI::WindowManager::getSingleton().destroyWindow(window);
      throw;
    }
  }
  CEGUI::Event::Connection destroyed = window->subscribeEvent(
      CEGUI::Window::EventDestructionStarted,
      CEGUI::Event::Subscriber(&CWindowRegistry::OnDestructionStarted, this));
  m_windows.emplace(name, Entry{window, destroyed});
  return window;
}

CEGUI::Window* CWindowRegistry::Find(const char* name) const {
  auto found = m_windows.find(std::string_view(name));
  if (found == m_windows.end())
    throw CEGUI::UnknownObjectException(CEGUI::String("No window named '") + name +
                                        "' is registered.");
  return found->second.pWindow;
}

bool CWindowRegistry::Contains(const char* name) const {
  return m_windows.find(std::string_view(name)) != m_windows.end();
}

void CWindowRegistry::Clear() {
  for (auto& [name, entry] : m_windows) entry.destroyed->disconnect();
  m_windows.clear();
}

// Windows are looked up by the pointer the event names: a window renamed since its creation
// still drops out under the name it was registered with.
bool CWindowRegistry::OnDestructionStarted(const CEGUI::EventArgs& args) {
  const CEGUI::Window* window = static_cast<const CEGUI::WindowEventArgs&>(args).window;
  for (auto it = m_windows.begin(); it != m_windows.end(); ++it) {
    if (it->second.pWindow != window) continue;
    // Still inside this connection's own call: dropping the connection object is enough.
    m_windows.erase(it);
    break;
  }
  return true;
}
