#include "console/NoOpHandler.h"

bool NoOpHandler(const CEGUI::EventArgs& /*args*/) { return true; }
