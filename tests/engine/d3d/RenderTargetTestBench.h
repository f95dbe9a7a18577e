#pragma once
// A renderer that has built its own texture bank and render-target bank from descriptions the
// test gives, with recording banks for the rest. On the null back end the device takes the
// card's formats, so that what the enumeration lists can be made.
#include <functional>
#include <string>

#include "RendererTestBench.h"
#include "d3d/CubeRenderTarget.h"
#include "d3d/DepthBufferRenderTarget.h"
#include "d3d/RenderTargetBank.h"
#include "d3d/TextureBank.h"
#include "d3d/TextureRenderTarget.h"

class RenderTargetTestBench {
 public:
  // The description lists in the device settings' order.
  enum List { kFloatRectangle, kFloatCube, kRectangle, kCube, kPhysical, kFloatPhysical, kDepth };

  // Whether the buffer and shader banks are recording ones or the renderer's own.
  enum OtherBanks { kRecordingBanks, kRealBanks };

  using Describe = std::function<void(RenderTargetTestBench&, DeviceSettings&)>;
  explicit RenderTargetTestBench(const Describe& describe, ZkTestD3DBackend backend = ZK_D3D_BACKEND_NULL,
                                 const TestCard& card = ShaderModel3Card(), OtherBanks others = kRecordingBanks)
      : bench(backend, card, 2, false) {
    CD3D9Renderer::Banks banks;
    if (others == kRecordingBanks) {
      banks.pIndexBuffers = &bench.indexBuffers;
      banks.pVertexBuffers = &bench.vertexBuffers;
      banks.pVertexShaders = &bench.vertexShaders;
      banks.pPixelShaders = &bench.pixelShaders;
    }
    bench.renderer->SetBanks(banks);
    if (backend == ZK_D3D_BACKEND_NULL) RendererTestBench::ReadableCard(card).Apply();
    DeviceSettings settings = RendererTestBench::WindowedSettings();
    describe(*this, settings);
    bench.CreateDevice(settings);
    if (others == kRealBanks) bench.ReleaseFakeDynamicBuffers();
    bank = dynamic_cast<CRenderTargetBank*>(bench.renderer->GetRenderTargetStorageInterface());
  }

  // Adds a description to a list of `settings` (planar kinds by size, cubes by edge).
  RenderTargetDescription& Add(DeviceSettings& settings, List list, WORD count, DWORD format, WORD width,
                               WORD height = 0) {
    const bool cube = list == kCube || list == kFloatCube;
    RenderTargetDescription& d = descriptions[list][settings.Descriptors[list].dwCount];
    d = {format, DeviceSettings::kDescriptorKinds[list], count, WORD(cube ? 0 : width), WORD(cube ? 0 : height),
         WORD(cube ? width : 0)};
    SurfaceDescriptorList& descriptors = settings.Descriptors[list];
    descriptors.pDescriptors[descriptors.dwCount++] = &d;
    return d;
  }

  // Rebuilds the targets with nothing logged or called before, for tests of what building does.
  void Rebuild() {
    bank->ReleaseRenderTargets();
    bench.ForgetCalls();
    bank->InitRenderTargets();
  }
  std::string Infos() const { return bench.log.TextAt(CEngineLog::kLevelInfo); }
  std::string Errors() const { return bench.Errors(); }
  CEngineRenderer* Renderer() { return bench.renderer.get(); }

  RenderTargetDescription descriptions[DeviceSettings::kDescriptorListCount][SurfaceDescriptorList::kCapacity] = {};
  RendererTestBench bench;
  CRenderTargetBank* bank = nullptr;
};
