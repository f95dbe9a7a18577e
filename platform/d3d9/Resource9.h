#pragma once
// IDirect3DResource9 for every resource kind. A resource holds a reference on its device, as
// Direct3D's do, so the device outlives everything made from it.
#include "ComObject.h"
#include "DeviceResource.h"
#include "Direct3DDevice9.h"

template <class Interface>
class TResource9 : public TComObject<Interface>, public CDeviceResource {
 public:
  TResource9(CDirect3DDevice9* device, D3DPOOL pool, D3DRESOURCETYPE type, bool holdsDevice = true)
      : CDeviceResource(device, pool), m_type(type), m_holdsDevice(holdsDevice) {
    if (m_holdsDevice) device->AddRef();
  }
  ~TResource9() override = default;

  HRESULT GetDevice(IDirect3DDevice9** device) override {
    if (!device) return D3DERR_INVALIDCALL;
    Device()->AddRef();
    *device = Device();
    return D3D_OK;
  }
  DWORD SetPriority(DWORD priority) override {
    DWORD previous = m_priority;
    if (Pool() == D3DPOOL_MANAGED) m_priority = priority;
    return previous;
  }
  DWORD GetPriority() override { return m_priority; }
  void PreLoad() override {}
  D3DRESOURCETYPE GetType() override { return m_type; }

 protected:
  IUnknown* DetachOwner() override { return m_holdsDevice ? Device() : nullptr; }
  void AttachOwner() override {
    if (m_holdsDevice) Device()->AddRef();
  }

 private:
  D3DRESOURCETYPE m_type;
  bool m_holdsDevice;
  DWORD m_priority = 0;
};
