#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <set>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "TempDir.h"
#include "ZKDXGlobals.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream contents;
  contents << file.rdbuf();
  return contents.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

// Every text appears in `text`, in the order given.
::testing::AssertionResult AppearInOrder(const std::string& text,
                                         const std::vector<std::string>& parts) {
  size_t from = 0;
  for (const std::string& part : parts) {
    const size_t found = text.find(part, from);
    if (found == std::string::npos)
      return ::testing::AssertionFailure() << "\"" << part << "\" missing or out of order in:\n"
                                           << text;
    from = found + part.size();
  }
  return ::testing::AssertionSuccess();
}

// Each test runs the application in a folder of its own, with its own copy of the engine
// library: the licence goes beside the library, and the single-instance lock, the logs and the
// override file are in the folder too, so tests running at the same time never meet. The GUI
// data the engine starts its GUI with lies beside the library as well.
struct StartupFixture : testing::Test {
  void SetUp() override {
    std::filesystem::copy_file(ZEKORB_LIBRARY_PATH, folder / "libZeKorb.so");
    std::filesystem::create_directory_symlink(ZK_GUI_DATA_FOLDER "cegui", folder / "cegui");
  }

  int Run(const std::vector<std::string>& arguments, std::vector<std::string>& lines) {
    std::string output;
    const int code = RunToEnd(ZK_STARTUP_APP, Arguments(arguments), folder.Path(), output);
    lines = Lines(output);
    return code;
  }

  std::vector<std::string> Arguments(const std::vector<std::string>& arguments) const {
    std::vector<std::string> all = {folder / "ZeKorb.dll"};
    all.insert(all.end(), arguments.begin(), arguments.end());
    return all;
  }

  TempDir folder;
};

using Lines_ = std::vector<std::string>;

struct Refusal {
  const char* scenario;
  std::string box;  // "box", caption and text (line ends escaped), tab-separated
  bool gotInterface;
  bool logged;  // the fatal-error routine logs; the version boxes come before or beside the log
};

}  // namespace

TEST_F(StartupFixture, AMismatchedApplicationIsRefusedWithItsMessageAndExitCode1) {
  const int descriptorSize = sizeof(ApplicationDescriptor);
  const int presetSize = sizeof(ConfigureGFX);
  const Refusal cases[] = {
      {"bad-version",
       "box\tERROR!!!\t!!!!This Version Of ZeKorbD3D Can't Work With This Executable File "
       "(Incorrect Version, Read: 20050525, Should Be: 20050526)",
       false, false},
      {"bad-size",
       "box\t\t!!!!This Version Of ZeKorb Can't Work With This Executable File - " +
           std::to_string(descriptorSize - 4) + " - " + std::to_string(descriptorSize),
       false, true},
      {"no-name", "box\tError!\tYou Did Not Specify The Name Of The Application", false, true},
      {"bad-preset",
       "box\tERROR!!!\t!!!!This Version Of ZeKorbD3D Can't Work With This Executable "
       "File\\nConfigureGFX Mistmatch (" +
           std::to_string(presetSize) + " - " + std::to_string(presetSize - 8) +
           ") - Presets: 2, No.: 1",
       true, false},
  };
  for (const Refusal& refusal : cases) {
    SCOPED_TRACE(refusal.scenario);
    std::filesystem::remove(folder / "ZeKorbError.Log");
    Lines_ lines;
    EXPECT_EQ(Run({refusal.scenario}, lines), 1);
    Lines_ expected;
    if (refusal.gotInterface) expected = {"interface", "logs after export"};
    expected.push_back(refusal.box);
    expected.push_back("exit 1");
    EXPECT_EQ(lines, expected);
    const std::string text = refusal.box.substr(refusal.box.rfind('\t') + 1);
    EXPECT_EQ(ReadFile(folder / "ZeKorbError.Log").find("\n" + text + "\n") != std::string::npos,
              refusal.logged);
  }
}

TEST_F(StartupFixture, AnOrderlyRunWritesItsFilesAndShutsDownInOrderWithExitCode0) {
  // The engine finds the tool library in the application's folder and unloads it first.
  std::filesystem::copy_file(ZK_GOOD_TOOL_PATH, folder / "libZKTool.so");
  Lines_ lines;
  EXPECT_EQ(Run({"run"}, lines), 0);
  EXPECT_EQ(lines, (Lines_{"interface", "logs after export", "logs after Init", "exit 0"}));

  const std::string licence = ReadFile(folder / "License.txt");
  EXPECT_EQ(licence.rfind("ZeKorb 3D engine", 0), 0u);
  size_t blocks = 0;
  for (size_t at = licence.find("\r\n"); at != std::string::npos; at = licence.find("\r\n", at + 2))
    ++blocks;
  EXPECT_EQ(blocks, 6u);
  EXPECT_EQ(licence.substr(licence.size() - 2), "\r\n");

  const std::string log = ReadFile(folder / "ZeKorb.Log");
  EXPECT_TRUE(AppearInOrder(log, {"ToolInit", "- Not Initializing Sound Library", "- Inited",
                                  "- Window Destroyed", "ToolDeInit", "- ToolBox Unloaded",
                                  "- Virtual Disk deinitialized",
                                  "----- ZeKorb Debugger Closed Successfully -----"}));
  EXPECT_EQ(log.find("ERROR"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(folder / "statistics.txt"));
}

TEST_F(StartupFixture, ASecondCopyExitsAtOnceWith0AndLeavesTheFirstCopysLogsAlone) {
  ChildProcess first(ZK_STARTUP_APP, Arguments({"hold"}), folder.Path());
  std::string line;
  while (first.ReadLine(line) && line != "ready") {
  }
  ASSERT_EQ(line, "ready");
  const std::string logBefore = ReadFile(folder / "ZeKorb.Log");
  ASSERT_NE(logBefore, "");

  Lines_ lines;
  EXPECT_EQ(Run({"run"}, lines), 0);
  EXPECT_EQ(lines, Lines_{"exit 0"});  // no box, no interface
  EXPECT_EQ(ReadFile(folder / "ZeKorb.Log"), logBefore);

  std::string rest;
  EXPECT_EQ(first.Wait(rest), 0);
  EXPECT_EQ(Lines(rest), (Lines_{"logs after Init", "exit 0"}));
}

// Without logs kept, the logs are written through start-up and removed at the end of Init; the
// override file's setting wins over the application's word.
TEST_F(StartupFixture, WithoutLogsTheFilesLastUntilTheEndOfInit) {
  for (bool fromOverrideFile : {false, true}) {
    SCOPED_TRACE(fromOverrideFile ? "override file" : "descriptor");
    std::filesystem::remove(folder / "override.zk");
    if (fromOverrideFile) folder.Write("override.zk", "use_logs = 0\r\n");
    Lines_ lines;
    EXPECT_EQ(Run(fromOverrideFile ? Lines_{"run"} : Lines_{"run", "--no-logs"}, lines), 0);
    EXPECT_EQ(lines, (Lines_{"interface", "logs after export", "no logs after Init", "exit 0"}));
    for (const char* name : {"ZeKorb.Log", "ZeKorbInfo.Log", "ZeKorbError.Log", "ZeKorbUser.Log",
                             "statistics.txt"})
      EXPECT_FALSE(std::filesystem::exists(folder / name)) << name;
  }
}

TEST_F(StartupFixture, WithAQuitCallbackTheShutdownHandsControlBackToTheApplication) {
  Lines_ lines;
  EXPECT_EQ(Run({"run", "--quit-callback"}, lines), 3);
  EXPECT_EQ(lines, (Lines_{"interface", "logs after export", "logs after Init", "quit callback",
                           "returned from CloseZeKorb"}));
  EXPECT_TRUE(AppearInOrder(ReadFile(folder / "ZeKorb.Log"),
                            {"- Virtual Disk deinitialized", "Closed Successfully"}));
}

// The override file's settings replace the application's values, and the allocator's are raised
// to the engine's minimum; the window the engine made is written back to the application.
TEST_F(StartupFixture, TheOverrideFileAdjustsBothBlocks) {
  folder.Write("override.zk",
               "allocator_descriptors = 100\r\nallocator_page_memory = 25000000.75\r\n"
               "shaders_directory = \"shaders\\\"\r\nwindow_mode = 0\r\nwidth = 800\r\n"
               "height = 600\r\nlock_console = true\r\nvsync = 2\r\n");
  Lines_ lines;
  EXPECT_EQ(Run({"run", "--report-blocks"}, lines), 0);
  EXPECT_EQ(lines, (Lines_{"interface", "logs after export",
                           "descriptor 4096 25000000 shaders\\ 0 window", "logs after Init",
                           "config 800 600 1 0", "exit 0"}));
}

// Init leaves the input manager polling on its thread, with the window procedure feeding its
// keyboard, and the particle emitter factory; the shutdown stops the thread before it frees the
// manager, and releases both.
TEST_F(StartupFixture, InitStartsInputAndParticlesAndTheShutdownReleasesThem) {
  Lines_ lines;
  EXPECT_EQ(Run({"run", "--report-services", "--quit-callback"}, lines), 3);
  EXPECT_EQ(lines, (Lines_{"interface", "logs after export", "logs after Init",
                           "input thread polling", "character q", "particle factory",
                           "particle sprite", "quit callback", "returned from CloseZeKorb", "services released"}));
  EXPECT_TRUE(AppearInOrder(ReadFile(folder / "ZeKorb.Log"),
                            {"- Initializing DInput\n", "- Inited\n", "- Window Destroyed\n",
                             "- Stopping DInput Thread\n", "- DInput Thread Exited\n",
                             "- Input Controllers deinitialized\n",
                             "- Virtual Disk deinitialized\n"}));
}

TEST_F(StartupFixture, InitCreatesTheDeviceChangesAndAltEnterResetItAndTheShutdownReleasesIt) {
  Lines_ lines;
  EXPECT_EQ(Run({"run", "--report-device", "--quit-callback"}, lines), 3);
  ASSERT_EQ(lines.size(), 9u);
  // Direct3D, the device, its back and depth buffers, the dynamic buffers of the index-buffer
  // and vertex-buffer banks (the game asks for no main buffers), the flare texture, the nine
  // system textures with their levels and faces, the preset's render targets (a rectangle with
  // its level, a cube with its faces, and a depth buffer for each), and the GUI's vertex buffer,
  // imageset texture and font texture are all that lives of the layer; the resets make the
  // dynamic buffers, the render targets and the GUI's buffer again, keep the textures (all
  // managed) and make nothing more.
  EXPECT_EQ(lines[3], "after Init: devices 1 resets 0 live 70");
  EXPECT_EQ(lines[4], "after a change: devices 1 resets 1 live 70");
  EXPECT_EQ(lines[5], "after Alt+Enter: devices 1 resets 2 live 70");
  EXPECT_EQ(lines[8], "after CloseZeKorb: devices 1 resets 2 live 0");
  const std::string log = ReadFile(folder / "ZeKorb.Log");
  EXPECT_TRUE(AppearInOrder(log, {"- Selected Scheme Is:\n", "  - Radeon9700\n", "  - D3D9 Device Successfully Created\n",
                                  "  - Using Radeon9700 Rendering Scheme\n",
                                  "- Initializing Texture Storage With 1024 Max Textures\n",
                                  "  - Creating Cube Normalizer\n", "  - Creating FresnelTerm\n",
                                  "- Initializing ZeKorb Shader Library [128 Free Entries]\n",
                                  "  - Creating Texture (1) (flare_jpg)... (Leave File Format UnChanged: FALSE)\n",
                                  // The GUI's imageset loads every pending texture of the bank.
                                  "  - Texture: CubeNormalizer Loaded\n", "  - Texture: fresnelterm Loaded\n",
                                  "  - Texture: flare_jpg Loaded\n", "    - 256x256 (FMT: D3DFMT_X8R8G8B8)\n", "- Inited\n",
                                  "  - RadeonX800\n",
                                  "  - D3D9 Device Successfully Reseted\n", "  - Using RadeonX800 Rendering Scheme\n",
                                  "Changing Screen Mode\n", "- Window Destroyed\n", "- D3D deinitialized\n",
                                  "- Virtual Disk deinitialized\n"}));
}

TEST_F(StartupFixture, AnInputThreadThatCannotStartEndsInitWithItsMessage) {
  Lines_ lines;
  EXPECT_EQ(Run({"no-input-thread"}, lines), 1);
  EXPECT_EQ(lines, (Lines_{"interface", "logs after export",
                           "box\tError While Initializing\tCan't Create InputControllers Interface",
                           "exit 1"}));
  EXPECT_TRUE(AppearInOrder(ReadFile(folder / "ZeKorbError.Log"),
                            {"ERROR!!! Cant Create DInput Thread\n",
                             "Can't Create InputControllers Interface\n"}));
}

// Init through the export and the top interface sets the port of every subsystem the engine has
// with the real provider, and the shutdown puts every port back to its default. The ports of
// subsystems still to come keep their defaults.
TEST_F(StartupFixture, InitSetsThePortsOfEverySubsystemAndTheShutdownResetsThemAll) {
  std::filesystem::copy_file(ZK_WIRING_APP, folder / "wiring_app");
  std::filesystem::permissions(folder / "wiring_app", std::filesystem::perms::owner_exec,
                               std::filesystem::perm_options::add);
  std::string output;
  EXPECT_EQ(RunToEnd(folder / "wiring_app", {}, folder.Path(), output), 0);
  const Lines_ ports = {"release",      "guiKeys",        "meshSpatial",  "lightSpatial",
                        "surfaceFactory", "meshFiles",    "sceneFiles",   "lightWave",
                        "genericPass",  "meshShaders",    "surfaceShaders", "sceneShaders",
                        "scenePasses",  "nullScripts",    "guiTextures",  "scriptTop",
                        "console",      "toolBox"};
  const std::set<std::string> later = {};
  Lines_ expected = {"after Init"};
  for (const std::string& name : ports)
    expected.push_back(name + (later.count(name) ? " default" : " real"));
  expected.push_back("lightingPasses real");
  expected.push_back("after shutdown");
  for (const std::string& name : ports) expected.push_back(name + " default");
  expected.push_back("lightingPasses none");
  EXPECT_EQ(Lines(output), expected);
}

// With the sound switch on, Init makes the sound server, which opens DirectSound and starts its
// refill thread (its own log says so), and the shutdown deinitialises it before the input.
TEST_F(StartupFixture, WithSoundOnInitStartsTheSoundServerAndTheShutdownDeinitializesIt) {
  Lines_ lines;
  EXPECT_EQ(Run({"run", "--sound", "--quit-callback"}, lines), 3);
  EXPECT_EQ(lines, (Lines_{"interface", "logs after export", "logs after Init", "sound server",
                           "quit callback", "returned from CloseZeKorb",
                           "sound server released"}));
  const std::string log = ReadFile(folder / "ZeKorb.Log");
  EXPECT_EQ(log.find("- Not Initializing Sound Library"), std::string::npos);
  EXPECT_TRUE(AppearInOrder(log, {"- Inited\n", "- Window Destroyed\n", "- Sound deinitialized\n",
                                  "- Input Controllers deinitialized\n"}));
  EXPECT_TRUE(AppearInOrder(
      ReadFile(folder / "Tonaris.Log"),
      {"- Using DSound\n", "- Creating DSound Interface...\n", "  - DONE\n",
       "- Setting Cooperative Level...\n", "  - DONE\n", "- Creating Primary Sound Buffer...\n",
       "  - DONE\n", "- Setting Primary Sound Buffer's Format...\n", "  - DONE\n",
       "- Creating Sound Thread...\n", "  - DONE\n", "- Deinitializing\n",
       "- DSound Thread Exited\n", "----- Tonaris Debugger Closed Successfully -----\n"}));
}

TEST_F(StartupFixture, ASoundConfigOfTheWrongSizeEndsInitWithItsMessage) {
  Lines_ lines;
  EXPECT_EQ(Run({"bad-sound-config", "--sound"}, lines), 1);
  EXPECT_EQ(lines, (Lines_{"interface", "logs after export",
                           "box\tError While Initializing ZeKorb\tCan't Initialize Sound Library",
                           "exit 1"}));
  EXPECT_NE(ReadFile(folder / "Tonaris.Log").find("- Configurations Structure Incorrect Size (19 - 20)\n"),
            std::string::npos);
}

TEST_F(StartupFixture, DefaultScriptsJoinTheConsoleModuleInListingOrderAndTheShutdownReleasesThem) {
  folder.Write("scripts/one.zkc", "int One() { return 1; }\n");
  folder.Write("scripts/two.zkc", "int Two() { return One() + 1; }\n");
  folder.Write("scripts/notes.txt", "not a script");
  Lines_ lines;
  EXPECT_EQ(Run({"script-line", "if (Two() != 2) { int z = 0; z = 1 / z; }", "--quit-callback"},
                lines),
            3);
  EXPECT_EQ(lines, (Lines_{"interface", "logs after export", "logs after Init", "line ran",
                           "quit callback", "returned from CloseZeKorb",
                           "script storage released"}));
  const std::string log = ReadFile(folder / "ZeKorb.Log");
  // The module's functions are listed in the order its files were added.
  const bool oneFirst = log.find("scripts\\one.zkc (a sub script)") <
                        log.find("scripts\\two.zkc (a sub script)");
  EXPECT_TRUE(AppearInOrder(log, {"- Inited", "- Loading Default Scripts...",
                                  oneFirst ? "one.zkc" : "two.zkc", oneFirst ? "two.zkc" : "one.zkc",
                                  "  - DONE", "- Loading Default Shaders...",
                                  "- Compiling Module: ZeKorbConsole",
                                  oneFirst ? "    - One" : "    - Two",
                                  oneFirst ? "    - Two" : "    - One", "- Window Destroyed"}));
  EXPECT_EQ(log.find("notes.txt"), std::string::npos);
  EXPECT_EQ(ReadFile(folder / "ZeKorbError.Log").find("scriptmodule"), std::string::npos);
}

// The engine's default console script, laid in the scripts folder as the build lays it beside
// the engine, run by a console line on a saved scene: it reads the scene and changes it.
TEST_F(StartupFixture, TheDefaultConsoleScriptSummarisesAndChangesTheActiveScene) {
  folder.Write("scripts/console.zkc", ReadFile(ZK_CONSOLE_SCRIPT));
  Lines_ lines;
  EXPECT_EQ(Run({"console-line", "SceneSummary();", "--quit-callback"}, lines), 3);
  const auto saved = std::find(lines.begin(), lines.end(), "saved");
  ASSERT_GE(std::distance(saved, lines.end()), 4) << ::testing::PrintToString(lines);
  // The light's colour is its diffuse colour: 0x336699 at the default intensity of one half.
  EXPECT_EQ(Lines_(saved + 1, saved + 4),
            (Lines_{"Script Message: Scene arena: meshes left right; light lamp colour 19334C; "
                    "camera at 0 0 0; file " +
                        std::to_string(std::filesystem::file_size(folder / "arena.zks")) +
                        " bytes; lifted left; done at once",
                    "line ran", "left at 0 1 0, fog 000000FF"}))
      << ::testing::PrintToString(lines);
  const std::string errors = ReadFile(folder / "ZeKorbError.Log");
  for (const char* registration : {"Can't Add ", "Can't Register ", "Can't Declare "})
    EXPECT_EQ(errors.find(registration), std::string::npos) << errors;
}

TEST_F(StartupFixture, AScriptThatCannotBeAddedEndsTheLoadingAndStartUpGoesOn) {
  // A module takes 64 files: the 65th of the listing is refused.
  for (int i = 0; i < 66; ++i)
    folder.Write("scripts/s" + std::to_string(i) + ".zkc", "void F" + std::to_string(i) + "() {}\n");
  Lines_ lines;
  EXPECT_EQ(Run({"script-line", "int x = ;", "--quit-callback"}, lines), 3);
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[3].rfind("sink ", 0), 0u) << lines[3];
  EXPECT_NE(lines[3].find(" : ERR : "), std::string::npos) << lines[3];
  EXPECT_NE(std::find(lines.begin(), lines.end(), "line failed"), lines.end());
  const std::string log = ReadFile(folder / "ZeKorb.Log");
  EXPECT_NE(log.find("  - Can't Create Script: "), std::string::npos);
  EXPECT_EQ(log.find("  - DONE\n- Loading Default Shaders"), std::string::npos);
  EXPECT_NE(log.find("- Loading Default Shaders..."), std::string::npos);
  size_t created = 0;
  for (size_t at = log.find("  - Done\n"); at != std::string::npos; at = log.find("  - Done\n", at + 1))
    ++created;
  EXPECT_GE(created, 64u);
}

TEST_F(StartupFixture, WithoutDefaultScriptsStartUpGoesOnAndLinesStillRun) {
  Lines_ lines;
  EXPECT_EQ(Run({"script-line", "int x = 1;", "--quit-callback"}, lines), 3);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "line ran"), lines.end());
  EXPECT_TRUE(AppearInOrder(ReadFile(folder / "ZeKorb.Log"),
                            {"- Loading Default Scripts...\n", "- There's No Shaders To Load\n",
                             "- Loading Default Shaders...\n"}));
}

TEST_F(StartupFixture, ARefusedScriptRegistrationEndsStartUp) {
  Lines_ lines;
  EXPECT_EQ(Run({"bad-registration"}, lines), 1);
  EXPECT_EQ(lines, (Lines_{"box\tError While Initializing\tCan't Initialize Scripting Language",
                           "exit 1"}));
  const std::string errors = ReadFile(folder / "ZeKorbError.Log");
  EXPECT_TRUE(AppearInOrder(errors, {"ERROR!!! - Can't Register Basic Functions\n",
                                     "Can't Initialize Scripting Language\n"}))
      << errors;
}

// Init starts the GUI on the device and makes the console, which the back-quote key opens and
// the next flip draws with the GUI; the shutdown releases it.
TEST_F(StartupFixture, InitMakesTheConsoleTheBackQuoteOpensItAndTheShutdownReleasesIt) {
  Lines_ lines;
  EXPECT_EQ(Run({"console", "--quit-callback"}, lines), 3);
  const auto at = std::find(lines.begin(), lines.end(), "console");
  ASSERT_NE(at, lines.end()) << ::testing::PrintToString(lines);
  EXPECT_EQ(Lines_(at, lines.end()), (Lines_{"console", "console open", "gui drawn",
                                             "quit callback", "returned from CloseZeKorb",
                                             "console released"}));
  const std::string errors = ReadFile(folder / "ZeKorbError.Log");
  EXPECT_EQ(errors.find("CEGUI Exception"), std::string::npos) << errors;
}

// A scene saved and loaded back with shader mode 0 is prepared by the coded rendering path and
// drawn by the scene's render entry; the shutdown leaves no Direct3D object alive.
TEST_F(StartupFixture, ASceneLoadedWithShaderMode0IsPreparedAndDrawnByTheCodedPath) {
  Lines_ lines;
  EXPECT_EQ(Run({"coded-scene", "--report-device", "--quit-callback"}, lines), 3);
  const auto at = std::find(lines.begin(), lines.end(), "saved");
  ASSERT_NE(at, lines.end());
  ASSERT_GE(lines.end() - at, 3);
  EXPECT_EQ(*(at + 1), "loaded");
  EXPECT_EQ(*(at + 2), "draws 1");
  EXPECT_EQ(lines.back(), "after CloseZeKorb: devices 1 resets 2 live 0");
  const std::string log = ReadFile(folder / "ZeKorb.Log");
  EXPECT_EQ(log.find("No Default Rendering Path"), std::string::npos);
  EXPECT_TRUE(AppearInOrder(log, {"- Preparing Scene: room For Default Coded Rendering Path\n",
                                  "- Preparing Mesh: panel For Default Coded Rendering Path\n"}));
}
