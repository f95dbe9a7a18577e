// Cursor nodes through the platform's cursor calls, with the core reached through its port.
#include <gtest/gtest.h>
#include <tinyxml.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "CursorFileWriter.h"
#include "LogFolder.h"
#include "RecordingCorePort.h"
#include "framework/CursorsManager.h"
#include "framework/NodeFactory.h"
#include "framework/SystemCursor.h"

namespace {

// The system cursor's display count, left as it was.
int DisplayCount() {
  const int count = ShowCursor(TRUE);
  ShowCursor(FALSE);
  return count - 1;
}

class SystemCursorTest : public LogFolder {
 protected:
  void SetUp() override {
    LogFolder::SetUp();
    m_savedTypes.swap(g_mapNodeFactory);
    ASSERT_TRUE(RegisterNodeType<geCSystemCursor>("SystemCursor"));
    m_manager = new geCCursorsManager(nullptr);
    m_displayCount = DisplayCount();
  }
  // The display count is the process's: each test leaves it as it found it.
  void TearDown() override {
    while (DisplayCount() < m_displayCount) ShowCursor(TRUE);
    while (DisplayCount() > m_displayCount) ShowCursor(FALSE);
    m_manager.Reset();
    m_savedTypes.swap(g_mapNodeFactory);
    LogFolder::TearDown();
  }

  geCSystemCursor* Make(const std::string& params) {
    m_documents.push_back(std::make_unique<TiXmlDocument>());
    m_documents.back()->Parse(("<Cursor Type='SystemCursor'>" + params + "</Cursor>").c_str());
    return static_cast<geCSystemCursor*>(
        m_manager->CreateChildFromXML(m_documents.back()->RootElement()));
  }

  CRecordingCorePort m_core;
  geTRefPtr<geCCursorsManager> m_manager;
  std::vector<std::unique_ptr<TiXmlDocument>> m_documents;
  std::map<std::string, geNodeCreator, std::less<>> m_savedTypes;
  int m_displayCount = 0;
};

}  // namespace

TEST_F(SystemCursorTest, CursorWithoutFileShowsTheArrow) {
  const int before = DisplayCount();
  geCSystemCursor* cursor = Make("<Param Enabled='1'/>");
  ASSERT_NE(cursor, nullptr);
  const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
  EXPECT_EQ(cursor->GetCursorHandle(), arrow);
  EXPECT_EQ(m_core.cursor, arrow);
  EXPECT_TRUE(cursor->IsEnabled());
  EXPECT_EQ(DisplayCount(), before + 1);
}

TEST_F(SystemCursorTest, CursorFileIsLoadedFromItsDirectory) {
  std::filesystem::create_directories(std::filesystem::path(m_folder.Path()) / "cursors");
  std::ofstream(std::filesystem::path(m_folder.Path()) / "cursors" / "hand.cur", std::ios::binary)
      << CursorFileWriter::Monochrome(32, 32, 3, 4);
  std::ofstream(std::filesystem::path(m_folder.Path()) / "cursors" / "bad.cur") << "not a cursor";
  const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);

  geCSystemCursor* hand = Make("<Param Directory='cursors\\' File='Hand.cur' Enabled='1'/>");
  ASSERT_NE(hand->GetCursorHandle(), nullptr);
  EXPECT_NE(hand->GetCursorHandle(), arrow);
  EXPECT_EQ(m_core.cursor, hand->GetCursorHandle());
  // A file that cannot be loaded falls back to the arrow.
  EXPECT_EQ(Make("<Param Directory='cursors\\' File='bad.cur'/>")->GetCursorHandle(), arrow);
  EXPECT_EQ(Make("<Param File='cursors\\missing.cur'/>")->GetCursorHandle(), arrow);
}

TEST_F(SystemCursorTest, EveryEnableAndDisableMovesTheDisplayCountByOne) {
  geCSystemCursor* first = Make("<Param Enabled='1'/>");
  geCSystemCursor* second = Make("<Param Enabled='1'/>");
  const int start = DisplayCount();
  first->Enable(1);
  EXPECT_EQ(DisplayCount(), start + 1) << "already enabled, still counted";
  first->Disable(1);
  first->Disable(1);
  EXPECT_EQ(DisplayCount(), start - 1);
  EXPECT_FALSE(first->IsEnabled());
  // Disabling any cursor leaves the game without a cursor of its own, even with another shown.
  second->Enable(1);
  EXPECT_EQ(m_core.cursor, second->GetCursorHandle());
  first->Disable(1);
  EXPECT_EQ(m_core.cursor, nullptr);
  EXPECT_TRUE(second->IsEnabled());
  // A cursor configured disabled hides itself once, through the node's configuration.
  const int beforeDisabled = DisplayCount();
  EXPECT_FALSE(Make("<Param Enabled='0'/>")->IsEnabled());
  EXPECT_EQ(DisplayCount(), beforeDisabled - 1);
}

TEST_F(SystemCursorTest, UpdateCopiesTheCoresMousePosition) {
  geCSystemCursor* cursor = Make("<Param Enabled='1'/>");
  m_core.mouse.fMouseX = 0.25f;
  m_core.mouse.fMouseY = 0.75f;
  geSUpdateArgument arg = {0.0f, 0.0f};
  cursor->Update(&arg);
  EXPECT_EQ(g_fCursorX, 0.25f);
  EXPECT_EQ(g_fCursorY, 0.75f);
}

TEST_F(SystemCursorTest, ClassIdentitiesAndTheManagerSingleton) {
  geCSystemCursor* cursor = Make("");
  EXPECT_STREQ(cursor->GetClassName(), "geCBaseNode");
  EXPECT_TRUE(cursor->IsKindOf("geCBaseNode"));
  EXPECT_TRUE(cursor->IsKindOf("geCBaseObject"));
  EXPECT_FALSE(cursor->IsKindOf("geCSystemCursor"));
  EXPECT_EQ(cursor->GetClassSize(), sizeof(geCSystemCursor));
  EXPECT_EQ(m_manager->GetClassSize(), sizeof(geCCursorsManager));
  EXPECT_STREQ(m_manager->GetClassName(), "geCBaseNode");
  EXPECT_EQ(geCCursorsManager::GetInstance(), m_manager.Get());
  m_manager.Reset();
  EXPECT_EQ(geCCursorsManager::GetInstance(), nullptr);
}
