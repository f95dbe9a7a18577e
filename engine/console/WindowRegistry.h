#pragma once
// Every console and tool window by its full name ("ZeKorb/Console/Editbox", ...). The GUI library
// reads '/' in a child name as a path and keeps names unique among siblings only, so the windows
// are created and found here: each keeps its full name, unique across the registry, and a
// destroyed window (on its own or with its parent) drops out by itself.
#include <map>
#include <string>

#include <CEGUI/Event.h>

namespace CEGUI {
class EventArgs;
class Window;
}  // namespace CEGUI

class CWindowRegistry {
 public:
  CWindowRegistry() = default;
  ~CWindowRegistry();
  CWindowRegistry(const CWindowRegistry&) = delete;
  CWindowRegistry& operator=(const CWindowRegistry&) = delete;

  // Creates a window of `type` named `name` under `parent` (none: a window of its own, such as a
  // root). Raises the GUI library's AlreadyExistsException for a name in use and its own
  // exceptions for an unknown type.
  CEGUI::Window* Create(const char* type, const char* name, CEGUI::Window* parent);
  // Raises UnknownObjectException when no live window has `name`.
  CEGUI::Window* Find(const char* name) const;
  bool Contains(const char* name) const;
  // Forgets every window without destroying any (the GUI library destroys its own at its end).
  void Clear();

 private:
  struct Entry {
    CEGUI::Window* pWindow;
    CEGUI::Event::Connection destroyed;
  };

  bool OnDestructionStarted(const CEGUI::EventArgs& args);

  std::map<std::string, Entry, std::less<>> m_windows;
};
