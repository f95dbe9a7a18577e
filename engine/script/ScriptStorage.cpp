#include "script/ScriptStorage.h"

#include <angelscript/scripthelper.h>

#include <cstdio>
#include <cstring>
#include <utility>

#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "script/BasicTypes.h"
#include "script/Script.h"
#include "script/ScriptModule.h"
#include "script/ScriptReleasedStreams.h"
#include "script/ScriptRegistrar.h"

using namespace AngelScript;

namespace {
constexpr const char* kSource = "ScriptStorage";

CScriptStorage* g_pScriptStorage = nullptr;

bool Equal(const char* a, const char* b) { return std::strcmp(a, b) == 0; }
const char* Text(const char* text) { return text != nullptr ? text : ""; }
}  // namespace

CScriptStorage* GetScriptStorageInterface(CEngineLog* log) {
  if (g_pScriptStorage == nullptr)
    g_pScriptStorage = NewOrFatal<CScriptStorage>("Error While Initializing",
                                                  "Can't Initialize Scripting Language", log);
  return g_pScriptStorage;
}

bool ReleaseScriptStorageInterface() {
  if (g_pScriptStorage == nullptr) return true;
  if (g_pScriptStorage->IsRunning()) return false;
  delete std::exchange(g_pScriptStorage, nullptr);
  return true;
}

CScriptStorage::CScriptStorage(CEngineLog* log)
    : m_pLog(log), m_LogStream(log), m_pMessages(&m_LogStream) {}

CScriptStorage::~CScriptStorage() {
  // No script can call through a released stream any more.
  CScriptReleasedStreams::Instance().FreeAll();
  m_Scripts = {};
  m_Modules = {};
  if (m_pContext != nullptr) m_pContext->Release();
  if (m_pEngine != nullptr) m_pEngine->ShutDownAndRelease();
}

void CScriptStorage::Log(int line, int level, const char* format, const char* text) {
  if (m_pLog != nullptr) m_pLog->Log(kSource, line, level, format, text);
}

CScriptStorage::RunScope::RunScope(CScriptStorage& storage, CScript* script, ScriptParent parent,
                                   asIScriptContext* context)
    : m_storage(storage) {
  storage.m_Runs.push_back({script, parent, context});
}

CScriptStorage::RunScope::~RunScope() { m_storage.m_Runs.pop_back(); }

UINT CScriptStorage::Initialize() {
  if (m_pEngine != nullptr) return m_pContext != nullptr ? 1 : 0;
  m_pEngine = asCreateScriptEngine(ANGELSCRIPT_VERSION);
  if (m_pEngine == nullptr) {
    Log(__LINE__, CEngineLog::kLevelError, "%s", "ERROR!!! - Can't Create Angel Script\n");
    return 0;
  }
  m_pEngine->SetMessageCallback(asFUNCTION(MessageCallback), this, asCALL_CDECL);
  CScriptRegistrar registrar(m_pEngine, m_pLog);
  if (!RegisterBasicTypes(registrar)) {
    Log(__LINE__, CEngineLog::kLevelError, "%s", "ERROR!!! - Can't Register Basic Functions\n");
    return 0;
  }
  m_pContext = m_pEngine->CreateContext();
  if (m_pContext == nullptr) {
    Log(__LINE__, CEngineLog::kLevelError, "%s", "ERROR!!! - Can't Create Context\n");
    return 0;
  }
  return 1;
}

void CScriptStorage::WriteLine(CScriptOutput* output, const char* section, int row, int column,
                               const char* type, const char* text) {
  char line[4096];
  std::snprintf(line, sizeof line, "%s (%i, %i) : %s : %s", Text(section), row, column, type,
                Text(text));
  output->Line(line);
}

void CScriptStorage::MessageCallback(const asSMessageInfo* message, void* storage) {
  const char* type = message->type == asMSGTYPE_ERROR     ? "ERR"
                     : message->type == asMSGTYPE_WARNING ? "WARN"
                                                          : "INFO";
  WriteLine(static_cast<CScriptStorage*>(storage)->m_pMessages, message->section, message->row,
            message->col, type, message->message);
}

void CScriptStorage::ReportException(asIScriptContext* context, CScriptOutput* output) {
  const char* section = nullptr;
  int column = 0;
  const int row = context->GetExceptionLineNumber(&column, &section);
  WriteLine(output, section, row, column, "ERR", context->GetExceptionString());
}

CScript* CScriptStorage::CreateScript(const char* module, const char* name, const char* file,
                                      const char* function) {
  module = Text(module);
  file = Text(file);
  const char* shownName = name != nullptr && name[0] != '\0' ? name : file;
  if (m_pLog != nullptr)
    m_pLog->Log(kSource, __LINE__, CEngineLog::kLevelInfo, "- Creating Script: %s (%s)\n",
                shownName, function != nullptr ? function : "a sub script");

  // Compared as the entry keeps them, cut to its capacity.
  char wantedName[CScript::kMaxText + 1];
  std::snprintf(wantedName, sizeof wantedName, "%s", shownName);
  for (UINT i = 0; i < m_dwScriptCount; ++i) {
    CScript* script = m_Scripts[i].get();
    if (script != nullptr && Equal(script->GetFileName(), file) &&
        Equal(script->GetModuleName(), module) &&
        Equal(script->GetFunctionName(), Text(function)) &&
        Equal(script->GetName(), wantedName)) {
      Log(__LINE__, CEngineLog::kLevelInfo, "%s", "  - Already Exists\n");
      return script;
    }
  }
  for (UINT i = 0; i < m_dwScriptCount; ++i) {
    CScript* script = m_Scripts[i].get();
    if (script != nullptr && Equal(script->GetModuleName(), module) &&
        Equal(script->GetName(), wantedName)) {
      if (m_pLog != nullptr)
        m_pLog->Log(kSource, __LINE__, CEngineLog::kLevelError,
                    "ERROR!!! - The Script %s Already Exsists In Module %s\n", wantedName, module);
      return nullptr;
    }
  }
  UINT slot = 0;
  while (slot < m_dwScriptCount && m_Scripts[slot]) ++slot;
  if (slot == kMaxScripts) {
    Log(__LINE__, CEngineLog::kLevelError, "%s",
        "ERROR!!! - Not Enough Script Entries To Add Next Script\n");
    return nullptr;
  }
  std::unique_ptr<CScript> script(NewNamedOrFatal<CScript>(
      kNoMemoryTitle, "Can't Allocate Memory For Script: %s", wantedName, this, m_pLog));
  // A failed entry is freed, in a hole as at the end: the next equal request must not find it.
  if (!script->Init(module, name, file, function)) {
    Log(__LINE__, CEngineLog::kLevelError, "ERROR!!! - Can't Initialize Script: %s\n", wantedName);
    return nullptr;
  }
  m_Scripts[slot] = std::move(script);
  if (slot < m_dwScriptCount) return m_Scripts[slot].get();
  ++m_dwScriptCount;
  Log(__LINE__, CEngineLog::kLevelInfo, "%s", "  - Done\n");
  return m_Scripts[slot].get();
}

asIScriptEngine* CScriptStorage::GetScriptEngine() { return m_pEngine; }

CScript* CScriptStorage::GetScript(const char* module, const char* name) {
  for (UINT i = 0; i < m_dwScriptCount; ++i) {
    CScript* script = m_Scripts[i].get();
    if (script != nullptr && Equal(script->GetName(), Text(name)) &&
        Equal(script->GetModuleName(), Text(module)))
      return script;
  }
  return nullptr;
}

template <typename Select>
void CScriptStorage::CollectScripts(Select selects, CScript** scripts, UINT* count) {
  if (count == nullptr) return;
  const UINT capacity = scripts != nullptr ? *count : 0;
  UINT written = 0;
  for (UINT i = 0; i < m_dwScriptCount && written < capacity; ++i)
    if (m_Scripts[i] && selects(*m_Scripts[i])) scripts[written++] = m_Scripts[i].get();
  *count = written;
}

void CScriptStorage::GetScriptsByName(const char* name, CScript** scripts, UINT* count) {
  CollectScripts([name](CScript& s) { return Equal(s.GetName(), Text(name)); }, scripts, count);
}

void CScriptStorage::GetScriptsByModule(const char* module, CScript** scripts, UINT* count) {
  CollectScripts([module](CScript& s) { return Equal(s.GetModuleName(), Text(module)); }, scripts,
                 count);
}

CScriptModule* CScriptStorage::AddModule(const char* name) {
  if (name == nullptr || name[0] == '\0') return nullptr;
  UINT slot = m_dwModuleCount;
  for (UINT i = 0; i < m_dwModuleCount; ++i) {
    if (!m_Modules[i]) {
      if (slot == m_dwModuleCount) slot = i;
    } else if (Equal(m_Modules[i]->GetName(), name)) {
      return m_Modules[i].get();
    }
  }
  if (slot == kMaxModules) {
    Log(__LINE__, CEngineLog::kLevelError, "%s",
        "ERROR!!! - Not Enough Modules Entries To Add Next Module\n");
    return nullptr;
  }
  m_Modules[slot].reset(NewNamedOrFatal<CScriptModule>(
      kNoMemoryTitle, "Can't Allocate Memory For Module: %s", name, name, m_pLog, m_pEngine));
  if (slot == m_dwModuleCount) ++m_dwModuleCount;
  return m_Modules[slot].get();
}

UINT CScriptStorage::CompileModules() {
  if (m_pEngine == nullptr) return m_dwModuleCount == 0 ? 1 : 0;
  // Module builds report to the error log, whoever asked for them.
  CScriptOutput* saved = std::exchange(m_pMessages, &m_LogStream);
  UINT all = 1;
  for (UINT i = 0; i < m_dwModuleCount; ++i)
    if (m_Modules[i] && !m_Modules[i]->Compile()) all = 0;
  m_pMessages = saved;
  return all;
}

int CScriptStorage::ExecuteString(ScriptParent parent, const char* module, const char* script,
                                  CScriptOutput* output, UINT /*flags*/) {
  m_Parent = parent;
  CompileModules();
  if (m_pEngine == nullptr || script == nullptr) return asERROR;
  if (output == nullptr) output = &m_LogStream;
  asIScriptModule* scriptModule = m_pEngine->GetModule(Text(module), asGM_CREATE_IF_NOT_EXISTS);
  asIScriptContext* context = m_pEngine->RequestContext();
  if (scriptModule == nullptr || context == nullptr) {
    if (context != nullptr) m_pEngine->ReturnContext(context);
    return asERROR;
  }
  int result;
  {
    RunScope run(*this, nullptr, parent, context);
    CScriptOutput* saved = std::exchange(m_pMessages, output);
    result = AngelScript::ExecuteString(m_pEngine, script, scriptModule, context);
    m_pMessages = saved;
  }
  if (result == asEXECUTION_EXCEPTION) ReportException(context, output);
  m_pEngine->ReturnContext(context);
  // The library's states after a run are positive; callers take only a negative result for a
  // failure.
  return result > 0 ? -result : result;
}

int CScriptStorage::ExecuteString(CNullInterface* parent, const char* module, const char* script,
                                  CScriptOutput* output, UINT flags) {
  return ExecuteString(ScriptParent::Of(parent), module, script, output, flags);
}

asIScriptContext* CScriptStorage::GetContext() { return m_pContext; }

ScriptParent CScriptStorage::GetParent() const {
  return m_Runs.empty() ? m_Parent : m_Runs.back().parent;
}

void* CScriptStorage::GetParentObject() { return GetParent().object; }

CScript* CScriptStorage::GetCurrentScript() const {
  return m_Runs.empty() ? nullptr : m_Runs.back().script;
}

UINT CScriptStorage::AbortExecuteString() {
  for (auto run = m_Runs.rbegin(); run != m_Runs.rend(); ++run)
    if (run->script == nullptr && run->context != nullptr) {
      run->context->Abort();
      return 1;
    }
  return 0;
}
