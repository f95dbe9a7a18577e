#pragma once
class CScriptRegistrar;

// The colour record of scenes and the methods of scenes, for scripts. Runs last among the scene
// object types: its methods name all of them.
bool RegisterSceneTypes(CScriptRegistrar& registrar);
