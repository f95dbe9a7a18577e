#pragma once
// The checked forms of the script index's registrations: each passes its result on to the
// "Register failed" line of the script log and goes on, as the whole script API does.
#include <angelscript.h>

// The flags of a framework or engine object that scripts hold by handle only, never counting,
// copying or freeing it.
inline constexpr AngelScript::asDWORD kScriptObjectFlags =
    AngelScript::asOBJ_REF | AngelScript::asOBJ_NOCOUNT;

// The flags of a record or maths type that scripts copy bit by bit; `layout` adds the all-floats
// flag where it applies, so the record comes back by value in the right registers.
template <class T>
AngelScript::asDWORD geScriptValueFlags(AngelScript::asDWORD layout = 0) {
  return AngelScript::asOBJ_VALUE | AngelScript::asOBJ_POD | layout |
         AngelScript::asGetTypeTraits<T>();
}

void geCheckedType(const char* szName, int nByteSize, AngelScript::asDWORD nFlags,
                   const char* szDescription = "");
void geCheckedMethod(const char* szTypeName, const char* szDeclaration,
                     const AngelScript::asSFuncPtr& function,
                     AngelScript::asDWORD nCallConv = AngelScript::asCALL_THISCALL,
                     const char* szDescription = "");
// Glue taking the object as its last parameter.
void geCheckedGlue(const char* szTypeName, const char* szDeclaration,
                   const AngelScript::asSFuncPtr& function, const char* szDescription = "");
void geCheckedProperty(const char* szTypeName, const char* szDeclaration, int nByteOffset,
                       const char* szDescription = "");
void geCheckedFunction(const char* szDeclaration, const AngelScript::asSFuncPtr& function,
                       const char* szDescription = "");
// Operators and behaviours go straight to the script engine and stay out of the index.
void geCheckedOperator(const char* szTypeName, const char* szDeclaration,
                       const AngelScript::asSFuncPtr& function);
