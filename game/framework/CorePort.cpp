#include "framework/CorePort.h"

namespace {

geCCorePort s_NoCore;
geCCorePort* s_pCorePort = &s_NoCore;

}  // namespace

geSUpdateArgument* geCCorePort::GetGlobalArg() { return &m_NoFrame; }

geMouseStatus* geCCorePort::GetMouseStatus() { return &m_NoMouse; }

geCCorePort& geGetCorePort() { return *s_pCorePort; }

geCCorePort* geSetCorePort(geCCorePort* pPort) {
  geCCorePort* pOld = s_pCorePort;
  s_pCorePort = pPort ? pPort : &s_NoCore;
  return pOld == &s_NoCore ? nullptr : pOld;
}
