#include "framework/NodeFactory.h"

#include <string_view>

std::map<std::string, geNodeCreator, std::less<>> g_mapNodeFactory;

bool RegisterNodeCreator(const char* szTypeName, geNodeCreator pCreator) {
  if (!szTypeName || !pCreator) return false;
  return g_mapNodeFactory.emplace(szTypeName, pCreator).second;
}

geCBaseNode* CreateNode(const char* szTypeName, geCBaseNode* pParent) {
  if (!szTypeName) return nullptr;
  const auto found = g_mapNodeFactory.find(std::string_view(szTypeName));
  return found != g_mapNodeFactory.end() ? found->second(pParent) : nullptr;
}
