#pragma once
// The engine's Direct3D 9 layer as the rest of the engine, the game and the scripts see it: the
// renderer and its resource banks ("storages") and resources. Operations are declared in slot
// order. Results named "Direct3D result" are HRESULT-style codes, 0 on success.
#include <cstdint>

#include "ZKDXMath.h"
#include "ZKDXRecords.h"
#include "d3d9.h"
#include "windef.h"

class CSceneInterface;
class CTextureInterface;
class CTextureStorageInterface;
class CVertexShaderInterface;
class CVertexShaderStorageInterface;
class CPixelShaderInterface;
class CPixelShaderStorageInterface;
class CVertexBufferInterface;
class CVertexBufferStorageInterface;
class CIndexBufferInterface;
class CIndexBufferStorageInterface;
class CVertexDeclarationInterface;
class CVertexDeclarationStorageInterface;
class CMaterialInterface;
class CMaterialStorageInterface;
class CSpriteInterface;
class CSpriteStorageInterface;
class CRenderTargetInterface;

// Frame flag of CD3D9RendererInterface::Clear that skips the frame-rate limiter.
constexpr UINT ZK_CLEAR_NO_FRAME_LIMIT = 8;

// The number of indices (or vertices) a draw of `count` primitives of `type` reads; 0 for an
// unknown type.
constexpr uint64_t IndicesOfPrimitives(UINT type, UINT count) {
  switch (type) {
    case D3DPT_POINTLIST: return count;
    case D3DPT_LINELIST: return uint64_t{count} * 2;
    case D3DPT_LINESTRIP: return count ? uint64_t{count} + 1 : 0;
    case D3DPT_TRIANGLELIST: return uint64_t{count} * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN: return count ? uint64_t{count} + 2 : 0;
  }
  return 0;
}

class CD3D9RendererInterface {
 public:
  // Applies the cached viewport (change it through GetViewport first).
  virtual HRESULT SetViewport() = 0;
  virtual HRESULT Flip(HWND window, UINT show) = 0;
  virtual HRESULT Clear(UINT flags, UINT colour) = 0;
  virtual HRESULT BeginRendering() = 0;
  virtual HRESULT EndRendering() = 0;
  virtual D3DVIEWPORT9* GetViewport() = 0;
  virtual HDC GetBackBufferDC() = 0;
  virtual UINT IsRenderingBegin() = 0;
  virtual HRESULT SetLightEnable(WORD index, UINT enable) = 0;
  // Copies the eight cached light-enable states to out[0..7].
  virtual HRESULT GetLightEnableStates(UINT* out) = 0;
  virtual float GetWideScreenFactor() = 0;
  virtual HRESULT GetRenderTargetDescription(UINT kind, UINT* width, UINT* height, UINT* edge,
                                             UINT* format) = 0;
  virtual CVertexDeclarationStorageInterface* GetVertexDeclarationStorageInterface() = 0;
  virtual CIndexBufferStorageInterface* GetIndexBufferStorageInterface() = 0;
  virtual CVertexShaderStorageInterface* GetVertexShaderStorageInterface() = 0;
  virtual CPixelShaderStorageInterface* GetPixelShaderStorageInterface() = 0;
  virtual CVertexBufferStorageInterface* GetVertexBufferStorageInterface() = 0;
  virtual CMaterialStorageInterface* GetMaterialStorageInterface() = 0;
  virtual CTextureStorageInterface* GetTextureStorageInterface() = 0;
  virtual CSpriteStorageInterface* GetSpriteStorageInterface() = 0;
  virtual HRESULT SetTextureStageState(UINT stage, UINT type, UINT value) = 0;
  virtual HRESULT SetSamplerState(UINT sampler, UINT type, UINT value) = 0;
  virtual HRESULT SetRenderState(UINT state, UINT value) = 0;
  virtual HRESULT SetTransform(UINT state, const CMatrix* matrix) = 0;
  virtual HRESULT SetPixelShaderConstantF(UINT start, const float* data, UINT count) = 0;
  virtual HRESULT SetPixelShaderConstantI(UINT start, const int* data, UINT count) = 0;
  // Boolean constants: the overload on unsigned words.
  virtual HRESULT SetPixelShaderConstantF(UINT start, const UINT* data, UINT count) = 0;
  virtual HRESULT SetVertexShaderConstantF(UINT start, const float* data, UINT count) = 0;
  virtual HRESULT SetVertexShaderConstantI(UINT start, const int* data, UINT count) = 0;
  virtual HRESULT SetVertexShaderConstantF(UINT start, const UINT* data, UINT count) = 0;
  // A triangle list over the bound buffers, all their vertices.
  virtual HRESULT DrawIndexedPrimitive(UINT primitiveCount) = 0;
  virtual HRESULT DrawIndexedPrimitive(UINT baseVertex, UINT minIndex, UINT vertexCount,
                                       UINT startIndex, UINT primitiveCount) = 0;
  virtual void DrawIndexedPrimitive(UINT type, UINT baseVertex, UINT minIndex, UINT vertexCount,
                                    UINT startIndex, UINT primitiveCount) = 0;
  virtual void DrawIndexedPrimitiveUP(UINT type, UINT minIndex, UINT vertexCount,
                                      UINT primitiveCount, const void* indices, UINT indexFormat,
                                      const void* vertices, UINT stride) = 0;
  virtual void DrawPrimitive(UINT type, UINT primitiveCount, UINT vertexCount,
                             const void* vertices, UINT stride) = 0;
  virtual HRESULT SetLight(UINT index, const D3DLIGHT9* light) = 0;
  virtual HRESULT SetSoftwareVertexProcessing(UINT enable) = 0;
  virtual HRESULT EvictManagedResources() = 0;
  virtual HRESULT SetScissorTest(const RECT* rect) = 0;
  virtual HRESULT GetScissorTest(RECT* out) = 0;

 protected:
  ~CD3D9RendererInterface() = default;
};

// ---------------------------------------------------------------------------------------------
// Textures

enum : WORD {
  TEXTURE_TYPE_2D = 0,
  TEXTURE_TYPE_CUBE = 1,
  TEXTURE_TYPE_VOLUME = 2,
};

class CTextureInterface {
 public:
  // The texts below are null when empty.
  virtual const char* GetName() = 0;
  virtual const char* GetFileName() = 0;
  virtual const char* GetGreenFileName() = 0;
  virtual const char* GetBlueFileName() = 0;
  virtual const char* GetAlphaFileName() = 0;
  virtual UINT IsCubeTexture() = 0;
  virtual UINT IsNonPlainTexture() = 0;
  virtual UINT Set(WORD stage) = 0;
  virtual UINT IsLoaded() = 0;
  virtual UINT HasAlphaChannel() = 0;
  virtual IDirect3DTexture9* GetD3DTexture() = 0;
  virtual IDirect3DCubeTexture9* GetD3DCubeTexture() = 0;
  virtual IDirect3DBaseTexture9* GetD3DVolumeTexture() = 0;
  virtual HDC GetCubeDC(D3DCUBEMAP_FACES face, UINT level) = 0;
  virtual HDC GetDC(UINT level) = 0;
  virtual UINT ReleaseDC(HDC dc, UINT unused) = 0;
  virtual UINT GetWidth() = 0;
  virtual UINT GetHeight() = 0;
  virtual D3DFORMAT GetFormat() = 0;
  virtual WORD GetTextureType() = 0;
  virtual WORD GetTextureKind() = 0;
  virtual UINT CopyToSystemMemorySurface(IDirect3DSurface9** surface, D3DFORMAT format) = 0;
  // area null: the whole level.
  virtual UINT Lock(UINT level, RECT* area, D3DLOCKED_RECT* out) = 0;
  virtual HRESULT Unlock(UINT level) = 0;

 protected:
  ~CTextureInterface() = default;
};

class CTextureStorageInterface {
 public:
  // An empty texture to fill by hand.
  virtual CTextureInterface* CreateTexture(const char* name, D3DFORMAT format, UINT width,
                                           UINT height, UINT levels, UINT dynamic) = 0;
  virtual CTextureInterface* CreateTexture(MaterialTexture2* material) = 0;
  virtual CTextureInterface* CreateTexture(MaterialTexture1* material) = 0;
  virtual CTextureInterface* CreateTexture(const char* fileName, UINT normalMap) = 0;
  // An image and a separate alpha image (or null).
  virtual CTextureInterface* CreateTexture(const char* fileName, const char* alphaFileName,
                                           UINT normalMap) = 0;
  virtual CTextureInterface* GetTextureByName(const char* fileName, const char* alphaFileName,
                                              UINT unused) = 0;
  virtual CTextureInterface* GetTextureByName(const char* name, UINT unused) = 0;
  virtual CTextureInterface* GetTextureOnStage(WORD sampler) = 0;
  virtual UINT SetTexture(CTextureInterface* texture, WORD sampler, UINT unused) = 0;
  virtual UINT SetD3DTexture(IDirect3DBaseTexture9* texture, UINT sampler) = 0;
  virtual UINT LoadAllTextures() = 0;
  virtual CTextureInterface* GetTextureByID(UINT index) = 0;
  virtual UINT GetNumberOfTextures() = 0;

 protected:
  ~CTextureStorageInterface() = default;
};

// ---------------------------------------------------------------------------------------------
// Shaders

// One vertex input that a compiled vertex shader reads: a declaration usage and usage index
// (the layout of the D3DX shader-input semantic).
struct ShaderInputRegister {
  DWORD Usage;
  DWORD UsageIndex;
};
static_assert(sizeof(ShaderInputRegister) == 8);

class CVertexShaderInterface {
 public:
  virtual void Set() = 0;
  virtual const char* GetShaderName() = 0;
  virtual ShaderInputRegister* GetInputRegisters() = 0;
  virtual UINT GetNumberOfInputRegisters() = 0;
  // Null (logged) for an index at or past the number of parameters.
  virtual ShaderParameter* GetShaderParameter(UINT index) = 0;
  virtual UINT GetNumberOfShaderParameters() = 0;

 protected:
  ~CVertexShaderInterface() = default;
};

class CVertexShaderStorageInterface {
 public:
  // From a high-level shader file compiled for the profile.
  virtual CVertexShaderInterface* CreateShader(const char* fileName, const char* profile,
                                               ShaderParameter* parameters, UINT count) = 0;
  // From an assembly shader file.
  virtual CVertexShaderInterface* CreateShader(const char* fileName, ShaderParameter* parameters,
                                               UINT count) = 0;
  virtual void SetShader(CVertexShaderInterface* shader) = 0;

 protected:
  ~CVertexShaderStorageInterface() = default;
};

class CPixelShaderInterface {
 public:
  virtual void SetShader() = 0;
  virtual IDirect3DPixelShader9* GetDirect3DShader() = 0;
  virtual const char* GetShaderName() = 0;
  virtual ShaderParameter* GetShaderParameter(UINT index) = 0;
  virtual UINT GetNumberOfShaderParameters() = 0;

 protected:
  ~CPixelShaderInterface() = default;
};

class CPixelShaderStorageInterface {
 public:
  virtual void SetShader(CPixelShaderInterface* shader) = 0;
  virtual CPixelShaderInterface* CreateShader(const char* fileName, const char* profile,
                                              ShaderParameter* parameters, UINT count) = 0;
  virtual CPixelShaderInterface* CreateShader(const char* fileName, ShaderParameter* parameters,
                                              UINT count) = 0;

 protected:
  ~CPixelShaderStorageInterface() = default;
};

// ---------------------------------------------------------------------------------------------
// Vertex buffers, vertex declarations, index buffers, materials

class CVertexBufferInterface {
 public:
  // Lays the buffer's streams out for the element list.
  virtual UINT CreateCompatibleWith(D3DVERTEXELEMENT9* elements) = 0;
  // Sets the streams for the declaration that is current in the declaration bank.
  virtual void SetStreams() = 0;
  virtual const char* GetName() = 0;
  virtual UINT GetNumberOfVertices() = 0;
  virtual IDirect3DVertexBuffer9* GetDirect3DVertexBuffer() = 0;

 protected:
  ~CVertexBufferInterface() = default;
};

class CVertexBufferStorageInterface {
 public:
  // secondVertices (or null) is the morph target's vertex data.
  virtual CVertexBufferInterface* CreateVertexBuffer(Vertex* vertices, Vertex* secondVertices,
                                                     UINT count, const char* name, UINT kind,
                                                     UINT dynamic) = 0;
  virtual IDirect3DVertexBuffer9* GetDynamicVertexBuffer() = 0;
  // A raw buffer on stream 0 at offset 0.
  virtual void SetStreamSource(IDirect3DVertexBuffer9* buffer, UINT stride, UINT count) = 0;

 protected:
  ~CVertexBufferStorageInterface() = default;
};

class CVertexDeclarationInterface {
 public:
  virtual IDirect3DVertexDeclaration9* GetD3DDeclaration() = 0;
  virtual D3DVERTEXELEMENT9* GetVertexElement() = 0;
  virtual void Set() = 0;

 protected:
  ~CVertexDeclarationInterface() = default;
};

class CVertexDeclarationStorageInterface {
 public:
  // Finds an equal declaration or makes one.
  virtual CVertexDeclarationInterface* CreateVertexDeclaration(D3DVERTEXELEMENT9* elements) = 0;
  virtual void SetFVF(DWORD fvf) = 0;

 protected:
  ~CVertexDeclarationStorageInterface() = default;
};

class CIndexBufferInterface {
 public:
  // Replaces the index list; returns the buffer's own copy of it.
  virtual WORD* SetIndicesSource(WORD* indices, UINT number) = 0;
  virtual UINT GetIsUnique() = 0;
  virtual UINT Set() = 0;
  // 1 when this buffer may stand for the given list.
  virtual UINT Compare(WORD* indices, UINT number, UINT unique) = 0;
  virtual const char* GetMeshOwner() = 0;
  virtual const char* GetSurfaceOwner() = 0;
  virtual WORD* GetIndicesPointer() = 0;
  virtual UINT GetNumberOfIndices() = 0;

 protected:
  ~CIndexBufferInterface() = default;
};

class CIndexBufferStorageInterface {
 public:
  // Finds a buffer that may stand for the list (unless unique) or makes one.
  virtual CIndexBufferInterface* CreateIndexBuffer(const char* meshOwner,
                                                   const char* surfaceOwner, WORD* indices,
                                                   UINT number, UINT unique, UINT dynamic) = 0;
  virtual UINT GetNumberOfIndexBuffers() = 0;
  virtual CIndexBufferInterface* GetIndexBuffer(UINT index) = 0;

 protected:
  ~CIndexBufferStorageInterface() = default;
};

class CMaterialInterface {
 public:
  virtual void Set(UINT flag) = 0;
  virtual D3DMATERIAL9* GetD3DMaterial() = 0;
  virtual CVector4* GetAdditionalMaterial1() = 0;
  virtual CVector4* GetAdditionalMaterial2() = 0;

 protected:
  ~CMaterialInterface() = default;
};

class CMaterialStorageInterface {
 public:
  // Finds a similar material (unless unique) or makes one. The additional vectors are changed
  // in place: additional1 gets (diffuse red, specular red, specular alpha), additional2.w the
  // emissive red.
  virtual CMaterialInterface* CreateMaterial(D3DCOLORVALUE* diffuse, D3DCOLORVALUE* specular,
                                             D3DCOLORVALUE* emissive, CVector4* additional1,
                                             CVector4* additional2, UINT unique) = 0;
  virtual void SetMaterial(D3DMATERIAL9* material) = 0;
  virtual void SetMaterial(D3DMATERIAL9* material, UINT flag) = 0;
  virtual void SetMaterial(CMaterialInterface* material, UINT flag) = 0;

 protected:
  ~CMaterialStorageInterface() = default;
};

// ---------------------------------------------------------------------------------------------
// Render targets

enum : UINT {
  RENDER_TARGET_BACK_BUFFER = 1,
  RENDER_TARGET_TEXTURE = 2,
  RENDER_TARGET_CUBE = 3,
  RENDER_TARGET_DEPTH_BUFFER = 4,
};

// What the four kinds of render target (texture, cube, depth buffer, back buffer) share; the
// render-target bank keeps and stacks them through it.
class CRenderTargetInterface {
 public:
  virtual UINT GetRenderTargetType() = 0;
  virtual UINT Activate() = 0;
  virtual UINT Free() = 0;
  virtual IDirect3DSurface9* GetSurface() = 0;
  // Pops this target off the bank's render-target stack.
  virtual UINT Pop() = 0;
  virtual ~CRenderTargetInterface() = default;
};

// ---------------------------------------------------------------------------------------------
// Sprites

// Orientation flags of a sprite.
enum : UINT {
  SPRITE_WITH_ACTIVE_CAMERA = 1,
  SPRITE_FROM_TRANSFORM = 4,
  SPRITE_SCREEN_SPACE = 8,
  SPRITE_CAMERA_FACING = 16,
};

class CSpriteInterface {
 public:
  // Copies four vertices into the quad and marks it active.
  virtual UINT AddIntoQuad(UINT quad, Vertex* first, Vertex* second, Vertex* third,
                           Vertex* fourth) = 0;
  virtual void SetOrientationFlags(UINT flags) = 0;
  virtual UINT GetOrientationFlags() = 0;
  virtual UINT GetIsDynamic() = 0;
  virtual void SetIsDynamic(UINT dynamic) = 0;
  virtual UINT SetShader(const char* name) = 0;
  virtual void SetIsActive(UINT quad, UINT active) = 0;
  virtual void SetIsActive(UINT active) = 0;
  virtual UINT GetIsActive(UINT quad) = 0;
  virtual UINT GetIsActive() = 0;
  virtual UINT GetIsSuccessfulyCreated() = 0;
  virtual Vertex* GetQuadVertex(UINT quad, UINT vertex) = 0;
  virtual CMaterialInterface* GetMaterialInterface() = 0;
  virtual const char* GetSpriteName() = 0;
  virtual UINT GetNumberOfSpriteQuads() = 0;
  // frame -1.0: the current frame.
  virtual void Draw(float frame) = 0;
  virtual void SetPosition(const CVector3& position) = 0;
  virtual CVector3* GetPosition() = 0;
  virtual void SetRotation(const CVector3& rotation) = 0;
  virtual CVector3* GetRotation() = 0;
  virtual void SetScale(const CVector3& scale) = 0;
  virtual CVector3* GetScale() = 0;
  virtual void SetQuadRotation(UINT quad, float angle) = 0;
  // Reads the quad's rotation back, despite its name.
  virtual float SetQuadRotation(UINT quad) = 0;
  virtual void SetZWrite(UINT value) = 0;
  virtual UINT GetZWrite() = 0;
  virtual void SetZTest(UINT value) = 0;
  virtual UINT GetZTest() = 0;
  virtual void SetZCompare(UINT value) = 0;
  virtual UINT GetZCompare() = 0;
  virtual void SetAlphaTest(UINT value) = 0;
  virtual UINT GetAlphaTest() = 0;
  virtual void SetAlphaTestRef(UINT value) = 0;
  virtual UINT GetAlphaTestRef() = 0;
  virtual void SetAlphaTestOp(UINT value) = 0;
  virtual UINT GetAlphaTestOp() = 0;
  virtual void SetAlphaBlending(UINT value) = 0;
  virtual UINT GetAlphaBlending() = 0;
  virtual void SetAlphaBlendingOp(UINT value) = 0;
  virtual UINT GetAlphaBlendingOp() = 0;
  virtual void SetAlphaBlendingSource(UINT value) = 0;
  virtual UINT GetAlphaBlendingSource() = 0;
  virtual void SetAlphaBlendingDestination(UINT value) = 0;
  virtual UINT GetAlphaBlendingDestination() = 0;
  virtual void SetCullMode(UINT value) = 0;
  virtual UINT GetCullMode() = 0;
  virtual void SetSmoothShaded(UINT value) = 0;
  virtual UINT GetSmoothShaded() = 0;
  virtual CSceneInterface* GetScene() = 0;
  virtual void SetScene(CSceneInterface* scene) = 0;

 protected:
  ~CSpriteInterface() = default;
};

class CSpriteStorageInterface {
 public:
  // surfaceTextures is an array of textureCount texture slots.
  virtual CSpriteInterface* CreateSprite(const char* name, UINT quadCount,
                                         D3DVERTEXELEMENT9* elements,
                                         SurfaceTexture** surfaceTextures, UINT textureCount,
                                         CMaterialInterface* material, UINT orientationFlags,
                                         UINT reuse, UINT unused) = 0;
  virtual CSpriteInterface* GetSpriteByName(const char* name, UINT unused) = 0;
  // Draws every active sprite of the bank.
  virtual UINT Draw() = 0;

 protected:
  ~CSpriteStorageInterface() = default;
};
