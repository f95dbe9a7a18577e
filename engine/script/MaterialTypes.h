#pragma once
class CScriptRegistrar;

// Textures, materials, their storages, the two material-texture descriptions and the surfaces
// of meshes for scripts. Runs first among the scene object types, after CMeshInterface: the
// mesh group names CSurfaceInterface, declared here.
bool RegisterMaterialTypes(CScriptRegistrar& registrar);
