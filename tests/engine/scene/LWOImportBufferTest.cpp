#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "scene/LWOImportBuffer.h"

namespace {

TEST(LWOImportBufferTest, ResetEmptiesEverythingTheLastObjectLeft) {
  auto buffer = std::make_unique<LWOImportBuffer>();
  ASSERT_TRUE(buffer->AllocatePoints(3));
  ASSERT_TRUE(buffer->AllocateTags(2));
  buffer->faceCount = 1;
  buffer->faces[0].v[2] = 7;
  buffer->surfaceCount = 1;
  buffer->surfaces[0].SetName("skin");
  ASSERT_TRUE(buffer->surfaces[0].channel[LWO_CHANNEL_COLOR].AllocateFrames(4));
  buffer->surfaces[0].channel[LWO_CHANNEL_DIFFUSE].envelope[0].channel.AddKeyData(1, 5, 0, 0, 0, 0,
                                                                                  0, 0, 0, 0);
  buffer->clipCount = 1;
  buffer->clips[0].index = 3;
  buffer->weightMapCount = 1;
  buffer->weightMaps[0].count = 1;
  buffer->weightMaps[0].entries.reset(new LWOWeightEntry[1]{{2, 0.5f}});
  buffer->motion.SetNumberOfChannels(9);
  buffer->motion.GetChannel(MOTION_POSITION_X)->AddKeyData(1, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  buffer->boneCount = 2;
  buffer->StartSceneObject();
  std::strcpy(buffer->fileName, "box.lwo");

  buffer->Reset();
  EXPECT_EQ(buffer->points, nullptr);
  EXPECT_EQ(buffer->tags, nullptr);
  EXPECT_EQ(buffer->pointCount + buffer->tagCount + buffer->faceCount + buffer->clipCount +
                buffer->weightMapCount + buffer->boneCount + buffer->surfaceCount,
            0u);
  EXPECT_EQ(buffer->faces[0].v[2], 0);
  EXPECT_STREQ(buffer->surfaces[0].name, "");
  EXPECT_EQ(buffer->surfaces[0].channel[LWO_CHANNEL_COLOR].frames, nullptr);
  EXPECT_EQ(buffer->surfaces[0].channel[LWO_CHANNEL_DIFFUSE].envelope[0].channel.GetNumberOfKeys(),
            0u);
  EXPECT_EQ(buffer->weightMaps[0].entries, nullptr);
  EXPECT_EQ(buffer->FindClip(3), nullptr);
  EXPECT_EQ(buffer->motion.GetNumberOfChannels(), 0u);
  EXPECT_EQ(buffer->motion.GetChannel(MOTION_POSITION_X)->GetNumberOfKeys(), 0u);
  EXPECT_EQ(buffer->morphTarget, 0);
  EXPECT_EQ(buffer->shadowOptions + buffer->seenByRays + buffer->seenByCamera, 0u);
  EXPECT_STREQ(buffer->fileName, "");

  buffer->StartSceneObject();
  EXPECT_EQ(buffer->morphTarget, -1);
  EXPECT_EQ(buffer->shadowOptions, 7);
  EXPECT_EQ(buffer->seenByRays, 1u);
  EXPECT_EQ(buffer->seenByCamera, 1u);
}

bool IsAllZero(const LWOPoint& point) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&point);
  return std::all_of(bytes, bytes + sizeof point, [](unsigned char b) { return b == 0; });
}

TEST(LWOImportBufferTest, PointsOfTheNextObjectStartZeroWhateverTheLastOnesHeld) {
  auto buffer = std::make_unique<LWOImportBuffer>();
  ASSERT_TRUE(buffer->AllocatePoints(5));
  for (UINT i = 0; i < 5; ++i) {
    LWOPoint& point = buffer->points[i];
    point.position = point.normal = point.tangent = point.binormal = CVector3(1, 2, 3);
    for (UINT slot = 0; slot < LWO_UV_SLOTS; ++slot) {
      for (UINT e = 0; e < (slot == 0 ? LWO_MAX_UV_ENTRIES + 1 : 2); ++e)
        buffer->AppendUVEntry(point, slot, {0.5f, 0.5f, 7, 1, 3});
    }
    std::memset(point.reserved, 0xAB, sizeof point.reserved);
    point.cornerCount = point.index16 = 4;
    point.smoothingGroup = -1;
    point.index = point.weightCount = point.used = 9;
  }
  const struct {
    const char* name;
    UINT count;
  } nextObjects[] = {{"fewer", 3}, {"as many", 5}, {"more", 8}};
  for (const auto& next : nextObjects) {
    SCOPED_TRACE(next.name);
    buffer->Reset();
    EXPECT_EQ(buffer->points, nullptr);
    EXPECT_EQ(buffer->pointCount, 0u);
    EXPECT_TRUE(buffer->uvOverflow.empty());
    ASSERT_TRUE(buffer->AllocatePoints(next.count));
    ASSERT_EQ(buffer->pointCount, next.count);
    for (UINT i = 0; i < next.count; ++i) EXPECT_TRUE(IsAllZero(buffer->points[i])) << i;
  }

  // The processing's own array takes the points' place and goes with the next reset.
  auto processed = std::make_unique<LWOPoint[]>(2);
  processed[1].index = 11;
  buffer->ReplacePoints(std::move(processed), 2);
  EXPECT_EQ(buffer->pointCount, 2u);
  EXPECT_EQ(buffer->points[1].index, 11u);
  buffer->Reset();
  ASSERT_TRUE(buffer->AllocatePoints(6));
  for (UINT i = 0; i < 6; ++i) EXPECT_TRUE(IsAllZero(buffer->points[i])) << i;
}

TEST(LWOImportBufferTest, ANewSurfaceStartsFromTheDefaults) {
  auto surface = std::make_unique<LWOSurface>();
  surface->SetDefaults();
  EXPECT_EQ(surface->smoothing, 1);
  EXPECT_EQ(surface->alpha, 1.0f);
  struct ValueCase {
    UINT channel;
    float value;
  };
  const ValueCase values[] = {{LWO_CHANNEL_TRANSPARENCY, 1.0f}, {LWO_CHANNEL_REFRACTION, 1.0f},
                              {LWO_CHANNEL_DIFFUSE, 1.0f},      {LWO_CHANNEL_GLOSSINESS, 0.4f},
                              {LWO_CHANNEL_SPECULAR, 0.0f},     {LWO_CHANNEL_COLOR, 0.0f}};
  for (const ValueCase& c : values) {
    SCOPED_TRACE(c.channel);
    for (float component : surface->channel[c.channel].value) EXPECT_EQ(component, c.value);
  }
  for (const LWOSurfaceChannel& channel : surface->channel) {
    EXPECT_EQ(channel.projection, LWO_NO_PROJECTION);
    EXPECT_EQ(channel.mapFlags, LWO_MAP_CUBE_GENERATED);
    EXPECT_EQ(channel.wrapWidth, 1.0f);
    EXPECT_EQ(channel.wrapHeight, 1.0f);
  }
}

TEST(LWOImportBufferTest, NamesAndListsStayInsideTheirFields) {
  auto surface = std::make_unique<LWOSurface>();
  const std::string longName(400, 'n');
  EXPECT_EQ(surface->SetName(longName.c_str()), 255u);
  EXPECT_EQ(surface->name[255], '\0');

  std::vector<WORD> list(LWOSurface::kMaxIndices + 1, 1);
  EXPECT_FALSE(surface->SetIndices(list.data(), static_cast<UINT>(list.size())));
  EXPECT_FALSE(surface->SetIndices(nullptr, 3));
  EXPECT_EQ(surface->indexCountCopy, 0);
  ASSERT_TRUE(surface->SetIndices(list.data(), LWOSurface::kMaxIndices));
  EXPECT_EQ(surface->indexCount, LWOSurface::kMaxIndices);
  EXPECT_EQ(surface->indexCountCopy, LWOSurface::kMaxIndices);

  LWOSurfaceChannel& color = surface->channel[LWO_CHANNEL_COLOR];
  ASSERT_TRUE(color.AllocateFrames(2));
  color.isSequence = 1;
  std::strcpy(color.frames[1], "f002.tga");
  EXPECT_STREQ(color.GetFrameName(1), "f002.tga");
  EXPECT_EQ(color.GetFrameName(2), nullptr);
  EXPECT_TRUE(color.HasImage());
}

}  // namespace
