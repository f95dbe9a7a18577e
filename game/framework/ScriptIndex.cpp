#include "framework/ScriptIndex.h"

#include <map>
#include <string>
#include <utility>

#include "framework/EngineGlobals.h"
#include "framework/Logger.h"
#include "framework/Properties.h"

using namespace AngelScript;

namespace {

struct geSScriptIndexType {
  std::string strTypeName;
  std::string strDescription;
  std::map<std::string, std::pair<std::string, std::string>> mapDeclarations;
};

std::map<std::string, geSScriptIndexType>& Index() {
  static std::map<std::string, geSScriptIndexType> index;
  return index;
}

// Records the declaration under `szKey`; false when that key has no entry. A declaration that is
// there already keeps its first description.
bool Record(const char* szKey, const char* szDeclaration, const char* szDescription) {
  auto entry = Index().find(szKey);
  if (entry == Index().end()) return false;
  entry->second.mapDeclarations.try_emplace(szDeclaration, szDeclaration,
                                            szDescription ? szDescription : "");
  return true;
}

// Runs the registration unless recording is on and the key has no entry.
template <class Register>
int RecordAndRegister(const char* szKey, const char* szDeclaration, const char* szDescription,
                      Register registration) {
  if (geIsScriptIndexOn() && !Record(szKey, szDeclaration, szDescription)) return 0;
  return registration();
}

}  // namespace

bool geIsScriptIndexOn() {
  if (!g_pCoreProperties) return false;
  const geCVariant value = g_pCoreProperties->Get("CreateASIndex");
  return value.GetType() != geCVariant::TYPE_EMPTY && value.AsUnsignedInt() == 1;
}

bool geAddScriptIndexType(const char* szName, const char* szDescription) {
  if (!geIsScriptIndexOn()) return true;
  return Index()
      .try_emplace(szName, geSScriptIndexType{szName, szDescription ? szDescription : "", {}})
      .second;
}

void geAddScriptIndexEntry(const char* szKey, const char* szTypeName, const char* szDescription) {
  Index().try_emplace(szKey,
                      geSScriptIndexType{szTypeName, szDescription ? szDescription : "", {}});
}

int geRegisterObjectType(const char* szName, int nByteSize, asDWORD nFlags,
                         const char* szDescription) {
  if (!geAddScriptIndexType(szName, szDescription)) return 0;
  return g_pScriptEngine->RegisterObjectType(szName, nByteSize, nFlags);
}

int geRegisterObjectMethod(const char* szTypeName, const char* szDeclaration, asDWORD nCallConv,
                           const char* szDescription, const asSFuncPtr& function) {
  return RecordAndRegister(szTypeName, szDeclaration, szDescription, [&] {
    return g_pScriptEngine->RegisterObjectMethod(szTypeName, szDeclaration, function, nCallConv);
  });
}

int geRegisterObjectProperty(const char* szTypeName, const char* szDeclaration, int nByteOffset,
                             const char* szDescription) {
  return RecordAndRegister(szTypeName, szDeclaration, szDescription, [&] {
    return g_pScriptEngine->RegisterObjectProperty(szTypeName, szDeclaration, nByteOffset);
  });
}

int geRegisterGlobalFunction(const char* szDeclaration, asDWORD nCallConv,
                             const char* szDescription, const asSFuncPtr& function) {
  return RecordAndRegister(kScriptIndexGlobalKey, szDeclaration, szDescription, [&] {
    return g_pScriptEngine->RegisterGlobalFunction(szDeclaration, function, nCallConv);
  });
}

int geRegisterGlobalProperty(const char* szDeclaration, void* pPointer,
                             const char* szDescription) {
  return RecordAndRegister(kScriptIndexGlobalKey, szDeclaration, szDescription, [&] {
    return g_pScriptEngine->RegisterGlobalProperty(szDeclaration, pPointer);
  });
}

void DumpScriptIndex() {
  if (!geIsScriptIndexOn()) return;
  g_ScriptLogger.Log("\nAngelScript Registered types:\n");
  g_ScriptLogger.Log("----------------------------\n");
  for (const auto& [key, type] : Index()) {
    g_ScriptLogger.Log(" -%s\n", type.strTypeName.c_str());
    if (!type.strDescription.empty()) g_ScriptLogger.Log("  %s\n", type.strDescription.c_str());
    for (const auto& [declaration, entry] : type.mapDeclarations) {
      g_ScriptLogger.Log("   - %s\n", entry.first.c_str());
      if (!entry.second.empty()) g_ScriptLogger.Log("       %s\n", entry.second.c_str());
    }
  }
  g_ScriptLogger.Log("-----------------------------------------\n");
}

void geClearScriptIndex() { Index().clear(); }
