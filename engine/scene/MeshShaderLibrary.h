#pragma once
// What a mesh asks of the shader library: a compiled shader for the mesh, the default choice,
// and the vertex streams each pass of a shader draws from. The shader library implements it
// and start-up sets it as the context's mesh-shader port when it is created at Init; the default
// compiles nothing and chooses nothing.
#include "ZeKorbD3DHeader.h"

class CMesh;
class CShader;

// Vertex streams a shader pass can take from its mesh.
enum : UINT {
  SHADER_STREAM_MESH = 0,                  // the mesh's own vertex buffer
  SHADER_STREAM_DYNAMIC_SHADOW_VOLUME = 1,
  SHADER_STREAM_STATIC_SHADOW_VOLUME = 2,
};

// The most stream bindings one pass lists.
constexpr UINT MAX_SHADER_STREAM_BINDINGS = 10;

// One stream of a pass: which of the mesh's buffers it takes, the vertex layout the pass's
// declaration reads from it, and the buffer bound to it.
struct ShaderStreamBinding {
  UINT dwStream;
  CVertexBufferInterface* pVertexBuffer;
  const D3DVERTEXELEMENT9* pElements = nullptr;
};

class CMeshShaderLibrary {
 public:
  // Compiles (or reuses from the bank) the shader of the file for the mesh; null on failure.
  virtual CShader* CreateShaderForMesh(const char* fileName, CMesh* mesh,
                                       ShaderParameter* parameters, UINT numberOfParameters) = 0;
  // Picks and applies a default shader for the mesh (CMesh::SetShader); 1 on success.
  virtual UINT ApplyDefaultShaderForMesh(CMesh* mesh) = 0;
  virtual UINT GetNumberOfPasses(CShader* shader) = 0;
  // The pass's stream bindings and their number (at most MAX_SHADER_STREAM_BINDINGS); null for
  // a pass the shader does not have.
  virtual ShaderStreamBinding* GetStreamBindings(CShader* shader, UINT pass, UINT* count) = 0;

  // Runs the pass named `passName` of the mesh's shader with the run value; kind 0 takes the
  // pass that suits the mesh, another kind only a pass of that kind. The pass's result, 0 when
  // none ran.
  virtual UINT ExecuteMeshPass(CShader* shader, const char* passName, CMesh* mesh, float value,
                               UINT passKind) = 0;

  static CMeshShaderLibrary& Default();

 protected:
  ~CMeshShaderLibrary() = default;
};
