// The GUI library's start-up on the Null renderer with the data the build lays beside the engine.
#include <gtest/gtest.h>
#include <unistd.h>
#include <windows.h>

#include <CEGUI/Exceptions.h>
#include <CEGUI/Font.h>
#include <CEGUI/FontManager.h>
#include <CEGUI/GUIContext.h>
#include <CEGUI/Image.h>
#include <CEGUI/Logger.h>
#include <CEGUI/MouseCursor.h>
#include <CEGUI/SchemeManager.h>
#include <CEGUI/System.h>
#include <CEGUI/Window.h>
#include <CEGUI/WindowManager.h>

#include <filesystem>
#include <string>

#include "NullGuiBench.h"
#include "TempDir.h"
#include "WorkingFolderScope.h"

namespace fs = std::filesystem;

namespace {

std::string CurrentFolder() { return fs::current_path().string(); }

// The library's own singletons are all gone after a release.
void ExpectNoGuiLibrary() {
  EXPECT_EQ(CEGUI::System::getSingletonPtr(), nullptr);
  EXPECT_EQ(CEGUI::Logger::getSingletonPtr(), nullptr);
  EXPECT_EQ(CEGUI::WindowManager::getSingletonPtr(), nullptr);
  EXPECT_EQ(CEGUI::SchemeManager::getSingletonPtr(), nullptr);
}

TEST(GuiSystemTest, StartsWithSchemeCursorFontAndRootWhateverTheCurrentFolder) {
  NullGuiBench bench;
  TempDir elsewhere;
  WorkingFolderScope inside(elsewhere.Path());
  ASSERT_TRUE(inside.Entered());
  POINT pointer = {};
  ASSERT_TRUE(GetCursorPos(&pointer));

  ASSERT_EQ(bench.Start(), 1) << bench.log.TextAt(CEngineLog::kLevelError);
  EXPECT_EQ(CurrentFolder(), fs::path(elsewhere.Path()).string());
  EXPECT_TRUE(bench.log.TextAt(CEngineLog::kLevelError).empty());

  ASSERT_EQ(bench.gui.GetSystem(), CEGUI::System::getSingletonPtr());
  EXPECT_TRUE(CEGUI::SchemeManager::getSingleton().isDefined("TaharezLook"));
  EXPECT_EQ(CEGUI::Logger::getSingleton().getLoggingLevel(), CEGUI::Insane);
  EXPECT_FALSE(CEGUI::Exception::isStdErrEnabled());

  CEGUI::GUIContext& context = bench.gui.GetSystem()->getDefaultGUIContext();
  const CEGUI::Image* arrow = context.getMouseCursor().getDefaultImage();
  ASSERT_NE(arrow, nullptr);
  EXPECT_EQ(arrow->getName(), "TaharezLook/MouseArrow");
  EXPECT_EQ(context.getMouseCursor().getPosition(),
            CEGUI::Vector2f(static_cast<float>(pointer.x), static_cast<float>(pointer.y)));

  const CEGUI::Font* font = context.getDefaultFont();
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->getName(), "Tahoma-12");
  EXPECT_EQ(font->getTypeName(), "FreeType");
  EXPECT_EQ(font->getProperty("PointSize"), "12");

  CEGUI::Window* root = context.getRootWindow();
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->getName(), "root_wnd");
  EXPECT_EQ(root->getType(), "DefaultWindow");
  EXPECT_EQ(bench.gui.GetWindows().Find("root_wnd"), root);

  EXPECT_GT(fs::file_size(bench.logFile), 0u) << "the library logs beside the test";
  EXPECT_FALSE(fs::exists(fs::path(elsewhere.Path()) / "CEGUI.log"));
}

TEST(GuiSystemTest, ConsoleLockReturnsOneAndMakesNothing) {
  NullGuiBench::Options options;
  options.consoleLocked = true;
  NullGuiBench bench(options);

  EXPECT_EQ(bench.Start(), 1);
  EXPECT_FALSE(bench.gui.IsStarted());
  EXPECT_EQ(bench.gui.GetRenderer(), nullptr);
  EXPECT_EQ(bench.gui.GetInput(), nullptr);
  EXPECT_FALSE(bench.gui.GetWindows().Contains("root_wnd"));
  EXPECT_FALSE(fs::exists(bench.logFile));
  ExpectNoGuiLibrary();
}

// A copy of the laid-out data with one file missing: the scheme itself, or a file it names.
struct MissingFile {
  const char* name;
  const char* path;  // below cegui/
};

class GuiSystemMissingFileTest : public ::testing::TestWithParam<MissingFile> {};

TEST_P(GuiSystemMissingFileTest, ReturnsZeroLogsTheExceptionAndLeavesNothing) {
  TempDir data;
  fs::copy(fs::path(ZK_GUI_DATA_FOLDER) / "cegui", fs::path(data.Path()) / "cegui",
           fs::copy_options::recursive);
  ASSERT_TRUE(fs::remove(fs::path(data.Path()) / "cegui" / GetParam().path));
  NullGuiBench::Options options;
  options.dataFolder = data.Path() + "/";
  NullGuiBench bench(options);
  const std::string before = CurrentFolder();

  EXPECT_EQ(bench.Start(), 0);
  EXPECT_EQ(CurrentFolder(), before);
  ASSERT_EQ(bench.log.entries.size(), 1u);
  const CRecordingEngineLog::Entry& entry = bench.log.entries[0];
  EXPECT_EQ(entry.source, "ZK3DCEGUI");
  EXPECT_EQ(entry.level, CEngineLog::kLevelError);
  EXPECT_EQ(entry.text.rfind("CEGUI Exception: ", 0), 0u) << entry.text;
  EXPECT_EQ(entry.text.back(), '\n');
  EXPECT_FALSE(bench.gui.IsStarted());
  EXPECT_EQ(bench.gui.GetRenderer(), nullptr);
  ExpectNoGuiLibrary();
}

INSTANTIATE_TEST_SUITE_P(
    Files, GuiSystemMissingFileTest,
    ::testing::Values(MissingFile{"Scheme", "schemes/TaharezLook.scheme"},
                      MissingFile{"LookNFeel", "looknfeel/TaharezLook.looknfeel"},
                      MissingFile{"ConsoleFont", "fonts/Tahoma-12.font"}),
    [](const ::testing::TestParamInfo<MissingFile>& info) { return info.param.name; });

TEST(GuiSystemTest, ReleaseLeavesNoSingletonsAndASecondStartWorks) {
  NullGuiBench bench;
  ASSERT_EQ(bench.Start(), 1);
  CEGUI::Window* root = bench.gui.GetWindows().Find("root_wnd");
  bench.gui.GetWindows().Create("TaharezLook/Editbox", "ZeKorb/Console/Editbox", root);

  bench.gui.Release();
  EXPECT_FALSE(bench.gui.IsStarted());
  EXPECT_EQ(bench.gui.GetRenderer(), nullptr);
  EXPECT_FALSE(bench.gui.GetWindows().Contains("ZeKorb/Console/Editbox"));
  ExpectNoGuiLibrary();
  bench.gui.Release();  // a second release finds nothing to do

  ASSERT_EQ(bench.Start(), 1) << bench.log.TextAt(CEngineLog::kLevelError);
  EXPECT_TRUE(CEGUI::SchemeManager::getSingleton().isDefined("TaharezLook"));
  EXPECT_EQ(bench.gui.GetWindows().Find("root_wnd"),
            bench.gui.GetSystem()->getDefaultGUIContext().getRootWindow());
  EXPECT_FALSE(bench.gui.GetWindows().Contains("ZeKorb/Console/Editbox"));
}

TEST(GuiSystemTest, SecondStartWhileRunningIsRefused) {
  NullGuiBench bench;
  ASSERT_EQ(bench.Start(), 1);
  CEGUI::System* system = bench.gui.GetSystem();
  EXPECT_EQ(bench.Start(), 0);
  EXPECT_EQ(bench.gui.GetSystem(), system);
  EXPECT_EQ(CEGUI::System::getSingletonPtr(), system);
}

}  // namespace
