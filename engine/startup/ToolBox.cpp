#include "startup/ToolBox.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>

#include "ZKDXGlobals.h"
#include "ZKDXInterface.h"
#include "core/EngineContext.h"
#include "core/EngineLog.h"

namespace {

const char kSource[] = "ToolBox";

}  // namespace

CToolBox::CToolBox(CZeKorbD3DInterface* topInterface, const char* libraryName)
    : m_topInterface(topInterface), m_log(topInterface ? topInterface->GetLogInterface() : nullptr) {
  Load(libraryName);
}

CToolBox::~CToolBox() { Unload(); }

void CToolBox::Load(const char* libraryName) {
  m_library = LoadLibraryA(libraryName);
  if (!m_library) {
    LogError("ERROR!!! - Can't Load the TOOL\n");
    return;
  }
  // Looked up in this order; the version and error-code entries are required but never called.
  FARPROC getToolVersion = FindEntry("GetToolVersion");
  FARPROC getZeKorbVersion = getToolVersion ? FindEntry("GetToolZeKorbVersion") : nullptr;
  FARPROC init = getZeKorbVersion ? FindEntry("ToolInit") : nullptr;
  FARPROC show = init ? FindEntry("ToolShow") : nullptr;
  FARPROC getErrorCode = show ? FindEntry("ToolGetErrorCode") : nullptr;
  FARPROC deInit = getErrorCode ? FindEntry("ToolDeInit") : nullptr;
  if (!deInit) {
    ReleaseLibrary();
    return;
  }
  if (reinterpret_cast<VersionProc>(getZeKorbVersion)() != ZEKORB_VERSION) {
    LogError("ERROR!!! - Can't Load the TOOL, Incorrect ZeKorb Version\n");
    ReleaseLibrary();
    return;
  }
  if (reinterpret_cast<InitProc>(init)(m_topInterface) == 0) {
    LogError("ERROR!!! - Can't Initialize the TOOL\n");
    ReleaseLibrary();
    return;
  }
  m_show = reinterpret_cast<ShowProc>(show);
  m_deInit = reinterpret_cast<DeInitProc>(deInit);
  m_loaded = true;
}

FARPROC CToolBox::FindEntry(const char* name) {
  FARPROC entry = GetProcAddress(m_library, name);
  if (!entry)
    LogError("ERROR!!! - Can't Load %s From the TOOL dll (%i)\n", name,
             static_cast<int>(GetLastError()));
  return entry;
}

int CToolBox::Show() {
  CSceneInterface* scene = GetEngineContext()->pActiveScene;
  if (!scene || !m_loaded) return 0;
  return m_show(scene);
}

void CToolBox::Unload() {
  if (m_loaded) m_deInit();
  ReleaseLibrary();
}

void CToolBox::ReleaseLibrary() {
  if (m_library) FreeLibrary(m_library);
  m_library = nullptr;
  m_loaded = false;
  m_show = nullptr;
  m_deInit = nullptr;
}

void CToolBox::LogError(const char* format, ...) {
  if (!m_log) return;
  char text[CEngineLog::kMaxMessage];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  m_log->Log(kSource, __LINE__, CEngineLog::kLevelError, "%s", text);
}
