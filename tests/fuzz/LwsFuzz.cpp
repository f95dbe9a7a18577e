// LightWave scenes (LWS), read as the reader entry reads them: through the virtual file system
// from the working folder into a new scene, with the objects the scene names read from the
// folder's "objects" (a few builder objects written once). The reader and its import records
// are kept for the process, as the engine keeps them, so each input also runs on what the
// previous one left behind.
#include <filesystem>
#include <string>

#include "FakeMeshBoundVolume.h"
#include "FakeMeshSpatial.h"
#include "FakeSurfaceBanks.h"
#include "FuzzHarness.h"
#include "FuzzSceneBench.h"
#include "LWOBuilder.h"
#include "RecordingRenderer.h"
#include "ReleasingPtr.h"
#include "lightwave/LWReader.h"
#include "scene/Scene.h"
#include "scene/SurfaceFactory.h"

namespace {

void WriteObject(FuzzHarness& harness, const std::string& name, const CLWOBuilder& object) {
  const std::vector<uint8_t> bytes = object.File();
  harness.WriteFile("objects/" + name, bytes.data(), bytes.size());
}

// The objects the seeds name: a plain triangle and one with a weight map for bones.
void WriteObjects(FuzzHarness& harness) {
  std::filesystem::create_directories(harness.Folder() + "/objects");
  CLWOBuilder box;
  box.Tags({"skin"}).Layer().Points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}).Triangles({{0, 1, 2}})
      .SurfaceTags({{0, 0}}).Surface("skin");
  WriteObject(harness, "box.lwo", box);
  CLWOBuilder weighted;
  weighted.Tags({"skin"}).Layer().Points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}).Triangles({{0, 1, 2}})
      .SurfaceTags({{0, 0}}).WeightMap("arm", {{0, 1.0f}, {1, 0.5f}}).Surface("skin");
  WriteObject(harness, "arm.lwo", weighted);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzHarness& harness = FuzzHarness::Instance();
  static CLWReader* const reader = [&harness] {
    WriteObjects(harness);
    return new CLWReader();
  }();
  harness.WriteFile("scene.lws", data, size);
  harness.Run([] {
    FuzzSceneBench bench;
    FakeMeshBoundVolume boundVolume;
    FakeMeshSpatial meshSpatial;
    meshSpatial.boundVolume = &boundVolume;
    CSurfaceFactory surfaces;
    FakeIndexBufferStorage indexBuffers;
    FakeMaterialStorage materials;
    RecordingRenderer renderer;
    renderer.indexBufferStorage = &indexBuffers;
    renderer.materialStorage = &materials;
    GetEngineContext()->ports.meshSpatial.Set(&meshSpatial);
    GetEngineContext()->ports.surfaceFactory.Set(&surfaces);
    // Meshes give their bones weights through the reader, as after start-up.
    GetEngineContext()->ports.lightWave.Set(reader);
    LWReaderSettings settings;
    settings.pLog = &bench.log;
    settings.pRenderer = &renderer;
    reader->Init(&settings);
    // The scene is handed out as soon as it exists, also when the load then stops.
    CScene* loaded = nullptr;
    char name[] = "scene.lws";
    try {
      reader->LoadScene(&loaded, name);
    } catch (...) {
      ReleasingPtr<CScene> scene(loaded);
      throw;
    }
    ReleasingPtr<CScene> scene(loaded);
  });
  return 0;
}
