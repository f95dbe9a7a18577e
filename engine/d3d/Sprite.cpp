#include "d3d/Sprite.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "core/CopyName.h"
#include "core/EngineLog.h"
#include "d3d/D3D9Enumeration.h"
#include "d3d/D3D9StateCache.h"
#include "d3d/D3DLog.h"
#include "d3d/DeviceSettings.h"
#include "d3d/EngineRenderer.h"
#include "d3d/IndexBufferBankInterface.h"
#include "d3d/SpriteVertexWriter.h"
#include "d3d/VertexDeclaration.h"

namespace {

const char kSource[] = "D3DSprites";
constexpr int kError = CEngineLog::kLevelError;

// The render states a draw sets, in the order they are remembered and given back.
constexpr D3DRENDERSTATETYPE kSavedStates[] = {
    D3DRS_ZWRITEENABLE, D3DRS_ZENABLE,           D3DRS_ZFUNC,  D3DRS_ALPHATESTENABLE, D3DRS_ALPHAREF,
    D3DRS_ALPHAFUNC,    D3DRS_ALPHABLENDENABLE,  D3DRS_BLENDOP, D3DRS_SRCBLEND,       D3DRS_DESTBLEND,
    D3DRS_SHADEMODE,    D3DRS_CULLMODE,          D3DRS_LIGHTING};

constexpr UINT kVerticesPerQuad = 4;
constexpr UINT kIndicesPerQuad = 6;

CSpriteVertexWriter::Space SpaceOf(UINT flags) {
  if (flags & SPRITE_SCREEN_SPACE) return CSpriteVertexWriter::kScreenSpace;
  if (flags & SPRITE_CAMERA_FACING) return CSpriteVertexWriter::kCameraFacing;
  return CSpriteVertexWriter::kObjectSpace;
}

template <class Buffer, class Desc>
UINT BufferBytes(Buffer* buffer) {
  Desc desc;
  return buffer && SUCCEEDED(buffer->GetDesc(&desc)) ? desc.Size : 0;
}

// The frame a sequence is looked at, as a whole number within what an index can hold.
long long WholeFrame(float frame) {
  if (!std::isfinite(frame)) return frame > 0 ? LLONG_MAX / 2 : LLONG_MIN / 2;
  return static_cast<long long>(std::clamp(std::trunc(static_cast<double>(frame)), -1e15, 1e15));
}

}  // namespace

CSprite::CSprite(CEngineRenderer* renderer, CEngineLog* log, CTextureStorageInterface* textures,
                 CIndexBufferBankInterface* indexBuffers, const char* name, UINT quadCount,
                 D3DVERTEXELEMENT9* elements, UINT orientationFlags, SurfaceTexture** surfaceTextures,
                 UINT textureCount, CMaterialInterface* material)
    : m_pRenderer(renderer),
      m_pLog(log),
      m_pTextureBank(textures),
      m_pIndexBuffers(indexBuffers),
      m_pMaterial(material),
      m_dwQuadCount(quadCount),
      m_dwOrientationFlags(orientationFlags) {
  CopyName(m_szName, name);
  if (elements != nullptr)
    m_pVertexDeclaration = renderer->GetVertexDeclarationStorageInterface()->CreateVertexDeclaration(elements);
  if (m_pVertexDeclaration == nullptr) m_dwCreated = 0;
  // The count is the caller's: too many quads is a sprite that failed, not the engine's end.
  m_pQuads.reset(new (std::nothrow) Quad[quadCount]());
  if (!m_pQuads) m_dwCreated = 0;
  if (textureCount > 0 && surfaceTextures != nullptr) {
    m_pSurfaceTextures.reset(new (std::nothrow) SurfaceTexture*[textureCount]);
    if (m_pSurfaceTextures) {
      std::copy(surfaceTextures, surfaceTextures + textureCount, m_pSurfaceTextures.get());
      m_dwTextureCount = textureCount;
    } else {
      m_dwCreated = 0;
    }
  }
}

CSprite::~CSprite() = default;

UINT CSprite::AddIntoQuad(UINT quad, Vertex* first, Vertex* second, Vertex* third, Vertex* fourth) {
  if (!m_dwCreated || quad >= m_dwQuadCount) return 0;
  Quad& target = m_pQuads[quad];
  const Vertex* sources[] = {first, second, third, fourth};
  for (int i = 0; i < 4; ++i)
    if (sources[i] != nullptr) target.vertices[i] = *sources[i];
  target.dwActive = 1;
  return 1;
}

void CSprite::SetOrientationFlags(UINT flags) {
  if (m_dwCreated) m_dwOrientationFlags = flags;
}

void CSprite::SetIsActive(UINT quad, UINT active) {
  if (m_dwCreated && quad < m_dwQuadCount) m_pQuads[quad].dwActive = active;
}

void CSprite::SetIsActive(UINT active) {
  if (m_dwCreated) m_dwActive = active;
}

UINT CSprite::GetIsActive(UINT quad) {
  return m_dwCreated && quad < m_dwQuadCount ? m_pQuads[quad].dwActive : 0;
}

Vertex* CSprite::GetQuadVertex(UINT quad, UINT vertex) {
  if (!m_dwCreated || quad >= m_dwQuadCount || vertex >= kVerticesPerQuad) return nullptr;
  return &m_pQuads[quad].vertices[vertex];
}

void CSprite::SetQuadRotation(UINT quad, float angle) {
  if (m_dwCreated && quad < m_dwQuadCount) m_pQuads[quad].fRotation = angle;
}

float CSprite::SetQuadRotation(UINT quad) {
  return m_dwCreated && quad < m_dwQuadCount ? m_pQuads[quad].fRotation : 0.0f;
}

// ---------------------------------------------------------------------------------------------
// Drawing

UINT CSprite::CountActiveQuads() const {
  UINT count = 0;
  for (UINT q = 0; q < m_dwQuadCount; ++q) count += m_pQuads[q].dwActive ? 1 : 0;
  return count;
}

// Every quad must fit both dynamic buffers, and every index must fit in 16 bits.
bool CSprite::FitsDynamicBuffers(UINT vertexSize) const {
  if (vertexSize == 0) return false;
  CVertexBufferStorageInterface* vertexBank = m_pRenderer->GetVertexBufferStorageInterface();
  const uint64_t vertices = uint64_t{m_dwQuadCount} * kVerticesPerQuad;
  const uint64_t vertexRoom =
      BufferBytes<IDirect3DVertexBuffer9, D3DVERTEXBUFFER_DESC>(vertexBank->GetDynamicVertexBuffer()) / vertexSize;
  const uint64_t indexRoom =
      BufferBytes<IDirect3DIndexBuffer9, D3DINDEXBUFFER_DESC>(m_pIndexBuffers->GetDynamicIndexBuffer()) / sizeof(WORD);
  return vertices <= vertexRoom && vertices <= 0x10000 && uint64_t{m_dwQuadCount} * kIndicesPerQuad <= indexRoom;
}

CMatrix* CSprite::ActiveCameraView() {
  if (m_pScene == nullptr) {
    LogD3D(m_pLog, kSource, __LINE__, kError, "WARNING!!! - The Sprite: %s Doesnt Have A Scene\n", m_szName);
    return nullptr;
  }
  CCameraInterface* camera = m_pScene->GetActiveCamera();
  if (camera == nullptr) {
    LogD3D(m_pLog, kSource, __LINE__, kError, "WARNING!!! - The Scene: %s Doesnt Have An Active Camera\n",
           m_pScene->GetName());
    return nullptr;
  }
  return camera->GetWorld2CameraMatrix(m_pScene->GetFrame());
}

CMatrix CSprite::SpriteMatrix() const {
  CMatrix matrix;
  matrix.SetScale(m_vecScale.x, m_vecScale.y, m_vecScale.z);
  matrix.RotateZ(m_vecRotation.z);
  matrix.RotateX(m_vecRotation.y);
  matrix.RotateY(m_vecRotation.x);
  matrix.Move(m_vecPosition.x, m_vecPosition.y, m_vecPosition.z);
  return matrix;
}

UINT CSprite::DrawQuads(float frame) {
  if (!m_dwActive || !m_dwCreated) return 0;
  CVertexDeclaration* declaration = dynamic_cast<CVertexDeclaration*>(m_pVertexDeclaration);
  const UINT vertexSize = declaration ? declaration->GetVertexSize() : 0;
  if (m_dwDynamic == 1 && !FitsDynamicBuffers(vertexSize)) {
    LogD3D(m_pLog, kSource, __LINE__, kError, "WARNING!!! - Not Enuff Space In Dynamic Vertex Buffer: %s (Sprite)\n",
           m_szName);
    return 0;
  }
  if (CountActiveQuads() == 0) return 1;

  const bool facing = SpaceOf(m_dwOrientationFlags) == CSpriteVertexWriter::kCameraFacing;
  CMatrix* view = facing || (m_dwOrientationFlags & SPRITE_WITH_ACTIVE_CAMERA) ? ActiveCameraView() : nullptr;

  CVertexBufferStorageInterface* vertexBank = m_pRenderer->GetVertexBufferStorageInterface();
  IDirect3DVertexBuffer9* vertexBuffer = vertexBank->GetDynamicVertexBuffer();
  IDirect3DIndexBuffer9* indexBuffer = m_pIndexBuffers->GetDynamicIndexBuffer();
  void* vertices = nullptr;
  void* indices = nullptr;
  if (FAILED(vertexBuffer->Lock(0, 0, &vertices, D3DLOCK_DISCARD))) {
    LogD3D(m_pLog, kSource, __LINE__, kError, "ERROR!!! - Can't Lock Dynamic Vertex Buffer: %s (Sprite)\n", m_szName);
    return 0;
  }
  if (FAILED(indexBuffer->Lock(0, 0, &indices, D3DLOCK_DISCARD))) {
    vertexBuffer->Unlock();
    LogD3D(m_pLog, kSource, __LINE__, kError, "ERROR!!! - Can't Lock Dynamic Index Buffer: %s (Sprite)\n", m_szName);
    return 0;
  }
  const UINT written = WriteQuads(static_cast<BYTE*>(vertices), static_cast<WORD*>(indices), vertexSize, view);
  vertexBuffer->Unlock();
  indexBuffer->Unlock();

  m_pRenderer->GetVertexShaderStorageInterface()->SetShader(nullptr);
  m_pRenderer->GetPixelShaderStorageInterface()->SetShader(nullptr);
  m_pVertexDeclaration->Set();
  vertexBank->SetStreamSource(vertexBuffer, vertexSize, written * kVerticesPerQuad);
  m_pIndexBuffers->SetIndices(indexBuffer);

  DWORD saved[kSavedStateCount];
  SetRenderStates(saved);
  SetTextureStages();
  SetTextures(frame);
  const bool stageZeroSwitched = m_dwAlphaBlending == 1 && SetAlphaBlendingStates();
  SetTransforms(view);
  m_pRenderer->DrawIndexedPrimitive(written * 2);

  RestoreRenderStates(saved);
  if (facing && view != nullptr) m_pRenderer->SetTransform(D3DTS_VIEW, view);
  if (stageZeroSwitched) m_pRenderer->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  return 1;
}

UINT CSprite::WriteQuads(BYTE* vertices, WORD* indices, UINT vertexSize, const CMatrix* view) {
  const CSpriteVertexWriter::Space space = SpaceOf(m_dwOrientationFlags);
  const DeviceSettings* settings = m_pRenderer->GetDeviceSettings();
  const CSpriteVertexWriter::Screen screen = {settings ? static_cast<float>(settings->wWidth) : 0.0f,
                                              settings ? static_cast<float>(settings->wHeight) : 0.0f,
                                              m_pRenderer->GetWideScreenFactor()};
  const CSpriteVertexWriter writer(m_pLog, m_szName, m_pVertexDeclaration->GetVertexElement(), vertexSize, space,
                                   screen);
  CMatrix toView = SpriteMatrix();
  if (view != nullptr) toView = toView * *view;

  UINT written = 0;
  for (UINT q = 0; q < m_dwQuadCount; ++q) {
    const Quad& quad = m_pQuads[q];
    if (!quad.dwActive) continue;
    CVector3 positions[kVerticesPerQuad];
    for (UINT v = 0; v < kVerticesPerQuad; ++v) positions[v] = quad.vertices[v].vecPosition;
    if (space == CSpriteVertexWriter::kCameraFacing) {
      // The quad becomes a rectangle of its own size around its centre, facing the camera and
      // turned about the view axis by the quad's rotation.
      CVector3 centre{0, 0, 0};
      for (const CVector3& p : positions) centre = centre + p * 0.25f;
      const float halfWidth = std::fabs(positions[0].x - centre.x);
      const float halfHeight = std::fabs(positions[0].y - centre.y);
      const CVector3 middle = centre * toView;
      const float c = std::cos(quad.fRotation), s = std::sin(quad.fRotation);
      for (UINT v = 0; v < kVerticesPerQuad; ++v) {
        const float x = positions[v].x >= centre.x ? halfWidth : -halfWidth;
        const float y = positions[v].y >= centre.y ? halfHeight : -halfHeight;
        positions[v] = {middle.x + x * c - y * s, middle.y + x * s + y * c, middle.z};
      }
    }
    BYTE* target = vertices + uint64_t{written} * kVerticesPerQuad * vertexSize;
    for (UINT v = 0; v < kVerticesPerQuad; ++v) writer.Write(quad.vertices[v], positions[v], target + v * vertexSize);
    const WORD first = static_cast<WORD>(written * kVerticesPerQuad);
    const WORD quadIndices[kIndicesPerQuad] = {static_cast<WORD>(first + 3), static_cast<WORD>(first + 1),
                                               static_cast<WORD>(first + 2), static_cast<WORD>(first + 2),
                                               static_cast<WORD>(first + 1), first};
    memcpy(indices + written * kIndicesPerQuad, quadIndices, sizeof quadIndices);
    ++written;
  }
  return written;
}

void CSprite::SetRenderStates(DWORD (&saved)[kSavedStateCount]) {
  for (UINT i = 0; i < kSavedStateCount; ++i) saved[i] = m_pRenderer->GetRenderState(kSavedStates[i]);
  m_pRenderer->SetRenderState(D3DRS_ZWRITEENABLE, m_dwZWrite);
  m_pRenderer->SetRenderState(D3DRS_ZENABLE, m_dwZTest);
  m_pRenderer->SetRenderState(D3DRS_ZFUNC, m_dwZCompare);
  m_pRenderer->SetRenderState(D3DRS_ALPHATESTENABLE, m_dwAlphaTest);
  if (m_dwAlphaTest == 1) {
    m_pRenderer->SetRenderState(D3DRS_ALPHAREF, m_dwAlphaTestRef);
    m_pRenderer->SetRenderState(D3DRS_ALPHAFUNC, m_dwAlphaTestOp);
  }
  m_pRenderer->SetRenderState(D3DRS_ALPHABLENDENABLE, m_dwAlphaBlending);
  m_pRenderer->SetRenderState(D3DRS_SHADEMODE, m_dwSmoothShaded == 1 ? D3DSHADE_GOURAUD : D3DSHADE_FLAT);
  m_pRenderer->SetRenderState(D3DRS_CULLMODE, m_dwCullMode);
  m_pRenderer->SetRenderState(D3DRS_LIGHTING, m_pMaterial != nullptr ? 1 : 0);
  if (m_pMaterial != nullptr) m_pMaterial->Set(0);
}

// A state that had no cached value before the draw is left as the draw set it: the marker is
// no value to give the device.
void CSprite::RestoreRenderStates(const DWORD (&saved)[kSavedStateCount]) {
  for (UINT i = 0; i < kSavedStateCount; ++i)
    if (saved[i] != CD3D9StateCache::kNoValue) m_pRenderer->SetRenderState(kSavedStates[i], saved[i]);
}

void CSprite::SetTextureStages() {
  const struct {
    D3DTEXTURESTAGESTATETYPE type;
    DWORD value;
  } stageZero[] = {{D3DTSS_ALPHAOP, D3DTOP_MODULATE},        {D3DTSS_ALPHAARG1, D3DTA_DIFFUSE},
                   {D3DTSS_ALPHAARG2, D3DTA_TEXTURE},        {D3DTSS_COLOROP, D3DTOP_MODULATE},
                   {D3DTSS_COLORARG1, D3DTA_DIFFUSE},        {D3DTSS_COLORARG2, D3DTA_TEXTURE},
                   {D3DTSS_TEXCOORDINDEX, 0},                {D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE}};
  for (const auto& state : stageZero) m_pRenderer->SetTextureStageState(0, state.type, state.value);
  CD3D9Enumeration* enumeration = m_pRenderer->GetEnumeration();
  const UINT stages =
      std::min<UINT>(enumeration ? enumeration->GetMaxSimultaneousTextures() : 1, CD3D9StateCache::kStages);
  for (UINT stage = 1; stage < stages; ++stage) {
    m_pRenderer->SetTextureStageState(stage, D3DTSS_COLOROP, D3DTOP_DISABLE);
    m_pRenderer->SetTextureStageState(stage, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    m_pRenderer->SetTextureStageState(stage, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    m_pRenderer->SetTextureStageState(stage, D3DTSS_COLORARG2, D3DTA_CURRENT);
    m_pRenderer->SetTextureStageState(stage, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    m_pRenderer->SetTextureStageState(stage, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
    m_pRenderer->SetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, stage);
    m_pRenderer->SetTextureStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
  }
}

void CSprite::SetTextures(float frame) {
  for (UINT i = 0; i < m_dwTextureCount; ++i) {
    const SurfaceTexture* surfaceTexture = m_pSurfaceTextures[i];
    if (surfaceTexture == nullptr) continue;
    if (CTextureInterface* texture = TextureAt(*surfaceTexture, frame)) texture->Set(static_cast<WORD>(i));
  }
}

// A sequence shows frames F to L - 1: past either end it holds frame L - 1, or, when it loops,
// wraps the frame by L - F + 1. The index is kept within the sequence's frames whatever the
// numbers say.
CTextureInterface* CSprite::TextureAt(const SurfaceTexture& surfaceTexture, float frame) const {
  if (surfaceTexture.dwSourceKind != SURFACE_TEXTURE_SEQUENCE) return surfaceTexture.pTextureImage;
  if (surfaceTexture.pFrames == nullptr || surfaceTexture.dwNumberOfFrames == 0) return nullptr;
  if (frame == -1.0f) frame = m_pScene != nullptr ? m_pScene->GetFrame() : 0.0f;
  const long long first = surfaceTexture.lFirstFrame;
  const long long last = surfaceTexture.lFrameLimit - 1LL;
  const long long whole = WholeFrame(frame);
  long long index = 0;
  if (frame > static_cast<float>(last) || frame < static_cast<float>(first) || !std::isfinite(frame)) {
    const long long period = last - first + 2;
    const bool loops = (surfaceTexture.wFlags & SURFACE_TEXTURE_LOOP) != 0 && period > 0;
    index = loops ? whole % period : last;
  } else {
    index = std::min(whole, last);
  }
  const long long top = std::min<long long>(surfaceTexture.dwNumberOfFrames - 1LL, std::max(last, 0LL));
  return surfaceTexture.pFrames[std::clamp(index, 0LL, top)];
}

bool CSprite::SetAlphaBlendingStates() {
  CTextureInterface* stageZero = m_pTextureBank ? m_pTextureBank->GetTextureOnStage(0) : nullptr;
  const bool switched = stageZero != nullptr && stageZero->HasAlphaChannel() == 1;
  if (switched) {
    m_pRenderer->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    m_pRenderer->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_CURRENT);
    m_pRenderer->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_TEXTURE);
  }
  m_pRenderer->SetRenderState(D3DRS_BLENDOP, m_dwAlphaBlendingOp);
  m_pRenderer->SetRenderState(D3DRS_SRCBLEND, m_dwAlphaBlendingSource);
  m_pRenderer->SetRenderState(D3DRS_DESTBLEND, m_dwAlphaBlendingDestination);
  return switched;
}

// Camera-facing quads are in view space already. Otherwise the world transform is the sprite's
// own when asked for, carried along with the camera (the inverse of its view) when asked for.
void CSprite::SetTransforms(const CMatrix* view) {
  const CMatrix identity = CMatrix::Identity();
  if (SpaceOf(m_dwOrientationFlags) == CSpriteVertexWriter::kCameraFacing) {
    m_pRenderer->SetTransform(D3DTS_VIEW, &identity);
    m_pRenderer->SetTransform(D3DTS_WORLD, &identity);
    return;
  }
  CMatrix world = m_dwOrientationFlags & SPRITE_FROM_TRANSFORM ? SpriteMatrix() : identity;
  if ((m_dwOrientationFlags & SPRITE_WITH_ACTIVE_CAMERA) && view != nullptr) {
    CMatrix cameraWorld;
    if (view->Inverse(&cameraWorld)) world = world * cameraWorld;
  }
  m_pRenderer->SetTransform(D3DTS_WORLD, &world);
}
