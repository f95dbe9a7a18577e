#pragma once
// A function as the script engine is to call it: the pointer and its calling convention.
#include <angelscript.h>

struct ScriptCall {
  AngelScript::asSFuncPtr function;
  AngelScript::asDWORD convention;
};
