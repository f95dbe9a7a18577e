#pragma once
// The application core's members for scripts, and the global functions that sit around them:
// texts, the node-to-object cast, logging, the mouse ray, the random number and the handle
// "GameCore" through which scripts reach the core.
// The functions registered before the core's members: GetSubstring to StrStr.
void geRegisterScriptFirstGlobals();
void geRegisterScriptCoreMembers();
// The rest of the global functions and the "GameCore" handle.
void geRegisterScriptLastGlobals();
