#pragma once
// The device's side of every resource: its pool, and what happens to its back-end objects when
// the device is reset or managed resources are evicted.
#include "d3d9.h"

class CDirect3DDevice9;
class IRenderBackend;

class CDeviceResource {
 public:
  CDeviceResource(CDirect3DDevice9* device, D3DPOOL pool);
  virtual ~CDeviceResource();
  CDeviceResource(const CDeviceResource&) = delete;
  CDeviceResource& operator=(const CDeviceResource&) = delete;

  D3DPOOL Pool() const { return m_pool; }
  CDirect3DDevice9* Device() const { return m_device; }
  // Frees the back end's copy; the next use uploads again from the resource memory.
  virtual void ReleaseBackendObjects() = 0;
  // The device's own back buffer and depth buffer do not count as the caller's resources.
  virtual bool IsImplicit() const { return false; }

 protected:
  IRenderBackend& Backend() const;

 private:
  CDirect3DDevice9* m_device;
  D3DPOOL m_pool;
};
