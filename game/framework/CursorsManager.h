#pragma once
// The node every cursor hangs under ("EngineCursorsManager", a child of the root node); the one
// instance is reachable from everywhere while it lives.
#include "framework/BaseNode.h"
#include "framework/Singleton.h"

class geCCursorsManager : public geCBaseNode, public geTSingleton<geCCursorsManager> {
 public:
  using geCBaseNode::geCBaseNode;

  size_t GetClassSize() const override;
};
