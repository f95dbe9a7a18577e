// Object files: loading and saving meshes through the engine's object-file exporter against a
// raw read and write of the same bytes, and against Assimp reading the same triangles from
// binary PLY files; the parsing alone against the raw read's bandwidth (bytes per second).
//
// Side by side, from a Release build, with malloc's thresholds fixed (glibc otherwise moves them
// as blocks come and go, and a pass that follows a whole load, whose colliders free a lot, finds
// its memory handed back to the system and pays a page fault for every page it writes):
//   GLIBC_TUNABLES=glibc.malloc.trim_threshold=268435456:glibc.malloc.mmap_threshold=268435456
//   object_file_bench --benchmark_filter='ParseObjects|LoadObjects|RawRead'
//     --benchmark_repetitions=9 --benchmark_enable_random_interleaving=true --benchmark_out=load.json
// and each ParseObjects, LoadObjects, LoadObjectsAndUseColliders and RawReadKept repetition
// divided by the same repetition of RawRead; the median of those ratios.
#include <benchmark/benchmark.h>

#include <assimp/cimport.h>
#include <assimp/scene.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "EngineContextScope.h"
#include "FakeMeshSpatial.h"
#include "FakeMeshVertexBuffer.h"
#include "FakeSurfaceBanks.h"
#include "RecordingAllocator.h"
#include "RecordingEngineLog.h"
#include "RecordingRenderer.h"
#include "TempDir.h"
#include "TestScene.h"
#include "files/ZKOMeshExporter.h"
#include "files/ZKReader.h"
#include "scene/Mesh.h"
#include "spatial/CollisionManager.h"
#include "spatial/MeshSpatialServices.h"
#include "vfs/VirtualFileSystem.h"

namespace {

// The files are made once for every benchmark: a fault there makes every figure meaningless.
void Require(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "object-file benchmark set-up failed: %s\n", what);
  std::exit(1);
}

constexpr int kFiles = 8;
constexpr int kSide = 120;  // a grid of 120 x 120 quads: 28 800 triangles, 14 641 vertices a file

// The engine with a real file system, spatial services and a collision manager, and a folder
// of object files (and PLY files of the same triangles) made once.
struct ObjectFiles {
  ObjectFiles() {
    renderer.indexBufferStorage = &indexBuffers;
    renderer.vertexBufferStorage = &vertexBuffers;
    context->pVirtualFileSystem = &vfs;
    context->ports.meshSpatial.Set(&services);
    // Laid out as the game reads its data: from inside the data folder, by relative paths, with
    // folder and file names lowercase, as the virtual file system (which lowers every name) asks
    // for them. A folder whose name has capitals, such as the temporary folder's, costs the
    // platform a folder listing on every open to find it without regard to case: that is path
    // lookup, not the object files being read.
    Require(chdir(dir.Path().c_str()) == 0 && mkdir("objects", 0755) == 0, "data folder not made");
    TestScene* scene = NewScene();
    for (int file = 0; file < kFiles; ++file) {
      const std::string name = "grid" + std::to_string(file);
      CMesh* mesh = AddMesh(scene, name.c_str());
      Shape(mesh, float(file));
      Require(reader.GetObjectExporter()->SaveObject(mesh), "object not saved");
      names.push_back(name);
      paths.push_back(dir / ("objects/" + name + ".zko"));
      WritePly(mesh, dir / (name + ".ply"));
      plyPaths.push_back(dir / (name + ".ply"));
    }
    scene->Release();
    for (const std::string& path : paths) {
      std::ifstream in(path, std::ios::binary);
      contents.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
  }

  TestScene* NewScene() {
    auto* scene = new TestScene(&renderer, &log);
    scene->SetDirectory(directory.c_str());
    return scene;
  }
  CMesh* AddMesh(TestScene* scene, const char* name) {
    auto* mesh = new CMesh(&renderer, &log, scene, 0);
    mesh->SetName(name);
    scene->AppendWorldObject(mesh);
    return mesh;
  }
  static void Shape(CMesh* mesh, float height) {
    std::vector<Vertex> vertices((kSide + 1) * (kSide + 1));
    for (int z = 0; z <= kSide; ++z)
      for (int x = 0; x <= kSide; ++x) {
        Vertex& v = vertices[z * (kSide + 1) + x];
        v.vecPosition = {float(x), height + 0.01f * float((x * z) % 7), float(z)};
        v.vecNormal = {0, 1, 0};
        v.fTU[0] = float(x) / kSide;
        v.fTV[0] = float(z) / kSide;
      }
    std::vector<Face> faces;
    for (int z = 0; z < kSide; ++z)
      for (int x = 0; x < kSide; ++x) {
        const WORD a = WORD(z * (kSide + 1) + x), b = WORD(a + 1), c = WORD(a + kSide + 1), d = WORD(c + 1);
        const WORD triangles[2][3] = {{a, c, b}, {b, c, d}};
        for (const WORD* t : triangles) {
          Face face{};
          face.vecNormal = {0, 1, 0};
          face.wIndex1 = t[0];
          face.wIndex2 = t[1];
          face.wIndex3 = t[2];
          face.wFaceIndex = WORD(faces.size());
          faces.push_back(face);
        }
      }
    Require(mesh->SetVertices(UINT(vertices.size()), vertices.data(), 1) != 0, "vertices refused");
    Require(mesh->SetFaces(UINT(faces.size()), faces.data()) != 0, "faces refused");
  }
  static void WritePly(CMesh* mesh, const std::string& path) {
    FILE* out = fopen(path.c_str(), "wb");
    fprintf(out,
            "ply\nformat binary_little_endian 1.0\nelement vertex %u\nproperty float x\nproperty float y\n"
            "property float z\nelement face %u\nproperty list uchar int vertex_indices\nend_header\n",
            mesh->GetNumberOfVertices(), mesh->GetNumberOfFaces());
    for (UINT i = 0; i < mesh->GetNumberOfVertices(); ++i) fwrite(&mesh->GetVertices()[i].vecPosition, 4, 3, out);
    for (UINT i = 0; i < mesh->GetNumberOfFaces(); ++i) {
      const Face* face = mesh->GetFace(i);
      const unsigned char three = 3;
      const int corners[3] = {face->wIndex1, face->wIndex2, face->wIndex3};
      fwrite(&three, 1, 1, out);
      fwrite(corners, 4, 3, out);
    }
    fclose(out);
  }

  EngineContextScope context;
  CRecordingEngineLog log;
  RecordingRenderer renderer;
  FakeIndexBufferStorage indexBuffers;
  FakeVertexBufferStorage vertexBuffers;
  CCollisionManager manager{&renderer, &log};
  CMeshSpatialServices services{&log, &manager};
  FakeMeshSpatial standIns;
  CRecordingAllocator allocator;
  CVirtualFileSystem vfs{&log, &allocator, nullptr};
  TempDir dir;
  std::string directory;  // empty: the objects folder is below the working folder
  bool readerMade = false;
  CZKReader reader{&renderer, &log, readerMade};
  std::vector<std::string> names, paths, plyPaths;
  std::vector<std::vector<char>> contents;
};

ObjectFiles& Files() {
  static ObjectFiles files;
  return files;
}

int64_t TotalBytes(const ObjectFiles& files) {
  int64_t total = 0;
  for (const auto& bytes : files.contents) total += int64_t(bytes.size());
  return total;
}

// Loads every file into a new scene; with `useColliders`, each mesh is then asked for its
// collider, as a game that tests triangle contacts against every loaded mesh would.
void LoadAll(benchmark::State& state, bool useColliders) {
  ObjectFiles& files = Files();
  for (auto _ : state) {
    TestScene* scene = files.NewScene();
    for (const std::string& name : files.names) {
      CMesh* mesh = files.AddMesh(scene, name.c_str());
      if (!files.reader.GetObjectExporter()->LoadObjectFromDirectory(mesh, files.directory.c_str(), name.c_str(), 0))
        return state.SkipWithError("load failed");
      if (useColliders) benchmark::DoNotOptimize(mesh->GetCollider());
    }
    state.PauseTiming();
    scene->Release();
    files.log.entries.clear();
    files.standIns.calls.clear();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * TotalBytes(files));
}

// A mesh's collider is built when first used, so a load alone does not build it.
void LoadObjects(benchmark::State& state) { LoadAll(state, false); }
BENCHMARK(LoadObjects)->Unit(benchmark::kMillisecond);

// The same loads with every collider built: what the load cost before the build waited.
void LoadObjectsAndUseColliders(benchmark::State& state) { LoadAll(state, true); }
BENCHMARK(LoadObjectsAndUseColliders)->Unit(benchmark::kMillisecond);

// The parsing alone: the same loads with stand-in spatial services behind the meshes, so the
// time is the bytes going into mesh records (vertices, faces, edges, surfaces, shadow geometry)
// without the colliders and bounding volumes built from them.
void ParseObjects(benchmark::State& state) {
  ObjectFiles& files = Files();
  files.context->ports.meshSpatial.Set(&files.standIns);
  LoadAll(state, false);
  files.context->ports.meshSpatial.Set(&files.services);
}
BENCHMARK(ParseObjects)->Unit(benchmark::kMillisecond);

void RawRead(benchmark::State& state) {
  ObjectFiles& files = Files();
  std::vector<char> buffer;
  for (auto _ : state)
    for (size_t i = 0; i < files.paths.size(); ++i) {
      FILE* in = fopen(files.paths[i].c_str(), "rb");
      buffer.resize(files.contents[i].size());
      benchmark::DoNotOptimize(fread(buffer.data(), 1, buffer.size(), in));
      fclose(in);
    }
  state.SetBytesProcessed(state.iterations() * TotalBytes(files));
}
BENCHMARK(RawRead)->Unit(benchmark::kMillisecond);

// The same reads, each into new memory kept to the end of the pass, as a loader keeps the
// records it reads: the floor for any parse, which must also write every byte into memory that
// stays. RawRead's one buffer stays in the cache; eight files' worth of kept memory does not.
void RawReadKept(benchmark::State& state) {
  ObjectFiles& files = Files();
  std::vector<std::unique_ptr<char[]>> kept(files.paths.size());
  for (auto _ : state) {
    for (size_t i = 0; i < files.paths.size(); ++i) {
      FILE* in = fopen(files.paths[i].c_str(), "rb");
      kept[i].reset(new char[files.contents[i].size()]);
      benchmark::DoNotOptimize(fread(kept[i].get(), 1, files.contents[i].size(), in));
      fclose(in);
    }
    state.PauseTiming();
    for (auto& bytes : kept) bytes.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * TotalBytes(files));
}
BENCHMARK(RawReadKept)->Unit(benchmark::kMillisecond);

void AssimpReadPly(benchmark::State& state) {
  ObjectFiles& files = Files();
  for (auto _ : state)
    for (const std::string& path : files.plyPaths) {
      const aiScene* scene = aiImportFile(path.c_str(), 0);
      if (scene == nullptr || scene->mNumMeshes != 1) return state.SkipWithError("PLY not read");
      aiReleaseImport(scene);
    }
  state.SetBytesProcessed(state.iterations() * TotalBytes(files));
}
BENCHMARK(AssimpReadPly)->Unit(benchmark::kMillisecond);

void SaveObjects(benchmark::State& state) {
  ObjectFiles& files = Files();
  TestScene* scene = files.NewScene();
  std::vector<CMesh*> meshes;
  for (const std::string& name : files.names) {
    meshes.push_back(files.AddMesh(scene, name.c_str()));
    files.reader.GetObjectExporter()->LoadObjectFromDirectory(meshes.back(), files.directory.c_str(), name.c_str(), 0);
  }
  for (auto _ : state)
    for (CMesh* mesh : meshes)
      if (!files.reader.GetObjectExporter()->SaveObject(mesh)) return state.SkipWithError("save failed");
  scene->Release();
  state.SetBytesProcessed(state.iterations() * TotalBytes(files));
}
BENCHMARK(SaveObjects)->Unit(benchmark::kMillisecond);

void RawWrite(benchmark::State& state) {
  ObjectFiles& files = Files();
  for (auto _ : state)
    for (size_t i = 0; i < files.paths.size(); ++i) {
      FILE* out = fopen(files.paths[i].c_str(), "wb");
      fwrite(files.contents[i].data(), 1, files.contents[i].size(), out);
      fclose(out);
    }
  state.SetBytesProcessed(state.iterations() * TotalBytes(files));
}
BENCHMARK(RawWrite)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
