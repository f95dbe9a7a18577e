#include "console/ToolWindows.h"

#include <CEGUI/Exceptions.h>
#include <CEGUI/Window.h>
#include <CEGUI/widgets/MultiColumnList.h>

#include "console/GuiSystem.h"
#include "core/EngineContext.h"

CEGUI::Window* EventWindow(const CEGUI::EventArgs& args) {
  return static_cast<const CEGUI::WindowEventArgs&>(args).window;
}

CEGUI::Window* FindToolWindow(const std::string& name) {
  CGuiSystem* gui = GetEngineContext()->pGui;
  if (gui == nullptr || !gui->IsStarted())
    throw CEGUI::UnknownObjectException("No GUI runs to hold '" + CEGUI::String(name.c_str()) + "'.");
  return gui->GetWindows().Find(name.c_str());
}

void ShowToolFrame(CEGUI::Window* frame, bool shown, bool onTop) {
  frame->setVisible(shown);
  frame->setEnabled(shown);
  frame->setAlwaysOnTop(shown && onTop);
}

void ClearSelection(CEGUI::MultiColumnList* list) {
  list->setSelectionMode(CEGUI::MultiColumnList::RowMultiple);
  list->setSelectionMode(CEGUI::MultiColumnList::RowSingle);
}
