#pragma once
class CScriptRegistrar;

// GetMeshParent, GetLightParent, GetSurfaceParent, GetSceneParent and GetNullParent: the engine
// object the innermost running script works on, or null when it is not of the asked kind (a
// console line has none).
bool RegisterParentFunctions(CScriptRegistrar& registrar);
