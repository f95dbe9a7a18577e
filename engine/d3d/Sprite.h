#pragma once
// A named set of textured quads with its own render states, written straight into the renderer's
// dynamic vertex and index buffers at every draw: screen overlays (fonts), particles and
// camera-facing billboards. Made and kept by the sprite bank for the life of the device. A
// sprite that failed to build keeps its place and refuses what needs its quads.
#include <memory>

#include "ZKDXInterface.h"

class CEngineLog;
class CEngineRenderer;
class CIndexBufferBankInterface;
class CVertexDeclarationInterface;

class CSprite final : public CSpriteInterface {
 public:
  static constexpr UINT kNameLength = 256;

  // One quad: four vertices in drawing order, its rotation about the view axis (radians) and
  // whether it is drawn.
  struct Quad {
    Vertex vertices[4];
    float fRotation;
    UINT dwActive;
  };

  // `elements` is the vertex layout the quads are written in; the surface-texture pointers are
  // copied (the records stay their owner's). Names are kept to 255 characters.
  CSprite(CEngineRenderer* renderer, CEngineLog* log, CTextureStorageInterface* textures,
          CIndexBufferBankInterface* indexBuffers, const char* name,
          UINT quadCount, D3DVERTEXELEMENT9* elements, UINT orientationFlags,
          SurfaceTexture** surfaceTextures, UINT textureCount, CMaterialInterface* material);
  ~CSprite();
  CSprite(const CSprite&) = delete;
  CSprite& operator=(const CSprite&) = delete;

  UINT AddIntoQuad(UINT quad, Vertex* first, Vertex* second, Vertex* third,
                   Vertex* fourth) override;
  void SetOrientationFlags(UINT flags) override;
  UINT GetOrientationFlags() override { return m_dwCreated ? m_dwOrientationFlags : 0; }
  UINT GetIsDynamic() override { return m_dwDynamic; }
  // Every sprite is dynamic: it is written anew at every draw.
  void SetIsDynamic(UINT) override {}
  // Sprites draw with their own states, never through a shader.
  UINT SetShader(const char*) override { return 0; }
  void SetIsActive(UINT quad, UINT active) override;
  void SetIsActive(UINT active) override;
  UINT GetIsActive(UINT quad) override;
  UINT GetIsActive() override { return m_dwActive; }
  UINT GetIsSuccessfulyCreated() override { return m_dwCreated; }
  Vertex* GetQuadVertex(UINT quad, UINT vertex) override;
  CMaterialInterface* GetMaterialInterface() override { return m_dwCreated ? m_pMaterial : nullptr; }
  const char* GetSpriteName() override { return m_szName; }
  UINT GetNumberOfSpriteQuads() override { return m_dwCreated ? m_dwQuadCount : 0; }
  void Draw(float frame) override { DrawQuads(frame); }
  void SetPosition(const CVector3& position) override { m_vecPosition = position; }
  CVector3* GetPosition() override { return &m_vecPosition; }
  void SetRotation(const CVector3& rotation) override { m_vecRotation = rotation; }
  CVector3* GetRotation() override { return &m_vecRotation; }
  void SetScale(const CVector3& scale) override { m_vecScale = scale; }
  CVector3* GetScale() override { return &m_vecScale; }
  void SetQuadRotation(UINT quad, float angle) override;
  float SetQuadRotation(UINT quad) override;
  void SetZWrite(UINT value) override { m_dwZWrite = value; }
  UINT GetZWrite() override { return m_dwZWrite; }
  void SetZTest(UINT value) override { m_dwZTest = value; }
  UINT GetZTest() override { return m_dwZTest; }
  void SetZCompare(UINT value) override { m_dwZCompare = value; }
  UINT GetZCompare() override { return m_dwZCompare; }
  void SetAlphaTest(UINT value) override { m_dwAlphaTest = value; }
  UINT GetAlphaTest() override { return m_dwAlphaTest; }
  void SetAlphaTestRef(UINT value) override { m_dwAlphaTestRef = value; }
  UINT GetAlphaTestRef() override { return m_dwAlphaTestRef; }
  void SetAlphaTestOp(UINT value) override { m_dwAlphaTestOp = value; }
  UINT GetAlphaTestOp() override { return m_dwAlphaTestOp; }
  void SetAlphaBlending(UINT value) override { m_dwAlphaBlending = value; }
  UINT GetAlphaBlending() override { return m_dwAlphaBlending; }
  void SetAlphaBlendingOp(UINT value) override { m_dwAlphaBlendingOp = value; }
  UINT GetAlphaBlendingOp() override { return m_dwAlphaBlendingOp; }
  void SetAlphaBlendingSource(UINT value) override { m_dwAlphaBlendingSource = value; }
  UINT GetAlphaBlendingSource() override { return m_dwAlphaBlendingSource; }
  void SetAlphaBlendingDestination(UINT value) override { m_dwAlphaBlendingDestination = value; }
  UINT GetAlphaBlendingDestination() override { return m_dwAlphaBlendingDestination; }
  void SetCullMode(UINT value) override { m_dwCullMode = value; }
  UINT GetCullMode() override { return m_dwCullMode; }
  void SetSmoothShaded(UINT value) override { m_dwSmoothShaded = value; }
  UINT GetSmoothShaded() override { return m_dwSmoothShaded; }
  CSceneInterface* GetScene() override { return m_pScene; }
  void SetScene(CSceneInterface* scene) override { m_pScene = scene; }

  // 0 for an inactive sprite or one too large for the dynamic buffers (logged), else 1.
  UINT DrawQuads(float frame);

 private:
  // The thirteen render states a draw changes, remembered before and given back after.
  static constexpr UINT kSavedStateCount = 13;

  UINT CountActiveQuads() const;
  bool FitsDynamicBuffers(UINT vertexSize) const;
  // The active camera's view matrix for the scene's frame, or null with the warning.
  CMatrix* ActiveCameraView();
  // Scale, rotation (about Z by z, X by y, Y by x) then position.
  CMatrix SpriteMatrix() const;
  UINT WriteQuads(BYTE* vertices, WORD* indices, UINT vertexSize, const CMatrix* view);
  void SetRenderStates(DWORD (&saved)[kSavedStateCount]);
  void RestoreRenderStates(const DWORD (&saved)[kSavedStateCount]);
  void SetTextureStages();
  void SetTextures(float frame);
  // The texture a surface texture shows at the frame; null when it has none.
  CTextureInterface* TextureAt(const SurfaceTexture& surfaceTexture, float frame) const;
  // Stage 0's alpha from its texture when it has alpha; true when it was switched.
  bool SetAlphaBlendingStates();
  void SetTransforms(const CMatrix* view);

  CEngineRenderer* m_pRenderer;
  CEngineLog* m_pLog;
  std::unique_ptr<Quad[]> m_pQuads;
  CTextureStorageInterface* m_pTextureBank;
  CIndexBufferBankInterface* m_pIndexBuffers;
  CVertexDeclarationInterface* m_pVertexDeclaration = nullptr;
  std::unique_ptr<SurfaceTexture*[]> m_pSurfaceTextures;
  CMaterialInterface* m_pMaterial;
  CSceneInterface* m_pScene = nullptr;
  CVector3 m_vecPosition{0, 0, 0};
  CVector3 m_vecRotation{0, 0, 0};
  CVector3 m_vecScale{1, 1, 1};
  UINT m_dwZWrite = 1;
  UINT m_dwZTest = 1;
  UINT m_dwZCompare = D3DCMP_LESSEQUAL;
  UINT m_dwAlphaTest = 0;
  UINT m_dwAlphaTestRef = 0;
  UINT m_dwAlphaTestOp = D3DCMP_EQUAL;
  UINT m_dwAlphaBlending = 0;
  UINT m_dwAlphaBlendingOp = D3DBLENDOP_ADD;
  UINT m_dwAlphaBlendingSource = D3DBLEND_SRCALPHA;
  UINT m_dwAlphaBlendingDestination = D3DBLEND_INVSRCALPHA;
  UINT m_dwSmoothShaded = 1;
  UINT m_dwCullMode = D3DCULL_CCW;
  UINT m_dwQuadCount = 0;
  UINT m_dwOrientationFlags;
  UINT m_dwTextureCount = 0;
  char m_szName[kNameLength] = {};
  UINT m_dwActive = 1;
  UINT m_dwDynamic = 1;
  UINT m_dwCreated = 1;
};
