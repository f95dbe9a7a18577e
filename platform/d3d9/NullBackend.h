#pragma once
// A back end that keeps no pixels: every object gets a name, nothing is drawn. The device above
// it still keeps real resource memory, state and the call log.
#include "RenderBackend.h"

class CNullBackend : public IRenderBackend {
 public:
  bool Initialize(HWND window, UINT width, UINT height) override;
  void Configure(UINT width, UINT height, bool vsync) override;
  uintptr_t CreateTexture(bool isCube, const SFormatInfo& format, UINT width, UINT height, UINT levels) override;
  void UploadTextureLevel(uintptr_t texture, bool isCube, UINT face, UINT level, const SFormatInfo& format,
                          UINT width, UINT height, const void* data, UINT pitch) override;
  void GenerateMipmaps(uintptr_t texture, bool isCube) override;
  void DestroyTexture(uintptr_t texture) override;
  uintptr_t CreateDepthBuffer(const SFormatInfo& format, UINT width, UINT height) override;
  void DestroyDepthBuffer(uintptr_t buffer) override;
  uintptr_t CreateBuffer(UINT size) override;
  void UploadBuffer(uintptr_t buffer, UINT offset, UINT size, const void* data) override;
  void DestroyBuffer(uintptr_t buffer) override;
  void Clear(const CDeviceState& state, const SClearCall& clear) override;
  void Draw(const CDeviceState& state, const SDrawCall& draw) override;
  bool ReadTarget(const STargetRef& target, void* data, UINT pitch) override;
  void CopyTarget(const STargetRef& source, const RECT& sourceRect, const STargetRef& dest, const RECT& destRect,
                  bool linear) override;
  void Present(const STargetRef& backBuffer, ScreenPixels* shown) override;

 private:
  uintptr_t m_nextName = 1;
};
