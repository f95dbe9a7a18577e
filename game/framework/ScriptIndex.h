#pragma once
// The index of the script API: every declaration the framework and the game register can be
// recorded with a short description and written to the script log as a reference. Recording is
// on while the core's property "CreateASIndex" is 1; it is read at every registration. With
// recording on, a member of a type that has no index entry and a type registered a second time
// are not registered at all (result 0). Each operation returns the script engine's result.
#include <angelscript.h>

// Index key and title of the global functions and properties.
inline constexpr const char* kScriptIndexGlobalKey = "GLOBAL";

int geRegisterObjectType(const char* szName, int nByteSize, AngelScript::asDWORD nFlags,
                         const char* szDescription);
int geRegisterObjectMethod(const char* szTypeName, const char* szDeclaration,
                           AngelScript::asDWORD nCallConv, const char* szDescription,
                           const AngelScript::asSFuncPtr& function);
int geRegisterObjectProperty(const char* szTypeName, const char* szDeclaration, int nByteOffset,
                             const char* szDescription);
int geRegisterGlobalFunction(const char* szDeclaration, AngelScript::asDWORD nCallConv,
                             const char* szDescription, const AngelScript::asSFuncPtr& function);
int geRegisterGlobalProperty(const char* szDeclaration, void* pPointer, const char* szDescription);

// Whether a type registered some other way may be registered now: true with recording off, and
// with recording on when the type had no entry yet, which is then added.
bool geAddScriptIndexType(const char* szName, const char* szDescription);
// Adds an entry under `szKey`, recording on or off; an existing entry stays as it is.
void geAddScriptIndexEntry(const char* szKey, const char* szTypeName, const char* szDescription);
bool geIsScriptIndexOn();
// Writes the index to the script log when recording is on.
void DumpScriptIndex();
// Empties the index.
void geClearScriptIndex();
