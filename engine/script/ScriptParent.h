#pragma once
// The engine object a running script works on, with its kind, so that the functions reading it
// back for scripts never take a surface for a world object. A console line has none.
#include "ZKDXInterface.h"

struct ScriptParent {
  enum Kind { kNone, kWorldObject, kSurface, kScene };

  Kind kind = kNone;
  void* object = nullptr;

  static ScriptParent Of(CWorldObjectInterface* object) { return {kWorldObject, object}; }
  static ScriptParent Of(CSurfaceInterface* object) { return {kSurface, object}; }
  static ScriptParent Of(CSceneInterface* object) { return {kScene, object}; }

  // The object when it is of that kind, else null.
  CWorldObjectInterface* GetWorldObject() const {
    return kind == kWorldObject ? static_cast<CWorldObjectInterface*>(object) : nullptr;
  }
  CSurfaceInterface* GetSurface() const {
    return kind == kSurface ? static_cast<CSurfaceInterface*>(object) : nullptr;
  }
  CSceneInterface* GetScene() const {
    return kind == kScene ? static_cast<CSceneInterface*>(object) : nullptr;
  }
};
