#include "console/TextureEditor.h"

#include <CEGUI/Exceptions.h>
#include <CEGUI/WindowManager.h>
#include <CEGUI/widgets/FrameWindow.h>
#include <CEGUI/widgets/PushButton.h>
#include <CEGUI/widgets/ToggleButton.h>

#include <cstdio>
#include <cstring>

#include "ZKDXInterface.h"
#include "console/Console.h"
#include "console/RelativeMetrics.h"
#include "console/ToolWindows.h"
#include "console/WindowRegistry.h"
#include "core/CopyName.h"
#include "core/EngineContext.h"
#include "core/EngineLog.h"

namespace {

const char kSource[] = "texture";

const char kImageFilters[][CFileWindow::kFilterSize] = {"*.bmp", "*.dds", "*.hdr",
                                                        "*.jpg", "*.png", "*.tga"};

struct Title {
  UINT kind;
  const char* text;
};
constexpr Title kTitles[] = {
    {1, "Texture Editor: Color0"},         {2, "Texture Editor: Color1"},
    {7, "Texture Editor: Diffuse"},        {8, "Texture Editor: Glossiness"},
    {9, "Texture Editor: Shininess"},      {10, "Texture Editor: Refraction"},
    {11, "Texture Editor: Reflection"},    {12, "Texture Editor: Transparency"},
    {13, "Texture Editor: NormalMap"},     {15, "Texture Editor: Fresnel"},
    {16, "Texture Editor: Luminosity"},    {17, "Texture Editor: Translucency"},
    {20, "Texture Editor: HeightMap"},     {21, "Texture Editor: Env Reflection"},
    {22, "Texture Editor: Env Refraction"},
};

}  // namespace

CTextureEditor::CTextureEditor(CWindowRegistry& windows, CEngineLog* log, const char* prefix)
    : m_pLog(log), m_windows(windows) {
  std::memset(m_szPrefix, 0, kNameSize);
  const char* given = prefix ? prefix : "";
  CopyName(m_szPrefix, given, strnlen(given, kMaxPrefixLength));
  try {
    Build();
  } catch (const CEGUI::Exception& exception) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, "ERROR!!! - CEGUI::Exception: %s\n",
          exception.getMessage().c_str());
    const std::string frame = WindowName("");
    if (m_windows.Contains(frame.c_str()))
      CEGUI::WindowManager::getSingleton().destroyWindow(m_windows.Find(frame.c_str()));
    throw;
  }
}

CTextureEditor::~CTextureEditor() {
  m_image.Destroy(nullptr);
  const std::string frame = WindowName("");
  if (m_windows.Contains(frame.c_str()))
    CEGUI::WindowManager::getSingleton().destroyWindow(m_windows.Find(frame.c_str()));
}

std::string CTextureEditor::WindowName(const char* path) const {
  char name[kNameSize];
  std::snprintf(name, sizeof name, "ZeKorb/Console/%.*sTextureEditorWindow%s",
                static_cast<int>(kMaxPrefixLength), m_szPrefix, path);
  return name;
}

void CTextureEditor::Build() {
  auto* frame = static_cast<CEGUI::FrameWindow*>(m_windows.Create(
      "TaharezLook/FrameWindow", WindowName("").c_str(), m_windows.Find("root_wnd")));
  Place(frame, 0.25f, 0.25f, 0.4f, 0.4f);
  frame->setText("Texture Editor");
  frame->setMinSize(RelativeSize(0.1f, 0.1f));
  frame->setMaxSize(RelativeSize(0.9f, 0.9f));
  frame->setCloseButtonEnabled(false);
  frame->setUserData(this);
  ShowToolFrame(frame, false, false);

  CEGUI::Window* preview =
      m_windows.Create("TaharezLook/StaticImage", WindowName("/PreviewWindow").c_str(), frame);
  Place(preview, 0.01f, 0.05f, 0.75f, 0.75f);
  preview->setProperty("FrameEnabled", "true");

  CEGUI::Window* name =
      m_windows.Create("TaharezLook/StaticText", WindowName("/TextureName").c_str(), frame);
  Place(name, 0.05f, 0.85f, 0.9f, 0.1f);
  name->setText("");
  name->setProperty("FrameEnabled", "true");
  name->setProperty("HorzFormatting", "LeftAligned");

  CEGUI::Window* ok = m_windows.Create("TaharezLook/Button", WindowName("/OK").c_str(), frame);
  Place(ok, 0.78f, 0.1f, 0.19f, 0.1f);
  ok->setText("OK");
  ok->subscribeEvent(CEGUI::PushButton::EventClicked,
                     CEGUI::Event::Subscriber(&CTextureEditor::Close));
  CEGUI::Window* load = m_windows.Create("TaharezLook/Button", WindowName("/Load").c_str(), frame);
  Place(load, 0.78f, 0.25f, 0.19f, 0.1f);
  load->setText("Load");
  load->subscribeEvent(CEGUI::PushButton::EventClicked,
                       CEGUI::Event::Subscriber(&CTextureEditor::OnLoadClicked));
}

const char* CTextureEditor::TitleOf(UINT kind) {
  for (const Title& title : kTitles)
    if (title.kind == kind) return title.text;
  return "Texture Editor: Other";
}

void CTextureEditor::Show(CSurfaceInterface* surface, UINT kind, CEGUI::ToggleButton* checkBox) {
  if (m_dwOpen) return;
  m_pSurface = surface;
  m_dwTextureKind = kind;
  m_pCheckBox = checkBox;
  m_dwOpen = 1;
  try {
    CEGUI::Window* frame = m_windows.Find(WindowName("").c_str());
    ShowToolFrame(frame, true, true);
    ShowTexture();
    frame->setText(TitleOf(kind));
    if (const char* file = surface ? surface->GetTextureFileName(kind) : nullptr)
      m_windows.Find(WindowName("/TextureName").c_str())->setText(file);
  } catch (const CEGUI::Exception&) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "ERROR!!! - CEGUI::Exception When Displaying TextureEditor Window\n");
    m_dwOpen = 0;
  }
}

void CTextureEditor::ShowTexture() {
  CEGUI::Window* preview = m_windows.Find(WindowName("/PreviewWindow").c_str());
  const SurfaceTexture* record = m_pSurface ? m_pSurface->GetTexture(m_dwTextureKind) : nullptr;
  if (record == nullptr || !m_image.Show(record->pTextureImage, preview)) m_image.Destroy(preview);
}

void CTextureEditor::HideAndClear() {
  m_dwOpen = 0;
  ShowToolFrame(m_windows.Find(WindowName("").c_str()), false, false);
  m_image.Destroy(m_windows.Find(WindowName("/PreviewWindow").c_str()));
}

CTextureEditor* CTextureEditor::OfFrame(CEGUI::Window* frame) {
  return static_cast<CTextureEditor*>(frame->getUserData());
}

bool CTextureEditor::Close(const CEGUI::EventArgs& args) {
  try {
    OfFrame(EventWindow(args)->getParent())->HideAndClear();
    return true;
  } catch (const CEGUI::Exception&) {
    return false;
  }
}

bool CTextureEditor::OnLoadClicked(const CEGUI::EventArgs& args) {
  try {
    CEGUI::Window* frame = EventWindow(args)->getParent();
    if (CConsole* console = GetEngineContext()->pConsole)
      console->OpenLoadWindow(nullptr, kImageFilters, std::size(kImageFilters),
                              &CTextureEditor::OnFileChosen, frame);
    return true;
  } catch (const CEGUI::Exception&) {
    return false;
  }
}

void CTextureEditor::OnFileChosen(const char* path, void* data) {
  try {
    CTextureEditor* editor = OfFrame(static_cast<CEGUI::Window*>(data));
    if (editor->m_pSurface == nullptr ||
        editor->m_pSurface->SetTexture(editor->m_dwTextureKind, path) != 1)
      return;
    // The owner's Refresh button need not exist: the rest of the load still shows.
    if (editor->m_windows.Contains(kRefreshName))
      editor->m_windows.Find(kRefreshName)->setEnabled(true);
    if (const char* file = editor->m_pSurface->GetTextureFileName(editor->m_dwTextureKind))
      editor->m_windows.Find(editor->WindowName("/TextureName").c_str())->setText(file);
    if (editor->m_pCheckBox) {
      editor->m_pCheckBox->setSelected(true);
      editor->m_pCheckBox->setEnabled(true);
    }
    editor->ShowTexture();
  } catch (const CEGUI::Exception&) {
    // The window shows what it could; the texture is loaded.
  }
}
