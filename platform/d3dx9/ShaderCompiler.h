#pragma once
// HLSL for shader models 1 to 3, compiled by glslang's HLSL front end (in its Direct3D 9
// compatible mode) to SPIR-V and by SPIRV-Cross to GLSL 1.20 that talks to the other half of
// the pipeline the way translated bytecode does: through the built-in colours, texture
// coordinates and position, and with every global fed from the float constant registers.
#include <string>

#include "CompiledShaderBlob.h"
#include "d3dx9shader.h"

class CShaderCompiler {
 public:
  // False with the tools' messages when the profile is unknown or the source does not compile.
  static bool Compile(const char* source, size_t length, const char* fileName, const D3DXMACRO* defines,
                      const char* entryPoint, const char* profile, CCompiledShaderBlob* blob, std::string* messages);
};
