#pragma once
// Runs one script function of a game module on a given context with the one argument the
// framework passes to script events: a node handle ("geCBaseNode@") or a record by reference
// ("geSUpdateArgument&", "geMessage&"). A function may also take no argument at all; one that
// declares anything else is refused rather than handed memory of another type.
#include <angelscript.h>

struct geSScriptArgument {
  // The script type of the argument, as registered ("geCBaseNode", "geSUpdateArgument", ...).
  const char* szType;
  // True: passed as a handle; false: passed by reference.
  bool bHandle;
  void* pValue;
};

// The function of the module named `szModule` called `szFunction`, or null when either is
// missing or the name is overloaded.
AngelScript::asIScriptFunction* geFindScriptFunction(const char* szModule, const char* szFunction);

// Prepares `pContext` for `pFunction`, passes the argument and executes. A context that is
// running a script already (a script that raised this event) runs the call nested and goes on
// afterwards. Returns the execution result, or a negative library code when the call could not
// be made; on a finished call *pReturn (when given) receives the function's 32-bit result.
int geRunScriptEvent(AngelScript::asIScriptContext* pContext,
                     AngelScript::asIScriptFunction* pFunction, const geSScriptArgument& arg,
                     AngelScript::asDWORD* pReturn = nullptr);

// Compiles and executes script statements in the module named `szModule` on `pContext`, nested
// when the context is running a script already. Returns the execution result, or a negative
// library code (a compile error, a missing module).
int geRunScriptText(AngelScript::asIScriptContext* pContext, const char* szModule,
                    const char* szText);
