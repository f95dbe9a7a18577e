#pragma once
// The two groups that declare the engine interface types other groups name, and run those
// groups in their fixed order.
class CScriptRegistrar;

// The Direct3D structures, CSceneInterface, the sprites, CMaterialStorageInterface,
// CTextureStorageInterface, the Direct3D resources and the timer, in this order.
bool RegisterZeKorbAddTypes(CScriptRegistrar& registrar);

// CMeshInterface, then the materials and textures, meshes, nulls, cameras, lights and scenes.
bool RegisterZeKorbTypes(CScriptRegistrar& registrar);
