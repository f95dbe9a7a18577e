#include "console/SurfaceEditor.h"

#include <CEGUI/Exceptions.h>
#include <CEGUI/WindowManager.h>
#include <CEGUI/widgets/Combobox.h>
#include <CEGUI/widgets/Editbox.h>
#include <CEGUI/widgets/FrameWindow.h>
#include <CEGUI/widgets/PushButton.h>
#include <CEGUI/widgets/Slider.h>
#include <CEGUI/widgets/ToggleButton.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ZKDXInterface.h"
#include "console/NoOpHandler.h"
#include "console/PreviewSphere.h"
#include "console/RelativeMetrics.h"
#include "console/SelectionListItem.h"
#include "console/SurfaceEditorRow.h"
#include "console/TextureEditor.h"
#include "console/ToolWindows.h"
#include "console/WindowRegistry.h"
#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "d3d/EngineRenderer.h"
#include "d3d/RenderTargetStorageInterface.h"
#include "d3d/TextureRenderTarget.h"

namespace {

const char kSource[] = "surface";
constexpr float kRowHeight = 0.04375f;
constexpr float kFirstRowY = 0.385f;

// The map kinds the comboboxes offer, with the flag bit of each map; "None" sets none.
struct MapKind {
  const char* text;
  WORD reflection;
  WORD refraction;
};
constexpr MapKind kMapKinds[] = {
    {"Spherical Still Image", 0x0100, 0x1000},
    {"Spherical Generated Image", 0x0400, 0x4000},
    {"Cube Still Image", 0x0080, 0x0800},
    {"Cube Generated Image", 0x0200, 0x2000},
    {"None", 0, 0},
};
constexpr const char* kReflectionCombo = "/ReflectionCombo/Combobox";
constexpr const char* kRefractionCombo = "/RefractionCombo/Combobox";
constexpr const char* kColourEdits[] = {"Edit/R", "Edit/G", "Edit/B"};

// The text of the first map kind whose bit of that map is set.
const char* MapText(WORD flags, WORD MapKind::*bit) {
  for (const MapKind& kind : kMapKinds)
    if (kind.*bit != 0 && (flags & kind.*bit) != 0) return kind.text;
  return "None";
}
WORD MapBit(const CEGUI::String& text, WORD MapKind::*bit) {
  for (const MapKind& kind : kMapKinds)
    if (text == kind.text) return kind.*bit;
  return 0;
}

const char* (CTextureInterface::*const kSourceImages[])() = {
    &CTextureInterface::GetFileName, &CTextureInterface::GetGreenFileName,
    &CTextureInterface::GetBlueFileName, &CTextureInterface::GetAlphaFileName};

CEngineRenderer* Renderer() { return dynamic_cast<CEngineRenderer*>(GetEngineContext()->pRenderer); }

std::string Number(const char* format, double value) {
  char text[CSurfaceEditor::kNumberSize];
  std::snprintf(text, sizeof text, format, value);
  return text;
}
std::string WholeNumber(int value) {
  char text[CSurfaceEditor::kNumberSize];
  std::snprintf(text, sizeof text, "%i", value);
  return text;
}

void SetChecked(CEGUI::Window* box, bool checked) {
  static_cast<CEGUI::ToggleButton*>(box)->setSelected(checked);
  box->setEnabled(checked);
}

}  // namespace

CSurfaceEditor::CSurfaceEditor(CWindowRegistry& windows, CEngineLog* log)
    : m_pLog(log), m_windows(windows) {
  try {
    Build();
  } catch (const CEGUI::Exception& exception) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, "ERROR!!! - CEGUI::Exception: %s\n",
          exception.getMessage().c_str());
    if (m_windows.Contains(kFrameName))
      CEGUI::WindowManager::getSingleton().destroyWindow(m_windows.Find(kFrameName));
    throw;
  }
  if (CreatePreviewScene() == 0)
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, "WARNING!!! - Can't Create Material Sphere\n");
}

CSurfaceEditor::~CSurfaceEditor() {
  GiveBackPreview();
  if (m_pPreviewScene) m_pPreviewScene->Release();
  m_pTextureEditor.reset();
  if (m_windows.Contains(kFrameName))
    CEGUI::WindowManager::getSingleton().destroyWindow(m_windows.Find(kFrameName));
}

UINT CSurfaceEditor::CreatePreviewScene() {
  m_pPreviewScene = CPreviewSphere::CreateScene(GetEngineContext()->pRenderer, m_pLog);
  return m_pPreviewScene ? 1 : 0;
}

CEGUI::Window* CSurfaceEditor::Find(const std::string& name) const {
  return m_windows.Find(name.c_str());
}

void CSurfaceEditor::Build() {
  auto* frame = static_cast<CEGUI::FrameWindow*>(
      m_windows.Create("TaharezLook/FrameWindow", kFrameName, m_windows.Find("root_wnd")));
  frame->setMinSize(RelativeSize(0.1f, 0.1f));
  frame->setMaxSize(RelativeSize(0.9f, 0.9f));
  Place(frame, 0.25f, 0.25f, 0.7f, 0.8f);
  frame->setText("Surface Editor");
  frame->setCloseButtonEnabled(false);
  frame->setUserData(&m_dwShown);
  frame->setEnabled(false);
  frame->setVisible(false);

  BuildFixedWidgets(frame);
  const auto rows = SurfaceEditorRow::Table();
  for (size_t i = rows.size(); i-- > 0;)
    BuildRow(frame, rows[i], kFirstRowY + kRowHeight * static_cast<float>(i));
  Subscribe();
  m_pTextureEditor = std::make_unique<CTextureEditor>(m_windows, m_pLog, "SurfaceEditor");
}

void CSurfaceEditor::BuildFixedWidgets(CEGUI::Window* frame) {
  enum Look { kPlain, kFramed, kFramedLeft, kLeft, kDisabled, kMapCombobox };
  struct Fixed {
    const char* path;
    const char* type;
    float x, y, width, height;
    const char* text;
    Look look;
  };
  const Fixed widgets[] = {
      {"/PreviewWindow", "TaharezLook/StaticImage", 0.01f, 0.04375f, 0.375f, 0.328125f, nullptr, kFramed},
      {"/Info/Vertices/Text", "TaharezLook/StaticText", 0.4f, 0.04375f, 0.4f, 0.04375f,
       "Number Of Vertices:", kFramedLeft},
      {"/Info/Faces/Text", "TaharezLook/StaticText", 0.4f, 0.09625f, 0.4f, 0.04375f,
       "Number Of Faces:", kFramedLeft},
      {"/OK", "TaharezLook/Button", 0.85f, 0.04375f, 0.13f, 0.0525f, "OK", kPlain},
      {"/Refresh", "TaharezLook/Button", 0.85f, 0.09625f, 0.13f, 0.0525f, "Refresh", kDisabled},
      {"/Info/Shader/Text", "TaharezLook/StaticText", 0.4f, 0.175f, 0.58f, 0.04375f, "Shader:",
       kFramedLeft},
      {"/Shader/Load", "TaharezLook/Button", 0.4f, 0.23625f, 0.13f, 0.0525f, "Load Shader", kPlain},
      {"/ReflectionCombo/Text", "TaharezLook/StaticText", 0.55f, 0.21875f, 0.22f, 0.04375f,
       "Reflection:", kLeft},
      {kReflectionCombo, "TaharezLook/Combobox", 0.55f, 0.27125f, 0.22f, 0.175f, nullptr, kMapCombobox},
      {"/ReflectionCombo/Load", "TaharezLook/Button", 0.55f, 0.32375f, 0.13f, 0.0525f, "Load", kPlain},
      {"/RefractionCombo/Text", "TaharezLook/StaticText", 0.775f, 0.21875f, 0.22f, 0.04375f,
       "Refraction:", kLeft},
      {kRefractionCombo, "TaharezLook/Combobox", 0.775f, 0.27125f, 0.22f, 0.175f, nullptr,
       kMapCombobox},
      {"/RefractionCombo/Load", "TaharezLook/Button", 0.775f, 0.32375f, 0.13f, 0.0525f, "Load", kPlain},
  };
  for (const Fixed& fixed : widgets) {
    CEGUI::Window* widget = m_windows.Create(fixed.type, Widget(fixed.path).c_str(), frame);
    Place(widget, fixed.x, fixed.y, fixed.width, fixed.height);
    if (fixed.text) widget->setText(fixed.text);
    widget->setUserData(this);
    switch (fixed.look) {
      case kFramed:
        widget->setProperty("FrameEnabled", "true");
        break;
      case kFramedLeft:
        widget->setProperty("FrameEnabled", "true");
        widget->setProperty("HorzFormatting", "LeftAligned");
        break;
      case kLeft:
        widget->setProperty("FrameEnabled", "false");
        widget->setProperty("HorzFormatting", "LeftAligned");
        break;
      case kDisabled:
        widget->setEnabled(false);
        break;
      case kMapCombobox: {
        auto* combobox = static_cast<CEGUI::Combobox*>(widget);
        combobox->setClippedByParent(false);
        combobox->setReadOnly(true);
        combobox->resetList();
        for (const MapKind& kind : kMapKinds) {
          auto* item = new SelectionListItem(kind.text);
          item->setAutoDeleted(true);
          combobox->addItem(item);
        }
        break;
      }
      case kPlain:
        break;
    }
  }
}

void CSurfaceEditor::BuildRow(CEGUI::Window* frame, const SurfaceEditorRow& row, float y) {
  auto make = [&](const char* type, const char* column, float x, float width) {
    CEGUI::Window* widget = m_windows.Create(type, row.Widget(column).c_str(), frame);
    Place(widget, x, y, width, kRowHeight);
    widget->setUserData(this);
    return widget;
  };
  CEGUI::Window* label = make("TaharezLook/StaticText", "Text", 0.015f, 0.2f);
  label->setText(row.label);
  label->setProperty("FrameEnabled", "false");
  label->setProperty("HorzFormatting", "RightAligned");
  if (row.kind == SurfaceEditorRow::kColour) {
    const float x[] = {0.225f, 0.275f, 0.32f};
    for (int i = 0; i < 3; ++i)
      static_cast<CEGUI::Editbox*>(make("TaharezLook/Editbox", kColourEdits[i], x[i], 0.045f))
          ->setMaxTextLength(8);
  } else {
    static_cast<CEGUI::Editbox*>(make("TaharezLook/Editbox", "Edit", 0.225f, 0.08f))->setMaxTextLength(8);
    auto* slider = static_cast<CEGUI::Slider*>(make("TaharezLook/Slider", "Slider", 0.31f, 0.05f));
    if (row.sliderShift != 0.0f) slider->setMaxValue(2.0f);
    slider->setCurrentValue(0.33f);
  }
  make("TaharezLook/Button", "EnvelopeButton", 0.365f, 0.05f)->setText("E");
  make("TaharezLook/Checkbox", "EnvelopeCheckBox", 0.425f, 0.05f);
  make("TaharezLook/Button", "TextureButton", 0.45f, 0.05f)->setText("T");
  make("TaharezLook/Checkbox", "TextureCheckBox", 0.51f, 0.05f);
}

void CSurfaceEditor::Subscribe() {
  auto subscribe = [this](const std::string& name, const CEGUI::String& event,
                          CEGUI::Event::Subscriber handler) {
    Find(name)->subscribeEvent(event, handler);
  };
  const CEGUI::String& clicked = CEGUI::PushButton::EventClicked;
  subscribe(Widget("/OK"), clicked, CEGUI::Event::Subscriber(&CSurfaceEditor::OnOK));
  subscribe(Widget("/Refresh"), clicked, CEGUI::Event::Subscriber(&CSurfaceEditor::OnRefresh));
  subscribe(Widget("/Shader/Load"), clicked, CEGUI::Event::Subscriber(&NoOpHandler));
  for (const char* combobox : {kReflectionCombo, kRefractionCombo})
    subscribe(Widget(combobox), CEGUI::Combobox::EventListSelectionAccepted,
              CEGUI::Event::Subscriber(&CSurfaceEditor::OnMapCombobox));
  for (const char* load : {"/ReflectionCombo/Load", "/RefractionCombo/Load"})
    subscribe(Widget(load), clicked, CEGUI::Event::Subscriber(&CSurfaceEditor::OnMapLoadButton));
  const CEGUI::String& ticked = CEGUI::ToggleButton::EventSelectStateChanged;
  for (const SurfaceEditorRow& row : SurfaceEditorRow::Table()) {
    if (row.kind == SurfaceEditorRow::kColour)
      for (const char* edit : kColourEdits)
        subscribe(row.Widget(edit), CEGUI::Window::EventTextChanged,
                  CEGUI::Event::Subscriber(&CSurfaceEditor::OnColorEdit));
    if (row.HasValue()) {
      subscribe(row.Widget("Edit"), CEGUI::Window::EventTextChanged,
                CEGUI::Event::Subscriber(&CSurfaceEditor::OnValueEdit));
      subscribe(row.Widget("Slider"), CEGUI::Slider::EventValueChanged,
                CEGUI::Event::Subscriber(&CSurfaceEditor::OnValueSlider));
    }
    subscribe(row.Widget("EnvelopeButton"), clicked, CEGUI::Event::Subscriber(&NoOpHandler));
    subscribe(row.Widget("EnvelopeCheckBox"), ticked,
              row.HasEnvelope() ? CEGUI::Event::Subscriber(&CSurfaceEditor::OnEnvelopeCheckBox)
                                : CEGUI::Event::Subscriber(&NoOpHandler));
    subscribe(row.Widget("TextureButton"), clicked,
              CEGUI::Event::Subscriber(&CSurfaceEditor::OnTextureButton));
    subscribe(row.Widget("TextureCheckBox"), ticked,
              CEGUI::Event::Subscriber(&CSurfaceEditor::OnTextureCheckBox));
  }
}

// --- showing ---

void CSurfaceEditor::Show(CSurfaceInterface* surface) {
  if (m_dwShown) return;
  m_pSurface = surface;
  m_dwFilling = 1;
  TakePreviewTarget();
  try {
    Fill();
  } catch (const CEGUI::Exception&) {
    m_dwFilling = 0;
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "ERROR!!! - CEGUI::Exception When Displaying SceneEditor Window\n");
  }
  if (RenderPreview() == 0)
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, "WARNING!!! - Can't Render Material Sphere\n");
}

void CSurfaceEditor::TakePreviewTarget() {
  m_pPreviewTarget = nullptr;
  CEngineRenderer* renderer = Renderer();
  CRenderTargetStorageInterface* bank = renderer ? renderer->GetRenderTargetStorageInterface() : nullptr;
  CTextureRenderTarget* target = nullptr;
  if (bank == nullptr || bank->GetPlainRenderTarget(&target, kPreviewTargetKind) != 1 || target == nullptr) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "WARNING!!! - Can't Get Free Rectangle Render Target\n");
    return;
  }
  if (target->Lock() == 0) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "WARNING!!! - Can't Lock Rectangle Render Target\n");
    target->Unlock();
    return;
  }
  m_pPreviewTarget = target;
}

void CSurfaceEditor::Fill() {
  CEGUI::Window* frame = Find(kFrameName);
  m_dwShown = 1;
  frame->setVisible(true);
  frame->setEnabled(true);
  char text[kTextSize];
  std::snprintf(text, sizeof text, "Surface Editor: %s", m_pSurface->GetName() ? m_pSurface->GetName() : "");
  frame->setText(text);

  CEGUI::Window* preview = Find(Widget("/PreviewWindow"));
  if (m_pPreviewTarget == nullptr || !m_previewImage.Show(m_pPreviewTarget->GetTexture(), preview))
    m_previewImage.Destroy(preview);
  CEGUI::Window* refresh = Find(Widget("/Refresh"));
  refresh->setEnabled(false);

  const char* shader = m_pSurface->GetShaderFileName();
  std::snprintf(text, sizeof text, "Shader: %s", shader && shader[0] ? shader : "none");
  Find(Widget("/Info/Shader/Text"))->setText(text);
  const WORD flags = m_pSurface->GetFlags();
  Find(Widget(kReflectionCombo))->setText(MapText(flags, &MapKind::reflection));
  Find(Widget(kRefractionCombo))->setText(MapText(flags, &MapKind::refraction));

  const auto rows = SurfaceEditorRow::Table();
  for (size_t i = rows.size(); i-- > 0;) FillRow(rows[i]);

  m_dwFilling = 0;
  refresh->setEnabled(false);
}

void CSurfaceEditor::FillRow(const SurfaceEditorRow& row) {
  CSurfaceInterface* surface = m_pSurface;
  auto setEditable = [&](bool editable) {
    if (row.kind == SurfaceEditorRow::kColour) {
      for (const char* edit : kColourEdits) Find(row.Widget(edit))->setEnabled(editable);
      return;
    }
    Find(row.Widget("Edit"))->setEnabled(editable);
    Find(row.Widget("Slider"))->setEnabled(editable);
  };
  switch (row.kind) {
    case SurfaceEditorRow::kHeight:
    case SurfaceEditorRow::kBump:
      Find(row.Widget("Edit"))->setText(row.kind == SurfaceEditorRow::kBump ? "1.00" : "");
      static_cast<CEGUI::Slider*>(Find(row.Widget("Slider")))->setCurrentValue(1.0f);
      setEditable(false);
      SetChecked(Find(row.Widget("EnvelopeCheckBox")), false);
      break;
    case SurfaceEditorRow::kValue: {
      const float value = surface->GetMaterialValue(row.valueIndex);
      Find(row.Widget("Edit"))->setText(Number("%3.02f", value));
      static_cast<CEGUI::Slider*>(Find(row.Widget("Slider")))->setCurrentValue(value - row.sliderShift);
      const bool animated = (surface->*row.envelope)() != nullptr;
      SetChecked(Find(row.Widget("EnvelopeCheckBox")), animated);
      setEditable(!animated);
      break;
    }
    case SurfaceEditorRow::kColour: {
      const float* colour = surface->GetColor();
      for (int i = 0; i < 3; ++i)
        Find(row.Widget(kColourEdits[i]))
            ->setText(WholeNumber(colour ? static_cast<int>(colour[i] * 255.0) : 0));
      const bool animated = surface->GetColorBEnvelope() || surface->GetColorGEnvelope() ||
                            surface->GetColorREnvelope();
      SetChecked(Find(row.Widget("EnvelopeCheckBox")), animated);
      setEditable(!animated);
      break;
    }
  }
  FillTextureCheckBox(row);
}

void CSurfaceEditor::FillTextureCheckBox(const SurfaceEditorRow& row) {
  const SurfaceTexture* record = m_pSurface->GetTexture(row.textureKind);
  CTextureInterface* texture = record ? record->pTextureImage : nullptr;
  const bool set = texture != nullptr && (texture->*kSourceImages[row.sourceImage - 1])() != nullptr;
  SetChecked(Find(row.Widget("TextureCheckBox")), set);
}

// --- writing back ---

void CSurfaceEditor::Apply() {
  CSurfaceInterface* surface = m_pSurface;
  if (surface == nullptr) return;
  WORD flags = surface->GetFlags() & kKeptFlags;
  flags |= MapBit(Find(Widget(kReflectionCombo))->getText(), &MapKind::reflection);
  flags |= MapBit(Find(Widget(kRefractionCombo))->getText(), &MapKind::refraction);
  surface->SetFlags(flags);

  const auto rows = SurfaceEditorRow::Table();
  for (size_t i = rows.size(); i-- > 0;) {
    const SurfaceEditorRow& row = rows[i];
    if (!row.HasValue()) continue;
    CEGUI::Window* edit = Find(row.Widget("Edit"));
    const float value = std::clamp(static_cast<float>(std::atof(edit->getText().c_str())), row.minimum,
                                   row.maximum);
    surface->SetMaterialValue(row.valueIndex, value);
    edit->setText(Number("%3.02f", value));
  }

  const SurfaceEditorRow& colourRow = rows.front();
  float colour[3];
  for (int i = 0; i < 3; ++i) {
    CEGUI::Window* edit = Find(colourRow.Widget(kColourEdits[i]));
    const float component = static_cast<float>(std::atol(edit->getText().c_str())) * (1.0f / 255.0f);
    colour[i] = std::clamp(component, 0.0f, 1.0f);
    edit->setText(WholeNumber(static_cast<int>(colour[i] * 255.0)));
  }
  surface->SetColor(colour);
}

// --- the preview ---

UINT CSurfaceEditor::RenderPreview() {
  if (m_pPreviewTarget == nullptr || m_pSurface == nullptr || m_pPreviewScene == nullptr) return 0;
  CEngineRenderer* renderer = Renderer();
  CMeshInterface* sphere = m_pPreviewScene->GetNumberOfMeshes() ? m_pPreviewScene->GetMesh(0) : nullptr;
  CSurfaceInterface* material = sphere && sphere->GetNumberOfSurfaces() ? sphere->GetSurface(0) : nullptr;
  if (renderer == nullptr || material == nullptr) return 0;

  const bool beganFrame = renderer->IsRenderingBegin() == 0;
  if (beganFrame) renderer->BeginRendering();
  const bool targetSet = m_pPreviewTarget->SetAsRenderTarget(0, 0) != 0;
  CEngineContext* context = GetEngineContext();
  CSceneInterface* previousScene = context->pActiveScene;

  // The sphere shows the material without reflection, refraction or environment maps.
  material->CopyMaterialFrom(m_pSurface);
  material->SetMaterialValue(5, 0.0f);
  material->SetMaterialValue(4, 1.0f);
  material->SetTexture(21, nullptr);
  material->SetTexture(22, nullptr);

  m_pPreviewScene->ApplyDefaultShader(nullptr, nullptr, nullptr);
  m_pPreviewScene->SetAsActiveScene();
  renderer->ClearBuffers(7, 0);
  m_pPreviewScene->SetActiveCamera(0);
  m_pPreviewScene->SetFrame(0.0f);
  m_pPreviewScene->PrepareMatrices();
  m_pPreviewScene->UpdateHierarchy();
  m_pPreviewScene->Render();

  // The engine's active scene is what it was, no scene included.
  if (previousScene)
    previousScene->SetAsActiveScene();
  else
    context->pActiveScene = nullptr;
  if (targetSet) renderer->GetRenderTargetStorageInterface()->RestoreRenderTarget();
  if (beganFrame) renderer->EndRendering();
  return 1;
}

void CSurfaceEditor::GiveBackPreview() {
  CEGUI::Window* preview = nullptr;
  if (m_windows.Contains(Widget("/PreviewWindow").c_str())) preview = Find(Widget("/PreviewWindow"));
  m_previewImage.Destroy(preview);
  if (m_pPreviewTarget) m_pPreviewTarget->Unlock();
  m_pPreviewTarget = nullptr;
}

// --- OK and Refresh ---

bool CSurfaceEditor::OnOK(const CEGUI::EventArgs&) {
  try {
    auto* editor = static_cast<CSurfaceEditor*>(FindToolWindow(Widget("/PreviewWindow"))->getUserData());
    if (!editor->Find(Widget("/Refresh"))->isDisabled() && editor->m_pSurface) {
      editor->Apply();
      editor->m_pSurface->AssignShader(nullptr);
    }
    editor->m_dwShown = 0;
    CEGUI::Window* frame = editor->Find(kFrameName);
    frame->setVisible(false);
    frame->setEnabled(false);
    editor->GiveBackPreview();
    return true;
  } catch (const CEGUI::Exception&) {
    return false;
  }
}

bool CSurfaceEditor::OnRefresh(const CEGUI::EventArgs&) {
  CSurfaceEditor* editor = nullptr;
  try {
    editor = static_cast<CSurfaceEditor*>(FindToolWindow(Widget("/Refresh"))->getUserData());
    if (CSurfaceInterface* surface = editor->m_pSurface) {
      editor->Apply();
      if (CMeshInterface* mesh = surface->GetParentMesh(0)) mesh->ApplyDefaultShader(nullptr, nullptr);
      surface->AssignShader(nullptr);
      editor->RenderPreview();
    }
    editor->Find(Widget("/Refresh"))->setEnabled(false);
    return true;
  } catch (const CEGUI::Exception&) {
    LogTo(editor ? editor->m_pLog : GetEngineContext()->pLog, kSource, CEngineLog::kLevelError,
          "WARNING!!! - CEGUI::Exception When Handling PushButton Message\n");
    return false;
  }
}
