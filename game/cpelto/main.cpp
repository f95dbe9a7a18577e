// The game program. It runs in its data folder "runtime" beside the executable, plays until the
// game quits or its window is closed, and ends through the engine's shutdown. SIGINT and SIGTERM
// set the core's quit bit, so Ctrl+C ends the game in its usual order (core released, leftover
// objects counted, engine closed); a second signal ends the process at once.
#include <windows.h>

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <new>
#include <string>
#include <thread>

#include "cpelto/PeltoCore.h"
#include "framework/ProgramEntry.h"
#include "zkplatform/ZkPaths.h"

namespace {

constexpr const char* kDataFolder = "runtime";

geCGameCore* MakeCore(HINSTANCE hInstance, const char* szCommandLine, DWORD dwShowCommand) {
  return new (std::nothrow) CPeltoCore(hInstance, szCommandLine, dwShowCommand);
}

// Asks the main loop to quit with the close command as a message of the thread (no window): the
// loop takes it and sets the quit bit on its own thread, where the core is safe to touch. The
// request is repeated, since start-up pumps messages of its own that would drop a single one;
// once the loop has quit nobody reads them.
void RequestQuit() {
  for (;;) {
    PostMessageA(nullptr, WM_SYSCOMMAND, SC_CLOSE, 0);
    Sleep(200);
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
    std::thread(RequestQuit).detach();
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
