#include "framework/ScriptRegistration.h"

#include "framework/EngineGlobals.h"
#include "framework/ScriptHost.h"
#include "framework/ScriptIndex.h"

using namespace AngelScript;

void geCheckedType(const char* szName, int nByteSize, asDWORD nFlags, const char* szDescription) {
  LogASRegisterError(geRegisterObjectType(szName, nByteSize, nFlags, szDescription));
}

void geCheckedMethod(const char* szTypeName, const char* szDeclaration, const asSFuncPtr& function,
                     asDWORD nCallConv, const char* szDescription) {
  LogASRegisterError(
      geRegisterObjectMethod(szTypeName, szDeclaration, nCallConv, szDescription, function));
}

void geCheckedGlue(const char* szTypeName, const char* szDeclaration, const asSFuncPtr& function,
                   const char* szDescription) {
  geCheckedMethod(szTypeName, szDeclaration, function, asCALL_CDECL_OBJLAST, szDescription);
}

void geCheckedProperty(const char* szTypeName, const char* szDeclaration, int nByteOffset,
                       const char* szDescription) {
  LogASRegisterError(
      geRegisterObjectProperty(szTypeName, szDeclaration, nByteOffset, szDescription));
}

void geCheckedFunction(const char* szDeclaration, const asSFuncPtr& function,
                       const char* szDescription) {
  LogASRegisterError(
      geRegisterGlobalFunction(szDeclaration, asCALL_CDECL, szDescription, function));
}

void geCheckedOperator(const char* szTypeName, const char* szDeclaration,
                       const asSFuncPtr& function) {
  LogASRegisterError(g_pScriptEngine->RegisterObjectMethod(szTypeName, szDeclaration, function,
                                                           asCALL_CDECL_OBJLAST));
}
