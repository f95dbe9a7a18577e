// The application core on the stand-in engine: start-up configuration, engine loading, the
// main loop's frame and the input callbacks.
#include <gtest/gtest.h>

#include <cstring>

#include "GameCoreFixture.h"
#include "framework/BaseNode.h"
#include "framework/InputState.h"
#include "framework/ProgramEntry.h"

extern "C" __attribute__((visibility("default"))) CZeKorbD3DInterface* ZkGameTestServedInterface(
    ApplicationDescriptor* descriptor) {
  CGameTestZeKorbInterface::LastDescriptor() = descriptor;
  return CGameTestZeKorbInterface::Served();
}

namespace {

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

struct PresetCase {
  DWORD scheme, backBuffer, p5, p8, p9, p10, p11;
  WORD B;
};

}  // namespace

TEST_F(GameCoreTest, BlocksCarryThePresetsOfEitherLightingModel) {
  struct Case {
    const char* perPixel;
    DWORD mask;
    std::vector<PresetCase> presets;
  } cases[] = {
      {"1", 0x74,
       {{0x20, 1024, 256, 0, 5, 2, 2, 256},
        {0x40, 1024, 128, 0, 5, 2, 2, 128},
        {0x04, 1024, 128, 2, 2, 2, 2, 128},
        {0x10, 1024, 256, 2, 2, 2, 2, 256}}},
      {"0", 0x26,
       {{0x20, 1024, 128, 0, 5, 2, 1, 128},
        {0x04, 1024, 128, 2, 2, 2, 1, 128},
        {0x02, 512, 64, 2, 2, 2, 1, 64}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.perPixel);
    WriteSettings(std::string("<Param use_perpixel=\"") + c.perPixel +
                  "\" width=\"1024\" height=\"768\"/>");
    StartCore();
    ASSERT_EQ(m_engine.initConfig, &g_ZeKorbConfig);
    const ZeKorbConfig& config = g_ZeKorbConfig;
    EXPECT_EQ(config.dwInputCooperativeFlags, 2u);
    EXPECT_EQ(config.dwInputPollInterval, 12u);
    EXPECT_EQ(config.dwInputValue, 1u);
    EXPECT_EQ(config.dwSize, sizeof(ZeKorbConfig));
    EXPECT_EQ(config.dwSchemeMask, c.mask);
    EXPECT_EQ(config.dwTechniqueMask, 0u);
    EXPECT_EQ(config.wWidth, 1024);
    EXPECT_EQ(config.wHeight, 768);
    EXPECT_EQ(config.dwUseSound, 1u);
    EXPECT_EQ(config.pTonarisConfig, &g_TonarisConfig);
    EXPECT_EQ(g_TonarisConfig.dwSize, 20u);
    EXPECT_EQ(g_TonarisConfig.dwDeviceIndex, 0xFFFFFFFFu);
    EXPECT_EQ(g_TonarisConfig.dwFlags, 2u);
    EXPECT_EQ(g_TonarisConfig.dwBufferCount1, 16u);
    EXPECT_EQ(g_TonarisConfig.dwBufferCount2, 16u);
    ASSERT_EQ(config.dwNumberOfPresets, c.presets.size());
    for (size_t i = 0; i < c.presets.size(); ++i) {
      SCOPED_TRACE(i);
      const ConfigureGFX& p = config.pPresets[i];
      const PresetCase& want = c.presets[i];
      EXPECT_EQ(p.szRenderingProfileLibrary, nullptr);
      EXPECT_EQ(p.dwSize, sizeof(ConfigureGFX));
      EXPECT_EQ(p.dwScheme, want.scheme);
      EXPECT_EQ(p.Surfaces[0].dwValue, 0x06000401u);
      EXPECT_EQ(p.Surfaces[1].dwValue, 0x401u);
      EXPECT_EQ(p.Surfaces[2].dwValue, 1u);
      EXPECT_EQ(p.Surfaces[3].dwValue, 1u);
      EXPECT_EQ(p.Surfaces[4].dwValue, 1u);
      EXPECT_EQ(p.Surfaces[2].wValue1, 1);  // p13
      EXPECT_EQ(p.Surfaces[2].wWidth, want.B);
      EXPECT_EQ(p.Surfaces[2].wHeight, want.B);
      EXPECT_EQ(p.Surfaces[3].wValue1, 1);  // p12
      EXPECT_EQ(p.Surfaces[3].wValue2, want.p5);
      EXPECT_EQ(p.Surfaces[4].wWidth, want.backBuffer);
      EXPECT_EQ(p.Surfaces[4].wHeight, want.backBuffer);
      EXPECT_EQ(p.wExtraSurfaceFormat1, want.p8);
      EXPECT_EQ(p.wExtraSurfaceFormat2, want.p9);
      EXPECT_EQ(p.wDeviceValue, want.p10);
      EXPECT_EQ(p.wLightingModel, want.p11);
      EXPECT_EQ(p.dwDeviceValue, 1u);
      EXPECT_EQ(p.Surfaces[0].wWidth, 0);  // A
    }
    DestroyCore();
  }
}

TEST_F(GameCoreTest, SettingsEdgeCases) {
  struct Case {
    const char* params;
    WORD width, height;
    DWORD windowed;
    const char* logLine;
  } cases[] = {
      {"<Param width=\"1024\"/>", 800, 600, 1, "  -vantor_logo = false\n"},
      {"<Param window_mode=\"0\"/>", 800, 600, 0, "  -window_mode = false\n"},
      {"<Param width=\"640\" height=\"480\"/><Param width=\"320\"/>", 320, 480, 1,
       "  -width = 320\n  -height = 480\n"},
      {"<Param vantor_logo=\"1\" shadows=\"0\"/>", 800, 600, 1, "  -vantor_logo = true\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.params);
    geCLogger::SetFirstWrite(true);
    WriteSettings(c.params);
    MakeCore().Initialise();
    EXPECT_EQ(m_core->GetSettings().wWidth, c.width);
    EXPECT_EQ(m_core->GetSettings().wHeight, c.height);
    ASSERT_NE(CGameTestZeKorbInterface::LastDescriptor(), nullptr);
    EXPECT_EQ(CGameTestZeKorbInterface::LastDescriptor()->dwWindowed, c.windowed);
    EXPECT_PRED2(Contains, Log(), c.logLine);
    DestroyCore();
  }
  // The last case: shadows off reach the engine's setting, and the logo flag is set.
  CRecordingSettingEntry* shadows = m_engine.settings.Find("shadows");
  ASSERT_NE(shadows, nullptr);
  EXPECT_EQ(shadows->GetInt(), 0);
}

TEST_F(GameCoreTest, MissingGameTreeKeepsDefaultsAndMountsBothArchives) {
  CTestGameCore& core = StartCore();
  EXPECT_PRED2(Contains, Log(), "- Scipping settings configuration, xml data file don't exist\n.");
  EXPECT_EQ(core.GetSettings().wWidth, 800);
  ASSERT_EQ(m_engine.disks.mounts.size(), 2u);
  EXPECT_EQ(m_engine.disks.mounts[0].name, "zkr\\vge.zkr");
  EXPECT_EQ(m_engine.disks.mounts[0].kind, 0u);
  EXPECT_EQ(m_engine.disks.mounts[0].password, "tavelkorpinusmerdo");
  EXPECT_EQ(m_engine.disks.mounts[1].name, "shaders\\shaders.zkr");
  EXPECT_EQ(m_engine.disks.mounts[1].kind, 1u);
  EXPECT_EQ(m_engine.disks.mounts[1].password, "(null)");
  EXPECT_EQ(m_engine.settings.Find("shadows")->GetInt(), 1);
  const ApplicationDescriptor* descriptor = CGameTestZeKorbInterface::LastDescriptor();
  EXPECT_EQ(descriptor->dwVersion, ZEKORB_VERSION);
  EXPECT_EQ(descriptor->dwSize, sizeof(ApplicationDescriptor));
  EXPECT_EQ(descriptor->dwUseQuitCallback, 1u);
  EXPECT_EQ(descriptor->fpQuitCallback, nullptr);
  EXPECT_EQ(descriptor->dwShowCommand, 5u);
  EXPECT_STREQ(descriptor->szCommandLine, "-window");
  EXPECT_TRUE(descriptor->szApplicationName && descriptor->szApplicationName[0]);
}

TEST_F(GameCoreTest, StartUpCallsTheEngineInOrder) {
  WriteSettings("<Param use_shaders=\"0\"/>");
  StartCore();
  const std::vector<std::string> expected = {
      "GetSettingsInterface", "GetVFSInterface", "Init",        "CreateTimer",
      "CreateTimer",          "GetTonarisInterface", "LoadScene"};
  EXPECT_EQ(m_engine.calls, expected);
  EXPECT_EQ(m_engine.sceneName, "vantor-logo\\logo");
  EXPECT_EQ(m_engine.sceneMode, 1u);
  EXPECT_PRED2(Contains, Log(), "KERNEL ERROR: can't load vantor-logo from 'logo.lws' file ");
  // Both input devices were handed their maps and callbacks.
  const CRecordingMouse& mouse = m_engine.input.theMouse;
  ASSERT_EQ(mouse.actions.size(), 4u);
  EXPECT_EQ(mouse.actions[2].dwAction, 0x200u);
  EXPECT_EQ(mouse.actions[2].dwObject, 0x103u);
  EXPECT_EQ(mouse.callback, &OnMouseInput);
  EXPECT_EQ(mouse.centreLock, 0);
  EXPECT_EQ(mouse.sensitivity, 1.0f);
  EXPECT_EQ(mouse.cursorShown, 1);
  const CRecordingKeyboard& keyboard = m_engine.input.theKeyboard;
  ASSERT_EQ(keyboard.actions.size(), 256u);
  EXPECT_EQ(keyboard.actions[200].dwAction, 200u);
  EXPECT_EQ(keyboard.actions[200].dwObject, 200u);
  EXPECT_EQ(keyboard.callback, &OnKeyInput);
  EXPECT_EQ(keyboard.charCallback, &OnCharInput);
}

TEST_F(GameCoreTest, EngineLoadFailuresEndTheProgram) {
  struct Case {
    const char* variant;
    bool serve;
    const char* text;
  } cases[] = {
      {"missing", true, "Can't Load ZeKorb.dll"},
      {"without_export", true, "Can't Get GetZeKorbD3DInterface From ZeKorb.dll"},
      {"with_export", false, "Can't Get GetZeKorbD3DInterface From ZeKorb.dll"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.variant);
    CGameTestZeKorbInterface::Served() = c.serve ? &m_engine : nullptr;
    MakeCore().UseStandIn(c.variant);
    ProcessExitCatcher catcher;
    try {
      m_core->Initialise();
      ADD_FAILURE() << "the start-up went on";
    } catch (const ProcessExited& exited) {
      EXPECT_EQ(exited.code, 1u);
    }
    ASSERT_EQ(catcher.Boxes().size(), 1u);
    EXPECT_EQ(catcher.Boxes()[0].text, c.text);
    EXPECT_EQ(catcher.Boxes()[0].caption, "Error");
    EXPECT_EQ(m_engine.initConfig, nullptr);
    DestroyCore();
  }
}

TEST_F(GameCoreTest, RegisteredTypesPrintFiveThenSixNamesALine) {
  MakeCore();
  for (int i = 0; i < 6; ++i) {
    char name[8];
    snprintf(name, sizeof name, "T%02d", i);
    RegisterNodeType<geCBaseNode>(name);
  }
  m_core->Initialise();  // adds the framework's seven: 13 names
  EXPECT_PRED2(Contains, Log(),
               "- Registered Node Types:\n\t- BaseWidget,GameObject,Node,ProgressBar,"
               "RenderableObject,\n\t- SystemCursor,T00,T01,T02,T03,T04,\n\t- T05,"
               "WidgetsContainer,\n");
}

TEST_F(GameCoreTest, OneFrameDrawsInOrderAndExitGameEndsTheLoop) {
  CTestGameCore& core = StartCore();
  core.onFrame = [](CTestGameCore& c) {
    c.ExitGame();
    return true;
  };
  core.Run();
  EXPECT_EQ(core.frames, 1);
  const std::vector<std::string> expected = {"Clear(7,0)", "BeginRendering", "EndRendering",
                                             "Flip(1)"};
  EXPECT_EQ(m_engine.renderer.frameCalls, expected);
}

TEST_F(GameCoreTest, PendingWindowMessagesDelayTheFrame) {
  CTestGameCore& core = StartCore();
  size_t callsAtFirstFrame = 0;
  core.onFrame = [&](CTestGameCore& c) {
    if (c.frames == 1) {
      callsAtFirstFrame = m_engine.renderer.frameCalls.size();
      for (int i = 0; i < 5; ++i) EXPECT_TRUE(PostMessageA(nullptr, WM_USER + 1, 0, 0));
      MSG pending;
      EXPECT_TRUE(PeekMessageA(&pending, nullptr, 0, 0, PM_NOREMOVE));
    } else {
      MSG left;
      EXPECT_FALSE(PeekMessageA(&left, nullptr, 0, 0, PM_NOREMOVE));
      c.ExitGame();
    }
    return true;
  };
  core.Run();
  EXPECT_EQ(core.frames, 2);
  // Five messages taken, but one frame drawn between the two steps.
  EXPECT_EQ(m_engine.renderer.frameCalls.size(), 2 * callsAtFirstFrame);
}

TEST_F(GameCoreTest, CloseCommandEndsTheLoop) {
  CTestGameCore& core = StartCore();
  PostMessageA(nullptr, WM_SYSCOMMAND, SC_CLOSE, 0);
  core.onFrame = [](CTestGameCore& c) {
    if (c.frames > 3) c.ExitGame();  // the guard of a loop that would not end
    return true;
  };
  core.Run();
  EXPECT_EQ(core.frames, 0);
  EXPECT_TRUE(core.GetFlags() & geCGameCore::kFlagQuit);
}

TEST_F(GameCoreTest, FirstFrameResetsTheInputAndLaterFramesShiftKeys) {
  CTestGameCore& core = StartCore();
  g_dwIncomingKeys[30] = 1;
  g_dwCurrentKeys[31] = 1;
  g_dwLastKeys[32] = 1;
  core.onFrame = [](CTestGameCore& c) {
    if (c.frames == 1) {
      EXPECT_EQ(g_dwCurrentKeys[30], 0u);
      EXPECT_EQ(g_dwCurrentKeys[31], 0u);
      EXPECT_EQ(g_dwLastKeys[32], 0u);
      EXPECT_EQ(c.GetInputResetRequest(), 0u);
      OnKeyInput(30, 1);
    } else if (c.frames == 2) {
      EXPECT_EQ(g_dwCurrentKeys[30], 1u);
      EXPECT_EQ(g_dwLastKeys[30], 0u);
      OnKeyInput(30, 0);
    } else {
      EXPECT_EQ(g_dwCurrentKeys[30], 0u);
      EXPECT_EQ(g_dwLastKeys[30], 1u);
      c.ExitGame();
    }
    return true;
  };
  core.Run();
  EXPECT_EQ(core.frames, 3);
}

TEST_F(GameCoreTest, PausedGameTimerHoldsMessagesAndDeltaTime) {
  CTestGameCore& core = StartCore();
  const DWORD coreId = core.GetID();
  core.onFrame = [&](CTestGameCore& c) {
    switch (c.frames) {
      case 1:
        ZkTestClockAdvance(250000);
        break;
      case 2:
        EXPECT_NEAR(c.GetGlobalArg()->m_fDeltaTime, 0.25f, 1e-4f);
        c.PauseGame();
        c.GetMessageRouter()->PostMessage("held", 0, coreId, 7, 0);
        ZkTestClockAdvance(500000);
        break;
      case 3:
        EXPECT_NEAR(c.GetGlobalArg()->m_fDeltaTime, 0.25f, 1e-4f);
        EXPECT_TRUE(c.received.empty());
        c.ResumeGame();
        break;
      default:
        c.ExitGame();
    }
    return true;
  };
  core.Run();
  ASSERT_EQ(core.received.size(), 1u);
  EXPECT_EQ(core.received[0].second, 7u);
}

TEST_F(GameCoreTest, FalseFrameStepSkipsDeliveryAndMouseShift) {
  CTestGameCore& core = StartCore();
  const DWORD coreId = core.GetID();
  core.GetMessageRouter()->PostMessage("waiting", 0, coreId, 1, 0);
  core.onFrame = [](CTestGameCore& c) {
    if (c.frames == 1) {
      c.GetMouseStatus()->dwLeft = 0x8000;
      OnCharInput('q');
      return false;
    }
    EXPECT_TRUE(c.received.empty());
    EXPECT_EQ(c.GetMouseStatus()->dwLastLeft, 0u);
    EXPECT_EQ(c.GetCharFromKeyboard(), 'q');
    c.ExitGame();
    return true;
  };
  core.Run();
  EXPECT_EQ(core.frames, 2);
  EXPECT_EQ(core.received.size(), 1u);
}

TEST_F(GameCoreTest, MouseCallbacksSwitchToThreadedModeOnTheThird) {
  CTestGameCore& core = StartCore();
  g_dwMouseCallbacks = 0;
  OnMouseInput(0x200, 0.0f, 0x80);
  OnMouseInput(0x201, 0.0f, 0x81);
  EXPECT_FALSE(core.GetFlags() & geCGameCore::kFlagThreadedMouse);
  OnMouseInput(0x202, 0.0f, 0x99);
  EXPECT_TRUE(core.GetFlags() & geCGameCore::kFlagThreadedMouse);
  EXPECT_EQ(core.GetMouseStatus()->dwLeft, 0x80u);
  EXPECT_EQ(core.GetMouseStatus()->dwRight, 0x81u);
  EXPECT_PRED2(Contains, Log(), "-Using Normal threaded mouse callbacks\n");
}

// The input thread reports changes from what it saw; a click that came and went between two of
// its polls is seen by the frame's polling only. Once the callbacks take the buttons over, they
// start from what the thread reported, and the frame's polling no longer writes them.
TEST_F(GameCoreTest, ThreadedMouseStartsFromTheButtonsTheInputThreadReported) {
  CTestGameCore& core = StartCore();
  geMouseStatus& status = *core.GetMouseStatus();
  g_dwMouseCallbacks = 0;
  OnMouseInput(0x201, 0.0f, 1);  // the right button reported down, and held
  OnMouseInput(0x200, 0.0f, 0);  // the left one reported up
  // The frame's polling found the left button down: a press the thread missed.
  status.dwLeft = 0x8000;
  status.dwRight = 0x8000;
  OnMouseInput(0x203, 1.0f, 1);
  ASSERT_TRUE(core.GetFlags() & geCGameCore::kFlagThreadedMouse);
  EXPECT_EQ(status.dwLeft, 0u);
  EXPECT_EQ(status.dwRight, 1u);

  OnMouseInput(0x200, 0.0f, 1);
  core.PollMouse();  // no button is down on the platform
  EXPECT_EQ(status.dwLeft, 1u);
  EXPECT_EQ(status.dwRight, 1u);
}

TEST_F(GameCoreTest, DestroyedCoreRemovesCallbacksAndFreesItsTimers) {
  StartCore();
  DestroyCore();
  EXPECT_EQ(m_engine.input.theMouse.callback, nullptr);
  EXPECT_EQ(m_engine.input.theKeyboard.callback, nullptr);
  EXPECT_EQ(m_engine.input.theKeyboard.charCallback, nullptr);
  EXPECT_EQ(g_pGameCore, nullptr);
  EXPECT_EQ(m_engine.timersMade, 2);
  EXPECT_EQ(m_engine.timersFreed, 2);
  // A late callback from the input thread finds no core and touches nothing.
  const DWORD before = g_dwMouseCallbacks;
  OnMouseInput(0x200, 0.0f, 1);
  EXPECT_EQ(g_dwMouseCallbacks, before);
  // The engine still holds the blocks after the core is gone.
  EXPECT_EQ(g_ZeKorbConfig.pPresets[0].dwSize, sizeof(ConfigureGFX));
  EXPECT_EQ(g_ZeKorbConfig.pTonarisConfig->dwSize, sizeof(TonarisConfig));
}

TEST_F(GameCoreTest, ResolutionChangeTellsListenersOnlyOnSuccess) {
  struct Listener : geCVideoModeListener {
    std::string calls;
    void ReleaseDeviceObjects() override { calls += "release "; }
    void RestoreDeviceObjects() override { calls += "restore "; }
  } listener;
  CTestGameCore& core = StartCore();
  core.GetVideoModeNodes().push_back(&listener);
  EXPECT_TRUE(core.SetResolution(1280, 1024));
  EXPECT_EQ(core.GetSettings().wWidth, 1280);
  EXPECT_EQ(listener.calls, "release restore ");
  m_engine.acceptConfiguration = false;
  listener.calls.clear();
  EXPECT_FALSE(core.SetResolution(640, 480));
  EXPECT_EQ(core.GetSettings().wWidth, 1280);
  EXPECT_EQ(listener.calls, "release ");
  EXPECT_PRED2(Contains, Log(), "ERR; cna't change resolution to 640x480");
}

TEST_F(GameCoreTest, ProgramEntryReleasesTheCoreBeforeClosingTheEngine) {
  static CGameTestZeKorbInterface* engine = nullptr;
  static size_t callsAtDestruction = 0;
  struct ExitingCore : CTestGameCore {
    ExitingCore() {
      onFrame = [](CTestGameCore& c) {
        c.ExitGame();
        return true;
      };
    }
    ~ExitingCore() override { callsAtDestruction = engine->calls.size(); }
  };
  engine = &m_engine;
  const int result = geRunGame(
      [](HINSTANCE, const char*, DWORD) -> geCGameCore* { return new ExitingCore(); }, nullptr,
      "", 1);
  EXPECT_EQ(result, 0);
  ASSERT_FALSE(m_engine.calls.empty());
  EXPECT_EQ(m_engine.calls.back(), "CloseZeKorb");
  EXPECT_EQ(callsAtDestruction, m_engine.calls.size() - 1) << "the core goes before the engine";
  const std::string log = Log();
  const size_t statistics = log.find("Statistics:\n\tnumber of unremoved objects: ");
  ASSERT_NE(statistics, std::string::npos);
  EXPECT_LT(log.find("~Deleted geCGameCore\n"), statistics);
  EXPECT_LT(statistics, log.find("AngelScript Released\n"));
  EXPECT_EQ(g_pScriptEngine, nullptr) << "the script library is shut down before the engine";
}
