#pragma once
// CALL SCENE.name, CALL MESH.name, CALL SURFACE.name: runs a pass of the scene's, the mesh's or
// the surface's shader by name, or for a scene drawn by a rendering profile the profile's
// built-in pass of that name, between a save and a load of the device states. The caller's
// current objects, its shader's run and its loops are as they were when the CALL returns.
#include "shaders/ShaderLine.h"
#include "shaders/ShaderLineTable.h"

class CEngineLog;
class CEngineRenderer;
class CMesh;
class CScene;
class CShader;
class CShaderPass;

class CShaderProgramCall final : public CShaderLine {
 public:
  enum : UINT {
    kCallMesh = 1,
    kCallSurface = 2,
    kCallScene = 3,
  };
  static constexpr UINT kNameSize = 256;

  explicit CShaderProgramCall(const ShaderLineArguments& arguments);

  UINT GetKind() override { return SHADER_LINE_COMMAND; }
  // 0 when the caller is not the object its shader runs for, or the scene cannot run the call.
  UINT Execute() override;
  UINT GetType() override { return 36; }
  int GetSkip() override { return 0; }

  UINT GetCallKind() const { return m_dwCallKind; }
  const char* GetPassName() const { return m_szPassName; }

 private:
  UINT CallFromScene(CScene* scene);
  UINT CallFromMesh(CShader* shader, CMesh* mesh);
  // CALL SCENE from a mesh or surface: the scene's shader, or its profile's built-in pass.
  UINT CallScene(CScene* scene);
  // Runs the first pass of `shader` named like the call, for `target`; nothing when no pass
  // carries the name.
  void RunPass(CShader* shader, void* target);
  // Runs `run` between a save and a load of the device states, keeping the run state of the
  // calling pass and of `called` (null for a built-in pass). A failed save runs nothing: it
  // means the calls nest too deep, and a load would take an outer caller's states.
  template <class Run>
  void RunGuarded(CShaderPass* called, Run run);

  CShaderPass* m_pPass;
  CEngineRenderer* m_pRenderer;
  CEngineLog* m_pLog;
  UINT m_dwCallKind = 0;
  char m_szPassName[kNameSize] = {};
};

CShaderLine* MakeShaderProgramCall(const ShaderLineArguments& arguments);
