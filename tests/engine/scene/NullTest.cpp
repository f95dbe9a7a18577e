#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "EngineContextScope.h"
#include "FakeSceneMesh.h"
#include "FakeSprite.h"
#include "RecordingDrawRenderer.h"
#include "RecordingEngineLog.h"
#include "RecordingNullScriptHost.h"
#include "RecordingStream.h"
#include "TestScene.h"
#include "scene/Null.h"

namespace {

constexpr float kPi = 3.14159265358979f;

void ExpectVectorNear(const CVector3& actual, const CVector3& expected, float tolerance = 1e-5f) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

class NullTest : public ::testing::Test {
 protected:
  NullTest() : scene(new TestScene(&renderer, &log)) { context->ports.nullScripts.Set(&scripts); }
  ~NullTest() override { scene->Release(); }

  CNull* AddNull(const char* nameText = "pivot") {
    auto* null = new CNull(&renderer, &log, nameText);
    null->SetOwnerScene(scene);
    scene->AppendWorldObject(null);
    return null;
  }
  static void RunPasses(CNull* null, float frame) {
    null->PrepareMatrices(frame);
    null->UpdateHierarchy(frame);
  }

  EngineContextScope context;
  RecordingDrawRenderer renderer;
  CRecordingEngineLog log;
  RecordingNullScriptHost scripts;
  TestScene* scene;
};

TEST_F(NullTest, ImportedNameSplitsIntoNameAndScript) {
  struct Case {
    const char* text;
    const char* name;
    const char* script;
    const char* logged;
  };
  const Case cases[] = {
      {"Door;PlaySound(\"creak\")", "door", "PlaySound(\"creak\")",
       "- Creating NULL: door\n- Creating NULL: door With Script Attached: PlaySound(\"creak\")\n"},
      {"Lamp", "lamp", "", "- Creating NULL: lamp\n  - No Script Attached\n"},
      {"A;b;c", "a", "b;c", "- Creating NULL: a\n- Creating NULL: a With Script Attached: b;c\n"},
      {";Run()", "", "Run()", "- Creating NULL: \n- Creating NULL:  With Script Attached: Run()\n"},
  };
  for (const Case& c : cases) {
    log.entries.clear();
    CNull null(&renderer, &log, c.text);
    EXPECT_STREQ(null.GetName(), c.name) << c.text;
    EXPECT_STREQ(null.GetScript(), c.script) << c.text;
    EXPECT_EQ(log.TextAt(1), c.logged) << c.text;
    EXPECT_EQ(*null.GetCurrentMatrix(), CMatrix::Identity());
  }
}

TEST_F(NullTest, LongNamesAndScriptsAreCut) {
  const std::string name(400, 'N'), script(400, 's');
  CNull null(&renderer, &log, (name + ";" + script).c_str());
  EXPECT_EQ(std::strlen(null.GetName()), 255u);
  EXPECT_EQ(std::strlen(null.GetScript()), 255u);
  null.SetName(name.c_str());
  EXPECT_EQ(std::strlen(null.GetName()), 255u);
  null.SetName(nullptr);
  EXPECT_STREQ(null.GetName(), "");
}

TEST_F(NullTest, ScriptRunsOnceAfterItSucceeds) {
  CNull* null = AddNull("door;Open()");
  EXPECT_EQ(null->ApplyScript(), 1u);
  EXPECT_EQ(null->ApplyScript(), 1u);
  ASSERT_EQ(scripts.runs.size(), 1u);
  EXPECT_EQ(scripts.runs[0].parent, static_cast<CNullInterface*>(null));
  EXPECT_EQ(scripts.runs[0].module, "ZeKorbConsole");
  EXPECT_EQ(scripts.runs[0].script, "Open()");
  EXPECT_EQ(scripts.runs[0].flags, 0u);
  EXPECT_EQ(null->GetScriptApplied(), 1u);
}

TEST_F(NullTest, FailedScriptLogsItsMessagesAndIsTriedAgain) {
  CNull* null = AddNull("door;Broken(");
  scripts.result = -1;
  scripts.messages = {"Unexpected end of file", "Line 1"};
  EXPECT_EQ(null->ApplyScript(), 1u);
  EXPECT_EQ(null->GetScriptApplied(), 0u);
  EXPECT_EQ(log.TextAt(2), "Unexpected end of file\nLine 1\n");
  scripts.result = 0;
  null->ApplyScript();
  null->ApplyScript();
  EXPECT_EQ(scripts.runs.size(), 2u);

  // Nothing to run without a script.
  AddNull("plain")->ApplyScript();
  EXPECT_EQ(scripts.runs.size(), 2u);
}

TEST_F(NullTest, WithoutScriptStorageTheScriptWaits) {
  context->ports.nullScripts.Reset();
  context->pLog = &log;  // the default host says so in the engine's log
  CNull* null = AddNull("door;Open()");
  EXPECT_EQ(null->ApplyScript(), 1u);
  EXPECT_EQ(null->GetScriptApplied(), 0u);
  EXPECT_NE(log.TextAt(2).find("door"), std::string::npos);
}

TEST_F(NullTest, UnknownOptionTypeKeepsEveryOption) {
  CNull* null = AddNull();
  RecordingStream stream;
  CNullOptionsInterface* options = null->GetNullOptions();
  options->SetOption(2, &stream, 1);
  options->SetOption(3, nullptr, 7);
  EXPECT_EQ(options->GetTonarisStreamOption(), &stream);
  EXPECT_EQ(options->GetOptionFlags(), 1u);
  EXPECT_EQ(options->GetOptionsTypes(), 2u);
  EXPECT_EQ(log.TextAt(2), "WARNING!!! - Can't Set NullOption, Unknown Option Type\n");

  options->SetOption(1, reinterpret_cast<TonarisStream*>(uintptr_t{42}), 0);
  EXPECT_EQ(options->GetType1Option(), 42u);
  EXPECT_EQ(options->GetOptionFlags(), 0u);
  EXPECT_EQ(options->GetOptionsTypes(), 3u);
  options->SetOption(2, nullptr, 0);
  EXPECT_EQ(options->GetOptionsTypes(), 1u);
}

TEST_F(NullTest, StreamStartsOnlyWhenAskedButAlwaysFollows) {
  CNull* null = AddNull();
  RecordingStream stream;
  null->GetNullOptions()->SetOption(2, &stream, 0);
  null->SetPosition({1, 2, 3});
  EXPECT_EQ(null->StartOption(), 1u);
  EXPECT_EQ(stream.playCalls, 0);
  RunPasses(null, 0.0f);
  EXPECT_EQ(stream.positionCalls, 1);
  EXPECT_FLOAT_EQ(stream.position[0], 1.0f);
  EXPECT_FLOAT_EQ(stream.position[1], 2.0f);
  EXPECT_FLOAT_EQ(stream.position[2], 3.0f);

  null->GetNullOptions()->SetOptionFlags(1);
  null->StartOption();
  EXPECT_EQ(stream.playCalls, 1);
}

TEST_F(NullTest, SpriteFollowsTheNull) {
  CNull* null = AddNull();
  FakeSprite sprite("sprite");
  null->GetOptions()->SetSpriteOption(&sprite, 1);
  EXPECT_EQ(null->GetNullOptions()->GetType8Option(), &sprite);
  null->SetPosition({4, 5, 6});
  RunPasses(null, 0.0f);
  EXPECT_EQ(sprite.position, CVector3(4, 5, 6));
}

TEST_F(NullTest, MatrixPassScalesRotatesAndMoves) {
  CNull* null = AddNull();
  // Six channels and no explicit scale: unit scale.
  null->GetMotion(0.0f)->SetNumberOfChannels(6);
  null->SetRotation({kPi / 2, 0, 0});
  null->SetPosition({1, 2, 3});
  RunPasses(null, 0.0f);
  CVector3 scale;
  null->GetScale(&scale);
  EXPECT_EQ(scale, CVector3(1, 1, 1));
  ExpectVectorNear(CVector3(1, 0, 0) * *null->GetCurrentMatrix(), {1, 2, 2});

  null->SetScale({2, 2, 2});
  RunPasses(null, 1.0f);
  ExpectVectorNear(CVector3(1, 0, 0) * *null->GetCurrentMatrix(), {1, 2, 1});
  // The rotation matrix holds the turn alone.
  ExpectVectorNear(CVector3(1, 0, 0) * *null->GetCurrentRotationMatrix(), {0, 0, -1});

  // The same turn as a quaternion about Y.
  null->SetAdditionalTransformation(0, std::sin(kPi / 4), 0, std::cos(kPi / 4));
  null->SetRotation({0, 0, 0});
  RunPasses(null, 2.0f);
  ExpectVectorNear(CVector3(1, 0, 0) * *null->GetCurrentMatrix(), {1, 2, 1});
}

TEST_F(NullTest, ChildFollowsItsParent) {
  CNull* parent = AddNull("parent");
  CNull* child = AddNull("child");
  child->SetParentObject(parent);
  EXPECT_EQ(child->GetParentObject(), parent);
  EXPECT_EQ(child->GetTopmostParent(), parent);
  parent->SetPosition({10, 0, 0});
  parent->SetRotation({kPi / 2, 0, 0});
  child->SetPosition({0, 0, 1});
  RunPasses(parent, 0.0f);
  RunPasses(child, 0.0f);
  CVector3 world;
  child->GetPosition(&world, 0);
  ExpectVectorNear(world, {11, 0, 0});
  // The rotation matrix takes the parent's turn but not its move.
  ExpectVectorNear(CVector3(0, 0, 1) * *child->GetCurrentRotationMatrix(), {1, 0, 0});

  CMatrix atFrame;
  child->MotionToMatrix(&atFrame, 0.0f);
  EXPECT_EQ(atFrame, *child->GetCurrentMatrix());
}

TEST_F(NullTest, ParentingToItselfIsRefused) {
  CNull* null = AddNull("hinge");
  null->SetParentObject(null);
  EXPECT_EQ(null->GetParentObject(), nullptr);
  EXPECT_EQ(log.TextAt(2), "WARNING!!! - Can't Parent Item To Itself: hinge\n");
  EXPECT_EQ(null->GetTopmostParent(), null);
}

TEST_F(NullTest, RotationAddsTheParentsForFlagZero) {
  auto* mesh = new FakeSceneMesh(scene);
  scene->AppendWorldObject(mesh);
  mesh->rotation = {0.5f, 0, 0};
  CNull* null = AddNull();
  null->SetParentObject(mesh);
  null->SetRotation({0.25f, 0.1f, 0});
  CVector3 rotation;
  null->GetRotation(&rotation, 1);
  ExpectVectorNear(rotation, {0.25f, 0.1f, 0});
  null->GetRotation(&rotation, 0);
  ExpectVectorNear(rotation, {0.75f, 0.1f, 0});

  CVector3 untouched(7, 7, 7);
  null->GetRotation(&untouched, 2);
  null->GetPosition(&untouched, 2);
  EXPECT_EQ(untouched, CVector3(7, 7, 7));
  EXPECT_EQ(log.TextAt(2),
            "WARNING!!! - Unknown FLAG For CNull::GetRotation\n"
            "WARNING!!! - Unknown FLAG For CNull::GetPosition\n");
}

TEST_F(NullTest, SetFramePinsItselfAndReachesChildren) {
  CNull* null = AddNull();
  auto* child = new FakeSceneMesh(scene);
  scene->AppendWorldObject(child);
  child->SetParentObject(null);
  null->SetFrame(12.0f, 1);
  EXPECT_EQ(child->setFrames, std::vector<float>{12.0f});
  RunPasses(null, 3.0f);
  EXPECT_EQ(null->GetFrame(), 12.0f);
  null->SetFrame(-1.0f, 0);
  RunPasses(null, 3.0f);
  EXPECT_EQ(null->GetFrame(), 3.0f);
}

TEST_F(NullTest, AxesDrawAsThreeLinesInWireframe) {
  CNull* null = AddNull();
  null->SetPosition({1, 2, 3});
  RunPasses(null, 0.0f);
  null->DrawAxes();
  EXPECT_EQ(renderer.calls,
            (std::vector<std::string>{"transform 256", "fvf 450", "vertex shader null",
                                      "pixel shader null", "state 8=2", "draw", "state 8=3"}));
  EXPECT_EQ(renderer.transforms[0].second, *null->GetCurrentMatrix());
  ASSERT_EQ(renderer.draws.size(), 1u);
  const RecordingDrawRenderer::Draw& draw = renderer.draws[0];
  EXPECT_EQ(draw.type, 2u);
  EXPECT_EQ(draw.minIndex, 0u);
  EXPECT_EQ(draw.vertexCount, 6u);
  EXPECT_EQ(draw.primitiveCount, 3u);
  EXPECT_EQ(draw.indexFormat, 101u);
  EXPECT_EQ(draw.stride, 28u);
  EXPECT_EQ(draw.indices, (std::vector<WORD>{0, 1, 2, 3, 4, 5}));
  const float ends[6][3] = {{0, -0.75f, 0}, {0, 0.75f, 0}, {-0.75f, 0, 0},
                            {0.75f, 0, 0},  {0, 0, -0.75f}, {0, 0, 0.75f}};
  for (int i = 0; i < 6; ++i) {
    float position[3];
    DWORD colours[2];
    float uv[2];
    std::memcpy(position, &draw.vertexBytes[i * 28], 12);
    std::memcpy(colours, &draw.vertexBytes[i * 28 + 12], 8);
    std::memcpy(uv, &draw.vertexBytes[i * 28 + 20], 8);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(position[k], ends[i][k]) << i;
    EXPECT_EQ(colours[0], 0x8000FFC0u);
    EXPECT_EQ(colours[1], 0u);
    EXPECT_EQ(uv[0], 0.0f);
    EXPECT_EQ(uv[1], 0.0f);
  }
}

TEST_F(NullTest, CloneCopiesPlacementButNotScriptOrOptions) {
  CNull* null = AddNull("door;Open()");
  RecordingStream stream;
  null->GetNullOptions()->SetOption(2, &stream, 1);
  null->SetPosition({1, 2, 3});
  null->SetTag(5);
  RunPasses(null, 0.0f);

  CNullInterface* cloneInterface = nullptr;
  EXPECT_EQ(null->Clone(&cloneInterface), 1u);
  auto* clone = dynamic_cast<CNull*>(cloneInterface);
  ASSERT_NE(clone, nullptr);
  EXPECT_EQ(scene->GetNumberOfNullObjects(), 2u);
  EXPECT_EQ(clone->GetScene(), scene);
  EXPECT_STREQ(clone->GetName(), "door");
  EXPECT_STREQ(clone->GetScript(), "");
  EXPECT_EQ(clone->GetNullOptions()->GetTonarisStreamOption(), nullptr);
  EXPECT_EQ(*clone->GetCurrentMatrix(), *null->GetCurrentMatrix());
  CVector3 position;
  clone->GetPosition(&position, 1);
  EXPECT_EQ(position, CVector3(1, 2, 3));
  EXPECT_EQ(clone->GetTag(), 0u);
}

TEST_F(NullTest, ReleaseLeavesTheSceneAndLogs) {
  CNull* null = AddNull("door");
  EXPECT_EQ(scene->GetNumberOfNullObjects(), 1u);
  log.entries.clear();
  null->Release();
  EXPECT_EQ(scene->GetNumberOfNullObjects(), 0u);
  EXPECT_EQ(log.TextAt(1), "- (CNull) Releasing door\n");
}

}  // namespace
