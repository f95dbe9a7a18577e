#pragma once
// The value sources of a variable line: SYSTEM, SCENE, CAMERA, LIGHT, MESH and SURFACE values.
// A source value is named once, when the line compiles, into the record's source and value id
// (with a check that the variable's type can hold it); its value is fetched each time the line
// runs, from the scene, camera, light, mesh or surface the shader is run for at that moment.
#include "ZKDXMath.h"
#include "shaders/ShaderVariableValue.h"

class CCamera;
class CEngineLog;
class CEngineRenderer;
class CLight;
class CMesh;
class CScene;
class CShaderPass;
class CSurface;
class CTokenizer;
class CWorldObject;

class CShaderValueSource {
 public:
  // Reads and writes `value`, the record of the line that owns this source.
  CShaderValueSource(CShaderPass* pass, CEngineRenderer* renderer, CEngineLog* log,
                     ShaderVariableValue* value);

  // The source word stands at token `first`; `text` is the line, for the trace. 1 on success;
  // an unknown name fails without a report (the caller reports), except a CAMERA name.
  UINT Compile(CTokenizer* tokenizer, int first, const char* text);
  // Fetches the compiled value into the record; 0 when the objects or the type do not fit.
  // No active camera, or no current light where one is needed, stops the engine.
  UINT Evaluate();

 private:
  struct Objects;

  UINT EvaluateSystem();
  UINT EvaluateScene(CScene* scene);
  UINT EvaluateCamera(Objects& objects);
  UINT EvaluateLight(Objects& objects);
  UINT EvaluateMesh(Objects& objects);
  UINT EvaluateSurface(Objects& objects);
  // The light-space matrices shared by the CAMERA, LIGHT and MESH sources; `from` maps into
  // world space (the camera's world matrix or the mesh's). 0 for an unknown kind.
  UINT LightSpaceMatrix(UINT kind, const CMatrix& from, Objects& objects);
  // The shadow-map texture bias for a map of this size; a size of 0 leaves out the half texel.
  static CMatrix ShadowMapBias(UINT width, UINT height);

  // Typed stores into the record; false when the record holds another type.
  bool StoreMatrix(const CMatrix& matrix);
  bool StoreVector(const CVector4& vector);
  bool StoreColor(const D3DCOLORVALUE& color, float alphaFactor = 1.0f);
  bool StoreFloat(float value);
  bool StoreDword(DWORD value);
  bool StorePointer(UINT type, void* pointer);
  // The object's square (ids 20 to 23) or cube (30 to 33) render target.
  UINT StoreRenderTarget(CWorldObject* object);
  // The inverse of `matrix`; false for a singular one, which is logged once per line.
  bool Invert(const CMatrix& matrix, CMatrix* inverse);

  CShaderPass* m_pPass;
  CEngineRenderer* m_pRenderer;
  CEngineLog* m_pLog;
  ShaderVariableValue* m_pValue;
  bool m_bSingularLogged = false;
};
