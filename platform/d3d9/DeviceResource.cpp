#include "DeviceResource.h"

#include "Direct3DDevice9.h"

CDeviceResource::CDeviceResource(CDirect3DDevice9* device, D3DPOOL pool) : m_device(device), m_pool(pool) {
  m_device->RegisterResource(this);
}

CDeviceResource::~CDeviceResource() { m_device->UnregisterResource(this); }

IRenderBackend& CDeviceResource::Backend() const { return m_device->Backend(); }
