#include "framework/PropertyHelpers.h"

void GetPropertyAsString(const geCProperties& properties, const char* szName, std::string* pOut) {
  if (pOut) *pOut = properties.Get(szName).AsString();
}

void InsertProperty(geCProperties& properties, const char* szName, const geCVariant& value) {
  properties.Insert(szName, value);
}
