#pragma once
// The game core's additions to the scripts' "geCGameCore": level switching and the level list,
// the core's properties, the key bindings and animation identifiers as properties, the
// key-binding file, the any-key check and the player profiles.
class CPeltoCore;

// The properties are addressed from the start of the core, so `core` gives their places; every
// game core has them at the same ones.
void RegisterGameCoreScriptMembers(CPeltoCore& core);
