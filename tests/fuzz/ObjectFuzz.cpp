// Object files, read as the engine's mesh-file port reads them: through the virtual file system
// into a mesh of a scene, with its surfaces, bound volumes, shadow volume and collision model.
#include "FakeMeshVertexBuffer.h"
#include "FakeSurfaceBanks.h"
#include "FuzzFileBench.h"
#include "FuzzHarness.h"
#include "ReleasingPtr.h"
#include "RecordingRenderer.h"
#include "TestScene.h"
#include "files/ZKOMeshFileReader.h"
#include "files/ZKReader.h"
#include "scene/Mesh.h"
#include "spatial/CollisionManager.h"
#include "spatial/MeshSpatialServices.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzHarness& harness = FuzzHarness::Instance();
  harness.WriteFile("object.zko", data, size);
  harness.Run([] {
    FuzzFileBench bench;
    CRecordingEngineLog& log = bench.log;
    RecordingRenderer renderer;
    FakeIndexBufferStorage indexBuffers;
    FakeVertexBufferStorage vertexBuffers;
    renderer.indexBufferStorage = &indexBuffers;
    renderer.vertexBufferStorage = &vertexBuffers;
    CCollisionManager manager{&renderer, &log};
    CMeshSpatialServices services{&log, &manager};
    bool made = false;
    CZKReader reader{&renderer, &log, made};
    GetEngineContext()->ports.meshSpatial.Set(&services);

    // The scene owns the mesh and frees it with itself.
    ReleasingPtr<TestScene> scene(new TestScene(&renderer, &log));
    auto* mesh = new CMesh(&renderer, &log, scene.get(), 0);
    mesh->SetName("object");
    scene->AppendWorldObject(mesh);
    CZKOMeshFileReader(&reader).LoadObject(mesh, "object.zko", 0);
  });
  return 0;
}
