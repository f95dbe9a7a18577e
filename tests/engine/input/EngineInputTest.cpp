// The engine's use of its input manager: the frame hands the keys the input thread queued for the
// console to the GUI library, and the shutdown stops and frees the manager.
#include <atomic>
#include <string>
#include <vector>

#include "InputFixture.h"
#include "startup/EngineShutdown.h"

namespace {

std::atomic<bool> g_backInPoll{false};
std::atomic<int> g_quits{0};

// A game's key callback that closes the engine, from the input thread.
void CloseEngine(UINT /*action*/, UINT pressed) {
  if (!pressed) return;
  GetEngineContext()->Shutdown(0);
  g_backInPoll = true;
}

class EngineInputTest : public InputFixture {};

TEST_F(EngineInputTest, TheFrameInjectsQueuedKeysOnlyOnceTheConsoleExists) {
  StartInput();
  m_input->SetGuiTarget(&m_gui, &m_console);
  m_context->ports.guiKeys.Set(m_input.get());
  Key(DIK_A, true);
  std::thread([this] { m_input->GetKeyboard()->Poll(); }).join();

  m_context->ShowFPS(0);
  EXPECT_TRUE(m_gui.events.empty());

  m_context->pConsole = reinterpret_cast<CConsole*>(&m_console);  // only its presence counts
  m_context->ShowFPS(0);
  EXPECT_EQ(m_gui.events, std::vector<std::string>{"key down 30"});
  ASSERT_EQ(m_gui.threads.size(), 1u);
  EXPECT_EQ(m_gui.threads[0], std::this_thread::get_id());
}

// The manager cannot wait for its own thread there, and freeing it would free the keyboard whose
// poll is running the callback: the shutdown lets go of it instead, and the thread still ends.
TEST_F(EngineInputTest, AShutdownFromAnInputCallbackLeavesThePollItRunsInIntact) {
  StartInput(/*keepThread=*/true);
  CInputControllers* input = m_input.release();
  m_context->pInputControllers = input;
  m_context->ports.release.Set(&CEngineShutdown::Instance());
  m_context->dwInitialized = 1;
  m_descriptor.fpQuitCallback = [] { ++g_quits; };
  m_descriptor.dwUseQuitCallback = 1;
  const ActionPair map[] = {{1, DIK_A}};
  input->GetKeyboard()->SetActionMapper(map, 1);
  input->GetKeyboard()->SetCallback(CloseEngine);

  Key(DIK_A, true);

  ASSERT_TRUE(WaitFor([] { return g_backInPoll.load(); }));
  EXPECT_EQ(g_quits, 1);
  EXPECT_EQ(m_context->pInputControllers, nullptr);
  EXPECT_EQ(m_context->dwInitialized, 0u);
  delete input;  // still whole: joins the thread and frees the devices
  const std::string info = m_log.TextAt(CEngineLog::kLevelInfo);
  const size_t released = info.find("- Input Controllers deinitialized\n");
  EXPECT_NE(released, std::string::npos);
  EXPECT_NE(info.find("- DInput Thread Exited\n", released), std::string::npos);
}

}  // namespace
