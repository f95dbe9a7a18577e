#pragma once
// The registration of the engine's types for its script engine. RegisterBasicTypes is the one
// entry point: the script storage calls it once, before any script is compiled.
class CScriptRegistrar;

// In order: bstr, array<T> and VoidPtr; the vector, matrix and ray types; the geometry records;
// then every further registration group. Stops at the first failure; true when all registered.
bool RegisterBasicTypes(CScriptRegistrar& registrar);

// CVector3 and CVector4 with their operators and the global dot, cross, lerp and sub.
bool RegisterVectorTypes(CScriptRegistrar& registrar);

// Vertex, Face and Edge with the fields scripts see; CMaterialInterface and SurfaceTexture as
// names only, for the groups that follow.
bool RegisterGeometryRecords(CScriptRegistrar& registrar);
