#pragma once
// The engine's one script host: its script engine and execution context, the script modules
// compiled from script files, the script entries naming a function of a module, and the engine
// object the running script works on. Nothing is freed while the engine runs; the shutdown
// releases the whole host.
//
// Runs nest: a null's script may load a scene whose nulls run their own scripts inside it. Each
// run is kept on a stack, so the parent object scripts read back is always the innermost run's,
// and the outer run's returns when the inner one ends.
#include <angelscript.h>

#include <array>
#include <memory>
#include <vector>

#include "scene/NullScriptHost.h"
#include "script/ScriptLogStream.h"
#include "script/ScriptParent.h"
#include "windef.h"

class CEngineLog;
class CScript;
class CScriptModule;
class CScriptOutput;

class CScriptStorage : public CNullScriptHost {
 public:
  static constexpr UINT kMaxScripts = 4096;
  static constexpr UINT kMaxModules = 128;

  explicit CScriptStorage(CEngineLog* log);
  virtual ~CScriptStorage();
  CScriptStorage(const CScriptStorage&) = delete;
  CScriptStorage& operator=(const CScriptStorage&) = delete;

  // The entry for these four texts: an equal one, or a new one; null (logged) when the name is
  // taken in the module by another entry, the table is full or the entry cannot be made.
  virtual CScript* CreateScript(const char* module, const char* name, const char* file,
                                const char* function);
  virtual AngelScript::asIScriptEngine* GetScriptEngine();
  // The first entry of that module and name, or null.
  virtual CScript* GetScript(const char* module, const char* name);
  // Writes the entries of that name (module), in table order, into `scripts`; `count` holds
  // its capacity on entry and the number written on return.
  virtual void GetScriptsByName(const char* name, CScript** scripts, UINT* count);
  virtual void GetScriptsByModule(const char* module, CScript** scripts, UINT* count);
  // Compiles the modules that need it and runs `script` as statements in the module (made when
  // missing), with `parent` as the parent object. Compiler messages and a run-time exception go
  // to `output` (the error log when null). 0 when the text ran to its end, negative when it
  // did not build, threw or was aborted. The flags of the old library are accepted and ignored.
  virtual int ExecuteString(ScriptParent parent, const char* module, const char* script,
                            CScriptOutput* output, UINT flags);
  // Creates the script engine, registers every engine type and creates the context. 1 when
  // ready, else 0 (logged).
  virtual UINT Initialize();
  // The module of that name, made when missing; null for a null or empty name or a full table.
  virtual CScriptModule* AddModule(const char* name);
  // Compiles every module; 1 when all are compiled, else 0 (every one is tried).
  virtual UINT CompileModules();
  virtual AngelScript::asIScriptContext* GetContext();
  // The innermost run's parent object; with none running, that of the last ExecuteString.
  virtual void* GetParentObject();

  // A null's script: the null is the parent.
  int ExecuteString(CNullInterface* parent, const char* module, const char* script,
                    CScriptOutput* output, UINT flags) override;

  ScriptParent GetParent() const;
  // The entry whose function is the innermost run, or null when that run is a text.
  CScript* GetCurrentScript() const;
  bool IsRunning() const { return !m_Runs.empty(); }
  // Aborts the text the innermost ExecuteString runs; that call then returns its negative
  // result. 0 when no text is running.
  UINT AbortExecuteString();

  // Marks a run for the time of its scope.
  class RunScope {
   public:
    RunScope(CScriptStorage& storage, CScript* script, ScriptParent parent,
             AngelScript::asIScriptContext* context);
    ~RunScope();
    RunScope(const RunScope&) = delete;
    RunScope& operator=(const RunScope&) = delete;

   private:
    CScriptStorage& m_storage;
  };

 private:
  struct Run {
    CScript* script;  // null for a text run by ExecuteString
    ScriptParent parent;
    AngelScript::asIScriptContext* context;
  };

  static void MessageCallback(const AngelScript::asSMessageInfo* message, void* storage);
  // One message line: "section (row, column) : type : text".
  static void WriteLine(CScriptOutput* output, const char* section, int row, int column,
                        const char* type, const char* text);
  void ReportException(AngelScript::asIScriptContext* context, CScriptOutput* output);
  // Writes the entries that `selects` into `scripts`, as GetScriptsByName describes.
  template <typename Select>
  void CollectScripts(Select selects, CScript** scripts, UINT* count);
  void Log(int line, int level, const char* format, const char* text);

  CEngineLog* m_pLog;
  AngelScript::asIScriptEngine* m_pEngine = nullptr;
  std::array<std::unique_ptr<CScript>, kMaxScripts> m_Scripts;
  UINT m_dwScriptCount = 0;
  std::array<std::unique_ptr<CScriptModule>, kMaxModules> m_Modules;
  UINT m_dwModuleCount = 0;
  AngelScript::asIScriptContext* m_pContext = nullptr;
  ScriptParent m_Parent;  // of the last ExecuteString
  std::vector<Run> m_Runs;
  CScriptLogStream m_LogStream;
  CScriptOutput* m_pMessages;  // where the compiler's messages go now
};

// The one script storage, made with `log` on the first call; null when it cannot be allocated.
CScriptStorage* GetScriptStorageInterface(CEngineLog* log);
// Frees the script storage with its modules, entries, context and script engine, so that the
// next GetScriptStorageInterface makes a new one. While a script runs (the shutdown was called
// from one) the storage stays, and false is returned.
bool ReleaseScriptStorageInterface();
