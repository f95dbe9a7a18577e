#include "framework/ScriptEvent.h"

#include <angelscript/scripthelper.h>

#include "framework/EngineGlobals.h"

using namespace AngelScript;

namespace {

bool TakesArgument(const asIScriptFunction* pFunction, const geSScriptArgument& arg) {
  const asUINT nParams = pFunction->GetParamCount();
  if (nParams == 0) return true;
  if (nParams != 1 || !arg.szType) return false;
  int nTypeId = 0;
  asDWORD dwFlags = 0;
  if (pFunction->GetParam(0, &nTypeId, &dwFlags) < 0) return false;
  const int nExpected = pFunction->GetEngine()->GetTypeIdByDecl(arg.szType);
  if (nExpected < 0) return false;
  if (arg.bHandle)
    return (nTypeId & ~asTYPEID_HANDLETOCONST) == (nExpected | asTYPEID_OBJHANDLE) &&
           (dwFlags & asTM_INOUTREF) == 0;
  return nTypeId == nExpected && (dwFlags & asTM_INOUTREF) != 0;
}

// Runs `call` on the context; a context in the middle of a script keeps its state aside
// meanwhile, so an event raised from a script does not tear down the script that raised it.
template <class Call>
int RunNested(asIScriptContext* pContext, Call call) {
  const bool bNested = pContext->GetState() == asEXECUTION_ACTIVE;
  if (bNested && pContext->PushState() < 0) return asCONTEXT_ACTIVE;
  const int nResult = call();
  if (bNested) pContext->PopState();
  return nResult;
}

}  // namespace

asIScriptFunction* geFindScriptFunction(const char* szModule, const char* szFunction) {
  if (!g_pScriptEngine || !szModule || !szFunction) return nullptr;
  asIScriptModule* pModule = g_pScriptEngine->GetModule(szModule, asGM_ONLY_IF_EXISTS);
  return pModule ? pModule->GetFunctionByName(szFunction) : nullptr;
}

int geRunScriptEvent(asIScriptContext* pContext, asIScriptFunction* pFunction,
                     const geSScriptArgument& arg, asDWORD* pReturn) {
  if (!pContext || !pFunction) return asNO_FUNCTION;
  if (!TakesArgument(pFunction, arg)) return asINVALID_ARG;
  return RunNested(pContext, [&] {
    int nResult = pContext->Prepare(pFunction);
    if (nResult >= 0 && pFunction->GetParamCount() == 1)
      nResult = arg.bHandle ? pContext->SetArgObject(0, arg.pValue)
                            : pContext->SetArgAddress(0, arg.pValue);
    if (nResult < 0) return nResult;
    nResult = pContext->Execute();
    if (nResult == asEXECUTION_FINISHED && pReturn) *pReturn = pContext->GetReturnDWord();
    return nResult;
  });
}

int geRunScriptText(asIScriptContext* pContext, const char* szModule, const char* szText) {
  if (!pContext || !g_pScriptEngine || !szModule || !szText) return asINVALID_ARG;
  asIScriptModule* pModule = g_pScriptEngine->GetModule(szModule, asGM_ONLY_IF_EXISTS);
  if (!pModule) return asNO_MODULE;
  return RunNested(pContext,
                   [&] { return ExecuteString(g_pScriptEngine, szText, pModule, pContext); });
}
