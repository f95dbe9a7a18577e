#pragma once
// The load and save windows: a small file browser through which a tool window asks for a file.
// A drive list, the current folder's folders and files (name, extension, size, date, time), a
// read-only combobox of file-name filters, an edit box for the name, and an accept and a Cancel
// button. Accepting a non-empty name calls the caller's callback with the current folder followed
// by that name. The window is made once, hidden rather than destroyed, and keeps its folder and
// filters between openings.
//
// Folders keep the Windows form: '\' and '/' both separate components, new components are
// appended with '\' (every file call of the platform maps both), so the engine library's folder
// ("/.../bin/") is a folder like "c:\data\", and ".." stops at the root ("/" or "c:\").
#include <string>

#include "windef.h"

namespace CEGUI {
class Combobox;
class Editbox;
class EventArgs;
class Listbox;
class MultiColumnList;
class Window;
}  // namespace CEGUI

class CEngineLog;
class CWindowRegistry;

typedef void (*FileWindowCallback)(const char* path, void* data);

class CFileWindow {
 public:
  enum Kind { kLoad, kSave };
  static constexpr UINT kMaxFilters = 64;
  static constexpr UINT kFilterSize = 8;  // 7 characters and the terminator
  static constexpr UINT kFolderSize = 260;
  static constexpr UINT kJoinedFilterLength = 255;
  static constexpr UINT kNameLength = 64;

  // Builds the kind's window tree under "root_wnd", hidden and disabled. Raises the GUI library's
  // exception (logged as "CEGUI Exception: ...") when the tree cannot be built.
  CFileWindow(Kind kind, CWindowRegistry& windows, CEngineLog* log, const char* engineFolder);
  // Destroys the tree while the GUI runs.
  ~CFileWindow();
  CFileWindow(const CFileWindow&) = delete;
  CFileWindow& operator=(const CFileWindow&) = delete;

  // `count` patterns of up to 7 characters (more than 64 are left out); null with 0 for none.
  void SetFilters(const char (*filters)[kFilterSize], UINT count);
  // False when the window is open already (the first caller's callback stays) or the GUI failed.
  bool Show(const char* path, FileWindowCallback callback, void* data);
  // Makes the filters active and lists the current folder: folders first, then the files of
  // each filter in turn (all files without filters).
  void FillFileList(const char (*filters)[kFilterSize], UINT count);

  static bool OnFileClick(const CEGUI::EventArgs& args);
  static bool OnDiskChosen(const CEGUI::EventArgs& args);
  static bool OnFilterChosen(const CEGUI::EventArgs& args);
  static bool OnAccept(const CEGUI::EventArgs& args);
  static bool OnCancel(const CEGUI::EventArgs& args);

  // The text after the last dot when no separator follows it, else null.
  static const char* FindExtension(const char* name);
  // The text after the last separator, or the whole path.
  static const char* FindFileName(const char* path);

  bool IsOpen() const { return m_dwOpen == 1; }
  const char* GetFolder() const { return m_szFolder; }
  const std::string& GetPrefix() const { return m_prefix; }

 private:
  void Build();
  void AddDrives();
  void SelectDrive();
  void AddRow(bool folder, const char* name, DWORD sizeHigh, DWORD sizeLow, const FILETIME& written);
  // Makes `folder` current; refused (logged) when it would not fit.
  bool SetFolder(const std::string& folder);
  void Close();
  static CFileWindow* OfWidget(const CEGUI::EventArgs& args);

  Kind m_kind;
  CWindowRegistry& m_windows;
  CEngineLog* m_pLog;
  std::string m_engineFolder;
  std::string m_prefix;
  CEGUI::Window* m_pFrame = nullptr;
  CEGUI::MultiColumnList* m_pList = nullptr;
  CEGUI::Editbox* m_pEditbox = nullptr;
  CEGUI::Combobox* m_pCombobox = nullptr;
  CEGUI::Listbox* m_pDisks = nullptr;

  char m_szFolder[kFolderSize] = {};
  UINT m_dwOpen = 0;
  FileWindowCallback m_fpCallback = nullptr;
  void* m_pCallbackData = nullptr;
  char m_szGivenFilters[kMaxFilters][kFilterSize] = {};
  UINT m_dwGivenFilterCount = 0;
  char m_szActiveFilters[kMaxFilters][kFilterSize] = {};
  UINT m_dwActiveFilterCount = 0;
  UINT m_dwFiltersSet = 0;
};
