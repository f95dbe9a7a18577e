#include "cpelto/PlayerCorePort.h"

#include "cpelto/PeltoCore.h"

namespace {
CPlayerCorePort g_StandingPort;
CPlayerCorePort* g_pPlayerCorePort = &g_StandingPort;

CPeltoCore* RunningCore() { return dynamic_cast<CPeltoCore*>(g_pGameCore); }
}  // namespace

const KeyBindings& CPlayerCorePort::GetKeyBindings() {
  static const KeyBindings defaults = DefaultKeyBindings();
  CPeltoCore* pCore = RunningCore();
  return pCore ? pCore->GetKeyBindings() : defaults;
}

const AnimationIdentifiers& CPlayerCorePort::GetAnimationIdentifiers() {
  static const AnimationIdentifiers none = {};
  CPeltoCore* pCore = RunningCore();
  return pCore ? pCore->GetAnimationIdentifiers() : none;
}

CPlayerCorePort& GetPlayerCorePort() { return *g_pPlayerCorePort; }

CPlayerCorePort* SetPlayerCorePort(CPlayerCorePort* pPort) {
  CPlayerCorePort* pReplaced = g_pPlayerCorePort;
  g_pPlayerCorePort = pPort ? pPort : &g_StandingPort;
  return pReplaced;
}
