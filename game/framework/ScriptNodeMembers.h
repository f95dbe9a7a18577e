#pragma once
// The members scripts call on nodes and on renderable objects. Renderable objects register in two
// steps, as the script API always has: most of their members with the nodes', the two property
// readers later, after the first global functions.
void geRegisterScriptNodeMembers();
void geRegisterScriptRenderablePropertyReaders();
