#include "WindowEvents.h"

#include <SDL2/SDL.h>

#include <mutex>
#include <thread>

#include "CommandReader.h"
#include "CursorState.h"
#include "InputState.h"
#include "MessageQueue.h"
#include "VirtualKeys.h"
#include "WindowTable.h"

namespace {

std::mutex g_threadLock;
std::thread::id g_pumpThread;
bool g_pumpThreadSet = false;

bool OnPumpThread() {
  WindowEvents::AdoptCurrentThread();
  std::lock_guard<std::mutex> guard(g_threadLock);
  return g_pumpThread == std::this_thread::get_id();
}

// The window an event is meant for: its own, or the foreground one for events that name none.
HWND TargetOf(Uint32 sdlId, Window& window) {
  WindowTable& table = WindowTable::Instance();
  HWND handle = sdlId ? table.FromSdlId(sdlId) : nullptr;
  if (!handle) handle = table.Foreground();
  if (!handle || !table.Find(handle, window)) return nullptr;
  return handle;
}

WPARAM MouseKeyFlags() {
  const InputState& input = InputState::Instance();
  WPARAM flags = 0;
  if (input.IsVirtualKeyDown(VK_LBUTTON)) flags |= MK_LBUTTON;
  if (input.IsVirtualKeyDown(VK_RBUTTON)) flags |= MK_RBUTTON;
  if (input.IsVirtualKeyDown(VK_MBUTTON)) flags |= MK_MBUTTON;
  if (input.IsVirtualKeyDown(VK_SHIFT)) flags |= MK_SHIFT;
  if (input.IsVirtualKeyDown(VK_CONTROL)) flags |= MK_CONTROL;
  return flags;
}

// Client coordinates as signed 16-bit halves of lParam.
LPARAM PackPoint(LONG x, LONG y) {
  return MAKELPARAM(static_cast<SHORT>(x), static_cast<SHORT>(y));
}

// The pointer at client (x, y) of `window`: the cursor follows it within its confinement, and
// the result is the confined position in client coordinates.
POINT TrackPointer(const Window& window, int x, int y) {
  CursorState& cursor = CursorState::Instance();
  cursor.Moved({window.rect.left + x, window.rect.top + y});
  POINT screen = cursor.Position();
  return {screen.x - window.rect.left, screen.y - window.rect.top};
}

void PostSize(HWND handle, WPARAM kind, LONG width, LONG height) {
  MessageQueue::Instance().Post(handle, WM_SIZE, kind,
                                kind == SIZE_MINIMIZED ? 0 : MAKELPARAM(width, height));
}

void TranslateWindowEvent(const SDL_WindowEvent& event) {
  WindowTable& table = WindowTable::Instance();
  HWND handle = table.FromSdlId(event.windowID);
  if (!handle) return;
  MessageQueue& queue = MessageQueue::Instance();
  Window window;
  switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE: queue.Post(handle, WM_SYSCOMMAND, SC_CLOSE, 0); break;
    case SDL_WINDOWEVENT_FOCUS_GAINED: table.Activate(handle); break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      if (table.Foreground() == handle) table.Activate(nullptr);
      break;
    case SDL_WINDOWEVENT_EXPOSED: queue.Post(handle, WM_ERASEBKGND, 0, 0); break;
    case SDL_WINDOWEVENT_MOVED:
      table.Update(handle, [&](Window& changed) {
        const LONG width = changed.Width(), height = changed.Height();
        changed.rect = {event.data1, event.data2, event.data1 + width, event.data2 + height};
      });
      break;
    case SDL_WINDOWEVENT_SIZE_CHANGED: {
      bool changedSize = false;
      table.Update(handle, [&](Window& changed) {
        if (changed.Width() == event.data1 && changed.Height() == event.data2) return;
        changed.rect.right = changed.rect.left + event.data1;
        changed.rect.bottom = changed.rect.top + event.data2;
        changedSize = true;
        window = changed;
      });
      if (changedSize)
        PostSize(handle, window.showCmd == SW_SHOWMAXIMIZED ? SIZE_MAXIMIZED : SIZE_RESTORED,
                 window.Width(), window.Height());
      break;
    }
    case SDL_WINDOWEVENT_MINIMIZED:
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_RESTORED: {
      const UINT state = event.event == SDL_WINDOWEVENT_MINIMIZED   ? SW_SHOWMINIMIZED
                         : event.event == SDL_WINDOWEVENT_MAXIMIZED ? SW_SHOWMAXIMIZED
                                                                    : SW_SHOWNORMAL;
      bool changedState = false;
      table.Update(handle, [&](Window& changed) {
        // A restore only ends a minimised or maximised state; a window shown without being
        // activated stays so.
        if (state == SW_SHOWNORMAL && changed.showCmd != SW_SHOWMINIMIZED &&
            changed.showCmd != SW_SHOWMAXIMIZED)
          return;
        if (changed.showCmd == state) return;
        changed.showCmd = state;
        changedState = true;
        window = changed;
      });
      if (changedState)
        PostSize(handle,
                 state == SW_SHOWMINIMIZED   ? SIZE_MINIMIZED
                 : state == SW_SHOWMAXIMIZED ? SIZE_MAXIMIZED
                                             : SIZE_RESTORED,
                 window.Width(), window.Height());
      break;
    }
    default: break;
  }
}

void TranslateKey(const SDL_KeyboardEvent& event) {
  const bool down = event.type == SDL_KEYDOWN;
  const KeyCodes codes = VirtualKeys::FromScancode(event.keysym.scancode);
  InputState& input = InputState::Instance();
  const bool altBefore = input.IsVirtualKeyDown(VK_MENU);
  input.SetKey(codes, down);
  Window window;
  HWND handle = TargetOf(event.windowID, window);
  if (!handle || !codes.vk) return;

  const bool alt = down ? input.IsVirtualKeyDown(VK_MENU) : altBefore;
  const bool control = input.IsVirtualKeyDown(VK_CONTROL);
  const bool system = (alt && !control) || codes.vk == VK_F10;
  LPARAM lParam = 1 | (static_cast<LPARAM>(codes.dik & 0x7F) << 16);
  if (codes.dik & 0x80) lParam |= 1 << 24;
  if (alt) lParam |= 1 << 29;
  if (!down)
    lParam |= (1 << 30) | (static_cast<LPARAM>(1) << 31);
  else if (event.repeat)
    lParam |= 1 << 30;
  UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
  MessageQueue& queue = MessageQueue::Instance();
  queue.Post(handle, message, codes.vk, lParam);

  // Keys that type a control character, which SDL's text input leaves out.
  if (down && !system && !control) {
    switch (codes.vk) {
      case VK_BACK:
      case VK_TAB:
      case VK_RETURN:
      case VK_ESCAPE: queue.Post(handle, WM_CHAR, codes.vk, lParam); break;
      default: break;
    }
  }
}

// UTF-8 text: each character of Latin-1 becomes one WM_CHAR; others have no 8-bit code.
void TranslateText(const SDL_TextInputEvent& event) {
  Window window;
  HWND handle = TargetOf(event.windowID, window);
  if (!handle) return;
  const unsigned char* text = reinterpret_cast<const unsigned char*>(event.text);
  for (size_t at = 0; at < sizeof event.text && text[at];) {
    unsigned code = text[at];
    size_t length = 1;
    if (code >= 0xF0)
      length = 4, code &= 0x07;
    else if (code >= 0xE0)
      length = 3, code &= 0x0F;
    else if (code >= 0xC0)
      length = 2, code &= 0x1F;
    else if (code >= 0x80)
      length = 1, code = 0xFFFF;  // stray continuation byte
    for (size_t more = 1; more < length; ++more) {
      if (at + more >= sizeof event.text || (text[at + more] & 0xC0) != 0x80) {
        code = 0xFFFF;
        length = more;
        break;
      }
      code = (code << 6) | (text[at + more] & 0x3F);
    }
    at += length;
    if (code >= 0x20 && code <= 0xFF && (code < 0x7F || code >= 0xA0))
      MessageQueue::Instance().Post(handle, WM_CHAR, code, 1);
  }
}

void TranslateMotion(const SDL_MouseMotionEvent& event) {
  // The pump's own pointer move comes back as motion; the cursor is already there (or has moved
  // on since), and the mouse itself did not move.
  if (CursorState::Instance().IsEchoOfMove(event.windowID, event.x, event.y)) return;
  InputState::Instance().AddMouseMotion(event.xrel, event.yrel);
  Window window;
  HWND handle = TargetOf(event.windowID, window);
  if (!handle) return;
  const POINT client = TrackPointer(window, event.x, event.y);
  MessageQueue& queue = MessageQueue::Instance();
  queue.Post(handle, WM_SETCURSOR, reinterpret_cast<WPARAM>(handle),
             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  queue.Post(handle, WM_MOUSEMOVE, MouseKeyFlags(), PackPoint(client.x, client.y));
}

void TranslateButton(const SDL_MouseButtonEvent& event) {
  // DirectInput and the key state number the buttons left, right, middle, X1, X2.
  int button;
  switch (event.button) {
    case SDL_BUTTON_LEFT: button = 0; break;
    case SDL_BUTTON_RIGHT: button = 1; break;
    case SDL_BUTTON_MIDDLE: button = 2; break;
    case SDL_BUTTON_X1: button = 3; break;
    case SDL_BUTTON_X2: button = 4; break;
    default: return;
  }
  const bool down = event.type == SDL_MOUSEBUTTONDOWN;
  InputState::Instance().SetMouseButton(button, down);
  Window window;
  HWND handle = TargetOf(event.windowID, window);
  if (!handle || button > 2) return;
  static constexpr UINT kDown[] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
  // Up and double click follow down: WM_xBUTTONUP = down + 1, WM_xBUTTONDBLCLK = down + 2.
  UINT message = kDown[button];
  if (!down)
    message += 1;
  else if (event.clicks >= 2 && event.clicks % 2 == 0 && (window.classStyle & CS_DBLCLKS))
    message += 2;
  const POINT client = TrackPointer(window, event.x, event.y);
  MessageQueue::Instance().Post(handle, message, MouseKeyFlags(), PackPoint(client.x, client.y));
}

void TranslateWheel(const SDL_MouseWheelEvent& event) {
  int notches = event.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.y : event.y;
  if (notches == 0) return;
  const int delta = notches * WHEEL_DELTA;
  InputState::Instance().AddMouseWheel(delta);
  Window window;
  HWND handle = TargetOf(event.windowID, window);
  if (!handle) return;
  // The wheel message carries screen coordinates.
  const POINT screen = CursorState::Instance().Position();
  MessageQueue::Instance().Post(handle, WM_MOUSEWHEEL,
                                MAKEWPARAM(MouseKeyFlags(), static_cast<SHORT>(delta)),
                                PackPoint(screen.x, screen.y));
}

}  // namespace

void WindowEvents::AdoptCurrentThread() {
  std::lock_guard<std::mutex> guard(g_threadLock);
  if (!g_pumpThreadSet) {
    g_pumpThread = std::this_thread::get_id();
    g_pumpThreadSet = true;
  }
}

void WindowEvents::Pump() {
  if (!SDL_WasInit(SDL_INIT_VIDEO | SDL_INIT_JOYSTICK) || !OnPumpThread()) return;
  if (SDL_WasInit(SDL_INIT_VIDEO)) CursorState::Instance().ApplyToSdl();
  // Commanded input is pushed as events, so it arrives in this same pass.
  CommandReader::Instance().Poll();
  SDL_Event event;
  while (SDL_PollEvent(&event)) Translate(event);
  InputState::Instance().RefreshJoysticks();
}

void WindowEvents::Translate(const SDL_Event& event) {
  switch (event.type) {
    case SDL_WINDOWEVENT: TranslateWindowEvent(event.window); break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: TranslateKey(event.key); break;
    case SDL_TEXTINPUT: TranslateText(event.text); break;
    case SDL_MOUSEMOTION: TranslateMotion(event.motion); break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: TranslateButton(event.button); break;
    case SDL_MOUSEWHEEL: TranslateWheel(event.wheel); break;
    default: break;
  }
}
