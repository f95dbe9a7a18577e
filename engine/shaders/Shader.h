#pragma once
// One compiled shader file: the technique that suits the device's rendering scheme, compiled
// into its passes. The shader library makes shaders and keeps them in its bank; a shader can be
// compiled again in place from its file.
#include "ZKDXRecords.h"
#include "shaders/ShaderDeclarationLine.h"

class CEngineLog;
class CEngineRenderer;
class CMesh;
class CScene;
class CSurface;
class CShaderFileLines;
class CShaderLibrary;
class CShaderLine;
class CShaderPass;

// What a shader was made for.
enum : UINT {
  SHADER_TARGET_MESH = 1,
  SHADER_TARGET_SURFACE = 2,
  SHADER_TARGET_SCENE = 3,
};

class CShader {
 public:
  static constexpr UINT kNameSize = 256;

  // Compiles `fileName` for the target; *success is 0 when it cannot (the reason reported),
  // and the object is then of no use.
  CShader(CShaderLibrary* library, CEngineRenderer* renderer, CEngineLog* log,
          const char* fileName, void* target, UINT targetKind, DWORD selectedScheme,
          DWORD compatibleSchemes, const ShaderParameter* parameters, UINT numberOfParameters,
          UINT* success);
  virtual ~CShader();
  CShader(const CShader&) = delete;
  CShader& operator=(const CShader&) = delete;

  // The run operations store `value` as the run value and the object as the target, then run
  // the first pass of that name that suits the object; its result, 0 when none ran. Without a
  // pass kind a pass qualifies when it is normal, or a shadow-volume pass matching whether the
  // mesh (a surface's owning mesh) is dynamic; with one, the kind must be that.
  virtual UINT ExecuteSurfacePass(const char* passName, CSurface* surface, float value);
  virtual UINT ExecuteMeshPassOfKind(const char* passName, CMesh* mesh, float value,
                                     UINT passKind);
  virtual UINT ExecuteMeshPass(const char* passName, CMesh* mesh, float value);
  // Runs every pass of a scene shader but the ONLYCALLABLE ones, an AMBIENTPASS only while the
  // scene's ambient light shows; 0 when this is not a scene shader.
  virtual UINT ExecuteScenePasses(CScene* scene, float value);
  virtual UINT GetNumberOfPasses();
  // The collectors: *count holds the room of `out` on entry and the number stored on return.
  // 1 when the whole pass was walked, 0 when `out` filled up first or there is no such pass.
  virtual UINT GetVertexDeclarations(UINT pass, UINT* count, ShaderDeclarationEntry* out);
  virtual UINT GetVertexShaders(UINT pass, UINT* count, const char** out);
  virtual UINT GetPixelShaders(UINT pass, UINT* count, const char** out);
  virtual const char* GetName();
  // Compiles the file again in place, from the technique compiled so far; 1 on success. A
  // failure leaves the shader without passes.
  virtual UINT Update();
  virtual ShaderParameter* GetParameters();
  virtual UINT GetNumberOfParameters();

  CShaderLibrary* GetLibrary() { return m_pLibrary; }
  UINT GetTargetKind() const { return m_dwTargetKind; }
  void* GetTarget() { return m_pTarget; }
  // The scene the target belongs to, and the mesh of a mesh or surface target; null for none.
  CScene* GetTargetScene();
  CMesh* GetTargetMesh();
  // For a caller that runs a pass of this shader out of turn and puts the previous run back.
  void SetTarget(void* target) { m_pTarget = target; }
  void SetRunValue(float value) { m_fRunValue = value; }
  DWORD GetTechniqueTarget() const { return m_dwTechniqueTarget; }
  DWORD GetCompatibleSchemes() const { return m_dwCompatibleSchemes; }
  // Null at or past the pass count.
  CShaderPass* GetPass(UINT index);
  // The first pass named exactly `name`, or null.
  CShaderPass* FindPass(const char* name);
  float GetRunValue() const { return m_fRunValue; }
  UINT ReportError(UINT code, const char* sender);

  // Chooses the technique for the technique target; the position of its BEGINTECHNIQUE line,
  // or -1 when the file has none that the device may run.
  LONG FindTechnique(CShaderFileLines& lines);

 private:
  // Opens the file and compiles it from the technique target; reports and answers false on
  // failure. The file is closed again on every way out.
  bool Compile();
  bool CompileFile(CShaderFileLines& lines);
  bool CheckTypeLines(CShaderFileLines& lines);
  // The scheme to compile for: the technique target when the file has it, else the first of
  // the fallback order after it that the file has and the device may run; 0 for none.
  DWORD ChooseScheme(DWORD implemented) const;
  bool CountPasses(CShaderFileLines& lines, UINT* count);
  bool CompilePasses(CShaderFileLines& lines, UINT capacity);
  void DiscardPasses();
  // Runs the first pass named `passName` that qualifies for `mesh` (kind 0: by the mesh).
  UINT RunFirstPass(const char* passName, CMesh* mesh, UINT passKind);
  // Walks pass `pass` for the command lines of `type` and stores what `take` gives of each.
  template <class Entry, class Take>
  UINT Collect(UINT pass, UINT type, UINT* count, Entry* out, Take take);

  CShaderLibrary* m_pLibrary;
  CEngineRenderer* m_pRenderer;
  CEngineLog* m_pLog;
  char m_szFileName[kNameSize] = {};
  DWORD m_dwTechniqueTarget;
  DWORD m_dwCompatibleSchemes;
  ShaderParameter* m_pParameters = nullptr;
  UINT m_dwParameters = 0;
  UINT m_dwTargetKind;
  void* m_pTarget;
  CShaderPass** m_pPasses = nullptr;
  UINT m_dwPasses = 0;
  float m_fRunValue = 0.0f;
};
