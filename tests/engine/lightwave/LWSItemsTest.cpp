// The item blocks of a scene file: objects with their settings and bones, lights with their
// numbering, cameras and nulls, each created in the scene at the end of its block.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "LWSTestBench.h"
#include "scene/Bone.h"
#include "scene/Key.h"
#include "scene/Light.h"

namespace {

constexpr float kQuarterTurn = 1.5707964f;  // 90 times the degree constant, as a float

// An object block naming `path`, its first group holding `first` and its second `second`.
CLWSBuilder& Object(CLWSBuilder& scene, const std::vector<std::string>& second,
                    const std::string& path = "Objects/box.lwo",
                    const std::function<void(CLWSBuilder&)>& first = nullptr) {
  scene.Line("LoadObjectLayer 1 " + path).Line("ShowObject 6 3");
  if (first) first(scene);
  scene.Empty();
  for (const std::string& line : second) scene.Line(line);
  return scene.Empty();
}

// A plain object that other items can name: item 0 of kind 1 (objects and nulls).
CLWSBuilder& Box(CLWSBuilder& scene) { return Object(scene, {}); }

// A bone section of `count` bones after a falloff line, ending with the Shadow line.
std::vector<std::string> Bones(int count) {
  std::vector<std::string> lines = {"BoneFalloffType 5"};
  for (int i = 0; i < count; ++i) {
    lines.push_back("AddBone Bone" + std::to_string(i));
    lines.push_back("ParentItem 4000");
  }
  lines.push_back("ShadowOptions 7");
  return lines;
}

struct ObjectCase {
  const char* name;
  std::vector<std::string> second;
  std::string path;
  std::function<void(const LWOImportBuffer&)> check;
};

TEST(LWSItemsTest, ObjectKeysFillTheObjectRecord) {
  const ObjectCase cases[] = {
      {"start values", {}, "Objects/box.lwo",
       [](const LWOImportBuffer& o) {
         EXPECT_STREQ(o.fileName, "box.lwo");
         EXPECT_EQ(o.morphTarget, -1);
         EXPECT_EQ(o.shadowOptions, 7);
         EXPECT_EQ(o.seenByRays, 1u);
         EXPECT_EQ(o.seenByCamera, 1u);
         EXPECT_EQ(o.hasBones, 0u);
       }},
      {"the path's file name in lower case", {}, "Objects/Box.LWO",
       [](const LWOImportBuffer& o) { EXPECT_STREQ(o.fileName, "box.lwo"); }},
      {"a blank in the path separates", {}, "Objects/My Box.lwo",
       [](const LWOImportBuffer& o) { EXPECT_STREQ(o.fileName, "box.lwo"); }},
      {"UnseenByCamera 1 clears seen by camera", {"UnseenByCamera 1", "UnseenByRays 1"}, "Objects/box.lwo",
       [](const LWOImportBuffer& o) {
         EXPECT_EQ(o.seenByCamera, 0u);
         EXPECT_EQ(o.seenByRays, 0u);
       }},
      {"UnseenByCamera 0 leaves it set", {"UnseenByCamera 0"}, "Objects/box.lwo",
       [](const LWOImportBuffer& o) { EXPECT_EQ(o.seenByCamera, 1u); }},
      {"UnseenByCamera 2 leaves it set", {"UnseenByCamera 2"}, "Objects/box.lwo",
       [](const LWOImportBuffer& o) { EXPECT_EQ(o.seenByCamera, 1u); }},
      {"pivot, parent, shadows, morph target",
       {"PivotPosition 1 2 3", "ParentItem 10000000", "ShadowOptions 3", "MorphTarget 1"}, "Objects/box.lwo",
       [](const LWOImportBuffer& o) {
         EXPECT_EQ(o.pivotPosition, CVector3(1, 2, 3));
         EXPECT_EQ(o.parentItem[0], 1u);
         EXPECT_EQ(o.parentItem[1], 0u);
         EXPECT_EQ(o.shadowOptions, 3);
         EXPECT_EQ(o.morphEnabled, 1u);
         EXPECT_EQ(o.morphTarget, 1);
       }},
      {"a constant dissolve is the third field", {"ObjectDissolve 0 0.5"}, "Objects/box.lwo",
       [](const LWOImportBuffer& o) {
         EXPECT_EQ(o.dissolve.isEnvelope, 0u);
         EXPECT_FLOAT_EQ(o.dissolve.value, 0.5f);
       }},
      {"a dissolve of two fields is 0", {"ObjectDissolve 0.5"}, "Objects/box.lwo",
       [](const LWOImportBuffer& o) { EXPECT_FLOAT_EQ(o.dissolve.value, 0.0f); }},
      {"enveloped dissolve and morph amount",
       {"ObjectDissolve (envelope)", "{ Envelope", "  1", "  Key 0.25 1 0 0 0 0 0 0 0", "  Behaviors 1 1", "}",
        "MorphAmount (envelope)", "{ Envelope", "  1", "  Key 0.75 0 0 0 0 0 0 0 0", "  Behaviors 1 1", "}",
        "MorphTarget 1", "ShadowOptions 1"},
       "Objects/box.lwo",
       [](const LWOImportBuffer& o) {
         EXPECT_EQ(o.dissolve.isEnvelope, 1u);
         ASSERT_NE(o.dissolve.channel.FirstKey(), nullptr);
         EXPECT_FLOAT_EQ(o.dissolve.channel.FirstKey()->Time(), 30.0f);
         EXPECT_EQ(o.morphEnabled, 1u);
         CMotion& morph = const_cast<CMotion&>(o.morphMotion);
         EXPECT_EQ(morph.GetNumberOfChannels(), 1u);
         EXPECT_FLOAT_EQ(morph.GetChannel(0)->FirstKey()->Value(), 0.75f);
         EXPECT_EQ(o.shadowOptions, 1);  // the group goes on after the envelopes
       }},
  };
  for (const ObjectCase& c : cases) {
    SCOPED_TRACE(c.name);
    LWSTestBench t;
    CLWSBuilder scene;
    // The object read last stays in the record; the first is there to be named.
    Object(Box(scene.Header()), c.second, c.path);
    ASSERT_EQ(t.Load(scene), 1u);
    c.check(*t.object);
    EXPECT_EQ(t.target->GetNumberOfMeshes(), 2u);
  }
}

TEST(LWSItemsTest, TheObjectMotionAndItsPivotRotation) {
  LWSTestBench t;
  CLWSBuilder scene;
  Object(scene.Header(), {"PivotRotation 90 0 0"}, "Objects/box.lwo", [](CLWSBuilder& b) {
    b.Motion("ObjectMotion", {{0, {KeyAt(1, 0)}}, {3, {KeyAt(0.5f, 0)}}}, 9, false);
  });
  ASSERT_EQ(t.Load(scene), 1u);
  EXPECT_EQ(t.object->motion.GetNumberOfChannels(), 9u);
  EXPECT_EQ(t.object->motion.GetChannel(3)->FirstKey()->Value(), 0.5f + kQuarterTurn);
  EXPECT_EQ(t.object->pivotRotation.x, kQuarterTurn);
}

TEST(LWSItemsTest, BonesLoadUpToTheLimitWithTheirKeys) {
  {
    LWSTestBench t;
    CLWSBuilder scene;
    Object(scene.Header(), Bones(63));
    ASSERT_EQ(t.Load(scene), 1u);
    EXPECT_EQ(t.object->hasBones, 1u);
    EXPECT_EQ(t.object->boneCount, 63u);
    EXPECT_STREQ(t.object->bones[62].GetName(), "Bone62");
    EXPECT_EQ(t.object->bones[62].GetFalloffType(), 5u);
  }
  LWSTestBench t;
  CLWSBuilder scene;
  Object(scene.Header(), {"ShadowOptions 1", "BoneFalloffType 2", "AddBone Upper Arm", "BoneActive 1",
                          "BoneRestPosition 1 2 3", "BoneRestDirection 90 0 0", "BoneRestLength 2.5",
                          "BoneStrength 0.5", "ScaleBoneStrength 1", "BoneWeightMapName Arm Weights",
                          "BoneWeightMapOnly 1", "BoneNormalization 1", "BoneMotion", "NumChannels 9",
                          "Channel 4", "{ Envelope", "  1", "  Key 3 0 0 0 0 0 0 0 0", "  Behaviors 1 1", "}",
                          "", "ParentItem 4012", "AddBone", "ParentItem 4000", "ShadowExclusion", "UnseenByRays 1"});
  ASSERT_EQ(t.Load(scene), 1u);
  ASSERT_EQ(t.object->boneCount, 2u);
  const CBone& arm = t.object->bones[0];
  EXPECT_STREQ(arm.GetName(), "Upper Arm");
  EXPECT_EQ(arm.GetActive(), 1u);
  EXPECT_EQ(arm.GetRestPosition(), CVector3(1, 2, 3));
  EXPECT_EQ(arm.GetRestRotation().x, kQuarterTurn);
  EXPECT_FLOAT_EQ(arm.GetRestLength(), 2.5f);
  EXPECT_FLOAT_EQ(arm.GetStrength(), 0.5f);
  EXPECT_EQ(arm.GetScaleByLength(), 1u);
  EXPECT_STREQ(arm.GetWeightMapName(), "Arm Weights");
  EXPECT_EQ(arm.GetHasWeightMap(), 1u);
  EXPECT_EQ(arm.GetParentNumber(), 0x12u);
  EXPECT_EQ(arm.GetParentLinkType(), 4u);
  EXPECT_EQ(arm.GetParent(), nullptr);
  EXPECT_EQ(arm.GetFalloffType(), 2u);
  EXPECT_FLOAT_EQ(const_cast<CBone&>(arm).GetMotion()->GetChannel(4)->FirstKey()->Value(), 3.0f);
  EXPECT_STREQ(t.object->bones[1].GetName(), "");  // an AddBone line without a blank names nothing
  EXPECT_EQ(t.object->bones[1].GetHasWeightMap(), 0u);
  EXPECT_EQ(t.object->seenByRays, 0u);  // after the Shadow line the group goes on
  EXPECT_NE(t.bench.log.TextAt(CEngineLog::kLevelInfo).find("    - WeightMap Name: Arm Weights\n"), std::string::npos);
  EXPECT_NE(t.bench.log.TextAt(CEngineLog::kLevelInfo).find("  - Bones Num: 2\n"), std::string::npos);
}

struct Stop {
  const char* name;
  std::string text;
  const char* caption;
  std::string message;
};

void ExpectStops(const std::vector<Stop>& rows) {
  for (const Stop& row : rows) {
    SCOPED_TRACE(row.name);
    ExpectLoadOutcome(row.text, row.caption, row.message);
  }
}

std::string ObjectText(const std::vector<std::string>& second) {
  CLWSBuilder scene;
  return Object(scene.Header(), second).Text();
}

TEST(LWSItemsTest, ObjectsAndBonesTheReaderCannotTakeStopTheLoad) {
  std::vector<std::string> noBones = {"BoneFalloffType 1", "BoneActive 1", "ShadowOptions 7"};
  std::vector<std::string> weightMapOnly = Bones(1);
  weightMapOnly.insert(weightMapOnly.begin() + 2, "BoneWeightMapOnly 0");
  std::vector<std::string> normalization = Bones(1);
  normalization.insert(normalization.begin() + 2, "BoneNormalization 2");
  ExpectStops({
      {"64 bones", ObjectText(Bones(64)), "Error While Loading LWS", "Too Many Bones, Change MAX_BONES Const"},
      {"a bone section without bones", ObjectText(noBones), "Error While Loading LWS", "Bones Number == 0"},
      {"weight maps without WeightMapOnly", ObjectText(weightMapOnly), "Error While Loading LWO",
       "If Using WeightMaps It's Necessary To Check WeightMapOnly In Bones Properties"},
      {"bones without normalization", ObjectText(normalization), "Error While Loading LWO",
       "Bones Need To Have Marked Normalization Flag"},
      {"a constant morph amount", ObjectText({"MorphAmount 0.5"}), "Error While Loading LWS6",
       "Only Enveloped Morphing Is Supported"},
      {"an object file that is not there", ObjectText({}).replace(ObjectText({}).find("box"), 3, "cow"),
       "Error While Loading LWO", "Can't Load File:Objects\\cow.lwo"},
  });
}

// A light block of `type` named `name`, with `second` after its type line.
CLWSBuilder& Light(CLWSBuilder& scene, int type, const std::string& name = "Light",
                   const std::vector<std::string>& second = {}) {
  scene.Line("AddLight 20000000").Line("LightName " + name).Empty();
  scene.Line("LightType " + std::to_string(type));
  for (const std::string& line : second) scene.Line(line);
  return scene.Empty();
}

CLight* LightAt(LWSTestBench& t, UINT index) { return dynamic_cast<CLight*>(t.target->GetLight(index)); }

TEST(LWSItemsTest, LitLightsAreNumberedInOrderUpToSeven) {
  LWSTestBench t;
  CLWSBuilder scene;
  scene.Header();
  const int types[] = {0, 1, 2, 3, 0, 1, 2, 0};
  for (int type : types) Light(scene, type);
  ASSERT_EQ(t.Load(scene), 1u);
  ASSERT_EQ(t.target->GetNumberOfLights(), 8u);
  const WORD numbers[] = {0, 1, 2, 0, 3, 4, 5, 6};
  for (UINT i = 0; i < 8; ++i) {
    EXPECT_EQ(LightAt(t, i)->GetType(), types[i]) << i;
    EXPECT_EQ(LightAt(t, i)->GetNumber(), numbers[i]) << i;
  }
  EXPECT_EQ(t.scene->lightCount, 8u);
  EXPECT_EQ(t.scene->activeLightCount, 7);
  EXPECT_NE(t.bench.log.TextAt(CEngineLog::kLevelInfo).find("  - A SpotLite As The Lite Number: 5\n"), std::string::npos);

  CLWSBuilder eight;
  eight.Header();
  for (int type : types) Light(eight, type);
  Light(eight, 1);
  ExpectStops({{"the eighth lit light", eight.Text(), "Error While Loading LWS6", "Too Much Active Lights"}});
}

struct LightCase {
  const char* name;
  std::vector<std::string> second;
  std::function<void(const LWSLightBuffer&)> check;
};

TEST(LWSItemsTest, LightKeysFillTheLightRecord) {
  const std::vector<std::string> envelope = {"{ Envelope", "  1", "  Key 0.5 0 0 0 0 0 0 0 0", "  Behaviors 1 1", "}"};
  const auto with = [](std::vector<std::string> lines, const std::vector<std::string>& more) {
    lines.insert(lines.end(), more.begin(), more.end());
    return lines;
  };
  const LightCase cases[] = {
      {"start values", {},
       [](const LWSLightBuffer& l) {
         EXPECT_EQ(l.range.value, 3.4028235e38f);
         EXPECT_EQ(l.range.isEnvelope, 0u);
         EXPECT_FLOAT_EQ(l.edgeAngle.value, 7.5f);
         EXPECT_EQ(l.itemActive, 1u);
         EXPECT_STREQ(l.name, "key light");
       }},
      {"falloff then a constant range", {"LightFalloffType 2", "LightRange 10"},
       [](const LWSLightBuffer& l) {
         EXPECT_EQ(l.falloffType, 2u);
         EXPECT_FLOAT_EQ(l.range.value, 10.0f);
         EXPECT_EQ(l.range.isEnvelope, 0u);
       }},
      {"falloff then an enveloped range", with({"LightFalloffType 1", "LightRange (envelope)"}, envelope),
       [](const LWSLightBuffer& l) {
         EXPECT_EQ(l.range.isEnvelope, 1u);
         EXPECT_FLOAT_EQ(l.range.channel.FirstKey()->Value(), 0.5f);
       }},
      {"enveloped colour reads three envelopes",
       with(with(with({"LightColor (envelope)"}, envelope), envelope), {"{ Envelope", "  1", "  Key 0.25 0 0 0 0 0 0 0 0", "  Behaviors 1 1", "}", "LensFlare 1"}),
       [](const LWSLightBuffer& l) {
         for (const ImportEnvelope& c : l.color) EXPECT_EQ(c.isEnvelope, 1u);
         EXPECT_FLOAT_EQ(l.color[0].channel.FirstKey()->Value(), 0.5f);
         EXPECT_FLOAT_EQ(l.color[2].channel.FirstKey()->Value(), 0.25f);
         EXPECT_EQ(l.lensFlare, 1u);
       }},
      {"constant colour, intensity, angles, flare",
       {"LightColor 1 0.5 0.25", "LightIntensity 0.8", "LightConeAngle 30", "LightEdgeAngle 5", "FlareRingSize 2"},
       [](const LWSLightBuffer& l) {
         EXPECT_FLOAT_EQ(l.color[1].value, 0.5f);
         EXPECT_FLOAT_EQ(l.color[2].value, 0.25f);
         EXPECT_EQ(l.color[0].isEnvelope, 0u);
         EXPECT_FLOAT_EQ(l.intensity.value, 0.8f);
         EXPECT_FLOAT_EQ(l.coneAngle.value, 30.0f);
         EXPECT_FLOAT_EQ(l.edgeAngle.value, 5.0f);
         EXPECT_FLOAT_EQ(l.flareRingSize.value, 2.0f);
       }},
      {"enveloped intensity and flare", with(with({"LightIntensity (envelope)"}, envelope), with({"FlareRingSize (envelope)"}, envelope)),
       [](const LWSLightBuffer& l) {
         EXPECT_EQ(l.intensity.isEnvelope, 1u);
         EXPECT_EQ(l.flareRingSize.isEnvelope, 1u);
       }},
      {"targets and parent", {"TargetObject 1", "ParentItem 10000000"},
       [](const LWSLightBuffer& l) {
         EXPECT_EQ(l.targetIndex, 1u);
         EXPECT_EQ(l.targetType, 5u);
         EXPECT_EQ(l.parentType, 1u);
         EXPECT_EQ(l.parentIndex, 0u);
       }},
      {"a target item", {"TargetItem 10000000"},
       [](const LWSLightBuffer& l) {
         EXPECT_EQ(l.targetType, 1u);
         EXPECT_EQ(l.targetIndex, 0u);
       }},
      {"a projection image four lines on",
       {"LightProjImage", "{ Image", "  1", "  2", "  \"Images/Spot.TGA\"", "LensFlare 1"},
       [](const LWSLightBuffer& l) {
         EXPECT_STREQ(l.projectionImage, "spot.tga");
         EXPECT_EQ(l.hasProjectionImage, 1u);
         EXPECT_EQ(l.lensFlare, 1u);
       }},
  };
  for (const LightCase& c : cases) {
    SCOPED_TRACE(c.name);
    LWSTestBench t;
    CLWSBuilder scene;
    Light(Box(scene.Header()), 1, "Key Light", c.second);
    ASSERT_EQ(t.Load(scene), 1u);
    c.check(*t.light);
    EXPECT_EQ(t.target->GetNumberOfLights(), 1u);
  }
}

TEST(LWSItemsTest, ALightFalloffWithoutItsRangeStopsTheLoad) {
  CLWSBuilder scene;
  Light(scene.Header(), 1, "Key Light", {"LightFalloffType 1", "LightIntensity 1"});
  ExpectStops({{"falloff then intensity", scene.Text(), "Error While Loading LWS6",
                "\"LightRange\" Expected: LightIntensity 1\n"}});
}

TEST(LWSItemsTest, CamerasAndNullsKeepTheirSettings) {
  LWSTestBench t;
  CLWSBuilder scene;
  Box(scene.Header()).Line("AddCamera 30000000").Motion("CameraMotion", {{3, {KeyAt(1, 0)}}});
  scene.Line("TargetItem 10000000").Line("ZoomFactor (envelope)").Envelope({KeyAt(3.2f, 0)})
      .Line("PivotRotation 90 0 0").Empty();
  scene.Line("AddNullObject Null (1)").Motion("ObjectMotion", {{5, {KeyAt(1, 0)}}});
  scene.Line("ParentItem 30000000").Line("PivotRotation 0 0 90").Empty();
  ASSERT_EQ(t.Load(scene), 1u);
  EXPECT_EQ(t.camera->targetType, 1u);
  EXPECT_EQ(t.camera->targetIndex, 0u);
  EXPECT_EQ(t.camera->zoomFactor.isEnvelope, 1u);
  EXPECT_FLOAT_EQ(t.camera->zoomFactor.channel.FirstKey()->Value(), 3.2f);
  EXPECT_EQ(t.camera->pivotRotation[0], kQuarterTurn);
  EXPECT_EQ(t.camera->motion.GetChannel(3)->FirstKey()->Value(), 1.0f + kQuarterTurn);
  EXPECT_STREQ(t.null->name, "Null (1)");
  EXPECT_EQ(t.null->parentType, 3u);
  EXPECT_EQ(t.null->parentIndex, 0u);
  EXPECT_EQ(t.null->pivotRotation[2], kQuarterTurn);
  EXPECT_EQ(t.null->motion.GetChannel(5)->FirstKey()->Value(), 1.0f + kQuarterTurn);
  EXPECT_EQ(t.target->GetNumberOfCameras(), 1u);
  EXPECT_EQ(t.target->GetNumberOfNullObjects(), 1u);
}

}  // namespace
