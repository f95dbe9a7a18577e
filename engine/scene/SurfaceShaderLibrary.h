#pragma once
// What a surface asks of the shader library. The library implements it and start-up sets it as
// the context's surface-shader port when it is created at Init; with the default a surface has
// no shader.
#include "ZeKorbD3DHeader.h"

class CShader;
class CSurface;

class CSurfaceShaderLibrary {
 public:
  // Resets the pipeline (lights off, no shaders, default stage states); done before a new
  // shader is asked for.
  virtual void SetDefaultStates() = 0;
  // Compiles (or reuses from the bank) the shader of the file for the surface; null on failure.
  virtual CShader* CreateShaderForSurface(const char* fileName, CSurface* surface,
                                          ShaderParameter* parameters,
                                          UINT numberOfParameters) = 0;
  // Picks and applies the default shader of the scene's lighting model (CSurface::SetShader);
  // 1 when the surface has a shader afterwards.
  virtual UINT ApplyDefaultShaderForSurface(CSurface* surface) = 0;

  // Runs the pass named `passName` of the surface's shader with the run value; the pass's
  // result, 0 when none ran.
  virtual UINT ExecuteSurfacePass(CShader* shader, const char* passName, CSurface* surface,
                                  float value) = 0;

  static CSurfaceShaderLibrary& Default();

 protected:
  ~CSurfaceShaderLibrary() = default;
};
