#pragma once
// A renderer that has made its windowed device, with recording banks around it: the null back
// end to count what reaches the device, GL to read pixels back. The renderer's dynamic buffers
// are real buffers of the device, of the sizes the banks make them.
#include <memory>
#include <string>
#include <vector>

#include "D3DTestDevice.h"
#include "EngineContextScope.h"
#include "FakeMeshVertexBuffer.h"
#include "FakeSurfaceBanks.h"
#include "RecordingEngineLog.h"
#include "RecordingRenderTargetStorage.h"
#include "RecordingShaderBanks.h"
#include "TestCards.h"
#include "core/PageAllocator.h"
#include "d3d/D3D9Renderer.h"
#include "d3d/DeviceSettings.h"
#include "d3d/RenderingSchemes.h"

class RendererTestBench {
 public:
  static constexpr UINT kDynamicVertexBytes = 524288;
  static constexpr UINT kDynamicIndexBytes = 131070;

  // The card's caps and formats stand for the adapter the renderer enumerates.
  // Without `createDevice` the renderer is enumerated and has its banks, and CreateDevice is
  // the test's to call.
  explicit RendererTestBench(ZkTestD3DBackend backend, const TestCard& card = ShaderModel3Card(),
                             WORD textureFilter = 2, bool createDevice = true);
  ~RendererTestBench();
  RendererTestBench(const RendererTestBench&) = delete;
  RendererTestBench& operator=(const RendererTestBench&) = delete;

  // The device calls logged since the last ForgetCalls whose method is one of `methods` (all of
  // them when empty), as the platform writes them: "SetRenderState(7, 1)".
  static std::vector<std::string> Calls(const std::vector<std::string>& methods = {});
  // Initializes the renderer with a copy of `deviceSettings` kept in `settings`, takes its device
  // and makes the banks' dynamic buffers on it; forgets the calls and the log so far.
  void CreateDevice(const DeviceSettings& deviceSettings);
  // The card without pure-device support: a pure device answers no state queries, and the
  // tests read states back.
  static TestCard ReadableCard(TestCard card);
  // Windowed, the test device's formats, with the texture filter and back-buffer size given.
  static DeviceSettings WindowedSettings(WORD textureFilter = 2,
                                         UINT width = CD3DTestDevice::kWidth,
                                         UINT height = CD3DTestDevice::kHeight);
  // Forgets the device calls and the log lines so far.
  void ForgetCalls();
  // Releases the fake banks' dynamic buffers, for a renderer that made buffer banks of its own.
  void ReleaseFakeDynamicBuffers();
  std::string Errors() const { return log.TextAt(CEngineLog::kLevelError); }

  EngineContextScope context;
  CRecordingEngineLog log;
  CD3DTestDevice device;
  TestCardScope cardScope;
  CPageAllocator* allocator = nullptr;
  DeviceSettings settings{};
  FakeIndexBufferStorage indexBuffers;
  FakeVertexBufferStorage vertexBuffers;
  FakeTextureStorage textures;
  std::vector<std::string> shaderCalls;
  RecordingVertexShaderStorage vertexShaders{shaderCalls};
  RecordingPixelShaderStorage pixelShaders{shaderCalls};
  RecordingRenderTargetStorage renderTargets;
  CRenderingSchemes schemes;
  std::unique_ptr<CD3D9Renderer> renderer;
};
