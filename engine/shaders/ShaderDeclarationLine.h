#pragma once
// A command that sets a vertex declaration (SETVERTEXDECLARATION): its element list and the
// geometry it draws from, which the shader lists per pass so that meshes can bind their streams.
#include "d3d9.h"

// One declaration of a pass as the shader lists it.
struct ShaderDeclarationEntry {
  const D3DVERTEXELEMENT9* pElements;
  UINT dwGeometry;
};

class CShaderDeclarationLine {
 public:
  virtual const D3DVERTEXELEMENT9* GetDeclarationElements() = 0;
  virtual UINT GetGeometry() = 0;

 protected:
  ~CShaderDeclarationLine() = default;
};
