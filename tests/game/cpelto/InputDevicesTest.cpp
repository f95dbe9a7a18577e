// The game core's input devices: the joystick's directions and buttons in the key tables frame by
// frame, the button mapping, the key-binding file read at start-up and the cursor kept in the
// window on an input reset.
#include <gtest/gtest.h>

#include <set>

#include "PeltoCoreFixture.h"
#include "TestWindow.h"
#include "cpelto/GameInputs.h"
#include "cpelto/JoystickButtonMap.h"
#include "cpelto/KeyQuery.h"
#include "framework/InputState.h"
#include "zktest/ZkTestInput.h"

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;
constexpr DWORD kLeft = 288, kRight = 289, kUp = 290, kDown = 291, kButton0 = 292;
constexpr const char* kDefaultBindings =
    "<KeyBindings move_forward=\"17\" move_back=\"31\" rotate_left=\"30\" rotate_right=\"32\" "
    "strite_left=\"44\" strite_right=\"45\" show_map=\"15\" camera_one=\"2\" camera_two=\"3\" "
    "camera_fpp=\"4\" jump=\"28\" shoot=\"57\" back_to_menu=\"1\" look_left=\"42\" "
    "look_right=\"29\" />\n";

DWORD Incoming(DWORD key) { return g_dwIncomingKeys[key].load(kRelaxed); }
void SetIncoming(DWORD key, DWORD value) { g_dwIncomingKeys[key].store(value, kRelaxed); }

class InputDevicesTest : public PeltoCoreTest {
 protected:
  void SetUp() override {
    PeltoCoreTest::SetUp();
    ShowWindow(m_window.Handle(), SW_SHOW);
    m_window.Pump();
    m_engine.window = m_window.Handle();
    geClearKeyTable(g_dwIncomingKeys);
    geClearKeyTable(g_dwCurrentKeys);
    geClearKeyTable(g_dwLastKeys);
    WriteLevelSetup("", "");
    m_folder.Write("game/levels/.keep", "");
  }
  void TearDown() override {
    PeltoCoreTest::TearDown();
    if (m_stick >= 0) ZkTestInputDetachJoystick(m_stick);
  }
  void StartWithStick() {
    m_stick = ZkTestInputAttachJoystick(2, 16, 0);
    ASSERT_GE(m_stick, 0);
    m_window.Pump();
    StartCore();
    ASSERT_TRUE(CGameInputs::GetInstance()->HasJoystick());
  }
  void Frames(int count) {
    for (int i = 0; i < count; ++i) {
      m_window.Pump();
      m_core->UpdateKeyStates();
    }
  }
  // Sets `keys` to a marker no frame writes, so a later write shows.
  static void Mark(const std::set<DWORD>& keys) {
    for (DWORD key : keys) SetIncoming(key, 7);
  }
  // Every incoming entry but `changed` still holds what `before` saw.
  static void ExpectOnlyChanged(const std::vector<DWORD>& before, const std::set<DWORD>& changed) {
    for (DWORD key = 0; key < static_cast<DWORD>(kKeyTableSize); ++key)
      if (!changed.count(key)) {
        EXPECT_EQ(Incoming(key), before[key]) << "key " << key;
      }
  }
  static std::vector<DWORD> Snapshot() {
    std::vector<DWORD> keys(kKeyTableSize);
    for (int key = 0; key < kKeyTableSize; ++key) keys[key] = Incoming(static_cast<DWORD>(key));
    return keys;
  }

  TestWindow m_window;
  int m_stick = -1;
};

TEST_F(InputDevicesTest, WithoutAJoystickTheGameRunsOnAndItsCodesStayZero) {
  CTestPeltoCore& core = StartCore();
  ExpectInOrder(GameLog(), {"-MOUSE: setting action mapping\n", "-DInput Initializing...\n",
                            " - Joystick not found\n", "-Done.\n",
                            "NOT EXIST, can't load file 'game\\config\\keybindings.xml', "
                            "generating defaults\n"});
  ASSERT_NE(CGameInputs::GetInstance(), nullptr);
  EXPECT_EQ(CGameInputs::GetInstance()->GetWindow(), m_window.Handle());
  // The missing file is written from the table as constructed.
  EXPECT_EQ(Read("game/config/keybindings.xml"), kDefaultBindings);
  // Buttons 0 to 7 press the eight bindings after the directions.
  const DWORD mapped[8] = {44, 45, 15, 2, 3, 4, 28, 57};
  for (int button = 0; button < 8; ++button)
    EXPECT_EQ(g_JoystickButtonMap.Get(button), mapped[button]) << button;

  SetIncoming(30, 1);
  for (int i = 0; i < 5; ++i) {
    EXPECT_TRUE(core.ProcessFrame());
    Frames(1);
  }
  for (DWORD code = kLeft; code <= kButton0 + 15; ++code)
    EXPECT_EQ(g_dwCurrentKeys[code].load(kRelaxed), 0u) << code;
  // The keyboard's key still reaches the current table through the framework's rotation.
  bool wasDown = false;
  EXPECT_EQ(QueryKey(30, &wasDown), 1u);
  EXPECT_TRUE(wasDown);

  DestroyCore();
  EXPECT_EQ(CGameInputs::GetInstance(), nullptr);
  EXPECT_TRUE(Contains(GameLog(), "-DInput Unacquired\n"));
}

TEST_F(InputDevicesTest, FullDeflectionsWriteTheirKeysOnceAndTheCentreReleasesAllFour) {
  StartWithStick();
  const KeyBindings& keys = m_core->GetKeyBindings();
  ZkTestInputJoystickAxis(m_stick, 0, 32767);
  Frames(3);
  EXPECT_EQ(Incoming(keys.rotate_right), 1u);
  EXPECT_EQ(Incoming(kRight), 1u);
  EXPECT_EQ(Incoming(keys.rotate_left), 0u);
  EXPECT_EQ(Incoming(kLeft), 0u);
  bool wasDown = false;
  EXPECT_EQ(QueryKey(kRight, &wasDown), 1u);
  EXPECT_TRUE(wasDown);

  // Held for many frames: nothing is written again, so the keyboard's release of the same key
  // stands.
  Mark({keys.rotate_right, kRight, keys.rotate_left, kLeft});
  Frames(20);
  for (DWORD key : {keys.rotate_right, kRight, keys.rotate_left, kLeft}) EXPECT_EQ(Incoming(key), 7u);

  // Back to the centre: all four released, once.
  ZkTestInputJoystickAxis(m_stick, 0, 0);
  Frames(1);
  for (DWORD key : {keys.rotate_right, kRight, keys.rotate_left, kLeft}) EXPECT_EQ(Incoming(key), 0u);
  // A keyboard key of the same binding is not overwritten while the stick rests.
  SetIncoming(keys.rotate_left, 1);
  Frames(20);
  EXPECT_EQ(Incoming(keys.rotate_left), 1u);
  EXPECT_EQ(g_dwCurrentKeys[keys.rotate_left].load(kRelaxed), 1u);
}

TEST_F(InputDevicesTest, OnlyTheFullDeflectionOfEachAxisCountsAsADirection) {
  StartWithStick();
  const KeyBindings& keys = m_core->GetKeyBindings();
  const struct {
    int axis;
    SHORT raw;
    DWORD pressedKey, pressedCode;
  } cases[] = {{0, -32768, keys.rotate_left, kLeft},
               {1, -32768, keys.move_forward, kUp},
               {1, 32767, keys.move_back, kDown}};
  for (const auto& one : cases) {
    SCOPED_TRACE(one.raw);
    const std::vector<DWORD> before = Snapshot();
    ZkTestInputJoystickAxis(m_stick, one.axis, one.raw);
    Frames(2);
    const std::set<DWORD> axisKeys =
        one.axis == 0 ? std::set<DWORD>{keys.rotate_left, keys.rotate_right, kLeft, kRight}
                      : std::set<DWORD>{keys.move_forward, keys.move_back, kUp, kDown};
    for (DWORD key : axisKeys)
      EXPECT_EQ(Incoming(key), key == one.pressedKey || key == one.pressedCode ? 1u : 0u) << key;
    ExpectOnlyChanged(before, axisKeys);
  }
  // Short of full deflection: released.
  ZkTestInputJoystickAxis(m_stick, 1, 32000);
  Frames(1);
  for (DWORD key : {keys.move_forward, keys.move_back, kUp, kDown}) EXPECT_EQ(Incoming(key), 0u);
}

TEST_F(InputDevicesTest, ButtonsDriveTheirCodesAndTheKeysTheyAreMappedTo) {
  StartWithStick();
  g_JoystickButtonMap.Map(9, JoystickButtonMap::kUnmapped);
  g_JoystickButtonMap.Map(10, 600);  // beyond the key tables
  Frames(1);
  const struct {
    int button;
    std::set<DWORD> pressed;
  } cases[] = {
      {0, {kButton0, 44}},  // strite_left
      {9, {kButton0 + 9}},
      {10, {kButton0 + 10}},
  };
  for (const auto& one : cases) {
    SCOPED_TRACE(one.button);
    const std::vector<DWORD> before = Snapshot();
    ZkTestInputJoystickButton(m_stick, one.button, TRUE);
    Frames(1);
    for (DWORD key : one.pressed) EXPECT_EQ(Incoming(key), 1u) << key;
    ExpectOnlyChanged(before, one.pressed);
    // Held: written once.
    Mark(one.pressed);
    Frames(3);
    for (DWORD key : one.pressed) EXPECT_EQ(Incoming(key), 7u) << key;
    ZkTestInputJoystickButton(m_stick, one.button, FALSE);
    Frames(1);
    for (DWORD key : one.pressed) EXPECT_EQ(Incoming(key), 0u) << key;
  }
  // A script's remapping: out of range buttons change nothing.
  JoystickButtonMap map = g_JoystickButtonMap;
  MapJoystickButtons(16, 5);
  MapJoystickButtons(-1, 5);
  for (int button = 0; button < JoystickButtonMap::kButtons; ++button)
    EXPECT_EQ(g_JoystickButtonMap.Get(button), map.Get(button)) << button;
  MapJoystickButtons(9, 5);
  EXPECT_EQ(g_JoystickButtonMap.Get(9), 5u);
  ZkTestInputJoystickButton(m_stick, 9, TRUE);
  Frames(1);
  EXPECT_EQ(Incoming(5), 1u);
}

TEST_F(InputDevicesTest, TheCursorIsCentredOnceAndClippedOnEveryInputReset) {
  SetWindowPos(m_window.Handle(), nullptr, 100, 50, 320, 240, SWP_NOZORDER);
  m_window.Pump();
  CTestPeltoCore& core = StartCore();
  ClipCursor(nullptr);
  SetCursorPos(5, 5);
  core.ProcessFrame();
  POINT cursor = {};
  RECT clip = {};
  ASSERT_TRUE(GetCursorPos(&cursor));
  ASSERT_TRUE(GetClipCursor(&clip));
  // Half the bottom-right corner's screen position.
  EXPECT_EQ(cursor.x, 210);
  EXPECT_EQ(cursor.y, 145);
  EXPECT_EQ(clip.left, 100);
  EXPECT_EQ(clip.top, 50);
  EXPECT_EQ(clip.right, 420);
  EXPECT_EQ(clip.bottom, 290);
  EXPECT_EQ(core.GetCursorClipped(), 1u);

  // Without a reset request nothing is confined.
  ClipCursor(nullptr);
  RECT unclipped = {};
  GetClipCursor(&unclipped);
  core.ProcessFrame();
  GetClipCursor(&clip);
  EXPECT_EQ(clip.right, unclipped.right);

  // A later reset clips again but leaves the cursor where it is.
  SetCursorPos(300, 200);
  core.RequestInputReset();
  core.ProcessFrame();
  GetCursorPos(&cursor);
  GetClipCursor(&clip);
  EXPECT_EQ(cursor.x, 300);
  EXPECT_EQ(cursor.y, 200);
  EXPECT_EQ(clip.left, 100);
  EXPECT_EQ(clip.bottom, 290);
  ClipCursor(nullptr);
}

TEST_F(InputDevicesTest, TheKeyBindingFileAppliesOnlyTheAttributesItHas) {
  m_folder.Write("game/config/keybindings.xml",
                 R"(<KeyBindings rotate_left="203" jump="57" unknown="3"/>)");
  CTestPeltoCore& core = StartCore();
  EXPECT_FALSE(Contains(GameLog(), "NOT EXIST"));
  KeyBindings expected = DefaultKeyBindings();
  expected.rotate_left = 203;
  expected.jump = 57;
  for (const KeyBindingEntry& entry : kKeyBindingEntries)
    EXPECT_EQ(core.GetKeyBindings().*entry.pField, expected.*entry.pField) << entry.szName;
  // Joystick buttons took the bindings as constructed, before the file was read.
  EXPECT_EQ(g_JoystickButtonMap.Get(6), 28u);

  // Saved, changed and loaded again: the saved table comes back.
  core.SaveKeybindings();
  core.GetKeyBindings() = DefaultKeyBindings();
  core.LoadKeybindings();
  for (const KeyBindingEntry& entry : kKeyBindingEntries)
    EXPECT_EQ(core.GetKeyBindings().*entry.pField, expected.*entry.pField) << entry.szName;
}

}  // namespace

namespace {

TEST(KeyQueryTest, ReadsThisFrameAndWhetherTheLastWasExactlyOne) {
  const struct {
    DWORD key, current, last;
    DWORD state;
    bool wasDown;
  } cases[] = {{30, 1, 0, 1, false}, {30, 0, 1, 0, true}, {307, 1, 2, 1, false},
               {511, 3, 1, 3, true}, {512, 0, 0, 0, false}, {0xFFFFFFFF, 0, 0, 0, false}};
  for (const auto& one : cases) {
    if (one.key < static_cast<DWORD>(kKeyTableSize)) {
      g_dwCurrentKeys[one.key].store(one.current, kRelaxed);
      g_dwLastKeys[one.key].store(one.last, kRelaxed);
    }
    bool wasDown = !one.wasDown;
    EXPECT_EQ(QueryKey(one.key, &wasDown), one.state) << one.key;
    EXPECT_EQ(wasDown, one.wasDown) << one.key;
  }
  geClearKeyTable(g_dwCurrentKeys);
  geClearKeyTable(g_dwLastKeys);
}

}  // namespace
