#include <chrono>
#include <cstring>
#include <thread>

#include "RecordingStream.h"
#include "SoundServerFixture.h"

namespace {

const std::string kFunctions = "QmrSoundFunctions";

// A server whose sound objects are recording streams; each unlinks itself through the server
// when released, as every sound object does.
class RecordingStreamServer : public CTonaris {
 public:
  using CTonaris::CTonaris;
  ~RecordingStreamServer() override { StopSoundThread(); }

  std::vector<std::unique_ptr<RecordingStream>> made;
  std::vector<StreamKind> kinds;
  bool nextFails = false;

  RecordingStream* Made(size_t i) const { return made.at(i).get(); }

 protected:
  TonarisStream* CreateStream(StreamKind kind, const char*, UINT, UINT& success) override {
    made.push_back(std::make_unique<RecordingStream>());
    kinds.push_back(kind);
    made.back()->onRelease = [this](RecordingStream* stream) { UnlinkStream(stream); };
    success = nextFails ? 0 : 1;
    return made.back().get();
  }
};

class SoundListTest : public SoundServerFixture {
 protected:
  void SetUp() override {
    SoundServerFixture::SetUp();
    m_server = MakeServer<RecordingStreamServer>();
    TonarisConfig config = Config(2);
    ASSERT_EQ(m_server->Init(&config), 1u);
  }

  TonarisStream* Load(const char* name) {
    TonarisStream* stream = nullptr;
    EXPECT_EQ(m_server->LoadStream(name, &stream, 4), 1u) << name;
    return stream;
  }

  // The list from its head, checking each back link on the way.
  std::vector<TonarisStream*> Walk() const {
    std::vector<TonarisStream*> order;
    TonarisStream* previous = nullptr;
    for (TonarisStream* s = m_server->GetFirstStream(); s; s = s->GetNext()) {
      EXPECT_EQ(s->GetPrevious(), previous);
      order.push_back(s);
      previous = s;
    }
    EXPECT_EQ(order.size(), m_server->GetNumberOfStreams());
    return order;
  }

  RecordingStreamServer* m_server = nullptr;
};

TonarisStream* const kUntouched = reinterpret_cast<TonarisStream*>(0x5A5A);

struct NameCase {
  std::string name;
  UINT result;
  const char* ending;           // the line after "- Loading Stream", or null for none
  bool outUntouched;
  CTonaris::StreamKind kind;    // when made
};

}  // namespace

TEST_F(SoundListTest, NamesThroughTheExtensionRule) {
  const std::string longest = std::string(251, 'a') + ".ogg";  // 255 characters
  const NameCase cases[] = {
      {"music.OGG", 1, "  - DONE\n", false, CTonaris::kOggStream},
      {"sounds\\step.wav", 1, "  - DONE\n", false, CTonaris::kWaveStream},
      {"track.mp3", 1, "  - DONE\n", false, CTonaris::kMp3Stream},
      {".hidden.ogg", 1, "  - DONE\n", false, CTonaris::kOggStream},
      {"music.oggvorbis", 1, "  - DONE\n", false, CTonaris::kOggStream},
      {longest, 1, "  - DONE\n", false, CTonaris::kOggStream},
      {"a.ogg", 0, "  - FAILED\n", false, {}},
      {"", 0, "  - FAILED\n", false, {}},
      {std::string(252, 'a') + ".ogg", 0, "  - FAILED\n", false, {}},  // 256 characters
      {"song.flac", 0, nullptr, true, {}},
      {"dir.x/a.ogg", 0, nullptr, true, {}},
      {"music.og", 0, nullptr, true, {}},
      {"noextension", 0, nullptr, true, {}},
  };
  for (const NameCase& c : cases) {
    SCOPED_TRACE(c.name);
    const size_t madeBefore = m_server->made.size();
    const size_t logBefore = LogBody().size();
    TonarisStream* out = kUntouched;
    EXPECT_EQ(m_server->LoadStream(c.name.c_str(), &out, 36), c.result);
    const std::string logged = LogBody().substr(logBefore);
    std::string expected = Line(kFunctions, "- Loading Stream: " + c.name + " With Flags: 36\n");
    if (c.ending) expected += Line(kFunctions, c.ending);
    EXPECT_EQ(logged, expected);
    if (c.outUntouched) {
      EXPECT_EQ(out, kUntouched);
    } else if (c.result) {
      ASSERT_EQ(m_server->made.size(), madeBefore + 1);
      EXPECT_EQ(out, m_server->made.back().get());
      EXPECT_EQ(m_server->kinds.back(), c.kind);
    } else {
      EXPECT_EQ(out, nullptr);
    }
    if (!c.result) {
      EXPECT_EQ(m_server->made.size(), madeBefore);
    }
  }

  char name[] = "dir.x/a.ogg";
  EXPECT_STREQ(CTonaris::GetStreamExtension(name), "x/a");
  char noDot[] = ".ogg";  // a '.' in the first place does not count
  EXPECT_EQ(CTonaris::GetStreamExtension(noDot), nullptr);
}

TEST_F(SoundListTest, NothingLoadsBeforeInit) {
  CTonaris* fresh = MakeServer<RecordingStreamServer>();
  TonarisStream* out = kUntouched;
  EXPECT_EQ(fresh->LoadStream("music.ogg", &out, 4), 0u);
  EXPECT_EQ(out, kUntouched);
  EXPECT_TRUE(LogBody().find(Line(kFunctions, "- Tonaris Has Not Been Initialized\n")) !=
              std::string::npos);
}

// Missing Ogg and MP3 files are refused by their objects; wave sounds are not built yet.
TEST_F(SoundListTest, MissingFilesFailToLoad) {
  CTonaris* plain = MakeServer();
  TonarisConfig config = Config(2);
  ASSERT_EQ(plain->Init(&config), 1u);
  for (const char* name : {"music.ogg", "step.wav", "track.mp3"}) {
    TonarisStream* out = kUntouched;
    EXPECT_EQ(plain->LoadStream(name, &out, 4), 0u);
    EXPECT_EQ(out, nullptr);
  }
  EXPECT_EQ(plain->GetFirstStream(), nullptr);
  EXPECT_EQ(plain->GetNumberOfStreams(), 0u);
  const std::string body = LogBody();
  const size_t loading = body.find(Line(kFunctions, "- Loading Stream: step.wav With Flags: 4\n"));
  ASSERT_NE(loading, std::string::npos) << body;
  const size_t refused = body.find(Line("Wave", "ERROR! - Can't Load Voce\n"), loading);
  ASSERT_NE(refused, std::string::npos) << body;
  EXPECT_NE(body.find(Line(kFunctions, "  - FAILED\n"), refused), std::string::npos) << body;
}

TEST_F(SoundListTest, SoundsLinkInLoadOrderAndUnlinkFromTheMiddleAndTheHead) {
  TonarisStream* first = Load("first.ogg");
  TonarisStream* second = Load("second.wav");
  TonarisStream* third = Load("third.mp3");
  EXPECT_EQ(Walk(), (std::vector<TonarisStream*>{first, second, third}));

  second->Release();
  EXPECT_EQ(Walk(), (std::vector<TonarisStream*>{first, third}));
  EXPECT_EQ(first->GetNext(), third);
  EXPECT_EQ(third->GetPrevious(), first);

  first->Release();
  EXPECT_EQ(Walk(), (std::vector<TonarisStream*>{third}));
  EXPECT_EQ(m_server->GetFirstStream(), third);

  // Unlinking what is not in the list changes nothing.
  m_server->UnlinkStream(second);
  EXPECT_EQ(Walk(), (std::vector<TonarisStream*>{third}));

  third->Release();
  EXPECT_TRUE(Walk().empty());
  EXPECT_EQ(m_server->GetFirstStream(), nullptr);
  TonarisStream* again = Load("again.ogg");
  EXPECT_EQ(Walk(), (std::vector<TonarisStream*>{again}));
}

TEST_F(SoundListTest, ASoundThatFailedIsUnlinkedAndReleased) {
  TonarisStream* kept = Load("kept.ogg");
  m_server->nextFails = true;
  TonarisStream* out = kUntouched;
  EXPECT_EQ(m_server->LoadStream("broken.ogg", &out, 4), 0u);
  EXPECT_EQ(out, nullptr);
  ASSERT_EQ(m_server->made.size(), 2u);
  EXPECT_EQ(m_server->Made(1)->releaseCalls, 1);
  EXPECT_EQ(Walk(), (std::vector<TonarisStream*>{kept}));
  const std::string body = LogBody();
  EXPECT_NE(body.find(Line(kFunctions, "- Loading Stream: broken.ogg With Flags: 4\n") +
                      Line(kFunctions, "  - FAILED\n")),
            std::string::npos);
}

TEST_F(SoundListTest, OnlyPlayingSoundsRefillAndNoneWhileStopped) {
  Load("playing.ogg");
  Load("idle.ogg");
  RecordingStream* playing = m_server->Made(0);
  RecordingStream* idle = m_server->Made(1);
  playing->played = 1;

  const int before = playing->updateCalls;
  EXPECT_EQ(m_server->UpdateStreams(), 1u);
  EXPECT_GT(playing->updateCalls, before);
  EXPECT_EQ(idle->updateCalls, 0);

  ASSERT_EQ(m_server->Stop(), 1u);
  const int stopped = playing->updateCalls;
  EXPECT_EQ(m_server->UpdateStreams(), 1u);
  ZkTestClockAdvance(1'000'000);
  EXPECT_EQ(m_server->UpdateStreams(), 1u);
  EXPECT_EQ(playing->updateCalls, stopped);

  ASSERT_EQ(m_server->Play(), 1u);
  EXPECT_EQ(m_server->UpdateStreams(), 1u);
  EXPECT_GT(playing->updateCalls, stopped);
  EXPECT_EQ(idle->updateCalls, 0);
}

TEST_F(SoundListTest, TheThreadRefillsOnItsOwnUntilDeinit) {
  Load("music.ogg");
  RecordingStream* stream = m_server->Made(0);
  stream->played = 1;
  // The thread's period runs on real time; a few seconds is many periods.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (stream->updateCalls == 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_GT(stream->updateCalls, 0);

  ASSERT_EQ(m_server->Deinit(), 1u);
  const int after = stream->updateCalls;
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(stream->updateCalls, after);
  // The sound stays in the list and can still be released after the shutdown.
  EXPECT_EQ(m_server->GetNumberOfStreams(), 1u);
  stream->Release();
  EXPECT_EQ(m_server->GetNumberOfStreams(), 0u);
}
