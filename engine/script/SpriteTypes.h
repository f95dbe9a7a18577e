#pragma once

class CScriptRegistrar;

// Sprites, the sprite storage, the null type and CreateSpriteForNullObject for scripts. Runs
// after the Direct3D structures and CSceneInterface, before the Direct3D resources, whose
// renderer hands scripts the sprite storage.
bool RegisterSpriteTypes(CScriptRegistrar& registrar);
