// The surface editor over real surfaces, a renderer on the null device and its render-target
// bank: the window tree, Show filling it from the surface, Apply through Refresh and OK, the
// preview target and image, and the preview's render.
#include <gtest/gtest.h>

#include <CEGUI/ImageManager.h>
#include <CEGUI/widgets/Combobox.h>
#include <CEGUI/widgets/ListboxItem.h>
#include <CEGUI/widgets/MultiColumnList.h>
#include <CEGUI/widgets/Slider.h>

#include <map>
#include <memory>
#include <set>
#include <string>

#include "EditorBench.h"
#include "RecordingScenePasses.h"
#include "console/SurfaceEditor.h"
#include "console/SurfaceEditorRow.h"
#include "d3d/TextureRenderTarget.h"
#include "scene/Envelope.h"
#include "scene/Surface.h"

namespace {

std::string W(const char* path) { return CSurfaceEditor::Widget(path); }

class SurfaceEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(bench.console->started) << bench.Errors();
    editor = std::make_unique<CSurfaceEditor>(bench.Windows(), bench.Log());
  }
  void TearDown() override { editor.reset(); }

  std::string Text(const char* path) { return bench.Window(W(path))->getText().c_str(); }
  void Type(const char* path, const char* text) { bench.Window(W(path))->setText(text); }
  bool Enabled(const char* path) { return !bench.Window(W(path))->isDisabled(); }
  bool Ticked(const char* path) { return bench.CheckBox(W(path))->isSelected(); }
  float SliderValue(const char* path) {
    return static_cast<CEGUI::Slider*>(bench.Window(W(path)))->getCurrentValue();
  }
  // A white surface of a mesh of its own scene with the values of `values` (index, value); the
  // diffuse value reads back through the colour.
  CSurfaceInterface* Surface(const char* name, std::map<UINT, float> values = {}) {
    CSurfaceInterface* surface = bench.AddSurface(name);
    float white[3] = {1.0f, 1.0f, 1.0f};
    surface->SetColor(white);
    for (const auto& [index, value] : values) surface->SetMaterialValue(index, value);
    return surface;
  }
  std::string Warnings() { return bench.Errors(); }

  EditorBench bench;
  std::unique_ptr<CSurfaceEditor> editor;
};

TEST_F(SurfaceEditorTest, BuildsTheWholeTreeWithTheEditorOnEveryWidget) {
  std::set<std::string> names = {"/PreviewWindow", "/Info/Vertices/Text", "/Info/Faces/Text", "/OK",
                                 "/Refresh", "/Info/Shader/Text", "/Shader/Load",
                                 "/ReflectionCombo/Text", "/ReflectionCombo/Combobox",
                                 "/ReflectionCombo/Load", "/RefractionCombo/Text",
                                 "/RefractionCombo/Combobox", "/RefractionCombo/Load"};
  for (const char* key : {"Color", "Difuse", "Luminosity", "SpecularGloss", "SpecularExp",
                          "Transparency", "Refraction", "Reflection", "Fresnel", "Translucency",
                          "Bump", "Height"}) {
    std::set<std::string> columns = {"Text", "EnvelopeButton", "EnvelopeCheckBox", "TextureButton",
                                     "TextureCheckBox"};
    if (std::string(key) == "Color")
      columns.insert({"Edit/R", "Edit/G", "Edit/B"});
    else
      columns.insert({"Edit", "Slider"});
    for (const std::string& column : columns) names.insert("/" + std::string(key) + "/" + column);
  }
  ASSERT_EQ(names.size(), 98u);

  CEGUI::Window* frame = bench.Window(CSurfaceEditor::kFrameName);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->getUserData(), editor->GetShownFlag());
  EXPECT_FALSE(frame->isVisible());
  EXPECT_TRUE(frame->isDisabled());
  size_t children = 0;
  for (size_t i = 0; i < frame->getChildCount(); ++i)
    if (!frame->getChildAtIdx(i)->isAutoWindow()) ++children;
  EXPECT_EQ(children, names.size()) << "every widget is a child of the frame";
  for (const std::string& name : names) {
    CEGUI::Window* widget = bench.Window(W(name.c_str()));
    ASSERT_NE(widget, nullptr) << name;
    EXPECT_EQ(widget->getParent(), frame) << name;
    EXPECT_EQ(widget->getUserData(), editor.get()) << name;
  }
  for (const SurfaceEditorRow& row : SurfaceEditorRow::Table()) {
    if (row.kind == SurfaceEditorRow::kColour) continue;
    auto* slider = static_cast<CEGUI::Slider*>(bench.Window(row.Widget("Slider")));
    EXPECT_FLOAT_EQ(slider->getMaxValue(), row.sliderShift != 0.0f ? 2.0f : 1.0f) << row.key;
    EXPECT_FLOAT_EQ(slider->getCurrentValue(), 0.33f) << row.key;
  }
  auto* combobox = static_cast<CEGUI::Combobox*>(bench.Window(W("/RefractionCombo/Combobox")));
  ASSERT_EQ(combobox->getItemCount(), 5u);
  EXPECT_EQ(combobox->getListboxItemFromIndex(2)->getText(), "Cube Still Image");
  EXPECT_EQ(combobox->getListboxItemFromIndex(4)->getText(), "None");
  EXPECT_FALSE(Enabled("/Refresh"));
  EXPECT_NE(bench.Window("ZeKorb/Console/SurfaceEditorTextureEditorWindow"), nullptr);
  ASSERT_NE(editor->GetPreviewScene(), nullptr);
  EXPECT_STREQ(editor->GetPreviewScene()->GetName(), "sphere_material_scene");
  EXPECT_EQ(Warnings(), "");
}

TEST_F(SurfaceEditorTest, ShowFillsEveryRowFromTheSurfaceAndIgnoresASecondShow) {
  CSurfaceInterface* surface =
      Surface("brick", {{1, 0.25f}, {9, 0.5f}, {2, 0.75f}, {3, 0.1f}, {6, 0.6f}, {4, 1.5f},
                        {5, 0.4f}, {8, 0.9f}, {10, 0.05f}});
  float colour[3] = {1.0f, 0.5f, 0.2f};
  surface->SetColor(colour);
  surface->SetMaterialEnvelope(5, new CEnvelope(1, nullptr, 0.5f));
  surface->SetMaterialEnvelope(16, new CEnvelope(1, nullptr, 0.5f));
  ASSERT_EQ(surface->SetTexture(7, bench.WriteImage("diffuse.tga")), 1u);   // material 1, image 1
  ASSERT_EQ(surface->SetTexture(8, bench.WriteImage("gloss.tga")), 1u);     // material 1, image 2
  ASSERT_EQ(surface->SetTexture(13, bench.WriteImage("normal.tga")), 1u);
  surface->SetFlags(0x8001 | 0x0080 | 0x1000 | 0x4000);
  editor->Show(surface);

  CEGUI::Window* frame = bench.Window(CSurfaceEditor::kFrameName);
  EXPECT_TRUE(frame->isVisible() && !frame->isDisabled());
  EXPECT_EQ(frame->getText(), "Surface Editor: brick");
  EXPECT_EQ(Text("/Info/Shader/Text"), "Shader: none");
  EXPECT_EQ(Text("/ReflectionCombo/Combobox"), "Cube Still Image");
  EXPECT_EQ(Text("/RefractionCombo/Combobox"), "Spherical Still Image") << "the first bit in table order";

  struct Expected {
    const char* key;
    const char* edit;
    float slider;
    bool envelope;
    bool texture;
  };
  const Expected rows[] = {
      {"Difuse", "0.25", 0.25f, false, true},     {"Luminosity", "0.50", 0.5f, false, false},
      {"SpecularGloss", "0.75", 0.75f, false, true}, {"SpecularExp", "0.10", 0.1f, false, false},
      {"Transparency", "0.60", 0.6f, false, false}, {"Refraction", "1.50", 0.5f, false, false},
      {"Reflection", "0.40", 0.4f, true, false},    {"Fresnel", "0.90", 0.9f, false, false},
      {"Translucency", "0.05", 0.05f, false, false}, {"Bump", "1.00", 1.0f, false, true},
  };
  for (const Expected& row : rows) {
    SCOPED_TRACE(row.key);
    const std::string key = std::string("/") + row.key + "/";
    EXPECT_EQ(Text((key + "Edit").c_str()), row.edit);
    EXPECT_FLOAT_EQ(SliderValue((key + "Slider").c_str()), row.slider);
    EXPECT_EQ(Ticked((key + "EnvelopeCheckBox").c_str()), row.envelope);
    EXPECT_EQ(Enabled((key + "EnvelopeCheckBox").c_str()), row.envelope);
    const bool editable = !row.envelope && std::string(row.key) != "Bump";
    EXPECT_EQ(Enabled((key + "Edit").c_str()), editable);
    EXPECT_EQ(Enabled((key + "Slider").c_str()), editable);
    EXPECT_EQ(Ticked((key + "TextureCheckBox").c_str()), row.texture);
    EXPECT_EQ(Enabled((key + "TextureCheckBox").c_str()), row.texture);
  }
  EXPECT_EQ(Text("/Color/Edit/R"), "255");
  EXPECT_EQ(Text("/Color/Edit/G"), "127");
  EXPECT_EQ(Text("/Color/Edit/B"), "51");
  EXPECT_TRUE(Ticked("/Color/EnvelopeCheckBox")) << "the green envelope";
  EXPECT_FALSE(Enabled("/Color/Edit/R"));
  EXPECT_FALSE(Ticked("/Color/TextureCheckBox"));
  EXPECT_FALSE(Enabled("/Refresh"));

  editor->Show(Surface("other"));
  EXPECT_EQ(editor->GetSurface(), surface);
  EXPECT_EQ(frame->getText(), "Surface Editor: brick");
}

TEST_F(SurfaceEditorTest, RefreshClampsAndWritesEveryValueBack) {
  CSurfaceInterface* surface = Surface("brick");
  // With a colour texture the colour stays out of the material, so the 256 colours below make
  // no new materials in the bank.
  ASSERT_EQ(surface->SetTexture(1, bench.WriteImage("brick.tga")), 1u);
  // Bit 0x0001 follows the transparency value: kept opaque here.
  surface->SetFlags(0x807E | 0x0100 | 0x0400 | 0x1000);
  editor->Show(surface);
  Type("/Transparency/Edit", "1");
  struct Case {
    const char* edit;
    const char* typed;
    UINT index;
    float value;
    const char* shown;
  };
  const Case cases[] = {
      {"/Difuse/Edit", "1.5", 1, 1.0f, "1.00"},        {"/Refraction/Edit", "5", 4, 3.0f, "3.00"},
      {"/Refraction/Edit", "0", 4, 1.0f, "1.00"},      {"/Translucency/Edit", "-2", 10, 0.0f, "0.00"},
      {"/Luminosity/Edit", "abc", 9, 0.0f, "0.00"},    {"/Fresnel/Edit", "0.5", 8, 0.5f, "0.50"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.edit) + " " + c.typed);
    Type(c.edit, c.typed);
    EXPECT_TRUE(bench.Click(W("/Refresh")));
    EXPECT_FLOAT_EQ(surface->GetMaterialValue(c.index), c.value);
    EXPECT_EQ(Text(c.edit), c.shown);
  }
  Type("/Color/Edit/R", "300");
  Type("/Color/Edit/G", "-5");
  Type("/Color/Edit/B", "abc");
  bench.Click(W("/Refresh"));
  EXPECT_EQ(surface->GetColor()[0], 1.0f);
  EXPECT_EQ(surface->GetColor()[1], 0.0f);
  EXPECT_EQ(surface->GetColor()[2], 0.0f);
  EXPECT_EQ(Text("/Color/Edit/R") + Text("/Color/Edit/G") + Text("/Color/Edit/B"), "25500");
  for (int value = 0; value <= 255; ++value) {
    Type("/Color/Edit/G", std::to_string(value).c_str());
    bench.Click(W("/Refresh"));
    ASSERT_EQ(Text("/Color/Edit/G"), std::to_string(value));
  }
  // Both reflection bits showed the first; the kept bits stay.
  EXPECT_EQ(surface->GetFlags(), 0x807E | 0x0100 | 0x1000);
  Type("/ReflectionCombo/Combobox", "Cube Generated Image");
  Type("/RefractionCombo/Combobox", "None");
  bench.Click(W("/Refresh"));
  EXPECT_EQ(surface->GetFlags(), 0x807E | 0x0200);
  EXPECT_FALSE(Enabled("/Refresh"));
}

TEST_F(SurfaceEditorTest, OKWithoutChangesWritesNothingAndGivesThePreviewBack) {
  CSurfaceInterface* surface = Surface("brick", {{1, 0.25f}});
  editor->Show(surface);
  CTextureRenderTarget* target = editor->GetPreviewTarget();
  ASSERT_NE(target, nullptr) << Warnings();
  EXPECT_EQ(target->GetLockCount(), 1u);
  auto* texture = dynamic_cast<CTexture*>(target->GetTexture());
  ASSERT_NE(texture, nullptr);
  const UINT shownReferences = texture->GetReferenceCount();
  EXPECT_EQ(bench.Window(W("/PreviewWindow"))->getProperty("Image"), CSurfaceEditor::kPreviewImageName);

  Type("/Difuse/Edit", "0.9");
  bench.Window(W("/Refresh"))->setEnabled(false);  // as after a Refresh: nothing left to write
  EXPECT_TRUE(bench.Click(W("/OK")));
  EXPECT_FLOAT_EQ(surface->GetMaterialValue(1), 0.25f) << "Refresh was disabled";
  EXPECT_FALSE(editor->IsShown());
  EXPECT_FALSE(bench.Window(CSurfaceEditor::kFrameName)->isVisible());
  EXPECT_EQ(editor->GetPreviewTarget(), nullptr);
  EXPECT_EQ(target->GetLockCount(), 0u);
  EXPECT_EQ(texture->GetReferenceCount(), shownReferences - 1);
  EXPECT_FALSE(CEGUI::ImageManager::getSingleton().isDefined(CSurfaceEditor::kPreviewImageName));
  EXPECT_EQ(bench.Window(W("/PreviewWindow"))->getProperty("Image"), "");

  for (int cycle = 0; cycle < 3; ++cycle) {
    editor->Show(surface);
    ASSERT_NE(editor->GetPreviewTarget(), nullptr);
    EXPECT_EQ(editor->GetPreviewTarget()->GetLockCount(), 1u);
    Type("/Difuse/Edit", "0.9");
    EXPECT_TRUE(Enabled("/Refresh")) << "typing is a change";
    bench.Click(W("/OK"));
    EXPECT_FLOAT_EQ(surface->GetMaterialValue(1), 0.9f) << "Refresh enabled: written";
    EXPECT_EQ(texture->GetReferenceCount(), shownReferences - 1) << cycle;
  }
  EXPECT_EQ(Warnings(), "");
}

TEST_F(SurfaceEditorTest, ThePreviewRendersIntoItsTargetAndPutsTheActiveSceneAndTargetBack) {
  RecordingScenePasses passes;
  bench.console->context->ports.scenePasses.Set(&passes);
  CRenderTargetBank* targets = bench.Targets();
  CSurfaceInterface* surface = Surface("brick");
  CScene* level = bench.AddScene("level");

  struct Case {
    bool inFrame;
    CSceneInterface* active;
  };
  for (const Case& c : {Case{false, nullptr}, Case{false, level}, Case{true, level}}) {
    SCOPED_TRACE(c.inFrame);
    GetEngineContext()->pActiveScene = c.active;
    if (c.inFrame) bench.Renderer()->BeginRendering();
    passes.calls.clear();
    bench.renderer.ForgetCalls();
    CRenderTargetInterface* before = targets->GetCurrentRenderTarget();
    editor->Show(surface);
    EXPECT_EQ(bench.Renderer()->IsRenderingBegin(), c.inFrame ? 1u : 0u) << "a frame begun here ends here";
    EXPECT_EQ(RendererTestBench::Calls({"BeginScene"}).size(), c.inFrame ? 0u : 1u);
    EXPECT_EQ(GetEngineContext()->pActiveScene, c.active);
    EXPECT_EQ(targets->GetCurrentRenderTarget(), before);
    ASSERT_FALSE(passes.calls.empty());
    EXPECT_NE(passes.calls.back().find("sphere_material_scene"), std::string::npos) << passes.calls.back();
    if (c.inFrame) bench.Renderer()->EndRendering();
    bench.Click(W("/OK"));
  }
  bench.console->context->ports.scenePasses.Reset();
  EXPECT_EQ(Warnings(), "");
}

TEST(SurfaceEditorPreviewTest, WithoutARenderTargetTheEditorWorksAndWarnsTwice) {
  EditorBench bench({.previewTarget = false});
  CSurfaceEditor editor(bench.Windows(), bench.Log());
  CSurfaceInterface* surface = bench.AddSurface("brick");
  float white[3] = {1.0f, 1.0f, 1.0f};
  surface->SetColor(white);
  editor.Show(surface);
  EXPECT_TRUE(editor.IsShown());
  EXPECT_EQ(editor.GetPreviewTarget(), nullptr);
  EXPECT_EQ(bench.Errors(), "WARNING!!! - Can't Get Free Rectangle Render Target\n"
                            "WARNING!!! - Can't Render Material Sphere\n");
  EXPECT_EQ(bench.Window(W("/PreviewWindow"))->getProperty("Image"), "");
  bench.Window(W("/Difuse/Edit"))->setText("0.5");
  EXPECT_TRUE(bench.Click(W("/Refresh")));
  EXPECT_FLOAT_EQ(surface->GetMaterialValue(1), 0.5f);
}

TEST_F(SurfaceEditorTest, ALongSurfaceNameIsCutToTheTitlesRoom) {
  const std::string name(255, 'n');
  editor->Show(Surface(name.c_str()));
  const std::string title = bench.Window(CSurfaceEditor::kFrameName)->getText().c_str();
  EXPECT_EQ(title, ("Surface Editor: " + name).substr(0, CSurfaceEditor::kTextSize - 1));
}

TEST_F(SurfaceEditorTest, EditOnASurfaceRowOfTheSceneEditorOpensTheSurfaceEditor) {
  editor.reset();
  CScene* scene = bench.AddScene("level");
  CMeshInterface* mesh = bench.AddMesh(scene, "wall", 2);
  bench.console->console->OpenSceneEditor(scene);
  auto* list = static_cast<CEGUI::MultiColumnList*>(bench.Window("ZeKorb/Console/SceneEditorWindow/MultiColumnList"));
  list->setItemSelectState(CEGUI::MCLGridRef(3, 0), true);
  EXPECT_TRUE(bench.Click("ZeKorb/Console/SceneEditorWindow/Edit"));
  ASSERT_NE(bench.Window(CSurfaceEditor::kFrameName), nullptr);
  EXPECT_TRUE(bench.Window(CSurfaceEditor::kFrameName)->isVisible());
  EXPECT_EQ(bench.Window(CSurfaceEditor::kFrameName)->getText(),
            std::string("Surface Editor: ") + mesh->GetSurface(1)->GetName());
}

}  // namespace
