// Building a scene from the LightWave reader's records: the creators append in reading order,
// UpdateScene takes the scene record's settings and builds the per-kind tables from the list;
// and a mesh filled from an imported object.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "EngineContextScope.h"
#include "FakeLightWaveLoader.h"
#include "FakeMeshSpatial.h"
#include "FakeSurfaceBanks.h"
#include "ProcessExitCatcher.h"
#include "RecordingEngineLog.h"
#include "RecordingRenderer.h"
#include "TestScene.h"
#include "scene/LWOImportBuffer.h"
#include "scene/LWSCameraBuffer.h"
#include "scene/LWSLightBuffer.h"
#include "scene/LWSNullBuffer.h"
#include "scene/LWSSceneBuffer.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "scene/Null.h"
#include "scene/Surface.h"
#include "scene/SurfaceFactory.h"

namespace {

class SceneImportTest : public ::testing::Test {
 protected:
  SceneImportTest() : scene(new TestScene(nullptr, &log)) {
    context->ports.meshSpatial.Set(&spatial);
    context->ports.surfaceFactory.Set(&surfaces);
    context->pLog = &log;
    context->ports.lightWave.Set(&lightWave);
    record.Reset();
    object->Reset();
  }
  ~SceneImportTest() override { scene->Release(); }

  // A named object of `points` points in a row and one triangle over the first three.
  void FillObject(const char* name, UINT points) {
    object->Reset();
    CopyName(object->fileName, name);
    ASSERT_TRUE(object->AllocatePoints(points));
    for (UINT i = 0; i < points; ++i) {
      object->points[i].position = {static_cast<float>(i), 0, 0};
      object->points[i].normal = {0, 1, 0};
      object->points[i].uv[0] = {0.25f, 0.5f, 0, 0, 0};
      object->points[i].uv[1] = {0.75f, 1.0f, 0, 0, 0};
    }
    object->faceCount = 1;
    object->faces[0].v[0] = 0;
    object->faces[0].v[1] = 1;
    object->faces[0].v[2] = 2;
    object->faces[0].normal = {0, 0, 1};
  }

  std::vector<std::string> ObjectNames() {
    std::vector<std::string> names;
    for (CWorldObject* object = scene->GetFirstWorldObject(); object != nullptr;
         object = object->GetNext())
      names.emplace_back(object->GetWorldObjectName());
    return names;
  }

  EngineContextScope context;
  CRecordingEngineLog log;
  FakeMeshSpatial spatial;
  FakeLightWaveLoader lightWave;
  CSurfaceFactory surfaces;
  TestScene* scene;
  LWSSceneBuffer record;
  std::unique_ptr<LWOImportBuffer> object = std::make_unique<LWOImportBuffer>();
};

TEST_F(SceneImportTest, ObjectsJoinInReadingOrderAndTheTablesFollowTheList) {
  LWSNullBuffer null;
  LWSLightBuffer light;
  LWSCameraBuffer camera;
  null.Reset();
  light.Reset();
  camera.Reset();

  CopyName(null.name, "Pivot;Spin()");
  null.parentType = 1;  // meshes and nulls, in list order: 1 is the mesh "first"
  null.parentIndex = 1;
  ASSERT_EQ(scene->CreateSceneNull(null), 1u);
  FillObject("first", 3);
  ASSERT_EQ(scene->CreateSceneMesh(*object), 1u);
  CopyName(light.name, "sun");
  ASSERT_EQ(scene->CreateSceneLight(light), 1u);
  camera.zoomFactor.value = 2.0f;
  ASSERT_EQ(scene->CreateSceneCamera(camera), 1u);
  FillObject("second", 4);
  ASSERT_EQ(scene->CreateSceneMesh(*object), 1u);

  // The record counts nothing right: the tables still hold what the list holds.
  record.lightCount = 5;
  ASSERT_EQ(scene->UpdateScene(record), 1u);

  EXPECT_EQ(ObjectNames(),
            (std::vector<std::string>{"pivot", "first", "sun", "Camera", "second"}));
  ASSERT_EQ(scene->GetNumberOfMeshes(), 2u);
  EXPECT_STREQ(scene->GetMesh(0)->GetName(), "first");
  EXPECT_STREQ(scene->GetMesh(1)->GetName(), "second");
  EXPECT_EQ(scene->GetNumberOfLights(), 1u);
  EXPECT_EQ(scene->GetNumberOfCameras(), 1u);
  EXPECT_EQ(scene->GetNumberOfNullObjects(), 1u);
  EXPECT_EQ(scene->GetNull(0)->GetScene(), scene);
  EXPECT_EQ(scene->GetCamera(0)->GetScene(), scene);
  EXPECT_EQ(scene->GetActiveCamera(), scene->GetCamera(0));
  EXPECT_FLOAT_EQ(scene->GetCamera(0)->GetZoomEnvelope(0)->GetValue(), 2.0f);
  EXPECT_EQ(scene->GetNullObject(0)->GetParent(), scene->GetMeshObject(0));
  EXPECT_NE(log.TextAt(CEngineLog::kLevelInfo).find("- Applying NullObjects Scripts...\n"),
            std::string::npos);
}

TEST_F(SceneImportTest, ALinkThatDoesNotResolveEndsTheEngine) {
  ProcessExitCatcher exits;
  context->dwInitialized = 0;
  LWSNullBuffer null;
  null.Reset();
  CopyName(null.name, "orphan");
  null.parentType = 1;
  null.parentIndex = 9;
  ASSERT_EQ(scene->CreateSceneNull(null), 1u);
  CopyName(record.name, "broken.lws");
  try {
    scene->UpdateScene(record);
    FAIL() << "returned";
  } catch (const ProcessExited& exit) {
    EXPECT_EQ(exit.code, 1u);
  }
  ASSERT_FALSE(exits.Boxes().empty());
  EXPECT_EQ(exits.Boxes().back().text, "Can't Built Hierarchy: broken.lws");
}

TEST_F(SceneImportTest, UpdateSceneTakesTheRecordsSettings) {
  CopyName(record.name, "level.lws");
  CopyName(record.directory, "levels/");
  record.ambientColor[0] = 1.0f;
  record.ambientColor[1] = 0.5f;
  record.ambientColor[2] = 2.0f;  // out of range: held to a byte
  record.previewFirstFrame = 2;
  record.previewLastFrame = 90;
  record.previewFrameStep = 3;
  record.ambientIntensity.value = 0.75f;
  record.fogType = 3;
  record.fogMinDistance = 10.0f;
  record.fogMaxDistance = 20.0f;
  record.fogColor = 0x00FF7F00;
  record.backdropColor = 0x00102030;
  record.framesPerSecond = 25.0f;

  FillObject("only", 3);
  ASSERT_EQ(scene->CreateSceneMesh(*object), 1u);
  ASSERT_EQ(scene->UpdateScene(record), 1u);

  EXPECT_STREQ(scene->GetName(), "level.lws");
  EXPECT_STREQ(scene->GetDirectory(), "levels/");
  EXPECT_EQ(scene->GetColor()->cRed, 255);
  EXPECT_EQ(scene->GetColor()->cGreen, 127);
  EXPECT_EQ(scene->GetColor()->cBlue, 255);
  EXPECT_EQ(scene->GetFirstFrame(), 2u);
  EXPECT_EQ(scene->GetLastFrame(), 90u);
  EXPECT_EQ(scene->GetFrameStep(), 3u);
  EXPECT_FLOAT_EQ(scene->GetAmbLightIntensityEnvelope()->GetValue(), 0.75f);
  EXPECT_EQ(scene->GetFogType(), 3u);
  EXPECT_FLOAT_EQ(scene->GetMinimumFogDistance(), 10.0f);
  EXPECT_FLOAT_EQ(scene->GetMaximumFogDistance(), 20.0f);
  EXPECT_EQ(scene->GetFogColor(), 0x00FF7F00u);
  EXPECT_EQ(scene->GetBackgroundColor(), 0x00102030u);
  EXPECT_FLOAT_EQ(scene->GetFramesPerSecond(), 25.0f);

  // One mesh, no camera: the mesh is the first object and SetActiveCamera(0) still runs.
  EXPECT_EQ(scene->GetWorldObjects(), scene->GetMesh(0));
  EXPECT_EQ(scene->GetNumberOfMeshes(), 1u);
  EXPECT_EQ(scene->GetActiveCamera(), nullptr);
  EXPECT_NE(log.TextAt(CEngineLog::kLevelError).find("Trying To Set A NonExisting Camera (0)"),
            std::string::npos);
  const std::string info = log.TextAt(CEngineLog::kLevelInfo);
  EXPECT_NE(info.find("- Updating Scene - level.lws\n"), std::string::npos);
  EXPECT_NE(info.find("  - Scene Updated\n"), std::string::npos);
}

TEST_F(SceneImportTest, AMeshFilledFromAnObjectTakesItsGeometry) {
  FillObject("crate", 4);
  object->faces[0].edgeIndex[1] = 7;
  object->faces[0].normal = {0, 0, 0};  // reported, kept
  object->pivotPosition = {1, 2, 3};
  object->shadowOptions = 0x0006;
  object->seenByRays = 1;
  object->dissolve.value = 0.5f;

  CMesh mesh(nullptr, &log, nullptr, 0);
  ASSERT_EQ(mesh.UpdateFromImportedData(*object), 1u);

  EXPECT_STREQ(mesh.GetName(), "crate");
  ASSERT_EQ(mesh.GetNumberOfVertices(), 4u);
  ASSERT_EQ(mesh.GetNumberOfFaces(), 1u);
  EXPECT_EQ(mesh.GetNumberOfEdges(), 0u);
  const Vertex* vertex = mesh.GetVertex(3);
  EXPECT_EQ(vertex->vecPosition, CVector3(3, 0, 0));
  EXPECT_EQ(vertex->vecNormal, CVector3(0, 1, 0));
  EXPECT_FLOAT_EQ(vertex->fTU[0], 0.25f);
  EXPECT_FLOAT_EQ(vertex->fTV[0], 0.5f);
  EXPECT_FLOAT_EQ(vertex->fTU[1], 0.75f);
  EXPECT_FLOAT_EQ(vertex->fTV[1], 1.0f);
  for (UINT i = 0; i < mesh.GetNumberOfVertices(); ++i)
    for (UINT k = 0; k < 4; ++k) {
      EXPECT_EQ(mesh.GetVertex(i)->wBonesIndices[k], 0xFFFF);
      EXPECT_EQ(mesh.GetVertex(i)->fWeights[k], 0.0f);
    }
  const Face* face = mesh.GetFace(0);
  EXPECT_EQ(face->wIndex3, 2);
  EXPECT_EQ(face->wEdge2, 7);
  EXPECT_EQ(face->wFaceIndex, 0);
  EXPECT_EQ(*mesh.GetPivot(), CVector3(1, 2, 3));
  EXPECT_EQ(mesh.GetFlags(), 0x0006);
  EXPECT_EQ(mesh.GetVisibleByRays(), 1u);
  EXPECT_EQ(mesh.GetVisibleByCameras(), 0u);
  EXPECT_FLOAT_EQ(mesh.GetEnvDissolve()->GetValue(), 0.5f);
  EXPECT_NE(log.TextAt(CEngineLog::kLevelError).find("Mesh Face 0: 0.000000, 0.000000, 0.000000 - Wrong Length\n"),
            std::string::npos);
  EXPECT_TRUE(lightWave.attached.empty()) << "no bones to attach";
}

TEST_F(SceneImportTest, ImportedSurfacesBelongToTheNewMesh) {
  RecordingRenderer renderer;
  FakeIndexBufferStorage indexBuffers;
  FakeMaterialStorage materials;
  renderer.indexBufferStorage = &indexBuffers;
  renderer.materialStorage = &materials;
  auto* lit = new TestScene(&renderer, &log);
  FillObject("crate.lwo", 3);
  object->surfaceCount = 1;
  LWOSurface& wood = object->surfaces[0];
  wood.SetDefaults();
  wood.SetName("wood");
  const WORD indices[] = {0, 1, 2};
  wood.SetIndices(indices, 3);

  ASSERT_EQ(lit->CreateSceneMesh(*object), 1u);
  auto* mesh = dynamic_cast<CMesh*>(lit->GetFirstWorldObject());
  ASSERT_NE(mesh, nullptr);
  ASSERT_EQ(mesh->GetNumberOfSurfaces(), 1u);
  auto* surface = dynamic_cast<CSurface*>(mesh->GetSurface(0));
  EXPECT_STREQ(surface->GetName(), "wood");
  EXPECT_EQ(surface->GetParentMeshObject(), mesh);
  EXPECT_EQ(surface->GetNumberOfIndices(), 3u);
  EXPECT_NE(log.TextAt(CEngineLog::kLevelInfo).find("  - Mesh Updated - crate.lwo, 1\n"),
            std::string::npos);
  lit->Release();
}

TEST_F(SceneImportTest, ComplementingFlipsTheFirstVOfBothSlots) {
  FillObject("flip", 3);
  object->AppendUVEntry(object->points[1], 0, {0.25f, 0.5f, 0, 0, 0});
  // A later entry is left alone.
  object->AppendUVEntry(object->points[1], 0, {0.5f, 0.25f, 0, 0, 0});
  ASSERT_EQ(CScene::ComplementImportedPointValues(*object), 1u);
  EXPECT_FLOAT_EQ(object->points[1].uv[0].v, 0.5f);
  EXPECT_FLOAT_EQ(object->points[1].uv[1].v, 0.0f);
  EXPECT_FLOAT_EQ(object->points[1].uv[0].u, 0.25f);
  ASSERT_EQ(object->uvOverflow.size(), 1u);
  EXPECT_FLOAT_EQ(object->uvOverflow[0].entry.v, 0.25f);

  object->Reset();  // no points: nothing to do
  EXPECT_EQ(CScene::ComplementImportedPointValues(*object), 1u);
}

TEST_F(SceneImportTest, ImportedBonesAreCopiedAndAttached) {
  FillObject("walker", 3);
  object->hasBones = 1;
  object->boneCount = 2;
  object->bones[1].SetParent(BONE_PARENT_ITEM_BONE, &object->bones[0]);
  object->bones[1].SetFalloffType(3);

  CMesh mesh(nullptr, &log, nullptr, 0);
  mesh.UpdateFromImportedData(*object);

  ASSERT_EQ(mesh.GetNumberOfBones(), 2u);
  EXPECT_EQ(mesh.GetBone(1)->GetParent(), mesh.GetBone(0));
  EXPECT_EQ(mesh.GetBone(1)->GetFalloffType(), 3u);
  EXPECT_EQ(lightWave.attached, std::vector<CMesh*>{&mesh});
}

}  // namespace
