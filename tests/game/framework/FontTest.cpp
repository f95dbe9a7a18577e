// Fonts on the recording sprite and texture banks: glyph tables from XML, the sprite's set-up,
// drawing the queued texts quad by quad, and the font manager.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>
#include <string>

#include "FakeSurfaceBanks.h"
#include "GameTestZeKorbInterface.h"
#include "LogFolder.h"
#include "RecordingSpriteBank.h"
#include "framework/EngineGlobals.h"
#include "framework/ExtendedTexturedFont.h"
#include "framework/FontManager.h"
#include "framework/NormalTextureFont.h"
#include "framework/ZeKorbFont.h"

namespace {

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class FontTest : public LogFolder {
 protected:
  void SetUp() override {
    LogFolder::SetUp();
    m_engine.renderer.spriteStorage = &m_sprites;
    m_engine.renderer.textureStorage = &m_textures;
    g_pZeKorb = &m_engine;
  }
  void TearDown() override {
    g_pZeKorb = nullptr;
    LogFolder::TearDown();
  }

  // A font of the class configured from one Font element.
  template <class TFont>
  TFont* Configure(const std::string& xml) {
    m_documents.push_back(std::make_unique<TiXmlDocument>());
    m_documents.back()->Parse(xml.c_str());
    auto* font = new TFont(m_root.Get());
    font->RegisterProperties();
    font->Configure(m_documents.back()->RootElement());
    return font;
  }
  FakeSprite& Sprite(size_t index = 0) { return *m_sprites.sprites.at(index); }
  std::string Log() const { return Read("GameEngine.log"); }

  CGameTestZeKorbInterface m_engine;
  RecordingSpriteBank m_sprites;
  FakeTextureStorage m_textures;
  geTRefPtr<geCBaseNode> m_root = new geCBaseNode(nullptr);
  std::vector<std::unique_ptr<TiXmlDocument>> m_documents;
};

void ExpectUV(const Vertex& vertex, float u, float v) {
  EXPECT_FLOAT_EQ(vertex.fTU[0], u);
  EXPECT_FLOAT_EQ(vertex.fTV[0], v);
}

}  // namespace

TEST_F(FontTest, NormalFontCutsTheGridAndSetsUpItsSprite) {
  Configure<geCNormalTextureFont>(
      "<Font Name='Grid'><Param CharWidth='16' CharHeight='16' Texture='f.png'"
      " AlphaTexture='f_a.png' AlphaBlending='1' ScaleWidth='0.5' ScaleHeight='1'/></Font>");
  ASSERT_EQ(m_sprites.requests.size(), 1u);
  const RecordingSpriteBank::Request& request = m_sprites.requests[0];
  EXPECT_EQ(request.name, "Grid");
  EXPECT_EQ(request.quadCount, 256u);
  EXPECT_EQ(request.textureCount, 1u);
  EXPECT_EQ(request.material, nullptr);
  EXPECT_EQ(request.orientationFlags, 8u);
  EXPECT_EQ(request.reuse, 0u);
  // A screen-space sprite takes transformed positions; the colour comes from the bone indices.
  EXPECT_EQ(request.elements[0].Usage, D3DDECLUSAGE_POSITIONT);
  EXPECT_EQ(request.elements[0].Type, D3DDECLTYPE_FLOAT4);
  EXPECT_EQ(request.elements[1].Usage, D3DDECLUSAGE_COLOR);
  EXPECT_EQ(request.elements[2].Usage, D3DDECLUSAGE_TEXCOORD);
  EXPECT_EQ(request.elements[2].Type, D3DDECLTYPE_FLOAT2);
  ASSERT_EQ(m_textures.made.size(), 1u);
  EXPECT_EQ(m_textures.made[0]->names[0], "f.png");
  EXPECT_EQ(m_textures.made[0]->names[4], "f_a.png");
  EXPECT_EQ(request.surfaceTextures[0]->pTextureImage, m_textures.made[0].get());
  EXPECT_EQ(request.surfaceTextures[0]->mtxMatrix.m[0][0], 1.0f);

  FakeSprite& sprite = Sprite();
  EXPECT_EQ(sprite.zTest, 0u);
  EXPECT_EQ(sprite.zWrite, 0u);
  EXPECT_EQ(sprite.alphaBlending, 1u);
  EXPECT_EQ(sprite.blendSource, 5u);
  EXPECT_EQ(sprite.blendDestination, 6u);
  EXPECT_EQ(sprite.quadsAdded, 256);
  EXPECT_EQ(std::count(sprite.quadActive.begin(), sprite.quadActive.end(), 1u), 0);

  // Code 65 sits in row 4, column 1: corners top right, top left, bottom right, bottom left.
  const std::array<Vertex, 4>& a = sprite.quads[65];
  ExpectUV(a[0], 0.125f, 0.25f);
  ExpectUV(a[1], 0.0625f, 0.25f);
  ExpectUV(a[2], 0.125f, 0.3125f);
  ExpectUV(a[3], 0.0625f, 0.3125f);
  // The corner template scaled: 0.5 × 0.5 wide, 0.5 × 1 high, y downward; no bones.
  EXPECT_FLOAT_EQ(a[0].vecPosition.x, 0.25f);
  EXPECT_FLOAT_EQ(a[3].vecPosition.y, 0.5f);
  EXPECT_EQ(a[2].wBonesIndices[3], 255);
}

TEST_F(FontTest, NormalFontDefaultsAndMissingCellCounts) {
  auto* font = Configure<geCNormalTextureFont>("<Font Name='Plain'/>");
  ASSERT_EQ(m_textures.made.size(), 1u);
  EXPECT_EQ(m_textures.made[0]->names[0], "fonts/default.png");
  EXPECT_EQ(m_textures.made[0]->names[4], "fonts/default_a.png");
  EXPECT_EQ(Sprite().alphaBlending, 0u);
  // Without cell counts the grid is 16 × 16, logged; the default scale is 0.15.
  const geSGlyph* glyph = font->GetGlyph(17);
  ASSERT_NE(glyph, nullptr);
  ExpectUV(glyph->vertices[1], 0.0625f, 0.0625f);
  EXPECT_FLOAT_EQ(glyph->vertices[0].vecPosition.x, 0.075f);
  EXPECT_PRED2(Contains, Log(), "WARNING: font 'Plain' has no usable CharWidth, 16 used\n");
  EXPECT_PRED2(Contains, Log(), "WARNING: font 'Plain' has no usable CharHeight, 16 used\n");
}

TEST_F(FontTest, NormalFontDrawsWithThePenSpacingAndOffset) {
  struct Case {
    const char* name;
    const char* params;
    std::string text;
    std::vector<UINT> active;
    // Left edge of each active quad, from the text's x of 0.1.
    std::vector<float> left;
    BYTE firstCode;  // the glyph the first active quad shows
  } cases[] = {
      // Each glyph is 0.075 wide; character k moves 0.01 × (k + 1) further.
      {"spacing", "WidthSpacing='0.01'", "AB", {0, 1}, {0.11f, 0.195f}, 'A'},
      {"offset", "CharOffset='32.7'", "A", {0}, {0.1f}, 'A' - 32},
      // Codes whose index leaves 0 to 255 have no glyph: skipped, the pen stays.
      {"below the table", "CharOffset='32'", "\x14" "A", {1}, {0.1f}, 'A' - 32},
      {"above the table", "CharOffset='-10'", "\xFA" "A", {1}, {0.1f}, 'A' + 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m_sprites.sprites.clear();
    auto* font = Configure<geCNormalTextureFont>(
        std::string("<Font Name='F'><Param CharWidth='16' CharHeight='16' ") + c.params +
        "/></Font>");
    font->AddText(0.1f, 0.2f, c.text.c_str());
    font->DrawTexts();
    FakeSprite& sprite = Sprite();
    ASSERT_EQ(sprite.drawnQuads.size(), 1u);
    EXPECT_EQ(sprite.drawnQuads[0], c.active);
    for (size_t i = 0; i < c.active.size(); ++i) {
      const std::array<Vertex, 4>& quad = sprite.quads[c.active[i]];
      EXPECT_NEAR(quad[1].vecPosition.x, c.left[i], 1e-6f) << "quad " << c.active[i];
      EXPECT_FLOAT_EQ(quad[1].vecPosition.y, 0.2f);
    }
    const geSGlyph* glyph = font->GetGlyph(c.firstCode);
    ASSERT_NE(glyph, nullptr);
    ExpectUV(sprite.quads[c.active[0]][2], glyph->vertices[2].fTU[0], glyph->vertices[2].fTV[0]);
  }
}

TEST_F(FontTest, ExtendedFontReadsItsCharsWithTheFlip) {
  auto* font = Configure<geCExtendedTexturedFont>(
      "<Font Name='Menu'><Param Texture='m.png' UVCoordinatesFromLW='1' ScaleWidth='2'"
      " ScaleHeight='4'/>"
      "<Char Name='A' UpperLeftU='0.1' UpperLeftV='0.25' LowerRightU='0.2' LowerRightV='0.5'/>"
      "<Char Name='0' UpperLeftU='0.3' UpperLeftV='0' LowerRightU='0.4' LowerRightV='0.5'/>"
      "<Char UpperLeftU='0.5'/></Font>");
  EXPECT_EQ(font->GetNumberOfGlyphs(), 2);
  EXPECT_PRED2(Contains, Log(), "-Number of chars in font 'Menu' = 2\n");
  EXPECT_PRED2(Contains, Log(), "WARNING: Char without Name in font 'Menu' skipped\n");
  ASSERT_EQ(m_textures.made.size(), 1u);
  EXPECT_EQ(m_textures.made[0]->names[4], "") << "no alpha texture was named";

  FakeSprite& sprite = Sprite();
  const std::array<Vertex, 4>& a = sprite.quads['A'];
  ExpectUV(a[0], 0.2f, 0.75f);
  ExpectUV(a[1], 0.1f, 0.75f);
  ExpectUV(a[2], 0.2f, 0.5f);
  ExpectUV(a[3], 0.1f, 0.5f);
  EXPECT_FLOAT_EQ(a[0].vecPosition.x, 1.0f);
  EXPECT_FLOAT_EQ(a[2].vecPosition.y, 2.0f);
  // A code without a glyph of its own shows the "0" glyph in its quad.
  ExpectUV(sprite.quads['B'][1], 0.3f, 1.0f);
  EXPECT_EQ(sprite.quadsAdded, 256);
}

TEST_F(FontTest, ExtendedFontWithoutZeroGlyphSkipsCodesWithoutGlyph) {
  auto* font = Configure<geCExtendedTexturedFont>(
      "<Font Name='Sparse'><Char Name='A' UpperLeftU='0' UpperLeftV='0' LowerRightU='0.5'"
      " LowerRightV='0.5'/></Font>");
  FakeSprite& sprite = Sprite();
  EXPECT_EQ(sprite.quadsAdded, 1) << "only the glyph's own quad is filled";
  EXPECT_EQ(std::count(sprite.quadActive.begin(), sprite.quadActive.end(), 1u), 0);
  font->AddText(1.0f, 0.0f, "ABA");
  font->DrawTexts();
  ASSERT_EQ(sprite.drawnQuads.size(), 1u);
  EXPECT_EQ(sprite.drawnQuads[0], (std::vector<UINT>{0, 2}));
  // "B" does not move the pen: the second "A" follows the first directly (width 0.5).
  EXPECT_FLOAT_EQ(sprite.quads[2][1].vecPosition.x, 1.5f);
}

TEST_F(FontTest, QueuedTextsDrawOneByOneAndEmptyTheQueue) {
  auto* font = Configure<geCExtendedTexturedFont>(
      "<Font Name='Q'><Char Name='0'/><Char Name='x'/></Font>");
  font->AddText(0.0f, 0.0f, std::string(300, 'x').c_str());
  font->AddText(0.0f, 0.5f, "xx");
  font->DrawTexts();
  FakeSprite& sprite = Sprite();
  ASSERT_EQ(sprite.drawnQuads.size(), 2u);
  EXPECT_EQ(sprite.drawnQuads[0].size(), 256u) << "a long text shows its first 256 characters";
  EXPECT_EQ(sprite.drawnQuads[1], (std::vector<UINT>{0, 1})) << "none of the first text's quads";
  EXPECT_FLOAT_EQ(sprite.quads[1][0].vecPosition.y, 0.5f);
  font->DrawTexts();
  EXPECT_EQ(sprite.drawnQuads.size(), 2u) << "the queue was emptied";
}

TEST_F(FontTest, FontWithoutSpriteLogsAndDrawsNothing) {
  m_sprites.refuse = true;
  auto* font = Configure<geCNormalTextureFont>("<Font Name='None'/>");
  EXPECT_EQ(font->GetSprite(), nullptr);
  EXPECT_PRED2(Contains, Log(), "ERROR: can't create sprite for font 'None'\n");
  font->AddText(0.0f, 0.0f, "A");
  font->DrawTexts();  // nothing to draw with, and nothing breaks
}

TEST_F(FontTest, EngineFontHandsItsTextsToTheEngine) {
  auto* font = new geCZeKorbFont(m_root.Get());
  font->AddText(0.05f, 0.6f, "Frames");
  font->AddText(0.1f, 0.2f, "");
  font->DrawTexts();
  ASSERT_EQ(m_engine.printed.size(), 2u);
  EXPECT_EQ(m_engine.printed[0].text, "Frames");
  EXPECT_EQ(m_engine.printed[0].length, 6u);
  EXPECT_FLOAT_EQ(m_engine.printed[0].x, 0.05f);
  EXPECT_FLOAT_EQ(m_engine.printed[0].y, 0.6f);
  EXPECT_EQ(m_engine.printed[1].length, 0u);
  font->DrawTexts();
  EXPECT_EQ(m_engine.printed.size(), 2u);
  EXPECT_EQ(font->GetSprite(), nullptr);
}

TEST_F(FontTest, ManagerGivesIdsFromZeroAndFindsNamesInAnyCase) {
  EXPECT_EQ(geCFontManager::GetInstance(), nullptr);
  {
    geCFontManager manager;
    EXPECT_EQ(geCFontManager::GetInstance(), &manager);
    auto* first = Configure<geCExtendedTexturedFont>("<Font Name='CreditsFont'/>");
    auto* second = Configure<geCExtendedTexturedFont>("<Font Name='creditsfont'/>");
    auto* third = new geCZeKorbFont(m_root.Get());
    third->SetName("Other");
    EXPECT_EQ(manager.AddFont(first), 0u);
    EXPECT_EQ(manager.AddFont(second), 1u);
    EXPECT_EQ(manager.AddFont(third), 2u);
    EXPECT_EQ(manager.GetFont(1), second);
    EXPECT_EQ(manager.GetFont(3), nullptr);
    EXPECT_EQ(manager.GetFontByName("CREDITSFONT"), first);
    EXPECT_EQ(manager.GetFontByName("other"), third);
    EXPECT_EQ(manager.GetFontByName("Missing"), nullptr);
    EXPECT_EQ(manager.GetFontByName(nullptr), nullptr);
    EXPECT_EQ(manager.GetFonts().size(), 3u);
  }
  EXPECT_EQ(geCFontManager::GetInstance(), nullptr);
}
