#pragma once
// The default coded rendering path: draws a whole scene on the fixed-function pipeline, without
// shader files. Loading prepares each mesh with a static vertex buffer in one common 64-byte
// layout; each frame sets the scene's ambient colour, lights and fog, draws the opaque meshes,
// the sprites, the blended meshes (morphing and skinned ones rebuilt on the CPU into the
// renderer's dynamic vertex buffer) and the light flares.
#include <unordered_set>
#include <vector>

#include "ZeKorbD3DHeader.h"
#include "scene/GenericPassInterface.h"

class CEngineLog;
class CEngineRenderer;
class CScene;
class CSurface;

// The path's vertex layout: position, normal, two texture pairs and two three-float texture
// coordinates, 64 bytes a vertex.
extern const D3DVERTEXELEMENT9 GenericVertexElements[7];

class CGenericPass final : public CGenericPassInterface {
 public:
  static constexpr UINT kMaxLights = 8;
  static constexpr UINT kDynamicBufferBytes = 524288;

  CGenericPass(CEngineRenderer* renderer, CEngineLog* log);

  // Prepares every mesh of the scene, in order.
  void PrepareScene(CSceneInterface* scene) override;
  // Gives the mesh its static vertex buffer in the path's layout; a buffer or declaration that
  // cannot be made is fatal.
  void PrepareMesh(CMesh* mesh) override;
  // One frame of the scene; 1, or 0 when the scene has no active camera (nothing is drawn).
  UINT RenderScene(CScene* scene) override;

  // 0 when the mesh has no vertices to draw.
  UINT RenderMesh(CMesh* mesh);
  // 0 (logged) when the mesh's rebuilt vertices do not fit the dynamic vertex buffer; 0 when it
  // has no vertices to draw.
  UINT RenderBlendedMesh(CMesh* mesh);
  // 1 when drawn, 0 when skipped (blended surfaces are left to RenderBlendedSurface).
  UINT RenderSurface(CSurface* surface);
  // 1 when drawn, 0 when skipped (only blended surfaces are drawn here).
  UINT RenderBlendedSurface(CSurface* surface);

  CVertexDeclarationInterface* GetDeclaration() const { return m_pDeclaration; }

 private:
  // Which texture-stage programs a surface takes, worked out once per draw.
  struct SurfaceTextures;

  UINT VertexSize() const;
  // The dynamic buffer filled with the mesh's vertices (morphed or skinned); false when nothing
  // may be drawn.
  bool FillDynamicBuffer(CMesh* mesh, bool skinned);
  void WriteVertex(BYTE* out, const CVector3& position, const CVector3& normal, const Vertex& source,
                   bool secondPair) const;
  bool WantsSecondTexturePair(CMesh* mesh) const;
  void SetWorld(CMesh* mesh);
  // No vertex or pixel shader.
  void UseFixedPipeline();
  // The path's declaration and the mesh's own static buffer, on the fixed pipeline; false when
  // the mesh has no vertices to draw.
  bool SetStaticStreams(CMesh* mesh);
  void SetMaterial(CSurface* surface);
  void DrawSurface(CSurface* surface);
  void DrawEdges(CMesh* mesh);
  void SetStage(UINT stage, UINT type, UINT value);
  // Stage 1 combines the second texture with the operation of its slot; then the draw.
  void DrawOverSecondTexture(CSurface* surface, UINT operation);
  // The stage adds the specular colour to `firstArgument`.
  void AddSpecular(UINT stage, UINT alphaOp, UINT firstArgument);
  void ModulateTextureAlpha();
  void ResetStages();
  // Logs the line once per mesh and kind of fault.
  void WarnOnce(std::unordered_set<const CMesh*>& logged, const CMesh* mesh, const char* format);

  CEngineRenderer* m_pRenderer;
  CEngineLog* m_pLog;
  CVertexShaderStorageInterface* m_pVertexShaders;
  CVertexBufferStorageInterface* m_pVertexBuffers;
  CPixelShaderStorageInterface* m_pPixelShaders;
  CVertexDeclarationInterface* m_pDeclaration = nullptr;
  // Meshes drawn after the sprites, kept between frames so a frame allocates nothing.
  std::vector<CMesh*> m_BlendedMeshes;
  bool m_bMissingCameraLogged = false;
  std::unordered_set<const CMesh*> m_BadBoneLogged;
  std::unordered_set<const CMesh*> m_BadMorphLogged;
};
