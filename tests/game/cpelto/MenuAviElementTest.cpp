// Menu videos on AVI files written by the test: what opening makes of a file, how frames follow
// the element's timer into its texture, how the sound plays, and how the element is drawn.
#include <AL/al.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "AviWriter.h"
#include "MenuFixture.h"
#include "VideoTextureBank.h"
#include "cpelto/MenuAviElement.h"
#include "cpelto/OpenAL.h"
#include "zktest/ZkTestClock.h"

namespace {

// Texels are opaque; the writer's colours are 0x00RRGGBB.
DWORD Opaque(uint32_t colour) { return 0xFF000000u | colour; }

class MenuAviElementTest : public MenuFixture {
 protected:
  void SetUp() override {
    MenuFixture::SetUp();
    ASSERT_TRUE(RegisterNodeType<CMenuAviElement>("MenuAviElement"));
    m_menuTop.renderer.textureStorage = &m_bank;
    // The game opens its one OpenAL device with the core and keeps it.
    if (!COpenAL::GetInstance()) new COpenAL();
    m_root->Enable(1, 0);
  }

  // A video of `frames` frames of 320 × 240 at 25 frames a second unless told otherwise.
  void WriteVideo(const std::string& file, int frames, int width = 320, int height = 240,
                  int fps = 25, AviWriter::Video video = AviWriter::Video::Raw,
                  AviWriter::Sound sound = AviWriter::Sound::None, int rate = 8000) {
    AviWriter writer(width, height, fps);
    writer.WithVideo(video);
    if (sound != AviWriter::Sound::None) writer.WithSound(sound, rate);
    writer.Write(m_folder / file, frames);
  }
  // Rewrites a 32-bit field of the video stream's header chunk ("strh" or "strf", the first of
  // each is the video's), `offset` bytes into the chunk's data, beyond what writers allow.
  void SetVideoHeaderField(const std::string& file, const char* chunk, size_t offset,
                           uint32_t value) {
    std::string bytes = Read(file);
    const size_t header = bytes.find(chunk);
    ASSERT_NE(header, std::string::npos);
    const size_t at = header + 8 + offset;
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
    m_folder.Write(file, bytes);
  }
  static constexpr size_t kRate = 24, kHandler = 4, kCompression = 16;
  CMenuAviElement* Video(const std::string& params, const std::string& name = "Intro") {
    return Build<CMenuAviElement>("<Node Type=\"MenuAviElement\" Name=\"" + name +
                                  "\"><Param Enabled=\"1\" " + params + "/></Node>");
  }
  // One frame of the menu: the update pass, then the process pass that ends first updates.
  void Frame(geCBaseNode* node) {
    node->Update(nullptr);
    m_root->Process(nullptr);
  }
  static void Advance(unsigned ms) { ZkTestClockAdvance(uint64_t{ms} * 1000); }
  // The lines the game log gained since `before` characters.
  std::vector<std::string> LogSince(size_t before) const {
    return Lines(Read("GameEngine.log").substr(before));
  }
  size_t LogSize() const { return Read("GameEngine.log").size(); }
  static ALint SourceState(const OpenALStream& sound) {
    ALint state = 0;
    alGetSourcei(sound.source, AL_SOURCE_STATE, &state);
    return state;
  }
  // "Note(7)" for every "OnAviFinished".
  std::string FinishedScript() {
    m_folder.Write("avi.as", "void OnAviFinished() { Note(7); }\n");
    return "ScriptFile=\"avi.as\"";
  }

  FakeVideoTextureBank m_bank;
};

TEST_F(MenuAviElementTest, OpenLogsItsStepsAndStretchesTheFirstFrameOverTheTexture) {
  WriteVideo("intro.avi", 25);
  CMenuAviElement* video = Video(R"(AviFile="intro.avi")");
  ASSERT_NE(video, nullptr);
  ASSERT_TRUE(video->IsOpened());
  EXPECT_EQ(video->GetFrameWidth(), 320);
  EXPECT_EQ(video->GetFrameHeight(), 240);
  EXPECT_EQ(video->GetFrameCount(), 25);
  EXPECT_EQ(video->GetMsPerFrame(), 40);
  EXPECT_EQ(video->GetTextureSize(), 512u);
  EXPECT_EQ(m_bank.requests, std::vector<std::string>{"Intro 21 512 512 1 1"});

  std::vector<std::string> log = GameLogLines();
  const auto first = std::find(log.begin(), log.end(), "Oppening AVI file");
  ASSERT_NE(first, log.end());
  log.erase(log.begin(), first);
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log[2].substr(0, 12), "\tFileType: '");
  log.erase(log.begin() + 2);
  const std::vector<std::string> expected = {
      "Oppening AVI file",
      "Getting AVI file info",
      "Getting AVI stream VIDEO",
      "Getting AVI stram video info",
      "AVIStreamGetFrameOpen()",
      "  - AVI File: Width: 320, Height: 240, Frames: 25",
      "Create'ing dynamic texture for video",
      "Getting strwam AUDIO",
      "WARRNING: can't open Audio stream from avi file 'intro.avi'"};
  EXPECT_EQ(log, expected);

  // The frame's top half over the texture's top half, its bottom half over the bottom, corner
  // to corner: rows are read through the texture's pitch, which is wider than a row.
  FakeVideoTexture* texture = m_bank.Last();
  EXPECT_EQ(texture->d3d->writeLockFlags, std::vector<DWORD>{D3DLOCK_DISCARD});
  ASSERT_NE(texture->d3d->Level(0).Pitch(), 512u * 4);
  EXPECT_EQ(texture->Texel(0, 0), Opaque(AviWriter::TopColour(0)));
  EXPECT_EQ(texture->Texel(511, 250), Opaque(AviWriter::TopColour(0)));
  EXPECT_EQ(texture->Texel(0, 262), Opaque(AviWriter::BottomColour(0)));
  EXPECT_EQ(texture->Texel(511, 511), Opaque(AviWriter::BottomColour(0)));
}

TEST_F(MenuAviElementTest, TextureSizeIsTheNextPowerOfTwoUpToTheLargest) {
  const struct {
    int width, height;
    const char* configured;
    UINT size;
  } cases[] = {
      {320, 240, "", 512},
      {256, 64, "", 256},
      {64, 300, "", 512},
      {16, 16, "", 16},
      {4100, 8, "", 4096},  // above the largest edge: capped
      {320, 240, R"(TextureSize="128")", 128},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + c.configured);
    WriteVideo("v.avi", 1, c.width, c.height);
    CMenuAviElement* video = Video(std::string(R"(AviFile="v.avi" )") + c.configured);
    ASSERT_NE(video, nullptr);
    EXPECT_TRUE(video->IsOpened());
    EXPECT_EQ(video->GetTextureSize(), c.size);
    EXPECT_EQ(m_bank.Last()->engine.width, c.size);
    EXPECT_EQ(m_bank.Last()->Texel(c.size - 1, c.size - 1), Opaque(AviWriter::BottomColour(0)));
    m_root->RemoveChild(video);
  }
}

TEST_F(MenuAviElementTest, FailuresToOpenAreLoggedAndTheElementReportsItselfFinished) {
  m_folder.Write("text.avi", "RIFF this is not a video at all, only some words");
  WriteVideo("empty.avi", 0);
  WriteVideo("fast.avi", 3, 32, 32);
  SetVideoHeaderField("fast.avi", "strh", kRate, 3000);  // frames shorter than a millisecond
  WriteVideo("codec.avi", 3, 32, 32, 25, AviWriter::Video::Mjpeg);
  const uint32_t unknown = mmioFOURCC('Z', 'Z', 'Z', 'Z');
  SetVideoHeaderField("codec.avi", "strh", kHandler, unknown);
  SetVideoHeaderField("codec.avi", "strf", kCompression, unknown);
  WriteVideo("good.avi", 3, 32, 32);
  const std::string open = "ERROR: can't open avi file '";
  const std::string polish =
      "' - dupa blada, zobaczmy co za b\xB3\xB9"
      "d: ";
  const struct {
    std::string params;
    std::vector<std::string> lines;  // the last lines of the log
  } cases[] = {
      {"", {"WARRNING: AVI file name not set"}},
      {R"(AviFile="missing.avi")",
       {open + "missing.avi" + polish, "\t - 'A disk error occurred while opening the file.': " +
                                           std::to_string(static_cast<int>(0x8004406F))}},
      {R"(AviFile="text.avi")",
       {open + "text.avi" + polish,
        "\t - 'The file couldn't be read, indicating a corrupt file or an unrecognized format.': " +
            std::to_string(static_cast<int>(0x80044066))}},
      {R"(AviFile="empty.avi")",
       {"Getting AVI stram video info",
        "ERROR: avi file 'empty.avi' has no frame timing (frames: 0, ms per frame: 0)"}},
      {R"(AviFile="fast.avi")",
       {"Getting AVI stram video info",
        "ERROR: avi file 'fast.avi' has no frame timing (frames: 3, ms per frame: 0)"}},
      {R"(AviFile="codec.avi")",
       {"AVIStreamGetFrameOpen()", "ERROR: AVIStreamGetFrameOpen(...)",
        "\t- 'cannot find a decompressor that can decompress the stream to the given format, or "
        "to any RGB format'",
        "\t- requested: default format than best_display and dupa"}},
      // A DIB section of that size cannot be made: no frame would have anywhere to go.
      {R"(AviFile="good.avi" TextureSize="100000")", {"ERROR: CreateDIBSection(...)"}},
  };
  const std::string script = FinishedScript();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.params);
    m_menuTop.renderer.primitives.clear();
    const size_t before = LogSize();
    CMenuAviElement* video = Video(c.params + " " + script);
    ASSERT_NE(video, nullptr);
    EXPECT_FALSE(video->IsOpened());
    const std::vector<std::string> log = LogSince(before);
    ASSERT_GE(log.size(), c.lines.size());
    EXPECT_EQ(std::vector<std::string>(log.end() - c.lines.size(), log.end()), c.lines);
    EXPECT_TRUE(m_bank.requests.empty());

    m_notes.clear();
    Frame(video);
    Frame(video);
    EXPECT_EQ(m_notes, (std::vector<int>{7, 7})) << "finished at every update";
    video->Render(0);
    EXPECT_TRUE(Renderer().primitives.empty());
    m_root->RemoveChild(video);
  }
}

TEST_F(MenuAviElementTest, FramesFollowTheTimerAndTheVideoLoopsWithOnAviFinished) {
  WriteVideo("intro.avi", 25);
  CMenuAviElement* video = Video(R"(AviFile="intro.avi" )" + FinishedScript());
  ASSERT_TRUE(video && video->IsOpened());
  FakeVideoTexture* texture = m_bank.Last();
  Frame(video);
  EXPECT_EQ(video->GetLastDecodedFrame(), 0);
  Advance(80);
  Frame(video);
  EXPECT_EQ(video->GetLastDecodedFrame(), 2);
  EXPECT_EQ(texture->Texel(5, 5), Opaque(AviWriter::TopColour(2)));
  Advance(960 - 80);
  Frame(video);
  EXPECT_EQ(video->GetLastDecodedFrame(), 24);
  EXPECT_EQ(texture->Texel(5, 5), Opaque(AviWriter::TopColour(24)));
  EXPECT_TRUE(m_notes.empty());
  // 1.0 s is frame 25, one past the last: the video starts again.
  Advance(40);
  Frame(video);
  EXPECT_EQ(m_notes, std::vector<int>{7});
  EXPECT_EQ(video->GetLastDecodedFrame(), 0);
  EXPECT_EQ(texture->Texel(5, 5), Opaque(AviWriter::TopColour(0)));
  Advance(40);
  Frame(video);
  EXPECT_EQ(video->GetLastDecodedFrame(), 1) << "timed from the restart";
  EXPECT_EQ(m_notes, std::vector<int>{7});
}

TEST_F(MenuAviElementTest, WithoutSmoothingOnlyEvenFramesAreDecoded) {
  for (const bool smooth : {true, false}) {
    SCOPED_TRACE(smooth ? "smooth" : "even frames only");
    ScriptFixture::m_core.RegisterAndSet("SmoothAVI", smooth ? 1 : 0);
    WriteVideo("intro.avi", 25, 64, 48, 25, AviWriter::Video::Mjpeg);
    CMenuAviElement* video = Video(R"(AviFile="intro.avi")");
    ASSERT_TRUE(video && video->IsOpened());
    EXPECT_EQ(video->IsSmooth(), smooth);
    FakeVideoTexture* texture = m_bank.Last();
    Frame(video);
    for (int frame = 1; frame <= 6; ++frame) {
      Advance(40);
      Frame(video);
      const int shown = smooth || frame % 2 == 0 ? frame : frame - 1;
      const DWORD texel = texture->Texel(10, 10);
      const DWORD want = Opaque(AviWriter::TopColour(shown));
      // MJPEG is near, not exact.
      for (int shift : {0, 8, 16})
        EXPECT_NEAR(texel >> shift & 0xFF, want >> shift & 0xFF, 12) << "frame " << frame;
      EXPECT_EQ(video->GetLastDecodedFrame(), frame);
    }
    m_root->RemoveChild(video);
  }
}

TEST_F(MenuAviElementTest, TwoVideosAdvanceTogether) {
  WriteVideo("intro.avi", 25, 32, 32);
  CMenuAviElement* first = Video(R"(AviFile="intro.avi")", "First");
  CMenuAviElement* second = Video(R"(AviFile="intro.avi")", "Second");
  ASSERT_TRUE(first && second && first->IsOpened() && second->IsOpened());
  FakeVideoTexture* firstTexture = m_bank.made.at(0).get();
  FakeVideoTexture* secondTexture = m_bank.made.at(1).get();
  for (int frame = 0; frame < 5; ++frame) {
    m_root->Update(nullptr);
    m_root->Process(nullptr);
    EXPECT_EQ(firstTexture->Texel(1, 1), Opaque(AviWriter::TopColour(frame))) << frame;
    EXPECT_EQ(secondTexture->Texel(1, 1), Opaque(AviWriter::TopColour(frame))) << frame;
    Advance(40);
  }
}

TEST_F(MenuAviElementTest, DrawsItsTextureOverItsRectangleOrTheWholeDesignArea) {
  SetScreenSize(1600, 1200);
  WriteVideo("intro.avi", 2, 32, 32);
  m_folder.Write("draw.as",
                 "void before_Render() { Note(1); }\n"
                 "void after_Render() { Note(2); }\n");
  const struct {
    const char* size;
    float right, top;
  } cases[] = {{R"(Width="100" Height="50")", 99.5f, 49.5f},
               {R"(Width="0" Height="50")", 799.5f, 599.5f},
               {"", 799.5f, 599.5f}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    m_menuTop.renderer.calls.clear();
    m_menuTop.renderer.primitives.clear();
    m_notes.clear();
    CMenuAviElement* video = Video(std::string(R"(AviFile="intro.avi" Translation="10;20;0" )") +
                                   R"(Color="1;0.5;0" ScriptFile="draw.as" )" + c.size);
    ASSERT_TRUE(video && video->IsOpened());
    video->Render(0);
    EXPECT_EQ(m_notes, (std::vector<int>{1, 2}));
    const std::vector<std::string> expected = {
        "transform 256", "state 27=0",  "state 22=1",         "state 137=0",       "stage 0 1=4",
        "stage 0 2=2",   "stage 0 3=1", "stage 0 4=4",        "stage 0 5=2",       "stage 0 6=1",
        "stage 1 1=1",   "stage 1 4=1", "vertex shader null", "pixel shader null", "fvf 322",
        "primitive",     "fvf 0",       "stage 0 1=1",        "stage 0 4=1",       "state 27=0"};
    EXPECT_EQ(Renderer().calls, expected);
    EXPECT_EQ(m_bank.Last()->engine.stagesSet, std::vector<WORD>{0});
    const D3DXMATRIX world = World(-1);
    EXPECT_EQ(world._11, 2.0f);
    EXPECT_EQ(world._22, 2.0f);
    EXPECT_EQ(world._41, 20.0f);
    EXPECT_EQ(world._42, 40.0f);

    const std::vector<geSMenuVertex> vertices = Vertices(0);
    ASSERT_EQ(vertices.size(), 6u);
    const DWORD color = 0x00FF8000;
    const geSMenuVertex want[] = {
        {-0.5f, -0.5f, 0, color, 0, 1},   {c.right, -0.5f, 0, color, 1, 1},
        {-0.5f, c.top, 0, color, 0, 0},   {c.right, -0.5f, 0, color, 1, 1},
        {c.right, c.top, 0, color, 1, 0}, {-0.5f, c.top, 0, color, 0, 0}};
    for (size_t i = 0; i < 6; ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(vertices[i].x, want[i].x);
      EXPECT_EQ(vertices[i].y, want[i].y);
      EXPECT_EQ(vertices[i].dwColor, want[i].dwColor);
      EXPECT_EQ(vertices[i].u, want[i].u);
      EXPECT_EQ(vertices[i].v, want[i].v);
    }
    m_root->RemoveChild(video);
  }
}

TEST_F(MenuAviElementTest, ADisabledScreenHaltsVideoAndSoundAndEnablingRestartsBoth) {
  WriteVideo("intro.avi", 25, 32, 32, 25, AviWriter::Video::Raw, AviWriter::Sound::Pcm16Stereo,
             22050);
  CMenuScreen* screen = Build<CMenuScreen>(
      R"(<Node Type="MenuScreen" Name="Menu"><Param Enabled="1"/>
           <Node Type="MenuAviElement" Name="Intro"><Param Enabled="1" AviFile="intro.avi"/></Node>
         </Node>)");
  ASSERT_NE(screen, nullptr);
  auto* video = dynamic_cast<CMenuAviElement*>(screen->GetNode(0));
  ASSERT_TRUE(video && video->IsOpened());
  ASSERT_NE(video->GetSound().format, 0);
  EXPECT_NE(SourceState(video->GetSound()), AL_PLAYING) << "the sound waits for the first update";

  Frame(screen);
  EXPECT_EQ(SourceState(video->GetSound()), AL_PLAYING);
  Advance(200);
  Frame(screen);
  EXPECT_EQ(video->GetLastDecodedFrame(), 5);

  screen->Disable(1);
  EXPECT_FALSE(video->IsEnabled());
  EXPECT_EQ(SourceState(video->GetSound()), AL_STOPPED);
  EXPECT_TRUE(video->GetTimer()->IsPaused());
  Advance(400);
  EXPECT_FLOAT_EQ(video->GetTimer()->GetTime(), 0.2f) << "halted on its frame";
  video->Update(nullptr);
  EXPECT_EQ(video->GetLastDecodedFrame(), 5) << "no frames while its screen is disabled";

  screen->Enable(1);
  EXPECT_TRUE(video->IsEnabled());
  EXPECT_FALSE(video->GetTimer()->IsPaused());
  EXPECT_EQ(SourceState(video->GetSound()), AL_PLAYING);
  Frame(screen);
  EXPECT_EQ(video->GetLastDecodedFrame(), 0) << "from the start";
  EXPECT_EQ(m_bank.Last()->Texel(1, 1), Opaque(AviWriter::TopColour(0)));
}

TEST_F(MenuAviElementTest, TheSoundTrackPlaysInItsOwnFormat) {
  const struct {
    AviWriter::Sound sound;
    int rate;
    ALint format, bits, channels;
  } cases[] = {
      {AviWriter::Sound::Pcm16Stereo, 22050, AL_FORMAT_STEREO16, 16, 2},
      {AviWriter::Sound::Pcm8Mono, 8000, AL_FORMAT_MONO8, 8, 1},
      {AviWriter::Sound::Mp2Stereo, 32000, AL_FORMAT_STEREO16, 16, 2},  // decoded by the platform
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bits * 10 + c.channels);
    WriteVideo("s.avi", 10, 32, 32, 25, AviWriter::Video::Raw, c.sound, c.rate);
    const size_t before = LogSize();
    CMenuAviElement* video = Video(R"(AviFile="s.avi")");
    ASSERT_TRUE(video && video->IsOpened());
    const OpenALStream& sound = video->GetSound();
    EXPECT_EQ(sound.format, c.format);
    EXPECT_EQ(LogSince(before).back(), "OPENAL: Created source = " + std::to_string(sound.source));
    ALint bits = 0, channels = 0, frequency = 0, size = 0;
    alGetBufferi(sound.buffer, AL_BITS, &bits);
    alGetBufferi(sound.buffer, AL_CHANNELS, &channels);
    alGetBufferi(sound.buffer, AL_FREQUENCY, &frequency);
    alGetBufferi(sound.buffer, AL_SIZE, &size);
    EXPECT_EQ(bits, c.bits);
    EXPECT_EQ(channels, c.channels);
    EXPECT_EQ(frequency, c.rate);
    // 0.4 s of sound: the whole track went into the buffer.
    EXPECT_NEAR(size, c.rate * 4 / 10 * c.channels * c.bits / 8, c.rate / 10 * c.channels * 2);

    // The source and buffer go with the element.
    const ALuint source = sound.source, buffer = sound.buffer;
    m_root->RemoveChild(video);
    EXPECT_FALSE(alIsSource(source));
    EXPECT_FALSE(alIsBuffer(buffer));
  }
}

TEST_F(MenuAviElementTest, ASilentVideoSaysSoWhenPlayedAndStopped) {
  WriteVideo("intro.avi", 3, 32, 32);
  CMenuAviElement* video = Video(R"(AviFile="intro.avi")");
  ASSERT_TRUE(video && video->IsOpened());
  EXPECT_EQ(video->GetSound().format, 0);
  const size_t before = LogSize();
  video->Play();
  video->Stop();
  video->Play();
  EXPECT_EQ(LogSince(before),
            (std::vector<std::string>{"OpenAL Error : Can't play stream, invalid stream0",
                                      "OpenAL Error : Can't stop stream, invalid stream0",
                                      "OpenAL Error : Can't play stream, invalid stream0"}));
  // The video itself still halts and restarts.
  EXPECT_FALSE(video->GetTimer()->IsPaused());
}

TEST(OpenALPcmFormatTest, OnlyEightAndSixteenBitMonoAndStereoPlay) {
  EXPECT_EQ(OpenALPcmFormat(1, 8), AL_FORMAT_MONO8);
  EXPECT_EQ(OpenALPcmFormat(1, 16), AL_FORMAT_MONO16);
  EXPECT_EQ(OpenALPcmFormat(2, 8), AL_FORMAT_STEREO8);
  EXPECT_EQ(OpenALPcmFormat(2, 16), AL_FORMAT_STEREO16);
  for (const auto& [channels, bits] : {std::pair{2, 24}, {6, 16}, {0, 16}, {1, 4}})
    EXPECT_EQ(OpenALPcmFormat(channels, bits), 0) << channels << " " << bits;
}

}  // namespace
