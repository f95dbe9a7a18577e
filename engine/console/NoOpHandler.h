#pragma once
// The event handler of tool-window events that need no action: handled, nothing done.
namespace CEGUI {
class EventArgs;
}

bool NoOpHandler(const CEGUI::EventArgs& args);
