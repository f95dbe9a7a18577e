#include "cpelto/ScriptGameEntity.h"

// Bind once CEntityWalking lands; see the header for each declaration and its place.
void RegisterEntityScriptType() {}
void RegisterEntityScriptMembers() {}
void RegisterEntityScriptCast() {}
