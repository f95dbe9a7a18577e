#include <gtest/gtest.h>

#include "scene/Motion.h"

namespace {

void SetConstant(CMotion& motion, UINT channel, float value) {
  ASSERT_EQ(motion.GetChannel(channel)->AddKeyData(value, 0, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0),
            1u);
}

TEST(Motion, EvaluatesOnlyItsCountedChannels) {
  CMotion motion;
  EXPECT_EQ(motion.GetLastFrame(), -1.0f);
  EXPECT_EQ(motion.GetNumberOfChannels(), 0u);
  for (UINT channel = 0; channel < MOTION_CHANNELS; ++channel)
    SetConstant(motion, channel, static_cast<float>(channel + 1));

  motion.Evaluate(4);
  EXPECT_EQ(motion.GetLastFrame(), 4.0f);
  for (UINT channel = 0; channel < MOTION_CHANNELS; ++channel)
    EXPECT_EQ(motion.GetChannel(channel)->GetValue(), 0.0f);

  motion.SetNumberOfChannels(3);
  motion.Evaluate(5);
  for (UINT channel = 0; channel < MOTION_CHANNELS; ++channel)
    EXPECT_EQ(motion.GetChannel(channel)->GetValue(), channel < 3 ? channel + 1.0f : 0.0f);
}

TEST(Motion, ChannelIndexAndCountAreBoundedByNine) {
  CMotion motion;
  motion.SetNumberOfChannels(40);
  EXPECT_EQ(motion.GetNumberOfChannels(), 9u);
  motion.Evaluate(1);
  EXPECT_NE(motion.GetChannel(8), nullptr);
  EXPECT_EQ(motion.GetChannel(9), nullptr);
  EXPECT_EQ(motion.GetChannel(0xFFFFFFFFu), nullptr);
}

TEST(Motion, CopyTakesTheCountedChannelsCountAndFrame) {
  CMotion source, target;
  SetConstant(source, 0, 2);
  SetConstant(source, 5, 3);
  SetConstant(target, 5, 9);
  source.SetNumberOfChannels(2);
  source.Evaluate(7);
  ASSERT_EQ(source.CopyTo(target), 1u);
  EXPECT_EQ(target.GetNumberOfChannels(), 2u);
  EXPECT_EQ(target.GetLastFrame(), 7.0f);
  EXPECT_EQ(target.GetChannel(0)->GetNumberOfKeys(), 1u);
  EXPECT_EQ(target.GetChannel(0)->GetValue(), 2.0f);
  // Channels beyond the count are not the copy's business.
  EXPECT_EQ(target.GetChannel(5)->GetKey(0u)->GetKeyValue(), 9.0f);
}

}  // namespace

TEST(Motion, TheGameEvaluatesAndReadsThroughTheInterfaceOnly) {
  CMotion motion;
  SetConstant(motion, MOTION_HEADING, 2.5f);
  motion.SetNumberOfChannels(MOTION_CHANNELS);
  CMotionInterface& seen = motion;
  seen.Evaluate(7);
  EXPECT_EQ(seen.GetLastFrame(), 7.0f);
  EXPECT_EQ(seen.GetNumberOfChannels(), 9u);
  CChannelEnvelopeInterface* heading = seen.GetChannel(MOTION_HEADING);
  ASSERT_NE(heading, nullptr);
  EXPECT_EQ(heading->GetValue(), 2.5f);
  EXPECT_EQ(seen.GetChannel(MOTION_CHANNELS), nullptr);
}
