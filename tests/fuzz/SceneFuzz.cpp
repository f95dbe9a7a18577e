// Scene files, read as the engine's scene port reads them: through the virtual file system from
// the working folder, into a new scene with its lights, cameras, nulls and links.
#include "FuzzHarness.h"
#include "FuzzSceneBench.h"
#include "ReleasingPtr.h"
#include "files/ZKSSceneFileReader.h"
#include "scene/Scene.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzHarness& harness = FuzzHarness::Instance();
  harness.WriteFile("level.zks", data, size);
  harness.Run([] {
    FuzzSceneBench bench;
    // The scene is handed out as soon as it exists, also when the load then fails or stops.
    CScene* loaded = nullptr;
    try {
      CZKSSceneFileReader(&bench.reader).LoadScene(&loaded, "level.zks", 0);
    } catch (...) {
      ReleasingPtr<CScene> scene(loaded);
      throw;
    }
    ReleasingPtr<CScene> scene(loaded);
  });
  return 0;
}
