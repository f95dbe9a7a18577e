#include "framework/BaseObject.h"

#include <cstring>

const char* geCBaseObject::GetClassName() const { return "geCBaseObject"; }

bool geCBaseObject::IsKindOf(const char* szClassName) const {
  return ClassNameIs(szClassName, "geCBaseObject");
}

bool geCBaseObject::ClassNameIs(const char* szClassName, const char* szOwnName) {
  return szClassName != nullptr && std::strcmp(szClassName, szOwnName) == 0;
}
