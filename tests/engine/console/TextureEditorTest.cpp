// The texture editor on surfaces whose textures come from a bank on the null device: titles,
// showing while open, the preview image over the texture's GUI texture and the reference it
// takes, and loading through the console's load window.
#include <gtest/gtest.h>

#include <CEGUI/ImageManager.h>

#include <memory>
#include <string>

#include "EditorBench.h"
#include "console/TextureEditor.h"

namespace {

class TextureEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(bench.console->started) << bench.Errors();
    editor = std::make_unique<CTextureEditor>(bench.Windows(), bench.Log(),
                                              "SurfaceEditor");
  }
  void TearDown() override { editor.reset(); }

  static std::string Name(const char* path) {
    return std::string("ZeKorb/Console/SurfaceEditorTextureEditorWindow") + path;
  }
  CEGUI::Window* Frame() { return bench.Window(Name("")); }
  std::string PreviewImage() { return bench.Window(Name("/PreviewWindow"))->getProperty("Image").c_str(); }
  std::string TextureName() { return bench.Window(Name("/TextureName"))->getText().c_str(); }
  static CTexture* TextureOf(CSurfaceInterface* surface, UINT kind) {
    const SurfaceTexture* record = surface->GetTexture(kind);
    return record ? dynamic_cast<CTexture*>(record->pTextureImage) : nullptr;
  }
  void Load(const char* path) { CTextureEditor::OnFileChosen(path, Frame()); }

  EditorBench bench;
  std::unique_ptr<CTextureEditor> editor;
};

TEST_F(TextureEditorTest, TitlesNameTheKindAndOtherKindsAreOther) {
  CSurfaceInterface* surface = bench.AddSurface("plain");
  const std::pair<UINT, const char*> titles[] = {
      {1, "Color0"},       {2, "Color1"},       {7, "Diffuse"},        {8, "Glossiness"},
      {9, "Shininess"},    {10, "Refraction"},  {11, "Reflection"},    {12, "Transparency"},
      {13, "NormalMap"},   {15, "Fresnel"},     {16, "Luminosity"},    {17, "Translucency"},
      {20, "HeightMap"},   {21, "Env Reflection"}, {22, "Env Refraction"}, {14, "Other"},
      {18, "Other"},       {19, "Other"},       {0, "Other"},          {23, "Other"},
  };
  for (const auto& [kind, title] : titles) {
    editor->Show(surface, kind, nullptr);
    EXPECT_EQ(Frame()->getText(), std::string("Texture Editor: ") + title) << kind;
    EXPECT_TRUE(Frame()->isVisible() && Frame()->isAlwaysOnTop());
    EXPECT_TRUE(bench.Click(Name("/OK")));
    EXPECT_FALSE(Frame()->isVisible() || Frame()->isAlwaysOnTop() || editor->IsOpen());
  }
}

TEST_F(TextureEditorTest, ShowingWhileOpenKeepsTheFirstSurfaceKindAndCheckBox) {
  CSurfaceInterface* first = bench.AddSurface("first");
  CSurfaceInterface* second = bench.AddSurface("second");
  auto* box = static_cast<CEGUI::ToggleButton*>(bench.MakeWindow("TaharezLook/Checkbox", "box"));
  editor->Show(first, 7, box);
  editor->Show(second, 13, nullptr);
  EXPECT_EQ(editor->GetSurface(), first);
  EXPECT_EQ(editor->GetTextureKind(), 7u);
  EXPECT_EQ(editor->GetCheckBox(), box);
  EXPECT_EQ(Frame()->getText(), "Texture Editor: Diffuse");
}

TEST_F(TextureEditorTest, AKindWithoutTextureShowsAnEmptyPreviewAndKeepsTheLastFileName) {
  CSurfaceInterface* surface = bench.AddSurface("wall");
  ASSERT_EQ(surface->SetTexture(1, bench.WriteImage("wall.tga")), 1u);
  editor->Show(surface, 1, nullptr);
  EXPECT_EQ(PreviewImage(), CTextureEditor::kImageName);
  const std::string named = surface->GetTextureFileName(1);
  EXPECT_EQ(TextureName(), named);
  bench.Click(Name("/OK"));
  EXPECT_EQ(PreviewImage(), "");
  EXPECT_FALSE(CEGUI::ImageManager::getSingleton().isDefined(CTextureEditor::kImageName));

  editor->Show(surface, 13, nullptr);
  EXPECT_EQ(PreviewImage(), "");
  EXPECT_EQ(TextureName(), named) << "a kind without a file leaves the name";
}

TEST_F(TextureEditorTest, ALoadTicksTheCheckBoxEnablesRefreshAndReplacesTheImage) {
  CSurfaceInterface* surface = bench.AddSurface("wall");
  ASSERT_EQ(surface->SetTexture(7, bench.WriteImage("old.tga")), 1u);
  auto* box = static_cast<CEGUI::ToggleButton*>(bench.MakeWindow("TaharezLook/Checkbox", "box"));
  box->setEnabled(false);
  CEGUI::Window* refresh = bench.MakeWindow("TaharezLook/Button", CTextureEditor::kRefreshName);
  refresh->setEnabled(false);
  editor->Show(surface, 7, box);
  ASSERT_EQ(PreviewImage(), CTextureEditor::kImageName);

  // A name the bank refuses: nothing changes.
  Load(std::string(300, 'x').c_str());
  EXPECT_FALSE(box->isSelected());
  EXPECT_TRUE(box->isDisabled() && refresh->isDisabled());
  EXPECT_EQ(TextureName(), "old.tga");

  Load(bench.WriteImage("new.tga"));
  EXPECT_TRUE(box->isSelected());
  EXPECT_FALSE(box->isDisabled() || refresh->isDisabled());
  EXPECT_EQ(TextureName(), "new.tga");
  EXPECT_EQ(PreviewImage(), CTextureEditor::kImageName);
  EXPECT_TRUE(editor->IsOpen());
  // The old texture's last reference was the preview's: it left the bank with the image.
  EXPECT_EQ(bench.Bank()->GetTextureByName("old.tga", 0), nullptr);
  EXPECT_EQ(TextureOf(surface, 7)->GetReferenceCount(), 2u) << "the surface's and the preview's";
}

TEST_F(TextureEditorTest, ClosingAndReopeningForAnotherSurfaceGivesTheFirstTextureBack) {
  CSurfaceInterface* first = bench.AddSurface("first");
  CSurfaceInterface* second = bench.AddSurface("second");
  ASSERT_EQ(first->SetTexture(1, bench.WriteImage("first.tga")), 1u);
  ASSERT_EQ(second->SetTexture(1, bench.WriteImage("second.tga")), 1u);
  CTexture* texture = TextureOf(first, 1);
  const UINT references = texture->GetReferenceCount();
  for (int round = 0; round < 3; ++round) {
    editor->Show(first, 1, nullptr);
    EXPECT_EQ(texture->GetReferenceCount(), references + 1);
    bench.Click(Name("/OK"));
    EXPECT_EQ(texture->GetReferenceCount(), references) << round;
  }
  editor->Show(first, 1, nullptr);
  bench.Click(Name("/OK"));
  editor->Show(second, 1, nullptr);
  EXPECT_EQ(PreviewImage(), CTextureEditor::kImageName);
  EXPECT_EQ(texture->GetReferenceCount(), references);
  EXPECT_EQ(bench.Errors(), "");
}

TEST_F(TextureEditorTest, LoadOpensTheConsolesLoadWindowOnTheImageFiles) {
  editor->Show(bench.AddSurface("wall"), 7, nullptr);
  EXPECT_TRUE(bench.Click(Name("/Load")));
  ASSERT_NE(bench.Window("ZeKorb/Console/LoadWindow"), nullptr);
  EXPECT_TRUE(bench.Window("ZeKorb/Console/LoadWindow")->isVisible());
  EXPECT_EQ(bench.Window("ZeKorb/Console/LoadWindow/Combobox")->getText(),
            "*.bmp;*.dds;*.hdr;*.jpg;*.png;*.tga;");
}

}  // namespace
