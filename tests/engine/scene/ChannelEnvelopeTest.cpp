#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <vector>

#include "FakeEnvelopes.h"
#include "scene/ChannelEnvelope.h"
#include "scene/Key.h"

namespace {

struct KeySpec {
  float time, value;
  UINT shape = KEY_SHAPE_LINEAR;
  float params[4] = {};
  float tension = 0;
};

void Fill(CChannelEnvelope& channel, const std::vector<KeySpec>& keys) {
  for (const KeySpec& key : keys)
    ASSERT_EQ(channel.AddKeyData(key.value, key.time, key.shape, key.tension, 0, 0, key.params[0],
                                 key.params[1], key.params[2], key.params[3]),
              1u)
        << "key at " << key.time;
}

float Evaluate(CChannelEnvelope& channel, float time) {
  channel.EvalEnvelope(time);
  return channel.GetValue();
}

std::vector<float> Times(CChannelEnvelope& channel) {
  std::vector<float> times;
  for (CKeyInterface* key = channel.GetKey(0u); key != nullptr; key = key->GetNextKey())
    times.push_back(key->GetKeyTime());
  return times;
}

// Walks the list both ways, so a broken back link shows as well as a broken forward link.
void ExpectConsistentList(CChannelEnvelope& channel) {
  std::vector<float> forward = Times(channel);
  ASSERT_EQ(forward.size(), channel.GetNumberOfKeys());
  if (forward.empty()) return;
  std::vector<float> backward;
  CKeyInterface* last = channel.GetKey(channel.GetNumberOfKeys() - 1);
  EXPECT_EQ(last->GetNextKey(), nullptr);
  for (CKeyInterface* key = last; key != nullptr; key = key->GetPrevKey())
    backward.insert(backward.begin(), key->GetKeyTime());
  EXPECT_EQ(forward, backward);
  for (size_t i = 1; i < forward.size(); ++i) EXPECT_LT(forward[i - 1], forward[i]);
}

TEST(ChannelEnvelope, EmptyAndSingleKeyChannelsIgnoreBehaviours) {
  for (UINT behaviour = 0; behaviour <= 6; ++behaviour)
    for (float time : {-100.0f, 0.0f, 3.0f, 100.0f}) {
      CChannelEnvelope empty;
      empty.SetPreBehaviour(behaviour);
      empty.SetPostBehaviour(behaviour);
      EXPECT_EQ(Evaluate(empty, time), 0.0f);

      CChannelEnvelope single;
      Fill(single, {{3, 7.5f}});
      single.SetPreBehaviour(behaviour);
      single.SetPostBehaviour(behaviour);
      EXPECT_EQ(Evaluate(single, time), 7.5f) << "behaviour " << behaviour << " time " << time;
    }
}

TEST(ChannelEnvelope, NewChannelIsEmptyWithConstantBehaviours) {
  CChannelEnvelope channel;
  EXPECT_EQ(channel.GetNumberOfKeys(), 0u);
  EXPECT_EQ(channel.GetValue(), 0.0f);
  EXPECT_EQ(channel.GetPreBehaviour(), BEHAVIOUR_CONSTANT);
  EXPECT_EQ(channel.GetPostBehaviour(), BEHAVIOUR_CONSTANT);
  EXPECT_EQ(channel.GetKey(0u), nullptr);
}

TEST(ChannelEnvelope, ConstantBehavioursAndExactKeyTimes) {
  CChannelEnvelope channel;
  Fill(channel, {{0, 0}, {10, 10}});
  EXPECT_EQ(Evaluate(channel, -5), 0.0f);
  EXPECT_EQ(Evaluate(channel, 15), 10.0f);
  EXPECT_EQ(Evaluate(channel, 0), 0.0f);
  EXPECT_EQ(Evaluate(channel, 10), 10.0f);
}

struct BehaviourCase {
  const char* name;
  float firstTime, firstValue, lastTime, lastValue;
  bool before;  // which side of the keys the behaviour applies to
  UINT behaviour;
  float time;
  float expected;
};

// Linear keys, so that the wrapped time can be read off the value.
const BehaviourCase kBehaviourCases[] = {
    {"reset before", 5, 1, 15, 3, true, BEHAVIOUR_RESET, 0, 0},
    {"reset after", 5, 1, 15, 3, false, BEHAVIOUR_RESET, 20, 0},
    {"reset at first key", 5, 1, 15, 3, true, BEHAVIOUR_RESET, 5, 1},
    {"constant before", 5, 1, 15, 3, true, BEHAVIOUR_CONSTANT, 0, 1},
    {"constant after", 5, 1, 15, 3, false, BEHAVIOUR_CONSTANT, 20, 3},
    // The key range is measured from the first key: t = 22 repeats as t = 12, not 7.
    {"repeat after, first key at 5", 5, 1, 15, 3, false, BEHAVIOUR_REPEAT, 22, 2.4f},
    {"repeat before, first key at 5", 5, 1, 15, 3, true, BEHAVIOUR_REPEAT, 2, 2.4f},
    {"oscillate after, odd cycle", 5, 1, 15, 3, false, BEHAVIOUR_OSCILLATE, 22, 1.6f},
    {"oscillate after, even cycle", 5, 1, 15, 3, false, BEHAVIOUR_OSCILLATE, 27, 1.4f},
    {"oscillate before, odd cycle", 5, 1, 15, 3, true, BEHAVIOUR_OSCILLATE, 2, 1.6f},
    {"offset after", 5, 1, 15, 3, false, BEHAVIOUR_OFFSET, 22, 4.4f},
    {"offset before", 5, 1, 15, 3, true, BEHAVIOUR_OFFSET, 2, 0.4f},
    {"linear after", 5, 1, 15, 3, false, BEHAVIOUR_LINEAR, 20, 4},
    {"linear before", 5, 1, 15, 3, true, BEHAVIOUR_LINEAR, 0, 0},
    {"unknown before interpolates on", 5, 1, 15, 3, true, 9, 0, 0},
    {"unknown after interpolates on", 5, 1, 15, 3, false, 9, 20, 4},
    // With the first key at 0 the wrap is the plain one.
    {"repeat, first key at 0", 0, 0, 10, 10, false, BEHAVIOUR_REPEAT, 25, 5},
    {"oscillate, first key at 0", 0, 0, 10, 10, false, BEHAVIOUR_OSCILLATE, 15, 5},
    {"offset, first key at 0", 0, 0, 10, 10, false, BEHAVIOUR_OFFSET, 25, 25},
    {"repeat onto the last key", 0, 0, 10, 10, false, BEHAVIOUR_REPEAT, 30, 0},
};

TEST(ChannelEnvelope, BehavioursOnBothSides) {
  for (const BehaviourCase& c : kBehaviourCases) {
    CChannelEnvelope channel;
    Fill(channel, {{c.firstTime, c.firstValue}, {c.lastTime, c.lastValue}});
    // The other side gets a behaviour that would give a different answer.
    channel.SetPreBehaviour(c.before ? c.behaviour : BEHAVIOUR_RESET);
    channel.SetPostBehaviour(c.before ? BEHAVIOUR_RESET : c.behaviour);
    EXPECT_NEAR(Evaluate(channel, c.time), c.expected, 1e-5f) << c.name;
  }
}

struct ShapeCase {
  const char* name;
  std::vector<KeySpec> keys;
  float time;
  float expected;
};

TEST(ChannelEnvelope, EachShapeBetweenKeys) {
  const ShapeCase cases[] = {
      {"linear", {{0, 0}, {10, 10}}, 2.5f, 2.5f},
      {"stepped holds the earlier key", {{0, 0}, {10, 10, KEY_SHAPE_STEPPED}}, 7, 0},
      // Two plain TCB keys get the tangent of the chord: a straight line.
      {"TCB of two keys", {{0, 0, KEY_SHAPE_TCB}, {10, 10, KEY_SHAPE_TCB}}, 2.5f, 2.5f},
      {"TCB with full tension",
       {{0, 0, KEY_SHAPE_TCB, {}, 1}, {10, 10, KEY_SHAPE_TCB, {}, 1}},
       2.5f,
       1.5625f},
      // Peak at the middle key: its incoming tangent is flat.
      {"TCB before a peak",
       {{0, 0, KEY_SHAPE_TCB}, {10, 10, KEY_SHAPE_TCB}, {20, 0, KEY_SHAPE_TCB}},
       5,
       6.25f},
      {"TCB after a peak",
       {{0, 0, KEY_SHAPE_TCB}, {10, 10, KEY_SHAPE_TCB}, {20, 0, KEY_SHAPE_TCB}},
       15,
       6.25f},
      {"hermite outgoing tangent",
       {{0, 0, KEY_SHAPE_HERMITE, {0, 20}}, {10, 10, KEY_SHAPE_HERMITE}},
       2.5f,
       4.375f},
      {"bezier incoming tangent",
       {{0, 0, KEY_SHAPE_BEZIER}, {10, 10, KEY_SHAPE_BEZIER, {20, 0}}},
       2.5f,
       1.5625f - 0.046875f * 20},
      // Flat handles a third of the way in: the curve parameter 0.25 lies at t = 2.96875.
      {"2D bezier",
       {{0, 0, KEY_SHAPE_BEZIER2D, {0, 0, 5, 0}}, {10, 10, KEY_SHAPE_BEZIER2D, {-5, 0, 0, 0}}},
       2.96875f,
       1.5625f},
      {"2D bezier symmetric middle",
       {{0, 0, KEY_SHAPE_BEZIER2D, {0, 0, 5, 0}}, {10, 10, KEY_SHAPE_BEZIER2D, {-5, 0, 0, 0}}},
       5,
       5},
      {"unknown shape gives the offset alone", {{0, 4}, {10, 10, 17}}, 5, 0},
  };
  for (const ShapeCase& c : cases) {
    CChannelEnvelope channel;
    Fill(channel, c.keys);
    EXPECT_NEAR(Evaluate(channel, c.time), c.expected, 1e-4f) << c.name;
  }
}

struct ExtrapolationCase {
  const char* name;
  bool before;
  UINT shape;
  float params[4];
  float expected;
};

// Keys (0, 0) and (10, 10); the shape under test goes on the key the line starts from, and the
// other key is stepped so that a fall-through to interpolation shows.
TEST(ChannelEnvelope, LinearBehaviourFollowsTheEndKeysShape) {
  const ExtrapolationCase cases[] = {
      {"before, linear", true, KEY_SHAPE_LINEAR, {}, -10},
      {"before, stepped", true, KEY_SHAPE_STEPPED, {}, 0},
      {"before, TCB", true, KEY_SHAPE_TCB, {}, -10},
      {"before, hermite", true, KEY_SHAPE_HERMITE, {0, 5}, -5},
      {"before, 2D bezier", true, KEY_SHAPE_BEZIER2D, {-2, -4, 2, 4}, -20},
      {"before, 2D bezier without handle extent", true, KEY_SHAPE_BEZIER2D, {3, 1, 3, 2}, 0},
      {"after, linear", false, KEY_SHAPE_LINEAR, {}, 20},
      {"after, stepped", false, KEY_SHAPE_STEPPED, {}, 10},
      {"after, TCB", false, KEY_SHAPE_TCB, {}, 20},
      {"after, bezier", false, KEY_SHAPE_BEZIER, {5, 0}, 15},
      {"after, 2D bezier", false, KEY_SHAPE_BEZIER2D, {-2, -4, 2, 4}, 30},
      {"after, 2D bezier without handle extent", false, KEY_SHAPE_BEZIER2D, {3, 1, 3, 2}, 10},
  };
  for (const ExtrapolationCase& c : cases) {
    KeySpec first{0, 0, KEY_SHAPE_STEPPED}, last{10, 10, KEY_SHAPE_STEPPED};
    KeySpec& end = c.before ? first : last;
    end.shape = c.shape;
    for (int i = 0; i < 4; ++i) end.params[i] = c.params[i];
    CChannelEnvelope channel;
    Fill(channel, {first, last});
    channel.SetPreBehaviour(BEHAVIOUR_LINEAR);
    channel.SetPostBehaviour(BEHAVIOUR_LINEAR);
    const float value = Evaluate(channel, c.before ? -10.0f : 20.0f);
    EXPECT_TRUE(std::isfinite(value)) << c.name;
    EXPECT_NEAR(value, c.expected, 1e-5f) << c.name;
  }
}

TEST(ChannelEnvelope, BezierSearchEndsWhereFloatsCannotReachTheTolerance) {
  // Around 5e8 neighbouring floats are 32 apart and one step of the curve parameter moves the
  // curve's time by about 60, so for many times the search can never come within 0.0001.
  CChannelEnvelope channel;
  Fill(channel, {{0, 0, KEY_SHAPE_BEZIER2D, {0, 0, 1e8f, 1}},
                 {1e9f, 10, KEY_SHAPE_BEZIER2D, {-1e8f, -1, 0, 0}}});
  for (int step = 0; step < 64; ++step) {
    const float time = 5.0e8f + 32.0f * static_cast<float>(step);
    const float value = Evaluate(channel, time);
    EXPECT_NEAR(value, 5.0f, 0.01f) << time;
  }
}

TEST(ChannelEnvelope, RefusedKeysLeaveTheListAsItWas) {
  struct Case {
    const char* name;
    float time;
  };
  const Case refused[] = {{"time of the first key", 0},
                          {"time of a later key", 10},
                          {"before the first key", -5},
                          {"NaN", NAN}};
  for (const Case& c : refused) {
    CChannelEnvelope channel;
    Fill(channel, {{0, 1}, {10, 2}});
    EXPECT_EQ(channel.AddKeyData(9, c.time, KEY_SHAPE_LINEAR, 0, 0, 0, 0, 0, 0, 0), 0u) << c.name;
    CKeyInterface* key = channel.CreateKey();
    key->SetKeyTime(c.time);
    EXPECT_EQ(channel.AddKey(key), 0u) << c.name;
    delete key;  // a refused key stays the caller's
    EXPECT_EQ(Times(channel), (std::vector<float>{0, 10})) << c.name;
    EXPECT_EQ(channel.GetKey(0u)->GetKeyValue(), 1.0f) << c.name;
  }
}

TEST(ChannelEnvelope, AddKeyRefusesKeysItCannotOwn) {
  CChannelEnvelope channel, other;
  Fill(channel, {{0, 1}});
  Fill(other, {{0, 1}, {5, 2}});
  FakeKey foreign(3, 4);
  EXPECT_EQ(channel.AddKey(nullptr), 0u);
  EXPECT_EQ(channel.AddKey(&foreign), 0u);
  EXPECT_EQ(channel.AddKey(other.GetKey(1u)), 0u);  // already in another channel
  EXPECT_EQ(channel.GetNumberOfKeys(), 1u);
  EXPECT_EQ(other.GetNumberOfKeys(), 2u);
}

TEST(ChannelEnvelope, InsertionKeepsTimeOrder) {
  CChannelEnvelope channel;
  Fill(channel, {{0, 0}, {20, 2}, {10, 1}, {30, 3}, {15, 1.5f}});
  EXPECT_EQ(Times(channel), (std::vector<float>{0, 10, 15, 20, 30}));
  ExpectConsistentList(channel);
  CKeyInterface* created = channel.CreateKey();
  created->SetKeyTime(25);
  created->SetKeyValue(2.5f);
  EXPECT_EQ(channel.AddKey(created), 1u);
  EXPECT_EQ(channel.GetKey(4u), created);
  EXPECT_EQ(channel.GetKey(6u), nullptr);
  EXPECT_EQ(channel.GetKey(5u)->GetKeyTime(), 30.0f);
  EXPECT_EQ(channel.GetKey(15.0f)->GetKeyValue(), 1.5f);
  EXPECT_EQ(channel.GetKey(16.0f), nullptr);
  ExpectConsistentList(channel);
}

TEST(ChannelEnvelope, RemovingKeys) {
  CChannelEnvelope channel;
  Fill(channel, {{0, 0}, {10, 10}, {20, 0}});
  EXPECT_EQ(channel.RemoveKey(channel.GetKey(0u)), 1u);
  EXPECT_EQ(channel.GetKey(0u)->GetKeyTime(), 10.0f);
  EXPECT_EQ(channel.GetKey(0u)->GetPrevKey(), nullptr);
  EXPECT_EQ(Evaluate(channel, 5), 10.0f);  // constant before the new first key
  EXPECT_NEAR(Evaluate(channel, 15), 5.0f, 1e-6f);

  FakeKey stranger(0, 10);
  EXPECT_EQ(channel.RemoveKey(&stranger), 0u);
  EXPECT_EQ(channel.RemoveKeyAtTime(11), 0u);
  EXPECT_EQ(channel.RemoveKeyAtTime(20), 1u);
  EXPECT_EQ(Times(channel), (std::vector<float>{10}));
  ExpectConsistentList(channel);

  // A key deleted by its holder leaves its channel instead of dangling in it.
  Fill(channel, {{30, 3}});
  delete channel.GetKey(1u);
  EXPECT_EQ(Times(channel), (std::vector<float>{10}));
  ExpectConsistentList(channel);
}

TEST(ChannelEnvelope, RemoveAllKeysRestoresTheNewState) {
  CChannelEnvelope channel;
  Fill(channel, {{0, 4}, {10, 10}});
  channel.SetPreBehaviour(BEHAVIOUR_REPEAT);
  channel.SetPostBehaviour(BEHAVIOUR_OFFSET);
  channel.EvalEnvelope(0);
  EXPECT_EQ(channel.RemoveAllKeys(), 1u);
  EXPECT_EQ(channel.GetNumberOfKeys(), 0u);
  EXPECT_EQ(channel.GetValue(), 0.0f);
  EXPECT_EQ(channel.GetPreBehaviour(), BEHAVIOUR_CONSTANT);
  EXPECT_EQ(channel.GetPostBehaviour(), BEHAVIOUR_CONSTANT);
  EXPECT_EQ(channel.GetKey(0u), nullptr);
}

TEST(ChannelEnvelope, KeyMovedPastItsNeighbourTakesItsNewPlace) {
  CChannelEnvelope channel;
  Fill(channel, {{0, 0}, {10, 10}, {20, 20}});
  CKeyInterface* moved = channel.GetKey(0u);
  moved->SetKeyTime(15);
  EXPECT_EQ(Times(channel), (std::vector<float>{10, 15, 20}));
  EXPECT_EQ(channel.GetKey(1u), moved);
  ExpectConsistentList(channel);
  EXPECT_NEAR(Evaluate(channel, 12.5f), 5.0f, 1e-5f);  // between (10, 10) and (15, 0)

  // A time another key holds is refused; the key keeps its time and place.
  moved->SetKeyTime(20);
  EXPECT_EQ(moved->GetKeyTime(), 15.0f);
  moved->SetKeyTime(NAN);
  EXPECT_EQ(moved->GetKeyTime(), 15.0f);
  EXPECT_EQ(Times(channel), (std::vector<float>{10, 15, 20}));

  // Moving a key in front of the first makes it the first.
  channel.GetKey(2u)->SetKeyTime(-5);
  EXPECT_EQ(Times(channel), (std::vector<float>{-5, 10, 15}));
  EXPECT_EQ(channel.GetKey(0u)->GetKeyValue(), 20.0f);
  ExpectConsistentList(channel);

  // A key in no channel just takes the time.
  CKeyInterface* free = channel.CreateKey();
  free->SetKeyTime(3);
  EXPECT_EQ(free->GetKeyTime(), 3.0f);
  delete free;
}

TEST(Key, NewKeyAndParameterIndices) {
  CChannelEnvelope channel;
  CKeyInterface* key = channel.CreateKey();
  EXPECT_EQ(key->GetKeyValue(), 0.0f);
  EXPECT_EQ(key->GetKeyTime(), 0.0f);
  EXPECT_EQ(key->GetShape(), KEY_SHAPE_TCB);
  EXPECT_EQ(key->GetNextKey(), nullptr);
  EXPECT_EQ(key->GetPrevKey(), nullptr);
  for (UINT index = 1; index <= 7; ++index) {
    EXPECT_EQ(key->GetParamValue(index), 0.0f);
    key->SetParamValue(static_cast<float>(index) * 1.5f, index);
  }
  key->SetParamValue(99, 0);
  key->SetParamValue(99, 8);
  for (UINT index = 1; index <= 7; ++index)
    EXPECT_EQ(key->GetParamValue(index), static_cast<float>(index) * 1.5f);
  for (UINT index : {0u, 8u, 0xFFFFFFFFu}) EXPECT_EQ(key->GetParamValue(index), 3.4028235e38f);
  key->SetKeyValue(2);
  key->AddValue(0.5f);
  EXPECT_EQ(key->GetKeyValue(), 2.5f);
  delete key;
}

TEST(ChannelEnvelope, KeyDataByTime) {
  CChannelEnvelope channel;
  ASSERT_EQ(channel.AddKeyData(1, 0, KEY_SHAPE_HERMITE, 0.1f, 0.2f, 0.3f, 4, 5, 6, 7), 1u);
  ASSERT_EQ(channel.SetKeyData(2, 0, KEY_SHAPE_BEZIER2D, 0.4f, 0.5f, 0.6f, 8, 9, 10, 11), 1u);
  float out[9] = {};
  UINT shape = 0;
  ASSERT_EQ(channel.GetKeyData(0, &out[0], &shape, &out[1], &out[2], &out[3], &out[4], &out[5],
                               &out[6], &out[7]),
            1u);
  EXPECT_EQ(shape, KEY_SHAPE_BEZIER2D);
  const float expected[8] = {2, 0.4f, 0.5f, 0.6f, 8, 9, 10, 11};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(out[i], expected[i]) << i;
  EXPECT_EQ(channel.GetKeyData(1, &out[0], &shape, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr),
            0u);
  EXPECT_EQ(channel.SetKeyData(2, 1, 0, 0, 0, 0, 0, 0, 0, 0), 0u);
  EXPECT_EQ(channel.GetKeyData(0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr),
            1u);
}

TEST(ChannelEnvelope, CopyGivesAnIndependentEqualChannel) {
  CChannelEnvelope source, copy;
  Fill(source, {{0, 1, KEY_SHAPE_TCB, {1, 2, 3, 4}, 0.5f}, {10, 2}, {20, 3, KEY_SHAPE_STEPPED}});
  source.SetPreBehaviour(BEHAVIOUR_OSCILLATE);
  source.SetPostBehaviour(BEHAVIOUR_REPEAT);
  source.EvalEnvelope(10);
  Fill(copy, {{5, 5}});  // replaced by the copy

  ASSERT_EQ(source.CopyTo(copy), 1u);
  EXPECT_EQ(copy.GetNumberOfKeys(), 3u);
  EXPECT_EQ(copy.GetValue(), 2.0f);
  EXPECT_EQ(copy.GetPreBehaviour(), BEHAVIOUR_OSCILLATE);
  EXPECT_EQ(copy.GetPostBehaviour(), BEHAVIOUR_REPEAT);
  ExpectConsistentList(copy);
  for (UINT i = 0; i < 3; ++i) {
    EXPECT_NE(copy.GetKey(i), source.GetKey(i));
    EXPECT_TRUE(copy.GetKey(i)->IsEqual(source.GetKey(i))) << i;
  }
  source.GetKey(0u)->SetKeyValue(100);
  source.RemoveKeyAtTime(20);
  EXPECT_EQ(copy.GetKey(0u)->GetKeyValue(), 1.0f);
  EXPECT_EQ(copy.GetNumberOfKeys(), 3u);

  CChannelEnvelope empty;
  ASSERT_EQ(empty.CopyTo(copy), 1u);
  EXPECT_EQ(copy.GetNumberOfKeys(), 0u);
  EXPECT_EQ(copy.GetKey(0u), nullptr);
  EXPECT_EQ(source.CopyTo(source), 1u);
  EXPECT_EQ(source.GetNumberOfKeys(), 2u);
}

}  // namespace
