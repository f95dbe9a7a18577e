#include "input/InputDevice.h"

#include <cstdio>

#include "core/EngineLog.h"
#include "input/InputControllers.h"

CInputDevice::CInputDevice(CInputControllers* manager, const DIDEVICEINSTANCEA& instance, const char* source)
    : m_guidInstance(instance.guidInstance),
      m_pManager(manager),
      m_bDeviceType(GET_DIDEVICE_TYPE(instance.dwDevType)),
      m_bDeviceSubType(GET_DIDEVICE_SUBTYPE(instance.dwDevType)),
      m_szSource(source) {
  std::snprintf(m_szName, sizeof m_szName, "%.*s", static_cast<int>(sizeof m_szName - 1),
                instance.tszInstanceName);
}

CInputDevice::~CInputDevice() {
  if (m_pDevice) {
    m_pDevice->Unacquire();
    m_pDevice->Release();
  }
}

void CInputDevice::Log(int level, const char* format) const {
  if (CEngineLog* log = m_pManager->GetLog()) log->Log(m_szSource, __LINE__, level, format, m_szName);
}
