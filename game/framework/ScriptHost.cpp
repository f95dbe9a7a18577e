#include "framework/ScriptHost.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "ZKDXInterface.h"
#include "framework/AngelScriptOutStream.h"
#include "framework/BytecodeStream.h"
#include "framework/EngineGlobals.h"
#include "framework/FatalError.h"
#include "framework/Logger.h"
#include "zkplatform/ZkPaths.h"

using namespace AngelScript;

namespace {

geCScriptHost s_ScriptHost;

// The last-write time of a file on disk; false when it does not exist.
bool ReadWriteTime(const std::string& strFile, FILETIME* pTime) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(strFile.c_str(), GetFileExInfoStandard, &data)) return false;
  *pTime = data.ftLastWriteTime;
  return true;
}

void LogCantOpen(const std::string& strScriptFile) {
  g_GameLogger.Log(" - Script ERROR: can't open script file '%s'\n", strScriptFile.c_str());
  g_ScriptLogger.Log("- ERROR: can't open script file '%s'\n", strScriptFile.c_str());
}

// The line a context's state or an execution result writes; the exception names its function by
// name or by declaration.
void LogExecutionState(asIScriptContext* pContext, int nState, bool bDeclaration) {
  switch (nState) {
    case asEXECUTION_SUSPENDED:
      g_ScriptLogger.Log("Return code = %d (%s)\n", 1, "asEXECUTION_SUSPENDED");
      break;
    case asEXECUTION_ABORTED:
      g_ScriptLogger.Log("Return code = %d (%s)\n", 2, "asEXECUTION_ABORTED");
      break;
    case asEXECUTION_EXCEPTION: {
      g_ScriptLogger.Log("Return code = %d (%s)\n", 3, "asEXECUTION_EXCEPTION");
      const asIScriptFunction* pFunction = pContext ? pContext->GetExceptionFunction() : nullptr;
      const char* szFunction =
          !pFunction ? "" : bDeclaration ? pFunction->GetDeclaration() : pFunction->GetName();
      const char* szException = pContext ? pContext->GetExceptionString() : nullptr;
      char text[1024];
      snprintf(text, sizeof text, "EXCEPTION:\n\tLine: %d, Function: %s\n\tException String: %s\n",
               pContext ? pContext->GetExceptionLineNumber() : 0, szFunction ? szFunction : "",
               szException ? szException : "");
      g_ScriptLogger.Log("%s", text);
      break;
    }
    default:
      break;
  }
}

const char* ResultText(int nResult) {
  const char* szName = geScriptResultName(nResult);
  return szName ? szName : "unknown error";
}

// The whole script, or false when the engine's file system cannot read all of it.
bool ReadScript(const std::string& strScriptFile, std::vector<char>* pText) {
  VFSFile* pFile = g_pZeKorb->GetVFSInterface()->OpenNormalFile(strScriptFile.c_str(), "rb");
  if (!pFile) return false;
  const UINT nLength = pFile->GetFileLength();
  pText->assign(static_cast<size_t>(nLength) + 10, 0);
  const bool bRead = nLength == 0 || pFile->Read(pText->data(), 1, nLength) == nLength;
  pFile->Close();
  return bRead;
}

}  // namespace

geCScriptHost* g_pScriptHost = nullptr;

geCScriptHost::geCScriptHost() : m_pPrevious(g_pScriptHost) { g_pScriptHost = this; }

geCScriptHost::~geCScriptHost() {
  m_vecModuleNames.clear();
  m_vecContexts.clear();
  if (g_pScriptHost == this) g_pScriptHost = m_pPrevious;
}

asIScriptContext* geCScriptHost::LoadScriptModule(const char* szScriptFile,
                                                  const char* szModuleName,
                                                  const char* szSectionName) {
  const std::string strScriptFile = szScriptFile;
  const std::string strBinFile = strScriptFile + ".bin";
  FILETIME scriptTime, binTime;
  const bool bHasScript = ReadWriteTime(strScriptFile, &scriptTime);
  const bool bHasBin = ReadWriteTime(strBinFile, &binTime);
  if (!bHasScript && !bHasBin) {
    LogCantOpen(strScriptFile);
    return nullptr;
  }

  const bool bScriptNewer = bHasScript && (!bHasBin || CompareFileTime(&scriptTime, &binTime) > 0);
  if (!bScriptNewer) {
    if (LoadFromCache(strBinFile, szModuleName)) return AddModule(szModuleName);
    // A cache the library refuses is rebuilt from its script when there is one.
    if (!bHasScript) return nullptr;
  }
  switch (CompileAndCache(strScriptFile, strBinFile, szModuleName, szSectionName)) {
    case ECompiled::FAILED:
      return nullptr;
    case ECompiled::NOT_CACHED:
      return AddModule(szModuleName);
    case ECompiled::CACHED:
      break;
  }
  return LoadFromCache(strBinFile, szModuleName) ? AddModule(szModuleName) : nullptr;
}

geCScriptHost::ECompiled geCScriptHost::CompileAndCache(const std::string& strScriptFile,
                                                        const std::string& strBinFile,
                                                        const char* szModuleName,
                                                        const char* szSectionName) {
  // An unreadable script must not leave an empty module in the cache, where it would outrank
  // the script at every later start.
  std::vector<char> text;
  if (!ReadScript(strScriptFile, &text)) {
    LogCantOpen(strScriptFile);
    return ECompiled::FAILED;
  }

  g_pScriptEngine->SetMessageCallback(asFUNCTION(MessageCallback), &g_AngelScriptOutStream,
                                      asCALL_CDECL);
  asIScriptModule* pModule = g_pScriptEngine->GetModule(szModuleName, asGM_ALWAYS_CREATE);
  // The script ends at its first zero byte.
  pModule->AddScriptSection(szSectionName, text.data(), strlen(text.data()), 0);
  g_ScriptLogger.Log("- Compiling AS script module '%s' from file '%s'...", szModuleName,
                     strScriptFile.c_str());
  if (pModule->Build() < 0) {
    g_GameLogger.Log("\n - ERROR Building AngelScript file\n");
    g_ScriptLogger.Log("\n\n-------------\n%s", text.data());
    g_ScriptLogger.Log("\n\n-------------\n");
    geFatalError("Vantor - AngelScript ERROR", "ERROR Building AngelScript file");
  }
  g_ScriptLogger.Log("OK\n");

  g_ScriptLogger.Log("- Generatting binary version to file '%s'\n", strBinFile.c_str());
  CBytecodeStream stream(strBinFile.c_str(), "wb");
  const bool bOpened = stream.IsOpen();
  int nResult = bOpened ? pModule->SaveByteCode(&stream) : asERROR;
  if (!stream.Close() && nResult >= 0) nResult = asERROR;
  if (nResult >= 0) return ECompiled::CACHED;
  // The module built, so it runs from memory; no half-written cache may outrank its script.
  g_ScriptLogger.Log("- ERROR: can't write binary version to file '%s' (%s)\n",
                     strBinFile.c_str(), ResultText(nResult));
  if (bOpened) remove(ZkMapPath(strBinFile.c_str()).c_str());
  return ECompiled::NOT_CACHED;
}

bool geCScriptHost::LoadFromCache(const std::string& strBinFile, const char* szModuleName) {
  g_ScriptLogger.Log("- Loading binary version from file '%s'\n", strBinFile.c_str());
  g_GameLogger.Log("  - Adding AS script module '%s'\n", szModuleName);
  g_ScriptLogger.Log("  - Adding AS script module '%s'\n", szModuleName);
  CBytecodeStream stream(strBinFile.c_str(), "rb");
  asIScriptModule* pModule = g_pScriptEngine->GetModule(szModuleName, asGM_ALWAYS_CREATE);
  const int nResult = pModule->LoadByteCode(&stream);
  if (nResult >= 0) return true;
  g_ScriptLogger.Log("- ERROR: can't load binary version from file '%s' (%s)\n",
                     strBinFile.c_str(), ResultText(nResult));
  pModule->Discard();
  return false;
}

asIScriptContext* geCScriptHost::AddModule(const char* szModuleName) {
  m_vecModuleNames.emplace_back(szModuleName);
  asIScriptContext* pContext = g_pScriptEngine->CreateContext();
  m_vecContexts.push_back(pContext);
  return pContext;
}

void geCScriptHost::ResetModules() {
  for (const std::string& strName : m_vecModuleNames) {
    asIScriptModule* pModule = g_pScriptEngine->GetModule(strName.c_str(), asGM_ONLY_IF_EXISTS);
    if (pModule) pModule->ResetGlobalVars();
  }
}

void geCScriptHost::ReportContexts() {
  for (asIScriptContext* pContext : m_vecContexts)
    if (pContext) LogExecutionState(pContext, pContext->GetState(), false);
}

void geCScriptHost::Shutdown() {
  for (asIScriptContext* pContext : m_vecContexts)
    if (pContext) pContext->Release();
  m_vecContexts.clear();
  m_vecModuleNames.clear();
  if (g_pScriptEngine) g_pScriptEngine->ShutDownAndRelease();
  g_pScriptEngine = nullptr;
}

void geCScriptHost::ReleaseContext(asIScriptContext** ppContext) {
  if (!ppContext) return;
  for (auto it = m_vecContexts.begin(); it != m_vecContexts.end(); ++it) {
    if (*it == *ppContext) {
      m_vecContexts.erase(it);
      break;
    }
  }
  if (*ppContext) (*ppContext)->Release();
}

void geCScriptHost::MessageCallback(const asSMessageInfo* pMessage, void* pOutStream) {
  const char* szType = pMessage->type == asMSGTYPE_ERROR     ? "Error"
                       : pMessage->type == asMSGTYPE_WARNING ? "Warning"
                                                             : "Info";
  char text[1024];
  snprintf(text, sizeof text, "%s (%d, %d) : %s : %s\n",
           pMessage->section ? pMessage->section : "", pMessage->row, pMessage->col, szType,
           pMessage->message ? pMessage->message : "");
  static_cast<geCAngelScriptOutStream*>(pOutStream)->Write(text);
}

const char* geScriptResultName(int nResult) {
  static const char* const kNames[] = {
      "asERROR",
      "asCONTEXT_ACTIVE",
      "asCONTEXT_NOT_FINISHED",
      "asCONTEXT_NOT_PREPARED",
      "asINVALID_ARG",
      "asNO_FUNCTION",
      "asNOT_SUPPORTED",
      "asINVALID_NAME",
      "asNAME_TAKEN",
      "asINVALID_DECLARATION",
      "asINVALID_OBJECT",
      "asINVALID_TYPE",
      "asALREADY_REGISTERED",
      "asMULTIPLE_FUNCTIONS",
      "asNO_MODULE",
      "asNO_GLOBAL_VAR",
      "asINVALID_CONFIGURATION",
      "asINVALID_INTERFACE",
      "asCANT_BIND_ALL_FUNCTIONS",
      "asLOWER_ARRAY_DIMENSION_NOT_REGISTERED",
      "asWRONG_CONFIG_GROUP",
      "asCONFIG_GROUP_IS_IN_USE",
      "asILLEGAL_BEHAVIOUR_FOR_TYPE",
      "asWRONG_CALLING_CONV",
      "asBUILD_IN_PROGRESS",
      "asINIT_GLOBAL_VARS_FAILED",
      "asOUT_OF_MEMORY",
      "asMODULE_IS_IN_USE",
  };
  static_assert(sizeof kNames / sizeof kNames[0] == -asMODULE_IS_IN_USE);
  if (nResult >= 0 || nResult < asMODULE_IS_IN_USE) return nullptr;
  return kNames[-nResult - 1];
}

void LogASRegisterError(int nResult) {
  if (const char* szName = geScriptResultName(nResult))
    g_ScriptLogger.Log("Register failed: Error code = %d (%s)\n", nResult, szName);
}

void ReportExecution(asIScriptContext* pContext, int nResult) {
  if (nResult < 0)
    LogASRegisterError(nResult);
  else
    LogExecutionState(pContext, nResult, true);
}
