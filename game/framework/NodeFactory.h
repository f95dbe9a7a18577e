#pragma once
// Node types by name: XML elements name the class of their node by a type name, and the factory
// builds a node of that class under a given parent. The application core fills the map once at
// start-up; only node building from XML reads it.
#include <map>
#include <new>
#include <string>

class geCBaseNode;

// Builds a node of one class under the parent (which may be null); null when there is no memory
// for it. It neither registers properties nor configures the node: its caller does.
using geNodeCreator = geCBaseNode* (*)(geCBaseNode* pParent);

// Type names compare byte by byte, so letter case matters.
extern std::map<std::string, geNodeCreator, std::less<>> g_mapNodeFactory;

// Stores the creator under the name; false, keeping the first creator, when the name is taken
// already or missing.
bool RegisterNodeCreator(const char* szTypeName, geNodeCreator pCreator);

template <class T>
geCBaseNode* CreateNodeOfClass(geCBaseNode* pParent) {
  return new (std::nothrow) T(pParent);
}

template <class T>
bool RegisterNodeType(const char* szTypeName) {
  return RegisterNodeCreator(szTypeName, &CreateNodeOfClass<T>);
}

// A new node of the registered type, held by the parent when there is one; null for a type
// name that is not registered.
geCBaseNode* CreateNode(const char* szTypeName, geCBaseNode* pParent);
