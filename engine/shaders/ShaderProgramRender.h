#pragma once
// RENDER: in a scene shader, renders a set of meshes with the pass of that name of their own
// shaders; in a mesh shader, every surface of the mesh with that pass of the surface shaders;
// in a surface shader, draws the surface's triangles from the geometry the mesh has current
// (its own, or its shadow volume's), with whatever the lines before it set.
#include "shaders/ShaderLine.h"

class CEngineLog;
class CEngineRenderer;
class CMesh;
class CScene;
class CShaderPass;
class CSurface;
struct ShaderLineArguments;

// The meshes RENDER ... USE walks in a scene shader.
enum : UINT {
  RENDER_SET_VISIBLE_AT_CAMERA = 0,
  RENDER_SET_VISIBLE_AT_SCENE = 1,
  RENDER_SET_VISIBLE_AT_LIGHT = 2,
  RENDER_SET_VISIBLE_LIGHT_SHADOW_VOLUMES = 3,
};

class CShaderProgramRender final : public CShaderLine {
 public:
  static constexpr UINT kPassNameSize = 256;

  explicit CShaderProgramRender(const ShaderLineArguments& arguments);

  UINT GetKind() override { return SHADER_LINE_COMMAND; }
  UINT Execute() override;
  UINT GetType() override { return 1; }
  int GetSkip() override { return 0; }

  const char* GetPassName() const { return m_szPassName; }
  UINT GetMeshSet() const { return m_dwMeshSet; }

 private:
  void RenderMeshes(CScene* scene);
  void RenderSurfaces(CMesh* mesh);
  void DrawSurface(CSurface* surface);
  void RenderMesh(CMesh* mesh);

  CShaderPass* m_pPass;
  CEngineRenderer* m_pRenderer;
  CEngineLog* m_pLog;
  char m_szPassName[kPassNameSize] = {};
  UINT m_dwMeshSet = RENDER_SET_VISIBLE_AT_CAMERA;
  bool m_bNoIndicesLogged = false;
};

CShaderLine* MakeRender(const ShaderLineArguments& arguments);
