#include "script/Script.h"

#include <angelscript.h>

#include <cstdio>

#include "core/EngineLog.h"
#include "script/ScriptModule.h"
#include "script/ScriptStorage.h"

using namespace AngelScript;

namespace {
constexpr const char* kSource = "Script";

template <size_t N>
void Keep(char (&field)[N], const char* text) {
  std::snprintf(field, N, "%s", text != nullptr ? text : "");
}
}  // namespace

void CScript::Log(int line, const char* format, const char* text) {
  if (m_pLog != nullptr) m_pLog->Log(kSource, line, CEngineLog::kLevelError, format, text);
}

UINT CScript::Init(const char* module, const char* name, const char* file, const char* function) {
  Keep(m_szFileName, file);
  Keep(m_szModuleName, module);
  Keep(m_szFunctionName, function);
  Keep(m_szName, name != nullptr && name[0] != '\0' ? name : file);
  if (m_szFileName[0] == '\0') {
    Log(__LINE__, "ERROR!!! - Script Has No File Name In Module: %s\n", m_szModuleName);
    return 0;
  }
  CScriptModule* scriptModule = m_pStorage->AddModule(m_szModuleName);
  if (scriptModule == nullptr) {
    Log(__LINE__, "ERROR!!! - Can't Get Module: %s\n", m_szModuleName);
    return 0;
  }
  if (!scriptModule->AddFile(m_szFileName)) {
    Log(__LINE__, "ERROR!!! - Can't Add File To Module: %s\n", m_szModuleName);
    return 0;
  }
  return 1;
}

UINT CScript::Execute(ScriptParent parent) {
  m_pStorage->CompileModules();
  m_Parent = parent;
  asIScriptEngine* engine = m_pStorage->GetScriptEngine();
  asIScriptContext* context = m_pStorage->GetContext();
  // The storage's one context is busy when this entry runs inside another entry's function.
  const bool nested = context != nullptr && context->GetState() == asEXECUTION_ACTIVE;
  if (nested) context = engine->RequestContext();
  CScriptStorage::RunScope run(*m_pStorage, this, parent, nullptr);

  asIScriptModule* module =
      engine != nullptr ? engine->GetModule(m_szModuleName, asGM_ONLY_IF_EXISTS) : nullptr;
  asIScriptFunction* function = module != nullptr && m_szFunctionName[0] != '\0'
                                    ? module->GetFunctionByName(m_szFunctionName)
                                    : nullptr;
  UINT result = 0;
  if (context == nullptr || function == nullptr || context->Prepare(function) < 0)
    Log(__LINE__, "ERROR!!! - Can't Prepare Script For Execution: %s\n", m_szName);
  else if (context->Execute() != asEXECUTION_FINISHED)
    Log(__LINE__, "ERROR!!! - Problem Executing Script: %s\n", m_szName);
  else
    result = 1;
  if (context != nullptr) {
    if (nested)
      engine->ReturnContext(context);
    else
      context->Unprepare();
  }
  return result;
}
