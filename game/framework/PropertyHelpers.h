#pragma once
// What the script API does with a node's properties beyond the bag's own operations.
#include <string>

#include "framework/Properties.h"

// The property converted to text (empty for a value that is not text) into *pOut.
void GetPropertyAsString(const geCProperties& properties, const char* szName, std::string* pOut);
// Adds the name with the value; a name already there keeps its value.
void InsertProperty(geCProperties& properties, const char* szName, const geCVariant& value);
