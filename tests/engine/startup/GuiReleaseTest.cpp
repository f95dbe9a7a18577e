// The shutdown's GUI step: a GUI the engine started is gone with the release of the services, and
// an engine whose GUI never started releases nothing there.
#include <gtest/gtest.h>

#include <CEGUI/Logger.h>
#include <CEGUI/System.h>
#include <CEGUI/Window.h>

#include <memory>
#include <string>

#include "EngineContextScope.h"
#include "NullGuiBench.h"
#include "RecordingEngineLog.h"
#include "TempDir.h"
#include "console/Console.h"
#include "script/ScriptStorage.h"
#include "startup/EngineShutdown.h"

namespace {

TEST(GuiReleaseTest, TheShutdownReleasesTheGuiLibraryAndForgetsIt) {
  EngineContextScope context;
  CRecordingEngineLog log;
  TempDir folder;
  const std::string logFile = folder / "CEGUI.log";
  context->pGui = new CGuiSystem({&log, ZK_GUI_DATA_FOLDER, logFile.c_str(), false, nullptr});
  ASSERT_EQ(context->pGui->InitializeCEGUI(NullGuiBench::MakeRenderer()), 1)
      << log.TextAt(CEngineLog::kLevelError);

  CEngineShutdown::Instance().ReleaseServices();
  EXPECT_EQ(context->pGui, nullptr);
  EXPECT_EQ(CEGUI::System::getSingletonPtr(), nullptr);
  EXPECT_EQ(CEGUI::Logger::getSingletonPtr(), nullptr);

  CEngineShutdown::Instance().ReleaseServices();  // nothing left to release
  EXPECT_EQ(context->pGui, nullptr);
}

// The console goes before the GUI: its windows with it. A console whose line closes the engine is
// on that line's stack: it is cut loose from the GUI and the context, not freed.
TEST(GuiReleaseTest, TheShutdownReleasesTheConsoleBeforeTheGuiUnlessItsLineIsRunning) {
  EngineContextScope context;
  CRecordingEngineLog log;
  TempDir folder;
  const std::string logFile = folder / "CEGUI.log";
  static CConsole* s_kept = nullptr;
  static ConsoleFunction close = {"void Close()",
                                  [] {
                                    s_kept = GetEngineContext()->pConsole;
                                    CEngineShutdown::Instance().ReleaseServices();
                                  },
                                  [] { return "Close"; }};
  for (bool fromLine : {false, true}) {
    SCOPED_TRACE(fromLine ? "from a console line" : "from outside");
    // The shutdown forgets the script host too; the test's own is freed by the test.
    auto storage = std::make_unique<CScriptStorage>(&log);
    ASSERT_EQ(storage->Initialize(), 1u);
    context->pScriptStorage = storage.get();
    context->pGui = new CGuiSystem({&log, ZK_GUI_DATA_FOLDER, logFile.c_str(), false, nullptr});
    ASSERT_EQ(context->pGui->InitializeCEGUI(NullGuiBench::MakeRenderer()), 1);
    auto* console = new CConsole(GetEngineContext(), nullptr, &log, 0);
    context->pConsole = console;
    ASSERT_NE(console->GetWindowManager(), nullptr);
    if (!fromLine) {
      CEngineShutdown::Instance().ReleaseServices();
    } else {
      ASSERT_EQ(console->RegisterFunction(&close), 1);
      context->pGui->GetWindows().Find(CConsole::kEditboxName)->setText("Close();");
      console->OnChar(13);
    }
    EXPECT_EQ(context->pConsole, nullptr);
    EXPECT_EQ(context->pGui, nullptr);
    EXPECT_EQ(CEGUI::System::getSingletonPtr(), nullptr);
    if (fromLine) {
      EXPECT_EQ(s_kept, console);
      EXPECT_EQ(console->GetWindowManager(), nullptr) << "kept, without its windows";
      delete console;
    }
  }
  EXPECT_TRUE(log.TextAt(CEngineLog::kLevelError).empty()) << log.TextAt(CEngineLog::kLevelError);
}

}  // namespace
