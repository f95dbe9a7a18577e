#pragma once
class CScriptRegistrar;

// The boxes of meshes, the operations every world object shares, the triangle pairs of
// collision queries and the methods of meshes, for scripts. Runs after the materials (the mesh
// methods name CSurfaceInterface) and before the nulls, cameras and lights, which name
// CWorldObjectInterface.
bool RegisterMeshTypes(CScriptRegistrar& registrar);
