#include "cpelto/ScriptGameInterface.h"

#include "cpelto/ScriptGameCamera.h"
#include "cpelto/ScriptGameCoreMembers.h"
#include "cpelto/ScriptGameEntity.h"
#include "cpelto/ScriptGameGlobals.h"
#include "cpelto/ScriptGameNodes.h"
#include "framework/ScriptIndex.h"

namespace {

// The menus' registration routine, RegisterMenuScriptInterface() of MenuScriptInterface.h, is
// called here once the menu script interface is in the game.
void RegisterMenusForScripts() {}

}  // namespace

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
  RegisterMenusForScripts();
  DumpScriptIndex();
}
