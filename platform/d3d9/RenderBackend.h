#pragma once
// The one internal interface between the device and what draws: GL, or nothing (null).
// Handles are the back end's own names for its objects; 0 is "none".
#include <cstdint>

#include "DeviceState.h"
#include "FormatTable.h"

class CVertexDeclaration9;
struct ScreenPixels;

// A colour or depth target: a level of a (cube) texture, or a depth-stencil buffer.
struct STargetRef {
  uintptr_t handle = 0;
  bool isCube = false;
  bool isDepthBuffer = false;
  UINT face = 0;
  UINT level = 0;
  UINT width = 0;
  UINT height = 0;
  const SFormatInfo* format = nullptr;

  bool operator==(const STargetRef& other) const {
    return handle == other.handle && isCube == other.isCube && isDepthBuffer == other.isDepthBuffer &&
           face == other.face && level == other.level && width == other.width && height == other.height &&
           format == other.format;
  }
};

struct SDrawCall {
  D3DPRIMITIVETYPE type = D3DPT_TRIANGLELIST;
  UINT primitiveCount = 0;
  UINT vertexCount = 0;  // vertices the primitives use, from the primitive count
  UINT startVertex = 0;  // non-indexed draws
  bool indexed = false;
  INT baseVertex = 0;
  UINT startIndex = 0;
  UINT indexSize = 2;
  uintptr_t indexBuffer = 0;              // indexed draws from a buffer
  const void* userIndices = nullptr;      // DrawIndexedPrimitiveUP
  const void* userVertices = nullptr;     // the *UP draws: stream 0 from memory
  UINT userStride = 0;
  UINT userVertexBytes = 0;
  UINT userIndexBytes = 0;
  const CVertexDeclaration9* declaration = nullptr;
  uintptr_t streamBuffers[kMaxStreams] = {};
  STargetRef targets[kMaxRenderTargets];
  STargetRef depthStencil;
};

struct SClearCall {
  DWORD rectCount = 0;
  const D3DRECT* rects = nullptr;
  DWORD flags = 0;
  D3DCOLOR color = 0;
  float z = 1.f;
  DWORD stencil = 0;
  STargetRef targets[kMaxRenderTargets];
  STargetRef depthStencil;
};

class IRenderBackend {
 public:
  virtual ~IRenderBackend() = default;
  // False when the back end cannot run (no GL context): CreateDevice then fails.
  virtual bool Initialize(HWND window, UINT width, UINT height) = 0;
  // The back buffer's size and whether presents wait for the vertical blank.
  virtual void Configure(UINT width, UINT height, bool vsync) = 0;

  virtual uintptr_t CreateTexture(bool isCube, const SFormatInfo& format, UINT width, UINT height,
                                  UINT levels) = 0;
  virtual void UploadTextureLevel(uintptr_t texture, bool isCube, UINT face, UINT level, const SFormatInfo& format,
                                  UINT width, UINT height, const void* data, UINT pitch) = 0;
  virtual void GenerateMipmaps(uintptr_t texture, bool isCube) = 0;
  virtual void DestroyTexture(uintptr_t texture) = 0;
  virtual uintptr_t CreateDepthBuffer(const SFormatInfo& format, UINT width, UINT height) = 0;
  virtual void DestroyDepthBuffer(uintptr_t buffer) = 0;
  virtual uintptr_t CreateBuffer(UINT size) = 0;
  virtual void UploadBuffer(uintptr_t buffer, UINT offset, UINT size, const void* data) = 0;
  virtual void DestroyBuffer(uintptr_t buffer) = 0;

  virtual void Clear(const CDeviceState& state, const SClearCall& clear) = 0;
  virtual void Draw(const CDeviceState& state, const SDrawCall& draw) = 0;
  // Copies a colour target, top row first, into memory of the target's format.
  virtual bool ReadTarget(const STargetRef& target, void* data, UINT pitch) = 0;
  // Copies one target onto another, scaling; rectangles are in Direct3D's top-down rows.
  virtual void CopyTarget(const STargetRef& source, const RECT& sourceRect, const STargetRef& dest,
                          const RECT& destRect, bool linear) = 0;
  // Shows the back buffer in the window. When `shown` is given, it also gets what the window
  // shows, at the window's size; it stays empty when that cannot be read.
  virtual void Present(const STargetRef& backBuffer, ScreenPixels* shown) = 0;
};
