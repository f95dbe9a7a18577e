#pragma once
// The game's script API, registered after the framework's on the game's one script engine: the
// first global functions, the node types, the level's, the entity's and the player's members,
// the utility functions, the player's state, the level scene and camera, the game core's
// members, the profile items and the menus; last the registration index goes to the script
// log. A failed registration writes "Register failed" and the rest goes on.
class CPeltoCore;

void RegisterGameScriptInterface(CPeltoCore& core);
