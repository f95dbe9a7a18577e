#include <gtest/gtest.h>

#include "core/PointerList.h"

namespace {

int g_values[4];

}  // namespace

TEST(PointerListTest, ContainsFindsTheOnlyNodeAndTheLastNodeButNothingInAnEmptyList) {
  CPointerList list;
  EXPECT_EQ(list.Contains(&g_values[0]), 0);
  EXPECT_EQ(list.Remove(&g_values[0]), 0);

  ASSERT_EQ(list.Add(&g_values[0]), 1);
  EXPECT_EQ(list.Contains(&g_values[0]), 1);
  ASSERT_EQ(list.Add(&g_values[1]), 1);
  ASSERT_EQ(list.Add(&g_values[2]), 1);
  EXPECT_EQ(list.Contains(&g_values[2]), 1);
  EXPECT_EQ(list.Contains(&g_values[3]), 0);
}

// Removing the head, a middle node and the tail must keep both directions of the links whole:
// a broken link shows as a value still found after its removal, or one lost before it.
TEST(PointerListTest, RemoveUnlinksHeadMiddleAndTailAndTheListStaysUsable) {
  CPointerList list;
  for (int& value : g_values) ASSERT_EQ(list.Add(&value), 1);

  EXPECT_EQ(list.Remove(&g_values[1]), 1);  // middle
  EXPECT_EQ(list.Remove(&g_values[0]), 1);  // head
  EXPECT_EQ(list.Remove(&g_values[3]), 1);  // tail
  EXPECT_EQ(list.Remove(&g_values[3]), 0);
  EXPECT_EQ(list.Contains(&g_values[0]), 0);
  EXPECT_EQ(list.Contains(&g_values[1]), 0);
  EXPECT_EQ(list.Contains(&g_values[2]), 1);

  // The tail was fixed: a new value lands after the one that is left.
  ASSERT_EQ(list.Add(&g_values[3]), 1);
  EXPECT_EQ(list.Remove(&g_values[2]), 1);
  EXPECT_EQ(list.Contains(&g_values[3]), 1);
  EXPECT_EQ(list.Remove(&g_values[3]), 1);
  EXPECT_TRUE(list.IsEmpty());
}

TEST(PointerListTest, RemoveTakesOnlyTheFirstNodeOfARepeatedValue) {
  CPointerList list;
  ASSERT_EQ(list.Add(&g_values[0]), 1);
  ASSERT_EQ(list.Add(&g_values[0]), 1);
  EXPECT_EQ(list.Remove(&g_values[0]), 1);
  EXPECT_EQ(list.Contains(&g_values[0]), 1);
  EXPECT_EQ(list.Remove(&g_values[0]), 1);
  EXPECT_EQ(list.Contains(&g_values[0]), 0);
}
