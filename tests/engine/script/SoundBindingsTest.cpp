// The sound server, its listener and its streams as scripts drive them, on the recording server:
// loads that fill the script's handle, each interface answering its own calls, and a stream a
// script released that no call reaches any more.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordingSoundServer.h"
#include "ScriptBindingsFixture.h"
#include "script/ScriptReleasedStreams.h"

using namespace AngelScript;

namespace {

TonarisStream* kept = nullptr;  // the script's g_kept

class SoundBindingsTest : public ScriptBindingsTest {
 protected:
  void SetUp() override {
    ScriptBindingsTest::SetUp();
    ASSERT_GE(script.engine->RegisterGlobalProperty("TonarisInterface@ g_sound", &handle), 0);
  }
  void TearDown() override { CScriptReleasedStreams::Instance().FreeAll(); }

  RecordingSoundServer server;
  TonarisInterface* handle = &server;
};

TEST_F(SoundBindingsTest, ALoadFillsTheScriptsHandle) {
  server.failing.insert("missing.wav");
  EXPECT_EQ(script.Eval<asUINT>("uint", "TonarisStream@ s; uint loaded = g_sound.LoadStream("
                                        "\"boom.ogg\", s, 3); s.Play();"
                                        "return s is null ? uint(99) : loaded;"),
            1u);
  ASSERT_EQ(server.streams.size(), 1u);
  EXPECT_EQ(server.streams[0].playCalls, 1);
  EXPECT_EQ(server.loads[0], (std::pair<std::string, UINT>{"boom.ogg", 3}));
  EXPECT_EQ(script.Eval<asUINT>("uint", "TonarisStream@ s; uint loaded = g_sound.LoadStream("
                                        "\"missing.wav\", s, 0);"
                                        "return s is null ? loaded : uint(99);"),
            0u);
}

TEST_F(SoundBindingsTest, ListenerAndStreamEachAnswerForThemselves) {
  EXPECT_FLOAT_EQ(script.Eval<float>(
                      "float",
                      "TonarisStream@ s; g_sound.LoadStream(\"a.wav\", s, 0);"
                      "TonarisListener@ l = g_sound.GetListenerInterface();"
                      "l.SetPosition(1, 2, 3); s.SetPosition(4, 5, 6);"
                      "float x, y, z, a, b, c; l.GetPosition(x, y, z); s.GetPosition(a, b, c);"
                      "return x * 100000 + y * 10000 + z * 1000 + a * 100 + b * 10 + c;"),
                  123456.0f);
  EXPECT_EQ(server.listener.positionCalls, 1);
  EXPECT_EQ(server.streams[0].positionCalls, 1);
  server.hasListener = false;
  EXPECT_EQ(script.Eval<void*>("TonarisListener@", "return g_sound.GetListenerInterface();"),
            nullptr);
}

TEST_F(SoundBindingsTest, AReleasedStreamIsStoppedKeptAndRefused) {
  ASSERT_GE(script.engine->RegisterGlobalProperty("TonarisStream@ g_kept", &kept), 0);
  ASSERT_EQ(script.Run("g_sound.LoadStream(\"a.wav\", g_kept, 0); g_kept.Play(); g_kept.Release();"),
            asEXECUTION_FINISHED)
      << script.messages << script.Exception();
  RecordingStream& stream = server.streams[0];
  EXPECT_EQ(stream.sequence, (std::vector<std::string>{"Play", "Stop"}));
  EXPECT_EQ(stream.releaseCalls, 0);

  for (const char* call : {"g_kept.Play();", "g_kept.SetVolume(-100);", "g_kept.Release();",
                           "float x, y, z; g_kept.GetPosition(x, y, z);"}) {
    EXPECT_EQ(script.Run(call), asEXECUTION_EXCEPTION) << call;
    EXPECT_EQ(script.Exception(), "Stream Already Released") << call;
  }
  EXPECT_EQ(stream.sequence, (std::vector<std::string>{"Play", "Stop"}));

  // The script host's end frees it, once.
  CScriptReleasedStreams::Instance().FreeAll();
  CScriptReleasedStreams::Instance().FreeAll();
  EXPECT_EQ(stream.releaseCalls, 1);
}

}  // namespace
