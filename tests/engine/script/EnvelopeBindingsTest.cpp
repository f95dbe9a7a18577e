// Keys, channels and envelopes as scripts reach them: each method on the engine's own envelope,
// the two GetKey overloads, null keys refused, and a whole-number frame stepped to as a frame.
#include <gtest/gtest.h>

#include "ScriptBindingsFixture.h"
#include "scene/Envelope.h"

using namespace AngelScript;

namespace {

class EnvelopeBindingsTest : public ScriptBindingsTest {
 protected:
  void SetUp() override {
    ScriptBindingsTest::SetUp();
    ASSERT_GE(script.engine->RegisterGlobalProperty("CEnvelopeInterface@ envelope", &m_envelope),
              0);
    ASSERT_GE(
        script.engine->RegisterGlobalProperty("CChannelEnvelopeInterface@ channel", &m_channel),
        0);
  }

  // Two linear keys through the script: frame 0 holds 0, frame 20 holds 20.
  void AddLinearKeys() {
    // In time order: the channel never puts a key before its first one.
    EXPECT_EQ(script.Eval<uint32_t>("uint",
                                    "CKeyInterface@ first = channel.CreateKey();"
                                    "first.SetShape(3);"
                                    "CKeyInterface@ last = channel.CreateKey();"
                                    "last.SetKeyTime(20); last.SetKeyValue(20); last.SetShape(3);"
                                    "return channel.AddKey(first) + channel.AddKey(last);"),
              2u);
  }

  CEnvelope envelope;
  CChannelEnvelopeInterface& channel = envelope.Channel();

 private:
  CEnvelopeInterface* m_envelope = &envelope;
  CChannelEnvelopeInterface* m_channel = &envelope.Channel();
};

TEST_F(EnvelopeBindingsTest, KeysAreWrittenAndReadThroughTheirMethods) {
  ASSERT_EQ(script.Run("CKeyInterface@ key = channel.CreateKey();"
                       "key.SetKeyTime(4); key.SetKeyValue(1); key.AddValue(2); key.SetShape(2);"
                       "key.SetParamValue(0.25f, 4);"  // the value first, then its number
                       "channel.AddKey(key);"),
            asEXECUTION_FINISHED)
      << script.messages << script.Exception();
  ASSERT_EQ(channel.GetNumberOfKeys(), 1u);
  CKeyInterface* key = channel.GetKey(0u);
  EXPECT_EQ(key->GetKeyTime(), 4.0f);
  EXPECT_EQ(key->GetKeyValue(), 3.0f);
  EXPECT_EQ(key->GetShape(), 2u);
  EXPECT_EQ(key->GetParamValue(4), 0.25f);
  EXPECT_EQ(key->GetParamValue(1), 0.0f);

  key->SetParamValue(0.5f, 2);
  EXPECT_EQ(script.Eval<float>("float", "return channel.GetKey(0).GetParamValue(2);"), 0.5f);
  EXPECT_EQ(script.Eval<float>("float", "return channel.GetKey(0).GetKeyValue();"), 3.0f);
  EXPECT_EQ(script.Eval<float>("float", "return channel.GetKey(0).GetKeyTime();"), 4.0f);
  EXPECT_EQ(script.Eval<uint32_t>("uint", "return channel.GetKey(0).GetShape();"), 2u);
}

TEST_F(EnvelopeBindingsTest, ChannelsFindKeysByNumberAndByTime) {
  AddLinearKeys();
  struct Case {
    const char* code;
    bool expected;
  };
  const Case cases[] = {
      {"return channel.GetNumberOfKeys() == 2;", true},
      {"return channel.GetKey(0).GetKeyTime() == 0 && channel.GetKey(1).GetKeyTime() == 20;", true},
      {"return channel.GetKey(2) is null;", true},  // one past the last number
      {"return channel.GetKey(uint(-1)) is null;", true},
      {"return channel.GetKey(20.0f) is channel.GetKey(1);", true},
      {"return channel.GetKey(19.5f) is null;", true},  // by time, exactly
      {"return channel.GetKey(0).GetNextKey() is channel.GetKey(1);", true},
      {"return channel.GetKey(1).GetPrevKey() is channel.GetKey(0);", true},
      {"return channel.GetKey(1).GetNextKey() is null;", true},
  };
  for (const Case& c : cases) EXPECT_EQ(script.Eval<bool>("bool", c.code), c.expected) << c.code;
}

TEST_F(EnvelopeBindingsTest, ChannelsEvaluateAndKeepTheirBehaviours) {
  AddLinearKeys();
  EXPECT_EQ(script.Eval<float>("float", "channel.EvalEnvelope(5.0f); return channel.GetValue();"),
            5.0f);
  EXPECT_EQ(script.Eval<uint32_t>("uint", "channel.SetPreBehaviour(2); return channel.GetPreBehaviour();"),
            2u);
  EXPECT_EQ(script.Eval<uint32_t>(
                "uint", "channel.SetPostBehaviour(3); return channel.GetPostBehaviour();"),
            3u);
  EXPECT_EQ(channel.GetPreBehaviour(), 2u);
  EXPECT_EQ(channel.GetPostBehaviour(), 3u);
}

TEST_F(EnvelopeBindingsTest, ANullKeyIsNeitherAddedNorRemoved) {
  AddLinearKeys();
  for (const char* code : {"channel.AddKey(null);", "channel.RemoveKey(null);"}) {
    EXPECT_EQ(script.Run(code), asEXECUTION_EXCEPTION) << code;
    EXPECT_EQ(script.Exception(), "Null pointer access") << code;
    EXPECT_EQ(channel.GetNumberOfKeys(), 2u) << code;
  }
  EXPECT_EQ(script.Eval<uint32_t>("uint", "return channel.RemoveKey(channel.GetKey(0));"), 1u);
  EXPECT_EQ(channel.GetNumberOfKeys(), 1u);
  EXPECT_EQ(channel.GetKey(0u)->GetKeyTime(), 20.0f);
}

TEST_F(EnvelopeBindingsTest, EnvelopesKeepTheirFlagRefuseValuesWhileKeyedAndStepToFrames) {
  EXPECT_EQ(script.Eval<uint32_t>("uint", "envelope.SetIsEnvelope(7); return envelope.GetIsEnvelope();"),
            7u);
  EXPECT_EQ(script.Eval<uint32_t>("uint", "return envelope.SetValue(2.5f);"), 1u);
  EXPECT_EQ(envelope.GetValue(), 2.5f);
  EXPECT_TRUE(script.Eval<bool>("bool", "return envelope.GetChannelEnvelope() is channel;"));

  AddLinearKeys();
  EXPECT_EQ(script.Eval<uint32_t>("uint", "envelope.SetIsEnvelope(1); return envelope.SetValue(9);"),
            0u);
  EXPECT_EQ(envelope.GetValue(), 2.5f);
  // Frame 10 of the keys, not the float whose bits spell 10.
  EXPECT_EQ(script.Eval<float>("float", "envelope.CalcStep(10); return envelope.GetValue();"),
            10.0f);
}

}  // namespace
