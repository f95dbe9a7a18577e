#include "script/ScriptModule.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "ZKDXInterface.h"
#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "core/FatalError.h"

using namespace AngelScript;

namespace {
constexpr const char* kSource = "ScriptModule";
}  // namespace

CScriptModule::CScriptModule(const char* name, CEngineLog* log, asIScriptEngine* engine)
    : m_pLog(log), m_pEngine(engine) {
  std::snprintf(m_szName, sizeof m_szName, "%s", name != nullptr ? name : "");
}

void CScriptModule::Log(int line, int level, const char* format, const char* text) {
  if (m_pLog != nullptr) m_pLog->Log(kSource, line, level, format, text);
}

UINT CScriptModule::AddFile(const char* fileName) {
  if (fileName == nullptr || fileName[0] == '\0') return 0;
  // Every entry of a file adds it; a second section of the same file would define its
  // functions twice and fail the whole module.
  UINT slot = m_dwFileCount;
  for (UINT i = 0; i < m_dwFileCount; ++i) {
    if (!m_Files[i]) {
      if (slot == m_dwFileCount) slot = i;
    } else if (std::strncmp(m_Files[i]->data(), fileName, kMaxName) == 0) {
      return 1;
    }
  }
  if (slot == kMaxFiles) {
    Log(__LINE__, CEngineLog::kLevelError, "ERROR!!! - Not Enough File Entries In Module: %s\n",
        m_szName);
    return 0;
  }
  auto entry = std::unique_ptr<FileName>(
      NewOrFatal<FileName>(kNoMemoryTitle, "Can't Allocate Memory For Module File Name"));
  std::snprintf(entry->data(), entry->size(), "%s", fileName);
  m_Files[slot] = std::move(entry);
  if (slot == m_dwFileCount) ++m_dwFileCount;
  return 1;
}

bool CScriptModule::AddSection(asIScriptModule* module, const char* fileName) {
  CVirtualFileSystemInterface* files = GetEngineContext()->pVirtualFileSystem;
  VFSFile* file = files != nullptr ? files->OpenNormalFile(fileName, "rb") : nullptr;
  if (file == nullptr) {
    Log(__LINE__, CEngineLog::kLevelError, "ERROR!!! - Can't Open File: %s\n", fileName);
    return false;
  }
  file->Seek(0, 2);
  const LONG size = file->Tell();
  file->Seek(0, 0);
  std::vector<char> text;
  bool read = size >= 0;
  try {
    if (read) text.resize(static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    file->Close();
    Log(__LINE__, CEngineLog::kLevelError, "ERROR!!! - Can't Allocate Memory For Script File: %s\n",
        fileName);
    return false;
  }
  // A short read would compile whatever the buffer held beyond it.
  if (read && size > 0) read = file->Read(text.data(), 1, static_cast<UINT>(size)) == UINT(size);
  file->Close();
  if (!read) {
    Log(__LINE__, CEngineLog::kLevelError, "ERROR!!! - Can't Read Script File: %s\n", fileName);
    return false;
  }
  if (module->AddScriptSection(fileName, text.data(), text.size(), 0) < 0) {
    Log(__LINE__, CEngineLog::kLevelError, "ERROR!!! - Can't Add Script: %s\n", fileName);
    return false;
  }
  return true;
}

UINT CScriptModule::Compile() {
  if (m_dwCompiled != 0 || m_dwFileCount == 0) return 1;
  Log(__LINE__, CEngineLog::kLevelInfo, "- Compiling Module: %s\n", m_szName);
  // Starts from an empty module, so that sections of an earlier failed attempt are not built
  // twice.
  asIScriptModule* module = m_pEngine->GetModule(m_szName, asGM_ALWAYS_CREATE);
  if (module == nullptr) {
    Log(__LINE__, CEngineLog::kLevelError, "ERROR!!! - Can't Compile: %s\n", m_szName);
    return 0;
  }
  for (UINT i = 0; i < m_dwFileCount; ++i)
    if (m_Files[i] && !AddSection(module, m_Files[i]->data())) return 0;
  if (module->Build() < 0) {
    Log(__LINE__, CEngineLog::kLevelError, "ERROR!!! - Can't Compile: %s\n", m_szName);
    return 0;
  }
  m_dwCompiled = 1;
  for (asUINT i = 0; i < module->GetFunctionCount(); ++i) {
    char name[kMaxName + 1];
    std::snprintf(name, sizeof name, "%s", module->GetFunctionByIndex(i)->GetName());
    Log(__LINE__, CEngineLog::kLevelInfo, "    - %s\n", name);
  }
  Log(__LINE__, CEngineLog::kLevelInfo, "%s", "  - Done\n");
  return 1;
}
