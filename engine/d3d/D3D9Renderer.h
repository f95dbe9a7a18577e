#pragma once
// The engine's one renderer: the frame (clear, begin, end, flip, and a present that was still
// drawing repeated at the next clear), viewport and scissor, transforms and lights, the cached
// states with their stacks, the draws with the frame statistics, and the banks it hands out.
// It owns the Direct3D object (through its adapters), the device and its swap chain; the banks
// it is given stay their owner's. Main thread only.
//
// Initialize makes the device, Reset brings a lost one back, ReleaseDevice lets it go. Without a
// device (before Initialize, after ReleaseDevice) the device operations reach nothing and
// answer D3DERR_INVALIDCALL; the bank getters end the process while their bank is missing.
#include <cstdint>
#include <memory>

#include "d3d/D3D9Adapters.h"
#include "d3d/D3D9StateCache.h"
#include "d3d/DefaultStates.h"
#include "d3d/EngineRenderer.h"
#include "d3d/StateStack.h"

class CDeviceLossHook;
class CEffectFiles;
class CEngineContext;
class CEngineLog;
class CIndexBufferBank;
class CIndexBufferBankInterface;
class CMaterialBank;
class CMaterialBankInterface;
class CPixelShaderBank;
class CPixelShaderBankInterface;
class CRenderTargetBank;
class CSpriteBank;
class CVertexBufferBank;
class CTextureBank;
class CVertexBufferBankInterface;
class CVertexDeclarationBank;
class CVertexDeclarationBankInterface;
class CVertexShaderBank;
class CVertexShaderBankInterface;
class ZKAllocatorInterface;

class CD3D9Renderer final : public CEngineRenderer {
 public:
  // The banks the renderer hands out and drives; any may be null until its bank exists.
  struct Banks {
    CRenderTargetStorageInterface* pRenderTargets = nullptr;
    CVertexDeclarationBankInterface* pVertexDeclarations = nullptr;
    CIndexBufferBankInterface* pIndexBuffers = nullptr;
    CVertexShaderBankInterface* pVertexShaders = nullptr;
    CPixelShaderBankInterface* pPixelShaders = nullptr;
    CVertexBufferBankInterface* pVertexBuffers = nullptr;
    CMaterialBankInterface* pMaterials = nullptr;
    CTextureStorageInterface* pTextures = nullptr;
    CSpriteStorageInterface* pSprites = nullptr;
  };

  // Takes the log and the allocator from the context.
  explicit CD3D9Renderer(CEngineContext* context);
  ~CD3D9Renderer();
  CD3D9Renderer(const CD3D9Renderer&) = delete;
  CD3D9Renderer& operator=(const CD3D9Renderer&) = delete;

  // --- adapters ---
  void SetSchemes(const RenderingScheme* records, DWORD count) { m_Adapters.SetSchemes(records, count); }
  DWORD GetNumberOfSchemes() { return m_Adapters.GetNumberOfSchemes(); }
  const RenderingScheme* GetScheme(DWORD index) { return m_Adapters.GetScheme(index); }
  // 1 when at least one adapter satisfies a rendering scheme.
  UINT Enumerate() { return m_Adapters.Enumerate(); }
  IDirect3D9* GetDirect3D() const { return m_Adapters.GetDirect3D(); }
  // For the engine's device choice, which builds the scheme table and enumerates through them.
  CD3D9Adapters& GetAdapters() { return m_Adapters; }

  // Creates the device from `settings` (kept by pointer), the banks, the viewport and the
  // default states. 1; every failure on the way is fatal.
  UINT Initialize(DeviceSettings* settings);
  // Lets the banks give up what the device loses, resets the device with the current settings
  // and makes it all again, every cached state back to its marker. 1; a failed reset is fatal.
  UINT Reset();
  // Releases the banks' Direct3D objects, the swap chain, the device and the Direct3D object,
  // and forgets them all. 0.
  UINT ReleaseDevice();
  // Told of every reset after the rendering profile; null for none.
  void SetGuiDeviceHook(CDeviceLossHook* hook) { m_pGuiHook = hook; }
  // Banks given before Initialize are used as they are; Initialize builds the missing ones.
  void SetBanks(const Banks& banks) { m_Banks = banks; }
  // The texture bank Initialize made; null when one was given, or before Initialize.
  CTextureBank* GetTextureBank() const { return m_pTextureBank.get(); }
  // The effect files Initialize made, with their state manager; null without a device.
  CEffectFiles* GetEffectFiles() const { return m_pEffectFiles.get(); }

  // --- the game's interface ---
  HRESULT SetViewport() override;
  HRESULT Flip(HWND window, UINT show) override;
  HRESULT Clear(UINT flags, UINT colour) override;
  HRESULT BeginRendering() override;
  HRESULT EndRendering() override;
  D3DVIEWPORT9* GetViewport() override { return &m_Viewport; }
  HDC GetBackBufferDC() override;
  UINT IsRenderingBegin() override { return m_dwRenderingBegun; }
  HRESULT SetLightEnable(WORD index, UINT enable) override { return m_Cache.SetLightEnable(index, enable); }
  HRESULT GetLightEnableStates(UINT* out) override;
  float GetWideScreenFactor() override { return m_fWideScreenFactor; }
  HRESULT GetRenderTargetDescription(UINT kind, UINT* width, UINT* height, UINT* edge, UINT* format) override;
  CVertexDeclarationStorageInterface* GetVertexDeclarationStorageInterface() override;
  CIndexBufferStorageInterface* GetIndexBufferStorageInterface() override;
  CVertexShaderStorageInterface* GetVertexShaderStorageInterface() override;
  CPixelShaderStorageInterface* GetPixelShaderStorageInterface() override;
  CVertexBufferStorageInterface* GetVertexBufferStorageInterface() override;
  CMaterialStorageInterface* GetMaterialStorageInterface() override;
  CTextureStorageInterface* GetTextureStorageInterface() override;
  CSpriteStorageInterface* GetSpriteStorageInterface() override;
  HRESULT SetTextureStageState(UINT stage, UINT type, UINT value) override;
  HRESULT SetSamplerState(UINT sampler, UINT type, UINT value) override;
  HRESULT SetRenderState(UINT state, UINT value) override { return m_Cache.SetRenderState(state, value); }
  HRESULT SetTransform(UINT state, const CMatrix* matrix) override;
  HRESULT SetPixelShaderConstantF(UINT start, const float* data, UINT count) override;
  HRESULT SetPixelShaderConstantI(UINT start, const int* data, UINT count) override;
  HRESULT SetPixelShaderConstantF(UINT start, const UINT* data, UINT count) override;
  HRESULT SetVertexShaderConstantF(UINT start, const float* data, UINT count) override;
  HRESULT SetVertexShaderConstantI(UINT start, const int* data, UINT count) override;
  HRESULT SetVertexShaderConstantF(UINT start, const UINT* data, UINT count) override;
  HRESULT DrawIndexedPrimitive(UINT primitiveCount) override;
  HRESULT DrawIndexedPrimitive(UINT baseVertex, UINT minIndex, UINT vertexCount, UINT startIndex,
                               UINT primitiveCount) override;
  void DrawIndexedPrimitive(UINT type, UINT baseVertex, UINT minIndex, UINT vertexCount, UINT startIndex,
                            UINT primitiveCount) override;
  void DrawIndexedPrimitiveUP(UINT type, UINT minIndex, UINT vertexCount, UINT primitiveCount, const void* indices,
                              UINT indexFormat, const void* vertices, UINT stride) override;
  void DrawPrimitive(UINT type, UINT primitiveCount, UINT vertexCount, const void* vertices, UINT stride) override;
  HRESULT SetLight(UINT index, const D3DLIGHT9* light) override;
  HRESULT SetSoftwareVertexProcessing(UINT enable) override;
  HRESULT EvictManagedResources() override;
  HRESULT SetScissorTest(const RECT* rect) override;
  HRESULT GetScissorTest(RECT* out) override;

  // --- the engine's interface ---
  IDirect3DDevice9* GetDevice() override { return m_pDevice; }
  CD3D9Enumeration* GetEnumeration() override;
  CD3D9Enumeration* GetAdapterEnumeration(UINT adapter) override { return m_Adapters.GetAdapterEnumeration(adapter); }
  const DeviceSettings* GetDeviceSettings() override { return m_pSettings; }
  void SetDefaultStates() override;
  void ResetScissorRect(UINT right, UINT bottom) override;
  DWORD GetRenderState(UINT state) override { return m_Cache.GetRenderState(state); }
  HRESULT SetTextureStageStateVerbose(UINT stage, UINT type, UINT value) override {
    return m_Cache.SetTextureStageState(stage, type, value, true);
  }
  HRESULT DrawStreamPrimitive(UINT type, UINT startVertex, UINT primitiveCount) override;
  CRenderTargetStorageInterface* GetRenderTargetStorageInterface() override;
  HRESULT ClearBuffers(UINT flags, UINT colour) override;
  UINT SaveStates() override;
  UINT LoadStates() override;

 private:
  // Bank getters for the renderer's own use: the bank, or the fatal error of its getter.
  CIndexBufferBankInterface* IndexBuffers();
  // Builds the banks Initialize was not given, in their order; a bank that cannot be made is
  // fatal.
  void CreateBanks(DeviceSettings* settings);
  void CreateRenderTargetBank(DeviceSettings* settings);
  CVertexBufferBankInterface* VertexBuffers();
  // A present answered: remembers one that was still drawing (to repeat at the next clear),
  // recovers a lost device, logs other failures.
  void HandlePresentResult(HRESULT result, HWND window);
  void RecoverLostDevice();
  // Initialize and Reset share these: the present parameters of the settings, the window's
  // place, the log of the parameters, and the viewport and default states of a fresh device.
  void FillPresentParameters(bool reset);
  void PositionWindow();
  void LogPresentParameters();
  void CreateDevice();
  IDirect3DDevice9* TryCreateDevice(UINT adapter, D3DDEVTYPE type, DWORD behavior);
  void TakeSwapChain();
  void SetUpFreshDevice(CDefaultStates::Occasion occasion);
  void TellDeviceLost();
  void TellDeviceReset();
  // The sprite bank (unless one was given) and the effect files, after the other banks.
  void CreateSpritesAndEffects();
  // Frees the banks ReleaseDevice does not keep.
  void FreeOwnedBanks();
  // Copies caller vertices into the bank's dynamic buffer, unlocked again; null (logged) when it
  // cannot be locked. The caller has checked that they fit.
  IDirect3DVertexBuffer9* CopyToDynamicVertices(const void* vertices, uint64_t bytes);
  // The fixed-size state blocks of the stacks, pushed and popped in this order.
  enum StackedState {
    kScissorState,
    kRenderStates,
    kViewportState,
    kVertexConstants,
    kPixelConstants,
    kTextureStageStates,
    kSamplerStates,
    kStackedStateCount
  };
  struct StateBlock {
    const void* data;
    UINT size;
  };
  // The cached data a stack saves for `state`.
  StateBlock GetStateBlock(StackedState state) const;
  void RestoreStates(StackedState state, const void* saved);
  void GiveBackBufferDCBack();

  CD3D9Adapters m_Adapters;
  IDirect3DDevice9* m_pDevice = nullptr;
  CEngineContext* m_pContext;
  CD3D9Enumeration* m_pSelectedEnumeration = nullptr;
  DeviceSettings* m_pSettings = nullptr;
  CEngineLog* m_pLog;
  ZKAllocatorInterface* m_pAllocator;
  Banks m_Banks;
  // The banks Initialize built (the others were given). The index and shader banks outlive the
  // device: the game may still hold their objects after ReleaseDevice and release them into the
  // bank. The declaration, vertex-buffer and material banks are freed by ReleaseDevice; what is
  // still held of them then detaches and frees itself at its last Release.
  std::unique_ptr<CIndexBufferBank> m_pIndexBufferBank;
  std::unique_ptr<CVertexShaderBank> m_pVertexShaderBank;
  std::unique_ptr<CPixelShaderBank> m_pPixelShaderBank;
  std::unique_ptr<CVertexDeclarationBank> m_pOwnedDeclarations;
  std::unique_ptr<CVertexBufferBank> m_pOwnedVertexBuffers;
  std::unique_ptr<CMaterialBank> m_pOwnedMaterials;
  std::unique_ptr<CRenderTargetBank> m_pOwnedRenderTargets;
  // Freed with the banks above, before them.
  std::unique_ptr<CSpriteBank> m_pOwnedSprites;
  std::unique_ptr<CEffectFiles> m_pEffectFiles;
  // The texture bank Initialize made (none when one was given); it outlives the device so that
  // textures still held can be released.
  std::unique_ptr<CTextureBank> m_pTextureBank;
  IDirect3DSwapChain9* m_pSwapChain = nullptr;
  D3DPRESENT_PARAMETERS m_PresentParameters = {};
  CDeviceLossHook* m_pGuiHook = nullptr;
  CStateStack m_Stacks[kStackedStateCount];
  float m_WideScreenStack[CStateStack::kDepth] = {};
  UINT m_dwWideScreenDepth = 0;
  RECT m_ScissorRect = {};
  float m_fWideScreenFactor = 0.0f;
  D3DVIEWPORT9 m_Viewport = {};
  CD3D9StateCache m_Cache;
  HWND m_hPendingPresentWindow = nullptr;
  UINT m_dwRenderingBegun = 0;
  // No device of this engine is made with mixed vertex processing, so this stays 0.
  UINT m_dwVertexProcessingSwitchable = 0;
  UINT m_dwSoftwareVertexProcessing = 0;
  UINT m_dwPresentPending = 0;
  // The back buffer whose device context GetBackBufferDC handed out, until EndRendering.
  IDirect3DSurface9* m_pDCSurface = nullptr;
  HDC m_hBackBufferDC = nullptr;
};
