// Octree files, read as a scene reads its octree: through the virtual file system, for a scene
// of three meshes and a minimum cell size of 1 (the seeds are written for it).
#include <memory>

#include "FakeOctreeMesh.h"
#include "FuzzFileBench.h"
#include "FuzzHarness.h"
#include "ReleasingPtr.h"
#include "TestScene.h"
#include "spatial/Octree.h"
#include "spatial/OctreeFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzHarness& harness = FuzzHarness::Instance();
  harness.WriteFile("level.oct", data, size);
  harness.Run([] {
    FuzzFileBench bench;
    CRecordingEngineLog& log = bench.log;
    ReleasingPtr<TestScene> scene(new TestScene(nullptr, &log));
    scene->SetName("level");
    for (const char* name : {"mesh0", "mesh1", "mesh2"})
      scene->AppendWorldObject(new FakeOctreeMesh(scene.get(), name));
    UINT cells = 0;
    std::unique_ptr<COctree> root(
        COctreeFile(&log, nullptr, scene.get()).Load("level.oct", 1.0f, &cells));
  });
  return 0;
}
