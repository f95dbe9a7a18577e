#include "RendererTestBench.h"

#include <algorithm>

RendererTestBench::RendererTestBench(ZkTestD3DBackend backend, const TestCard& card, WORD textureFilter,
                                     bool createDevice)
    : device(backend, CD3DTestDevice::Deferred{}) {
  context->pLog = &log;
  context->pActiveScene = nullptr;
  context->pProfiler = nullptr;
  context->pRenderingProfile = nullptr;
  std::fill(std::begin(context->pSamples), std::end(context->pSamples), nullptr);
  allocator = CPageAllocator::Create(nullptr, 1 << 20, 64, nullptr);
  context->pAllocator = allocator;
  ReadableCard(card).Apply();

  renderer = std::make_unique<CD3D9Renderer>(GetEngineContext());
  schemes.Build(nullptr, 0, nullptr);
  renderer->SetSchemes(schemes.GetScheme(0), schemes.GetNumberOfSchemes());
  renderer->Enumerate();
  // The card was for the enumeration; the device goes on drawing with the real adapter's limits.
  ZkTestD3DSetAdapterProfile(nullptr);

  CD3D9Renderer::Banks banks;
  banks.pRenderTargets = &renderTargets;
  banks.pIndexBuffers = &indexBuffers;
  banks.pVertexBuffers = &vertexBuffers;
  banks.pTextures = &textures;
  banks.pVertexShaders = &vertexShaders;
  banks.pPixelShaders = &pixelShaders;
  renderer->SetBanks(banks);

  if (createDevice) CreateDevice(WindowedSettings(textureFilter));
}

void RendererTestBench::CreateDevice(const DeviceSettings& deviceSettings) {
  settings = deviceSettings;
  renderer->Initialize(&settings);
  device.Adopt(renderer->GetDevice());

  const DWORD dynamic = D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY;
  device->CreateVertexBuffer(kDynamicVertexBytes, dynamic, 0, D3DPOOL_DEFAULT, &vertexBuffers.dynamicBuffer, nullptr);
  device->CreateIndexBuffer(kDynamicIndexBytes, dynamic, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &indexBuffers.dynamicBuffer,
                            nullptr);
  vertexBuffers.device = device.get();
  indexBuffers.device = device.get();
  ForgetCalls();
}

TestCard RendererTestBench::ReadableCard(TestCard card) {
  card.caps.DevCaps &= ~D3DDEVCAPS_PUREDEVICE;
  return card;
}

DeviceSettings RendererTestBench::WindowedSettings(WORD textureFilter, UINT width, UINT height) {
  DeviceSettings windowed{};
  windowed.dwAdapter = 0;
  windowed.BackBufferFormat = D3DFMT_A8R8G8B8;
  windowed.DepthStencilFormat = D3DFMT_D24S8;
  windowed.TextureFormat = windowed.SecondaryTextureFormat = D3DFMT_X8R8G8B8;
  windowed.wWidth = static_cast<WORD>(width);
  windowed.wHeight = static_cast<WORD>(height);
  windowed.wTextureFilter = textureFilter;
  windowed.dwWindowed = 1;
  return windowed;
}

void RendererTestBench::ReleaseFakeDynamicBuffers() {
  if (vertexBuffers.dynamicBuffer) vertexBuffers.dynamicBuffer->Release();
  if (indexBuffers.dynamicBuffer) indexBuffers.dynamicBuffer->Release();
  vertexBuffers.dynamicBuffer = nullptr;
  indexBuffers.dynamicBuffer = nullptr;
}

RendererTestBench::~RendererTestBench() {
  renderer.reset();
  ReleaseFakeDynamicBuffers();
  delete allocator;
}

std::vector<std::string> RendererTestBench::Calls(const std::vector<std::string>& methods) {
  std::vector<std::string> calls;
  for (size_t i = 0; i < ZkTestD3DCallCount(); ++i) {
    const std::string call = ZkTestD3DCall(i);
    const std::string method = call.substr(0, call.find('('));
    if (methods.empty() || std::find(methods.begin(), methods.end(), method) != methods.end()) calls.push_back(call);
  }
  return calls;
}

void RendererTestBench::ForgetCalls() {
  ZkTestD3DClearCalls();
  log.entries.clear();
  shaderCalls.clear();
  textures.d3dTextures.clear();
}
