// Nulls with their options, cameras, lights and light boxes as scripts drive them, on the real
// objects of a scene built in code: links set and cleared, what the references returned let a
// script change, the options a script may and may not store, and names handed out as copies.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "RecordingStream.h"
#include "SceneBindingsFixture.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Null.h"
#include "script/bstr.h"

using namespace AngelScript;

namespace {

class SceneObjectBindingsTest : public SceneBindingsTest {
 protected:
  void SetUp() override {
    SceneBindingsTest::SetUp();
    mesh = bench.AddCube(scene, "cube", {0, 0, 3});
    camera = scene->AddActiveCamera();
    light = MakeLight("lamp", {0, 0, 0});
    null = dynamic_cast<CNull*>(scene->AddNull());  // the scene's last object
    null->SetName("marker");
    Global("CWorldObjectInterface@ g_meshObject", static_cast<CWorldObjectInterface*>(mesh));
    Global("CWorldObjectInterface@ g_nullObject", static_cast<CWorldObjectInterface*>(null));
    Global("CWorldObjectInterface@ g_lightObject", static_cast<CWorldObjectInterface*>(light));
    Global("CMeshBoundVolumeInterface@ g_meshBox", mesh->GetBoundingBox(1));
    Global("CCameraInterface@ g_camera", static_cast<CCameraInterface*>(camera));
    Global("CLightInterface@ g_light", static_cast<CLightInterface*>(light));
    Global("CNullInterface@ g_null", static_cast<CNullInterface*>(null));
    Global("TonarisStream@ g_stream", static_cast<TonarisStream*>(&stream));
  }

  // A point light of range 2 with its box calculated, placed at `position`.
  CLight* MakeLight(const char* name, const CVector3& position) {
    CLight* made = scene->AddTypedLight(LIGHT_POINT);
    made->SetName(name);
    made->GetRangeEnvelope(1)->SetValue(2.0f);
    made->FinishLoaded();
    made->SetPosition(position);
    Update(made, 0.0f);
    return made;
  }

  // The matrix and hierarchy passes at the frame, as the scene runs them.
  static void Update(CLight* light, float frame) {
    light->PrepareMatrices(frame);
    light->UpdateHierarchy(frame);
  }

  CMesh* mesh = nullptr;
  CCamera* camera = nullptr;
  CLight* light = nullptr;
  CNull* null = nullptr;
  RecordingStream stream;
};

TEST_F(SceneObjectBindingsTest, LinksAreAbsentSetAndClearedThroughScripts) {
  struct Link {
    const char* set;  // "%" stands for the new link
    const char* get;
    std::function<CWorldObjectInterface*()> engine;
    const char* other;  // a second kind of object to link to
  };
  const Link links[] = {
      {"g_camera.SetParent(%);", "g_camera.GetParentObject()",
       [&] { return camera->GetParentObject(1); }, "g_nullObject"},
      {"g_camera.SetTarget(%);", "g_camera.GetTargetObject()",
       [&] { return camera->GetTargetObject(1); }, "g_nullObject"},
      {"g_light.SetParentObject(%);", "g_light.GetParentObject()",
       [&] { return light->GetParentObject(1); }, "g_nullObject"},
      {"g_light.SetTargetObject(%);", "g_light.GetTargetObject()",
       [&] { return light->GetTargetObject(1); }, "g_nullObject"},
      // The scene's last object, under a mesh and then a light.
      {"g_null.SetParentObject(%);", "g_null.GetParentObject()",
       [&] { return null->GetParentObject(); }, "g_lightObject"},
  };
  auto with = [](const char* pattern, const std::string& value) {
    std::string code = pattern;
    return code.replace(code.find('%'), 1, value);
  };
  const std::pair<const char*, CWorldObjectInterface*> targets[] = {
      {"g_meshObject", mesh}, {nullptr, nullptr}, {"null", nullptr}};
  for (const Link& link : links) {
    SCOPED_TRACE(link.get);
    const std::string get = std::string("return ") + link.get + ";";
    EXPECT_EQ(Handle("CWorldObjectInterface@", get), nullptr);
    for (auto [name, expected] : targets) {
      // The second step links to the row's other kind of object.
      const std::string value = name != nullptr ? name : link.other;
      CWorldObjectInterface* object =
          name != nullptr ? expected
                          : (value == "g_nullObject" ? static_cast<CWorldObjectInterface*>(null)
                                                     : static_cast<CWorldObjectInterface*>(light));
      Run(with(link.set, value));
      EXPECT_EQ(link.engine(), object) << value;
      EXPECT_EQ(Handle("CWorldObjectInterface@", get), object) << value;
    }
  }
  // Parent and target are separate links.
  Run("g_camera.SetParent(g_meshObject); g_camera.SetTarget(g_nullObject);");
  EXPECT_NE(Handle("CWorldObjectInterface@", "return g_camera.GetParentObject();"),
            Handle("CWorldObjectInterface@", "return g_camera.GetTargetObject();"));
  EXPECT_EQ(Number("return g_camera.GetTagetNumber();"), camera->GetTagetNumber());
}

TEST_F(SceneObjectBindingsTest, ReferencesReachTheObjectsOwnData) {
  Run("g_camera.GetProjectionMatrix()._11 = 3; g_light.GetProjectionMatrix()._22 = 4;"
      "g_light.GetD3DLightProperties().Range = 42; g_camera.GetDirectionVector().x = 5;"
      "g_camera.GetPositionVector().y = 6;");
  EXPECT_EQ(camera->GetProjectionMatrix()->m[0][0], 3.0f);
  EXPECT_EQ(light->GetProjectionMatrix()->m[1][1], 4.0f);
  EXPECT_EQ(light->GetD3DLightProperties()->Range, 42.0f);
  EXPECT_EQ(camera->GetDirectionVector()->x, 5.0f);
  EXPECT_EQ(camera->GetPositionVector()->y, 6.0f);

  // Whatever the frame asked for, the matrix written is the object's one matrix.
  for (const char* frame : {"0", "5"}) {
    Run(std::string("g_camera.GetMatrix(") + frame + ")._44 = 9; g_null.GetMatrix(" + frame +
        ")._44 = 9; g_light.GetRotationMatrix(" + frame + ")._44 = 9;");
    EXPECT_EQ(camera->GetCurrentMatrix()->m[3][3], 9.0f) << frame;
    EXPECT_EQ(null->GetCurrentMatrix()->m[3][3], 9.0f) << frame;
    EXPECT_EQ(light->GetCurrentRotationMatrix()->m[3][3], 9.0f) << frame;
  }
}

TEST_F(SceneObjectBindingsTest, SettersReadBackWithoutTouchingTheirNeighbours) {
  struct Case {
    const char* code;  // a snippet returning float
    float expected;
  };
  const Case cases[] = {
      {"g_camera.SetNearClipPlane(0.5f); return g_camera.GetNearClipPlane();", 0.5f},
      {"g_camera.SetFarClipPlane(1000); return g_camera.GetFarClipPlane();", 1000.0f},
      {"uint f = g_light.GetFallOffType(); g_light.SetColor(0x123456);"
       "return g_light.GetFallOffType() == f ? 1 : 0;",
       1.0f},
      {"uint c = g_light.GetColor(); g_light.SetFallOffType(2);"
       "return g_light.GetColor() == c && g_light.GetFallOffType() == 2 ? 1 : 0;",
       1.0f},
      {"g_null.SetScale(CVector3(2, 3, 4)); CVector3 s; g_null.GetScale(s);"
       "return s.x * 100 + s.y * 10 + s.z;",
       234.0f},
  };
  for (const Case& c : cases) EXPECT_EQ(script.Eval<float>("float", c.code), c.expected) << c.code;
}

TEST_F(SceneObjectBindingsTest, NamesAreCopies) {
  for (const char* object : {"g_light", "g_null"}) {
    const std::string code = std::string("bstr a = ") + object + ".GetName(); bstr b = " + object +
                             ".GetName(); a += \"!\"; return a + \"/\" + b;";
    const bstr expected = std::string(object) == "g_light" ? "lamp!/lamp" : "marker!/marker";
    EXPECT_EQ(script.Eval<bstr>("bstr", code), expected) << object;
  }
  EXPECT_STREQ(light->GetName(), "lamp");
  EXPECT_STREQ(null->GetName(), "marker");
}

TEST_F(SceneObjectBindingsTest, OptionsTakeAStreamAndRefuseWhatIsNotOne) {
  CNullOptionsInterface* options = null->GetNullOptions();
  const std::string warning = "WARNING!!! - Can't Set NullOption, Unknown Option Type\n";
  Run("g_null.GetNullOptions().SetOption(2, g_stream, 1);");
  EXPECT_EQ(options->GetTonarisStreamOption(), &stream);
  EXPECT_EQ(Handle("TonarisStream@", "return g_null.GetNullOptions().GetTonarisStreamOption();"),
            &stream);
  EXPECT_EQ(Number("return g_null.GetNullOptions().GetOptionsTypes();"), 2u);

  // Type 3 is unknown; type 8 is the null's sprite, which a stream must never become.
  for (const char* type : {"3", "8"}) {
    bench.log.entries.clear();
    Run(std::string("g_null.GetNullOptions().SetOption(") + type + ", g_stream, 0);");
    EXPECT_TRUE(Logged(CEngineLog::kLevelError, warning)) << type;
    EXPECT_EQ(options->GetType8Option(), nullptr) << type;
    EXPECT_EQ(options->GetTonarisStreamOption(), &stream) << type;
    EXPECT_EQ(options->GetOptionsTypes(), 2u) << type;
    EXPECT_EQ(options->GetOptionFlags(), 1u) << type;
  }

  // A number cannot come through a stream handle: only clearing it is possible.
  Throws("g_null.GetNullOptions().SetOption(1, g_stream, 0);");
  EXPECT_EQ(options->GetType1Option(), 0u);
  Run("g_null.GetNullOptions().SetOption(1, null, 0); g_null.GetNullOptions().SetOption(2, null, 0);");
  EXPECT_EQ(options->GetTonarisStreamOption(), nullptr);
  EXPECT_EQ(options->GetOptionsTypes(), 0u);
}

TEST_F(SceneObjectBindingsTest, LightBoxesCollideWithoutChangingEitherBox) {
  CLight* other = MakeLight("other", {3, 0, 0});
  CLight* far = MakeLight("far", {30, 0, 0});
  CLightBoundVolumeInterface* box = light->GetBoundVolume();
  ASSERT_NE(box, nullptr);
  Global("CLightBoundVolumeInterface@ g_box", box);
  Global("CLightBoundVolumeInterface@ g_near", other->GetBoundVolume());
  Global("CLightBoundVolumeInterface@ g_far", far->GetBoundVolume());
  Global("CLightInterface@ g_nearLight", static_cast<CLightInterface*>(other));
  Global("CLightInterface@ g_farLight", static_cast<CLightInterface*>(far));
  Global("CMeshInterface@ g_mesh", static_cast<CMeshInterface*>(mesh));

  // Both boxes of a check, as their corners show them.
  auto corners = [](CLightBoundVolumeInterface* volume) {
    return std::vector<CVector4>(volume->GetPoints(), volume->GetPoints() + 8);
  };
  const std::vector<CVector4> before = corners(box), otherBefore = corners(other->GetBoundVolume());
  CVector3 maximum;
  box->GetMax(&maximum);
  const CVector4 corner = box->GetPoints()[7];
  struct Case {
    const char* code;
    UINT expected;
  };
  const Case cases[] = {
      {"return g_box.CheckAACollision(g_near, g_nearLight.GetMatrix(0));", 1},
      {"return g_box.CheckAACollision(g_far, g_farLight.GetMatrix(0));", 0},
      {"return g_box.CheckAACollision(g_meshBox, g_mesh.GetMatrix(0));", 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Number(c.code), c.expected) << c.code;
    EXPECT_EQ(corners(box), before) << c.code;
    EXPECT_EQ(corners(other->GetBoundVolume()), otherBefore) << c.code;
  }
  EXPECT_EQ(script.Eval<CVector3>("CVector3", "CVector3 m; g_box.GetMax(m); return m;"), maximum);
  EXPECT_EQ(script.Eval<CVector4>("CVector4", "array<CVector4>@ p = g_box.GetPoints(); "
                                              "CVector4 c = p[7]; p[7].x = 99; return c;"),
            corner);
  EXPECT_EQ(box->GetPoints()[7], corner);
  Throws("CLightBoundVolumeInterface@ none; g_box.CheckAACollision(none, g_nearLight.GetMatrix(0));");
  Throws("CMeshBoundVolumeInterface@ none; g_box.CheckAACollision(none, g_nearLight.GetMatrix(0));");
}

}  // namespace
