// The shutdown's GUI step: a GUI the engine started is gone with the release of the services, and
// an engine whose GUI never started releases nothing there.
#include <gtest/gtest.h>

#include <CEGUI/Logger.h>
#include <CEGUI/System.h>

#include <string>

#include "EngineContextScope.h"
#include "NullGuiBench.h"
#include "RecordingEngineLog.h"
#include "TempDir.h"
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

}  // namespace
