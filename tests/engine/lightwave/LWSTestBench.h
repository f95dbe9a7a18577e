#pragma once
// What the scene-reader suites share: a data folder over a real virtual file system, the scene
// reader's records with a scene to fill, and the outcome of a load (returned, or stopped with
// one error box). Fatal stops end in ProcessExited.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FakeMeshBoundVolume.h"
#include "FakeMeshSpatial.h"
#include "FakeSurfaceBanks.h"
#include "LWOBuilder.h"
#include "LWSBuilder.h"
#include "LoadingTestBench.h"
#include "RecordingRenderer.h"
#include "TestScene.h"
#include "ZKDXInterface.h"
#include "lightwave/LWOReaderState.h"
#include "lightwave/LWSImport.h"
#include "lightwave/LWSLineReader.h"
#include "lightwave/LWSReader.h"
#include "scene/LWOImportBuffer.h"
#include "scene/LWSCameraBuffer.h"
#include "scene/LWSLightBuffer.h"
#include "scene/LWSNullBuffer.h"
#include "scene/LWSSceneBuffer.h"
#include "scene/SurfaceFactory.h"

// How a load ended: returned, or stopped with the one box it showed.
struct LWSOutcome {
  bool stopped = false;
  std::string caption;
  std::string text;
};

class LWSTestBench {
 public:
  static constexpr const char* kFileName = "scene.lws";

  LWSTestBench() {
    object->Reset();
    renderer.indexBufferStorage = &indexBuffers;
    renderer.materialStorage = &materials;
    spatial.boundVolume = &boundVolume;  // cameras ask meshes' volumes what they see
    bench.context->ports.meshSpatial.Set(&spatial);
    bench.context->ports.surfaceFactory.Set(&surfaces);
    // The objects scenes name, in the "objects" folder beside them.
    WriteObject("box.lwo", Triangle());
  }
  // A triangle of one surface.
  static CLWOBuilder Triangle() {
    CLWOBuilder object;
    object.Tags({"Skin"}).Layer().Points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}).Triangles({{0, 1, 2}})
        .SurfaceTags({{0, 0}}).Surface("Skin");
    return object;
  }
  void WriteObject(const std::string& name, const CLWOBuilder& object) {
    const std::vector<uint8_t> bytes = object.File();
    bench.folder.Write("objects/" + name, std::string(bytes.begin(), bytes.end()));
  }
  ~LWSTestBench() { target->Release(); }
  LWSTestBench(const LWSTestBench&) = delete;
  LWSTestBench& operator=(const LWSTestBench&) = delete;

  void Write(const std::string& text, const std::string& name = kFileName) {
    bench.folder.Write(name, text);
  }
  // Reads `name` from `directory` into the records and the scene.
  UINT Load(const std::string& name = kFileName, const std::string& directory = "") {
    std::string writableName = name;
    std::string writableDirectory = directory;
    return LWSReader(import).Load(writableName.data(), writableDirectory.data());
  }
  UINT Load(const CLWSBuilder& scene) {
    Write(scene.Text());
    return Load();
  }
  // Runs `body` and reports how it ended; a stop must show exactly one box and exit with 1.
  LWSOutcome Run(const std::function<void()>& body) {
    LWSOutcome outcome;
    try {
      body();
    } catch (const ProcessExited& exited) {
      outcome.stopped = true;
      EXPECT_EQ(exited.code, 1u);
      const std::vector<ZkTestMessageBox> boxes = bench.exits.Boxes();
      EXPECT_EQ(boxes.size(), 1u);
      if (!boxes.empty()) {
        outcome.caption = boxes.back().caption;
        outcome.text = boxes.back().text;
      }
    }
    return outcome;
  }
  // The file `text`, opened for line reading.
  std::unique_ptr<LWSLineReader> Lines(const std::string& text) {
    Write(text, "lines.lws");
    VFSFile* file = bench.vfs.OpenNormalFile("lines.lws", "rt");
    EXPECT_NE(file, nullptr);
    return std::make_unique<LWSLineReader>(file, "lines.lws");
  }

  LoadingTestBench bench;
  RecordingRenderer renderer;
  FakeIndexBufferStorage indexBuffers;
  FakeMaterialStorage materials;
  FakeMeshBoundVolume boundVolume;
  FakeMeshSpatial spatial;
  CSurfaceFactory surfaces;
  std::unique_ptr<LWSSceneBuffer> scene = std::make_unique<LWSSceneBuffer>();
  std::unique_ptr<LWOImportBuffer> object = std::make_unique<LWOImportBuffer>();
  LWOReaderState objectReader{*object};
  std::unique_ptr<LWSLightBuffer> light = std::make_unique<LWSLightBuffer>();
  std::unique_ptr<LWSCameraBuffer> camera = std::make_unique<LWSCameraBuffer>();
  std::unique_ptr<LWSNullBuffer> null = std::make_unique<LWSNullBuffer>();
  TestScene* target = new TestScene(&renderer, &bench.log);
  LWSImport import{*scene, *object, objectReader, *light, *camera, *null, *target, &bench.log};
};

// Writes `text` as the scene file and loads it: with `caption` null the load must return;
// otherwise it must stop with that caption and `message`.
inline void ExpectLoadOutcome(const std::string& text, const char* caption, const std::string& message) {
  LWSTestBench t;
  t.Write(text);
  const LWSOutcome outcome = t.Run([&] { EXPECT_EQ(t.Load(), 1u); });
  EXPECT_EQ(outcome.stopped, caption != nullptr);
  if (caption != nullptr) {
    EXPECT_EQ(outcome.caption, caption);
    EXPECT_EQ(outcome.text, message);
  }
}

// A key of `value` at `seconds`.
inline CLWSBuilder::Key KeyAt(float value, float seconds) {
  CLWSBuilder::Key key;
  key.value = value;
  key.seconds = seconds;
  return key;
}
