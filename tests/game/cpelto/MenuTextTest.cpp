// Menu texts: glyph cells, measuring, drawing and the script-facing operations.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MenuFixture.h"

namespace {

class MenuTextTest : public MenuFixture {
 protected:
  CMenuText* Text(const std::string& params) {
    return Build<CMenuText>("<Node Type=\"MenuText\" Name=\"T\"><Param " + params + "/></Node>");
  }
  // The x translation of the world transform set for the character numbered `index`.
  float PenX(size_t index) const { return World(static_cast<int>(index))._41; }
};

TEST_F(MenuTextTest, MeasuredSizeFollowsCellsSizeAndText) {
  struct Case {
    const char* params;
    float width, height;
  } cases[] = {
      {R"(CharWidth="16" CharHeight="16" Size="20" Text="abc")", 60, 20},
      {R"(CharWidth="16" CharHeight="8" Size="20" Text="abc")", 60, 40},  // tall cells
      {R"(CharWidth="16" CharHeight="16" Text="ab")", 32, 16},            // "Size" from the cells
      {R"(CharWidth="16" CharHeight="16" Size="20" Text="")", 0, 20},
      {R"(CharWidth="16" CharHeight="16" Size="20" Text="ab" BetweenCharOffset="3")", 46, 20},
      // Without cell counts the usual 16 × 16 grid is taken rather than dividing by nothing.
      {R"(Size="20" Text="abc")", 60, 20},
      {R"(CharWidth="0" CharHeight="16" Text="a")", 16, 16},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.params);
    CMenuText* text = Text(c.params);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->GetWidth(), c.width);
    EXPECT_EQ(text->GetHeight(), c.height);
  }
  const std::string log = Read("GameEngine.log");
  EXPECT_NE(log.find("WARNING: text 'T' has no valid CharWidth, 16 used\n"), std::string::npos);
  EXPECT_NE(log.find("WARNING: text 'T' has no valid CharHeight, 16 used\n"), std::string::npos);

  // At twice the design width the offset between characters counts in screen units.
  SetScreenSize(1600, 600);
  CMenuText* wide =
      Text(R"(CharWidth="16" CharHeight="16" Size="20" Text="ab" BetweenCharOffset="3")");
  EXPECT_EQ(wide->GetWidth(), 52.0f);
}

TEST_F(MenuTextTest, CharactersDrawTheirCellsAlongTheLine) {
  // Code 32 draws cell 0, 33 cell 1, 126 the cell in row 5, column 14; code 31 lies before the
  // table and repeats the previous cell.
  CMenuText* text =
      Text(R"(CharWidth="16" CharHeight="8" Size="20" CharOffset="32" Text=" !&#31;~")");
  ASSERT_NE(text, nullptr);
  text->Render(0);
  ASSERT_EQ(Renderer().primitives.size(), 4u);
  struct Cell {
    float u, v;  // top-right corner
  } cells[] = {{1 / 16.0f, 0}, {2 / 16.0f, 0}, {2 / 16.0f, 0}, {15 / 16.0f, 5 / 8.0f}};
  for (size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const std::vector<geSMenuVertex> quad = Vertices(i);
    ASSERT_EQ(quad.size(), 6u);
    EXPECT_FLOAT_EQ(quad[0].u, cells[i].u);
    EXPECT_FLOAT_EQ(quad[0].v, cells[i].v);
    EXPECT_FLOAT_EQ(quad[5].u, cells[i].u - 1 / 16.0f);  // bottom-left
    EXPECT_FLOAT_EQ(quad[5].v, cells[i].v + 1 / 8.0f);
    EXPECT_EQ(quad[0].x, 19.5f);
    EXPECT_EQ(quad[0].y, 39.5f);
    EXPECT_EQ(PenX(i), 20.0f * static_cast<float>(i));
  }
  const std::vector<std::string>& calls = Renderer().calls;
  ASSERT_GE(calls.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(calls.end() - 4, calls.end()),
            (std::vector<std::string>{"state 27=0", "stage 0 1=1", "stage 0 4=1", "fvf 0"}));
  const auto* top = text->GetMatrixStack()->GetTop();
  EXPECT_EQ(top->_41, 0.0f);  // popped again
  EXPECT_EQ(top->_11, 1.0f);

  // A text of 300 characters draws and measures its first 256.
  m_menuTop.renderer.primitives.clear();
  text->SetText(std::string(300, 'a').c_str());
  EXPECT_EQ(text->GetWidth(), 256.0f * 20.0f);
  text->Render(0);
  EXPECT_EQ(Renderer().primitives.size(), 256u);
}

TEST_F(MenuTextTest, OffsetBetweenCharsMovesTheDrawingButNotTheHitRectangle) {
  CMenuText* text = Text(R"(CharWidth="16" CharHeight="16" Size="20" Text="ab")");
  ASSERT_NE(text, nullptr);
  text->SetOffsetBetweenChars(5.0f);
  EXPECT_EQ(text->GetWidth(), 40.0f);
  const CVector3 pastTheLine(45.0f, 10.0f, 0.0f);
  EXPECT_FALSE(text->HitTest(&pastTheLine));
  text->Render(0);
  EXPECT_EQ(PenX(1), 25.0f);
  text->SetText(nullptr);  // measures again
  EXPECT_EQ(text->GetWidth(), 50.0f);
  EXPECT_TRUE(text->HitTest(&pastTheLine));
}

TEST_F(MenuTextTest, TextAccessAndMeasuringWithoutDrawing) {
  SetScreenSize(1600, 1200);
  CMenuText* text =
      Text(R"(CharWidth="16" CharHeight="16" Size="20" Text="abc" Translation="10;20;0")");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->GetText(), "abc");
  int width = 7;
  int height = 0;
  text->CalculateSize("hello", &width, &height);
  EXPECT_EQ(width, 7 + 100);  // added to
  EXPECT_EQ(height, 20);
  EXPECT_EQ(text->GetText(), "abc");
  EXPECT_EQ(text->GetWidth(), 60.0f);
  EXPECT_TRUE(Renderer().calls.empty());
  EXPECT_TRUE(Renderer().primitives.empty());

  // The origin in screen pixels follows scripts moving the stack; the configured one stays.
  EXPECT_EQ(text->GetTransformedTranslation(), CVector3(20, 40, 0));
  text->GetMatrixStack()->TranslateLocal(5, 0, 0);
  EXPECT_EQ(text->GetTransformedTranslation(), CVector3(30, 40, 0));
  EXPECT_EQ(*text->GetTranslation(), CVector3(10, 20, 0));

  text->SetColor(0.5f, 1.0f, 0.0f, 1.5f);
  EXPECT_EQ(text->GetColor(), 0x80FF00FFu);
  EXPECT_TRUE(text->IsKindOf("CMenuItem"));
  EXPECT_FALSE(text->IsKindOf("CMenuPicture"));
}

}  // namespace
