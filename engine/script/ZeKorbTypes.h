#pragma once
// The two groups that declare the engine interface types other groups name, and run those
// groups in their fixed order.
#include <source_location>

class CScriptRegistrar;

// The Direct3D structures, CSceneInterface, the sprites, CMaterialStorageInterface,
// CTextureStorageInterface, the Direct3D resources and the timer, in this order.
bool RegisterZeKorbAddTypes(CScriptRegistrar& registrar);

// CMeshInterface, then the materials and textures, meshes, nulls, cameras, lights and scenes.
bool RegisterZeKorbTypes(CScriptRegistrar& registrar);

// Declares the engine interface `type` under the group `source` that will register it with its
// methods at this place, logging that group's first line if refused. Until each such group
// exists, this keeps the declarations that name its type buildable.
bool DeclarePendingType(CScriptRegistrar& registrar, const char* source, const char* type,
                        const char* message,
                        std::source_location where = std::source_location::current());
