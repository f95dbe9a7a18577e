#pragma once
// The registry of the game's script modules and of the contexts handed out for them. A module
// comes from its script file or from the compiled cache "<script>.bin" beside it, whichever is
// newer; a compiled module is written to the cache and read back from it, so every module runs
// from the same bytecode whether or not it was compiled at this start.
#include <angelscript.h>

#include <string>
#include <vector>

class geCScriptHost {
 public:
  // Makes this host the one g_pScriptHost names.
  geCScriptHost();
  // Frees the lists only; contexts still listed are not released. The host it replaced, if
  // any, is named again.
  ~geCScriptHost();
  geCScriptHost(const geCScriptHost&) = delete;
  geCScriptHost& operator=(const geCScriptHost&) = delete;

  // Loads the module from `szScriptFile` (a game path) into the game's script engine and
  // returns a new context for it, or null when there is neither a script nor a cache, the script
  // cannot be read or the cache cannot be loaded. A script that does not build is fatal.
  // `szSectionName` names the script in compiler messages.
  AngelScript::asIScriptContext* LoadScriptModule(const char* szScriptFile,
                                                  const char* szModuleName,
                                                  const char* szSectionName);
  // Re-initialises the global variables of every loaded module, in load order.
  void ResetModules();
  // Logs every listed context that was suspended, aborted or stopped by an exception.
  void ReportContexts();
  // At the program's end: releases every listed context, empties both lists and shuts the
  // script engine down, before the engine library is closed.
  void Shutdown();
  // Takes the context out of the list (its first entry) and releases it, listed or not.
  void ReleaseContext(AngelScript::asIScriptContext** ppContext);

  const std::vector<std::string>& GetModuleNames() const { return m_vecModuleNames; }
  const std::vector<AngelScript::asIScriptContext*>& GetContexts() const { return m_vecContexts; }

  // Passes the script engine's messages to the script log.
  static void MessageCallback(const AngelScript::asSMessageInfo* pMessage, void* pOutStream);

 private:
  enum class ECompiled { CACHED, NOT_CACHED, FAILED };

  // Builds the script and writes its cache; a build error ends the process.
  ECompiled CompileAndCache(const std::string& strScriptFile, const std::string& strBinFile,
                            const char* szModuleName, const char* szSectionName);
  bool LoadFromCache(const std::string& strBinFile, const char* szModuleName);
  AngelScript::asIScriptContext* AddModule(const char* szModuleName);

  std::vector<std::string> m_vecModuleNames;
  std::vector<AngelScript::asIScriptContext*> m_vecContexts;
  geCScriptHost* m_pPrevious;
};

extern geCScriptHost* g_pScriptHost;

// The script library's name of a negative result code, or null for a code it does not define.
const char* geScriptResultName(int nResult);
// Logs "Register failed" with the code's name for every error code of the script library.
void LogASRegisterError(int nResult);
// Logs the result of a script execution: an error code as a registration error, a suspended or
// aborted run by name, an exception with its line, function and text; nothing for a finished
// run.
void ReportExecution(AngelScript::asIScriptContext* pContext, int nResult);
