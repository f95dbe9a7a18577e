#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeSurfaceBanks.h"
#include "FakeMeshVertexBuffer.h"
#include "RecordingEngineLog.h"
#include "spatial/MeshShadowVolume.h"
#include "spatial/ShadowVolumeGeometry.h"

namespace {

const char* const kReleaseLines[] = {
    "  - Releasing Dynamic SV Index Buffer\n",  "  - Releasing Dynamic SV Indices\n",
    "  - Releasing Dynamic SV Vertex Buffer\n", "  - Releasing Dynamic SV Vertices\n",
    "  - Releasing Static SV Index Buffers\n",  "  - Releasing Static SV Vertex Buffer\n",
    "  - Releasing Static SV Vertices\n"};

std::string AllReleaseLines() {
  std::string text;
  for (const char* line : kReleaseLines) text += line;
  return text;
}

TEST(ShadowVolumeBuffersTest, FreshObjectIsEmptyAndReleasesQuietlyButForItsLines) {
  CRecordingEngineLog log;
  CMeshShadowVolume volume(nullptr, &log);
  EXPECT_FALSE(volume.HasGeometry());
  EXPECT_EQ(volume.GetDynamicVertices(), nullptr);
  for (UINT light = 0; light < CMeshShadowVolume::kLights; ++light) {
    const CMeshShadowVolume::LightEntry* entry = volume.GetLightEntry(light);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->mtxLight._11, 1.0f);
    EXPECT_EQ(entry->mtxLight._44, 1.0f);
    EXPECT_EQ(entry->pIndexBuffer, nullptr);
  }
  EXPECT_EQ(volume.GetLightEntry(CMeshShadowVolume::kLights), nullptr);
  volume.Release();
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelInfo), AllReleaseLines());
}

TEST(ShadowVolumeBuffersTest, LightFlagsAgeOneStepPerReset) {
  CMeshShadowVolume volume(nullptr, nullptr);
  CMeshShadowVolume::LightEntry* both = volume.GetLightEntry(0);
  CMeshShadowVolume::LightEntry* onlyB = volume.GetLightEntry(7);
  both->dwFlagA = both->dwFlagB = 1;
  onlyB->dwFlagB = 1;
  const DWORD expected[][4] = {{0, 1, 0, 0}, {0, 0, 0, 0}};  // A, B of entry 0, then of entry 7
  for (const auto& step : expected) {
    volume.ResetLightFlags();
    EXPECT_EQ(both->dwFlagA, step[0]);
    EXPECT_EQ(both->dwFlagB, step[1]);
    EXPECT_EQ(onlyB->dwFlagA, step[2]);
    EXPECT_EQ(onlyB->dwFlagB, step[3]);
  }
}

class ShadowVolumeCopyTest : public ::testing::Test {
 protected:
  ShadowVolumeCopyTest() : original(nullptr, &log) {
    CShadowVolumeGeometry geometry("mesh", &log);
    geometry.m_DynamicVertices.assign(6, Vertex{});
    geometry.m_DynamicVertices[5].vecPosition.x = 5;
    geometry.m_Indices = {2, 1, 0, 5, 4, 3};
    geometry.m_StaticVertices.assign(4, Vertex{});
    WORD indices[] = {0, 1, 2};
    original.SetGeometry(geometry, &dynamicIndexBuffer);
    original.SetVertexBuffers(&dynamicVertexBuffer, &staticVertexBuffer);
    CMeshShadowVolume::LightEntry* entry = original.GetLightEntry(3);
    entry->pIndexBuffer = &lightIndexBuffer;
    entry->Indices.assign(indices, indices + 3);
    entry->dwFlagA = 1;
  }

  CRecordingEngineLog log;
  FakeIndexBuffer dynamicIndexBuffer{"mesh_shadow_volume_1", nullptr, 0};
  FakeIndexBuffer lightIndexBuffer{"light", nullptr, 0};
  FakeMeshVertexBuffer dynamicVertexBuffer{"mesh_shadow_volume_1", nullptr, 0};
  FakeMeshVertexBuffer staticVertexBuffer{"mesh_shadow_volume_2", nullptr, 0};
  CMeshShadowVolume original;
};

TEST_F(ShadowVolumeCopyTest, CopyAndOriginalAreBothReleasedCleanly) {
  {
    CMeshShadowVolume copy(nullptr, &log);
    EXPECT_EQ(original.Copy(&copy), 1u);
    EXPECT_EQ(copy.GetNumberOfDynamicVertices(), 6u);
    EXPECT_EQ(copy.GetDynamicVertices()[5].vecPosition.x, 5.0f);
    EXPECT_NE(copy.GetDynamicVertices(), original.GetDynamicVertices());
    EXPECT_EQ(copy.GetNumberOfDynamicIndices(), 6u);
    EXPECT_EQ(copy.GetNumberOfStaticVertices(), 4u);
    EXPECT_EQ(copy.GetDynamicIndexBuffer(), &dynamicIndexBuffer);
    EXPECT_EQ(copy.GetLightEntry(3)->dwFlagA, 1u);
    EXPECT_NE(copy.GetLightEntry(3)->Indices.data(), original.GetLightEntry(3)->Indices.data());
    // The original held one reference (the bank's) and one of its own on each vertex buffer.
    EXPECT_EQ(dynamicIndexBuffer.references, 2);
    EXPECT_EQ(lightIndexBuffer.references, 2);
    EXPECT_EQ(dynamicVertexBuffer.references, 3);
    EXPECT_EQ(staticVertexBuffer.references, 3);
    copy.Release();
    EXPECT_FALSE(copy.HasGeometry());
    EXPECT_EQ(copy.GetNumberOfDynamicIndices(), 0u);
  }
  original.Release();
  EXPECT_EQ(dynamicIndexBuffer.references, 0);
  EXPECT_EQ(lightIndexBuffer.references, 0);
  EXPECT_EQ(dynamicVertexBuffer.references, 1);
  EXPECT_EQ(staticVertexBuffer.references, 1);
  EXPECT_EQ(original.GetLightEntry(3)->pIndexBuffer, nullptr);
}

TEST_F(ShadowVolumeCopyTest, CopyOfAnEmptyObjectEmptiesTheTarget) {
  CMeshShadowVolume empty(nullptr, &log);
  EXPECT_EQ(empty.Copy(&original), 1u);
  EXPECT_EQ(original.GetDynamicVertices(), nullptr);
  EXPECT_EQ(original.GetDynamicIndices(), nullptr);
  EXPECT_EQ(original.GetNumberOfDynamicVertices(), 0u);
  EXPECT_EQ(original.GetNumberOfStaticVertices(), 0u);
  // What the target held is given back, not leaked.
  EXPECT_EQ(dynamicIndexBuffer.references, 0);
  EXPECT_EQ(lightIndexBuffer.references, 0);
  EXPECT_EQ(dynamicVertexBuffer.references, 1);
}

}  // namespace
