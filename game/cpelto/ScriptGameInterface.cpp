#include "cpelto/ScriptGameInterface.h"

#include "cpelto/MenuScriptInterface.h"
#include "cpelto/ScriptGameCamera.h"
#include "cpelto/ScriptGameCoreMembers.h"
#include "cpelto/ScriptGameEntity.h"
#include "cpelto/ScriptGameGlobals.h"
#include "cpelto/ScriptGameNodes.h"
#include "framework/ScriptIndex.h"

void RegisterGameScriptInterface(CPeltoCore& core) {
  RegisterGameFirstGlobals();
  RegisterGameNodeTypes();
  RegisterLevelScriptMembers();
  RegisterEntityScriptMembers();
  RegisterPlayerScriptMembers();
  RegisterGameUtilityFunctions();
  RegisterPlayerScriptState();
  RegisterLevelSceneFunctions();
  RegisterGameCoreScriptMembers(core);
  RegisterProfileItemFunctions();
  RegisterMenuScriptInterface();
  DumpScriptIndex();
}
