#pragma once
// A window on the engine's window procedure, with the engine context's configuration block, a
// recording log, a test clock and an input manager on DirectInput. The manager's thread is
// stopped after Init unless a test asks for it, so that tests poll the devices themselves.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "EngineContextScope.h"
#include "RecordingConsole.h"
#include "RecordingDeviceReset.h"
#include "RecordingEngineLog.h"
#include "RecordingGuiInput.h"
#include "ZKDXGlobals.h"
#include "input/InputControllers.h"
#include "input/Keyboard.h"
#include "input/Mouse.h"
#include "core/Timer.h"
#include "input/WindowProcedure.h"
#include "dinput.h"
#include "windows.h"
#include "zktest/ZkTestClock.h"
#include "zktest/ZkTestInput.h"

class InputFixture : public ::testing::Test {
 protected:
  static constexpr DWORD kBackground = 4;  // non-exclusive, background: no focus needed

  void SetUp() override {
    ZkTestClockSetManual(1000000);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = CWindowProcedure::WindowProc;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = "ZkEngineInputTest";
    RegisterClassA(&windowClass);  // already there after the first test
    m_hWnd = CreateWindowExA(0, "ZkEngineInputTest", "input", WS_POPUP, 0, 0, 320, 240, nullptr,
                             nullptr, nullptr, nullptr);
    ASSERT_NE(m_hWnd, nullptr);
    ShowWindow(m_hWnd, SW_SHOWNORMAL);
    ZkTestInputFocus(m_hWnd, TRUE);

    m_config.dwSize = sizeof m_config;
    m_descriptor.dwSize = sizeof m_descriptor;
    m_context->pConfig = &m_config;
    m_context->pDescriptor = &m_descriptor;
    m_context->pLog = &m_log;
    m_context->dwInitialized = 0;

    CWindowProcedure::Install(&m_procedure);
    m_procedure.SetConsole(&m_console);
    m_procedure.SetGui(&m_gui);
    m_procedure.SetDeviceReset(&m_reset);
    m_procedure.SetShutdown(&InputFixture::RecordShutdown);
    s_shutdowns = 0;
    Pump();
  }

  void TearDown() override {
    CWindowProcedure::Install(nullptr);
    m_input.reset();
    if (IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
    Pump();
    ZkTestClockSetReal();
  }

  // Makes the manager on the window; its thread stays only when `keepThread` is set.
  void StartInput(bool keepThread = false, DWORD pollInterval = 1, DWORD flags = kBackground) {
    InputControllersSettings settings = {&m_log, &m_timer, nullptr, m_hWnd, flags, pollInterval};
    m_input = std::make_unique<CInputControllers>(settings);
    ASSERT_EQ(m_input->Init(), 1u);
    ASSERT_NE(m_input->GetKeyboard(), nullptr);
    ASSERT_NE(m_input->GetMouse(), nullptr);
    if (!keepThread) m_input->StopThread();
    m_procedure.SetInputControllers(m_input.get());
  }

  void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }

  void Key(BYTE dik, bool down) {
    ASSERT_TRUE(ZkTestInputKey(m_hWnd, dik, down ? TRUE : FALSE));
    Pump();
  }

  // Waits, in real time, until `done` holds; false after two seconds.
  template <typename Condition>
  static bool WaitFor(Condition done) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!done()) {
      if (std::chrono::steady_clock::now() > limit) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
  }

  static void RecordShutdown() { ++s_shutdowns; }

  EngineContextScope m_context;
  ZeKorbConfig m_config = {};
  ApplicationDescriptor m_descriptor = {};
  CRecordingEngineLog m_log;
  CTimer m_timer;
  CRecordingConsole m_console;
  CRecordingGuiInput m_gui;
  CRecordingDeviceReset m_reset;
  CWindowProcedure m_procedure;
  std::unique_ptr<CInputControllers> m_input;
  HWND m_hWnd = nullptr;
  static inline int s_shutdowns = 0;
};
