#pragma once
// What the tool windows' free-function handlers share: the widget that raised an event, and any
// widget of the running GUI by its full name ("ZeKorb/Console/SurfaceEditorWindow/Refresh").
#include <string>

namespace CEGUI {
class EventArgs;
class MultiColumnList;
class Window;
}  // namespace CEGUI

// The window of a window event.
CEGUI::Window* EventWindow(const CEGUI::EventArgs& args);
// Raises the GUI library's UnknownObjectException when no GUI runs or no window has the name.
CEGUI::Window* FindToolWindow(const std::string& name);
// Shown: visible, enabled and, when asked, on top; hidden: none of them.
void ShowToolFrame(CEGUI::Window* frame, bool shown, bool onTop);
// Leaves a single-selection list with nothing selected.
void ClearSelection(CEGUI::MultiColumnList* list);
