#pragma once
// A render-target bank that records what the renderer's frame asks of it and keeps the back
// buffers it is handed, giving their references back when it goes.
#include <vector>

#include "d3d/RenderTargetStorageInterface.h"

class RecordingRenderTargetStorage final : public CRenderTargetStorageInterface {
 public:
  ~RecordingRenderTargetStorage() {
    for (IDirect3DSurface9* surface : backBuffers)
      if (surface) surface->Release();
  }
  UINT ReleaseLockedRenderTargets() override {
    ++framesEnded;
    return 1;
  }
  void SetBackBufferSurface(IDirect3DSurface9* surface) override { backBuffers.push_back(surface); }

  int framesEnded = 0;
  std::vector<IDirect3DSurface9*> backBuffers;
};
