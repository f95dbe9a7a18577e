#pragma once
// The optional tool library: loaded at pre-initialisation and handed the top interface, so that
// it can open its own windows on the engine's data. When it is missing or does not fit, the
// engine logs why and runs without it.
#include <windows.h>

#include "console/ConsoleToolBox.h"

class CEngineLog;
class CSceneInterface;
class CZeKorbD3DInterface;

class CToolBox final : public CConsoleToolBox {
 public:
  // The library the engine looks for on the library search path.
  static constexpr const char* kLibraryName = "ZKTool.dll";

  // Loads and checks `libraryName`; the object is always usable, loaded or not.
  explicit CToolBox(CZeKorbD3DInterface* topInterface, const char* libraryName = kLibraryName);
  ~CToolBox();
  CToolBox(const CToolBox&) = delete;
  CToolBox& operator=(const CToolBox&) = delete;

  // The tool's answer for the active scene; 0 when there is none or no tool is loaded.
  int Show() override;
  // Lets a loaded tool clean up, then releases the library.
  void Unload();
  bool IsLoaded() const { return m_loaded; }

 private:
  typedef DWORD (*VersionProc)();
  typedef int (*InitProc)(CZeKorbD3DInterface*);
  typedef int (*ShowProc)(CSceneInterface*);
  typedef void (*DeInitProc)();

  void Load(const char* libraryName);
  // The entry point `name`, or null (logged with the system's error code).
  FARPROC FindEntry(const char* name);
  void ReleaseLibrary();

  HMODULE m_library = nullptr;
  CZeKorbD3DInterface* m_topInterface;
  CEngineLog* m_log;
  bool m_loaded = false;
  ShowProc m_show = nullptr;
  DeInitProc m_deInit = nullptr;
};
