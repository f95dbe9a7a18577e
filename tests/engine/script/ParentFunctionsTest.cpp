// The parent functions: the engine object the innermost running text works on, handed out only
// as the interface of its own kind.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "EngineContextScope.h"
#include "FakeWorldObject.h"
#include "RecordingDrawRenderer.h"
#include "RecordingEngineLog.h"
#include "TestScene.h"
#include "ZKDXGlobals.h"
#include "scene/Null.h"
#include "scene/Surface.h"
#include "script/ScriptStorage.h"

using namespace AngelScript;

namespace {

// What the five functions answered in one call.
struct Parents {
  void* mesh;
  void* light;
  void* surface;
  void* scene;
  void* null;
  bool operator==(const Parents&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Parents& p) {
  return out << "{mesh " << p.mesh << ", light " << p.light << ", surface " << p.surface
             << ", scene " << p.scene << ", null " << p.null << "}";
}

constexpr const char* kRecord =
    "Record(GetMeshParent(), GetLightParent(), GetSurfaceParent(), GetSceneParent(), "
    "GetNullParent());";

class ParentFunctionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(storage.Initialize(), 1u) << log.TextAt(CEngineLog::kLevelError);
    context->pScriptStorage = &storage;
    context->ports.nullScripts.Set(&storage);
    s_test = this;
    asIScriptEngine* engine = storage.GetScriptEngine();
    ASSERT_GE(engine->RegisterGlobalFunction(
                  "void Record(CMeshInterface@, CLightInterface@, CSurfaceInterface@, "
                  "CSceneInterface@, CNullInterface@)",
                  asFUNCTION(Record), asCALL_CDECL),
              0);
    ASSERT_GE(engine->RegisterGlobalFunction("void RunNested()", asFUNCTION(RunNested),
                                             asCALL_CDECL),
              0);
    mesh = scene->AddMesh(0);
    light = scene->AddLight();
    null = scene->AddNull();
    ASSERT_TRUE(mesh && light && null);
  }
  void TearDown() override {
    s_test = nullptr;
    surface->Release();
    scene->Release();
  }

  int Run(ScriptParent parent, const char* text) {
    return storage.ExecuteString(parent, "ZeKorbConsole", text, nullptr, 0);
  }

  static void Record(CMeshInterface* mesh, CLightInterface* light, CSurfaceInterface* surface,
                     CSceneInterface* scene, CNullInterface* null) {
    s_test->seen.push_back({mesh, light, surface, scene, null});
  }
  static void RunNested() { s_test->nested(); }

  static inline ParentFunctionsTest* s_test = nullptr;
  EngineContextScope context;
  CRecordingEngineLog log;
  CScriptStorage storage{&log};
  RecordingDrawRenderer renderer;
  TestScene* scene = new TestScene(&renderer, &log);
  CSurface* surface = new CSurface(&renderer, &log, nullptr);
  CMeshInterface* mesh = nullptr;
  CLightInterface* light = nullptr;
  CNullInterface* null = nullptr;
  std::vector<Parents> seen;
  std::function<void()> nested;
};

TEST_F(ParentFunctionsTest, EachFunctionAnswersOnlyForAParentOfItsKind) {
  FakeWorldObject notAMesh(nullptr, WORLD_OBJECT_MESH);  // says mesh, is none
  FakeWorldObject camera(nullptr, WORLD_OBJECT_CAMERA);
  const Parents none = {};
  CSurfaceInterface* asSurface = surface;
  CSceneInterface* asScene = scene;
  struct Case {
    const char* what;
    ScriptParent parent;
    Parents expected;
    bool withHost = true;
  };
  const Case cases[] = {
      {"console line", {}, none},
      {"null", ScriptParent::Of(null), {nullptr, nullptr, nullptr, nullptr, null}},
      {"mesh", ScriptParent::Of(mesh), {mesh, nullptr, nullptr, nullptr, nullptr}},
      {"light", ScriptParent::Of(light), {nullptr, light, nullptr, nullptr, nullptr}},
      {"surface", ScriptParent::Of(surface), {nullptr, nullptr, asSurface, nullptr, nullptr}},
      {"scene", ScriptParent::Of(scene), {nullptr, nullptr, nullptr, asScene, nullptr}},
      {"type word of a mesh on another object", ScriptParent::Of(&notAMesh), none},
      {"camera", ScriptParent::Of(&camera), none},
      {"no script host", ScriptParent::Of(mesh), none, false},
  };
  for (const Case& c : cases) {
    seen.clear();
    context->pScriptStorage = c.withHost ? &storage : nullptr;
    EXPECT_EQ(Run(c.parent, kRecord), 0) << c.what << log.TextAt(CEngineLog::kLevelError);
    EXPECT_EQ(seen, std::vector<Parents>{c.expected}) << c.what;
  }
}

TEST_F(ParentFunctionsTest, NestedTextsSeeTheirOwnParentAndAConsoleLineAfterwardsSeesNone) {
  // A null's own script, run by the scene, with a mesh's text inside it.
  auto* scripted = new CNull(&renderer, &log,
                             ("pivot;" + std::string(kRecord) + " RunNested(); " + kRecord).c_str());
  scripted->SetOwnerScene(scene);
  scene->AppendWorldObject(scripted);
  nested = [&] { EXPECT_EQ(Run(ScriptParent::Of(mesh), kRecord), 0); };
  scene->ApplyNullScripts();
  ASSERT_EQ(scripted->GetScriptApplied(), 1u) << log.TextAt(CEngineLog::kLevelError);
  CNullInterface* scriptedNull = scripted;
  const Parents outer = {nullptr, nullptr, nullptr, nullptr, scriptedNull};
  const Parents inner = {mesh, nullptr, nullptr, nullptr, nullptr};
  EXPECT_EQ(seen, (std::vector<Parents>{outer, inner, outer}));

  seen.clear();
  EXPECT_EQ(Run({}, kRecord), 0);
  EXPECT_EQ(seen, std::vector<Parents>{Parents{}});
}

}  // namespace
