#include "framework/ProgramEntry.h"

#include "ZKDXInterface.h"
#include "framework/EngineGlobals.h"
#include "framework/FatalError.h"
#include "framework/GameCore.h"
#include "framework/ScriptHost.h"

int geRunGame(geCoreMaker pfnMakeCore, HINSTANCE hInstance, const char* szCommandLine,
              DWORD dwShowCommand) {
  g_dwDefaultUseLogs = 1;
  geCGameCore* pCore = pfnMakeCore(hInstance, szCommandLine, dwShowCommand);
  if (!pCore) geFatalError("Error", "Not enough memory for the application core");
  pCore->AddRef();
  pCore->SetFlag(geCGameCore::kFlagGameObjects, true);
  pCore->SetFlag(geCGameCore::kFlagShowLogo, false);
  pCore->Initialise();
  pCore->Run();
  pCore->Release();
  // The script library goes before the engine, whose closing ends the process.
  if (g_pScriptHost) g_pScriptHost->Shutdown();

  // The engine keeps pointers into the game's blocks until it is closed, so it is closed last.
  g_GameLogger.SetFileName("GameEngine.log");
  geCLogger::SetFirstWrite(false);
  g_GameLogger.Log("Statistics:\n\tnumber of unremoved objects: %d\n", g_nObjectsAlive);
  g_GameLogger.Log("AngelScript Released\n");
  if (g_pZeKorb) g_pZeKorb->CloseZeKorb();
  g_GameLogger.Log("vKernel Closed\n");
  return 0;
}
