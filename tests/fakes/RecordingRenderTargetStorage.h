#pragma once
// A render-target bank that records what the renderer's frame asks of it and keeps the back
// buffers it is handed, giving their references back when it goes.
#include <string>
#include <vector>

#include "d3d/RenderTargetStorageInterface.h"

class RecordingRenderTargetStorage final : public CRenderTargetStorageInterface {
 public:
  ~RecordingRenderTargetStorage() { ReleaseBackBuffers(); }
  UINT ReleaseLockedRenderTargets() override {
    ++framesEnded;
    return 1;
  }
  void SetBackBufferSurface(IDirect3DSurface9* surface) override { backBuffers.push_back(surface); }
  // Loss and release give the back buffers back; recorded as "lost", "reset", "released".
  void OnDeviceLost() override {
    deviceEvents.push_back("lost");
    ReleaseBackBuffers();
  }
  void OnDeviceReset() override { deviceEvents.push_back("reset"); }
  void ReleaseDeviceObjects() override {
    deviceEvents.push_back("released");
    ReleaseBackBuffers();
  }
  // No pools: nothing is handed out, and the stack holds nothing.
  UINT GetPlainRenderTarget(CTextureRenderTarget** out, UINT) override { return NoTarget(out); }
  UINT GetFloatPlainRenderTarget(CTextureRenderTarget** out, UINT) override { return NoTarget(out); }
  UINT GetCubeRenderTarget(CCubeRenderTarget** out, UINT) override { return NoTarget(out); }
  UINT GetFloatCubeRenderTarget(CCubeRenderTarget** out, UINT) override { return NoTarget(out); }
  UINT RestoreRenderTarget() override {
    ++restores;
    return 1;
  }
  CRenderTargetInterface* GetCurrentRenderTarget() override { return nullptr; }
  void GiveBackRenderTarget(CRenderTargetInterface* target) override { givenBack.push_back(target); }
  std::vector<CRenderTargetInterface*> givenBack;
  void ReleaseBackBuffers() {
    for (IDirect3DSurface9*& surface : backBuffers)
      if (surface) surface->Release();
    backBuffers.clear();
  }
  std::vector<std::string> deviceEvents;

  int framesEnded = 0;
  int restores = 0;
  std::vector<IDirect3DSurface9*> backBuffers;

 private:
  template <class Target>
  static UINT NoTarget(Target** out) {
    if (out) *out = nullptr;
    return 0;
  }
};
