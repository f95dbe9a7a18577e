#include "console/RelativeMetrics.h"
#include "console/Console.h"

#include <angelscript.h>

#include <CEGUI/Exceptions.h>
#include <CEGUI/System.h>
#include <CEGUI/Window.h>
#include <CEGUI/WindowManager.h>
#include <CEGUI/widgets/Editbox.h>
#include <CEGUI/widgets/FrameWindow.h>

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "console/ConsoleCommands.h"
#include "console/GuiSystem.h"
#include "console/MessageBoxYesNo.h"
#include "console/MessageBoxYesNoCancel.h"
#include "console/SceneEditor.h"
#include "console/SurfaceEditor.h"
#include "core/CopyName.h"
#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "script/ScriptStorage.h"

using namespace AngelScript;

namespace {

const char kSource[] = "ZK3DConsole";
const char kVersion[] = "May 27 2005";

// The length of `text` cut to at most `limit` bytes without splitting a UTF-8 character, so a cut
// line shown again in the edit box stays readable.
size_t CutLength(const char* text, size_t limit) {
  size_t length = strnlen(text, limit + 1);
  if (length <= limit) return length;
  length = limit;
  while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
  return length;
}

std::string Lowered(const char* text, size_t length) {
  std::string lowered(text, length);
  for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lowered;
}


}  // namespace

CConsole::CConsole(CEngineContext* context, CD3D9RendererInterface* renderer, CEngineLog* log,
                   UINT locked)
    : m_pRenderer(renderer), m_pContext(context), m_pLog(log), m_output(*this), m_dwLocked(locked) {
  for (UINT i = 0; i < kLineCount; ++i) m_pRing[i] = &m_Lines[i];
  RegisterConsoleCommands(*this);
  if (m_dwLocked) return;
  CGuiSystem* gui = m_pContext ? m_pContext->pGui : nullptr;
  if (gui == nullptr || !gui->IsStarted()) return;
  m_pGui = gui;
  CreateWindows();
}

// The tool windows go with their windows while the GUI runs.
CConsole::~CConsole() {
  if (m_pGui == nullptr || !m_pGui->IsStarted()) DetachGui();
  m_pLoadWindow.reset();
  m_pSaveWindow.reset();
  m_pYesNo.reset();
  m_pYesNoCancel.reset();
  m_pSurfaceEditor.reset();
  m_pSceneEditor.reset();
  if (CEGUI::Window* frame = FindWindow(kFrameName))
    CEGUI::WindowManager::getSingleton().destroyWindow(frame);
}

// The GUI is going: the tool windows are left to it (the objects are never used again).
void CConsole::DetachGui() {
  m_pGui = nullptr;
  m_pLoadWindow.release();
  m_pSaveWindow.release();
  m_pYesNo.release();
  m_pYesNoCancel.release();
  m_pSceneEditor.release();
  m_pSurfaceEditor.release();
}

bool CConsole::OpenLoadWindow(const char* startFolder,
                              const char (*filters)[CFileWindow::kFilterSize], UINT count,
                              FileWindowCallback callback, void* data) {
  return OpenFileWindow(m_pLoadWindow, CFileWindow::kLoad, startFolder, filters, count, callback,
                        data);
}

bool CConsole::OpenSaveWindow(const char* startFolder,
                              const char (*filters)[CFileWindow::kFilterSize], UINT count,
                              FileWindowCallback callback, void* data) {
  return OpenFileWindow(m_pSaveWindow, CFileWindow::kSave, startFolder, filters, count, callback,
                        data);
}

bool CConsole::OpenFileWindow(std::unique_ptr<CFileWindow>& window, CFileWindow::Kind kind,
                              const char* startFolder,
                              const char (*filters)[CFileWindow::kFilterSize], UINT count,
                              FileWindowCallback callback, void* data) {
  if (m_pGui == nullptr || !m_pGui->IsStarted()) return false;
  if (!window) {
    try {
      window = std::make_unique<CFileWindow>(kind, m_pGui->GetWindows(), m_pLog,
                                             m_pContext->GetApplicationFolder());
    } catch (const CEGUI::Exception&) {
      return false;  // logged by the window
    }
  }
  // An open window refuses the request whole: its list and filters stay as its user sees them.
  if (window->IsOpen()) return false;
  window->SetFilters(filters, count);
  return window->Show(startFolder, callback, data);
}

template <class Tool>
bool CConsole::MakeTool(std::unique_ptr<Tool>& window) {
  if (m_pGui == nullptr || !m_pGui->IsStarted()) return false;
  if (window) return true;
  try {
    window = std::make_unique<Tool>(m_pGui->GetWindows(), m_pLog);
  } catch (const CEGUI::Exception&) {
    return false;  // logged by the window
  }
  return true;
}

void CConsole::OpenSceneEditor(CSceneInterface* scene) {
  if (MakeTool(m_pSceneEditor)) m_pSceneEditor->Show(scene);
}

void CConsole::OpenSurfaceEditor(CSurfaceInterface* surface) {
  if (MakeTool(m_pSurfaceEditor)) m_pSurfaceEditor->Show(surface);
}

void CConsole::MessageBoxYesNo(MessageBoxCallback yes, void* yesData, MessageBoxCallback no,
                               void* noData, const char* title, const char* format, ...) {
  char text[CQuestionBox::kTextSize];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format ? format : "", args);
  va_end(args);
  if (MakeTool(m_pYesNo)) m_pYesNo->Show(yes, yesData, no, noData, title, text);
}

void CConsole::MessageBoxYesNoCancel(MessageBoxCallback yes, void* yesData, MessageBoxCallback no,
                                     void* noData, MessageBoxCallback cancel, void* cancelData,
                                     const char* title, const char* format, ...) {
  char text[CQuestionBox::kTextSize];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format ? format : "", args);
  va_end(args);
  if (MakeTool(m_pYesNoCancel))
    m_pYesNoCancel->Show(yes, yesData, no, noData, cancel, cancelData, title, text);
}

void CConsole::CreateWindows() {
  CWindowRegistry& windows = m_pGui->GetWindows();
  try {
    CEGUI::Window* root = windows.Find("root_wnd");
    auto* frame = static_cast<CEGUI::FrameWindow*>(
        windows.Create("TaharezLook/FrameWindow", kFrameName, root));
    frame->setPosition(Relative(0.2f, 0.2f));
    frame->setSize(RelativeSize(0.65f, 0.25f));
    frame->setMinSize(RelativeSize(0.6f, 0.25f));
    frame->setMaxSize(RelativeSize(0.6f, 0.25f));
    frame->setText("ZeKorb Console");
    frame->setCloseButtonEnabled(false);

    auto* editbox =
        static_cast<CEGUI::Editbox*>(windows.Create("TaharezLook/Editbox", kEditboxName, frame));
    editbox->setPosition(Relative(0.025f, 0.8f));
    editbox->setSize(RelativeSize(0.95f, 0.15f));
    editbox->setMaxSize(RelativeSize(1.0f, 1.0f));
    editbox->setText("");
    editbox->setMaxTextLength(kEditboxLength);

    CEGUI::Window* text = windows.Create("TaharezLook/StaticText", kTextName, frame);
    text->setPosition(Relative(0.025f, 0.025f));
    text->setSize(RelativeSize(0.95f, 0.7f));
    text->setMaxSize(RelativeSize(1.0f, 1.0f));
    text->setText("");
    text->setProperty("FrameEnabled", "true");
    text->setProperty("BackgroundEnabled", "true");
    text->setProperty("HorzFormatting", "Justified");
    text->setProperty("VertFormatting", "BottomAligned");
  } catch (const CEGUI::Exception& exception) {
    // The console goes on with the windows made so far.
    LogTo(m_pLog, kSource, CEngineLog::kLevelError, "CEGUI Exception - %s\n",
          exception.getMessage().c_str());
  }
}

CEGUI::Window* CConsole::FindWindow(const char* name) const {
  if (m_pGui == nullptr || !m_pGui->IsStarted()) return nullptr;
  CWindowRegistry& windows = m_pGui->GetWindows();
  return windows.Contains(name) ? windows.Find(name) : nullptr;
}

CEGUI::WindowManager* CConsole::GetWindowManager() {
  return m_pGui && m_pGui->IsStarted() ? CEGUI::WindowManager::getSingletonPtr() : nullptr;
}

CEGUI::System* CConsole::GetGUISystem() { return m_pGui ? m_pGui->GetSystem() : nullptr; }

int CConsole::RegisterFunction(ConsoleFunction* entry) {
  if (m_dwFunctionCount + 1 > kMaxFunctions) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "ERROR!!! - Not Enuff Console Functions' Entries To Add Next Function!!!\n");
    return 0;
  }
  const char* declaration = entry && entry->szDeclaration ? entry->szDeclaration : "";
  CScriptStorage* storage = m_pContext ? m_pContext->pScriptStorage : nullptr;
  asIScriptEngine* engine = storage ? storage->GetScriptEngine() : nullptr;
  if (entry == nullptr || entry->fpFunction == nullptr || entry->fpName == nullptr ||
      engine == nullptr ||
      engine->RegisterGlobalFunction(declaration, asFUNCTION(entry->fpFunction), asCALL_CDECL) <
          0) {
    LogTo(m_pLog, kSource, CEngineLog::kLevelError,
          "ERROR!!! - Can't Register Console Function: %s\n", declaration);
    return 0;
  }
  m_pFunctions[m_dwFunctionCount++] = entry;
  return 1;
}

ConsoleLine* CConsole::NextOutputLine() {
  m_bTextChanged = true;
  ConsoleLine* line = m_pRing[0];
  std::memmove(&m_pRing[0], &m_pRing[1], (kLineCount - 1) * sizeof m_pRing[0]);
  m_pRing[kLineCount - 1] = line;
  std::memset(line->szText, 0, sizeof line->szText);
  line->fpRefresh = nullptr;
  line->pRefreshArgument = nullptr;
  line->dwInUse = 1;
  return line;
}

void CConsole::PrintLine(const char* text) { CopyName(NextOutputLine()->szText, text); }

uint32_t CConsole::Toggle() {
  m_dwOpen = m_dwOpen == 0 ? 1 : 0;
  return m_dwOpen;
}

std::string CConsole::GetEditboxText() const {
  CEGUI::Window* editbox = FindWindow(kEditboxName);
  return editbox ? std::string(editbox->getText().c_str()) : std::string();
}

void CConsole::SetEditboxText(const char* text, bool moveCaret) {
  auto* editbox = static_cast<CEGUI::Editbox*>(FindWindow(kEditboxName));
  if (editbox == nullptr) return;
  editbox->setText(reinterpret_cast<const CEGUI::utf8*>(text));
  if (moveCaret) editbox->setCaretIndex(kCaretIndex);
}

void CConsole::HistoryUp() {
  if (m_dwHistoryPosition >= kHistoryCount || m_szHistory[m_dwHistoryPosition][0] == '\0') return;
  SetEditboxText(m_szHistory[m_dwHistoryPosition], true);
  ++m_dwHistoryPosition;
}

void CConsole::HistoryDown() {
  if (m_dwHistoryPosition == 0) {
    SetEditboxText("", false);
    return;
  }
  if (m_szHistory[m_dwHistoryPosition - 1][0] == '\0') return;
  --m_dwHistoryPosition;
  SetEditboxText(m_szHistory[m_dwHistoryPosition], true);
}

void CConsole::OnChar(uint32_t character) {
  switch (character) {
    case 9: CompleteName(); break;
    case 13: ExecuteLine(); break;
    case 27: PrintLine("Close Console Before Pressing ESC To Quit!\n"); break;
    default: break;
  }
}

// One match fills the edit box; none or several are listed, followed by a blank line.
void CConsole::CompleteName() {
  const std::string typed = GetEditboxText();
  const std::string prefix = Lowered(typed.c_str(), CutLength(typed.c_str(), kCompletionLength));
  UINT matches = 0;
  const ConsoleFunction* last = nullptr;
  auto matching = [&prefix](const ConsoleFunction* entry) {
    const char* name = entry->fpName();
    return Lowered(name, std::strlen(name)).compare(0, prefix.size(), prefix) == 0;
  };
  for (UINT i = 0; i < m_dwFunctionCount; ++i)
    if (matching(m_pFunctions[i])) {
      ++matches;
      last = m_pFunctions[i];
    }
  if (matches == 1) {
    SetEditboxText(last->fpName(), true);
    return;
  }
  char text[ConsoleLine::kTextLength + 1];
  for (UINT i = 0; i < m_dwFunctionCount; ++i)
    if (matching(m_pFunctions[i])) {
      std::snprintf(text, sizeof text, "%s\n", m_pFunctions[i]->fpName());
      PrintLine(text);
    }
  PrintLine(" ");
}

int CConsole::ExecuteLine() {
  m_dwHistoryPosition = 0;
  const std::string line = GetEditboxText();
  if (m_dwLocked) {
    PrintLine("Can't execute your command as long as the console is locked!");
  } else {
    for (UINT i = kHistoryCount - 1; i > 0; --i) std::memcpy(m_szHistory[i], m_szHistory[i - 1], sizeof m_szHistory[i]);
    CopyName(m_szHistory[0], line.c_str(), CutLength(line.c_str(), kHistoryLength));
    if (CScriptStorage* storage = m_pContext ? m_pContext->pScriptStorage : nullptr) {
      m_bExecutingLine = true;
      storage->ExecuteString(ScriptParent{}, kModule, line.c_str(), &m_output, 0);
      m_bExecutingLine = false;
    }
  }
  SetEditboxText("", false);
  if (m_bQuitRequested) {
    // The shutdown releases this console: nothing of it is touched after.
    m_bQuitRequested = false;
    m_pContext->Shutdown(0);
  }
  return 1;
}

void CConsole::RequestQuit() {
  // Outside a console line (a script of the game's calling the command) there is no line to
  // return from first.
  if (!m_bExecutingLine) {
    if (m_pContext) m_pContext->Shutdown(0);
    return;
  }
  m_bQuitRequested = true;
  m_pContext->pScriptStorage->AbortExecuteString();
}

int CConsole::Render(float fps) {
  if (!IsOpen()) return 1;
  if (fps != m_fLastFps) {
    m_bTextChanged = true;
    char title[1024];
    std::snprintf(title, sizeof title, "ZeKorb Console (ZeKorb Version: %s, Code: Orvel) - %7.02f fps",
                  kVersion, static_cast<double>(fps));
    m_fLastFps = fps;
    if (CEGUI::Window* frame = FindWindow(kFrameName)) frame->setText(title);
  }
  RefreshLiveLines();
  if (m_bTextChanged) ShowOutputText();
  if (CEGUI::System* system = GetGUISystem()) system->renderAllGUIContexts();
  return 1;
}

void CConsole::RefreshLiveLines() {
  for (ConsoleLine* line : m_pRing)
    if (line->dwInUse && line->fpRefresh) line->fpRefresh(line->szText, line->pRefreshArgument);
}

// The six older lines that have text, then always the newest; only a final line end is dropped.
void CConsole::ShowOutputText() {
  std::string text;
  for (UINT i = 0; i + 1 < kLineCount; ++i) text += m_pRing[i]->szText;
  text += m_pRing[kLineCount - 1]->szText;
  if (!text.empty() && text.back() == '\n') text.pop_back();
  if (CEGUI::Window* window = FindWindow(kTextName))
    window->setText(reinterpret_cast<const CEGUI::utf8*>(text.c_str()));
  m_bTextChanged = false;
}
