#pragma once
// Run-time class identity by name, which the framework and the game use instead of the
// language's own type information. A class that overrides GetClassName answers IsKindOf with its
// own name and then asks its base, so a kind test walks from the most derived class upward.
#include "framework/InternalBaseObject.h"

class geCBaseObject : public TInternalBaseObject {
 public:
  virtual const char* GetClassName() const;
  virtual bool IsKindOf(const char* szClassName) const;

 protected:
  // Exact, case-sensitive comparison; a null name matches nothing.
  static bool ClassNameIs(const char* szClassName, const char* szOwnName);
};
