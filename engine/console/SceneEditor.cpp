#include "console/SceneEditor.h"

#include <CEGUI/Exceptions.h>
#include <CEGUI/WindowManager.h>
#include <CEGUI/widgets/FrameWindow.h>
#include <CEGUI/widgets/MultiColumnList.h>
#include <CEGUI/widgets/PushButton.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "ZKDXInterface.h"
#include "console/Console.h"
#include "console/NoOpHandler.h"
#include "console/RelativeMetrics.h"
#include "console/SelectionListItem.h"
#include "console/ToolWindows.h"
#include "console/WindowRegistry.h"
#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "scene/SceneItemsManager.h"

namespace {

const char kSource[] = "scene";
enum Column : unsigned { kKindColumn, kNameColumn };
// A row's name: an indent and a name of the scene graph, which keeps names below 256 bytes.
constexpr size_t kRowTextSize = 272;

std::string Name(const char* path) { return std::string(CSceneEditor::kFrameName) + path; }

// "%s" of a name the scene graph may leave null.
const char* Text(const char* name) { return name ? name : ""; }

}  // namespace

CSceneEditor::CSceneEditor(CWindowRegistry& windows, CEngineLog* log)
    : m_pLog(log), m_windows(windows) {
  try {
    Build();
  } catch (const CEGUI::Exception&) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "ERROR!!! - CEGUI::Exception When Creating SceneEditor Window\n");
    if (m_pFrame) CEGUI::WindowManager::getSingleton().destroyWindow(m_pFrame);
    throw;
  }
}

CSceneEditor::~CSceneEditor() {
  if (m_windows.Contains(kFrameName))
    CEGUI::WindowManager::getSingleton().destroyWindow(m_windows.Find(kFrameName));
}

void CSceneEditor::Build() {
  auto* frame = static_cast<CEGUI::FrameWindow*>(
      m_windows.Create("TaharezLook/FrameWindow", kFrameName, m_windows.Find("root_wnd")));
  m_pFrame = frame;
  Place(frame, 0.25f, 0.25f, 0.7f, 0.7f);
  frame->setMinSize(RelativeSize(0.1f, 0.1f));
  frame->setMaxSize(RelativeSize(0.9f, 0.9f));
  frame->setText("Scene Editor");
  frame->setCloseButtonEnabled(false);
  frame->setUserData(&m_dwOpen);
  ShowToolFrame(frame, false, false);

  m_pList = static_cast<CEGUI::MultiColumnList*>(
      m_windows.Create("TaharezLook/MultiColumnList", Name("/MultiColumnList").c_str(), frame));
  Place(m_pList, 0.015f, 0.055f, 0.85f, 0.925f);
  m_pList->setSelectionMode(CEGUI::MultiColumnList::RowSingle);
  m_pList->setUserSortControlEnabled(false);

  struct Button {
    const char* path;
    float y;
    const char* text;
    bool enabled;
    CEGUI::Event::Subscriber handler;
  };
  const Button buttons[] = {
      {"/OK", 0.075f, "OK", true, CEGUI::Event::Subscriber(&CSceneEditor::OnOK)},
      {"/Edit", 0.15f, "Edit", true, CEGUI::Event::Subscriber(&CSceneEditor::OnEdit)},
      {"/Configure", 0.275f, "Config", false, CEGUI::Event::Subscriber(&NoOpHandler)},
      {"/Find", 0.35f, "Find", false, CEGUI::Event::Subscriber(&NoOpHandler)},
  };
  CEGUI::Window* made[std::size(buttons)] = {};
  for (size_t i = 0; i < std::size(buttons); ++i) {
    made[i] = m_windows.Create("TaharezLook/Button", Name(buttons[i].path).c_str(), frame);
    PlaceButton(made[i], 0.875f, buttons[i].y, buttons[i].text);
    if (!buttons[i].enabled) made[i]->setEnabled(false);
  }

  m_pList->addColumn("Type", kKindColumn, cegui_reldim(0.1f));
  m_pList->addColumn("Name", kNameColumn, cegui_reldim(0.9f));
  m_pList->setUserData(this);
  ClearSelection(m_pList);

  m_pList->subscribeEvent(CEGUI::MultiColumnList::EventSelectionChanged,
                          CEGUI::Event::Subscriber(&NoOpHandler));
  // OK, Edit, then Find before Configure.
  for (size_t i : {0, 1, 3, 2})
    made[i]->subscribeEvent(CEGUI::PushButton::EventClicked, buttons[i].handler);
}

void CSceneEditor::Show(CSceneInterface* scene) {
  if (m_dwOpen) return;
  m_dwOpen = 1;
  try {
    ShowToolFrame(m_pFrame, true, false);
    m_pList->resetList();
    if (scene) {
      ListScene(scene);
      return;
    }
    CSceneItemsManager* items = GetEngineContext()->pSceneItems;
    if (items == nullptr) return;
    items->GetScenes().ForEach([this](void* value) {
      auto* listed = static_cast<CSceneInterface*>(value);
      if (std::strcmp(Text(listed->GetName()), kPreviewSceneName) != 0) ListScene(listed);
    });
  } catch (const CEGUI::Exception&) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "ERROR!!! - CEGUI::Exception When Displaying SceneEditor Window\n");
  }
}

void CSceneEditor::ListScene(CSceneInterface* scene) {
  char text[kRowTextSize];
  // A row of an object named with an indent.
  auto named = [&](const char* kind, const char* indent, auto* object) {
    std::snprintf(text, sizeof text, "%s%s", indent, Text(object->GetName()));
    AddRow(kind, text, object);
  };
  AddRow("scene", Text(scene->GetName()), scene);
  for (UINT i = 0; i < scene->GetNumberOfMeshes(); ++i) {
    CMeshInterface* mesh = scene->GetMesh(i);
    named("mesh", "  ", mesh);
    for (UINT j = 0; j < mesh->GetNumberOfSurfaces(); ++j) named("surf", "    ", mesh->GetSurface(j));
  }
  for (UINT i = 0; i < scene->GetNumberOfNullObjects(); ++i) named("null", "  ", scene->GetNull(i));
  for (UINT i = 0; i < scene->GetNumberOfLights(); ++i) named("light", "  ", scene->GetLight(i));
  for (UINT i = 0; i < scene->GetNumberOfCameras(); ++i) {
    std::snprintf(text, sizeof text, "  Camera %i", static_cast<int>(i));
    AddRow("camera", text, scene->GetCamera(i));
  }
}

void CSceneEditor::AddRow(const char* kind, const char* name, void* object) {
  const unsigned row = m_pList->addRow();
  auto* kindItem = new SelectionListItem(kind, kKindColumn);
  kindItem->setUserData(object);
  m_pList->setItem(kindItem, kKindColumn, row);
  auto* nameItem = new SelectionListItem(name, kNameColumn);
  nameItem->setUserData(object);
  m_pList->setItem(nameItem, kNameColumn, row);
}

bool CSceneEditor::OnOK(const CEGUI::EventArgs&) {
  try {
    CEGUI::Window* frame = FindToolWindow(kFrameName);
    if (auto* open = static_cast<UINT*>(frame->getUserData())) *open = 0;
    ShowToolFrame(frame, false, false);
    return true;
  } catch (const CEGUI::Exception&) {
    return false;
  }
}

bool CSceneEditor::OnEdit(const CEGUI::EventArgs&) {
  try {
    auto* list = static_cast<CEGUI::MultiColumnList*>(FindToolWindow(Name("/MultiColumnList")));
    const CEGUI::ListboxItem* first = list->getFirstSelectedItem();
    if (first == nullptr || first->getID() != kKindColumn) return false;
    const CEGUI::String kind = first->getText();
    if (kind == "surf") {
      const CEGUI::ListboxItem* named = list->getNextSelected(first);
      if (named && named->getID() == kNameColumn)
        if (CConsole* console = GetEngineContext()->pConsole)
          console->OpenSurfaceEditor(static_cast<CSurfaceInterface*>(named->getUserData()));
      return true;
    }
    return kind == "mesh" || kind == "camera" || kind == "null" || kind == "light" ||
           kind == "scene";
  } catch (const CEGUI::Exception&) {
    return false;
  }
}
