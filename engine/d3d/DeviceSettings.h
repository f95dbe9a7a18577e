#pragma once
// What the engine core's device choice settles and device creation and reset read: the
// window, the surface formats, the scheme, the video mode and the preset's surface
// descriptors by kind. Cleared before every choice; the descriptors point into the
// application's preset, which it keeps alive for the engine's life.
#include "ZKDXGlobals.h"
#include "d3d9types.h"

struct ConfigureGFXSurface;

// The render-target kinds of the description lists, in the record's order. A preset's five
// descriptors fill the first five; 0x10004 and 0x10005 are cubes, described by their edge.
enum : DWORD {
  SURFACE_KIND_FLOAT_RECTANGLE = 0x10000,
  SURFACE_KIND_FLOAT_CUBE = 0x10004,
  SURFACE_KIND_RECTANGLE = 0x10001,
  SURFACE_KIND_CUBE = 0x10005,
  SURFACE_KIND_BACK_BUFFER = 0x10002,
  SURFACE_KIND_FLOAT_BACK_BUFFER = 0x10003,
  SURFACE_KIND_DEPTH = 0x10006,
};

struct SurfaceDescriptorList {
  static constexpr DWORD kCapacity = 4;
  ConfigureGFXSurface* pDescriptors[kCapacity];
  DWORD dwCount;
};

struct DeviceSettings {
  static constexpr int kDescriptorListCount = 7;
  // The kind each list serves, in the record's order.
  static constexpr DWORD kDescriptorKinds[kDescriptorListCount] = {
      SURFACE_KIND_FLOAT_RECTANGLE, SURFACE_KIND_FLOAT_CUBE,         SURFACE_KIND_RECTANGLE, SURFACE_KIND_CUBE,
      SURFACE_KIND_BACK_BUFFER,     SURFACE_KIND_FLOAT_BACK_BUFFER, SURFACE_KIND_DEPTH};

  HWND hWnd;
  DWORD dwAdapter;
  D3DFORMAT TextureFormat;           // first extra surface
  D3DFORMAT SecondaryTextureFormat;  // second extra surface
  D3DFORMAT BackBufferFormat;
  D3DFORMAT DepthStencilFormat;
  DWORD dwSelectedScheme;
  DWORD dwDeviceValueA;  // configuration values, copied only when the adapter confirms them
  DWORD dwDeviceValueB;
  WORD wWidth;
  WORD wHeight;
  // One list per kind, in the order of the kinds above.
  SurfaceDescriptorList Descriptors[kDescriptorListCount];
  WORD wPresetDeviceValue;    // the preset's 16-bit device value
  DWORD dwReserved[2];
  DWORD dwWindowed;
  DWORD dwWindowOwned;
  DWORD dwPresetDeviceValue;  // the preset's 32-bit device value
  DWORD dwConfigDeviceValue;  // the configuration's device value
  DWORD dwVSync;
  DWORD dwShowCommand;
  // 0 keeps textures from asking the device for generated mipmaps.
  DWORD dwAllowAutoGenMipmaps;
};
