#pragma once
// The menus' part of the game's script API: the D3DX matrix stack as a script type, the menu
// item classes with their methods, and the casts that take a script from a node to a menu item.
// The script types carry no inheritance, so the casts are the only way between them. Registered
// after the framework's API, whose node, vector and text types the declarations use; a failed
// registration writes "Register failed" to the script log and the rest goes on.
void RegisterMenuScriptInterface();
