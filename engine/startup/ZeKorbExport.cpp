// The engine library's one export.
#include <windows.h>

#include "ZKDXGlobals.h"
#include "ZKDXInterface.h"
#include "startup/ApplicationChecks.h"
#include "core/EngineContext.h"
#include "startup/EngineStartup.h"
#include "startup/ZeKorbD3D.h"

CZeKorbD3DInterface* GetZeKorbD3DInterface(ApplicationDescriptor* descriptor) {
  const int version = descriptor ? static_cast<int>(descriptor->dwVersion) : 0;
  if (version != static_cast<int>(ZEKORB_VERSION))
    RefuseApplication(
        "!!!!This Version Of ZeKorbD3D Can't Work With This Executable File (Incorrect Version, "
        "Read: %i, Should Be: %i)",
        version, static_cast<int>(ZEKORB_VERSION));
  if (!CEngineStartup(GetEngineContext()).PreInitialize(descriptor)) return nullptr;
  return CZeKorbD3D::Instance();
}
