#pragma once
// The slice of the engine that the game's scripts see: the vector and the ray as values, and the
// light, mesh, scene and camera interfaces as handles with a few of their operations, together
// with the flags of the scene's ray test and the spaces of the position queries.
void geRegisterScriptEngineTypes();
