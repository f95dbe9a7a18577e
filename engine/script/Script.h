#pragma once
// One script entry: a function of a script module and the engine object it last ran for. An
// entry without a function only brings its file to the module.
#include "script/ScriptParent.h"
#include "windef.h"

class CEngineLog;
class CScriptStorage;

class CScript {
 public:
  static constexpr size_t kMaxText = 2048;
  static constexpr size_t kMaxFunctionName = 256;

  CScript(CScriptStorage* storage, CEngineLog* log) : m_pStorage(storage), m_pLog(log) {}
  virtual ~CScript() = default;
  CScript(const CScript&) = delete;
  CScript& operator=(const CScript&) = delete;

  // Keeps the texts (the file name names the entry when `name` is null or empty) and adds the
  // file to the module, made when missing. 0 (logged) when there is no file name or the module
  // cannot take it.
  UINT Init(const char* module, const char* name, const char* file, const char* function);

  virtual const char* GetName() { return m_szName; }
  virtual const char* GetModuleName() { return m_szModuleName; }
  virtual const char* GetFunctionName() { return m_szFunctionName; }
  virtual const char* GetFileName() { return m_szFileName; }
  // Compiles the modules that need it and runs the function with `parent` as the parent object
  // scripts read back. 1 when it ran to its end, else 0 (logged).
  virtual UINT Execute(ScriptParent parent);

  void* GetParentObject() const { return m_Parent.object; }
  const ScriptParent& GetParent() const { return m_Parent; }

 private:
  void Log(int line, const char* format, const char* text);

  CScriptStorage* m_pStorage;
  CEngineLog* m_pLog;
  char m_szName[kMaxText + 1] = {};
  char m_szModuleName[kMaxText + 1] = {};
  char m_szFileName[kMaxText + 1] = {};
  char m_szFunctionName[kMaxFunctionName + 1] = {};
  ScriptParent m_Parent;
};
