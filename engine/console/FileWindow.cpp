#include "console/RelativeMetrics.h"
#include "console/FileWindow.h"

#include <windows.h>

#include <CEGUI/Exceptions.h>
#include <CEGUI/WindowManager.h>
#include <CEGUI/widgets/Combobox.h>
#include <CEGUI/widgets/Editbox.h>
#include <CEGUI/widgets/FrameWindow.h>
#include <CEGUI/widgets/Listbox.h>
#include <CEGUI/widgets/MultiColumnList.h>
#include <CEGUI/widgets/PushButton.h>

#include <cctype>
#include <cstdio>
#include <cstring>

#include "console/SelectionListItem.h"
#include "console/ToolWindows.h"
#include "console/WindowRegistry.h"
#include "core/CopyName.h"
#include "core/EngineLog.h"

namespace {

const char kSource[] = "loadsave";

enum Column { kKindColumn, kNameColumn, kExtensionColumn, kSizeColumn, kDateColumn, kTimeColumn };

struct ColumnSpec {
  const char* header;
  float width;
};
constexpr ColumnSpec kColumns[] = {{"", 0.025f},  {"Name", 0.5f},  {"Ext", 0.075f},
                                   {"Size", 0.2f}, {"Date", 0.2f}, {"Time", 0.2f}};

bool IsSeparator(char c) { return c == '\\' || c == '/'; }



// Two digits below 10, as the list shows dates and times.
std::string TwoDigits(int value) {
  char text[16];
  std::snprintf(text, sizeof text, value < 10 ? "0%i" : "%i", value);
  return text;
}

}  // namespace

CFileWindow::CFileWindow(Kind kind, CWindowRegistry& windows, CEngineLog* log,
                         const char* engineFolder)
    : m_kind(kind),
      m_windows(windows),
      m_pLog(log),
      m_engineFolder(engineFolder ? engineFolder : ""),
      m_prefix(kind == kLoad ? "ZeKorb/Console/LoadWindow" : "ZeKorb/Console/SaveWindow") {
  try {
    Build();
  } catch (const CEGUI::Exception& exception) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, "CEGUI Exception: %s\n",
          exception.getMessage().c_str());
    if (m_pFrame) CEGUI::WindowManager::getSingleton().destroyWindow(m_pFrame);
    throw;
  }
}

CFileWindow::~CFileWindow() {
  if (m_windows.Contains(m_prefix.c_str()))
    CEGUI::WindowManager::getSingleton().destroyWindow(m_windows.Find(m_prefix.c_str()));
}

void CFileWindow::Build() {
  const bool load = m_kind == kLoad;
  auto name = [this](const char* path) { return m_prefix + path; };
  auto* frame = static_cast<CEGUI::FrameWindow*>(m_windows.Create(
      "TaharezLook/FrameWindow", m_prefix.c_str(), m_windows.Find("root_wnd")));
  m_pFrame = frame;
  Place(frame, 0.25f, 0.25f, 0.5f, 0.5f);
  frame->setMinSize(RelativeSize(0.1f, 0.1f));
  frame->setMaxSize(RelativeSize(0.9f, 0.9f));
  frame->setText(load ? "Load File" : "Save File");
  frame->setCloseButtonEnabled(false);
  frame->setUserData(this);

  m_pList = static_cast<CEGUI::MultiColumnList*>(
      m_windows.Create("TaharezLook/MultiColumnList", name("/MultiColumnList").c_str(), frame));
  Place(m_pList, 0.025f, 0.09f, 0.775f, 0.7f);
  m_pList->setSelectionMode(CEGUI::MultiColumnList::RowSingle);
  m_pList->setUserSortControlEnabled(false);
  for (unsigned id = 0; id < std::size(kColumns); ++id)
    m_pList->addColumn(kColumns[id].header, id, cegui_reldim(kColumns[id].width));
  m_pList->setUserData(this);
  ClearSelection(m_pList);

  m_pEditbox = static_cast<CEGUI::Editbox*>(
      m_windows.Create("TaharezLook/Editbox", name("/Editbox").c_str(), frame));
  Place(m_pEditbox, 0.025f, 0.805f, 0.775f, 0.075f);
  m_pEditbox->setMaxSize(RelativeSize(1.0f, 1.0f));
  m_pEditbox->setText("");
  m_pEditbox->setMaxTextLength(kNameLength);

  m_pCombobox = static_cast<CEGUI::Combobox*>(
      m_windows.Create("TaharezLook/Combobox", name("/Combobox").c_str(), frame));
  Place(m_pCombobox, 0.025f, 0.9f, 0.775f, 0.35f);
  m_pCombobox->setClippedByParent(false);
  m_pCombobox->setReadOnly(true);
  m_pCombobox->setUserData(this);

  CEGUI::Window* accept =
      m_windows.Create("TaharezLook/Button", name(load ? "/Load" : "/Save").c_str(), frame);
  PlaceButton(accept, 0.825f, 0.075f, load ? "Load" : "Save");
  CEGUI::Window* cancel = m_windows.Create("TaharezLook/Button", name("/Cancel").c_str(), frame);
  PlaceButton(cancel, 0.825f, 0.15f, "Cancel");

  m_pDisks = static_cast<CEGUI::Listbox*>(
      m_windows.Create("TaharezLook/Listbox", name("/DisksList").c_str(), frame));
  Place(m_pDisks, 0.825f, 0.3f, 0.07f, 0.3f);
  m_pDisks->setMinSize(RelativeSize(0.07f, 0.3f));
  m_pDisks->setMaxSize(RelativeSize(0.07f, 0.3f));
  AddDrives();
  m_pDisks->setUserData(this);

  m_pDisks->subscribeEvent(CEGUI::Listbox::EventSelectionChanged,
                           CEGUI::Event::Subscriber(&CFileWindow::OnDiskChosen));
  accept->subscribeEvent(CEGUI::PushButton::EventClicked,
                         CEGUI::Event::Subscriber(&CFileWindow::OnAccept));
  cancel->subscribeEvent(CEGUI::PushButton::EventClicked,
                         CEGUI::Event::Subscriber(&CFileWindow::OnCancel));
  m_pCombobox->subscribeEvent(CEGUI::Combobox::EventListSelectionAccepted,
                              CEGUI::Event::Subscriber(&CFileWindow::OnFilterChosen));
  m_pList->subscribeEvent(CEGUI::Window::EventMouseClick,
                          CEGUI::Event::Subscriber(&CFileWindow::OnFileClick));
  ShowToolFrame(frame, false, false);
}

void CFileWindow::AddDrives() {
  const DWORD drives = GetLogicalDrives();
  for (int drive = 0; drive < 26; ++drive) {
    if ((drives & (1u << drive)) == 0) continue;
    const char text[] = {static_cast<char>('A' + drive), ':', '\0'};
    auto* item = new SelectionListItem(text);
    item->setAutoDeleted(true);
    m_pDisks->addItem(item);
  }
  m_pDisks->setMultiselectEnabled(false);
}

void CFileWindow::SetFilters(const char (*filters)[kFilterSize], UINT count) {
  if (filters == nullptr) count = 0;
  if (count > kMaxFilters) count = kMaxFilters;
  for (UINT i = 0; i < count; ++i)
    CopyName(m_szGivenFilters[i], filters[i], strnlen(filters[i], kFilterSize - 1));
  m_dwGivenFilterCount = count;
  try {
    m_pList->resetList();
    m_pCombobox->resetList();
    std::string joined;
    for (UINT i = 0; i < count; ++i) {
      m_pCombobox->addItem(new SelectionListItem(m_szGivenFilters[i]));
      joined += m_szGivenFilters[i];
      joined += ";";
    }
    if (count > 0) {
      if (joined.size() > kJoinedFilterLength) joined.resize(kJoinedFilterLength);
      m_pCombobox->addItem(new SelectionListItem(joined));
      m_pCombobox->setText(joined);
    }
    m_pCombobox->addItem(new SelectionListItem("*.*"));
    if (count == 0) m_pCombobox->setText("*.*");
  } catch (const CEGUI::Exception& exception) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, "WARNING - CEGUI Exception: %s\n",
          exception.getMessage().c_str());
    return;
  }
  m_dwFiltersSet = 1;
}

bool CFileWindow::SetFolder(const std::string& folder) {
  if (folder.size() >= kFolderSize) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "WARNING - Folder Path Too Long, Staying In: %s\n", m_szFolder);
    return false;
  }
  CopyName(m_szFolder, folder.c_str());
  return true;
}

bool CFileWindow::Show(const char* path, FileWindowCallback callback, void* data) {
  if (m_dwOpen) return false;
  if (path != nullptr) {
    const char* name = FindFileName(path);
    if (name != path) SetFolder(std::string(path, name));
  }
  if (m_szFolder[0] == '\0') SetFolder(m_engineFolder);
  m_fpCallback = callback;
  m_pCallbackData = data;
  if (!m_dwFiltersSet) SetFilters(nullptr, 0);
  try {
    if (m_kind == kLoad) SelectDrive();
    FillFileList(m_dwGivenFilterCount ? m_szGivenFilters : nullptr, m_dwGivenFilterCount);
    m_dwOpen = 1;
    ShowToolFrame(m_pFrame, true, true);
  } catch (const CEGUI::Exception& exception) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, "ERROR!!! - CEGUI Exception: %s\n",
          exception.getMessage().c_str());
    return false;
  }
  return true;
}

// The current folder's drive, selected as a user would select it: the drive list's own event
// then lists that drive's root.
void CFileWindow::SelectDrive() {
  const char* source = m_szFolder[1] == ':' ? m_szFolder : m_engineFolder.c_str();
  if (std::strlen(source) < 2) return;
  const char drive[] = {static_cast<char>(std::toupper(static_cast<unsigned char>(source[0]))),
                        static_cast<char>(std::toupper(static_cast<unsigned char>(source[1]))),
                        '\0'};
  for (size_t i = 0; i < m_pDisks->getItemCount(); ++i) {
    CEGUI::ListboxItem* item = m_pDisks->getListboxItemFromIndex(i);
    m_pDisks->setItemSelectState(item, false);
    if (item->getText().compare(0, 2, drive) == 0) m_pDisks->setItemSelectState(item, true);
  }
}

void CFileWindow::FillFileList(const char (*filters)[kFilterSize], UINT count) {
  if (filters == nullptr) count = 0;
  if (count > kMaxFilters) count = kMaxFilters;
  // The active filters may be what is being handed in.
  char given[kMaxFilters][kFilterSize] = {};
  for (UINT i = 0; i < count; ++i) CopyName(given[i], filters[i], strnlen(filters[i], kFilterSize - 1));
  std::memcpy(m_szActiveFilters, given, sizeof given);
  m_dwActiveFilterCount = count;
  try {
    m_pList->resetList();
    UINT separators = 0;
    for (const char* c = m_szFolder; *c; ++c) separators += IsSeparator(*c) ? 1 : 0;
    const std::string folder = m_szFolder;
    WIN32_FIND_DATAA found = {};
    HANDLE search = FindFirstFileA((folder + "*.*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) continue;
      if (std::strcmp(found.cFileName, ".") == 0) continue;
      if (std::strcmp(found.cFileName, "..") == 0 && separators == 1) continue;
      AddRow(true, found.cFileName, 0, 0, found.ftLastWriteTime);
    } while (FindNextFileA(search, &found));
    FindClose(search);

    auto listFiles = [&](const char* pattern) {
      HANDLE files = FindFirstFileA((folder + pattern).c_str(), &found);
      if (files == INVALID_HANDLE_VALUE) return;
      do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
          AddRow(false, found.cFileName, found.nFileSizeHigh, found.nFileSizeLow,
                 found.ftLastWriteTime);
      } while (FindNextFileA(files, &found));
      FindClose(files);
    };
    if (count > 0)
      for (UINT i = 0; i < count; ++i) listFiles(m_szActiveFilters[i]);
    else
      listFiles("*.*");
    ClearSelection(m_pList);
  } catch (const CEGUI::Exception& exception) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, "WARNING - CEGUI Exception: %s\n",
          exception.getMessage().c_str());
  }
}

void CFileWindow::AddRow(bool folder, const char* name, DWORD sizeHigh, DWORD sizeLow,
                         const FILETIME& written) {
  const unsigned row = m_pList->addRow();
  auto set = [this, row](Column column, const std::string& text) {
    auto* item = new SelectionListItem(text, column);
    item->setAutoDeleted(true);
    m_pList->setItem(item, column, row);
  };
  if (folder) {
    set(kKindColumn, "d");
    set(kNameColumn, name);
  } else {
    const char* extension = FindExtension(name);
    set(kNameColumn, extension ? std::string(name, extension - 1) : std::string(name));
    if (extension) set(kExtensionColumn, extension);
    // Both size words: files past 2 GiB keep their size.
    const uint64_t size = (static_cast<uint64_t>(sizeHigh) << 32) | sizeLow;
    set(kSizeColumn, std::to_string(size));
  }
  SYSTEMTIME time = {};
  FileTimeToSystemTime(&written, &time);
  set(kDateColumn, TwoDigits(time.wDay) + "-" + TwoDigits(time.wMonth) + "-" +
                       std::to_string(time.wYear));
  set(kTimeColumn, TwoDigits(time.wHour) + ":" + TwoDigits(time.wMinute));
}

void CFileWindow::Close() {
  ShowToolFrame(m_pFrame, false, false);
  m_dwOpen = 0;
}

CFileWindow* CFileWindow::OfWidget(const CEGUI::EventArgs& args) {
  return static_cast<CFileWindow*>(EventWindow(args)->getUserData());
}

bool CFileWindow::OnFileClick(const CEGUI::EventArgs& args) {
  try {
    CFileWindow* window = OfWidget(args);
    CEGUI::MultiColumnList* list = window->m_pList;
    const CEGUI::ListboxItem* first = list->getFirstSelectedItem();
    if (first == nullptr) return true;
    if (first->getID() == kKindColumn) {
      const CEGUI::ListboxItem* named = list->getNextSelected(first);
      if (named == nullptr) return true;
      const std::string name = named->getText().c_str();
      std::string folder = window->m_szFolder;
      if (name == "..") {
        // Cut after the second-to-last separator: the parent, with its separator.
        size_t end = folder.size();
        if (end > 0 && IsSeparator(folder[end - 1])) --end;
        while (end > 0 && !IsSeparator(folder[end - 1])) --end;
        folder.resize(end);
      } else {
        folder += name + "\\";
      }
      if (window->SetFolder(folder))
        window->FillFileList(window->m_szActiveFilters, window->m_dwActiveFilterCount);
      return true;
    }
    if (first->getID() == kNameColumn) {
      std::string text = first->getText().c_str();
      const CEGUI::ListboxItem* extension = list->getNextSelected(first);
      if (extension && extension->getID() == kExtensionColumn && !extension->getText().empty())
        text += "." + std::string(extension->getText().c_str());
      window->m_pEditbox->setText(text);
    }
    return true;
  } catch (const CEGUI::Exception&) {
    return false;
  }
}

bool CFileWindow::OnDiskChosen(const CEGUI::EventArgs& args) {
  try {
    CFileWindow* window = OfWidget(args);
    const CEGUI::ListboxItem* drive = window->m_pDisks->getFirstSelectedItem();
    if (drive == nullptr) return true;
    const std::string text = drive->getText().c_str();
    const char root[] = {static_cast<char>(std::tolower(static_cast<unsigned char>(text[0]))),
                         text.size() > 1 ? text[1] : ':', '\\', '\0'};
    window->SetFolder(root);
    window->FillFileList(window->m_szActiveFilters, window->m_dwActiveFilterCount);
    return true;
  } catch (const CEGUI::Exception&) {
    return false;
  }
}

// Its own calls only read texts; the listing it starts catches its own exceptions.
bool CFileWindow::OnFilterChosen(const CEGUI::EventArgs& args) {
  CFileWindow* window = OfWidget(args);
  const std::string text = window->m_pCombobox->getText().c_str();
  char patterns[kMaxFilters][kFilterSize] = {};
  UINT count = 0;
  size_t start = 0;
  while (start < text.size() && count < kMaxFilters) {
    size_t end = text.find(';', start);
    if (end == std::string::npos) end = text.size();
    CopyName(patterns[count++], text.c_str() + start, std::min<size_t>(end - start, kFilterSize - 1));
    start = end + 1;
  }
  if (text.empty()) count = 1;  // the empty text is one empty pattern
  window->FillFileList(patterns, count);
  return true;
}

bool CFileWindow::OnAccept(const CEGUI::EventArgs& args) {
  try {
    CEGUI::Window* frame = EventWindow(args)->getParent();
    auto* window = static_cast<CFileWindow*>(frame->getUserData());
    window->Close();
    const std::string name = window->m_pEditbox->getText().c_str();
    if (!name.empty() && window->m_fpCallback) {
      const std::string path = window->m_szFolder + name;
      window->m_fpCallback(path.c_str(), window->m_pCallbackData);
    }
    window->m_pEditbox->setText("");
    return true;
  } catch (const CEGUI::Exception&) {
    return false;
  }
}

bool CFileWindow::OnCancel(const CEGUI::EventArgs& args) {
  try {
    CEGUI::Window* frame = EventWindow(args)->getParent();
    ShowToolFrame(frame, false, false);
    if (auto* window = static_cast<CFileWindow*>(frame->getUserData())) window->m_dwOpen = 0;
    return true;
  } catch (const CEGUI::Exception&) {
    return false;
  }
}

const char* CFileWindow::FindExtension(const char* name) {
  const char* dot = std::strrchr(name, '.');
  if (dot == nullptr) return nullptr;
  for (const char* c = dot; *c; ++c)
    if (IsSeparator(*c)) return nullptr;
  return dot + 1;
}

const char* CFileWindow::FindFileName(const char* path) {
  const char* name = path;
  for (const char* c = path; *c; ++c)
    if (IsSeparator(*c)) name = c + 1;
  return name;
}
