#pragma once
// The framework's whole script API on the game's script engine, registered once, right after the
// engine is made and before any module loads: the global index entry, the constants, the two
// text types and their conversions, the maths, the engine's types, then the framework's types
// and their members. A failed registration writes "Register failed" to the script log and the
// rest goes on; a script that needs what is missing then fails to build.
void geRegisterFrameworkScriptInterface();
