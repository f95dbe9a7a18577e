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

  HWND hWnd;  // device and focus window
  DWORD dwAdapter;
  // Copied into the adapter's enumeration; they are also the requested formats of decal
  // textures and normal maps.
  D3DFORMAT TextureFormat;           // the preset's first extra surface
  D3DFORMAT SecondaryTextureFormat;  // the preset's second extra surface
  D3DFORMAT BackBufferFormat;
  D3DFORMAT DepthStencilFormat;
  // The byte sizes of the index- and vertex-buffer banks' main buffers, 0 for none: the
  // configuration's device values A and B when the adapter confirms them. Device creation
  // clears both when the adapter cannot offset streams.
  DWORD dwIndexBufferResourceManagement;
  DWORD dwVertexBufferResourceManagement;
  WORD wWidth;
  WORD wHeight;
  // One list per kind, in the order of the kinds above.
  SurfaceDescriptorList Descriptors[kDescriptorListCount];
  WORD wTextureFilter;         // 0 point, 1 bilinear, 2 trilinear, 3 anisotropic: the preset's 16-bit device value
  DWORD dwWindowed;            // 1 = windowed
  DWORD dwPositionWindow;      // 1 = place the window and clip the cursor: the engine owns the window
  DWORD dwMultithreaded;       // 1 = a device for several threads: the configuration's device value
  DWORD dwVSync;               // 1 = full-screen presents wait for the vertical blank
  DWORD dwMipmapping;          // non-zero = textures get generated mipmaps: the preset's 32-bit device value
  // 0 keeps textures from asking the device for generated mipmaps.
  DWORD dwAllowAutoGenMipmaps;
  DWORD dwSelectedScheme;
  DWORD dwShowCommand;
};
