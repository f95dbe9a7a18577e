// Scene files, read as the engine's scene port reads them: through the virtual file system from
// the working folder, into a new scene with its lights, cameras, nulls and links.
#include "FakeLightSpatial.h"
#include "FuzzHarness.h"
#include "ReleasingPtr.h"
#include "RecordingAllocator.h"
#include "RecordingEngineLog.h"
#include "RecordingNullScriptHost.h"
#include "files/ZKReader.h"
#include "files/ZKSSceneFileReader.h"
#include "scene/Scene.h"
#include "vfs/VirtualFileSystem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzHarness& harness = FuzzHarness::Instance();
  harness.WriteFile("level.zks", data, size);
  harness.Run([] {
    CRecordingEngineLog log;
    CRecordingAllocator allocator;
    CVirtualFileSystem vfs{&log, &allocator, nullptr};
    bool made = false;
    CZKReader reader{nullptr, &log, made};
    RecordingNullScriptHost scripts;
    FakeLightSpatial spatial;
    CEngineContext* context = GetEngineContext();
    context->pVirtualFileSystem = &vfs;
    context->ports.nullScripts.Set(&scripts);
    context->ports.lightSpatial.Set(&spatial);

    // The scene is handed out as soon as it exists, also when the load then fails or stops.
    CScene* loaded = nullptr;
    try {
      CZKSSceneFileReader(&reader).LoadScene(&loaded, "level.zks", 0);
    } catch (...) {
      ReleasingPtr<CScene> scene(loaded);
      throw;
    }
    ReleasingPtr<CScene> scene(loaded);
  });
  return 0;
}
