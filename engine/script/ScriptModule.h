#pragma once
// One script module: the files whose code it is compiled from. A module is compiled at most
// once; files added after that are never compiled. A failed compilation leaves it uncompiled, to
// be tried again from its files.
#include <angelscript.h>

#include <array>
#include <memory>

#include "windef.h"

class CEngineLog;

class CScriptModule {
 public:
  static constexpr UINT kMaxFiles = 64;
  static constexpr size_t kMaxName = 256;

  CScriptModule(const char* name, CEngineLog* log, AngelScript::asIScriptEngine* engine);
  CScriptModule(const CScriptModule&) = delete;
  CScriptModule& operator=(const CScriptModule&) = delete;

  // 1 when the module holds the file (already or now); 0 for a null or empty name, or (logged)
  // when all 64 file entries are in use.
  UINT AddFile(const char* fileName);
  const char* GetName() const { return m_szName; }
  bool IsCompiled() const { return m_dwCompiled != 0; }
  // Reads every file through the virtual file system and builds the module; the compiler's
  // messages go to the script engine's message callback. 1 when compiled (at once when it
  // already was or has no file), else 0 (logged).
  UINT Compile();

 private:
  using FileName = std::array<char, kMaxName + 1>;

  // Adds one file as a section of the module; false (logged) when it cannot.
  bool AddSection(AngelScript::asIScriptModule* module, const char* fileName);
  void Log(int line, int level, const char* format, const char* text);

  CEngineLog* m_pLog;
  AngelScript::asIScriptEngine* m_pEngine;
  char m_szName[kMaxName + 1] = {};
  std::array<std::unique_ptr<FileName>, kMaxFiles> m_Files;
  UINT m_dwFileCount = 0;
  UINT m_dwCompiled = 0;
};
