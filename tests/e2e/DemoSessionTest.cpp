// The demo played whole, as a player would: the studio logo, the menu, the first level with its
// crate, socket and cable and walking entity, back to the menu, the second level, and the exit;
// then what the logs say of the run. A second run on the same copy finds the bytecode caches and
// the key bindings of the first. Broken data makes the checks fail with a clear message.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "GameSession.h"

namespace {

using namespace std::chrono_literals;
using Log = GameSession::Log;

// The demo data's colours (tools/zkdemo): each object has one of its own.
constexpr ProbeColour kLogo = {"logo", 236, 112, 20};
constexpr ProbeColour kMenuBackground = {"menu background", 20, 30, 90};
constexpr ProbeColour kFloor = {"floor", 70, 110, 70};
constexpr ProbeColour kWall = {"wall", 150, 150, 165};
constexpr ProbeColour kCrate = {"crate", 200, 40, 40};
constexpr ProbeColour kCable = {"cable", 255, 120, 0};

// DirectInput codes of the keys played.
constexpr int kEscape = 0x01;
constexpr int kW = 0x11;
constexpr int kD = 0x20;
constexpr int kSpace = 0x39;

// The first level's layout (runtime/game/levels/level1/config.xml), cells written "x z" as the
// scripts log them: the crate starts two cells ahead of the player and comes to rest against the
// wall; the socket lies in the lower left corner, its cable 6 cells long.
const std::string kCrateStart = "3 6";
const std::string kCrateArrival = "5 6";

// The window is shrunk so that software rendering keeps up; the menu scales with it.
constexpr int kWidth = 400;
constexpr int kHeight = 300;
// The "Play" and "Level 2" buttons' centres in the menu's design space.
constexpr double kButtonX = 100 + 256 / 2;
constexpr double kPlayY = 300 + 96 / 2;
constexpr double kLevel2Y = 190 + 96 / 2;

// Limits: one per step, one for the whole run.
constexpr auto kWholeRun = 240s;
constexpr auto kStartUp = 90s;
constexpr auto kStep = 30s;

std::string Key(int code, const char* action) {
  return "key " + std::to_string(code) + " " + action + "\n";
}

std::string Click(const GameSession& session, double x, double y) {
  return "mouse " + session.MenuPoint(x, y) + "\nbutton 0 down\nframes 2\nbutton 0 up\n";
}

// The text of the game log's last node tree.
std::string LastNodeTree(const std::string& gameLog) {
  const size_t at = gameLog.rfind("G A M E   T R E E:");
  return at == std::string::npos ? std::string() : gameLog.substr(at);
}

// Start-up to the menu: the logo in the centre while it plays, then the menu without it.
void StartToMenu(GameSession& session) {
  session.SetWindowSize(kWidth, kHeight);
  session.Start();
  ASSERT_TRUE(session.Await(Log::Script, "GameCoreModule: first frame", kStartUp));
  const Screenshot logo = session.Shoot("01-logo.png", kStep);
  ASSERT_TRUE(logo.Loaded()) << logo.Path();
  EXPECT_GT(logo.Share(kLogo, {0.4, 0.4, 0.6, 0.6}), 0.8) << logo.Path();

  ASSERT_TRUE(session.Await(Log::Script, "DEMO: menu shown", kStep));
  const Screenshot menu = session.Shoot("02-menu.png", kStep);
  ASSERT_TRUE(menu.Loaded()) << menu.Path();
  EXPECT_GT(menu.Share(kMenuBackground), 0.3) << menu.Path();
  EXPECT_LT(menu.Share(kLogo, {0.4, 0.4, 0.6, 0.6}), 0.02) << menu.Path();
}

// "Play" clicked: the first level loads and shows its floor, walls and crate.
void PlayFirstLevel(GameSession& session, Screenshot* shown) {
  session.Command(Click(session, kButtonX, kPlayY));
  ASSERT_TRUE(session.Await(Log::Game, ">> Loading level 'level1'\n", kStep));
  ASSERT_TRUE(session.Await(Log::Game, "  - Found level 'level1'\n", kStep));
  ASSERT_TRUE(session.Await(Log::Script, "DEMO: level loaded level1", kStep));
  *shown = session.Shoot("03-level.png", kStep);
  ASSERT_TRUE(shown->Loaded()) << shown->Path();
  for (const ProbeColour& colour : {kFloor, kWall, kCrate})
    EXPECT_GT(shown->Share(colour), 0.005) << colour.name << " in " << shown->Path();
}

// The crate pushed from its start and come to rest on the layout's cell.
::testing::AssertionResult CrateArrivesAsLaidOut(GameSession& session) {
  std::string pushedFrom, arrivedAt;
  if (!session.AwaitLine(Log::Script, "DEMO: crate pushed ", kStep, &pushedFrom) ||
      !session.AwaitLine(Log::Script, "DEMO: crate arrived ", kStep, &arrivedAt))
    return ::testing::AssertionFailure()
           << "the crate was not pushed from " << kCrateStart << " to " << kCrateArrival
           << " (pushed from \"" << pushedFrom << "\", arrived at \"" << arrivedAt << "\")";
  if (pushedFrom != kCrateStart || arrivedAt != kCrateArrival)
    return ::testing::AssertionFailure()
           << "the crate went from " << pushedFrom << " to " << arrivedAt << ", the layout has it go from "
           << kCrateStart << " to " << kCrateArrival;
  return ::testing::AssertionSuccess();
}

// W held: the player steps forward and pushes the crate against the wall; the crate then lies
// farther from the camera, higher on the screen and smaller.
void PushCrate(GameSession& session, const Screenshot& before) {
  session.Command(Key(kW, "down"));
  ASSERT_TRUE(session.Await(Log::Script, "DEMO: step started ", kStep));
  ASSERT_TRUE(CrateArrivesAsLaidOut(session));
  session.Command(Key(kW, "up"));
  const Screenshot after = session.Shoot("04-pushed.png", kStep);
  ASSERT_TRUE(after.Loaded()) << after.Path();
  const Screenshot::Patch was = before.Find(kCrate), is = after.Find(kCrate);
  EXPECT_GT(is.pixels, 0) << after.Path();
  EXPECT_LT(is.row, was.row) << before.Path() << " " << after.Path();
  EXPECT_LT(is.pixels, was.pixels) << before.Path() << " " << after.Path();
}

// Escape in the level: its nodes leave the tree and the menu comes back; "Level 2" loads the
// mini level, whose generations follow one another while W is held; Escape, Escape: the exit.
void SecondLevelAndExit(GameSession& session) {
  session.Command(Key(kW, "up") + "tap " + std::to_string(kEscape) + "\n");
  ASSERT_TRUE(session.Await(Log::Script, "DEMO: level unloaded", kStep));
  ASSERT_TRUE(session.Await(Log::Script, "DEMO: menu shown", kStep));
  const std::string tree = LastNodeTree(session.Read(Log::Game));
  EXPECT_NE(tree.find("MainMenu"), std::string::npos) << tree;
  for (const char* levelNode : {"level1", "GamePlayer", "Crate", "Walker", "Socket"})
    EXPECT_EQ(tree.find(levelNode), std::string::npos) << levelNode << " in " << tree;

  session.Command(Click(session, kButtonX, kLevel2Y));
  ASSERT_TRUE(session.Await(Log::Game, ">> Loading level 'level2'\n", kStep));
  ASSERT_TRUE(session.Await(Log::Script, "DEMO: level loaded level2", kStep));
  session.Command(Key(kW, "down"));
  ASSERT_TRUE(session.Await(Log::Script, "DEMO: generation entered ", kStep));
  session.Command(Key(kW, "up") + "tap " + std::to_string(kEscape) + "\n");
  ASSERT_TRUE(session.Await(Log::Script, "DEMO: level unloaded", kStep));
  ASSERT_TRUE(session.Await(Log::Script, "DEMO: menu shown", kStep));
  session.Command("tap " + std::to_string(kEscape) + "\n");
  ASSERT_TRUE(session.Await(Log::Script, "DEMO: exit", kStep));
}

// The error log's lines that a good run still writes, each with why it is there.
const struct {
  const char* line;
  const char* reason;
} kExpectedErrors[] = {
    {"", ""},
};

bool ExpectedError(const std::string& line) {
  for (const auto& expected : kExpectedErrors)
    if (*expected.line && line.find(expected.line) != std::string::npos) return true;
  return false;
}

// What the logs say of a whole, good run.
void CheckLogsAfterRun(GameSession& session) {
  const std::string gameLog = session.Read(Log::Game);
  EXPECT_TRUE(InOrder(gameLog, {"Vantor Game Engine - version 0.1 build 298\n",
                                "-Loading Game Tree from 'cfg\\config.xml'\n",
                                "-Adding virtual disk 'zkr\\vge.zkr'\n",
                                "G A M E   T R E E:\n",
                                ">> Loading level 'level1'\n",
                                ">> Loading level 'level2'\n",
                                "~Deleted geCGameCore\n",
                                "-----------> Closed on ",
                                "Statistics:\n\tnumber of unremoved objects: 0\n"}))
      << gameLog;

  const std::string scriptLog = session.Read(Log::Script);
  for (const char* bad : {"Register failed", "EXCEPTION", "Unexpected error"})
    EXPECT_EQ(scriptLog.find(bad), std::string::npos) << bad << " in " << scriptLog;

  const std::string engineLog = session.Read(Log::Engine);
  EXPECT_TRUE(InOrder(engineLog, {"- Archive zkr\\vge.zkr Contains ",
                                  "- Loading Scene: game\\levels\\level1\\level1.zks\n"}))
      << engineLog;
  const std::string closing = "----- ZeKorb Debugger Closed Successfully -----";
  EXPECT_EQ(engineLog.rfind(closing), engineLog.find_last_not_of("\r\n") + 1 - closing.size())
      << "the engine log does not end with its closing line";

  const std::string errors = session.Read(Log::EngineError);
  size_t begin = 0;
  for (size_t end; (end = errors.find('\n', begin)) != std::string::npos; begin = end + 1) {
    const std::string line = errors.substr(begin, end - begin);
    EXPECT_TRUE(line.empty() || ExpectedError(line)) << "unexpected engine error: " << line;
  }

  const std::string soundLog = session.Read(Log::Sound);
  EXPECT_TRUE(InOrder(soundLog, {"menu_music.ogg", "level_music.ogg"})) << soundLog;
  for (const char* effect : {"push.wav", "plug.wav"})
    EXPECT_NE(soundLog.find(effect), std::string::npos) << effect << " in " << soundLog;
  EXPECT_EQ(soundLog.find("OpenAL Error"), std::string::npos) << soundLog;
}

void PlayWholeSession(GameSession& session) {
  ASSERT_NO_FATAL_FAILURE(StartToMenu(session));
  Screenshot level("");
  ASSERT_NO_FATAL_FAILURE(PlayFirstLevel(session, &level));
  ASSERT_NO_FATAL_FAILURE(PushCrate(session, level));
  ASSERT_NO_FATAL_FAILURE(SecondLevelAndExit(session));
  EXPECT_EQ(session.End(kStep), 0) << session.Game().Output();
  CheckLogsAfterRun(session);
}

TEST(DemoSession, PlaysTwiceOnOneCopyTheSecondTimeFromTheCaches) {
  GameSession session(2 * kWholeRun);
  ASSERT_NO_FATAL_FAILURE(PlayWholeSession(session));
  const std::string firstScriptLog = session.Read(Log::Script);
  EXPECT_NE(firstScriptLog.find("- Generatting binary version to file "), std::string::npos);

  ASSERT_NO_FATAL_FAILURE(PlayWholeSession(session));
  const std::string scriptLog = session.Read(Log::Script);
  EXPECT_EQ(scriptLog.find("- Compiling AS script module "), std::string::npos) << scriptLog;
  EXPECT_NE(scriptLog.find("- Loading binary version from file "), std::string::npos) << scriptLog;
}

// A game module that does not compile: the game ends at once with the build failure's box on
// standard error and exit code 1, and the first wait says so instead of running out of time.
TEST(DemoSession, AGameModuleThatDoesNotCompileEndsTheRunWithItsMessage) {
  GameSession session(kWholeRun);
  ASSERT_TRUE(session.Edit("game/scripts/GameCore.as", "void main()", "void main("));
  session.Start();
  const ::testing::AssertionResult reached =
      session.Await(Log::Script, "GameCoreModule: first frame", kStartUp);
  ASSERT_FALSE(reached);
  EXPECT_NE(std::string(reached.message()).find("the game ended first, with exit code 1"),
            std::string::npos)
      << reached.message();
  EXPECT_NE(std::string(reached.message())
                .find("Vantor - AngelScript ERROR: ERROR Building AngelScript file"),
            std::string::npos)
      << reached.message();
  EXPECT_EQ(session.End(kStep), 1);
}

// The crate laid one cell off the player's row: the push never happens and the arrival check
// says where the layout wanted the crate.
TEST(DemoSession, ACrateMovedOneCellFailsTheArrivalCheck) {
  GameSession session(kWholeRun);
  ASSERT_TRUE(session.Edit("game/levels/level1/config.xml", "InitX=\"3.5\" InitY=\"0\" InitZ=\"6.5\"",
                           "InitX=\"3.5\" InitY=\"0\" InitZ=\"5.5\""));
  ASSERT_NO_FATAL_FAILURE(StartToMenu(session));
  Screenshot level("");
  ASSERT_NO_FATAL_FAILURE(PlayFirstLevel(session, &level));
  session.Command(Key(kW, "down"));
  const ::testing::AssertionResult arrived = CrateArrivesAsLaidOut(session);
  ASSERT_FALSE(arrived);
  EXPECT_NE(std::string(arrived.message()).find("was not pushed from 3 6 to 5 6"), std::string::npos)
      << arrived.message();
}

}  // namespace
