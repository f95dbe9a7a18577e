// The start-up's splash images on the recording renderer: which images load, how long each
// shows and where its quad lies.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "FakeSurfaceBanks.h"
#include "LogFolder.h"
#include "PeltoCoreFixture.h"
#include "RecordingRenderer.h"
#include "cpelto/CommercialScreens.h"

namespace {

// A timer whose every reading is a fixed step later than the one before.
class CSteppingTimer final : public CTimerInterface {
 public:
  explicit CSteppingTimer(float step) : m_step(step) {}
  float GetTime() override {
    const float now = m_now;
    m_now += m_step;
    return now;
  }
  float GetTimeGain(UINT) override { return 0; }
  float GetTickingPerSecond() override { return 1000; }
  void Resume() override { ++resumes; }
  void Pause() override {}
  void Reset() override {
    ++resets;
    m_now = 0;
  }
  UINT IsPaused() override { return 0; }
  int resets = 0, resumes = 0;

 private:
  float m_step;
  float m_now = 0;
};

class CRecordingDeclarations final : public CVertexDeclarationStorageInterface {
 public:
  CVertexDeclarationInterface* CreateVertexDeclaration(D3DVERTEXELEMENT9*) override {
    return nullptr;
  }
  void SetFVF(DWORD fvf) override { formats.push_back(fvf); }
  std::vector<DWORD> formats;
};

class CommercialScreensTest : public LogFolder {
 protected:
  void SetUp() override {
    LogFolder::SetUp();
    m_renderer.textureStorage = &m_textures;
    m_renderer.vertexDeclarationStorage = &m_declarations;
    m_textures.madeWidth = 800, m_textures.madeHeight = 600;
  }
  void WriteImages(std::initializer_list<int> numbers) {
    for (int n : numbers)
      m_folder.Write("game/commercials/comm_0" + std::to_string(n) + ".dds", "DDS image");
  }
  static std::vector<CCommercialScreens::Vertex> Vertices(const RecordingRenderer::MemoryDraw& d) {
    std::vector<CCommercialScreens::Vertex> vertices(d.vertices.size() /
                                                     sizeof(CCommercialScreens::Vertex));
    memcpy(vertices.data(), d.vertices.data(), vertices.size() * sizeof vertices[0]);
    return vertices;
  }

  RecordingRenderer m_renderer;
  FakeTextureStorage m_textures;
  CRecordingDeclarations m_declarations;
};

}  // namespace

TEST_F(CommercialScreensTest, FoundImagesShowInOrderForTheDisplayTimeAndAtLeastOneFrame) {
  struct Case {
    float displayTime;
    size_t framesPerImage;
  } cases[] = {{0.0f, 1}, {1.0f, 5}, {0.3f, 2}};
  WriteImages({1, 3});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.displayTime);
    m_renderer.memoryDraws.clear(), m_renderer.frameCalls.clear(), m_textures.made.clear();
    m_declarations.formats.clear();
    CSteppingTimer timer(0.25f);
    CCommercialScreens(&m_renderer, &timer, 800, 600).Show(c.displayTime);

    ASSERT_EQ(m_textures.made.size(), 2u);
    EXPECT_EQ(m_textures.made[0]->names[0], "game\\commercials\\comm_01.dds");
    EXPECT_EQ(m_textures.made[1]->names[0], "game\\commercials\\comm_03.dds");
    for (const auto& texture : m_textures.made) EXPECT_EQ(texture->setStages, std::vector<WORD>{0});
    EXPECT_EQ(timer.resets, 3);
    EXPECT_EQ(timer.resumes, 1);
    ASSERT_EQ(m_renderer.memoryDraws.size(), 2 * c.framesPerImage);
    EXPECT_EQ(m_declarations.formats, std::vector<DWORD>(2 * c.framesPerImage, 0x144u));
    const std::vector<std::string> frame = {"Clear(3,0)", "BeginRendering", "EndRendering",
                                            "Flip(1)"};
    ASSERT_EQ(m_renderer.frameCalls.size(), frame.size() * 2 * c.framesPerImage);
    for (size_t i = 0; i < m_renderer.frameCalls.size(); ++i)
      EXPECT_EQ(m_renderer.frameCalls[i], frame[i % frame.size()]) << i;
    for (const auto& draw : m_renderer.memoryDraws) {
      EXPECT_EQ(draw.type, 4u);
      EXPECT_EQ(draw.primitives, 2u);
      EXPECT_EQ(draw.stride, 28u);
      EXPECT_EQ(draw.vertices.size(), 6u * 28u);
    }
  }
  EXPECT_EQ(m_textures.loadAllCalls, 3);
}

TEST_F(CommercialScreensTest, StatesAreSetBeforeTheFirstImage) {
  WriteImages({2});
  CSteppingTimer timer(1.0f);
  CCommercialScreens(&m_renderer, &timer, 800, 600).Show(0.0f);
  const std::vector<std::pair<UINT, UINT>> states = {{15, 0}, {22, 1}, {137, 0}};
  EXPECT_EQ(m_renderer.renderStates, states);
  const std::vector<std::array<UINT, 3>> stages = {{0, 1, 4}, {0, 2, 2}, {0, 3, 1},
                                                   {0, 4, 4}, {0, 5, 2}, {0, 6, 1}};
  EXPECT_EQ(m_renderer.stageStates, stages);
}

TEST_F(CommercialScreensTest, QuadIsCentredAndScaledToTheScreen) {
  struct Case {
    WORD screenWidth, screenHeight;
    UINT imageWidth, imageHeight;
    float x0, y0, x1, y1;
  } cases[] = {
      // Covers the screen but for the half-pixel edges.
      {800, 600, 800, 600, -0.25f, -0.25f, 799.75f, 599.75f},
      {1600, 1200, 400, 300, 399.75f, 299.75f, 1199.75f, 899.75f},
      {1024, 768, 800, 600, -0.25f, -0.25f, 1023.75f, 767.75f},
  };
  WriteImages({4});
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.screenWidth) + " x " + std::to_string(c.imageWidth));
    m_renderer.memoryDraws.clear();
    m_textures.madeWidth = c.imageWidth, m_textures.madeHeight = c.imageHeight;
    CSteppingTimer timer(1.0f);
    CCommercialScreens(&m_renderer, &timer, c.screenWidth, c.screenHeight).Show(0.0f);
    ASSERT_EQ(m_renderer.memoryDraws.size(), 1u);
    const auto v = Vertices(m_renderer.memoryDraws[0]);
    ASSERT_EQ(v.size(), 6u);
    const float expected[6][4] = {{c.x0, c.y0, 0, 0}, {c.x1, c.y0, 1, 0}, {c.x0, c.y1, 0, 1},
                                  {c.x1, c.y0, 1, 0}, {c.x1, c.y1, 1, 1}, {c.x0, c.y1, 0, 1}};
    for (int i = 0; i < 6; ++i) {
      SCOPED_TRACE(i);
      EXPECT_FLOAT_EQ(v[i].x, expected[i][0]);
      EXPECT_FLOAT_EQ(v[i].y, expected[i][1]);
      EXPECT_EQ(v[i].u, expected[i][2]);
      EXPECT_EQ(v[i].v, expected[i][3]);
      EXPECT_EQ(v[i].z, 0.0f);
      EXPECT_EQ(v[i].rhw, 1.0f);
      EXPECT_EQ(v[i].dwColour, 0xFFFFFFFFu);
    }
  }
}

TEST_F(CommercialScreensTest, NoImagesDrawNothing) {
  CSteppingTimer timer(1.0f);
  CCommercialScreens(&m_renderer, &timer, 800, 600).Show(5.0f);
  EXPECT_TRUE(m_textures.made.empty());
  EXPECT_TRUE(m_renderer.memoryDraws.empty());
  EXPECT_TRUE(m_renderer.frameCalls.empty());
  EXPECT_EQ(m_textures.loadAllCalls, 0);
}

TEST_F(PeltoCoreTest, StartUpCreatesTheUtilitiesAndShowsNoMissingCommercials) {
  WriteLevelSetup("", "");
  std::filesystem::create_directories(m_folder / "game/levels");
  CTestPeltoCore& core = StartCore();
  EXPECT_EQ(core.GetWindowsUtilities().GetActiveDesktop(), nullptr);
  ExpectInOrder(GameLog(), {"-Creating Windows Utilities interface\n",
                            " - ActiveDesktop instance not created\n",
                            "-Creating Windows Utilities -> DONE\n"});
  EXPECT_TRUE(m_engine.renderer.memoryDraws.empty());
  EXPECT_TRUE(m_engine.textures.made.empty());
}
