#pragma once
// What the game and the engine share besides the interfaces: the version, the blocks that the
// game hands the engine at start-up, the maths types and the geometry records.
//
// The blocks cross between the two deliverables as plain memory that the engine keeps by
// pointer for its whole life (and writes some fields back into), so the game keeps them alive
// and unmoved until the engine has shut down. Their fields are in the documented order; fields
// that are addresses or handles are pointer-sized, so the size checks compare with sizeof.
#include <cstddef>

#include "ZKDXMath.h"
#include "ZKDXRecords.h"
#include "windef.h"

// The interface version the engine and the game must agree on.
constexpr DWORD ZEKORB_VERSION = 20050526;

// Rendering-scheme bits, named after the card families they suit.
enum : DWORD {
  ZK_SCHEME_GEFORCE2 = 0x2,
  ZK_SCHEME_GEFORCE3 = 0x4,
  ZK_SCHEME_GEFORCE4 = 0x8,
  ZK_SCHEME_RADEON8500 = 0x10,
  ZK_SCHEME_RADEON9700 = 0x20,
  ZK_SCHEME_GEFORCEFX = 0x40,
  ZK_SCHEME_RADEONX800 = 0x80,
  ZK_SCHEME_GEFORCE6800 = 0x100,
};

// World-object type words, also used as masks.
enum : DWORD {
  WORLD_OBJECT_MESH = 1,
  WORLD_OBJECT_CAMERA = 2,
  WORLD_OBJECT_NULL = 4,
  WORLD_OBJECT_LIGHT = 8,
};

// A rendering scheme: what an adapter must offer to be driven by one family of code paths.
// The engine has built-in records; an application may hand its own. The device enumeration
// compares the requirement fields with the adapter's capabilities and gives them their meaning.
struct RenderingScheme {
  char szName[256];
  DWORD dwSize;  // sizeof(RenderingScheme)
  DWORD dwScheme;
  BYTE VertexShaderMajor;
  BYTE VertexShaderMinor;
  BYTE PixelShaderMajor;
  BYTE PixelShaderMinor;
  DWORD dwCapsRequirement1;
  DWORD dwCapsRequirement2;
  DWORD dwSimultaneousTextures;
  DWORD dwCapsRequirements[9];
  DWORD dwVertexShaderConstants;
  float fMaxPixelShaderValue;
  DWORD dwCapsMasks[4];
  DWORD dwCapsRequirement3;
  DWORD dwCapsRequirement4;
  DWORD dwCapsRequirement5;
  DWORD dwCapsRequirement6;
  DWORD dwCapsRequirement7;
};

typedef void (*ZeKorbQuitCallback)();

// Filled by the game before it calls the engine's export; kept by the engine.
struct ApplicationDescriptor {
  ZeKorbQuitCallback fpQuitCallback;  // called last by the shutdown when dwUseQuitCallback is 1
  DWORD dwReserved1;
  DWORD dwReserved2;
  DWORD dwSize;     // sizeof(ApplicationDescriptor)
  DWORD dwVersion;  // ZEKORB_VERSION
  RenderingScheme* pRenderingSchemes;
  DWORD dwNumberOfRenderingSchemes;
  DWORD dwAllocatorDescriptors;  // raised to 4096 when lower
  DWORD dwAllocatorPageMemory;   // bytes; raised to 10485760 when lower
  HWND hWnd;    // non-null: the engine adopts it; null: the engine writes its own window here
  HICON hIcon;  // null: the engine's own icon
  const char* szWindowTitle;
  const char* szApplicationName;  // must not be null
  const char* szShadersDirectory;  // set by the engine at pre-initialisation
  const char* szLogDirectory;      // null: the engine library's folder
  const char* szOverrideDirectory;
  DWORD dwShowCommand;
  HINSTANCE hInstance;
  // Unread by the engine; the game passes its command line here.
  const char* szCommandLine;
  DWORD dwUseLogs;
  DWORD dwWindowed;
  DWORD dwUseQuitCallback;
};

// One 16-bit-and-32-bit surface description of a rendering preset; the device layer gives the
// values their meaning by kind.
struct ConfigureGFXSurface {
  DWORD dwValue;  // for the back buffer: 1 = 32-bit colour, anything else 16-bit
  DWORD dwKind;   // written by the engine
  WORD wValue1;
  WORD wWidth;
  WORD wHeight;
  WORD wValue2;
};

// One rendering preset; the engine uses the first whose scheme bit equals the chosen scheme.
struct ConfigureGFX {
  const char* szRenderingProfileLibrary;  // or null
  DWORD dwSize;                           // sizeof(ConfigureGFX)
  DWORD dwScheme;
  // In order: kinds 0x10000, 0x10004, 0x10001, 0x10005 and the back buffer 0x10002.
  ConfigureGFXSurface Surfaces[5];
  WORD wExtraSurfaceFormat1;
  WORD wExtraSurfaceFormat2;
  WORD wDeviceValue;
  WORD wLightingModel;  // every new scene starts with it
  WORD wReserved;
  WORD wPadding;
  DWORD dwDeviceValue;
};

// Passed through unread to the sound server.
struct TonarisConfig {
  DWORD dwSize;         // sizeof(TonarisConfig)
  DWORD dwDeviceIndex;  // 0xFFFFFFFF: the default device
  DWORD dwFlags;
  DWORD dwBufferCount1;  // 0 means 8
  DWORD dwBufferCount2;  // 0 means 8
};

// Handed to Init and ChangeConfiguration; the engine keeps the first one and writes back the
// video mode it settled on.
struct ZeKorbConfig {
  DWORD dwInputCooperativeFlags;  // bit 0 exclusive, bit 1 no Windows key, bit 2 background
  DWORD dwInputPollInterval;      // milliseconds; over 1000 means 50
  DWORD dwInputValue;
  DWORD dwEscapeShutsDown;
  DWORD dwSize;  // sizeof(ZeKorbConfig)
  ConfigureGFX* pPresets;
  TonarisConfig* pTonarisConfig;  // or null
  DWORD dwNumberOfPresets;
  DWORD dwSchemeMask;
  DWORD dwTechniqueMask;  // 0: no restriction
  DWORD dwDeviceValueA;
  DWORD dwDeviceValueB;
  DWORD dwFrameRateLimit;  // frames per second; 0: no limit
  WORD wWidth;
  WORD wHeight;
  DWORD dwUseDeviceValues;
  DWORD dwNoHardwareVertexProcessing;
  DWORD dwReferenceRasterizer;
  DWORD dwDeviceValue;
  DWORD dwUseSound;
  DWORD dwLockConsole;
  DWORD dwKeepActive;
  DWORD dwVSync;
};

static_assert(sizeof(RenderingScheme) == 360);
static_assert(offsetof(RenderingScheme, dwSize) == 256 &&
              offsetof(RenderingScheme, dwCapsRequirement1) == 268 &&
              offsetof(RenderingScheme, dwCapsRequirements) == 280 &&
              offsetof(RenderingScheme, fMaxPixelShaderValue) == 320 &&
              offsetof(RenderingScheme, dwCapsRequirement6) == 352);
static_assert(sizeof(ConfigureGFXSurface) == 16);
static_assert(sizeof(TonarisConfig) == 20);
// With 4-byte pointers these are the 88-, 108- and 88-byte blocks of the original platform.
static_assert(offsetof(ApplicationDescriptor, dwSize) == sizeof(void*) + 8);
static_assert(offsetof(ConfigureGFX, Surfaces) == sizeof(void*) + 8);
static_assert(offsetof(ConfigureGFX, dwDeviceValue) - offsetof(ConfigureGFX, Surfaces) == 92);
static_assert(offsetof(ZeKorbConfig, dwSize) == 16);
static_assert(offsetof(ZeKorbConfig, wHeight) - offsetof(ZeKorbConfig, dwNumberOfPresets) == 26);
static_assert(offsetof(ZeKorbConfig, dwVSync) + sizeof(DWORD) - offsetof(ZeKorbConfig, wWidth) == 36);
