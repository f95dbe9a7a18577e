#pragma once
// Joins the shared world-object part to a kind's interface and answers the interface's common
// operations from it, so each kind implements only what is its own (GetMatrix, GetRotationMatrix
// and RemoveAdditionalTransformation among the common ones).
#include "scene/WorldObject.h"

template <class TInterface>
class TWorldObject : public CWorldObject, public TInterface {
 public:
  using CWorldObject::CWorldObject;

  UINT GetWorldObjectType() override { return CWorldObject::GetWorldObjectType(); }
  CWorldObjectInterface* GetNextWorldObject() override { return GetNextInterface(); }
  CWorldObjectInterface* GetParentObject(UINT ignored) override {
    return CWorldObject::GetParentObject(ignored);
  }
  void AddRef() override { AddReference(); }
  void Release() override { ReleaseReference(); }
  CWorldObjectInterface* GetInterface() override { return this; }
};
