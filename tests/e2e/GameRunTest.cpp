// The game played whole on the demo data: start-up, the studio logo on screen and gone again, an
// orderly end on SIGTERM, and the start-up failures that end the program with a message.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "DemoColours.h"
#include "GameProcess.h"
#include "GameSession.h"

namespace {

using namespace std::chrono_literals;

using demo_colours::kCentre;
using demo_colours::kLogo;

TEST(GameRun, ShowsTheLogoThenEndsInOrderOnSigterm) {
  GameProcess game(ZK_PROGRAM_FOLDER);
  game.Start();
  ASSERT_TRUE(game.WaitForText(game.Bin("runtime/AngelScript.log"), "GameCoreModule: first frame",
                               120s))
      << game.Output();
  game.Command("screenshot logo.png\n");
  ASSERT_TRUE(game.WaitForText(game.Beside("logo.png"), "PNG", 60s)) << game.Output();
  // The logo holds for three seconds of game time and is gone a second later.
  game.Command("wait 5000\nscreenshot after.png\n");
  ASSERT_TRUE(game.WaitForText(game.Beside("after.png"), "PNG", 60s)) << game.Output();
  game.Signal(SIGTERM);
  EXPECT_EQ(game.Wait(60s), 0) << game.Output();

  EXPECT_GT(Screenshot(game.Beside("logo.png")).Share(kLogo, kCentre), 0.8);
  EXPECT_LT(Screenshot(game.Beside("after.png")).Share(kLogo, kCentre), 0.05);

  const std::string gameLog = GameProcess::ReadFile(game.Bin("runtime/GameEngine.log"));
  // The core's banner and the sound device, the game tree and settings, the node types, the
  // engine and its archive, the game's managers with its script module and node tree, the
  // cursors; then the release of the core and the count of objects left over.
  EXPECT_TRUE(InOrder(gameLog, {"Vantor Game Engine - version 0.1 build 298\n",
                                "System Information:\n",
                                "O p e n  A L - Init...\n",
                                "-Loading Game Tree from 'cfg\\config.xml'\n",
                                "-vKernel and vGameEngine Settings:\n",
                                "  -vantor_logo = true\n",
                                "- Registered Node Types:\n",
                                "-Adding virtual disk 'zkr\\vge.zkr'\n",
                                "  -Setting name 'geRootNode'",
                                "  - Adding AS script module 'GameCoreModule'\n",
                                "G A M E   T R E E:\n",
                                "-Creating Cursors (from cfg\\config.xml, section <vGameEngine>)\n",
                                "~Deleted geCGameCore\n",
                                "-----------> Closed on ",
                                "Statistics:\n\tnumber of unremoved objects: 0\n",
                                "AngelScript Released\n"}))
      << gameLog;
  EXPECT_EQ(gameLog.find("KERNEL ERROR"), std::string::npos) << gameLog;
  const std::string scriptLog = GameProcess::ReadFile(game.Bin("runtime/AngelScript.log"));
  EXPECT_TRUE(InOrder(scriptLog, {"GameCoreModule: main\n", "GameCoreModule: first frame\n"}))
      << scriptLog;

  const std::string engineLog = GameProcess::ReadFile(game.Bin("ZeKorb.Log"));
  // The archive mounted, then the shader archive; the logo scene read from the one, its default
  // shader files and their programs from the other (nothing lies loose), its texture; and the
  // engine closed by the game's exit.
  EXPECT_TRUE(InOrder(
      engineLog, {"- Archive zkr\\vge.zkr Contains ", "- Archive shaders\\shaders.zkr Contains ",
                  "- Loading Scene: vantor-logo\\logo.zks\n",
                  "- Creating Shader PerVertex\\mesh_nobones_nomorph.ssh For Mesh: logo...\n",
                  "- Vertex Shader pervertex\\vsh\\ambient_static.vsh Successfully Created\n",
                  "- Creating Shader PerVertex\\surface.ssh For Surface: logo...\n",
                  "- Pixel Shader (pervertex\\psh\\texture.psh) Successfully Created\n",
                  "- Texture: vantor-logo\\textures\\logo_png Loaded\n",
                  "----- ZeKorb Debugger Closed Successfully -----"}))
      << engineLog;
  // A shader file read loose names the path it was opened by.
  EXPECT_EQ(engineLog.find("- File Path Is: "), std::string::npos) << engineLog;
}

// The data folder missing or its configuration broken: a message and exit code 1.
TEST(GameRun, StartUpFailuresEndWithTheirMessageAndCodeOne) {
  const struct {
    const char* name;
    void (*spoil)(GameProcess&);
    const char* message;
  } cases[] = {
      {"no runtime folder",
       [](GameProcess& game) { std::filesystem::remove_all(game.Bin("runtime")); },
       "Can't find the game's data folder"},
      {"broken config.xml",
       [](GameProcess& game) {
         std::ofstream(game.Bin("runtime/cfg/config.xml")) << "<vGameEngine><Param width=\"8";
       },
       "Error loading XML data file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    GameProcess game(ZK_PROGRAM_FOLDER);
    c.spoil(game);
    game.Start();
    EXPECT_EQ(game.Wait(60s), 1) << game.Output();
    EXPECT_NE(game.Output().find(c.message), std::string::npos) << game.Output();
  }
}

}  // namespace
