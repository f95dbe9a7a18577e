#include "d3d/D3D9Renderer.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include <windows.h>

#include "ZKDXInterface.h"
#include "core/EngineContext.h"
#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "core/PageAllocator.h"
#include "core/Profiler.h"
#include "core/ProfilerSample.h"
#include "d3d/D3D9Enumeration.h"
#include "d3d/D3DLog.h"
#include "d3d/DefaultStates.h"
#include "d3d/DeviceLossHook.h"
#include "d3d/DeviceSettings.h"
#include "d3d/EffectFiles.h"
#include "d3d/IndexBufferBank.h"
#include "d3d/MaterialBank.h"
#include "d3d/PixelShaderBank.h"
#include "d3d/RenderTargetBank.h"
#include "d3d/RenderTargetStorageInterface.h"
#include "d3d/RenderingProfileInterface.h"
#include "d3d/RenderingSchemes.h"
#include "d3d/SpriteBank.h"
#include "d3d/TextureBank.h"
#include "d3d/VertexBufferBank.h"
#include "d3d/VertexBufferBankInterface.h"
#include "d3d/VertexDeclarationBank.h"
#include "d3d/VertexShaderBank.h"
#include "core/EngineSampleScope.h"

namespace {

const char kRendererSource[] = "D3DRenderer9";
const char kInitializationSource[] = "D3DInitialization9";
constexpr int kError = CEngineLog::kLevelError;
constexpr int kInfo = CEngineLog::kLevelInfo;

// Whom the "Small problem" box asks for the log.
const char kSupportContact[] = "the ZeKorb developers";

const char kUninitializedTitle[] = "An Attempt To Get Uninitialized Interface";

// The engine's own clear flag: it only skips the frame-rate limiter and is no Direct3D flag.
constexpr UINT kClearFlagMask = D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL;

template <class Bank>
Bank* Required(Bank* bank, const char* name) {
  if (bank == nullptr) FatalErrorWithTitle(kUninitializedTitle, "%s", name);
  return bank;
}

// The names the stack messages give each stacked state: saving, and loading.
struct StackNames {
  const char* save;
  const char* load;
};
const StackNames kStackNames[] = {
    {"ScissorRect", "ScissorRect"},
    {"RenderState", "RenderStates"},
    {"VP", "ViewPort"},
    {"VertexShaderConstantF", "VertexShaderConstantF"},
    {"PixelShaderConstantF", "PixelShaderConstantF"},
    {"TextureStageStates", "TextureStates"},
    {"SamplerStageStates", "SamplerStates"},
};

// The stage and sampler types a restore gives back.
constexpr UINT kFirstRestoredType = 1;
constexpr UINT kLastRestoredType = 31;

bool IsPrimitiveType(UINT type) { return type >= D3DPT_POINTLIST && type <= D3DPT_TRIANGLEFAN; }

// The byte size of a dynamic buffer; 0 when there is none.
uint64_t BufferSize(IDirect3DVertexBuffer9* buffer) {
  D3DVERTEXBUFFER_DESC desc;
  return buffer && SUCCEEDED(buffer->GetDesc(&desc)) ? desc.Size : 0;
}
uint64_t BufferSize(IDirect3DIndexBuffer9* buffer) {
  D3DINDEXBUFFER_DESC desc;
  return buffer && SUCCEEDED(buffer->GetDesc(&desc)) ? desc.Size : 0;
}

// Locks the start of a dynamic buffer with DISCARD, copies `bytes` into it and unlocks it.
template <class Buffer>
bool FillDynamicBuffer(Buffer* buffer, const void* data, uint64_t bytes) {
  void* target = nullptr;
  if (FAILED(buffer->Lock(0, static_cast<UINT>(bytes), &target, D3DLOCK_DISCARD))) return false;
  if (bytes) memcpy(target, data, bytes);
  buffer->Unlock();
  return true;
}

}  // namespace

CD3D9Renderer::CD3D9Renderer(CEngineContext* context)
    : m_Adapters(context->pLog),
      m_pContext(context),
      m_pLog(context->pLog),
      m_pAllocator(context->pAllocator),
      m_Cache(context->pLog) {}

CD3D9Renderer::~CD3D9Renderer() {
  FreeOwnedBanks();
  // The textures go before the device they were made on.
  m_pTextureBank.reset();
  for (CStateStack& stack : m_Stacks) stack.Release(m_pAllocator);
  GiveBackBufferDCBack();
  // The banks' objects go before the device they were made on; the banks themselves go after.
  if (m_pDevice) {
    if (m_pPixelShaderBank) m_pPixelShaderBank->ReleaseDeviceObjects();
    if (m_pVertexShaderBank) m_pVertexShaderBank->ReleaseDeviceObjects();
    if (m_pIndexBufferBank) m_pIndexBufferBank->ReleaseDeviceObjects();
  }
  if (m_pSwapChain) m_pSwapChain->Release();
  if (m_pDevice) m_pDevice->Release();
}

// ---------------------------------------------------------------------------------------------
// The device

UINT CD3D9Renderer::Initialize(DeviceSettings* settings) {
  m_pSettings = settings;
  m_Adapters.SetDeviceSettings(settings);
  m_pSelectedEnumeration = m_Adapters.GetAdapterEnumeration(settings->dwAdapter);
  if (m_pSelectedEnumeration == nullptr)
    FatalErrorWithTitle("Error When Initializing D3D", "Can't Find Adapter %u", static_cast<unsigned>(settings->dwAdapter));
  m_pSelectedEnumeration->SetFormats(settings->TextureFormat, settings->SecondaryTextureFormat,
                                     settings->BackBufferFormat, settings->DepthStencilFormat);

  m_PresentParameters = {};
  PositionWindow();
  LogD3D(m_pLog, kInitializationSource, __LINE__, kInfo,
         "- Initializing D3D9 Renderer Using Device No. %i - (%ix%i- FMT:%i; DEPTH:%i )\n",
         static_cast<int>(settings->dwAdapter), settings->wWidth, settings->wHeight,
         static_cast<int>(settings->BackBufferFormat), static_cast<int>(settings->DepthStencilFormat));
  FillPresentParameters(false);
  CreateDevice();
  LogD3D(m_pLog, kInitializationSource, __LINE__, kInfo, "  - D3D9 Device Successfully Created\n");
  TakeSwapChain();

  if (m_Banks.pTextures == nullptr) {
    m_pTextureBank.reset(
        NewOrFatal<CTextureBank>("Error While Initializing", "Can't Create TextureShader Interface", this, m_pLog));
    m_Banks.pTextures = m_pTextureBank.get();
  }
  if (m_Banks.pRenderTargets == nullptr) CreateRenderTargetBank(settings);

  SetUpFreshDevice(CDefaultStates::kDeviceCreation);

  if (m_pSelectedEnumeration->IsGeometryInstancingSupported() &&
      SUCCEEDED(GetDirect3D()->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_SURFACE,
                                                 CD3D9Enumeration::kInstancingFormat)))
    SetRenderState(D3DRS_POINTSIZE, CD3D9Enumeration::kInstancingFormat);
  if (!m_pSelectedEnumeration->IsStreamOffsetSupported()) {
    LogD3D(m_pLog, kInitializationSource, __LINE__, kError, "- Disabling ZeKorb Resource Management...\n");
    settings->dwIndexBufferResourceManagement = 0;
    settings->dwVertexBufferResourceManagement = 0;
  }

  CreateBanks(settings);
  if (m_pTextureBank && !m_pTextureBank->Initialize())
    FatalErrorWithTitle("Error While Initializing", "Can't Initialize TextureShader Interface");
  CreateSpritesAndEffects();
  return 1;
}

// The remaining banks in this order, each failure fatal ("Error While Initializing"): vertex
// declarations, index buffers (with the index-buffer resource management), vertex shaders,
// vertex buffers (with the vertex-buffer resource management), pixel shaders, materials, the
// texture bank's own initialisation, sprites, effect files.
void CD3D9Renderer::CreateBanks(DeviceSettings* settings) {
  const char title[] = "Error While Initializing";
  if (!m_Banks.pVertexDeclarations) {
    m_pOwnedDeclarations.reset(NewOrFatal<CVertexDeclarationBank>(
        title, "Can't Create VertexDeclarations Interface", this, m_pLog));
    m_Banks.pVertexDeclarations = m_pOwnedDeclarations.get();
  }
  if (!m_Banks.pIndexBuffers) {
    if (!m_pIndexBufferBank)
      m_pIndexBufferBank.reset(NewOrFatal<CIndexBufferBank>(
          title, "Can't Create IndexBuffer Interface", this, m_pLog,
          settings->dwIndexBufferResourceManagement));
    m_Banks.pIndexBuffers = m_pIndexBufferBank.get();
  }
  const char* shadersDirectory =
      m_pContext->pDescriptor ? m_pContext->pDescriptor->szShadersDirectory : nullptr;
  if (!m_Banks.pVertexShaders) {
    if (!m_pVertexShaderBank)
      m_pVertexShaderBank.reset(NewOrFatal<CVertexShaderBank>(
          title, "Can't Create VertexShader Interface", m_Banks.pVertexDeclarations, this, m_pLog,
          shadersDirectory));
    m_Banks.pVertexShaders = m_pVertexShaderBank.get();
  }
  if (!m_Banks.pVertexBuffers) {
    m_pOwnedVertexBuffers.reset(NewOrFatal<CVertexBufferBank>(
        title, "Can't Create VertexBuffer Interface", m_Banks.pVertexDeclarations, this, m_pLog,
        settings->dwVertexBufferResourceManagement));
    m_Banks.pVertexBuffers = m_pOwnedVertexBuffers.get();
  }
  if (!m_Banks.pPixelShaders) {
    if (!m_pPixelShaderBank)
      m_pPixelShaderBank.reset(NewOrFatal<CPixelShaderBank>(
          title, "Can't Create PixelShader Interface", this, m_pLog, shadersDirectory,
          m_pContext->pSettings));
    m_Banks.pPixelShaders = m_pPixelShaderBank.get();
  }
  if (!m_Banks.pMaterials) {
    m_pOwnedMaterials.reset(
        NewOrFatal<CMaterialBank>(title, "Can't Create Material Interface", this, m_pLog));
    m_Banks.pMaterials = m_pOwnedMaterials.get();
  }
}

// After the texture bank, whose textures wrap the plain targets, and before the first viewport.
void CD3D9Renderer::CreateRenderTargetBank(DeviceSettings* settings) {
  const char title[] = "D3D9 Renderer Error";
  const char text[] = "Can't Initialize Render Targets";
  auto* textures = dynamic_cast<CTextureBank*>(m_Banks.pTextures);
  if (textures == nullptr) FatalErrorWithTitle(title, text);
  const SurfaceDescriptorList* lists = settings->Descriptors;
  m_pOwnedRenderTargets.reset(NewOrFatal<CRenderTargetBank>(
      title, text, this, textures, m_pLog, lists[2], lists[0], lists[3], lists[1], lists[4], lists[5], lists[6]));
  m_Banks.pRenderTargets = m_pOwnedRenderTargets.get();
}

// Sprites and effects draw through the other banks, so they come last.
void CD3D9Renderer::CreateSpritesAndEffects() {
  const char title[] = "Error While Initializing";
  if (!m_Banks.pSprites) {
    m_pOwnedSprites.reset(NewOrFatal<CSpriteBank>(title, "Can't Create Sprite Interface", this, m_pLog,
                                                  m_Banks.pTextures, IndexBuffers()));
    m_Banks.pSprites = m_pOwnedSprites.get();
  }
  m_pEffectFiles.reset(NewOrFatal<CEffectFiles>(title, "Can't Create EffectFiles Interface", this, m_pLog));
}

// Users of the vertex-declaration bank go before it; the render targets before the textures
// that wrap them.
void CD3D9Renderer::FreeOwnedBanks() {
  m_pOwnedRenderTargets.reset();
  m_pEffectFiles.reset();
  m_pOwnedSprites.reset();
  m_pOwnedMaterials.reset();
  m_pOwnedVertexBuffers.reset();
  m_pOwnedDeclarations.reset();
}

UINT CD3D9Renderer::Reset() {
  if (!m_pDevice || !m_pSettings) return 0;
  if (m_pTextureBank) m_pTextureBank->OnDeviceLost();
  // The current material, declaration and shaders are forgotten here by their banks; the index,
  // vertex and render-target banks hold default-pool objects the device cannot keep.
  if (m_Banks.pMaterials) m_Banks.pMaterials->OnDeviceLost();
  if (m_Banks.pIndexBuffers) m_Banks.pIndexBuffers->OnDeviceLost();
  if (m_Banks.pVertexBuffers) m_Banks.pVertexBuffers->OnDeviceLost();
  if (m_Banks.pVertexShaders) m_Banks.pVertexShaders->ClearCurrentShader();
  if (m_Banks.pPixelShaders) m_Banks.pPixelShaders->ClearCurrentShader();
  if (m_Banks.pVertexDeclarations) m_Banks.pVertexDeclarations->OnDeviceLost();
  if (m_Banks.pRenderTargets) m_Banks.pRenderTargets->OnDeviceLost();
  TellDeviceLost();
  GiveBackBufferDCBack();

  if (m_pSwapChain) m_pSwapChain->Release();
  m_pSwapChain = nullptr;
  m_PresentParameters = {};
  PositionWindow();
  LogD3D(m_pLog, kInitializationSource, __LINE__, kInfo,
         "- Initializing D3D9 Renderer Using Device No. %i - (%ix%i- FMT:%i)\n",
         static_cast<int>(m_pSettings->dwAdapter), m_pSettings->wWidth, m_pSettings->wHeight,
         static_cast<int>(m_pSettings->BackBufferFormat));
  FillPresentParameters(true);
  const HRESULT result = m_pDevice->Reset(&m_PresentParameters);
  if (FAILED(result)) {
    LogD3D(m_pLog, kInitializationSource, __LINE__, kError, "ERROR! - Can't Reset Device: %s\n%s\n",
           D3DResultName(result), D3DResultDescription(result));
    LogPresentParameters();
    FatalErrorWithTitle("Critical Error", "Can't Reset Device");
  }
  LogD3D(m_pLog, kInitializationSource, __LINE__, kInfo, "  - D3D9 Device Successfully Reseted\n");
  TakeSwapChain();
  if (m_Banks.pRenderTargets) m_Banks.pRenderTargets->OnDeviceReset();
  if (m_pTextureBank) m_pTextureBank->OnDeviceReset();

  // The scissor rectangle is the one cached value a reset keeps.
  m_Cache.Clear();
  m_dwRenderingBegun = 0;
  m_dwPresentPending = 0;
  m_hPendingPresentWindow = nullptr;
  SetUpFreshDevice(CDefaultStates::kDeviceReset);

  if (m_Banks.pIndexBuffers) m_Banks.pIndexBuffers->OnDeviceReset();
  if (m_Banks.pVertexBuffers) m_Banks.pVertexBuffers->OnDeviceReset();
  TellDeviceReset();
  return 1;
}

UINT CD3D9Renderer::ReleaseDevice() {
  // The banks' objects belong to the device: they go first, in the reverse order of their
  // banks' creation, so that nothing the game still holds reaches a freed device.
  if (m_Banks.pRenderTargets) m_Banks.pRenderTargets->ReleaseDeviceObjects();
  if (m_pTextureBank) m_pTextureBank->ReleaseDeviceObjects();
  if (m_Banks.pPixelShaders) m_Banks.pPixelShaders->ReleaseDeviceObjects();
  if (m_Banks.pVertexBuffers) m_Banks.pVertexBuffers->ReleaseDeviceObjects();
  if (m_Banks.pVertexShaders) m_Banks.pVertexShaders->ReleaseDeviceObjects();
  if (m_Banks.pIndexBuffers) m_Banks.pIndexBuffers->ReleaseDeviceObjects();
  if (m_Banks.pVertexDeclarations) m_Banks.pVertexDeclarations->ReleaseDeviceObjects();
  m_Banks = Banks{};
  FreeOwnedBanks();
  GiveBackBufferDCBack();
  if (m_pSwapChain) m_pSwapChain->Release();
  m_pSwapChain = nullptr;
  if (m_pDevice) m_pDevice->Release();
  m_pDevice = nullptr;
  m_Cache.SetDevice(nullptr);
  m_Cache.Clear();
  m_dwRenderingBegun = 0;
  m_dwPresentPending = 0;
  m_hPendingPresentWindow = nullptr;
  m_pSelectedEnumeration = nullptr;
  m_pSettings = nullptr;
  m_Adapters.SetDeviceSettings(nullptr);
  m_Adapters.Release();
  return 0;
}

void CD3D9Renderer::PositionWindow() {
  if (m_pSettings->dwPositionWindow != 1) return;
  const HWND window = m_pSettings->hWnd;
  SetWindowPos(window, m_pSettings->dwWindowed ? HWND_NOTOPMOST : HWND_TOPMOST, 0, 0, m_pSettings->wWidth,
               m_pSettings->wHeight, SWP_SHOWWINDOW);
  ClipCursor(nullptr);
  RECT client = {};
  GetClientRect(window, &client);
  POINT topLeft = {client.left, client.top};
  POINT bottomRight = {client.right, client.bottom};
  ClientToScreen(window, &topLeft);
  ClientToScreen(window, &bottomRight);
  SetCursorPos(bottomRight.x, bottomRight.y);
  const RECT clip = {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
  ClipCursor(&clip);
}

void CD3D9Renderer::FillPresentParameters(bool reset) {
  D3DPRESENT_PARAMETERS& p = m_PresentParameters;
  p.BackBufferWidth = m_pSettings->wWidth;
  p.BackBufferHeight = m_pSettings->wHeight;
  p.BackBufferFormat = m_pSelectedEnumeration->GetBackBufferFormat();
  p.AutoDepthStencilFormat = m_pSelectedEnumeration->GetDepthStencilFormat();
  p.EnableAutoDepthStencil = TRUE;
  p.MultiSampleType = D3DMULTISAMPLE_NONE;
  p.Flags = 0;
  p.FullScreen_RefreshRateInHz = 0;
  p.hDeviceWindow = m_pSettings->hWnd;
  if (m_pSettings->dwWindowed) {
    p.Windowed = TRUE;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.BackBufferCount = 1;
    p.PresentationInterval = D3DPRESENT_INTERVAL_DEFAULT;
    if (!reset) LogD3D(m_pLog, kInitializationSource, __LINE__, kInfo, "  - Windowed\n");
    return;
  }
  p.Windowed = FALSE;
  const bool immediate = m_pSelectedEnumeration->CanPresentImmediately() != 0;
  if (reset) {
    // A reset keeps no vertical-sync choice: immediate presents when the card offers them.
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.PresentationInterval = immediate ? D3DPRESENT_INTERVAL_IMMEDIATE : D3DPRESENT_INTERVAL_DEFAULT;
    p.BackBufferCount = immediate ? 1 : 2;
    return;
  }
  p.SwapEffect = D3DSWAPEFFECT_FLIP;
  LogD3D(m_pLog, kInitializationSource, __LINE__, kInfo, "  - Full-Screen\n");
  if (m_pSettings->dwVSync) {
    p.PresentationInterval = D3DPRESENT_INTERVAL_ONE;
    p.BackBufferCount = 2;
    LogD3D(m_pLog, kInitializationSource, __LINE__, kInfo, "  - Synchronize With VSYNC\n");
  } else if (immediate) {
    p.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    p.BackBufferCount = 1;
    LogD3D(m_pLog, kInitializationSource, __LINE__, kInfo, "  - Not Synchronizing With VSYNC\n");
  } else {
    p.PresentationInterval = D3DPRESENT_INTERVAL_DEFAULT;
    p.BackBufferCount = 2;
    LogD3D(m_pLog, kInitializationSource, __LINE__, kInfo, "  - Synchronizing With VSYNC Driver Dependant\n");
  }
}

void CD3D9Renderer::LogPresentParameters() {
  const D3DPRESENT_PARAMETERS& p = m_PresentParameters;
  auto line = [this](const char* format, long long value) {
    LogD3D(m_pLog, kInitializationSource, __LINE__, kError, format, static_cast<int>(value));
  };
  LogD3D(m_pLog, kInitializationSource, __LINE__, kError, "Present Parameters Look Like:\n");
  line("AutoDepthStencilFormat %i:\n", p.AutoDepthStencilFormat);
  line("BackBufferCount: %i\n", p.BackBufferCount);
  line("BackBufferFormat: %i\n", p.BackBufferFormat);
  line("BackBufferHeight: %i\n", p.BackBufferHeight);
  line("BackBufferWidth: %i\n", p.BackBufferWidth);
  line("EnableAutoDepthStencil: %i\n", p.EnableAutoDepthStencil);
  line("Flags: %i\n", p.Flags);
  line("FullScreen_PresentationInterval: %i\n", p.PresentationInterval);
  line("FullScreen_RefreshRateInHz: %i\n", p.FullScreen_RefreshRateInHz);
  // A window handle is as wide as a pointer; the line shows its value cut to the width of %i.
  line("hDeviceWindow: %i\n", static_cast<long long>(reinterpret_cast<uintptr_t>(p.hDeviceWindow)));
  line("MultiSampleType: %i\n", p.MultiSampleType);
  line("SwapEffect: %i\n", p.SwapEffect);
  line("Windowed: %i\n", p.Windowed);
}

IDirect3DDevice9* CD3D9Renderer::TryCreateDevice(UINT adapter, D3DDEVTYPE type, DWORD behavior) {
  IDirect3DDevice9* device = nullptr;
  const HRESULT result =
      GetDirect3D()->CreateDevice(adapter, type, m_pSettings->hWnd, behavior, &m_PresentParameters, &device);
  if (FAILED(result)) {
    LogD3D(m_pLog, kInitializationSource, __LINE__, kError, "ERROR! - Can't Create Device: %s\n%s\n",
           D3DResultName(result), D3DResultDescription(result));
    return nullptr;
  }
  return device;
}

void CD3D9Renderer::CreateDevice() {
  if (!GetDirect3D()) FatalErrorWithTitle("Error When Initializing D3D", "Can't Find Direct3D");
  const UINT adapter = m_pSettings->dwAdapter;
  CD3D9Enumeration* hud = m_Adapters.GetAdapterEnumeration(1);
  const bool hardwareVertexProcessing = m_pSelectedEnumeration->IsHardwareVertexProcessing() != 0;
  IDirect3DDevice9* device = nullptr;
  if (hud && hud->IsPerformanceHUD()) {
    LogD3D(m_pLog, kInitializationSource, __LINE__, kInfo, "  - Using NVPerfHUD Device\n");
    device = TryCreateDevice(1, D3DDEVTYPE_REF, D3DCREATE_SOFTWARE_VERTEXPROCESSING);
  } else if (m_pSelectedEnumeration->UsesReferenceRasterizer()) {
    LogD3D(m_pLog, kInitializationSource, __LINE__, kInfo, "  - Using Reference Rasterizer\n");
    device = TryCreateDevice(adapter, D3DDEVTYPE_REF, D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE);
  } else {
    DWORD behavior = 0;
    if (m_pSettings->dwMultithreaded) {
      behavior |= D3DCREATE_MULTITHREADED;
      LogD3D(m_pLog, kInitializationSource, __LINE__, kInfo, "  - Using Multithreaded Device\n");
    }
    if (hardwareVertexProcessing) {
      behavior |= D3DCREATE_HARDWARE_VERTEXPROCESSING;
      LogD3D(m_pLog, kInitializationSource, __LINE__, kInfo, "  - Using TnL In Hardware\n");
      if (m_pSelectedEnumeration->IsPureDevice()) {
        behavior |= D3DCREATE_PUREDEVICE;
        LogD3D(m_pLog, kInitializationSource, __LINE__, kInfo, "  - Using Pure Device\n");
      }
    } else {
      behavior |= D3DCREATE_SOFTWARE_VERTEXPROCESSING;
      LogD3D(m_pLog, kInitializationSource, __LINE__, kInfo, "  - Using TnL In Software\n");
    }
    device = TryCreateDevice(adapter, D3DDEVTYPE_HAL, behavior);
  }
  if (!device) {
    ShowMessageBox("Small problem",
                   "There Was A Problem While Creating D3D Device\nHowever I'll Try To Create It Again\n"
                   "Please Send ZeKorbDebug.txt To %s",
                   kSupportContact);
    LogPresentParameters();
    device = TryCreateDevice(adapter, D3DDEVTYPE_HAL,
                             hardwareVertexProcessing ? D3DCREATE_HARDWARE_VERTEXPROCESSING
                                                      : D3DCREATE_SOFTWARE_VERTEXPROCESSING);
    LogD3D(m_pLog, kInitializationSource, __LINE__, kInfo,
           hardwareVertexProcessing ? "  - Using TnL In Hardware\n" : "  - Using TnL In Software\n");
    if (!device)
      FatalErrorWithTitle("Big Problem", "Still I Can't Create D3D Device, I think I'm gonna give it up");
  }
  m_pDevice = device;
  m_Cache.SetDevice(device);
}

void CD3D9Renderer::TakeSwapChain() {
  const HRESULT chain = m_pDevice->GetSwapChain(0, &m_pSwapChain);
  if (FAILED(chain))
    FatalErrorWithTitle("Error When Initializing D3D", "Can't Get Default Swap Chain\n%s - %s\n",
                        D3DResultName(chain), D3DResultDescription(chain));
}

void CD3D9Renderer::SetUpFreshDevice(CDefaultStates::Occasion occasion) {
  m_Viewport = {0, 0, m_pSettings->wWidth, m_pSettings->wHeight, 0.0f, 1.0f};
  if (FAILED(m_pDevice->SetViewport(&m_Viewport))) FatalErrorWithTitle("D3D9 Renderer Error", "Can't Set Viewport");
  LogD3D(m_pLog, kInitializationSource, __LINE__, kInfo, "  - Viewport Successfully Set\n");
  if (occasion == CDefaultStates::kDeviceCreation) m_ScissorRect = {0, 0, m_pSettings->wWidth, m_pSettings->wHeight};

  CDefaultStates::Apply(*this, occasion);
  m_Viewport = {0, 0, m_pSettings->wWidth, m_pSettings->wHeight, 0.0f, 1.0f};
  if (FAILED(SetViewport())) FatalErrorWithTitle("Error While Initializing D3D9", "Can't Set Viewport");
  const char* scheme = CRenderingSchemes::SchemeName(m_pSelectedEnumeration->GetSelectedScheme());
  LogD3D(m_pLog, kInitializationSource, __LINE__, kInfo, "  - Using %s Rendering Scheme\n",
         scheme ? scheme : "GeForce2");
}

// The rendering profile of a preset's library and the GUI renderer keep device objects of their
// own.
void CD3D9Renderer::TellDeviceLost() {
  if (CRenderingProfileInterface* profile = m_pContext->pRenderingProfile) profile->OnDeviceLost();
  if (m_pGuiHook) m_pGuiHook->OnDeviceLost();
}

void CD3D9Renderer::TellDeviceReset() {
  if (CRenderingProfileInterface* profile = m_pContext->pRenderingProfile) profile->OnDeviceReset();
  if (m_pGuiHook) m_pGuiHook->OnDeviceReset();
}

CD3D9Enumeration* CD3D9Renderer::GetEnumeration() {
  return m_pSelectedEnumeration ? m_pSelectedEnumeration : m_Adapters.GetAdapterEnumeration(0);
}

// ---------------------------------------------------------------------------------------------
// The frame

HRESULT CD3D9Renderer::Clear(UINT flags, UINT colour) {
  if (!m_pDevice) return D3DERR_INVALIDCALL;
  if (!(flags & ZK_CLEAR_NO_FRAME_LIMIT)) m_pContext->LimitFrameRate();
  ClearBuffers(flags, colour);
  return D3D_OK;
}

HRESULT CD3D9Renderer::ClearBuffers(UINT flags, UINT colour) {
  if (!m_pDevice) return D3DERR_INVALIDCALL;
  if (m_dwPresentPending) {
    m_dwPresentPending = 0;
    CEngineSampleScope sample(SAMPLE_FLIP2);
    HandlePresentResult(m_pDevice->Present(nullptr, nullptr, m_hPendingPresentWindow, nullptr),
                        m_hPendingPresentWindow);
  }
  CSceneInterface* scene = m_pContext->pActiveScene;
  if (scene == nullptr)
    colour = 0;
  else if (colour == 0)
    colour = scene->GetBackgroundColor();
  if (FAILED(m_pDevice->Clear(0, nullptr, flags & kClearFlagMask, colour, 1.0f, 128)))
    LogD3D(m_pLog, kRendererSource, __LINE__, kError, "ERROR!: CLEAR\n");
  return D3D_OK;
}

HRESULT CD3D9Renderer::BeginRendering() {
  if (!m_pDevice) return D3DERR_INVALIDCALL;
  const DWORD frame = ++m_pContext->dwFrameNumber;
  VertexBuffers()->SetFrameNumber(frame);
  IndexBuffers()->NewFrame(frame);
  if (m_dwRenderingBegun) {
    LogD3D(m_pLog, kRendererSource, __LINE__, kError, "ERROR!!!: Calling BeginRendering Without EndRendering Before\n");
    return D3DERR_INVALIDCALL;
  }
  if (m_Banks.pRenderTargets) {
    IDirect3DSurface9* backBuffer = nullptr;
    const HRESULT result = m_pSwapChain->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer);
    if (FAILED(result))
      LogD3D(m_pLog, kRendererSource, __LINE__, kError, "WARNING!!! - Can't Get Render Target\n%s - %s\n",
             D3DResultName(result), D3DResultDescription(result));
    else
      m_Banks.pRenderTargets->SetBackBufferSurface(backBuffer);
  }
  m_dwRenderingBegun = 1;
  const HRESULT result = m_pDevice->BeginScene();
  if (FAILED(result))
    LogD3D(m_pLog, kRendererSource, __LINE__, kError, "ERROR!: BEGINSCENE: %s - %s\n", D3DResultName(result),
           D3DResultDescription(result));
  return D3D_OK;
}

HRESULT CD3D9Renderer::EndRendering() {
  if (!m_pDevice) return D3DERR_INVALIDCALL;
  GiveBackBufferDCBack();
  if (!m_dwRenderingBegun) {
    LogD3D(m_pLog, kRendererSource, __LINE__, kError, "ERROR!!!: Calling EndRendering Without BeginRendering\n");
    return D3D_OK;
  }
  m_dwRenderingBegun = 0;
  const HRESULT result = m_pDevice->EndScene();
  if (FAILED(result))
    LogD3D(m_pLog, kRendererSource, __LINE__, kError, "ERROR!: ENDSCENE: %s - %s\n", D3DResultName(result),
           D3DResultDescription(result));
  return result;
}

HRESULT CD3D9Renderer::Flip(HWND window, UINT show) {
  if (!m_pDevice) return D3DERR_INVALIDCALL;
  GetRenderTargetStorageInterface()->ReleaseLockedRenderTargets();
  if (CProfilerSample* frame = m_pContext->pSamples[SAMPLE_BEGIN_END]) {
    frame->End();
    frame->Update();
    if (m_pContext->pProfiler) m_pContext->pProfiler->EndFrame();
    frame->Begin();
  }
  m_pContext->ShowFPS(show);
  CEngineSampleScope sample(SAMPLE_FLIP1);
  HandlePresentResult(m_pSwapChain->Present(nullptr, nullptr, window, nullptr, D3DPRESENT_DONOTWAIT), window);
  return D3D_OK;
}

void CD3D9Renderer::HandlePresentResult(HRESULT result, HWND window) {
  // A present that would have waited is repeated, waiting, at the next clear.
  m_dwPresentPending = result == D3DERR_WASSTILLDRAWING;
  m_hPendingPresentWindow = m_dwPresentPending ? window : nullptr;
  if (result == D3DERR_DEVICELOST)
    RecoverLostDevice();
  else if (FAILED(result) && !m_dwPresentPending)
    LogD3D(m_pLog, kRendererSource, __LINE__, kError, "ERROR!: PRESENT ( %s )\n", D3DResultName(result));
}

void CD3D9Renderer::RecoverLostDevice() {
  // While the device stays lost the frames go on and their device calls fail quietly; it is
  // reset once it answers that it can be.
  if (m_pDevice->TestCooperativeLevel() == D3DERR_DEVICENOTRESET) Reset();
}

HDC CD3D9Renderer::GetBackBufferDC() {
  if (!m_pDevice) return nullptr;
  if (m_hBackBufferDC) return m_hBackBufferDC;
  IDirect3DSurface9* surface = nullptr;
  HRESULT result = m_pDevice->GetRenderTarget(0, &surface);
  if (FAILED(result)) {
    LogD3D(m_pLog, kRendererSource, __LINE__, kError, "ERROR!!! - Can't Get Back Buffer Surface\n%s - %s",
           D3DResultDescription(result), D3DResultName(result));
    return nullptr;
  }
  HDC dc = nullptr;
  result = surface->GetDC(&dc);
  if (FAILED(result)) {
    surface->Release();
    LogD3D(m_pLog, kRendererSource, __LINE__, kError, "ERROR!!! - Can't Get Back Buffer Surface's HDC\n%s - %s",
           D3DResultDescription(result), D3DResultName(result));
    return nullptr;
  }
  // Kept until EndRendering gives the context back: a surface with its context out cannot be
  // drawn to or presented.
  m_pDCSurface = surface;
  m_hBackBufferDC = dc;
  return dc;
}

void CD3D9Renderer::GiveBackBufferDCBack() {
  if (!m_pDCSurface) return;
  m_pDCSurface->ReleaseDC(m_hBackBufferDC);
  m_pDCSurface->Release();
  m_pDCSurface = nullptr;
  m_hBackBufferDC = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Viewport, scissor, transforms, lights

HRESULT CD3D9Renderer::SetViewport() {
  if (!m_pDevice) return D3DERR_INVALIDCALL;
  const HRESULT result = m_pDevice->SetViewport(&m_Viewport);
  if (FAILED(result))
    LogD3D(m_pLog, kRendererSource, __LINE__, kError, "ERROR! - Can't Set Viewport - %s - %s\n",
           D3DResultName(result), D3DResultDescription(result));
  return result;
}

HRESULT CD3D9Renderer::SetScissorTest(const RECT* rect) {
  if (rect == nullptr || !m_pDevice) return D3DERR_INVALIDCALL;
  const LONG left = static_cast<LONG>(m_Viewport.X);
  const LONG top = static_cast<LONG>(m_Viewport.Y);
  const RECT clamped = {std::max(rect->left, left), std::max(rect->top, top),
                        std::min(rect->right, static_cast<LONG>(m_Viewport.X + m_Viewport.Width)),
                        std::min(rect->bottom, static_cast<LONG>(m_Viewport.Y + m_Viewport.Height))};
  if (memcmp(&clamped, &m_ScissorRect, sizeof clamped) == 0) return D3D_OK;
  m_ScissorRect = clamped;
  if (!GetEnumeration() || !GetEnumeration()->IsScissorTestSupported()) return D3D_OK;
  const HRESULT result = m_pDevice->SetScissorRect(&m_ScissorRect);
  if (FAILED(result))
    LogD3D(m_pLog, kRendererSource, __LINE__, kError, "ERROR!!! - Can't Set Scissor Rectangle: %s - %s\n",
           D3DResultName(result), D3DResultDescription(result));
  return result;
}

HRESULT CD3D9Renderer::GetScissorTest(RECT* out) {
  if (out) *out = m_ScissorRect;
  return D3D_OK;
}

void CD3D9Renderer::ResetScissorRect(UINT right, UINT bottom) {
  m_ScissorRect = {0, 0, static_cast<LONG>(right ? right : m_Viewport.X + m_Viewport.Width),
                   static_cast<LONG>(bottom ? bottom : m_Viewport.Y + m_Viewport.Height)};
}

HRESULT CD3D9Renderer::SetTransform(UINT state, const CMatrix* matrix) {
  static_assert(sizeof(CMatrix) == sizeof(D3DMATRIX));
  if (!m_pDevice) return D3DERR_INVALIDCALL;
  const HRESULT result =
      m_pDevice->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(state), reinterpret_cast<const D3DMATRIX*>(matrix));
  if (FAILED(result))
    LogD3D(m_pLog, kRendererSource, __LINE__, kError, "ERROR!!! - SetTransform Error: %s - %s\n",
           D3DResultName(result), D3DResultDescription(result));
  return result;
}

HRESULT CD3D9Renderer::SetLight(UINT index, const D3DLIGHT9* light) {
  if (!m_pDevice) return D3DERR_INVALIDCALL;
  const HRESULT result = m_pDevice->SetLight(index, light);
  if (FAILED(result))
    LogD3D(m_pLog, kRendererSource, __LINE__, kError, "ERROR!!! - SetLight Error: %s - %s\n", D3DResultName(result),
           D3DResultDescription(result));
  return result;
}

HRESULT CD3D9Renderer::GetLightEnableStates(UINT* out) {
  m_Cache.GetLightEnableStates(out);
  return D3D_OK;
}

HRESULT CD3D9Renderer::SetSoftwareVertexProcessing(UINT enable) {
  if (!m_dwVertexProcessingSwitchable || enable == m_dwSoftwareVertexProcessing) return D3D_OK;
  m_dwSoftwareVertexProcessing = enable;
  const HRESULT result = m_pDevice->SetSoftwareVertexProcessing(enable);
  if (FAILED(result))
    LogD3D(m_pLog, kRendererSource, __LINE__, kError, "ERROR! - Can't Switch Device To Software VP - %s - %s\n",
           D3DResultName(result), D3DResultDescription(result));
  return result;
}

// ---------------------------------------------------------------------------------------------
// Cached states and constants

HRESULT CD3D9Renderer::SetTextureStageState(UINT stage, UINT type, UINT value) {
  CEngineSampleScope sample(SAMPLE_DIRECT3D_CALLS);
  return m_Cache.SetTextureStageState(stage, type, value, false);
}

HRESULT CD3D9Renderer::SetSamplerState(UINT sampler, UINT type, UINT value) {
  CEngineSampleScope sample(SAMPLE_DIRECT3D_CALLS);
  return m_Cache.SetSamplerState(sampler, type, value);
}

HRESULT CD3D9Renderer::SetVertexShaderConstantF(UINT start, const float* data, UINT count) {
  CEngineSampleScope sample(SAMPLE_DIRECT3D_CALLS);
  return m_Cache.SetVertexShaderConstantF(start, data, count);
}

HRESULT CD3D9Renderer::SetPixelShaderConstantF(UINT start, const float* data, UINT count) {
  CEngineSampleScope sample(SAMPLE_DIRECT3D_CALLS);
  return m_Cache.SetPixelShaderConstantF(start, data, count);
}

HRESULT CD3D9Renderer::SetVertexShaderConstantI(UINT start, const int* data, UINT count) {
  if (!m_pDevice) return D3DERR_INVALIDCALL;
  return m_pDevice->SetVertexShaderConstantI(start, data, count);
}

HRESULT CD3D9Renderer::SetPixelShaderConstantI(UINT start, const int* data, UINT count) {
  if (!m_pDevice) return D3DERR_INVALIDCALL;
  return m_pDevice->SetPixelShaderConstantI(start, data, count);
}

// The overloads on unsigned words set the boolean registers.
HRESULT CD3D9Renderer::SetVertexShaderConstantF(UINT start, const UINT* data, UINT count) {
  static_assert(sizeof(BOOL) == sizeof(UINT));
  if (!m_pDevice) return D3DERR_INVALIDCALL;
  return m_pDevice->SetVertexShaderConstantB(start, reinterpret_cast<const BOOL*>(data), count);
}

HRESULT CD3D9Renderer::SetPixelShaderConstantF(UINT start, const UINT* data, UINT count) {
  if (!m_pDevice) return D3DERR_INVALIDCALL;
  return m_pDevice->SetPixelShaderConstantB(start, reinterpret_cast<const BOOL*>(data), count);
}

void CD3D9Renderer::SetDefaultStates() {
  if (m_pDevice) CDefaultStates::Apply(*this, CDefaultStates::kOnRequest);
}

HRESULT CD3D9Renderer::EvictManagedResources() {
  return m_pDevice ? m_pDevice->EvictManagedResources() : D3DERR_INVALIDCALL;
}

// ---------------------------------------------------------------------------------------------
// State stacks

CD3D9Renderer::StateBlock CD3D9Renderer::GetStateBlock(StackedState state) const {
  constexpr UINT kConstantBytes = CD3D9StateCache::kConstantRegisters * 4 * sizeof(float);
  constexpr UINT kStageBytes = CD3D9StateCache::kStageEntries * sizeof(DWORD);
  switch (state) {
    case kScissorState: return {&m_ScissorRect, sizeof m_ScissorRect};
    case kRenderStates: return {m_Cache.GetRenderStates(), CD3D9StateCache::kRenderStates * sizeof(DWORD)};
    case kViewportState: return {&m_Viewport, sizeof m_Viewport};
    case kVertexConstants: return {m_Cache.GetVertexShaderConstants(), kConstantBytes};
    case kPixelConstants: return {m_Cache.GetPixelShaderConstants(), kConstantBytes};
    case kTextureStageStates: return {m_Cache.GetTextureStageStates(), kStageBytes};
    case kSamplerStates: return {m_Cache.GetSamplerStates(), kStageBytes};
    case kStackedStateCount: break;
  }
  return {nullptr, 0};
}

UINT CD3D9Renderer::SaveStates() {
  bool saved = true;
  for (int state = 0; state < kStackedStateCount; ++state) {
    const StateBlock block = GetStateBlock(static_cast<StackedState>(state));
    switch (m_Stacks[state].Push(m_pAllocator, block.data, block.size)) {
      case CStateStack::kPushed: break;
      case CStateStack::kFull:
        LogD3D(m_pLog, kInitializationSource, __LINE__, kError, "ERROR!!! - Not Enough Entries To Save %s State\n",
               kStackNames[state].save);
        saved = false;
        break;
      case CStateStack::kNoMemory:
        LogD3D(m_pLog, kInitializationSource, __LINE__, kError,
               "ERROR!!! - Can't Allocate Memory For Saving %s State\n", kStackNames[state].save);
        saved = false;
        break;
    }
    // The wide-screen factor is stacked second, as a value of its own.
    if (state == kScissorState) {
      if (m_dwWideScreenDepth < CStateStack::kDepth) {
        m_WideScreenStack[m_dwWideScreenDepth++] = m_fWideScreenFactor;
      } else {
        LogD3D(m_pLog, kInitializationSource, __LINE__, kError,
               "ERROR!!! - Not Enough Entries To Save WideScreenFactor State\n");
        saved = false;
      }
    }
  }
  return saved ? 1 : 0;
}

UINT CD3D9Renderer::LoadStates() {
  // Room for the largest block, the 256 registers of a constant cache.
  alignas(16) unsigned char saved[CD3D9StateCache::kConstantRegisters * 4 * sizeof(float)];
  bool loaded = true;
  for (int state = 0; state < kStackedStateCount; ++state) {
    if (m_Stacks[state].Pop(m_pAllocator, saved, GetStateBlock(static_cast<StackedState>(state)).size)) {
      RestoreStates(static_cast<StackedState>(state), saved);
    } else {
      LogD3D(m_pLog, kInitializationSource, __LINE__, kError, "ERROR!!! - Can't Load %s State\n",
             kStackNames[state].load);
      loaded = false;
    }
    if (state == kScissorState) {
      if (m_dwWideScreenDepth > 0)
        m_fWideScreenFactor = m_WideScreenStack[--m_dwWideScreenDepth];
      else
        loaded = false;
    }
  }
  return loaded ? 1 : 0;
}

// Gives saved states back through the cached setters, so that only what changed since reaches
// the device. Entries that held no value when they were saved are left as they are now.
void CD3D9Renderer::RestoreStates(StackedState state, const void* saved) {
  const DWORD* words = static_cast<const DWORD*>(saved);
  const float* registers = static_cast<const float*>(saved);
  switch (state) {
    case kScissorState: SetScissorTest(static_cast<const RECT*>(saved)); break;
    case kRenderStates:
      for (UINT i = 0; i < CD3D9StateCache::kRenderStates; ++i)
        if (words[i] != CD3D9StateCache::kNoValue) SetRenderState(i, words[i]);
      break;
    case kViewportState:
      memcpy(&m_Viewport, saved, sizeof m_Viewport);
      SetViewport();
      break;
    case kVertexConstants:
    case kPixelConstants:
      for (UINT r = 0; r < CD3D9StateCache::kConstantRegisters; ++r) {
        if (CD3D9StateCache::IsNoConstant(registers + r * 4)) continue;
        if (state == kVertexConstants)
          SetVertexShaderConstantF(r, registers + r * 4, 1);
        else
          SetPixelShaderConstantF(r, registers + r * 4, 1);
      }
      break;
    case kTextureStageStates:
    case kSamplerStates:
      for (UINT stage = 0; stage < CD3D9StateCache::kStages; ++stage)
        for (UINT type = kFirstRestoredType; type <= kLastRestoredType; ++type) {
          const DWORD value = words[stage * CD3D9StateCache::kStageTypes + type];
          if (value == CD3D9StateCache::kNoValue) continue;
          if (state == kTextureStageStates)
            SetTextureStageState(stage, type, value);
          else
            SetSamplerState(stage, type, value);
        }
      break;
    case kStackedStateCount: break;
  }
}

// ---------------------------------------------------------------------------------------------
// Draws

HRESULT CD3D9Renderer::DrawIndexedPrimitive(UINT primitiveCount) {
  if (!m_pDevice) return D3DERR_INVALIDCALL;
  DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, VertexBuffers()->GetCurrentNumberOfVertices(), 0, primitiveCount);
  return D3D_OK;
}

HRESULT CD3D9Renderer::DrawIndexedPrimitive(UINT baseVertex, UINT minIndex, UINT vertexCount, UINT startIndex,
                                            UINT primitiveCount) {
  if (!m_pDevice) return D3DERR_INVALIDCALL;
  DrawIndexedPrimitive(D3DPT_TRIANGLELIST, baseVertex, minIndex, vertexCount, startIndex, primitiveCount);
  return D3D_OK;
}

void CD3D9Renderer::DrawIndexedPrimitive(UINT type, UINT baseVertex, UINT minIndex, UINT vertexCount,
                                         UINT startIndex, UINT primitiveCount) {
  if (!m_pDevice) return;
  CEngineSampleScope sample(SAMPLE_DIRECT3D_CALLS);
  startIndex += IndexBuffers()->GetCurrentStartIndex();
  const HRESULT result = m_pDevice->DrawIndexedPrimitive(static_cast<D3DPRIMITIVETYPE>(type),
                                                         static_cast<INT>(baseVertex), minIndex, vertexCount,
                                                         startIndex, primitiveCount);
  if (FAILED(result))
    LogD3D(m_pLog, kRendererSource, __LINE__, kError, "ERROR! - DrawIndexedPrimitive - %s\n%s\n",
           D3DResultName(result), D3DResultDescription(result));
  if (CProfiler* profiler = m_pContext->pProfiler) {
    profiler->AddToCounter(CProfiler::kDIPs, 1);
    profiler->AddToCounter(CProfiler::kTriangles, primitiveCount);
    profiler->AddToCounter(CProfiler::kVertices, vertexCount);
  }
}

HRESULT CD3D9Renderer::DrawStreamPrimitive(UINT type, UINT startVertex, UINT primitiveCount) {
  if (!m_pDevice) return D3DERR_INVALIDCALL;
  const HRESULT result = m_pDevice->DrawPrimitive(static_cast<D3DPRIMITIVETYPE>(type), startVertex, primitiveCount);
  if (FAILED(result))
    LogD3D(m_pLog, kRendererSource, __LINE__, kError, "ERROR!!! - Error When Calling DrawPrimitive: %s - %s\n",
           D3DResultName(result), D3DResultDescription(result));
  return result;
}

IDirect3DVertexBuffer9* CD3D9Renderer::CopyToDynamicVertices(const void* vertices, uint64_t bytes) {
  IDirect3DVertexBuffer9* buffer = VertexBuffers()->GetDynamicVertexBuffer();
  if (!buffer || !FillDynamicBuffer(buffer, vertices, bytes)) {
    LogD3D(m_pLog, kRendererSource, __LINE__, kError,
           "ERROR!!! - Can't Lock Dynamic Vertex Buffer (CD3D9Renderer::DrawIndexedPrimitiveUP)\n");
    return nullptr;
  }
  return buffer;
}

void CD3D9Renderer::DrawPrimitive(UINT type, UINT primitiveCount, UINT vertexCount, const void* vertices,
                                  UINT stride) {
  if (!m_pDevice) return;
  const uint64_t vertexBytes = uint64_t{vertexCount} * stride;
  if ((vertexBytes && !vertices) || vertexBytes > BufferSize(VertexBuffers()->GetDynamicVertexBuffer())) {
    LogD3D(m_pLog, kRendererSource, __LINE__, kError,
           "ERROR!!! - Vertices Don't Fit The Dynamic Vertex Buffer (CD3D9Renderer::DrawPrimitive): %u x %u\n",
           vertexCount, stride);
    return;
  }
  IDirect3DVertexBuffer9* buffer = CopyToDynamicVertices(vertices, vertexBytes);
  if (!buffer) return;
  VertexBuffers()->SetStreamSource(buffer, stride, vertexCount);
  const HRESULT result = m_pDevice->DrawPrimitive(static_cast<D3DPRIMITIVETYPE>(type), 0, primitiveCount);
  if (FAILED(result))
    LogD3D(m_pLog, kRendererSource, __LINE__, kError, "ERROR!!! - Error When Calling DrawPrimitiveUP: %s - %s\n",
           D3DResultName(result), D3DResultDescription(result));
}

void CD3D9Renderer::DrawIndexedPrimitiveUP(UINT type, UINT minIndex, UINT vertexCount, UINT primitiveCount,
                                           const void* indices, UINT indexFormat, const void* vertices,
                                           UINT stride) {
  if (!m_pDevice) return;
  if (!IsPrimitiveType(type)) {
    LogD3D(m_pLog, kRendererSource, __LINE__, kError, "WARNING!!! - Unknown Primitive Type ::DrawIndexPrimitiveUP\n");
    return;
  }
  // The dynamic index buffer holds 16-bit indices only.
  if (indexFormat != D3DFMT_INDEX16) {
    LogD3D(m_pLog, kRendererSource, __LINE__, kError,
           "ERROR!!! - Only 16-bit Indices Can Be Drawn From Memory ::DrawIndexPrimitiveUP (%u)\n", indexFormat);
    return;
  }
  CIndexBufferBankInterface* indexBank = IndexBuffers();
  IDirect3DIndexBuffer9* indexBuffer = indexBank->GetDynamicIndexBuffer();
  // Only the indices the primitives read are copied, so a strip's caller array may be short.
  const uint64_t indexBytes = IndicesOfPrimitives(type, primitiveCount) * sizeof(WORD);
  const uint64_t vertexBytes = uint64_t{vertexCount} * stride;
  if ((indexBytes && !indices) || (vertexBytes && !vertices) || indexBytes > BufferSize(indexBuffer) ||
      vertexBytes > BufferSize(VertexBuffers()->GetDynamicVertexBuffer())) {
    LogD3D(m_pLog, kRendererSource, __LINE__, kError,
           "ERROR!!! - Geometry Doesn't Fit The Dynamic Buffers ::DrawIndexPrimitiveUP (%u x %u, %u Primitives)\n",
           vertexCount, stride, primitiveCount);
    return;
  }
  IDirect3DVertexBuffer9* vertexBuffer = CopyToDynamicVertices(vertices, vertexBytes);
  if (!vertexBuffer) return;
  // The streams change only once both copies are made: a draw given up leaves them as they were.
  if (!FillDynamicBuffer(indexBuffer, indices, indexBytes)) {
    LogD3D(m_pLog, kRendererSource, __LINE__, kError,
           "ERROR!!! - Can't Lock Dynamic Index Buffer (CD3D9Renderer::DrawIndexedPrimitiveUP)\n");
    return;
  }
  indexBank->SetIndices(indexBuffer);
  VertexBuffers()->SetStreamSource(vertexBuffer, stride, vertexCount);
  DrawIndexedPrimitive(type, 0, minIndex, vertexCount, 0, primitiveCount);
}

// ---------------------------------------------------------------------------------------------
// Banks and render-target descriptions

CIndexBufferBankInterface* CD3D9Renderer::IndexBuffers() { return Required(m_Banks.pIndexBuffers, "IndexBuffer"); }

CVertexBufferBankInterface* CD3D9Renderer::VertexBuffers() {
  return Required(m_Banks.pVertexBuffers, "VertexBuffer");
}

CVertexDeclarationStorageInterface* CD3D9Renderer::GetVertexDeclarationStorageInterface() {
  return Required(m_Banks.pVertexDeclarations, "VertexDeclaration");
}
CIndexBufferStorageInterface* CD3D9Renderer::GetIndexBufferStorageInterface() { return IndexBuffers(); }
CVertexShaderStorageInterface* CD3D9Renderer::GetVertexShaderStorageInterface() {
  return Required(m_Banks.pVertexShaders, "VertexShader");
}
CPixelShaderStorageInterface* CD3D9Renderer::GetPixelShaderStorageInterface() {
  return Required(m_Banks.pPixelShaders, "PixelShader");
}
CVertexBufferStorageInterface* CD3D9Renderer::GetVertexBufferStorageInterface() { return VertexBuffers(); }
CMaterialStorageInterface* CD3D9Renderer::GetMaterialStorageInterface() {
  return Required(m_Banks.pMaterials, "Material");
}
CTextureStorageInterface* CD3D9Renderer::GetTextureStorageInterface() {
  return Required(m_Banks.pTextures, "Texture");
}
CSpriteStorageInterface* CD3D9Renderer::GetSpriteStorageInterface() { return Required(m_Banks.pSprites, "Sprite"); }
CRenderTargetStorageInterface* CD3D9Renderer::GetRenderTargetStorageInterface() {
  return Required(m_Banks.pRenderTargets, "RenderTargets");
}

HRESULT CD3D9Renderer::GetRenderTargetDescription(UINT kind, UINT* width, UINT* height, UINT* edge, UINT* format) {
  const DWORD* kinds = DeviceSettings::kDescriptorKinds;
  const DWORD* listKind = std::find(kinds, kinds + DeviceSettings::kDescriptorListCount, kind);
  if (listKind == kinds + DeviceSettings::kDescriptorListCount || m_pSettings == nullptr) return 0;
  const SurfaceDescriptorList& list = m_pSettings->Descriptors[listKind - kinds];
  const DWORD slots = std::min(list.dwCount, SurfaceDescriptorList::kCapacity);
  const bool cube = kind == SURFACE_KIND_FLOAT_CUBE || kind == SURFACE_KIND_CUBE;
  for (DWORD slot = 0; slot < slots; ++slot) {
    const ConfigureGFXSurface* description = list.pDescriptors[slot];
    if (description == nullptr || description->dwKind != kind) continue;
    if (width) *width = cube ? 0 : description->wWidth;
    if (height) *height = cube ? 0 : description->wHeight;
    if (edge) *edge = cube ? description->wValue2 : 0;
    if (format) *format = description->dwValue;
    return 1;
  }
  return 0;
}
