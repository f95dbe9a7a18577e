#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "RecordingEngineLog.h"
#include "core/PageAllocator.h"
#include "core/ProfilerSample.h"

namespace {

struct AllocatorFixture : testing::Test {
  std::unique_ptr<CPageAllocator> Make(uint32_t pageSize, uint32_t descriptors) {
    return std::unique_ptr<CPageAllocator>(
        CPageAllocator::Create(&log, pageSize, descriptors, &sample));
  }
  static ptrdiff_t Offset(void* block, void* base) {
    return static_cast<uint8_t*>(block) - static_cast<uint8_t*>(base);
  }

  CRecordingEngineLog log;
  CProfilerSample sample{"MemAllocator"};
};

}  // namespace

TEST_F(AllocatorFixture, RoundsUpToTheNextMultipleOf16AboveTheSize) {
  auto allocator = Make(1024, 16);
  void* base = allocator->AllocateMemory(16);  // takes 32
  ASSERT_NE(base, nullptr);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(base) % 16, 0u);
  void* second = allocator->AllocateMemory(1);  // takes 16
  void* third = allocator->AllocateMemory(0);
  EXPECT_EQ(Offset(second, base), 32);
  EXPECT_EQ(Offset(third, base), 48);
  EXPECT_EQ(sample.IsRunning(), 0);
}

TEST_F(AllocatorFixture, FreedBlocksLeaveGapsThatLaterBlocksFill) {
  auto allocator = Make(1024, 16);
  void* a = allocator->AllocateMemory(40);
  void* b = allocator->AllocateMemory(40);
  void* c = allocator->AllocateMemory(40);
  ASSERT_EQ(Offset(c, a), 96);

  EXPECT_EQ(allocator->DeleteMemory(b), 1u);
  EXPECT_EQ(allocator->AllocateMemory(40), b);

  // The room before the first block is used again once the block at offset 0 is gone.
  EXPECT_EQ(allocator->DeleteMemory(a), 1u);
  EXPECT_EQ(allocator->AllocateMemory(20), a);
  EXPECT_EQ(Offset(allocator->AllocateMemory(1), a), 32);
  // No gap is left: the next block goes behind the last one.
  EXPECT_EQ(Offset(allocator->AllocateMemory(1), a), 144);
  EXPECT_TRUE(log.entries.empty());
}

TEST_F(AllocatorFixture, RefusesRequestsLargerThanThePageWithoutWrapping) {
  auto allocator = Make(1024, 16);
  EXPECT_EQ(allocator->AllocateMemory(1024), nullptr);  // rounds to 1040
  EXPECT_EQ(allocator->AllocateMemory(0xFFFFFFF8u), nullptr);
  EXPECT_EQ(allocator->AllocateMemory(0xFFFFFFFFu), nullptr);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError),
            "WARNING!!! - Can't Allocate Memory Of Size: 1024\n"
            "WARNING!!! - Can't Allocate Memory Of Size: 4294967288\n"
            "WARNING!!! - Can't Allocate Memory Of Size: 4294967295\n");
  EXPECT_NE(allocator->AllocateMemory(1008), nullptr);  // exactly the page
  EXPECT_EQ(allocator->AllocateMemory(1), nullptr);
}

TEST_F(AllocatorFixture, FailsWhenEveryDescriptorIsInUseEvenWithRoomLeft) {
  auto allocator = Make(1024, 2);
  void* first = allocator->AllocateMemory(1);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(allocator->AllocateMemory(1), nullptr);
  EXPECT_EQ(allocator->AllocateMemory(1), nullptr);
  EXPECT_EQ(log.TextAt(CEngineLog::kLevelError), "WARNING!!! - Can't Allocate Memory Of Size: 1\n");
  // Freeing a block gives its descriptor back.
  EXPECT_EQ(allocator->DeleteMemory(first), 1u);
  EXPECT_NE(allocator->AllocateMemory(1), nullptr);
}

TEST_F(AllocatorFixture, DeleteAcceptsOnlyTheStartOfABlockInUse) {
  auto allocator = Make(1024, 16);
  char* block = static_cast<char*>(allocator->AllocateMemory(64));
  int outside = 0;
  EXPECT_EQ(allocator->DeleteMemory(block + 16), 0u);
  EXPECT_EQ(allocator->DeleteMemory(&outside), 0u);
  EXPECT_EQ(allocator->DeleteMemory(nullptr), 0u);
  EXPECT_EQ(allocator->DeleteMemory(block), 1u);
  EXPECT_EQ(allocator->DeleteMemory(block), 0u);
  EXPECT_EQ(log.entries.size(), 4u);
  for (const auto& entry : log.entries) {
    EXPECT_EQ(entry.level, CEngineLog::kLevelError);
    EXPECT_EQ(entry.text.rfind("WARNING!!! - Can't Free The Memory At: ", 0), 0u) << entry.text;
  }
}

TEST_F(AllocatorFixture, ZeroSizesTakeTheDefaultsOfTenMebibytesAnd4096Descriptors) {
  auto allocator = Make(0, 0);
  ASSERT_NE(allocator, nullptr);
  EXPECT_NE(allocator->AllocateMemory(10485760 - 16), nullptr);
  EXPECT_EQ(allocator->AllocateMemory(1), nullptr);

  auto descriptors = Make(1 << 20, 0);
  int made = 0;
  while (descriptors->AllocateMemory(1)) ++made;
  EXPECT_EQ(made, 4096);
}
