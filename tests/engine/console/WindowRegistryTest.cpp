// Windows by full name: made, found, refused twice and forgotten when destroyed, on the Null
// renderer with the TaharezLook widgets.
#include <gtest/gtest.h>

#include <CEGUI/Exceptions.h>
#include <CEGUI/Window.h>
#include <CEGUI/WindowManager.h>
#include <CEGUI/widgets/ToggleButton.h>

#include "NullGuiBench.h"

namespace {

class WindowRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(m_bench.Start(), 1) << m_bench.log.TextAt(CEngineLog::kLevelError);
    m_root = Windows().Find("root_wnd");
  }

  CWindowRegistry& Windows() { return m_bench.gui.GetWindows(); }

  NullGuiBench m_bench;
  CEGUI::Window* m_root = nullptr;
};

TEST_F(WindowRegistryTest, FindsWindowsByFullNamesThatTheLibraryReadsAsPaths) {
  CEGUI::Window* frame = Windows().Create("TaharezLook/FrameWindow", "ZeKorb/Console", m_root);
  CEGUI::Window* editbox = Windows().Create("TaharezLook/Editbox", "ZeKorb/Console/Editbox", frame);

  EXPECT_EQ(editbox->getName(), "ZeKorb/Console/Editbox");
  EXPECT_EQ(editbox->getType(), "TaharezLook/Editbox");
  EXPECT_EQ(editbox->getParent(), frame);
  EXPECT_EQ(frame->getParent(), m_root);
  EXPECT_EQ(Windows().Find("ZeKorb/Console"), frame);
  EXPECT_EQ(Windows().Find("ZeKorb/Console/Editbox"), editbox);
  // What the registry is for: the library cannot find these names itself.
  EXPECT_THROW(frame->getChild("ZeKorb/Console/Editbox"), CEGUI::UnknownObjectException);
}

TEST_F(WindowRegistryTest, MissingNamesAndUnknownTypesRaiseTheLibrarysExceptions) {
  EXPECT_THROW(Windows().Find("ZeKorb/Console/Nothing"), CEGUI::UnknownObjectException);
  EXPECT_THROW(Windows().Create("TaharezLook/NoSuchWidget", "ZeKorb/Console/Odd", m_root),
               CEGUI::UnknownObjectException);
  EXPECT_FALSE(Windows().Contains("ZeKorb/Console/Odd"));
}

TEST_F(WindowRegistryTest, RefusesADuplicateNameAndKeepsTheFirstWindow) {
  CEGUI::Window* first = Windows().Create("TaharezLook/Button", "ZeKorb/Console/Ok", m_root);
  CEGUI::Window* other = Windows().Create("DefaultWindow", "ZeKorb/Other", m_root);
  const size_t children = other->getChildCount();

  // Under another parent too: the library would allow it, the registry does not.
  EXPECT_THROW(Windows().Create("TaharezLook/Button", "ZeKorb/Console/Ok", other),
               CEGUI::AlreadyExistsException);
  EXPECT_EQ(other->getChildCount(), children);
  EXPECT_EQ(Windows().Find("ZeKorb/Console/Ok"), first);
  EXPECT_THROW(Windows().Create("DefaultWindow", "root_wnd", nullptr),
               CEGUI::AlreadyExistsException);
}

TEST_F(WindowRegistryTest, ForgetsDestroyedWindowsWithTheirChildrenAndTakesTheNameAgain) {
  CEGUI::Window* frame = Windows().Create("TaharezLook/FrameWindow", "ZeKorb/Console/Load", m_root);
  Windows().Create("TaharezLook/Listbox", "ZeKorb/Console/Load/Files", frame);
  CEGUI::Window* kept = Windows().Create("TaharezLook/Button", "ZeKorb/Console/Save", m_root);

  CEGUI::WindowManager::getSingleton().destroyWindow(frame);
  EXPECT_THROW(Windows().Find("ZeKorb/Console/Load"), CEGUI::UnknownObjectException);
  EXPECT_THROW(Windows().Find("ZeKorb/Console/Load/Files"), CEGUI::UnknownObjectException);
  EXPECT_EQ(Windows().Find("ZeKorb/Console/Save"), kept);

  CEGUI::Window* again =
      Windows().Create("TaharezLook/FrameWindow", "ZeKorb/Console/Load", m_root);
  EXPECT_EQ(Windows().Find("ZeKorb/Console/Load"), again);
}

TEST_F(WindowRegistryTest, WindowsTheRegistryOutlivesDoNotCallBackIntoIt) {
  CEGUI::Window* window = nullptr;
  {
    CWindowRegistry local;
    window = local.Create("DefaultWindow", "ZeKorb/Short", m_root);
    EXPECT_EQ(local.Find("ZeKorb/Short"), window);
  }
  // The destruction event of a window made through a registry that is gone reaches nothing.
  CEGUI::WindowManager::getSingleton().destroyWindow(window);
  EXPECT_TRUE(Windows().Contains("root_wnd"));
}

// The widgets and properties the tool windows are built from, as the look provides them.
TEST_F(WindowRegistryTest, ToolWindowWidgetsTakeTheirSettingsByName) {
  struct Setting {
    const char* type;
    const char* property;
    const char* value;
  };
  const Setting settings[] = {
      {"TaharezLook/StaticText", "FrameEnabled", "false"},
      {"TaharezLook/StaticText", "BackgroundEnabled", "false"},
      {"TaharezLook/StaticText", "HorzFormatting", "Justified"},
      {"TaharezLook/StaticText", "HorzFormatting", "WordWrapRightAligned"},
      {"TaharezLook/StaticText", "VertFormatting", "BottomAligned"},
      {"TaharezLook/StaticText", "VertFormatting", "CentreAligned"},
      {"TaharezLook/StaticImage", "Image", "TaharezLook/MouseArrow"},
  };
  int index = 0;
  for (const Setting& setting : settings) {
    const std::string name = "ZeKorb/Console/Widget" + std::to_string(index++);
    CEGUI::Window* window = Windows().Create(setting.type, name.c_str(), m_root);
    window->setProperty(setting.property, setting.value);
    EXPECT_EQ(window->getProperty(setting.property), setting.value)
        << setting.type << " " << setting.property;
  }

  auto* checkbox = dynamic_cast<CEGUI::ToggleButton*>(
      Windows().Create("TaharezLook/Checkbox", "ZeKorb/Console/Check", m_root));
  ASSERT_NE(checkbox, nullptr);
  bool changed = false;
  checkbox->subscribeEvent(CEGUI::ToggleButton::EventSelectStateChanged,
                           [&changed](const CEGUI::EventArgs&) { return changed = true; });
  checkbox->setSelected(true);
  EXPECT_TRUE(checkbox->isSelected());
  EXPECT_TRUE(changed);
}

}  // namespace
