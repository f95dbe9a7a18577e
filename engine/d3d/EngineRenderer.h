#pragma once
// The renderer as the engine's own subsystems see it: the banks, the shading language and the
// passes reach the device, the enumeration, the device settings, the cached states and the
// state stacks through these operations besides the game's interface. CD3D9Renderer
// implements it.
#include "ZeKorbD3DHeader.h"

class CD3D9Enumeration;
class CRenderTargetStorageInterface;
struct DeviceSettings;

class CEngineRenderer : public CD3D9RendererInterface {
 public:
  // Null before a device exists.
  virtual IDirect3DDevice9* GetDevice() = 0;
  // The enumeration of the adapter in use; adapter 0's before a device exists.
  virtual CD3D9Enumeration* GetEnumeration() = 0;
  // Null at or past the adapter count.
  virtual CD3D9Enumeration* GetAdapterEnumeration(UINT adapter) = 0;
  // Null before a device exists.
  virtual const DeviceSettings* GetDeviceSettings() = 0;

  // The engine's default lights, shaders, textures, render, stage and sampler states.
  virtual void SetDefaultStates() = 0;
  // Sets the cached scissor rectangle to (0, 0, right, bottom) without a device call; 0 takes
  // the viewport's edge. For code that has just changed the render target.
  virtual void ResetScissorRect(UINT right, UINT bottom) = 0;
  // The cached value; 0xFEFEFEFE when none is cached.
  virtual DWORD GetRenderState(UINT state) = 0;
  // SetTextureStageState that logs every call reaching the device.
  virtual HRESULT SetTextureStageStateVerbose(UINT stage, UINT type, UINT value) = 0;
  // A draw from the streams already set.
  virtual HRESULT DrawStreamPrimitive(UINT type, UINT startVertex, UINT primitiveCount) = 0;
  virtual CRenderTargetStorageInterface* GetRenderTargetStorageInterface() = 0;
  // Clear without the frame-rate limiter; repeats a present that was still drawing first.
  virtual HRESULT ClearBuffers(UINT flags, UINT colour) = 0;
  // Push and pop every cached state (four levels); 1 when all eight stacks succeeded.
  virtual UINT SaveStates() = 0;
  virtual UINT LoadStates() = 0;

 protected:
  ~CEngineRenderer() = default;
};
