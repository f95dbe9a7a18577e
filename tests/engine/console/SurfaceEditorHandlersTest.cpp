// The surface editor's widget handlers over real surfaces: check boxes dropping textures and
// envelopes at once, edits and sliders in step without echo, texture buttons opening the texture
// editor, what only marks the window as changed, failures, and the subscriptions in all.
#include <gtest/gtest.h>

#include <CEGUI/WindowManager.h>
#include <CEGUI/widgets/Combobox.h>
#include <CEGUI/widgets/Slider.h>

#include <memory>
#include <string>

#include "EditorBench.h"
#include "console/SurfaceEditor.h"
#include "console/TextureEditor.h"
#include "scene/Envelope.h"

namespace {

std::string W(const char* path) { return CSurfaceEditor::Widget(path); }

class SurfaceEditorHandlersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(bench.console->started) << bench.Errors();
    editor = std::make_unique<CSurfaceEditor>(bench.Windows(), bench.Log());
    surface = bench.AddSurface("brick");
  }
  void TearDown() override { editor.reset(); }

  bool RefreshEnabled() { return !bench.Window(W("/Refresh"))->isDisabled(); }
  CEGUI::ToggleButton* Box(const char* path) { return bench.CheckBox(W(path)); }
  CEGUI::Slider* Slider(const char* path) { return static_cast<CEGUI::Slider*>(bench.Window(W(path))); }
  void SetTexture(UINT kind, const char* file) {
    ASSERT_EQ(surface->SetTexture(kind, bench.WriteImage(file)), 1u) << kind;
  }

  EditorBench bench;
  std::unique_ptr<CSurfaceEditor> editor;
  CSurfaceInterface* surface = nullptr;
};

TEST_F(SurfaceEditorHandlersTest, UntickingATextureBoxDropsTheTextureAtOnceAndTickingChangesNothing) {
  SetTexture(7, "diffuse.tga");
  SetTexture(8, "gloss.tga");
  editor->Show(surface);
  ASSERT_TRUE(Box("/Difuse/TextureCheckBox")->isSelected());
  ASSERT_FALSE(RefreshEnabled());
  Box("/Difuse/TextureCheckBox")->setSelected(false);
  EXPECT_EQ(surface->GetTextureFileName(7), nullptr);
  EXPECT_STREQ(surface->GetTextureFileName(8), "gloss.tga") << "the slot's other image stays";
  EXPECT_TRUE(RefreshEnabled());
  EXPECT_TRUE(Box("/Difuse/TextureCheckBox")->isDisabled());

  Box("/Difuse/TextureCheckBox")->setSelected(true);
  EXPECT_EQ(surface->GetTextureFileName(7), nullptr);
  EXPECT_STREQ(surface->GetTextureFileName(8), "gloss.tga");
}

TEST_F(SurfaceEditorHandlersTest, EachRowsBoxesDropItsOwnTexturesAndEnvelopes) {
  // The second images of the colour and normal textures (kinds 12 and 20) are left out: the
  // surface rebuilds such a texture from the first texture's name, not its file.
  struct Case {
    const char* key;
    UINT kind;
    UINT channel;  // 0: the row keeps no envelope
  };
  const Case cases[] = {{"Difuse", 7, 1},      {"Luminosity", 16, 9}, {"SpecularGloss", 8, 2},
                        {"SpecularExp", 9, 3}, {"Refraction", 10, 4}, {"Reflection", 11, 5},
                        {"Fresnel", 15, 0},    {"Translucency", 17, 10}, {"Bump", 13, 0}};
  SetTexture(1, "colour.tga");
  SetTexture(2, "second.tga");
  for (const Case& c : cases) {
    SetTexture(c.kind, (std::string(c.key) + ".tga").c_str());
    if (c.channel) surface->SetMaterialEnvelope(c.channel, new CEnvelope(1, nullptr, 0.5f));
  }
  for (UINT channel : {15u, 16u, 17u}) surface->SetMaterialEnvelope(channel, new CEnvelope(1, nullptr, 0.5f));
  editor->Show(surface);
  EXPECT_FALSE(RefreshEnabled());

  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    const std::string row = std::string("/") + c.key + "/";
    ASSERT_NE(surface->GetTextureFileName(c.kind), nullptr);
    Box((row + "TextureCheckBox").c_str())->setSelected(false);
    EXPECT_EQ(surface->GetTextureFileName(c.kind), nullptr);
    if (c.channel == 0) continue;
    ASSERT_TRUE(Box((row + "EnvelopeCheckBox").c_str())->isSelected());
    Box((row + "EnvelopeCheckBox").c_str())->setSelected(false);
    EXPECT_EQ(surface->GetMaterialEnvelope(c.channel), nullptr);
    EXPECT_TRUE(Box((row + "EnvelopeCheckBox").c_str())->isDisabled());
  }
  Box("/Color/TextureCheckBox")->setSelected(false);
  EXPECT_EQ(surface->GetTexture(1), nullptr);
  EXPECT_EQ(surface->GetTexture(2), nullptr);
  Box("/Color/EnvelopeCheckBox")->setSelected(false);
  for (UINT channel : {15u, 16u, 17u}) EXPECT_EQ(surface->GetMaterialEnvelope(channel), nullptr) << channel;
}

TEST_F(SurfaceEditorHandlersTest, ShowSetsAndClearsBoxesWithoutDroppingAnything) {
  SetTexture(1, "colour.tga");
  SetTexture(2, "second.tga");
  editor->Show(surface);
  ASSERT_TRUE(Box("/Color/TextureCheckBox")->isSelected());
  bench.Click(W("/OK"));
  // The colour's first image goes elsewhere; showing again clears the box, which must not drop
  // the second.
  surface->SetTexture(1, nullptr);
  editor->Show(surface);
  EXPECT_FALSE(Box("/Color/TextureCheckBox")->isSelected());
  EXPECT_NE(surface->GetTexture(2), nullptr);
  EXPECT_FALSE(RefreshEnabled());
}

TEST_F(SurfaceEditorHandlersTest, EditAndSliderKeepInStepWithoutEcho) {
  editor->Show(surface);
  int editWrites = 0, sliderMoves = 0;
  bench.Window(W("/Refraction/Edit"))->subscribeEvent(CEGUI::Window::EventTextChanged,
      [&editWrites](const CEGUI::EventArgs&) { return ++editWrites, true; });
  Slider("/Refraction/Slider")->subscribeEvent(CEGUI::Slider::EventValueChanged,
      [&sliderMoves](const CEGUI::EventArgs&) { return ++sliderMoves, true; });

  bench.Window(W("/Refraction/Edit"))->setText("1.5");
  EXPECT_FLOAT_EQ(Slider("/Refraction/Slider")->getCurrentValue(), 0.5f);
  EXPECT_TRUE(RefreshEnabled());
  EXPECT_EQ(editWrites, 1) << "the slider did not write the edit back";

  editWrites = sliderMoves = 0;
  Slider("/Refraction/Slider")->setCurrentValue(0.25f);
  EXPECT_EQ(bench.Window(W("/Refraction/Edit"))->getText(), "1.25");
  EXPECT_EQ(editWrites, 1);
  EXPECT_EQ(sliderMoves, 1) << "the edit did not move the slider back";

  bench.Window(W("/Difuse/Edit"))->setText("abc");
  EXPECT_FLOAT_EQ(Slider("/Difuse/Slider")->getCurrentValue(), 0.0f);
}

TEST_F(SurfaceEditorHandlersTest, TextureButtonsOpenTheTextureEditorOnTheirKind) {
  editor->Show(surface);
  CTextureEditor* textures = editor->GetTextureEditor();
  EXPECT_TRUE(bench.Click(W("/Color/TextureButton")));
  EXPECT_EQ(textures->GetTextureKind(), 1u);
  EXPECT_EQ(textures->GetCheckBox(), Box("/Color/TextureCheckBox"));
  EXPECT_TRUE(bench.Click(W("/Bump/TextureButton")));
  EXPECT_EQ(textures->GetTextureKind(), 1u) << "open already: the first kind stays";
  bench.Window(W("/Refresh"))->setEnabled(false);
  CTextureEditor::OnFileChosen(bench.WriteImage("colour.tga"),
                               bench.Window("ZeKorb/Console/SurfaceEditorTextureEditorWindow"));
  EXPECT_TRUE(Box("/Color/TextureCheckBox")->isSelected());
  EXPECT_FALSE(Box("/Color/TextureCheckBox")->isDisabled());
  EXPECT_FALSE(Box("/Bump/TextureCheckBox")->isSelected());
  EXPECT_TRUE(RefreshEnabled());
  bench.Click("ZeKorb/Console/SurfaceEditorTextureEditorWindow/OK");

  const std::pair<const char*, UINT> maps[] = {{"/ReflectionCombo/Load", 21}, {"/RefractionCombo/Load", 22}};
  for (const auto& [button, kind] : maps) {
    EXPECT_TRUE(bench.Click(W(button)));
    EXPECT_EQ(textures->GetTextureKind(), kind);
    EXPECT_EQ(textures->GetCheckBox(), nullptr);
    EXPECT_EQ(bench.Window("ZeKorb/Console/SurfaceEditorTextureEditorWindow")->getText(),
              CTextureEditor::TitleOf(kind));
    bench.Click("ZeKorb/Console/SurfaceEditorTextureEditorWindow/OK");
  }
}

TEST_F(SurfaceEditorHandlersTest, ColourAndMapChangesOnlyMarkTheWindowAndBumpAndHeightTriggerNothing) {
  float colour[3] = {0.5f, 0.5f, 0.5f};
  surface->SetColor(colour);
  surface->SetFlags(0x0100);
  editor->Show(surface);
  for (const char* typed : {"/Bump/Edit", "/Height/Edit"}) bench.Window(W(typed))->setText("0.7");
  Slider("/Bump/Slider")->setCurrentValue(0.2f);
  Slider("/Height/Slider")->setCurrentValue(0.2f);
  EXPECT_FALSE(RefreshEnabled());

  bench.Window(W("/Color/Edit/G"))->setText("10");
  EXPECT_TRUE(RefreshEnabled());
  EXPECT_EQ(surface->GetColor()[1], 0.5f);
  bench.Window(W("/Refresh"))->setEnabled(false);
  bench.Window(W("/ReflectionCombo/Combobox"))->setText("Cube Still Image");
  EXPECT_EQ(bench.Fire(W("/ReflectionCombo/Combobox"), CEGUI::Combobox::EventListSelectionAccepted), 1);
  EXPECT_TRUE(RefreshEnabled());
  EXPECT_EQ(surface->GetFlags(), 0x0100);
}

TEST_F(SurfaceEditorHandlersTest, AHandlerWhoseWidgetIsGoneLogsItsFamilysLine) {
  editor->Show(surface);
  CEGUI::WindowManager::getSingleton().destroyWindow(bench.Window(W("/Refresh")));
  CEGUI::WindowManager::getSingleton().destroyWindow(bench.Window(W("/Fresnel/TextureCheckBox")));
  struct Case {
    const char* widget;
    const CEGUI::String& event;
    const char* line;
  };
  const Case cases[] = {
      {"/Color/Edit/R", CEGUI::Window::EventTextChanged, "Editbox"},
      {"/Difuse/Edit", CEGUI::Window::EventTextChanged, "EditBox"},
      {"/Difuse/Slider", CEGUI::Slider::EventValueChanged, "Slider"},
      {"/Difuse/EnvelopeCheckBox", CEGUI::ToggleButton::EventSelectStateChanged, "Checkbox"},
      {"/RefractionCombo/Combobox", CEGUI::Combobox::EventListSelectionAccepted, "Combobox"},
      {"/Fresnel/TextureButton", CEGUI::PushButton::EventClicked, "Button"},
  };
  for (const Case& c : cases) {
    bench.console->log.entries.clear();
    EXPECT_EQ(bench.Fire(W(c.widget), c.event), 0) << c.widget;
    EXPECT_EQ(bench.Errors(),
              std::string("WARNING!!! - CEGUI::Exception When Handling ") + c.line + " Message\n");
  }
}

// Every event a widget of the window can raise, fired once at each widget: each subscription
// handles its own. Static texts are left out: the GUI library's own text rendering listens to
// their text.
TEST_F(SurfaceEditorHandlersTest, ConstructionSubscribes76Handlers) {
  const CEGUI::String* events[] = {&CEGUI::PushButton::EventClicked, &CEGUI::ToggleButton::EventSelectStateChanged,
                                   &CEGUI::Window::EventTextChanged, &CEGUI::Slider::EventValueChanged,
                                   &CEGUI::Combobox::EventListSelectionAccepted};
  CEGUI::Window* frame = bench.Window(CSurfaceEditor::kFrameName);
  std::vector<std::string> widgets;
  for (size_t i = 0; i < frame->getChildCount(); ++i)
    if (!frame->getChildAtIdx(i)->isAutoWindow() &&
        frame->getChildAtIdx(i)->getType() != "TaharezLook/StaticText")
      widgets.push_back(frame->getChildAtIdx(i)->getName().c_str());
  ASSERT_EQ(widgets.size(), 98u - 17u);
  int handled = 0;
  for (const std::string& name : widgets)
    for (const CEGUI::String* event : events)
      handled += bench.Fire(name, *event);
  EXPECT_EQ(handled, 76);
}

}  // namespace
