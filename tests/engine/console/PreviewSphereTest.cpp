// The surface editor's preview sphere: its geometry, and the scene that holds it.
#include <gtest/gtest.h>

#include <cmath>

#include "EditorBench.h"
#include "console/PreviewSphere.h"
#include "scene/Mesh.h"
#include "scene/Surface.h"

namespace {

TEST(PreviewSphereTest, VerticesLieOnTheSphereAndFacesAndIndicesAgreeInOrder) {
  CPreviewSphere sphere;
  ASSERT_EQ(sphere.GetVertices().size(), 1014u);
  for (const Vertex& vertex : sphere.GetVertices()) {
    const CVector3& p = vertex.vecPosition;
    EXPECT_NEAR(std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z), 10.0f, 1e-4f);
  }
  EXPECT_FLOAT_EQ(sphere.GetVertices()[1012].vecPosition.y, 10.0f);
  EXPECT_FLOAT_EQ(sphere.GetVertices()[1013].vecPosition.y, -10.0f);
  // Ring 1, step 2 lies 15 degrees below the pole and 15 degrees about Y.
  const CVector3& p = sphere.GetVertices()[1 * 46 + 2].vecPosition;
  EXPECT_NEAR(p.y, 10.0f * std::cos(0.2617994f), 1e-4f);
  EXPECT_NEAR(std::atan2(p.z, -p.x), 0.2617994f, 1e-4f);

  const auto& faces = sphere.GetFaces();
  const auto& indices = sphere.GetIndices();
  ASSERT_LE(faces.size(), 2024u);
  ASSERT_EQ(indices.size(), faces.size() * 3);
  for (size_t i = 0; i < faces.size(); ++i) {
    const WORD corners[] = {faces[i].wIndex1, faces[i].wIndex2, faces[i].wIndex3};
    for (int c = 0; c < 3; ++c) {
      EXPECT_LT(corners[c], 1014u);
      EXPECT_EQ(indices[i * 3 + c], corners[c]) << i;
    }
    // Clockwise seen from outside: (b - a) x (c - a) points away from the centre.
    const CVector3& a = sphere.GetVertices()[corners[0]].vecPosition;
    const CVector3& b = sphere.GetVertices()[corners[1]].vecPosition;
    const CVector3& c = sphere.GetVertices()[corners[2]].vecPosition;
    const float u[] = {b.x - a.x, b.y - a.y, b.z - a.z}, v[] = {c.x - a.x, c.y - a.y, c.z - a.z};
    const float n[] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    EXPECT_GT(n[0] * a.x + n[1] * a.y + n[2] * a.z, 0.0f) << "face " << i;
  }
}

TEST(PreviewSphereTest, TheSceneHoldsOneMeshSurfaceCameraAndLightAndJoinsTheSceneList) {
  EditorBench bench;
  CSceneInterface* scene = CPreviewSphere::CreateScene(bench.Renderer(), bench.Log());
  ASSERT_NE(scene, nullptr);
  EXPECT_STREQ(scene->GetName(), "sphere_material_scene");
  EXPECT_EQ(bench.items.GetScenes().Contains(scene), 1);
  ASSERT_EQ(scene->GetNumberOfMeshes(), 1u);
  EXPECT_EQ(scene->GetNumberOfCameras(), 1u);
  EXPECT_EQ(scene->GetNumberOfLights(), 1u);
  CMeshInterface* mesh = scene->GetMesh(0);
  ASSERT_EQ(mesh->GetNumberOfSurfaces(), 1u);
  EXPECT_EQ(mesh->GetNumberOfVertices(), 1014u);
  EXPECT_EQ(mesh->GetSurface(0)->GetFlags(), 4);
  EXPECT_EQ(dynamic_cast<CSurface*>(mesh->GetSurface(0))->GetIndexCount(), 2024u * 3);
  scene->Release();
}

}  // namespace
