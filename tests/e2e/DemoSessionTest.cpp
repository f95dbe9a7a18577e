// The demo played whole, as a player would: the studio logo, the menu, the first level with its
// crate, socket and cable and walking entity, back to the menu, the second level, and the exit;
// then what the logs say of the run. A second run on the same copy finds the bytecode caches and
// the key bindings of the first. Broken data makes the checks fail with a clear message.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "DemoColours.h"
#include "GameSession.h"

namespace {

using namespace std::chrono_literals;
using Log = GameSession::Log;

using namespace demo_colours;

// DirectInput codes of the keys played.
constexpr int kEscape = 0x01;
constexpr int kW = 0x11;
constexpr int kD = 0x20;
constexpr int kSpace = 0x39;

// The first level's layout (runtime/game/levels/level1/config.xml), cells written "x z" as the
// scripts log them: the player starts on (1, 6) facing east, the crate two cells ahead of it
// comes to rest against the wall on (6, 6); turned south the player walks to the wall on row 0,
// turned west to the socket on (1, 1), whose cable of 6 cells ends on (7, 1) eastwards. The
// walking entity goes to and fro along row 3, from (1, 3) to (8, 3).
const std::string kCrateStart = "3 6";
const std::string kCrateArrival = "5 6";
const std::string kSouthLegStart = "4 6";
const std::string kWestLegStart = "4 1";
const std::string kSocket = "1 1";
constexpr int kSocketRow = 1;
constexpr int kCableLength = 6;
constexpr int kEntityRow = 3;
constexpr int kEntityPathFirst = 1;
constexpr int kEntityPathLast = 8;

// The window is shrunk so that software rendering keeps up; the menu scales with it.
constexpr int kWidth = 400;
constexpr int kHeight = 300;
// The "Play" and "Level 2" buttons' centres in the menu's design space.
constexpr double kButtonX = 100 + 256 / 2;
constexpr double kPlayY = 300 + 96 / 2;
constexpr double kLevel2Y = 190 + 96 / 2;

// How far down the screen, at least, a patch moves when it comes one cell nearer the camera.
constexpr double kCellNearer = 0.015;

// Limits: one per step, one for the whole run.
constexpr auto kWholeRun = 240s;
constexpr auto kStartUp = 90s;
constexpr auto kStep = 30s;

std::string Key(int code, const char* action) {
  return "key " + std::to_string(code) + " " + action + "\n";
}

// The engine's input thread reports a key or button only when it sees its state change between
// two of its polls, and the game copies what it reported once a frame. So an input is held, and
// stays let go, for a while of the clock and for frames: a press shorter than a poll goes unseen,
// and a release followed at once by the next press of the same key or button makes one press.
constexpr char kHold[] = "wait 50\nframes 2\n";
constexpr char kLetGo[] = "wait 50\nframes 2\n";

// A key pressed and let go. A turn (a third of a second) takes longer than the hold, so a press
// turns once.
std::string Press(int code) { return Key(code, "down") + kHold + Key(code, "up") + kLetGo; }

// Nothing is logged when the player stands, so the game's clock is given the time it needs:
// a step ends a second or so after W is let go, and a leg of the walk (five cells at one cell a
// second, ended by a wall) takes a few seconds.
constexpr char kStepTime[] = "wait 1500\n";
constexpr char kLegTime[] = "wait 7000\n";

// W let go and a key pressed once the step under way has ended: the player turns only when
// standing.
std::string StopThenPress(int code) { return Key(kW, "up") + kStepTime + Press(code); }
// A turn, then W held for a leg of the walk.
std::string TurnAndWalkALeg() { return StopThenPress(kD) + kStepTime + Key(kW, "down") + kLegTime; }

std::string Click(const GameSession& session, double x, double y) {
  return "mouse " + session.MenuPoint(x, y) + "\nbutton 0 down\n" + kHold + "button 0 up\n" +
         kLetGo;
}

// The next node tree the game logs: a node a line from its heading to an empty line.
::testing::AssertionResult AwaitNodeTree(GameSession& session, std::string* tree) {
  return session.AwaitSection(Log::Game, "G A M E   T R E E:\n", "\n\n", kStep, tree);
}

// The first level's nodes as the game log's node tree shows them.
constexpr const char* kLevelNodes[] = {"-CPeltoLevel (", "-GamePlayer (", "-Crate (",
                                       "-Walker (",      "-SubPlayer (",  "-Socket ("};

// Start-up to the menu: the logo in the centre while it plays, then the menu without it.
void StartToMenu(GameSession& session) {
  session.SetWindowSize(kWidth, kHeight);
  session.Start();
  ASSERT_TRUE(session.Await(Log::Script, "GameCoreModule: first frame\n", kStartUp));
  const Screenshot logo = session.Shoot("01-logo.png", kStep);
  ASSERT_TRUE(logo.Loaded()) << logo.Path();
  EXPECT_GT(logo.Share(kLogo, kCentre), 0.8) << logo.Path();

  ASSERT_TRUE(session.Await(Log::Script, "DEMO: menu shown\n", kStep));
  const Screenshot menu = session.Shoot("02-menu.png", kStep);
  ASSERT_TRUE(menu.Loaded()) << menu.Path();
  EXPECT_GT(menu.Share(kMenuBackground), 0.3) << menu.Path();
  EXPECT_LT(menu.Share(kLogo, kCentre), 0.02) << menu.Path();
}

// "Play" clicked: the first level loads, its nodes in the tree.
void PlayFirstLevel(GameSession& session) {
  session.Command(Click(session, kButtonX, kPlayY));
  ASSERT_TRUE(session.Await(Log::Game, ">> Loading level 'level1'\n", kStep));
  ASSERT_TRUE(session.Await(Log::Game, "  - Found level 'level1'\n", kStep));
  ASSERT_TRUE(session.Await(Log::Script, "DEMO: level loaded level1\n", kStep));
  std::string tree;
  ASSERT_TRUE(AwaitNodeTree(session, &tree));
  for (const char* levelNode : kLevelNodes)
    EXPECT_NE(tree.find(levelNode), std::string::npos) << levelNode << " not in " << tree;
}

// The level on screen: its floor, walls and crate.
void ShowsFirstLevel(GameSession& session, Screenshot* shown) {
  *shown = session.Shoot("03-level.png", kStep);
  ASSERT_TRUE(shown->Loaded()) << shown->Path();
  for (const ProbeColour& colour : {kFloor, kWall, kCrate})
    EXPECT_GT(shown->Share(colour), 0.005) << colour.name << " in " << shown->Path();
}

// The crate pushed from its start, a cell a step, and come to rest on the layout's cell.
::testing::AssertionResult CrateArrivesAsLaidOut(GameSession& session) {
  std::string pushedFrom, arrivedAt;
  ::testing::AssertionResult pushed =
      session.AwaitLine(Log::Script, "DEMO: crate pushed ", kStep, &pushedFrom);
  if (!pushed)
    return ::testing::AssertionFailure() << "the crate was never pushed: " << pushed.message();
  if (pushedFrom != kCrateStart)
    return ::testing::AssertionFailure() << "the crate was first pushed from " << pushedFrom
                                         << "; the layout has it start on " << kCrateStart;
  // One arrival a cell pushed; the layout's cell is a few cells on at most.
  for (int cell = 0; cell < 10 && arrivedAt != kCrateArrival; ++cell)
    if (!session.AwaitLine(Log::Script, "DEMO: crate arrived ", kStep, &arrivedAt))
      return ::testing::AssertionFailure() << "the crate stopped on " << arrivedAt
                                           << "; the layout has it rest on " << kCrateArrival;
  return ::testing::AssertionSuccess();
}

// W held: the player steps forward and pushes the crate against the wall. The level's camera
// hangs behind the player and keeps it in one place on the screen, so what the screen shows is
// the crate relative to the player: two cells ahead of it before, one cell after (the player
// walked three cells, the crate two). The crate has come nearer the camera, down the screen.
void PushCrate(GameSession& session, const Screenshot& before) {
  session.Command(Key(kW, "down"));
  ASSERT_TRUE(session.Await(Log::Script, "DEMO: step started ", kStep));
  ASSERT_TRUE(CrateArrivesAsLaidOut(session));
  const Screenshot after = session.Shoot("04-pushed.png", kStep);
  ASSERT_TRUE(after.Loaded()) << after.Path();
  const Screenshot::Patch was = before.Find(kCrate), is = after.Find(kCrate);
  EXPECT_GT(is.pixels, 0) << after.Path();
  // A cell nearer moves it by a few hundredths of the screen's height; a push that never
  // happened, or a crate the camera lost, does not.
  EXPECT_GT(is.row, was.row + kCellNearer) << before.Path() << " " << after.Path();
}

// The player turns south and walks to the wall, turns west and walks onto the socket, which
// offers itself; Space plugs the cable in. Turned east, the sub player walks out along the
// socket's row, the cable counting down, until the cable's length ends the link there.
void PlugAndWalkTheCableOut(GameSession& session) {
  session.Command(TurnAndWalkALeg() + TurnAndWalkALeg());
  ASSERT_TRUE(session.Await(Log::Script, "DEMO: step started " + kSouthLegStart + "\n", kStep));
  ASSERT_TRUE(session.Await(Log::Script, "DEMO: step started " + kWestLegStart + "\n", kStep));
  ASSERT_TRUE(session.Await(Log::Script, "DEMO: socket offered " + kSocket + "\n", kStep));
  session.Command(StopThenPress(kSpace));
  ASSERT_TRUE(session.Await(Log::Script, "DEMO: plugged " + kSocket + "\n", kStep));

  session.Command(Press(kD) + kStepTime + Press(kD) + kStepTime + Key(kW, "down"));
  std::string lastCell;
  for (int x = 2; x <= 1 + kCableLength; ++x) {
    lastCell = std::to_string(x) + " " + std::to_string(kSocketRow);
    ASSERT_TRUE(session.Await(Log::Script, "DEMO: sub player cell " + lastCell + "\n", kStep));
    ASSERT_TRUE(session.Await(
        Log::Script, "DEMO: cable left " + std::to_string(kCableLength - (x - 1)) + "\n", kStep));
    if (x == 4) {
      const Screenshot cable = session.Shoot("05-cable.png", kStep);
      EXPECT_GT(cable.Share(kCable), 0.0005) << cable.Path();
    }
  }
  ASSERT_TRUE(session.Await(Log::Script, "DEMO: unplugged " + lastCell + "\n", kStep));
  session.Command(Key(kW, "up"));
}

// The walking entity has gone along its whole path, a cell at a time.
void CheckEntityWalked(const GameSession& session) {
  std::vector<std::string> steps;
  for (int x = kEntityPathFirst; x <= kEntityPathLast; ++x)
    steps.push_back("DEMO: entity step " + std::to_string(x) + " " + std::to_string(kEntityRow) +
                    "\n");
  EXPECT_TRUE(InOrder(session.Read(Log::Script), steps));
}

// Escape in the level: its nodes leave the tree and the menu comes back; "Level 2" loads the
// mini level, whose generations follow one another while W is held; Escape back to the menu.
void SecondLevel(GameSession& session) {
  session.Command(Key(kW, "up") + Press(kEscape));
  ASSERT_TRUE(session.Await(Log::Script, "DEMO: level unloaded\n", kStep));
  ASSERT_TRUE(session.Await(Log::Script, "DEMO: menu shown\n", kStep));
  std::string tree;
  ASSERT_TRUE(AwaitNodeTree(session, &tree));
  EXPECT_NE(tree.find("-MainMenu ("), std::string::npos) << tree;
  for (const char* levelNode : kLevelNodes)
    EXPECT_EQ(tree.find(levelNode), std::string::npos) << levelNode << " in " << tree;

  session.Command(Click(session, kButtonX, kLevel2Y));
  ASSERT_TRUE(session.Await(Log::Game, ">> Loading level 'level2'\n", kStep));
  ASSERT_TRUE(session.Await(Log::Script, "DEMO: level loaded level2\n", kStep));
  session.Command(Key(kW, "down"));
  ASSERT_TRUE(session.Await(Log::Script, "DEMO: generation entered ", kStep));
  session.Command(Key(kW, "up") + Press(kEscape));
  ASSERT_TRUE(session.Await(Log::Script, "DEMO: level unloaded\n", kStep));
  ASSERT_TRUE(session.Await(Log::Script, "DEMO: menu shown\n", kStep));
}

// Escape until the game exits: once in the menu, twice from a level that a failed step left.
void ExitGame(GameSession& session) {
  for (int presses = 0; presses < 3; ++presses) {
    session.Command(Press(kEscape));
    if (session.Await(Log::Script, "DEMO: exit\n", kStep)) return;
  }
  ADD_FAILURE() << "Escape did not end the game";
}

// The engine error log's lines that a good run still writes, each with why it is there; its
// banner, up to the first empty line, is no error either.
const struct {
  const char* line;
  const char* reason;
} kExpectedErrorLines[] = {
    {"- Archive zkr\\vge.zkr Contains ", "the error log names each archive mounted"},
    {"- Archive shaders\\shaders.zkr Contains ", "the error log names each archive mounted"},
    {"ERROR!!! - Can't Load the TOOL",
     "the engine looks for its optional developer tool library, which the game does not ship"},
    {"----- ZeKorb Debugger Closed Successfully -----", "the log's closing line"},
};

// The lines of the engine's error log that the list above does not explain, each once.
std::vector<std::string> UnexpectedErrorLines(const std::string& errorLog) {
  std::vector<std::string> unexpected;
  const size_t bannerEnd = errorLog.find("\n\n");
  size_t begin = bannerEnd == std::string::npos ? errorLog.size() : bannerEnd + 2;
  for (size_t end; (end = errorLog.find('\n', begin)) != std::string::npos; begin = end + 1) {
    const std::string line = errorLog.substr(begin, end - begin);
    bool expected = line.find_first_not_of(" \t\r") == std::string::npos;
    for (const auto& known : kExpectedErrorLines)
      expected = expected || line.find(known.line) != std::string::npos;
    if (!expected && std::find(unexpected.begin(), unexpected.end(), line) == unexpected.end())
      unexpected.push_back(line);
  }
  return unexpected;
}

// What the logs say of a whole, good run.
void CheckLogsAfterRun(GameSession& session) {
  const std::string gameLog = session.Read(Log::Game);
  EXPECT_TRUE(InOrder(gameLog, {"Vantor Game Engine - version 0.1 build 298\n",
                                "-Loading Game Tree from 'cfg\\config.xml'\n",
                                "-Adding virtual disk 'zkr\\vge.zkr'\n", "G A M E   T R E E:\n",
                                ">> Loading level 'level1'\n", ">> Loading level 'level2'\n",
                                "~Deleted geCGameCore\n", "-----------> Closed on ",
                                "Statistics:\n\tnumber of unremoved objects: 0\n"}))
      << gameLog;

  const std::string scriptLog = session.Read(Log::Script);
  for (const char* bad : {"Register failed", "EXCEPTION", "Unexpected error"})
    EXPECT_EQ(scriptLog.find(bad), std::string::npos) << bad << " in " << scriptLog;

  const std::string engineLog = session.Read(Log::Engine);
  // Both archives mounted, then the scenes read from the data archive, where alone they lie.
  EXPECT_TRUE(InOrder(
      engineLog, {"- Archive zkr\\vge.zkr Contains ", "- Archive shaders\\shaders.zkr Contains ",
                  "- Loading Scene: game\\levels\\level1\\level1.zks\n",
                  "- Loading Scene: objects\\crate.zks\n",
                  "- Loading Scene: game\\levels\\level2\\level2.zks\n"}))
      << engineLog;
  const std::string closing = "----- ZeKorb Debugger Closed Successfully -----";
  EXPECT_EQ(engineLog.rfind(closing), engineLog.find_last_not_of("\r\n") + 1 - closing.size())
      << "the engine log does not end with its closing line";

  for (const std::string& line : UnexpectedErrorLines(session.Read(Log::EngineError)))
    ADD_FAILURE() << "unexpected line in the engine's error log: " << line;

  const std::string soundLog = session.Read(Log::Sound);
  EXPECT_TRUE(InOrder(soundLog, {"- Loading Stream: sounds\\menu_music.ogg", "- Play Ogg",
                                 "- Loading Stream: sounds\\level_music.ogg", "- Play Ogg"}))
      << soundLog;
  for (const char* effect :
       {"- Loading Stream: sounds\\push.wav", "- Loading Stream: sounds\\plug.wav"})
    EXPECT_NE(soundLog.find(effect), std::string::npos) << effect << " in " << soundLog;
  EXPECT_EQ(soundLog.find("OpenAL Error"), std::string::npos) << soundLog;
}

void PlayWholeSession(GameSession& session) {
  ASSERT_NO_FATAL_FAILURE(StartToMenu(session));
  ASSERT_NO_FATAL_FAILURE(PlayFirstLevel(session));
  Screenshot level("");
  ASSERT_NO_FATAL_FAILURE(ShowsFirstLevel(session, &level));
  ASSERT_NO_FATAL_FAILURE(PushCrate(session, level));
  // The steps after the push go on after a failure, so that the run still ends and is checked.
  EXPECT_NO_FATAL_FAILURE(PlugAndWalkTheCableOut(session));
  EXPECT_NO_FATAL_FAILURE(SecondLevel(session));
  ExitGame(session);
  EXPECT_EQ(session.End(kStep), 0) << session.Game().Output();
  CheckEntityWalked(session);
  CheckLogsAfterRun(session);
}

TEST(DemoSession, PlaysTwiceOnOneCopyTheSecondTimeFromTheCaches) {
  GameSession session(2 * kWholeRun);
  // The second run goes on after a failed first one: it shows what the caches do either way.
  EXPECT_NO_FATAL_FAILURE(PlayWholeSession(session));
  const std::string firstScriptLog = session.Read(Log::Script);
  EXPECT_NE(firstScriptLog.find("- Generatting binary version to file "), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(session.Game().Bin("runtime/game/config/keybindings.xml")));

  EXPECT_NO_FATAL_FAILURE(PlayWholeSession(session));
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
      session.Await(Log::Script, "GameCoreModule: first frame\n", kStartUp);
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

// The crate laid one cell nearer the player: the arrival check says where the layout has it.
TEST(DemoSession, ACrateMovedOneCellFailsTheArrivalCheck) {
  GameSession session(kWholeRun);
  ASSERT_TRUE(session.Edit("game/levels/level1/config.xml",
                           "InitX=\"3.5\" InitY=\"0\" InitZ=\"6.5\"",
                           "InitX=\"2.5\" InitY=\"0\" InitZ=\"6.5\""));
  ASSERT_NO_FATAL_FAILURE(StartToMenu(session));
  ASSERT_NO_FATAL_FAILURE(PlayFirstLevel(session));
  session.Command(Key(kW, "down"));
  const ::testing::AssertionResult arrived = CrateArrivesAsLaidOut(session);
  ASSERT_FALSE(arrived);
  EXPECT_NE(
      std::string(arrived.message()).find("first pushed from 2 6; the layout has it start on 3 6"),
      std::string::npos)
      << arrived.message();
}

}  // namespace
