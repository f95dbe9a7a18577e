// The scripts' desktop and level services: the wallpaper copy with its settings, the level's
// ambient colour and the mounting of virtual disks.
#include <gtest/gtest.h>

#include <filesystem>

#include "PeltoCoreFixture.h"
#include "RecordingEngineLog.h"
#include "RecordingRenderer.h"
#include "ScopedEnvironment.h"
#include "cpelto/ScriptUtilities.h"
#include "framework/GameObject.h"
#include "scene/Scene.h"
#include "winreg.h"
#include "zktest/ZkTestMedia.h"

namespace {

// Also answers the active-scene reset that a game object makes when it lets its scene go.
class CSceneServingInterface final : public CPeltoTestZeKorbInterface {
 public:
  void SetActiveScene(CSceneInterface* scene) override { activeScenes.push_back(scene); }
  std::vector<CSceneInterface*> activeScenes;
};

class ScriptUtilitiesTest : public PeltoCoreTest {
 protected:
  void SetUp() override {
    PeltoCoreTest::SetUp();
    CGameTestZeKorbInterface::Served() = &m_sceneEngine;
    m_environment.Set("XDG_DATA_HOME", (m_folder / "data"));
    m_environment.Set("XDG_CONFIG_HOME", (m_folder / "config"));
    ZkTestResetWallpaper();
  }
  CTestPeltoCore& Start() {
    WriteLevelSetup("", "");
    std::filesystem::create_directories(m_folder / "game/levels");
    return StartCore();
  }
  static std::string DesktopValue(const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_READ, &key) != 0)
      return "(no key)";
    char value[16] = {};
    DWORD size = sizeof value - 1, type = 0;
    const LSTATUS status =
        RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (status != 0) return "(no value)";
    return std::string(value, size) + (type == REG_SZ ? "" : " (not text)");
  }

  ScopedEnvironment m_environment;
  CSceneServingInterface m_sceneEngine;
};

}  // namespace

TEST_F(ScriptUtilitiesTest, WallpaperIsCopiedIntoTheUserFolderAndSet) {
  m_folder.Write("pics/wall.bmp", std::string("BM\0picture", 10));
  Start();
  SetWallpaper("pics\\wall.bmp");
  const std::string target = (m_folder / "data") + "/CyberPelto/wall.bmp";
  EXPECT_EQ(Read("data/CyberPelto/wall.bmp"), std::string("BM\0picture", 10));
  EXPECT_EQ(std::string(ZkTestLastWallpaper()), target);
  EXPECT_EQ(DesktopValue("TileWallpaper"), "0");
  EXPECT_EQ(DesktopValue("WallpaperStyle"), "1");
  ExpectInOrder(GameLog(), {"Setting wallpaper '" + target + "'\n",
                            "Changed user wallpaper '" + target + "' without ActiveDesktop\n"});
}

TEST_F(ScriptUtilitiesTest, WallpaperWithoutUserFolderIsSetFromItsOwnPath) {
  // A file where the data folder should be: no copy can be made there.
  m_folder.Write("data", "not a folder");
  m_folder.Write("wall.bmp", "BMpicture");
  Start();
  SetWallpaper("wall.bmp");
  const std::string wallpaper = ZkTestLastWallpaper();
  EXPECT_NE(wallpaper.find("wall.bmp"), std::string::npos) << wallpaper;
  EXPECT_EQ(wallpaper.find("CyberPelto"), std::string::npos) << wallpaper;
  EXPECT_EQ(Read("wall.bmp"), "BMpicture");
  EXPECT_NE(GameLog().find("Changed user wallpaper '" + wallpaper + "'"), std::string::npos);
}

TEST_F(ScriptUtilitiesTest, WallpaperThatIsMissingOrDoesNotFitChangesNothing) {
  // Three folder names that together pass the longest path.
  const std::string deep = std::string(200, 'a') + "/" + std::string(200, 'b') + "/" +
                           std::string(150, 'c') + "/wall.bmp";
  m_folder.Write(deep, "BMpicture");
  Start();
  SetWallpaper("absent.bmp");
  EXPECT_NE(GameLog().find("WARNING: wallpaper 'absent.bmp' not found"), std::string::npos);
  SetWallpaper(deep.c_str());
  EXPECT_NE(GameLog().find("WARNING: wallpaper path too long"), std::string::npos) << GameLog();
  EXPECT_STREQ(ZkTestLastWallpaper(), "");
  EXPECT_FALSE(Exists("data/CyberPelto/wall.bmp"));
  EXPECT_EQ(GameLog().find("Setting wallpaper"), std::string::npos);
}

TEST(AmbientColour, ComponentsArePackedWhereTheSceneReadsThem) {
  struct Case {
    float r, g, b, a;
    UINT packed;
  } cases[] = {
      {2, -1, 0.5f, 1, 0xFF8000FFu},
      {1, 0, 0, 0, 0x000000FFu},
      {0, 0, 1, 0.2f, 0x33FF0000u},
      {0.001f, 0.999f, 0, 0, 0x0000FF00u},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.packed);
    EXPECT_EQ(PackAmbientColor(c.r, c.g, c.b, c.a), c.packed);
  }
}

TEST_F(ScriptUtilitiesTest, AmbientReachesTheLevelsSceneOnlyWithALevel) {
  RegisterNodeType<geCGameObject>("TestLevel");
  WriteLevel("castle", R"(<Node Type="TestLevel" Name="Castle"/>)");
  CTestPeltoCore& core = Start();
  RecordingRenderer renderer;
  CRecordingEngineLog log;
  auto* scene = new CScene(&renderer, &log);
  scene->SetAmbientColor(0x00102030);
  SetAmbient(2, -1, 0.5f, 1);  // no level yet

  core.LoadLevel("Castle");
  core.ProcessFrame();
  auto* level = dynamic_cast<geCGameObject*>(core.GetCurrentLevel());
  ASSERT_NE(level, nullptr);
  level->LoadSceneFromPointer(scene);
  const ColorByte before = *scene->GetColor();
  EXPECT_EQ(before.cRed, 0x30);
  EXPECT_EQ(before.cBlue, 0x10);

  SetAmbient(2, -1, 0.5f, 1);
  const ColorByte* colour = scene->GetColor();
  EXPECT_EQ(colour->cRed, 255);
  EXPECT_EQ(colour->cGreen, 0);
  EXPECT_EQ(colour->cBlue, 128);
  // The level lets its scene go with the core, while the scene's renderer and log still exist.
  DestroyCore();
  EXPECT_EQ(m_sceneEngine.activeScenes, std::vector<CSceneInterface*>{nullptr});
}

TEST_F(ScriptUtilitiesTest, VirtualDiskIsLoggedWhateverTheOutcome) {
  Start();
  // The start-up's own mounts come first.
  const size_t before = m_sceneEngine.Mounts().size();
  AddVirtualDisk("extra\\levels.zkr", "secret");
  AddVirtualDisk("missing.zkz", nullptr);
  ExpectInOrder(GameLog(), {"- Added virtual disk 'extra\\levels.zkr'\n",
                            "- Added virtual disk 'missing.zkz'\n"});
  const std::vector<std::string>& mounts = m_sceneEngine.Mounts();
  EXPECT_EQ(std::vector<std::string>(mounts.begin() + static_cast<long>(before), mounts.end()),
            (std::vector<std::string>{"extra\\levels.zkr 0 0 0 secret", "missing.zkz 0 0 0 "}));
}
