// The data tools: two runs give the same bytes, and the data archive the build packs reads back
// through the engine's virtual file system and scene reader as the game reads it.
#include <gtest/gtest.h>
#include <stb_image.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "DemoEngine.h"
#include "EngineContextScope.h"
#include "LogoScene.h"
#include "ProbeProcess.h"
#include "TempDir.h"
#include "WorkingFolderScope.h"
#include "core/EngineContext.h"
#include "files/ZKReader.h"
#include "files/ZKSSceneExporter.h"
#include "scene/Mesh.h"
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
    if (entry.is_regular_file()) files[fs::relative(entry.path(), folder).string()] = Bytes(entry.path());
  return files;
}

TEST(DataTools, TwoRunsWriteTheSameBytes) {
  TempDir dir;
  for (const char* run : {"a", "b"}) {
    ASSERT_EQ(RunTool(ZK_ZKDEMO, {dir / run}), 0) << run;
    ASSERT_EQ(RunTool(ZK_ZKPACK, {dir / run, dir / (std::string(run) + ".zkr"), kPassword}), 0) << run;
  }
  const auto first = Files(dir / "a");
  EXPECT_EQ(first.size(), 3u);
  EXPECT_EQ(first, Files(dir / "b"));
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
}

TEST(DataTools, PackedLogoReadsBackThroughTheFileSystemAndTheSceneReader) {
  EngineContextScope context;
  TempDir dir;
  WorkingFolderScope workingFolder(dir.Path());  // nothing loose: every file comes from the archive
  ASSERT_TRUE(workingFolder.Entered());
  DemoEngine engine;
  CVirtualFileSystemInterface* files = GetEngineContext()->pVirtualFileSystem;
  ASSERT_EQ(files->AddVirtualDisk(ZK_DATA_ARCHIVE, 0, 0, 0, kPassword), 0u);
  const unsigned mountErrors = engine.Errors();  // the mount's member count is logged as one

  CScene* scene = nullptr;
  ASSERT_TRUE(GetEngineContext()->pZKReader->GetSceneExporter()->LoadScene(
      &scene, "vantor-logo\\logo.zks", 0));
  ASSERT_EQ(engine.Errors(), mountErrors);
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
  VFSFile* texture = files->OpenNormalFile("vantor-logo\\Textures\\logo.png", "rb");
  ASSERT_NE(texture, nullptr);
  std::vector<unsigned char> png(texture->GetFileLength());
  ASSERT_EQ(texture->Read(png.data(), 1, static_cast<UINT>(png.size())), png.size());
  texture->Close();
  int width = 0, height = 0, channels = 0;
  unsigned char* pixels = stbi_load_from_memory(png.data(), static_cast<int>(png.size()), &width,
                                                &height, &channels, 4);
  ASSERT_NE(pixels, nullptr);
  const RgbaImage expected = LogoScene::Picture();
  ASSERT_EQ(static_cast<uint32_t>(width), expected.width);
  EXPECT_TRUE(std::equal(expected.rgba.begin(), expected.rgba.end(), pixels));
  stbi_image_free(pixels);
}

}  // namespace
