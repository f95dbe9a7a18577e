#include "d3d/RenderTargetBank.h"

#include <algorithm>
#include <bit>

#include "core/EngineLog.h"
#include "core/FatalError.h"
#include "d3d/BackBufferRenderTarget.h"
#include "d3d/CubeRenderTarget.h"
#include "d3d/D3D9Enumeration.h"
#include "d3d/D3DLog.h"
#include "d3d/DepthBufferRenderTarget.h"
#include "d3d/EngineRenderer.h"
#include "d3d/FormatBits.h"
#include "d3d/RenderTargetLog.h"
#include "d3d/TextureRenderTarget.h"

namespace {

constexpr int kInfo = CEngineLog::kLevelInfo;
constexpr int kError = CEngineLog::kLevelError;

const char kInitTitle[] = "Error While Initializing Render Targets";
const char kTextureTitle[] = "Error While Creating Texture Render Target";
const char kCubeTitle[] = "Error While Creating Cube Texture Render Target";
const char kDepthPoolTitle[] = "Error While Creating Additional Depth Buffers";
const char kDepthTitle[] = "Error While Creating Additional Depth Buffer";
const char kNone[] = "      - none\n";

// The description's fields by their meaning here.
WORD CountOf(const RenderTargetDescription& description) { return description.wValue1; }
WORD EdgeOf(const RenderTargetDescription& description) { return description.wValue2; }

template <class Visit>
void ForEachDescription(const auto& list, Visit visit) {
  for (UINT i = 0; i < list.count; ++i)
    if (list.entries[i] != nullptr) visit(*list.entries[i]);
}

template <class Target>
void EmptyPool(auto& pool) {
  for (Target*& entry : pool.entries) {
    delete entry;
    entry = nullptr;
  }
  pool.count = 0;
}

}  // namespace

CRenderTargetBank::CRenderTargetBank(CEngineRenderer* renderer, CTextureBank* textures, CEngineLog* log,
                                     const SurfaceDescriptorList& rectangle, const SurfaceDescriptorList& fpRectangle,
                                     const SurfaceDescriptorList& cube, const SurfaceDescriptorList& fpCube,
                                     const SurfaceDescriptorList& physical, const SurfaceDescriptorList& fpPhysical,
                                     const SurfaceDescriptorList& depth)
    : m_pRenderer(renderer),
      m_pTextures(textures),
      m_pLog(log),
      m_Rectangle(CopyList(rectangle)),
      m_FloatRectangle(CopyList(fpRectangle)),
      m_Cube(CopyList(cube)),
      m_FloatCube(CopyList(fpCube)),
      m_Physical(CopyList(physical)),
      m_FloatPhysical(CopyList(fpPhysical)),
      m_DepthList(CopyList(depth)),
      m_Plain{{}, 8, 0, &m_Rectangle, kTextureTitle, kTextureTitle, "Plain"},
      m_FloatPlain{{}, 8, 0, &m_FloatRectangle, kTextureTitle, kTextureTitle, "Float Plain"},
      m_PhysicalTargets{{}, 4, 0, &m_Physical, "Error While Creating Physical Render Target", kTextureTitle, ""},
      m_FloatPhysicalTargets{
          {}, 4, 0, &m_FloatPhysical, "Error While Creating Float Physical Render Target", kTextureTitle, ""},
      m_CubeTargets{{}, 4, 0, &m_Cube, kCubeTitle, kCubeTitle, "Cube"},
      m_FloatCubeTargets{{}, 4, 0, &m_FloatCube, kCubeTitle, kCubeTitle, "Float Cube"},
      m_Depth{{}, 8, 0, &m_DepthList, kDepthPoolTitle, kDepthTitle, ""} {
  InitRenderTargets();
}

CRenderTargetBank::~CRenderTargetBank() { DeleteTargets(); }

CRenderTargetBank::DescriptionList CRenderTargetBank::CopyList(const SurfaceDescriptorList& list) {
  // A count past the list's slots would read beyond them.
  DescriptionList copy;
  copy.count = std::min(list.dwCount, SurfaceDescriptorList::kCapacity);
  std::copy(list.pDescriptors, list.pDescriptors + copy.count, copy.entries);
  return copy;
}

// ---------------------------------------------------------------------------------------------
// Building and releasing

UINT CRenderTargetBank::InitRenderTargets() {
  DeleteTargets();
  IDirect3DDevice9* device = m_pRenderer->GetDevice();
  IDirect3DSurface9* backBuffer = nullptr;
  HRESULT result = device->GetRenderTarget(0, &backBuffer);
  if (FAILED(result))
    FatalErrorWithTitle(kInitTitle, "Can't Get Back Buffer\n%s - %s\n", D3DResultName(result),
                        D3DResultDescription(result));
  IDirect3DSurface9* depthSurface = nullptr;
  result = device->GetDepthStencilSurface(&depthSurface);
  if (FAILED(result)) {
    backBuffer->Release();
    FatalErrorWithTitle(kInitTitle, "Can't Get Depth Buffer\n%s - %s\n", D3DResultName(result),
                        D3DResultDescription(result));
  }
  m_pBackBuffer = NewOrFatal<CBackBufferRenderTarget>(kInitTitle, "Can't Allocate Memory For Back Buffer\n", this,
                                                      m_pLog, m_pRenderer, backBuffer, depthSurface);
  m_pStack[0] = m_pBackBuffer;

  D3DSURFACE_DESC desc = {};
  result = depthSurface->GetDesc(&desc);
  if (FAILED(result)) {
    depthSurface->Release();
    FatalErrorWithTitle(kInitTitle, "Can't Get Depth Buffer Properties\n%s - %s\n", D3DResultName(result),
                        D3DResultDescription(result));
  }
  const Size primary = {static_cast<WORD>(desc.Width), static_cast<WORD>(desc.Height)};
  const Sizes needingDepth = SizesNeedingDepthBuffers(primary);
  const Sizes withoutTargets = DepthSizesWithoutTargets();

  LogD3D(m_pLog, kRenderTargetSource, __LINE__, kInfo, "  - Initializing Render Targets:\n");
  CreatePlanarLists("    - Creating Physical Render Targets:\n", m_PhysicalTargets, "Can't Create Physical Render Targets",
                    nullptr);
  CreatePlanarLists("    - Creating FP Physical Render Targets:\n", m_FloatPhysicalTargets,
                    "Can't Create Physical Render Targets", nullptr);
  CreateDepthBuffers(depthSurface, primary, needingDepth);
  CreatePlanarLists("    - Creating Rectangle Render Targets:\n", m_Plain, "Can't Create Texture Render Targets",
                    &withoutTargets);
  CreatePlanarLists("    - Creating FP Rectangle Render Targets:\n", m_FloatPlain,
                    "Can't Create Texture Render Targets", nullptr);
  CreateCubeLists("    - Creating Cube Render Targets:\n", m_CubeTargets);
  CreateCubeLists("    - Creating FP Cube Render Targets:\n", m_FloatCubeTargets);
  // The back buffer and the primary depth buffer hold references of their own.
  depthSurface->Release();
  return 1;
}

CRenderTargetBank::Sizes CRenderTargetBank::SizesNeedingDepthBuffers(Size primary) const {
  Sizes sizes;
  auto add = [&](Size size) {
    // Only a size equal to the primary depth buffer's in both sides is served by it.
    if (size != primary && std::find(sizes.begin(), sizes.end(), size) == sizes.end()) sizes.push_back(size);
  };
  for (const DescriptionList* list : {&m_Rectangle, &m_FloatRectangle})
    ForEachDescription(*list, [&](const RenderTargetDescription& d) {
      if (CountOf(d) > 0) add({d.wWidth, d.wHeight});
    });
  for (const DescriptionList* list : {&m_Cube, &m_FloatCube})
    ForEachDescription(*list, [&](const RenderTargetDescription& d) {
      if (CountOf(d) > 0) add({EdgeOf(d), EdgeOf(d)});
    });
  for (const DescriptionList* list : {&m_Physical, &m_FloatPhysical})
    ForEachDescription(*list, [&](const RenderTargetDescription& d) {
      if (CountOf(d) > 0) add({d.wWidth, d.wHeight});
    });
  return sizes;
}

CRenderTargetBank::Sizes CRenderTargetBank::DepthSizesWithoutTargets() const {
  auto covered = [&](Size size) {
    bool found = false;
    for (const DescriptionList* list : {&m_Physical, &m_FloatPhysical, &m_Rectangle, &m_FloatRectangle})
      ForEachDescription(*list, [&](const RenderTargetDescription& d) {
        // A description without targets covers nothing.
        if (CountOf(d) > 0 && d.wWidth >= size.width && d.wHeight >= size.height) found = true;
      });
    return found;
  };
  Sizes sizes;
  ForEachDescription(m_DepthList, [&](const RenderTargetDescription& d) {
    const Size size = {d.wWidth, d.wHeight};
    if (CountOf(d) > 0 && std::find(sizes.begin(), sizes.end(), size) == sizes.end() && !covered(size))
      sizes.push_back(size);
  });
  return sizes;
}

void CRenderTargetBank::CreatePlanarLists(const char* heading, PlainPool& pool, const char* failure,
                                          const Sizes* extra) {
  LogD3D(m_pLog, kRenderTargetSource, __LINE__, kInfo, "%s", heading);
  if (extra != nullptr) {
    const DWORD format = m_pRenderer->GetEnumeration()->HasRenderTargetFormatBits(4) ? 4 : 1;
    for (const Size& size : *extra) {
      LogD3D(m_pLog, kRenderTargetSource, __LINE__, kInfo, "      - Width: %i, Height: %i, Format: %s\n", size.width,
             size.height, GetFormatBitName(format));
      if (!CreatePlainTargets(pool, 1, size.width, size.height, format, 0)) FatalErrorWithTitle(kInitTitle, "%s", failure);
    }
  }
  bool created = false;
  ForEachDescription(*pool.list, [&](const RenderTargetDescription& d) {
    if (CountOf(d) == 0) return;
    LogD3D(m_pLog, kRenderTargetSource, __LINE__, kInfo, "      - Count: %i, Width: %i, Height: %i, Format: %s\n",
           CountOf(d), d.wWidth, d.wHeight, GetFormatBitName(ChooseFormat(d.dwValue)));
    if (!CreatePlainTargets(pool, CountOf(d), d.wWidth, d.wHeight, d.dwValue, 0))
      FatalErrorWithTitle(kInitTitle, "%s", failure);
    created = true;
  });
  if (!created) LogD3D(m_pLog, kRenderTargetSource, __LINE__, kInfo, kNone);
}

void CRenderTargetBank::CreateCubeLists(const char* heading, CubePool& pool) {
  LogD3D(m_pLog, kRenderTargetSource, __LINE__, kInfo, "%s", heading);
  bool created = false;
  ForEachDescription(*pool.list, [&](const RenderTargetDescription& d) {
    if (CountOf(d) == 0) return;
    LogD3D(m_pLog, kRenderTargetSource, __LINE__, kInfo, "      - Count: %i, Edge: %i, Format: %s\n", CountOf(d),
           EdgeOf(d), GetFormatBitName(ChooseFormat(d.dwValue)));
    if (!CreateCubeTargets(pool, CountOf(d), EdgeOf(d), d.dwValue, 0))
      FatalErrorWithTitle(kInitTitle, "Can't Create Cube Texture Render Targets");
    created = true;
  });
  if (!created) LogD3D(m_pLog, kRenderTargetSource, __LINE__, kInfo, kNone);
}

void CRenderTargetBank::CreateDepthBuffers(IDirect3DSurface9* depthSurface, Size primary, const Sizes& needed) {
  LogD3D(m_pLog, kRenderTargetSource, __LINE__, kInfo, "    - Creating Depth Buffers:\n");
  LogD3D(m_pLog, kRenderTargetSource, __LINE__, kInfo, "      - Width: %i, Height: %i\n", primary.width,
         primary.height);
  if (!CreatePrimaryDepthBuffer(depthSurface, primary.width, primary.height))
    FatalErrorWithTitle(kInitTitle, "Can't Create Primary Depth Buffer");
  ForEachDescription(m_DepthList, [&](const RenderTargetDescription& d) {
    if (CountOf(d) == 0) return;
    LogD3D(m_pLog, kRenderTargetSource, __LINE__, kInfo, "      - Count: %i, Width: %i, Height: %i\n", CountOf(d),
           d.wWidth, d.wHeight);
    if (!CreateAdditionalDepthBuffers(CountOf(d), d.wWidth, d.wHeight, 0))
      FatalErrorWithTitle(kInitTitle, "Can't Create Additional Depth Buffer");
  });
  for (const Size& size : needed) {
    LogD3D(m_pLog, kRenderTargetSource, __LINE__, kInfo, "      - Width: %i, Height: %i\n", size.width, size.height);
    if (!CreateAdditionalDepthBuffers(1, size.width, size.height, 0))
      FatalErrorWithTitle(kInitTitle, "Can't Create %ix%i Depth Buffer", size.width, size.height);
  }
}

UINT CRenderTargetBank::ReleaseRenderTargets() {
  while (PopAndActivate(nullptr)) {
  }
  DeleteTargets();
  return 1;
}

void CRenderTargetBank::DeleteTargets() {
  delete m_pBackBuffer;
  m_pBackBuffer = nullptr;
  EmptyPool<CTextureRenderTarget>(m_PhysicalTargets);
  EmptyPool<CTextureRenderTarget>(m_FloatPhysicalTargets);
  EmptyPool<CCubeRenderTarget>(m_CubeTargets);
  EmptyPool<CDepthBufferRenderTarget>(m_Depth);
  EmptyPool<CCubeRenderTarget>(m_FloatCubeTargets);
  EmptyPool<CTextureRenderTarget>(m_FloatPlain);
  EmptyPool<CTextureRenderTarget>(m_Plain);
  std::fill(std::begin(m_pStack), std::end(m_pStack), nullptr);
  m_dwRenderingToTexture = 0;
}

// ---------------------------------------------------------------------------------------------
// Pool creators

DWORD CRenderTargetBank::ChooseFormat(DWORD formatWord) const {
  const DWORD listed = formatWord & m_pRenderer->GetEnumeration()->GetRenderTargetFormats();
  return listed ? std::bit_floor(listed) : 0;
}

D3DFORMAT CRenderTargetBank::TranslateFormat(DWORD formatWord) const {
  const D3DFORMAT format = FormatBitToD3DFormat(ChooseFormat(formatWord));
  if (format == D3DFMT_UNKNOWN) FatalErrorWithTitle(kTextureTitle, "Can't Create - Unknown Format");
  return format;
}

template <class Target>
Target*& CRenderTargetBank::FreeEntry(TargetPool<Target>& pool) {
  if (pool.count >= pool.capacity) FatalErrorWithTitle(pool.fullTitle, "Not Enuff Entries");
  UINT index = 0;
  while (pool.entries[index] != nullptr) ++index;
  return pool.entries[index];
}

template <class Target, class Matches>
void CRenderTargetBank::Grow(TargetPool<Target>& pool, Matches matches) {
  for (UINT i = 0; i < pool.list->count; ++i) {
    RenderTargetDescription* description = pool.list->entries[i];
    if (description != nullptr && matches(*description)) ++description->wValue1;
  }
}

UINT CRenderTargetBank::CreatePlainTargets(PlainPool& pool, UINT count, WORD width, WORD height, DWORD format,
                                           UINT grow) {
  const D3DFORMAT d3dFormat = TranslateFormat(format);
  const DWORD chosen = ChooseFormat(format);
  for (UINT i = 0; i < count; ++i) {
    CTextureRenderTarget*& entry = FreeEntry(pool);
    entry = NewOrFatal<CTextureRenderTarget>(pool.makeTitle, "Can't Create", this, m_pRenderer, m_pLog, d3dFormat,
                                             width, height);
    if (grow == 1)
      Grow(pool, [&](const RenderTargetDescription& d) {
        return ChooseFormat(d.dwValue) == chosen && d.wWidth == width && d.wHeight == height;
      });
    ++pool.count;
  }
  return 1;
}

UINT CRenderTargetBank::CreateCubeTargets(CubePool& pool, UINT count, WORD edge, DWORD format, UINT grow) {
  const D3DFORMAT d3dFormat = TranslateFormat(format);
  const DWORD chosen = ChooseFormat(format);
  for (UINT i = 0; i < count; ++i) {
    CCubeRenderTarget*& entry = FreeEntry(pool);
    entry = NewOrFatal<CCubeRenderTarget>(pool.makeTitle, "Can't Create", this, m_pRenderer, m_pLog, d3dFormat, edge);
    if (grow == 1)
      Grow(pool, [&](const RenderTargetDescription& d) { return ChooseFormat(d.dwValue) == chosen && EdgeOf(d) == edge; });
    ++pool.count;
  }
  return 1;
}

UINT CRenderTargetBank::CreatePlainRenderTargets(UINT count, WORD width, WORD height, DWORD format, UINT grow) {
  return CreatePlainTargets(m_Plain, count, width, height, format, grow);
}
UINT CRenderTargetBank::CreateFloatPlainRenderTargets(UINT count, WORD width, WORD height, DWORD format, UINT grow) {
  return CreatePlainTargets(m_FloatPlain, count, width, height, format, grow);
}
UINT CRenderTargetBank::CreatePhysicalRenderTargets(UINT count, WORD width, WORD height, DWORD format, UINT grow) {
  return CreatePlainTargets(m_PhysicalTargets, count, width, height, format, grow);
}
UINT CRenderTargetBank::CreateFloatPhysicalRenderTargets(UINT count, WORD width, WORD height, DWORD format,
                                                         UINT grow) {
  return CreatePlainTargets(m_FloatPhysicalTargets, count, width, height, format, grow);
}
UINT CRenderTargetBank::CreateCubeRenderTargets(UINT count, WORD edge, DWORD format, UINT grow) {
  return CreateCubeTargets(m_CubeTargets, count, edge, format, grow);
}
UINT CRenderTargetBank::CreateFloatCubeRenderTargets(UINT count, WORD edge, DWORD format, UINT grow) {
  return CreateCubeTargets(m_FloatCubeTargets, count, edge, format, grow);
}

UINT CRenderTargetBank::CreatePrimaryDepthBuffer(IDirect3DSurface9* surface, WORD width, WORD height) {
  if (m_Depth.count >= m_Depth.capacity) FatalErrorWithTitle(kDepthPoolTitle, "Not Enuff Entries");
  if (m_Depth.entries[0] != nullptr) FatalErrorWithTitle(kDepthPoolTitle, "Primary Depth Buffer Has To Be Created At 0");
  m_Depth.entries[0] = NewOrFatal<CDepthBufferRenderTarget>(kDepthTitle, "Can't Create", this, m_pRenderer, m_pLog,
                                                            surface, width, height);
  ++m_Depth.count;
  return 1;
}

UINT CRenderTargetBank::CreateAdditionalDepthBuffers(UINT count, WORD width, WORD height, UINT grow) {
  for (UINT i = 0; i < count; ++i) {
    CDepthBufferRenderTarget*& entry = FreeEntry(m_Depth);
    entry = NewOrFatal<CDepthBufferRenderTarget>(kDepthTitle, "Can't Create", this, m_pRenderer, m_pLog, width, height);
    if (grow == 1)
      Grow(m_Depth, [&](const RenderTargetDescription& d) { return d.wWidth == width && d.wHeight == height; });
    ++m_Depth.count;
  }
  return 1;
}

// ---------------------------------------------------------------------------------------------
// Taking

CTextureRenderTarget* CRenderTargetBank::FindPlain(const PlainPool& pool, WORD width, WORD height,
                                                   DWORD format) const {
  const DWORD chosen = ChooseFormat(format);
  for (CTextureRenderTarget* target : pool.entries)
    if (target != nullptr && target->GetLockCount() == 0 && target->GetWidth() == width &&
        target->GetHeight() == height && D3DFormatToFormatBit(target->GetFormat()) == chosen)
      return target;
  return nullptr;
}

CCubeRenderTarget* CRenderTargetBank::FindCube(const CubePool& pool, WORD edge, DWORD format) const {
  const DWORD chosen = ChooseFormat(format);
  for (CCubeRenderTarget* target : pool.entries)
    if (target != nullptr && target->GetLockCount() == 0 && target->GetEdgeLength() == edge &&
        D3DFormatToFormatBit(target->GetFormat()) == chosen)
      return target;
  return nullptr;
}

template <class Target, class Find, class Create>
UINT CRenderTargetBank::Take(TargetPool<Target>& pool, Target** out, Find find, Create create) {
  // Not locked here: a target is locked when it is made active.
  if (Target* found = find()) {
    *out = found;
    return 1;
  }
  LogD3D(m_pLog, kRenderTargetSource, __LINE__, kError, "ERROR!!! - Have To Create Additional %s Texture Render Target\n",
         pool.takenName);
  create();
  if (Target* made = find()) {
    *out = made;
    return 1;
  }
  LogD3D(m_pLog, kRenderTargetSource, __LINE__, kError,
         "ERROR!!! - Can't Create Additional %s Texture Render Target - Check MAX #define\n", pool.takenName);
  *out = nullptr;
  return 0;
}

UINT CRenderTargetBank::TakePlainRenderTarget(CTextureRenderTarget** out, WORD width, WORD height, DWORD format) {
  return Take(
      m_Plain, out, [&] { return FindPlain(m_Plain, width, height, format); },
      [&] { CreatePlainTargets(m_Plain, 1, width, height, format, 1); });
}
UINT CRenderTargetBank::TakeFloatPlainRenderTarget(CTextureRenderTarget** out, WORD width, WORD height,
                                                   DWORD format) {
  return Take(
      m_FloatPlain, out, [&] { return FindPlain(m_FloatPlain, width, height, format); },
      [&] { CreatePlainTargets(m_FloatPlain, 1, width, height, format, 1); });
}
UINT CRenderTargetBank::TakeCubeRenderTarget(CCubeRenderTarget** out, WORD edge, DWORD format) {
  return Take(
      m_CubeTargets, out, [&] { return FindCube(m_CubeTargets, edge, format); },
      [&] { CreateCubeTargets(m_CubeTargets, 1, edge, format, 1); });
}
UINT CRenderTargetBank::TakeFloatCubeRenderTarget(CCubeRenderTarget** out, WORD edge, DWORD format) {
  return Take(
      m_FloatCubeTargets, out, [&] { return FindCube(m_FloatCubeTargets, edge, format); },
      [&] { CreateCubeTargets(m_FloatCubeTargets, 1, edge, format, 1); });
}

namespace {
// The renderer's description of `kind`: its planar size, its edge and its format word.
struct KindDescription {
  UINT width = 0, height = 0, edge = 0, format = 0;
};
bool Describe(CEngineRenderer* renderer, UINT kind, KindDescription& d) {
  return renderer->GetRenderTargetDescription(kind, &d.width, &d.height, &d.edge, &d.format) == 1;
}
}  // namespace

void CRenderTargetBank::GiveBackRenderTarget(CRenderTargetInterface* target) {
  // A target on the stack is freed when it is popped.
  if (target == nullptr || std::find(m_pStack, m_pStack + kStackDepth, target) != m_pStack + kStackDepth)
    return;
  auto giveBack = [target](auto& pool) {
    for (auto* entry : pool.entries)
      if (entry != nullptr && entry == target)
        while (entry->GetLockCount() != 0) entry->Unlock();
  };
  for (PlainPool* pool : {&m_Plain, &m_FloatPlain, &m_PhysicalTargets, &m_FloatPhysicalTargets})
    giveBack(*pool);
  for (CubePool* pool : {&m_CubeTargets, &m_FloatCubeTargets}) giveBack(*pool);
}

UINT CRenderTargetBank::GetPlainRenderTarget(CTextureRenderTarget** out, UINT kind) {
  KindDescription d;
  if (out == nullptr || !Describe(m_pRenderer, kind, d)) return 0;
  return TakePlainRenderTarget(out, static_cast<WORD>(d.width), static_cast<WORD>(d.height), d.format);
}
UINT CRenderTargetBank::GetFloatPlainRenderTarget(CTextureRenderTarget** out, UINT kind) {
  KindDescription d;
  if (out == nullptr || !Describe(m_pRenderer, kind, d)) return 0;
  return TakeFloatPlainRenderTarget(out, static_cast<WORD>(d.width), static_cast<WORD>(d.height), d.format);
}
UINT CRenderTargetBank::GetCubeRenderTarget(CCubeRenderTarget** out, UINT kind) {
  KindDescription d;
  if (out == nullptr || !Describe(m_pRenderer, kind, d)) return 0;
  return TakeCubeRenderTarget(out, static_cast<WORD>(d.edge), d.format);
}
UINT CRenderTargetBank::GetFloatCubeRenderTarget(CCubeRenderTarget** out, UINT kind) {
  KindDescription d;
  if (out == nullptr || !Describe(m_pRenderer, kind, d)) return 0;
  return TakeFloatCubeRenderTarget(out, static_cast<WORD>(d.edge), d.format);
}

// ---------------------------------------------------------------------------------------------
// Activation

void CRenderTargetBank::BeginActivation(UINT lockDepth, WORD width, WORD height) {
  if (lockDepth == 1)
    LogD3D(m_pLog, kRenderTargetSource, __LINE__, kError, "ERROR! - Locking ZBuffer Not Implemented Yet!!!\n");
  m_dwRenderingToTexture = 0;
  m_pRenderer->ResetScissorRect(width, height);
}

UINT CRenderTargetBank::SetTextureRenderTarget(UINT index, CTextureRenderTarget* target,
                                               CDepthBufferRenderTarget** depthOut, UINT lockDepth) {
  BeginActivation(lockDepth, target->GetWidth(), target->GetHeight());
  IDirect3DSurface9* surface = nullptr;
  const HRESULT result = target->GetD3DTexture()->GetSurfaceLevel(0, &surface);
  if (FAILED(result)) {
    LogD3D(m_pLog, kRenderTargetSource, __LINE__, kError, "ERROR! - Can't Get Render Texture Level\n%s - %s",
           D3DResultName(result), D3DResultDescription(result));
    return 0;
  }
  return ActivateSurface(index, target, surface, target->GetWidth(), target->GetHeight(), depthOut,
                         "ERROR! - Can't Set Texture As Render Target\n%s - %s");
}

UINT CRenderTargetBank::SetCubeRenderTarget(UINT index, CCubeRenderTarget* target, CDepthBufferRenderTarget** depthOut,
                                            UINT face, UINT lockDepth) {
  const WORD edge = target->GetEdgeLength();
  BeginActivation(lockDepth, edge, edge);
  IDirect3DSurface9* surface = nullptr;
  const HRESULT result =
      target->GetD3DCubeTexture()->GetCubeMapSurface(static_cast<D3DCUBEMAP_FACES>(face), 0, &surface);
  if (FAILED(result)) {
    LogD3D(m_pLog, kRenderTargetSource, __LINE__, kError, "ERROR! - Can't Get Cube Render Texture Level\n%s - %s",
           D3DResultName(result), D3DResultDescription(result));
    return 0;
  }
  return ActivateSurface(index, target, surface, edge, edge, depthOut,
                         "ERROR! - Can't Set Cube Texture Surface As Render Target\n%s - %s");
}

UINT CRenderTargetBank::ActivateSurface(UINT index, CRenderTargetInterface* target, IDirect3DSurface9* surface,
                                        WORD width, WORD height, CDepthBufferRenderTarget** depthOut,
                                        const char* setError) {
  IDirect3DDevice9* device = m_pRenderer->GetDevice();
  HRESULT result = device->SetRenderTarget(index, surface);
  surface->Release();
  if (FAILED(result)) {
    LogD3D(m_pLog, kRenderTargetSource, __LINE__, kError, setError, D3DResultName(result), D3DResultDescription(result));
    return 0;
  }
  // The primary depth buffer takes part like any other.
  CDepthBufferRenderTarget* depth = nullptr;
  for (CDepthBufferRenderTarget* candidate : m_Depth.entries)
    if (candidate != nullptr && candidate->GetWidth() == width && candidate->GetHeight() == height &&
        candidate->GetLockCount() == 0) {
      depth = candidate;
      break;
    }
  // Without a depth buffer drawing goes on into the previous target, for the first index.
  auto fallBack = [&] {
    if (index == 0 && m_pStack[0] != nullptr) m_pStack[0]->Activate();
    m_dwRenderingToTexture = 0;
    return 0;
  };
  if (depth == nullptr) {
    if (index == 0)
      LogD3D(m_pLog, kRenderTargetSource, __LINE__, kError,
             "ERROR! - Can't Find Proper Additional Depth Buffer, Setting Back To Rendering To Back Buffer\n");
    else
      LogD3D(m_pLog, kRenderTargetSource, __LINE__, kError, "ERROR! - Can't Find Proper Additional Depth Buffer\n");
    return fallBack();
  }
  result = device->SetDepthStencilSurface(depth->GetSurface());
  if (FAILED(result)) {
    if (index == 0)
      LogD3D(m_pLog, kRenderTargetSource, __LINE__, kError,
             "ERROR! - Can't Set Additional Depth Buffer, Setting Back To Rendering To Back Buffer\n%s - %s\n",
             D3DResultName(result), D3DResultDescription(result));
    else
      LogD3D(m_pLog, kRenderTargetSource, __LINE__, kError, "ERROR! - Can't Set Additional Depth Buffer\n%s - %s\n",
             D3DResultName(result), D3DResultDescription(result));
    return fallBack();
  }
  D3DVIEWPORT9 viewport = {0, 0, width, height, 0.0f, 1.0f};
  result = device->SetViewport(&viewport);
  if (FAILED(result)) {
    LogD3D(m_pLog, kRenderTargetSource, __LINE__, kError, "ERROR! - Can't Set Viewport - %s - %s\n",
           D3DResultName(result), D3DResultDescription(result));
    m_dwRenderingToTexture = 0;
    return 0;
  }
  *depthOut = depth;
  m_dwRenderingToTexture = 1;
  PushRenderTarget(target);
  return 1;
}

UINT CRenderTargetBank::SetRenderTargetSurfaces(UINT index, IDirect3DSurface9* surface,
                                                IDirect3DSurface9* depthSurface, UINT width, UINT height) {
  m_pRenderer->ResetScissorRect(width, height);
  IDirect3DDevice9* device = m_pRenderer->GetDevice();
  HRESULT result = device->SetRenderTarget(index, surface);
  if (FAILED(result)) {
    LogD3D(m_pLog, kRenderTargetSource, __LINE__, kError, "ERROR! - Can't Set Texture As Render Target\n%s - %s",
           D3DResultName(result), D3DResultDescription(result));
    return 0;
  }
  result = device->SetDepthStencilSurface(depthSurface);
  if (FAILED(result)) {
    LogD3D(m_pLog, kRenderTargetSource, __LINE__, kError,
           "ERROR! - Can't Set Depth Buffer For Texture Render Target\n%s - %s", D3DResultName(result),
           D3DResultDescription(result));
    return 0;
  }
  return 1;
}

// ---------------------------------------------------------------------------------------------
// The stack

UINT CRenderTargetBank::PushRenderTarget(CRenderTargetInterface* target) {
  if (m_pStack[kStackDepth - 1] != nullptr) FatalErrorWithTitle("Critical Error", "Render Target's Stack Overflow!!!");
  std::copy_backward(m_pStack, m_pStack + kStackDepth - 1, m_pStack + kStackDepth);
  m_pStack[0] = target;
  return 1;
}

UINT CRenderTargetBank::PopRenderTarget(CRenderTargetInterface* target) {
  // The bottom is never popped.
  if (m_pStack[1] == nullptr) return 0;
  if (target != nullptr && target != m_pStack[0]) return 0;
  CRenderTargetInterface* popped = m_pStack[0];
  std::copy(m_pStack + 1, m_pStack + kStackDepth, m_pStack);
  m_pStack[kStackDepth - 1] = nullptr;
  if (popped == nullptr) {
    LogD3D(m_pLog, kRenderTargetSource, __LINE__, kError, "CRITICAL ERROR!!! - Popped Render Target Is NULL\n");
    return 1;
  }
  popped->Free();
  if (m_pStack[0] == nullptr) {
    LogD3D(m_pLog, kRenderTargetSource, __LINE__, kError, "CRITICAL ERROR!!! - First Stack Render Target Is NULL\n");
    return 0;
  }
  return 1;
}

UINT CRenderTargetBank::PopAndActivate(CRenderTargetInterface* target) {
  if (!PopRenderTarget(target) || m_pStack[0] == nullptr) return 0;
  m_pStack[0]->Activate();
  return m_pStack[0]->GetRenderTargetType() != RENDER_TARGET_BACK_BUFFER ? 1 : 0;
}

UINT CRenderTargetBank::RestoreRenderTarget() {
  m_dwRenderingToTexture = PopAndActivate(nullptr);
  return 1;
}

UINT CRenderTargetBank::ReleaseLockedRenderTargets() {
  if (m_pStack[1] != nullptr)
    LogD3D(m_pLog, kRenderTargetSource, __LINE__, kError, "WARNING! - There're still locked render targets\n");
  while (PopAndActivate(nullptr)) {
  }
  return 1;
}

void CRenderTargetBank::SetBackBufferSurface(IDirect3DSurface9* surface) {
  if (surface == nullptr) {
    LogD3D(m_pLog, kRenderTargetSource, __LINE__, kError, "WARNING!!! - Trying To Set NULL As A BackBuffer\n");
    return;
  }
  if (m_pBackBuffer != nullptr)
    m_pBackBuffer->SetSurface(surface);
  else
    surface->Release();
}

// ---------------------------------------------------------------------------------------------
// What was built

UINT CRenderTargetBank::GetPoolCount(Pool pool) const {
  switch (pool) {
    case kPlainPool: return m_Plain.count;
    case kFloatPlainPool: return m_FloatPlain.count;
    case kCubePool: return m_CubeTargets.count;
    case kFloatCubePool: return m_FloatCubeTargets.count;
    case kPhysicalPool: return m_PhysicalTargets.count;
    case kFloatPhysicalPool: return m_FloatPhysicalTargets.count;
  }
  return 0;
}

CTextureRenderTarget* CRenderTargetBank::GetPlainPoolEntry(Pool pool, UINT index) const {
  const PlainPool* pools[] = {&m_Plain, &m_FloatPlain, nullptr, nullptr, &m_PhysicalTargets, &m_FloatPhysicalTargets};
  const PlainPool* chosen = pool < std::size(pools) ? pools[pool] : nullptr;
  return chosen != nullptr && index < kLargestPool ? chosen->entries[index] : nullptr;
}

CCubeRenderTarget* CRenderTargetBank::GetCubePoolEntry(Pool pool, UINT index) const {
  const CubePool* chosen = pool == kCubePool ? &m_CubeTargets : pool == kFloatCubePool ? &m_FloatCubeTargets : nullptr;
  return chosen != nullptr && index < kLargestPool ? chosen->entries[index] : nullptr;
}

CDepthBufferRenderTarget* CRenderTargetBank::GetDepthBuffer(UINT index) const {
  return index < kLargestPool ? m_Depth.entries[index] : nullptr;
}
