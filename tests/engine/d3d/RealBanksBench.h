#pragma once
// A renderer that has built every bank of its own (the render targets aside), sprites and effect
// files included, on the back end chosen: what the game, the scene graph, the spatial
// structures and the scripts reach through it. The dynamic buffers can be read back.
#include <cstring>
#include <deque>
#include <vector>

#include "RendererTestBench.h"
#include "d3d/EffectFiles.h"
#include "d3d/IndexBufferBankInterface.h"
#include "d3d/SpriteBank.h"

class RealBanksBench {
 public:
  // The back buffer is `width` x `height`, the test device's size unless given.
  explicit RealBanksBench(ZkTestD3DBackend backend = ZK_D3D_BACKEND_NULL,
                          UINT width = CD3DTestDevice::kWidth,
                          UINT height = CD3DTestDevice::kHeight)
      : bench(backend, ShaderModel3Card(), 2, false) {
    CD3D9Renderer::Banks banks;
    banks.pRenderTargets = &bench.renderTargets;
    bench.renderer->SetBanks(banks);
    bench.CreateDevice(RendererTestBench::WindowedSettings(2, width, height));
    // The bench's fake banks are not the renderer's here.
    bench.ReleaseFakeDynamicBuffers();
  }

  CD3D9Renderer& Renderer() { return *bench.renderer; }
  CSpriteBank& Sprites() { return static_cast<CSpriteBank&>(*bench.renderer->GetSpriteStorageInterface()); }

  // A sprite of the bank with one surface texture showing `texture` (the slot is the bench's).
  CSpriteInterface* TexturedSprite(const char* name, UINT quads, D3DVERTEXELEMENT9* layout, CTextureInterface* texture,
                                   UINT flags) {
    SurfaceTexture& slot = slots.emplace_back();
    slot.Clear();
    slot.pTextureImage = texture;
    SurfaceTexture* list[] = {&slot};
    return Sprites().CreateSprite(name, quads, layout, list, 1, nullptr, flags, 0, 0);
  }

  // The first `bytes` of the dynamic vertex buffer, the first `count` dynamic indices.
  std::vector<BYTE> DynamicVertices(UINT bytes) {
    std::vector<BYTE> out(bytes);
    IDirect3DVertexBuffer9* buffer = bench.renderer->GetVertexBufferStorageInterface()->GetDynamicVertexBuffer();
    void* data = nullptr;
    if (SUCCEEDED(buffer->Lock(0, bytes, &data, D3DLOCK_READONLY))) {
      memcpy(out.data(), data, bytes);
      buffer->Unlock();
    }
    return out;
  }
  std::vector<WORD> DynamicIndices(UINT count) {
    std::vector<WORD> out(count);
    auto* bank = static_cast<CIndexBufferBankInterface*>(bench.renderer->GetIndexBufferStorageInterface());
    void* data = nullptr;
    if (SUCCEEDED(bank->GetDynamicIndexBuffer()->Lock(0, count * sizeof(WORD), &data, D3DLOCK_READONLY))) {
      memcpy(out.data(), data, count * sizeof(WORD));
      bank->GetDynamicIndexBuffer()->Unlock();
    }
    return out;
  }

  RendererTestBench bench;
  std::deque<SurfaceTexture> slots;
};
