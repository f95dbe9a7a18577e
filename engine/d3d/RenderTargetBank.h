#pragma once
// Every render target of the device: pools of plain, floating-point, cube and physical texture
// targets, the additional depth buffers, and the back buffer. It builds them from the rendering
// profile's descriptions when the device is made and after every reset, hands out free targets
// of a kind, activates texture and cube targets with a depth buffer of their size and the
// viewport, and keeps a stack of the active targets so that drawing returns to the previous one.
// Main thread only, inside the renderer's frame.
#include <vector>

#include "d3d/DeviceSettings.h"
#include "d3d/RenderTargetStorageInterface.h"

class CBackBufferRenderTarget;
class CCubeRenderTarget;
class CDepthBufferRenderTarget;
class CEngineLog;
class CEngineRenderer;
class CTextureBank;
class CTextureRenderTarget;

// A description of a kind of render target: format word, kind, count (kept up to date by the
// bank as it makes targets), width, height, and edge for cubes.
using RenderTargetDescription = ConfigureGFXSurface;

class CRenderTargetBank final : public CRenderTargetStorageInterface {
 public:
  static constexpr UINT kStackDepth = 32;

  // The lists are copied, at most four descriptions each; the descriptions stay the
  // application's. Builds every target (InitRenderTargets), whose failures are fatal.
  CRenderTargetBank(CEngineRenderer* renderer, CTextureBank* textures, CEngineLog* log,
                    const SurfaceDescriptorList& rectangle, const SurfaceDescriptorList& fpRectangle,
                    const SurfaceDescriptorList& cube, const SurfaceDescriptorList& fpCube,
                    const SurfaceDescriptorList& physical, const SurfaceDescriptorList& fpPhysical,
                    const SurfaceDescriptorList& depth);
  // Deletes every target without reaching the stack or the device.
  ~CRenderTargetBank();
  CRenderTargetBank(const CRenderTargetBank&) = delete;
  CRenderTargetBank& operator=(const CRenderTargetBank&) = delete;

  // --- CRenderTargetStorageInterface ---
  UINT ReleaseLockedRenderTargets() override;
  void SetBackBufferSurface(IDirect3DSurface9* surface) override;
  void OnDeviceLost() override { ReleaseRenderTargets(); }
  void OnDeviceReset() override { InitRenderTargets(); }
  void ReleaseDeviceObjects() override { ReleaseRenderTargets(); }
  UINT GetPlainRenderTarget(CTextureRenderTarget** out, UINT kind) override;
  UINT GetFloatPlainRenderTarget(CTextureRenderTarget** out, UINT kind) override;
  UINT GetCubeRenderTarget(CCubeRenderTarget** out, UINT kind) override;
  UINT GetFloatCubeRenderTarget(CCubeRenderTarget** out, UINT kind) override;
  UINT RestoreRenderTarget() override;
  CRenderTargetInterface* GetCurrentRenderTarget() override { return m_pStack[0]; }
  void GiveBackRenderTarget(CRenderTargetInterface* target) override;

  // --- building and releasing ---
  // Empties everything, then takes the device's back and depth buffers and makes the pools and
  // depth buffers the descriptions ask for. 1; failures are fatal.
  UINT InitRenderTargets();
  // Pops the stack to its bottom and deletes every target. 1.
  UINT ReleaseRenderTargets();
  // `count` new targets in the pool; with `grow` 1 the pool's descriptions of that format and
  // size count them. 1; an unknown format or a full pool is fatal.
  UINT CreatePlainRenderTargets(UINT count, WORD width, WORD height, DWORD format, UINT grow);
  UINT CreateFloatPlainRenderTargets(UINT count, WORD width, WORD height, DWORD format, UINT grow);
  UINT CreatePhysicalRenderTargets(UINT count, WORD width, WORD height, DWORD format, UINT grow);
  UINT CreateFloatPhysicalRenderTargets(UINT count, WORD width, WORD height, DWORD format, UINT grow);
  UINT CreateCubeRenderTargets(UINT count, WORD edge, DWORD format, UINT grow);
  UINT CreateFloatCubeRenderTargets(UINT count, WORD edge, DWORD format, UINT grow);
  UINT CreatePrimaryDepthBuffer(IDirect3DSurface9* surface, WORD width, WORD height);
  UINT CreateAdditionalDepthBuffers(UINT count, WORD width, WORD height, UINT grow);

  // --- taking ---
  // The first free target of that size and format, made (and counted) when there is none.
  UINT TakePlainRenderTarget(CTextureRenderTarget** out, WORD width, WORD height, DWORD format);
  UINT TakeFloatPlainRenderTarget(CTextureRenderTarget** out, WORD width, WORD height, DWORD format);
  UINT TakeCubeRenderTarget(CCubeRenderTarget** out, WORD edge, DWORD format);
  UINT TakeFloatCubeRenderTarget(CCubeRenderTarget** out, WORD edge, DWORD format);

  // --- activation and the stack ---
  // Binds the target's colour surface and a free depth buffer of its size, sets its viewport
  // and pushes it. 1, or 0 (logged) with the previous target active again for index 0.
  UINT SetTextureRenderTarget(UINT index, CTextureRenderTarget* target, CDepthBufferRenderTarget** depthOut,
                              UINT lockDepth);
  UINT SetCubeRenderTarget(UINT index, CCubeRenderTarget* target, CDepthBufferRenderTarget** depthOut, UINT face,
                           UINT lockDepth);
  // Binds a colour and a depth surface. 1, or 0 (logged).
  UINT SetRenderTargetSurfaces(UINT index, IDirect3DSurface9* surface, IDirect3DSurface9* depthSurface, UINT width,
                               UINT height);
  // 1; a 33rd entry is fatal.
  UINT PushRenderTarget(CRenderTargetInterface* target);
  // Frees the top target; 0 when only the bottom is left or `target` (when given) is not on top.
  UINT PopRenderTarget(CRenderTargetInterface* target);
  // Pops, then activates the new top: 1 while it is not the back buffer.
  UINT PopAndActivate(CRenderTargetInterface* target);

  // --- for the targets and for tests ---
  CTextureBank* GetTextureBank() const { return m_pTextures; }
  CBackBufferRenderTarget* GetBackBuffer() const { return m_pBackBuffer; }
  // 1 while a texture or cube target activated through the bank is on top.
  UINT IsRenderingToTexture() const { return m_dwRenderingToTexture; }
  // The pools, for callers that look at what was built.
  enum Pool { kPlainPool, kFloatPlainPool, kCubePool, kFloatCubePool, kPhysicalPool, kFloatPhysicalPool };
  UINT GetPoolCount(Pool pool) const;
  CTextureRenderTarget* GetPlainPoolEntry(Pool pool, UINT index) const;
  CCubeRenderTarget* GetCubePoolEntry(Pool pool, UINT index) const;
  UINT GetDepthBufferCount() const { return m_Depth.count; }
  CDepthBufferRenderTarget* GetDepthBuffer(UINT index) const;
  // The highest bit of a format word that the device lists among its render-target formats; 0
  // for none. Descriptions may offer several formats in one word.
  DWORD ChooseFormat(DWORD formatWord) const;

 private:
  static constexpr UINT kLargestPool = 8;
  struct DescriptionList {
    RenderTargetDescription* entries[SurfaceDescriptorList::kCapacity] = {};
    UINT count = 0;
  };
  template <class Target>
  struct TargetPool {
    Target* entries[kLargestPool] = {};
    UINT capacity;
    UINT count = 0;
    DescriptionList* list;
    const char* fullTitle;     // the fatal title of a full pool
    const char* makeTitle;     // the fatal title of a failed allocation
    const char* takenName;     // "Plain", "Float Plain", ... in the messages of taking
  };
  using PlainPool = TargetPool<CTextureRenderTarget>;
  using CubePool = TargetPool<CCubeRenderTarget>;
  using DepthPool = TargetPool<CDepthBufferRenderTarget>;
  struct Size {
    WORD width;
    WORD height;
    bool operator==(const Size&) const = default;
  };
  using Sizes = std::vector<Size>;

  static DescriptionList CopyList(const SurfaceDescriptorList& list);
  // The format's Direct3D format, or the fatal unknown-format error.
  D3DFORMAT TranslateFormat(DWORD formatWord) const;
  // Room in the pool (fatal when full) for one more target: the first empty entry.
  template <class Target>
  Target*& FreeEntry(TargetPool<Target>& pool);
  // Counts one more target on the pool's descriptions that match `matches`.
  template <class Target, class Matches>
  void Grow(TargetPool<Target>& pool, Matches matches);
  UINT CreatePlainTargets(PlainPool& pool, UINT count, WORD width, WORD height, DWORD format, UINT grow);
  UINT CreateCubeTargets(CubePool& pool, UINT count, WORD edge, DWORD format, UINT grow);
  template <class Target, class Find, class Create>
  UINT Take(TargetPool<Target>& pool, Target** out, Find find, Create create);
  CTextureRenderTarget* FindPlain(const PlainPool& pool, WORD width, WORD height, DWORD format) const;
  CCubeRenderTarget* FindCube(const CubePool& pool, WORD edge, DWORD format) const;
  // The common part of texture and cube activation, with the target's surface and size.
  UINT ActivateSurface(UINT index, CRenderTargetInterface* target, IDirect3DSurface9* surface, WORD width,
                       WORD height, CDepthBufferRenderTarget** depthOut, const char* setError);
  // Creation steps of InitRenderTargets.
  // Sizes of the colour targets that need a depth buffer besides the primary one of `primary`.
  Sizes SizesNeedingDepthBuffers(Size primary) const;
  // Sizes of depth descriptions that no planar target is large enough for.
  Sizes DepthSizesWithoutTargets() const;
  // `extra` sizes (if any) get one plain target each before the pool's descriptions.
  void CreatePlanarLists(const char* heading, PlainPool& pool, const char* failure, const Sizes* extra);
  void CreateCubeLists(const char* heading, CubePool& pool);
  void CreateDepthBuffers(IDirect3DSurface9* depthSurface, Size primary, const Sizes& needed);
  // Activation's first steps: the lock-depth notice, the flag cleared, the scissor reset.
  void BeginActivation(UINT lockDepth, WORD width, WORD height);
  // Deletes every target and empties the pools and the stack.
  void DeleteTargets();

  CEngineRenderer* m_pRenderer;
  CTextureBank* m_pTextures;
  CEngineLog* m_pLog;
  DescriptionList m_Rectangle, m_FloatRectangle, m_Cube, m_FloatCube, m_Physical, m_FloatPhysical, m_DepthList;
  PlainPool m_Plain, m_FloatPlain, m_PhysicalTargets, m_FloatPhysicalTargets;
  CubePool m_CubeTargets, m_FloatCubeTargets;
  DepthPool m_Depth;
  CBackBufferRenderTarget* m_pBackBuffer = nullptr;
  CRenderTargetInterface* m_pStack[kStackDepth] = {};
  UINT m_dwRenderingToTexture = 0;
};
