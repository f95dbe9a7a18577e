#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>

#include "EngineContextScope.h"
#include "FakeLightSpatial.h"
#include "FakeSceneMesh.h"
#include "ProcessExitCatcher.h"
#include "RecordingDrawRenderer.h"
#include "RecordingEngineLog.h"
#include "TestScene.h"
#include "scene/Envelope.h"
#include "scene/Light.h"

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kFullCone = 0.034906585f;

void ExpectMatrixNear(const CMatrix& actual, const CMatrix& expected, float tolerance = 1e-5f) {
  for (int row = 0; row < 4; ++row)
    for (int column = 0; column < 4; ++column)
      EXPECT_NEAR(actual.m[row][column], expected.m[row][column], tolerance)
          << "element _" << row + 1 << column + 1;
}

void ExpectVectorNear(const D3DVECTOR& actual, const CVector3& expected) {
  EXPECT_NEAR(actual.x, expected.x, 1e-5f);
  EXPECT_NEAR(actual.y, expected.y, 1e-5f);
  EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

bool AllFinite(const CMatrix& matrix) {
  for (int i = 0; i < 16; ++i)
    if (!std::isfinite(matrix.m[i / 4][i % 4])) return false;
  return true;
}

// The projection both light projections share, with the given scale on x and y.
CMatrix Projection(float scale, float nearPlane, float farPlane) {
  CMatrix p;
  p._11 = p._22 = scale;
  p._33 = farPlane / (farPlane - nearPlane);
  p._34 = 1.0f;
  p._43 = nearPlane * farPlane / (nearPlane - farPlane);
  return p;
}

void Key(CEnvelopeInterface* envelope, float value) {
  envelope->SetIsEnvelope(1);
  envelope->GetChannelEnvelope()->AddKeyData(value, 0.0f, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0);
}

const char kRangeWarning[] =
    "WARNING!!! - Light (lamp From level) Range Exceeded Maximum Acceptable Value, Will Be "
    "Rounded\n";
const char kConeWarning[] =
    "WARNING!!! - Light (lamp) Cone Exceeded Maximum Acceptable Value, Will Be Rounded\n";

class LightTest : public ::testing::Test {
 protected:
  LightTest() {
    scene->SetName("level");
    context->ports.lightSpatial.Set(&spatial);
  }
  ~LightTest() override { scene->Release(); }

  CLight* AddLight(WORD type, const char* name = "lamp") {
    auto* light = new CLight(nullptr, &log, scene);
    scene->AppendWorldObject(light);
    light->SetName(name);
    light->SetType(type);
    return light;
  }
  FakeSceneMesh* AddMesh(float x, float y, float z) {
    auto* mesh = new FakeSceneMesh(scene);
    mesh->PlaceAt(x, y, z);
    scene->AppendWorldObject(mesh);
    return mesh;
  }
  static void Update(CLight* light, float frame = 0.0f) {
    light->PrepareMatrices(frame);
    light->UpdateHierarchy(frame);
  }
  size_t Count(const std::string& text) const {
    size_t count = 0;
    for (const auto& entry : log.entries) count += entry.text == text;
    return count;
  }

  EngineContextScope context;
  FakeLightSpatial spatial;
  CRecordingEngineLog log;
  TestScene* scene = new TestScene(nullptr, &log);
};

// --- construction, colour and plain operations ---

TEST_F(LightTest, NewLightIsADistantLightWithHalfIntensity) {
  context->dwLightCounter = 7;
  CLight* light = AddLight(LIGHT_DISTANT);
  EXPECT_EQ(light->GetId(), 7u);
  EXPECT_EQ(context->dwLightCounter, 8u);
  EXPECT_EQ(light->GetWorldObjectType(), 8u);
  EXPECT_EQ(light->GetType(), LIGHT_DISTANT);
  EXPECT_EQ(light->GetIsActive(), 1u);
  EXPECT_EQ(light->GetBoundVolume(), nullptr);
  EXPECT_FLOAT_EQ(light->GetRangeEnvelope(0)->GetValue(), FLT_MAX);
  EXPECT_FLOAT_EQ(light->GetConeAngleEnvelope(0)->GetValue(), 90.0f);
  EXPECT_FLOAT_EQ(light->GetFlareSizeEnvelope(0)->GetValue(), 20.0f);
  // Before any hierarchy update the record is empty.
  EXPECT_EQ(light->GetColor(), 0xFF000000u);
  EXPECT_EQ(light->GetFlareQuad()[0].dwDiffuse, 0u);

  Update(light);
  const D3DLIGHT9* record = light->GetD3DLightProperties();
  EXPECT_FLOAT_EQ(record->Diffuse.r, 0.5f);
  EXPECT_FLOAT_EQ(record->Diffuse.g, 0.5f);
  EXPECT_FLOAT_EQ(record->Diffuse.b, 0.5f);
  EXPECT_FLOAT_EQ(record->Diffuse.a, 1.0f);
  EXPECT_FLOAT_EQ(record->Specular.r, 0.5f);
  EXPECT_EQ(light->GetColor(), 0xFF7F7F7Fu);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(light->GetFlareQuad()[i].dwDiffuse, 0xFFFFFFFFu);
  CVector3 color;
  EXPECT_EQ(light->GetColorVector(&color), &color);
  EXPECT_FLOAT_EQ(color.y, 0.5f);
}

TEST_F(LightTest, ColorPacksEachComponentIntoItsOwnByte) {
  struct Case {
    float red, green, blue, intensity;
    UINT packed;
  } cases[] = {
      {1.0f, 1.0f, 1.0f, 1.0f, 0xFFFFFFFF},
      {1.0f, 0.5f, 0.0f, 1.0f, 0xFFFF7F00},
      {0.2f, 0.4f, 0.6f, 0.5f, 0xFF19334C},
      // Overbright and negative values stay in their byte.
      {1.0f, 0.5f, 0.25f, 2.0f, 0xFFFFFF7F},
      {-1.0f, 0.0f, 1.0f, 1.0f, 0xFF0000FF},
  };
  CLight* light = AddLight(LIGHT_DISTANT);
  float frame = 0.0f;
  for (const Case& c : cases) {
    light->GetEnvelope(CLight::ENVELOPE_RED)->SetValue(c.red);
    light->GetEnvelope(CLight::ENVELOPE_GREEN)->SetValue(c.green);
    light->GetEnvelope(CLight::ENVELOPE_BLUE)->SetValue(c.blue);
    light->GetIntensityEnvelope(0)->SetValue(c.intensity);
    light->GetGuard()->Force();
    Update(light, frame++);
    EXPECT_EQ(light->GetColor(), c.packed) << c.red << " " << c.intensity;
  }
}

TEST_F(LightTest, SetColorSetsConstantComponentsAndWarnsForKeyedOnes) {
  CLight* light = AddLight(LIGHT_POINT);
  light->SetColor(0x00FF8000);
  EXPECT_FLOAT_EQ(light->GetEnvelope(CLight::ENVELOPE_RED)->GetValue(), 1.0f);
  EXPECT_NEAR(light->GetEnvelope(CLight::ENVELOPE_GREEN)->GetValue(), 0.50196f, 1e-5f);
  EXPECT_FLOAT_EQ(light->GetEnvelope(CLight::ENVELOPE_BLUE)->GetValue(), 0.0f);

  Key(light->GetEnvelope(CLight::ENVELOPE_GREEN), 0.25f);
  light->GetEnvelope(CLight::ENVELOPE_GREEN)->CalcStep(0.0f);
  light->SetColor(0x000000FF);
  EXPECT_FLOAT_EQ(light->GetEnvelope(CLight::ENVELOPE_RED)->GetValue(), 0.0f);
  EXPECT_FLOAT_EQ(light->GetEnvelope(CLight::ENVELOPE_GREEN)->GetValue(), 0.25f);
  EXPECT_FLOAT_EQ(light->GetEnvelope(CLight::ENVELOPE_BLUE)->GetValue(), 1.0f);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError),
            "WARNING!!! - Can't Set Green Color For The Light lamp, Because It's An Envelope\n");
}

TEST_F(LightTest, ParentAndTargetRules) {
  CLight* light = AddLight(LIGHT_SPOT);
  FakeSceneMesh* mesh = AddMesh(0, 0, 0);

  light->SetParentObject(mesh);
  EXPECT_EQ(light->GetParentObject(1), mesh);
  EXPECT_EQ(light->GetParentType(), WORLD_OBJECT_MESH);
  EXPECT_EQ(light->GetTopmostParent(), mesh);

  light->SetParentObject(light);
  EXPECT_EQ(light->GetParentObject(1), nullptr);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError),
            "WARNING!!! - Can't Parent Item To Itself: lamp\n");
  EXPECT_EQ(light->GetTopmostParent(), light);

  light->SetParentObject(mesh);
  light->SetParentObject(nullptr);
  EXPECT_EQ(light->GetParentType(), 0u);

  // A light may aim at itself; null clears the target and its type.
  light->SetTargetObject(light);
  EXPECT_EQ(light->GetTargetObject(0), light);
  EXPECT_EQ(light->GetTargetType(), WORLD_OBJECT_LIGHT);
  light->SetTargetObject(nullptr);
  EXPECT_EQ(light->GetTargetObject(0), nullptr);
  EXPECT_EQ(light->GetTargetType(), 0u);
}

TEST_F(LightTest, PositionAndRotationFlags) {
  CLight* light = AddLight(LIGHT_POINT);
  light->SetPosition(CVector3(1, 2, 3));
  light->SetRotation(CVector3(0.1f, 0.2f, 0.3f));
  Update(light);

  CVector3 v(9, 9, 9);
  light->GetPosition(&v, 2);
  EXPECT_EQ(v, CVector3(9, 9, 9));
  light->GetRotation(&v, 7);
  EXPECT_EQ(v, CVector3(9, 9, 9));
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError),
            std::string(kRangeWarning) + "WARNING!!! - Unknown FLAG For CLight::GetPosition\n" +
                "WARNING!!! - Unknown FLAG For CLight::GetRotation\n");

  light->GetPosition(&v, 0);
  EXPECT_EQ(v, CVector3(1, 2, 3));
  FakeSceneMesh* parent = AddMesh(0, 0, 0);
  parent->rotation = CVector3(1, 1, 1);
  light->SetParentObject(parent);
  light->GetRotation(&v, 1);
  EXPECT_EQ(v, CVector3(0.1f, 0.2f, 0.3f));
  light->GetRotation(&v, 0);
  EXPECT_NEAR(v.x, 1.1f, 1e-6f);
  EXPECT_NEAR(v.z, 1.3f, 1e-6f);

  light->RemoveAdditionalTransformation();
  light->GetPosition(&v, 1);
  EXPECT_EQ(v, CVector3());
}

TEST_F(LightTest, SetNameKeepsTheNameTerminated) {
  CLight* light = AddLight(LIGHT_POINT);
  const std::string longName(300, 'n');
  light->SetName(longName.c_str());
  EXPECT_EQ(std::string(light->GetName()), longName.substr(0, 255));
  light->SetName(nullptr);
  EXPECT_STREQ(light->GetName(), "");
}

TEST_F(LightTest, CloneCopiesTheLightIntoTheScene) {
  CLight* light = AddLight(LIGHT_POINT);
  Key(light->GetIntensityEnvelope(0), 3.0f);
  light->SetPosition(CVector3(4, 5, 6));
  light->SetIsFlare(1);
  Update(light);

  CLightInterface* copy = nullptr;
  ASSERT_EQ(light->Clone(&copy), 1u);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(scene->GetNumberOfLights(), 2u);
  EXPECT_EQ(scene->GetLight(1), copy);
  EXPECT_STREQ(copy->GetName(), "lamp");
  EXPECT_EQ(copy->GetType(), LIGHT_POINT);
  EXPECT_EQ(copy->GetIsFlare(), 1u);
  EXPECT_EQ(copy->GetColor(), light->GetColor());
  // The clone keeps the animation rather than falling back to a new light's constants.
  EXPECT_EQ(copy->GetIntensityEnvelope(0)->GetIsEnvelope(), 1u);
  CVector3 position;
  copy->GetPosition(&position, 1);
  EXPECT_EQ(position, CVector3(4, 5, 6));

  copy->Release();
  EXPECT_EQ(scene->GetNumberOfLights(), 1u);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelInfo), "- (CLight) Releasing lamp\n");
}

TEST_F(LightTest, ImportedPointLightBuildsItsRecordFlareAndVolume) {
  CChannelEnvelope flareKeys;
  flareKeys.AddKeyData(2.0f, 0.0f, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0);
  CLight::ImportedRecord record;
  record.szName = "bulb";
  record.wType = LIGHT_POINT;
  record.wNumber = 3;
  record.dwTargetNumber = 2;
  record.dwTargetType = WORLD_OBJECT_NULL;
  record.envelopes[CLight::ENVELOPE_RANGE].fValue = 40.0f;
  record.envelopes[CLight::ENVELOPE_FLARE_SIZE] = {1, &flareKeys, 0.0f};
  CLight light(nullptr, &log, scene, record);

  EXPECT_STREQ(light.GetName(), "bulb");
  EXPECT_EQ(light.GetNumber(), 3);
  EXPECT_EQ(light.GetTargetType(), WORLD_OBJECT_NULL);
  const D3DLIGHT9* d3d = light.GetD3DLightProperties();
  EXPECT_EQ(d3d->Type, D3DLIGHT_POINT);
  EXPECT_FLOAT_EQ(d3d->Range, 40.0f);
  EXPECT_FLOAT_EQ(d3d->Attenuation1, 1.0f);
  // The keyed flare size is evaluated at frame 1: 2.0 × 20.
  const CLight::FlareVertex* quad = light.GetFlareQuad();
  const float expected[4][4] = {{-40, -40, 0, 1}, {-40, 40, 0, 0}, {40, -40, 1, 1}, {40, 40, 1, 0}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_FLOAT_EQ(quad[i].x, expected[i][0]);
    EXPECT_FLOAT_EQ(quad[i].y, expected[i][1]);
    EXPECT_FLOAT_EQ(quad[i].u, expected[i][2]);
    EXPECT_FLOAT_EQ(quad[i].v, expected[i][3]);
    EXPECT_EQ(quad[i].dwDiffuse, 0xFFFFFFFFu);
  }
  EXPECT_NE(light.GetLightBoundVolume(), nullptr);
  EXPECT_EQ(spatial.calls, (std::vector<std::string>{"CreateBoundVolume"}));
}

TEST_F(LightTest, ImportedSpotLightWithoutRangeIsFatal) {
  ProcessExitCatcher catcher;
  CLight::ImportedRecord record;
  record.wType = LIGHT_SPOT;
  EXPECT_THROW(CLight(nullptr, &log, scene, record), ProcessExited);
  ASSERT_FALSE(catcher.Boxes().empty());
  EXPECT_EQ(catcher.Boxes().back().caption, "Error While Updating File");
  EXPECT_EQ(catcher.Boxes().back().text, "Spotlite Range Should Be Set");
}

// --- the Direct3D record by type, with its clamps ---

TEST_F(LightTest, PointLightRecordHoldsTheRangeAndWarnsEachRecomputation) {
  CLight* light = AddLight(LIGHT_POINT);
  light->SetPosition(CVector3(1, 2, 3));
  Update(light, 0.0f);
  const D3DLIGHT9* d3d = light->GetD3DLightProperties();
  EXPECT_EQ(d3d->Type, D3DLIGHT_POINT);
  ExpectVectorNear(d3d->Position, CVector3(1, 2, 3));
  EXPECT_EQ(*light->GetLightVector(), CVector3(1, 2, 3));
  EXPECT_FLOAT_EQ(d3d->Range, 1000.0f);
  EXPECT_FLOAT_EQ(d3d->Attenuation0, 0.25f);
  EXPECT_FLOAT_EQ(d3d->Attenuation1, 0.25f);
  EXPECT_FLOAT_EQ(d3d->Attenuation2, 0.0f);
  // The projection keeps the unheld range.
  ExpectMatrixNear(*light->GetProjectionMatrix(), Projection(1.0f, 0.5f, FLT_MAX));
  CMatrix view;
  view.SetMove(-1, -2, -3);
  ExpectMatrixNear(*light->GetViewMatrix(), view);
  EXPECT_EQ(Count(kRangeWarning), 1u);

  // Two requests in one frame recompute once; a matrix pass in between recomputes again.
  light->GetMatrix(0.0f);
  light->GetRotationMatrix(0.0f);
  EXPECT_EQ(Count(kRangeWarning), 1u);
  light->GetGuard()->Force();
  light->PrepareMatrices(1.0f);
  light->GetMatrix(1.0f);
  EXPECT_EQ(Count(kRangeWarning), 2u);

  // Within the limit nothing is logged.
  light->GetRangeEnvelope(0)->SetValue(250.0f);
  light->GetGuard()->Force();
  Update(light, 2.0f);
  EXPECT_FLOAT_EQ(d3d->Range, 250.0f);
  EXPECT_EQ(Count(kRangeWarning), 2u);
  ExpectMatrixNear(*light->GetProjectionMatrix(), Projection(1.0f, 0.5f, 250.0f));
}

TEST_F(LightTest, DistantLightShinesAlongItsTurnedZAxis) {
  CLight* light = AddLight(LIGHT_DISTANT);
  light->SetPosition(CVector3(5, 5, 5));  // a distant light has no position
  light->SetRotation(CVector3(kPi / 2, 0, 0));
  Update(light);
  const D3DLIGHT9* d3d = light->GetD3DLightProperties();
  EXPECT_EQ(d3d->Type, D3DLIGHT_DIRECTIONAL);
  ExpectVectorNear(d3d->Direction, CVector3(1, 0, 0));
  CVector3 direction;
  light->GetDirection(&direction);
  EXPECT_NEAR(direction.x, 1.0f, 1e-6f);
  ExpectMatrixNear(*light->GetProjectionMatrix(), CMatrix::Identity());
  CMatrix view;
  view.SetRotateY(-kPi / 2);
  ExpectMatrixNear(*light->GetViewMatrix(), view);
  EXPECT_TRUE(log.entries.empty());
}

TEST_F(LightTest, DefaultSpotLightHoldsItsConeAndBuildsItsProjectionWithIt) {
  CLight* light = AddLight(LIGHT_SPOT);
  Update(light);
  const D3DLIGHT9* d3d = light->GetD3DLightProperties();
  EXPECT_EQ(d3d->Type, D3DLIGHT_SPOT);
  EXPECT_FLOAT_EQ(d3d->Phi, 70.0f * kFullCone);
  EXPECT_FLOAT_EQ(d3d->Theta, (70.0f - 80.0f) * kFullCone);
  EXPECT_FLOAT_EQ(d3d->Falloff, 1.0f);
  EXPECT_FLOAT_EQ(d3d->Range, 1000.0f);
  EXPECT_FLOAT_EQ(d3d->Attenuation0, 0.25f);
  ExpectVectorNear(d3d->Direction, CVector3(0, 0, 1));
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError), std::string(kRangeWarning) + kConeWarning);
  // cot 70°, not the flat cot 90° = 0.
  const CMatrix& projection = *light->GetProjectionMatrix();
  ExpectMatrixNear(projection, Projection(0.36397023f, 0.5f, FLT_MAX));
  EXPECT_GT(projection._11, 0.3f);
}

TEST_F(LightTest, SpotLightWithinLimitsUsesItsOwnConeAndRange) {
  CLight* light = AddLight(LIGHT_SPOT);
  light->GetConeAngleEnvelope(0)->SetValue(30.0f);
  light->GetEnvelope(CLight::ENVELOPE_INNER_CONE_ANGLE)->SetValue(20.0f);
  light->GetRangeEnvelope(0)->SetValue(100.0f);
  light->SetPosition(CVector3(1, 2, 3));
  Update(light);
  const D3DLIGHT9* d3d = light->GetD3DLightProperties();
  EXPECT_FLOAT_EQ(d3d->Phi, 30.0f * kFullCone);
  EXPECT_FLOAT_EQ(d3d->Theta, 10.0f * kFullCone);
  EXPECT_FLOAT_EQ(d3d->Range, 100.0f);
  ExpectVectorNear(d3d->Position, CVector3(1, 2, 3));
  EXPECT_TRUE(log.entries.empty());
  ExpectMatrixNear(*light->GetProjectionMatrix(), Projection(1.7320508f, 0.5f, 100.0f));
  CMatrix view;
  view.SetMove(-1, -2, -3);
  ExpectMatrixNear(*light->GetViewMatrix(), view);
}

TEST_F(LightTest, SpotViewAimsAtATargetWhateverItsOwnRotation) {
  CLight* light = AddLight(LIGHT_SPOT);
  light->GetRangeEnvelope(0)->SetValue(100.0f);
  light->SetPosition(CVector3(1, 2, 3));
  light->SetRotation(CVector3(0.7f, 0.3f, 0.0f));
  FakeSceneMesh* target = AddMesh(11, 2, 3);
  light->SetTargetObject(target);
  Update(light, 4.0f);

  // Looking along world +X: yaw -90°, so world X becomes view Z and world Z view -X.
  const CMatrix expected(0, 0, 1, 0,   //
                         0, 1, 0, 0,   //
                         -1, 0, 0, 0,  //
                         3, -2, -1, 1);
  ExpectMatrixNear(*light->GetViewMatrix(), expected);
  ExpectVectorNear(light->GetD3DLightProperties()->Direction, CVector3(1, 0, 0));
  CVector3 position;
  light->GetPosition(&position, 0);
  EXPECT_NEAR(position.x, 1.0f, 1e-5f);
  EXPECT_NEAR(position.z, 3.0f, 1e-5f);
  EXPECT_EQ(target->hierarchyFrames, std::vector<float>{4.0f});
}

TEST_F(LightTest, SpotViewRollFollowsTheBank) {
  const float bank = 0.4f;
  CLight* light = AddLight(LIGHT_SPOT);
  light->GetRangeEnvelope(0)->SetValue(100.0f);
  CMotion* motion = light->GetMotion(0.0f);
  motion->SetNumberOfChannels(9);
  motion->GetChannel(MOTION_BANK)->AddKeyData(bank, 0.0f, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0);
  Update(light);
  CMatrix view;
  view.SetRotateZ(-bank);
  ExpectMatrixNear(*light->GetViewMatrix(), view);
  CMatrix rotation;
  rotation.SetRotateZ(bank);
  ExpectMatrixNear(*light->GetRotationMatrix(0.0f), rotation);
}

TEST_F(LightTest, SpotOnItsTargetKeepsItsPreviousOrientation) {
  CLight* light = AddLight(LIGHT_SPOT);
  light->GetRangeEnvelope(0)->SetValue(100.0f);
  FakeSceneMesh* target = AddMesh(10, 0, 0);
  light->SetTargetObject(target);
  Update(light, 0.0f);
  const CMatrix aimed = *light->GetRotationMatrix(0.0f);

  target->PlaceAt(0, 0, 0);  // the target now sits on the light
  light->GetGuard()->Force();
  Update(light, 1.0f);
  EXPECT_TRUE(AllFinite(*light->GetViewMatrix()));
  EXPECT_TRUE(AllFinite(*light->GetMatrix(1.0f)));
  ExpectMatrixNear(*light->GetRotationMatrix(1.0f), aimed);
  ExpectVectorNear(light->GetD3DLightProperties()->Direction, CVector3(1, 0, 0));
}

TEST_F(LightTest, ProjectionsRefuseDegenerateInput) {
  CLight* light = AddLight(LIGHT_SPOT);
  light->SetPointProjection(0.5f, 10.0f);
  const CMatrix point = Projection(1.0f, 0.5f, 10.0f);
  ExpectMatrixNear(*light->GetProjectionMatrix(), point);
  light->SetSpotProjection(0.5f, 10.0f, 0.0f);
  light->SetPointProjection(2.0f, 2.0f);
  EXPECT_EQ(*light->GetProjectionMatrix(), point);
  light->SetSpotProjection(1.0f, 3.0f, 45.0f);
  ExpectMatrixNear(*light->GetProjectionMatrix(), Projection(1.0f, 1.0f, 3.0f));
}

TEST_F(LightTest, OtherTypeKeepsItsRecordTypeAndGetsAnIdentityProjection) {
  CLight* light = AddLight(LIGHT_POINT);
  light->SetType(5);
  EXPECT_EQ(light->GetType(), 5);
  EXPECT_EQ(light->GetD3DLightProperties()->Type, D3DLIGHT_POINT);
  light->SetPosition(CVector3(7, 8, 9));
  Update(light);
  ExpectVectorNear(light->GetD3DLightProperties()->Position, CVector3(7, 8, 9));
  ExpectMatrixNear(*light->GetProjectionMatrix(), CMatrix::Identity());
  EXPECT_FLOAT_EQ(light->GetD3DLightProperties()->Range, 0.0f);
  EXPECT_TRUE(log.entries.empty());
}

TEST_F(LightTest, ParentPlacementIsCombinedOnce) {
  CLight* parent = AddLight(LIGHT_POINT, "parent");
  parent->SetPosition(CVector3(10, 0, 0));
  CLight* child = AddLight(LIGHT_POINT, "child");
  child->SetPosition(CVector3(0, 1, 0));
  child->SetParentObject(parent);
  // The parent is prepared for this frame: its own matrix is taken.
  parent->PrepareMatrices(0.0f);
  child->PrepareMatrices(0.0f);
  child->UpdateHierarchy(0.0f);
  child->UpdateHierarchy(0.0f);
  ExpectVectorNear(child->GetD3DLightProperties()->Position, CVector3(10, 1, 0));

  // A parent not prepared for the frame gives its placement from its motion.
  child->GetGuard()->Force();
  child->PrepareMatrices(3.0f);
  child->UpdateHierarchy(3.0f);
  ExpectVectorNear(child->GetD3DLightProperties()->Position, CVector3(10, 1, 0));
}

TEST_F(LightTest, SetFramePinsTheLightAndItsChildren) {
  CLight* light = AddLight(LIGHT_POINT);
  FakeSceneMesh* child = AddMesh(0, 0, 0);
  child->SetParentObject(light);
  FakeSceneMesh* other = AddMesh(0, 0, 0);

  light->SetFrame(5.0f, 1);
  EXPECT_EQ(child->setFrames, std::vector<float>{5.0f});
  EXPECT_TRUE(other->setFrames.empty());
  light->PrepareMatrices(9.0f);
  EXPECT_EQ(light->GetFramePrepared(), 5.0f);
  light->UpdateHierarchy(9.0f);
  EXPECT_EQ(light->GetFrame(), 5.0f);

  light->SetFrame(-1.0f, 1);
  EXPECT_EQ(child->setFrames, (std::vector<float>{5.0f, -1.0f}));
  light->PrepareMatrices(9.0f);
  EXPECT_EQ(light->GetFramePrepared(), 9.0f);
}

TEST_F(LightTest, KeyedRangeRecalculatesTheVolume) {
  CLight::ImportedRecord record;
  record.wType = LIGHT_SPOT;
  record.envelopes[CLight::ENVELOPE_RANGE].fValue = 50.0f;
  auto* light = new CLight(nullptr, &log, scene, record);
  scene->AppendWorldObject(light);
  light->PrepareMatrices(0.0f);
  EXPECT_EQ(spatial.calls, std::vector<std::string>{"CreateBoundVolume"});
  Key(light->GetRangeEnvelope(0), 60.0f);
  light->PrepareMatrices(1.0f);
  EXPECT_EQ(spatial.calls, (std::vector<std::string>{"CreateBoundVolume", "RecalculateBoundVolume"}));
  light->Release();
  EXPECT_EQ(spatial.calls.back(), "ReleaseBoundVolume");
}

TEST_F(LightTest, GizmoDrawsLinesByTypeInWireframe) {
  RecordingDrawRenderer renderer;
  struct Case {
    WORD type;
    UINT vertices, lines;
  } cases[] = {{LIGHT_DISTANT, 12, 18}, {LIGHT_POINT, 6, 3}, {LIGHT_SPOT, 17, 22}, {5, 0, 0}};
  for (const Case& c : cases) {
    auto* light = new CLight(&renderer, &log, scene);
    scene->AppendWorldObject(light);
    light->SetType(c.type);
    light->GetConeAngleEnvelope(0)->SetValue(30.0f);
    light->GetRangeEnvelope(0)->SetValue(100.0f);
    renderer.calls.clear();
    renderer.draws.clear();
    light->DrawHelper();
    if (c.vertices == 0) {
      EXPECT_TRUE(renderer.calls.empty());
      continue;
    }
    EXPECT_EQ(renderer.calls,
              (std::vector<std::string>{"transform 256", "fvf 450", "vertex shader null",
                                        "pixel shader null", "state 8=2", "draw", "state 8=3"}));
    ASSERT_EQ(renderer.draws.size(), 1u);
    const RecordingDrawRenderer::Draw& draw = renderer.draws[0];
    EXPECT_EQ(draw.vertexCount, c.vertices);
    EXPECT_EQ(draw.primitiveCount, c.lines);
    EXPECT_EQ(draw.stride, 28u);
    for (WORD index : draw.indices) EXPECT_LT(index, c.vertices);
    CLight::FlareVertex first;
    std::memcpy(&first, draw.vertexBytes.data(), sizeof first);
    EXPECT_EQ(first.dwDiffuse, 0x80FFFFC0u);
    if (c.type == LIGHT_SPOT) {
      // The rim point (0, s, d) with s = tan 30° × 100.
      CLight::FlareVertex rim;
      std::memcpy(&rim, draw.vertexBytes.data() + 13 * sizeof rim, sizeof rim);
      EXPECT_NEAR(rim.y, 57.735027f, 1e-3f);
      EXPECT_FLOAT_EQ(rim.z, 100.0f);
    }
  }
}

}  // namespace
