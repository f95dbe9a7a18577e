#pragma once
// Test control of the Direct3D 9 stand-in: the back end, the adapter it reports, injected
// results, the log of device calls and the count of live objects.
#include <cstddef>

#include "d3d9.h"
#include "zkplatform/ZkApi.h"

enum ZkTestD3DBackend {
  ZK_D3D_BACKEND_GL = 0,    // rasterises with OpenGL (default)
  ZK_D3D_BACKEND_NULL = 1,  // same resources, memory, state and log; draws nothing
};

// What the adapter reports. Format lists are what CheckDeviceFormat accepts for each use;
// FOURCC queries ('INST', 'ATI2', ...) are answered from textureFormats like any format.
struct ZkTestD3DAdapterProfile {
  D3DADAPTER_IDENTIFIER9 identifier;
  D3DCAPS9 caps;
  const D3DFORMAT* textureFormats;
  UINT textureFormatCount;
  const D3DFORMAT* cubeTextureFormats;
  UINT cubeTextureFormatCount;
  const D3DFORMAT* renderTargetFormats;
  UINT renderTargetFormatCount;
  const D3DFORMAT* depthStencilFormats;
  UINT depthStencilFormatCount;
  const D3DFORMAT* vertexTextureFormats;
  UINT vertexTextureFormatCount;
  const D3DDISPLAYMODE* modes;  // all of format D3DFMT_X8R8G8B8
  UINT modeCount;
  BOOL createDeviceFails;  // every CreateDevice returns D3DERR_NOTAVAILABLE
};

// Back to the defaults: the GL back end (the null one when the environment has
// ZK_D3D_BACKEND=null), the real adapter alone, nothing injected, an empty log that records.
ZKAPI void ZkTestD3DResetControl();
// Whether device calls go to the log. Off until a test resets the control or turns it on, so
// a program that never asks for the log does not format and keep every call.
ZKAPI void ZkTestD3DLogCalls(bool on);
ZKAPI void ZkTestD3DSetBackend(ZkTestD3DBackend backend);
// The back end the next device is made on.
ZKAPI ZkTestD3DBackend ZkTestD3DGetBackend();

// The profile is copied (lists included). Null returns to the real adapter.
ZKAPI void ZkTestD3DSetAdapterProfile(const ZkTestD3DAdapterProfile* profile);
// A second adapter that reports this profile (copied); null takes it away again. A device made
// on it works as one of adapter 0.
ZKAPI void ZkTestD3DSetSecondAdapterProfile(const ZkTestD3DAdapterProfile* profile);
// The real adapter's profile; the lists point into storage owned by the platform.
ZKAPI void ZkTestD3DGetRealAdapterProfile(ZkTestD3DAdapterProfile* profile);

// The next CreateDevice fails once with this result.
ZKAPI void ZkTestD3DFailNextCreateDevice(HRESULT result);
// Every live device is lost now (Present gives D3DERR_DEVICELOST, TestCooperativeLevel
// D3DERR_DEVICENOTRESET until Reset).
ZKAPI void ZkTestD3DLoseDevice();
// While held, a lost device cannot be reset yet (the window is away): TestCooperativeLevel
// answers D3DERR_DEVICELOST and Reset fails with D3DERR_DEVICELOST.
ZKAPI void ZkTestD3DHoldDeviceLost(bool held);
// The next Reset fails once with this result (the device stays lost).
ZKAPI void ZkTestD3DFailNextReset(HRESULT result);
// The next Lock of any index buffer fails once with this result.
ZKAPI void ZkTestD3DFailNextIndexBufferLock(HRESULT result);
// The next CreateTexture or CreateCubeTexture fails once with this result.
ZKAPI void ZkTestD3DFailNextTextureCreation(HRESULT result);
// The next `count` presents with D3DPRESENT_DONOTWAIT return D3DERR_WASSTILLDRAWING.
ZKAPI void ZkTestD3DPresentStillDrawing(UINT count);

// The log of device calls, one line each, as "SetRenderState(7, 1)".
ZKAPI size_t ZkTestD3DCallCount();
ZKAPI const char* ZkTestD3DCall(size_t index);
// How many logged calls start with this method name.
ZKAPI size_t ZkTestD3DCountCalls(const char* method);
ZKAPI void ZkTestD3DClearCalls();

// Live objects of the stand-in: the Direct3D object, devices, resources, declarations, shaders.
ZKAPI size_t ZkTestD3DLiveObjects();
