#pragma once
class CScriptRegistrar;

// The options of nulls, the methods of nulls and the sound stream type the options hold, for
// scripts. Runs after the meshes (CWorldObjectInterface) and before the cameras.
bool RegisterNullTypes(CScriptRegistrar& registrar);
