// The game program. It runs in its data folder "runtime" beside the executable, plays until the
// game quits or its window is closed, and ends through the engine's shutdown. SIGINT and SIGTERM
// close the window as the desktop would, so Ctrl+C ends the game in its usual order; a second
// signal ends the process at once.
#include <windows.h>

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <new>
#include <string>
#include <thread>

#include "ZKDXInterface.h"
#include "cpelto/PeltoCore.h"
#include "framework/EngineGlobals.h"
#include "framework/ProgramEntry.h"
#include "zkplatform/ZkPaths.h"

namespace {

constexpr const char* kDataFolder = "runtime";

geCGameCore* MakeCore(HINSTANCE hInstance, const char* szCommandLine, DWORD dwShowCommand) {
  return new (std::nothrow) CPeltoCore(hInstance, szCommandLine, dwShowCommand);
}

// Waits for the window the engine makes; a signal before it exists closes it as soon as it does.
void CloseGameWindow() {
  for (;;) {
    if (g_pZeKorb)
      if (HWND hWnd = g_pZeKorb->GetWindowHandle()) {
        PostMessageA(hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        return;
      }
    Sleep(20);
  }
}

// Blocks SIGINT and SIGTERM in every thread (the engine's threads inherit the mask) and takes
// them on a thread of their own, where no async-signal rule limits what may be called.
void WatchQuitSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  std::thread([signals] {
    int nSignal = 0;
    if (sigwait(&signals, &nSignal) != 0) return;
    std::thread(CloseGameWindow).detach();
    if (sigwait(&signals, &nSignal) == 0) _exit(128 + nSignal);
  }).detach();
}

std::string CommandLine(int argc, char** argv) {
  std::string text;
  for (int i = 1; i < argc; ++i) text += (i > 1 ? " " : "") + std::string(argv[i]);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  WatchQuitSignals();
  const std::string strFolder = ZkProgramFolder() + "/" + kDataFolder;
  if (chdir(strFolder.c_str()) != 0) {
    const std::string strText = "Can't find the game's data folder '" + strFolder + "'";
    MessageBoxA(nullptr, strText.c_str(), "CPelto - Error", MB_OK | MB_ICONERROR);
    return 1;
  }
  const std::string strCommandLine = CommandLine(argc, argv);
  return geRunGame(MakeCore, GetModuleHandleA(nullptr), strCommandLine.c_str(), SW_SHOWNORMAL);
}
