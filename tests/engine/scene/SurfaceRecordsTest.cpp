#include <gtest/gtest.h>

#include <functional>

#include "FakeEngineTexture.h"
#include "ZKDXRecords.h"

namespace {

FakeEngineTexture g_frames[2];
CTextureInterface* g_frameList[2] = {&g_frames[0], &g_frames[1]};
CTextureInterface* g_otherFrameList[2] = {&g_frames[0], &g_frames[0]};

SurfaceTexture Sequence() {
  SurfaceTexture record;
  record.Clear();
  record.dwSourceKind = SURFACE_TEXTURE_SEQUENCE;
  record.pFrames = g_frameList;
  record.dwNumberOfFrames = 2;
  record.lFirstFrame = 0;
  record.lFrameLimit = 2;
  return record;
}

TEST(SurfaceRecordsTest, ClearGivesAnEmptyRecordWithAnIdentityMatrix) {
  SurfaceTexture record;
  std::memset(static_cast<void*>(&record), 0xAB, sizeof record);
  record.Clear();
  EXPECT_EQ(record.pTextureImage, nullptr);
  EXPECT_EQ(record.pFrames, nullptr);
  EXPECT_EQ(record.mtxMatrix._11, 1.0f);
  EXPECT_EQ(record.mtxMatrix._12, 0.0f);
  EXPECT_EQ(record.wFlags, 0);
  EXPECT_EQ(record.fOpacityValue, 0.0f);
  EXPECT_EQ(record.dwNumberOfFrames, 0u);
  // An empty single image equals nothing, itself included.
  EXPECT_FALSE(SurfaceTexture::IsEqual(&record, &record));
  EXPECT_TRUE(SurfaceTexture::IsEqual(nullptr, nullptr));
  EXPECT_FALSE(SurfaceTexture::IsEqual(&record, nullptr));
}

TEST(SurfaceRecordsTest, SequencesDifferInAnyComparedField) {
  const std::function<void(SurfaceTexture&)> changes[] = {
      [](SurfaceTexture& r) { r.wFlags = SURFACE_TEXTURE_LOOP; },
      [](SurfaceTexture& r) { r.wOpacity = 1; },
      [](SurfaceTexture& r) { r.fOpacityValue = 0.5f; },
      [](SurfaceTexture& r) { r.lFirstFrame = 1; },
      [](SurfaceTexture& r) { r.lFrameLimit = 3; },
      [](SurfaceTexture& r) { r.dwSequenceParameter = 4; },
      [](SurfaceTexture& r) { r.pFrames = g_otherFrameList; },
      [](SurfaceTexture& r) { r.pFrames = nullptr; },
      [](SurfaceTexture& r) { r.dwSourceKind = 0; },
  };
  const SurfaceTexture base = Sequence();
  for (size_t i = 0; i < std::size(changes); ++i) {
    SCOPED_TRACE(i);
    SurfaceTexture changed = Sequence();
    changes[i](changed);
    EXPECT_FALSE(SurfaceTexture::IsEqual(&base, &changed));
  }
  SurfaceTexture moved = Sequence();
  moved.mtxMatrix._41 = 5.0f;
  EXPECT_TRUE(SurfaceTexture::IsEqual(&base, &moved)) << "the matrix is not compared";
}

}  // namespace
