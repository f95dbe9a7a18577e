// The data tools: two runs give the same bytes, and the data archive the build packs reads back
// through the engine's virtual file system and scene reader as the game reads it.
#include <gtest/gtest.h>
#include <stb_image.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <d3dx9tex.h>
#include <vfw.h>
#include <windows.h>

#include "DemoEngine.h"
#include "DemoMedia.h"
#include "DemoObjects.h"
#include "DemoTextures.h"
#include "EngineContextScope.h"
#include "GlyphAtlas.h"
#include "LogoScene.h"
#include "ProbeProcess.h"
#include "TempDir.h"
#include "WorkingFolderScope.h"
#include "core/EngineContext.h"
#include "files/ZKReader.h"
#include "files/ZKSSceneExporter.h"
#include "scene/Mesh.h"
#include "scene/ChannelEnvelope.h"
#include "scene/Motion.h"
#include "scene/Scene.h"
#include "scene/Surface.h"

namespace {

namespace fs = std::filesystem;

// The game's archive password.
constexpr const char* kPassword = "tavelkorpinusmerdo";

int RunTool(const std::string& program, const std::vector<std::string>& arguments) {
  ProbeProcess process(program, arguments);
  return process.Finish();
}

std::string Bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every file below `folder` by its relative path, with its bytes.
std::map<std::string, std::string> Files(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder))
    if (entry.is_regular_file())
      files[fs::relative(entry.path(), folder).string()] = Bytes(entry.path());
  return files;
}

TEST(DataTools, TwoRunsWriteTheSameBytes) {
  TempDir dir;
  for (const char* run : {"a", "b"}) {
    const std::string packed = std::string(run) + "-packed", loose = std::string(run) + "-loose";
    ASSERT_EQ(RunTool(ZK_ZKDEMO, {dir / packed, dir / loose}), 0) << run;
    ASSERT_EQ(RunTool(ZK_ZKPACK, {dir / packed, dir / (std::string(run) + ".zkr"), kPassword}), 0)
        << run;
  }
  for (const char* kind : {"-packed", "-loose"}) {
    const auto first = Files(dir / (std::string("a") + kind));
    EXPECT_FALSE(first.empty()) << kind;
    EXPECT_EQ(first, Files(dir / (std::string("b") + kind))) << kind;
  }
  EXPECT_EQ(Bytes(dir / "a.zkr"), Bytes(dir / "b.zkr"));
}

TEST(DataTools, ToolsRefuseWhatTheyCannotDo) {
  TempDir dir;
  fs::create_directory(dir / "empty");
  EXPECT_EQ(RunTool(ZK_ZKPACK, {dir / "missing", dir / "m.zkr"}), 1);
  EXPECT_EQ(RunTool(ZK_ZKPACK, {dir / "empty", dir / "e.zkr"}), 1) << "an archive of nothing";
  EXPECT_FALSE(fs::exists(dir / "e.zkr"));
  EXPECT_EQ(RunTool(ZK_ZKPACK, {dir / "missing"}), 2) << "usage";
  EXPECT_EQ(RunTool(ZK_ZKDEMO, {}), 2) << "usage";
  EXPECT_EQ(RunTool(ZK_ZKDEMO, {dir / "a", dir / "b", dir / "c"}), 2) << "usage";
}

// The build's data archive mounted as the game mounts it, in an empty working folder, so that
// every file comes from the archive.
class PackedData : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_workingFolder.Entered());
    ASSERT_EQ(Files()->AddVirtualDisk(ZK_DATA_ARCHIVE, 0, 0, 0, kPassword), 0u);
    m_mountErrors = m_engine.Errors();  // the mount's member count is logged as one
  }
  static CVirtualFileSystemInterface* Files() { return GetEngineContext()->pVirtualFileSystem; }
  // The whole member, empty when it is missing.
  static std::string Read(const char* name) {
    std::string bytes;
    if (VFSFile* file = Files()->OpenNormalFile(name, "rb")) {
      bytes.resize(file->GetFileLength());
      bytes.resize(file->Read(bytes.data(), 1, static_cast<UINT>(bytes.size())));
      file->Close();
    }
    return bytes;
  }
  // No error logged since the mount.
  bool Clean() const { return m_engine.Errors() == m_mountErrors; }

  EngineContextScope m_context;
  TempDir m_dir;
  WorkingFolderScope m_workingFolder{m_dir.Path()};
  DemoEngine m_engine;
  unsigned m_mountErrors = 0;
};

TEST_F(PackedData, LogoReadsBackThroughTheFileSystemAndTheSceneReader) {
  CScene* scene = nullptr;
  ASSERT_TRUE(GetEngineContext()->pZKReader->GetSceneExporter()->LoadScene(
      &scene, "vantor-logo\\logo.zks", 0));
  ASSERT_TRUE(Clean());
  EXPECT_EQ(scene->GetFramesPerSecond(), LogoScene::kFramesPerSecond);
  EXPECT_EQ(scene->GetNumberOfCameras(), 1u);
  EXPECT_EQ(scene->GetNumberOfLights(), 1u);
  ASSERT_EQ(scene->GetNumberOfMeshes(), 1u);
  auto* mesh = dynamic_cast<CMesh*>(scene->GetMeshByName("logo", 0));
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(mesh->GetNumberOfFaces(), 12u);
  auto* surface = dynamic_cast<CSurface*>(mesh->GetSurface(0));
  ASSERT_NE(surface, nullptr);
  const char* textureName = surface->GetTextureFileName(CSurface::TEXTURE_COLOR0);
  // The bank names the texture by its path beside the scene.
  EXPECT_NE(std::string(textureName ? textureName : "(none)").find("textures\\logo"),
            std::string::npos)
      << (textureName ? textureName : "(none)");
  // Whole for the hold, nothing once the shrink is over.
  CChannelEnvelope* scale = mesh->GetFirstMotion()->GetChannel(MOTION_SCALE_Y);
  ASSERT_EQ(scale->GetNumberOfKeys(), 3u);
  const float hold = LogoScene::kHoldSeconds * LogoScene::kFramesPerSecond;
  const float gone = hold + LogoScene::kShrinkSeconds * LogoScene::kFramesPerSecond;
  const float keys[3][2] = {{0, 1}, {hold, 1}, {gone, 0}};
  for (UINT i = 0; i < 3; ++i) {
    EXPECT_EQ(scale->GetKey(i)->GetKeyTime(), keys[i][0]) << i;
    EXPECT_EQ(scale->GetKey(i)->GetKeyValue(), keys[i][1]) << i;
  }
  scene->Release();

  // The texture in the archive is the logo's picture.
  const std::string png = Read("vantor-logo\\Textures\\logo.png");
  ASSERT_FALSE(png.empty());
  int width = 0, height = 0, channels = 0;
  unsigned char* pixels =
      stbi_load_from_memory(reinterpret_cast<const unsigned char*>(png.data()),
                            static_cast<int>(png.size()), &width, &height, &channels, 4);
  ASSERT_NE(pixels, nullptr);
  const RgbaImage expected = LogoScene::Picture();
  ASSERT_EQ(static_cast<uint32_t>(width), expected.width);
  EXPECT_TRUE(std::equal(expected.rgba.begin(), expected.rgba.end(), pixels));
  stbi_image_free(pixels);
}

// What the game reads through its archive: every picture is one the image loader takes, each
// object's texture is dominated by its documented colour, and the glyph atlas holds "A" but
// leaves codes without a glyph empty.
TEST_F(PackedData, PicturesReadBackWithTheirColoursAndGlyphs) {
  struct Picture {
    const char* name;
    UINT width;
    D3DFORMAT format;
  };
  const Picture pictures[] = {
      {"empty.dds", 4, D3DFMT_A8R8G8B8},
      {"game\\commercials\\comm_01.dds", 256, D3DFMT_A8R8G8B8},
      {"menu\\background.png", 256, D3DFMT_UNKNOWN},
      {"menu\\item.png", 64, D3DFMT_UNKNOWN},
      {"fonts\\manual.png", GlyphAtlas::kCells * GlyphAtlas::kCellSize, D3DFMT_UNKNOWN},
  };
  for (const Picture& picture : pictures) {
    const std::string bytes = Read(picture.name);
    ASSERT_FALSE(bytes.empty()) << picture.name;
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(
        D3DXGetImageInfoFromFileInMemory(bytes.data(), static_cast<UINT>(bytes.size()), &info),
        D3D_OK)
        << picture.name;
    EXPECT_EQ(info.Width, picture.width) << picture.name;
    if (picture.format != D3DFMT_UNKNOWN) {
      EXPECT_EQ(info.Format, picture.format) << picture.name;
    }
  }

  auto decode = [&](const char* name, int& side) {
    const std::string bytes = Read(name);
    int height = 0, channels = 0;
    unsigned char* pixels =
        stbi_load_from_memory(reinterpret_cast<const unsigned char*>(bytes.data()),
                              static_cast<int>(bytes.size()), &side, &height, &channels, 4);
    std::vector<unsigned char> texels;
    if (pixels) texels.assign(pixels, pixels + static_cast<size_t>(side) * height * 4);
    stbi_image_free(pixels);
    return texels;
  };
  const std::pair<const char*, DemoColour> objects[] = {
      {"game\\levels\\level1\\Textures\\floor.png", DemoTextures::kFloor},
      {"objects\\Textures\\wall.png", DemoTextures::kWall},
      {"objects\\Textures\\crate.png", DemoTextures::kCrate},
      {"objects\\Textures\\player.png", DemoTextures::kPlayer},
      {"objects\\Textures\\entity.png", DemoTextures::kEntity},
      {"progress\\Textures\\progress.png", DemoTextures::kProgress},
  };
  for (const auto& [name, colour] : objects) {
    int side = 0;
    const std::vector<unsigned char> texels = decode(name, side);
    ASSERT_FALSE(texels.empty()) << name;
    const size_t quarter = (static_cast<size_t>(side / 4) * side + side / 4) * 4;
    EXPECT_EQ(texels[quarter + 0], colour.r) << name;
    EXPECT_EQ(texels[quarter + 1], colour.g) << name;
    EXPECT_EQ(texels[quarter + 2], colour.b) << name;
  }

  int side = 0;
  const std::vector<unsigned char> atlas = decode("fonts\\manual.png", side);
  ASSERT_EQ(side, static_cast<int>(GlyphAtlas::kCells * GlyphAtlas::kCellSize));
  // `channel` 3 is the alpha; the red channel (0) is what a texture bank reads from an alpha
  // picture, so both must show the glyphs.
  auto covered = [&](uint8_t code, int channel = 3) {
    const GlyphAtlas::Cell cell = GlyphAtlas::CellUV(code);
    const int x0 = static_cast<int>(cell.upperLeftU * side),
              y0 = static_cast<int>(cell.upperLeftV * side);
    int texels = 0;
    for (int y = y0; y < y0 + static_cast<int>(GlyphAtlas::kCellSize); ++y)
      for (int x = x0; x < x0 + static_cast<int>(GlyphAtlas::kCellSize); ++x)
        texels += atlas[(static_cast<size_t>(y) * side + x) * 4 + channel] > 128;
    return texels;
  };
  EXPECT_GT(covered('A'), 40);
  EXPECT_EQ(covered('A', 0), covered('A'));
  EXPECT_GT(covered('W'), covered('.'));
  EXPECT_EQ(covered(' '), 0);
  EXPECT_EQ(covered(1), 0);
}

// What the game opens from disk: the menu video through the platform's video reader with its
// frames and sound, the cursor through the platform's cursor loader, the sounds as RIFF waves.
TEST(DataTools, LooseMediaReadBackThroughThePlatform) {
  TempDir dir;
  ASSERT_EQ(RunTool(ZK_ZKDEMO, {dir / "packed", dir / "loose"}), 0);
  AVIFileInit();
  PAVIFILE video = nullptr;
  ASSERT_EQ(AVIFileOpenA(&video, (dir / "loose/menu/intro.avi").c_str(), OF_READ, nullptr), 0);
  PAVISTREAM frames = nullptr, sound = nullptr;
  ASSERT_EQ(AVIFileGetStream(video, &frames, streamtypeVIDEO, 0), 0);
  EXPECT_EQ(AVIStreamLength(frames), DemoMedia::kVideoFrames);
  AVISTREAMINFOA info{};
  ASSERT_EQ(AVIStreamInfoA(frames, &info, sizeof info), 0);
  EXPECT_EQ(info.rcFrame.right - info.rcFrame.left, DemoMedia::kVideoWidth);
  EXPECT_EQ(AVIFileGetStream(video, &sound, streamtypeAUDIO, 0), 0);
  if (sound) AVIStreamRelease(sound);
  AVIStreamRelease(frames);
  AVIFileRelease(video);
  AVIFileExit();

  // The platform keeps loaded cursors for the life of the process, as Windows does.
  EXPECT_NE(LoadCursorFromFileA((dir / "loose/cursors/arrow.cur").c_str()), nullptr);

  for (const char* name : {"menu_music.wav", "level_music.wav", "push.wav", "plug.wav"}) {
    const std::string wave = Bytes(dir / (std::string("loose/sounds/") + name));
    ASSERT_GT(wave.size(), 44u) << name;
    EXPECT_EQ(wave.substr(0, 4), "RIFF") << name;
    EXPECT_EQ(wave.substr(8, 4), "WAVE") << name;
  }
  for (const char* name : {"menu_music.ogg", "level_music.ogg"})
    EXPECT_EQ(Bytes(dir / (std::string("loose/sounds/") + name)).substr(0, 4), "OggS") << name;
}

// The object, progress and level scenes read back from the archive as the game's nodes load
// them: the characters keyed in every animation range, the cable's outlet and the entity's
// master null in place, the bar growing, each level's floor as large as its map.
TEST_F(PackedData, ScenesReadBackWithTheirKeysAndLinks) {
  auto load = [&](const char* name) {
    CScene* scene = nullptr;
    EXPECT_TRUE(GetEngineContext()->pZKReader->GetSceneExporter()->LoadScene(&scene, name, 0))
        << name;
    EXPECT_TRUE(Clean()) << name;
    return std::unique_ptr<CScene, void (*)(CScene*)>(scene, [](CScene* s) {
      if (s) s->Release();
    });
  };

  for (const char* name : {"objects\\wall.zks", "objects\\wet_floor.zks", "objects\\crate.zks",
                           "objects\\socket.zks"}) {
    auto scene = load(name);
    ASSERT_TRUE(scene) << name;
    ASSERT_EQ(scene->GetNumberOfMeshes(), 1u) << name;
    EXPECT_EQ(scene->GetMesh(0)->GetNumberOfFaces(), 12u) << name;
  }

  for (const char* name :
       {"objects\\player.zks", "objects\\sub_player.zks", "objects\\entity.zks"}) {
    auto scene = load(name);
    ASSERT_TRUE(scene) << name;
    auto* body = dynamic_cast<CMesh*>(scene->GetMesh(0));
    ASSERT_NE(body, nullptr) << name;
    CChannelEnvelope* bob = body->GetFirstMotion()->GetChannel(MOTION_POSITION_Y);
    ASSERT_EQ(bob->GetNumberOfKeys(), 3 * DemoObjects::kAnimations) << name;
    // Range 5: at rest on its first and last frame, up at its middle.
    const float first = 5.0f * DemoObjects::kAnimationFrames;
    const float last = first + DemoObjects::kAnimationFrames - 1;
    for (const auto& [frame, height] :
         {std::pair{first, 0.0f}, {(first + last) / 2, DemoObjects::BobHeight(5)}, {last, 0.0f}}) {
      bob->EvalEnvelope(frame);
      EXPECT_FLOAT_EQ(bob->GetValue(), height) << name << " frame " << frame;
    }
  }
  {
    auto scene = load("objects\\sub_player.zks");
    ASSERT_TRUE(scene);
    auto* outlet = dynamic_cast<CWorldObject*>(scene->GetNullByName("kabelek", 0));
    ASSERT_NE(outlet, nullptr);
    EXPECT_EQ(outlet->GetParent(), dynamic_cast<CWorldObject*>(scene->GetMesh(0)));
  }
  // The walking entities' objects hang under their master null; the socket is one of them.
  for (const char* name : {"objects\\entity.zks", "objects\\socket.zks"}) {
    auto scene = load(name);
    ASSERT_TRUE(scene) << name;
    auto* body = dynamic_cast<CWorldObject*>(scene->GetMesh(0));
    ASSERT_NE(body, nullptr) << name;
    EXPECT_EQ(body->GetParent(),
              dynamic_cast<CWorldObject*>(scene->GetNullByName("master_null", 0)))
        << name;
  }
  {
    auto scene = load("progress\\progress.zks");
    ASSERT_TRUE(scene);
    EXPECT_EQ(scene->GetLastFrame(), DemoObjects::kProgressFrames);
    CChannelEnvelope* width =
        dynamic_cast<CMesh*>(scene->GetMesh(0))->GetFirstMotion()->GetChannel(MOTION_SCALE_X);
    width->EvalEnvelope(DemoObjects::kProgressFrames / 2.0f);
    EXPECT_FLOAT_EQ(width->GetValue(), 0.5f);
  }
  for (const auto& [name, width, height] :
       {std::tuple{"game\\levels\\level1\\level1.zks", 10.0f, 8.0f},
        {"game\\levels\\level2\\level2.zks", 7.0f, 13.0f}}) {
    auto scene = load(name);
    ASSERT_TRUE(scene) << name;
    EXPECT_EQ(scene->GetNumberOfCameras(), 3u) << name;
    EXPECT_EQ(scene->GetNumberOfLights(), 2u) << name;
    CMeshInterface* floor = scene->GetMesh(0);
    ASSERT_NE(floor, nullptr) << name;
    float largestX = 0, largestZ = 0;
    for (UINT i = 0; i < floor->GetNumberOfVertices(); ++i) {
      largestX = std::max(largestX, floor->GetVertices()[i].vecPosition.x);
      largestZ = std::max(largestZ, floor->GetVertices()[i].vecPosition.z);
    }
    EXPECT_EQ(largestX, width) << name;
    EXPECT_EQ(largestZ, height) << name;
  }
}

}  // namespace
