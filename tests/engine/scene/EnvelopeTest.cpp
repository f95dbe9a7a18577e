#include <gtest/gtest.h>

#include <memory>

#include "scene/Envelope.h"

namespace {

void AddKeys(CChannelEnvelopeInterface* channel, std::initializer_list<std::pair<float, float>> keys) {
  for (auto [time, value] : keys)
    ASSERT_EQ(channel->AddKeyData(value, time, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0), 1u);
}

TEST(Envelope, ConstantIgnoresStepsAndKeyedRefusesValues) {
  CEnvelope envelope;
  EXPECT_EQ(envelope.GetIsEnvelope(), 0u);
  EXPECT_EQ(envelope.GetValue(), 0.0f);
  AddKeys(envelope.GetChannelEnvelope(), {{0, 0}, {10, 10}});
  EXPECT_EQ(envelope.SetValue(3), 1u);
  envelope.CalcStep(5);
  EXPECT_EQ(envelope.GetValue(), 3.0f);

  envelope.SetIsEnvelope(1);
  EXPECT_EQ(envelope.SetValue(7), 0u);
  EXPECT_EQ(envelope.GetValue(), 3.0f);
  envelope.CalcStep(5);
  EXPECT_EQ(envelope.GetValue(), 5.0f);

  // Back to constant: the value freezes at the last step and the keys stay.
  EXPECT_EQ(envelope.SetIsEnvelope(0), 1u);
  envelope.CalcStep(8);
  EXPECT_EQ(envelope.GetValue(), 5.0f);
  EXPECT_EQ(envelope.GetChannelEnvelope()->GetNumberOfKeys(), 2u);
}

TEST(Envelope, OnlyFlagOneIsKeyed) {
  CEnvelope envelope(2, nullptr, 4);
  AddKeys(envelope.GetChannelEnvelope(), {{0, 0}, {10, 10}});
  EXPECT_EQ(envelope.GetIsEnvelope(), 2u);
  envelope.CalcStep(5);
  EXPECT_EQ(envelope.GetValue(), 4.0f);
  EXPECT_EQ(envelope.SetValue(6), 1u);
  EXPECT_EQ(envelope.GetValue(), 6.0f);
}

TEST(Envelope, KeyedStepWithEmptyAndSingleKeyChannels) {
  CEnvelope empty(1, nullptr, 9);
  empty.CalcStep(3);
  EXPECT_EQ(empty.GetValue(), 0.0f);

  CEnvelope single(1, nullptr, 9);
  AddKeys(single.GetChannelEnvelope(), {{2, 1.25f}});
  single.CalcStep(30);
  EXPECT_EQ(single.GetValue(), 1.25f);
}

TEST(Envelope, ConstructedFromAChannelOwnsACopy) {
  CChannelEnvelope source;
  AddKeys(&source, {{0, 2}, {4, 6}});
  source.SetPostBehaviour(BEHAVIOUR_REPEAT);
  CEnvelope envelope(1, &source, 0.5f);
  source.RemoveAllKeys();
  EXPECT_EQ(envelope.GetValue(), 0.5f);
  EXPECT_EQ(envelope.GetChannelEnvelope()->GetNumberOfKeys(), 2u);
  EXPECT_EQ(envelope.GetChannelEnvelope()->GetPostBehaviour(), BEHAVIOUR_REPEAT);
  envelope.CalcStep(6);  // repeats as 2
  EXPECT_EQ(envelope.GetValue(), 4.0f);
}

TEST(Envelope, CopyChannelAndCloneCopyTheKeysOnly) {
  CEnvelope source(1, nullptr, 0);
  AddKeys(source.GetChannelEnvelope(), {{0, 1}, {10, 3}});
  source.CalcStep(5);

  CEnvelope target(0, nullptr, 8);
  AddKeys(target.GetChannelEnvelope(), {{1, 1}});
  EXPECT_EQ(source.CopyChannelTo(target), 1u);
  EXPECT_EQ(target.GetIsEnvelope(), 0u);
  EXPECT_EQ(target.GetValue(), 8.0f);
  EXPECT_EQ(target.GetChannelEnvelope()->GetNumberOfKeys(), 2u);
  EXPECT_EQ(target.GetChannelEnvelope()->GetValue(), 2.0f);  // the channel's own stored value

  CEnvelope* raw = nullptr;
  ASSERT_EQ(source.Clone(&raw), 1u);
  std::unique_ptr<CEnvelope> clone(raw);
  EXPECT_EQ(clone->GetIsEnvelope(), 0u);
  EXPECT_EQ(clone->GetValue(), 0.0f);
  EXPECT_EQ(clone->GetChannelEnvelope()->GetNumberOfKeys(), 2u);
  source.GetChannelEnvelope()->RemoveAllKeys();
  EXPECT_EQ(clone->GetChannelEnvelope()->GetNumberOfKeys(), 2u);
}

TEST(Envelope, EqualityComparesFlagAndKeysOnly) {
  CEnvelope a(1, nullptr, 1), b(1, nullptr, 2);
  AddKeys(a.GetChannelEnvelope(), {{0, 1}, {5, 2}});
  AddKeys(b.GetChannelEnvelope(), {{0, 1}, {5, 2}});
  b.GetChannelEnvelope()->SetPreBehaviour(BEHAVIOUR_OFFSET);
  EXPECT_TRUE(CEnvelopeInterface::IsEqual(&a, &b));

  b.GetChannelEnvelope()->GetKey(1u)->SetParamValue(0.5f, KEY_PARAM_BIAS);
  EXPECT_FALSE(CEnvelopeInterface::IsEqual(&a, &b));
  b.GetChannelEnvelope()->GetKey(1u)->SetParamValue(0.0f, KEY_PARAM_BIAS);
  b.SetIsEnvelope(0);
  EXPECT_FALSE(CEnvelopeInterface::IsEqual(&a, &b));
  b.SetIsEnvelope(1);
  AddKeys(b.GetChannelEnvelope(), {{9, 2}});
  EXPECT_FALSE(CEnvelopeInterface::IsEqual(&a, &b));
}

}  // namespace
